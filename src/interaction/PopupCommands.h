#pragma once

#include <string>
#include <vector>

namespace ocable {

struct ViewContext;
class NetworkDrawing;

// The commands behind ActiveBarMenu's keys: the pop-up menu of the map
// ("mnuPop") and the keys of its own band that the host's menus click. Each
// registers itself under its key in the view's command table, measuring and
// the line window included; the find dialog registers its own key.
class PopupCommands {
public:
    PopupCommands(ViewContext& view, NetworkDrawing& drawing) : view_(view), drawing_(drawing) {}

    // Enters this class's commands into view.menuCommands.
    void registerCommands();

    void redrawMap();
    // The properties of the one selected feature over the map's layers
    // (except the alarm layer and "China"), or an empty grid.
    void showSelectedProperty();
    // The station's room panel: for the one selected station, "稍后提供".
    void showStationRoom();
    // Opens the host's cable ("GL") or duct ("GX") network view on the
    // first selected cable segment, with the waiting window shown meanwhile.
    void showCableNetworkView(const std::string& kind);
    // The codes of the selected ordinary cable segments; nothing more.
    std::vector<std::string> showMainFrom();
    // The selected station's transmission view through the host's resource service.
    void showStationTransmission();
    // The fibres of the selected cable segments through the host's resource service.
    void showFibers();

private:
    ViewContext& view_;
    NetworkDrawing& drawing_;
};

} // namespace ocable
