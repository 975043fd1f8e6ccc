#pragma once

#include "AlarmEvent.h"
#include "AlarmMarkers.h"

#include <QHash>
#include <QJsonValue>
#include <QMetaMethod>
#include <QObject>
#include <QPointer>
#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <vector>

namespace ocable::hostapp {

// One alarm that is raised and not yet cleared, as the alarm list shows it.
struct ActiveAlarm {
    QString station;
    int level = 0;
    QString time;
    QString text;
};

// The host's alarm handling: the alarms of the stations, kept from the
// alarm columns of STATION at start and from the events of the alarm
// source, and shown on the open map view. The view is reached only by its
// public procedures (called by name) and through its map widget.
//
// A station's "_C" fields count its current alarms per severity and its
// "_A" fields every alarm it has had ("当前" and "累计" in the table
// dictionary). A new critical alarm beeps (unless the sound is paused) and
// is shown with pointStationByAlarm and myPrintWarningInfo; of a batch of
// events only the last new critical alarm is shown, so that a burst does not
// bury the operator under message boxes.
class AlarmBoard : public QObject {
    Q_OBJECT
public:
    explicit AlarmBoard(QObject* parent = nullptr);
    ~AlarmBoard() override;

    // The board of this process, for the automation step; null when none.
    static AlarmBoard* current();

    // The current and accumulated counts of the stations whose alarm
    // columns are not all "0", shown on the map as they are.
    void loadFromDatabase(const std::filesystem::path& database);
    // Applies the events in order; the map changes once for all of them.
    void apply(const std::vector<AlarmEvent>& events);
    // "清除告警": the view's clearAlarm, and no alarm is current any more.
    void clearAll();

    // The current alarms in the order they arrived.
    const std::map<std::uint64_t, ActiveAlarm>& active() const { return active_; }
    // The station's name as the map shows it; the code when it does not.
    QString stationName(const QString& station) const { return names_.value(station, station); }
    bool soundPaused() const { return soundPaused_; }
    void setSoundPaused(bool paused);
    int beeps() const { return beeps_; }

signals:
    void changed();
    void soundPausedChanged(bool paused);

private:
    struct Counts {
        std::array<int, 5> current{}; // by level - 1
        std::array<int, 5> total{};
    };

    // The open map view; a view seen for the first time gets the alarm
    // pictures and the alarms current so far.
    QObject* view();
    void show(QObject* view, const std::vector<QString>& stations);
    void add(ActiveAlarm alarm);
    // Ends the matching current alarm; false when there is none.
    bool remove(const AlarmEvent& cleared);

    std::map<QString, Counts> counts_;
    std::map<std::uint64_t, ActiveAlarm> active_;
    QHash<QString, std::vector<std::uint64_t>> byStation_; // arrival numbers, oldest first
    QHash<QString, QString> names_;
    std::uint64_t arrivals_ = 0;
    // The view's procedures called for every station, looked up once per view.
    QMetaMethod alarmLevel_, alarmFields_;
    AlarmMarkers markers_;
    QPointer<QObject> view_;
    bool soundPaused_ = false;
    int beeps_ = 0;
};

// The automation step {"alarm": {...}} or {"alarm": [{...}, ...]}: events
// applied as if the alarm source had sent them. Nothing when the step is
// another; throws ScriptError for a bad event or when no board exists.
std::optional<QJsonValue> runAlarmStep(const QJsonObject& step);

} // namespace ocable::hostapp
