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
// Equal when ASCII letters are compared without regard to case; other bytes
// (Chinese text) must be the same.
inline bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

} // namespace ocable::text
