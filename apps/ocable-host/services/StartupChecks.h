#pragma once

#include "HostConfig.h"

#include <filesystem>
#include <string>

namespace ocable::hostapp {

// What the host checks before it loads the view, so that a user reads which
// file is wrong and why, instead of seeing the window flash and vanish. Each
// check gives an empty text when all is well, else one Chinese sentence that
// names the file and the cause.
class StartupChecks {
public:
    // The network database: given, present, a readable non-empty SQLite
    // file that no other program holds locked.
    static std::string database(const std::filesystem::path& file);
    // The host's folders that are set: each must be a folder the host may
    // read; the map folder must also be writable (the map is saved there).
    // The application folder must exist unless it is still to be laid out.
    static std::string folders(const HostConfig& config, bool requireAppDir = true);
    // The plug-in registry: an existing registry must be a readable and
    // writable file, a new one must be creatable in its folder.
    static std::string registry(const std::filesystem::path& file);
    // Where the plug-in registry lies: $QZTRANS_PLUGIN_REGISTRY, else
    // $XDG_CONFIG_HOME or ~/.config, then qztrans/plugins.reg. Empty when
    // none of these is set.
    static std::filesystem::path registryPath();
};

} // namespace ocable::hostapp
