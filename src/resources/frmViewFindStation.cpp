#include "resources/frmViewFindStation.h"

#include "core/Log.h"
#include "core/ViewContext.h"
#include "core/mPubFun.h"
#include "core/mPubVar.h"
#include "interaction/Locating.h"
#include "platform/ui/MessageBoxService.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace ocable {

namespace {

QPointer<frmViewFindStation>& shared() {
    static QPointer<frmViewFindStation> instance;
    return instance;
}

QListView* makeList(const char* name, QStringListModel* model, QWidget* parent) {
    auto* list = new QListView(parent);
    list->setObjectName(name);
    list->setModel(model);
    // Every row the same height: the view never measures a quarter of a
    // million rows to lay them out.
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

} // namespace

frmViewFindStation::frmViewFindStation(QWidget* parent)
    : QWidget(parent, Qt::Tool), search_(searchHooks()),
      Frame1_(new QGroupBox(QString::fromUtf8(find::kCaption), this)), SSTabRes_(new QTabWidget(Frame1_)),
      Label1_(new QLabel(QStringLiteral("名称："))), txtStation_(new QLineEdit),
      Label2_(new QLabel(QStringLiteral("名称："))), txtStart_(new QLineEdit), Line1_(new QFrame),
      txtEnd_(new QLineEdit), chkMatch_(new QCheckBox(QStringLiteral("匹配查找"), Frame1_)),
      cmdOK_(new QPushButton(QStringLiteral("查询"), Frame1_)),
      cmdCancel_(new QPushButton(QStringLiteral("隐藏"), Frame1_)), stationModel_(new QStringListModel(this)),
      cableModel_(new QStringListModel(this)) {
    setObjectName("frmViewFindStation");
    setWindowTitle(QString::fromUtf8(find::kCaption));
    Frame1_->setObjectName("Frame1");
    SSTabRes_->setObjectName("SSTabRes");
    Label1_->setObjectName("Label1");
    txtStation_->setObjectName("txtStation");
    Label2_->setObjectName("Label2");
    txtStart_->setObjectName("txtStart");
    Line1_->setObjectName("Line1");
    Line1_->setFrameShape(QFrame::HLine);
    Line1_->setFixedWidth(12);
    txtEnd_->setObjectName("txtEnd");
    chkMatch_->setObjectName("chkMatch");
    cmdOK_->setObjectName("cmdOK");
    cmdCancel_->setObjectName("cmdCancel");

    auto* stations = new QWidget;
    lstStation_ = makeList("lstStation", stationModel_, stations);
    auto* stationGrid = new QGridLayout(stations);
    stationGrid->addWidget(Label1_, 0, 0);
    stationGrid->addWidget(txtStation_, 0, 1);
    stationGrid->addWidget(lstStation_, 1, 0, 1, 2);
    SSTabRes_->addTab(stations, QStringLiteral("局站"));

    auto* cables = new QWidget;
    lstOcable_ = makeList("lstOcable", cableModel_, cables);
    auto* names = new QHBoxLayout;
    names->addWidget(Label2_);
    names->addWidget(txtStart_);
    names->addWidget(Line1_);
    names->addWidget(txtEnd_);
    auto* cableLayout = new QVBoxLayout(cables);
    cableLayout->addLayout(names);
    cableLayout->addWidget(lstOcable_);
    SSTabRes_->addTab(cables, QStringLiteral("光缆段"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkMatch_);
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* frameLayout = new QVBoxLayout(Frame1_);
    frameLayout->addWidget(SSTabRes_);
    frameLayout->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1_);
    resize(380, 440);

    const auto guard = [](const char* step, auto fn) { return [step, fn](auto&&...) { guarded(step, fn); }; };
    connect(cmdOK_, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    for (QLineEdit* box : {txtStation_, txtStart_, txtEnd_})
        connect(box, &QLineEdit::returnPressed, this, [this] { cmdOK_Click(); });
    connect(txtStation_, &QLineEdit::textChanged, this,
            guard("局站名称输入", [this] { txtStation_Change(); }));
    for (QLineEdit* box : {txtStart_, txtEnd_})
        connect(box, &QLineEdit::textChanged, this, guard("光缆段名称输入", [this] { txtEnds_Change(); }));
    connect(lstStation_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        guarded("双击局站列表", [&] { lstStation_DblClick(index); });
    });
    connect(lstOcable_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        guarded("双击光缆段列表", [&] { lstOcable_DblClick(index); });
    });
}

