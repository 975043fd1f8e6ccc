#pragma once

#include "map/FeatureRecords.h"
#include "platform/db/Recordset.h"
#include "resources/clsResTree.h"

#include <memory>
#include <string>
#include <vector>

namespace ocable {

namespace gis {
class Map;
}
namespace ui {
class KeyedTree;
}

// What the main window holds of the drawn network: the map it is drawn on,
// the rows it was drawn from, the saved feature records, the record store and
// the resource tree. The drawing fills it; the interaction code reads it.
struct NetworkState {
    gis::Map* map = nullptr;        // Map1
    ui::KeyedTree* TreeRes = nullptr; // the resource tree, hidden in the main window
    std::vector<std::string> LayerDictionary;

    FeatureRecords stationFeatures;
    FeatureRecords cableFeatures;
    FeatureRecords microwaveFeatures;
    std::unique_ptr<clsResTree> resTree = std::make_unique<clsResTree>();

    std::shared_ptr<db::Recordset> stationRecordset;
    std::shared_ptr<db::Recordset> cableRecordset;

    std::string ruleName;
    std::string scope;
    std::vector<std::string> provinces; // province codes in tree order

    bool drawing = false;
};

} // namespace ocable
