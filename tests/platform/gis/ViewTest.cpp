#include "platform/gis/GisError.h"
#include "platform/gis/Map.h"

#include <gtest/gtest.h>

using namespace ocable::gis;

TEST(View, BoundsFitTheRectangleIntoTheWindow) {
    Map map;
    map.setViewSize({800, 600});
    int changes = 0;
    QObject::connect(&map, &Map::viewChanged, [&] { ++changes; });
    // A wide rectangle fills the width; its height is centred.
    map.setBounds(Rectangle(118, 40, 110, 30)); // corners in any order
    EXPECT_DOUBLE_EQ(map.CenterX(), 114);
    EXPECT_DOUBLE_EQ(map.CenterY(), 35);
    const Rectangle shown = map.Bounds();
    EXPECT_NEAR(shown.Width(), 13.333333, 1e-6); // 10 high at 600 px -> 1/60 degree a pixel
    EXPECT_NEAR(shown.Height(), 10, 1e-9);
    EXPECT_EQ(changes, 1);

    // A single located station: centre on it, keep the scale.
    map.setBounds(Rectangle(116.4, 39.9, 116.4, 39.9));
    EXPECT_DOUBLE_EQ(map.CenterX(), 116.4);
    EXPECT_NEAR(map.Bounds().Width(), 13.333333, 1e-6);
    // A horizontal segment fits on its width.
    map.setBounds(Rectangle(100, 30, 108, 30));
    EXPECT_NEAR(map.Bounds().Width(), 8, 1e-9);
}

TEST(View, ScreenAndMapCoordinatesConvertBothWays) {
    Map map;
    map.setViewSize({800, 600});
    map.setBounds(Rectangle(100, 30, 108, 36)); // 0.01 degree a pixel
    double sx = 0, sy = 0, mx = 0, my = 0;
    map.ConvertCoord(sx, sy, mx, my, ConvertDirection::ScreenToMap);
    EXPECT_NEAR(mx, 100, 1e-9); // top-left pixel: west, north
    EXPECT_NEAR(my, 36, 1e-9);
    mx = 104.5;
    my = 31;
    map.ConvertCoord(sx, sy, mx, my, ConvertDirection::MapToScreen);
    EXPECT_NEAR(sx, 450, 1e-9);
    EXPECT_NEAR(sy, 500, 1e-9);
}

TEST(Tools, StandardAndCreatedToolsOnly) {
    Map map;
    EXPECT_EQ(map.CurrentTool(), tools::Select);
    EXPECT_THROW(map.setCurrentTool(10), GisError);
    map.CreateCustomTool(10, ToolType::Point, 18);
    map.setCurrentTool(10);
    EXPECT_THROW(map.setCurrentTool(1002), GisError);
    EXPECT_THROW(map.CreateCustomTool(1003, ToolType::Point, 2), GisError);
}