find::FindSearch::Hooks frmViewFindStation::searchHooks() {
    find::FindSearch::Hooks hooks;
    hooks.query = [](const std::string& sql) { return mPubFun::openRecordset(sql); };
    hooks.message = [this](const std::string& text) {
        ui::MessageBoxService::instance().show(text, find::kMessageTitle, ui::MessageBoxService::Buttons::OK,
                                               ui::MessageBoxService::Icon::Information,
                                               ui::MessageBoxService::Answer::OK, this);
    };
    // Each hit is located on the view that opened the dialog, as long as it lives.
    hooks.locateStation = [this](const std::string& code) {
        if (viewWindow_) guarded("查找定位局站", [&] { Locating(*view_).locateStation(code); });
    };
    hooks.locateOcable = [this](const std::string& code) {
        if (viewWindow_) guarded("查找定位光缆段", [&] { Locating(*view_).locateOcable(code); });
    };
    hooks.started = [this] {
        if (viewWindow_) view_->isFounding = true;
    };
    return hooks;
}

void frmViewFindStation::registerCommands(ViewContext& view) {
    view.menuCommands["mnuFindRes"] = [&view] { showFor(view); };
    view.showFindDialog = [&view] { showFor(view); };
    view.findAgain = [] {
        if (shared()) shared()->cmdOK_Click();
    };
}

frmViewFindStation& frmViewFindStation::showFor(ViewContext& view) {
    const bool fresh = !shared();
    if (fresh) shared() = new frmViewFindStation(view.window);
    frmViewFindStation& dialog = *shared();
    // Owned by the view: as a tool window it stays above it.
    if (dialog.parentWidget() != view.window) dialog.setParent(view.window, Qt::Tool);
    dialog.view_ = &view;
    dialog.viewWindow_ = view.window;
    if (fresh) {
        dialog.Form_Load();
        // At the view's right edge: locating centres each hit in the view,
        // where the dialog would hide it.
        if (view.window)
            dialog.move(view.window->mapToGlobal(QPoint(view.window->width() - dialog.width() - 24, 48)));
    }
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    return dialog;
}

bool frmViewFindStation::loaded() {
    return !shared().isNull();
}

void frmViewFindStation::Form_Load() {
    guarded("宿主窗口", [&] { mPubVar::gobjCommon->hostWindowOf(this); });
    guarded("局站名称列表", [&] {
        auto rows = mPubFun::openRecordset(find::kStationListSql);
        stationModel_->setStringList(find::listNames(rows.get(), "STATIONNAME"));
    });
    guarded("光缆段名称列表", [&] {
        auto rows = mPubFun::openRecordset(find::kCableListSql);
        cableModel_->setStringList(find::listNames(rows.get(), "OCABLENAME"));
    });
}

void frmViewFindStation::selectRow(QListView* list, int row) {
    if (row < 0) {
        list->clearSelection();
        list->setCurrentIndex(QModelIndex());
        return;
    }
    const QModelIndex index = list->model()->index(row, 0);
    list->setCurrentIndex(index);
    list->scrollTo(index, QAbstractItemView::PositionAtTop);
}

void frmViewFindStation::txtStation_Change() {
    selectRow(lstStation_, find::findListEntry(stationModel_->stringList(), txtStation_->text()));
}

void frmViewFindStation::txtEnds_Change() {
    selectRow(lstOcable_,
              find::findCableEntry(cableModel_->stringList(), txtStart_->text(), txtEnd_->text()));
}

void frmViewFindStation::lstStation_DblClick(const QModelIndex& index) {
    if (index.isValid()) txtStation_->setText(index.data().toString());
}

void frmViewFindStation::lstOcable_DblClick(const QModelIndex& index) {
    if (!index.isValid()) return;
    const std::string name =
        index.data().toString().replace(QString::fromUtf8(find::kWideDash), find::kDash).toStdString();
    txtStart_->setText(QString::fromStdString(mPubVar::gobjCommon->getField(name, find::kDash, 1)));
    txtEnd_->setText(QString::fromStdString(mPubVar::gobjCommon->getField(name, find::kDash, 2)));
}

void frmViewFindStation::cmdOK_Click() {
    guarded("资源查找", [&] {
        find::FindInputs in;
        in.tab = SSTabRes_->currentIndex();
        in.matching = chkMatch_->isChecked();
        in.station = txtStation_->text().toStdString();
        in.start = txtStart_->text().toStdString();
        in.end = txtEnd_->text().toStdString();
        search_.press(std::move(in));
    });
}

void frmViewFindStation::cmdCancel_Click() {
    hide();
}

void frmViewFindStation::closeEvent(QCloseEvent* event) {
    // Closing unloads the dialog: its hits go, F3 no longer searches, and the
    // next Ctrl+F loads a new one.
    if (viewWindow_) view_->isFounding = false;
    if (shared() == this) shared() = nullptr;
    event->accept();
    deleteLater();
}

} // namespace ocable
