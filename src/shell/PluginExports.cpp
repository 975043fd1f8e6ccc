// The four C exports through which the host registers the plug-in, creates
// its class and learns when it may unload it.

#include "core/LibraryObjects.h"
#include "core/Log.h"
#include "host/PluginAbi.h"
#include "shell/PluginRegistry.h"
#include "shell/clsMain.h"

#include <dlfcn.h>

#include <cstring>
#include <filesystem>

namespace {

constexpr const char* kLibraryName = "QzTransViewOcable";
constexpr const char* kClassName = "clsMain";
constexpr const char* kVersion = "1.00";

class clsMainFactory : public ocable::host::IClassFactory {
public:
    std::unique_ptr<ocable::host::IViewPlugin> CreateInstance() override {
        return std::make_unique<ocable::clsMain>();
    }

private:
    ocable::LibraryObjectToken token_;
};

std::filesystem::path thisLibraryPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&thisLibraryPath), &info) == 0 || !info.dli_fname) return {};
    std::error_code ec;
    auto path = std::filesystem::canonical(info.dli_fname, ec);
    return ec ? std::filesystem::absolute(info.dli_fname) : path;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) std::int32_t DllRegisterServer() {
    try {
        ocable::registerPlugin(ocable::pluginRegistryPath(),
                               {kLibraryName, kClassName, kVersion, thisLibraryPath()});
        return ocable::host::kOk;
    } catch (const std::exception& e) {
        qCWarning(lcComponent, "插件注册失败：%s", e.what());
        return ocable::host::kRegistryError;
    } catch (...) {
        return ocable::host::kRegistryError;
    }
}

__attribute__((visibility("default"))) std::int32_t DllUnregisterServer() {
    try {
        ocable::unregisterPlugin(ocable::pluginRegistryPath(), kLibraryName);
        return ocable::host::kOk;
    } catch (const std::exception& e) {
        qCWarning(lcComponent, "插件注销失败：%s", e.what());
        return ocable::host::kRegistryError;
    } catch (...) {
        return ocable::host::kRegistryError;
    }
}

__attribute__((visibility("default"))) std::int32_t DllGetClassObject(const char* className,
                                                                      ocable::host::IClassFactory** factory) {
    if (!factory) return ocable::host::kFail;
    *factory = nullptr;
    if (!className || std::strcmp(className, kClassName) != 0) return ocable::host::kNoClass;
    try {
        *factory = new clsMainFactory();
        return ocable::host::kOk;
    } catch (...) {
        return ocable::host::kFail;
    }
}

__attribute__((visibility("default"))) std::int32_t DllCanUnloadNow() {
    return ocable::liveLibraryObjects() == 0 ? ocable::host::kOk : ocable::host::kFalse;
}

} // extern "C"
