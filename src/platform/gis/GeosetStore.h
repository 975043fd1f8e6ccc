#pragma once

#include "platform/gis/Feature.h"

#include <filesystem>
#include <string>
#include <vector>

namespace ocable::gis {

class Map;
struct GeosetLayer;

// Reads and writes geosets with their layer data through GDAL/OGR.
//
// Any vector source OGR opens can feed a layer (GeoJSON, Shapefile, MapInfo
// TAB, GeoPackage); coordinates in another reference system are turned into
// WGS84 longitude and latitude. Points become symbols, line strings lines
// (each string a part), polygons regions (each ring a part, closing point
// dropped). A text field "gst_style" holds a feature's own style (see
// styleToText); without it the feature takes its layer's default style.
//
// A layer reads only a local file: a source naming one of GDAL's virtual
// file systems, a URL or a connection text is refused. Features whose
// coordinates are not finite (or absurdly large) are passed over and logged.
//
// Saving writes every layer to one GeoPackage named after the geoset, in
// one transaction, and the .gst text; both go to "<name>.tmp" files first
// and are renamed over the old ones only when complete and on disk, data
// file first. save copies the layers and returns; the copy is written on a
// thread of its own (see GeosetWriter), so a view closes without waiting.
class GeosetStore {
public:
    // Waits for a save still writing first.
    static void load(Map& map, const std::filesystem::path& gst);
    // Throws GisError when the files aside cannot be made; a later failure
    // is logged and reported by finishSaving.
    static void save(Map& map, const std::string& title, const std::filesystem::path& gst);
    // Waits until the last save is on disk; throws GisError when it failed.
    static void finishSaving();

    // The features of one OGR layer, with rows in the given columns
    // (every field when columns is empty; it is then filled in).
    static std::vector<Feature> readFeatures(const std::filesystem::path& source,
                                             const std::string& sourceLayer,
                                             std::vector<std::string>& columns, const Style& defaultStyle);
};

} // namespace ocable::gis
