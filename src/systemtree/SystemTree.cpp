#include "systemtree/SystemTree.h"

#include "core/Log.h"
#include "core/TextUtil.h"
#include "core/ViewContext.h"
#include "core/mPubVar.h"
#include "platform/ui/CheckTreeView.h"
#include "systemtree/RuleStore.h"
#include "systemtree/SystemRoutes.h"
#include "systemtree/SystemTreeTexts.h"
#include "systemtree/frmViewResTree.h"

#include <QApplication>
#include <QComboBox>

#include <algorithm>

namespace ocable::systemtree {

namespace {
// The hourglass while a handler works, whatever way it ends.
class BusyCursor {
public:
    BusyCursor() {
        if (qApp) QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyCursor() {
        if (qApp) QApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

RuleStore store() {
    return RuleStore(*mPubVar::gobjDataAccess);
}
} // namespace

SystemTree::SystemTree(ViewContext& view, SystemRoutes& routes) : view_(view), routes_(routes) {}

ui::KeyedTree& SystemTree::TreeSystem() {
    return view_.TreeSystemView->tree();
}

frmViewResTree& SystemTree::window() {
    return frmViewResTree::instance();
}

void SystemTree::loadRules() {
    ruleNames_.Clear();
    ruleKeys_.clear();
    TreeSystem().Clear();
    std::vector<RuleStore::Rule> rules;
    if (!guarded("划分原则：读取", [&] { rules = store().readRules(); }) || rules.empty()) return;

    QComboBox* combo = window().CobSubNetPart();
    {
        const QSignalBlocker quiet(combo); // filling the list is not the user picking a rule
        combo->clear();
        for (const RuleStore::Rule& rule : rules) {
            guarded("划分原则：登记", [&] {
                ruleNames_.Add(rule.name, rule.key);
                combo->addItem(QString::fromStdString(rule.name));
                ruleKeys_.push_back(rule.key);
            });
        }
    }
    const std::string& firstKey = rules.front().key;
    genNewTree(firstKey);
    const std::string* firstName = ruleNames_.find(firstKey);
    const QString name = QString::fromStdString(firstName ? *firstName : std::string());
    window().curRuleName = name;
    const QSignalBlocker quiet(combo);
    combo->setCurrentText(name);
}

void SystemTree::genNewTree(const std::string& ruleKey) {
    buildTree(ruleKey, true);
}

// A rule without stored rows is seeded once and read again; a rule whose
// seeding wrote nothing (no rights on the table) stays empty rather than
// seeding for ever.
void SystemTree::buildTree(const std::string& ruleKey, bool maySeed) {
    std::shared_ptr<db::Recordset> rs;
    // A read that fails is not an empty rule: seeding it would store a
    // second root beside the rows the database could not give.
    if (!guarded("划分原则：读取树", [&] { rs = store().readTree(ruleKey); })) return;
    if (!rs || rs->State() != db::Recordset::ObjectState::Open || rs->RecordCount() == 0) {
        if (!maySeed) return;
        const std::string* name = ruleNames_.find(ruleKey);
        store().seed(ruleKey, name ? *name : std::string());
        buildTree(ruleKey, false);
        return;
    }

    ui::KeyedTree& tree = TreeSystem();
    {
        ui::KeyedTree::BulkUpdate bulk(tree);
        tree.Clear();
        // Parents come before their children (rows by level). A row whose
        // parent has no node (left out as local, or missing) cannot be
        // attached, and its own subtree goes with it.
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
            guarded("划分原则：建立节点", [&] {
                const std::string name = rs->Fields("nodeName").toText();
                if (name.find(texts::kLocalMark) != std::string::npos) return;
                const std::string parent = rs->Fields("parentKey").toText();
                const std::string key = rs->Fields("nodeKey").toText();
                const bool isRoot = parent == texts::kNoParent;
                if (!isRoot && !tree.Exists(parent)) return;
                ui::KeyedTree::Node& node = tree.node(tree.Add(isRoot ? std::string() : parent, key, name));
                node.checked = true;
                node.expanded = isRoot;
                node.tag = rs->Fields("is_delete").toText();
            });
        }
        rs->Close();
    }
    copyTreeToWindow();
}

// The window's tree repaints only once the copy is whole; it is left
// switched on, since the copy is what the tab "子网" shows.
void SystemTree::copyTreeToWindow() {
    guarded("划分原则：复制到树窗口", [&] {
        ui::CheckTreeView* shown = window().TreeSystem();
        frmViewResTree::setDisplaySwitch(shown, false);
        shown->copyTree(TreeSystem());
        frmViewResTree::setDisplaySwitch(shown, true);
    });
}

// The first rule read wins when two share a name.
std::string SystemTree::getMethodKeyByName(const std::string& name) const {
    for (const std::string& key : ruleKeys_) {
        const std::string* ruleName = ruleNames_.find(key);
        if (ruleName && *ruleName == name) return key;
    }
    return {};
}

void SystemTree::addOneNewMethod(const std::string& name, const std::string& key) {
    ruleNames_.Add(name, key);
    ruleKeys_.push_back(key);
}

void SystemTree::modifyMothedName(const std::string& oldName, const std::string& newName) {
    const std::string key = getMethodKeyByName(oldName);
    if (std::string* name = ruleNames_.find(key)) *name = newName;
}

// The last position holding the key goes; the keys after it move down.
void SystemTree::deleteOneMethod(const std::string& name) {
    const std::string key = getMethodKeyByName(name);
    if (key.empty()) return;
    ruleNames_.Remove(key);
    const auto last = std::find(ruleKeys_.rbegin(), ruleKeys_.rend(), key);
    if (last != ruleKeys_.rend()) ruleKeys_.erase(std::next(last).base());
}

void SystemTree::TreeSystem_NodeCheck(const std::string& key, bool checked) {
    // The user ticks in the tree window; a call by name may also name a node
    // of the main window's tree only.
    ui::KeyedTree& shown = window().TreeSystem()->tree();
    ui::KeyedTree& source = shown.Exists(key) ? shown : TreeSystem();
    const ui::KeyedTree::NodeId id = source.find(key);
    if (id == ui::KeyedTree::npos) return;
    BusyCursor busy;
    if (source.node(id).checked != checked) {
        source.node(id).checked = checked;
        source.notifyUpdated(id);
    }
    guarded("传输系统：显示路由", [&] { routes_.showSystemsOfNode(source, id, checked, id); });
    guarded("传输系统：勾选下级", [&] { source.setCheckedRecursive(id, checked); });
    if (&source != &TreeSystem()) {
        guarded("传输系统：同步主树", [&] {
            const ui::KeyedTree::NodeId master = TreeSystem().find(key);
            if (master != ui::KeyedTree::npos) TreeSystem().setCheckedRecursive(master, checked);
        });
    }
}

void SystemTree::TreeSystem_NodeClick(const std::string& key) {
    ui::KeyedTree& shown = window().TreeSystem()->tree();
    ui::KeyedTree& tree = shown.Exists(key) ? shown : TreeSystem();
    const ui::KeyedTree::NodeId id = tree.find(key);
    if (id == ui::KeyedTree::npos) return;
    const ui::KeyedTree::Node& node = tree.node(id);
    if (node.parent == ui::KeyedTree::npos) return; // the root never changes the selection
    BusyCursor busy;
    guarded("传输系统：清除选择", [&] { routes_.clearSelections(); });
    if (!node.checked) return;
    const std::string codes = routes_.collectSystemCodes(tree, id);
    if (codes.empty()) return;
    const std::string list = "(" + codes.substr(0, codes.size() - 1) + ")";
    guarded("传输系统：选择光缆段", [&] { routes_.selectSystemCables(list); });
    guarded("传输系统：属性摘要", [&] {
        if (routes_.propertyBandVisible()) routes_.showSystemSummary(list, node.text);
    });
}

} // namespace ocable::systemtree
