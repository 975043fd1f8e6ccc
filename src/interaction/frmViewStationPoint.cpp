#include "interaction/frmViewStationPoint.h"

#include "core/Log.h"
#include "core/ViewContext.h"
#include "core/mPubVar.h"
#include "interaction/InteractionTexts.h"
#include "interaction/MapSelection.h"
#include "interaction/StationMover.h"
#include "platform/db/NumberFormat.h"
#include "platform/gis/Layer.h"
#include "platform/ui/MessageBoxService.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace ocable {

namespace {

QPointer<frmViewStationPoint>& shared() {
    static QPointer<frmViewStationPoint> instance;
    return instance;
}

// A coordinate typed into a box, when it is a number within its range.
bool readCoordinate(const QLineEdit* box, double limit, double& out) {
    bool ok = false;
    out = box->text().trimmed().toDouble(&ok);
    return ok && out >= -limit && out <= limit;
}

void warn(const char* text, QWidget* parent) {
    ui::MessageBoxService::instance().show(text, texts::kWarningTitle, ui::MessageBoxService::Buttons::OK,
                                           ui::MessageBoxService::Icon::Warning,
                                           ui::MessageBoxService::Answer::OK, parent);
}

} // namespace

frmViewStationPoint::frmViewStationPoint(QWidget* parent)
    : QWidget(parent, Qt::Tool), frame1_(new QGroupBox(QString::fromUtf8(texts::kPointFrame), this)),
      label1_(new QLabel(QStringLiteral("经度："), frame1_)),
      label2_(new QLabel(QStringLiteral("纬度："), frame1_)), txtLng_(new QLineEdit(frame1_)),
      txtLat_(new QLineEdit(frame1_)), cmdOK_(new QPushButton(QStringLiteral("确定"), this)),
      cmdCancel_(new QPushButton(QStringLiteral("取消"), this)) {
    setObjectName("frmViewStationPoint");
    setWindowTitle(QString::fromUtf8(texts::kPointCaption));
    frame1_->setObjectName("Frame1");
    label1_->setObjectName("Label1");
    label2_->setObjectName("Label2");
    txtLng_->setObjectName("txtLNG");
    txtLat_->setObjectName("txtLAT");
    cmdOK_->setObjectName("cmdOK");
    cmdCancel_->setObjectName("cmdCancel");
    auto* grid = new QGridLayout(frame1_);
    grid->addWidget(label1_, 0, 0);
    grid->addWidget(txtLng_, 0, 1);
    grid->addWidget(label2_, 1, 0);
    grid->addWidget(txtLat_, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame1_);
    layout->addLayout(buttons);
    connect(cmdOK_, &QPushButton::clicked, this, [this] { guarded("确定局站位置", [&] { cmdOK_Click(); }); });
    connect(cmdCancel_, &QPushButton::clicked, this,
            [this] { guarded("取消局站位置", [&] { cmdCancel_Click(); }); });
}

frmViewStationPoint& frmViewStationPoint::instance() {
    if (!shared()) shared() = new frmViewStationPoint();
    return *shared();
}

bool frmViewStationPoint::loaded() {
    return !shared().isNull();
}

void frmViewStationPoint::iniFrm(gis::Feature& ftr) {
    ftr_ = ftr;
    frame1_->setTitle(QString::fromUtf8(texts::kPointFrameHead) + QString::fromStdString(ftr.Name()) +
                      QString::fromUtf8(texts::kPointFrameTail));
    setFtrPoint(ftr.CenterX(), ftr.CenterY());
}

void frmViewStationPoint::setFtrPoint(double lng, double lat) {
    txtLng_->setText(QString::fromStdString(db::formatNumber(lng)));
    txtLat_->setText(QString::fromStdString(db::formatNumber(lat)));
}

bool frmViewStationPoint::openForSelectedStation(ViewContext& view) {
    gis::Feature station = getSingleSelectedFeature(*view.map, stationLayers());
    if (station.isNull()) {
        warn(texts::kNoStationForPoint, view.window);
        return false;
    }
    frmViewStationPoint& dialog = instance();
    // Owned by the view, as a tool window it stays above it.
    if (dialog.parentWidget() != view.window) dialog.setParent(view.window, Qt::Tool);
    dialog.view_ = &view;
    view.blnSetStation = true;
    dialog.iniFrm(station);
    guarded("宿主窗口", [&] { mPubVar::gobjCommon->hostWindowOf(&dialog); });
    dialog.show();
    dialog.raise();
    return true;
}

void frmViewStationPoint::cmdOK_Click() {
    if (ftr_.isNull() || !view_ || !ftr_.isInLayer()) {
        close();
        return;
    }
    double lng = 0, lat = 0;
    if (!readCoordinate(txtLng_, 180, lng)) {
        warn(texts::kBadLongitude, this);
        return;
    }
    if (!readCoordinate(txtLat_, 90, lat)) {
        warn(texts::kBadLatitude, this);
        return;
    }
    // Read the station again: the map may have redrawn it since iniFrm.
    gis::Feature station = ftr_.Layer()->GetFeatureByKey(ftr_.FeatureKey());
    const double startLng = station.CenterX(), startLat = station.CenterY();
    placeAt(station, lng, lat);
    StationMover(*view_).confirmMove(station, startLng, startLat);
    ftr_ = station;
    close();
}

void frmViewStationPoint::cmdCancel_Click() {
    close();
}

void frmViewStationPoint::closeEvent(QCloseEvent* event) {
    if (view_) view_->blnSetStation = false;
    QWidget::closeEvent(event);
}

} // namespace ocable
