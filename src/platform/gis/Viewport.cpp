#include "platform/gis/Viewport.h"

#include <algorithm>
#include <cmath>

namespace ocable::gis {

void Viewport::setCenter(double x, double y) {
    // A view far past the coordinate limit would turn every map point into
    // an infinite pixel; there is nothing to see out there anyway.
    if (std::isfinite(x)) cx_ = std::clamp(x, -kCoordinateLimit, kCoordinateLimit);
    if (std::isfinite(y)) cy_ = std::clamp(y, -kCoordinateLimit, kCoordinateLimit);
}

void Viewport::setScale(double degreesPerPixel) {
    if (std::isnan(degreesPerPixel)) return;
    scale_ = std::clamp(degreesPerPixel, kMinScale, kMaxScale);
}

void Viewport::setSize(QSize size) {
    size_ = QSize(std::max(1, size.width()), std::max(1, size.height()));
}

Rectangle Viewport::bounds() const {
    const double halfW = size_.width() * scale_ / 2, halfH = size_.height() * scale_ / 2;
    return {cx_ - halfW, cy_ - halfH, cx_ + halfW, cy_ + halfH};
}

void Viewport::fit(const Rectangle& given) {
    // Clamped first so that the width of a rectangle from -1e308 to 1e308
    // does not overflow to infinity; NaN sides leave the view as it is.
    auto clamp = [](double v) { return std::clamp(v, -kCoordinateLimit, kCoordinateLimit); };
    if (std::isnan(given.xmin) || std::isnan(given.xmax) || std::isnan(given.ymin) || std::isnan(given.ymax))
        return;
    const Rectangle r(clamp(given.xmin), clamp(given.ymin), clamp(given.xmax), clamp(given.ymax));
    setCenter(r.CenterX(), r.CenterY());
    if (r.Width() <= 0 && r.Height() <= 0) return;
    setScale(std::max(r.Width() / size_.width(), r.Height() / size_.height()));
}

void Viewport::zoomAt(double factor, QPointF anchor) {
    if (!(factor > 0) || !std::isfinite(factor) || !std::isfinite(anchor.x()) || !std::isfinite(anchor.y()))
        return;
    const Point fixed = toMap(anchor);
    setScale(scale_ / factor);
    // Move the centre so that the anchored map point returns under the pixel.
    const Point now = toMap(anchor);
    setCenter(cx_ + (fixed.x - now.x), cy_ + (fixed.y - now.y));
}

} // namespace ocable::gis
