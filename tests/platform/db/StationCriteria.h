#pragma once

// The class criteria exactly as the map drawing writes them.
namespace ocable::db::test {

inline constexpr const char* kTerminalStations =
    "X_STATIONTYPE = 'ZY010301' Or StationType_II='ZY010301' Or StationType_III='ZY010301' or "
    "STATIONTYPE='ZY502401' ";

inline constexpr const char* kRelayStations =
    "X_STATIONTYPE = 'ZY010312' OR stationtype_ii='ZY010312' OR stationtype_iii='ZY010312' or "
    "STATIONTYPE='ZY502402'";

inline constexpr const char* kOtherStations =
    "(X_STATIONTYPE <> 'ZY010301' and X_STATIONTYPE <> 'ZY010312' And stationtype_ii<>'ZY010301' and "
    "stationtype_ii<>'ZY010312' And stationtype_iii<>'ZY010301' and stationtype_iii<>'ZY010312') OR "
    "(X_STATIONTYPE <> 'ZY010301' and X_STATIONTYPE <> 'ZY010312' And stationtype_ii<>'ZY010301' and "
    "stationtype_ii<>'ZY010312' And stationType_iii = null) OR "
    "(X_STATIONTYPE <> 'ZY010301' and X_STATIONTYPE <> 'ZY010312' And stationType_ii = null And "
    "stationtype_iii<>'ZY010301' and stationtype_iii<>'ZY010312') OR "
    "(X_STATIONTYPE <> 'ZY010301' and X_STATIONTYPE <> 'ZY010312' And stationType_ii = null And "
    "stationType_iii = null) OR "
    "(x_stationType = null And stationtype_ii<>'ZY010301' and stationtype_ii<>'ZY010312' And "
    "stationtype_iii<>'ZY010301' and stationtype_iii<>'ZY010312') OR "
    "(x_stationType = null And stationtype_ii<>'ZY010301' and stationtype_ii<>'ZY010312' And "
    "stationType_iii = null) OR "
    "(x_stationType = null And stationType_ii = null And stationtype_iii<>'ZY010301' and "
    "stationtype_iii<>'ZY010312') OR "
    "(x_stationType = null And stationType_ii = null And stationType_iii = null) OR "
    "(STATIONTYPE <> 'ZY502401' and STATIONTYPE <> 'ZY502406')";

} // namespace ocable::db::test
