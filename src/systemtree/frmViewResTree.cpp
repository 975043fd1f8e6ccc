#include "systemtree/frmViewResTree.h"

#include "platform/ui/CheckTreeView.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QTabWidget>
#include <QVBoxLayout>

namespace ocable {

namespace {
QPointer<frmViewResTree>& shared() {
    static QPointer<frmViewResTree> instance;
    return instance;
}

QWidget* comboRow(QWidget* parent, QLabel* label, QComboBox* combo) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(combo, 1);
    return row;
}
} // namespace

frmViewResTree::frmViewResTree(QWidget* parent)
    : QWidget(parent), tabs_(new QTabWidget(this)), treeRes_(new ui::CheckTreeView), treeSystem_(new ui::CheckTreeView),
      cmbRoom_(new QComboBox), cobSubNetPart_(new QComboBox) {
    setObjectName("frmViewResTree");
    setWindowTitle(QStringLiteral("资源树"));
    tabs_->setObjectName("SSTabTree");
    treeRes_->setObjectName("TreeRes");
    treeSystem_->setObjectName("TreeSystem");
    treeSystem_->setCheckBoxes(false);
    cmbRoom_->setObjectName("cmbRoom");
    cobSubNetPart_->setObjectName("CobSubNetPart");

    auto* resPage = new QWidget;
    auto* resLayout = new QVBoxLayout(resPage);
    resLayout->setContentsMargins(2, 2, 2, 2);
    auto* label2 = new QLabel(QStringLiteral("机房："));
    label2->setObjectName("Label2");
    resLayout->addWidget(comboRow(resPage, label2, cmbRoom_));
    resLayout->addWidget(treeRes_, 1);

    auto* sysPage = new QWidget;
    auto* sysLayout = new QVBoxLayout(sysPage);
    sysLayout->setContentsMargins(2, 2, 2, 2);
    auto* label1 = new QLabel(QStringLiteral("子网类型"));
    label1->setObjectName("Label1");
    sysLayout->addWidget(comboRow(sysPage, label1, cobSubNetPart_));
    sysLayout->addWidget(treeSystem_, 1);

    tabs_->addTab(resPage, QStringLiteral("资源"));
    tabs_->addTab(sysPage, QStringLiteral("子网"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);
}

void frmViewResTree::setDisplaySwitch(ui::CheckTreeView* tree, bool on) {
    if (tree) tree->setUpdatesEnabled(on);
}

void frmViewResTree::setSystemTabVisible(bool visible) { tabs_->setTabVisible(1, visible); }

bool frmViewResTree::systemTabVisible() const { return tabs_->isTabVisible(1); }

void frmViewResTree::saveWhenUnload() {
    // Editing division rules in this window comes with the rule editor; until
    // then nothing here is ever modified.
}

frmViewResTree& frmViewResTree::instance() {
    if (!shared()) shared() = new frmViewResTree();
    return *shared();
}

bool frmViewResTree::loaded() { return !shared().isNull(); }

void frmViewResTree::unload() {
    if (shared()) delete shared().data();
}

} // namespace ocable
