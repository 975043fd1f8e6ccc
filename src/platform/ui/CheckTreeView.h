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

signals:
    void nodeClick(const QString& key);
    void nodeCheck(const QString& key, bool checked);
    void nodeDblClick(const QString& key);

private:
    // A node of the view's index, or null when the index is stale.
    KeyedTree::Node* nodeAt(const QModelIndex& index);

    KeyedTree tree_;
    KeyedTreeModel* model_;
};

} // namespace ocable::ui
