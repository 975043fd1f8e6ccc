#pragma once

#include <optional>
#include <string_view>

namespace ocable::gis {

// The one reading of a longitude or latitude text from the database or a
// file: a decimal number in the C locale ("116.4074", "-3", ".5", "1e2"),
// without blanks or a leading "+", that is finite. "nan", "inf",
// "Infinity" and numbers too large for a double ("9e999") give nothing, so
// the caller passes the row over like any other text that is no number.
std::optional<double> parseCoordinate(std::string_view text);

} // namespace ocable::gis
