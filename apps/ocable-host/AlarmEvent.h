#pragma once

#include <QJsonObject>
#include <QString>
#include <array>
#include <stdexcept>

namespace ocable::hostapp {

// An alarm event line the host cannot use; the text says what is wrong.
class AlarmEventError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Severities numbered as the map's alarm level: 5 critical down to 1
// indeterminate (0 is no alarm).
inline constexpr int kCritical = 5;
inline constexpr int kIndeterminate = 1;

// The Chinese name of a severity 1..5 ("紧急", "主要", "次要", "提示", "未定").
QString severityText(int level);

// One alarm event from the host's alarm source:
//   {"station": "4100ST00001", "severity": "critical", "state": "raised",
//    "time": "2026-12-06 08:00:00", "text": "光功率过低"}
// severity: critical, major, minor, warning, indeterminate (or the Chinese
// names); state: raised or cleared. A cleared event names the alarm it
// ends by station, severity and text.
struct AlarmEvent {
    QString station;
    int level = 0;
    bool raised = true;
    QString time;
    QString text;

    // Throws AlarmEventError for a missing or wrong member.
    static AlarmEvent fromJson(const QJsonObject& object);
    // One line of an event file.
    static AlarmEvent fromLine(const QByteArray& line);
};

} // namespace ocable::hostapp
