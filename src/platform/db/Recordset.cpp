#include "platform/db/Recordset.h"

#include "platform/db/DbError.h"
#include "platform/db/FilterCriteria.h"

#include <limits>
#include <numeric>
#include <optional>

namespace ocable::db {

namespace {

constexpr std::size_t kNotDecoded = std::numeric_limits<std::size_t>::max();

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

CellStore toCells(std::size_t columnCount, const std::vector<Recordset::Row>& rows) {
    CellStore cells(columnCount);
    for (const auto& row : rows) {
        if (row.size() != columnCount)
            throw DbError("a recordset row has " + std::to_string(row.size()) + " values for " +
                          std::to_string(columnCount) + " columns");
        for (std::size_t c = 0; c < columnCount; ++c)
            cells.append(c, row[c]);
        cells.finishRow();
    }
    cells.shrinkToFit();
    return cells;
}

} // namespace

Recordset::Recordset(std::vector<std::string> columnNames, std::vector<Row> rows)
    : Recordset(columnNames, toCells(columnNames.size(), rows)) {}

Recordset::Recordset(std::vector<std::string> columnNames, CellStore cells)
    : columns_(std::move(columnNames)), cells_(std::move(cells)), state_(ObjectState::Open),
      current_(columns_.size()), currentFrom_(columns_.size(), kNotDecoded) {
    if (cells_.columnCount() != columns_.size())
        throw DbError("a recordset has " + std::to_string(columns_.size()) + " column names for " +
                      std::to_string(cells_.columnCount()) + " columns of cells");
    if (cells_.rowCount() > std::numeric_limits<std::uint32_t>::max())
        throw DbError("a recordset cannot hold more than 4294967295 rows");
    showAllRows();
}

Recordset::ObjectState Recordset::State() const {
    return state_;
}

void Recordset::Close() {
    *this = Recordset();
}

long Recordset::RecordCount() const {
    return static_cast<long>(visible_.size());
}

bool Recordset::Eof() const {
    return cursor_ >= static_cast<std::ptrdiff_t>(visible_.size());
}

bool Recordset::Bof() const {
    return visible_.empty() || cursor_ < 0;
}

void Recordset::MoveFirst() {
    cursor_ = 0;
}

void Recordset::MoveLast() {
    cursor_ = visible_.empty() ? 0 : static_cast<std::ptrdiff_t>(visible_.size()) - 1;
}

void Recordset::MoveNext() {
    if (Eof()) throw DbError("MoveNext: the recordset is already at its end");
    ++cursor_;
}

void Recordset::MovePrevious() {
    if (Bof()) throw DbError("MovePrevious: the recordset is already at its start");
    --cursor_;
}

int Recordset::FieldCount() const {
    return static_cast<int>(columns_.size());
}

const std::string& Recordset::FieldName(int index) const {
    if (index < 0 || index >= FieldCount())
        throw DbError("field index " + std::to_string(index) + " out of range (" +
                      std::to_string(FieldCount()) + " fields)");
    return columns_[static_cast<std::size_t>(index)];
}

int Recordset::FieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (sameName(columns_[i], name)) return static_cast<int>(i);
    return -1;
}

std::size_t Recordset::currentRow(std::string_view reading) const {
    if (Bof() || Eof())
        throw DbError("no current record (BOF or EOF) reading field \"" + std::string(reading) + "\"");
    return visible_[static_cast<std::size_t>(cursor_)];
}

const Value& Recordset::cachedValue(std::size_t row, std::size_t column) const {
    if (currentFrom_[column] != row) {
        current_[column] = cells_.value(row, column);
        currentFrom_[column] = row;
    }
    return current_[column];
}

const Value& Recordset::Fields(int index) const {
    const std::string& name = FieldName(index);
    return cachedValue(currentRow(name), static_cast<std::size_t>(index));
}

const Value& Recordset::Fields(std::string_view name) const {
    const int index = FieldIndex(name);
    if (index < 0) throw DbError("unknown field \"" + std::string(name) + "\"");
    return cachedValue(currentRow(name), static_cast<std::size_t>(index));
}

std::size_t Recordset::rowIndex() const {
    if (Bof() || Eof()) throw DbError("no current record (BOF or EOF) asking for the row index");
    return visible_[static_cast<std::size_t>(cursor_)];
}

Value Recordset::valueAt(std::size_t row, int column) const {
    if (row >= cells_.rowCount())
        throw DbError("row " + std::to_string(row) + " out of range (" + std::to_string(cells_.rowCount()) +
                      " rows loaded)");
    FieldName(column); // throws for a column out of range
    return cells_.value(row, static_cast<std::size_t>(column));
}

void Recordset::showAllRows() {
    visible_.resize(cells_.rowCount());
    std::iota(visible_.begin(), visible_.end(), std::uint32_t{0});
    cursor_ = 0;
}

void Recordset::setFilter(std::string_view criteria) {
    if (criteria.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        showAllRows();
        filter_.assign(criteria);
        return;
    }
    std::optional<FilterCriteria> compiled;
    try {
        compiled.emplace(criteria, columns_);
    } catch (...) {
        // A rejected filter leaves the recordset unfiltered, as ADO does,
        // not narrowed by whatever filter came before: a caller that passes
        // over the error then sees every row rather than another class's.
        showAllRows();
        filter_.clear();
        throw;
    }
    visible_ = compiled->select(cells_);
    cursor_ = 0;
    filter_.assign(criteria);
}

std::optional<std::vector<std::uint32_t>> Recordset::rowsWithText(std::string_view column,
                                                                  std::string_view text) const {
    const int index = FieldIndex(column);
    if (index < 0) return std::nullopt;
    auto [entry, added] = textIndexes_.try_emplace(static_cast<std::size_t>(index));
    TextIndex& found = entry->second;
    if (added) {
        cells_.forEachCell(
            static_cast<std::size_t>(index), [&](std::size_t row, const CellStore::Cell& cell) {
                if (cell.kind == CellStore::Kind::Text)
                    found.rows[std::string(cell.text)].push_back(static_cast<std::uint32_t>(row));
                else if (cell.kind != CellStore::Kind::Null)
                    found.usable = false;
            });
        if (!found.usable) found.rows.clear();
    }
    if (!found.usable) return std::nullopt;
    const auto it = found.rows.find(std::string(text));
    return it == found.rows.end() ? std::vector<std::uint32_t>() : it->second;
}

void Recordset::setFilteredRows(std::string_view criteria, std::vector<std::uint32_t> rows) {
    visible_ = std::move(rows);
    cursor_ = 0;
    filter_.assign(criteria);
}

std::size_t Recordset::footprintBytes() const {
    std::size_t total = cells_.footprintBytes() + visible_.capacity() * sizeof(std::uint32_t) +
                        columns_.capacity() * sizeof(std::string) + current_.capacity() * sizeof(Value) +
                        currentFrom_.capacity() * sizeof(std::size_t);
    for (const auto& name : columns_)
        if (name.capacity() > 15) total += name.capacity() + 1;
    return total;
}

} // namespace ocable::db
