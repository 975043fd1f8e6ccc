#pragma once

class QMainWindow;

namespace ocable::hostapp {

// The frame's menu "工具": commands of the map view that no menu of the view
// itself offers. "局站位置调整" opens the coordinate dialog for the one
// selected station; "光纤信息" and "局站传输" click the view's commands
// "mnuFiber" and "mnuPassTrans"; "查找资源" (Ctrl+F), "统计光缆长度", "计算两点距离"
// and "骨干光缆线路信息" click "mnuFindRes", "mnuGetLength", "mnuXY" and "mnuLineinfo".
void addMapToolsMenu(QMainWindow& frame);

} // namespace ocable::hostapp
