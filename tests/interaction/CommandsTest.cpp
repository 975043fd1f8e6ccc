// The toolbar, the pop-up's availability rules and commands, and the pick-up
// timer of a station move. Moving and saving a station, the menu keys of the
// command table and the map keys are driven end to end in tests/apps/ocable-host.
#include "InteractionFixture.h"
#include "RecordingServices.h"

#include "core/mPubVar.h"
#include "interaction/MouseHandler.h"
#include "interaction/PopupCommands.h"
#include "interaction/StationMover.h"
#include "map/NetworkDrawing.h"

#include <gtest/gtest.h>

using namespace ocable;
using Box = ui::MessageBoxService;

namespace {

struct Commands : itest::TestView {
    StationMover mover{view};
    NetworkDrawing drawing{view, {}};
    PopupCommands popup{view, drawing};
    MouseHandler mouse{view, popup, mover};
    std::shared_ptr<itest::RecordingResService> res = std::make_shared<itest::RecordingResService>();
    std::shared_ptr<itest::RecordingViewBridge> bridge = std::make_shared<itest::RecordingViewBridge>();
    Commands() {
        popup.registerCommands();
        mPubVar::gobjResService.set(res);
        mPubVar::gobjViewBridge.set(bridge);
    }
    bool enabled(const char* key) { return menu.tool(bands::kPopBand, key).enabled; }
    void select(const gis::Feature& f) { map().Layers().Item(f.Layer()->Name()).Selection().Add(f); }
};

// F3 searches again only while a search is under way (the find dialog may
// be open before its first search), and Ctrl+F wants Ctrl alone. Ctrl+F, F3
// stepping and F3 after the dialog closed are FindDialogAutomationTest's.
TEST(CommandsTest, F3SearchesAgainOnlyWhileFindingAndCtrlShiftFIsNoFind) {
    Commands c;
    int again = 0, dialog = 0;
    c.view.findAgain = [&] { ++again; };
    c.view.showFindDialog = [&] { ++dialog; };
    c.commands.onMapKeyDown(114, 0);
    c.view.isFounding = true;
    c.commands.onMapKeyDown(114, 0);
    c.commands.onMapKeyDown(70, 3); // Ctrl+Shift+F
    EXPECT_EQ(again, 1);
    EXPECT_EQ(dialog, 0);
}

// The drag tool clicked from outside the toolbar clears the selections but
// sets no drag mode; through the toolbar it does, and a right click ends it
// without a pop-up.
TEST(CommandsTest, DragModeComesFromTheToolbarAndARightClickEndsIt) {
    Commands c;
    const auto s = c.addStation(vocab::kLayerTerminal, "A", "甲", 112, 32);
    c.select(s);
    c.map().setCurrentTool(gis::tools::Pan);
    c.commands.ActiveBar_ToolClick("mnu_view_Drag");
    EXPECT_TRUE(c.bar.checked(bands::kToolbar, "mnu_view_Drag"));
    EXPECT_EQ(c.layer(vocab::kLayerTerminal).Selection().Count(), 0);
    EXPECT_EQ(c.map().CurrentTool(), gis::tools::Select);
    EXPECT_FALSE(c.view.IsDraging);
    c.commands.onToolbarClick("mnu_view_Drag");
    c.commands.onToolbarClick("mnu_view_Drag");
    EXPECT_TRUE(c.view.IsDraging);

    c.bar.setChecked(bands::kToolbar, "mnu_view_Drag", true);
    c.mouse.mouseUp(2, 0, 10, 10);
    EXPECT_FALSE(c.view.IsDraging);
    EXPECT_FALSE(c.bar.checked(bands::kToolbar, "mnu_view_Drag"));
    EXPECT_EQ(c.mouse.popupCount(), 0);
}

// One or two stations and none are covered end to end; here the cable rows.
TEST(CommandsTest, PopupAvailabilityCountsCablesForPropertiesOnly) {
    Commands c;
    c.select(c.addLine(vocab::kLayerBackbone, "C1", {{{112, 30}, {113, 31}}}));
    c.mouse.mouseUp(2, 0, 10, 10);
    EXPECT_EQ(c.mouse.popupCount(), 1);
    EXPECT_FALSE(c.enabled("mnuShowRoom"));
    EXPECT_TRUE(c.enabled("mnu_ShowGL"));
    EXPECT_TRUE(c.enabled("mnuProperty"));
    c.select(c.addStation(vocab::kLayerTerminal, "S", "站", 112, 32));
    c.mouse.mouseUp(2, 0, 10, 10);
    EXPECT_TRUE(c.enabled("mnuShowRoom"));
    EXPECT_FALSE(c.enabled("mnu_ShowGX"));
    EXPECT_FALSE(c.enabled("mnuProperty"));
}

TEST(CommandsTest, StationCommandsNeedExactlyOneStation) {
    Commands c;
    const auto a = c.addStation(vocab::kLayerTerminal, "A", "甲站", 112, 32);
    const auto b = c.addStation(vocab::kLayerOtherStation, "B", "乙站", 113, 33);
    c.select(a);
    c.select(b);
    c.commands.onMenuClick("mnuShowRoom");
    c.commands.onMenuClick("mnuPassTrans");
    EXPECT_TRUE(Box::instance().history().empty());
    EXPECT_TRUE(c.res->calls.empty());
    c.layer(vocab::kLayerTerminal).Selection().ClearSelection();
    c.commands.onMenuClick("mnuShowRoom");
    c.commands.onMenuClick("mnuPassTrans");
    ASSERT_EQ(Box::instance().history().size(), 1u);
    EXPECT_EQ(Box::instance().history()[0].request.text, "稍后提供");
    EXPECT_EQ(c.res->calls, std::vector<std::string>{"station:STATIONNAME,STATIONCODE;乙站,B"});
}

TEST(CommandsTest, NetworkViewsGetTheUserAndTheFirstSelectedCable) {
    Commands c;
    c.commands.onMenuClick("mnu_ShowGX");
    c.select(c.addLine(vocab::kLayerCable, "OC1", {{{112, 30}, {113, 31}}}));
    c.commands.onMenuClick("mnu_ShowGL");
    EXPECT_EQ(c.bridge->calls,
              (std::vector<std::string>{"showGdFromOcable(demo,)", "showOcableFromOcable(demo,OC1)"}));
}

TEST(CommandsTest, FibersOfTheSelectedSegmentsComeFromTheirRecords) {
    Commands c;
    c.host.exec(
        "CREATE TABLE MAP_V_EN_OCABLE (OCABLECODE TEXT, OCABLENAME TEXT, LNG_A TEXT, LAT_A TEXT, LNG_Z TEXT, "
        "LAT_Z TEXT)");
    c.host.exec("INSERT INTO MAP_V_EN_OCABLE VALUES ('OC1', '甲乙', '112', '30', '113', '31'), "
                "('OC2', '丙丁', '114', '32', '115', '33')");
    auto rs = c.host.data->openRecordset("systemDB", "SELECT * FROM MAP_V_EN_OCABLE");
    mdlViewMap::fillRecordStore(rs, *c.view.resTree, "OCA", "OCABLECODE", vocab::kCableTable);
    c.commands.onMenuClick("mnuFiber");
    EXPECT_TRUE(c.res->calls.empty());
    c.select(c.addLine(vocab::kLayerCable, "OC1", {{{112, 30}, {113, 31}}}));
    c.select(c.addLine(vocab::kLayerBackbone, "OC2", {{{114, 32}, {115, 33}}}));
    c.commands.onMenuClick("mnuFiber");
    EXPECT_EQ(c.res->calls,
              std::vector<std::string>{"fibers:OC1<>OC2|甲乙,112,30,113,31<>丙丁,114,32,115,33"});
}

// The pick-up timer of a station move.
TEST(CommandsTest, TheMoveTimerWaitsUntilExactlyOneStationIsSelected) {
    Commands m;
    const auto a = m.addStation(vocab::kLayerTerminal, "A", "甲", 112, 32);
    const auto b = m.addStation(vocab::kLayerTerminal, "B", "乙", 113, 33);
    m.timer.start();
    m.mouse.timerTick();
    EXPECT_TRUE(m.timer.isActive());
    m.layer(vocab::kLayerTerminal).Selection().Add(a);
    m.layer(vocab::kLayerTerminal).Selection().Add(b);
    m.mouse.timerTick();
    EXPECT_TRUE(m.timer.isActive());
    EXPECT_EQ(m.map().CurrentTool(), gis::tools::Select);
    m.layer(vocab::kLayerTerminal).Selection().Remove(a);
    m.mouse.timerTick();
    EXPECT_FALSE(m.timer.isActive());
    EXPECT_EQ(m.mouse.movingStationCode(), "B");
    m.timer.stop();
}

} // namespace
