#include "platform/gis/ColumnIndex.h"

#include <functional>

namespace ocable::gis {

namespace {
std::uint64_t hashOf(std::string_view v) {
    return std::hash<std::string_view>{}(v);
}
} // namespace

ColumnIndex::ColumnIndex(const std::vector<std::string>& column) : column_(column) {
    table_.resize(16);
}

std::size_t ColumnIndex::probe(std::string_view value, std::uint64_t hash, bool& found) const {
    const std::size_t mask = table_.size() - 1;
    const auto tag = static_cast<std::uint32_t>(hash);
    std::size_t firstFree = table_.size();
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Entry& e = table_[i];
        if (e.head == kEmpty) {
            found = false;
            return firstFree < table_.size() ? firstFree : i;
        }
        if (e.head == kTomb) {
            if (firstFree == table_.size()) firstFree = i;
            continue;
        }
        if (e.hash == tag && column_[e.head] == value) {
            found = true;
            return i;
        }
    }
}

ColumnIndex::Slot ColumnIndex::head(std::string_view value) const {
    bool found = false;
    std::size_t i = probe(value, hashOf(value), found);
    return found ? table_[i].head : kNone;
}

void ColumnIndex::grow() {
    std::vector<Entry> old;
    old.swap(table_);
    std::size_t size = old.size();
    // Double only when live values fill the table; a table full of
    // tombstones is rebuilt at the same size.
    if (live_ * 2 >= size) size *= 2;
    table_.assign(size, Entry{});
    used_ = live_;
    const std::size_t mask = size - 1;
    for (const auto& e : old) {
        if (e.head == kEmpty || e.head == kTomb) continue;
        std::size_t i = hashOf(column_[e.head]) & mask;
        while (table_[i].head != kEmpty)
            i = (i + 1) & mask;
        table_[i] = e;
    }
}

void ColumnIndex::insert(Slot slot) {
    if (slot >= next_.size()) {
        std::size_t n = std::max<std::size_t>(slot + 1, next_.size() * 3 / 2);
        next_.resize(n, kNone);
        prev_.resize(n, kNone);
    }
    if ((used_ + 1) * 10 > table_.size() * 7) grow();
    const std::string& value = column_[slot];
    const std::uint64_t hash = hashOf(value);
    bool found = false;
    std::size_t i = probe(value, hash, found);
    prev_[slot] = kNone;
    if (found) {
        Slot old = table_[i].head;
        next_[slot] = old;
        prev_[old] = slot;
        table_[i].head = slot;
        return;
    }
    if (table_[i].head == kEmpty) ++used_;
    table_[i] = Entry{slot, static_cast<std::uint32_t>(hash)};
    next_[slot] = kNone;
    ++live_;
}

void ColumnIndex::erase(Slot slot) {
    if (slot >= next_.size()) return;
    Slot p = prev_[slot];
    Slot n = next_[slot];
    if (n != kNone) prev_[n] = p;
    if (p != kNone) {
        next_[p] = n;
    } else {
        bool found = false;
        std::size_t i = probe(column_[slot], hashOf(column_[slot]), found);
        if (!found || table_[i].head != slot) return; // not indexed
        if (n != kNone) {
            table_[i].head = n;
        } else {
            table_[i].head = kTomb;
            --live_;
        }
    }
    next_[slot] = prev_[slot] = kNone;
}

std::size_t ColumnIndex::memoryBytes() const {
    return table_.capacity() * sizeof(Entry) + (next_.capacity() + prev_.capacity()) * sizeof(Slot);
}

} // namespace ocable::gis
