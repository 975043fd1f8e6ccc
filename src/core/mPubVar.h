#pragma once

#include "core/ServiceSlot.h"
#include "host/ICommon.h"
#include "host/IDataAccess.h"
#include "host/IMessage.h"
#include "host/IResService.h"
#include "host/ISysEnv.h"
#include "host/ServiceFactories.h"

#include <QPointer>
#include <QWidget>
#include <string>

// The plug-in's process-wide state: the host's services, set by
// clsMain::initEnv and released when the main window closes.
namespace ocable::mPubVar {

extern ServiceSlot<host::IGridService> gobjGridService; // host element 1
extern ServiceSlot<host::ICommon> gobjCommon;           // host element 2
extern ServiceSlot<host::ISysEnv> gobjSysEnv;           // host element 3
extern ServiceSlot<host::ISysParam> gobjSysParam;       // host element 4
extern ServiceSlot<host::IMessage> gobjMessage;         // host element 5
extern ServiceSlot<host::IDataAccess> gobjDataAccess;   // host element 6
extern ServiceSlot<host::IHostExtra> gobjHostExtra;     // host element 7, never created on use
extern ServiceSlot<host::IResService> gobjResService;   // made by initEnv
extern ServiceSlot<host::IIniFile> gobjIniFile;
extern ServiceSlot<host::IViewBridge> gobjViewBridge;

extern std::string gUserName;
// The map window that is active now; null when none is.
extern QPointer<QWidget> gfrmCurrentView;

// The service classes the host offers for creation on use.
void registerServiceFactories(const host::ServiceFactories& factories);
// Drops every reference to a host service.
void releaseGlobals();

} // namespace ocable::mPubVar
