#pragma once

#include <cstddef>
#include <limits>
#include <vector>

namespace ocable::gis {

// Map coordinates are decimal degrees: x is longitude, y latitude.
struct Point {
    double x = 0;
    double y = 0;

    Point() = default;
    Point(double px, double py) : x(px), y(py) {}
    void Set(double px, double py) {
        x = px;
        y = py;
    }
    bool operator==(const Point&) const = default;
};

// An ordered list of points: one part of a line or one ring of a region.
// Item is 1-based, like every collection of the map component.
class Points {
public:
    Points() = default;
    Points(std::initializer_list<Point> points) : points_(points) {}
    explicit Points(std::vector<Point> points) : points_(std::move(points)) {}

    int Count() const { return static_cast<int>(points_.size()); }
    const Point& Item(int index) const;
    Point& Item(int index);
    void Add(const Point& p) { points_.push_back(p); }
    void AddXY(double x, double y) { points_.emplace_back(x, y); }
    void Remove(int index);
    void RemoveAll() { points_.clear(); }

    const std::vector<Point>& values() const { return points_; }
    std::vector<Point>::const_iterator begin() const { return points_.begin(); }
    std::vector<Point>::const_iterator end() const { return points_.end(); }
    bool operator==(const Points&) const = default;

private:
    std::vector<Point> points_;
};

// The parts of a feature: one point for a symbol, one or more point lists
// for a line, one or more rings for a region.
class Parts {
public:
    Parts() = default;
    Parts(std::initializer_list<Points> parts) : parts_(parts) {}

    int Count() const { return static_cast<int>(parts_.size()); }
    const gis::Points& Item(int index) const;
    gis::Points& Item(int index);
    void Add(const gis::Points& part) { parts_.push_back(part); }
    void Remove(int index);
    void RemoveAll() { parts_.clear(); }

    // Total number of points over all parts.
    std::size_t pointCount() const;
    std::vector<gis::Points>::const_iterator begin() const { return parts_.begin(); }
    std::vector<gis::Points>::const_iterator end() const { return parts_.end(); }
    bool operator==(const Parts&) const = default;

private:
    std::vector<gis::Points> parts_;
};

// An axis-aligned rectangle in map units. Set and the four-value
// constructor accept any two opposite corners and keep the minimum and
// maximum apart, so (largest X, largest Y, smallest X, smallest Y) works.
struct Rectangle {
    double xmin = 0;
    double ymin = 0;
    double xmax = 0;
    double ymax = 0;

    Rectangle() = default;
    Rectangle(double x1, double y1, double x2, double y2) { Set(x1, y1, x2, y2); }
    void Set(double x1, double y1, double x2, double y2);

    double Width() const { return xmax - xmin; }
    double Height() const { return ymax - ymin; }
    double CenterX() const { return (xmin + xmax) / 2; }
    double CenterY() const { return (ymin + ymax) / 2; }

    bool contains(const Point& p) const { return p.x >= xmin && p.x <= xmax && p.y >= ymin && p.y <= ymax; }
    bool contains(const Rectangle& r) const {
        return r.xmin >= xmin && r.xmax <= xmax && r.ymin >= ymin && r.ymax <= ymax;
    }
    bool intersects(const Rectangle& r) const {
        return r.xmin <= xmax && r.xmax >= xmin && r.ymin <= ymax && r.ymax >= ymin;
    }
    // Grows the rectangle to take in p (or r).
    void include(const Point& p);
    void include(const Rectangle& r);
    Rectangle expanded(double dx, double dy) const { return {xmin - dx, ymin - dy, xmax + dx, ymax + dy}; }
    bool operator==(const Rectangle&) const = default;
};

// The smallest rectangle around all points of all parts; a default
// Rectangle when there are none.
Rectangle boundsOf(const Parts& parts);

// Coordinates are degrees, so nothing real lies beyond this. A feature or a
// view past it (or at NaN or infinity, which a damaged table or geoset can
// hold) has no place on the map: the index, the renderer and the view leave
// it out instead of letting the arithmetic overflow.
inline constexpr double kCoordinateLimit = 1e6;

inline bool isPlaceable(double v) {
    return v >= -kCoordinateLimit && v <= kCoordinateLimit; // false for NaN
}
inline bool isPlaceable(const Point& p) {
    return isPlaceable(p.x) && isPlaceable(p.y);
}
inline bool isPlaceable(const Rectangle& r) {
    return isPlaceable(r.xmin) && isPlaceable(r.xmax) && isPlaceable(r.ymin) && isPlaceable(r.ymax);
}
// The bounds of a feature that has no place: every side NaN, so that no
// comparison with it holds.
inline Rectangle nowhere() {
    Rectangle r;
    r.xmin = r.ymin = r.xmax = r.ymax = std::numeric_limits<double>::quiet_NaN();
    return r;
}

} // namespace ocable::gis
