#pragma once

#include <string>
#include <string_view>
#include <vector>

// Text helpers with the semantics the system's data needs: trimming blanks of
// padded database texts and splitting keys such as "STA:code".
namespace ocable::text {

// Without leading and trailing blanks (spaces and tabs).
std::string trim(std::string_view s);
// Split at every occurrence of the delimiter; an empty text gives one empty part.
std::vector<std::string> split(std::string_view s, std::string_view delimiter);
// The part at a 1-based position of split(s, delimiter); empty when absent.
std::string field(std::string_view s, std::string_view delimiter, int position);
bool startsWith(std::string_view s, std::string_view prefix);

} // namespace ocable::text
