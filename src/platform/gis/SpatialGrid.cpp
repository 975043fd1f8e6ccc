#include "platform/gis/SpatialGrid.h"

#include <algorithm>

namespace ocable::gis {

int SpatialGrid::levelFor(const Rectangle& box) {
    const double extent = std::max(box.Width(), box.Height());
    int level = 0;
    while (level < kLevels - 1 && cellSize(level) < extent)
        ++level;
    return level;
}

std::uint64_t SpatialGrid::keyFor(const Rectangle& box, int level) {
    const double size = cellSize(level);
    return pack(static_cast<std::int32_t>(cellOf(box.CenterX(), size)),
                static_cast<std::int32_t>(cellOf(box.CenterY(), size)));
}

void SpatialGrid::insert(Slot slot, const Rectangle& box) {
    if (!isPlaceable(box)) {
        ++unplaced_;
        return;
    }
    const int level = levelFor(box);
    levels_[level][keyFor(box, level)].push_back(slot);
}

void SpatialGrid::erase(Slot slot, const Rectangle& box) {
    if (!isPlaceable(box)) {
        if (unplaced_ > 0) --unplaced_;
        return;
    }
    const int level = levelFor(box);
    auto& cells = levels_[level];
    auto it = cells.find(keyFor(box, level));
    if (it == cells.end()) return;
    auto& members = it->second;
    auto pos = std::find(members.begin(), members.end(), slot);
    if (pos == members.end()) return;
    *pos = members.back();
    members.pop_back();
    if (members.empty()) cells.erase(it);
}

void SpatialGrid::clear() {
    for (auto& cells : levels_)
        cells.clear();
    unplaced_ = 0;
}

std::size_t SpatialGrid::memoryBytes() const {
    std::size_t bytes = 0;
    for (const auto& cells : levels_) {
        bytes += cells.bucket_count() * sizeof(void*);
        for (const auto& [key, members] : cells)
            bytes += sizeof(key) + sizeof(members) + 2 * sizeof(void*) + members.capacity() * sizeof(Slot);
    }
    return bytes;
}

} // namespace ocable::gis
