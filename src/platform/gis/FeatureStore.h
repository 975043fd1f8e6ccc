#pragma once

#include "platform/gis/ColumnIndex.h"
#include "platform/gis/Geometry.h"
#include "platform/gis/SpatialGrid.h"
#include "platform/gis/Style.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace ocable::gis {

// The compact storage behind one layer: features as parallel arrays indexed
// by slot, their coordinates in one shared pool, their styles interned in a
// small table, their data rows as one text array per column, plus the
// spatial grid and the per-column hash indexes. A two-point line with a
// label and a code costs about 200 bytes here.
//
// Slots are internal: they move when the store compacts away deleted
// features. Everything outside (features, feature sets, selections) names
// features by their id, which never changes. Ids are added in increasing
// order, so find() is a binary search over the id array.
class FeatureStore {
public:
    using Slot = std::uint32_t;
    static constexpr Slot kNone = 0xFFFFFFFFu;

    explicit FeatureStore(std::size_t columnCount);

    std::size_t columnCount() const { return columns_.size(); }
    std::size_t slotCount() const { return ids_.size(); }
    std::size_t size() const { return ids_.size() - dead_; }

    // row is resized to the column count. id must exceed every id added before.
    Slot add(std::uint32_t id, FeatureType type, const Style& style, const Parts& parts,
             std::vector<std::string> row);
    void remove(Slot s);
    void setGeometry(Slot s, FeatureType type, const Parts& parts);
    void setStyle(Slot s, const Style& style);
    void setValue(Slot s, std::size_t column, std::string value);

    Slot find(std::uint32_t id) const; // kNone when absent or deleted
    bool alive(Slot s) const { return types_[s] != kDead; }
    std::uint32_t id(Slot s) const { return ids_[s]; }
    FeatureType type(Slot s) const { return static_cast<FeatureType>(types_[s]); }
    std::uint32_t styleIndex(Slot s) const { return styleOf_[s]; }
    const Style& style(Slot s) const { return styles_[styleOf_[s]]; }
    const std::vector<Style>& styles() const { return styles_; }

    int partCount(Slot s) const;
    std::span<const Point> part(Slot s, int index) const; // 0-based
    std::span<const Point> allPoints(Slot s) const { return {pool_.data() + coordStart_[s], coordCount_[s]}; }
    Parts parts(Slot s) const;
    Rectangle bounds(Slot s) const;

    const std::string& value(Slot s, std::size_t column) const { return columns_[column][s]; }
    std::vector<std::string> row(Slot s) const;

    // Every live slot whose bounding box touches r, in slot (= adding)
    // order. Features without a place on the map (isPlaceable) touch nothing.
    template <class F> void forEachIn(const Rectangle& r, F&& f) const {
        const Rectangle all = extent();
        if (hasExtent() && r.contains(all)) {
            const bool check = grid_.unplacedCount() > 0;
            for (Slot s = 0; s < slotCount(); ++s)
                if (alive(s) && (!check || isPlaceable(bounds(s)))) f(s);
            return;
        }
        std::vector<Slot> hits;
        grid_.candidates(r, [&](Slot s) {
            if (bounds(s).intersects(r)) hits.push_back(s);
        });
        std::sort(hits.begin(), hits.end());
        for (Slot s : hits)
            f(s);
    }

    // Every live slot whose value in column equals value; the column's hash
    // index is built on first use and kept up to date from then on.
    template <class F> void lookup(std::size_t column, std::string_view value, F&& f) const {
        indexFor(column).forEach(value, f);
    }

    // The rectangle around every feature that has a place on the map; a
    // default Rectangle when none has (hasExtent() is then false).
    Rectangle extent() const;
    bool hasExtent() const {
        extent();
        return !empty_;
    }

    // Drops deleted slots when they make up a good part of the store.
    // Returns true when slots moved.
    bool compactIfWorthwhile();

    // Bytes held by the arrays, pools, texts and indexes (capacity, not size).
    std::size_t memoryBytes() const;

private:
    static constexpr std::uint8_t kDead = 0xFF;

    std::uint32_t intern(const Style& style);
    void writeGeometry(Slot s, const Parts& parts);
    ColumnIndex& indexFor(std::size_t column) const;
    void compact();

    std::vector<std::uint32_t> ids_;
    std::vector<std::uint8_t> types_;
    std::vector<std::uint32_t> styleOf_;
    std::vector<std::uint32_t> coordStart_;
    std::vector<std::uint32_t> coordCount_;
    std::vector<std::uint32_t> partsRef_; // kNone: one part; else index into partTable_
    std::vector<Point> pool_;
    std::vector<std::uint32_t> partTable_; // at partsRef: part count, then each part's end offset
    std::vector<std::vector<std::string>> columns_;

    std::vector<Style> styles_;
    std::unordered_multimap<std::size_t, std::uint32_t> styleLookup_;
    std::uint32_t lastStyle_ = kNone;

    SpatialGrid grid_;
    mutable std::vector<std::unique_ptr<ColumnIndex>> indexes_;

    std::size_t dead_ = 0;
    std::size_t garbagePoints_ = 0; // pool entries no live slot uses
    mutable Rectangle extent_;
    mutable bool extentValid_ = true;
    mutable bool empty_ = true; // no feature with a place on the map
};

} // namespace ocable::gis
