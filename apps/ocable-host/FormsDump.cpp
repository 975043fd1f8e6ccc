#include "FormsDump.h"

#include "Automation.h"

#include "platform/ui/PropertyGrid.h"
#include "platform/ui/SheetGrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTableWidget>

namespace ocable::hostapp {

namespace {

const char* const kForms[] = {
    "frmViewOcableMain", "frmViewProperty",     "frmViewResTree", "frmWaiting",    "frmViewFindStation",
    "frmLineInfo",       "frmViewStationPoint", "propertyForm",   "hostFiberView", "hostStationView",
    "hostCableView",     "frmShowLineInfox",    "hostAlarmList"};

// A closed window lingers, hidden, until its deferred delete runs, and the
// one opened after it has the same name: the open one is the form, whichever
// of the two the widget list happens to give first.
QWidget* findWidget(const char* name) {
    if (auto* open = qobject_cast<QWidget*>(findNamed(QString::fromUtf8(name)))) return open;
    for (QWidget* w : QApplication::allWidgets())
        if (w->objectName() == name) return w;
    return nullptr;
}

// Whether w belongs to form rather than to another window docked inside it.
bool ownedBy(const QWidget* w, const QWidget* form) {
    for (const QWidget* p = w->parentWidget(); p && p != form; p = p->parentWidget())
        for (const char* name : kForms)
            if (p->objectName() == name) return false;
    return true;
}

QJsonArray gridRows(const ui::PropertyGrid& grid) {
    QJsonArray rows;
    for (int i = 0; i < grid.topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = grid.topLevelItem(i);
        const std::string key = item->data(0, Qt::UserRole).toString().toStdString();
        const std::string name = key.empty() ? item->text(0).trimmed().toStdString() : key;
        rows.append(QJsonObject{{"name", QString::fromStdString(name)},
                                {"value", item->text(1)},
                                {"kind", grid.kind(name)},
                                {"choices", QJsonArray::fromStringList(grid.choices(name))},
                                {"color", item->foreground(1).color().name()}});
    }
    return rows;
}

QJsonArray tableRows(const QTableWidget& table) {
    QJsonArray rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        QJsonArray row;
        for (int c = 0; c < table.columnCount(); ++c)
            row.append(table.item(r, c) ? table.item(r, c)->text() : "");
        rows.append(row);
    }
    return rows;
}

// A spreadsheet grid: its sheet, headings, hidden columns (from 1) and
// the cells of each row in the order shown.
QJsonObject sheet(const ui::SheetGrid& grid) {
    QJsonArray headings, hidden, rows;
    for (int c = 1; c <= grid.maxCol(); ++c) {
        headings.append(grid.colText(c));
        if (grid.colHidden(c)) hidden.append(c);
    }
    for (const QStringList& row : grid.rowsAsShown())
        rows.append(QJsonArray::fromStringList(row));
    return {{"type", "Grid"},
            {"sheet", grid.sheetName()},
            {"headings", headings},
            {"hidden", hidden},
            {"rows", rows}};
}

// A control the dump describes, or an empty object for any other widget.
QJsonObject control(QWidget* w) {
    QJsonObject out;
    if (auto* sheetGrid = qobject_cast<ui::SheetGrid*>(w)) {
        out = sheet(*sheetGrid);
    } else if (auto* grid = qobject_cast<ui::PropertyGrid*>(w)) {
        out["type"] = "PropertyGrid";
        out["rows"] = gridRows(*grid);
    } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
        out["type"] = "Table";
        out["items"] = tableRows(*table);
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        out["type"] = "ListBox";
        QJsonArray items;
        for (int i = 0; i < list->count(); ++i)
            items.append(list->item(i)->text());
        out["items"] = items;
        out["current"] = list->currentRow();
    } else if (auto* view = qobject_cast<QListView*>(w)) {
        // A list over a model (the find dialog's names): its rows and current row.
        out["type"] = "ListBox";
        QJsonArray items;
        for (int i = 0; i < view->model()->rowCount(); ++i)
            items.append(view->model()->index(i, 0).data().toString());
        out["items"] = items;
        out["current"] = view->currentIndex().row();
    } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        out["type"] = "TabStrip";
        QJsonArray items;
        for (int i = 0; i < tabs->count(); ++i)
            items.append(tabs->tabText(i));
        out["items"] = items;
        out["current"] = tabs->currentIndex();
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        out["type"] = "ComboBox";
        QJsonArray items;
        for (int i = 0; i < combo->count(); ++i)
            items.append(combo->itemText(i));
        out["items"] = items;
        out["current"] = combo->currentIndex();
        out["text"] = combo->currentText();
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        out["type"] = "TextBox";
        out["text"] = edit->text();
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        out["type"] = button->isCheckable() ? "CheckBox" : "CommandButton";
        out["text"] = button->text();
        out["checked"] = button->isChecked();
    } else if (auto* frame = qobject_cast<QGroupBox*>(w)) {
        out["type"] = "Frame";
        out["text"] = frame->title();
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        out["type"] = "Label";
        out["text"] = label->text();
    } else {
        return out;
    }
    out["enabled"] = w->isEnabled();
    out["visible"] = w->isVisible();
    return out;
}

} // namespace

QJsonObject dumpForms() {
    QJsonObject forms;
    for (const char* name : kForms) {
        QWidget* window = findWidget(name);
        if (!window) continue;
        QJsonObject controls;
        // A form that is itself one control (the host's property form) describes itself.
        if (const QJsonObject self = control(window); !self.isEmpty()) controls[name] = self;
        for (QWidget* child : window->findChildren<QWidget*>()) {
            if (child->objectName().isEmpty() || child->objectName().startsWith("qt_") ||
                !ownedBy(child, window))
                continue;
            const QJsonObject c = control(child);
            if (!c.isEmpty()) controls[child->objectName()] = c;
        }
        forms[name] = QJsonObject{
            {"visible", window->isVisible()}, {"caption", window->windowTitle()}, {"controls", controls}};
    }
    return forms;
}

} // namespace ocable::hostapp
