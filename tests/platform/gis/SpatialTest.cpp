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

// The grid must find what a look at every feature finds, for features of
// every size (points, short segments, lines across the country, regions)
// and for searches of every size, also after features moved and went.
TEST(SpatialIndex, FindsWhatAScanFinds) {
    Map map;
    Layer& layer = map.Layers().CreateLayer("混合");
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> lon(73, 135), lat(18, 53), unit(0, 1);
    layer.BeginAccess();
    for (int i = 0; i < 4000; ++i) {
        const Point a(lon(rng), lat(rng));
        switch (i % 4) {
        case 0:
            layer.AddFeature(FeatureFactory::CreateSymbol(a, Style()));
            break;
        case 1: // short segment
            layer.AddFeature(FeatureFactory::CreateLine(
                Points{a, {a.x + unit(rng) * 0.3, a.y - unit(rng) * 0.3}}, Style()));
            break;
        case 2: // anything up to across the country
            layer.AddFeature(FeatureFactory::CreateLine(Points{a, {lon(rng), lat(rng)}}, Style()));
            break;
        default: {
            const double w = unit(rng) * 3;
            layer.AddFeature(
                FeatureFactory::CreateRegion(Rectangle(a.x, a.y, a.x + w, a.y + w / 2), Style()));
        }
        }
    }
    layer.EndAccess();
    auto check = [&](const char* stage) {
        SCOPED_TRACE(stage);
        for (int i = 0; i < 60; ++i) {
            const Point p(lon(rng), lat(rng));
            const double km = i % 3 == 0 ? 2 : (i % 3 == 1 ? 60 : 900);
            const auto type = static_cast<SearchType>(i % 3);
            ASSERT_EQ(layer.SearchWithinDistance(p, km, DistanceUnit::Kilometre, type).ids(),
                      scanWithin(layer, p, km, Metric::kilometresAt(p.y), type))
                << p.x << "," << p.y << " " << km << " km";
        }
    };
    check("built");
    auto all = layer.AllFeatures();
    layer.BeginAccess();
    for (int i = 1; i <= all.Count(); ++i) {
        Feature f = all.Item(i);
        if (i % 3 == 0) {
            layer.DeleteFeature(f);
        } else if (i % 3 == 1) {
            f.Offset(unit(rng) * 5 - 2.5, unit(rng) * 5 - 2.5);
            f.Update();
        }
    }
    layer.EndAccess();
    check("moved and deleted");
}
