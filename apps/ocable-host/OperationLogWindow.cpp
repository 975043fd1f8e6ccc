#include "OperationLogWindow.h"

#include "host/IDataAccess.h"

#include <QHeaderView>
#include <QLoggingCategory>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ocable::hostapp {

namespace {
Q_LOGGING_CATEGORY(lcOperationLog, "ocable.host")

constexpr const char* kColumns[] = {"OPTIME", "USERNAME", "OPCODE", "OPCONTENT", "OBJECTCODE"};
constexpr const char* kCaptions[] = {"时间", "用户", "操作代码", "操作内容", "对象"};
} // namespace

OperationLogWindow::OperationLogWindow(host::IDataAccess& data, QWidget* parent)
    : QWidget(parent, Qt::Window), data_(data), grid_(new QTableWidget(this)) {
    setObjectName("frmOperationLog");
    setWindowTitle(QStringLiteral("操作日志"));
    grid_->setObjectName("grdLog");
    grid_->setColumnCount(static_cast<int>(std::size(kCaptions)));
    QStringList captions;
    for (const char* c : kCaptions)
        captions << QString::fromUtf8(c);
    grid_->setHorizontalHeaderLabels(captions);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->verticalHeader()->setVisible(false);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* refresh = new QPushButton(QStringLiteral("刷新"));
    refresh->setObjectName("cmdRefresh");
    connect(refresh, &QPushButton::clicked, this, &OperationLogWindow::reload);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addWidget(refresh, 0, Qt::AlignRight);
    resize(720, 360);
    reload();
}

void OperationLogWindow::reload() {
    grid_->setRowCount(0);
    try {
        auto rs = data_.openRecordset("systemDB", "SELECT * FROM OPERATIONLOG ORDER BY LOGID DESC", 0);
        if (!rs) return;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
            const int row = grid_->rowCount();
            grid_->insertRow(row);
            for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c)
                grid_->setItem(
                    row, c, new QTableWidgetItem(QString::fromStdString(rs->Fields(kColumns[c]).toText())));
        }
    } catch (const std::exception& e) {
        // A database without the log table shows an empty log.
        qCWarning(lcOperationLog, "操作日志读取失败：%s", e.what());
    }
    grid_->resizeColumnsToContents();
}

void OperationLogWindow::addToMenu(QMainWindow& frame, host::IDataAccess& data) {
    QMenu* file = nullptr;
    for (QAction* a : frame.menuBar()->actions())
        if (a->menu() && a->text().startsWith(QStringLiteral("文件"))) file = a->menu();
    if (!file) file = frame.menuBar()->addMenu(QStringLiteral("文件(&F)"));
    QAction* show = new QAction(QStringLiteral("操作日志(&L)"), file);
    show->setObjectName("mnuOperationLog");
    file->insertAction(file->actions().value(0), show);
    QObject::connect(show, &QAction::triggered, &frame, [&frame, &data] {
        static QPointer<OperationLogWindow> window;
        if (!window) window = new OperationLogWindow(data, &frame);
        window->reload();
        window->show();
        window->raise();
    });
}

} // namespace ocable::hostapp
