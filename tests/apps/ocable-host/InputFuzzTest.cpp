// Random and hostile input for the two readers the host takes from a user's
// files: the INI reader and the automation script reader. A fixed seed and a
// fixed number of cases keep the run the same every time; the sanitizers
// watch for crashes and leaks, a timer for hangs.

#include "Automation.h"
#include "IniFileReader.h"
#include "fuzz/Hostile.h"
#include "support/TempDir.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <gtest/gtest.h>

using ocable::hostapp::Automation;
using ocable::hostapp::IniFileReader;
using ocable::hostapp::ScriptError;
using ocable::testsupport::TempDir;

namespace {

constexpr int kCases = 300;
constexpr qint64 kMaxMsPerCase = 3000;

// The shared generator, with the pieces of INI files and automation scripts.
class Hostile : public fuzz::Hostile {
public:
    using fuzz::Hostile::Hostile;

    // Pieces an INI file is made of, and pieces no INI file should hold.
    std::string iniPiece() {
        static const std::vector<std::string> pieces = {"[CAPTION_VIEWOCABLENET]\n",
                                                        "[",
                                                        "]",
                                                        "=",
                                                        "\n",
                                                        "\r\n",
                                                        "\r",
                                                        "\"",
                                                        ";注释\n",
                                                        "#\n",
                                                        "CAPTION_RESTREE_SECONDNODE",
                                                        " = ",
                                                        "省际干线",
                                                        "\xEF\xBB\xBF",
                                                        "\xff\xfe",
                                                        "\x80\x80",
                                                        "\xe4\xb8",
                                                        "[空节]\n",
                                                        "KEY=\"\n",
                                                        "=value\n",
                                                        "[  caption_viewocablenet  ]\n"};
        switch (below(6)) {
        case 0:
            return bytes(40);
        case 1:
            return std::string(static_cast<std::size_t>(below(40000)),
                               pick(std::vector<char>{'x', '[', '=', '\n', '\0'}));
        case 2:
            return std::string("\0\0\0", 3);
        default:
            return pick(pieces);
        }
    }

    // A value of any JSON type, often of the wrong kind for where it goes.
    QJsonValue value(int depth = 0) {
        static const std::vector<double> numbers = {
            0, 1, -1, 0.5, 1e308, -1e308, 2147483648.0, 9007199254740993.0, 1e-300};
        static const std::vector<std::string> texts = {"",
                                                       "Map1",
                                                       "frmViewOcableMain",
                                                       "frmViewOcableMain.close",
                                                       "Yes",
                                                       "按管理区域划分",
                                                       "NULL",
                                                       "\u0000",
                                                       "hostWindow.viewOcable.trigger"};
        switch (depth > 3 ? below(4) : below(6)) {
        case 0:
            return pick(numbers);
        case 1:
            return QString::fromStdString(pick(texts));
        case 2:
            return below(2) == 0;
        case 3:
            return QJsonValue::Null;
        case 4: {
            QJsonArray a;
            for (int i = below(4); i > 0; --i)
                a.append(value(depth + 1));
            return a;
        }
        default:
            return object(depth + 1);
        }
    }

    QJsonObject object(int depth = 0) {
        static const std::vector<std::string> keys = {
            "call", "args",  "queued", "tool",     "control", "band",  "mouse", "map",
            "x",    "y",     "lng",    "lat",      "button",  "shift", "key",   "answer",
            "wait", "until", "dump",   "features", "layers",  "node"};
        QJsonObject o;
        for (int i = below(4) + 1; i > 0; --i) {
            const QString key = QString::fromStdString(pick(keys));
            // Waits of real length would only slow the test; 0 and 1 ms keep
            // the event loop in the picture.
            o[key] = key == "wait" ? (below(3) == 0 ? QJsonValue(below(2)) : value(depth)) : value(depth);
        }
        return o;
    }

