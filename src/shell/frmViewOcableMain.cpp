#include "shell/frmViewOcableMain.h"

#include "core/Log.h"
#include "core/NetworkVocabulary.h"
#include "core/mPubFun.h"
#include "core/mPubVar.h"
#include "interaction/Alarms.h"
#include "interaction/Locating.h"
#include "interaction/MapCommands.h"
#include "interaction/MouseHandler.h"
#include "interaction/Overview.h"
#include "interaction/PopupCommands.h"
#include "interaction/StationMover.h"
#include "interaction/frmViewStationPoint.h"
#include "map/NetworkDrawing.h"
#include "map/mdlViewMap.h"
#include "platform/gis/Map.h"
#include "platform/gis/MapWidget.h"
#include "platform/ui/ActiveBar.h"
#include "platform/ui/CheckTreeView.h"
#include "platform/ui/MdiEmbedding.h"
#include "resources/ResourceTree.h"
#include "resources/frmViewFindStation.h"
#include "resources/frmViewProperty.h"
#include "resources/frmWaiting.h"
#include "systemtree/SystemRoutes.h"
#include "systemtree/SystemTree.h"
#include "systemtree/frmViewResTree.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

namespace fs = std::filesystem;

namespace ocable {

using namespace bands;

namespace {

// The window the host reaches by name. A closed window leaves this at once,
// while its deferred delete is still pending, so that the next use makes a
// new window instead of drawing into one about to be deleted.
QPointer<frmViewOcableMain>& shared() {
    static QPointer<frmViewOcableMain> instance;
    return instance;
}

void letEventsRun() {
    QCoreApplication::processEvents();
}

} // namespace

frmViewOcableMain::frmViewOcableMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmViewOcableMain");
    setWindowTitle(QString::fromUtf8(vocab::kMapTitle));
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildWidgets();
    NetworkDrawing::Hooks hooks;
    hooks.letEventsRun = letEventsRun;
    hooks.showWaiting = [] { frmWaiting::instance().showAndPaint(); };
    hooks.unloadWaiting = [] { frmWaiting::unload(); };
    hooks.mirrorResourceTree = [this] { mirrorResourceTree(); };
    drawing_ = std::make_unique<NetworkDrawing>(view_, std::move(hooks));
    commands_ = std::make_unique<MapCommands>(view_);
    routes_ = std::make_unique<systemtree::SystemRoutes>(view_);
    systemTree_ = std::make_unique<systemtree::SystemTree>(view_, *routes_);

    view_.activebarMain = new ui::ActiveBar(this, this);
    view_.activebarMain->setObjectName("activebarMain");
    view_.ActiveBarMenu = new ui::ActiveBar(this, this);
    view_.ActiveBarMenu->setObjectName("ActiveBarMenu");
    commands_->buildBands();
    connect(view_.activebarMain, &ui::ActiveBar::toolClick, this,
            [this](const QString& band, const QString& key) {
                if (band == kToolbar)
                    guarded("工具栏命令", [&] { commands_->onToolbarClick(key.toStdString()); });
            });
    connect(view_.ActiveBarMenu, &ui::ActiveBar::toolClick, this, [this](const QString&, const QString& key) {
        guarded("弹出菜单命令", [&] { commands_->onMenuClick(key.toStdString()); });
    });

