#pragma once

#include "host/SharedNames.h"

#include <array>
#include <string>
#include <string_view>

// The network's fixed vocabulary: layer names, class codes, line patterns,
// object keys, tables and files. Everything else refers to these names
// instead of repeating the literals.
namespace ocable::vocab {

inline constexpr const char* kConnection = "systemDB";
// Station classes: primary, second and third station type, resource type.
inline constexpr const char* kTypeTerminal = "ZY010301";
inline constexpr const char* kTypeRelay = "ZY010312";
inline constexpr const char* kResTypeTerminal = "ZY502401";
inline constexpr const char* kResTypeRelay = "ZY502402";
inline constexpr const char* kResTypeExcluded = "ZY502406";
inline constexpr const char* kClassTerminal = "终端站";
inline constexpr const char* kClassOther = "其它局站";

// Cable classes by resource level and system level.
inline constexpr std::array<const char*, 4> kNotOrdinaryLevels = {"ZY132001", "ZY132003", "ZY110502", "ZY110503"};
inline constexpr std::array<const char*, 3> kNotBackboneLevels = {"ZY132002", "ZY110504", "ZY110505"};
inline constexpr const char* kReducedBackboneResLevel = "ZY132003";
inline constexpr const char* kReducedBackboneSysLevel = "ZY110502";

// Lay modes and the map's line pattern of each, in table order. The last
// entry is the empty lay mode. A segment whose lay mode is not here is not drawn.
struct LayMode {
    const char* code;
    int pattern;
};
inline constexpr std::array<LayMode, 13> kLayModes = {{
    {"ZY130301", 1},
    {"ZY130302", 64},
    {"ZY130303", 51},
    {"ZY130304", 39},
    {"ZY130305", 30},
    {"ZY130399", 13},
    {"ZY511201", 1},
    {"ZY511202", 64},
    {"ZY511203", 51},
    {"ZY511204", 39},
    {"ZY511205", 30},
    {"ZY511299", 13},
    {"", 0},
}};
inline constexpr int kMicrowavePattern = 0;

// Object keys and the tables behind them.
inline constexpr const char* kStationKeyPrefix = "STA";
inline constexpr const char* kCableKeyPrefix = "OCA";
inline constexpr const char* kStationTable = "STATION";
inline constexpr const char* kCableTable = "EN_OCABLE";
inline constexpr const char* kSystemTable = "TRANSSYSTEM";
inline std::string stationKey(std::string_view code) { return std::string(kStationKeyPrefix) + ":" + std::string(code); }
inline std::string cableKey(std::string_view code) { return std::string(kCableKeyPrefix) + ":" + std::string(code); }

// Resource tree keys.
inline constexpr const char* kTreeRootKey = "ROOT";
inline constexpr const char* kTreeRootText = "网络组织图";
inline constexpr const char* kTreeStationsText = "局站";
inline constexpr const char* kTreeCablesText = "光缆段";
inline std::string provinceStationsKey(std::string_view province) { return std::string(province) + ":STA"; }
inline std::string provinceCablesKey(std::string_view province) { return std::string(province) + ":OCA"; }

// Division rule that draws by management area.
inline constexpr const char* kRuleByArea = "按管理区域划分";
inline constexpr const char* kScopeAll = "NULL";

} // namespace ocable::vocab
