#include "shell/frmViewOcableMain.h"

#include "map/NetworkVocabulary.h"
#include "map/mdlViewMap.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/gis/MapWidget.h"
#include "platform/ui/ActiveBar.h"
#include "platform/ui/CheckTreeView.h"
#include "platform/ui/MdiEmbedding.h"
#include "platform/ui/MessageBoxService.h"
#include "resources/frmViewProperty.h"
#include "resources/frmWaiting.h"
#include "shell/mPubFun.h"
#include "shell/mPubVar.h"
#include "systemtree/frmViewResTree.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QVBoxLayout>

namespace fs = std::filesystem;

namespace ocable {

namespace {

QPointer<frmViewOcableMain>& shared() {
    static QPointer<frmViewOcableMain> instance;
    return instance;
}

constexpr const char* kToolbar = "toolbar";
constexpr const char* kPropertyBand = "frmProperty";
constexpr const char* kTreeBand = "frmResTree";
constexpr const char* kInputBand = "frmResInput";
constexpr const char* kPopBand = "mnuPop";

// Window layout is designed in twips; at 96 dots per inch 15 twips make a pixel.
constexpr int twips(int t) { return t / 15; }

// Each step of the load and unload is guarded: a failing step is passed over.
template <class Fn> void guarded(Fn&& fn) {
    try {
        fn();
    } catch (const std::exception&) {
    }
}

void letEventsRun() { QCoreApplication::processEvents(); }

} // namespace

frmViewOcableMain::frmViewOcableMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmViewOcableMain");
    setWindowTitle(QString::fromUtf8(vocab::kMapTitle));
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildWidgets();
    buildBands();
    state_.map = &map1_->map();
    state_.TreeRes = &treeRes_->tree();
    NetworkDrawing::Hooks hooks;
    hooks.letEventsRun = letEventsRun;
    hooks.showWaiting = [] { frmWaiting::instance().showAndPaint(); };
    hooks.unloadWaiting = [] { frmWaiting::unload(); };
    hooks.mirrorResourceTree = [this] { mirrorResourceTree(); };
    drawing_ = std::make_unique<NetworkDrawing>(state_, std::move(hooks));
}

frmViewOcableMain::~frmViewOcableMain() {
    if (!unloaded_) Form_Unload();
}

frmViewOcableMain& frmViewOcableMain::instance() {
    if (!shared()) {
        shared() = new frmViewOcableMain();
        shared()->Form_Load();
    }
    return *shared();
}

bool frmViewOcableMain::loaded() { return !shared().isNull(); }

gis::Map& frmViewOcableMain::map1() const { return map1_->map(); }
ui::KeyedTree& frmViewOcableMain::TreeRes() { return treeRes_->tree(); }
ui::KeyedTree& frmViewOcableMain::TreeSystem() { return treeSystem_->tree(); }
gis::Map& frmViewOcableMain::map2() const { return map2_->map(); }

void frmViewOcableMain::buildWidgets() {
    picMain_ = new QWidget(this);
    picMain_->setObjectName("PicMain");
    map1_ = new gis::MapWidget(picMain_);
    map1_->setObjectName("Map1");
    map2_ = new gis::MapWidget(picMain_);
    map2_->setObjectName("Map2");
    map2_->resize(220, 160);
    map2_->setVisible(false);

    frmLegend_ = new QFrame(picMain_);
    frmLegend_->setObjectName("frmLegend");
    frmLegend_->setFrameStyle(QFrame::Box | QFrame::Plain);
    imgLegend_ = new QLabel(frmLegend_);
    imgLegend_->setObjectName("imgLegend");
    auto* legendLayout = new QVBoxLayout(frmLegend_);
    legendLayout->setContentsMargins(1, 1, 1, 1);
    legendLayout->addWidget(imgLegend_);
    frmLegend_->setVisible(false);

    treeRes_ = new ui::CheckTreeView(this);
    treeRes_->setObjectName("TreeRes");
    treeRes_->setVisible(false);
    treeSystem_ = new ui::CheckTreeView(this);
    treeSystem_->setObjectName("TreeSystem");
    treeSystem_->setVisible(false);

    tmrIntervel_ = new QTimer(this);
    tmrIntervel_->setObjectName("tmrIntervel");
    tmrIntervel_->setInterval(1);
    tmrNodeClick_ = new QTimer(this);
    tmrNodeClick_->setObjectName("tmrNodeClick");
    tmrNodeClick_->setInterval(100);

    connect(map1_, &gis::MapWidget::KeyDown, this, [this](int keyCode, int shift) {
        guarded([&] { handleMapKeys(keyCode, shift); });
    });
}

