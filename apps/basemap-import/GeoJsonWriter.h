#pragma once

#include "RingAssembly.h"

#include <QString>

#include <utility>
#include <vector>

namespace ocable::basemap {

struct GeoFeature {
    std::vector<std::pair<QString, QString>> properties; // written as JSON strings, in this order
    std::vector<Polygon> polygons;                       // written as one MultiPolygon
};

// Shortest fixed-point text of a coordinate with at most `decimals` decimals.
QString coordinateText(double v, int decimals);

// A GeoJSON FeatureCollection, one feature per line so that the committed
// files diff well. Rings must already be cleaned (closed and oriented).
QByteArray featureCollectionJson(const std::vector<GeoFeature>& features, int decimals);

} // namespace ocable::basemap
