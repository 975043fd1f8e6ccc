#pragma once

#include "platform/ui/KeyedTree.h"
#include "platform/ui/KeyedTreeModel.h"

#include <QTreeView>

namespace ocable::ui {

// A tree widget with check boxes whose nodes are addressed by key: the
// KeyedTree it owns is the data, the view follows it.
class CheckTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit CheckTreeView(QWidget* parent = nullptr);
    ~CheckTreeView() override;

    KeyedTree& tree() { return tree_; }
    const KeyedTree& tree() const { return tree_; }
    KeyedTreeModel& model() { return *model_; }

    void setCheckBoxes(bool on);
    // Expands or collapses the view's node to follow the tree's expanded flags.
    void syncExpanded();
    // Shows a copy of another tree, expanded where it is.
    void copyTree(const KeyedTree& source) {
        tree_.copyFrom(source);
        syncExpanded();
    }
    // The key of the node under the cursor (selected), empty when none.
    std::string selectedKey() const;
    void selectKey(const std::string& key);
    // The key of the node at a point of the viewport, empty when none.
    std::string keyAt(const QPoint& point) const;

    // ---- label editing, manual: only startLabelEdit opens an editor -------
    void setLabelEdit(bool on);
    // Opens an editor on the selected node's text unless beforeLabelEdit
    // cancels it; false when no editor opened.
    bool startLabelEdit();
    // Ends an edit of the node's text with newText, as the user's Enter
    // does (an open editor on the node takes the text and closes):
    // afterLabelEdit may cancel it and the node keeps its old text. Returns
    // whether the node took the new text.
    bool endLabelEdit(const std::string& key, const QString& newText);
    // What an editor's commit runs: afterLabelEdit, then the new text.
    bool applyLabelEdit(const std::string& key, const QString& newText);
    // The key of the node whose editor is open, empty when none.
    std::string editingKey() const;

    // ---- the drop target of a node drag ------------------------------------
    // While a node is highlighted as drop target it alone is painted as
    // selected, so the user sees where a drop would land; an empty key
    // clears it.
    void setDropHighlight(const std::string& key);
    std::string dropHighlightKey() const;
    KeyedTree::NodeId dropHighlight() const {
        return tree_.contains(dropHighlight_) ? dropHighlight_ : KeyedTree::npos;
    }

signals:
    void nodeClick(const QString& key);
    void nodeCheck(const QString& key, bool checked);
    void nodeDblClick(const QString& key);
    // Set *cancel to refuse the edit.
    void beforeLabelEdit(const QString& key, bool* cancel);
    void afterLabelEdit(const QString& key, const QString& newText, bool* cancel);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    // A node of the view's index, or null when the index is stale.
    KeyedTree::Node* nodeAt(const QModelIndex& index);

    KeyedTree tree_;
    KeyedTreeModel* model_;
    KeyedTree::NodeId dropHighlight_ = KeyedTree::npos;
    bool lastEditTaken_ = false;
};

} // namespace ocable::ui
