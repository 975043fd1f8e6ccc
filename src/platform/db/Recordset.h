#pragma once

#include "platform/db/CellStore.h"
#include "platform/db/Value.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ocable::db {

// An ADO-like, read-only recordset held entirely in memory: the rows are read
// once when it is made, and Filter narrows the visible rows without querying
// again. Names follow ADO's members; EOF/BOF are spelled Eof/Bof because EOF
// is a macro of the C library.
//
// Like an ADO Field, the Value that Fields returns stands for its column in
// the current row: the reference stays valid while the recordset lives, and
// the next Fields call for that column after a move shows the new row. Copy
// the Value to keep it. A recordset is used from one thread at a time.
class Recordset {
public:
    enum class ObjectState { Closed = 0, Open = 1 };
    using Row = std::vector<Value>;

    Recordset() = default; // closed, no columns
    // Throws DbError when a row's length differs from the column count.
    Recordset(std::vector<std::string> columnNames, std::vector<Row> rows);
    // The rows as loaded from the database (one cell per column and row).
    Recordset(std::vector<std::string> columnNames, CellStore cells);

    // A closed recordset reads as an empty one without columns.
    ObjectState State() const;
    void Close();

    // Rows visible under the current filter.
    long RecordCount() const;
    bool Eof() const;
    bool Bof() const;
    // On an empty set MoveFirst and MoveLast leave it at Eof and Bof (the
    // program moves to the first row of filtered sets that may be empty).
    // MoveNext at Eof and MovePrevious at Bof throw DbError, as in ADO.
    void MoveFirst();
    void MoveNext();
    void MoveLast();
    void MovePrevious();

    // Columns of the recordset, in query order.
    int FieldCount() const;
    const std::string& FieldName(int index) const;
    // Position of a column by case-insensitive name, or -1. With two columns
    // of one name (a join of two tables), the first.
    int FieldIndex(std::string_view name) const;

    // The current row's value, by 0-based position or case-insensitive name.
    // Throws DbError when there is no current row or no such field (naming it).
    const Value& Fields(int index) const;
    const Value& Fields(std::string_view name) const;
    const Value& Fields(const char* name) const { return Fields(std::string_view(name)); }
    const Value& Fields(const std::string& name) const { return Fields(std::string_view(name)); }

    // Where the current row lies among all the rows loaded, whatever the
    // filter shows. With valueAt a caller can note a row and read it later
    // without copying it. Throws DbError when there is no current row.
    std::size_t rowIndex() const;
    // Rows loaded, whatever the filter shows.
    std::size_t loadedRowCount() const { return cells_.rowCount(); }
    // A cell of a loaded row by its rowIndex, filter and cursor aside.
    // Throws DbError for a row or column out of range (a closed recordset
    // has none).
    Value valueAt(std::size_t row, int column) const;

    // ADO filter criteria: comparisons "Field = 'text'", "Field <> 'text'",
    // "Field = null", joined by And/Or in any letter case, with parentheses
    // (FilterCriteria.h has the details). An empty text shows every row
    // again. The cursor moves to the first visible row. A malformed criteria
    // or unknown field throws DbError naming it and leaves the recordset
    // unfiltered (Filter() empty, every row visible), whatever filter was in
    // force before.
    void setFilter(std::string_view criteria);
    const std::string& Filter() const { return filter_; }

    // The rows (by rowIndex, increasing) whose value in the column is
    // exactly text: the rows the criteria "column = 'text'" shows. A hash
    // index of the column, made on first use, answers, so a caller that
    // filters by each of many values reads the column once instead of once
    // per value. Nothing when the column is unknown or holds numbers (the
    // filter compares those by value, not as text).
    std::optional<std::vector<std::uint32_t>> rowsWithText(std::string_view column,
                                                           std::string_view text) const;
    // Shows exactly rows (rowIndex values, increasing) as the filter named
    // criteria would; the caller vouches that they are the criteria's rows.
    // The cursor moves to the first of them.
    void setFilteredRows(std::string_view criteria, std::vector<std::uint32_t> rows);

    // Bytes held on the heap by the rows, the names and the filter's view.
    std::size_t footprintBytes() const;

private:
    std::size_t currentRow(std::string_view reading) const;
    const Value& cachedValue(std::size_t row, std::size_t column) const;
    void showAllRows();

    std::vector<std::string> columns_;
    CellStore cells_;
    std::vector<std::uint32_t> visible_; // indexes into the rows, in row order
    std::ptrdiff_t cursor_ = 0;          // position in visible_; -1 = BOF, size = EOF
    std::string filter_;
    ObjectState state_ = ObjectState::Closed;

    // rowsWithText's index of each column asked about; empty for a column
    // holding numbers.
    struct TextIndex {
        bool usable = true;
        std::unordered_map<std::string, std::vector<std::uint32_t>> rows;
    };
    mutable std::unordered_map<std::size_t, TextIndex> textIndexes_;

    // Decoded values of the current row, one per column, filled on demand.
    mutable std::vector<Value> current_;
    mutable std::vector<std::size_t> currentFrom_; // row each entry was decoded from
};

} // namespace ocable::db
