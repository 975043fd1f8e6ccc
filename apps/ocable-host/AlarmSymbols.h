#pragma once

#include <QColor>
#include <string>

namespace ocable::gis {
class Map;
}

namespace ocable::hostapp {

// The pictures of the alarm display, drawn by the host: each station bitmap
// again in the colour of a severity (critical red, major orange, minor
// yellow, warning blue, indeterminate grey) and a ring per severity for the
// alarm markers.
namespace AlarmSymbols {

QColor severityColor(int level);

// "光缆网络_终端站.BMP" (any letter case) at level 5 gives
// "光缆网络_终端站_紧急告警.BMP".
std::string stationBitmap(const std::string& normalBitmap, int level);
// "光缆网络_告警_紧急.BMP".
std::string markerBitmap(int level);
inline constexpr int kMarkerSize = 24;

// Writes the pictures the map's symbol folder lacks, made from the station
// bitmaps found there, and has the map read the folder again when it wrote
// any. Pictures that cannot be written are logged and left out.
void install(gis::Map& map);

} // namespace AlarmSymbols

} // namespace ocable::hostapp
