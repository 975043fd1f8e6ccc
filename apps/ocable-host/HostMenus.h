#pragma once

class QMainWindow;

namespace ocable::hostapp {

// The frame's menu "工具": commands of the map view that no menu of the view
// itself offers. "局站位置调整" opens the coordinate dialog for the one
// selected station; "光纤信息" and "局站传输" click the view's commands
// "mnuFiber" and "mnuPassTrans".
void addMapToolsMenu(QMainWindow& frame);

} // namespace ocable::hostapp
