// The toolbar, the pop-up's availability rules and commands, and the pick-up
// timer of a station move. Moving and saving a station, the menu keys of the
// command table and the map keys are driven end to end in tests/apps/ocable-host.
#include "InteractionFixture.h"

#include "interaction/MouseHandler.h"
#include "interaction/PopupCommands.h"
#include "interaction/StationMover.h"
#include "map/NetworkDrawing.h"

#include <gtest/gtest.h>

using namespace ocable;
using Box = ui::MessageBoxService;

namespace {

struct CommandsTest : itest::TestView, testing::Test {
    StationMover mover{view};
    NetworkDrawing drawing{view, {}};
    PopupCommands popup{view, drawing};
    MouseHandler mouse{view, popup, mover};
    CommandsTest() { popup.registerCommands(); }
    bool enabled(const char* key) { return menu.tool(bands::kPopBand, key).enabled; }
};

// F3 searches again only while a search is under way (the find dialog may
// be open before its first search), and Ctrl+F wants Ctrl alone. Ctrl+F, F3
// stepping and F3 after the dialog closed are FindDialogAutomationTest's.
TEST_F(CommandsTest, F3SearchesAgainOnlyWhileFindingAndCtrlShiftFIsNoFind) {
    int again = 0, dialog = 0;
    view.findAgain = [&] { ++again; };
    view.showFindDialog = [&] { ++dialog; };
    commands.onMapKeyDown(114, 0);
    view.isFounding = true;
    commands.onMapKeyDown(114, 0);
    commands.onMapKeyDown(70, 3); // Ctrl+Shift+F
    EXPECT_EQ(again, 1);
    EXPECT_EQ(dialog, 0);
}

// The drag tool clicked from outside the toolbar clears the selections but
// sets no drag mode; through the toolbar it does, and a right click ends it
// without a pop-up.
TEST_F(CommandsTest, DragModeComesFromTheToolbarAndARightClickEndsIt) {
    select(addStation(vocab::kLayerTerminal, "A", "甲", 112, 32));
    map().setCurrentTool(gis::tools::Pan);
    commands.ActiveBar_ToolClick("mnu_view_Drag");
    EXPECT_TRUE(bar.checked(bands::kToolbar, "mnu_view_Drag"));
    EXPECT_EQ(layer(vocab::kLayerTerminal).Selection().Count(), 0);
    EXPECT_EQ(map().CurrentTool(), gis::tools::Select);
    EXPECT_FALSE(view.IsDraging);
    commands.onToolbarClick("mnu_view_Drag");
    commands.onToolbarClick("mnu_view_Drag");
    EXPECT_TRUE(view.IsDraging);

    bar.setChecked(bands::kToolbar, "mnu_view_Drag", true);
    mouse.mouseUp(2, 0, 10, 10);
    EXPECT_FALSE(view.IsDraging);
    EXPECT_FALSE(bar.checked(bands::kToolbar, "mnu_view_Drag"));
    EXPECT_EQ(mouse.popupCount(), 0);
}

// One or two stations and none are covered end to end; here the cable rows.
TEST_F(CommandsTest, PopupAvailabilityCountsCablesForPropertiesOnly) {
    select(addLine(vocab::kLayerBackbone, "C1", {{{112, 30}, {113, 31}}}));
    mouse.mouseUp(2, 0, 10, 10);
    EXPECT_EQ(mouse.popupCount(), 1);
    EXPECT_FALSE(enabled("mnuShowRoom"));
    EXPECT_TRUE(enabled("mnu_ShowGL"));
    EXPECT_TRUE(enabled("mnuProperty"));
    select(addStation(vocab::kLayerTerminal, "S", "站", 112, 32));
    mouse.mouseUp(2, 0, 10, 10);
    EXPECT_TRUE(enabled("mnuShowRoom"));
    EXPECT_FALSE(enabled("mnu_ShowGX"));
    EXPECT_FALSE(enabled("mnuProperty"));
}

TEST_F(CommandsTest, StationCommandsNeedExactlyOneStation) {
    select(addStation(vocab::kLayerTerminal, "A", "甲站", 112, 32));
    select(addStation(vocab::kLayerOtherStation, "B", "乙站", 113, 33));
    commands.onMenuClick("mnuShowRoom");
    commands.onMenuClick("mnuPassTrans");
    EXPECT_TRUE(Box::instance().history().empty());
    EXPECT_TRUE(res->calls.empty());
    layer(vocab::kLayerTerminal).Selection().ClearSelection();
    commands.onMenuClick("mnuShowRoom");
    commands.onMenuClick("mnuPassTrans");
    ASSERT_EQ(Box::instance().history().size(), 1u);
    EXPECT_EQ(Box::instance().history()[0].request.text, "稍后提供");
    EXPECT_EQ(res->calls, std::vector<std::string>{"station:STATIONNAME,STATIONCODE;乙站,B"});
}

// The network views get the user and the first selected cable; the fibre
// list the codes and descriptions of every selected segment's record.
TEST_F(CommandsTest, NetworkViewsAndFibersGetTheSelectedSegments) {
    auto rs = std::make_shared<db::Recordset>(
        std::vector<std::string>{"OCABLECODE", "OCABLENAME", "LNG_A", "LAT_A", "LNG_Z", "LAT_Z"},
        std::vector<db::Recordset::Row>{{"OC1", "甲乙", "112", "30", "113", "31"},
                                        {"OC2", "丙丁", "114", "32", "115", "33"}});
    mdlViewMap::fillRecordStore(rs, *view.resTree, "OCA", "OCABLECODE", vocab::kCableTable);
    commands.onMenuClick("mnuFiber");
    commands.onMenuClick("mnu_ShowGX");
    EXPECT_TRUE(res->calls.empty());
    select(addLine(vocab::kLayerCable, "OC1", {{{112, 30}, {113, 31}}}));
    select(addLine(vocab::kLayerBackbone, "OC2", {{{114, 32}, {115, 33}}}));
    commands.onMenuClick("mnu_ShowGL");
    commands.onMenuClick("mnuFiber");
    EXPECT_EQ(bridge->calls,
              (std::vector<std::string>{"showGdFromOcable(demo,)", "showOcableFromOcable(demo,OC1)"}));
    EXPECT_EQ(res->calls, std::vector<std::string>{"fibers:OC1<>OC2|甲乙,112,30,113,31<>丙丁,114,32,115,33"});
}

// The pick-up timer of a station move.
TEST_F(CommandsTest, TheMoveTimerWaitsUntilExactlyOneStationIsSelected) {
    const auto a = addStation(vocab::kLayerTerminal, "A", "甲", 112, 32);
    const auto b = addStation(vocab::kLayerTerminal, "B", "乙", 113, 33);
    timer.start();
    mouse.timerTick();
    EXPECT_TRUE(timer.isActive());
    select(a);
    select(b);
    mouse.timerTick();
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(map().CurrentTool(), gis::tools::Select);
    layer(vocab::kLayerTerminal).Selection().Remove(a);
    mouse.timerTick();
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(mouse.movingStationCode(), "B");
}

} // namespace
