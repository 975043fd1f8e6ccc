#include "Hostile.h"

#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/gis/Coordinate.h"
#include "platform/gis/GisError.h"
#include "platform/gis/SearchExpression.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>

using namespace ocable;

namespace {

constexpr int kCases = 20000;

} // namespace

// Any text: either no number or a finite one, the same as from_chars reads.
// Every finite double written out reads back.
TEST(ParserFuzz, CoordinateParser) {
    fuzz::Hostile h(1);
    const std::vector<std::string> vocabulary = {"1", "0", "9", ".", "e", "E", "-", "116.4074", "39.9", "00"};
    for (int i = 0; i < kCases; ++i) {
        SCOPED_TRACE(i);
        std::string text;
        const int n = h.below(6);
        for (int k = 0; k < n; ++k)
            text += h.chance(75) ? h.pick(vocabulary) : h.pick(fuzz::hostileWords());
        const auto got = gis::parseCoordinate(text);
        double expected = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), expected);
        const bool number = !text.empty() && ec == std::errc() && end == text.data() + text.size();
        ASSERT_EQ(got, number && std::isfinite(expected) ? std::optional(expected) : std::nullopt) << text;
        const double v = std::ldexp(h.below(2000001) - 1000000.0, h.below(2100) - 1050);
        char printed[40];
        std::snprintf(printed, sizeof printed, "%.17g", v);
        const auto back = gis::parseCoordinate(printed);
        ASSERT_TRUE(std::isinf(v) ? !back : back && *back == v) << printed;
    }
    for (const auto& giant : fuzz::giantTexts("1"))
        EXPECT_FALSE(gis::parseCoordinate(giant));
}

// Any criteria: accepted, showing some of the rows, or refused with DbError
// leaving every row visible. (That the rows shown keep their order is the
// filter tests' comparison with SQL.)
TEST(ParserFuzz, FilterCriteria) {
    fuzz::Hostile h(2);
    const std::vector<std::string> vocabulary = {
        "CODE",       "code",   "[CODE]", "X_STATIONTYPE", "NUM",   "LNG",        "=",   "<>", "'S1'",
        "'ZY010301'", "'S''3'", "null",   "NULL",          "And",   "and",        "Or",  "OR", "(",
        ")",          "5",      "-1",     "1e308",         "'nan'", "'116.4074'", "NOPE"};
    // Three stations with Null, number and text cells.
    db::Recordset rs({"CODE", "X_STATIONTYPE", "NUM", "LNG"}, {{"S1", "ZY010301", 5, 116.4074},
                                                               {"S2", db::Value(), db::Value(), "nan"},
                                                               {"S'3", "", std::int64_t{-1}, 1e308}});
    int accepted = 0;
    for (int i = 0; i < kCases; ++i) {
        SCOPED_TRACE(i);
        const std::string criteria = h.sentence(vocabulary, 12);
        try {
            rs.setFilter(criteria);
            ++accepted;
            ASSERT_LE(rs.RecordCount(), 3);
        } catch (const db::DbError&) {
            ASSERT_EQ(rs.RecordCount(), 3) << criteria;
            ASSERT_EQ(rs.Filter(), "");
        }
    }
    EXPECT_GT(accepted, kCases / 50) << "the generator must reach the accepting paths too";
    for (const auto& giant : fuzz::giantTexts("CODE")) {
        rs.setFilter("CODE = 'S1'");
        try {
            rs.setFilter(giant);
        } catch (const db::DbError& e) {
            EXPECT_LT(std::string(e.what()).size(), 600u) << "the criteria is quoted cut short";
            EXPECT_EQ(rs.RecordCount(), 3);
        }
    }
    // A megabyte of distinct comparisons is accepted, and quickly.
    rs.setFilter(fuzz::giantTexts("CODE").back());
    EXPECT_EQ(rs.RecordCount(), 0);
}

// Any expression: terms, or GisError. The terms written back by the map's
// own term writer parse to the same terms, whatever their values hold.
TEST(ParserFuzz, SearchExpression) {
    fuzz::Hostile h(3);
    const std::vector<std::string> vocabulary = {"StationCode", "Code",       "=",  "\"S1\"", "\"a\"\"b\"",
                                                 "\"\"",        "OR",         "or", "Or",     "\"",
                                                 "中继站",      "\"中继站\"", "(",  ")"};
    int parsed = 0;
    for (int i = 0; i < kCases; ++i) {
        SCOPED_TRACE(i);
        std::string expression;
        if (h.chance(50)) {
            expression = h.sentence(vocabulary, 10);
        } else {
            // Well formed, then now and then damaged by one hostile word.
            const int n = 1 + h.below(4);
            for (int k = 0; k < n; ++k)
                expression += (k ? h.pick(std::vector<std::string>{" OR ", " or ", "\tOr\n"}) : "") +
                              gis::searchTerm(h.pick(std::vector<std::string>{"Code", "StationCode", "名称"}),
                                              h.pick(fuzz::hostileWords()));
            if (h.chance(30))
                expression.insert(static_cast<std::size_t>(h.below(static_cast<int>(expression.size()) + 1)),
                                  h.pick(fuzz::hostileWords()));
        }
        std::vector<gis::SearchTerm> terms;
        try {
            terms = gis::parseSearchExpression(expression);
        } catch (const gis::GisError&) {
            continue;
        }
        ++parsed;
        ASSERT_FALSE(terms.empty());
        std::string written;
        for (const auto& t : terms)
            written += (written.empty() ? "" : " OR ") + gis::searchTerm(t.column, t.value);
        ASSERT_EQ(gis::parseSearchExpression(written), terms) << expression;
    }
    EXPECT_GT(parsed, kCases / 100);
    for (const auto& giant : fuzz::giantTexts("Code")) {
        try {
            gis::parseSearchExpression(giant);
        } catch (const gis::GisError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("搜索条件", 0), 0u);
            EXPECT_LT(std::string(e.what()).size(), 400u);
        }
    }
}
