#pragma once

#include "core/LibraryObjects.h"
#include "core/ViewContext.h"

#include <QMainWindow>
#include <memory>

class QLabel;

namespace ocable {

namespace host {
class ISysEnv;
}
class Alarms;
class Locating;
class MapCommands;
class MouseHandler;
class NetworkDrawing;
class Overview;
class PopupCommands;
class ResourceTree;
class StationMover;
namespace systemtree {
class SystemRoutes;
class SystemTree;
} // namespace systemtree
namespace gis {
class Map;
class MapWidget;
} // namespace gis
namespace ui {
class ActiveBar;
class CheckTreeView;
class KeyedTree;
} // namespace ui

// The optical-cable network map: the plug-in's main window, a child of the
// host's multi-document frame. It owns the widgets and the view context, runs
// its own life cycle (load, activation, close) and forwards every public
// procedure to the subsystem that does the work.
//
// The public procedures are invokable by name, as the host and the other
// windows call them.
class frmViewOcableMain : public QMainWindow {
    Q_OBJECT
    Q_PROPERTY(bool IsDraging READ isDraging WRITE setIsDraging)
    Q_PROPERTY(bool blnSetStation READ blnSetStation WRITE setBlnSetStation)
    Q_PROPERTY(bool StationAdding READ stationAdding WRITE setStationAdding)
    Q_PROPERTY(bool isFounding READ isFounding WRITE setIsFounding)
public:
    explicit frmViewOcableMain(QWidget* parent = nullptr);
    ~frmViewOcableMain() override;

    // The shared instance; the first use after start or after a close makes
    // and loads a new one (without showing it).
    static frmViewOcableMain& instance();
    static bool loaded();

    // ---- widgets ------------------------------------------------------
    gis::MapWidget* Map1() const { return view_.Map1; }
    gis::MapWidget* Map2() const { return view_.Map2; }
    gis::Map& map1() const;
    gis::Map& map2() const;
    ui::ActiveBar& activebarMain() const { return *view_.activebarMain; }
    ui::ActiveBar& ActiveBarMenu() const { return *view_.ActiveBarMenu; }
    QWidget* PicMain() const { return view_.PicMain; }
    QFrame* frmLegend() const { return view_.frmLegend; }
    QLabel* imgLegend() const { return imgLegend_; }
    ui::KeyedTree& TreeRes();
    ui::KeyedTree& TreeSystem();
    QTimer* tmrIntervel() const { return view_.tmrIntervel; }
    QTimer* tmrNodeClick() const { return view_.tmrNodeClick; }

    // ---- state --------------------------------------------------------
    bool isDraging() const { return view_.IsDraging; }
    void setIsDraging(bool on) { view_.IsDraging = on; }
    bool blnSetStation() const { return view_.blnSetStation; }
    void setBlnSetStation(bool on) { view_.blnSetStation = on; }
    bool stationAdding() const { return view_.StationAdding; }
    void setStationAdding(bool on) { view_.StationAdding = on; }
    bool isFounding() const { return view_.isFounding; }
    void setIsFounding(bool on) { view_.isFounding = on; }
    ViewContext& context() { return view_; }
    bool drawing() const { return view_.drawing; }

    // ---- public procedures --------------------------------------------
    Q_INVOKABLE bool drawOcableNetMap(const QString& ruleName, const QString& scope);
    Q_INVOKABLE void countSystemsPerCable();
    Q_INVOKABLE void frmResize();
    Q_INVOKABLE void ActiveBar_ToolClick(const QString& toolKey);
    Q_INVOKABLE void myPrintWarningInfo(const QString& warningStr);
    Q_INVOKABLE void showMainFrom();
    Q_INVOKABLE void modifySucceed() {}
    Q_INVOKABLE void redrawMap();
    Q_INVOKABLE void showSelectedProperty();
    Q_INVOKABLE void showStationRoom();
    Q_INVOKABLE void showCableNetworkView(const QString& kind);
    Q_INVOKABLE void showSingleProperty(const QString& objKey);
    Q_INVOKABLE bool locateStation(const QString& stationCode);
    Q_INVOKABLE bool locateOcable(const QString& ocableCode);
    Q_INVOKABLE bool pointStationByAlarm(const QString& stationCode);
    Q_INVOKABLE void fitViewToSelection();
    Q_INVOKABLE void updateOverview();
    Q_INVOKABLE void overviewClick(int button, int shift, double x, double y);
    // The coordinate dialog for the one selected station (blnSetStation on
    // while it is open); false when not exactly one station is selected.
    Q_INVOKABLE bool showStationPointDialog();
    MouseHandler& mouse() { return *mouse_; }

    // ---- transmission-system tree and division rules --------------------
    Q_INVOKABLE void TreeSystem_NodeCheck(const QString& nodeKey, bool checked);
    Q_INVOKABLE void TreeSystem_NodeClick(const QString& nodeKey);
    Q_INVOKABLE void genNewTree(const QString& ruleKey);
    Q_INVOKABLE QString getMethodKeyByName(const QString& name);
    Q_INVOKABLE void addOneNewMethod(const QString& name, const QString& key);
    Q_INVOKABLE void modifyMothedName(const QString& oldName, const QString& newName);
    Q_INVOKABLE void deleteOneMethod(const QString& name);
    systemtree::SystemTree& systemTree() { return *systemTree_; }

    // ---- resource tree (a node of either tree, by key) --------------------
    Q_INVOKABLE void TreeRes_NodeCheck(const QString& nodeKey, bool checked);
    Q_INVOKABLE void TreeRes_NodeClick(const QString& nodeKey);
    Q_INVOKABLE void TreeRes_DblClick();
    ResourceTree& resourceTree() { return *resourceTree_; }
    // ---- alarm display (the host's alarm handling drives it) ------------
    Q_INVOKABLE void clearAlarm();
    Q_INVOKABLE int getAlarmLevel(int critical, int major, int minor, int warning, int indeterminate);
    Q_INVOKABLE bool setStationAlarmFields(const QString& stationCode, const QStringList& values);
    Q_INVOKABLE QStringList stationAlarmFields(const QString& stationCode);

    // Activation and deactivation as the host's frame reports them.
    void Form_Activate();
    void Form_Deactivate();
    void handleMapKeys(int keyCode, int shift);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildWidgets();
    void Form_Load();
    void Form_Unload();
    void resetViewBands();
    void mirrorResourceTree();
    void watchMdiActivation();

    ViewContext view_;
    QLabel* imgLegend_ = nullptr;
    std::unique_ptr<NetworkDrawing> drawing_;
    std::unique_ptr<MapCommands> commands_;
    std::unique_ptr<PopupCommands> popup_;
    std::unique_ptr<StationMover> mover_;
    std::unique_ptr<MouseHandler> mouse_;
    std::unique_ptr<Locating> locating_;
    std::unique_ptr<Overview> overview_;
    std::unique_ptr<systemtree::SystemRoutes> routes_;
    std::unique_ptr<systemtree::SystemTree> systemTree_;
    std::unique_ptr<ResourceTree> resourceTree_;
    std::unique_ptr<Alarms> alarms_;
    bool active_ = false;
    bool networkGeosetLoaded_ = false;
    std::shared_ptr<host::ISysEnv> closingEnv_; // the environment as the close found it
    bool unloaded_ = false;
    LibraryObjectToken token_;
};

} // namespace ocable
