#include "platform/gis/Geometry.h"

#include "platform/gis/GisError.h"

#include <algorithm>
#include <string>

namespace ocable::gis {

namespace {

void checkIndex(int index, std::size_t count, const char* what) {
    if (index < 1 || static_cast<std::size_t>(index) > count)
        throw GisError(std::string(what) + "的序号 " + std::to_string(index) + " 超出范围 1.." +
                       std::to_string(count));
}

} // namespace

const Point& Points::Item(int index) const {
    checkIndex(index, points_.size(), "点");
    return points_[static_cast<std::size_t>(index - 1)];
}

Point& Points::Item(int index) {
    checkIndex(index, points_.size(), "点");
    return points_[static_cast<std::size_t>(index - 1)];
}

void Points::Remove(int index) {
    checkIndex(index, points_.size(), "点");
    points_.erase(points_.begin() + (index - 1));
}

const Points& Parts::Item(int index) const {
    checkIndex(index, parts_.size(), "部分");
    return parts_[static_cast<std::size_t>(index - 1)];
}

Points& Parts::Item(int index) {
    checkIndex(index, parts_.size(), "部分");
    return parts_[static_cast<std::size_t>(index - 1)];
}

void Parts::Remove(int index) {
    checkIndex(index, parts_.size(), "部分");
    parts_.erase(parts_.begin() + (index - 1));
}

std::size_t Parts::pointCount() const {
    std::size_t n = 0;
    for (const auto& part : parts_)
        n += static_cast<std::size_t>(part.Count());
    return n;
}

void Rectangle::Set(double x1, double y1, double x2, double y2) {
    xmin = std::min(x1, x2);
    xmax = std::max(x1, x2);
    ymin = std::min(y1, y2);
    ymax = std::max(y1, y2);
}

void Rectangle::include(const Point& p) {
    xmin = std::min(xmin, p.x);
    xmax = std::max(xmax, p.x);
    ymin = std::min(ymin, p.y);
    ymax = std::max(ymax, p.y);
}

void Rectangle::include(const Rectangle& r) {
    xmin = std::min(xmin, r.xmin);
    xmax = std::max(xmax, r.xmax);
    ymin = std::min(ymin, r.ymin);
    ymax = std::max(ymax, r.ymax);
}

Rectangle boundsOf(const Parts& parts) {
    bool first = true;
    Rectangle r;
    for (const auto& part : parts) {
        for (const auto& p : part) {
            if (first) {
                r = Rectangle(p.x, p.y, p.x, p.y);
                first = false;
            } else {
                r.include(p);
            }
        }
    }
    return r;
}

} // namespace ocable::gis
