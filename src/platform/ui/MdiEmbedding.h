#pragma once

#include <QPointer>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace ocable::ui {

// Makes a plug-in window a child of the host's multi-document frame. The host
// names its MDI area once; a window embedded while there is none stays a
// top-level window.
class MdiEmbedding {
public:
    static void setHostArea(QMdiArea* area);
    static QMdiArea* hostArea();
    // Mode 2 makes the window an MDI child; any other mode leaves it alone.
    // Returns the sub-window, or null.
    static QMdiSubWindow* embed(QWidget* window, int mode = 2);
    // The sub-window that holds the window, or null.
    static QMdiSubWindow* subWindowOf(QWidget* window);
};

} // namespace ocable::ui
