#include "shell/clsMain.h"

#include "core/InitEnvError.h"
#include "core/Log.h"
#include "core/NetworkVocabulary.h"
#include "core/mPubVar.h"
#include "platform/ui/MdiEmbedding.h"
#include "shell/frmViewOcableMain.h"

#include <QCoreApplication>
#include <QMdiSubWindow>

#include <dlfcn.h>

namespace ocable {

namespace {

template <class T>
void storeElement(const host::HostArray& arr, int k, ServiceSlot<T>& slot, const char* role) {
    if (!arr.hasIndex(k))
        throw InitEnvError(InitEnvError::Kind::SubscriptOutOfRange, k,
                           "宿主服务数组没有第 " + std::to_string(k) + " 个元素（下标越界）");
    const auto& element = arr.at(k);
    // An empty element is stored as empty: the service is then created on use.
    auto converted = std::dynamic_pointer_cast<T>(element);
    if (element && !converted)
        throw InitEnvError(InitEnvError::Kind::TypeMismatch, k,
                           "宿主服务数组第 " + std::to_string(k) + " 个元素不是" + role + "（类型不匹配）");
    slot.set(std::move(converted));
}

} // namespace

void clsMain::initEnv(host::HostArray& objArr) {
    using namespace mPubVar;
    // The host names its service classes through a function of its program,
    // so that initEnv and ShowOcable are all a host must call. Without it the
    // factories stay as they were (none, or those a test registered).
    if (auto* lookup = reinterpret_cast<HostServiceFactoriesFn>(
            dlsym(RTLD_DEFAULT, host::kHostServiceFactoriesSymbol))) {
        if (const host::ServiceFactories* factories = lookup()) registerServiceFactories(*factories);
    }
    storeElement(objArr, 1, gobjGridService, "表格服务");
    storeElement(objArr, 2, gobjCommon, "公共服务");
    storeElement(objArr, 3, gobjSysEnv, "环境服务");
    storeElement(objArr, 4, gobjSysParam, "系统参数");
    storeElement(objArr, 5, gobjMessage, "消息服务");
    storeElement(objArr, 6, gobjDataAccess, "数据访问服务");
    storeElement(objArr, 7, gobjHostExtra, "宿主对象");

    // Property forms need the host's resource service; a host that offers
    // none still shows the map.
    guarded("创建资源服务", [&] {
        auto resService = gobjResService.createNew();
        gobjResService.set(resService);
        resService->initResService(objArr);
    });

    gUserName = gobjSysEnv->getUserName();
}

void clsMain::ShowOcable(std::string& /*sTmp*/) {
    frmViewOcableMain& view = frmViewOcableMain::instance();
    if (view.drawOcableNetMap(QString::fromUtf8(vocab::kRuleByArea), QString::fromUtf8(vocab::kScopeAll))) {
        // The map is the view the operator came for: it takes the whole frame.
        if (auto* sub = ui::MdiEmbedding::subWindowOf(&view)) sub->showMaximized();
        view.show();
        QCoreApplication::processEvents();
        view.frmResize();
    }
    QCoreApplication::processEvents();
}

} // namespace ocable