void frmViewOcableMain::buildBands() {
    activebarMain_ = new ui::ActiveBar(this, this);
    activebarMain_->setObjectName("activebarMain");
    auto& bar = *activebarMain_;
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
    connect(&bar, &ui::ActiveBar::toolClick, this, &frmViewOcableMain::onToolClick);

    activeBarMenu_ = new ui::ActiveBar(this, this);
    activeBarMenu_->setObjectName("ActiveBarMenu");
    auto& menu = *activeBarMenu_;
    menu.addBand(kPopBand, "弹出菜单", ui::ActiveBar::BandKind::Popup);
    menu.addTool(kPopBand, "mnuShowRoom", "机房面板图");
    menu.addSeparator(kPopBand);
    menu.addTool(kPopBand, "mnu_ShowGL", "光缆网络图");
    menu.addTool(kPopBand, "mnu_ShowGX", "管线网络图");
    menu.addSeparator(kPopBand);
    menu.addTool(kPopBand, "mnuRefresh", "刷新视图");
    menu.addTool(kPopBand, "mnuPrint", "打印视图");
    menu.addTool(kPopBand, "mnuProperty", "显示属性");
    menu.addBand("resAdd", "资源添加", ui::ActiveBar::BandKind::Popup);
    menu.addBand("equipRelation", "设备关系", ui::ActiveBar::BandKind::Popup);
    connect(&menu, &ui::ActiveBar::toolClick, this, &frmViewOcableMain::onMenuClick);
}

void frmViewOcableMain::Form_Load() {
    auto& bar = *activebarMain_;
    guarded([&] { ui::MdiEmbedding::embed(this, 2); });
    guarded([&] { watchMdiActivation(); });
    guarded([&] {
        bar.setHostedWindow(kPropertyBand, kPropertyBand, &frmViewProperty::instance());
        bar.setHostedWindow(kTreeBand, kTreeBand, &frmViewResTree::instance());
        bar.setBandVisible(kPropertyBand, false);
        bar.setBandVisible(kTreeBand, true);
        bar.setBandVisible(kInputBand, false);
    });
    guarded([&] {
        mPubVar::gfrmCurrentView = this;
        bar.setBandVisible(kTreeBand, true);
        bar.setChecked(kToolbar, "mnu_view_Restree", true);
        bar.RecalcLayout();
        mPubVar::gobjCommon->hostWindowOf(this);
    });
    guarded([&] {
        bar.setClientArea(picMain_);
        bar.RecalcLayout();
        bar.Refresh();
    });
    guarded([&] {
        const fs::path mapDir = mPubVar::gobjSysEnv->getMapDir();
        mPubFun::deleteExistingFiles(mapDir / vocab::kLayerFilesFolder, mapDir);
        mPubFun::copyFolderFiles(mapDir / vocab::kLayerFilesFolder, mapDir);
    });
    guarded([&] {
        map1().setSymbolFolder(mPubFun::getCustomSymbolDir());
        map2().setSymbolFolder(mPubFun::getCustomSymbolDir());
    });
    guarded([&] {
        map1().loadGeoset(mPubVar::gobjSysEnv->getAppDir() / vocab::kAppMapFolder / vocab::kNetworkGeoset);
    });
    try {
        mdlViewMap::bindLayerDatasets(map1());
    } catch (const std::exception&) {
        guarded([] { mPubVar::gobjMessage->showError("地图数据加载出错！"); });
    }
    guarded([&] {
        map1().CreateCustomTool(10, gis::ToolType::Point, 18);
        map1().setCurrentTool(gis::tools::Select);
    });
    guarded([&] {
        map2().loadGeoset(mPubVar::gobjSysEnv->getAppDir() / vocab::kAppMapFolder / vocab::kOverviewGeoset);
    });
    IsDraging = false;
    blnSetStation = false;
    state_.LayerDictionary.assign(vocab::kNetworkLayers.begin(), vocab::kNetworkLayers.end());
    guarded([&] {
        const QImage legend = mPubVar::gobjCommon->loadPicture(
            vocab::kLegendPicture, mPubVar::gobjSysEnv->getAppDir() / vocab::kAppIconFolder / vocab::kLegendFolder);
        imgLegend_->setPixmap(QPixmap::fromImage(legend));
        frmLegend_->adjustSize();
    });
}

