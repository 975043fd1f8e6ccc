#pragma once

#include <string>

namespace ocable::db {

// A number as the program writes it, in a cell's text, a label or a
// statement: the shortest plain decimal text that reads back to the same
// double, with at most 15 significant digits and no exponent or grouping.
// A double whose shortest such text would need 16 or 17 digits prints its
// 15-digit rounding ("0.3" for 0.30000000000000004). Integral values print
// without a decimal point, negative zero as "0". Non-finite values give
// "nan", "inf" and "-inf": never write them into a statement.
std::string formatNumber(double v);

} // namespace ocable::db
