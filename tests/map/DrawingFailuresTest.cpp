// The whole drawing over databases that lack part of what it reads: what can
// be drawn is drawn, and whatever is passed over is logged.
#include "DrawingWindow.h"
#include "support/EnvGuard.h"
#include "support/ErrorCapture.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

using namespace ocable;

namespace {

// A host whose database holds one terminal and one other station.
struct DrawingFailuresTest : testing::Test {
    fake::FakeHost host;
    DrawingFailuresTest() { test::addTwoStations(host); }
};

} // namespace

TEST_F(DrawingFailuresTest, WithoutTheCableViewTheStationsAreStillDrawn) {
    testsupport::ErrorCapture log;
    test::DrawingWindow w;
    ASSERT_TRUE(w.draw());
    EXPECT_EQ(w.count(vocab::kLayerTerminal), 1);
    EXPECT_EQ(w.count(vocab::kLayerOtherStation), 1);
    EXPECT_EQ(w.view.resTree->count(), 2);
    EXPECT_TRUE(host.message->shown.empty()); // no "绘制光缆网络分布图时出错！"
    // Logged once each, by the host's data access that refused them.
    EXPECT_EQ(log.count("FROM MAP_V_EN_OCABLE"), 1u);
    EXPECT_EQ(log.count("MAP_V_EN_MW_Seg"), 1u);
}

TEST_F(DrawingFailuresTest, LineBuildersPassOverRowsAndMissingColumns) {
    // C2's end is not a number; C1 and C2 are ordinary cables only, C3 is in
    // both cable layers. The microwave view lacks its name column.
    host.exec(
        R"(CREATE TABLE MAP_V_EN_OCABLE (OCABLECODE TEXT, OCABLENAME TEXT, LENGTH TEXT, LNG_A TEXT, LAT_A TEXT,
            LNG_Z TEXT, LAT_Z TEXT, STATIONNAME_A TEXT, STATIONNAME_Z TEXT, PROVINCE_A TEXT, PROVINCE_Z TEXT,
            RESLEVEL TEXT, X_SYSLEVEL TEXT, LAYMODE TEXT);
        INSERT INTO MAP_V_EN_OCABLE VALUES
            ('C1', '一', '5', '116.1', '39.1', '116.4', '39.4', '甲', '乙', '110000', '110000', 'ZY132002', NULL, 'ZY130301'),
            ('C2', '二', '6', '东经', '39.1', '116.4', '39.4', '甲', '乙', '110000', '110000', 'ZY132002', NULL, 'ZY130301'),
            ('C3', '三', '7', '116.2', '39.2', '116.4', '39.4', '甲', '乙', '110000', '110000', 'ZY990000', NULL, 'ZY130302');
        CREATE TABLE MAP_V_EN_MW_Seg (seg_code TEXT, LNG_A REAL, LAT_A REAL, LNG_Z REAL, LAT_Z REAL);
        INSERT INTO MAP_V_EN_MW_Seg VALUES ('M1', 116.1, 39.1, 116.2, 39.2), ('M2', 116.3, 39.3, 116.4, 39.4))");
    testsupport::ErrorCapture log;
    test::DrawingWindow w;
    ASSERT_TRUE(w.draw());
    EXPECT_TRUE(host.message->shown.empty());

    EXPECT_EQ(w.count(vocab::kLayerCable), 2);
    EXPECT_EQ(w.count(vocab::kLayerBackbone), 1);
    EXPECT_EQ((*w.view.cableFeatures.find("C3"))->layerName,
              vocab::kLayerBackbone); // the first layer's record
    EXPECT_EQ(w.view.cableFeatures.find("C2"), nullptr);
    EXPECT_EQ(log.count("东经"), 1u);   // the row passed over, with its cause
    EXPECT_EQ(log.count("未绘制"), 1u); // C3 drawn twice is no error

    gis::Layer& microwave = w.layer(vocab::kLayerMicrowave);
    ASSERT_EQ(microwave.featureCount(), 2);
    for (const gis::Feature& f : microwave.AllFeatures())
        EXPECT_EQ(*microwave.valueOf(f.id(), 0), "");
    EXPECT_EQ((*w.view.microwaveFeatures.find("M2"))->label, "");
    EXPECT_EQ(log.count("seg_name"), 1u); // said once for the run, not per row

    // Every line layer labels with the same font.
    for (const char* name : {vocab::kLayerCable, vocab::kLayerMicrowave, vocab::kLayerBackbone}) {
        SCOPED_TRACE(name);
        const gis::LabelStyle labels = w.layer(name).LabelStyle();
        EXPECT_EQ(labels.FontName, "宋体");
        EXPECT_EQ(labels.FontSize, 8);
        EXPECT_FALSE(labels.Bold);
    }
}

TEST_F(DrawingFailuresTest, AnEmptyScopeNamesNoArea) {
    host.exec(R"(CREATE TABLE GUI_RE_DOMAIN_PROVINCE (DOMAINNAME TEXT, PROVINCE TEXT);
        CREATE TABLE EN_PROVINCE (PROVINCE TEXT, DOMAINNAME TEXT);
        CREATE TABLE XTBM (XTBM TEXT, XTXX TEXT);
        INSERT INTO GUI_RE_DOMAIN_PROVINCE VALUES ('华北', '110000');
        INSERT INTO EN_PROVINCE VALUES ('110000', '华北');
        INSERT INTO XTBM VALUES ('110000', '北京'))");
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"", {}}, {",", {}}, {"华北,", {"华北"}}, {",华北", {"华北"}}};
    for (const auto& [scope, areas] : cases) {
        SCOPED_TRACE(scope);
        test::DrawingWindow w;
        ASSERT_TRUE(w.draw(scope));
        EXPECT_FALSE(w.treeRes.Exists(""));
        const auto& root = w.treeRes.node(vocab::kTreeRootKey);
        std::vector<std::string> keys;
        for (auto child : root.children)
            keys.push_back(w.treeRes.node(child).key);
        EXPECT_EQ(keys, areas);
    }
}

TEST_F(DrawingFailuresTest, HostFilesAreFoundWithoutRegardToCase) {
    testsupport::EnvGuard env;
    env.set("QZTRANS_COMMON_FILES", host.root / "common");
    // Folders and files as a site copied them from a file system that ignores case.
    host.folder.write("common/mapinfo shared/MAPX COMMON/custsymb/光缆网络_二干中继站.bmp", "BM");
    host.folder.write("system/DATA/Config/GUICONFIG.INI",
                      "[CAPTION_VIEWOCABLENET]\nCAPTION_RESTREE_SECONDNODE=省干\n");

    host.exec(R"(INSERT INTO STATION VALUES ('R1', '丙', 116.2, 39.2, '110000', 'ZY010312', NULL, NULL, NULL);
        CREATE TABLE EN_ADMIN_DOMAIN (DOMAINNAME TEXT, SERIALNO INTEGER);
        INSERT INTO EN_ADMIN_DOMAIN VALUES ('华北', 1))");
    test::DrawingWindow w;
    ASSERT_TRUE(w.draw());
    const gis::Feature relay = w.layer(vocab::kLayerTerminal).Search("StationCode = \"R1\"").Item(1);
    EXPECT_EQ(relay.Style().SymbolBitmapName, vocab::kBitmapRelay);
    const gis::Feature terminal = w.layer(vocab::kLayerTerminal).Search("StationCode = \"T1\"").Item(1);
    EXPECT_EQ(terminal.Style().SymbolBitmapName, vocab::kBitmapTerminal);
    EXPECT_EQ(w.treeRes.node("华北").text, "省干");
}
