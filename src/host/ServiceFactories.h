#pragma once

#include "host/ICommon.h"
#include "host/IDataAccess.h"
#include "host/IMessage.h"
#include "host/IResService.h"
#include "host/ISysEnv.h"

#include <functional>
#include <memory>

namespace ocable::host {

// The service classes the host registers with the plug-in: the plug-in
// creates an instance when it reads a service it holds no reference to.
// An empty function means the host offers no such class.
struct ServiceFactories {
    std::function<std::shared_ptr<IGridService>()> gridService;
    std::function<std::shared_ptr<ICommon>()> common;
    std::function<std::shared_ptr<ISysEnv>()> sysEnv;
    std::function<std::shared_ptr<ISysParam>()> sysParam;
    std::function<std::shared_ptr<IMessage>()> message;
    std::function<std::shared_ptr<IDataAccess>()> dataAccess;
    std::function<std::shared_ptr<IResService>()> resService;
    std::function<std::shared_ptr<IIniFile>()> iniFile;
    std::function<std::shared_ptr<IViewBridge>()> viewBridge;
};

} // namespace ocable::host
