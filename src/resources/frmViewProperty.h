#pragma once

#include "core/LibraryObjects.h"

#include <QWidget>

class QPushButton;

namespace ocable {

namespace ui {
class PropertyGrid;
}

// The property window ("属性窗口") docked in band "frmProperty" of the active
// map view: a grid of properties the plug-in computes itself.
class frmViewProperty : public QWidget {
    Q_OBJECT
public:
    explicit frmViewProperty(QWidget* parent = nullptr);

    ui::PropertyGrid* SUIProperty() const { return grid_; }

    // Adds a row: a choice row when ProStyle (choices joined by ";") is not
    // empty, a text row otherwise. Nothing when ProName is empty.
    Q_INVOKABLE void addProperty(const QString& ProName, const QString& ProContent, const QString& ProStyle);
    Q_INVOKABLE void clearProperties();

    // The shared instance, created on first use.
    static frmViewProperty& instance();
    static bool loaded();
    static void unload();

private:
    ui::PropertyGrid* grid_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    LibraryObjectToken token_;
};

} // namespace ocable