    popup_ = std::make_unique<PopupCommands>(view_, *drawing_);
    popup_->registerCommands();
    frmViewFindStation::registerCommands(view_);
    mover_ = std::make_unique<StationMover>(view_);
    mouse_ = std::make_unique<MouseHandler>(view_, *popup_, *mover_);
    mouse_->connectSignals(this);
    locating_ = std::make_unique<Locating>(view_);
    alarms_ = std::make_unique<Alarms>(view_);
    overview_ = std::make_unique<Overview>(view_);
    guarded("鹰眼图", [&] { overview_->connectSignals(this); });
    resourceTree_ = std::make_unique<ResourceTree>(
        view_, ResourceTree::Hooks{letEventsRun, [] {
                                       return frmViewResTree::loaded()
                                                  ? &frmViewResTree::instance().TreeRes()->tree()
                                                  : nullptr;
                                   }});
    resourceTree_->connectSignals(this);
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

bool frmViewOcableMain::loaded() {
    return !shared().isNull();
}

gis::Map& frmViewOcableMain::map1() const {
    return view_.Map1->map();
}
gis::Map& frmViewOcableMain::map2() const {
    return view_.Map2->map();
}
ui::KeyedTree& frmViewOcableMain::TreeRes() {
    return view_.TreeResView->tree();
}
ui::KeyedTree& frmViewOcableMain::TreeSystem() {
    return view_.TreeSystemView->tree();
}

void frmViewOcableMain::buildWidgets() {
    view_.window = this;
    auto* pic = new QWidget(this);
    pic->setObjectName("PicMain");
    view_.PicMain = pic;
    view_.Map1 = new gis::MapWidget(pic);
    view_.Map1->setObjectName("Map1");
    view_.Map2 = new gis::MapWidget(pic);
    view_.Map2->setObjectName("Map2");
    view_.Map2->resize(220, 160);
    view_.Map2->setVisible(false);
    view_.map = &view_.Map1->map();

    auto* legend = new QFrame(pic);
    legend->setObjectName("frmLegend");
    legend->setFrameStyle(QFrame::Box | QFrame::Plain);
    imgLegend_ = new QLabel(legend);
    imgLegend_->setObjectName("imgLegend");
    auto* legendLayout = new QVBoxLayout(legend);
    legendLayout->setContentsMargins(1, 1, 1, 1);
    legendLayout->addWidget(imgLegend_);
    legend->setVisible(false);
    view_.frmLegend = legend;

    view_.TreeResView = new ui::CheckTreeView(this);
    view_.TreeResView->setObjectName("TreeRes");
    view_.TreeResView->setVisible(false);
    view_.TreeSystemView = new ui::CheckTreeView(this);
    view_.TreeSystemView->setObjectName("TreeSystem");
    view_.TreeSystemView->setVisible(false);
    view_.TreeRes = &view_.TreeResView->tree();

    view_.tmrIntervel = new QTimer(this);
    view_.tmrIntervel->setObjectName("tmrIntervel");
    view_.tmrIntervel->setInterval(1);
    view_.tmrNodeClick = new QTimer(this);
    view_.tmrNodeClick->setObjectName("tmrNodeClick");
    view_.tmrNodeClick->setInterval(100);

    connect(view_.Map1, &gis::MapWidget::KeyDown, this, [this](int keyCode, int shift) {
        guarded("地图按键", [&] { commands_->onMapKeyDown(keyCode, shift); });
    });
}

void frmViewOcableMain::Form_Load() {
    auto& bar = *view_.activebarMain;
    gis::Map& map = map1();
    guarded("嵌入宿主窗口", [&] { ui::MdiEmbedding::embed(this, 2); });
    guarded("跟随宿主窗口激活", [&] { watchMdiActivation(); });
    guarded("停靠共享窗口", [&] {
        bar.setHostedWindow(kPropertyBand, kPropertyBand, &frmViewProperty::instance());
        bar.setHostedWindow(kTreeBand, kTreeBand, &frmViewResTree::instance());
        bar.setBandVisible(kPropertyBand, false);
        bar.setBandVisible(kTreeBand, true);
        bar.setBandVisible(kInputBand, false);
    });
    guarded("设为当前视图", [&] {
        mPubVar::gfrmCurrentView = this;
        bar.setBandVisible(kTreeBand, true);
        bar.setChecked(kToolbar, "mnu_view_Restree", true);
        bar.RecalcLayout();
        mPubVar::gobjCommon->hostWindowOf(this);
    });
    guarded("工具栏布局", [&] {
        bar.setClientArea(view_.PicMain);
        bar.RecalcLayout();
        bar.Refresh();
    });
    guarded("刷新图层文件", [&] {
        const fs::path mapDir = mPubVar::gobjSysEnv->getMapDir();
        const fs::path masters = mPubFun::resolvePath(mapDir, {vocab::kLayerFilesFolder});
        mPubFun::deleteExistingFiles(masters, mapDir);
        mPubFun::copyFolderFiles(masters, mapDir);
    });
    guarded("符号文件夹", [&] {
        map.setSymbolFolder(mPubFun::getCustomSymbolDir());
        map2().setSymbolFolder(mPubFun::getCustomSymbolDir());
    });
    networkGeosetLoaded_ = guarded("加载网络地图", [&] {
        map.loadGeoset(mPubFun::resolvePath(mPubVar::gobjSysEnv->getAppDir(),
                                            {vocab::kAppMapFolder, vocab::kNetworkGeoset}));
    });
    // Without its geoset the map has no layers to bind, which binds without
    // fault: the user must still learn that the map data did not load.
    if (!guarded("绑定图层数据集", [&] { mdlViewMap::bindLayerDatasets(map); }) || !networkGeosetLoaded_)
        guarded("报告地图加载错误", [] { mPubVar::gobjMessage->showError("地图数据加载出错！"); });
    guarded("地图工具", [&] {
        map.CreateCustomTool(10, gis::ToolType::Point, 18);
        map.setCurrentTool(gis::tools::Select);
    });
    guarded("加载鹰眼地图", [&] {
        map2().loadGeoset(mPubFun::resolvePath(mPubVar::gobjSysEnv->getAppDir(),
                                               {vocab::kAppMapFolder, vocab::kOverviewGeoset}));
    });
    guarded("建立传输系统树", [&] { systemTree_->loadRules(); });
    view_.IsDraging = false;
    view_.blnSetStation = false;
    view_.LayerDictionary.assign(vocab::kNetworkLayers.begin(), vocab::kNetworkLayers.end());
    guarded("加载图例", [&] {
        const fs::path file =
            mPubFun::resolvePath(mPubVar::gobjSysEnv->getAppDir(),
                                 {vocab::kAppIconFolder, vocab::kLegendFolder, vocab::kLegendPicture});
        const QImage legend = mPubVar::gobjCommon->loadPicture(file.filename().string(), file.parent_path());
        imgLegend_->setPixmap(QPixmap::fromImage(legend));
        view_.frmLegend->adjustSize();
    });
}

void frmViewOcableMain::watchMdiActivation() {
    QMdiArea* area = ui::MdiEmbedding::hostArea();
    QMdiSubWindow* mine = ui::MdiEmbedding::subWindowOf(this);
    if (!area || !mine) return;
    connect(area, &QMdiArea::subWindowActivated, this, [this, area, mine](QMdiSubWindow* now) {
        if (unloaded_) return;
        // When the whole application loses the focus the frame reports "no
        // active window" while this view stays its current one; that is no
        // change of the active view, and the trees must keep their state.
        if (!now && area->currentSubWindow() == mine) return;
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
        if (e->type() == QEvent::WindowDeactivate && active_ &&
            QApplication::applicationState() == Qt::ApplicationActive)
            Form_Deactivate();
    }
    return QMainWindow::event(e);
}

void frmViewOcableMain::Form_Activate() {
    active_ = true;
    auto& treeWindow = frmViewResTree::instance();
    guarded("树显示开关", [&] {
        frmViewResTree::setDisplaySwitch(treeWindow.TreeRes(), true);
        frmViewResTree::setDisplaySwitch(treeWindow.TreeSystem(), false);
    });
    guarded("窗口布局", [&] { commands_->frmResize(); });
    guarded("复制资源树", [&] { mirrorResourceTree(); });
    guarded("复制传输系统树", [&] { systemTree_->copyTreeToWindow(); });
    guarded("显示子网页", [&] { treeWindow.setSystemTabVisible(true); });
    guarded("显示资源树", [&] {
        view_.activebarMain->setBandVisible(kTreeBand, true);
        view_.activebarMain->setChecked(kToolbar, "mnu_view_Drag", view_.IsDraging);
    });
    guarded("同步视图工具", [&] { commands_->syncViewTools(); });
}

void frmViewOcableMain::Form_Deactivate() {
    active_ = false;
    auto& bar = *view_.activebarMain;
    guarded("保存划分原则", [] { frmViewResTree::instance().saveWhenUnload(); });
    guarded("隐藏子网页", [] {
        frmViewResTree::instance().setSystemTabVisible(false);
        frmViewResTree::setDisplaySwitch(frmViewResTree::instance().TreeRes(), false);
    });
    guarded("清空属性", [] { frmViewProperty::instance().clearProperties(); });
    guarded("重置属性停靠", [&] {
        bar.setChecked(kToolbar, "mnu_view_Drag", false);
        bar.setHostedWindow(kPropertyBand, kPropertyBand, nullptr);
        bar.setHostedWindow(kPropertyBand, kPropertyBand, &frmViewProperty::instance());
        bar.Refresh();
    });
}

void frmViewOcableMain::mirrorResourceTree() {
    frmViewResTree::instance().TreeRes()->copyTree(TreeRes());
}

bool frmViewOcableMain::drawOcableNetMap(const QString& ruleName, const QString& scope) {
    std::string rule = ruleName.toStdString();
    std::string sc = scope.toStdString();
    return drawing_->drawOcableNetMap(rule, sc);
}

void frmViewOcableMain::countSystemsPerCable() {
    drawing_->countSystemsPerCable();
}

void frmViewOcableMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    frmResize();
}

void frmViewOcableMain::frmResize() {
    guarded("窗口布局", [&] { commands_->frmResize(); });
}

void frmViewOcableMain::handleMapKeys(int keyCode, int shift) {
    commands_->handleMapKeys(keyCode, shift);
}

void frmViewOcableMain::ActiveBar_ToolClick(const QString& toolKey) {
    guarded("工具命令", [&] { commands_->ActiveBar_ToolClick(toolKey.toStdString()); });
}

void frmViewOcableMain::myPrintWarningInfo(const QString& warningStr) {
    guarded("告警提示", [&] { commands_->myPrintWarningInfo(warningStr.toStdString()); });
}

void frmViewOcableMain::showMainFrom() {
    guarded("光缆段编码", [&] { popup_->showMainFrom(); });
}

void frmViewOcableMain::redrawMap() {
    popup_->redrawMap();
}

void frmViewOcableMain::showSelectedProperty() {
    popup_->showSelectedProperty();
}

void frmViewOcableMain::showStationRoom() {
    popup_->showStationRoom();
}

void frmViewOcableMain::showCableNetworkView(const QString& kind) {
    guarded("网络视图", [&] { popup_->showCableNetworkView(kind.toStdString()); });
}

void frmViewOcableMain::showSingleProperty(const QString& objKey) {
    guarded("显示属性", [&] { frmViewProperty::showSingleProperty(view_, objKey.toStdString()); });
}

bool frmViewOcableMain::locateStation(const QString& stationCode) {
    bool found = false;
    guarded("定位局站", [&] { found = locating_->locateStation(stationCode.toStdString()); });
    return found;
}

bool frmViewOcableMain::locateOcable(const QString& ocableCode) {
    bool found = false;
    guarded("定位光缆段", [&] { found = locating_->locateOcable(ocableCode.toStdString()); });
    return found;
}

bool frmViewOcableMain::pointStationByAlarm(const QString& stationCode) {
    bool found = false;
    guarded("告警定位局站", [&] { found = locating_->pointStationByAlarm(stationCode.toStdString()); });
    return found;
}

void frmViewOcableMain::fitViewToSelection() {
    guarded("显示选中对象", [&] { ocable::fitViewToSelection(map1()); });
}

void frmViewOcableMain::updateOverview() {
    guarded("更新鹰眼图", [&] { overview_->updateOverview(); });
}

void frmViewOcableMain::overviewClick(int button, int shift, double x, double y) {
    guarded("鹰眼图定位", [&] { overview_->overviewClick(button, shift, x, y); });
}

bool frmViewOcableMain::showStationPointDialog() {
    bool shown = false;
    guarded("局站位置调整", [&] { shown = frmViewStationPoint::openForSelectedStation(view_); });
    return shown;
}

void frmViewOcableMain::closeEvent(QCloseEvent* event) {
    // QueryUnload: never while the map is being drawn.
    if (view_.drawing) {
        event->ignore();
        return;
    }
    // The map is saved into the folder of the environment the host gave at
    // start; a host that offers no environment class could not make it anew
    // once the globals are released.
    closingEnv_ = mPubVar::gobjSysEnv.peek();
    mPubVar::releaseGlobals();
    event->accept();
    if (shared() == this) shared() = nullptr;
    Form_Unload();
    deleteLater();
}

void frmViewOcableMain::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    if (networkGeosetLoaded_) {
        guarded("保存地图", [&] {
            host::ISysEnv& env = closingEnv_ ? *closingEnv_ : *mPubVar::gobjSysEnv;
            map1().saveGeoset("", mPubFun::resolvePath(env.getMapDir(), {vocab::kNetworkGeoset}));
        });
    } else {
        // An empty map saved now would replace the user's geoset.
        qCWarning(lcComponent, "网络地图未曾加载，关闭时不保存地图");
    }
    if (frmViewResTree::loaded()) {
        auto& treeWindow = frmViewResTree::instance();
        guarded("保存划分原则", [&] { treeWindow.saveWhenUnload(); });
        guarded("清空树窗口", [&] {
            treeWindow.isModified = false;
            treeWindow.isNewRule = false;
            treeWindow.TreeRes()->tree().Clear();
            treeWindow.setSystemTabVisible(false);
            frmViewResTree::setDisplaySwitch(treeWindow.TreeRes(), false);
        });
    }
    guarded("重置停靠栏", [&] { resetViewBands(); });
    view_.stationFeatures.Clear();
    view_.cableFeatures.Clear();
    view_.microwaveFeatures.Clear();
    view_.resTree.reset();
    view_.stationRecordset.reset();
    view_.cableRecordset.reset();
    view_.LayerDictionary.clear();
    closingEnv_.reset();
}

