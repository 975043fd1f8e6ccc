#pragma once

#include "core/LibraryObjects.h"

#include <QWidget>

#include <string>

class QPushButton;

namespace ocable {

struct ViewContext;
namespace gis {
class Map;
}
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

    // Shows the properties of one station or cable segment ("STA:" or "OCA:"
    // + code) in band "frmProperty" of the view: the host's property form of
    // its record, or nothing. The band is shown and its view tool pressed in
    // every case.
    static void showSingleProperty(ViewContext& view, const std::string& objKey);
    // The record-key prefix of a selected feature's layer: "STA" for the
    // station layers, "OCA" for the backbone layer, the map's key of the
    // first selected feature for the ordinary cable layer, else empty.
    static std::string getLayerKindPrefix(gis::Map& map, const std::string& layerName);

    // The shared instance, created on first use.
    static frmViewProperty& instance();
    static bool loaded();
    static void unload();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    static void dockForm(ViewContext& view, QWidget* form);

    ui::PropertyGrid* grid_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    LibraryObjectToken token_;
};

} // namespace ocable
