#include "platform/gis/GeometryOps.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ocable::gis {

namespace {
// Kilometres in a degree of latitude, on a sphere of the WGS84 mean radius.
constexpr double kKmPerDegree = 6371.0088 * std::numbers::pi / 180.0;
} // namespace

double Metric::length(double dx, double dy) const {
    return std::hypot(dx * kx, dy * ky);
}

Metric Metric::kilometresAt(double latitude) {
    return {kKmPerDegree * std::cos(latitude * std::numbers::pi / 180.0), kKmPerDegree};
}

double distanceToSegment(const Point& p, const Point& a, const Point& b, const Metric& m) {
    const double ax = a.x * m.kx, ay = a.y * m.ky;
    const double bx = b.x * m.kx, by = b.y * m.ky;
    const double px = p.x * m.kx, py = p.y * m.ky;
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

bool insideRing(const Point& p, std::span<const Point> ring) {
    bool inside = false;
    const std::size_t n = ring.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Point& a = ring[i];
        const Point& b = ring[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

bool insideRings(const Point& p, const FeatureStore& store, FeatureStore::Slot s) {
    bool inside = false;
    for (int i = 0; i < store.partCount(s); ++i)
        if (insideRing(p, store.part(s, i))) inside = !inside;
    return inside;
}

bool clipSegment(Point& a, Point& b, const Rectangle& r) {
    // NaN would slip through every comparison below and come out as a
    // "visible" segment with NaN ends.
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y))
        return false;
    // Liang-Barsky: the part of the segment that survives every edge.
    double t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - r.xmin, r.xmax - a.x, a.y - r.ymin, r.ymax - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const Point start = a;
    if (t1 < 1) b = {start.x + t1 * dx, start.y + t1 * dy};
    if (t0 > 0) a = {start.x + t0 * dx, start.y + t0 * dy};
    return true;
}

bool segmentTouchesRect(const Point& a, const Point& b, const Rectangle& r) {
    Point from = a, to = b;
    return clipSegment(from, to, r);
}

double distanceToFeature(const Point& p, const FeatureStore& store, FeatureStore::Slot s, const Metric& m) {
    const FeatureType type = store.type(s);
    if (type == FeatureType::Region && insideRings(p, store, s)) return 0;
    double best = INFINITY;
    for (int i = 0; i < store.partCount(s); ++i) {
        auto pts = store.part(s, i);
        if (pts.size() == 1 || type == FeatureType::Symbol) {
            best = std::min(best, m.length(pts[0].x - p.x, pts[0].y - p.y));
            continue;
        }
        for (std::size_t k = 1; k < pts.size(); ++k)
            best = std::min(best, distanceToSegment(p, pts[k - 1], pts[k], m));
        if (type == FeatureType::Region && pts.size() > 2)
            best = std::min(best, distanceToSegment(p, pts.back(), pts.front(), m));
    }
    return best;
}

double farthestPointDistance(const Point& p, const FeatureStore& store, FeatureStore::Slot s,
                             const Metric& m) {
    double worst = 0;
    for (const Point& q : store.allPoints(s))
        worst = std::max(worst, m.length(q.x - p.x, q.y - p.y));
    return worst;
}

bool featureTouchesRect(const FeatureStore& store, FeatureStore::Slot s, const Rectangle& r) {
    const FeatureType type = store.type(s);
    for (int i = 0; i < store.partCount(s); ++i) {
        auto pts = store.part(s, i);
        if (pts.size() == 1 || type == FeatureType::Symbol) {
            if (r.contains(pts[0])) return true;
            continue;
        }
        for (std::size_t k = 1; k < pts.size(); ++k)
            if (segmentTouchesRect(pts[k - 1], pts[k], r)) return true;
        if (type == FeatureType::Region && segmentTouchesRect(pts.back(), pts.front(), r)) return true;
    }
    // A region may hold the whole rectangle without any edge inside it.
    return type == FeatureType::Region && insideRings({r.CenterX(), r.CenterY()}, store, s);
}

} // namespace ocable::gis
