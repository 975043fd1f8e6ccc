#include "core/mPubVar.h"

namespace ocable::mPubVar {

ServiceSlot<host::IGridService> gobjGridService("gobjGridService");
ServiceSlot<host::ICommon> gobjCommon("gobjCommon");
ServiceSlot<host::ISysEnv> gobjSysEnv("gobjSysEnv");
ServiceSlot<host::ISysParam> gobjSysParam("gobjSysParam");
ServiceSlot<host::IMessage> gobjMessage("gobjMessage");
ServiceSlot<host::IDataAccess> gobjDataAccess("gobjDataAccess");
ServiceSlot<host::IHostExtra> gobjHostExtra("gobjHostExtra");
ServiceSlot<host::IResService> gobjResService("gobjResService");
ServiceSlot<host::IIniFile> gobjIniFile("gobjIniFile");
ServiceSlot<host::IViewBridge> gobjViewBridge("gobjViewBridge");

std::string gUserName;
QPointer<QWidget> gfrmCurrentView;

void registerServiceFactories(const host::ServiceFactories& f) {
    gobjGridService.setFactory(f.gridService);
    gobjCommon.setFactory(f.common);
    gobjSysEnv.setFactory(f.sysEnv);
    gobjSysParam.setFactory(f.sysParam);
    gobjMessage.setFactory(f.message);
    gobjDataAccess.setFactory(f.dataAccess);
    gobjResService.setFactory(f.resService);
    gobjIniFile.setFactory(f.iniFile);
    gobjViewBridge.setFactory(f.viewBridge);
}

void releaseGlobals() {
    gobjGridService.reset();
    gobjCommon.reset();
    gobjSysEnv.reset();
    gobjSysParam.reset();
    gobjMessage.reset();
    gobjDataAccess.reset();
    gobjHostExtra.reset();
    gobjResService.reset();
    gobjIniFile.reset();
    gobjViewBridge.reset();
}

} // namespace ocable::mPubVar
