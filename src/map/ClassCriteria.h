#pragma once

#include "platform/db/SqlQuote.h"

#include <string>

// The recordset filters that sort stations and cable segments into the map's
// classes, word for word as the drawing applies them: their odd spacing and
// letter case are part of what the map has always shown, and the tests and
// benchmarks filter with these same texts.
namespace ocable::criteria {

// Terminal stations: "ZY010301" in any of the three station types, or the
// resource type "ZY502401".
inline constexpr const char* kTerminalStations =
    "X_STATIONTYPE = 'ZY010301' Or StationType_II='ZY010301' Or StationType_III='ZY010301' or "
    "STATIONTYPE='ZY502401' ";

// Second-trunk relay stations: "ZY010312", or the resource type "ZY502402".
inline constexpr const char* kRelayStations =
    "X_STATIONTYPE = 'ZY010312' OR stationtype_ii='ZY010312' OR stationtype_iii='ZY010312' or "
    "STATIONTYPE='ZY502402'";

// Every remaining station: each clause allows a different set of empty types.
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

// Backbone segments of one lay mode (two blanks before the third "and").
inline std::string backboneCables(const std::string& layMode) {
    return "ResLevel <> 'ZY132002' and ResLevel <> 'ZY110504'  and ResLevel <> 'ZY110505' and LAYMODE=" +
           db::sqlQuote(layMode);
}

// Ordinary segments of one lay mode.
inline std::string ordinaryCables(const std::string& layMode) {
    return "ResLevel <> 'ZY132001' and ResLevel <> 'ZY132003' and ResLevel <> 'ZY110502' and ResLevel <> "
           "'ZY110503' and LAYMODE = " +
           db::sqlQuote(layMode);
}

} // namespace ocable::criteria
