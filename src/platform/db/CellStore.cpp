#include "platform/db/CellStore.h"

#include "platform/db/DbError.h"

#include <bit>

namespace ocable::db {

void CellStore::Column::begin(Kind kind) {
    if (bytes.size() > kOffsetMask) throw DbError("a recordset column holds more than 1 GiB of data");
    index.push_back(static_cast<std::uint32_t>(bytes.size()) |
                    (static_cast<std::uint32_t>(kind) << kOffsetBits));
}

void CellStore::appendInteger(std::size_t column, std::int64_t v) {
    Column& c = columns_[column];
    c.begin(Kind::Integer);
    // Keep the fewest low-order bytes from which sign extension gives v back:
    // the alarm counts and levels of the host's tables fit in one byte.
    std::size_t width = 1;
    while (width < 8) {
        const std::int64_t lo = -(std::int64_t{1} << (8 * width - 1));
        if (v >= lo && v < -lo) break;
        ++width;
    }
    const auto u = std::bit_cast<std::uint64_t>(v);
    for (std::size_t i = 0; i < width; ++i)
        c.bytes.push_back(static_cast<char>((u >> (8 * i)) & 0xff));
}

void CellStore::appendReal(std::size_t column, double v) {
    Column& c = columns_[column];
    c.begin(Kind::Real);
    char raw[sizeof v];
    std::memcpy(raw, &v, sizeof v);
    c.bytes.append(raw, sizeof raw);
}

void CellStore::appendText(std::size_t column, std::string_view v) {
    Column& c = columns_[column];
    c.begin(Kind::Text);
    c.bytes.append(v);
}

void CellStore::append(std::size_t column, const Value& v) {
    struct {
        CellStore& store;
        std::size_t column;
        void operator()(std::monostate) const { store.appendNull(column); }
        void operator()(std::int64_t x) const { store.appendInteger(column, x); }
        void operator()(double x) const { store.appendReal(column, x); }
        void operator()(const std::string& x) const { store.appendText(column, x); }
    } visitor{*this, column};
    v.visit(visitor);
}

void CellStore::shrinkToFit() {
    for (Column& c : columns_) {
        c.index.shrink_to_fit();
        c.bytes.shrink_to_fit();
    }
}

std::size_t CellStore::footprintBytes() const {
    std::size_t total = columns_.capacity() * sizeof(Column);
    for (const Column& c : columns_) {
        total += c.index.capacity() * sizeof(std::uint32_t);
        // A short string keeps its bytes inside the object.
        if (c.bytes.capacity() > 15) total += c.bytes.capacity() + 1;
    }
    return total;
}

Value CellStore::value(std::size_t row, std::size_t column) const {
    const Cell c = cell(row, column);
    switch (c.kind) {
    case Kind::Integer:
        return Value(c.integer);
    case Kind::Real:
        return Value(c.real);
    case Kind::Text:
        return Value(std::string(c.text));
    case Kind::Null:
        break;
    }
    return Value();
}

} // namespace ocable::db
