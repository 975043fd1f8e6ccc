// Coordinates as text for the database and the coordinate dialog.
#include "interaction/NumberText.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>

using ocable::shortestDecimal;

namespace {

struct Row {
    const char* name;
    double value;
    const char* text;
};

class ShortestDecimalTest : public ::testing::TestWithParam<Row> {};

TEST_P(ShortestDecimalTest, GivesThePlainShortestText) {
    EXPECT_EQ(shortestDecimal(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ShortestDecimalTest,
    ::testing::Values(Row{"longitude", 116.4, "116.4"}, Row{"latitude", 39.9, "39.9"},
                      Row{"sumWithBinaryNoise", 0.1 + 0.2, "0.3"}, Row{"whole", 40.0, "40"},
                      Row{"negativeZero", -0.0, "0"}, Row{"negative", -73.25, "-73.25"},
                      Row{"smallNoExponent", 1e-7, "0.0000001"},
                      Row{"largeNoExponent", 1.5e17, "150000000000000000"},
                      Row{"roundedToFifteenDigits", 116.123456789012345, "116.123456789012"},
                      Row{"mouseDragged", 113.62499999999999, "113.625"}),
    [](const auto& info) { return std::string(info.param.name); });

// Against a second answer: the text reads back as the value rounded to 15
// significant digits, and no text with fewer digits does.
TEST(ShortestDecimalTest, IsTheShortestTextThatReadsBackAsTheFifteenDigitValue) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> lng(73.0, 135.0);
    for (int i = 0; i < 2000; ++i) {
        const double v = lng(random);
        char fifteen[64];
        std::snprintf(fifteen, sizeof fifteen, "%.14e", v);
        const double target = std::strtod(fifteen, nullptr);
        const std::string text = shortestDecimal(v);
        SCOPED_TRACE(text);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), target);
        EXPECT_EQ(text.find_first_of("eE,"), std::string::npos);
        std::string digits;
        for (char c : text)
            if (c >= '0' && c <= '9') digits += c;
        if (text.find('.') == std::string::npos)
            while (digits.size() > 1 && digits.back() == '0')
                digits.pop_back();
        for (int p = 1; p < static_cast<int>(digits.size()); ++p) {
            char shorter[64];
            std::snprintf(shorter, sizeof shorter, "%.*e", p - 1, v);
            EXPECT_NE(std::strtod(shorter, nullptr), target) << p;
        }
    }
}

} // namespace
