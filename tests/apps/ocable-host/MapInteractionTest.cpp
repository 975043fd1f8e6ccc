// End to end through the automation mode on a small demo network: a station
// moved and saved (or put back), locating by codes drawn in two layers, the
// pop-up's availability, the overview, the property form and the host's
// windows behind the pop-up commands.

#include "platform/db/SqliteConnection.h"
#include "support/HostRunner.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace fs = std::filesystem;

namespace {

const QString kTerminal = "光缆网络分布图_终端站";
const QString kOther = "光缆网络分布图_其它局站";
const QString kCable = "光缆网络分布图_光缆段";
const QString kBackbone = "光缆网络分布图_骨干光缆段";
const QString kMicrowave = "光缆网络分布图_微波段";

using ocable::testsupport::dumpStep;
using ocable::testsupport::HostRun;
using ocable::testsupport::HostRunner;
using ocable::testsupport::layerOf;
using ocable::testsupport::toolStep;
const auto column = ocable::testsupport::firstColumn;
const auto number = ocable::testsupport::scalar;

QJsonObject call(const QString& procedure, QJsonArray args = {}) {
    return ocable::testsupport::callStep("frmViewOcableMain." + procedure, args);
}
QJsonObject mouse(const QString& action, int button, double lng, double lat, int shift = 0,
                  const QString& map = "Map1") {
    return {{"mouse", action}, {"map", map}, {"button", button},
            {"shift", shift},  {"lng", lng}, {"lat", lat}};
}
bool popupEnabled(const QJsonObject& d, const QString& key) {
    return d["tools"]["ActiveBarMenu/mnuPop/" + key]["enabled"].toBool();
}
bool samePoint(const QJsonValue& p, double x, double y) {
    return std::abs(p[0].toDouble() - x) < 1e-9 && std::abs(p[1].toDouble() - y) < 1e-9;
}

// The station at the A end of the first microwave segment, with a quote put
// into its name; it ends cable segments and that microwave segment.
struct MovedStation {
    std::string code;
    double lng, lat;
    std::set<std::string> lines; // codes of the lines ending at it
};

MovedStation prepareStation(const fs::path& db) {
    MovedStation s;
    s.code = column(db, "SELECT STATION_A FROM MAP_V_EN_MW_Seg ORDER BY seg_code LIMIT 1").at(0);
    s.lng = number(db, "SELECT LNG FROM STATION WHERE STATIONCODE = '" + s.code + "'");
    s.lat = number(db, "SELECT LAT FROM STATION WHERE STATIONCODE = '" + s.code + "'");
    ocable::db::SqliteConnection(db).execute(
        "UPDATE STATION SET STATIONNAME = '东城''枢纽站' WHERE STATIONCODE = '" + s.code + "'");
    for (const auto& c : column(db, "SELECT OCABLECODE FROM MAP_V_EN_OCABLE WHERE STATION_A = '" + s.code +
                                        "' OR STATION_Z = '" + s.code +
                                        "' UNION SELECT seg_code FROM "
                                        "MAP_V_EN_MW_Seg WHERE STATION_A = '" +
                                        s.code + "' OR STATION_Z = '" + s.code + "'"))
        s.lines.insert(c);
    return s;
}

// The steps with a move appended. The first time, zoom in on the station
// until it stands alone under the cursor and switch drag mode on (it stays
// on); then press on the station, let the pick-up tick, drag, answer,
// release.
QJsonArray moveSteps(QJsonArray steps, const MovedStation& s, double lng, double lat, const QString& answer,
                     bool first) {
    if (first) {
        steps << call("locateStation", {QString::fromStdString(s.code)})
              << toolStep("mnu_view_zoomIn", "activebarMain");
        for (int i = 0; i < 7; ++i)
            steps.append(mouse("click", 1, s.lng, s.lat));
        steps.append(toolStep("mnu_view_selectSingle", "activebarMain"));
        steps.append(toolStep("mnu_view_Drag", "activebarMain"));
    }
    for (const QJsonValue step : QJsonArray{mouse("mouseDown", 1, s.lng, s.lat), QJsonObject{{"wait", 50}},
                                            mouse("mouseMove", 1, lng, lat), QJsonObject{{"answer", answer}},
                                            mouse("mouseUp", 1, lng, lat), dumpStep()})
        steps.append(step);
    return steps;
}

// One run on one prepared copy. A station that is a terminal by its resource
// type and "other" by its station types is drawn in both station layers; a
// cable whose level excludes it from neither class in both cable layers:
// each is located in the first, and the pop-up follows the selection. Then a
// station moved, "No" first: it goes back exactly and nothing is written;
// then the same move answered "Yes".
TEST(MapInteractionTest, CodesInTwoLayersLocatedInTheFirstThenAMovedStationPutBackOrSaved) {
    const fs::path root = HostRunner::keptRoot("locate");
    const fs::path db = root / "network.db";
    const std::string station =
        column(db, "SELECT STATIONCODE FROM STATION WHERE X_STATIONTYPE = 'ZY010308' AND "
                   "STATIONTYPE_II IS NULL AND LNG IS NOT NULL ORDER BY 1 LIMIT 1")
            .at(0);
    const std::string second =
        column(db, "SELECT STATIONCODE FROM STATION WHERE X_STATIONTYPE = 'ZY010308' AND "
                   "STATIONCODE > '" +
                       station + "' AND LNG IS NOT NULL ORDER BY 1 LIMIT 1")
            .at(0);
    const std::string cable =
        column(db, "SELECT OCABLECODE FROM EN_OCABLE WHERE LAYMODE = 'ZY130301' ORDER BY 1 LIMIT 1").at(0);
    ocable::db::SqliteConnection conn(db);
    conn.execute(
        "UPDATE STATION SET STATIONTYPE = 'ZY502401', STATIONTYPE_III = 'ZY010305' WHERE STATIONCODE = '" +
        station + "'");
    conn.execute("UPDATE EN_OCABLE SET RESLEVEL = 'ZY132099', X_SYSLEVEL = NULL WHERE OCABLECODE = '" +
                 cable + "'");
    const double lng2 = number(db, "SELECT LNG FROM STATION WHERE STATIONCODE = '" + second + "'");
    const double lat2 = number(db, "SELECT LAT FROM STATION WHERE STATIONCODE = '" + second + "'");

    const MovedStation s = prepareStation(db);
    ASSERT_NE(s.code, station) << "the moved station is drawn in one layer";
    const double lng = s.lng + 0.05, lat = s.lat + 0.03;
    const HostRun run = HostRunner::run(
        root,
        moveSteps(moveSteps({call("locateStation", {QString::fromStdString(station)}),
                             mouse("mouseUp", 2, lng2, lat2), dumpStep(), mouse("click", 1, lng2, lat2, 1),
                             mouse("mouseUp", 2, lng2, lat2), dumpStep(),
                             call("locateOcable", {QString::fromStdString(cable)}),
                             mouse("mouseUp", 2, lng2, lat2), dumpStep(), call("locateOcable", {"NOPE"}),
                             mouse("mouseUp", 2, lng2, lat2), dumpStep()},
                            s, lng, lat, "No", true),
                  s, lng, lat, "Yes", false));
    ASSERT_EQ(run.exitCode, 0) << run.stderrText;
    EXPECT_EQ(run.output["results"].toArray(),
              (QJsonArray{true, true, false, true})); // the last: the move's locating

    const QJsonObject one = run.dump(0);
    EXPECT_EQ(layerOf(one, "Map1", kTerminal)["selection"].toArray().size(), 1);
    EXPECT_EQ(layerOf(one, "Map1", kOther)["selection"].toArray().size(), 0);
    EXPECT_TRUE(popupEnabled(one, "mnuShowRoom"));
    EXPECT_FALSE(popupEnabled(one, "mnu_ShowGL"));
    EXPECT_FALSE(popupEnabled(one, "mnu_ShowGX"));
    EXPECT_TRUE(popupEnabled(one, "mnuProperty"));

    const QJsonObject two = run.dump(1); // Shift+click added a second station
    EXPECT_EQ(layerOf(two, "Map1", kTerminal)["selection"].toArray().size() +
                  layerOf(two, "Map1", kOther)["selection"].toArray().size(),
              2);
    EXPECT_FALSE(popupEnabled(two, "mnuShowRoom"));
    EXPECT_TRUE(popupEnabled(two, "mnu_ShowGL"));
    EXPECT_FALSE(popupEnabled(two, "mnuProperty"));

    const QJsonObject located = run.dump(2);
    EXPECT_EQ(layerOf(located, "Map1", kCable)["selection"].toArray().size(), 1);
    EXPECT_EQ(layerOf(located, "Map1", kBackbone)["selection"].toArray().size(), 0);
    EXPECT_TRUE(popupEnabled(located, "mnuProperty"));
    EXPECT_TRUE(popupEnabled(located, "mnu_ShowGX"));

    const QJsonObject none = run.dump(3);
    for (const QString& layer : {kTerminal, kOther, kCable, kBackbone, kMicrowave})
        EXPECT_TRUE(layerOf(none, "Map1", layer)["selection"].toArray().isEmpty());
    EXPECT_FALSE(popupEnabled(none, "mnuShowRoom"));
    EXPECT_TRUE(popupEnabled(none, "mnu_ShowGL"));
    EXPECT_FALSE(popupEnabled(none, "mnuProperty"));
    EXPECT_EQ(none["messages"].toArray().last()["text"].toString(), "该光缆段没有找到");
    EXPECT_EQ(none["messages"].toArray().last()["title"].toString(), "信息提示");

    const QJsonObject no = run.dump(4);
    for (const QJsonValue q : no["sql"].toArray())
        EXPECT_FALSE(q.toString().startsWith("UPDATE"));
    int found = 0;
    for (const QString& layer : {kTerminal, kOther})
        for (const QJsonValue f : layerOf(no, "Map1", layer)["features"].toArray())
            if (f["row"][1].toString().toStdString() == s.code) {
                ++found;
                EXPECT_EQ(f["parts"][0][0][0].toDouble(), s.lng);
                EXPECT_EQ(f["parts"][0][0][1].toDouble(), s.lat);
            }
    EXPECT_EQ(found, 1);

    const QJsonObject d = run.dump(5);
    // The locating's notice, then the two questions of the moves.
    const QJsonArray messages = d["messages"].toArray();
    ASSERT_EQ(messages.size(), 3);
    EXPECT_EQ(messages[1]["answer"].toString(), "No");
    EXPECT_EQ(messages[2]["title"].toString(), "保存提示");
    EXPECT_EQ(messages[2]["text"].toString(), "局站“东城'枢纽站”位置已经改变,确定要保存吗？");
    std::vector<QString> updates;
    for (const QJsonValue q : d["sql"].toArray())
        if (q.toString().startsWith("UPDATE")) updates.push_back(q.toString());
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_TRUE(updates[0].startsWith("UPDATE STATION SET LNG=")) << updates[0].toStdString();
    EXPECT_TRUE(updates[0].endsWith(QString::fromStdString(" WHERE STATIONCODE = '" + s.code + "'")));
    EXPECT_NEAR(number(db, "SELECT LNG FROM STATION WHERE STATIONCODE = '" + s.code + "'"), lng, 1e-9);
    EXPECT_NEAR(number(db, "SELECT LAT FROM STATION WHERE STATIONCODE = '" + s.code + "'"), lat, 1e-9);
    EXPECT_EQ(d["maps"]["Map1"]["tool"].toInt(), 1007);

    // Every drawn line that ended at the station ends at its new place now;
    // no other line does. (Lines without a lay mode of the table or without
    // both ends are not drawn.)
    std::set<std::string> moved, expected;
    for (const QString& layer : {kCable, kBackbone, kMicrowave})
        for (const QJsonValue f : layerOf(d, "Map1", layer)["features"].toArray()) {
            const QJsonArray part = f["parts"][0].toArray();
            const std::string code = f["row"][1].toString().toStdString();
            EXPECT_FALSE(samePoint(part.first(), s.lng, s.lat) || samePoint(part.last(), s.lng, s.lat))
                << code;
            if (samePoint(part.first(), lng, lat) || samePoint(part.last(), lng, lat)) moved.insert(code);
            if (s.lines.count(code)) expected.insert(code);
        }
    EXPECT_GE(expected.size(), 2u);
    EXPECT_EQ(moved, expected);
}

// The overview follows zooming and a click on it centres the map; then
// what the pop-up commands open: the host's property form docked in the
// band, the fibre list, the station list, the cable view's stand-in, and the
// coordinate dialog the host's menu offers. The network is only read.
TEST(MapInteractionTest, TheOverviewThenTheHostsWindowsWithRealData) {
    const fs::path db = HostRunner::sharedRoot() / "network.db";
    const std::string cable =
        column(db, "SELECT OCABLECODE FROM EN_FIBER GROUP BY OCABLECODE ORDER BY 1 LIMIT 1").at(0);
    const int fibers =
        static_cast<int>(number(db, "SELECT COUNT(*) FROM EN_FIBER WHERE OCABLECODE = '" + cable + "'"));
    const std::string station =
        column(db, "SELECT STATIONCODE FROM STATION WHERE LNG IS NOT NULL ORDER BY 1 LIMIT 1").at(0);
    const std::string name =
        column(db, "SELECT STATIONNAME FROM STATION WHERE STATIONCODE = '" + station + "'").at(0);
    const HostRun run = HostRunner::run(
        HostRunner::sharedRoot(),
        {toolStep("mnu_view_Radar", "activebarMain"), toolStep("mnu_view_zoomIn", "activebarMain"),
         mouse("click", 1, 113.6, 34.7), mouse("click", 1, 113.6, 34.7), mouse("click", 1, 113.6, 34.7),
         dumpStep(), mouse("click", 1, 110.0, 30.0, 0, "Map2"), dumpStep(),
         call("locateOcable", {QString::fromStdString(cable)}), toolStep("mnuFiber"), toolStep("mnu_ShowGL"),
         call("locateStation", {QString::fromStdString(station)}), toolStep("mnuProperty"),
         toolStep("mnuPassTrans"), call("showStationPointDialog"), mouse("mouseDown", 2, 100.25, 30.5),
         dumpStep({})});
    ASSERT_EQ(run.exitCode, 0) << run.stderrText;
    const QJsonObject zoomed = run.dump(0);
    const QJsonArray layers = zoomed["maps"]["Map2"]["layers"].toArray();
    ASSERT_EQ(layers.size(), 2);
    EXPECT_EQ(layers[0]["name"].toString(), "wewew");
    const QJsonArray b1 = zoomed["maps"]["Map1"]["bounds"].toArray();
    const QJsonArray outline = layers[0]["features"][0]["parts"][0].toArray();
    EXPECT_TRUE(samePoint(outline[0], b1[0].toDouble(), b1[1].toDouble()));
    EXPECT_TRUE(samePoint(outline[2], b1[2].toDouble(), b1[3].toDouble()));
    const QJsonArray b2 = zoomed["maps"]["Map2"]["bounds"].toArray();
    EXPECT_TRUE(samePoint(layers[0]["features"][1]["parts"][0][2], b2[2].toDouble(), b2[3].toDouble()));

    const QJsonObject clicked = run.dump(1);
    const QJsonArray after = clicked["maps"]["Map1"]["bounds"].toArray();
    EXPECT_NEAR((after[0].toDouble() + after[2].toDouble()) / 2, 110.0, 1e-6);
    EXPECT_NEAR((after[1].toDouble() + after[3].toDouble()) / 2, 30.0, 1e-6);
    EXPECT_NEAR(after[2].toDouble() - after[0].toDouble(), b1[2].toDouble() - b1[0].toDouble(), 1e-9);
    for (const QJsonValue l : clicked["maps"]["Map2"]["layers"].toArray())
        EXPECT_TRUE(l["selection"].toArray().isEmpty());

    const QJsonObject d = run.dump(2);
    const QJsonObject forms = d["forms"].toObject();

    const QJsonArray fiberRows = forms["hostFiberView"]["controls"]["grdRows"]["items"].toArray();
    EXPECT_EQ(fiberRows.size(), fibers);
    for (const QJsonValue r : fiberRows)
        EXPECT_EQ(r[0].toString().toStdString(), cable);
    EXPECT_TRUE(forms["hostCableView"]["controls"]["lblInfo"]["text"].toString().contains("光缆网络图"));
    EXPECT_FALSE(forms["hostCableView"]["controls"]["grdRows"]["items"].toArray().isEmpty());

    EXPECT_TRUE(d["bands"]["activebarMain/frmProperty"].toBool());
    EXPECT_TRUE(d["tools"]["activebarMain/toolbar/mnu_view_Property"]["checked"].toBool());
    const QJsonArray props = forms["propertyForm"]["controls"]["propertyForm"]["items"].toArray();
    EXPECT_EQ(props[0][1].toString().toStdString(), name);

    const QJsonArray stationRows = forms["hostStationView"]["controls"]["grdRows"]["items"].toArray();
    EXPECT_EQ(stationRows, (QJsonArray{QJsonArray{"STATIONNAME", QString::fromStdString(name)},
                                       QJsonArray{"STATIONCODE", QString::fromStdString(station)}}));

    // A right click feeds the dialog too while it is open.
    const QJsonObject dialog = forms["frmViewStationPoint"].toObject();
    EXPECT_TRUE(dialog["visible"].toBool());
    EXPECT_EQ(dialog["caption"].toString(), "局站位置调整");
    EXPECT_EQ(dialog["controls"]["Frame1"]["text"].toString(),
              "局站（" + QString::fromStdString(name) + "）的经纬度：");
    EXPECT_NEAR(dialog["controls"]["txtLNG"]["text"].toString().toDouble(), 100.25, 1e-9);
    EXPECT_NEAR(dialog["controls"]["txtLAT"]["text"].toString().toDouble(), 30.5, 1e-9);
}

} // namespace