void frmViewOcableMain::resetViewBands() {
    if (mPubVar::gfrmCurrentView == this) mPubVar::gfrmCurrentView = nullptr;
    if (frmViewProperty::loaded()) frmViewProperty::instance().clearProperties();
    if (frmViewResTree::loaded()) frmViewResTree::instance().TreeRes()->tree().Clear();
    auto& bar = *view_.activebarMain;
    for (const char* band : {kPropertyBand, kTreeBand, kInputBand})
        bar.setBandVisible(band, false);
    for (const char* tool :
         {"mnu_view_Property", "mnu_view_Radar", "mnu_view_Legend", "mnu_view_Restree", "mnu_view_Drag"})
        bar.setChecked(kToolbar, tool, false);
}

void frmViewOcableMain::TreeSystem_NodeCheck(const QString& nodeKey, bool checked) {
    guarded("传输系统树勾选", [&] { systemTree_->TreeSystem_NodeCheck(nodeKey.toStdString(), checked); });
}

void frmViewOcableMain::TreeSystem_NodeClick(const QString& nodeKey) {
    guarded("传输系统树单击", [&] { systemTree_->TreeSystem_NodeClick(nodeKey.toStdString()); });
}

void frmViewOcableMain::genNewTree(const QString& ruleKey) {
    guarded("建立划分原则树", [&] { systemTree_->genNewTree(ruleKey.toStdString()); });
}

