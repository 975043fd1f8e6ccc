#include "platform/ui/MdiEmbedding.h"

#include "platform/ui/UiLog.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace ocable::ui {

namespace {
QPointer<QMdiArea>& area() {
    static QPointer<QMdiArea> a;
    return a;
}
} // namespace

void MdiEmbedding::setHostArea(QMdiArea* a) {
    area() = a;
}

QMdiArea* MdiEmbedding::hostArea() {
    return area();
}

QMdiSubWindow* MdiEmbedding::embed(QWidget* window, int mode) {
    if (mode != 2 || !window || !area()) {
        // The view then stands as a window of its own; say why.
        qCWarning(lcUi) << "窗口未嵌入主框架:"
                        << (mode != 2 ? "嵌入方式不是 2"
                            : !window ? "没有窗口"
                                      : "主框架未设置")
                        << mode;
        return nullptr;
    }
    if (auto* existing = subWindowOf(window)) return existing;
    QMdiSubWindow* sub = area()->addSubWindow(window);
    sub->setWindowTitle(window->windowTitle());
    // Closing the sub-window closes the window inside, which may refuse;
    // once closed, the sub-window leaves the frame.
    sub->setAttribute(Qt::WA_DeleteOnClose, true);
    // The view deletes itself once its close is accepted; its frame goes with
    // it. Checked later, because the view also goes when the frame deletes it.
    QObject::connect(window, &QObject::destroyed, area(), [frame = QPointer<QMdiSubWindow>(sub)] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [frame] {
                if (frame && !frame->widget()) frame->deleteLater();
            },
            Qt::QueuedConnection);
    });
    return sub;
}

QMdiSubWindow* MdiEmbedding::subWindowOf(QWidget* window) {
    for (QWidget* w = window ? window->parentWidget() : nullptr; w; w = w->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) return sub;
    return nullptr;
}

} // namespace ocable::ui
