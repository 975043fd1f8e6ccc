#pragma once

// What the drawing needs of a main window, without the window: the five
// network layers with their datasets bound, an empty resource tree and the
// view context over both.

#include "core/NetworkVocabulary.h"
#include "core/ViewContext.h"
#include "map/NetworkDrawing.h"
#include "map/mdlViewMap.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/ui/KeyedTree.h"
#include "support/FakeHost.h"

#include <string>

namespace ocable::test {

// A STATION table as the host declares it, holding one terminal (T1) and one
// other station (O1).
inline void addTwoStations(fake::FakeHost& host) {
    host.exec(R"(CREATE TABLE STATION (STATIONCODE TEXT, STATIONNAME TEXT, LNG REAL, LAT REAL, PROVINCE TEXT,
            X_STATIONTYPE TEXT, STATIONTYPE_II TEXT, STATIONTYPE_III TEXT, STATIONTYPE TEXT);
        INSERT INTO STATION VALUES ('T1', '甲', 116.1, 39.1, '110000', 'ZY010301', NULL, NULL, NULL),
            ('O1', '乙', 116.4, 39.4, '110000', 'ZY010305', NULL, NULL, NULL))");
}

// The five network layers as the network geoset declares them, datasets bound.
inline void addNetworkLayers(gis::Map& map) {
    int position = 1;
    for (const char* name : vocab::kNetworkLayers) {
        const bool stations =
            name == std::string(vocab::kLayerTerminal) || name == std::string(vocab::kLayerOtherStation);
        map.Layers().CreateLayer(name, position++,
                                 {stations ? "StationName" : "Label",
                                  stations ? vocab::kStationCodeColumn : vocab::kCableCodeColumn},
                                 stations ? gis::LayerKind::Symbol : gis::LayerKind::Line);
    }
    mdlViewMap::bindLayerDatasets(map);
}

struct DrawingWindow {
    gis::Map map;
    ui::KeyedTree treeRes;
    ViewContext view;
    DrawingWindow() {
        addNetworkLayers(map);
        view.map = &map;
        view.TreeRes = &treeRes;
        view.LayerDictionary.assign(vocab::kNetworkLayers.begin(), vocab::kNetworkLayers.end());
    }
    std::string remarkOf(const std::string& code) {
        auto* r = view.stationFeatures.find(code);
        return r ? (*r)->remark : "(none)";
    }
    gis::Layer& layer(const char* name) { return map.Layers().Item(name); }
    int count(const char* name) { return layer(name).featureCount(); }
    // Draws the network by administrative area over the given scope.
    bool draw(std::string scope = "NULL") {
        std::string rule = "按管理区域划分";
        return NetworkDrawing(view, {}).drawOcableNetMap(rule, scope);
    }
};

} // namespace ocable::test
