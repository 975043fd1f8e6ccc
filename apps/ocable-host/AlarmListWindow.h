#pragma once

#include <QWidget>

class QLabel;
class QMainWindow;
class QTableWidget;

namespace ocable::hostapp {

class AlarmBoard;

// The host's alarm list, docked at the foot of the frame: the current
// alarms, newest first, with time, station, severity and text; a
// double-click locates the station on the map.
class AlarmListWindow : public QWidget {
    Q_OBJECT
public:
    AlarmListWindow(AlarmBoard& board, QWidget* parent = nullptr);

    // The list as a dock of the frame (hidden at first) and the frame's
    // menu "告警": "清除告警", "告警列表", "告警声音暂停".
    static AlarmListWindow* install(QMainWindow& frame, AlarmBoard& board);

private:
    void refresh();

    AlarmBoard& board_;
    QTableWidget* table_;
    QLabel* status_;
};

} // namespace ocable::hostapp
