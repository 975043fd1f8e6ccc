#include "AlarmBoard.h"

#include "AlarmSymbols.h"
#include "Automation.h"
#include "platform/db/SqliteConnection.h"
#include "platform/gis/MapWidget.h"
#include "platform/ui/ActiveBar.h"
#include "services/HostLog.h"

#include <QApplication>
#include <QDateTime>
#include <QJsonArray>
#include <QStringList>
#include <set>

namespace ocable::hostapp {

namespace {

AlarmBoard*& instance() {
    static AlarmBoard* board = nullptr;
    return board;
}

// The ten fields of a station record: critical down to indeterminate,
// current counts first, then the accumulated ones.
QStringList fieldValues(const std::array<int, 5>& current, const std::array<int, 5>& total) {
    QStringList values;
    for (const auto* counts : {&current, &total})
        for (int level = kCritical; level >= kIndeterminate; --level)
            values << QString::number((*counts)[static_cast<std::size_t>(level - 1)]);
    return values;
}

} // namespace

AlarmBoard::AlarmBoard(QObject* parent) : QObject(parent) {
    instance() = this;
}

AlarmBoard::~AlarmBoard() {
    if (instance() == this) instance() = nullptr;
}

AlarmBoard* AlarmBoard::current() {
    return instance();
}

QObject* AlarmBoard::view() {
    QObject* now = findNamed(QStringLiteral("frmViewOcableMain"));
    if (!now || now == view_) return now;
    view_ = now;
    markers_.forget();
    const QMetaObject* meta = now->metaObject();
    alarmLevel_ = meta->method(meta->indexOfMethod("getAlarmLevel(int,int,int,int,int)"));
    alarmFields_ = meta->method(meta->indexOfMethod("setStationAlarmFields(QString,QStringList)"));
    if (auto* map = now->findChild<gis::MapWidget*>(QStringLiteral("Map1")))
        AlarmSymbols::install(map->map());
    // The view's own tool "告警声音暂停" pauses (and resumes) the sound.
    if (auto* bar = now->findChild<ui::ActiveBar*>(QStringLiteral("activebarMain")))
        connect(bar, &ui::ActiveBar::toolClick, this, [this](const QString&, const QString& key) {
            if (key == QLatin1String("mnu_stopSound")) setSoundPaused(!soundPaused_);
        });
    std::vector<QString> stations;
    for (const auto& [station, counts] : counts_)
        stations.push_back(station);
    show(now, stations);
    return now;
}

void AlarmBoard::loadFromDatabase(const std::filesystem::path& database) {
    std::string sql = "SELECT STATIONCODE";
    std::string where;
    for (const char* suffix : {"_C", "_A"})
        for (const char* severity : {"CRITICAL", "MAJOR", "MINOR", "WARNING", "INDETERMIN"}) {
            sql += std::string(", ") + severity + suffix;
            where +=
                std::string(where.empty() ? "" : " OR ") + "COALESCE(" + severity + suffix + ", '0') <> '0'";
        }
    std::shared_ptr<db::Recordset> rs;
    try {
        rs = db::SqliteConnection(database).query(sql + " FROM STATION WHERE " + where);
    } catch (const std::exception& e) {
        qCWarning(lcHost, "无法读取局站的告警字段：%s", e.what());
        return;
    }
    const QString started = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss");
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        const QString station = QString::fromStdString(rs->Fields(0).toText()).trimmed();
        Counts& c = counts_[station];
        for (int i = 0; i < 5; ++i) {
            // Columns 1..5 are critical..indeterminate, current; 6..10 accumulated.
            const auto level = static_cast<std::size_t>(kCritical - i - 1);
            c.current[level] = std::max(0, QString::fromStdString(rs->Fields(1 + i).toText()).toInt());
            c.total[level] =
                std::max(c.current[level], QString::fromStdString(rs->Fields(6 + i).toText()).toInt());
            for (int n = 0; n < c.current[level]; ++n)
                add({station, kCritical - i, started, QStringLiteral("启动时的当前告警")});
        }
    }
    const QObject* before = view_.data();
    if (QObject* v = view(); v && v == before) {
        std::vector<QString> stations;
        for (const auto& [station, counts] : counts_)
            stations.push_back(station);
        show(v, stations);
    }
    emit changed();
}

void AlarmBoard::show(QObject* view, const std::vector<QString>& stations) {
    auto* widget = view->findChild<gis::MapWidget*>(QStringLiteral("Map1"));
    if (!widget) return;
    markers_.begin(widget->map());
    for (const QString& station : stations) {
        const Counts& c = counts_[station];
        int level = 0;
        alarmLevel_.invoke(view, Qt::DirectConnection, Q_RETURN_ARG(int, level), Q_ARG(int, c.current[4]),
                           Q_ARG(int, c.current[3]), Q_ARG(int, c.current[2]), Q_ARG(int, c.current[1]),
                           Q_ARG(int, c.current[0]));
        int activeAlarms = 0;
        for (int n : c.current)
            activeAlarms += n;
        const QString name = markers_.show(station, level, activeAlarms);
        if (!name.isEmpty()) names_.insert(station, name);
        bool set = false;
        alarmFields_.invoke(view, Qt::DirectConnection, Q_RETURN_ARG(bool, set), Q_ARG(QString, station),
                            Q_ARG(QStringList, fieldValues(c.current, c.total)));
    }
    markers_.end();
}

