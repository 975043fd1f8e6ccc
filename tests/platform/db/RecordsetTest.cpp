// The in-memory recordset: cells, cursor, fields and its ADO-style filter,
// the filter also against SQL WHERE over the same rows.
#include "platform/db/Recordset.h"
#include "map/ClassCriteria.h"
#include "platform/db/DbError.h"
#include "platform/db/SqlQuote.h"
#include "platform/db/SqliteConnection.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>

using namespace ocable::db;
using namespace ocable::criteria;

namespace {

// CODE  Name
// A1    甲
// B2    Null
// C3    丙
Recordset threeRows() {
    return Recordset({"CODE", "Name"}, {{"A1", "甲"}, {"B2", Value()}, {"C3", "丙"}});
}

const Value N; // Null

// The field of every row from the current one on, each followed by a blank.
std::string codesFromHere(Recordset& rs, const char* field = "code") {
    std::string out;
    for (; !rs.Eof(); rs.MoveNext())
        out += rs.Fields(field).toText() + " ";
    return out;
}

const auto errorOf = [](auto&& call) { return ocable::testsupport::errorOf<DbError>(call); };

// ADO's "= null" and "<> null" are SQL's IS NULL and IS NOT NULL.
std::string toSqlWhere(std::string criteria) {
    for (auto [ado, sql] : {std::pair{"<> null", "IS NOT NULL"}, std::pair{"= null", "IS NULL"}})
        for (std::size_t p; (p = criteria.find(ado)) != std::string::npos;)
            criteria.replace(p, std::strlen(ado), sql);
    return criteria;
}

} // namespace

// Reals print as NumberFormat's table shows.
TEST(Value, TextAndNumber) {
    EXPECT_EQ(Value().toText() + "|" + Value(std::int64_t{-12}).toText(), "|-12");
    EXPECT_EQ(Value(" 116.40 ").toDouble(), 116.4);
    EXPECT_EQ(Value("116.4E").toDouble(), std::nullopt);
}

// Integers are packed into the fewest bytes; the edges of each width must
// come back with their sign: 2^(8w-1) - 1 and -2^(8w-1), and one beyond each.
TEST(Recordset, CellsComeBackAsStored) {
    using Limits = std::numeric_limits<std::int64_t>;
    std::vector<Value> values = {Value(),
                                 0,
                                 -0.0,
                                 120.123456789,
                                 "",
                                 std::string(70, 'x'),
                                 "局站'名",
                                 Value(Limits::min()),
                                 Value(Limits::max())};
    for (int bits = 7; bits < 63; bits += 8)
        for (const std::int64_t v : {(std::int64_t{1} << bits) - 1, std::int64_t{1} << bits})
            values.insert(values.end(), {Value(v), Value(-v), Value(-v - 1)});
    std::vector<Recordset::Row> rows;
    for (const auto& v : values)
        rows.push_back({v, Value("after")});
    Recordset rs({"V", "NEXT"}, rows);
    for (const auto& expected : values) {
        SCOPED_TRACE(expected.toText());
        EXPECT_EQ(rs.Fields(0), expected);
        EXPECT_EQ(rs.Fields("next").toText(), "after");
        rs.MoveNext();
    }
    EXPECT_THROW(Recordset({"A", "B"}, {{"only one"}}), DbError);
}

TEST(Recordset, CursorAndFields) {
    Recordset rs = threeRows();
    const Value& name = rs.Fields("nAmE");
    EXPECT_EQ(name.toText(), "甲");
    EXPECT_EQ(codesFromHere(rs), "A1 B2 C3 ");
    EXPECT_EQ(errorOf([&] { rs.MoveNext(); }), "MoveNext: the recordset is already at its end");
    rs.MovePrevious();
    EXPECT_EQ(rs.Fields(0).toText(), "C3");
    rs.MoveFirst();
    rs.MovePrevious();
    EXPECT_TRUE(rs.Bof() && !rs.Eof());
    EXPECT_THROW(rs.MovePrevious(), DbError);
    rs.MoveNext();
    rs.MoveNext();
    // Like an ADO Field, the held reference shows the new row once the
    // column is read again after the move.
    EXPECT_TRUE(rs.Fields(1).isNull());
    EXPECT_TRUE(name.isNull());

    EXPECT_EQ(rs.FieldIndex("missing"), -1);
    EXPECT_EQ(errorOf([&] { rs.Fields("STATIONCODE"); }), "unknown field \"STATIONCODE\"");
    EXPECT_EQ(errorOf([&] { rs.Fields(2); }), "field index 2 out of range (2 fields)");
}

