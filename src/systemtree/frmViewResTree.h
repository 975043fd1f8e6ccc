#pragma once

#include "core/LibraryObjects.h"

#include <QWidget>
#include <string>

class QComboBox;
class QLabel;
class QTabWidget;

namespace ocable {

namespace ui {
class ActiveBar;
class CheckTreeView;
class KeyedTree;
} // namespace ui

// The tree window ("资源树") docked in band "frmResTree" of the active map
// view: tab "资源" with a copy of the view's resource tree, tab "子网" with
// the transmission-system tree of the division rule on show, where the user
// edits division rules. Clicks on both trees go to the active view by name.
class frmViewResTree : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString curRuleName MEMBER curRuleName)
    Q_PROPERTY(bool isModified MEMBER isModified)
    Q_PROPERTY(bool isNewRule MEMBER isNewRule)
    Q_PROPERTY(bool dragging READ dragging)
    Q_PROPERTY(QString dropTarget READ dropTarget)
    Q_PROPERTY(QString editingNode READ editingNode)
public:
    explicit frmViewResTree(QWidget* parent = nullptr);

    QTabWidget* SSTabTree() const { return tabs_; }
    ui::CheckTreeView* TreeRes() const { return treeRes_; }
    ui::CheckTreeView* TreeSystem() const { return treeSystem_; }
    QComboBox* cmbRoom() const { return cmbRoom_; }
    QComboBox* CobSubNetPart() const { return cobSubNetPart_; }
    // Its band "mnuPop" is the system tree's context menu.
    ui::ActiveBar* ActiveBarPop() const { return activeBarPop_; }

    QString curRuleName;
    bool isModified = false;
    bool isNewRule = false;

    // Whether a tree repaints as it changes; a view switches it off while
    // it refills the tree and on to show it.
    static void setDisplaySwitch(ui::CheckTreeView* tree, bool on);
    void setSystemTabVisible(bool visible);
    bool systemTabVisible() const;

    // Offers to save pending edits of the rule on show.
    Q_INVOKABLE void saveWhenUnload();
    Q_INVOKABLE void deleteOneMethod(const QString&) {}
    Q_INVOKABLE void getMethodKeyByName(const QString&) {}

    // ---- the rule editor (tab "子网") -----------------------------------
    // The user picked the combo box's current entry.
    Q_INVOKABLE void CobSubNetPart_Click();
    // A context-menu entry by key ("mnuAdd", "mnuDelete", "mnuModify",
    // "mnuSaveTree", "mnuChannelMap", "mnuDwdmMap", "mnuAddPart",
    // "mnuRefresh", "mnuProperty").
    Q_INVOKABLE void ActiveBarPop_ToolClick(const QString& toolKey);
    // Enables the entries that fit the selected node.
    Q_INVOKABLE void prepareMenu();
    // Ends a label edit of the node with the new text, as Enter in the
    // tree's editor does; false when the text is refused (the node keeps
    // its old one).
    Q_INVOKABLE bool TreeSystem_AfterLabelEdit(const QString& nodeKey, const QString& newText);
    // Mouse on the system tree, vertical positions in twips (15 a pixel).
    Q_INVOKABLE void TreeSystem_MouseDown(const QString& nodeKey, bool rightButton, int y);
    Q_INVOKABLE void TreeSystem_MouseMove(bool leftButton, int y);
    // The pointer over a node (empty: over none) while a drag is under way.
    Q_INVOKABLE void TreeSystem_DragOver(const QString& nodeKey);
    Q_INVOKABLE void TreeSystem_NodeClick(const QString& nodeKey);
    Q_INVOKABLE void TreeSystem_Expand(const QString& nodeKey, bool expanded);
    bool dragging() const { return dragging_; }
    QString dropTarget() const;
    QString editingNode() const;
    int newNodeCounter() const { return newNodeCounter_; }
    // Writes the tree on show; false when there is nothing to save or the
    // database refused it (the user is told either way).
    bool saveTree();

    // ---- the resource tab, forwarded to the active view ------------------
    Q_INVOKABLE void TreeRes_NodeCheck(const QString& nodeKey, bool checked);
    Q_INVOKABLE void TreeRes_NodeClick(const QString& nodeKey);
    Q_INVOKABLE void TreeRes_DblClick();

    static frmViewResTree& instance();
    static bool loaded();
    static void unload();

    // Vertical movement that starts a node drag, in twips.
    static constexpr int kDragThreshold = 300;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    // Whether the node's text may be edited: the root and grouping nodes.
    bool labelEditable(const QString& nodeKey) const;
    // Whether the edited node may take the text; marks the rule modified.
    bool acceptLabel(const QString& nodeKey, const QString& newText);
    void endDrag();
    void onRulePicked(const QString& name);
    void addGroupingNode();
    void deleteSelected();
    void modifySelected();
    void addRule();
    void refreshRule();
    void showSystemProperty();
    void checkSystemCode(const QString& toolKey);
    void discardNewRule();
    void askToSaveNewRule();
    int comboIndexOf(const QString& text) const;
    std::string selectedKey() const;

    QTabWidget* tabs_;
    ui::CheckTreeView* treeRes_;
    ui::CheckTreeView* treeSystem_;
    QComboBox* cmbRoom_;
    QComboBox* cobSubNetPart_;
    ui::ActiveBar* activeBarPop_ = nullptr;
    bool dragging_ = false;
    bool rightButton_ = false;
    int pressHeight_ = 0;
    QString pressedNode_;
    int newNodeCounter_ = 0;
    LibraryObjectToken token_;
};

// Adds a node as the parent's first child (as a root with an empty parent
// key) and returns its id.
std::size_t insertTreeNodeFirst(ui::KeyedTree& tree, const std::string& parentKey, const std::string& key,
                                const std::string& text);

} // namespace ocable
