#include "SpatialGrid.h"

#include <algorithm>
#include <limits>

namespace ocable::demo {

void SpatialGrid::insert(std::size_t id, double x, double y) {
    const std::int64_t cx = cellOf(x);
    const std::int64_t cy = cellOf(y);
    if (maxX_ < minX_) {
        minX_ = maxX_ = cx;
        minY_ = maxY_ = cy;
    }
    minX_ = std::min(minX_, cx);
    maxX_ = std::max(maxX_, cx);
    minY_ = std::min(minY_, cy);
    maxY_ = std::max(maxY_, cy);
    cells_[key(cx, cy)].push_back({id, x, y});
}

std::ptrdiff_t SpatialGrid::nearest(double x, double y,
                                    const std::function<bool(std::size_t)>& accept) const {
    const auto found = nearestK(x, y, 1, accept);
    return found.empty() ? -1 : static_cast<std::ptrdiff_t>(found.front());
}

std::vector<std::size_t> SpatialGrid::nearestK(double x, double y, std::size_t k,
                                               const std::function<bool(std::size_t)>& accept) const {
    std::vector<std::pair<double, std::size_t>> best; // (squared distance, id), sorted
    if (maxX_ < minX_ || k == 0) return {};
    const std::int64_t cx = cellOf(x);
    const std::int64_t cy = cellOf(y);
    const std::int64_t maxRing =
        std::max({std::abs(cx - minX_), std::abs(cx - maxX_), std::abs(cy - minY_), std::abs(cy - maxY_)});
    for (std::int64_t ring = 0; ring <= maxRing; ++ring) {
        // Every point beyond this ring is at least (ring - 1) cells away.
        if (best.size() >= k) {
            const double reach = static_cast<double>(ring - 1) * cell_;
            if (reach > 0 && reach * reach > best.back().first) break;
        }
        auto visit = [&](std::int64_t gx, std::int64_t gy) {
            auto it = cells_.find(key(gx, gy));
            if (it == cells_.end()) return;
            for (const Entry& e : it->second) {
                if (!accept(e.id)) continue;
                const double d = (e.x - x) * (e.x - x) + (e.y - y) * (e.y - y);
                if (best.size() < k || d < best.back().first ||
                    (d == best.back().first && e.id < best.back().second)) {
                    best.insert(std::upper_bound(best.begin(), best.end(), std::make_pair(d, e.id)),
                                {d, e.id});
                    if (best.size() > k) best.pop_back();
                }
            }
        };
        if (ring == 0) {
            visit(cx, cy);
            continue;
        }
        for (std::int64_t gx = cx - ring; gx <= cx + ring; ++gx) {
            visit(gx, cy - ring);
            visit(gx, cy + ring);
        }
        for (std::int64_t gy = cy - ring + 1; gy <= cy + ring - 1; ++gy) {
            visit(cx - ring, gy);
            visit(cx + ring, gy);
        }
    }
    std::vector<std::size_t> ids;
    for (const auto& b : best)
        ids.push_back(b.second);
    return ids;
}

} // namespace ocable::demo
