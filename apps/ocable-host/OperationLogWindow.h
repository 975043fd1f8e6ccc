#pragma once

#include <QWidget>

class QMainWindow;
class QTableWidget;

namespace ocable::host {
class IDataAccess;
}

namespace ocable::hostapp {

// The operation log the plug-in writes through the host (for instance a
// deleted division rule), newest first, so that a user sees what was done.
class OperationLogWindow : public QWidget {
    Q_OBJECT
public:
    explicit OperationLogWindow(host::IDataAccess& data, QWidget* parent = nullptr);

    // Reads the log again.
    Q_INVOKABLE void reload();
    QTableWidget* grid() const { return grid_; }

    // Adds "操作日志" to the frame's menu "文件", opening this window.
    static void addToMenu(QMainWindow& frame, host::IDataAccess& data);

private:
    host::IDataAccess& data_;
    QTableWidget* grid_;
};

} // namespace ocable::hostapp
