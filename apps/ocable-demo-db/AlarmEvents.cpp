#include "AlarmEvents.h"

#include "Random.h"
#include "Sqlite.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace ocable::demo {

namespace {

struct Severity {
    const char* name;
    double weight;
    std::vector<std::string> texts;
};

const std::vector<Severity>& severities() {
    static const std::vector<Severity> list = {
        {"critical", 0.12, {"光缆中断", "设备掉电", "信号丢失(LOS)"}},
        {"major", 0.25, {"光功率过低", "帧丢失(LOF)", "误码率越限"}},
        {"minor", 0.28, {"机房温度偏高", "风扇故障"}},
        {"warning", 0.25, {"门禁告警", "光功率偏低"}},
        {"indeterminate", 0.10, {"未知告警"}},
    };
    return list;
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    return out + "\"";
}

// 2026-12-06 08:00:00 plus the seconds.
std::string timeAt(int seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "2026-12-06 %02d:%02d:%02d", 8 + seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

struct Raised {
    std::string station;
    const Severity* severity;
    std::string text;
};

std::string line(const Raised& a, const char* state, int seconds) {
    return "{\"station\": " + quoted(a.station) + ", \"severity\": \"" + a.severity->name +
           "\", \"state\": \"" + state + "\", \"time\": \"" + timeAt(seconds) +
           "\", \"text\": " + quoted(a.text) + "}\n";
}

} // namespace

std::string demoAlarmEvents(const std::filesystem::path& database, std::uint64_t seed, int count) {
    SqliteDb db(database);
    std::vector<std::string> stations;
    SqliteStatement rows(db, "SELECT STATIONCODE FROM STATION WHERE LNG IS NOT NULL AND LAT IS NOT NULL "
                             "ORDER BY STATIONCODE");
    while (rows.step())
        stations.push_back(rows.columnText(0));
    if (stations.empty()) throw std::runtime_error("no station with coordinates in " + database.string());

    Random rng(seed ^ 0xA1A4);
    // Trouble keeps to a few stations, so that some gather several alarms.
    std::vector<std::string> troubled;
    for (int i = 0; i < 20; ++i)
        troubled.push_back(rng.pick(stations));
    std::vector<Raised> open;
    std::string out;
    for (int i = 0, seconds = 0; i < count; ++i, seconds += rng.range(20, 90)) {
        if (!open.empty() && rng.chance(0.3)) {
            const auto which = static_cast<std::size_t>(rng.range(0, static_cast<int>(open.size()) - 1));
            out += line(open[which], "cleared", seconds);
            open.erase(open.begin() + static_cast<std::ptrdiff_t>(which));
            continue;
        }
        double r = rng.uniform();
        const Severity* severity = &severities().back();
        for (const Severity& s : severities()) {
            if (r < s.weight) {
                severity = &s;
                break;
            }
            r -= s.weight;
        }
        open.push_back({rng.pick(troubled), severity, rng.pick(severity->texts)});
        out += line(open.back(), "raised", seconds);
    }
    return out;
}

} // namespace ocable::demo
