// End-to-end: the stand-alone host loads the plug-in, draws a small demo
// network and runs automation scripts against it.

#include "platform/db/SqliteConnection.h"
#include "support/HostRunner.h"
#include "support/NamedRow.h"
#include "support/TempDir.h"

#include <QJsonArray>
#include <QJsonObject>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using ocable::testsupport::HostRunner;
using ocable::testsupport::layerOf;
using ocable::testsupport::scalar;

namespace {

// Stations of the shared network with a position that are of a class by one
// of their three station types, or by their resource type when one is given.
double stations(const std::string& type, const std::string& resourceType = "") {
    const std::string byResource = resourceType.empty() ? "" : " OR STATIONTYPE = '" + resourceType + "'";
    return scalar(HostRunner::sharedRoot() / "network.db",
                  "SELECT COUNT(*) FROM STATION WHERE ('" + type +
                      "' IN (X_STATIONTYPE, STATIONTYPE_II, STATIONTYPE_III)" + byResource +
                      ") AND TRIM(COALESCE(LNG,'')) <> '' AND TRIM(COALESCE(LAT,'')) <> ''");
}

} // namespace

// One run on the shared network: the map as level two sees it, then WASD
// moving the centre (only without Shift or Ctrl), then the view tools
// toggling their bands and checks. (The reopen runs below see every layer
// drawn.)
TEST(HostAutomationTest, LevelTwoMapThenKeysAndViewTools) {
    const auto root = HostRunner::sharedRoot();
    const auto run = HostRunner::run(root, R"([{"dump": true},
        {"key": 87, "shift": 0}, {"dump": true}, {"key": 87, "shift": 1}, {"dump": true},
        {"key": 65, "shift": 0}, {"key": 83, "shift": 0}, {"key": 68, "shift": 2}, {"dump": true},
        {"tool": "mnu_view_Radar", "control": "activebarMain"}, {"dump": true},
        {"tool": "mnu_view_Radar"}, {"tool": "mnu_view_Restree"}, {"tool": "mnu_view_zoomIn"}, {"dump": true}])",
                                     {"--level", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.stderrText;
    const QJsonObject dump = run.dump(0);
    const fs::path db = root / "network.db";
    EXPECT_EQ(layerOf(dump, "Map1", "光缆网络分布图_终端站")["count"].toInt(),
              stations("ZY010301", "ZY502401") + stations("ZY010312", "ZY502402"));
    EXPECT_TRUE(dump["windows"]["frmViewOcableMain"].toBool());
    EXPECT_TRUE(dump["bands"]["activebarMain/frmResTree"].toBool());
    EXPECT_FALSE(dump["bands"]["activebarMain/frmProperty"].toBool());
    EXPECT_TRUE(dump["tools"]["activebarMain/toolbar/mnu_view_Restree"]["checked"].toBool());
    EXPECT_FALSE(dump["tools"]["activebarMain/toolbar/mnu_view_Radar"]["checked"].toBool());
    EXPECT_EQ(dump["maps"]["Map1"]["tool"].toInt(), 1007);

    // The tree: root, one area per domain in display order, provinces with their two class nodes.
    const QJsonArray roots = dump["trees"]["frmViewResTree.TreeRes"].toArray();
    ASSERT_EQ(roots.size(), 1);
    EXPECT_EQ(roots[0]["key"].toString(), "ROOT");
    EXPECT_EQ(roots[0]["text"].toString(), "网络组织图");
    EXPECT_TRUE(roots[0]["checked"].toBool());
    const QJsonArray areas = roots[0]["children"].toArray();
    ASSERT_EQ(areas.size(), scalar(db, "SELECT COUNT(*) FROM EN_ADMIN_DOMAIN"));
    for (const QJsonValue area : areas)
        EXPECT_EQ(area["text"].toString(), "二干");
    const QJsonObject province = areas[0]["children"][0].toObject();
    EXPECT_EQ(province["children"][0]["key"].toString(), province["key"].toString() + ":STA");
    EXPECT_EQ(province["children"][1]["text"].toString(), "光缆段");
    // What was asked of the database (the order is not held to).
    const QJsonArray sql = dump["sql"].toArray();
    EXPECT_TRUE(sql.contains(QJsonValue("SELECT * FROM STATION")));
    EXPECT_TRUE(sql.contains(QJsonValue("SELECT * FROM EN_ADMIN_DOMAIN ORDER BY SERIALNO ")));

    auto centre = [&](int i) {
        const QJsonArray b = run.dump(i)["maps"]["Map1"]["bounds"].toArray();
        return std::pair((b[0].toDouble() + b[2].toDouble()) / 2, (b[1].toDouble() + b[3].toDouble()) / 2);
    };
    EXPECT_NEAR(centre(1).second, centre(0).second - 1, 1e-9); // W: centre Y minus one
    EXPECT_NEAR(centre(2).second, centre(1).second, 1e-9);     // Shift+W: nothing
    EXPECT_NEAR(centre(3).first, centre(2).first + 1, 1e-9);   // A: X plus one, Ctrl+D nothing
    EXPECT_NEAR(centre(3).second, centre(2).second + 1, 1e-9); // S: Y plus one

    const QJsonObject radar = run.dump(4), toggled = run.dump(5);
    EXPECT_TRUE(radar["tools"]["activebarMain/toolbar/mnu_view_Radar"]["checked"].toBool());
    EXPECT_FALSE(toggled["tools"]["activebarMain/toolbar/mnu_view_Radar"]["checked"].toBool());
    EXPECT_TRUE(radar["bands"]["activebarMain/frmResTree"].toBool());
    EXPECT_FALSE(toggled["bands"]["activebarMain/frmResTree"].toBool());
    EXPECT_FALSE(toggled["tools"]["activebarMain/toolbar/mnu_view_Restree"]["checked"].toBool());
    EXPECT_EQ(toggled["maps"]["Map1"]["tool"].toInt(), 1003);
}