TEST(Recordset, EmptyFilteredAndClosedSetsAreAtBothEnds) {
    Recordset none({"CODE"}, std::vector<Recordset::Row>{});
    Recordset filtered = threeRows();
    filtered.setFilter("CODE = 'Z9'");
    Recordset closed = threeRows();
    closed.Close();
    for (Recordset* rs : {&none, &filtered, &closed}) {
        EXPECT_EQ(rs->RecordCount(), 0);
        rs->MoveFirst();
        rs->MoveLast();
        EXPECT_TRUE(rs->Eof() && rs->Bof());
        EXPECT_THROW(rs->MoveNext(), DbError);
        EXPECT_THROW(rs->MovePrevious(), DbError);
    }
    EXPECT_EQ(errorOf([&] { filtered.Fields("CODE"); }),
              "no current record (BOF or EOF) reading field \"CODE\"");
    EXPECT_EQ(closed.State(), Recordset::ObjectState::Closed);
    EXPECT_EQ(closed.FieldCount(), 0);

    filtered.setFilter("");
    EXPECT_EQ(codesFromHere(filtered), "A1 B2 C3 ");
    filtered.MoveLast();
    filtered.setFilter("CODE <> 'A1'");
    EXPECT_EQ(codesFromHere(filtered), "B2 C3 ") << "a new filter starts at its first row";
    filtered.setFilter("CODE = 'A1' or CODE = 'C3'");
    EXPECT_EQ(codesFromHere(filtered), "A1 C3 ") << "a filter replaces the previous one";
}

// The index answers what the filter "column = 'text'" would show; the filter
// itself is the second answer it is checked against.
TEST(Recordset, RowsWithTextAreTheRowsTheEqualityFilterShows) {
    Recordset rs({"PROVINCE", "N"}, {{"北京", 1},
                                     {"河北", 2},
                                     {Value(), 3},
                                     {"北京", 4},
                                     {"", 5},
                                     {"北京 ", 6},
                                     {"it's", 7},
                                     {"河北", 8}});
    for (const char* text : {"北京", "河北", "", "北京 ", "it's", "上海"}) {
        SCOPED_TRACE(text);
        const std::string criteria = "PROVINCE = " + sqlQuote(text);
        rs.setFilter(criteria);
        const std::string filtered = codesFromHere(rs, "N");
        rs.setFilter("");
        rs.MoveLast();
        rs.setFilteredRows(criteria, rs.rowsWithText("province", text).value());
        EXPECT_EQ(codesFromHere(rs, "N"), filtered); // from the first row, like after setFilter
    }
    // Numbers compare by value in the filter, so the text index stays out of it.
    EXPECT_FALSE(rs.rowsWithText("N", "1").has_value());
    EXPECT_FALSE(rs.rowsWithText("无此列", "北京").has_value());
}

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
        {"NAME = 'O''Neil'", "a "},
        {"[Name] = '中文 名'", "d "},
        {"code = 'A'", ""},
        {"  name='中文 名'AND(code='d'or CODE = 'a')  ", "d "},
        {"CODE = 'a' OR CODE = 'b' AND NUM = '05'", "a "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.criteria);
        rs.setFilter(c.criteria);
        EXPECT_EQ(codesFromHere(rs), c.codes);
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
        ASSERT_EQ(codesFromHere(rs), "b ");
        EXPECT_EQ(errorOf([&] { rs.setFilter(c.criteria); }), c.message);
        EXPECT_EQ(codesFromHere(rs), "a b ");
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
    EXPECT_EQ(codesFromHere(rs), "a ");
    const std::string refused = errorOf([&] { rs.setFilter(nested(100000)); });
    EXPECT_NE(refused.find("parentheses nested too deep at offset 201"), std::string::npos) << refused;
}

// The same criteria in memory and as SQL WHERE over the same rows: every
// combination of Null, empty and coded station types, cable levels and lay
// modes, made by SQLite itself. This is what holds the drawing's station
// classes and layer criteria.
TEST(Filter, AgreesWithSqlWhereOnTheSameRows) {
    SqliteConnection db(":memory:", SqliteConnection::OpenMode::Create);
    db.execute("CREATE TABLE T (ID INTEGER, X_STATIONTYPE TEXT, STATIONTYPE_II TEXT, STATIONTYPE_III TEXT, "
               "STATIONTYPE TEXT, RESLEVEL TEXT, LAYMODE TEXT, NUM INTEGER)");
    db.execute("INSERT INTO T WITH st(v) AS (VALUES (NULL), (''), ('ZY010301'), ('ZY010312'), ('ZY010302')), "
               "rt(v) AS (VALUES (NULL), ('ZY502401'), ('ZY502402'), ('ZY502406'), ('ZY502403')), "
               "lv(v) AS (VALUES (NULL), ('ZY132001'), ('ZY132002'), ('ZY132003'), ('ZY110502'), "
               "('ZY110504'), ('ZY999999')), lm(v) AS (VALUES (NULL), (''), ('ZY130301'), ('ZY511299')) "
               "SELECT row_number() OVER (), a.v, b.v, c.v, r.v, l.v, m.v, "
               "CASE WHEN row_number() OVER () % 3 THEN row_number() OVER () % 11 END "
               "FROM st a, st b, st c, rt r, lv l, lm m");
    // The rows as the drawing gets them: read from the database.
    const auto rs = db.query("SELECT * FROM T ORDER BY ID");
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
        rs->setFilter(c);
        EXPECT_GT(rs->RecordCount(), 0);
        EXPECT_EQ(codesFromHere(*rs, "ID"),
                  codesFromHere(*db.query("SELECT ID FROM T WHERE " + toSqlWhere(c) + " ORDER BY ID"), "ID"));
    }
}