void frmViewOcableMain::watchMdiActivation() {
    QMdiArea* area = ui::MdiEmbedding::hostArea();
    QMdiSubWindow* mine = ui::MdiEmbedding::subWindowOf(this);
    if (!area || !mine) return;
    connect(area, &QMdiArea::subWindowActivated, this, [this, mine](QMdiSubWindow* now) {
        if (unloaded_) return;
        if (now == mine && !active_)
            Form_Activate();
        else if (now != mine && active_)
            Form_Deactivate();
    });
}

bool frmViewOcableMain::event(QEvent* e) {
    // Outside an MDI frame the window's own activation drives the bands.
    if (!unloaded_ && !ui::MdiEmbedding::subWindowOf(this)) {
        if (e->type() == QEvent::WindowActivate && !active_) Form_Activate();
        if (e->type() == QEvent::WindowDeactivate && active_) Form_Deactivate();
    }
    return QMainWindow::event(e);
}

void frmViewOcableMain::Form_Activate() {
    active_ = true;
    auto& treeWindow = frmViewResTree::instance();
    guarded([&] {
        frmViewResTree::setDisplaySwitch(treeWindow.TreeRes(), true);
        frmViewResTree::setDisplaySwitch(treeWindow.TreeSystem(), false);
    });
    guarded([&] { frmResize(); });
    guarded([&] { mirrorResourceTree(); });
    guarded([&] { treeWindow.setSystemTabVisible(true); });
    guarded([&] {
        activebarMain_->setBandVisible(kTreeBand, true);
        activebarMain_->setChecked(kToolbar, "mnu_view_Drag", IsDraging);
    });
    guarded([&] { syncViewTools(); });
}

void frmViewOcableMain::Form_Deactivate() {
    active_ = false;
    guarded([&] { frmViewResTree::instance().saveWhenUnload(); });
    guarded([&] {
        frmViewResTree::instance().setSystemTabVisible(false);
        frmViewResTree::setDisplaySwitch(frmViewResTree::instance().TreeRes(), false);
    });
    guarded([&] { frmViewProperty::instance().clearProperties(); });
    guarded([&] {
        activebarMain_->setChecked(kToolbar, "mnu_view_Drag", false);
        activebarMain_->setHostedWindow(kPropertyBand, kPropertyBand, nullptr);
        activebarMain_->setHostedWindow(kPropertyBand, kPropertyBand, &frmViewProperty::instance());
        activebarMain_->Refresh();
    });
}

void frmViewOcableMain::syncViewTools() {
    mPubVar::gfrmCurrentView = this;
    auto& bar = *activebarMain_;
    bar.setChecked(kToolbar, "mnu_view_Radar", !map2_->isHidden());
    bar.setChecked(kToolbar, "mnu_view_Legend", !frmLegend_->isHidden());
    bar.setChecked(kToolbar, "mnu_view_Restree", bar.bandVisible(kTreeBand));
}

