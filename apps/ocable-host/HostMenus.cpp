#include "HostMenus.h"

#include "platform/ui/ActiveBar.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

namespace ocable::hostapp {

namespace {

QWidget* mapView() {
    for (QWidget* w : QApplication::allWidgets())
        if (w->objectName() == "frmViewOcableMain") return w;
    return nullptr;
}

void clickViewCommand(const char* key) {
    QWidget* view = mapView();
    if (auto* bar = view ? view->findChild<ui::ActiveBar*>("ActiveBarMenu") : nullptr)
        bar->clickTool("mnuCommands", key);
}

} // namespace

void addMapToolsMenu(QMainWindow& frame) {
    QMenu* tools = frame.menuBar()->addMenu(QStringLiteral("工具(&T)"));
    QAction* point = tools->addAction(QStringLiteral("局站位置调整"));
    point->setObjectName("toolStationPoint");
    QObject::connect(point, &QAction::triggered, &frame, [] {
        // The view sets blnSetStation, shows the dialog for its one selected
        // station and clears the flag again when the dialog closes.
        if (QWidget* view = mapView()) QMetaObject::invokeMethod(view, "showStationPointDialog");
    });
    QAction* fibers = tools->addAction(QStringLiteral("光纤信息"));
    fibers->setObjectName("toolFiber");
    QObject::connect(fibers, &QAction::triggered, &frame, [] { clickViewCommand("mnuFiber"); });
    QAction* station = tools->addAction(QStringLiteral("局站传输"));
    station->setObjectName("toolPassTrans");
    QObject::connect(station, &QAction::triggered, &frame, [] { clickViewCommand("mnuPassTrans"); });
}

} // namespace ocable::hostapp
