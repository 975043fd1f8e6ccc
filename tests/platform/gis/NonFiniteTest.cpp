#include "GisTestData.h"

#include "platform/gis/Coordinate.h"
#include "platform/gis/GisError.h"
#include "platform/gis/MapRenderer.h"
#include "platform/gis/SelectTools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace ocable::gis;
using gistest::codesOf;
using gistest::selectedCodes;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The station and cable layers of gistest with, after their ordinary
// features, what damaged tables and geosets have been seen to hold: NaN,
// infinities and numbers far beyond the earth.
//   S1 (100, 30)  S2 (101, 30)  S3 (102, 31)
//   BAD_NAN (nan, 30)  BAD_INF (inf, 30)  BAD_NEG (100, -inf)  BAD_HUGE (1e308, 1e308)
//   C1 S1-S2  C2 S2-S3  L_INF from S1 to infinity
Layer& damagedStations(Map& map) {
    Layer& layer = gistest::stationLayer(map);
    struct S {
        const char* code;
        double x, y;
    };
    for (const S& s : {S{"BAD_NAN", kNaN, 30}, S{"BAD_INF", kInf, 30}, S{"BAD_NEG", 100, -kInf},
                       S{"BAD_HUGE", 1e308, 1e308}})
        layer.AddFeature(FeatureFactory::CreateSymbol({s.x, s.y}, Style()),
                         RowValues(layer.columns(), {"坏站", s.code}));
    layer.setAutoLabel(true);
    Layer& lines = gistest::cableLayer(map, 2);
    lines.AddFeature(FeatureFactory::CreateLine(Points{{100, 30}, {kInf, 30}}, Style()),
                     RowValues(lines.columns(), {"1", "L_INF"}));
    return layer;
}

} // namespace

// Stations at NaN, infinity or 1e308 are kept (they can be found by their
// code) but have no place on the map: the whole view, the renderer, the hit
// tests and the select tools pass over them, and none of them hangs.
TEST(NonFiniteCoordinates, DamagedStationsAreFoundByCodeButNotDrawnOrHit) {
    Map map;
    map.setViewSize({320, 200});
    Layer& layer = damagedStations(map);
    Layer& lines = map.Layers().Item("线路");

    EXPECT_EQ(codesOf(layer, layer.Search("StationCode = \"BAD_NAN\"")), std::vector<std::string>{"BAD_NAN"});

    const Rectangle all = map.fullExtent();
    EXPECT_EQ(all, Rectangle(100, 30, 102, 31));
    map.setBounds(all.expanded(0.5, 0.5));

    MapRenderer renderer;
    const QImage image = renderer.renderImage(map);
    EXPECT_EQ(renderer.stats().features, 5); // S1, S2, S3, C1 and C2
    // Selected through a search by code, they are still not drawn.
    layer.Selection().Add(layer.Search("StationCode = \"BAD_NAN\" OR StationCode = \"BAD_HUGE\""));
    lines.Selection().Add(lines.AllFeatures());
    EXPECT_NE(renderer.renderImage(map), image) << "C1 and C2 are highlighted";

    // A whole-earth search and searches around the damaged points.
    using Codes = std::vector<std::string>;
    const Codes good = {"S1", "S2", "S3"};
    auto within = [](const Layer& l, Point p, double d, DistanceUnit unit, SearchType type) {
        return codesOf(l, l.SearchWithinDistance(p, d, unit, type));
    };
    EXPECT_EQ(codesOf(layer, layer.SearchWithinRectangle(Rectangle(-kInf, -kInf, kInf, kInf),
                                                         SearchType::PartiallyWithin)),
              good);
    EXPECT_EQ(within(layer, {kNaN, 30}, 5, DistanceUnit::Degree, SearchType::PartiallyWithin), Codes{});
    EXPECT_EQ(within(layer, {1e308, 1e308}, 5, DistanceUnit::Kilometre, SearchType::PartiallyWithin),
              Codes{});
    EXPECT_EQ(within(layer, {100, 30}, 1e308, DistanceUnit::Degree, SearchType::EntirelyWithin), good);
    EXPECT_EQ(within(lines, {100, 30}, 0.5, DistanceUnit::Degree, SearchType::PartiallyWithin), Codes{"C1"});

    const auto hit = featureAt(map, map.mapToScreen({100, 30}));
    ASSERT_TRUE(hit);
    EXPECT_EQ(*hit->layer->valueOf(hit->id, 1), "S1");
    EXPECT_FALSE(featureAt(map, QPointF(kNaN, kNaN)));
    selectInRectangle(map, QRectF(0, 0, 320, 200), false);
    EXPECT_EQ(selectedCodes(layer), good);
    // Each tool starts from nothing selected: one that gave up would leave the previous selection.
    layer.Selection().ClearSelection();
    selectInCircle(map, QPointF(160, 100), 1e9, false);
    EXPECT_EQ(selectedCodes(layer), good);
    layer.Selection().ClearSelection();
    selectInPolygon(map, QPolygonF({QPointF(0, 0), QPointF(320, 0), QPointF(320, 200), QPointF(0, 200)}),
                    false);
    EXPECT_EQ(selectedCodes(layer), good);

    // Moving a damaged station onto the map puts it into the index.
    Feature bad = layer.Search("StationCode = \"BAD_INF\"").Item(1);
    bad.setPoint({101.5, 30.5});
    layer.UpdateFeature(bad);
    EXPECT_EQ(within(layer, {101.5, 30.5}, 0.1, DistanceUnit::Degree, SearchType::PartiallyWithin),
              Codes{"BAD_INF"});
}

