#include "interaction/MapSelection.h"

#include "core/NetworkVocabulary.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"

#include <vector>

namespace ocable {

LayerNames layerNames(std::initializer_list<const char*> names) {
    LayerNames out;
    for (const char* n : names)
        out.Add(n, n);
    return out;
}

const LayerNames& stationLayers() {
    static const LayerNames names = layerNames({vocab::kLayerTerminal, vocab::kLayerOtherStation});
    return names;
}

const LayerNames& stationAndCableLayers() {
    static const LayerNames names = layerNames(
        {vocab::kLayerTerminal, vocab::kLayerOtherStation, vocab::kLayerCable, vocab::kLayerBackbone});
    return names;
}

bool isCollectionKey(const LayerNames& collection, const std::string& key) {
    return collection.find(key) != nullptr;
}

gis::Feature getSingleSelectedFeature(gis::Map& map, const LayerNames& layers) {
    gis::Feature found;
    int count = 0;
    for (int i = 1; i <= map.Layers().Count(); ++i) {
        gis::Layer& layer = map.Layers().Item(i);
        if (!isCollectionKey(layers, layer.Name())) continue;
        const gis::Selection& selection = layer.Selection();
        const int n = selection.Count();
        if (n == 0) continue;
        count += n;
        if (count > 1) return {};
        found = selection.Item(1);
    }
    return count == 1 ? found : gis::Feature{};
}

std::string rowValue(gis::Map& map, const gis::Feature& feature, int column) {
    gis::Layer* layer = feature.Layer();
    if (!layer) return {};
    return map.Datasets().Item(layer->Name()).Value(feature, column);
}

void clearAllSelections(gis::Map& map) {
    for (int i = 1; i <= map.Layers().Count(); ++i)
        map.Layers().Item(i).Selection().ClearSelection();
}

gis::Feature singleSelectedStation(gis::Map& map) {
    gis::Selection& terminal = map.Layers().Item(vocab::kLayerTerminal).Selection();
    gis::Selection& other = map.Layers().Item(vocab::kLayerOtherStation).Selection();
    if (terminal.Count() == 1 && other.Count() == 0) return terminal.Item(1);
    if (terminal.Count() == 0 && other.Count() == 1) return other.Item(1);
    return {};
}

} // namespace ocable
