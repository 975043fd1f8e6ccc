#include "systemtree/frmViewResTree.h"

#include "core/Log.h"
#include "core/TextUtil.h"
#include "core/mPubVar.h"
#include "platform/ui/ActiveBar.h"
#include "platform/ui/CheckTreeView.h"
#include "platform/ui/MessageBoxService.h"
#include "systemtree/RuleStore.h"
#include "systemtree/SystemRoutes.h"
#include "systemtree/SystemTreeTexts.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace ocable {

namespace {
QPointer<frmViewResTree>& shared() {
    static QPointer<frmViewResTree> instance;
    return instance;
}

constexpr int kTwipsPerPixel = 15;

constexpr const char* kPopBand = "mnuPop";
// Context-menu entries: key and caption.
constexpr std::pair<const char*, const char*> kMenuEntries[] = {
    {"mnuAdd", "新增节点"},         {"mnuDelete", "删除"},       {"mnuModify", "修改名称"},
    {"mnuSaveTree", "保存"},        {"mnuChannelMap", "通道图"}, {"mnuDwdmMap", "波分图"},
    {"mnuAddPart", "新增划分原则"}, {"mnuRefresh", "刷新"},      {"mnuProperty", "属性"},
};

QString quoted(const QString& before, const QString& name, const QString& after) {
    return before + QStringLiteral("“") + name + QStringLiteral("”") + after;
}
QString modifiedQuestion(const QString& rule) {
    return quoted(QStringLiteral("子网："), rule, QStringLiteral("已经修改，是否需要保存？"));
}
QString newRuleQuestion(const QString& rule) {
    return quoted(QStringLiteral("新增子网原则："), rule, QStringLiteral("是否需要保存？"));
}

// Yes/No with the question icon and the default caption.
bool askYesNo(const QString& text, const QString& caption = QString()) {
    using Box = ui::MessageBoxService;
    return Box::instance().show(text.toStdString(), caption.toStdString(), Box::Buttons::YesNo,
                                Box::Icon::Question, Box::Answer::Yes) == Box::Answer::Yes;
}

void notice(const QString& text) {
    mPubVar::gobjMessage->showNotice(text.toStdString());
}

systemtree::RuleStore store() {
    return systemtree::RuleStore(*mPubVar::gobjDataAccess);
}

// The hourglass while a command works, whatever way it ends.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Calls a public procedure of the active view by name; false when there is
// no active view or it has no such procedure (logged).
template <class... Args> bool callView(const char* method, Args... args) {
    QWidget* view = mPubVar::gfrmCurrentView;
    if (!view) return false;
    const bool called = QMetaObject::invokeMethod(view, method, Qt::DirectConnection, args...);
    if (!called) qCWarning(lcComponent, "视图 %s 没有过程 %s", qPrintable(view->objectName()), method);
    return called;
}

QString viewCaption() {
    QWidget* view = mPubVar::gfrmCurrentView;
    return view ? view->windowTitle() : QString();
}

// A tab page: a labelled combo box above a tree.
QWidget* treePage(const char* labelName, const QString& labelText, QComboBox* combo, QWidget* tree) {
    auto* page = new QWidget;
    auto* label = new QLabel(labelText);
    label->setObjectName(labelName);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(combo, 1);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(row);
    layout->addWidget(tree, 1);
    return page;
}
} // namespace

std::size_t insertTreeNodeFirst(ui::KeyedTree& tree, const std::string& parentKey, const std::string& key,
                                const std::string& text) {
    if (parentKey.empty()) return tree.Add("", key, text);
    const ui::KeyedTree::NodeId parent = tree.id(parentKey);
    if (tree.node(parent).children.empty()) return tree.Add(parentKey, key, text);
    // The tree adds at the end; the views are told once, after the move.
    ui::KeyedTree::BulkUpdate bulk(tree);
    const ui::KeyedTree::NodeId id = tree.Add(parentKey, key, text);
    auto& children = tree.node(parent).children;
    std::rotate(children.begin(), children.end() - 1, children.end());
    for (std::size_t row = 0; row < children.size(); ++row)
        tree.node(children[row]).row = row;
    return id;
}

