#include "GisTestData.h"

#include "platform/gis/MapWidget.h"

#include <QApplication>
#include <QScreen>
#include <gtest/gtest.h>

using namespace ocable::gis;

namespace {

// Whether the screen shows what a full drawing of the map gives: the
// partial repaints as they landed, not the widget painted anew.
bool screenShowsFullDrawing(MapWidget& widget) {
    QApplication::processEvents();
    const QImage screen = widget.screen()->grabWindow(widget.winId()).toImage();
    return screen.convertToFormat(QImage::Format_RGB32) ==
           MapRenderer().renderImage(widget.map()).convertToFormat(QImage::Format_RGB32);
}

} // namespace

// The 800 x 600 map of the widget tests (0.005 degree a pixel), labels on:
//   S1 (100,30) --C1-- S2 (101,30) --C2-- S3 (102,31)
// S3, selected, is dragged up and left in five steps as the station mover
// drags it, away from everything else, so that a full drawing puts nothing
// over it and the pictures must agree pixel for pixel.
TEST(DragRepaint, StepsRepaintOnlyTheMovedStationAndLeaveNoTrace) {
    MapWidget widget;
    widget.resize(800, 600);
    widget.show();
    Map& map = widget.map();
    Layer& stations = gistest::stationLayer(map);
    gistest::cableLayer(map, 2);
    stations.setAutoLabel(true);
    map.setBounds({99, 29, 103, 32});
    Feature s3 = stations.Search("StationCode = \"S3\"").Item(1);
    stations.Selection().Add(s3);

    widget.beginMove({s3});
    QApplication::processEvents(); // the layers drawn once, without S3
    const int renders = widget.renderCount();
    for (int step = 1; step <= 5; ++step) {
        const QPointF before = map.mapToScreen(s3.Point());
        s3.setPoint({102 - 0.1 * step, 31 + 0.05 * step});
        s3.Update();
        const QRect area = widget.moveStepArea();
        EXPECT_TRUE(area.contains(before.toPoint()) && area.contains(map.mapToScreen(s3.Point()).toPoint()));
        // The symbol, its label and its highlight, where it was and where it is.
        EXPECT_LT(area.width() * area.height(), 120 * 60) << "step " << step;
    }
    EXPECT_EQ(widget.renderCount(), renders);
    EXPECT_TRUE(screenShowsFullDrawing(widget));

    // The drop: the layers drawn again as a whole, the station among the others.
    map.setCurrentTool(tools::Pan);
    EXPECT_FALSE(widget.moving());
    EXPECT_TRUE(screenShowsFullDrawing(widget));
    EXPECT_EQ(widget.renderCount(), renders + 1);
    // Another feature's update in the same layer is no move step: all is drawn again.
    widget.beginMove({s3});
    QApplication::processEvents();
    Feature s1 = stations.Search("StationCode = \"S1\"").Item(1);
    s1.Offset(0.2, 0);
    s1.Update();
    EXPECT_TRUE(screenShowsFullDrawing(widget));
    EXPECT_EQ(widget.renderCount(), renders + 3);
}
