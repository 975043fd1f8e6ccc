#pragma once

#include <array>

// Names the stand-alone host shares with the plug-in: the layers of the
// network geoset it lays out, their data columns, the symbol bitmaps, the
// files and folders below the host's directories. The plug-in's own
// vocabulary builds on these.
namespace ocable::vocab {

inline constexpr const char* kMapTitle = "光缆网络分布图";

// The five network layers, in the order the main window keeps them.
inline constexpr const char* kLayerTerminal = "光缆网络分布图_终端站";
inline constexpr const char* kLayerOtherStation = "光缆网络分布图_其它局站";
inline constexpr const char* kLayerCable = "光缆网络分布图_光缆段";
inline constexpr const char* kLayerBackbone = "光缆网络分布图_骨干光缆段";
inline constexpr const char* kLayerMicrowave = "光缆网络分布图_微波段";
inline constexpr std::array<const char*, 5> kNetworkLayers = {kLayerTerminal, kLayerOtherStation, kLayerCable,
                                                              kLayerBackbone, kLayerMicrowave};

// Alarm markers; their rows carry the object code in column "objCode".
inline constexpr const char* kLayerAlarm = "光缆网络分布图_告警";
inline constexpr const char* kLayerBackboneAlarm = "光缆网络分布图_骨干告警";

// Names of the code column (column 2) of the layers' datasets.
inline constexpr const char* kStationCodeColumn = "StationCode";
inline constexpr const char* kCableCodeColumn = "OcableCode";
inline constexpr const char* kAlarmCodeColumn = "objCode";

// Station bitmaps in the map component's custom-symbol folder.
inline constexpr const char* kBitmapTerminal = "光缆网络_终端站.BMP";
inline constexpr const char* kBitmapRelay = "光缆网络_二干中继站.BMP";
inline constexpr const char* kBitmapOther = "光缆网络_中继站.BMP";
inline constexpr int kSymbolSize = 14;

// Files and folders (joined with std::filesystem).
inline constexpr const char* kNetworkGeoset = "光缆网络分布图.gst";
inline constexpr const char* kOverviewGeoset = "mapGuide.gst";
inline constexpr const char* kLayerFilesFolder = "光缆网络分布图";
inline constexpr const char* kAppMapFolder = "Map";
inline constexpr const char* kAppIconFolder = "Icon";
inline constexpr const char* kLegendFolder = "图例";
inline constexpr const char* kLegendPicture = "图例-光缆网络分布图.bmp";
inline constexpr std::array<const char*, 3> kCustomSymbolSubdirs = {"MapInfo Shared", "MapX Common",
                                                                    "CUSTSYMB"};

// Configuration: <system dir>/data/config/guiConfig.ini.
inline constexpr std::array<const char*, 3> kConfigPath = {"data", "config", "guiConfig.ini"};

} // namespace ocable::vocab
