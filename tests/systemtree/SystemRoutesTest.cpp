#include "SystemTreeFixture.h"

#include <gtest/gtest.h>

namespace ocable::systemtree {
namespace {

using testing_support::ViewFixture;

/* Segments and the shown systems over them:
     C1 ── S1          count 1
     C2 ── S1, S2      count 2
     C3 ── S2          count 1                                               */
struct RoutesTest : ViewFixture, testing::Test {
    RoutesTest() {
        host.exec("INSERT INTO MAP_V_RE_CABLE_SUNNET_SYSTEM VALUES ('C1', 'S1'), ('C2', 'S1'), ('C2', 'S2'), "
                  "('C3', 'S2')");
        drawCable("C1", 110, 1);
        drawCable("C2", 112, 2);
        drawCable("C3", 114, 1);
    }
};

// A backbone segment is counted with its systems but stays on its own layer.
TEST_F(RoutesTest, BackboneSegmentsStayOnTheirLayer) {
    drawCable("B1", 120, 1, vocab::kLayerBackbone);
    host.exec("INSERT INTO MAP_V_RE_CABLE_SUNNET_SYSTEM VALUES ('B1', 'S1')");
    routes.showSystemRoute("S1", false);
    EXPECT_EQ(remark("B1"), "0");
    EXPECT_FALSE((*view.cableFeatures.find("B1"))->isDelete);
    routes.showSystemRoute("S1", true);
    EXPECT_EQ(codesOn(cables()), (std::vector<std::string>{"C1", "C2", "C3"}));
    EXPECT_EQ(codesOn(backbone()), std::vector<std::string>{"B1"});
    EXPECT_EQ(remark("B1"), "1");
}

TEST_F(RoutesTest, AZeroOrUnreadableCountStaysZeroAndTheSegmentGoes) {
    (*view.cableFeatures.find("C1"))->remark = "0";
    (*view.cableFeatures.find("C2"))->remark = "终端站";
    routes.showSystemRoute("S1", false);
    EXPECT_EQ(codesOn(cables()), std::vector<std::string>{"C3"});
    EXPECT_EQ(remark("C1"), "0");
    EXPECT_EQ(remark("C2"), "0");
}

TEST_F(RoutesTest, ASegmentWithoutRecordEndsTheDisplayAndDeletesNothing) {
    // C0 comes after C1 and C2 (rows in the order stored) and was never drawn.
    host.exec("INSERT INTO MAP_V_RE_CABLE_SUNNET_SYSTEM VALUES ('C0', 'S1')");
    EXPECT_ANY_THROW(routes.showSystemRoute("S1", false));
    EXPECT_EQ(codesOn(cables()), (std::vector<std::string>{"C1", "C2", "C3"}));
    EXPECT_EQ(remark("C1"), "0") << "counts lowered before the failure stay lowered";
    EXPECT_FALSE(cables().inBatch());
}

TEST_F(RoutesTest, CollectedCodesSkipGroupsAndTheRoot) {
    ui::KeyedTree t;
    t.node(t.Add("", "R", "R")).tag = "NO";
    t.node(t.Add("R", "G", "G")).tag = "YES";
    t.node(t.Add("G", "R:S1", "S1")).tag = "NO";
    t.node(t.Add("G", "E", "E")).tag = "YES";
    t.node(t.Add("R", "R:S2", "S2")).tag = "NO";
    t.node(t.Add("R", "R:", "bad")).tag = "NO";
    EXPECT_EQ(SystemRoutes::collectSystemCodes(t, t.id("R")), "'S1','S2',");
    EXPECT_EQ(SystemRoutes::collectSystemCodes(t, t.id("E")), "");
}

// Which table gives the cables follows guiConfig.ini.
TEST_F(RoutesTest, ConfigurationChoosesViewOrTable) {
    drawCable("B1", 120, 1, vocab::kLayerBackbone);
    host.exec("INSERT INTO re_ocable_transsystem VALUES ('S1', 'C3');"
              "INSERT INTO MAP_V_RE_CABLE_SUNNET_SYSTEM VALUES ('B1', 'S1')");

    routes.selectSystemCables("('S1')");
    EXPECT_EQ(codesOn(cables(), true), (std::vector<std::string>{"C1", "C2"}));
    EXPECT_EQ(codesOn(backbone(), true), std::vector<std::string>{"B1"});
    EXPECT_TRUE(map.Bounds().contains(cables().Bounds())) << "the selection is framed";

    host.folder.write("system/data/config/guiConfig.ini", "[LOCALTRANS]\nLOCALTRANS_BY_FIBER=false\n");
    routes.clearSelections();
    routes.selectSystemCables("('S1')");
    EXPECT_EQ(codesOn(cables(), true), std::vector<std::string>{"C3"});
}

// The DWDM route itself is selected end to end (SystemTreeAutomationTest);
// here channel rows without a serial: the caller's list stays as it was, and
// only stations ending a single segment are asked for their fibre systems.
TEST_F(RoutesTest, WithoutChannelSerialTheFibreQueryKeepsTheCallersList) {
    host.exec("INSERT INTO EN_OCABLE VALUES ('C1', 'c1', 'P', 'Q'), ('C2', 'c2', 'Q', 'R')");
    db::Recordset dwdm({"OCABLECODE"}, {{"C1"}});
    db::Recordset direct({"OCABLECODE"}, {{"C2"}});
    std::string list = "('S1')";
    routes.getotherocablecode(dwdm, list, direct);
    EXPECT_EQ(list, "('S1')");
    // P and R end one segment each; Q ends two and is no route end.
    std::vector<std::string> ends;
    for (const std::string& s : host.data->sql)
        if (s.find("V_EN_FIBER$OC") != std::string::npos)
            ends.push_back(s.substr(s.find("station_z='") + 11, 1));
    EXPECT_EQ(ends, (std::vector<std::string>{"P", "R"}));
}

} // namespace
} // namespace ocable::systemtree
