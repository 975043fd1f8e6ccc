#pragma once

#include "platform/gis/GisError.h"
#include "platform/gis/Map.h"
#include "support/ErrorOf.h"

#include <algorithm>
#include <string>
#include <vector>

// Small named builders for the map tests.
namespace gistest {

using namespace ocable::gis;

// A layer "站点" of symbols with columns 名称, StationCode:
//   S1 (100, 30)   S2 (101, 30)   S3 (102, 31)
inline Layer& stationLayer(Map& map, int position = 1) {
    Layer& layer = map.Layers().CreateLayer("站点", position, {"名称", "StationCode"}, LayerKind::Symbol);
    Style style;
    style.SymbolBitmapSize = 10;
    struct S {
        const char* name;
        const char* code;
        double x, y;
    };
    for (const S& s : {S{"甲站", "S1", 100, 30}, S{"乙站", "S2", 101, 30}, S{"丙站", "S3", 102, 31}})
        layer.AddFeature(FeatureFactory::CreateSymbol({s.x, s.y}, style),
                         RowValues(layer.columns(), {s.name, s.code}));
    return layer;
}

// A layer "线路" of two-point lines with columns Label, OcableCode:
//   C1 S1-S2 (100,30)-(101,30)   C2 S2-S3 (101,30)-(102,31)
inline Layer& cableLayer(Map& map, int position = 1) {
    Layer& layer = map.Layers().CreateLayer("线路", position, {"Label", "OcableCode"}, LayerKind::Line);
    Style style;
    style.LineWidth = 2;
    layer.AddFeature(FeatureFactory::CreateLine(Points{{100, 30}, {101, 30}}, style),
                     RowValues(layer.columns(), {"12", "C1"}));
    layer.AddFeature(FeatureFactory::CreateLine(Points{{101, 30}, {102, 31}}, style),
                     RowValues(layer.columns(), {"7.5", "C2"}));
    return layer;
}

inline std::string codeOf(const Layer& layer, const Feature& f) {
    return *layer.valueOf(f.id(), static_cast<std::size_t>(layer.columnIndex(layer.columns()[1]) - 1));
}

// The codes of a set's features, in the set's order.
inline std::vector<std::string> codesOf(const Layer& layer, const FeatureSet& set) {
    std::vector<std::string> codes;
    for (const Feature& f : set)
        codes.push_back(codeOf(layer, f));
    return codes;
}

// The codes of the layer's selected features, sorted.
inline std::vector<std::string> selectedCodes(const Layer& layer) {
    std::vector<std::string> codes;
    for (int i = 1; i <= layer.Selection().Count(); ++i)
        codes.push_back(codeOf(layer, layer.Selection().Item(i)));
    std::sort(codes.begin(), codes.end());
    return codes;
}

// The message of the map component's error the call throws, or "".
template <class Error = GisError, class Fn> std::string errorOf(Fn&& call) {
    return ocable::testsupport::errorOf<Error>(call);
}

inline std::string sourceData(const std::string& name) {
    return std::string(GIS_TEST_DATA) + "/" + name;
}

} // namespace gistest
