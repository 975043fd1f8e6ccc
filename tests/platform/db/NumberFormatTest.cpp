#include "platform/db/NumberFormat.h"
#include "platform/db/Value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>

using ocable::db::formatNumber;

namespace {

// Significant digits of a plain decimal text: leading zeros do not count,
// nor do the zeros an integer is padded with after its last digit.
int significantDigits(const std::string& text) {
    std::string digits;
    for (char c : text)
        if (c >= '0' && c <= '9') digits += c;
    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0;
    const auto last = digits.find_last_not_of('0');
    return static_cast<int>(last - first + 1);
}

} // namespace

// Named cases the random comparison below cannot pin: the sign of zero,
// integers without a decimal point, padding zeros instead of an exponent,
// a stored length of 17 digits, and the texts of NaN and infinity.
TEST(NumberFormat, ShortestPlainTextOfAtMostFifteenDigits) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {-0.0, "0"},
        {-42.0, "-42"},
        {1e-7, "0.0000001"},
        {123456789012345678.0, "123456789012346000"},
        {1e21, "1000000000000000000000"},
        {123.45678901234568, "123.456789012346"},
        {std::numeric_limits<double>::quiet_NaN(), "nan"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(formatNumber(c.value), c.text);
        EXPECT_EQ(ocable::db::Value(c.value).toText(), c.text) << "a REAL cell prints the same";
    }
}

// Against the C library's own 15-digit rounding over random doubles of every
// magnitude: the text reads back to what "%.15g" reads back to, has at most
// 15 significant digits, never an exponent, and no shorter text would do.
TEST(NumberFormat, AgreesWithPrintfRoundingAtFifteenDigits) {
    std::mt19937_64 rng(17);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (int i = 0; i < 20000; ++i) {
        const double v = i % 2 ? mantissa(rng) * std::pow(10.0, exponent(rng))
                               : std::round(mantissa(rng) * 1e6) / 1e4; // coordinates and lengths
        const std::string text = formatNumber(v);
        SCOPED_TRACE(text);
        char printed[64];
        std::snprintf(printed, sizeof printed, "%.15g", v);
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), std::strtod(printed, nullptr)) << printed;
        ASSERT_EQ(text.find_first_of("eE"), std::string::npos);
        ASSERT_LE(significantDigits(text), 15);
        const int shorter = significantDigits(text) - 1;
        if (shorter >= 1) {
            std::snprintf(printed, sizeof printed, "%.*g", shorter, v);
            ASSERT_NE(std::strtod(printed, nullptr), std::strtod(text.c_str(), nullptr)) << printed;
        }
    }
}
