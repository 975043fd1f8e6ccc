#pragma once

#include <QPointF>
#include <QPolygonF>
#include <QRectF>

#include <cstdint>
#include <optional>

namespace ocable::gis {

class Map;
class Layer;

// What the select tools do, on a map at its current view, in window
// pixels. They look at visible, selectable layers only. Without add, the
// new selection replaces every layer's selection; with add (Shift held)
// it joins it.

struct Hit {
    Layer* layer = nullptr;
    std::uint32_t id = 0;
    double distance = 0; // pixels from the feature's drawn shape
};

// The feature drawn nearest to pixel, if one lies within tolerance pixels
// of it: a symbol counts from the edge of its bitmap, a line from its
// stroke, a region from its outline (0 inside). On a tie the upper layer wins.
std::optional<Hit> featureAt(const Map& map, QPointF pixel, double tolerance = 4);

// Tool 1007: selects the feature at pixel, or clears the selections when
// there is none (and add is off).
void selectAt(Map& map, QPointF pixel, bool add);
// Tools 1009, 1008 and 1010: select every feature lying entirely within
// the rectangle, circle or polygon.
void selectInRectangle(Map& map, const QRectF& pixels, bool add);
void selectInCircle(Map& map, QPointF centre, double radius, bool add);
void selectInPolygon(Map& map, const QPolygonF& pixels, bool add);

} // namespace ocable::gis
