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
// Throws std::runtime_error when none of the three is set.
std::filesystem::path pluginRegistryPath();

// The entries of the registry; none when the file does not exist. Throws
// std::runtime_error naming the file and the reason when it exists but cannot
// be read, or is larger than any registry (1 MiB).
std::vector<PluginEntry> readPluginRegistry(const std::filesystem::path& file);
// Replaces every line of entry.library with one line for entry; other lines
// stay. Read, change and write happen under a lock on a file beside the
// registry, and the new text replaces the old in one rename, so neither a
// second host starting at the same time nor a crash loses a line. Throws
// like readPluginRegistry, and when the registry cannot be written.
void registerPlugin(const std::filesystem::path& file, const PluginEntry& entry);
// Removes the lines of that library and nothing else.
void unregisterPlugin(const std::filesystem::path& file, const std::string& library);

} // namespace ocable
