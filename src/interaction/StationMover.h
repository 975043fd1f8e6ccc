#pragma once

#include <string>

namespace ocable {

struct ViewContext;
namespace gis {
class Feature;
class Map;
} // namespace gis

// The statement that stores a station's new position. The code goes through
// the quoting helper, so a quote in it cannot end the literal.
std::string stationPositionSql(const std::string& stationCode, double lng, double lat);

// Puts a station feature at (lng, lat) on the map.
void placeAt(gis::Feature& station, double lng, double lat);

// Drags the line ends that lay on a station's old position to where the
// station is now: for each line of the layer passing within 5 pixels of the
// old position, only the first vertex of its first part that lies on the old
// position moves; a line of several parts keeps only its first part.
void moveLineEnds(const gis::Feature& station, gis::Map& map, const std::string& layerName, double& oldLng,
                  double& oldLat);

// Ends a move of a station, by the mouse or by typed coordinates: when the
// station left its start, asks whether to save; "Yes" writes the position and
// moves the ends of the ordinary, backbone and microwave lines, "No" puts the
// station back exactly where it was.
class StationMover {
public:
    explicit StationMover(ViewContext& view) : view_(view) {}

    // True when the new position was saved.
    bool confirmMove(gis::Feature& station, double startLng, double startLat);
    // Writes the station's centre to table STATION (one UPDATE).
    void saveStationPosition(const gis::Feature& station);

private:
    void keepRecordsInStep(const gis::Feature& station);

    ViewContext& view_;
};

} // namespace ocable
