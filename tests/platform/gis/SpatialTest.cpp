#include "GisTestData.h"

#include "platform/gis/GeometryOps.h"

#include <gtest/gtest.h>

#include <random>

using namespace ocable::gis;

namespace {

// Every feature of the layer within radius of p, by looking at all of them.
std::vector<std::uint32_t> scanWithin(const Layer& layer, const Point& p, double radius, const Metric& m,
                                      SearchType type) {
    std::vector<std::uint32_t> ids;
    const FeatureStore& store = layer.store();
    for (FeatureStore::Slot s = 0; s < store.slotCount(); ++s) {
        if (!store.alive(s)) continue;
        const Rectangle b = store.bounds(s);
        const double d = type == SearchType::CentroidWithin
                             ? m.length(b.CenterX() - p.x, b.CenterY() - p.y)
                             : (type == SearchType::PartiallyWithin ? distanceToFeature(p, store, s, m)
                                                                    : farthestPointDistance(p, store, s, m));
        if (d <= radius) ids.push_back(store.id(s));
    }
    return ids;
}

} // namespace

// Both indexes must answer what a look at every feature answers: the grid
// for features of every size (points, short segments, lines across the
// country, regions) and searches of every size, the column index for lists
// of codes with many duplicates; also after rows changed, features moved
// and went, and the layer compacted (more than half deleted: slots move,
// ids stay).
TEST(LayerIndexes, AgreeWithScansThroughEdits) {
    Map map;
    Layer& layer = map.Layers().CreateLayer("混合", 1, {"Label", "Code"});
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> lon(73, 135), lat(18, 53), unit(0, 1);
    auto code = [&] { return "C" + std::to_string(rng() % 300); };
    auto addOne = [&](int i) {
        const Point a(lon(rng), lat(rng));
        const RowValues row(layer.columns(), {std::to_string(rng() % 5), code()});
        if (i % 4 == 0) {
            layer.AddFeature(FeatureFactory::CreateSymbol(a, Style()), row);
        } else if (i % 4 == 3) {
            const double w = unit(rng) * 3;
            layer.AddFeature(FeatureFactory::CreateRegion(Rectangle(a.x, a.y, a.x + w, a.y + w / 2), Style()),
                             row);
        } else { // a short segment, or anything up to across the country
            const Point b =
                i % 4 == 1 ? Point(a.x + unit(rng) * 0.3, a.y - unit(rng) * 0.3) : Point(lon(rng), lat(rng));
            layer.AddFeature(FeatureFactory::CreateLine(Points{a, b}, Style()), row);
        }
    };
    auto check = [&](const char* stage) {
        SCOPED_TRACE(stage);
        for (int i = 0; i < 60; ++i) {
            const Point p(lon(rng), lat(rng));
            const double km = i % 3 == 0 ? 2 : (i % 3 == 1 ? 60 : 900);
            const auto type = static_cast<SearchType>(i % 3);
            ASSERT_EQ(layer.SearchWithinDistance(p, km, DistanceUnit::Kilometre, type).ids(),
                      scanWithin(layer, p, km, Metric::kilometresAt(p.y), type))
                << p.x << "," << p.y << " " << km << " km";
            std::string expr = "Code = \"" + code() + "\"";
            for (int k = rng() % 4; k > 0; --k)
                expr += " OR code = \"" + code() + "\"";
            expr += " OR Label = \"" + std::to_string(rng() % 7) + "\"";
            ASSERT_EQ(layer.Search(expr).ids(), layer.searchByScan(expr).ids()) << expr;
        }
    };
    layer.BeginAccess();
    for (int i = 0; i < 4000; ++i)
        addOne(i);
    layer.EndAccess();
    check("built");

    auto all = layer.AllFeatures();
    layer.BeginAccess();
    for (int i = 1; i <= all.Count(); ++i) {
        Feature f = all.Item(i);
        RowValues row(layer.columns(), f.carriedRow());
        row.Item("Code").Value = code();
        f.Offset(unit(rng) * 5 - 2.5, unit(rng) * 5 - 2.5);
        if (i % 3 == 0) f.Update(true, row);
        if (i % 3 == 1) f.Update();
        if (i % 3 == 2) layer.DeleteFeature(f);
    }
    layer.EndAccess();
    check("changed, moved and deleted");

    layer.BeginAccess();
    for (int i = 1; i <= all.Count(); ++i)
        if (i % 3 != 2 && i % 5 != 0) layer.DeleteFeature(all.Item(i));
    for (int i = 0; i < 500; ++i)
        addOne(i);
    layer.EndAccess();
    check("compacted");
    EXPECT_EQ(layer.featureCount(), 533 + 500); // every fifth of the first 4000 not deleted before
}
