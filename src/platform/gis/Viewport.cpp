#include "platform/gis/Viewport.h"

#include <algorithm>

namespace ocable::gis {

void Viewport::setScale(double degreesPerPixel) {
    scale_ = std::clamp(degreesPerPixel, kMinScale, kMaxScale);
}

void Viewport::setSize(QSize size) {
    size_ = QSize(std::max(1, size.width()), std::max(1, size.height()));
}

Rectangle Viewport::bounds() const {
    const double halfW = size_.width() * scale_ / 2, halfH = size_.height() * scale_ / 2;
    return {cx_ - halfW, cy_ - halfH, cx_ + halfW, cy_ + halfH};
}

void Viewport::fit(const Rectangle& r) {
    setCenter(r.CenterX(), r.CenterY());
    if (r.Width() <= 0 && r.Height() <= 0) return;
    setScale(std::max(r.Width() / size_.width(), r.Height() / size_.height()));
}

void Viewport::zoomAt(double factor, QPointF anchor) {
    if (factor <= 0) return;
    const Point fixed = toMap(anchor);
    setScale(scale_ / factor);
    // Move the centre so that the anchored map point returns under the pixel.
    const Point now = toMap(anchor);
    cx_ += fixed.x - now.x;
    cy_ += fixed.y - now.y;
}

} // namespace ocable::gis
