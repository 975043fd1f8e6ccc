#pragma once

#include "EchartsRing.h"

#include <vector>

namespace ocable::basemap {

struct Polygon {
    Ring outer;
    std::vector<Ring> holes;
};

// Even-odd ray test; a ring may be open or closed.
bool ringContains(const Ring& ring, LngLat p);

// Twice the signed area (positive when counter-clockwise), in square degrees.
double ringSignedArea2(const Ring& ring);

// Groups the rings of one feature into polygons. The echarts files give a
// feature's rings without saying which are holes, and many extra rings are
// islands lying partly over the main one, so a ring counts as a hole only when
// every one of its vertices lies inside a larger ring; a ring inside a hole is
// again an outer ring. Polygons come out in the order of their outer rings.
std::vector<Polygon> assemblePolygons(const std::vector<Ring>& rings);

// Rounds to the given number of decimals, drops repeated points, closes the
// ring and orients it (counter-clockwise outer, clockwise holes). A ring left
// with fewer than three distinct points comes back empty.
Ring cleanRing(const Ring& ring, int decimals, bool outer);

} // namespace ocable::basemap
