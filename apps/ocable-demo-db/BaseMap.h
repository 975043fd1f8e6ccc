#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace ocable::demo {

struct GeoPoint {
    double lng = 0;
    double lat = 0;
};

using GeoRing = std::vector<GeoPoint>;

struct GeoPolygon {
    GeoRing outer;
    std::vector<GeoRing> holes;
    double minLng = 0, minLat = 0, maxLng = 0, maxLat = 0;
};

struct District {
    std::string name;   // "中原区"
    std::string gbcode; // "410102"
};

struct City {
    std::string name;       // "郑州市"
    std::string shortName;  // "郑州"
    std::string gbcode;     // "410100"
    std::string provinceGb; // "410000"
    std::string regionCode; // "XZ011601"
    GeoPoint seat;
    std::vector<District> districts; // in GB order; may be empty
};

struct Province {
    std::string name;       // "河南省"
    std::string shortName;  // "河南"
    std::string gbcode;     // "410000"
    std::string regionCode; // "XZ0116"
    std::vector<GeoPolygon> polygons;
    std::vector<std::size_t> cities; // indexes into BaseMap::cities, in GB order

    bool contains(GeoPoint p) const;
};

// The committed base-map files of data/basemap, in GB/T 2260 order.
struct BaseMap {
    std::vector<Province> provinces;
    std::vector<City> cities;

    const Province& provinceOf(const City& city) const;
    const Province* provinceByRegion(const std::string& regionCode) const;
};

// Reads provinces.geojson, cities.csv and districts.csv from the folder.
// Throws std::runtime_error when a file is missing or malformed.
BaseMap loadBaseMap(const std::filesystem::path& folder);

// Even-odd test of a point against one ring.
bool ringContains(const GeoRing& ring, GeoPoint p);

} // namespace ocable::demo
