#include "Geo.h"

#include <GeographicLib/Geodesic.hpp>

#include <cmath>
#include <numbers>

namespace ocable::demo {

namespace {
constexpr double kEarthRadiusKm = 6371.0088;
constexpr double kDeg = std::numbers::pi / 180.0;
} // namespace

double distanceKm(GeoPoint a, GeoPoint b) {
    const double dLat = (b.lat - a.lat) * kDeg;
    const double dLng = (b.lng - a.lng) * kDeg;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2) + std::cos(a.lat * kDeg) *
                                                                   std::cos(b.lat * kDeg) *
                                                                   std::sin(dLng / 2) * std::sin(dLng / 2);
    return 2 * kEarthRadiusKm * std::asin(std::min(1.0, std::sqrt(h)));
}

double geodesicKm(GeoPoint a, GeoPoint b) {
    double metres = 0;
    GeographicLib::Geodesic::WGS84().Inverse(a.lat, a.lng, b.lat, b.lng, metres);
    return metres / 1000.0;
}

GeoPoint offsetKm(GeoPoint p, double dxKm, double dyKm) {
    const double kmPerDegLat = 110.574;
    const double kmPerDegLng = 111.320 * std::cos(p.lat * kDeg);
    return {p.lng + dxKm / kmPerDegLng, p.lat + dyKm / kmPerDegLat};
}

std::int64_t quantize(double degrees, int decimals) {
    std::int64_t step = 1;
    for (int d = decimals; d < 8; ++d)
        step *= 10;
    std::int64_t v = std::llround(degrees * 1e8 / static_cast<double>(step)) * step;
    if (decimals > 6 && (v / step) % 10 == 0)
        v += step; // one unit in the last place: keeps the stated number of decimals
    return v;
}

} // namespace ocable::demo
