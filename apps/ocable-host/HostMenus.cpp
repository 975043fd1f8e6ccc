#include "HostMenus.h"

#include "Automation.h"

#include "platform/ui/ActiveBar.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

namespace ocable::hostapp {

namespace {

// The open view: one closed in the same pass of the event loop is still
// among the widgets until its deferred delete runs.
QWidget* mapView() {
    return qobject_cast<QWidget*>(findNamed(QStringLiteral("frmViewOcableMain")));
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
    // Finding, measuring and the line window: tools of the view's command band.
    tools->addSeparator();
    const struct {
        const char* name;
        const char* text;
        const char* key;
        QKeySequence shortcut;
    } commands[] = {{"toolFindRes", "查找资源", "mnuFindRes", QKeySequence(Qt::CTRL | Qt::Key_F)},
                    {"toolGetLength", "统计光缆长度", "mnuGetLength", {}},
                    {"toolXY", "计算两点距离", "mnuXY", {}},
                    {"toolLineinfo", "骨干光缆线路信息", "mnuLineinfo", {}}};
    for (const auto& c : commands) {
        QAction* action = tools->addAction(QString::fromUtf8(c.text));
        action->setObjectName(c.name);
        action->setShortcut(c.shortcut);
        QObject::connect(action, &QAction::triggered, &frame, [key = c.key] { clickViewCommand(key); });
    }
}

} // namespace ocable::hostapp
