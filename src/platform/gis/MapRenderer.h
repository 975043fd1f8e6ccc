#pragma once

#include "platform/gis/Geometry.h"
#include "platform/gis/Style.h"
#include "platform/gis/SymbolCache.h"

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPointF>
#include <QRectF>

#include <cstdint>
#include <map>
#include <span>
#include <utility>
#include <vector>

class QPainter;

namespace ocable::gis {

class Map;
class Layer;
class FeatureStore;
class LabelPlacer;

struct RenderOptions {
    bool antialias = true;
    bool labels = true;
    QColor background = QColor(255, 255, 255);
};

// What the last drawing did, for tests and benchmarks.
struct RenderStats {
    int features = 0; // features handed to the painter
    int labels = 0;   // labels drawn
};

// Paints a map's visible layers at the map's current view: bottom layer
// first so that layer 1 ends on top, each layer's regions, then lines, then
// symbols; then the automatic labels, top layer first so that its labels win
// the space. Only features near the view are visited (the layers' spatial
// grids), and within a layer features are drawn style by style so that the
// painter changes pens rarely.
class MapRenderer {
public:
    MapRenderer();
    ~MapRenderer();
    MapRenderer(const MapRenderer&) = delete;
    MapRenderer& operator=(const MapRenderer&) = delete;

    // The layers and labels, without the selection. The painter's device is
    // expected to be map.viewSize() large. The features of leaveOut (ids in
    // increasing order) are not drawn: the picture under a dragged feature.
    void render(const Map& map, QPainter& painter, const RenderOptions& options = {},
                std::span<const std::uint32_t> leaveOut = {});
    // Only the features of ids (in increasing order), layer by layer as
    // render draws them, with their labels placed among themselves. Returns
    // the rectangle of every pixel the drawing may have touched.
    QRectF renderFeatures(const Map& map, QPainter& painter, std::span<const std::uint32_t> ids,
                          const RenderOptions& options = {});
    // The selection highlight, drawn over a rendered picture.
    void renderSelection(const Map& map, QPainter& painter);
    // A whole picture of the map's view: background, layers, labels, selection.
    QImage renderImage(const Map& map, const RenderOptions& options = {});

    SymbolCache& symbols() { return symbols_; }
    const RenderStats& stats() const { return stats_; }

private:
    struct Bucket {
        std::vector<QLineF> lines;
        std::vector<QPointF> points;
        std::vector<std::uint32_t> shapes; // polylines and regions, by slot
    };

    // Which features a drawing visits: all but leaveOut, or only the listed
    // ones; touched, when given, collects the drawn pixels' rectangle.
    struct Filter {
        std::span<const std::uint32_t> leaveOut;
        std::span<const std::uint32_t> only;
        bool onlyListed = false;
        QRectF* touched = nullptr;
    };

    template <class Visit>
    static void forEachDrawn(const FeatureStore& store, const Rectangle& area, const Filter& filter,
                             Visit&& visit);
    void drawLayers(const Map& map, QPainter& painter, const RenderOptions& options, const Filter& filter);
    void drawLayer(const Map& map, const Layer& layer, QPainter& painter, const Filter& filter);
    void drawLabels(const Map& map, const Layer& layer, QPainter& painter, LabelPlacer& placer,
                    const Filter& filter);
    void drawSymbols(QPainter& painter, const Style& style, const std::vector<QPointF>& points,
                     QRectF* touched);
    const QImage& dotImage(Color color, int size);
    void drawSegments(QPainter& painter, const std::vector<QLineF>& lines, const Style& style);
    static constexpr int kMaxStrandWidth = 4;

    SymbolCache symbols_;
    RenderStats stats_;
    std::vector<Bucket> buckets_; // by style index, reused between drawings
    std::map<std::pair<Color, int>, QImage> dots_;
    std::vector<QLineF> strands_;
};

} // namespace ocable::gis
