#pragma once

#include "core/FeatureRecords.h"
#include "core/LibraryObjects.h"

#include <QWidget>

#include <array>
#include <string>
#include <vector>

namespace ocable {

struct ViewContext;
class clsResTree;
namespace ui {
class SheetGrid;
}

// The cable line window ("骨干光缆段"): every cable segment that runs between
// the same two end points as a chosen one, a row per row of the segment
// table's detail view, a column per entry of the table dictionary (shown
// columns first), every cell translated through the code table.
class frmShowLineInfox : public QWidget {
    Q_OBJECT
public:
    // The ends as the chosen segment's record gives them: LNG_A, LAT_A,
    // LNG_Z, LAT_Z.
    using Ends = std::array<std::string, 4>;

    explicit frmShowLineInfox(QWidget* parent = nullptr);

    ui::SheetGrid* fbLineShow() const { return grid_; }
    int hiddenColumnCount() const { return hiddenColumns_; }
    // ENFIELD of each grid column, column 1 first.
    const std::vector<std::string>& columnFields() const { return columnFields_; }

    // Keeps what the next load builds from. The caller's feature records are
    // part of the call as the other windows make it; nothing here reads them.
    void showLines(clsResTree* resTree, const Ends& ends, const std::string& tableName,
                   const FeatureRecords* features);
    // Builds the grid from the arguments last given to showLines. Each step
    // that fails is logged and passed over.
    void load();

    // The codes (OCABLECODE) of the store's records whose four ends read
    // exactly as ends, in either direction, in store order, each once.
    static std::vector<std::string> matchingCodes(clsResTree& store, const Ends& ends);

    // Opens the window for the first selected backbone segment of the view.
    static void showBackboneLineInfo(ViewContext& view);

    // The shared instance, created on first use; unload() deletes it.
    static frmShowLineInfox& instance(QWidget* owner = nullptr);
    static bool loaded();
    static void unload();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitToGrid();
    void loadColumns();
    void fillRows(const std::vector<std::string>& codes);

    ui::SheetGrid* grid_;
    clsResTree* resTree_ = nullptr; // only while a load runs
    Ends ends_;
    std::string tableName_;
    // The column dictionary in query order: ENFIELD, caption, shown.
    struct Column {
        std::string field;
        std::string caption;
        bool visible = false;
    };
    std::vector<Column> dictionary_;
    std::vector<std::string> columnFields_;
    int hiddenColumns_ = 0;
    LibraryObjectToken token_;
};

} // namespace ocable
