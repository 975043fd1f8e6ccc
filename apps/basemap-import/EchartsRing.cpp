#include "EchartsRing.h"

#include <stdexcept>

namespace ocable::basemap {

namespace {

std::int64_t unzigzag(std::int64_t v) {
    return (v >> 1) ^ (-(v & 1));
}

} // namespace

Ring decodeEchartsRing(const QString& encoded, std::int64_t offsetX, std::int64_t offsetY) {
    if (encoded.size() % 2 != 0)
        throw std::runtime_error("echarts ring with an odd number of characters: " +
                                 std::to_string(encoded.size()));
    Ring ring;
    ring.reserve(static_cast<std::size_t>(encoded.size() / 2));
    std::int64_t x = offsetX;
    std::int64_t y = offsetY;
    for (qsizetype i = 0; i < encoded.size(); i += 2) {
        x += unzigzag(static_cast<std::int64_t>(encoded.at(i).unicode()) - 64);
        y += unzigzag(static_cast<std::int64_t>(encoded.at(i + 1).unicode()) - 64);
        ring.push_back({static_cast<double>(x) / 1024.0, static_cast<double>(y) / 1024.0});
    }
    return ring;
}

} // namespace ocable::basemap
