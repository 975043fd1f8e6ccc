#pragma once

#include "platform/gis/FeatureStore.h"
#include "platform/gis/Geometry.h"

#include <span>

namespace ocable::gis {

// Distances are measured in a local metric: a difference (dx, dy) in
// degrees counts as sqrt((dx*kx)^2 + (dy*ky)^2). kx = ky = 1 measures in
// degrees, 1/scale in screen pixels; ground units use kilometres per
// degree of longitude and latitude at the place of the search.
struct Metric {
    double kx = 1;
    double ky = 1;
    double length(double dx, double dy) const;
    static Metric degrees() { return {1, 1}; }
    static Metric kilometresAt(double latitude);
};

double distanceToSegment(const Point& p, const Point& a, const Point& b, const Metric& m);
// Even-odd rule over every ring: a point inside an island ring is inside,
// inside a hole ring is outside.
bool insideRings(const Point& p, const FeatureStore& store, FeatureStore::Slot s);
bool insideRing(const Point& p, std::span<const Point> ring);
bool segmentTouchesRect(const Point& a, const Point& b, const Rectangle& r);
// Cuts the segment to r; false when nothing of it lies in r. The renderer
// cuts long lines in map units before they become pixels: deep in a zoom
// their far ends would be too far away for the painter's fixed-point raster.
bool clipSegment(Point& a, Point& b, const Rectangle& r);

// Shortest distance from p to the stored feature: to a symbol's point, to a
// line's segments, 0 inside a region and to its rings outside.
double distanceToFeature(const Point& p, const FeatureStore& store, FeatureStore::Slot s, const Metric& m);
// Largest distance from p to any point of the feature.
double farthestPointDistance(const Point& p, const FeatureStore& store, FeatureStore::Slot s,
                             const Metric& m);
// Whether any part of the feature lies in r.
bool featureTouchesRect(const FeatureStore& store, FeatureStore::Slot s, const Rectangle& r);

} // namespace ocable::gis
