#pragma once

#include <ogr_spatialref.h>

#include <filesystem>
#include <string>

// What the geoset reader and writer agree on about a layer's GeoPackage.
namespace ocable::gis::gpkg {

// The column holding each feature's own style text.
inline constexpr const char* kStyleField = "gst_style";

// Paths are UTF-8 on this system, so the native narrow form is the text.
inline std::string pathText(const std::filesystem::path& p) {
    return p.string();
}

// Longitude first, as the map's x.
inline OGRSpatialReference wgs84() {
    OGRSpatialReference srs;
    srs.importFromEPSG(4326);
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

} // namespace ocable::gis::gpkg