void AlarmBoard::add(ActiveAlarm alarm) {
    byStation_[alarm.station].push_back(++arrivals_);
    active_.emplace(arrivals_, std::move(alarm));
}

bool AlarmBoard::remove(const AlarmEvent& e) {
    // The alarm of the same station, severity and text; else the oldest of
    // that station and severity.
    auto list = byStation_.find(e.station);
    if (list == byStation_.end()) return false;
    std::vector<std::uint64_t>& numbers = *list;
    auto match = numbers.end();
    for (bool sameText : {true, false}) {
        match = std::find_if(numbers.begin(), numbers.end(), [&](std::uint64_t n) {
            const ActiveAlarm& a = active_.at(n);
            return a.level == e.level && (!sameText || a.text == e.text);
        });
        if (match != numbers.end()) break;
    }
    if (match == numbers.end()) return false;
    active_.erase(*match);
    numbers.erase(match);
    if (numbers.empty()) byStation_.erase(list);
    return true;
}

void AlarmBoard::apply(const std::vector<AlarmEvent>& events) {
    std::vector<QString> touched;
    std::set<QString> seen;
    const AlarmEvent* newCritical = nullptr;
    int newCriticals = 0;
    for (const AlarmEvent& e : events) {
        Counts& c = counts_[e.station];
        const auto slot = static_cast<std::size_t>(e.level - 1);
        if (e.raised) {
            add({e.station, e.level, e.time, e.text});
            ++c.current[slot];
            ++c.total[slot];
            if (e.level == kCritical) {
                newCritical = &e;
                ++newCriticals;
            }
        } else {
            if (!remove(e)) {
                qCWarning(lcHost, "清除的告警不存在：局站 %s，%s，%s", qPrintable(e.station),
                          qPrintable(severityText(e.level)), qPrintable(e.text));
                continue;
            }
            --c.current[slot];
        }
        if (seen.insert(e.station).second) touched.push_back(e.station);
    }
    QObject* v = view();
    if (!v) {
        qCWarning(lcHost, "光缆网络分布图未打开，%d 个告警事件只记入告警列表",
                  static_cast<int>(events.size()));
        emit changed();
        return;
    }
    auto* widget = v->findChild<gis::MapWidget*>(QStringLiteral("Map1"));
    if (widget && markers_.redrawn(widget->map())) {
        // The map was drawn anew from the database: every station with
        // alarms is shown again, with the fields as the host counts them.
        markers_.forget();
        for (const auto& [station, counts] : counts_)
            if (seen.insert(station).second) touched.push_back(station);
    }
    show(v, touched);
    if (newCritical) {
        for (int i = 0; i < newCriticals && !soundPaused_; ++i) {
            QApplication::beep();
            ++beeps_;
        }
        qCInfo(lcHost, "紧急告警：局站 %s，%s（提示音%s）", qPrintable(newCritical->station),
               qPrintable(newCritical->text), soundPaused_ ? "已暂停" : "");
        bool found = false;
        QMetaObject::invokeMethod(v, "pointStationByAlarm", Q_RETURN_ARG(bool, found),
                                  Q_ARG(QString, newCritical->station));
        const QString name = stationName(newCritical->station);
        QMetaObject::invokeMethod(
            v, "myPrintWarningInfo",
            Q_ARG(QString, "局站“" + name + "”发生紧急告警：" + newCritical->text +
                               (newCritical->time.isEmpty() ? "" : "（" + newCritical->time + "）")));
    }
    emit changed();
}

void AlarmBoard::clearAll() {
    if (QObject* v = view()) QMetaObject::invokeMethod(v, "clearAlarm");
    markers_.forget();
    counts_.clear();
    active_.clear();
    byStation_.clear();
    emit changed();
}

void AlarmBoard::setSoundPaused(bool paused) {
    if (paused == soundPaused_) return;
    soundPaused_ = paused;
    qCInfo(lcHost, "告警声音%s", paused ? "暂停" : "恢复");
    emit soundPausedChanged(paused);
    emit changed();
}

std::optional<QJsonValue> runAlarmStep(const QJsonObject& step) {
    if (!step.contains("alarm")) return std::nullopt;
    AlarmBoard* board = AlarmBoard::current();
    if (!board) throw ScriptError("宿主没有告警处理");
    const QJsonValue value = step["alarm"];
    const QJsonArray list = value.isArray() ? value.toArray() : QJsonArray{value};
    std::vector<AlarmEvent> events;
    for (const QJsonValue& v : list) {
        if (!v.isObject()) throw ScriptError("“alarm”必须是告警事件对象或其数组");
        try {
            events.push_back(AlarmEvent::fromJson(v.toObject()));
        } catch (const AlarmEventError& e) {
            throw ScriptError(e.what());
        }
    }
    board->apply(events);
    return QJsonValue(QJsonValue::Undefined);
}

} // namespace ocable::hostapp
