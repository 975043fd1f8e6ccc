#include "interaction/MouseHandler.h"

#include "core/Log.h"
#include "core/NetworkVocabulary.h"
#include "core/ViewContext.h"
#include "interaction/MapCommands.h"
#include "interaction/MapSelection.h"
#include "interaction/PopupCommands.h"
#include "interaction/StationMover.h"
#include "interaction/frmViewStationPoint.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/gis/MapWidget.h"
#include "platform/ui/ActiveBar.h"
#include "platform/ui/MessageBoxService.h"

#include <QMenu>
#include <QTimer>

namespace ocable {

namespace {
constexpr int kLeft = 1;
constexpr int kRight = 2;
constexpr int kMoveTool = 10;
} // namespace

void MouseHandler::connectSignals(QObject* context) {
    QObject::connect(view_.Map1, &gis::MapWidget::MouseDown, context,
                     [this](int b, int s, double x, double y) {
                         guarded("地图鼠标按下", [&] { mouseDown(b, s, x, y); });
                     });
    QObject::connect(view_.Map1, &gis::MapWidget::MouseMove, context,
                     [this](int b, int s, double x, double y) {
                         guarded("地图鼠标移动", [&] { mouseMove(b, s, x, y); });
                     });
    QObject::connect(view_.Map1, &gis::MapWidget::MouseUp, context, [this](int b, int s, double x, double y) {
        guarded("地图鼠标松开", [&] { mouseUp(b, s, x, y); });
    });
    QObject::connect(view_.tmrIntervel, &QTimer::timeout, context,
                     [this] { guarded("拾取局站", [&] { timerTick(); }); });
}

void MouseHandler::mouseDown(int button, int, double x, double y) {
    gis::Map& map = *view_.map;
    if (button == kLeft && map.CurrentTool() == gis::tools::Select && view_.IsDraging) {
        movingFeature_ = {};
        view_.tmrIntervel->start();
        return;
    }
    if (view_.blnSetStation) {
        const gis::Point at = map.screenToMap(QPointF(x, y));
        double lng = at.x, lat = at.y;
        frmViewStationPoint::instance().setFtrPoint(lng, lat);
    }
}

void MouseHandler::timerTick() {
    gis::Map& map = *view_.map;
    for (int i = 1; i <= map.Layers().Count(); ++i) {
        gis::Layer& layer = map.Layers().Item(i);
        if (layer.Name() != vocab::kLayerTerminal && layer.Name() != vocab::kLayerOtherStation) continue;
        if (layer.Selection().Count() != 1) continue;
        movingFeature_ = layer.Selection().Item(1);
        movingStationCode_ = rowValue(map, movingFeature_, 2);
        startLng_ = movingFeature_.CenterX();
        startLat_ = movingFeature_.CenterY();
        map.setCurrentTool(kMoveTool);
        // At whole-country zoom a full drawing takes longer than the mouse
        // waits: the map keeps everything else and repaints only the station
        // until the tool changes back at the release.
        if (view_.Map1) view_.Map1->beginMove({movingFeature_});
        view_.tmrIntervel->stop();
        return;
    }
    // No station selected yet: the timer looks again at its next tick.
}

void MouseHandler::mouseMove(int button, int, double x, double y) {
    gis::Map& map = *view_.map;
    if (!(button & kLeft) || map.CurrentTool() != kMoveTool || movingFeature_.isNull()) return;
    const gis::Point at = map.screenToMap(QPointF(x, y));
    placeAt(movingFeature_, at.x, at.y);
}

void MouseHandler::mouseUp(int button, int shift, double x, double y) {
    gis::Map& map = *view_.map;
    ui::ActiveBar& bar = *view_.activebarMain;
    if (button == kRight) {
        if (view_.IsDraging) {
            view_.IsDraging = false;
            bar.setChecked(bands::kToolbar, "mnu_view_Drag", false);
            return;
        }
        setPopupAvailability();
        openPopup(x, y);
        return;
    }
    if (button == kLeft && map.CurrentTool() == kMoveTool) {
        if (!movingFeature_.isNull()) mover_.confirmMove(movingFeature_, startLng_, startLat_);
        map.setCurrentTool(gis::tools::Select);
    }
    if (button == kLeft && shift == 0 && map.CurrentTool() == gis::tools::Select &&
        bar.bandVisible(bands::kPropertyBand))
        popup_.showSelectedProperty();
}

void MouseHandler::setPopupAvailability() {
    gis::Map& map = *view_.map;
    ui::ActiveBar& menu = *view_.ActiveBarMenu;
    const bool oneStation = !getSingleSelectedFeature(map, stationLayers()).isNull();
    menu.setEnabled(bands::kPopBand, "mnuShowRoom", oneStation);
    menu.setEnabled(bands::kPopBand, "mnu_ShowGX", !oneStation);
    menu.setEnabled(bands::kPopBand, "mnu_ShowGL", !oneStation);
    menu.setEnabled(bands::kPopBand, "mnuProperty",
                    !getSingleSelectedFeature(map, stationAndCableLayers()).isNull());
}

void MouseHandler::openPopup(double x, double y) {
    ++popupCount_;
    // A scripted run answers every box itself; a menu would wait for a person.
    if (ui::MessageBoxService::instance().scripted()) return;
    QMenu* menu = view_.ActiveBarMenu->band(bands::kPopBand).menu;
    if (menu) menu->popup(view_.Map1->mapToGlobal(QPoint(static_cast<int>(x), static_cast<int>(y))));
}

} // namespace ocable
