#include "GisTestData.h"

#include "platform/gis/SearchExpression.h"

#include <gtest/gtest.h>

using namespace ocable::gis;
using gistest::codesOf;

namespace {

std::string messageOf(std::string_view expression) {
    return gistest::errorOf([&] { parseSearchExpression(expression); });
}

} // namespace

TEST(SearchExpression, ReadsTheFormsTheCallersBuild) {
    struct Case {
        const char* name;
        const char* text;
        std::vector<SearchTerm> terms;
    };
    const Case cases[] = {
        {"noBlanks", R"(StationCode="S1")", {{"StationCode", "S1"}}},
        // A list built with " OR Code = ..." and cut by three characters.
        {"cutList", R"( OcableCode = "a" OR OcableCode = "b")", {{"OcableCode", "a"}, {"OcableCode", "b"}}},
        {"lowerOr", R"(objCode = "x" or OBJCODE = "y")", {{"objCode", "x"}, {"OBJCODE", "y"}}},
        {"extraBlanks", "  a  =  \"1\"   Or\tb = \"2\"  ", {{"a", "1"}, {"b", "2"}}},
        {"blanksInsideValueKept", R"(a = " x ")", {{"a", " x "}}},
        {"emptyValue", R"(a = "")", {{"a", ""}}},
        {"doubledQuote", R"(a = "say ""hi""")", {{"a", "say \"hi\""}}},
        {"chineseColumn", R"(名称 = "北京")", {{"名称", "北京"}}},
        {"orInsideValue", R"(a = "x OR b = y")", {{"a", "x OR b = y"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parseSearchExpression(c.text), c.terms);
    }
}

TEST(SearchExpression, RejectsMalformedTextSayingWhatWasExpectedWhere) {
    EXPECT_EQ(messageOf("   "), "搜索条件为空");
    EXPECT_EQ(messageOf(R"(Code "a")"), "搜索条件有误：第 6 个字符处应为“=”（Code \"a\"）");
    EXPECT_EQ(messageOf("Code = a"), "搜索条件有误：第 8 个字符处应为带双引号的值（Code = a）");
    EXPECT_EQ(messageOf(R"(Code = "a)"), "搜索条件有误：第 10 个字符处应为结尾的双引号（Code = \"a）");
    EXPECT_EQ(messageOf(R"(Code = "a" AND b = "c")"),
              "搜索条件有误：第 12 个字符处应为OR（Code = \"a\" AND b = \"c\"）");
    EXPECT_EQ(messageOf(R"(Code = "a" OR)"), "搜索条件有误：第 14 个字符处应为列名（Code = \"a\" OR）");
    // Positions count characters, not UTF-8 bytes.
    EXPECT_EQ(messageOf(R"(名称 "a")"), "搜索条件有误：第 4 个字符处应为“=”（名称 \"a\"）");
}

TEST(LayerSearch, MatchesColumnsInAnyCaseAndValuesExactly) {
    Map map;
    Layer& layer = gistest::stationLayer(map);
    EXPECT_EQ(codesOf(layer, layer.Search(R"(stationcode = "S2")")), std::vector<std::string>{"S2"});
    EXPECT_EQ(layer.Search(R"(StationCode = "s2")").Count(), 0);
    EXPECT_EQ(layer.Search(R"(StationCode = "S2 ")").Count(), 0);
    EXPECT_EQ(codesOf(layer, layer.Search(R"(名称 = "丙站")")), std::vector<std::string>{"S3"});
    // Results come in layer order, each feature once.
    EXPECT_EQ(
        codesOf(layer, layer.Search(R"(StationCode = "S3" OR StationCode = "S1" OR StationCode = "S3")")),
        (std::vector<std::string>{"S1", "S3"}));
    // An unknown column names the layer and the column.
    EXPECT_EQ(gistest::errorOf([&] { layer.Search(R"(StationCode = "S1" OR OcableCode = "C1")"); }),
              "图层“站点”没有列“OcableCode”");
}
