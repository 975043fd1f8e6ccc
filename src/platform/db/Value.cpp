#include "platform/db/Value.h"

#include "platform/db/NumberFormat.h"

#include <charconv>
#include <system_error>

namespace ocable::db {

std::optional<double> parseNumber(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    double v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::general);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return v;
}

std::string Value::toText() const {
    struct {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(std::int64_t v) const { return std::to_string(v); }
        std::string operator()(double v) const { return formatNumber(v); }
        std::string operator()(const std::string& v) const { return v; }
    } visitor;
    return std::visit(visitor, data_);
}

std::optional<double> Value::toDouble() const {
    if (const auto* i = std::get_if<std::int64_t>(&data_)) return static_cast<double>(*i);
    if (const auto* d = std::get_if<double>(&data_)) return *d;
    if (const auto* s = std::get_if<std::string>(&data_)) return parseNumber(*s);
    return std::nullopt;
}

} // namespace ocable::db
