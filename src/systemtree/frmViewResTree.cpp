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

// A tab page: a labelled combo box above a tree.
QWidget* treePage(const char* labelName, const QString& labelText, QComboBox* combo, QWidget* tree) {
    auto* page = new QWidget;
    auto* label = new QLabel(labelText);
    label->setObjectName(labelName);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(combo, 1);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(row);
    layout->addWidget(tree, 1);
    return page;
}
} // namespace

frmViewResTree::frmViewResTree(QWidget* parent)
    : QWidget(parent), tabs_(new QTabWidget(this)), treeRes_(new ui::CheckTreeView),
      treeSystem_(new ui::CheckTreeView), cmbRoom_(new QComboBox), cobSubNetPart_(new QComboBox) {
    setObjectName("frmViewResTree");
    setWindowTitle(QStringLiteral("资源树"));
    tabs_->setObjectName("SSTabTree");
    treeRes_->setObjectName("TreeRes");
    treeSystem_->setObjectName("TreeSystem");
    treeSystem_->setCheckBoxes(false);
    cmbRoom_->setObjectName("cmbRoom");
    cobSubNetPart_->setObjectName("CobSubNetPart");

    tabs_->addTab(treePage("Label2", QStringLiteral("机房："), cmbRoom_, treeRes_), QStringLiteral("资源"));
    tabs_->addTab(treePage("Label1", QStringLiteral("子网类型"), cobSubNetPart_, treeSystem_),
                  QStringLiteral("子网"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);
}

void frmViewResTree::setDisplaySwitch(ui::CheckTreeView* tree, bool on) {
    if (tree) tree->setUpdatesEnabled(on);
}

void frmViewResTree::setSystemTabVisible(bool visible) {
    tabs_->setTabVisible(1, visible);
}

bool frmViewResTree::systemTabVisible() const {
    return tabs_->isTabVisible(1);
}

void frmViewResTree::saveWhenUnload() {
    // Editing division rules in this window comes with the rule editor; until
    // then nothing here is ever modified.
}

frmViewResTree& frmViewResTree::instance() {
    if (!shared()) shared() = new frmViewResTree();
    return *shared();
}

bool frmViewResTree::loaded() {
    return !shared().isNull();
}

void frmViewResTree::unload() {
    if (shared()) delete shared().data();
}

} // namespace ocable
