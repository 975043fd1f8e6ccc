#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace ocable::gis {
class Layer;
class Map;
} // namespace ocable::gis

namespace ocable::hostapp {

// What the network map shows of one station's alarms, written straight into
// the map's layers: the station's bitmap in the colour of its worst
// severity, one marker on "光缆网络分布图_告警" while it has an alarm, and for
// a station that ends a backbone segment one marker per active alarm on
// "光缆网络分布图_骨干告警" (as the resource tree expects: it deletes one
// marker of a hidden station on the first layer and all on the second).
// Markers carry the station code in column "objCode".
class AlarmMarkers {
public:
    // Opens the batched writes of the station and alarm layers: the edits
    // of one batch of events reach the screen in one repaint.
    void begin(gis::Map& map);
    void end();

    // level 0 puts the station back as drawn and takes its markers off.
    // The station's name as drawn; empty when the map does not show it.
    QString show(const QString& station, int level, int activeAlarms);

    // The map was reset from elsewhere (clearAlarm): the bitmaps it drew
    // are the stations' normal ones now.
    void forget() { normalBitmaps_.clear(); }
    // Whether the map was drawn anew since stations were coloured (a
    // refresh draws every station with its normal bitmap and new keys).
    bool redrawn(gis::Map& map) const;

private:
    bool onBackbone(double x, double y);
    void showMarkers(gis::Layer& layer, const std::string& code, int wanted, int level, double x, double y,
                     const std::string& label);

    gis::Map* map_ = nullptr;
    // Layer and feature key of a station in alarm -> its bitmap before.
    std::unordered_map<std::string, std::string> normalBitmaps_;
    // End points of the backbone segments (rounded to about a metre),
    // gathered again when the backbone layer's feature count changes.
    std::unordered_set<std::uint64_t> backboneEnds_;
    int backboneCount_ = -1;
};

} // namespace ocable::hostapp
