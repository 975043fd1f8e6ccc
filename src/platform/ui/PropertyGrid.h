#pragma once

#include <QTreeWidget>
#include <string>

namespace ocable::ui {

// A grid of named rows with values, in place of a property-sheet control.
// Rows are found by key; a row of kind 902 offers a list of choices, kind
// 905 holds plain text.
class PropertyGrid : public QTreeWidget {
    Q_OBJECT
public:
    enum RowKind { ChoiceRow = 902, TextRow = 905 };

    explicit PropertyGrid(QWidget* parent = nullptr);

    // A key already in the grid has its row made anew in place.
    QTreeWidgetItem* addRow(const std::string& key, const std::string& caption, RowKind kind);
    QTreeWidgetItem* row(const std::string& key) const;
    // The row's kind, 0 when there is no such row.
    int kind(const std::string& key) const;
    void addChoice(const std::string& key, const std::string& choice);
    QStringList choices(const std::string& key) const;
    void setValue(const std::string& key, const std::string& value);
    std::string value(const std::string& key) const;
    void setRowColor(const std::string& key, const QColor& color);
    void setRowBold(const std::string& key, bool bold);
    void ClearAll();
    int rowCount() const { return topLevelItemCount(); }
};

} // namespace ocable::ui
