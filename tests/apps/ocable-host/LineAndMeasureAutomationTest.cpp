// End to end through the automation mode on the small demo network: the
// cable line window of every parallel backbone group, checked cell by cell
// against the code-table translation read apart from the host, one query per
// cell; the length of selected cable segments and the distance between two
// stations, with the clipboard after each.

#include "platform/db/SqlQuote.h"
#include "platform/db/SqliteConnection.h"
#include "support/HostRunner.h"

#include <GeographicLib/Geodesic.hpp>
#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace fs = std::filesystem;
using ocable::db::sqlQuote;
using ocable::testsupport::HostRunner;

namespace {

const auto column = ocable::testsupport::firstColumn;

QJsonObject call(const QString& procedure, const QString& arg) {
    return ocable::testsupport::callStep("frmViewOcableMain." + procedure, {arg});
}
using ocable::testsupport::toolStep;
// A click at a map position, adding to the selection.
QJsonObject addClick(double lng, double lat) {
    return {{"mouse", "click"}, {"map", "Map1"}, {"button", 1}, {"shift", 1}, {"lng", lng}, {"lat", lat}};
}
const QJsonObject kDump{{"dump", true}};

using Rows = std::vector<std::vector<std::string>>;

// The line window's rows as the Part builds them, read straight from the
// database: the segments with the same four ends either way round, a row per
// detail row, a column per dictionary entry, each cell through its own
// code-table query.
Rows perCellRows(const fs::path& db, const std::string& code) {
    ocable::db::SqliteConnection sql(db);
    const auto fields = column(db, "select ENFIELD from tabledictionarynew where tablename = 'EN_OCABLE' "
                                   "order by isvisible desc,serial");
    const std::string ends =
        "(SELECT LNG_A, LAT_A, LNG_Z, LAT_Z FROM MAP_V_EN_OCABLE WHERE OCABLECODE = " + sqlQuote(code) +
        ") E";
    Rows rows;
    for (const auto& member :
         column(db, "SELECT O.OCABLECODE FROM MAP_V_EN_OCABLE O, " + ends +
                        " WHERE (O.LNG_A = E.LNG_A AND O.LAT_A = E.LAT_A AND O.LNG_Z = E.LNG_Z "
                        "AND O.LAT_Z = E.LAT_Z) OR (O.LNG_A = E.LNG_Z AND O.LAT_A = E.LAT_Z AND "
                        "O.LNG_Z = E.LNG_A AND O.LAT_Z = E.LAT_A)"))
        for (auto rs = sql.query("select * from V_EN_OCABLE$OC where OCABLECODE=" + sqlQuote(member));
             !rs->Eof(); rs->MoveNext()) {
            auto& row = rows.emplace_back();
            for (const auto& f : fields) {
                const std::string raw = rs->Fields(f).toText();
                const auto text = column(db, "SELECT XTXX FROM XTBM WHERE XTBM = " + sqlQuote(raw));
                row.push_back(text.empty() ? raw : text.front());
            }
        }
    std::sort(rows.begin(), rows.end());
    return rows;
}

Rows shownRows(const QJsonObject& grid) {
    Rows rows;
    for (const QJsonValue r : grid["rows"].toArray()) {
        auto& row = rows.emplace_back();
        for (const QJsonValue cell : r.toArray())
            row.push_back(cell.toString().toStdString());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

// One run on one copy of the network. Every parallel backbone group opened
// in the line window, one of them stored both ways round: the window lists
// each member once whichever way it runs, with the cells the per-cell
// translation gives, from one code-table query per window. Then lengths 12,
// 7.5 and a lone backbone label "…长度:30KM" make 50 (7.5 rounds to 8); a
// fourth segment without length counts as one of 0; a backbone label without
// a number ends the command quietly; a distance of exactly 100 km reads
// "100.00". Each result is on the clipboard as the bare number. (The measured
// segments are none of the groups'.)
TEST(LineAndMeasureAutomationTest, LineWindowsMatchThePerCellTranslationAndLengthsAndDistanceAreCopied) {
    const fs::path root = HostRunner::keptRoot("line");
    const fs::path db = root / "network.db";
    // A backbone-only member of each group, the groups stored both ways first.
    const auto groups = column(
        db, "SELECT MIN(OCABLECODE) FROM MAP_V_EN_OCABLE WHERE RESLEVEL IN ('ZY132001','ZY132003','ZY110502',"
            "'ZY110503') AND (LAYMODE LIKE 'ZY1303%' OR LAYMODE LIKE 'ZY5112%') GROUP BY "
            "MIN(STATION_A, STATION_Z), MAX(STATION_A, STATION_Z) HAVING COUNT(*) > 1 ORDER BY "
            "COUNT(DISTINCT STATION_A) DESC, 1");
    ASSERT_GE(groups.size(), 10u);
    QJsonArray steps;
    for (const auto& code : groups)
        steps << call("locateOcable", QString::fromStdString(code)) << toolStep("mnuLineinfo") << kDump;
    ocable::db::SqliteConnection conn(db);
    const std::string drawn =
        " AND (LAYMODE LIKE 'ZY1303%' OR LAYMODE LIKE 'ZY5112%') AND LNG_A IS NOT NULL AND "
        "LNG_Z IS NOT NULL ";
    const auto ordinary = column(db, "SELECT OCABLECODE FROM MAP_V_EN_OCABLE WHERE RESLEVEL = 'ZY132002'" +
                                         drawn + "ORDER BY 1");
    const auto lone =
        column(db, "SELECT OCABLECODE FROM MAP_V_EN_OCABLE O WHERE RESLEVEL = 'ZY132001'" + drawn +
                       "AND NOT EXISTS (SELECT 1 FROM EN_OCABLE P WHERE P.OCABLECODE <> O.OCABLECODE "
                       "AND MIN(P.STATION_A, P.STATION_Z) = MIN(O.STATION_A, O.STATION_Z) AND "
                       "MAX(P.STATION_A, P.STATION_Z) = MAX(O.STATION_A, O.STATION_Z)) ORDER BY 1");
    ASSERT_GE(ordinary.size(), 3u);
    ASSERT_GE(lone.size(), 2u);
    const std::map<std::string, std::string> lengths = {
        {ordinary[0], "12"}, {ordinary[1], "7.5"}, {lone[0], "30"}, {ordinary[2], "NULL"}, {lone[1], "NULL"}};
    for (const auto& [code, length] : lengths)
        conn.execute("UPDATE EN_OCABLE SET LENGTH = " + length + " WHERE OCABLECODE = " + sqlQuote(code));
    auto midpoint = [&](const std::string& code) {
        auto rs = conn.query(
            "SELECT (LNG_A + LNG_Z) / 2, (LAT_A + LAT_Z) / 2 FROM MAP_V_EN_OCABLE WHERE OCABLECODE = " +
            sqlQuote(code));
        return addClick(*rs->Fields(0).toDouble(), *rs->Fields(1).toDouble());
    };

    // Station B is put exactly 100 km east of station A on the WGS84 ellipsoid.
    const auto stations =
        column(db, "SELECT STATIONCODE FROM STATION WHERE LNG IS NOT NULL AND X_STATIONTYPE = "
                   "'ZY010301' ORDER BY 1");
    ASSERT_GE(stations.size(), 2u);
    auto rs = conn.query("SELECT LNG, LAT FROM STATION WHERE STATIONCODE = " + sqlQuote(stations[0]));
    const double lngA = *rs->Fields(0).toDouble(), latA = *rs->Fields(1).toDouble();
    double latB = 0, lngB = 0;
    GeographicLib::Geodesic::WGS84().Direct(latA, lngA, 90, 100000, latB, lngB);
    conn.execute("UPDATE STATION SET LNG = " + ocable::db::sqlNumber(lngB) +
                 ", LAT = " + ocable::db::sqlNumber(latB) + " WHERE STATIONCODE = " + sqlQuote(stations[1]));

    for (const QJsonValue step : QJsonArray{
             call("locateOcable", QString::fromStdString(ordinary[0])), midpoint(ordinary[1]),
             midpoint(lone[0]), toolStep("mnuGetLength"), kDump, midpoint(ordinary[2]),
             toolStep("mnuGetLength"), toolStep("mnuXY"), kDump, midpoint(lone[1]), toolStep("mnuGetLength"),
             kDump, call("locateStation", QString::fromStdString(stations[0])), toolStep("mnuXY"),
             addClick(lngB, latB), QJsonObject{{"call", "hostWindow.toolXY.trigger"}},
             toolStep("mnuGetLength"), kDump})
        steps << step;
    const auto run = HostRunner::run(root, steps);
    ASSERT_EQ(run.exitCode, 0) << run.stderrText;
    const QJsonArray dumps = run.dumps();

    // The first hidden column.
    EXPECT_EQ(dumps[0]["forms"]["frmShowLineInfox"]["controls"]["fbLineShow"]["headings"][14], "光缆段编码");
    std::size_t sqlSeen = 0;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        SCOPED_TRACE(groups[i]);
        const QJsonObject form = dumps[static_cast<qsizetype>(i)]["forms"]["frmShowLineInfox"].toObject();
        const QJsonObject grid = form["controls"]["fbLineShow"].toObject();
        EXPECT_EQ(form["caption"].toString(), "骨干光缆段");
        EXPECT_EQ(grid["sheet"].toString(), "骨干光缆段");
        EXPECT_EQ(grid["hidden"].toArray(), (QJsonArray{15, 16, 17, 18, 19, 20, 21}));
        const Rows rows = shownRows(grid);
        EXPECT_EQ(rows, perCellRows(db, groups[i]));

        // This window's statements: the dictionary, a detail query per
        // member, then one code-table query for all its cells.
        // The dump lists every statement so far; those before the first
        // window are the drawing's. The window's first is the dictionary.
        std::vector<std::string> mine =
            ocable::testsupport::sqlTexts(dumps[static_cast<qsizetype>(i)].toObject());
        const auto since = mine.begin() + static_cast<std::ptrdiff_t>(std::exchange(sqlSeen, mine.size()));
        mine.erase(mine.begin(), std::find_if(since, mine.end(), [](const std::string& s) {
                       return s.starts_with("select * from tabledictionarynew");
                   }));
        ASSERT_EQ(mine.size(), rows.size() + 2);
        for (std::size_t k = 1; k + 1 < mine.size(); ++k)
            EXPECT_TRUE(mine[k].starts_with("select * from V_EN_OCABLE$OC where OCABLECODE='")) << mine[k];
        EXPECT_TRUE(mine.back().starts_with("SELECT XTBM, XTXX FROM XTBM WHERE XTBM IN ('")) << mine.back();
    }

    // The first group runs both ways: both directions are listed, with the
    // resource level and lay mode translated from their codes.
    const Rows first = shownRows(dumps[0]["forms"]["frmShowLineInfox"]["controls"]["fbLineShow"].toObject());
    std::set<std::pair<std::string, std::string>> directions;
    for (const auto& row : first) {
        directions.insert({row[15], row[16]});
        EXPECT_FALSE(row[4].starts_with("ZY")) << row[4];
        EXPECT_FALSE(row[5].starts_with("ZY")) << row[5];
    }
    EXPECT_EQ(directions.size(), 2u);
    EXPECT_TRUE(directions.count({directions.begin()->second, directions.begin()->first}));

    // The measuring dumps follow the windows'.
    const auto at = static_cast<qsizetype>(groups.size());
    auto texts = [&](int d) { return ocable::testsupport::messageTexts(run.dump(at + d)); };
    auto clipboard = [&](int d) { return run.dump(at + d)["clipboard"].toString().toStdString(); };

    EXPECT_EQ(texts(0), (std::vector<std::string>{"这3段光缆的长度为：50km"}));
    EXPECT_EQ(clipboard(0), "50");
    // Selected cable segments are no stations for the distance.
    EXPECT_EQ(texts(1), (std::vector<std::string>{"这3段光缆的长度为：50km", "这4段光缆的长度为：50km",
                                                  "请选择要计算长度的两个点！"}));
    EXPECT_EQ(clipboard(1), "50");
    // "…长度:KM" has no number after its ":": no message, the clipboard kept.
    EXPECT_EQ(texts(2).size(), 3u);
    EXPECT_EQ(clipboard(2), "50");
    // One station, then two through the host's menu; with only stations
    // selected the length has nothing to add up.
    EXPECT_EQ(texts(3),
              (std::vector<std::string>{"这3段光缆的长度为：50km", "这4段光缆的长度为：50km",
                                        "请选择要计算长度的两个点！", "请选择要计算长度的两个点！",
                                        "这两点间的直线距离为：100.00km", "请选择要统计长度的光缆段！"}));
    EXPECT_EQ(clipboard(3), "100.00");
}

} // namespace