void frmViewOcableMain::mirrorResourceTree() {
    ui::CheckTreeView* view = frmViewResTree::instance().TreeRes();
    ui::KeyedTree& target = view->tree();
    {
    ui::KeyedTree::BulkUpdate bulk(target);
    target.Clear();
    const ui::KeyedTree& source = treeRes_->tree();
    for (auto id : source.allNodes()) {
        const auto& n = source.node(id);
        const std::string parentKey = n.parent == ui::KeyedTree::npos ? std::string() : source.node(n.parent).key;
        auto& copy = target.node(target.Add(parentKey, n.key, n.text));
        copy.expanded = n.expanded;
        copy.checked = n.checked;
        copy.tag = n.tag;
    }
}
    view->syncExpanded();
}

bool frmViewOcableMain::drawOcableNetMap(const QString& ruleName, const QString& scope) {
    std::string rule = ruleName.toStdString();
    std::string sc = scope.toStdString();
    return drawing_->drawOcableNetMap(rule, sc);
}

void frmViewOcableMain::countSystemsPerCable() { drawing_->countSystemsPerCable(); }

void frmViewOcableMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    frmResize();
}

void frmViewOcableMain::frmResize() {
    guarded([&] {
        if (!picMain_) return;
        const int w = picMain_->width(), h = picMain_->height();
        map1_->setGeometry(0, 0, std::max(1, w - twips(100)), std::max(1, h - twips(400)));
        static_cast<QWidget*>(map2_)->move(w - map2_->width() - twips(120), 0);
        frmLegend_->move(w - frmLegend_->width() - twips(100), h - frmLegend_->height() - twips(500));
        map2_->raise();
        frmLegend_->raise();
        // The map was loaded before the window had its size; the first time
        // it is shown at a real size it shows the whole of the map.
        if (!viewFitted_ && isVisible() && map1_->width() > 200 && map1_->height() > 150) {
            viewFitted_ = true;
            map1().setBounds(map1().fullExtent());
            map2().setBounds(map2().fullExtent());
        }
    });
}

void frmViewOcableMain::handleMapKeys(int keyCode, int shift) {
    if (shift != 0) return;
    gis::Map& map = map1();
    switch (keyCode) {
    case 87: map.setCenterY(map.CenterY() - 1); break; // W
    case 83: map.setCenterY(map.CenterY() + 1); break; // S
    case 65: map.setCenterX(map.CenterX() + 1); break; // A
    case 68: map.setCenterX(map.CenterX() - 1); break; // D
    default: break;
    }
}

void frmViewOcableMain::toggleTool(const std::string& key) {
    activebarMain_->setChecked(kToolbar, key, !activebarMain_->checked(kToolbar, key));
}

void frmViewOcableMain::onToolClick(const QString& bandKey, const QString& toolKey) {
    if (bandKey != kToolbar) return;
    guarded([&] {
        const std::string key = toolKey.toStdString();
        auto& bar = *activebarMain_;
        static const std::pair<const char*, int> toolNumbers[] = {
            {"mnu_view_zoomIn", gis::tools::ZoomIn},          {"mnu_view_zoomOut", gis::tools::ZoomOut},
            {"mnu_view_mapMove", gis::tools::Pan},             {"mnu_view_selectSingle", gis::tools::Select},
            {"mnu_view_selectCircle", gis::tools::RadiusSelect}, {"mnu_view_selectRectangle", gis::tools::RectSelect},
            {"mnu_view_selectPolygon", gis::tools::PolygonSelect}};
        for (const auto& [k, number] : toolNumbers)
            if (key == k) map1().setCurrentTool(number);
        if (key == "mnu_view_Radar") {
            toggleTool(key);
            map2_->setVisible(bar.checked(kToolbar, key));
        } else if (key == "mnu_view_layerCtrl") {
            map1_->showLayerControlDialog();
        } else if (key == "mnu_view_Legend") {
            toggleTool(key);
            frmLegend_->setVisible(bar.checked(kToolbar, key));
            frmResize();
        } else if (key == "mnu_view_Restree") {
            toggleTool(key);
            bar.setBandVisible(kTreeBand, bar.checked(kToolbar, key));
            bar.RecalcLayout();
        } else if (key == "mnu_view_Drag") {
            toggleTool(key);
            IsDraging = bar.checked(kToolbar, key);
        }
    });
}

