// End-to-end on a real X server: what the offscreen platform hides (window
// activation, input focus, real mouse and key events, what the screen
// shows). Xvfb is the server, xdotool the user's hands; the host runs a
// script that waits for the test at each stage and writes its state there.

#include "support/HostRunner.h"
#include "support/TempDir.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <chrono>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace fs = std::filesystem;
using ocable::testsupport::HostRunner;
using ocable::testsupport::layerOf;
using ocable::testsupport::readText;
using ocable::testsupport::TempDir;
using Clock = std::chrono::steady_clock;

namespace {

// The X server for one test, on the first free display number, and the
// user's hands on it: xdotool, and another program.
class Xvfb {
public:
    bool start() {
        server_.setProgram(QStandardPaths::findExecutable("Xvfb"));
        server_.setArguments({"-displayfd", "1", "-screen", "0", "1280x900x24", "-nolisten", "tcp"});
        server_.start();
        if (!server_.waitForStarted(10000)) return false;
        const auto deadline = Clock::now() + std::chrono::seconds(15);
        while (!server_.canReadLine() && Clock::now() < deadline)
            server_.waitForReadyRead(200);
        const QByteArray line = server_.readLine().trimmed();
        if (line.isEmpty()) return false;
        display_ = ":" + QString::fromLatin1(line);
        env_.insert("DISPLAY", display_);
        return true;
    }
    ~Xvfb() {
        server_.terminate();
        server_.waitForFinished(5000);
    }
    const QString& display() const { return display_; }

    void start(QProcess& p, const QString& program, const QStringList& args) {
        p.setProcessEnvironment(env_);
        p.start(program, args);
    }
    QString run(const QStringList& args) {
        QProcess p;
        start(p, "xdotool", args);
        p.waitForFinished(15000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    void click(const QPoint& at) {
        run({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y())});
        run({"click", "1"});
    }

private:
    QProcess server_;
    QString display_;
    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
};

bool waitFor(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

QJsonObject readJson(const fs::path& file) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(readText(file))).object();
}

QRect rectOf(const QJsonValue& v) {
    const QJsonArray a = v.toArray();
    return a.size() == 4 ? QRect(a[0].toInt(), a[1].toInt(), a[2].toInt(), a[3].toInt()) : QRect();
}

// Nodes of a dumped tree that are expanded, by key.
QStringList expandedKeys(const QJsonValue& nodes) {
    QStringList out;
    for (const QJsonValue n : nodes.toArray()) {
        if (n["expanded"].toBool() && !n["children"].toArray().isEmpty()) out << n["key"].toString();
        out << expandedKeys(n["children"]);
    }
    return out;
}

// Pixels of a region that differ between two screenshots.
int differing(const QImage& a, const QImage& b, const QRect& region) {
    int n = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) ++n;
    return n;
}

} // namespace

