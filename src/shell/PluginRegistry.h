#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ocable {

// The host's plug-in registry: a UTF-8 text file, one plug-in a line,
//   library<TAB>class<TAB>version<TAB>absolute path of the shared library
// Lines starting with '#' and blank lines are kept as they are.
struct PluginEntry {
    std::string library;
    std::string className;
    std::string version;
    std::filesystem::path path;
};

// The file named by $QZTRANS_PLUGIN_REGISTRY, or
// $XDG_CONFIG_HOME/qztrans/plugins.reg ($HOME/.config when that is unset).
std::filesystem::path pluginRegistryPath();

std::vector<PluginEntry> readPluginRegistry(const std::filesystem::path& file);
// Replaces every line of entry.library with one line for entry; other lines
// stay. The file is written aside and renamed, so it is never half-written.
void registerPlugin(const std::filesystem::path& file, const PluginEntry& entry);
// Removes the lines of that library and nothing else.
void unregisterPlugin(const std::filesystem::path& file, const std::string& library);

} // namespace ocable
