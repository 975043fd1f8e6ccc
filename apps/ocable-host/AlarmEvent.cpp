#include "AlarmEvent.h"

#include <QJsonDocument>

namespace ocable::hostapp {

namespace {

struct SeverityName {
    const char* english;
    const char* chinese;
};
// Indexed by level - 1.
constexpr std::array<SeverityName, 5> kSeverities = {{{"indeterminate", "未定"},
                                                      {"warning", "提示"},
                                                      {"minor", "次要"},
                                                      {"major", "主要"},
                                                      {"critical", "紧急"}}};

QString member(const QJsonObject& object, const char* name, bool required) {
    const QJsonValue v = object[name];
    if (v.isUndefined() && !required) return {};
    if (!v.isString() || (required && v.toString().trimmed().isEmpty()))
        throw AlarmEventError(std::string("告警事件的“") + name + "”必须是非空文本");
    return v.toString().trimmed();
}

} // namespace

QString severityText(int level) {
    if (level < kIndeterminate || level > kCritical) return {};
    return QString::fromUtf8(kSeverities[static_cast<std::size_t>(level - 1)].chinese);
}

AlarmEvent AlarmEvent::fromJson(const QJsonObject& object) {
    AlarmEvent e;
    e.station = member(object, "station", true);
    const QString severity = member(object, "severity", true);
    for (std::size_t i = 0; i < kSeverities.size(); ++i)
        if (severity.compare(QLatin1String(kSeverities[i].english), Qt::CaseInsensitive) == 0 ||
            severity == QString::fromUtf8(kSeverities[i].chinese))
            e.level = static_cast<int>(i) + 1;
    if (e.level == 0)
        throw AlarmEventError("未知的告警级别“" + severity.toStdString() +
                              "”（可用 critical、major、minor、warning、indeterminate）");
    const QString state = member(object, "state", true);
    if (state != "raised" && state != "cleared")
        throw AlarmEventError("告警状态必须是 raised 或 cleared，而不是“" + state.toStdString() + "”");
    e.raised = state == "raised";
    e.time = member(object, "time", false);
    e.text = member(object, "text", false);
    return e;
}

AlarmEvent AlarmEvent::fromLine(const QByteArray& line) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError)
        throw AlarmEventError("告警事件不是有效的 JSON：" + error.errorString().toStdString());
    if (!doc.isObject()) throw AlarmEventError("告警事件必须是 JSON 对象");
    return fromJson(doc.object());
}

} // namespace ocable::hostapp
