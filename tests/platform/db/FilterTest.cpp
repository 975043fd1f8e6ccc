#include "map/ClassCriteria.h"

#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlQuote.h"
#include "platform/db/SqliteConnection.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace ocable::db;
using namespace ocable::criteria;

namespace {

const Value N; // Null

std::string visibleCodes(Recordset& rs, const char* field = "CODE") {
    std::string out;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        out += rs.Fields(field).toText() + " ";
    return out;
}

// The message of the DbError a filter is refused with.
std::string refusal(Recordset& rs, const std::string& criteria) {
    try {
        rs.setFilter(criteria);
    } catch (const DbError& e) {
        return e.what();
    }
    return "no error";
}

// ADO's "= null" and "<> null" are SQL's IS NULL and IS NOT NULL.
std::string toSqlWhere(std::string criteria) {
    for (auto [ado, sql] : {std::pair{"<> null", "IS NOT NULL"}, std::pair{"= null", "IS NULL"}})
        for (std::size_t p; (p = criteria.find(ado)) != std::string::npos;)
            criteria.replace(p, std::strlen(ado), sql);
    return criteria;
}

} // namespace

TEST(Filter, ComparisonsNullsAndTypes) {
    //  CODE  NUM   REAL    NAME
    //  a     5     116.4   O'Neil
    //  b     '5'   Null    ''
    //  c     '05'  5.0     Null
    //  d     Null  -2      中文 名
    Recordset rs(
        {"CODE", "NUM", "REAL", "NAME"},
        {{"a", 5, 116.4, "O'Neil"}, {"b", "5", N, ""}, {"c", "05", 5.0, N}, {"d", N, -2, "中文 名"}});
    const struct {
        const char* criteria;
        const char* codes;
    } cases[] = {
        {"NUM = '5'", "a b "},
        {"NUM <> '5'", "c "},
        {"NUM = 5", "a b c "},
        {"REAL = '116.4'", "a "},
        {"REAL = '5'", "c "},
        {"REAL = -2", "d "},
        {"NAME = NULL", "c "},
        {"NAME <> null", "a b d "},
        {"NAME = ''", "b "},
        {"NAME = 'O''Neil'", "a "},
        {"[Name] = '中文 名'", "d "},
        {"code = 'A'", ""},
        {"  name='中文 名'AND(code='d'or CODE = 'a')  ", "d "},
        {"CODE = 'a' OR CODE = 'b' AND NUM = '05'", "a "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.criteria);
        rs.setFilter(c.criteria);
        EXPECT_EQ(visibleCodes(rs), c.codes);
    }
}

// A rejected filter leaves the recordset unfiltered, also when another
// filter was in force before: a caller that passes over the error must see
// every row, not the rows of the previous class. (ParserFuzz.FilterCriteria
// checks the count and the empty Filter after any refusal.)
TEST(Filter, BadCriteriaNameTheProblemAndLeaveTheRecordsetUnfiltered) {
    Recordset rs({"CODE"}, {{"a"}, {"b"}});
    const struct {
        const char* criteria;
        const char* message;
    } cases[] = {
        {"STATIONTYP = 'a'", "unknown field \"STATIONTYP\" in filter \"STATIONTYP = 'a'\""},
        {"CODE = 'a' Or", "malformed filter \"CODE = 'a' Or\": expected a field name at offset 13"},
        {"CODE 'a'", "malformed filter \"CODE 'a'\": expected = or <> at offset 5"},
        {"CODE = a", "malformed filter \"CODE = a\": expected a value at offset 7"},
        {"CODE = 'a", "malformed filter \"CODE = 'a\": unterminated string at offset 9"},
        {"(CODE = 'a'", "malformed filter \"(CODE = 'a'\": expected ) at offset 11"},
        {"CODE = 'a' Andy CODE = 'b'",
         "malformed filter \"CODE = 'a' Andy CODE = 'b'\": unexpected text at offset 11"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.criteria);
        rs.setFilter("CODE = 'b'");
        ASSERT_EQ(visibleCodes(rs), "b ");
        EXPECT_EQ(refusal(rs, c.criteria), c.message);
        EXPECT_EQ(visibleCodes(rs), "a b ");
    }
    // Rejected on an unfiltered set: stays unfiltered, cursor on the first row.
    EXPECT_THROW(rs.setFilter("CODE ="), DbError);
    EXPECT_FALSE(rs.Bof());
    EXPECT_EQ(rs.Fields("CODE").toText(), "a");
}

