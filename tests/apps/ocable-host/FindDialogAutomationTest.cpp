// End to end through the automation mode: the find dialog ("资源查找") on a
// small demo network whose names the tests set, each hit read back as the one
// feature selected on the map and checked against the database.

#include "platform/db/SqliteConnection.h"
#include "support/HostRunner.h"
#include "support/TempDir.h"

#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

using ocable::testsupport::HostRunner;
using ocable::testsupport::messageTexts;
using ocable::testsupport::sqlTexts;
const auto column = ocable::testsupport::firstColumn;

// Gives the rows of the first three codes of the query the names, in order.
std::vector<std::string> rename(const fs::path& db, const std::string& table, const std::string& codeColumn,
                                const std::string& nameColumn, const std::string& codeLike,
                                const std::vector<std::string>& names) {
    auto codes = column(db, "SELECT " + codeColumn + " FROM " + table + " WHERE " + codeColumn + " LIKE '" +
                                codeLike + "' ORDER BY " + codeColumn + " LIMIT 3");
    for (std::size_t i = 0; i < names.size(); ++i)
        ocable::db::SqliteConnection(db).execute("UPDATE " + table + " SET " + nameColumn + " = '" +
                                                 names[i] + "' WHERE " + codeColumn + " = '" + codes.at(i) +
                                                 "'");
    return codes;
}

const QStringList kNetwork = {"光缆网络分布图_终端站", "光缆网络分布图_其它局站", "光缆网络分布图_光缆段",
                              "光缆网络分布图_骨干光缆段"};

// The script with DUMP for a dump of the network layers.
std::string script(const std::string& steps) {
    return ocable::testsupport::withDumps(steps, kNetwork);
}

// The codes of every feature selected on the network map.
std::vector<std::string> located(const QJsonObject& d) {
    std::vector<std::string> codes;
    for (const QString& layer : kNetwork)
        std::ranges::copy(ocable::testsupport::codesOn(d, layer, true), std::back_inserter(codes));
    return codes;
}

QJsonObject controlOf(const QJsonObject& d, const char* name) {
    return d["forms"][QString("frmViewFindStation")]["controls"][QString(name)].toObject();
}
std::string currentItem(const QJsonObject& d, const char* list) {
    const QJsonObject c = controlOf(d, list);
    return c["items"][c["current"].toInt()].toString().toStdString();
}

