#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ocable {

struct ViewContext;

// The alarm fields of a station record, one pair per severity from critical
// down to indeterminate: first the five "_C" fields, then the five "_A"
// fields, the order in which clearAlarm resets them.
inline constexpr std::array<const char*, 10> kAlarmFields = {
    "CRITICAL_C", "MAJOR_C", "MINOR_C", "WARNING_C", "INDETERMIN_C",
    "CRITICAL_A", "MAJOR_A", "MINOR_A", "WARNING_A", "INDETERMIN_A"};

// The level of the most severe non-zero count: 5 critical, 4 major, 3 minor,
// 2 warning, 1 indeterminate, 0 none. Negative counts count as none. The
// counts come by reference, as the resource tree hands over its variables.
int getAlarmLevel(std::int32_t& critical, std::int32_t& major, std::int32_t& minor, std::int32_t& warning,
                  std::int32_t& indeterminate);

// The alarm state the map shows: the station bitmaps, the ten alarm fields
// of each station record and the two alarm layers. The host's alarm
// handling fills them; clearAlarm returns the whole map to no alarm.
class Alarms {
public:
    explicit Alarms(ViewContext& view) : view_(view) {}

    // Terminal stations, then the other stations, each layer in one batched
    // write: normal bitmap and the ten fields "0"; then the bitmaps of the
    // saved station features; then both alarm layers emptied. A station
    // whose code has no record ends it with an error, the stations after it
    // keeping their state.
    void clearAlarm();

    // The host's alarm handling writes the ten fields of a station record
    // (values in the order of kAlarmFields). False when the store holds no
    // record of the station.
    bool setStationAlarmFields(const std::string& stationCode, const std::vector<std::string>& values);
    // The ten fields as the record holds them ("" for a field it lacks);
    // empty when there is no record.
    std::vector<std::string> stationAlarmFields(const std::string& stationCode);

private:
    void resetStationLayer(const char* layerName, const char* bitmap);

    ViewContext& view_;
};

} // namespace ocable
