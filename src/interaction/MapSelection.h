#pragma once

#include "core/KeyedCollection.h"
#include "platform/gis/Feature.h"

#include <initializer_list>
#include <string>

namespace ocable {

namespace gis {
class Map;
}

// A set of layer names, keyed by the names themselves.
using LayerNames = KeyedCollection<std::string>;
LayerNames layerNames(std::initializer_list<const char*> names);
// The two station layers, and those two with the two cable layers.
const LayerNames& stationLayers();
const LayerNames& stationAndCableLayers();

// The one feature selected over the named layers of the map; a null feature
// when none or several are selected (also when they lie in different layers).
gis::Feature getSingleSelectedFeature(gis::Map& map, const LayerNames& layers);
bool isCollectionKey(const LayerNames& collection, const std::string& key);

// Column 1 (name) or 2 (code) of the feature's row in its layer's dataset.
std::string rowValue(gis::Map& map, const gis::Feature& feature, int column);
void clearAllSelections(gis::Map& map);

// The station picked by the rule of the station-room command: exactly one
// selected in the terminal layer and none in the other, or the reverse.
gis::Feature singleSelectedStation(gis::Map& map);

} // namespace ocable
