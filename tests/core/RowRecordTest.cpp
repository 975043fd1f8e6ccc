// Records that read their fields from a row of a loaded recordset only when
// first asked must answer exactly as records filled field by field.
#include "core/clsResTree.h"
#include "core/clsViewRecord.h"
#include "platform/db/DbError.h"

#include <gtest/gtest.h>

using namespace ocable;
using db::Recordset;
using db::Value;

namespace {

// Columns as a join can return them: "name" repeats "NAME" in another case,
// and the values cover text with blanks, Null, reals and integers.
//
//   CODE   NAME     LNG    name   N
//   " S1"  甲站     116.5  dup    1
//   "S2"   Null     Null   dup2   Null
//   "S3"   丙站     39     ""     -7
std::shared_ptr<Recordset> rows() {
    return std::make_shared<Recordset>(
        std::vector<std::string>{"CODE", "NAME", "LNG", "name", "N"},
        std::vector<Recordset::Row>{{" S1", "甲站", 116.5, "dup", std::int64_t{1}},
                                    {"S2", Value(), Value(), "dup2", Value()},
                                    {"S3", "丙站", std::int64_t{39}, "", std::int64_t{-7}}});
}

// The same row filled the way callers fill records by hand.
std::shared_ptr<clsViewRecord> filledByHand(const Recordset& rs, std::size_t row) {
    auto r = std::make_shared<clsViewRecord>();
    for (int c = 0; c < rs.FieldCount(); ++c)
        r->Add(std::make_shared<clsViewField>(clsViewField{"", rs.FieldName(c), rs.valueAt(row, c).toText()}),
               rs.FieldName(c));
    return r;
}

// Field by field; the counts are compared by the caller before any field is made.
void expectSameFields(clsViewRecord& lazy, clsViewRecord& eager) {
    for (std::int32_t i = 1; i <= eager.count(); ++i) {
        SCOPED_TRACE(i);
        const auto a = lazy.Item(i), b = eager.Item(i);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->FieldName, b->FieldName);
        EXPECT_EQ(a->Value, b->Value);
        EXPECT_EQ(a->CHFieldName, "");
        EXPECT_EQ(lazy.Item(a->FieldName), a); // the key finds the same field
    }
    EXPECT_EQ(lazy.Item(std::int32_t{static_cast<std::int32_t>(eager.count()) + 1}), nullptr);
}

} // namespace

TEST(RowRecordTest, AnswersAsARecordFilledByHand) {
    auto rs = rows();
    const auto source = std::make_shared<const clsViewRecord::RowSource>(rs);
    EXPECT_EQ(source->fieldCount(), 4); // "name" is taken by "NAME"
    for (std::size_t row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        clsViewRecord lazy(source, row);
        auto eager = filledByHand(*rs, row);
        EXPECT_EQ(lazy.count(), 4); // before any field is made
        expectSameFields(lazy, *eager);
    }
    clsViewRecord second(source, 1);
    EXPECT_EQ(second.Item(std::string("NAME"))->Value, "");
    EXPECT_EQ(second.Item(std::string("lng"))->Value, "");
    clsViewRecord first(source, 0);
    EXPECT_EQ(first.Item(std::string("CODE"))->Value, " S1");
    EXPECT_EQ(first.Item(std::string("LNG"))->Value, "116.5");
    EXPECT_EQ(first.Item(1.0), nullptr);
}

TEST(RowRecordTest, FieldsAreMadeOnceAndThenBehaveAsAnyRecord) {
    const auto source = std::make_shared<const clsViewRecord::RowSource>(rows());
    clsViewRecord r(source, 2);
    const auto name = r.Item(std::string("NAME"));
    name->CHFieldName = "局站名称"; // as captioning does
    EXPECT_EQ(r.Item(std::int16_t{2}), name);
    EXPECT_EQ(r.Item(std::string("name"))->CHFieldName, "局站名称");
    EXPECT_EQ(r.Item(ObjectArg{&r}), nullptr); // only text and small integers find a field

    // Add appends after the row's fields, refuses a column's key in any case
    // (the first field stays) and takes any number of fields without a key.
    EXPECT_EQ(r.Add(std::make_shared<clsViewField>(clsViewField{"", "code", "x"}), "code"), nullptr);
    EXPECT_EQ(r.Item(std::string("CODE"))->Value, "S3");
    EXPECT_NE(r.Add(std::make_shared<clsViewField>(clsViewField{"", "EXTRA", "x"}), "EXTRA"), nullptr);
    EXPECT_NE(r.Add(std::make_shared<clsViewField>(), ""), nullptr);
    EXPECT_NE(r.Add(std::make_shared<clsViewField>(), ""), nullptr);
    EXPECT_EQ(r.count(), 7);
    EXPECT_EQ(r.Item(std::int32_t{5})->FieldName, "EXTRA");
    r.Remove(std::string("CODE"));
    EXPECT_EQ(r.count(), 6);
    EXPECT_EQ(r.Item(std::int32_t{1}), name);

    // Removing first, before any field was read, removes from the row's fields.
    clsViewRecord s(source, 0);
    s.Remove(std::int32_t{1});
    EXPECT_EQ(s.count(), 3);
    EXPECT_EQ(s.Item(std::int32_t{1})->FieldName, "NAME");
    EXPECT_EQ(s.fields().Count(), 3u);
}

TEST(RowRecordTest, KeepsItsRowWhateverTheRecordsetDoesNext) {
    auto rs = rows();
    rs->setFilter("CODE = 'S3'");
    ASSERT_EQ(rs->rowIndex(), 2u); // among the rows loaded, not the rows shown
    clsViewRecord r(std::make_shared<const clsViewRecord::RowSource>(rs), rs->rowIndex());
    rs->setFilter("CODE = 'S2'");
    rs.reset(); // the record keeps the rows alive
    EXPECT_EQ(r.Item(std::string("N"))->Value, "-7");

    // A recordset closed under an unread record gives no fields and no error.
    auto closing = rows();
    clsViewRecord orphan(std::make_shared<const clsViewRecord::RowSource>(closing), 0);
    closing->Close();
    EXPECT_EQ(orphan.Item(std::string("CODE")), nullptr);
    EXPECT_EQ(orphan.count(), 0);
}

TEST(RowRecordTest, RecordsetRowAccessRefusesWhatIsNotThere) {
    auto rs = rows();
    rs->setFilter("CODE = 'none'");
    EXPECT_THROW(rs->rowIndex(), db::DbError); // at EOF
    EXPECT_EQ(rs->loadedRowCount(), 3u);
    EXPECT_THROW(rs->valueAt(3, 0), db::DbError);
    EXPECT_THROW(rs->valueAt(0, 5), db::DbError);
    EXPECT_THROW(rs->valueAt(0, -1), db::DbError);
    EXPECT_EQ(rs->valueAt(2, 4), Value(std::int64_t{-7}));
}
