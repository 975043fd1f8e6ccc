#pragma once

#include <QRectF>
#include <QSize>

#include <cstdint>
#include <vector>

namespace ocable::gis {

// Occupancy grid of the labels placed in one drawing. A label goes where
// no earlier label lies (cells of a few pixels; a cell counts as taken as
// soon as any label touches it), so a crowded view keeps the labels of the
// top layers and the first features and drops the rest, and nothing is
// measured for a label whose anchor is already covered.
class LabelPlacer {
public:
    explicit LabelPlacer(QSize area, int cellSize = 4);

    // Whether r lies in the area without touching a placed label.
    bool isFree(const QRectF& r) const;
    bool pointFree(QPointF p) const;
    void occupy(const QRectF& r);
    bool tryPlace(const QRectF& r) {
        if (!isFree(r)) return false;
        occupy(r);
        return true;
    }

private:
    bool cellRange(const QRectF& r, int& x0, int& y0, int& x1, int& y1) const;

    QSize area_;
    int cell_;
    int columns_;
    int rows_;
    std::vector<std::uint8_t> taken_;
};

} // namespace ocable::gis
