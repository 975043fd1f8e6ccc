#include "RingAssembly.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace ocable::basemap {

bool ringContains(const Ring& ring, LngLat p) {
    bool inside = false;
    const std::size_t n = ring.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const LngLat& a = ring[i];
        const LngLat& b = ring[j];
        if ((a.lat > p.lat) != (b.lat > p.lat) &&
            p.lng < (b.lng - a.lng) * (p.lat - a.lat) / (b.lat - a.lat) + a.lng)
            inside = !inside;
    }
    return inside;
}

double ringSignedArea2(const Ring& ring) {
    double sum = 0;
    const std::size_t n = ring.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++)
        sum += ring[j].lng * ring[i].lat - ring[i].lng * ring[j].lat;
    return sum;
}

namespace {

bool allVerticesInside(const Ring& inner, const Ring& outer) {
    return std::all_of(inner.begin(), inner.end(), [&](LngLat p) { return ringContains(outer, p); });
}

} // namespace

std::vector<Polygon> assemblePolygons(const std::vector<Ring>& rings) {
    const std::size_t n = rings.size();
    std::vector<double> area(n);
    for (std::size_t i = 0; i < n; ++i)
        area[i] = std::abs(ringSignedArea2(rings[i]));

    // For each ring: how many larger rings hold it whole, and the smallest of them.
    std::vector<int> depth(n, 0);
    std::vector<std::ptrdiff_t> innermost(n, -1);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j) {
            if (i == j || area[j] <= area[i] || !allVerticesInside(rings[i], rings[j])) continue;
            ++depth[i];
            if (innermost[i] < 0 || area[j] < area[static_cast<std::size_t>(innermost[i])])
                innermost[i] = static_cast<std::ptrdiff_t>(j);
        }
    }

    std::vector<Polygon> polygons;
    std::vector<std::ptrdiff_t> polygonOfRing(n, -1);
    for (std::size_t i = 0; i < n; ++i) {
        if (depth[i] % 2 == 0) {
            polygonOfRing[i] = static_cast<std::ptrdiff_t>(polygons.size());
            polygons.push_back({rings[i], {}});
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (depth[i] % 2 == 1) {
            const auto owner = polygonOfRing[static_cast<std::size_t>(innermost[i])];
            polygons[static_cast<std::size_t>(owner)].holes.push_back(rings[i]);
        }
    }
    return polygons;
}

Ring cleanRing(const Ring& ring, int decimals, bool outer) {
    const double scale = std::pow(10.0, decimals);
    Ring out;
    out.reserve(ring.size() + 1);
    for (const LngLat& p : ring) {
        const LngLat q{std::round(p.lng * scale) / scale, std::round(p.lat * scale) / scale};
        if (out.empty() || !(out.back() == q)) out.push_back(q);
    }
    while (out.size() > 1 && out.front() == out.back())
        out.pop_back();
    if (out.size() < 3) return {};
    const bool ccw = ringSignedArea2(out) > 0;
    if (ccw != outer) std::reverse(out.begin(), out.end());
    out.push_back(out.front());
    return out;
}

} // namespace ocable::basemap
