#include "TreeSteps.h"

#include "Automation.h"
#include "platform/db/SqlQuote.h"
#include "platform/db/SqliteConnection.h"
#include "platform/ui/CheckTreeView.h"

#include <QComboBox>
#include <QJsonArray>
#include <QMetaObject>

namespace ocable::hostapp {

namespace {
std::filesystem::path& ruleDatabase() {
    static std::filesystem::path path;
    return path;
}

QJsonArray rows(db::SqliteConnection& db, const std::string& sql) {
    QJsonArray out;
    auto rs = db.query(sql);
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        QJsonArray row;
        for (int c = 0; c < rs->FieldCount(); ++c)
            row.append(rs->Fields(c).isNull() ? QJsonValue()
                                              : QJsonValue(QString::fromStdString(rs->Fields(c).toText())));
        out.append(row);
    }
    return out;
}

QObject* findPath(const QString& path) {
    const auto dot = path.indexOf('.');
    if (dot < 0) return findNamed(path);
    QObject* window = findNamed(path.left(dot));
    return window ? window->findChild<QObject*>(path.mid(dot + 1)) : nullptr;
}

template <class T> T* need(const QString& path) {
    auto* object = qobject_cast<T*>(findPath(path));
    if (!object) throw ScriptError("找不到控件：" + path.toStdString());
    return object;
}

QModelIndex indexOf(ui::CheckTreeView& view, const QString& key) {
    const auto id = view.tree().find(key.toStdString());
    if (id == ui::KeyedTree::npos) throw ScriptError("树中没有节点：" + key.toStdString());
    return view.model().indexOf(id);
}

void treeStep(const QJsonObject& step) {
    auto& view = *need<ui::CheckTreeView>(step["tree"].toString());
    const QString action = step["do"].toString();
    const QModelIndex index = indexOf(view, step["node"].toString());
    if (action == "check" || action == "uncheck") {
        // Through the model, as a click on the box: the tree's handlers run.
        view.model().setData(index, action == "check" ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    } else if (action == "click") {
        view.setCurrentIndex(index);
        emit view.clicked(index);
    } else if (action == "dblClick") {
        // A double click is a click and then the double click, in that order.
        view.setCurrentIndex(index);
        emit view.clicked(index);
        emit view.doubleClicked(index);
    } else if (action == "select") {
        view.setCurrentIndex(index);
    } else if (action == "expand" || action == "collapse") {
        view.setExpanded(index, action == "expand");
    } else {
        throw ScriptError("未知的树操作：" + action.toStdString());
    }
}

void comboStep(const QJsonObject& step) {
    auto& combo = *need<QComboBox>(step["combo"].toString());
    const int i = combo.findText(step["select"].toString(), Qt::MatchExactly);
    if (i < 0) throw ScriptError("下拉框中没有：" + step["select"].toString().toStdString());
    combo.setCurrentIndex(i);
    emit combo.activated(i);
}

void dragStep(const QJsonObject& step) {
    const QString path = step["drag"].toString();
    const auto dot = path.indexOf('.');
    QObject* window = findNamed(path.left(dot));
    if (!window) throw ScriptError("找不到窗口：" + path.left(dot).toStdString());
    const int dy = step["dy"].toInt();
    const bool ok =
        QMetaObject::invokeMethod(window, "TreeSystem_MouseDown", Q_ARG(QString, step["from"].toString()),
                                  Q_ARG(bool, false), Q_ARG(int, 0)) &&
        QMetaObject::invokeMethod(window, "TreeSystem_MouseMove", Q_ARG(bool, true), Q_ARG(int, dy));
    if (!ok) throw ScriptError("窗口不能拖动节点：" + path.toStdString());
    if (step.contains("to")) {
        auto& view = *need<ui::CheckTreeView>(path);
        indexOf(view, step["to"].toString()); // the drop target must exist; a drop changes nothing
        QMetaObject::invokeMethod(window, "TreeSystem_DragOver", Q_ARG(QString, step["to"].toString()));
    }
}
} // namespace

std::optional<QJsonValue> runTreeStep(const QJsonObject& step) {
    if (step.contains("tree")) {
        treeStep(step);
    } else if (step.contains("combo")) {
        comboStep(step);
    } else if (step.contains("drag")) {
        dragStep(step);
    } else {
        return std::nullopt;
    }
    return QJsonValue(QJsonValue::Undefined);
}

QJsonObject dumpRuleEditor() {
    QJsonObject out;
    QObject* window = findNamed("frmViewResTree");
    if (!window) return out;
    if (auto* combo = window->findChild<QComboBox*>("CobSubNetPart")) {
        QJsonArray items;
        for (int i = 0; i < combo->count(); ++i)
            items.append(combo->itemText(i));
        out["items"] = items;
        out["text"] = combo->currentText();
    }
    for (const char* name :
         {"curRuleName", "isModified", "isNewRule", "dragging", "dropTarget", "editingNode"}) {
        const QVariant v = window->property(name);
        if (v.isValid()) out[name] = QJsonValue::fromVariant(v);
    }
    if (ruleDatabase().empty()) return out;
    try {
        db::SqliteConnection db(ruleDatabase(), db::SqliteConnection::OpenMode::ReadOnly);
        out["EN_SUBNET_P"] = rows(db, "SELECT P_KEY, P_NAME, REMARK FROM EN_SUBNET_P ORDER BY rowid");
        auto* tree = window->findChild<ui::CheckTreeView*>("TreeSystem");
        if (tree && !tree->tree().roots().empty()) {
            const std::string key = tree->tree().node(tree->tree().roots().front()).key;
            out["RE_TREE_STRUCT"] =
                rows(db, "SELECT NODEKEY, NODENAME, PARENTKEY, NODELEVEL, P_KEY, IS_DELETE FROM "
                         "RE_TREE_STRUCT WHERE P_KEY = " +
                             db::sqlQuote(key) + " ORDER BY rowid");
        }
    } catch (const std::exception& e) {
        out["tablesError"] = QString::fromUtf8(e.what());
    }
    return out;
}

void setRuleTablesSource(const std::filesystem::path& database) {
    ruleDatabase() = database;
}

} // namespace ocable::hostapp