// The view refuses what it cannot show and stays computable.
TEST(NonFiniteCoordinates, TheViewRefusesOrClampsThem) {
    Map map;
    map.setViewSize({320, 200});
    map.setCenter(110, 35);
    const Viewport before = map.viewport();

    map.setCenter(kNaN, 30);
    map.setCenter(kInf, -kInf);
    map.setBounds(Rectangle(kNaN, 0, 1, 1));
    map.setBounds(Rectangle(0, 0, kInf, 1));
    map.zoomAt(kInf, QPointF(10, 10));
    map.zoomAt(kNaN, QPointF(10, 10));
    map.zoomAt(2, QPointF(kNaN, 10));
    map.setZoom(kNaN);
    EXPECT_EQ(map.viewport(), before);
    EXPECT_THROW(map.setZoom(-kInf), GisError);
    map.setZoom(kInf);
    EXPECT_DOUBLE_EQ(map.viewport().scale(), Viewport::kMaxScale);
    map.setViewport(before);

    // Finite but beyond the earth: clamped, so that map points still become
    // finite pixels and back.
    map.setBounds(Rectangle(1e308, 0, 1e308, 1));
    EXPECT_LE(map.CenterX(), kCoordinateLimit); // not NaN or infinite either
    map.setBounds(Rectangle(-1e308, -1e308, 1e308, 1e308));
    EXPECT_DOUBLE_EQ(map.CenterX(), 0);
    EXPECT_DOUBLE_EQ(map.viewport().scale(), Viewport::kMaxScale);
    map.setCenter(-1e300, 1e300);
    const QPointF pixel = map.mapToScreen({map.CenterX(), map.CenterY()});
    EXPECT_DOUBLE_EQ(pixel.x(), 160);
    EXPECT_DOUBLE_EQ(pixel.y(), 100);
    gistest::stationLayer(map);
    EXPECT_EQ(MapRenderer().renderImage(map).size(), QSize(320, 200));

    EXPECT_TRUE(std::isnan(map.Distance(kNaN, 39.9, 121.5, 31.2)));
    EXPECT_TRUE(std::isnan(map.Distance(116.4, 39.9, kInf, 31.2)));
    EXPECT_TRUE(std::isnan(map.Distance(116.4, 1e308, 121.5, 31.2)));
}

// The grid must answer like a scan for every query, the hostile ones
// included, and must never visit more than the whole earth's cells.
TEST(NonFiniteCoordinates, GridQueriesOfAnySizeAnswerLikeAScan) {
    // Three boxes that have no place on the earth, then 500 of any size.
    std::vector<Rectangle> boxes = {Rectangle(kInf, 0, kInf, 0), Rectangle(1e308, 1, 1e308, 1), nowhere()};
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> lon(-180, 180), lat(-90, 90), size(0, 3);
    for (int i = 0; i < 500; ++i) {
        const double x = lon(rng), y = lat(rng);
        boxes.emplace_back(x, y, x + size(rng) * size(rng), y + size(rng));
    }
    SpatialGrid grid;
    for (SpatialGrid::Slot s = 0; s < boxes.size(); ++s)
        grid.insert(s, boxes[s]);
    EXPECT_EQ(grid.unplacedCount(), 3u);

    const std::vector<Rectangle> queries = {
        Rectangle(100, 30, 110, 40),    Rectangle(-kInf, -kInf, kInf, kInf),
        Rectangle(1e308, 0, 1e308, 1),  Rectangle(-1e308, -1e308, 1e308, 1e308),
        Rectangle(-1e9, -1, 1e9, 1),    nowhere(),
        Rectangle(kNaN, 0, 10, 10),     Rectangle(179, 89, 1e7, 1e7),
        Rectangle(-0.1, -0.1, 0.1, 0.1)};
    for (const Rectangle& q : queries) {
        SCOPED_TRACE(testing::Message() << q.xmin << "," << q.ymin << "," << q.xmax << "," << q.ymax);
        std::vector<SpatialGrid::Slot> found;
        grid.candidates(q, [&](SpatialGrid::Slot s) {
            if (boxes[s].intersects(q)) found.push_back(s);
        });
        std::sort(found.begin(), found.end());
        std::vector<SpatialGrid::Slot> scanned;
        for (SpatialGrid::Slot s = 0; s < boxes.size(); ++s)
            if (isPlaceable(boxes[s]) && boxes[s].intersects(q)) scanned.push_back(s);
        EXPECT_EQ(found, scanned);
    }
    grid.erase(2, boxes[2]);
    EXPECT_EQ(grid.unplacedCount(), 2u);
}
