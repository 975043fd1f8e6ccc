#pragma once

#include <string>

namespace ocable {

struct ViewContext;
namespace gis {
class Map;
}

// Sets the map's view to everything selected on it: the rectangle spanned
// by the centres of selected symbols and the vertices of the first part of
// selected lines and regions, without margin. Nothing selected: no change.
// A rectangle without extent centres the view there at the current scale.
void fitViewToSelection(gis::Map& map);

// Shows one station or cable segment on the network map: clears every
// selection, finds the object's feature by its code, selects it and fits
// the view to it. A search that finds two or more features counts as not
// found in that layer.
class Locating {
public:
    explicit Locating(ViewContext& view) : view_(view) {}

    // The terminal layer first, then the other stations; "该局站不存在！" when
    // neither holds the code exactly once. True when found.
    bool locateStation(const std::string& stationCode);
    // The same without a message: the host's alarm handling.
    bool pointStationByAlarm(const std::string& stationCode);
    // The ordinary cable layer first; the backbone layer only when the
    // ordinary one gives nothing. "该光缆段没有找到" when neither does.
    bool locateOcable(const std::string& ocableCode);

private:
    bool selectStation(const std::string& stationCode);

    ViewContext& view_;
};

} // namespace ocable
