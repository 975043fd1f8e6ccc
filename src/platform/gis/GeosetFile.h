#pragma once

#include "platform/gis/Geometry.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Style.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ocable::gis {

// One layer as a geoset describes it.
struct GeosetLayer {
    std::string name;
    LayerKind kind = LayerKind::Mixed;
    std::vector<std::string> columns; // empty: every field of the source
    bool visible = true;
    bool autoLabel = false;
    bool selectable = true;
    LabelStyle label;
    Style style;             // the default style of the layer's features
    std::string source;      // data file relative to the geoset; empty: an empty layer
    std::string sourceLayer; // layer inside the data file; empty: its first layer

    bool operator==(const GeosetLayer&) const = default;
};

// The contents of a .gst file (format in docs/geoset.md): a header and the
// layers, top layer first.
struct Geoset {
    std::string title;
    std::string symbols; // symbol folder relative to the geoset; empty: unchanged
    std::optional<Point> center;
    std::optional<double> zoom; // visible width in degrees
    std::vector<GeosetLayer> layers;

    bool operator==(const Geoset&) const = default;
};

// Whether a coordinate can stand in a map: finite and at most 1e9 in size,
// so that sums and differences of two stay finite. Longitudes and latitudes
// are far smaller; the margin lets odd but harmless data through.
inline bool coordinateHoldable(double v) {
    return v >= -1e9 && v <= 1e9;
}

// Throws GisError naming the line of the first mistake.
Geoset parseGeoset(std::string_view text);
std::string formatGeoset(const Geoset& geoset);

std::string_view layerKindName(LayerKind kind);
LayerKind layerKindFromName(std::string_view name); // throws GisError

} // namespace ocable::gis
