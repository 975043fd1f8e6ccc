#include "platform/db/NumberFormat.h"

#include <charconv>
#include <cmath>

namespace ocable::db {

namespace {

// A scientific text such as "-1.2345e+17" written out as a plain decimal.
// (to_chars in fixed notation would print a large double's exact binary
// value, "166221380200082016198734118912", not its shortest digits.)
std::string plain(const char* begin, const char* end) {
    std::string out;
    if (*begin == '-') {
        out.push_back('-');
        ++begin;
    }
    std::string digits;
    const char* p = begin;
    for (; p != end && *p != 'e'; ++p)
        if (*p != '.') digits.push_back(*p);
    int exponent = 0;
    if (p != end) std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int integerDigits = exponent + 1;
    if (integerDigits <= 0) {
        out.append("0.").append(static_cast<std::size_t>(-integerDigits), '0').append(digits);
    } else if (static_cast<std::size_t>(integerDigits) >= digits.size()) {
        out.append(digits).append(static_cast<std::size_t>(integerDigits) - digits.size(), '0');
    } else {
        out.append(digits, 0, static_cast<std::size_t>(integerDigits))
            .append(".")
            .append(digits, static_cast<std::size_t>(integerDigits));
    }
    return out;
}

int mantissaDigits(const char* begin, const char* end) {
    int digits = 0;
    for (const char* p = begin; p != end && *p != 'e'; ++p)
        digits += *p >= '0' && *p <= '9';
    return digits;
}

} // namespace

std::string formatNumber(double v) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    if (v == 0) return "0";
    // Most numbers (coordinates, lengths) print plainly in their shortest
    // form already; digits counted here include any padding zeros, so a
    // count of 15 or fewer proves the shortest form has no more.
    char shortest[40];
    if (auto [end, ec] = std::to_chars(shortest, shortest + sizeof shortest, v); ec == std::errc{}) {
        int digits = 0;
        bool plainForm = true, leading = true;
        for (const char* p = shortest; p != end; ++p) {
            if (*p == 'e') plainForm = false;
            if (*p >= '1' && *p <= '9') leading = false;
            digits += !leading && *p >= '0' && *p <= '9';
        }
        if (plainForm && digits <= 15) return std::string(shortest, end);
    }
    char sci[40];
    auto [end, ec] = std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific);
    if (ec != std::errc{}) return {};
    if (mantissaDigits(sci, end) > 15) {
        // No text of 15 digits reads back to v: its nearest 15-digit
        // rounding is written instead (trailing zeros dropped by plain).
        auto rounded = std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific, 14);
        if (rounded.ec != std::errc{}) return {};
        end = rounded.ptr;
    }
    return plain(sci, end);
}

} // namespace ocable::db
