#include "platform/ui/PropertyGrid.h"

#include <QHeaderView>

namespace ocable::ui {

namespace {
constexpr int kKeyRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole + 1;
constexpr int kChoicesRole = Qt::UserRole + 2;
} // namespace

PropertyGrid::PropertyGrid(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(2);
    setHeaderLabels({QStringLiteral("属性"), QStringLiteral("值")});
    setRootIsDecorated(false);
    setAlternatingRowColors(true);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
}

QTreeWidgetItem* PropertyGrid::addRow(const std::string& key, const std::string& caption, RowKind kind) {
    QTreeWidgetItem* item = row(key);
    if (item) {
        item->setData(0, kChoicesRole, QVariant());
        item->setText(1, QString());
    } else {
        item = new QTreeWidgetItem(this);
    }
    item->setText(0, QString::fromStdString(caption));
    item->setData(0, kKeyRole, QString::fromStdString(key));
    item->setData(0, kKindRole, static_cast<int>(kind));
    return item;
}

QTreeWidgetItem* PropertyGrid::row(const std::string& key) const {
    const QString k = QString::fromStdString(key);
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->data(0, kKeyRole).toString() == k) return topLevelItem(i);
    return nullptr;
}

int PropertyGrid::kind(const std::string& key) const {
    auto* r = row(key);
    return r ? r->data(0, kKindRole).toInt() : 0;
}

void PropertyGrid::addChoice(const std::string& key, const std::string& choice) {
    if (auto* r = row(key)) {
        QStringList list = r->data(0, kChoicesRole).toStringList();
        list << QString::fromStdString(choice);
        r->setData(0, kChoicesRole, list);
    }
}

QStringList PropertyGrid::choices(const std::string& key) const {
    auto* r = row(key);
    return r ? r->data(0, kChoicesRole).toStringList() : QStringList();
}

void PropertyGrid::setValue(const std::string& key, const std::string& value) {
    if (auto* r = row(key)) r->setText(1, QString::fromStdString(value));
}

std::string PropertyGrid::value(const std::string& key) const {
    auto* r = row(key);
    return r ? r->text(1).toStdString() : std::string();
}

void PropertyGrid::setRowColor(const std::string& key, const QColor& color) {
    if (auto* r = row(key)) {
        r->setForeground(0, color);
        r->setForeground(1, color);
    }
}

void PropertyGrid::setRowBold(const std::string& key, bool bold) {
    if (auto* r = row(key)) {
        QFont f = r->font(0);
        f.setBold(bold);
        r->setFont(0, f);
    }
}

void PropertyGrid::ClearAll() {
    clear();
}

} // namespace ocable::ui
