#pragma once

#include "platform/db/DbError.h"
#include "platform/db/NumberFormat.h"

#include <cmath>
#include <string>
#include <string_view>

namespace ocable::db {

// The one way a value enters SQL text: between single quotes, each quote
// inside doubled. For a value without a quote the text is the plain
// 'value'; a quote in a name can neither end the literal nor add a statement.
inline std::string sqlQuote(std::string_view value) {
    std::string out;
    out.reserve(value.size() + 2);
    out.push_back('\'');
    for (char c : value) {
        if (c == '\'') out.push_back('\'');
        out.push_back(c);
    }
    out.push_back('\'');
    return out;
}

// The one way a number enters SQL text, as in "UPDATE STATION SET LNG=" +
// sqlNumber(lng): its formatNumber text, which SQL reads as the same
// number. NaN and infinity have no SQL literal and throw DbError.
inline std::string sqlNumber(double value) {
    if (!std::isfinite(value)) throw DbError("数值“" + formatNumber(value) + "”不能写入数据库");
    return formatNumber(value);
}

} // namespace ocable::db
