#pragma once

#include <QDialog>

class QTableWidget;

namespace ocable::gis {

class Map;

// The map's own layer control ("图层控制"): one row per layer, top layer
// first, with check boxes for visibility and automatic labels, and buttons
// to move the chosen layer up or down. Nothing changes on the map until
// "确定"; "取消" leaves it as it was.
class LayerControlDialog : public QDialog {
    Q_OBJECT
public:
    explicit LayerControlDialog(Map& map, QWidget* parent = nullptr);

    // Column order of the table.
    enum Column { NameColumn = 0, VisibleColumn = 1, LabelColumn = 2 };

    QTableWidget* table() const { return table_; }
    // Moves the chosen row one place up (-1) or down (+1).
    void moveCurrent(int step);
    // Writes visibility, labels and order to the map.
    void apply();

    void accept() override;

private:
    Map& map_;
    QTableWidget* table_;
};

} // namespace ocable::gis