    std::string nested(int depth) {
        std::string s;
        for (int i = 0; i < depth; ++i)
            s += below(2) ? "[" : "{\"a\":";
        return s + std::string(static_cast<std::size_t>(below(depth + 1)), ']');
    }
};

} // namespace

TEST(InputFuzzTest, IniReaderSurvivesHostileFilesAndStillFindsAPlantedValue) {
    TempDir dir("fuzz-ini");
    Hostile h(20261205);
    IniFileReader reader;
    for (int c = 0; c < kCases; ++c) {
        SCOPED_TRACE("case " + std::to_string(c));
        std::string garbage;
        for (int i = h.below(30); i > 0; --i)
            garbage += h.iniPiece();
        // A well-formed first section, then anything: what precedes the
        // garbage must still be read as written.
        const std::string text = "[HOST]\nKEY=期望值\n" + garbage;
        const auto file = dir.write("f.ini", text);
        QElapsedTimer timer;
        timer.start();
        const std::string found =
            reader.readIniValue(file, "CAPTION_VIEWOCABLENET", "CAPTION_RESTREE_SECONDNODE");
        EXPECT_EQ(found.find('\n'), std::string::npos);
        EXPECT_EQ(reader.readIniValue(file, "CAPTION_VIEWOCABLENET", "CAPTION_RESTREE_SECONDNODE"), found);
        const std::string planted = reader.readIniValue(file, "host", "key");
        if (IniFileReader::readAsUtf8(file).rfind("[HOST]\nKEY=期望值\n", 0) == 0) {
            EXPECT_EQ(planted, "期望值");
        }
        EXPECT_LT(timer.elapsed(), kMaxMsPerCase);
    }
}

TEST(InputFuzzTest, ScriptReaderTakesArraysOfObjectsAndRefusesTheRest) {
    Hostile h(7);
    for (int c = 0; c < kCases; ++c) {
        SCOPED_TRACE("case " + std::to_string(c));
        QByteArray text;
        switch (h.below(5)) {
        case 0:
            text = QByteArray::fromStdString(h.bytes(300));
            break;
        case 1:
            text = QByteArray::fromStdString(h.nested(h.below(20000)));
            break;
        case 2:
            text = QJsonDocument(QJsonArray{h.object(), h.value()}).toJson();
            break;
        case 3: {
            text = QJsonDocument(QJsonArray{h.object(), h.object()}).toJson();
            text.insert(h.below(static_cast<int>(text.size())), QByteArray(1, '\0'));
            break;
        }
        default:
            text = "[" + QByteArray(h.below(100000), ' ') + "{}]";
            break;
        }
        QElapsedTimer timer;
        timer.start();
        try {
            const QJsonArray steps = Automation::parseScript(text);
            for (const QJsonValue s : steps)
                EXPECT_TRUE(s.isObject());
        } catch (const ScriptError& e) {
            EXPECT_GT(std::string(e.what()).size(), 0u);
        }
        EXPECT_LT(timer.elapsed(), kMaxMsPerCase);
    }
}

// Steps of every shape against a process without views: each ends as a
// result or a ScriptError naming the step, never as a crash or another
// exception.
TEST(InputFuzzTest, StepsOfTheWrongShapeFailWithAMessage) {
    Hostile h(1205);
    std::vector<std::string> sql;
    int refused = 0;
    for (int c = 0; c < kCases; ++c) {
        SCOPED_TRACE("case " + std::to_string(c));
        const QJsonArray steps{h.object(), h.object()};
        SCOPED_TRACE(QJsonDocument(steps).toJson(QJsonDocument::Compact).toStdString());
        QElapsedTimer timer;
        timer.start();
        Automation automation(sql);
        try {
            automation.run(steps);
        } catch (const ScriptError& e) {
            ++refused;
            EXPECT_EQ(std::string(e.what()).rfind("第 ", 0), 0u) << e.what();
        }
        EXPECT_LT(timer.elapsed(), kMaxMsPerCase);
    }
    EXPECT_GT(refused, kCases / 2); // the generator does reach the checks
}
