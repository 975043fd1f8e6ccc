#pragma once

#include "BaseMap.h"

#include <cstdint>

namespace ocable::demo {

// Great-circle distance on a sphere; good enough for planning the network.
double distanceKm(GeoPoint a, GeoPoint b);

// Geodesic distance on the WGS84 ellipsoid, for the stored cable lengths.
double geodesicKm(GeoPoint a, GeoPoint b);

// The point dx km east and dy km north of p (local flat approximation).
GeoPoint offsetKm(GeoPoint p, double dxKm, double dyKm);

// A coordinate stored with the given decimals (6 to 8), in 1e-8 degrees. With
// 7 or 8 decimals the last digit is never 0, so its shortest text keeps them all.
std::int64_t quantize(double degrees, int decimals);

inline double fromE8(std::int64_t e8) {
    return static_cast<double>(e8) / 1e8;
}

} // namespace ocable::demo
