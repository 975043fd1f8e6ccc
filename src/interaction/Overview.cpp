#include "interaction/Overview.h"

#include "core/Log.h"
#include "core/ViewContext.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/gis/MapWidget.h"

#include <algorithm>

namespace ocable {

namespace {
constexpr const char* kOutlineLayer = "wewew";
// Map2's own tool: a point tool that does nothing by itself.
constexpr int kOverviewTool = 10;

gis::Points ring(double xmin, double ymin, double xmax, double ymax) {
    return gis::Points{{xmin, ymin}, {xmax, ymin}, {xmax, ymax}, {xmin, ymax}};
}
} // namespace

void Overview::connectSignals(QObject* context) {
    gis::Map& overview = view_.Map2->map();
    overview.CreateCustomTool(kOverviewTool, gis::ToolType::Point, 0);
    overview.setCurrentTool(kOverviewTool);
    QObject::connect(view_.Map1, &gis::MapWidget::MapViewChanged, context,
                     [this] { guarded("更新鹰眼图", [&] { updateOverview(); }); });
    QObject::connect(view_.Map2, &gis::MapWidget::MouseDown, context,
                     [this](int b, int s, double x, double y) {
                         guarded("鹰眼图定位", [&] { overviewClick(b, s, x, y); });
                     });
}

void Overview::updateOverview() {
    gis::Map& overview = view_.Map2->map();
    gis::Map& network = *view_.map;
    const int n = overview.Layers().Count();
    for (int i = 1; i < n; ++i)
        overview.Layers().Remove(1);
    gis::Layer& layer = overview.Layers().CreateLayer(kOutlineLayer, 1, {}, gis::LayerKind::Region);
    layer.setAutoLabel(false);
    gis::Style style;
    style.RegionPattern = 0;
    style.RegionBorderColor = 255;
    style.RegionBorderWidth = 2;

    const gis::Rectangle shown = network.Bounds();
    const gis::Rectangle frame = overview.Bounds();
    const double xmin = std::max(shown.xmin, frame.xmin), xmax = std::min(shown.xmax, frame.xmax);
    const double ymin = std::max(shown.ymin, frame.ymin), ymax = std::min(shown.ymax, frame.ymax);
    gis::Parts clipped, whole;
    clipped.Add(ring(xmin, ymin, xmax, ymax));
    whole.Add(ring(frame.xmin, frame.ymin, frame.xmax, frame.ymax));
    layer.BeginAccess(gis::AccessMode::ReadWrite);
    layer.AddFeature(gis::FeatureFactory::CreateRegion(clipped, style));
    layer.AddFeature(gis::FeatureFactory::CreateRegion(whole, style));
    layer.EndAccess();
}

void Overview::overviewClick(int, int, double x, double y) {
    const gis::Point at = view_.Map2->map().screenToMap(QPointF(x, y));
    view_.map->setCenter(at.x, at.y);
}

} // namespace ocable
