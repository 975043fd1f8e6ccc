#include "resources/frmViewProperty.h"

#include "platform/ui/PropertyGrid.h"
#include "core/TextUtil.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace ocable {

namespace {
QPointer<frmViewProperty>& shared() {
    static QPointer<frmViewProperty> instance;
    return instance;
}
} // namespace

frmViewProperty::frmViewProperty(QWidget* parent)
    : QWidget(parent), grid_(new ui::PropertyGrid(this)), cmdOK_(new QPushButton(QStringLiteral("确定"), this)),
      cmdCancel_(new QPushButton(QStringLiteral("取消"), this)) {
    setObjectName("frmViewProperty");
    setWindowTitle(QStringLiteral("属性窗口"));
    grid_->setObjectName("SUIProperty");
    cmdOK_->setObjectName("cmdOK");
    cmdCancel_->setObjectName("cmdCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(grid_);
    layout->addLayout(buttons);
}

void frmViewProperty::addProperty(const QString& ProName, const QString& ProContent, const QString& ProStyle) {
    if (ProName.isEmpty()) return;
    const std::string key = ProName.toStdString();
    const bool choice = !ProStyle.isEmpty();
    grid_->addRow(key, "\t" + key, choice ? ui::PropertyGrid::ChoiceRow : ui::PropertyGrid::TextRow);
    if (choice)
        for (const auto& piece : text::split(ProStyle.toStdString(), ";")) grid_->addChoice(key, piece);
    grid_->setValue(key, ProContent.toStdString());
    grid_->setRowColor(key, QColor(0, 0, 255));
    grid_->setRowBold(key, true);
}

void frmViewProperty::clearProperties() { grid_->ClearAll(); }

frmViewProperty& frmViewProperty::instance() {
    if (!shared()) shared() = new frmViewProperty();
    return *shared();
}

bool frmViewProperty::loaded() { return !shared().isNull(); }

void frmViewProperty::unload() {
    if (shared()) delete shared().data();
}

} // namespace ocable
