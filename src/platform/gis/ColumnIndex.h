#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ocable::gis {

// Hash index over one text column of a layer's feature store: value ->
// every slot holding that value. Looking a value up costs one probe plus
// one step per hit, whatever the size of the layer, which is what keeps a
// search of a thousand OR-ed codes in the millisecond range.
//
// Distinct values sit in an open-addressing table; slots sharing a value
// are chained through two per-slot links, so inserting and erasing stay
// O(1) even when every feature carries the same text (labels such as "0").
class ColumnIndex {
public:
    using Slot = std::uint32_t;
    static constexpr Slot kNone = 0xFFFFFFFFu;

    // column is the store's value array of this column; it must outlive
    // the index. insert reads the slot's value, erase must run before the
    // value changes.
    explicit ColumnIndex(const std::vector<std::string>& column);

    void insert(Slot slot);
    void erase(Slot slot);

    // Calls f(slot) for every slot whose value equals value exactly.
    template <class F> void forEach(std::string_view value, F&& f) const {
        Slot s = head(value);
        while (s != kNone) {
            f(s);
            s = next_[s];
        }
    }

    std::size_t distinctValues() const { return live_; }
    std::size_t memoryBytes() const;

private:
    struct Entry {
        Slot head = kEmpty;
        std::uint32_t hash = 0;
    };
    static constexpr Slot kEmpty = 0xFFFFFFFFu;
    static constexpr Slot kTomb = 0xFFFFFFFEu;

    Slot head(std::string_view value) const;
    // Position of value's entry, or the first free position of its probe
    // sequence when absent (found = false).
    std::size_t probe(std::string_view value, std::uint64_t hash, bool& found) const;
    void grow();

    const std::vector<std::string>& column_;
    std::vector<Entry> table_;
    std::vector<Slot> next_;
    std::vector<Slot> prev_;
    std::size_t live_ = 0; // distinct values present
    std::size_t used_ = 0; // live plus tombstones
};

} // namespace ocable::gis
