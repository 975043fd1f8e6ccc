#include "ScreenshotStep.h"

#include "Automation.h"

#include "platform/gis/Map.h"
#include "platform/gis/MapWidget.h"
#include "platform/ui/ActiveBar.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

namespace ocable::hostapp {

namespace {
QWidget* named(const QString& name) {
    return qobject_cast<QWidget*>(findNamed(name));
}
} // namespace

void screenshotStep(const QJsonObject& step) {
    QApplication::processEvents();
    QWidget* frame = named("hostWindow");
    if (!frame) throw ScriptError("找不到宿主窗口");
    QPixmap picture = frame->grab();
    if (step.contains("popup")) {
        QWidget* view = named("frmViewOcableMain");
        auto* map = view ? view->findChild<gis::MapWidget*>("Map1") : nullptr;
        auto* bar = view ? view->findChild<ui::ActiveBar*>("ActiveBarMenu") : nullptr;
        QMenu* menu = bar ? bar->band("mnuPop").menu.data() : nullptr;
        if (!map || !menu) throw ScriptError("找不到地图或弹出菜单");
        const QJsonObject at = step["popup"].toObject();
        const QPointF pixel = map->map().mapToScreen({at["lng"].toDouble(), at["lat"].toDouble()});
        menu->ensurePolished();
        menu->adjustSize();
        QPainter painter(&picture);
        const QPoint where = map->mapTo(frame, pixel.toPoint()) * picture.devicePixelRatio();
        menu->render(&painter, where);
    }
    if (!picture.save(step["screenshot"].toString()))
        throw ScriptError("无法写入截图：" + step["screenshot"].toString().toStdString());
}

} // namespace ocable::hostapp
