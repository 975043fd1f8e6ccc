#pragma once

#include <QJsonObject>

namespace ocable::hostapp {

// The automation step {"screenshot": "FILE.png", "popup": {"lng": x, "lat": y}}:
// writes a picture of the host's frame; with "popup", the map view's pop-up
// menu is drawn into it at that map position as it would open there, its
// entries available or greyed as the last right click left them. (A
// scripted run never opens the real menu.) With "windows": [names], those
// shown windows of the view (the line window) are drawn over the frame at
// its lower right with their captions; with "dialogs": [names], those shown
// dialogs (the find dialog) where they stand above the frame. Throws ScriptError when the picture
// cannot be written or a named window is not shown.
void screenshotStep(const QJsonObject& step);

} // namespace ocable::hostapp
