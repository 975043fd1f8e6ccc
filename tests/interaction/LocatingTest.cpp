// Locating a station or a cable segment by its code, and fitting the view.
#include "InteractionFixture.h"

#include "interaction/Locating.h"

#include <gtest/gtest.h>

using namespace ocable;
using Box = ui::MessageBoxService;

namespace {

struct Locate : itest::TestView {
    Locating locating{view};
    // The layer of each selected feature, over every network layer.
    std::vector<std::string> selectedLayers() {
        std::vector<std::string> out;
        for (const char* name : vocab::kNetworkLayers)
            out.insert(out.end(), static_cast<std::size_t>(layer(name).Selection().Count()), name);
        return out;
    }
};

// Where a code lies decides the layer it is located in: a layer counts only
// when it holds the code exactly once. Held once in each layer is also
// located end to end (MapInteractionTest).
TEST(LocatingTest, AStationIsLocatedInTheFirstLayerThatHoldsItsCodeOnce) {
    const struct {
        const char* name;
        int inTerminal, inOther;
        const char* expected; // layer name, or "" when not found
    } rows[] = {{"bothLayers", 1, 1, vocab::kLayerTerminal},
                {"twiceInTerminalOnceInOther", 2, 1, vocab::kLayerOtherStation},
                {"onlyOther", 0, 1, vocab::kLayerOtherStation},
                {"twiceInEach", 2, 2, ""},
                {"nowhere", 0, 0, ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Locate l;
        for (int i = 0; i < row.inTerminal; ++i)
            l.addStation(vocab::kLayerTerminal, "X1", "甲", 112 + i, 32);
        for (int i = 0; i < row.inOther; ++i)
            l.addStation(vocab::kLayerOtherStation, "X1", "甲", 114 + i, 34);
        l.select(l.addStation(vocab::kLayerOtherStation, "Y", "乙", 111, 31));
        const bool found = l.locating.locateStation("X1");
        EXPECT_EQ(found, row.expected[0] != '\0');
        EXPECT_EQ(l.selectedLayers(),
                  found ? std::vector<std::string>{row.expected} : std::vector<std::string>{});
        if (!found) {
            ASSERT_EQ(Box::instance().history().size(), 1u);
            EXPECT_EQ(Box::instance().history()[0].request.text, "该局站不存在！");
            EXPECT_EQ(Box::instance().history()[0].request.title, "信息提示");
            EXPECT_EQ(Box::instance().history()[0].request.icon, Box::Icon::Information);
        }
    }
}

TEST(LocatingTest, AnAlarmLocatesSilentlyAndLeavesTheViewWhenNothingIsFound) {
    Locate l;
    l.addStation(vocab::kLayerTerminal, "A", "甲", 112, 32);
    const auto before = l.map().Bounds();
    EXPECT_FALSE(l.locating.pointStationByAlarm("none"));
    EXPECT_EQ(l.map().Bounds(), before);
    EXPECT_TRUE(Box::instance().history().empty());
    // A single station: the view centres on it at the scale it had.
    EXPECT_TRUE(l.locating.pointStationByAlarm("A"));
    EXPECT_DOUBLE_EQ(l.map().CenterX(), 112);
    EXPECT_DOUBLE_EQ(l.map().CenterY(), 32);
    EXPECT_NEAR(l.map().Bounds().Width(), before.Width(), 1e-9);
}

// The rectangle takes in the first part's vertices of every selected line
// and the centre of every selected symbol, over all layers.
TEST(LocatingTest, FitTakesInEverySelectedFeatureOfEveryLayer) {
    Locate l;
    l.select(l.addStation(vocab::kLayerTerminal, "A", "甲", 111, 39));
    l.select(l.addLine(vocab::kLayerCable, "C", {{{112, 30}, {113, 31}}, {{100, 20}, {101, 21}}}));
    fitViewToSelection(l.map());
    const auto b = l.map().Bounds();
    EXPECT_NEAR(b.CenterX(), 112, 1e-9);
    EXPECT_NEAR(b.CenterY(), 34.5, 1e-9);
    EXPECT_NEAR(b.Height(), 9, 1e-9);
    EXPECT_FALSE(b.contains(gis::Point(100.5, 20.5)));
}

} // namespace
