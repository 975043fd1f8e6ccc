// The overview's clip (its layers and clicks are tested end to end) and the
// coordinate dialog.
#include "InteractionFixture.h"

#include "interaction/Overview.h"
#include "interaction/frmViewStationPoint.h"

#include <QLineEdit>
#include <gtest/gtest.h>

using namespace ocable;
using Box = ui::MessageBoxService;

namespace {

struct WithOverview : itest::TestView {
    Overview overview{view};
    WithOverview() {
        gis::Map& m2 = map2.map();
        gis::Layer& base = m2.Layers().CreateLayer("China", 1, {}, gis::LayerKind::Region);
        base.AddFeature(gis::FeatureFactory::CreateRegion(gis::Rectangle(73, 18, 135, 54), {}));
        m2.setBounds(gis::Rectangle(100, 20, 130, 50));
        overview.connectSignals(&map1);
    }
    gis::Points outline(int i) {
        return map2.map().Layers().Item("wewew").AllFeatures().Item(i).Parts().Item(1);
    }
};

TEST(OverviewTest, TheOutlineStopsAtTheOverviewsEdge) {
    WithOverview o;
    o.map().setBounds(gis::Rectangle(120, 40, 140, 60)); // beyond Map2 to the east and north
    const auto frame = o.map2.map().Bounds();
    const gis::Points ring = o.outline(1);
    EXPECT_DOUBLE_EQ(ring.Item(2).x, frame.xmax);
    EXPECT_DOUBLE_EQ(ring.Item(3).y, frame.ymax);
    EXPECT_DOUBLE_EQ(ring.Item(1).x, o.map().Bounds().xmin);
}

// The coordinate dialog: "确定" saving typed coordinates the way a mouse move does.
TEST(StationPointTest, ShowsTheStationAndSavesTypedCoordinates) {
    itest::TestView v;
    QWidget window;
    v.view.window = &window;
    v.select(v.addStation(vocab::kLayerTerminal, "A", "甲站", 116.4, 39.9));
    ASSERT_TRUE(frmViewStationPoint::openForSelectedStation(v.view));
    // The caption and a right click's read-out are MapInteractionTest's
    // (CommandsOpenTheHostsWindowsWithRealData); the station's own place shows first.
    auto& dialog = frmViewStationPoint::instance();
    EXPECT_TRUE(v.view.blnSetStation);
    EXPECT_EQ(dialog.txtLNG()->text() + "," + dialog.txtLAT()->text(), "116.4,39.9");

    dialog.txtLNG()->setText("181");
    dialog.cmdOK_Click();
    dialog.txtLNG()->setText("116.5");
    dialog.txtLAT()->setText("北纬");
    dialog.cmdOK_Click();
    ASSERT_EQ(Box::instance().history().size(), 2u);
    EXPECT_EQ(Box::instance().history()[0].request.text, "经度必须是 -180 到 180 之间的数字！");
    EXPECT_EQ(Box::instance().history()[1].request.text, "纬度必须是 -90 到 90 之间的数字！");
    EXPECT_TRUE(v.host.data->sql.empty());

    dialog.txtLAT()->setText(" 40 ");
    Box::instance().queueAnswer(Box::Answer::Yes);
    dialog.cmdOK_Click();
    auto row = v.host.data->openRecordset("systemDB", "SELECT LNG || ',' || LAT FROM STATION");
    EXPECT_EQ(row->Fields(0).toText(), "116.5,40.0");
    EXPECT_FALSE(v.view.blnSetStation);
    EXPECT_FALSE(dialog.isVisible());
    delete &dialog;
}

} // namespace
