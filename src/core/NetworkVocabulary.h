#pragma once

#include "host/SharedNames.h"

#include <array>
#include <string>
#include <string_view>

// The network's fixed vocabulary: layer names, class names, line patterns,
// object keys, tables and files. Everything else refers to these names
// instead of repeating the literals.
namespace ocable::vocab {

inline constexpr const char* kConnection = "systemDB";
// Classes of station as the feature records name them (the criteria that
// pick them are in map/ClassCriteria.h).
inline constexpr const char* kClassTerminal = "终端站";
inline constexpr const char* kClassOther = "其它局站";

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
inline std::string stationKey(std::string_view code) {
    return std::string(kStationKeyPrefix) + ":" + std::string(code);
}
inline std::string cableKey(std::string_view code) {
    return std::string(kCableKeyPrefix) + ":" + std::string(code);
}
inline constexpr const char* kStationTable = "STATION";
inline constexpr const char* kCableTable = "EN_OCABLE";
inline constexpr const char* kSystemTable = "TRANSSYSTEM";

// Resource tree keys.
inline constexpr const char* kTreeRootKey = "ROOT";
inline constexpr const char* kTreeRootText = "网络组织图";
inline constexpr const char* kTreeStationsText = "局站";
inline constexpr const char* kTreeCablesText = "光缆段";
inline std::string provinceStationsKey(std::string_view province) {
    return std::string(province) + ":STA";
}
inline std::string provinceCablesKey(std::string_view province) {
    return std::string(province) + ":OCA";
}

// Division rule that draws by management area.
inline constexpr const char* kRuleByArea = "按管理区域划分";
inline constexpr const char* kScopeAll = "NULL";

} // namespace ocable::vocab
