#pragma once

#include "platform/gis/Feature.h"

#include <string>

class QObject;

namespace ocable {

struct ViewContext;
class PopupCommands;
class StationMover;

// The mouse on the network map: the pop-up menu and what it offers, the
// property window after a selection click, the clicked positions for the
// coordinate dialog, and moving a station in drag mode.
//
// A move runs idle (tool 1007) -> waiting for a station (tmrIntervel
// running) -> moving (tool 10) -> idle. The timer exists because the select
// tool's selection is there only once the mouse-down has been handled: the
// next tick that finds exactly one selected station picks it up.
class MouseHandler {
public:
    MouseHandler(ViewContext& view, PopupCommands& popup, StationMover& mover)
        : view_(view), popup_(popup), mover_(mover) {}

    // Listens to Map1's mouse and to tmrIntervel; context ends the connections.
    void connectSignals(QObject* context);

    void mouseDown(int button, int shift, double x, double y);
    void mouseMove(int button, int shift, double x, double y);
    void mouseUp(int button, int shift, double x, double y);
    void timerTick();

    // "mnuShowRoom" for one selected station, the two network views
    // otherwise, "mnuProperty" for one selected station or cable segment.
    void setPopupAvailability();

    const gis::Feature& movingFeature() const { return movingFeature_; }
    const std::string& movingStationCode() const { return movingStationCode_; }
    // How often the pop-up menu was asked for (it is not opened in scripted runs).
    int popupCount() const { return popupCount_; }

private:
    void openPopup(double x, double y);

    ViewContext& view_;
    PopupCommands& popup_;
    StationMover& mover_;
    gis::Feature movingFeature_;
    std::string movingStationCode_;
    double startLng_ = 0;
    double startLat_ = 0;
    int popupCount_ = 0;
};

} // namespace ocable
