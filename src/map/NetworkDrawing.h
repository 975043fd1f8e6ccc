#pragma once

#include "core/ViewContext.h"
#include "map/mdlViewMap.h"

#include <functional>
#include <string>

namespace ocable {

// Draws the whole optical-cable network of one division rule and one scope
// into the main window's map, record store and resource tree.
class NetworkDrawing {
public:
    // What the window does around the drawing.
    struct Hooks {
        std::function<void()> letEventsRun;
        std::function<void()> showWaiting;
        std::function<void()> unloadWaiting;
        std::function<void()> mirrorResourceTree;
        // Told the name of each phase as it ends (for timing the drawing).
        std::function<void(const char*)> phaseDone;
    };

    NetworkDrawing(ViewContext& state, Hooks hooks) : state_(state), hooks_(std::move(hooks)) {}

    // True when the network was drawn. Tells the user why it was not.
    bool drawOcableNetMap(std::string& ruleName, std::string& scope);

    // Sets each drawn cable's record remark to the number of transmission
    // systems over it.
    void countSystemsPerCable();

    // The station and cable recordsets of the stored scope and user level.
    void loadMapRecordsets();

private:
    void run(const std::string& ruleName, const std::string& scope);
    void buildAreaNodes();
    void drawStations();
    void drawCables();
    void drawMicrowave();
    void call(const std::function<void()>& hook) {
        if (hook) hook();
    }
    void phase(const char* name) {
        if (hooks_.phaseDone) hooks_.phaseDone(name);
    }

    ViewContext& state_;
    Hooks hooks_;
    mdlViewMap::BackboneGroups backboneGroups_;
};

} // namespace ocable
