#pragma once

#include "platform/ui/KeyedTree.h"

#include <QAbstractItemModel>

namespace ocable::ui {

// Shows a KeyedTree in Qt's item views. The tree stays the one source of
// truth; the model follows its changes. Ticking a box in the view changes the
// node and emits nodeCheckToggled.
class KeyedTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit KeyedTreeModel(KeyedTree& tree, QObject* parent = nullptr);
    ~KeyedTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QModelIndex indexOf(KeyedTree::NodeId id) const;
    // npos for an invalid index, and for an index left over from nodes that
    // have since been removed or cleared.
    KeyedTree::NodeId nodeOf(const QModelIndex& index) const;
    // Every row's check box appears or goes (the tree's CheckBoxes changed).
    void checkBoxesChanged();
    // Whether a view may open an editor on a node's text. The model never
    // writes the text itself: the view decides whether an edit is taken.
    void setLabelsEditable(bool on) { labelsEditable_ = on; }

signals:
    void nodeCheckToggled(const QString& key, bool checked);

private:
    void onTreeChange(KeyedTree::Change change, KeyedTree::NodeId id);

    KeyedTree& tree_;
    KeyedTree::ObserverId observer_;
    // Between the tree's AboutToReset and Reset the model shows no rows, so a
    // view that paints meanwhile never reads a half-built tree.
    bool resetting_ = false;
    bool labelsEditable_ = false;
};

} // namespace ocable::ui
