#pragma once

#include "core/FeatureRecords.h"
#include "platform/db/Recordset.h"
#include "platform/gis/Style.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace ocable {

class clsResTree;
namespace gis {
class Map;
}
namespace ui {
class KeyedTree;
}

// Building the network layers of the map from recordsets.
namespace mdlViewMap {

// Deletes every feature of the layer in one batch. Throws when the map has
// no layer of that name.
void clearMapLayers(const std::string& layerName, gis::Map& map);

// Removes every dataset of the map and binds one to each layer, named after it.
void bindLayerDatasets(gis::Map& map);

// Which fields of a recordset a builder reads.
struct SymbolFields {
    std::string lng = "LNG", lat = "LAT", name = "STATIONNAME", code = "STATIONCODE";
};
struct LineFields {
    std::string lngA = "LNG_A", latA = "LAT_A", lngZ = "LNG_Z", latZ = "LAT_Z";
    std::string label = "LENGTH", code = "OCABLECODE";
    std::string nameA = "STATIONNAME_A", nameZ = "STATIONNAME_Z"; // labels of lone backbone segments
};
struct LineLook {
    int width = 1;
    gis::Color color = gis::rgb(0, 0, 0);
    int pattern = 1;
};

// One bitmap symbol per row with both coordinates, row [name, code]. Rows
// whose feature cannot be made are passed over. False when the recordset is
// missing or empty.
bool buildSymbolLayer(db::Recordset* rs, gis::Map& map, const std::string& layerName,
                      const SymbolFields& fields, const std::string& bitmap, int symbolSize,
                      FeatureRecords* records);

// One two-point line per row, row [trimmed label, trimmed code].
bool buildLineLayer(db::Recordset* rs, gis::Map& map, const std::string& layerName, const LineFields& fields,
                    const LineLook& look, FeatureRecords* records);

// Backbone segments grouped by their two end points, kept over the several
// builder runs of one drawing (one per lay mode).
class BackboneGroups {
public:
    // Codes of the segments already drawn between the two points, either way.
    std::vector<std::string>& at(double ax, double ay, double zx, double zy);
    void clear() { groups_.clear(); }

private:
    struct Key {
        double x1, y1, x2, y2;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const;
    };
    std::unordered_map<Key, std::vector<std::string>, KeyHash> groups_;
};

// Like buildLineLayer, but segments sharing both end points share one label
// that counts them, and a lone segment is labelled with its end stations and
// length. Errors are not passed over: they end the caller's drawing.
bool buildBackboneLayer(db::Recordset* rs, gis::Map& map, const std::string& layerName,
                        const LineFields& fields, const LineLook& look, BackboneGroups& groups,
                        FeatureRecords& records);

// End-point normalisation of backbone coordinates: a decimal text longer than
// 10 characters is cut to six decimals.
std::string normaliseCoordinate(const std::string& text);

std::string loneBackboneLabel(const std::string& nameA, const std::string& nameZ, const std::string& length);
std::string groupBackboneLabel(std::size_t count, const std::string& length);

// One tree node per row below parentKey: key parentKey + ":" + code, text name.
void addTreeNodes(db::Recordset* rs, ui::KeyedTree& tree, const std::string& parentKey,
                  const std::string& codeField, const std::string& nameField);

// Every row into the store under prefix + ":" + trimmed code, each column a
// field keyed by its name. The records read their fields from the recordset
// when first asked for them, so it must stay open while the store lives.
void fillRecordStore(const std::shared_ptr<db::Recordset>& rs, clsResTree& store, const std::string& prefix,
                     const std::string& codeField, const std::string& tableName);

} // namespace mdlViewMap
} // namespace ocable