TEST(HostAutomationTest, LevelOneDrawsTheReducedBackboneMap) {
    const auto root = HostRunner::sharedRoot();
    const auto run = HostRunner::run(
        root,
        R"([{"dump": true, "features": true, "layers": ["光缆网络分布图_终端站", "光缆网络分布图_骨干光缆段", "光缆网络分布图_光缆段"]}])",
        {"--level", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.stderrText;
    const QJsonObject dump = run.dump(0);
    const fs::path db = root / "network.db";
    // Only terminal and relay stations by their three station types are read
    // (one feature per class a station has).
    EXPECT_EQ(layerOf(dump, "Map1", "光缆网络分布图_终端站")["count"].toInt(),
              stations("ZY010301") + stations("ZY010312"));
    // Every drawn backbone segment is one of the reduced map's.
    const double reduced =
        scalar(db, "SELECT COUNT(*) FROM MAP_V_EN_OCABLE WHERE (RESLEVEL = 'ZY132003' OR "
                   "X_SYSLEVEL = 'ZY110502') AND RESLEVEL NOT IN ('ZY132002','ZY110504','ZY110505') "
                   "AND (LAYMODE IN ('ZY130301','ZY130302','ZY130303','ZY130304','ZY130305',"
                   "'ZY130399','ZY511201','ZY511202','ZY511203','ZY511204','ZY511205','ZY511299','')) "
                   "AND LNG_A IS NOT NULL AND LNG_Z IS NOT NULL");
    EXPECT_EQ(layerOf(dump, "Map1", "光缆网络分布图_骨干光缆段")["count"].toInt(), reduced);
    for (const QJsonValue f : layerOf(dump, "Map1", "光缆网络分布图_骨干光缆段")["features"].toArray())
        EXPECT_NE(f["style"].toString().indexOf("LineWidth=3"), -1) << f["style"].toString().toStdString();
}

// Two parallel backbone segments stored either way round (the second's
// surveyed end differs from its station only beyond the sixth decimal) share
// one label of their count and rounded total length; a third without length
// makes it "0KM" and its own "KM".
static void addParallelSegments(const fs::path& db) {
    ocable::db::SqliteConnection c(db);
    c.execute("INSERT INTO STATION (STATIONCODE, STATIONNAME, LNG, LAT, PROVINCE, X_STATIONTYPE) VALUES "
              "('TX', '测试甲站', 116.1234561, 30.5, 'XZ0116', 'ZY010301')");
    c.execute("INSERT INTO STATION (STATIONCODE, STATIONNAME, LNG, LAT, PROVINCE, X_STATIONTYPE) VALUES "
              "('TY', '测试乙站', 117.5, 31.25, 'XZ0116', 'ZY010301')");
    c.execute(
        "INSERT INTO EN_OCABLE (OCABLECODE, OCABLENAME, STATION_A, STATION_Z, RESLEVEL, LAYMODE, LENGTH) "
        "VALUES ('TC1', '测试甲站-测试乙站', 'TX', 'TY', 'ZY132003', 'ZY130301', 12.5)");
    c.execute(
        "INSERT INTO EN_OCABLE (OCABLECODE, OCABLENAME, STATION_A, STATION_Z, RESLEVEL, LAYMODE, LENGTH, "
        "LNG_Z, LAT_Z) VALUES ('TC2', '测试乙站－测试甲站', 'TY', 'TX', 'ZY132003', 'ZY130301', 13, "
        "116.1234569, 30.5)");
}
const QJsonObject kBackboneDump = ocable::testsupport::dumpStep({"光缆网络分布图_骨干光缆段"});
// The backbone labels of a dump, by code.
static std::map<std::string, std::string> labels(const QJsonObject& dump) {
    std::map<std::string, std::string> byCode;
    for (const QJsonValue f : layerOf(dump, "Map1", "光缆网络分布图_骨干光缆段")["features"].toArray())
        byCode[f["row"][1].toString().toStdString()] = f["row"][0].toString().toStdString();
    return byCode;
}

// The whole map drawn first, with two parallel backbone segments added; then
// a drawing of two domains in the order asked, under the configured caption;
// a close queued before it runs inside it and is refused there, the next one
// closes the view and saves its geoset. A second run with a third parallel
// segment; a third with the microwave layer taken out of the geoset.
TEST(HostAutomationTest, ParallelLabelsScopedDrawingAndAGeosetWithoutMicrowaves) {
    const auto dir = HostRunner::freshRoot("scope");
    const fs::path root = dir->path();
    dir->write("system/data/config/guiConfig.ini",
               "[CAPTION_VIEWOCABLENET]\nCAPTION_RESTREE_SECONDNODE=省际干线\n");
    addParallelSegments(root / "network.db");
    const auto domains = ocable::testsupport::firstColumn(
        root / "network.db", "SELECT DOMAINNAME FROM EN_ADMIN_DOMAIN ORDER BY SERIALNO LIMIT 2");
    const auto run = HostRunner::run(
        root,
        QJsonArray{kBackboneDump, QJsonObject{{"call", "frmViewOcableMain.close"}, {"queued", true}},
                   ocable::testsupport::callStep(
                       "frmViewOcableMain.drawOcableNetMap",
                       {"按管理区域划分", QString::fromStdString(domains.at(1) + "," + domains.at(0))}),
                   QJsonObject{{"dump", true}}, ocable::testsupport::callStep("frmViewOcableMain.close"),
                   QJsonObject{{"wait", 50}}, QJsonObject{{"dump", true}}});
    ASSERT_EQ(run.exitCode, 0) << run.stderrText;
    auto l2 = labels(run.dump(0));
    EXPECT_EQ(l2["TC1"], "光缆数-2条,长度:13KM");
    EXPECT_EQ(l2["TC2"], "光缆数-2条,长度:13KM");

    const QJsonObject dump = run.dump(1);
    const QJsonArray areas = dump["trees"]["frmViewResTree.TreeRes"][0]["children"].toArray();
    ASSERT_EQ(areas.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(areas[i]["key"].toString().toStdString(), domains.at(1 - i));
        EXPECT_EQ(areas[i]["text"].toString(), "省际干线");
    }
    EXPECT_TRUE(std::ranges::any_of(ocable::testsupport::sqlTexts(dump), [](const std::string& s) {
        return s.starts_with("SELECT * FROM STATION WHERE ( PROVINCE = '");
    }));

    // The queued close ran inside the drawing and was refused there.
    EXPECT_EQ(
        run.output["queued"],
        (QJsonArray{QJsonObject{{"call", "frmViewOcableMain.close"}, {"ran", true}, {"result", false}}}));
    EXPECT_EQ(run.output["results"], (QJsonArray{QJsonValue::Null, true, true})); // drawn, then closed
    EXPECT_TRUE(dump["windows"]["frmViewOcableMain"].toBool());
    EXPECT_FALSE(run.dump(2)["windows"]["frmViewOcableMain"].toBool());
    EXPECT_TRUE(fs::exists(root / "map" / "光缆网络分布图.gst"));

    ocable::db::SqliteConnection(root / "network.db")
        .execute("INSERT INTO EN_OCABLE (OCABLECODE, OCABLENAME, STATION_A, STATION_Z, RESLEVEL, LAYMODE, "
                 "LENGTH) VALUES ('TC3', '测试甲站-测试乙站', 'TX', 'TY', 'ZY132003', 'ZY130301', NULL)");
    const auto three = HostRunner::run(root, QJsonArray{kBackboneDump});
    ASSERT_EQ(three.exitCode, 0) << three.stderrText;
    auto l3 = labels(three.dump(0));
    EXPECT_EQ(l3["TC1"], "光缆数-3条,长度:0KM");
    EXPECT_EQ(l3["TC2"], "光缆数-3条,长度:0KM");
    EXPECT_EQ(l3["TC3"], "光缆数-3条,长度:KM");

    // A geoset without the microwave layer fails the drawing. Its block goes:
    // from its "[layer]" line to the next.
    std::string text = ocable::testsupport::readText(root / "app" / "Map" / "光缆网络分布图.gst");
    const auto name = text.find("光缆网络分布图_微波段");
    ASSERT_NE(name, std::string::npos);
    const auto begin = text.rfind("[layer]", name);
    const auto end = text.find("[layer]", name);
    text.erase(begin, end == std::string::npos ? std::string::npos : end - begin);
    dir->write("app/Map/光缆网络分布图.gst", text);

    const auto failed = HostRunner::run(root, R"([{"dump": true}])");
    ASSERT_EQ(failed.exitCode, 0) << failed.stderrText;
    const QJsonObject drawn = failed.dump(0);
    EXPECT_FALSE(drawn["windows"]["frmViewOcableMain"].toBool());
    EXPECT_EQ(std::ranges::count(ocable::testsupport::messageTexts(drawn), "绘制光缆网络分布图时出错！"), 1);
    // The view's own words also reach stderr (and a --log file) for support.
    EXPECT_NE(failed.stderrText.find("绘制光缆网络分布图时出错！"), std::string::npos) << failed.stderrText;
}

// Closing the view and opening it again before control returns to the event
// loop, as a host does when the login changes: the second view is a new one,
// drawn in full like the first, and nothing touches the first after its
// close (the sanitizers would end the run). That the first is drawn at all
// the resource tree and map interaction tests show.
struct ReopenCase : ocable::testsupport::NamedRow {
    const char* steps;
    bool reopenedByCall; // the last call's result is the drawing's
};

class HostReopenTest : public testing::TestWithParam<ReopenCase> {};

TEST_P(HostReopenTest, TheReopenedViewIsDrawnInFull) {
    const auto dir = HostRunner::freshRoot("reopen");
    const auto run = HostRunner::run(dir->path(), GetParam().steps);
    ASSERT_EQ(run.exitCode, 0) << run.stderrText; // a signal or a sanitizer's report is not 0
    for (const QJsonValue q : run.output["queued"].toArray())
        EXPECT_TRUE(q["ran"].toBool()) << q["call"].toString().toStdString();
    if (GetParam().reopenedByCall) {
        EXPECT_EQ(run.output["results"].toArray().last(), QJsonValue(true));
    }

    const QJsonObject before = run.dump(0), after = run.dumps().last().toObject();
    EXPECT_TRUE(after["windows"]["frmViewOcableMain"].toBool());
    for (const char* layer : {"光缆网络分布图_终端站", "光缆网络分布图_其它局站", "光缆网络分布图_光缆段",
                              "光缆网络分布图_骨干光缆段", "光缆网络分布图_微波段"})
        EXPECT_EQ(layerOf(after, "Map1", layer)["count"], layerOf(before, "Map1", layer)["count"]) << layer;
    EXPECT_EQ(after["trees"]["frmViewResTree.TreeRes"], before["trees"]["frmViewResTree.TreeRes"]);
}

INSTANTIATE_TEST_SUITE_P(
    Reopen, HostReopenTest,
    testing::Values(
        ReopenCase{{"CloseThenMenu"},
                   R"([{"dump": true}, {"call": "frmViewOcableMain.close"}, {"wait": 100},
                       {"call": "hostWindow.viewOcable.trigger"}, {"wait": 100}, {"dump": true}])",
                   false},
        ReopenCase{{"CloseAndMenuInOneEventLoopPass"},
                   R"([{"dump": true}, {"call": "frmViewOcableMain.close", "queued": true},
                       {"call": "hostWindow.viewOcable.trigger", "queued": true}, {"wait": 100}, {"dump": true}])",
                   false},
        ReopenCase{
            {"CloseMenuThenDraw"},
            R"([{"dump": true}, {"call": "frmViewOcableMain.close"}, {"call": "hostWindow.viewOcable.trigger"},
                       {"call": "frmViewOcableMain.drawOcableNetMap", "args": ["按管理区域划分", "NULL"]},
                       {"wait": 100}, {"dump": true}])",
            true}),
    ocable::testsupport::rowName);
