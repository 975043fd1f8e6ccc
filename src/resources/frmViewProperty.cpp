#include "resources/frmViewProperty.h"

#include "core/Log.h"
#include "core/NetworkVocabulary.h"
#include "core/TextUtil.h"
#include "core/ViewContext.h"
#include "core/mPubVar.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/ui/ActiveBar.h"
#include "platform/ui/PropertyGrid.h"

#include <QHeaderView>
#include <QPointer>
#include <QPushButton>

namespace ocable {

namespace {
QPointer<frmViewProperty>& shared() {
    static QPointer<frmViewProperty> instance;
    return instance;
}

// The host's form docked last; it is ours to delete once another takes its place.
QPointer<QWidget>& dockedHostForm() {
    static QPointer<QWidget> form;
    return form;
}

// The window is laid out in twips; 15 make a pixel at 96 dots per inch.
constexpr int twips(int t) {
    return t / 15;
}
constexpr const char* kPropertyBand = "frmProperty";
constexpr const char* kToolbar = "toolbar";
} // namespace

frmViewProperty::frmViewProperty(QWidget* parent)
    : QWidget(parent), grid_(new ui::PropertyGrid(this)),
      cmdOK_(new QPushButton(QStringLiteral("确定"), this)),
      cmdCancel_(new QPushButton(QStringLiteral("取消"), this)) {
    setObjectName("frmViewProperty");
    setWindowTitle(QStringLiteral("属性窗口"));
    grid_->setObjectName("SUIProperty");
    cmdOK_->setObjectName("cmdOK");
    cmdCancel_->setObjectName("cmdCancel");
    // The name column's width.
    grid_->header()->resizeSection(0, twips(1600));
    resize(240, 320);
}

void frmViewProperty::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    guarded("属性窗口布局", [&] {
        grid_->setGeometry(0, 0, width(), grid_->height());
        const int gridHeight = frameGeometry().height() - cmdOK_->height() - twips(200);
        if (gridHeight >= 0) grid_->resize(width(), gridHeight);
        const int top = grid_->y() + grid_->height() + twips(100);
        cmdOK_->move(width() - cmdOK_->width() - cmdCancel_->width() - 8, top);
        cmdCancel_->move(width() - cmdCancel_->width() - 4, top);
    });
}

void frmViewProperty::addProperty(const QString& ProName, const QString& ProContent,
                                  const QString& ProStyle) {
    if (ProName.isEmpty()) return;
    const std::string key = ProName.toStdString();
    const bool choice = !ProStyle.isEmpty();
    grid_->addRow(key, "\t" + key, choice ? ui::PropertyGrid::ChoiceRow : ui::PropertyGrid::TextRow);
    if (choice)
        for (const auto& piece : text::split(ProStyle.toStdString(), ";"))
            grid_->addChoice(key, piece);
    grid_->setValue(key, ProContent.toStdString());
    grid_->setRowColor(key, QColor(0, 0, 255));
    grid_->setRowBold(key, true);
}

void frmViewProperty::clearProperties() {
    grid_->ClearAll();
}

void frmViewProperty::showSingleProperty(ViewContext& view, const std::string& objKey) {
    QWidget* form = nullptr;
    if (objKey.empty()) {
        guarded("对象编号为空", [] { mPubVar::gobjMessage->showNotice("对象编号为空！"); });
    } else {
        auto record = view.resTree ? view.resTree->Item(objKey) : nullptr;
        if (!record) {
            instance().clearProperties();
        } else if (record->tableName == vocab::kStationTable || record->tableName == vocab::kCableTable) {
            const std::string code = text::field(objKey, ":", 2);
            guarded("宿主属性窗体",
                    [&] { form = mPubVar::gobjResService->propertyWindow(code, record->tableName); });
        }
    }
    guarded("停靠属性窗体", [&] { dockForm(view, form); });
}

void frmViewProperty::dockForm(ViewContext& view, QWidget* form) {
    ui::ActiveBar& bar = *view.activebarMain;
    bar.setHostedWindow(kPropertyBand, kPropertyBand, nullptr);
    QPointer<QWidget>& previous = dockedHostForm();
    if (previous && previous != form) previous->deleteLater();
    previous = form;
    bar.setHostedWindow(kPropertyBand, kPropertyBand, form);
    bar.Refresh();
    bar.setBandVisible(kPropertyBand, true);
    bar.setChecked(kToolbar, "mnu_view_Property", true);
    bar.RecalcLayout();
}

std::string frmViewProperty::getLayerKindPrefix(gis::Map& map, const std::string& layerName) {
    if (layerName == vocab::kLayerTerminal || layerName == vocab::kLayerOtherStation)
        return vocab::kStationKeyPrefix;
    if (layerName == vocab::kLayerBackbone) return vocab::kCableKeyPrefix;
    if (layerName == vocab::kLayerCable) {
        const gis::Selection& selection = map.Layers().Item(layerName).Selection();
        return selection.Count() > 0 ? selection.Item(1).FeatureKey() : std::string();
    }
    return {};
}

frmViewProperty& frmViewProperty::instance() {
    if (!shared()) shared() = new frmViewProperty();
    return *shared();
}

bool frmViewProperty::loaded() {
    return !shared().isNull();
}

void frmViewProperty::unload() {
    if (shared()) delete shared().data();
}

} // namespace ocable