void frmViewOcableMain::ActiveBar_ToolClick(const QString& toolKey) {
    guarded([&] {
        const std::string key = toolKey.toStdString();
        toggleTool(key);
        if (key == "mnu_view_Drag" && activebarMain_->checked(kToolbar, key)) {
            for (int i = 1; i <= map1().Layers().Count(); ++i) map1().Layers().Item(i).Selection().ClearSelection();
            map1().setCurrentTool(gis::tools::Select);
        }
    });
}

void frmViewOcableMain::onMenuClick(const QString& /*bandKey*/, const QString& toolKey) {
    guarded([&] {
        if (toolKey == "mnuRefresh") {
            drawOcableNetMap(QString::fromStdString(state_.ruleName), QString::fromStdString(state_.scope));
        }
    });
}

void frmViewOcableMain::myPrintWarningInfo(const QString& warningStr) {
    ui::MessageBoxService::instance().show(warningStr.toStdString(), "提示信息", ui::MessageBoxService::Buttons::OK,
                                           ui::MessageBoxService::Icon::Warning, ui::MessageBoxService::Answer::OK,
                                           this);
}

void frmViewOcableMain::closeEvent(QCloseEvent* event) {
    // QueryUnload: never while the map is being drawn.
    if (state_.drawing) {
        event->ignore();
        return;
    }
    mPubVar::releaseGlobals();
    event->accept();
    Form_Unload();
    deleteLater();
}

void frmViewOcableMain::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    guarded([&] {
        // The environment was released by the close; reading it creates it anew.
        map1().saveGeoset("", mPubVar::gobjSysEnv->getMapDir() / vocab::kNetworkGeoset);
    });
    if (frmViewResTree::loaded()) {
        auto& treeWindow = frmViewResTree::instance();
        guarded([&] { treeWindow.saveWhenUnload(); });
        guarded([&] {
            treeWindow.isModified = false;
            treeWindow.isNewRule = false;
            treeWindow.TreeRes()->tree().Clear();
            treeWindow.setSystemTabVisible(false);
            frmViewResTree::setDisplaySwitch(treeWindow.TreeRes(), false);
        });
    }
    guarded([&] { resetViewBands(); });
    state_.stationFeatures.Clear();
    state_.cableFeatures.Clear();
    state_.microwaveFeatures.Clear();
    state_.resTree.reset();
    state_.stationRecordset.reset();
    state_.cableRecordset.reset();
    state_.LayerDictionary.clear();
}

void frmViewOcableMain::resetViewBands() {
    if (mPubVar::gfrmCurrentView == this) mPubVar::gfrmCurrentView = nullptr;
    if (frmViewProperty::loaded()) frmViewProperty::instance().clearProperties();
    if (frmViewResTree::loaded()) frmViewResTree::instance().TreeRes()->tree().Clear();
    auto& bar = *activebarMain_;
    for (const char* band : {kPropertyBand, kTreeBand, kInputBand}) bar.setBandVisible(band, false);
    for (const char* tool : {"mnu_view_Property", "mnu_view_Radar", "mnu_view_Legend", "mnu_view_Restree",
                             "mnu_view_Drag"})
        bar.setChecked(kToolbar, tool, false);
}

} // namespace ocable
