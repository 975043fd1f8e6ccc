#pragma once

#include "platform/gis/Geometry.h"
#include "platform/gis/RowValues.h"
#include "platform/gis/Style.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ocable::gis {

class Layer;

// One map feature as a plain value: its type, parts, style and the data row
// it carries. A feature read from a layer (from a search, a selection, an
// add) also remembers its layer and key: Update writes the value back
// there. A detached feature (made by FeatureFactory, or a clone) belongs to
// no layer; adding it to a layer stores a copy under a new key and leaves
// the detached value as it was.
//
// The carried row is the feature's data row as it was read; it keeps
// answering Name() and dataset look-ups after the feature has been deleted
// from its layer, and it is the row a layer stores when the feature is
// added without explicit row values.
class Feature {
public:
    Feature() = default; // the null feature: no type, no layer
    Feature(FeatureType type, const gis::Style& style);

    bool isNull() const { return null_; }

    FeatureType Type() const { return type_; }
    void setType(FeatureType type);
    // The key the map gave the feature when it was added; empty when detached.
    const std::string& FeatureKey() const { return key_; }
    // Column 1 of the feature's row: live from the layer while the feature is
    // in it, the carried row otherwise.
    std::string Name() const;

    // A symbol's point; the centre of the bounding box of a line or region.
    double CenterX() const;
    double CenterY() const;
    Rectangle Bounds() const { return boundsOf(parts_); }

    // A symbol has one part holding one point.
    gis::Point Point() const;
    void setPoint(const gis::Point& p);
    gis::Parts& Parts() { return parts_; }
    const gis::Parts& Parts() const { return parts_; }
    gis::Style& Style() { return style_; }
    const gis::Style& Style() const { return style_; }

    // Moves every point by (dx, dy) in map units; Update writes the move back.
    void Offset(double dx, double dy);

    // Writes parts and style back to the feature's layer; with updateTable,
    // also rowValues as its data row (and as the carried row). Throws
    // GisError when the feature is detached or no longer in its layer.
    void Update();
    void Update(bool updateTable, const RowValues& rowValues);

    // The layer the feature was read from, or nullptr when detached or when
    // that layer has been removed from its map. The feature may have been
    // deleted from it since; isInLayer tells.
    gis::Layer* Layer() const;
    bool isInLayer() const;

    // A detached copy: same type, parts, style and carried row, no key, no layer.
    Feature clone() const;

    const std::vector<std::string>& carriedRow() const { return row_; }
    void setCarriedRow(std::vector<std::string> row) { row_ = std::move(row); }

    // The layer-independent number behind FeatureKey (0 when detached).
    std::uint32_t id() const { return id_; }

private:
    friend class Layer;

    FeatureType type_ = FeatureType::Symbol;
    bool null_ = true;
    gis::Style style_;
    gis::Parts parts_;
    std::string key_;
    std::uint32_t id_ = 0;
    std::weak_ptr<gis::Layer> layer_;
    std::vector<std::string> row_;
};

// Makes detached features, ready to be added to a layer.
struct FeatureFactory {
    static Feature CreateSymbol(const Point& point, const Style& style);
    static Feature CreateLine(const Points& points, const Style& style);
    static Feature CreateLine(const Parts& parts, const Style& style);
    // A region whose one ring runs round the rectangle: (xmin, ymin),
    // (xmax, ymin), (xmax, ymax), (xmin, ymax).
    static Feature CreateRegion(const Rectangle& rect, const Style& style);
    static Feature CreateRegion(const Parts& rings, const Style& style);
};

} // namespace ocable::gis
