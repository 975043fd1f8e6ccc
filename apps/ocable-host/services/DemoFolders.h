#pragma once

#include "HostConfig.h"

#include <filesystem>

namespace ocable::hostapp {

// Lays out the host folders the map view reads, from the repository's data/
// folder: the application folder (geosets, base-map data, legend and waiting
// pictures), the custom-symbol folder with the station bitmaps, the system
// folder with guiConfig.ini and the map folder with its layer-file masters.
// The folders are written once per layout version (a stamp file in the
// application folder says which), so a site may edit them afterwards;
// guiConfig.ini is never overwritten.
class DemoFolders {
public:
    static void prepare(const HostConfig& config, const std::filesystem::path& dataDir);

    // The pictures, drawn by our own code.
    static void writeStationSymbols(const std::filesystem::path& symbolDir);
    static void writeLegend(const std::filesystem::path& file);
    static void writeWaitingPicture(const std::filesystem::path& file);
    static void writeGeosets(const std::filesystem::path& mapDir);
};

} // namespace ocable::hostapp
