#include "interaction/MapCommands.h"

#include "core/ViewContext.h"
#include "core/mPubVar.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/gis/MapWidget.h"
#include "platform/ui/ActiveBar.h"
#include "platform/ui/MessageBoxService.h"

#include <QFrame>

#include <algorithm>

namespace ocable {

using namespace bands;

namespace {

// Window layout is designed in twips; at 96 dots per inch 15 twips make a pixel.
constexpr int twips(int t) {
    return t / 15;
}

} // namespace

void MapCommands::buildBands() {
    ui::ActiveBar& bar = *view_.activebarMain;
    bar.addBand(kToolbar, "工具栏", ui::ActiveBar::BandKind::Toolbar);
    struct ToolSpec {
        const char* key;
        const char* caption;
        const char* tip;
    };
    const ToolSpec tools[] = {
        {"mnu_view_zoomIn", "放大", "放大"},
        {"mnu_view_zoomOut", "缩小", "缩小"},
        {"mnu_view_mapMove", "移动", "移动"},
        {"mnu_view_Drag", "拖动", "拖动(&D)"},
        {"mnu_view_layerCtrl", "图层控制", "图层控制"},
        {nullptr, nullptr, nullptr},
        {"mnu_view_selectSingle", "单个选择", "单个选择"},
        {"mnu_view_selectCircle", "圆形选择", "圆形选择"},
        {"mnu_view_selectRectangle", "矩形选择", "矩形选择"},
        {"mnu_view_selectPolygon", "多边形选择", "多边形选择"},
        {nullptr, nullptr, nullptr},
        {"mnu_view_Radar", "雷达图", "雷达图"},
        {"mnu_view_Legend", "图例图", "图例图"},
        {"mnu_view_Restree", "资源树", "资源树"},
        {"mnu_view_Property", "属性窗口", "属性窗口"},
        {nullptr, nullptr, nullptr},
        {"mnu_stopSound", "告警声音暂停", "声音暂停"},
    };
    for (const auto& t : tools) {
        if (!t.key)
            bar.addSeparator(kToolbar);
        else
            bar.addTool(kToolbar, t.key, t.caption, t.tip);
    }
    bar.addBand(kPropertyBand, "属性窗口", ui::ActiveBar::BandKind::Dock);
    bar.addTool(kPropertyBand, kPropertyBand, "属性窗口");
    bar.addBand(kTreeBand, "资源树", ui::ActiveBar::BandKind::Dock);
    bar.addTool(kTreeBand, kTreeBand, "资源树");
    bar.addBand(kInputBand, "资源录入", ui::ActiveBar::BandKind::Dock);

    ui::ActiveBar& menu = *view_.ActiveBarMenu;
    menu.addBand(kPopBand, "弹出菜单", ui::ActiveBar::BandKind::Popup);
    menu.addTool(kPopBand, "mnuShowRoom", "机房面板图");
    menu.addSeparator(kPopBand);
    menu.addTool(kPopBand, "mnu_ShowGL", "光缆网络图");
    menu.addTool(kPopBand, "mnu_ShowGX", "管线网络图");
    menu.addSeparator(kPopBand);
    menu.addTool(kPopBand, "mnuRefresh", "刷新视图");
    menu.addTool(kPopBand, "mnuPrint", "打印视图");
    menu.addTool(kPopBand, "mnuProperty", "显示属性");
    // Keys without an entry in the pop-up menu.
    menu.addBand(kCommandBand, "地图命令", ui::ActiveBar::BandKind::Popup);
    const std::pair<const char*, const char*> commands[] = {
        {"mnuFindRes", "查找资源"},  {"mnuGetLength", "光缆长度"}, {"mnuXY", "两点距离"},
        {"mnuLineinfo", "线路信息"}, {"mnufault", "光缆段编码"},   {"mnuPassTrans", "局站传输"},
        {"mnuFiber", "光纤信息"}};
    for (const auto& [key, caption] : commands)
        menu.addTool(kCommandBand, key, caption);
    menu.addBand("resAdd", "资源添加", ui::ActiveBar::BandKind::Popup);
    menu.addBand("equipRelation", "设备关系", ui::ActiveBar::BandKind::Popup);
}

void MapCommands::toggleTool(const std::string& key) {
    ui::ActiveBar& bar = *view_.activebarMain;
    bar.setChecked(kToolbar, key, !bar.checked(kToolbar, key));
}

void MapCommands::onToolbarClick(const std::string& key) {
    ui::ActiveBar& bar = *view_.activebarMain;
    gis::Map& map = view_.Map1->map();
    static const std::pair<const char*, int> toolNumbers[] = {
        {"mnu_view_zoomIn", gis::tools::ZoomIn},
        {"mnu_view_zoomOut", gis::tools::ZoomOut},
        {"mnu_view_mapMove", gis::tools::Pan},
        {"mnu_view_selectSingle", gis::tools::Select},
        {"mnu_view_selectCircle", gis::tools::RadiusSelect},
        {"mnu_view_selectRectangle", gis::tools::RectSelect},
        {"mnu_view_selectPolygon", gis::tools::PolygonSelect}};
    for (const auto& [k, number] : toolNumbers)
        if (key == k) map.setCurrentTool(number);
    if (key == "mnu_view_Radar") {
        toggleTool(key);
        view_.Map2->setVisible(bar.checked(kToolbar, key));
    } else if (key == "mnu_view_layerCtrl") {
        view_.Map1->showLayerControlDialog();
    } else if (key == "mnu_view_Legend") {
        toggleTool(key);
        view_.frmLegend->setVisible(bar.checked(kToolbar, key));
        frmResize();
    } else if (key == "mnu_view_Restree") {
        toggleTool(key);
        bar.setBandVisible(kTreeBand, bar.checked(kToolbar, key));
        bar.RecalcLayout();
    } else if (key == "mnu_view_Drag") {
        toggleTool(key);
        view_.IsDraging = bar.checked(kToolbar, key);
    }
}

void MapCommands::ActiveBar_ToolClick(const std::string& key) {
    toggleTool(key);
    if (key == "mnu_view_Drag" && view_.activebarMain->checked(kToolbar, key)) {
        gis::Map& map = view_.Map1->map();
        for (int i = 1; i <= map.Layers().Count(); ++i)
            map.Layers().Item(i).Selection().ClearSelection();
        map.setCurrentTool(gis::tools::Select);
    }
}

bool MapCommands::onMenuClick(const std::string& key) {
    const auto command = view_.menuCommands.find(key);
    if (command == view_.menuCommands.end() || !command->second) return false;
    command->second();
    return true;
}

void MapCommands::handleMapKeys(int keyCode, int shift) {
    if (shift != 0) return;
    gis::Map& map = view_.Map1->map();
    switch (keyCode) {
    case 87:
        map.setCenterY(map.CenterY() - 1);
        break; // W
    case 83:
        map.setCenterY(map.CenterY() + 1);
        break; // S
    case 65:
        map.setCenterX(map.CenterX() + 1);
        break; // A
    case 68:
        map.setCenterX(map.CenterX() - 1);
        break; // D
    default:
        break;
    }
}

void MapCommands::onMapKeyDown(int keyCode, int shift) {
    constexpr int kF3 = 114, kF = 70, kCtrl = 2;
    handleMapKeys(keyCode, shift);
    if (view_.isFounding && keyCode == kF3) {
        if (view_.findAgain) view_.findAgain();
    } else if (keyCode == kF && shift == kCtrl) {
        if (view_.showFindDialog) view_.showFindDialog();
    }
}

void MapCommands::frmResize() {
    QWidget* pic = view_.PicMain;
    if (!pic || (view_.window && !view_.window->isVisible())) return;
    gis::MapWidget* map1 = view_.Map1;
    gis::MapWidget* map2 = view_.Map2;
    QFrame* legend = view_.frmLegend;
    const int w = pic->width(), h = pic->height();
    map1->setGeometry(0, 0, std::max(1, w - twips(100)), std::max(1, h - twips(400)));
    static_cast<QWidget*>(map2)->move(w - map2->width() - twips(120), 0);
    legend->move(w - legend->width() - twips(100), h - legend->height() - twips(500));
    map2->raise();
    legend->raise();
    // The map was loaded before the window had its size; the first time it
    // is shown at a real size it shows the whole of the map.
    if (!viewFitted_ && view_.window && view_.window->isVisible() && map1->width() > 200 &&
        map1->height() > 150) {
        viewFitted_ = true;
        map1->map().setBounds(map1->map().fullExtent());
        map2->map().setBounds(map2->map().fullExtent());
    }
}

void MapCommands::syncViewTools() {
    mPubVar::gfrmCurrentView = view_.window;
    ui::ActiveBar& bar = *view_.activebarMain;
    bar.setChecked(kToolbar, "mnu_view_Radar", !view_.Map2->isHidden());
    bar.setChecked(kToolbar, "mnu_view_Legend", !view_.frmLegend->isHidden());
    bar.setChecked(kToolbar, "mnu_view_Restree", bar.bandVisible(kTreeBand));
}

void MapCommands::myPrintWarningInfo(const std::string& warning) {
    ui::MessageBoxService::instance().show(warning, "提示信息", ui::MessageBoxService::Buttons::OK,
                                           ui::MessageBoxService::Icon::Warning,
                                           ui::MessageBoxService::Answer::OK, view_.window);
}

} // namespace ocable
