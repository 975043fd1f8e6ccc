#include "platform/gis/LabelPlacer.h"

#include <algorithm>
#include <cmath>

namespace ocable::gis {

LabelPlacer::LabelPlacer(QSize area, int cellSize)
    : area_(area), cell_(std::max(1, cellSize)), columns_((area.width() + cell_ - 1) / cell_),
      rows_((area.height() + cell_ - 1) / cell_), taken_(static_cast<std::size_t>(columns_ * rows_), 0) {}

bool LabelPlacer::cellRange(const QRectF& r, int& x0, int& y0, int& x1, int& y1) const {
    // Written so that NaN fails too: a NaN edge would make the int casts
    // below undefined.
    if (!(r.left() >= 0 && r.top() >= 0 && r.right() <= area_.width() && r.bottom() <= area_.height()))
        return false;
    x0 = static_cast<int>(r.left()) / cell_;
    y0 = static_cast<int>(r.top()) / cell_;
    x1 = std::min(columns_ - 1, static_cast<int>(std::ceil(r.right())) / cell_);
    y1 = std::min(rows_ - 1, static_cast<int>(std::ceil(r.bottom())) / cell_);
    return true;
}

bool LabelPlacer::pointFree(QPointF p) const {
    if (!(p.x() >= 0 && p.y() >= 0 && p.x() < area_.width() && p.y() < area_.height())) return false;
    return !taken_[static_cast<std::size_t>(static_cast<int>(p.y()) / cell_ * columns_ +
                                            static_cast<int>(p.x()) / cell_)];
}

bool LabelPlacer::isFree(const QRectF& r) const {
    int x0, y0, x1, y1;
    if (!cellRange(r, x0, y0, x1, y1)) return false;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (taken_[static_cast<std::size_t>(y * columns_ + x)]) return false;
    return true;
}

void LabelPlacer::occupy(const QRectF& r) {
    int x0, y0, x1, y1;
    if (!cellRange(r, x0, y0, x1, y1)) return;
    for (int y = y0; y <= y1; ++y)
        std::fill_n(taken_.begin() + (y * columns_ + x0), x1 - x0 + 1, 1);
}

} // namespace ocable::gis
