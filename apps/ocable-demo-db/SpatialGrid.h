#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

namespace ocable::demo {

// Points on a flat plane (km) bucketed in square cells, for nearest-neighbour
// look-ups while the network is laid out; a full scan would be quadratic.
class SpatialGrid {
public:
    explicit SpatialGrid(double cellKm) : cell_(cellKm) {}

    void insert(std::size_t id, double x, double y);

    // The nearest inserted point accepted by the filter, or -1.
    std::ptrdiff_t nearest(double x, double y, const std::function<bool(std::size_t)>& accept) const;

    // Up to k nearest inserted points accepted by the filter, nearest first.
    std::vector<std::size_t> nearestK(double x, double y, std::size_t k,
                                      const std::function<bool(std::size_t)>& accept) const;

private:
    struct Entry {
        std::size_t id;
        double x, y;
    };
    static std::int64_t key(std::int64_t cx, std::int64_t cy) { return (cx << 32) ^ (cy & 0xffffffff); }
    std::int64_t cellOf(double v) const { return static_cast<std::int64_t>(std::floor(v / cell_)); }

    double cell_;
    std::unordered_map<std::int64_t, std::vector<Entry>> cells_;
    std::int64_t minX_ = 0, maxX_ = -1, minY_ = 0, maxY_ = -1;
};

} // namespace ocable::demo
