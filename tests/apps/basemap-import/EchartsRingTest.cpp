// Decoding of echarts rings and the grouping of rings into polygons.
#include "EchartsRing.h"
#include "RingAssembly.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace ocable::basemap {
namespace {

// Decoding itself (zig-zag steps from the offsets, steps beyond ASCII) is
// shown by ImportSample, whose rings are encoded by the test and must land
// where the sketch puts them, and by CommittedBaseMap's real extents.
TEST(EchartsRing, OddLengthIsRejected) {
    EXPECT_THROW(decodeEchartsRing(QStringLiteral("@@B"), 0, 0), std::runtime_error);
}

Ring square(double x0, double y0, double x1, double y1) {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

// Sketch (not to scale):
//   main 0..10 holds lake 2..5 and, inside the lake, islet 3..4;
//   the island lies apart at 20..21. A ring whose first vertex alone lies
//   inside another is shown by ImportSample's spit.
TEST(RingAssembly, OnlyRingsWhollyInsideALargerRingAreHoles) {
    const Ring main = square(0, 0, 10, 10);
    const Ring lake = square(2, 2, 5, 5);
    const Ring islet = square(3, 3, 4, 4);
    const Ring island = square(20, 20, 21, 21);
    const auto polygons = assemblePolygons({island, lake, main, islet});

    ASSERT_EQ(polygons.size(), 3u);
    EXPECT_EQ(polygons[0].outer, island);
    EXPECT_TRUE(polygons[0].holes.empty());
    EXPECT_EQ(polygons[1].outer, main);
    ASSERT_EQ(polygons[1].holes.size(), 1u);
    EXPECT_EQ(polygons[1].holes[0], lake);
    EXPECT_EQ(polygons[2].outer, islet) << "a ring inside a hole is land again";
}

TEST(RingAssembly, CleaningRoundsClosesAndOrientsRings) {
    const Ring clockwise = {{0, 0}, {0, 1.000004}, {0, 1}, {1, 1}, {1, 0}, {0, 0}};
    const Ring outer = cleanRing(clockwise, 5, true);
    ASSERT_EQ(outer.size(), 5u) << "the repeated point after rounding and the closing point collapse";
    EXPECT_EQ(outer.front(), outer.back());
    EXPECT_GT(ringSignedArea2(outer), 0) << "outer rings run counter-clockwise";
    EXPECT_LT(ringSignedArea2(cleanRing(clockwise, 5, false)), 0) << "holes run clockwise";
    EXPECT_TRUE(cleanRing({{1, 1}, {1.000001, 1}, {2, 2}}, 5, true).empty()) << "degenerate after rounding";
}

} // namespace
} // namespace ocable::basemap
