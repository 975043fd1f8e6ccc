#include "ScreenshotStep.h"

#include "Automation.h"

#include "platform/gis/Map.h"
#include "platform/gis/MapWidget.h"
#include "platform/ui/ActiveBar.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include <algorithm>

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
    // Windows of the view that float over the frame (the line window): drawn
    // into the picture at the frame's lower right, under a caption strip.
    for (const QJsonValue name : step["windows"].toArray()) {
        QWidget* window = named(name.toString());
        if (!window || !window->isVisible())
            throw ScriptError("找不到窗口：" + name.toString().toStdString());
        QPainter painter(&picture);
        const int strip = 26, margin = 40;
        const QPoint where(std::max(0, frame->width() - window->width() - margin),
                           std::max(strip, frame->height() - window->height() - margin));
        const QRect caption(where.x(), where.y() - strip, window->width(), strip);
        painter.fillRect(caption, window->palette().color(QPalette::Highlight));
        painter.setPen(window->palette().color(QPalette::HighlightedText));
        painter.drawText(caption.adjusted(8, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         window->windowTitle());
        window->render(&painter, where);
        painter.setPen(window->palette().color(QPalette::Dark));
        painter.drawRect(caption.united(QRect(where, window->size())).adjusted(0, 0, -1, -1));
    }
    // Dialogs are windows of their own, which a picture of the frame leaves
    // out: drawn where they stand above it.
    for (const QJsonValue name : step["dialogs"].toArray()) {
        QWidget* dialog = named(name.toString());
        if (!dialog || !dialog->isVisible())
            throw ScriptError("窗口未显示：" + name.toString().toStdString());
        QPainter painter(&picture);
        const QPoint at = frame->mapFromGlobal(dialog->mapToGlobal(QPoint(0, 0)));
        painter.drawPixmap(at * picture.devicePixelRatio(), dialog->grab());
    }
    if (!picture.save(step["screenshot"].toString()))
        throw ScriptError("无法写入截图：" + step["screenshot"].toString().toStdString());
}

} // namespace ocable::hostapp
