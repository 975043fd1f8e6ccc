#include "platform/ui/SheetGrid.h"

#include "support/TempDir.h"

#include <QApplication>
#include <QClipboard>
#include <gtest/gtest.h>

using ocable::ui::SheetGrid;

namespace {

// Name, length, a hidden code:
//   乙,10,B   甲,9,A   "丙,""新""",9.5,C
void fill(SheetGrid& grid) {
    grid.setMaxCol(3);
    grid.setMaxRow(3);
    const char* cells[3][3] = {{"乙", "10", "B"}, {"甲", "9", "A"}, {"丙,\"新\"", "9.5", "C"}};
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            grid.setEntry(r, c, QString::fromUtf8(cells[r - 1][c - 1]));
    grid.setColText(1, "名称");
    grid.setColText(2, "长度");
    grid.setColText(3, "编码");
    grid.setColHidden(3, true);
}

} // namespace

// Sorting by a heading orders numbers by value; copying and exporting leave
// the hidden column out and follow the order shown.
TEST(SheetGridTest, SortsNumbersByValueAndCopiesAndExportsTheShownColumns) {
    SheetGrid grid;
    fill(grid);
    grid.sortByColumn(1, Qt::AscendingOrder);
    EXPECT_EQ(grid.rowsAsShown().at(2).at(2), "B"); // hidden cells travel with their row

    grid.copyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), "名称\t长度\n甲\t9\n丙,\"新\"\t9.5\n乙\t10");
    grid.selectRow(2);
    grid.copyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), "乙\t10");

    const ocable::testsupport::TempDir dir("sheet");
    ASSERT_TRUE(grid.exportCsv(QString::fromStdString((dir / "sheet.csv").string())));
    EXPECT_EQ(ocable::testsupport::readText(dir / "sheet.csv"),
              "\xEF\xBB\xBF名称,长度\r\n甲,9\r\n\"丙,\"\"新\"\"\",9.5\r\n乙,10\r\n");
    EXPECT_FALSE(grid.exportCsv(QString::fromStdString((dir / "missing" / "x.csv").string())));

    // Fewer rows drop the cells beyond them for good.
    grid.setMaxRow(1);
    grid.setMaxRow(2);
    EXPECT_EQ(grid.entry(2, 1), "");
}
