#pragma once

#include "core/LibraryObjects.h"

#include <QWidget>

class QLabel;

namespace ocable {

// The small window shown while the map is drawn: the waiting picture of the
// application folder, or the text "请稍候..." when the picture cannot be loaded.
class frmWaiting : public QWidget {
    Q_OBJECT
public:
    explicit frmWaiting(QWidget* parent = nullptr);

    QLabel* picture() const { return picture_; }
    QLabel* Label1() const { return label1_; }

    // Shows the window above the application's window the operator works in
    // (it owns the waiting window from then on) and lets it paint.
    void showAndPaint();

    // The shared instance, created on first use; unload() deletes it.
    static frmWaiting& instance();
    static bool loaded();
    static void unload();

private:
    void load();

    QLabel* picture_;
    QLabel* label1_;
    LibraryObjectToken token_;
};

} // namespace ocable
