#pragma once

#include "host/PluginAbi.h"
#include "services/HostConfig.h"
#include "services/SqliteDataAccess.h"

#include <filesystem>
#include <memory>
#include <string>

namespace ocable::hostapp {

// Loads the view plug-in through its exports, the way the host loads any
// view: register it, take its class factory, create clsMain, hand it the
// array of the seven host objects.
class PluginHost {
public:
    PluginHost(HostConfig config, std::filesystem::path pluginPath);
    ~PluginHost();

    // Throws std::runtime_error with a Chinese message when the plug-in
    // cannot be loaded or initialised.
    void load();
    // Opens the optical-cable network map.
    void showOcable();

    SqliteDataAccess& dataAccess() { return *data_; }
    const HostConfig& config() const { return config_; }

private:
    HostConfig config_;
    std::filesystem::path pluginPath_;
    void* library_ = nullptr;
    std::shared_ptr<SqliteDataAccess> data_;
    std::unique_ptr<host::IClassFactory> factory_;
    std::unique_ptr<host::IViewPlugin> main_;
};

} // namespace ocable::hostapp
