#include "resources/ResourceTree.h"

#include "core/Log.h"
#include "core/NetworkVocabulary.h"
#include "core/ViewContext.h"
#include "core/mPubVar.h"
#include "interaction/Locating.h"
#include "interaction/MapCommands.h"
#include "interaction/MapSelection.h"
#include "platform/db/SqlQuote.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/gis/SearchExpression.h"
#include "platform/ui/ActiveBar.h"
#include "platform/ui/CheckTreeView.h"
#include "platform/ui/MessageBoxService.h"
#include "resources/ResourceTreeSearch.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>

#include <cstdint>

namespace ocable {

using restree::CollectedObjects;
using Tree = ui::KeyedTree;

namespace {

constexpr const char* kAccessQuestionHead = "显示";
constexpr const char* kAccessQuestionTail = "的本地网络系统组织图？";
constexpr const char* kNoAccess = "没有权限进入此地市";
constexpr const char* kNoticeTitle = "提示";
constexpr const char* kCaptionTail = "Velorn";

// The hourglass while a handler works. A domain node gives the default
// pointer back early, before its long collection starts.
class WaitCursor {
public:
    WaitCursor() {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            on_ = true;
        }
    }
    ~WaitCursor() { restore(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    void restore() {
        if (on_) QGuiApplication::restoreOverrideCursor();
        on_ = false;
    }

private:
    bool on_ = false;
};

// A layer's batched write, ended however the edits end, then one refresh:
// the map redraws the layer once, not once per feature.
class BatchedWrite {
public:
    explicit BatchedWrite(gis::Layer* layer) : layer_(layer) {
        if (layer_) layer_->BeginAccess(gis::AccessMode::ReadWrite);
    }
    ~BatchedWrite() {
        if (!layer_) return;
        layer_->EndAccess();
        guarded("刷新图层", [&] { layer_->Refresh(); });
    }
    BatchedWrite(const BatchedWrite&) = delete;
    BatchedWrite& operator=(const BatchedWrite&) = delete;

private:
    gis::Layer* layer_;
};

// The layer of that name, or null (logged): a geoset without an alarm
// layer still hides its stations.
gis::Layer* layerOrNull(gis::Map& map, const char* name) {
    gis::Layer* layer = nullptr;
    guarded(name, [&] { layer = &map.Layers().Item(name); });
    return layer;
}

// The code in column 2 of a feature's row.
std::string codeOf(const gis::Layer& layer, std::uint32_t id) {
    const std::string* code = layer.valueOf(id, 1);
    if (!code) throw std::runtime_error("要素已不在图层中：" + layer.Name());
    return *code;
}

// Deletes the first marker of the object on an alarm layer; the number of
// markers the search found.
int deleteFirstMarker(gis::Layer* alarms, const std::string& code) {
    // Most of the time no alarm is raised: an empty layer needs no search.
    if (!alarms || alarms->featureCount() == 0) return 0;
    const gis::FeatureSet markers = alarms->Search(gis::searchTerm(vocab::kAlarmCodeColumn, code));
    if (markers.Count() > 0) alarms->DeleteFeature(alarms->featureById(markers.ids().front()));
    return markers.Count();
}

// Puts a record's saved feature back on a layer with its label and code:
// the copy is added with its row in one step, which is the row the feature
// would get from an update after the add.
void putBack(gis::Layer& layer, clsFearture& record) {
    std::vector<std::string> row = record.ftr.carriedRow();
    row.resize(std::max<std::size_t>(layer.columns().size(), 2));
    row[0] = record.label;
    row[1] = record.ftrCode;
    record.ftrKey =
        layer.AddFeature(record.ftr, gis::RowValues(layer.columns(), std::move(row))).FeatureKey();
    record.isDelete = false;
}

void addFound(gis::Map& map, const char* layerName, const std::string& expression) {
    gis::Layer& layer = map.Layers().Item(layerName);
    const gis::FeatureSet found = layer.Search(expression);
    if (found.Count() > 0) layer.Selection().Add(found);
}

// Adds the first feature with the code; whether there was one.
bool addFirst(gis::Map& map, const char* layerName, const char* column, const std::string& code) {
    gis::Layer& layer = map.Layers().Item(layerName);
    const gis::FeatureSet found = layer.Search(gis::searchTerm(column, code));
    if (found.Count() > 0) layer.Selection().Add(found.Item(1));
    return found.Count() > 0;
}

} // namespace

ResourceTree::ResourceTree(ViewContext& view, Hooks hooks) : view_(view), hooks_(std::move(hooks)) {
    if (!hooks_.letEventsRun) hooks_.letEventsRun = [] { QCoreApplication::processEvents(); };
}

void ResourceTree::letEventsRunNowAndThen() {
    // Often enough for the window to stay painted and answer the mouse, not
    // once per station: a province hides thousands.
    if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventsIntervalMs) return;
    hooks_.letEventsRun();
    sinceEvents_.start();
}

void ResourceTree::connectSignals(QObject* receiver) {
    if (ui::CheckTreeView* tree = view_.TreeResView) {
        QObject::connect(tree, &ui::CheckTreeView::nodeCheck, receiver, [this](const QString& key, bool on) {
            guarded("资源树勾选", [&] { TreeRes_NodeCheck(key.toStdString(), on); });
        });
        QObject::connect(tree, &ui::CheckTreeView::nodeClick, receiver, [this](const QString& key) {
            guarded("资源树单击", [&] { TreeRes_NodeClick(key.toStdString()); });
        });
        QObject::connect(tree, &ui::CheckTreeView::nodeDblClick, receiver,
                         [this](const QString&) { guarded("资源树双击", [&] { TreeRes_DblClick(); }); });
    }
    if (view_.tmrNodeClick)
        QObject::connect(view_.tmrNodeClick, &QTimer::timeout, receiver,
                         [this] { guarded("资源树根节点", [&] { tmrNodeClick_Timer(); }); });
}

Tree* ResourceTree::treeHolding(const std::string& key) const {
    if (view_.TreeRes && view_.TreeRes->Exists(key)) return view_.TreeRes;
    Tree* copy = hooks_.windowTree ? hooks_.windowTree() : nullptr;
    return copy && copy->Exists(key) ? copy : nullptr;
}

// ---- ticking and unticking ------------------------------------------------

void ResourceTree::TreeRes_NodeCheck(const std::string& nodeKey, bool checked) {
    WaitCursor cursor;
    if (nodeKey == vocab::kTreeRootKey) {
        // The whole network is never hidden at once: the root is ticked
        // again a moment later, after the tree has shown the change.
        pendingRootNode_ = nodeKey;
        if (view_.tmrNodeClick) view_.tmrNodeClick->start();
        return;
    }
    if (!view_.map) return;
    gis::Map& map = *view_.map;
    guarded("清除选择", [&] { clearAllSelections(map); });

    CollectedObjects objects;
    guarded("收集节点对象", [&] {
        Tree* tree = treeHolding(nodeKey);
        if (!tree) throw std::runtime_error("树中没有节点：" + nodeKey);
        const Tree::NodeId id = tree->id(nodeKey);
        const int level = restree::nodeLevel(*tree, id);
        if (level == 0) cursor.restore();
        objects = restree::collectObjects(*tree, id, level);
    });

    const std::vector<std::string> stations = CollectedObjects::codes(objects.stationList);
    if (!stations.empty()) {
        if (checked)
            showStations(stations);
        else
            hideStations(CollectedObjects::searched(objects.stationExpression), stations);
    }
    const std::vector<std::string> cables = CollectedObjects::codes(objects.cableList);
    if (!cables.empty()) {
        if (checked)
            showCables(cables);
        else
            hideCables(CollectedObjects::searched(objects.cableExpression), cables);
    }
    mirrorCheck(nodeKey, checked);
}

void ResourceTree::hideStations(const std::string& expression, const std::vector<std::string>& codes) {
    gis::Map& map = *view_.map;
    gis::Layer* alarms = layerOrNull(map, vocab::kLayerAlarm);
    gis::Layer* backboneAlarms = layerOrNull(map, vocab::kLayerBackboneAlarm);
    // Codes are read while the features are still on their layer, so that
    // each hidden station surely loses its marker on the alarm layer too.
    std::vector<std::string> terminalCodes;
    // Each alarm layer redraws once, after the last marker is gone.
    BatchedWrite writeAlarms(alarms);
    BatchedWrite writeBackboneAlarms(backboneAlarms);

    guarded("隐藏终端站", [&] {
        gis::Layer& terminals = map.Layers().Item(vocab::kLayerTerminal);
        const gis::FeatureSet found = terminals.Search(expression);
        BatchedWrite writeStations(&terminals);
        for (std::uint32_t id : found.ids()) {
            guarded("隐藏终端站及骨干告警", [&] {
                const std::string code = codeOf(terminals, id);
                terminalCodes.push_back(code);
                // A station may carry several backbone-alarm markers: one
                // goes per pass until the search finds the last one.
                bool stationGone = false;
                for (;;) {
                    const int markers = deleteFirstMarker(backboneAlarms, code);
                    if (!stationGone) {
                        stationGone = true;
                        terminals.DeleteFeature(terminals.featureById(id));
                    }
                    letEventsRunNowAndThen();
                    if (markers < 2) break;
                }
            });
        }
    });

    for (const std::string& code : terminalCodes)
        guarded("删除终端站告警", [&] { deleteFirstMarker(alarms, code); });

    guarded("隐藏其它局站", [&] {
        gis::Layer& others = map.Layers().Item(vocab::kLayerOtherStation);
        const gis::FeatureSet found = others.Search(expression);
        BatchedWrite writeStations(&others);
        for (std::uint32_t id : found.ids()) {
            guarded("隐藏其它局站及告警", [&] {
                const std::string code = codeOf(others, id);
                others.DeleteFeature(others.featureById(id));
                deleteFirstMarker(alarms, code);
            });
        }
    });

    for (const std::string& code : codes)
        if (auto* record = view_.stationFeatures.find(code); record && *record) (*record)->isDelete = true;
}

void ResourceTree::showStations(const std::vector<std::string>& codes) {
    gis::Map& map = *view_.map;
    gis::Layer* terminals = layerOrNull(map, vocab::kLayerTerminal);
    gis::Layer* others = layerOrNull(map, vocab::kLayerOtherStation);
    BatchedWrite writeTerminals(terminals);
    BatchedWrite writeOthers(others);
    for (const std::string& code : codes) {
        auto* found = view_.stationFeatures.find(code);
        if (!found || !*found || !(*found)->isDelete) continue;
        clsFearture& record = **found;
        gis::Layer* target = record.remark == vocab::kClassTerminal ? terminals
                             : record.remark == vocab::kClassOther  ? others
                                                                    : nullptr;
        if (target) guarded("显示局站", [&] { putBack(*target, record); });
    }
    // Alarm markers stay off: the alarm source draws them again when the
    // station next reports.
}

void ResourceTree::hideCables(const std::string& expression, const std::vector<std::string>& codes) {
    gis::Map& map = *view_.map;
    for (const char* name : {vocab::kLayerCable, vocab::kLayerBackbone}) {
        guarded("隐藏光缆段", [&] {
            gis::Layer& layer = map.Layers().Item(name);
            const gis::FeatureSet found = layer.Search(expression);
            BatchedWrite write(&layer);
            for (std::uint32_t id : found.ids()) {
                guarded("隐藏光缆段", [&] {
                    // A backbone segment that joined a parallel group wears the
                    // group's label, written after its record was made: the
                    // record takes the label on show, so that it comes back.
                    if (name == vocab::kLayerBackbone) {
                        auto* record = view_.cableFeatures.find(codeOf(layer, id));
                        const std::string* label = layer.valueOf(id, 0);
                        if (record && *record && label && (*record)->layerName == name)
                            (*record)->label = *label;
                    }
                    layer.DeleteFeature(layer.featureById(id));
                });
            }
        });
    }
    for (const std::string& code : codes)
        if (auto* record = view_.cableFeatures.find(code); record && *record) (*record)->isDelete = true;
}

void ResourceTree::showCables(const std::vector<std::string>& codes) {
    gis::Map& map = *view_.map;
    // Each record goes back to the layer it was drawn in.
    std::vector<clsFearture*> ordinary, backbone;
    for (const std::string& code : codes) {
        auto* found = view_.cableFeatures.find(code);
        if (!found || !*found || !(*found)->isDelete) continue;
        if ((*found)->layerName == vocab::kLayerCable) ordinary.push_back(found->get());
        if ((*found)->layerName == vocab::kLayerBackbone) backbone.push_back(found->get());
    }
    for (const auto& [name, records] :
         {std::pair{vocab::kLayerCable, &ordinary}, {vocab::kLayerBackbone, &backbone}}) {
        guarded("显示光缆段", [&] {
            gis::Layer& layer = map.Layers().Item(name);
            BatchedWrite write(&layer);
            for (clsFearture* record : *records)
                guarded("显示光缆段", [&] { putBack(layer, *record); });
        });
    }
}

void ResourceTree::mirrorCheck(const std::string& nodeKey, bool checked) {
    host::ICommon& common = *mPubVar::gobjCommon;
    Tree* copy = hooks_.windowTree ? hooks_.windowTree() : nullptr;
    if (copy && copy->Exists(nodeKey))
        guarded("树窗口勾选", [&] { common.setNodeChecked(*copy, nodeKey, checked); });
    if (view_.TreeRes && view_.TreeRes->Exists(nodeKey))
        guarded("资源树勾选", [&] {
            Tree& own = *view_.TreeRes;
            own.node(nodeKey).checked = checked;
            own.notifyUpdated(own.id(nodeKey));
            common.setNodeChecked(own, nodeKey, checked);
        });
}

void ResourceTree::tmrNodeClick_Timer() {
    if (view_.tmrNodeClick) view_.tmrNodeClick->stop();
    if (pendingRootNode_.empty()) return;
    Tree* copy = hooks_.windowTree ? hooks_.windowTree() : nullptr;
    for (Tree* tree : {view_.TreeRes, copy}) {
        if (!tree || !tree->Exists(pendingRootNode_)) continue;
        tree->node(pendingRootNode_).checked = true;
        tree->notifyUpdated(tree->id(pendingRootNode_));
    }
    pendingRootNode_.clear();
}

// ---- clicking ---------------------------------------------------------------

void ResourceTree::TreeRes_NodeClick(const std::string& nodeKey) {
    WaitCursor cursor;
    lastClickedNode_ = nodeKey;
    if (!view_.map) return;
    gis::Map& map = *view_.map;
    if (nodeKey != vocab::kTreeRootKey) {
        guarded("清除选择", [&] { clearAllSelections(map); });
        guarded("选择节点对象", [&] {
            Tree* tree = treeHolding(nodeKey);
            if (!tree) throw std::runtime_error("树中没有节点：" + nodeKey);
            const int level = restree::nodeLevel(*tree, tree->id(nodeKey));
            if (level == 0) cursor.restore();
            selectBelow(*tree, nodeKey, level);
        });
    }
    guarded("显示选中对象", [&] { fitViewToSelection(map); });
    guarded("属性窗口", [&] {
        if (!view_.activebarMain || !view_.activebarMain->bandVisible(bands::kPropertyBand)) return;
        const auto command = view_.menuCommands.find("mnuProperty");
        if (command != view_.menuCommands.end() && command->second) command->second();
    });
}

void ResourceTree::selectBelow(Tree& tree, const std::string& nodeKey, int level) {
    gis::Map& map = *view_.map;
    const Tree::NodeId id = tree.id(nodeKey);
    if (level == 3) {
        const std::string code = text::field(nodeKey, ":", 3);
        if (text::field(nodeKey, ":", 2) == vocab::kStationKeyPrefix) {
            if (!addFirst(map, vocab::kLayerTerminal, vocab::kStationCodeColumn, code))
                addFirst(map, vocab::kLayerOtherStation, vocab::kStationCodeColumn, code);
        } else {
            // A segment may lie on either cable layer; the one without it
            // simply adds nothing.
            for (const char* name : {vocab::kLayerCable, vocab::kLayerBackbone})
                guarded("选择光缆段", [&] { addFirst(map, name, vocab::kCableCodeColumn, code); });
        }
        return;
    }
    if (level < 0) return;
    const CollectedObjects objects = restree::collectObjects(tree, id, level);
    const std::string stations = CollectedObjects::searched(objects.stationExpression);
    const std::string cables = CollectedObjects::searched(objects.cableExpression);
    // A group node uses the layers of its own kind only.
    const bool group = level == 2;
    const bool stationGroup = text::field(nodeKey, ":", 2) == vocab::kStationKeyPrefix;
    if (!stations.empty() && (!group || stationGroup))
        for (const char* name : {vocab::kLayerTerminal, vocab::kLayerOtherStation})
            guarded("选择局站", [&] { addFound(map, name, stations); });
    if (!cables.empty() && (!group || !stationGroup))
        for (const char* name : {vocab::kLayerCable, vocab::kLayerBackbone})
            guarded("选择光缆段", [&] { addFound(map, name, cables); });
}

// ---- double click: the city access check -----------------------------------------

void ResourceTree::TreeRes_DblClick() {
    host::ISysEnv& env = *mPubVar::gobjSysEnv;
    const std::string caption = env.getTitleA() + env.getTitleB() + kCaptionTail;
    if (lastClickedNode_.empty()) return;
    Tree* tree = treeHolding(lastClickedNode_);
    if (!tree) return;
    const Tree::NodeId id = tree->id(lastClickedNode_);
    if (restree::nodeDepth(*tree, id) != 2) return;
    const std::string key = tree->node(id).key;
    const std::string name = tree->node(id).text;

    auto rs = mPubVar::gobjDataAccess->openRecordset(
        vocab::kConnection,
        "select s.username, s.resscope, x.xtxx from sec_resscope s, xtbm x where s.username = " +
            db::sqlQuote(env.getUserName()) + " and s.resscope like 'XZ0116%' and s.resscope = x.xtbm",
        0);
    if (!rs) return;
    const long count = rs->RecordCount();
    bool allowed = count > 1;
    if (count == 1) {
        rs->MoveFirst();
        allowed = rs->Fields("resscope").toText() == key;
    }
    using Box = ui::MessageBoxService;
    if (allowed)
        Box::instance().show(std::string(kAccessQuestionHead) + name + kAccessQuestionTail, caption,
                             Box::Buttons::OKCancel, Box::Icon::Question, Box::Answer::Cancel, view_.window);
    else
        Box::instance().show(kNoAccess, kNoticeTitle, Box::Buttons::OK, Box::Icon::None, Box::Answer::OK,
                             view_.window);
    rs->Close();
}

} // namespace ocable
