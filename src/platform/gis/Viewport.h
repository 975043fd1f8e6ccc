#pragma once

#include "platform/gis/Geometry.h"

#include <QPointF>
#include <QSize>

namespace ocable::gis {

// What a map shows: the centre in map units, the scale in degrees per
// pixel and the window size in pixels. Longitude and latitude are drawn at
// the same scale (plain degrees, as the geosets store them). Pixel (0, 0)
// is the top-left corner of the window; y grows downwards.
class Viewport {
public:
    static constexpr double kMinScale = 1e-7; // about 1 cm a pixel
    static constexpr double kMaxScale = 1.0;  // a degree a pixel

    Viewport() = default;

    double centerX() const { return cx_; }
    double centerY() const { return cy_; }
    double scale() const { return scale_; } // degrees per pixel
    QSize size() const { return size_; }

    // Non-finite values are passed over; finite ones are clamped to the
    // coordinate limit (Geometry.h), so every view stays computable.
    void setCenter(double x, double y);
    // Clamped to [kMinScale, kMaxScale]; NaN is passed over.
    void setScale(double degreesPerPixel);
    void setSize(QSize size); // keeps centre and scale

    Rectangle bounds() const;
    // Fits r into the window, centred; a rectangle without extent centres
    // on its point and keeps the scale.
    void fit(const Rectangle& r);
    // Zooms by factor (2 shows half the width) keeping the map point under
    // the pixel anchor where it is.
    void zoomAt(double factor, QPointF anchor);

    QPointF toScreen(const Point& p) const {
        return {size_.width() / 2.0 + (p.x - cx_) / scale_, size_.height() / 2.0 - (p.y - cy_) / scale_};
    }
    Point toMap(QPointF s) const {
        return {cx_ + (s.x() - size_.width() / 2.0) * scale_, cy_ - (s.y() - size_.height() / 2.0) * scale_};
    }

    bool operator==(const Viewport&) const = default;

private:
    double cx_ = 105;
    double cy_ = 35;
    double scale_ = 0.1;
    QSize size_{640, 480};
};

} // namespace ocable::gis