TEST(HostXvfbTest, RealClicksFocusAndTheScreenAgreeWithTheDumps) {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
        QStandardPaths::findExecutable("xdotool").isEmpty() ||
        QStandardPaths::findExecutable("xlogo").isEmpty())
        GTEST_SKIP() << "Xvfb, xdotool or xlogo is missing (Debian packages xvfb, xdotool, x11-apps; ./test "
                        "installs them)";
    Xvfb x;
    ASSERT_TRUE(x.start()) << "Xvfb did not start";

    const auto dir = HostRunner::freshRoot("xvfb");
    const fs::path root = dir->path();
    auto at = [&](const char* name) { return QString::fromStdString((root / name).string()); };
    // The script's files are named relative to the host folder, where the host runs.
    dir->write("script.json", R"([{"wait": 120000, "until": "go1"},
        {"dump": true, "file": "d1.json", "features": true, "layers": ["光缆网络分布图_终端站"]},
        {"screenshot": "s1.png"}, {"wait": 120000, "until": "go2"}, {"dump": true, "file": "d2.json"},
        {"screenshot": "s2.png"}, {"wait": 120000, "until": "go3"}, {"dump": true, "file": "d3.json"}])");
    QProcess host;
    // libxkbcommon-x11 reads the X server's atom names with strndup past
    // their end, which AddressSanitizer's strict string checks take for an
    // overflow; the host on a real display runs without that one check.
    QString asan = qEnvironmentVariable("ASAN_OPTIONS");
    asan.replace("strict_string_checks=1", "strict_string_checks=0");
    host.setProcessEnvironment(HostRunner::environment(
        root, {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", x.display()}, {"ASAN_OPTIONS", asan}}));
    host.setWorkingDirectory(at(""));
    host.start(HostRunner::hostProgram(), HostRunner::arguments(root, root / "script.json")
                                              << "--out" << at("out.json") << "--log" << at("host.log")
                                              << "--size"
                                              << "1200x850");
    ASSERT_TRUE(
        waitFor([&] { return readText(root / "host.log").find("自动化脚本开始") != std::string::npos; },
                std::chrono::seconds(150)))
        << host.readAllStandardError().toStdString();

    // Another program's window, to take the focus from the host and give it back.
    QProcess other;
    x.start(other, "xlogo", {"-geometry", "100x100+1150+780"});
    const QString hostId = x.run({"search", "--sync", "--limit", "1", "--name", "传输网络管理系统"});
    const QString otherId = x.run({"search", "--sync", "--limit", "1", "--class", "xlogo"});
    ASSERT_FALSE(hostId.isEmpty());
    ASSERT_FALSE(otherId.isEmpty());
    x.run({"windowfocus", "--sync", hostId});

    std::ofstream(root / "go1");
    ASSERT_TRUE(waitFor([&] { return fs::exists(root / "s1.png"); }, std::chrono::seconds(60)));
    const QJsonObject d1 = readJson(root / "d1.json");

    // A real click on the overview tool of the toolbar.
    const QRect radar = rectOf(d1["tools"]["activebarMain/toolbar/mnu_view_Radar"]["rect"]);
    EXPECT_FALSE(d1["tools"]["activebarMain/toolbar/mnu_view_Radar"]["checked"].toBool());
    x.click(radar.center());

    // A real click on a terminal station of the map selects it.
    const QRect map = rectOf(d1["rects"]["frmViewOcableMain.Map1"]);
    const QJsonArray b = d1["maps"]["Map1"]["bounds"].toArray();
    const QJsonArray stations = layerOf(d1, "Map1", "光缆网络分布图_终端站")["features"].toArray();
    const QJsonObject station = stations[stations.size() / 2].toObject();
    const double lng = station["parts"][0][0][0].toDouble(), lat = station["parts"][0][0][1].toDouble();
    const QPoint onMap(
        map.left() + qRound((lng - b[0].toDouble()) / (b[2].toDouble() - b[0].toDouble()) * map.width()),
        map.top() + qRound((b[3].toDouble() - lat) / (b[3].toDouble() - b[1].toDouble()) * map.height()));
    x.click(onMap);

    // Expand the whole resource tree of the tree window with the keyboard.
    const QRect tree = rectOf(d1["rects"]["frmViewResTree.TreeRes"]);
    x.click(tree.topLeft() + QPoint(40, 8));
    x.run({"key", "--clearmodifiers", "KP_Multiply"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    std::ofstream(root / "go2");
    ASSERT_TRUE(waitFor([&] { return fs::exists(root / "s2.png"); }, std::chrono::seconds(60)));
    const QJsonObject d2 = readJson(root / "d2.json");
    EXPECT_TRUE(d2["tools"]["activebarMain/toolbar/mnu_view_Radar"]["checked"].toBool());
    EXPECT_TRUE(d2["rects"].toObject().contains("frmViewOcableMain.Map2")) << "the overview map is not shown";
    EXPECT_TRUE(layerOf(d2, "Map1", "光缆网络分布图_终端站")["selection"].toArray().contains(station["key"]))
        << "the click at " << onMap.x() << "," << onMap.y() << " did not select "
        << station["key"].toString().toStdString();
    const QStringList expandedBefore = expandedKeys(d2["trees"]["frmViewResTree.TreeRes"]);
    EXPECT_GT(expandedBefore.size(), expandedKeys(d2["trees"]["frmViewOcableMain.TreeRes"]).size())
        << "the key did not expand the tree window's tree";

    // What the screen shows agrees: the pressed button and the overview map
    // changed their pixels, the status bar did not.
    const QImage s1(at("s1.png")), s2(at("s2.png"));
    ASSERT_EQ(s1.size(), s2.size());
    const QPoint origin = rectOf(d1["rects"]["hostWindow"]).topLeft();
    EXPECT_GT(differing(s1, s2, radar.translated(-origin).adjusted(1, 1, -1, -1)), 0);
    const QRect overview = rectOf(d2["rects"]["frmViewOcableMain.Map2"]).translated(-origin);
    EXPECT_GT(differing(s1, s2, overview.adjusted(2, 2, -2, -2)), overview.width() * overview.height() / 4);
    EXPECT_EQ(differing(s1, s2, QRect(0, s1.height() - 12, s1.width() / 3, 10)), 0);

    // The focus goes to another program and comes back: the host's active
    // view did not change, so the tree window keeps its expansions.
    x.run({"windowfocus", "--sync", otherId});
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    x.run({"windowfocus", "--sync", hostId});
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    std::ofstream(root / "go3");
    ASSERT_TRUE(host.waitForFinished(120000));
    EXPECT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();
    const QJsonObject d3 = readJson(root / "d3.json");
    EXPECT_EQ(expandedKeys(d3["trees"]["frmViewResTree.TreeRes"]), expandedBefore);
    other.kill();
    other.waitForFinished();
}
