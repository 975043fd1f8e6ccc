#include "platform/ui/KeyedTreeModel.h"

namespace ocable::ui {

KeyedTreeModel::KeyedTreeModel(KeyedTree& tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree),
      observer_(
          tree_.addObserver([this](KeyedTree::Change c, KeyedTree::NodeId id) { onTreeChange(c, id); })),
      resetting_(tree_.inBulk()) {
    // A model made in the middle of a bulk fill waits for its end like the others.
    if (resetting_) beginResetModel();
}

KeyedTreeModel::~KeyedTreeModel() {
    tree_.removeObserver(observer_);
}

void KeyedTreeModel::onTreeChange(KeyedTree::Change change, KeyedTree::NodeId id) {
    switch (change) {
    case KeyedTree::Change::AboutToAdd: {
        const int row =
            static_cast<int>(id == KeyedTree::npos ? tree_.roots().size() : tree_.node(id).children.size());
        beginInsertRows(indexOf(id), row, row);
        break;
    }
    case KeyedTree::Change::Added:
        endInsertRows();
        break;
    case KeyedTree::Change::AboutToRemove: {
        const auto& n = tree_.node(id);
        beginRemoveRows(indexOf(n.parent), static_cast<int>(n.row), static_cast<int>(n.row));
        break;
    }
    case KeyedTree::Change::Removed:
        endRemoveRows();
        break;
    case KeyedTree::Change::Updated: {
        const QModelIndex i = indexOf(id);
        emit dataChanged(i, i);
        break;
    }
    case KeyedTree::Change::AboutToReset:
        beginResetModel();
        resetting_ = true;
        break;
    case KeyedTree::Change::Reset:
        if (!resetting_) beginResetModel();
        resetting_ = false;
        endResetModel();
        break;
    }
}

void KeyedTreeModel::checkBoxesChanged() {
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}

QModelIndex KeyedTreeModel::indexOf(KeyedTree::NodeId id) const {
    if (id == KeyedTree::npos || resetting_ || !tree_.contains(id)) return {};
    return createIndex(static_cast<int>(tree_.node(id).row), 0, static_cast<quintptr>(id));
}

KeyedTree::NodeId KeyedTreeModel::nodeOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this || resetting_) return KeyedTree::npos;
    const auto id = static_cast<KeyedTree::NodeId>(index.internalId());
    return tree_.contains(id) ? id : KeyedTree::npos;
}

QModelIndex KeyedTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0 || resetting_) return {};
    const KeyedTree::NodeId p = nodeOf(parent);
    if (parent.isValid() && p == KeyedTree::npos) return {};
    const auto& siblings = p == KeyedTree::npos ? tree_.roots() : tree_.node(p).children;
    if (static_cast<std::size_t>(row) >= siblings.size()) return {};
    return createIndex(row, 0, static_cast<quintptr>(siblings[static_cast<std::size_t>(row)]));
}

QModelIndex KeyedTreeModel::parent(const QModelIndex& child) const {
    const KeyedTree::NodeId id = nodeOf(child);
    return id == KeyedTree::npos ? QModelIndex() : indexOf(tree_.node(id).parent);
}

int KeyedTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0 || resetting_) return 0;
    if (!parent.isValid()) return static_cast<int>(tree_.roots().size());
    const KeyedTree::NodeId id = nodeOf(parent);
    return id == KeyedTree::npos ? 0 : static_cast<int>(tree_.node(id).children.size());
}

int KeyedTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant KeyedTreeModel::data(const QModelIndex& index, int role) const {
    const KeyedTree::NodeId id = nodeOf(index);
    if (id == KeyedTree::npos) return {};
    const auto& n = tree_.node(id);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromStdString(n.text);
    case Qt::CheckStateRole:
        if (!tree_.CheckBoxes) return {};
        return n.checked ? Qt::Checked : Qt::Unchecked;
    case Qt::UserRole:
        return QString::fromStdString(n.key);
    default:
        return {};
    }
}

bool KeyedTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const KeyedTree::NodeId id = nodeOf(index);
    if (id == KeyedTree::npos || role != Qt::CheckStateRole || !tree_.CheckBoxes) return false;
    auto& n = tree_.node(id);
    const bool on = value.toInt() == Qt::Checked;
    if (n.checked == on) return true;
    n.checked = on;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    // The handler may rebuild the tree: n is not read after this.
    emit nodeCheckToggled(QString::fromStdString(n.key), on);
    return true;
}

Qt::ItemFlags KeyedTreeModel::flags(const QModelIndex& index) const {
    if (nodeOf(index) == KeyedTree::npos) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (tree_.CheckBoxes) f |= Qt::ItemIsUserCheckable;
    if (labelsEditable_) f |= Qt::ItemIsEditable;
    return f;
}

} // namespace ocable::ui
