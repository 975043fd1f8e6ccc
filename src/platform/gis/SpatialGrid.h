#pragma once

#include "platform/gis/Geometry.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace ocable::gis {

// Spatial index of a layer: a hierarchy of loose uniform grids. A feature
// goes to the finest level whose cell is at least as large as its bounding
// box, in the cell holding the box's centre; a query visits, level by
// level, the cells that can hold a box touching the query rectangle. Points
// and short segments sit in 1/4 degree cells, a long backbone segment a few
// levels up, so neither crowds the other's cells.
class SpatialGrid {
public:
    using Slot = std::uint32_t;
    static constexpr double kBaseCell = 0.25; // degrees
    static constexpr int kLevels = 16;        // up to 0.25 * 2^15 degrees: the whole earth

    void insert(Slot slot, const Rectangle& box);
    // box must be the rectangle slot was inserted with.
    void erase(Slot slot, const Rectangle& box);
    void clear();

    // Calls f(slot) for each slot whose cell may hold a box touching r. The
    // caller tests the real boxes; a slot is reported at most once.
    template <class F> void candidates(const Rectangle& r, F&& f) const {
        for (int level = 0; level < kLevels; ++level) {
            const auto& cells = levels_[level];
            if (cells.empty()) continue;
            const double size = cellSize(level);
            const Rectangle q = r.expanded(size / 2, size / 2);
            const double x0 = std::floor(q.xmin / size), x1 = std::floor(q.xmax / size);
            const double y0 = std::floor(q.ymin / size), y1 = std::floor(q.ymax / size);
            const double visits = (x1 - x0 + 1) * (y1 - y0 + 1);
            if (visits > static_cast<double>(cells.size())) {
                // Fewer occupied cells than cells under the query: walk them.
                for (const auto& [key, members] : cells) {
                    const auto [cx, cy] = unpack(key);
                    if (cx >= x0 && cx <= x1 && cy >= y0 && cy <= y1)
                        for (Slot s : members)
                            f(s);
                }
                continue;
            }
            for (double cy = y0; cy <= y1; ++cy)
                for (double cx = x0; cx <= x1; ++cx) {
                    auto it = cells.find(pack(static_cast<std::int32_t>(cx), static_cast<std::int32_t>(cy)));
                    if (it != cells.end())
                        for (Slot s : it->second)
                            f(s);
                }
        }
    }

    std::size_t memoryBytes() const;

private:
    using Cells = std::unordered_map<std::uint64_t, std::vector<Slot>>;

    static double cellSize(int level) { return kBaseCell * static_cast<double>(1 << level); }
    static int levelFor(const Rectangle& box);
    static std::uint64_t pack(std::int32_t x, std::int32_t y) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(y)) << 32) |
               static_cast<std::uint32_t>(x);
    }
    static std::pair<double, double> unpack(std::uint64_t key) {
        return {static_cast<double>(static_cast<std::int32_t>(key & 0xFFFFFFFFu)),
                static_cast<double>(static_cast<std::int32_t>(key >> 32))};
    }
    static std::uint64_t keyFor(const Rectangle& box, int level);

    std::array<Cells, kLevels> levels_;
};

} // namespace ocable::gis
