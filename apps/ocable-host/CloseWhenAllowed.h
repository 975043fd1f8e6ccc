#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

namespace ocable::hostapp {

// Closes a window as its own close button would, for a request from outside
// (a signal, the session's logout). The map view refuses to close while it
// draws; the close is then tried again every interval until it is accepted,
// since the drawing lets events run and ends by itself.
class CloseWhenAllowed : public QObject {
    Q_OBJECT
public:
    explicit CloseWhenAllowed(QWidget& window, int intervalMs = 100, QObject* parent = nullptr);

    // Tries at once (from the event loop) and then every interval.
    void start();
    bool done() const { return done_; }

signals:
    // The window is closed (or was gone already).
    void closed();

private:
    void attempt();

    QPointer<QWidget> window_;
    QTimer timer_;
    bool done_ = false;
};

} // namespace ocable::hostapp
