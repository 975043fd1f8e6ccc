// Moving a station: the question, the one UPDATE, the line ends that follow,
// and "No" putting the station back; the pick-up timer. The mouse itself is
// driven end to end in tests/apps/ocable-host.
#include "InteractionFixture.h"

#include "interaction/MouseHandler.h"
#include "interaction/PopupCommands.h"
#include "interaction/StationMover.h"
#include "map/NetworkDrawing.h"
#include "platform/db/SqliteConnection.h"

#include <gtest/gtest.h>

using namespace ocable;
using Box = ui::MessageBoxService;

namespace {

struct Moving : itest::TestView {
    StationMover mover{view};
    NetworkDrawing drawing{view, {}};
    PopupCommands popup{view, drawing};
    MouseHandler mouse{view, popup, mover};

    std::string dbPosition(const std::string& code) {
        auto rs = db::SqliteConnection(host.root / "network.db")
                      .query("SELECT LNG || ',' || LAT FROM STATION WHERE STATIONCODE = " + quote(code));
        return rs->Fields(0).toText();
    }
    gis::Points firstPart(const char* layerName, const gis::Feature& f) {
        return layer(layerName).GetFeatureByKey(f.FeatureKey()).Parts().Item(1);
    }
};

// Station S (a quote in its code and name) at (115, 35); lines around it:
//   L1  S -> (116, 36)                       ordinary, first vertex moves
//   L2  (114, 34) -> S -> S                  ordinary, only the first S moves
//   L3  [(116, 34) -> S] + [(117, 37) ...]   backbone, two parts: keeps one
//   M1  (113, 33) -> S                       microwave
//   L4  (118, 38) -> (119, 39)               far away, untouched
TEST(StationMoveTest, YesSavesOnceAndDragsTheMatchingLineEnds) {
    Moving m;
    gis::Feature s = m.addStation(vocab::kLayerTerminal, "S'1", "王家'站", 115, 35);
    const auto l1 = m.addLine(vocab::kLayerCable, "L1", {{{115, 35}, {116, 36}}});
    const auto l2 = m.addLine(vocab::kLayerCable, "L2", {{{114, 34}, {115, 35}, {115, 35}}});
    const auto l3 = m.addLine(vocab::kLayerBackbone, "L3", {{{116, 34}, {115, 35}}, {{117, 37}, {118, 37}}});
    const auto m1 = m.addLine(vocab::kLayerMicrowave, "M1", {{{113, 33}, {115, 35}}});
    const auto l4 = m.addLine(vocab::kLayerCable, "L4", {{{118, 38}, {119, 39}}});

    placeAt(s, 115.5, 35.25);
    Box::instance().queueAnswer(Box::Answer::Yes);
    EXPECT_TRUE(m.mover.confirmMove(s, 115, 35));

    ASSERT_EQ(Box::instance().history().size(), 1u);
    const auto& asked = Box::instance().history()[0].request;
    EXPECT_EQ(asked.title, "保存提示");
    EXPECT_EQ(asked.text, "局站“王家'站”位置已经改变,确定要保存吗？");
    EXPECT_EQ(asked.buttons, Box::Buttons::YesNo);
    EXPECT_EQ(asked.icon, Box::Icon::Question);
    EXPECT_EQ(m.sqlSent(),
              std::vector<std::string>{"UPDATE STATION SET LNG=115.5,LAT=35.25 WHERE STATIONCODE = 'S''1'"});
    EXPECT_EQ(m.dbPosition("S'1"), "115.5,35.25");

    const gis::Point now(115.5, 35.25);
    EXPECT_EQ(m.firstPart(vocab::kLayerCable, l1), (gis::Points{now, {116, 36}}));
    EXPECT_EQ(m.firstPart(vocab::kLayerCable, l2), (gis::Points{{114, 34}, now, {115, 35}}));
    const gis::Feature backbone = m.layer(vocab::kLayerBackbone).GetFeatureByKey(l3.FeatureKey());
    EXPECT_EQ(backbone.Parts().Count(), 1);
    EXPECT_EQ(backbone.Parts().Item(1), (gis::Points{{116, 34}, now}));
    EXPECT_EQ(m.firstPart(vocab::kLayerMicrowave, m1), (gis::Points{{113, 33}, now}));
    EXPECT_EQ(m.firstPart(vocab::kLayerCable, l4), (gis::Points{{118, 38}, {119, 39}}));
}

TEST(StationMoveTest, NoPutsTheStationBackExactlyAndWritesNothing) {
    Moving m;
    const double lng = 115.123456789, lat = 35.987654321;
    gis::Feature s = m.addStation(vocab::kLayerOtherStation, "S2", "乙", lng, lat);
    const auto l1 = m.addLine(vocab::kLayerCable, "L1", {{{lng, lat}, {116, 36}}});
    placeAt(s, 117.7, 31.3);
    Box::instance().queueAnswer(Box::Answer::No);
    EXPECT_FALSE(m.mover.confirmMove(s, lng, lat));
    const gis::Feature stored = m.layer(vocab::kLayerOtherStation).GetFeatureByKey(s.FeatureKey());
    EXPECT_EQ(stored.CenterX(), lng);
    EXPECT_EQ(stored.CenterY(), lat);
    EXPECT_TRUE(m.sqlSent().empty());
    EXPECT_EQ(m.firstPart(vocab::kLayerCable, l1), (gis::Points{{lng, lat}, {116, 36}}));

    // Back where it started: nothing to ask.
    EXPECT_FALSE(m.mover.confirmMove(s, lng, lat));
    EXPECT_EQ(Box::instance().history().size(), 1u);
}

TEST(StationMoveTest, TheTimerWaitsUntilExactlyOneStationIsSelected) {
    Moving m;
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
