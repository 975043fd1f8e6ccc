#pragma once

#include "platform/db/Value.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace ocable::db {

static_assert(std::endian::native == std::endian::little, "cells are stored little-endian");

// The cells of a recordset, packed column by column. Each column keeps one
// byte buffer with the cells' payloads back to back and one 32-bit entry per
// row holding the cell's kind and where its payload starts. A station table
// then takes little more memory than its text, where a Value per cell
// (40 bytes before any text) would take several times as much, and loading
// makes no allocation per cell.
class CellStore {
public:
    enum class Kind : std::uint8_t { Null = 0, Integer = 1, Real = 2, Text = 3 };

    // A decoded cell; text points into the store.
    struct Cell {
        Kind kind = Kind::Null;
        std::int64_t integer = 0;
        double real = 0;
        std::string_view text;
    };

    CellStore() = default;
    explicit CellStore(std::size_t columnCount) : columns_(columnCount) {}

    std::size_t columnCount() const { return columns_.size(); }
    std::size_t rowCount() const { return rows_; }

    // A row is added by giving each column one cell, in any order, then
    // calling finishRow(). Throws DbError when a column would exceed 1 GiB.
    void appendNull(std::size_t column) { columns_[column].begin(Kind::Null); }
    void appendInteger(std::size_t column, std::int64_t v);
    void appendReal(std::size_t column, double v);
    void appendText(std::size_t column, std::string_view v);
    void append(std::size_t column, const Value& v);
    void finishRow() { ++rows_; }

    // Drops the spare capacity left by growing; call once loading is done.
    void shrinkToFit();
    // Bytes the store holds on the heap.
    std::size_t footprintBytes() const;

    Kind kind(std::size_t row, std::size_t column) const {
        return static_cast<Kind>(columns_[column].index[row] >> kOffsetBits);
    }

    Cell cell(std::size_t row, std::size_t column) const {
        const Column& c = columns_[column];
        const std::size_t end = row + 1 < c.index.size() ? (c.index[row + 1] & kOffsetMask) : c.bytes.size();
        return decode(c.index[row], end, c.bytes.data());
    }

    // Calls f(row, cell) for each row of one column in turn: the filter's
    // way through a column, cheaper than a cell() per row.
    template <class F> void forEachCell(std::size_t column, F&& f) const {
        const Column& c = columns_[column];
        const std::size_t rows = c.index.size();
        for (std::size_t row = 0; row < rows; ++row) {
            const std::size_t end = row + 1 < rows ? (c.index[row + 1] & kOffsetMask) : c.bytes.size();
            f(row, decode(c.index[row], end, c.bytes.data()));
        }
    }

    Value value(std::size_t row, std::size_t column) const;

private:
    static constexpr unsigned kOffsetBits = 30;
    static constexpr std::uint32_t kOffsetMask = (std::uint32_t{1} << kOffsetBits) - 1;

    static Cell decode(std::uint32_t entry, std::size_t end, const char* bytes) {
        const std::size_t begin = entry & kOffsetMask;
        const char* p = bytes + begin;
        Cell out;
        out.kind = static_cast<Kind>(entry >> kOffsetBits);
        switch (out.kind) {
        case Kind::Null:
            break;
        case Kind::Integer: {
            // Little-endian, sign-extended from its stored width.
            std::uint64_t u = (static_cast<unsigned char>(p[end - begin - 1]) & 0x80) ? ~std::uint64_t{0} : 0;
            std::memcpy(&u, p, end - begin);
            out.integer = static_cast<std::int64_t>(u);
            break;
        }
        case Kind::Real:
            std::memcpy(&out.real, p, sizeof out.real);
            break;
        case Kind::Text:
            out.text = std::string_view(p, end - begin);
            break;
        }
        return out;
    }

    struct Column {
        std::vector<std::uint32_t> index;
        std::string bytes;
        // Starts a cell at the end of the buffer, to be followed by its payload.
        void begin(Kind kind);
    };

    std::vector<Column> columns_;
    std::size_t rows_ = 0;
};

} // namespace ocable::db
