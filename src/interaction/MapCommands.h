#pragma once

#include <string>

namespace ocable {

struct ViewContext;

// Names of the main window's bars and bands.
namespace bands {
inline constexpr const char* kToolbar = "toolbar";
inline constexpr const char* kPropertyBand = "frmProperty";
inline constexpr const char* kTreeBand = "frmResTree";
inline constexpr const char* kInputBand = "frmResInput";
inline constexpr const char* kPopBand = "mnuPop";
// ActiveBarMenu's commands outside the pop-up menu; no pop-up opens this
// band: the host's menus and the automation click its tools.
inline constexpr const char* kCommandBand = "mnuCommands";
} // namespace bands

// The map view's commands: its toolbar, its pop-up menu, the keyboard and the
// layout of the maps and the legend. The main window forwards its events and
// public procedures here.
class MapCommands {
public:
    explicit MapCommands(ViewContext& view) : view_(view) {}

    // Builds the tools of activebarMain and the pop-up bands of ActiveBarMenu.
    void buildBands();

    // A click on a tool of band "toolbar".
    void onToolbarClick(const std::string& toolKey);
    // Toggles the tool; turning drag mode on clears every selection and
    // makes the select tool current.
    void ActiveBar_ToolClick(const std::string& toolKey);
    // A click on a tool of ActiveBarMenu: the command registered under its
    // key in the view's table, if any. False when none is registered.
    bool onMenuClick(const std::string& toolKey);

    // W, S, A and D move the map centre by one degree when no shift key is held.
    void handleMapKeys(int keyCode, int shift);
    // Key-down on Map1: the map keys, then F3 (search again while a find is
    // in progress) or Ctrl+F (the find dialog).
    void onMapKeyDown(int keyCode, int shift);
    // Lays out the maps and the legend inside PicMain.
    void frmResize();
    // Makes this view current and checks the view tools after what is shown.
    void syncViewTools();
    void myPrintWarningInfo(const std::string& warning);

private:
    void toggleTool(const std::string& key);

    ViewContext& view_;
    bool viewFitted_ = false;
};

} // namespace ocable
