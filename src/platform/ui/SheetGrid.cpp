#include "platform/ui/SheetGrid.h"

#include "platform/ui/MessageBoxService.h"
#include "platform/ui/UiLog.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QSaveFile>
#include <QSortFilterProxyModel>

#include <algorithm>
#include <set>

namespace ocable::ui {

// The sheet's cells and headings, row by row.
class SheetModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(cells_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(headings_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
        return text(index.row(), index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole) return {};
        if (orientation == Qt::Vertical) return section + 1;
        return section >= 0 && section < columnCount() ? headings_[static_cast<std::size_t>(section)]
                                                       : QString();
    }

    void setRows(int rows) {
        rows = std::max(rows, 0);
        const int now = rowCount();
        if (rows > now) {
            beginInsertRows({}, now, rows - 1);
            cells_.resize(static_cast<std::size_t>(rows));
            endInsertRows();
        } else if (rows < now) {
            beginRemoveRows({}, rows, now - 1);
            cells_.resize(static_cast<std::size_t>(rows));
            endRemoveRows();
        }
    }
    void setColumns(int columns) {
        columns = std::max(columns, 0);
        const int now = columnCount();
        if (columns > now) {
            beginInsertColumns({}, now, columns - 1);
            headings_.resize(static_cast<std::size_t>(columns));
            endInsertColumns();
        } else if (columns < now) {
            beginRemoveColumns({}, columns, now - 1);
            headings_.resize(static_cast<std::size_t>(columns));
            for (auto& row : cells_)
                if (static_cast<int>(row.size()) > columns) row.resize(static_cast<std::size_t>(columns));
            endRemoveColumns();
        }
    }
    bool inSheet(int row, int column) const {
        return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
    }
    // Rows hold only the cells up to the last one written.
    QString text(int row, int column) const {
        if (!inSheet(row, column)) return {};
        const auto& cells = cells_[static_cast<std::size_t>(row)];
        return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)] : QString();
    }
    void setText(int row, int column, const QString& value) {
        if (!inSheet(row, column)) return;
        auto& cells = cells_[static_cast<std::size_t>(row)];
        if (column >= static_cast<int>(cells.size())) cells.resize(static_cast<std::size_t>(column) + 1);
        cells[static_cast<std::size_t>(column)] = value;
        emit dataChanged(index(row, column), index(row, column));
    }
    QString heading(int column) const {
        return column >= 0 && column < columnCount() ? headings_[static_cast<std::size_t>(column)]
                                                     : QString();
    }
    void setHeading(int column, const QString& value) {
        if (column < 0 || column >= columnCount()) return;
        headings_[static_cast<std::size_t>(column)] = value;
        emit headerDataChanged(Qt::Horizontal, column, column);
    }

private:
    std::vector<QString> headings_;
    std::vector<std::vector<QString>> cells_;
};

namespace {

// Numbers sort by value, everything else as text in the user's locale.
class SheetSort : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        const QString a = left.data().toString(), b = right.data().toString();
        bool aNumber = false, bNumber = false;
        const double x = a.toDouble(&aNumber), y = b.toDouble(&bNumber);
        if (aNumber && bNumber) return x < y;
        if (aNumber != bNumber) return aNumber; // numbers before texts
        return QString::localeAwareCompare(a, b) < 0;
    }
};

QString csvField(const QString& text) {
    if (!text.contains(',') && !text.contains('"') && !text.contains('\n') && !text.contains('\r'))
        return text;
    QString quoted = text;
    quoted.replace('"', "\"\"");
    return '"' + quoted + '"';
}

// A tab or line break inside a cell would split it in the pasted text.
QString tsvField(QString text) {
    text.replace('\t', ' ').replace('\r', ' ').replace('\n', ' ');
    return text;
}

} // namespace

