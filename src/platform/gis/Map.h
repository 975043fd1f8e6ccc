#pragma once

#include "platform/gis/Dataset.h"
#include "platform/gis/Geometry.h"
#include "platform/gis/Layers.h"
#include "platform/gis/Viewport.h"

#include <QObject>
#include <QString>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ocable::gis {

// Standard tool numbers of the map.
namespace tools {
constexpr int Pan = 1001;
constexpr int ZoomIn = 1003;
constexpr int ZoomOut = 1004;
constexpr int Select = 1007;
constexpr int RadiusSelect = 1008;
constexpr int RectSelect = 1009;
constexpr int PolygonSelect = 1010;
} // namespace tools

// Custom tools hand the mouse to the owner and do nothing themselves.
enum class ToolType { Point = 0 };

struct CustomTool {
    int number = 0;
    ToolType type = ToolType::Point;
    int cursor = 0; // see MapWidget for the cursor numbers
};

enum class ConvertDirection { ScreenToMap = 1, MapToScreen = 2 };

// The map component in brief (namespace ocable::gis):
//   Map            layers, datasets, view (CenterX, Bounds, ConvertCoord,
//                  Distance), tools, geosets; signals on every change
//   Layers, Layer  ordered layers: Item by position or name, CreateLayer,
//                  Remove, Move; per layer Search, SearchWithinDistance,
//                  AllFeatures, Selection, BeginAccess/EndAccess,
//                  AddFeature/DeleteFeature/UpdateFeature, label settings
//   Feature        a feature value (detached or read from a layer): type,
//                  key, name, parts, style, Offset, Update, clone;
//                  FeatureFactory makes new ones
//   FeatureSet     search results, Count and 1-based Item
//   Datasets, Dataset, RowValues   column 1/2 (or named) values of rows
//   Style, LabelStyle, Point, Points, Parts, Rectangle   plain values
//   MapWidget      draws a Map and runs the tools; MouseDown/MouseMove/
//                  MouseUp/KeyDown/MapViewChanged signals; event injection
//   MapRenderer    draws a Map into any QPainter (gis-render uses it)
//   LayerControlDialog   the layer dialog
// Failures throw GisError with a message naming what was wrong.
//
// The map model: the ordered layers with their features, the datasets, what
// the window shows, the current tool, and the geoset the map came from.
// It draws nothing; MapWidget draws it and MapRenderer paints it anywhere.
// Every change is announced by a signal so that views can follow.
class Map : public QObject {
    Q_OBJECT
public:
    explicit Map(QObject* parent = nullptr);
    ~Map() override;

    gis::Layers& Layers() { return layers_; }
    const gis::Layers& Layers() const { return layers_; }
    gis::Datasets& Datasets() { return datasets_; }

    // ---- view --------------------------------------------------------
    double CenterX() const { return view_.centerX(); }
    double CenterY() const { return view_.centerY(); }
    void setCenterX(double x) { setCenter(x, CenterY()); }
    void setCenterY(double y) { setCenter(CenterX(), y); }
    void setCenter(double x, double y);
    // Visible width in degrees.
    double Zoom() const { return view_.bounds().Width(); }
    void setZoom(double width);
    // The rectangle the window shows. Setting it fits the rectangle into the
    // window, centred; a rectangle without extent (a single located symbol)
    // centres on its point and keeps the scale.
    Rectangle Bounds() const { return view_.bounds(); }
    void setBounds(const Rectangle& r);
    // Zooms in (factor > 1) or out keeping the map point under anchor fixed.
    void zoomAt(double factor, QPointF anchor);
    // Window size in pixels; the widget sets it, headless users choose it.
    QSize viewSize() const { return view_.size(); }
    void setViewSize(QSize size);
    const Viewport& viewport() const { return view_; }
    void setViewport(const Viewport& v);

    // Screen pixels <-> map coordinates at the current view.
    void ConvertCoord(double& screenX, double& screenY, double& mapX, double& mapY,
                      ConvertDirection direction) const;
    Point screenToMap(QPointF pixel) const { return view_.toMap(pixel); }
    QPointF mapToScreen(const Point& p) const { return view_.toScreen(p); }

    // Geodesic distance on the WGS84 ellipsoid in kilometres between two
    // points given as (longitude, latitude), computed with GeographicLib;
    // NaN for a point off the earth (non-finite, or latitude beyond 90).
    double Distance(double x1, double y1, double x2, double y2) const;

    // The rectangle holding every feature of every layer.
    Rectangle fullExtent() const;

    // ---- tools -------------------------------------------------------
    int CurrentTool() const { return currentTool_; }
    // Throws GisError for a number that is neither standard nor created.
    void setCurrentTool(int tool);
    void CreateCustomTool(int number, ToolType type, int cursor);
    std::optional<CustomTool> customTool(int number) const;

    // ---- geosets and symbols -----------------------------------------
    // Replaces every layer and dataset with the geoset's (see docs/geoset.md).
    void loadGeoset(const std::filesystem::path& path);
    // Writes the geoset and one GeoPackage beside it holding every layer's
    // features; both files are written aside and renamed, so a failure
    // leaves the previous files as they were.
    void saveGeoset(const std::string& title, const std::filesystem::path& path);
    const std::string& title() const { return title_; }
    void setTitle(const std::string& title) { title_ = title; }
    // Folder of the bitmap symbols; bitmap names are matched in any letter case.
    const std::filesystem::path& symbolFolder() const { return symbolFolder_; }
    void setSymbolFolder(const std::filesystem::path& folder);

    // The id the next added feature gets; ids are unique in the map.
    std::uint32_t nextFeatureId() { return ++lastId_; }

signals:
    void layersChanged(); // added, removed, moved, shown, hidden, relabelled
    void featuresAdded(const QString& layer, int count);
    void featuresDeleted(const QString& layer, int count);
    // ids names the updated features when they are at most 64, else it is empty.
    void featuresUpdated(const QString& layer, int count, const std::vector<std::uint32_t>& ids);
    void layerRefreshed(const QString& layer);
    void selectionChanged(const QString& layer);
    void viewChanged();
    void toolChanged(int tool);
    void symbolFolderChanged();

private:
    friend class Layer;
    friend class gis::Layers;
    void layerReport(const Layer& layer, int added, int deleted, int updated, bool selection, bool redraw,
                     const std::vector<std::uint32_t>& updatedIds);
    void layerSettingsChanged() { emit layersChanged(); }

    gis::Layers layers_{this};
    gis::Datasets datasets_;
    Viewport view_;
    int currentTool_ = tools::Select;
    std::map<int, CustomTool> customTools_;
    std::string title_;
    std::filesystem::path symbolFolder_;
    std::uint32_t lastId_ = 0;
};

} // namespace ocable::gis
