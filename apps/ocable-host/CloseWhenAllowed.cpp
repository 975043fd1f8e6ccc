#include "CloseWhenAllowed.h"

#include <QWidget>

namespace ocable::hostapp {

CloseWhenAllowed::CloseWhenAllowed(QWidget& window, int intervalMs, QObject* parent)
    : QObject(parent), window_(&window) {
    timer_.setInterval(intervalMs);
    connect(&timer_, &QTimer::timeout, this, &CloseWhenAllowed::attempt);
}

void CloseWhenAllowed::start() {
    if (done_ || timer_.isActive()) return;
    // From the event loop, never from inside the caller: the request may
    // come in the middle of a handler of the window itself.
    QTimer::singleShot(0, this, &CloseWhenAllowed::attempt);
    timer_.start();
}

void CloseWhenAllowed::attempt() {
    if (done_) return;
    if (window_ && window_->isVisible() && !window_->close()) return;
    timer_.stop();
    done_ = true;
    emit closed();
}

} // namespace ocable::hostapp
