#pragma once

#include "core/LibraryObjects.h"
#include "platform/gis/Feature.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ocable {

struct ViewContext;

// The station coordinate dialog ("局站位置调整"): the longitude and latitude
// of a station and, while the view's blnSetStation is set, of each point
// clicked on the map. It stays above the map view while open. "确定" moves
// the station to the typed position and, after the same question as a mouse
// move, saves it the same way; "取消" closes it. Closing it clears
// blnSetStation, so map clicks stop feeding it.
class frmViewStationPoint : public QWidget {
    Q_OBJECT
public:
    explicit frmViewStationPoint(QWidget* parent = nullptr);

    // Keeps the station and shows its name and position.
    void iniFrm(gis::Feature& ftr);
    Q_INVOKABLE void setFtrPoint(double lng, double lat);

    // The view contract for the one station selected in view: set
    // blnSetStation, iniFrm with the station, show the dialog owned by the
    // view. False (after saying so) when not exactly one station is selected.
    static bool openForSelectedStation(ViewContext& view);

    QGroupBox* Frame1() const { return frame1_; }
    QLineEdit* txtLNG() const { return txtLng_; }
    QLineEdit* txtLAT() const { return txtLat_; }
    const gis::Feature& feature() const { return ftr_; }

    Q_INVOKABLE void cmdOK_Click();
    Q_INVOKABLE void cmdCancel_Click();

    // The shared instance, created on first use.
    static frmViewStationPoint& instance();
    static bool loaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ViewContext* view_ = nullptr;
    gis::Feature ftr_;
    QGroupBox* frame1_;
    QLabel* label1_;
    QLabel* label2_;
    QLineEdit* txtLng_;
    QLineEdit* txtLat_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    LibraryObjectToken token_;
};

} // namespace ocable