SheetGrid::SheetGrid(QWidget* parent)
    : QTableView(parent), model_(new SheetModel(this)), sorted_(new SheetSort(this)) {
    sorted_->setSourceModel(model_);
    setModel(sorted_);
    setSortingEnabled(true);
    // Rows stay in the order they were written until the user sorts.
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    sorted_->sort(-1);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

SheetGrid::~SheetGrid() = default;

void SheetGrid::setMaxRow(int rows) {
    model_->setRows(rows);
}
void SheetGrid::setMaxCol(int columns) {
    model_->setColumns(columns);
}
int SheetGrid::maxRow() const {
    return model_->rowCount();
}
int SheetGrid::maxCol() const {
    return model_->columnCount();
}

void SheetGrid::setColText(int col, const QString& heading) {
    model_->setHeading(col - 1, heading);
}
QString SheetGrid::colText(int col) const {
    return model_->heading(col - 1);
}

void SheetGrid::setColHidden(int col, bool hidden) {
    if (col >= 1 && col <= maxCol()) setColumnHidden(col - 1, hidden);
}
bool SheetGrid::colHidden(int col) const {
    return col >= 1 && col <= maxCol() && isColumnHidden(col - 1);
}

void SheetGrid::setEntry(int row, int col, const QString& text) {
    model_->setText(row - 1, col - 1, text);
}
QString SheetGrid::entry(int row, int col) const {
    return model_->text(row - 1, col - 1);
}

void SheetGrid::setSheetName(int sheet, const QString& name) {
    if (sheet == 1) sheetName_ = name;
}

void SheetGrid::setColWidthAuto(int row1, int col1, int row2, int col2, bool defaultSetting) {
    const QFontMetrics cellFont(font()), headingFont(horizontalHeader()->font());
    // Room for the cell's margins and, in the heading, the sort arrow.
    const int cellPad = 12, headingPad = 24;
    for (int c = std::max(col1, 1); c <= std::min(col2, maxCol()); ++c) {
        int width = 0;
        if (row1 < 1) width = headingFont.horizontalAdvance(colText(c)) + headingPad;
        for (int r = std::max(row1, 1); r <= std::min(row2, maxRow()); ++r) {
            const QString text = entry(r, c);
            if (!text.isEmpty()) width = std::max(width, cellFont.horizontalAdvance(text) + cellPad);
        }
        if (width == 0 && defaultSetting) width = horizontalHeader()->defaultSectionSize();
        if (width > 0) setColumnWidth(c - 1, width);
    }
}

std::vector<QStringList> SheetGrid::rowsAsShown() const {
    std::vector<QStringList> rows;
    for (int r = 0; r < sorted_->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < sorted_->columnCount(); ++c)
            row << sorted_->index(r, c).data().toString();
        rows.push_back(row);
    }
    return rows;
}

std::vector<int> SheetGrid::shownColumns() const {
    std::vector<int> columns;
    for (int c = 0; c < sorted_->columnCount(); ++c)
        if (!isColumnHidden(c)) columns.push_back(c);
    return columns;
}

QString SheetGrid::tabSeparated(const std::vector<int>& viewRows, const std::vector<int>& viewColumns) const {
    QStringList lines;
    for (int r : viewRows) {
        QStringList cells;
        for (int c : viewColumns)
            cells << tsvField(sorted_->index(r, c).data().toString());
        lines << cells.join('\t');
    }
    return lines.join('\n');
}

void SheetGrid::copyToClipboard() {
    std::set<int> rows, columns;
    for (const QModelIndex& i : selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList{})
        if (!isColumnHidden(i.column())) {
            rows.insert(i.row());
            columns.insert(i.column());
        }
    QString text;
    if (rows.empty()) {
        const std::vector<int> all = shownColumns();
        QStringList headings;
        for (int c : all)
            headings << tsvField(model_->heading(c));
        std::vector<int> allRows(static_cast<std::size_t>(sorted_->rowCount()));
        for (std::size_t r = 0; r < allRows.size(); ++r)
            allRows[r] = static_cast<int>(r);
        text = headings.join('\t');
        if (!allRows.empty()) text += '\n' + tabSeparated(allRows, all);
    } else {
        text = tabSeparated({rows.begin(), rows.end()}, {columns.begin(), columns.end()});
    }
    QApplication::clipboard()->setText(text);
}

bool SheetGrid::exportCsv(const QString& path, QString* error) const {
    const std::vector<int> columns = shownColumns();
    QStringList lines;
    QStringList headings;
    for (int c : columns)
        headings << csvField(model_->heading(c));
    lines << headings.join(',');
    for (int r = 0; r < sorted_->rowCount(); ++r) {
        QStringList cells;
        for (int c : columns)
            cells << csvField(sorted_->index(r, c).data().toString());
        lines << cells.join(',');
    }
    QSaveFile file(path);
    const QByteArray bytes = "\xEF\xBB\xBF" + lines.join("\r\n").toUtf8() + "\r\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error) *error = file.errorString();
        qCWarning(lcUi, "表格导出失败：%s：%s", qUtf8Printable(path), qUtf8Printable(file.errorString()));
        return false;
    }
    return true;
}

void SheetGrid::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copyToClipboard();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void SheetGrid::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("复制"));
    QAction* csv = menu.addAction(QStringLiteral("导出为CSV文件..."));
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == copy) {
        copyToClipboard();
    } else if (chosen == csv) {
        const QString name = sheetName_.isEmpty() ? QStringLiteral("表格") : sheetName_;
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出为CSV文件"),
                                                          name + ".csv", QStringLiteral("CSV 文件 (*.csv)"));
        QString error;
        if (!path.isEmpty() && !exportCsv(path, &error))
            MessageBoxService::instance().show(
                "文件“" + path.toStdString() + "”导出失败：" + error.toStdString(), "提示",
                MessageBoxService::Buttons::OK, MessageBoxService::Icon::Warning,
                MessageBoxService::Answer::OK, this);
    }
}

} // namespace ocable::ui
