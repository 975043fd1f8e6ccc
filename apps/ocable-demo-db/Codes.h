#pragma once

#include <string>
#include <vector>

// Codes of the host's code table XTBM that the demo network uses.
namespace ocable::demo::codes {

// Station types (X_STATIONTYPE, STATIONTYPE_II, STATIONTYPE_III).
inline constexpr const char* kTerminal = "ZY010301"; // 终端站
inline constexpr const char* kRelay = "ZY010302";    // 中继站
inline constexpr const char* kHub = "ZY010304";      // 枢纽站
inline constexpr const char* kAggregation = "ZY010305";
inline constexpr const char* kAccess = "ZY010306";
inline constexpr const char* kAmplifier = "ZY010307";
inline constexpr const char* kBaseStation = "ZY010308";
inline constexpr const char* kModule = "ZY010309";
inline constexpr const char* kEndOffice = "ZY010310";
inline constexpr const char* kCrossConnect = "ZY010311";
inline constexpr const char* kSecondTrunkRelay = "ZY010312"; // 二干中继站

// Resource types (STATIONTYPE).
inline constexpr const char* kResTerminal = "ZY502401";
inline constexpr const char* kResSecondTrunkRelay = "ZY502402";
inline constexpr const char* kResAccessPoint = "ZY502403";
inline constexpr const char* kResBaseStation = "ZY502404";
inline constexpr const char* kResCustomer = "ZY502405";
inline constexpr const char* kResFirstTrunkRelay = "ZY502406";

// Cable resource levels (RESLEVEL) and system levels (X_SYSLEVEL, RESLEVEL).
inline constexpr const char* kLevelFirstTrunk = "ZY132001";
inline constexpr const char* kLevelLocal = "ZY132002";
inline constexpr const char* kLevelSecondTrunk = "ZY132003";
inline constexpr const char* kLevelAccessCable = "ZY132004";
inline constexpr const char* kSysFirstTrunk = "ZY110501";
inline constexpr const char* kSysSecondTrunk = "ZY110502";
inline constexpr const char* kSysLocalCore = "ZY110503";
inline constexpr const char* kSysLocalAggregation = "ZY110504";
inline constexpr const char* kSysLocalAccess = "ZY110505";

// Transmission models (TRANMODEL).
inline constexpr const char* kPdh = "ZY110301";
inline constexpr const char* kSdh = "ZY110302";
inline constexpr const char* kDwdm = "ZY110303";
inline constexpr const char* kOtn = "ZY110304";
inline constexpr const char* kPtn = "ZY110305";
inline constexpr const char* kIpran = "ZY110306";

// The two lay-mode families the map draws, in its order; "" is the 13th entry.
inline const std::vector<std::string> kLayModesOld = {"ZY130301", "ZY130302", "ZY130303",
                                                      "ZY130304", "ZY130305", "ZY130399"};
inline const std::vector<std::string> kLayModesNew = {"ZY511201", "ZY511202", "ZY511203",
                                                      "ZY511204", "ZY511205", "ZY511299"};
// Valid codes the map does not draw.
inline constexpr const char* kLayTunnel = "ZY130306";
inline constexpr const char* kLayBridge = "ZY511206";

// States, fibre types, ownership, fibre states.
inline constexpr const char* kStateInUse = "ZY140101";
inline constexpr const char* kStateBuilding = "ZY140102";
inline constexpr const char* kStateStopped = "ZY140103";
inline constexpr const char* kFiberG652 = "ZY130401";
inline constexpr const char* kFiberG655 = "ZY130402";
inline constexpr const char* kFiberG657 = "ZY130403";
inline constexpr const char* kOwnBuilt = "ZY130501";
inline constexpr const char* kOwnLeased = "ZY130502";
inline constexpr const char* kOwnShared = "ZY130503";
inline constexpr const char* kFiberUsed = "ZY140601";
inline constexpr const char* kFiberReserved = "ZY140602";

struct CodeEntry {
    std::string code;
    std::string description;
    std::string codeClass;
};

// Every non-region code above with its Chinese description, class by class.
const std::vector<CodeEntry>& resourceCodes();

} // namespace ocable::demo::codes
