#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ocable::gis {

// One term of an attribute search: Column = "value".
struct SearchTerm {
    std::string column;
    std::string value;
    bool operator==(const SearchTerm&) const = default;
};

// Parses an attribute search expression: terms Column = "value" joined by
// OR. Column names and OR may be written in any letter case; blanks may
// lead, trail and surround "=" and OR, so a list built as
// ' OR Code = "a" OR Code = "b"' and cut by its first three characters
// reads as written. The value is everything between the double quotes,
// compared exactly; a doubled quote ("") inside stands for one quote.
// Throws GisError saying what was expected where, for example
//   搜索条件有误：第 6 个字符处应为“=”（Code "a"）
std::vector<SearchTerm> parseSearchExpression(std::string_view expression);

// Writes the term Column = "value" as the parser reads it back: a quote in
// the value doubled.
std::string searchTerm(std::string_view column, std::string_view value);

} // namespace ocable::gis
