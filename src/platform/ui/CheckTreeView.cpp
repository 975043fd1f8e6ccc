#include "platform/ui/CheckTreeView.h"

namespace ocable::ui {

CheckTreeView::CheckTreeView(QWidget* parent) : QTreeView(parent), model_(new KeyedTreeModel(tree_, this)) {
    setModel(model_);
    setHeaderHidden(true);
    setUniformRowHeights(true); // keeps trees of many thousand nodes fast
    connect(model_, &KeyedTreeModel::nodeCheckToggled, this,
            [this](const QString& key, bool checked) { emit nodeCheck(key, checked); });
    connect(this, &QTreeView::clicked, this, [this](const QModelIndex& i) {
        if (auto* n = nodeAt(i)) emit nodeClick(QString::fromStdString(n->key));
    });
    connect(this, &QTreeView::doubleClicked, this, [this](const QModelIndex& i) {
        if (auto* n = nodeAt(i)) emit nodeDblClick(QString::fromStdString(n->key));
    });
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& i) {
        if (auto* n = nodeAt(i)) n->expanded = true;
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& i) {
        if (auto* n = nodeAt(i)) n->expanded = false;
    });
}

CheckTreeView::~CheckTreeView() {
    // The model reads tree_, which goes before QObject would delete the model.
    setModel(nullptr);
    delete model_;
}

KeyedTree::Node* CheckTreeView::nodeAt(const QModelIndex& index) {
    const auto id = model_->nodeOf(index);
    return id == KeyedTree::npos ? nullptr : &tree_.node(id);
}

void CheckTreeView::setCheckBoxes(bool on) {
    tree_.CheckBoxes = on;
    model_->checkBoxesChanged();
}

void CheckTreeView::syncExpanded() {
    for (auto id : tree_.allNodes())
        if (!tree_.node(id).children.empty()) setExpanded(model_->indexOf(id), tree_.node(id).expanded);
}

std::string CheckTreeView::selectedKey() const {
    const auto id = model_->nodeOf(currentIndex());
    return id == KeyedTree::npos ? std::string() : tree_.node(id).key;
}

void CheckTreeView::selectKey(const std::string& key) {
    const auto id = tree_.find(key);
    if (id != KeyedTree::npos) setCurrentIndex(model_->indexOf(id));
}

} // namespace ocable::ui
