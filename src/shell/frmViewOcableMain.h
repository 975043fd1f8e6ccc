#pragma once

#include "map/NetworkDrawing.h"
#include "map/NetworkState.h"
#include "platform/ui/KeyedTree.h"
#include "shell/LibraryObjects.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class QFrame;
class QLabel;
class QTimer;

namespace ocable {

namespace gis {
class Map;
class MapWidget;
} // namespace gis
namespace ui {
class ActiveBar;
class CheckTreeView;
} // namespace ui

// The optical-cable network map: the plug-in's main window, a child of the
// host's multi-document frame. It holds the network map (Map1), the overview
// map (Map2), the toolbar and docking bands, the legend and the hidden
// resource tree, and everything the drawing caches about the network.
//
// The public procedures are invokable by name, as the host and the other
// windows call them.
class frmViewOcableMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmViewOcableMain(QWidget* parent = nullptr);
    ~frmViewOcableMain() override;

    // The shared instance; the first use loads it (without showing it).
    static frmViewOcableMain& instance();
    static bool loaded();

    // ---- widgets ------------------------------------------------------
    gis::MapWidget* Map1() const { return map1_; }
    gis::MapWidget* Map2() const { return map2_; }
    gis::Map& map1() const;
    gis::Map& map2() const;
    ui::ActiveBar& activebarMain() const { return *activebarMain_; }
    ui::ActiveBar& ActiveBarMenu() const { return *activeBarMenu_; }
    QWidget* PicMain() const { return picMain_; }
    QFrame* frmLegend() const { return frmLegend_; }
    QLabel* imgLegend() const { return imgLegend_; }
    ui::KeyedTree& TreeRes();
    ui::KeyedTree& TreeSystem();
    QTimer* tmrIntervel() const { return tmrIntervel_; }
    QTimer* tmrNodeClick() const { return tmrNodeClick_; }

    // ---- state --------------------------------------------------------
    bool IsDraging = false;
    bool blnSetStation = false;
    bool StationAdding = false;
    bool isFounding = false;
    NetworkState& network() { return state_; }
    bool drawing() const { return state_.drawing; }

    // ---- public procedures --------------------------------------------
    Q_INVOKABLE bool drawOcableNetMap(const QString& ruleName, const QString& scope);
    Q_INVOKABLE void countSystemsPerCable();
    Q_INVOKABLE void frmResize();
    Q_INVOKABLE void ActiveBar_ToolClick(const QString& toolKey);
    Q_INVOKABLE void myPrintWarningInfo(const QString& warningStr);
    Q_INVOKABLE void showMainFrom() {}
    Q_INVOKABLE void modifySucceed() {}

    // Activation and deactivation as the host's frame reports them.
    void Form_Activate();
    void Form_Deactivate();
    // W, S, A and D move the map centre by one degree when no shift key is held.
    void handleMapKeys(int keyCode, int shift);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildWidgets();
    void buildBands();
    void Form_Load();
    void Form_Unload();
    void resetViewBands();
    void mirrorResourceTree();
    void syncViewTools();
    void onToolClick(const QString& bandKey, const QString& toolKey);
    void onMenuClick(const QString& bandKey, const QString& toolKey);
    void toggleTool(const std::string& key);
    void watchMdiActivation();

    gis::MapWidget* map1_ = nullptr;
    gis::MapWidget* map2_ = nullptr;
    ui::ActiveBar* activebarMain_ = nullptr;
    ui::ActiveBar* activeBarMenu_ = nullptr;
    QWidget* picMain_ = nullptr;
    QFrame* frmLegend_ = nullptr;
    QLabel* imgLegend_ = nullptr;
    // Both trees stay hidden here; the tree window shows copies of them.
    ui::CheckTreeView* treeRes_ = nullptr;
    ui::CheckTreeView* treeSystem_ = nullptr;
    QTimer* tmrIntervel_ = nullptr;
    QTimer* tmrNodeClick_ = nullptr;

    NetworkState state_;
    std::unique_ptr<NetworkDrawing> drawing_;
    bool active_ = false;
    bool viewFitted_ = false;
    bool unloaded_ = false;
    LibraryObjectToken token_;
};

} // namespace ocable
