#pragma once

#include "platform/gis/Geometry.h"
#include "platform/gis/Style.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace ocable::gis {

class Map;

// One layer's features as they stood when a save began, in plain arrays
// that the writer reads on its own thread while the map goes on changing or
// is destroyed. Copying them takes a small part of what writing them takes.
struct LayerSnapshot {
    std::string name;
    std::vector<std::string> columns;
    std::vector<std::string> styleTexts;        // per style of the layer; empty: the layer's default style
    std::vector<FeatureType> types;             // per feature
    std::vector<std::uint32_t> styles;          // per feature, into styleTexts
    std::vector<std::uint32_t> firstPart = {0}; // per feature, into partEnds; one entry more
    std::vector<std::uint32_t> partEnds;        // per part, end offset into points
    std::vector<Point> points;
    // The row values back to back, feature by feature, column by column:
    // one buffer to fill instead of a string to allocate per value.
    std::string texts;
    std::vector<std::size_t> textEnds; // per value, its end in texts

    std::size_t featureCount() const { return types.size(); }
    std::string_view value(std::size_t feature, std::size_t column) const {
        const std::size_t i = feature * columns.size() + column;
        const std::size_t begin = i == 0 ? 0 : textEnds[i - 1];
        return std::string_view(texts).substr(begin, textEnds[i] - begin);
    }
    std::size_t partCount(std::size_t feature) const { return firstPart[feature + 1] - firstPart[feature]; }
    std::span<const Point> part(std::size_t feature, std::size_t index) const;
};

std::vector<LayerSnapshot> snapshotLayers(const Map& map);

// Writes a geoset's data file and text beside the geoset, aside first, and
// puts them in place once both are complete and on disk.
//
// The slow part, writing a quarter of a million features through GDAL,
// runs on a thread of its own, so that closing the map view does not wait
// for it. Whatever can be checked at once (the files aside can be created,
// the text is written) is checked before start returns. The process has one
// writer: a save waits for the one before it, a geoset load waits for a
// save still writing, and the end of the process waits too, so a process
// that ends normally leaves the last save complete; no program need wait
// itself. The wait runs when the Qt application object ends or, without
// one, when the writer ends at exit, before GDAL and PROJ end (instance()).
class GeosetWriter {
public:
    struct Target {
        std::filesystem::path gst;  // the geoset text
        std::filesystem::path data; // its GeoPackage
    };

    static GeosetWriter& instance();
    ~GeosetWriter();
    GeosetWriter(const GeosetWriter&) = delete;
    GeosetWriter& operator=(const GeosetWriter&) = delete;

    // Throws GisError when the files aside cannot be made; a failure later
    // on is logged and kept for wait().
    void start(const Target& target, std::vector<LayerSnapshot> layers, const std::string& geosetText);
    // Waits for the write under way; throws GisError when it failed (once).
    void wait();
    // Waits without throwing; a failure stays logged only.
    void finish() noexcept;

private:
    GeosetWriter();

    std::mutex mutex_; // one caller at a time starts or waits
    std::thread thread_;
    std::exception_ptr failure_;
};

} // namespace ocable::gis
