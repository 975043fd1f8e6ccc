#pragma once

#include "host/HostArray.h"
#include "host/ServiceFactories.h"

#include <cstdint>
#include <memory>
#include <string>

// The binary entry of a view plug-in: four C exports in the manner of an
// in-process component server, and the C++ interfaces they hand out.

namespace ocable::host {

// Result codes of the exports, with the values of the classic HRESULTs.
enum PluginResult : std::int32_t {
    kOk = 0,                                          // S_OK
    kFalse = 1,                                       // S_FALSE
    kFail = static_cast<std::int32_t>(0x80004005),    // E_FAIL
    kNoClass = static_cast<std::int32_t>(0x80040111), // CLASS_E_CLASSNOTAVAILABLE
    kRegistryError = static_cast<std::int32_t>(0x80040154),
};

// What the host sees of the plug-in's public class clsMain.
class IViewPlugin {
public:
    virtual ~IViewPlugin() = default;
    virtual void initEnv(HostArray& objArr) = 0;
    virtual void ShowOcable(std::string& sTmp) = 0;
};

// Creates instances of one class of the plug-in.
class IClassFactory {
public:
    virtual ~IClassFactory() = default;
    virtual std::unique_ptr<IViewPlugin> CreateInstance() = 0;
};

// Environment variable naming the host's plug-in registry file. Without it the
// registry is $XDG_CONFIG_HOME/qztrans/plugins.reg (~/.config when unset).
inline constexpr const char* kRegistryEnvVar = "QZTRANS_PLUGIN_REGISTRY";

// The service classes of the host, for the plug-in to create a service on
// use (after the close released it, say). The host program exports a C
// function of this name (an executable must be linked with its symbols
// exported, -rdynamic); the plug-in looks it up in the process at initEnv.
// A host without it is served only by the objects it hands to initEnv.
inline constexpr const char* kHostServiceFactoriesSymbol = "QzTransHostServiceFactories";

} // namespace ocable::host

extern "C" {
// The function named by kHostServiceFactoriesSymbol. Null while the host has
// none to offer; the object outlives the plug-in.
using HostServiceFactoriesFn = const ocable::host::ServiceFactories* (*)();
const ocable::host::ServiceFactories* QzTransHostServiceFactories();

using DllRegisterServerFn = std::int32_t (*)();
using DllUnregisterServerFn = std::int32_t (*)();
// className "clsMain"; on success *factory receives a factory the caller owns (delete it).
using DllGetClassObjectFn = std::int32_t (*)(const char* className, ocable::host::IClassFactory** factory);
using DllCanUnloadNowFn = std::int32_t (*)();
}
