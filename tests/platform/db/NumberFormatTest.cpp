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

struct NumberCase {
    const char* name;
    double value;
    std::string text;
};

class NumberText : public testing::TestWithParam<NumberCase> {};

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

TEST_P(NumberText, ShortestPlainTextOfAtMostFifteenDigits) {
    const auto& c = GetParam();
    EXPECT_EQ(formatNumber(c.value), c.text);
    EXPECT_EQ(ocable::db::Value(c.value).toText(), c.text) << "a REAL cell prints the same";
}

INSTANTIATE_TEST_SUITE_P(
    NumberFormat, NumberText,
    testing::Values(NumberCase{"tenth", 0.1, "0.1"}, NumberCase{"small", 1e-7, "0.0000001"},
                    NumberCase{"eighteenDigits", 123456789012345678.0, "123456789012346000"},
                    NumberCase{"sumOfTenths", 0.1 + 0.2, "0.3"}, NumberCase{"negativeZero", -0.0, "0"},
                    NumberCase{"integer", 5.0, "5"}, NumberCase{"negativeInteger", -42.0, "-42"},
                    NumberCase{"longitude", 116.4074, "116.4074"},
                    NumberCase{"seventeenDigitLength", 123.45678901234568, "123.456789012346"},
                    NumberCase{"third", 1.0 / 3, "0.333333333333333"},
                    NumberCase{"fifteenDigits", 0.123456789012345, "0.123456789012345"},
                    NumberCase{"largeInteger", 1e21, "1000000000000000000000"},
                    NumberCase{"negativeFraction", -0.000125, "-0.000125"},
                    NumberCase{"nan", std::numeric_limits<double>::quiet_NaN(), "nan"},
                    NumberCase{"infinity", -std::numeric_limits<double>::infinity(), "-inf"}),
    [](const testing::TestParamInfo<NumberCase>& info) { return std::string(info.param.name); });

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