frmViewResTree::frmViewResTree(QWidget* parent)
    : QWidget(parent), tabs_(new QTabWidget(this)), treeRes_(new ui::CheckTreeView),
      treeSystem_(new ui::CheckTreeView), cmbRoom_(new QComboBox), cobSubNetPart_(new QComboBox) {
    setObjectName("frmViewResTree");
    setWindowTitle(QStringLiteral("资源树"));
    tabs_->setObjectName("SSTabTree");
    treeRes_->setObjectName("TreeRes");
    treeSystem_->setObjectName("TreeSystem");
    // Ticking a system shows its route, so the system tree keeps its boxes.
    treeSystem_->setCheckBoxes(true);
    treeSystem_->setLabelEdit(true);
    cmbRoom_->setObjectName("cmbRoom");
    cobSubNetPart_->setObjectName("CobSubNetPart");

    tabs_->addTab(treePage("Label2", QStringLiteral("机房："), cmbRoom_, treeRes_), QStringLiteral("资源"));
    tabs_->addTab(treePage("Label1", QStringLiteral("子网类型"), cobSubNetPart_, treeSystem_),
                  QStringLiteral("子网"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);
    buildMenu();

    connect(cobSubNetPart_, &QComboBox::activated, this, [this] { CobSubNetPart_Click(); });
    connect(treeSystem_, &ui::CheckTreeView::nodeCheck, this, [](const QString& key, bool checked) {
        guarded("子网：勾选",
                [&] { callView("TreeSystem_NodeCheck", Q_ARG(QString, key), Q_ARG(bool, checked)); });
    });
    connect(treeSystem_, &ui::CheckTreeView::nodeClick, this,
            [this](const QString& key) { TreeSystem_NodeClick(key); });
    connect(treeSystem_, &ui::CheckTreeView::beforeLabelEdit, this,
            [this](const QString& key, bool* cancel) { *cancel = !labelEditable(key); });
    connect(treeSystem_, &ui::CheckTreeView::afterLabelEdit, this,
            [this](const QString& key, const QString& text, bool* cancel) {
                guarded("子网：修改名称", [&] { *cancel = !acceptLabel(key, text); });
            });
    connect(treeSystem_, &QTreeView::expanded, this, [this](const QModelIndex& i) {
        TreeSystem_Expand(
            QString::fromStdString(treeSystem_->tree().node(treeSystem_->model().nodeOf(i)).key), true);
    });
    connect(treeSystem_, &QTreeView::collapsed, this, [this](const QModelIndex& i) {
        TreeSystem_Expand(
            QString::fromStdString(treeSystem_->tree().node(treeSystem_->model().nodeOf(i)).key), false);
    });
    treeSystem_->viewport()->installEventFilter(this);

    connect(treeRes_, &ui::CheckTreeView::nodeCheck, this,
            [this](const QString& key, bool checked) { TreeRes_NodeCheck(key, checked); });
    connect(treeRes_, &ui::CheckTreeView::nodeClick, this,
            [this](const QString& key) { TreeRes_NodeClick(key); });
    connect(treeRes_, &ui::CheckTreeView::nodeDblClick, this, [this](const QString&) { TreeRes_DblClick(); });
}

// The context menu is a pop-up band, so that its entries are tools with
// their own enabled state, clicked the same way from the menu and by name.
void frmViewResTree::buildMenu() {
    activeBarPop_ = new ui::ActiveBar(nullptr, this);
    activeBarPop_->setObjectName("ActiveBarPop");
    activeBarPop_->addBand(kPopBand, "子网菜单", ui::ActiveBar::BandKind::Popup);
    for (const auto& [key, caption] : kMenuEntries)
        activeBarPop_->addTool(kPopBand, key, caption);
    connect(activeBarPop_, &ui::ActiveBar::toolClick, this,
            [this](const QString&, const QString& key) { ActiveBarPop_ToolClick(key); });
}

void frmViewResTree::setDisplaySwitch(ui::CheckTreeView* tree, bool on) {
    if (tree) tree->setUpdatesEnabled(on);
}

void frmViewResTree::setSystemTabVisible(bool visible) {
    tabs_->setTabVisible(1, visible);
}

bool frmViewResTree::systemTabVisible() const {
    return tabs_->isTabVisible(1);
}

std::string frmViewResTree::selectedKey() const {
    return treeSystem_->selectedKey();
}

int frmViewResTree::comboIndexOf(const QString& text) const {
    return cobSubNetPart_->findText(text, Qt::MatchExactly);
}

// ---- picking, creating and discarding rules ------------------------------

void frmViewResTree::CobSubNetPart_Click() {
    onRulePicked(cobSubNetPart_->currentText());
}

void frmViewResTree::onRulePicked(const QString& name) {
    BusyCursor busy;
    if (name == curRuleName) return;
    if (isNewRule) {
        askToSaveNewRule();
    } else if (isModified) {
        if (askYesNo(modifiedQuestion(curRuleName))) saveTree();
        isModified = false;
    }
    QString key;
    guarded("子网：查找划分原则",
            [&] { callView("getMethodKeyByName", Q_RETURN_ARG(QString, key), Q_ARG(QString, name)); });
    if (!key.isEmpty()) guarded("子网：建立树", [&] { callView("genNewTree", Q_ARG(QString, key)); });
    curRuleName = name;
}

void frmViewResTree::askToSaveNewRule() {
    if (askYesNo(newRuleQuestion(curRuleName)))
        saveTree();
    else
        discardNewRule();
    isNewRule = false;
    isModified = false;
}

void frmViewResTree::discardNewRule() {
    guarded("子网：放弃新划分原则", [&] {
        const int index = comboIndexOf(curRuleName);
        if (index >= 0) {
            const QSignalBlocker quiet(cobSubNetPart_);
            cobSubNetPart_->removeItem(index);
        }
        callView("deleteOneMethod", Q_ARG(QString, curRuleName));
        const ui::KeyedTree& tree = treeSystem_->tree();
        if (!tree.roots().empty()) store().deleteRule(tree.node(tree.roots().front()).key);
    });
}

void frmViewResTree::addRule() {
    if (isModified) {
        if (askYesNo(modifiedQuestion(curRuleName))) {
            saveTree();
        } else {
            isModified = false;
        }
    }
    const std::string key = store().createRule();
    const QString name = QString::fromStdString(key);
    callView("addOneNewMethod", Q_ARG(QString, name), Q_ARG(QString, name));
    cobSubNetPart_->addItem(name);
    {
        const QSignalBlocker quiet(cobSubNetPart_);
        cobSubNetPart_->setCurrentIndex(cobSubNetPart_->count() - 1);
    }
    onRulePicked(name);
    isNewRule = true;
}

// ---- the context menu ------------------------------------------------------

void frmViewResTree::prepareMenu() {
    const ui::KeyedTree& tree = treeSystem_->tree();
    const ui::KeyedTree::NodeId id = tree.find(selectedKey());
    bool group = false, root = false;
    if (id != ui::KeyedTree::npos) {
        const auto& n = tree.node(id);
        group = n.tag == systemtree::texts::kTagGroup;
        root = n.tag == systemtree::texts::kTagSystem && n.parent == ui::KeyedTree::npos;
    }
    for (const char* key : {"mnuDelete", "mnuAdd", "mnuModify"})
        activeBarPop_->setEnabled(kPopBand, key, group || root);
}

void frmViewResTree::ActiveBarPop_ToolClick(const QString& toolKey) {
    const std::string key = toolKey.toStdString();
    if (key == "mnuAdd") {
        guarded("子网：新增节点", [&] { addGroupingNode(); });
    } else if (key == "mnuDelete") {
        guarded("子网：删除", [&] { deleteSelected(); });
    } else if (key == "mnuModify") {
        guarded("子网：修改名称", [&] { modifySelected(); });
    } else if (key == "mnuSaveTree") {
        guarded("子网：保存", [&] { saveTree(); });
    } else if (key == "mnuChannelMap" || key == "mnuDwdmMap") {
        guarded("子网：通道图", [&] { checkSystemCode(toolKey); });
    } else if (key == "mnuAddPart") {
        guarded("子网：新增划分原则", [&] { addRule(); });
    } else if (key == "mnuRefresh") {
        guarded("子网：刷新", [&] { refreshRule(); });
    } else if (key == "mnuProperty") {
        guarded("子网：属性", [&] { showSystemProperty(); });
    }
}

void frmViewResTree::addGroupingNode() {
    ui::KeyedTree& tree = treeSystem_->tree();
    const ui::KeyedTree::NodeId selected = tree.find(selectedKey());
    if (selected == ui::KeyedTree::npos) return;
    const std::string parentKey = tree.node(selected).key;
    const bool root = tree.node(selected).parent == ui::KeyedTree::npos;
    if (!root && tree.node(selected).tag != systemtree::texts::kTagGroup) return;
    int i = 1;
    while (mPubVar::gobjCommon->nodeKeyExists(tree, "划分方法" + std::to_string(i)))
        ++i;
    ++newNodeCounter_;
    const ui::KeyedTree::NodeId id = insertTreeNodeFirst(tree, parentKey, "划分方法" + std::to_string(i),
                                                         "新建节点" + std::to_string(newNodeCounter_));
    tree.node(id).tag = systemtree::texts::kTagGroup;
    tree.node(id).checked = true;
    tree.notifyUpdated(id);
    // Refilling the view drops its selection; the parent stays selected so
    // that several nodes can be added in a row.
    treeSystem_->syncExpanded();
    treeSystem_->selectKey(parentKey);
    isModified = true;
}

// The text is edited in the tree itself; the edit ends in acceptLabel.
void frmViewResTree::modifySelected() {
    treeSystem_->startLabelEdit();
}

bool frmViewResTree::labelEditable(const QString& nodeKey) const {
    const ui::KeyedTree& tree = treeSystem_->tree();
    const ui::KeyedTree::NodeId id = tree.find(nodeKey.toStdString());
    if (id == ui::KeyedTree::npos) return false;
    const auto& n = tree.node(id);
    return n.parent == ui::KeyedTree::npos || n.tag == systemtree::texts::kTagGroup;
}

bool frmViewResTree::TreeSystem_AfterLabelEdit(const QString& nodeKey, const QString& newText) {
    return treeSystem_->endLabelEdit(nodeKey.toStdString(), newText);
}

bool frmViewResTree::acceptLabel(const QString& nodeKey, const QString& newText) {
    const ui::KeyedTree& tree = treeSystem_->tree();
    const ui::KeyedTree::NodeId id = tree.find(nodeKey.toStdString());
    isModified = true;
    // Only a rule name must stay unique: other nodes may share a text.
    if (id != ui::KeyedTree::npos && tree.node(id).parent == ui::KeyedTree::npos &&
        comboIndexOf(newText) >= 0) {
        notice(QStringLiteral("划分原则命名重复！"));
        return false;
    }
    return true;
}

void frmViewResTree::deleteSelected() {
    ui::KeyedTree& tree = treeSystem_->tree();
    const ui::KeyedTree::NodeId id = tree.find(selectedKey());
    if (id == ui::KeyedTree::npos) return;
    const auto n = tree.node(id); // a copy: the node goes
    const QString text = QString::fromStdString(n.text);
    if (n.tag == systemtree::texts::kTagGroup) {
        if (!askYesNo(quoted(QStringLiteral("确定要删除节点"), text, QStringLiteral("吗？")),
                      QStringLiteral("删除确认")))
            return;
        tree.Remove(n.key);
        isModified = true;
        return;
    }
    if (n.parent != ui::KeyedTree::npos) return; // system nodes stay
    if (store().isProtected(n.key)) {
        notice(quoted(QStringLiteral("不能删除划分原则"), text, QString()));
        return;
    }
    if (!askYesNo(quoted(QStringLiteral("确定要删除划分原则："), text, QStringLiteral("吗？")),
                  QStringLiteral("删除确认")))
        return;
    {
        const QSignalBlocker quiet(cobSubNetPart_);
        const int index = comboIndexOf(text);
        if (index >= 0) cobSubNetPart_->removeItem(index);
    }
    if (!store().deleteRule(n.key)) {
        mPubVar::gobjMessage->showError(
            quoted(QStringLiteral("划分原则"), text, QStringLiteral("删除失败！")).toStdString());
        return;
    }
    callView("deleteOneMethod", Q_ARG(QString, text));
    guarded("子网：操作日志", [&] {
        mPubVar::gobjCommon->writeOperationLog("99", n.text + "节点->删除" + n.key, "NULL", 0, "", "");
    });
    isModified = false;
    isNewRule = false;
    if (cobSubNetPart_->count() > 0) {
        {
            const QSignalBlocker quiet(cobSubNetPart_);
            cobSubNetPart_->setCurrentIndex(0);
        }
        curRuleName.clear(); // the tree on show is gone; show the first rule
        onRulePicked(cobSubNetPart_->itemText(0));
    } else {
        tree.Clear();
        curRuleName.clear();
    }
}

bool frmViewResTree::saveTree() {
    const ui::KeyedTree& tree = treeSystem_->tree();
    if (tree.roots().empty()) {
        notice(QStringLiteral("没有信息可以保存！"));
        return false;
    }
    auto rules = store();
    if (!rules.saveTree(tree)) {
        // The stored tree is as it was (or, without transactions, partly
        // written); the edits stay on screen and marked for another try.
        mPubVar::gobjMessage->showError(quoted(QStringLiteral("子网："), curRuleName,
                                               rules.transactional()
                                                   ? QStringLiteral("保存失败，数据库中的划分原则未作改动！")
                                                   : QStringLiteral("保存失败！"))
                                            .toStdString());
        return false;
    }
    const QString rootText = QString::fromStdString(tree.node(tree.roots().front()).text);
    const int index = comboIndexOf(curRuleName);
    if (index >= 0) cobSubNetPart_->setItemText(index, rootText);
    if (rootText != curRuleName) {
        guarded("子网：改名",
                [&] { callView("modifyMothedName", Q_ARG(QString, curRuleName), Q_ARG(QString, rootText)); });
        curRuleName = rootText;
    }
    isModified = false;
    isNewRule = false;
    ui::MessageBoxService::instance().show("保存成功！", "", ui::MessageBoxService::Buttons::OK,
                                           ui::MessageBoxService::Icon::None);
    return true;
}

void frmViewResTree::refreshRule() {
    BusyCursor busy;
    if (isNewRule || isModified) saveTree();
    const ui::KeyedTree& tree = treeSystem_->tree();
    if (tree.roots().empty()) return;
    store().refresh(tree.node(tree.roots().front()).key);
    curRuleName = cobSubNetPart_->currentText();
}

void frmViewResTree::showSystemProperty() {
    const ui::KeyedTree& tree = treeSystem_->tree();
    const ui::KeyedTree::NodeId id = tree.find(selectedKey());
    if (id == ui::KeyedTree::npos || tree.node(id).tag != systemtree::texts::kTagSystem) return;
    const std::string code = text::field(tree.node(id).key, ":", 2);
    if (code.empty()) {
        notice(QString::fromUtf8(systemtree::texts::kNoObjectCode));
        return;
    }
    QWidget* view = mPubVar::gfrmCurrentView;
    auto* bar = view ? view->findChild<ui::ActiveBar*>("activebarMain") : nullptr;
    if (bar)
        systemtree::dockPropertyForm(
            *bar, mPubVar::gobjResService->propertyWindow(code, systemtree::texts::kSystemTable));
}

void frmViewResTree::checkSystemCode(const QString&) {
    if (text::field(selectedKey(), ":", 2).empty()) notice(QStringLiteral("数据有误！"));
}

void frmViewResTree::saveWhenUnload() {
    if (isNewRule) {
        askToSaveNewRule();
    } else if (isModified) {
        if (askYesNo(modifiedQuestion(curRuleName))) saveTree();
    }
}

// ---- mouse and tree events of the system tree --------------------------------

void frmViewResTree::TreeSystem_MouseDown(const QString& nodeKey, bool rightButton, int y) {
    endDrag();
    if (!nodeKey.isEmpty()) treeSystem_->selectKey(nodeKey.toStdString());
    pressedNode_ = nodeKey;
    treeSystem_->setDropHighlight(nodeKey.toStdString());
    rightButton_ = rightButton;
    pressHeight_ = rightButton ? 0 : y;
}

void frmViewResTree::TreeSystem_MouseMove(bool leftButton, int y) {
    if (!leftButton || selectedKey().empty() || dragging_) return;
    if (std::abs(y - pressHeight_) > kDragThreshold) {
        dragging_ = true;
        treeSystem_->viewport()->setCursor(Qt::DragMoveCursor);
    }
}

void frmViewResTree::TreeSystem_DragOver(const QString& nodeKey) {
    if (dragging_) treeSystem_->setDropHighlight(nodeKey.toStdString());
}

// A drop changes nothing: the drag only ends.
void frmViewResTree::endDrag() {
    if (dragging_) treeSystem_->viewport()->unsetCursor();
    dragging_ = false;
    treeSystem_->setDropHighlight({});
}

QString frmViewResTree::dropTarget() const {
    return QString::fromStdString(treeSystem_->dropHighlightKey());
}

QString frmViewResTree::editingNode() const {
    return QString::fromStdString(treeSystem_->editingKey());
}

void frmViewResTree::TreeSystem_NodeClick(const QString& nodeKey) {
    // The flag belongs to the press before this click only.
    if (std::exchange(rightButton_, false)) {
        prepareMenu();
        return;
    }
    guarded("子网：单击", [&] {
        if (viewCaption() == QStringLiteral("系统组织图")) {
            callView("dealSelect",
                     Q_ARG(QString, QString::fromStdString(text::field(nodeKey.toStdString(), ":", 2))));
        } else {
            callView("TreeSystem_NodeClick", Q_ARG(QString, nodeKey));
        }
    });
}

void frmViewResTree::TreeSystem_Expand(const QString& nodeKey, bool expanded) {
    QWidget* view = mPubVar::gfrmCurrentView;
    auto* master = view ? view->findChild<ui::CheckTreeView*>("TreeSystem") : nullptr;
    if (!master) return;
    ui::KeyedTree& tree = master->tree();
    const ui::KeyedTree::NodeId id = tree.find(nodeKey.toStdString());
    if (id != ui::KeyedTree::npos) tree.node(id).expanded = expanded;
}

bool frmViewResTree::eventFilter(QObject* watched, QEvent* event) {
    if (watched == treeSystem_->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* e = static_cast<QMouseEvent*>(event);
            const QString key = QString::fromStdString(treeSystem_->keyAt(e->position().toPoint()));
            TreeSystem_MouseDown(key, e->button() == Qt::RightButton,
                                 static_cast<int>(e->position().y()) * kTwipsPerPixel);
            // A scripted run answers everything itself; a menu would wait for a person.
            if (e->button() == Qt::RightButton && !key.isEmpty() &&
                !ui::MessageBoxService::instance().scripted()) {
                prepareMenu();
                if (QMenu* menu = activeBarPop_->band(kPopBand).menu)
                    menu->popup(e->globalPosition().toPoint());
            }
        } else if (event->type() == QEvent::MouseMove) {
            auto* e = static_cast<QMouseEvent*>(event);
            TreeSystem_MouseMove(e->buttons() & Qt::LeftButton,
                                 static_cast<int>(e->position().y()) * kTwipsPerPixel);
            if (dragging_) {
                TreeSystem_DragOver(QString::fromStdString(treeSystem_->keyAt(e->position().toPoint())));
                return true; // the view's own drag-selecting would move the selection along
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            endDrag();
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- the resource tab ----------------------------------------------------------

void frmViewResTree::TreeRes_DblClick() {
    guarded("资源：双击", [] { callView("TreeRes_DblClick"); });
}

void frmViewResTree::TreeRes_NodeCheck(const QString& nodeKey, bool checked) {
    guarded("资源：勾选",
            [&] { callView("TreeRes_NodeCheck", Q_ARG(QString, nodeKey), Q_ARG(bool, checked)); });
    // Carry the state upward: a tick ticks every ancestor; a cleared box
    // clears its parent unless a node under a parent of the same text is
    // still ticked.
    guarded("资源：上级勾选", [&] {
        ui::KeyedTree& tree = treeRes_->tree();
        ui::KeyedTree::NodeId id = tree.find(nodeKey.toStdString());
        while (id != ui::KeyedTree::npos && tree.node(id).parent != ui::KeyedTree::npos) {
            const ui::KeyedTree::NodeId parent = tree.node(id).parent;
            bool state = checked;
            if (!checked) {
                const std::string& parentText = tree.node(parent).text;
                for (ui::KeyedTree::NodeId other : tree.allNodes()) {
                    const auto& o = tree.node(other);
                    if (o.checked && o.parent != ui::KeyedTree::npos &&
                        tree.node(o.parent).text == parentText) {
                        state = true;
                        break;
                    }
                }
            }
            tree.node(parent).checked = state;
            tree.notifyUpdated(parent);
            if (state && !checked) break;
            id = parent;
        }
    });
}

void frmViewResTree::TreeRes_NodeClick(const QString& nodeKey) {
    QWidget* view = mPubVar::gfrmCurrentView;
    if (!view) return;
    const QString name = view->objectName();
    if (name == "frmViewEquipDDFFacePanel" || name == "frmViewEquipSDHFacePanel" ||
        name == "frmViewEquipODFFacePanel")
        return;
    guarded("资源：单击", [&] { callView("TreeRes_NodeClick", Q_ARG(QString, nodeKey)); });
}

frmViewResTree& frmViewResTree::instance() {
    if (!shared()) shared() = new frmViewResTree();
    return *shared();
}

bool frmViewResTree::loaded() {
    return !shared().isNull();
}

void frmViewResTree::unload() {
    if (shared()) delete shared().data();
}

} // namespace ocable
