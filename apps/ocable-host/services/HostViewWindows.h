#pragma once

// Windows of the host's other views (fibres, a station's transmission
// view, the cable and duct network views), as far as the stand-alone host
// can show them from its database. Each is one window of the frame, found
// again by its object name, and says plainly which view it stands in for.

#include "host/IDataAccess.h"

#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace ocable::hostapp {

// "hostFiberView": the fibres of the cable segments (codes joined by "<>")
// from EN_FIBER, by segment and fibre number. description holds, per
// segment and joined the same way, its name and end coordinates.
QWidget* showFiberList(host::IDataAccess& data, const std::string& cableCodes,
                       const std::string& description);

// "hostStationView": the station of a request "STATIONNAME,STATIONCODE;" +
// name + "," + code.
QWidget* showStationList(const std::string& request);

// "hostCableView": the record of one cable segment, standing in for the
// host's view of that name ("showOcableFromOcable", "showGdFromOcable").
QWidget* showCableRecord(const std::string& viewName, const std::string& code,
                         const std::vector<std::pair<std::string, std::string>>& rows);

} // namespace ocable::hostapp
