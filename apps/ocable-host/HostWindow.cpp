#include "HostWindow.h"

#include "platform/ui/MdiEmbedding.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>

namespace ocable::hostapp {

HostWindow::HostWindow(std::function<void()> openOcableView, QWidget* parent)
    : QMainWindow(parent), area_(new QMdiArea(this)) {
    setObjectName("hostWindow");
    setWindowTitle(QStringLiteral("传输网络管理系统"));
    area_->setObjectName("mdiArea");
    area_->setViewMode(QMdiArea::SubWindowView);
    area_->setBackground(QColor(96, 110, 130));
    setCentralWidget(area_);
    ui::MdiEmbedding::setHostArea(area_);

    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    QAction* quit = file->addAction(QStringLiteral("退出(&X)"));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* views = menuBar()->addMenu(QStringLiteral("视图(&V)"));
    QAction* ocable = views->addAction(QStringLiteral("光缆网络分布图"));
    ocable->setObjectName("viewOcable");
    connect(ocable, &QAction::triggered, this, [openOcableView] { openOcableView(); });

    windowMenu_ = menuBar()->addMenu(QStringLiteral("窗口(&W)"));
    connect(windowMenu_, &QMenu::aboutToShow, this, &HostWindow::refreshWindowMenu);
    refreshWindowMenu();
    statusBar()->showMessage(QStringLiteral("就绪"));
}

void HostWindow::closeEvent(QCloseEvent* event) {
    area_->closeAllSubWindows();
    if (!area_->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    event->accept();
}

void HostWindow::refreshWindowMenu() {
    windowMenu_->clear();
    windowMenu_->addAction(QStringLiteral("层叠"), area_, &QMdiArea::cascadeSubWindows);
    windowMenu_->addAction(QStringLiteral("平铺"), area_, &QMdiArea::tileSubWindows);
    windowMenu_->addSeparator();
    for (QMdiSubWindow* sub : area_->subWindowList()) {
        QAction* a = windowMenu_->addAction(sub->windowTitle());
        a->setCheckable(true);
        a->setChecked(sub == area_->activeSubWindow());
        connect(a, &QAction::triggered, area_, [this, sub] { area_->setActiveSubWindow(sub); });
    }
}

} // namespace ocable::hostapp
