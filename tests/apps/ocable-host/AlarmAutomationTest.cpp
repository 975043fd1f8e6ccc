// The alarm display end to end through the automation mode on a small demo
// network: alarm events appended to a file while the host runs; alarms
// raised, cleared and cleared all at once through the host's menu, compared
// with the alarm columns of STATION read apart from the host.

#include "support/HostRunner.h"
#include "support/TempDir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace fs = std::filesystem;
using ocable::testsupport::codesOn;
using ocable::testsupport::HostRunner;
using ocable::testsupport::layerOf;
using ocable::testsupport::scalar;

namespace {

const QString kTerminal = "光缆网络分布图_终端站";
const QString kOther = "光缆网络分布图_其它局站";
const QString kAlarm = "光缆网络分布图_告警";
const QString kBackboneAlarm = "光缆网络分布图_骨干告警";
const QStringList kShown = {kTerminal, kOther, kAlarm, kBackboneAlarm};

const QJsonObject kDump = ocable::testsupport::dumpStep(kShown);
using ocable::testsupport::callStep;
QJsonObject event(const std::string& station, const char* severity, const char* state, const char* text) {
    return {{"station", QString::fromStdString(station)},
            {"severity", severity},
            {"state", state},
            {"time", "2026-12-06 08:00:00"},
            {"text", text}};
}

// Stations without any alarm in the database, as codes.
std::vector<std::string> quietStations(const fs::path& db) {
    return ocable::testsupport::firstColumn(
        db, "SELECT STATIONCODE FROM STATION WHERE LNG IS NOT NULL AND LAT IS NOT NULL AND "
            "CRITICAL_C || MAJOR_C || MINOR_C || WARNING_C || INDETERMIN_C || CRITICAL_A || MAJOR_A || "
            "MINOR_A || WARNING_A || INDETERMIN_A = '0000000000' ORDER BY STATIONCODE");
}

// Bitmap of every drawn feature of the station, over both station layers.
QStringList bitmaps(const QJsonObject& d, const std::string& code) {
    QStringList out;
    for (const QString& layer : {kTerminal, kOther})
        for (const QJsonValue f : layerOf(d, "Map1", layer)["features"].toArray())
            if (f["row"][1].toString().toStdString() == code)
                out << f["style"].toString().section("SymbolBitmapName=", 1).section(';', 0, 0);
    return out;
}
// Whether the station is drawn and each of its features shows the severity's bitmap.
bool drawnAs(const QJsonObject& d, const std::string& code, const QString& severity) {
    const QStringList b = bitmaps(d, code);
    return !b.isEmpty() && std::all_of(b.begin(), b.end(),
                                       [&](const QString& s) { return s.endsWith("_" + severity + ".BMP"); });
}
// How many of a layer's markers are the station's.
long markers(const QJsonObject& d, const QString& layer, const std::string& code) {
    return std::ranges::count(ocable::testsupport::codesOn(d, layer), code);
}

} // namespace

