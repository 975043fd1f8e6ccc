#include "PluginHost.h"

#include "platform/db/SqlQuote.h"
#include "services/HostLog.h"
#include "services/HostResService.h"
#include "services/HostServices.h"
#include "services/IniFileReader.h"

#include <dlfcn.h>
#include <stdexcept>

namespace ocable::hostapp {

namespace {

// The service classes this program offers its plug-ins, filled by
// PluginHost::load before the plug-in's initEnv asks for them.
ocable::host::ServiceFactories hostFactories;
bool hostFactoriesReady = false;

template <class Fn> Fn exported(void* library, const char* name) {
    auto* symbol = dlsym(library, name);
    if (!symbol) throw std::runtime_error(std::string("插件缺少导出函数：") + name);
    return reinterpret_cast<Fn>(symbol);
}

} // namespace

PluginHost::PluginHost(HostConfig config, std::filesystem::path pluginPath)
    : config_(std::move(config)), pluginPath_(std::move(pluginPath)) {}

PluginHost::~PluginHost() {
    // The plug-in's objects go first; the library itself stays mapped, as Qt
    // may still hold pointers into it until the application ends.
    main_.reset();
    factory_.reset();
}

void PluginHost::load() {
    if (!std::filesystem::exists(config_.database))
        throw std::runtime_error("找不到网络数据库：" + config_.database.string());
    data_ = std::make_shared<SqliteDataAccess>(config_.database);

    library_ = dlopen(pluginPath_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library_) throw std::runtime_error(std::string("无法加载插件：") + dlerror());
    if (exported<DllRegisterServerFn>(library_, "DllRegisterServer")() != host::kOk)
        throw std::runtime_error("插件注册失败：" + pluginPath_.string());
    host::IClassFactory* factory = nullptr;
    if (exported<DllGetClassObjectFn>(library_, "DllGetClassObject")("clsMain", &factory) != host::kOk ||
        !factory)
        throw std::runtime_error("插件没有提供类 clsMain");
    factory_.reset(factory);
    main_ = factory_->CreateInstance();

    auto data = data_;
    auto user = config_.userName;
    auto common = std::make_shared<HostCommon>([data, user](const std::vector<std::string>& entry) {
        try {
            data->executeSql(
                "systemDB",
                "INSERT INTO OPERATIONLOG (OPCODE, OPCONTENT, OBJECTCODE, OBJECTTYPE, PARAM1, PARAM2, "
                "USERNAME) VALUES (" +
                    db::sqlQuote(entry[0]) + ", " + db::sqlQuote(entry[1]) + ", " + db::sqlQuote(entry[2]) +
                    ", " + db::sqlQuote(entry[3]) + ", " + db::sqlQuote(entry[4]) + ", " +
                    db::sqlQuote(entry[5]) + ", " + db::sqlQuote(user) + ")");
        } catch (const std::exception& e) {
            // The log is the host's record; a failure there must not stop the view.
            qCWarning(lcHost, "操作日志未能写入：%s", e.what());
        }
    });
    auto sysEnv = std::make_shared<HostSysEnv>(config_);
    auto message = std::make_shared<HostMessage>();

    host::ServiceFactories factories;
    factories.gridService = [] { return std::make_shared<HostGridService>(); };
    factories.common = [common] { return common; };
    factories.sysEnv = [config = config_] { return std::make_shared<HostSysEnv>(config); };
    factories.sysParam = [] { return std::make_shared<HostSysParam>(); };
    factories.message = [message] { return message; };
    factories.dataAccess = [data] { return data; };
    factories.resService = [data] { return std::make_shared<HostResService>(data); };
    factories.iniFile = [] { return std::make_shared<IniFileReader>(); };
    factories.viewBridge = [data] { return std::make_shared<HostViewBridge>(data); };
    hostFactories = std::move(factories);
    hostFactoriesReady = true;

    host::HostArray objects;
    objects.lowerBound = 1;
    objects.elements = {std::make_shared<HostGridService>(), common,  sysEnv,
                        std::make_shared<HostSysParam>(),    message, data,
                        std::make_shared<HostExtra>()};
    main_->initEnv(objects);
}

void PluginHost::showOcable() {
    std::string unused;
    main_->ShowOcable(unused);
}

} // namespace ocable::hostapp

// Found by the plug-in in this program's symbols (ENABLE_EXPORTS).
extern "C" __attribute__((visibility("default"))) const ocable::host::ServiceFactories*
QzTransHostServiceFactories() {
    using namespace ocable::hostapp;
    return hostFactoriesReady ? &hostFactories : nullptr;
}