// Parentheses nest as deep as any real criteria and a little more; beyond
// that they are refused at the offset where the limit is passed, rather than
// running the stack out. ParserFuzz.FilterCriteria feeds the giant criteria
// (a megabyte of comparisons, unbalanced and deep parentheses).
TEST(Filter, NestingIsRefusedOnlyBeyondTwoHundredLevels) {
    Recordset rs({"CODE"}, {{"a"}, {"b"}});
    auto nested = [](int depth) { return std::string(depth, '(') + "CODE = 'a'" + std::string(depth, ')'); };
    rs.setFilter(nested(150));
    EXPECT_EQ(visibleCodes(rs), "a ");
    const std::string refused = refusal(rs, nested(100000));
    EXPECT_NE(refused.find("parentheses nested too deep at offset 201"), std::string::npos) << refused;
}

// The same criteria in memory and as SQL WHERE over the same rows: every
// combination of Null, empty and coded station types, and cable columns.
// This is what holds the drawing's station classes and layer criteria.
TEST(Filter, AgreesWithSqlWhereOnTheSameRows) {
    const Value types[] = {N, "", "ZY010301", "ZY010312", "ZY010302"};
    const Value resourceTypes[] = {N, "ZY502401", "ZY502402", "ZY502406", "ZY502403"};
    const Value levels[] = {N, "ZY132001", "ZY132002", "ZY132003", "ZY110502", "ZY110504", "ZY999999"};
    const Value layModes[] = {N, "", "ZY130301", "ZY511299"};
    SqliteConnection db(":memory:", SqliteConnection::OpenMode::Create);
    db.execute("CREATE TABLE T (ID INTEGER, X_STATIONTYPE TEXT, STATIONTYPE_II TEXT, STATIONTYPE_III TEXT, "
               "STATIONTYPE TEXT, RESLEVEL TEXT, LAYMODE TEXT, NUM INTEGER)");
    std::vector<Recordset::Row> rows;
    for (int i = 0; i < 625; ++i) {
        rows.push_back({i, types[i % 5], types[i / 5 % 5], types[i / 25 % 5], resourceTypes[i / 125],
                        levels[i % 7], layModes[i / 7 % 4], i % 3 ? Value(i % 11) : N});
        std::string sql = "INSERT INTO T VALUES (" + std::to_string(i);
        for (std::size_t c = 1; c < rows.back().size(); ++c) {
            const Value& v = rows.back()[c];
            sql += "," + (v.isNull() ? "NULL" : v.isInteger() ? v.toText() : sqlQuote(v.toText()));
        }
        db.execute(sql + ")");
    }
    Recordset rs({"ID", "X_STATIONTYPE", "STATIONTYPE_II", "STATIONTYPE_III", "STATIONTYPE", "RESLEVEL",
                  "LAYMODE", "NUM"},
                 rows);
    const std::string criteria[] = {kTerminalStations,
                                    kRelayStations,
                                    kOtherStations,
                                    backboneCables("ZY130301"),
                                    ordinaryCables("ZY511299"),
                                    backboneCables(""),
                                    "NUM = '5' or NUM = null",
                                    "(NUM <> '7' and LAYMODE <> null) or RESLEVEL = ''"};
    for (const auto& c : criteria) {
        SCOPED_TRACE(c);
        rs.setFilter(c);
        EXPECT_GT(rs.RecordCount(), 0);
        EXPECT_EQ(visibleCodes(rs, "ID"),
                  visibleCodes(*db.query("SELECT ID FROM T WHERE " + toSqlWhere(c) + " ORDER BY ID"), "ID"));
    }
}
