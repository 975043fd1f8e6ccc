#pragma once

#include "platform/gis/Geometry.h"

#include <algorithm>
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

    // A box without a place on the map (see isPlaceable) is not indexed:
    // no query reports it. It is only counted.
    void insert(Slot slot, const Rectangle& box);
    // box must be the rectangle slot was inserted with.
    void erase(Slot slot, const Rectangle& box);
    void clear();
    // How many inserted boxes had no place and were left out.
    std::size_t unplacedCount() const { return unplaced_; }

    // Calls f(slot) for each slot whose cell may hold a box touching r. The
    // caller tests the real boxes; a slot is reported at most once. Cells
    // are counted with integers over a range clamped to where boxes can be,
    // so a huge or infinite query visits no more cells than a whole-earth one.
    template <class F> void candidates(const Rectangle& r, F&& f) const {
        if (!(r.xmin <= r.xmax && r.ymin <= r.ymax)) return; // NaN, or nothing
        for (int level = 0; level < kLevels; ++level) {
            const auto& cells = levels_[level];
            if (cells.empty()) continue;
            const double size = cellSize(level);
            const std::int64_t x0 = cellOf(r.xmin - size / 2, size), x1 = cellOf(r.xmax + size / 2, size);
            const std::int64_t y0 = cellOf(r.ymin - size / 2, size), y1 = cellOf(r.ymax + size / 2, size);
            const std::int64_t visits = (x1 - x0 + 1) * (y1 - y0 + 1);
            if (visits > static_cast<std::int64_t>(cells.size())) {
                // Fewer occupied cells than cells under the query: walk them.
                for (const auto& [key, members] : cells) {
                    const auto [cx, cy] = unpack(key);
                    if (cx >= x0 && cx <= x1 && cy >= y0 && cy <= y1)
                        for (Slot s : members)
                            f(s);
                }
                continue;
            }
            for (std::int64_t cy = y0; cy <= y1; ++cy)
                for (std::int64_t cx = x0; cx <= x1; ++cx) {
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
    static std::pair<std::int64_t, std::int64_t> unpack(std::uint64_t key) {
        return {static_cast<std::int32_t>(key & 0xFFFFFFFFu), static_cast<std::int32_t>(key >> 32)};
    }
    // The cell number of coordinate v, clamped to one cell beyond the
    // coordinate limit so that it always fits an int32. v must not be NaN.
    static std::int64_t cellOf(double v, double size) {
        const double limit = std::floor(kCoordinateLimit / size) + 1;
        return static_cast<std::int64_t>(std::clamp(std::floor(v / size), -limit, limit));
    }
    static std::uint64_t keyFor(const Rectangle& box, int level);

    std::array<Cells, kLevels> levels_;
    std::size_t unplaced_ = 0;
};

} // namespace ocable::gis
