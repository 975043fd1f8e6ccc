#pragma once

#include <filesystem>
#include <string>

// The options the plug-in reads from the host's guiConfig.ini. Each read asks
// the host whether the file exists first; a missing file gives the default.
namespace ocable::GuiConfig {

std::filesystem::path configFilePath();

// Caption of every area node of the resource tree; "二干" when unset or empty.
std::string areaNodeCaption();
// Whether a system's cables come from the cable-system view (true, the
// default) or from the cable-system relation table.
bool localTransByFiber();
// Whether the channel-map view is offered; off when unset.
bool viewChannelMap();

// How the host's INI texts read as booleans: "true"/"false" in any case,
// "1"/"0", "yes"/"no"; anything else gives the fallback.
bool parseBoolean(const std::string& text, bool fallback);

} // namespace ocable::GuiConfig