// One run. Events appended to the --alarms file after the host has started
// reach the map; a line that is no event is named in the log and passed over,
// and a line not yet ended waits. Then alarms raised on two other stations,
// one cleared, the rest cleared through the host's "清除告警": bitmaps, the
// ten fields, markers, the alarm list and the notice of a new critical alarm
// at each stage; the view's "告警声音暂停" pausing the host's sound; then
// getAlarmLevel.
TEST(AlarmAutomation, EventsFromAFileThenRaisedClearedAndClearedAll) {
    auto root = HostRunner::freshRoot("alarms");
    const fs::path db = root->path() / "network.db";
    const auto quiet = quietStations(db);
    ASSERT_GE(quiet.size(), 5u);
    const std::string s1 = quiet[3], s2 = quiet.back();
    // Stations the database already reports alarms for: the host shows them
    // from the start; the file adds one.
    const double alarmedAtStart =
        scalar(db, "SELECT count(*) FROM STATION WHERE LNG IS NOT NULL AND LAT IS NOT NULL "
                   "AND CRITICAL_C || MAJOR_C || MINOR_C || WARNING_C || INDETERMIN_C <> '00000'") +
        1;
    const double currentAtStart =
        scalar(db, "SELECT SUM(CRITICAL_C + MAJOR_C + MINOR_C + WARNING_C + INDETERMIN_C) FROM STATION") + 1;
    const QString q1 = QString::fromStdString(s1), q2 = QString::fromStdString(s2);
    const fs::path events = root->path() / "events.jsonl", ready = root->path() / "ready.json",
                   written = root->path() / "written";

    const QJsonArray steps = {
        QJsonObject{{"dump", true}, {"file", QString::fromStdString(ready.string())}},
        QJsonObject{{"wait", 120000}, {"until", QString::fromStdString(written.string())}},
        QJsonObject{{"wait", 800}},
        kDump,
        QJsonObject{{"alarm", QJsonArray{event(s1, "major", "raised", "光功率过低"),
                                         event(s1, "critical", "raised", "主干断纤"),
                                         event(s2, "minor", "raised", "温度偏高")}}},
        callStep("frmViewOcableMain.stationAlarmFields", {q1}),
        kDump,
        QJsonObject{{"alarm", event(s1, "critical", "cleared", "主干断纤")}},
        callStep("frmViewOcableMain.stationAlarmFields", {q1}),
        kDump,
        QJsonObject{{"alarm", event(s1, "major", "cleared", "光功率过低")}},
        kDump,
        // A refresh draws the map anew; the next event shows s2 again.
        callStep("frmViewOcableMain.redrawMap"),
        QJsonObject{{"alarm", event(s1, "warning", "raised", "门禁告警")}},
        QJsonObject{{"alarm", event(s1, "warning", "cleared", "门禁告警")}},
        kDump,
        QJsonObject{{"tool", "mnu_stopSound"}, {"control", "activebarMain"}}, // the view's own tool
        callStep("hostWindow.alarmClear.trigger"),
        callStep("frmViewOcableMain.stationAlarmFields", {q2}),
        kDump,
        callStep("frmViewOcableMain.getAlarmLevel", {0, 2, 7, 0, 1}),
        callStep("frmViewOcableMain.getAlarmLevel", {0, 0, 0, 0, 0}),
        callStep("frmViewOcableMain.getAlarmLevel", {-3, -1, 0, 0, 2}),
        callStep("frmViewOcableMain.getAlarmLevel", {1, 1, 1, 1, 1}),
    };
    ocable::testsupport::HostRun run;
    std::thread host([&] {
        run = HostRunner::run(root->path(), steps, {"--alarms", QString::fromStdString(events.string())});
    });
    const auto line = [](const QJsonObject& o) {
        return QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
    };
    for (int i = 0; i < 2400 && !fs::exists(ready); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    {
        std::ofstream out(events);
        out << line(event(quiet[0], "critical", "raised", "光缆中断")) << "\n"
            << "not an event\n"
            << line(event(quiet[1], "warning", "raised", "误码")) << "\n"
            << line(event(quiet[1], "warning", "cleared", "误码")) << "\n"
            << line(event(quiet[2], "major", "raised", "未写完")); // no end of line yet
    }
    std::ofstream(written) << "1";
    host.join();
    ASSERT_EQ(run.exitCode, 0) << run.stderrText;
    const QJsonArray dumps = run.dumps();
    const QJsonArray results = run.output["results"].toArray();
    const QJsonObject start = dumps[1].toObject(), raised = dumps[2].toObject(),
                      oneCleared = dumps[3].toObject(), bothCleared = dumps[4].toObject(),
                      redrawn = dumps[5].toObject(), clearedAll = dumps[6].toObject();

    // From the file: the first line's critical alarm shown and announced, the
    // warning raised and cleared again, the unended line not yet read.
    EXPECT_TRUE(drawnAs(start, quiet[0], "紧急告警"));
    EXPECT_EQ(markers(start, kAlarm, quiet[0]), 1);
    EXPECT_EQ(markers(start, kAlarm, quiet[1]), 0);
    EXPECT_EQ(markers(start, kAlarm, quiet[2]), 0);
    for (const QString& b : bitmaps(start, quiet[1]))
        EXPECT_FALSE(b.contains("告警")) << b.toStdString();
    EXPECT_NE(run.stderrText.find("第 2 行"), std::string::npos) << run.stderrText;
    EXPECT_TRUE(start["messages"].toArray().last()["text"].toString().contains("光缆中断"));

    // At start: one marker per station with current alarms in STATION.
    EXPECT_EQ(layerOf(start, "Map1", kAlarm)["count"].toInt(), alarmedAtStart);
    const QStringList normal1 = bitmaps(start, s1), normal2 = bitmaps(start, s2);

    // Raised: critical (and major) current and accumulated on s1 (the ten
    // fields: five current severities, then five accumulated); the worst
    // severity colours its bitmap; one marker each; s1 located and announced.
    EXPECT_EQ(results[0].toVariant().toStringList().join(","), "1,1,0,0,0,1,1,0,0,0");
    EXPECT_TRUE(drawnAs(raised, s1, "紧急告警"));
    EXPECT_TRUE(drawnAs(raised, s2, "次要告警"));
    EXPECT_EQ(markers(raised, kAlarm, s1), 1);
    EXPECT_EQ(markers(raised, kAlarm, s2), 1);
    EXPECT_EQ(layerOf(raised, "Map1", kAlarm)["count"].toInt(), alarmedAtStart + 2);
    const long backbone1 = markers(raised, kBackboneAlarm, s1);
    EXPECT_TRUE(backbone1 == 0 || backbone1 == 2) << "one backbone marker per active alarm";
    EXPECT_EQ(codesOn(raised, kTerminal, true).size() + codesOn(raised, kOther, true).size(), 1u)
        << "pointStationByAlarm selects the station of the critical alarm";
    const QJsonArray messages = raised["messages"].toArray();
    EXPECT_TRUE(messages.last()["text"].toString().contains("发生紧急告警：主干断纤"));
    EXPECT_EQ(messages.last()["title"].toString(), "提示信息");
    const QJsonArray rows = raised["forms"]["hostAlarmList"]["controls"]["tblAlarms"]["items"].toArray();
    ASSERT_EQ(rows.size(), currentAtStart + 3);
    EXPECT_EQ(rows[0][2].toString(), "次要");
    EXPECT_EQ(rows[0][3].toString(), "温度偏高");
    EXPECT_EQ(rows[1][2].toString(), "紧急");

    // The critical alarm cleared: major is s1's worst now; accumulated stays.
    EXPECT_EQ(results[1].toVariant().toStringList().join(","), "0,1,0,0,0,1,1,0,0,0");
    EXPECT_TRUE(drawnAs(oneCleared, s1, "主要告警"));
    // Both cleared: s1 as drawn, its markers gone; s2 untouched.
    EXPECT_EQ(bitmaps(bothCleared, s1), normal1);
    EXPECT_EQ(markers(bothCleared, kAlarm, s1), 0);
    EXPECT_EQ(markers(bothCleared, kBackboneAlarm, s1), 0);
    EXPECT_EQ(markers(bothCleared, kAlarm, s2), 1);
    EXPECT_TRUE(drawnAs(redrawn, s2, "次要告警"));
    EXPECT_EQ(markers(redrawn, kAlarm, s2), 1);
    EXPECT_EQ(layerOf(redrawn, "Map1", kAlarm)["count"].toInt(), alarmedAtStart + 1);

    // "清除告警": every station's normal bitmap (the names clearAlarm writes
    // differ from the drawn ones only in case), ten zeros, both layers empty.
    EXPECT_EQ(results[4].toVariant().toStringList().join(","), "0,0,0,0,0,0,0,0,0,0"); // [2], [3]: null
    for (const QString& layer : {kTerminal, kOther}) {
        const QString expected = layer == kTerminal ? "光缆网络_终端站.bmp" : "光缆网络_中继站.bmp";
        for (const QJsonValue f : layerOf(clearedAll, "Map1", layer)["features"].toArray()) {
            const QString b = f["style"].toString().section("SymbolBitmapName=", 1).section(';', 0, 0);
            ASSERT_EQ(b.compare(expected, Qt::CaseInsensitive), 0) << b.toStdString();
        }
    }
    EXPECT_EQ(bitmaps(clearedAll, s2).join(";").toLower(), normal2.join(";").toLower());
    EXPECT_EQ(layerOf(clearedAll, "Map1", kAlarm)["count"].toInt(), 0);
    EXPECT_EQ(layerOf(clearedAll, "Map1", kBackboneAlarm)["count"].toInt(), 0);
    EXPECT_TRUE(clearedAll["forms"]["hostAlarmList"]["controls"]["tblAlarms"]["items"].toArray().isEmpty());
    EXPECT_EQ(clearedAll["forms"]["hostAlarmList"]["controls"]["lblAlarmStatus"]["text"].toString(),
              "当前告警 0 条，告警声音已暂停");

    EXPECT_EQ(results.toVariantList().mid(5), QJsonArray({4, 0, 1, 5}).toVariantList()); // getAlarmLevel
}
