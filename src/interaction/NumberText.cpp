#include "interaction/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace ocable {

namespace {

// Digits and exponent of v written with `digits` significant digits.
std::string scientific(double v, int digits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, v);
    return buffer;
}

// "d.ddde±x" as a plain decimal text without trailing zeros.
std::string plain(const std::string& sci) {
    const auto e = sci.find('e');
    const int exponent = std::atoi(sci.c_str() + e + 1);
    std::string mantissa = sci.substr(0, e);
    const bool negative = mantissa[0] == '-';
    if (negative) mantissa.erase(0, 1);
    std::string digits;
    for (char c : mantissa)
        if (c != '.') digits.push_back(c);
    // The decimal point goes after digit number exponent + 1.
    const int point = exponent + 1;
    std::string whole, fraction;
    if (point <= 0) {
        whole = "0";
        fraction = std::string(static_cast<std::size_t>(-point), '0') + digits;
    } else if (point >= static_cast<int>(digits.size())) {
        whole = digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0');
    } else {
        whole = digits.substr(0, static_cast<std::size_t>(point));
        fraction = digits.substr(static_cast<std::size_t>(point));
    }
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    std::string out = negative ? "-" : "";
    out += whole;
    if (!fraction.empty()) out += "." + fraction;
    return out;
}

} // namespace

std::string shortestDecimal(double value) {
    if (!std::isfinite(value)) return "0";
    if (value == 0) return "0";
    const double target = std::strtod(scientific(value, 15).c_str(), nullptr);
    for (int digits = 1; digits < 15; ++digits) {
        const std::string s = scientific(value, digits);
        if (std::strtod(s.c_str(), nullptr) == target) return plain(s);
    }
    return plain(scientific(value, 15));
}

} // namespace ocable
