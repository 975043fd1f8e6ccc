#include "AlarmListWindow.h"

#include "AlarmBoard.h"
#include "Automation.h"

#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ocable::hostapp {

AlarmListWindow::AlarmListWindow(AlarmBoard& board, QWidget* parent) : QWidget(parent), board_(board) {
    setObjectName("hostAlarmList");
    setWindowTitle(QStringLiteral("告警列表"));
    table_ = new QTableWidget(0, 4, this);
    table_->setObjectName("tblAlarms");
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("时间"), QStringLiteral("局站"), QStringLiteral("级别"), QStringLiteral("告警内容")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setColumnWidth(0, 150);
    table_->setColumnWidth(1, 240);
    table_->setColumnWidth(2, 60);
    status_ = new QLabel(this);
    status_->setObjectName("lblAlarmStatus");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(status_);
    layout->addWidget(table_);
    connect(&board, &AlarmBoard::changed, this, &AlarmListWindow::refresh);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        const QTableWidgetItem* item = table_->item(row, 1);
        QObject* view = findNamed(QStringLiteral("frmViewOcableMain"));
        if (!item || !view) return;
        bool found = false;
        QMetaObject::invokeMethod(view, "locateStation", Q_RETURN_ARG(bool, found),
                                  Q_ARG(QString, item->data(Qt::UserRole).toString()));
    });
    refresh();
}

void AlarmListWindow::refresh() {
    const auto& alarms = board_.active();
    table_->setRowCount(static_cast<int>(alarms.size()));
    int row = 0;
    for (auto entry = alarms.rbegin(); entry != alarms.rend(); ++entry, ++row) {
        const ActiveAlarm* a = &entry->second;
        auto* station = new QTableWidgetItem(board_.stationName(a->station));
        station->setData(Qt::UserRole, a->station);
        auto* severity = new QTableWidgetItem(severityText(a->level));
        severity->setForeground(a->level >= 4 ? QColor(200, 0, 0) : QColor(Qt::black));
        table_->setItem(row, 0, new QTableWidgetItem(a->time));
        table_->setItem(row, 1, station);
        table_->setItem(row, 2, severity);
        table_->setItem(row, 3, new QTableWidgetItem(a->text));
    }
    status_->setText(QStringLiteral("当前告警 %1 条").arg(alarms.size()) +
                     (board_.soundPaused() ? QStringLiteral("，告警声音已暂停") : QString()));
}

AlarmListWindow* AlarmListWindow::install(QMainWindow& frame, AlarmBoard& board) {
    auto* list = new AlarmListWindow(board);
    auto* dock = new QDockWidget(list->windowTitle(), &frame);
    dock->setObjectName("hostAlarmDock");
    dock->setWidget(list);
    frame.addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->hide();

    QMenu* menu = frame.menuBar()->addMenu(QStringLiteral("告警(&A)"));
    QAction* clear = menu->addAction(QStringLiteral("清除告警"));
    clear->setObjectName("alarmClear");
    QObject::connect(clear, &QAction::triggered, &board, [&board] { board.clearAll(); });
    QAction* show = dock->toggleViewAction();
    show->setText(QStringLiteral("告警列表"));
    show->setObjectName("alarmList");
    menu->addAction(show);
    QAction* pause = menu->addAction(QStringLiteral("告警声音暂停"));
    pause->setObjectName("alarmStopSound");
    pause->setCheckable(true);
    QObject::connect(pause, &QAction::toggled, &board, [&board](bool on) { board.setSoundPaused(on); });
    QObject::connect(&board, &AlarmBoard::soundPausedChanged, pause, &QAction::setChecked);
    return list;
}

} // namespace ocable::hostapp