// One run. Three stations named "寻踪…": a matching search steps through
// them, one per press (the button, F3, Enter), says "查询完毕！" on the third
// and starts over; a changed text queries anew; closing the dialog ends F3's
// stepping. Reopened from the menu, the dialog searches cable segments named
// by end stations joined by either dash: the list finds "A－B" for typed A
// and B, exact searches (two hits, then one) and a matching search on one
// name, and a double click that only fills the boxes.
TEST(FindDialogAutomation, StationsSteppedThroughAndCableSearchesTreatBothDashesAlike) {
    const auto dir = HostRunner::freshRoot("find");
    const fs::path root = dir->path(), db = root / "network.db";
    rename(db, "STATION", "STATIONCODE", "STATIONNAME", "%ST00001", {"寻踪一站", "寻踪二站", "寻踪三站"});
    const std::string like = "SELECT STATIONCODE FROM STATION WHERE STATIONNAME LIKE '%寻踪%'";
    const auto hits = column(db, like);
    ASSERT_EQ(hits.size(), 3u);
    const auto codes = rename(db, "EN_OCABLE", "OCABLECODE", "OCABLENAME", "4112OC%",
                              {"寻踪一站－寻踪二站", "寻踪二站-寻踪一站", "寻踪一站-寻踪三站"});
    const auto names = column(db, "SELECT OCABLENAME FROM EN_OCABLE ORDER BY OCABLENAME");
    const int wideRow =
        static_cast<int>(std::find(names.begin(), names.end(), "寻踪一站－寻踪二站") - names.begin());
    // Ctrl+F, then F3 (114) and Enter step through the hits.
    const auto run = HostRunner::run(root, script(R"([{"key": 70, "shift": 2},
        {"click": "frmViewFindStation.cmdOK"}, {"click": "frmViewFindStation.chkMatch"},
        {"type": "frmViewFindStation.txtStation", "text": "寻踪"}, {"click": "frmViewFindStation.cmdOK"}, DUMP,
        {"key": 114}, DUMP,
        {"type": "frmViewFindStation.txtStation", "text": "寻踪", "enter": true}, DUMP,
        {"click": "frmViewFindStation.cmdOK"}, DUMP,
        {"type": "frmViewFindStation.txtStation", "text": "寻踪二"}, {"click": "frmViewFindStation.cmdOK"}, DUMP,
        {"call": "frmViewFindStation.close"}, {"key": 114}, DUMP,
        {"tool": "mnuFindRes", "control": "ActiveBarMenu"},
        {"click": "frmViewFindStation.SSTabRes", "tab": 1}, {"type": "frmViewFindStation.txtStart", "text": "寻踪一站"},
        {"type": "frmViewFindStation.txtEnd", "text": "寻踪二站"}, {"click": "frmViewFindStation.cmdOK"}, DUMP,
        {"click": "frmViewFindStation.cmdOK"}, DUMP,
        {"type": "frmViewFindStation.txtEnd", "text": "寻踪三站", "enter": true}, DUMP,
        {"click": "frmViewFindStation.chkMatch"}, {"type": "frmViewFindStation.txtEnd", "text": "", "enter": true}, DUMP,
        {"click": "frmViewFindStation.cmdOK"}, {"click": "frmViewFindStation.cmdOK"}, DUMP,
        {"type": "frmViewFindStation.txtStart", "text": ""},
        {"click": "frmViewFindStation.lstOcable", "row": )" +
                                                  std::to_string(wideRow) + R"(, "double": true}, DUMP])"));
    ASSERT_EQ(run.exitCode, 0) << run.stderrText;
    const auto d = [&](int i) { return run.dump(i); };

    EXPECT_EQ(messageTexts(d(0)).at(0), "请输入要查询的局站名！");
    EXPECT_EQ(d(0)["messages"][0][QString("title")], "信息提示");
    EXPECT_EQ(currentItem(d(0), "lstStation"), "寻踪一站");
    const std::vector<std::vector<std::string>> expected = {
        {hits[0]},
        {hits[1]},
        {hits[2]},
        {hits[0]},
        {column(db, "SELECT STATIONCODE FROM STATION WHERE "
                    "STATIONNAME = '寻踪二站'")}};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(located(d(i)), expected[i]) << "dump " << i;
    // One query for the three hits, another after "查询完毕！".
    EXPECT_EQ(std::ranges::count(sqlTexts(d(2)), like), 1);
    EXPECT_EQ(std::ranges::count(messageTexts(d(1)), "查询完毕！"), 0);
    EXPECT_EQ(std::ranges::count(messageTexts(d(2)), "查询完毕！"), 1);
    EXPECT_EQ(std::ranges::count(sqlTexts(d(3)), like), 2);
    EXPECT_EQ(std::ranges::count(sqlTexts(d(4)),
                                 "SELECT STATIONCODE FROM STATION WHERE STATIONNAME LIKE '%寻踪二%'"),
              1);
    EXPECT_EQ(std::ranges::count(messageTexts(d(4)), "查询完毕！"), 2); // its only hit is its last
    EXPECT_EQ(sqlTexts(d(5)), sqlTexts(d(4)));
    EXPECT_FALSE(d(5)["windows"][QString("frmViewFindStation")].toBool());

    // Reopened after the close, the dialog is a new one: the station text and
    // the ticked "匹配查找" are gone, and the cable lookups below read its own
    // list and boxes, not those of the closed dialog that lingers until its
    // deferred delete. "查询完毕！" counts on from the station search's two.
    EXPECT_EQ(controlOf(d(6), "txtStation")["text"], "");
    EXPECT_EQ(currentItem(d(6), "lstOcable"), "寻踪一站－寻踪二站");
    const std::string exactTwo = "SELECT OCABLECODE FROM EN_OCABLE WHERE OCABLENAME = '寻踪一站-寻踪二站' OR "
                                 "OCABLENAME = '寻踪二站-寻踪一站'OR OCABLENAME = '寻踪一站－寻踪二站' OR "
                                 "OCABLENAME = '寻踪二站－寻踪一站'";
    const auto twoHits = column(db, exactTwo);
    ASSERT_EQ(twoHits.size(), 2u);
    // An exact search queries on every press and locates its first hit.
    EXPECT_EQ(located(d(6)), std::vector{twoHits[0]});
    EXPECT_EQ(located(d(7)), std::vector{twoHits[0]});
    EXPECT_EQ(std::ranges::count(sqlTexts(d(7)), exactTwo), 2);
    EXPECT_EQ(std::ranges::count(messageTexts(d(7)), "查询完毕！"), 2);
    EXPECT_EQ(located(d(8)), std::vector{codes[2]});
    EXPECT_EQ(std::ranges::count(messageTexts(d(8)), "查询完毕！"), 3);

    const std::string matching = "SELECT OCABLECODE FROM EN_OCABLE  WHERE OCABLENAME LIKE '%寻踪一站%%' OR "
                                 "OCABLENAME LIKE '%%寻踪一站%'";
    const auto all = column(db, matching);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(located(d(9)), std::vector{all[0]});
    EXPECT_EQ(located(d(10)), std::vector{all[2]});
    EXPECT_EQ(std::ranges::count(sqlTexts(d(10)), matching), 1);
    EXPECT_EQ(std::ranges::count(messageTexts(d(10)), "查询完毕！"), 4);

    EXPECT_EQ(controlOf(d(11), "txtStart")["text"], "寻踪一站");
    EXPECT_EQ(controlOf(d(11), "txtEnd")["text"], "寻踪二站");
    EXPECT_EQ(sqlTexts(d(11)).size(), sqlTexts(d(10)).size());
}

} // namespace
