#pragma once

#include "platform/gis/Feature.h"
#include "platform/gis/FeatureSet.h"
#include "platform/gis/FeatureStore.h"
#include "platform/gis/Geometry.h"
#include "platform/gis/RowValues.h"
#include "platform/gis/Selection.h"
#include "platform/gis/Style.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ocable::gis {

class Map;

// What a layer is meant to hold; it decides the default style's use and
// the geometry type of saved data. A layer accepts features of any type.
enum class LayerKind { Symbol, Line, Region, Mixed };

// Batched access: Read = 0, ReadWrite = 1 (both batch change reports).
enum class AccessMode { Read = 0, ReadWrite = 1 };

// Units of SearchWithinDistance. Pixel measures on the screen at the map's
// current view, the others on the ground.
enum class DistanceUnit { Mile = 0, Kilometre = 1, Metre = 7, Pixel = 10, Degree = 13 };

// Which features SearchWithinDistance and SearchWithinRectangle return:
// those whose centre lies within (0), those any part of which lies within,
// such as a line passing by (1), or those lying entirely within (2).
enum class SearchType { CentroidWithin = 0, PartiallyWithin = 1, EntirelyWithin = 2 };

// One layer of a map: its features in compact storage, their data rows
// (the layer's columns, column 1 being the label), its selection, its
// display settings and its indexes.
//
// Edits made between BeginAccess and EndAccess are reported to the map (and
// so redrawn) once, at EndAccess; outside a batch each edit is reported on
// its own. Batches nest.
class Layer : public std::enable_shared_from_this<Layer> {
public:
    Layer(Map* map, std::string name, std::vector<std::string> columns, LayerKind kind);
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    const std::string& Name() const { return name_; }
    LayerKind kind() const { return kind_; }
    Map* map() const { return map_; }

    bool Visible() const { return visible_; }
    void setVisible(bool visible);
    bool AutoLabel() const { return autoLabel_; }
    void setAutoLabel(bool on);
    // Whether the map's select tools pick features of this layer.
    bool Selectable() const { return selectable_; }
    void setSelectable(bool on) { selectable_ = on; }
    const gis::LabelStyle& LabelStyle() const { return labelStyle_; }
    void setLabelStyle(const gis::LabelStyle& style);
    // The style a geoset gives the layer: features saved without a style of
    // their own get it back when loaded.
    const gis::Style& defaultStyle() const { return defaultStyle_; }
    void setDefaultStyle(const gis::Style& style) { defaultStyle_ = style; }

    // The data columns; column 1 is the label, column 2 usually the code.
    const std::vector<std::string>& columns() const { return columns_; }
    // 1-based position of a column by name in any letter case; 0 when absent.
    int columnIndex(std::string_view name) const;

    gis::Selection& Selection() { return selection_; }
    const gis::Selection& Selection() const { return selection_; }

    // Attribute search: terms Column = "value" joined by OR, as described in
    // SearchExpression.h. Each term is answered from the column's hash index.
    FeatureSet Search(std::string_view expression) const;
    // The same answer as Search, found by reading every row: the reference
    // the index is checked and measured against.
    FeatureSet searchByScan(std::string_view expression) const;
    FeatureSet SearchWithinDistance(const Point& point, double distance, DistanceUnit unit,
                                    SearchType type) const;
    FeatureSet SearchWithinRectangle(const Rectangle& rect, SearchType type) const;
    FeatureSet AllFeatures() const;
    int featureCount() const { return static_cast<int>(store_.size()); }

    void BeginAccess(AccessMode mode = AccessMode::ReadWrite);
    void EndAccess(); // an EndAccess without a BeginAccess does nothing
    bool inBatch() const { return batchDepth_ > 0; }

    // Stores a copy of f under a new key and returns it as stored. The row
    // is rowValues when given, else the row f carries (by column position).
    // Throws GisError for a null feature or a geometry its type cannot have
    // (a line needs two points, a region a ring of three).
    Feature AddFeature(const Feature& f);
    Feature AddFeature(const Feature& f, const RowValues& rowValues);
    // Throws GisError when the feature is not (or no longer) in this layer.
    void DeleteFeature(const Feature& f);
    void DeleteFeature(std::string_view key);
    // Writes f's parts and style (and rowValues) over the stored feature with
    // f's key and returns the stored feature.
    Feature UpdateFeature(const Feature& f);
    Feature UpdateFeature(const Feature& f, const RowValues& rowValues);
    // Throws GisError when no feature has the key.
    Feature GetFeatureByKey(std::string_view key) const;
    // Asks the map to redraw the layer.
    void Refresh();

    // The smallest rectangle holding every feature; a default Rectangle when empty.
    Rectangle Bounds() const { return store_.extent(); }

    // For the renderer, the select tools and the datasets.
    const FeatureStore& store() const { return store_; }
    Feature featureAtSlot(FeatureStore::Slot slot) const;
    // The live feature with this id, or a null feature when it is gone.
    Feature featureById(std::uint32_t id) const;
    bool containsId(std::uint32_t id) const { return store_.find(id) != FeatureStore::kNone; }
    // Live value of the 0-based column of feature id, or nullptr when gone.
    const std::string* valueOf(std::uint32_t id, std::size_t column) const;

private:
    friend class Layers;
    friend class gis::Selection;
    struct Pending {
        int added = 0;
        int deleted = 0;
        int updated = 0;
        bool selection = false;
        bool redraw = false;
    };

    std::uint32_t checkedSlot(const Feature& f, const char* action) const;
    void writeRow(FeatureStore::Slot slot, const std::vector<std::string>& values);
    void report(const Pending& change);
    void reportUpdate(std::uint32_t id);
    void flush();
    void maybeCompact();
    void detachFromMap() { map_ = nullptr; }

    Map* map_;
    std::string name_;
    std::vector<std::string> columns_;
    LayerKind kind_;
    bool visible_ = true;
    bool autoLabel_ = false;
    bool selectable_ = true;
    gis::LabelStyle labelStyle_;
    gis::Style defaultStyle_;
    FeatureStore store_;
    gis::Selection selection_;
    int batchDepth_ = 0;
    Pending pending_;
    // The updated features of pending_, while they are few enough to name:
    // a view that follows one dragged feature repaints only where it moved.
    std::vector<std::uint32_t> pendingUpdatedIds_;
};

// The key text of a feature id, and back (0 when the text is not a key).
std::string keyOfId(std::uint32_t id);
std::uint32_t idOfKey(std::string_view key);

} // namespace ocable::gis
