#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace ocable::hostapp {

class AlarmBoard;

// The alarm events of a file the host watches (--alarms FILE): one JSON
// object a line (see AlarmEvent), appended by the alarm system while the
// host runs. Complete lines are read as they arrive, every 200 ms; the
// lines read together are applied as one batch. A file that is not there
// yet is waited for; one that shrinks was begun anew and is read from its
// start. A line that is no event is logged and passed over.
class AlarmFeed : public QObject {
    Q_OBJECT
public:
    AlarmFeed(QString file, AlarmBoard& board, QObject* parent = nullptr);

    // Reads what has arrived since the last look (also run by the timer).
    void poll();

private:
    QString file_;
    AlarmBoard& board_;
    QTimer timer_;
    qint64 offset_ = 0;
    int lineNumber_ = 0;
};

} // namespace ocable::hostapp
