#include "platform/db/Recordset.h"
#include "platform/db/DbError.h"
#include "platform/db/SqlQuote.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

using namespace ocable::db;

namespace {

// CODE  Name
// A1    甲
// B2    Null
// C3    丙
Recordset threeRows() {
    return Recordset({"CODE", "Name"}, {{"A1", "甲"}, {"B2", Value()}, {"C3", "丙"}});
}

std::string codesFromHere(Recordset& rs) {
    std::string out;
    for (; !rs.Eof(); rs.MoveNext())
        out += rs.Fields("code").toText();
    return out;
}

std::string errorOf(auto&& call) {
    try {
        call();
    } catch (const DbError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

// Reals print as NumberFormat's table shows.
TEST(Value, TextAndNumber) {
    EXPECT_EQ(Value().toText() + "|" + Value(std::int64_t{-12}).toText(), "|-12");
    EXPECT_EQ(Value(" 116.40 ").toDouble(), 116.4);
    EXPECT_EQ(Value("116.4E").toDouble(), std::nullopt);
}

// Integers are packed into the fewest bytes; the edges of each width must come back with their sign.
TEST(Recordset, CellsComeBackAsStored) {
    using Limits = std::numeric_limits<std::int64_t>;
    const Value values[] = {Value(),
                            0,
                            127,
                            128,
                            -128,
                            -129,
                            Value(std::int64_t{1} << 40),
                            Value(-(std::int64_t{1} << 55)),
                            Value(Limits::min()),
                            Value(Limits::max()),
                            -0.0,
                            120.123456789,
                            "",
                            std::string(70, 'x'),
                            "局站'名"};
    std::vector<Recordset::Row> rows;
    for (const auto& v : values)
        rows.push_back({v, Value("after")});
    Recordset rs({"V", "NEXT"}, rows);
    ASSERT_EQ(rs.RecordCount(), static_cast<long>(std::size(values)));
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
    EXPECT_FALSE(rs.Bof() || rs.Eof());
    const Value& name = rs.Fields("nAmE");
    EXPECT_EQ(name.toText(), "甲");
    EXPECT_EQ(codesFromHere(rs), "A1B2C3");
    EXPECT_EQ(errorOf([&] { rs.MoveNext(); }), "MoveNext: the recordset is already at its end");
    rs.MovePrevious();
    EXPECT_EQ(rs.Fields(0).toText(), "C3");
    rs.MoveFirst();
    rs.MovePrevious();
    EXPECT_TRUE(rs.Bof() && !rs.Eof());
    EXPECT_THROW(rs.MovePrevious(), DbError);
    rs.MoveNext();
    rs.MoveNext();
    EXPECT_TRUE(rs.Fields(1).isNull());
    EXPECT_TRUE(name.isNull()) << "the field shows the current row, as an ADO Field does";

    EXPECT_EQ(rs.FieldIndex("NAME"), 1);
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
    EXPECT_EQ(codesFromHere(filtered), "A1B2C3");
    filtered.MoveLast();
    filtered.setFilter("CODE <> 'A1'");
    EXPECT_EQ(codesFromHere(filtered), "B2C3") << "a new filter starts at its first row";
    filtered.setFilter("CODE = 'A1' or CODE = 'C3'");
    EXPECT_EQ(codesFromHere(filtered), "A1C3") << "a filter replaces the previous one";
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
        const auto rows = rs.rowsWithText("province", text);
        ASSERT_TRUE(rows.has_value());
        const std::string criteria = "PROVINCE = " + sqlQuote(text);
        rs.setFilter(criteria);
        std::vector<std::uint32_t> expected;
        for (; !rs.Eof(); rs.MoveNext())
            expected.push_back(static_cast<std::uint32_t>(rs.rowIndex()));
        EXPECT_EQ(*rows, expected);

        rs.setFilter("");
        rs.MoveLast();
        rs.setFilteredRows(criteria, *rows);
        EXPECT_EQ(rs.RecordCount(), static_cast<long>(expected.size()));
        EXPECT_EQ(rs.Filter(), criteria);
        EXPECT_EQ(rs.Bof(), expected.empty()); // at the first row, like after setFilter
    }
    // Numbers compare by value in the filter, so the text index stays out of it.
    EXPECT_FALSE(rs.rowsWithText("N", "1").has_value());
    EXPECT_FALSE(rs.rowsWithText("无此列", "北京").has_value());
}
