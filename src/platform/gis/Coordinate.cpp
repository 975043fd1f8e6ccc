#include "platform/gis/Coordinate.h"

#include <charconv>
#include <cmath>

namespace ocable::gis {

std::optional<double> parseCoordinate(std::string_view text) {
    if (text.empty()) return std::nullopt;
    double value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace ocable::gis
