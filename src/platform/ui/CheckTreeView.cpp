#include "platform/ui/CheckTreeView.h"

#include <QLineEdit>
#include <QStyledItemDelegate>

namespace ocable::ui {

namespace {
// Hands a finished label edit to the view, which decides whether the node
// takes the text, and paints the drop target as the one selected row.
class NodeDelegate : public QStyledItemDelegate {
public:
    explicit NodeDelegate(CheckTreeView& view) : QStyledItemDelegate(&view), view_(view) {}

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        const auto id = view_.model().nodeOf(index);
        if (line && id != KeyedTree::npos) view_.applyLabelEdit(view_.tree().node(id).key, line->text());
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const auto target = view_.dropHighlight();
        if (target == KeyedTree::npos) return;
        if (view_.model().nodeOf(index) == target)
            option->state |= QStyle::State_Selected;
        else
            option->state &= ~QStyle::State_Selected;
    }

private:
    CheckTreeView& view_;
};
} // namespace

CheckTreeView::CheckTreeView(QWidget* parent) : QTreeView(parent), model_(new KeyedTreeModel(tree_, this)) {
    setModel(model_);
    setItemDelegate(new NodeDelegate(*this));
    setHeaderHidden(true);
    setUniformRowHeights(true); // keeps trees of many thousand nodes fast
    setEditTriggers(NoEditTriggers);
    connect(model_, &KeyedTreeModel::nodeCheckToggled, this,
            [this](const QString& key, bool checked) { emit nodeCheck(key, checked); });
    // Node ids start again after a reset: an old highlight would land on another node.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { dropHighlight_ = KeyedTree::npos; });
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

std::string CheckTreeView::keyAt(const QPoint& point) const {
    const auto id = model_->nodeOf(indexAt(point));
    return id == KeyedTree::npos ? std::string() : tree_.node(id).key;
}

void CheckTreeView::setLabelEdit(bool on) {
    model_->setLabelsEditable(on);
}

bool CheckTreeView::startLabelEdit() {
    const QModelIndex index = currentIndex();
    if (model_->nodeOf(index) == KeyedTree::npos) return false;
    // The view's own edit runs beforeLabelEdit first.
    return edit(index, AllEditTriggers, nullptr);
}

bool CheckTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // Clicks on check boxes come this way too; only a started edit asks.
    if (trigger == AllEditTriggers && state() != EditingState) {
        auto* n = nodeAt(index);
        if (!n || !(model_->flags(index) & Qt::ItemIsEditable)) return false;
        bool cancel = false;
        emit beforeLabelEdit(QString::fromStdString(n->key), &cancel);
        if (cancel) return false;
    }
    return QTreeView::edit(index, trigger, event);
}

bool CheckTreeView::endLabelEdit(const std::string& key, const QString& newText) {
    const auto id = tree_.find(key);
    auto* editor =
        id == KeyedTree::npos ? nullptr : qobject_cast<QLineEdit*>(indexWidget(model_->indexOf(id)));
    if (!editor) return applyLabelEdit(key, newText);
    editor->setText(newText);
    lastEditTaken_ = false;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return lastEditTaken_;
}

bool CheckTreeView::applyLabelEdit(const std::string& key, const QString& newText) {
    lastEditTaken_ = false;
    if (tree_.find(key) == KeyedTree::npos) return false;
    bool cancel = false;
    emit afterLabelEdit(QString::fromStdString(key), newText, &cancel);
    // The handler may have changed the tree: look the node up again.
    const auto after = tree_.find(key);
    if (cancel || after == KeyedTree::npos) return false;
    tree_.node(after).text = newText.toStdString();
    tree_.notifyUpdated(after);
    lastEditTaken_ = true;
    return true;
}

std::string CheckTreeView::editingKey() const {
    if (state() != EditingState) return {};
    return selectedKey();
}

void CheckTreeView::setDropHighlight(const std::string& key) {
    const auto id = key.empty() ? KeyedTree::npos : tree_.find(key);
    if (id == dropHighlight_) return;
    dropHighlight_ = id;
    viewport()->update();
}

std::string CheckTreeView::dropHighlightKey() const {
    const auto id = dropHighlight();
    return id == KeyedTree::npos ? std::string() : tree_.node(id).key;
}

} // namespace ocable::ui
