#pragma once

#include "core/FeatureRecords.h"
#include "core/clsResTree.h"
#include "platform/db/Recordset.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QFrame;
class QTimer;
class QWidget;

namespace ocable {

namespace gis {
class Map;
class MapWidget;
} // namespace gis
namespace ui {
class ActiveBar;
class CheckTreeView;
class KeyedTree;
} // namespace ui

// What a map view holds and its subsystems work on: its widgets, its public
// flags, and what the drawing caches about the network. The main window owns
// one and hands it to each subsystem, so that none of them needs the window
// itself (and a test can build one without a window).
struct ViewContext {
    // ---- widgets of the window (null in a context built without one) ----
    QWidget* window = nullptr;      // the map view itself, parent of its dialogs
    gis::MapWidget* Map1 = nullptr; // the network map
    gis::MapWidget* Map2 = nullptr; // the overview map
    ui::ActiveBar* activebarMain = nullptr;
    ui::ActiveBar* ActiveBarMenu = nullptr;
    QWidget* PicMain = nullptr;
    QFrame* frmLegend = nullptr;
    ui::CheckTreeView* TreeResView = nullptr;    // hidden here; the tree window shows a copy
    ui::CheckTreeView* TreeSystemView = nullptr; // likewise
    QTimer* tmrIntervel = nullptr;
    QTimer* tmrNodeClick = nullptr;

    // ---- the window's public flags --------------------------------------
    bool IsDraging = false;
    bool blnSetStation = false;
    bool StationAdding = false;
    bool isFounding = false;

    // ---- the drawn network ---------------------------------------------
    gis::Map* map = nullptr;          // Map1's map
    ui::KeyedTree* TreeRes = nullptr; // the resource tree's nodes
    std::vector<std::string> LayerDictionary;

    FeatureRecords stationFeatures;
    FeatureRecords cableFeatures;
    FeatureRecords microwaveFeatures;
    std::unique_ptr<clsResTree> resTree = std::make_unique<clsResTree>();

    std::shared_ptr<db::Recordset> stationRecordset;
    std::shared_ptr<db::Recordset> cableRecordset;

    std::string ruleName;
    std::string scope;
    std::vector<std::string> provinces; // province codes in tree order

    bool drawing = false;

    // ---- commands other windows plug into ----------------------------
    // Handlers of ActiveBarMenu's keys. The pop-up dispatch runs whatever is
    // registered here, so a dialog that comes later (find, measuring, the
    // line window) registers its key and the dispatch stays as it is.
    std::map<std::string, std::function<void()>> menuCommands;
    // The find dialog's search again (F3 while isFounding) and the dialog
    // itself (Ctrl+F); empty until the find dialog registers them.
    std::function<void()> findAgain;
    std::function<void()> showFindDialog;
};

} // namespace ocable
