#pragma once

#include <string>

namespace ocable {

// A coordinate as the database and the coordinate dialog take it: the
// shortest plain decimal text (no exponent, no grouping) that gives back the
// value rounded to 15 significant digits. 116.4 stays "116.4", not
// "116.40000000000001"; -0 is "0".
std::string shortestDecimal(double value);

} // namespace ocable