QString frmViewOcableMain::getMethodKeyByName(const QString& name) {
    return QString::fromStdString(systemTree_->getMethodKeyByName(name.toStdString()));
}

void frmViewOcableMain::addOneNewMethod(const QString& name, const QString& key) {
    systemTree_->addOneNewMethod(name.toStdString(), key.toStdString());
}

void frmViewOcableMain::modifyMothedName(const QString& oldName, const QString& newName) {
    systemTree_->modifyMothedName(oldName.toStdString(), newName.toStdString());
}

void frmViewOcableMain::TreeRes_NodeCheck(const QString& nodeKey, bool checked) {
    guarded("资源树勾选", [&] { resourceTree_->TreeRes_NodeCheck(nodeKey.toStdString(), checked); });
}

void frmViewOcableMain::TreeRes_NodeClick(const QString& nodeKey) {
    guarded("资源树单击", [&] { resourceTree_->TreeRes_NodeClick(nodeKey.toStdString()); });
}

void frmViewOcableMain::TreeRes_DblClick() {
    guarded("资源树双击", [&] { resourceTree_->TreeRes_DblClick(); });
}

void frmViewOcableMain::deleteOneMethod(const QString& name) {
    systemTree_->deleteOneMethod(name.toStdString());
}

void frmViewOcableMain::clearAlarm() {
    guarded("清除告警", [&] { alarms_->clearAlarm(); });
}

int frmViewOcableMain::getAlarmLevel(int critical, int major, int minor, int warning, int indeterminate) {
    return ocable::getAlarmLevel(critical, major, minor, warning, indeterminate);
}

bool frmViewOcableMain::setStationAlarmFields(const QString& stationCode, const QStringList& values) {
    std::vector<std::string> texts;
    for (const QString& v : values)
        texts.push_back(v.toStdString());
    bool set = false;
    guarded("局站告警字段", [&] { set = alarms_->setStationAlarmFields(stationCode.toStdString(), texts); });
    return set;
}

QStringList frmViewOcableMain::stationAlarmFields(const QString& stationCode) {
    QStringList values;
    guarded("局站告警字段", [&] {
        for (const std::string& v : alarms_->stationAlarmFields(stationCode.toStdString()))
            values << QString::fromStdString(v);
    });
    return values;
}

} // namespace ocable
