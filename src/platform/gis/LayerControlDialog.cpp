#include "platform/gis/LayerControlDialog.h"

#include "platform/gis/Map.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ocable::gis {

namespace {

QTableWidgetItem* checkItem(bool on) {
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    return item;
}

} // namespace

LayerControlDialog::LayerControlDialog(Map& map, QWidget* parent)
    : QDialog(parent), map_(map), table_(new QTableWidget(this)) {
    setWindowTitle(QStringLiteral("图层控制"));
    table_->setObjectName(QStringLiteral("layers"));
    table_->setColumnCount(3);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("图层"), QStringLiteral("可见"), QStringLiteral("自动标注")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    const auto& layers = map_.Layers();
    table_->setRowCount(layers.Count());
    for (int i = 1; i <= layers.Count(); ++i) {
        const Layer& layer = layers.Item(i);
        auto* name = new QTableWidgetItem(QString::fromStdString(layer.Name()));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        table_->setItem(i - 1, NameColumn, name);
        table_->setItem(i - 1, VisibleColumn, checkItem(layer.Visible()));
        table_->setItem(i - 1, LabelColumn, checkItem(layer.AutoLabel()));
    }
    if (layers.Count() > 0) table_->selectRow(0);

    auto* up = new QPushButton(QStringLiteral("上移"), this);
    auto* down = new QPushButton(QStringLiteral("下移"), this);
    up->setObjectName(QStringLiteral("up"));
    down->setObjectName(QStringLiteral("down"));
    connect(up, &QPushButton::clicked, this, [this] { moveCurrent(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveCurrent(+1); });
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* side = new QVBoxLayout;
    side->addWidget(up);
    side->addWidget(down);
    side->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(table_, 1);
    body->addLayout(side);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(body);
    outer->addWidget(buttons);
    resize(420, 360);
}

void LayerControlDialog::moveCurrent(int step) {
    const int row = table_->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= table_->rowCount()) return;
    for (int c = 0; c < table_->columnCount(); ++c) {
        QTableWidgetItem* a = table_->takeItem(row, c);
        QTableWidgetItem* b = table_->takeItem(target, c);
        table_->setItem(row, c, b);
        table_->setItem(target, c, a);
    }
    table_->selectRow(target);
}

void LayerControlDialog::apply() {
    auto& layers = map_.Layers();
    for (int row = 0; row < table_->rowCount(); ++row) {
        const std::string name = table_->item(row, NameColumn)->text().toStdString();
        Layer* layer = layers.find(name);
        if (!layer) continue; // removed while the dialog was open
        layer->setVisible(table_->item(row, VisibleColumn)->checkState() == Qt::Checked);
        layer->setAutoLabel(table_->item(row, LabelColumn)->checkState() == Qt::Checked);
        const int now = layers.positionOf(*layer);
        const int wanted = std::min(row + 1, layers.Count());
        if (now != wanted) layers.Move(now, wanted);
    }
}

void LayerControlDialog::accept() {
    apply();
    QDialog::accept();
}

} // namespace ocable::gis
