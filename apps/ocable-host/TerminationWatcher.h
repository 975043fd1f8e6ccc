#pragma once

#include <QObject>

class QSocketNotifier;

namespace ocable::hostapp {

// Turns SIGTERM and SIGINT, and the desktop session's logout, into one Qt
// signal on the user-interface thread, so that the host ends the way its
// own "退出" does: the views close (and save their maps) before the process
// goes. The signal handler itself only writes a byte into a pipe. One
// watcher per process; after a second signal a third ends the process at
// once.
class TerminationWatcher : public QObject {
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

    // The number of the signal that asked us to end (SIGTERM, SIGINT), or 0
    // for a logout or before any request.
    int signalNumber() const { return signal_; }
    bool requested() const { return requested_; }

signals:
    // Emitted once for the first request; later ones are ignored while the
    // host is ending.
    void terminationRequested();

private:
    void readPipe();
    void request(int signal);

    QSocketNotifier* notifier_ = nullptr;
    int signal_ = 0;
    bool requested_ = false;
};

} // namespace ocable::hostapp
