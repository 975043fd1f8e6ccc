#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace ocable::basemap {

struct LngLat {
    double lng = 0;
    double lat = 0;
    bool operator==(const LngLat&) const = default;
};

using Ring = std::vector<LngLat>;

// Decodes one ring of an echarts map file written with UTF8Encoding: every
// coordinate is a character pair (x, y), each a zig-zag encoded step from the
// previous point in 1/1024 degree, the first step counted from the ring's
// encodeOffsets. Throws std::runtime_error for an odd number of characters.
Ring decodeEchartsRing(const QString& encoded, std::int64_t offsetX, std::int64_t offsetY);

} // namespace ocable::basemap
