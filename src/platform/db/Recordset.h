#pragma once

#include "platform/db/Value.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ocable::db {

// An ADO-like, read-only recordset held entirely in memory: the rows are read
// once when it is made, and Filter narrows the visible rows without querying
// again. Names follow ADO's members; EOF/BOF are spelled Eof/Bof because EOF
// is a macro of the C library.
class Recordset {
public:
    enum class ObjectState { Closed = 0, Open = 1 };
    using Row = std::vector<Value>;

    Recordset() = default; // closed, no columns
    Recordset(std::vector<std::string> columnNames, std::vector<Row> rows);

    ObjectState State() const;
    void Close();

    // Rows visible under the current filter.
    long RecordCount() const;
    bool Eof() const;
    bool Bof() const;
    void MoveFirst();
    void MoveNext();
    void MoveLast();
    void MovePrevious();

    // Columns of the recordset, in query order.
    int FieldCount() const;
    const std::string& FieldName(int index) const;
    // Position of a column by case-insensitive name, or -1.
    int FieldIndex(std::string_view name) const;

    // The current row's value, by 0-based position or case-insensitive name.
    // Throws DbError when there is no current row or no such field (naming it).
    const Value& Fields(int index) const;
    const Value& Fields(std::string_view name) const;
    const Value& Fields(const char* name) const { return Fields(std::string_view(name)); }
    const Value& Fields(const std::string& name) const { return Fields(std::string_view(name)); }

    // ADO filter criteria: comparisons "Field = 'text'", "Field <> 'text'",
    // "Field = null", joined by And/Or in any letter case, with parentheses.
    // An empty text shows every row again. The cursor moves to the first
    // visible row. A malformed criteria or unknown field throws DbError naming
    // it and leaves the previous filter in force.
    void setFilter(std::string_view criteria);
    const std::string& Filter() const { return filter_; }

private:
    const Row& currentRow() const;

    std::vector<std::string> columns_;
    std::vector<Row> rows_;
    std::vector<std::size_t> visible_; // indexes into rows_ in row order
    std::ptrdiff_t cursor_ = 0;        // position in visible_; -1 = BOF, size = EOF
    std::string filter_;
    ObjectState state_ = ObjectState::Closed;
};

} // namespace ocable::db
