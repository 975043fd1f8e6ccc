#include "platform/gis/Map.h"

#include "platform/gis/GeosetStore.h"
#include "platform/gis/GisError.h"
#include "platform/gis/GisLog.h"

#include <GeographicLib/Geodesic.hpp>

#include <cmath>
#include <limits>

namespace ocable::gis {

Map::Map(QObject* parent) : QObject(parent) {}

Map::~Map() = default;

void Map::setCenter(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) {
        qCWarning(lcGis) << "地图中心不是有限数，视图不变:" << x << y;
        return;
    }
    const Viewport before = view_;
    view_.setCenter(x, y);
    if (view_ != before) emit viewChanged();
}

void Map::setZoom(double width) {
    if (std::isnan(width)) {
        qCWarning(lcGis) << "地图宽度不是数，视图不变";
        return;
    }
    if (width <= 0) throw GisError("地图宽度必须大于 0");
    view_.setScale(width / view_.size().width()); // infinity: the widest view
    emit viewChanged();
}

void Map::setBounds(const Rectangle& r) {
    if (!std::isfinite(r.xmin) || !std::isfinite(r.xmax) || !std::isfinite(r.ymin) ||
        !std::isfinite(r.ymax)) {
        qCWarning(lcGis) << "地图范围不是有限数，视图不变:" << r.xmin << r.ymin << r.xmax << r.ymax;
        return;
    }
    view_.fit(r);
    emit viewChanged();
}

void Map::zoomAt(double factor, QPointF anchor) {
    const Viewport before = view_;
    view_.zoomAt(factor, anchor);
    if (view_ != before) emit viewChanged();
}

void Map::setViewSize(QSize size) {
    if (size == view_.size()) return;
    view_.setSize(size);
    emit viewChanged();
}

void Map::setViewport(const Viewport& v) {
    if (v == view_) return;
    view_ = v;
    emit viewChanged();
}

void Map::ConvertCoord(double& screenX, double& screenY, double& mapX, double& mapY,
                       ConvertDirection direction) const {
    if (direction == ConvertDirection::ScreenToMap) {
        const Point p = view_.toMap({screenX, screenY});
        mapX = p.x;
        mapY = p.y;
    } else {
        const QPointF s = view_.toScreen({mapX, mapY});
        screenX = s.x();
        screenY = s.y();
    }
}

double Map::Distance(double x1, double y1, double x2, double y2) const {
    // No distance to a point that is not on the earth.
    if (!isPlaceable(Point(x1, y1)) || !isPlaceable(Point(x2, y2)) || std::abs(y1) > 90 || std::abs(y2) > 90)
        return std::numeric_limits<double>::quiet_NaN();
    double metres = 0;
    // GeographicLib takes latitude first.
    GeographicLib::Geodesic::WGS84().Inverse(y1, x1, y2, x2, metres);
    return metres / 1000.0;
}

Rectangle Map::fullExtent() const {
    bool first = true;
    Rectangle all;
    for (const auto& layer : layers_) {
        if (layer->featureCount() == 0 || !layer->store().hasExtent()) continue;
        if (first) {
            all = layer->Bounds();
            first = false;
        } else {
            all.include(layer->Bounds());
        }
    }
    return all;
}

void Map::setCurrentTool(int tool) {
    const bool standard = tool == tools::Pan || tool == tools::ZoomIn || tool == tools::ZoomOut ||
                          tool == tools::Select || tool == tools::RadiusSelect || tool == tools::RectSelect ||
                          tool == tools::PolygonSelect;
    if (!standard && !customTools_.count(tool))
        throw GisError("没有编号为 " + std::to_string(tool) + " 的地图工具");
    if (tool == currentTool_) return;
    currentTool_ = tool;
    emit toolChanged(tool);
}

void Map::CreateCustomTool(int number, ToolType type, int cursor) {
    if (number >= tools::Pan && number <= tools::PolygonSelect)
        throw GisError("工具编号 " + std::to_string(number) + " 属于标准工具");
    customTools_[number] = CustomTool{number, type, cursor};
}

std::optional<CustomTool> Map::customTool(int number) const {
    auto it = customTools_.find(number);
    if (it == customTools_.end()) return std::nullopt;
    return it->second;
}

void Map::loadGeoset(const std::filesystem::path& path) {
    GeosetStore::load(*this, path);
}

void Map::saveGeoset(const std::string& title, const std::filesystem::path& path) {
    GeosetStore::save(*this, title, path);
}

void Map::setSymbolFolder(const std::filesystem::path& folder) {
    if (folder == symbolFolder_) return;
    symbolFolder_ = folder;
    emit symbolFolderChanged();
}

void Map::layerReport(const Layer& layer, int added, int deleted, int updated, bool selection, bool redraw,
                      const std::vector<std::uint32_t>& updatedIds) {
    const QString name = QString::fromStdString(layer.Name());
    if (added) emit featuresAdded(name, added);
    if (deleted) emit featuresDeleted(name, deleted);
    if (updated) emit featuresUpdated(name, updated, updatedIds);
    if (redraw) emit layerRefreshed(name);
    if (selection) emit selectionChanged(name);
}

} // namespace ocable::gis
