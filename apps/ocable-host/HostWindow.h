#pragma once

#include <QMainWindow>
#include <functional>

class QMdiArea;
class QMenu;

namespace ocable::hostapp {

// The host's multi-document frame: a menu of views, the window list and exit.
class HostWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HostWindow(std::function<void()> openOcableView, QWidget* parent = nullptr);
    QMdiArea* mdiArea() const { return area_; }

protected:
    // Closes the views first; a view that refuses keeps the frame open.
    void closeEvent(QCloseEvent* event) override;

private:
    void refreshWindowMenu();

    QMdiArea* area_;
    QMenu* windowMenu_;
};

} // namespace ocable::hostapp
