#pragma once

#include <QTableView>

#include <vector>

class QSortFilterProxyModel;

namespace ocable::ui {

class SheetModel;

// A spreadsheet-like grid in place of the platform's spreadsheet control:
// one sheet of text cells with column headings, addressed as the control
// addresses them (rows and columns from 1). The user sorts by clicking a
// heading, copies the selected cells (Ctrl+C, or the whole sheet when
// nothing is selected) as tab-separated text, and exports the sheet to a
// CSV file from the context menu. Hidden columns stay out of both.
class SheetGrid : public QTableView {
    Q_OBJECT
public:
    explicit SheetGrid(QWidget* parent = nullptr);
    ~SheetGrid() override;

    // Rows and columns the sheet has; cells beyond a new size are dropped.
    void setMaxRow(int rows);
    void setMaxCol(int columns);
    int maxRow() const;
    int maxCol() const;

    // Heading of column col; nothing for a column outside the sheet.
    void setColText(int col, const QString& heading);
    QString colText(int col) const;
    void setColHidden(int col, bool hidden);
    bool colHidden(int col) const;

    // Text of a cell; nothing (or empty text) outside the sheet.
    void setEntry(int row, int col, const QString& text);
    QString entry(int row, int col) const;

    // The sheet's name (the grid has the one sheet, number 1).
    void setSheetName(int sheet, const QString& name);
    QString sheetName() const { return sheetName_; }

    // Widens or narrows columns col1..col2 to their longest text over rows
    // row1..row2; a first row below 1 takes the headings into account. With
    // defaultSetting a column without text keeps the default width.
    void setColWidthAuto(int row1, int col1, int row2, int col2, bool defaultSetting);

    // The cells in the order the user sees the rows (after a sort), every
    // column included.
    std::vector<QStringList> rowsAsShown() const;
    // Tab-separated lines of the given view rows and the shown columns.
    QString tabSeparated(const std::vector<int>& viewRows, const std::vector<int>& viewColumns) const;
    // Copies the selected cells, or the whole sheet with its headings when
    // nothing is selected, to the clipboard.
    void copyToClipboard();
    // The shown columns with their headings as CSV (UTF-8 with a byte-order
    // mark, so that spreadsheet programs read the Chinese right). False with
    // the reason in error when the file cannot be written whole.
    bool exportCsv(const QString& path, QString* error = nullptr) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    std::vector<int> shownColumns() const;

    SheetModel* model_;
    QSortFilterProxyModel* sorted_;
    QString sheetName_;
};

} // namespace ocable::ui
