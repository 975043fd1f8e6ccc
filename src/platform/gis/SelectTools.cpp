#include "platform/gis/SelectTools.h"

#include "platform/gis/GeometryOps.h"
#include "platform/gis/Map.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace ocable::gis {

namespace {

using Slot = FeatureStore::Slot;

// Distance in pixels from p (map units) to a symbol's bitmap square.
double symbolDistance(const Point& p, const Point& at, double half, double scale) {
    const double dx = std::max(0.0, std::abs(p.x - at.x) / scale - half);
    const double dy = std::max(0.0, std::abs(p.y - at.y) / scale - half);
    return std::hypot(dx, dy);
}

bool selectable(const Layer& layer) {
    return layer.Visible() && layer.Selectable();
}

// Applies the per-layer picks: replaced, or added to what is selected.
void apply(Map& map, const std::vector<std::vector<std::uint32_t>>& picks, bool add) {
    auto& layers = map.Layers();
    for (int i = 1; i <= layers.Count(); ++i) {
        Layer& layer = layers.Item(i);
        const auto& ids = picks[static_cast<std::size_t>(i - 1)];
        if (!add) {
            layer.Selection().replace(ids);
            continue;
        }
        if (ids.empty()) continue;
        auto merged = layer.Selection().ids();
        for (auto id : ids)
            if (!layer.Selection().containsId(id)) merged.push_back(id);
        layer.Selection().replace(merged);
    }
}

// Selects in every selectable layer the features inside area (map units)
// for which within(store, slot) holds.
void selectWhere(Map& map, const Rectangle& area, bool add,
                 const std::function<bool(const FeatureStore&, Slot)>& within) {
    auto& layers = map.Layers();
    std::vector<std::vector<std::uint32_t>> picks(static_cast<std::size_t>(layers.Count()));
    for (int i = 1; i <= layers.Count(); ++i) {
        const Layer& layer = layers.Item(i);
        if (!selectable(layer)) continue;
        const FeatureStore& store = layer.store();
        store.forEachIn(area, [&](Slot s) {
            if (within(store, s)) picks[static_cast<std::size_t>(i - 1)].push_back(store.id(s));
        });
    }
    apply(map, picks, add);
}

Rectangle mapRect(const Map& map, const QRectF& pixels) {
    const Point a = map.screenToMap(pixels.topLeft());
    const Point b = map.screenToMap(pixels.bottomRight());
    return {a.x, a.y, b.x, b.y};
}

} // namespace

std::optional<Hit> featureAt(const Map& map, QPointF pixel, double tolerance) {
    const double scale = map.viewport().scale();
    const Point p = map.screenToMap(pixel);
    const Metric pixels{1 / scale, 1 / scale};
    std::optional<Hit> best;
    const auto& layers = map.Layers();
    for (int i = 1; i <= layers.Count(); ++i) {
        Layer& layer = layers.Item(i);
        if (!selectable(layer)) continue;
        const FeatureStore& store = layer.store();
        // Wide enough for the largest symbols drawn around their point.
        const double reach = (tolerance + 40) * scale;
        store.forEachIn(Rectangle(p.x - reach, p.y - reach, p.x + reach, p.y + reach), [&](Slot s) {
            double d = 0;
            const Style& st = store.style(s);
            switch (store.type(s)) {
            case FeatureType::Symbol:
                d = symbolDistance(p, store.allPoints(s)[0], st.SymbolBitmapSize / 2.0, scale);
                break;
            case FeatureType::Line:
                d = std::max(0.0, distanceToFeature(p, store, s, pixels) - st.LineWidth / 2.0);
                break;
            case FeatureType::Region:
                d = distanceToFeature(p, store, s, pixels);
                break;
            }
            // Strictly nearer only: the upper layer, visited first, keeps ties.
            if (d <= tolerance && (!best || d < best->distance)) best = Hit{&layer, store.id(s), d};
        });
    }
    return best;
}

void selectAt(Map& map, QPointF pixel, bool add) {
    auto& layers = map.Layers();
    std::vector<std::vector<std::uint32_t>> picks(static_cast<std::size_t>(layers.Count()));
    if (auto hit = featureAt(map, pixel))
        picks[static_cast<std::size_t>(layers.positionOf(*hit->layer) - 1)].push_back(hit->id);
    apply(map, picks, add);
}

void selectInRectangle(Map& map, const QRectF& pixels, bool add) {
    const Rectangle area = mapRect(map, pixels.normalized());
    selectWhere(map, area, add,
                [&](const FeatureStore& store, Slot s) { return area.contains(store.bounds(s)); });
}

void selectInCircle(Map& map, QPointF centre, double radius, bool add) {
    const double scale = map.viewport().scale();
    const Point c = map.screenToMap(centre);
    const double r = radius * scale;
    const Rectangle area(c.x - r, c.y - r, c.x + r, c.y + r);
    selectWhere(map, area, add, [&](const FeatureStore& store, Slot s) {
        return farthestPointDistance(c, store, s, Metric::degrees()) <= r;
    });
}

void selectInPolygon(Map& map, const QPolygonF& pixels, bool add) {
    if (pixels.size() < 3) return;
    std::vector<Point> ring;
    Rectangle area;
    for (const QPointF& px : pixels) {
        ring.push_back(map.screenToMap(px));
        if (ring.size() == 1)
            area = Rectangle(ring[0].x, ring[0].y, ring[0].x, ring[0].y);
        else
            area.include(ring.back());
    }
    selectWhere(map, area, add, [&](const FeatureStore& store, Slot s) {
        for (const Point& q : store.allPoints(s))
            if (!insideRing(q, ring)) return false;
        return true;
    });
}

} // namespace ocable::gis
