#include "core/TextUtil.h"

namespace ocable::text {

std::string trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t b = 0, e = s.size();
    while (b < e && blank(s[b]))
        ++b;
    while (e > b && blank(s[e - 1]))
        --e;
    return std::string(s.substr(b, e - b));
}

std::vector<std::string> split(std::string_view s, std::string_view delimiter) {
    std::vector<std::string> parts;
    if (delimiter.empty()) {
        parts.emplace_back(s);
        return parts;
    }
    std::size_t start = 0;
    for (std::size_t at; (at = s.find(delimiter, start)) != std::string_view::npos;
         start = at + delimiter.size())
        parts.emplace_back(s.substr(start, at - start));
    parts.emplace_back(s.substr(start));
    return parts;
}

std::string field(std::string_view s, std::string_view delimiter, int position) {
    if (position < 1) return {};
    const auto parts = split(s, delimiter);
    return static_cast<std::size_t>(position) <= parts.size() ? parts[position - 1] : std::string();
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

} // namespace ocable::text
