#include "FormSteps.h"

#include "Automation.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabWidget>
#include <cmath>

namespace ocable::hostapp {

namespace {

QWidget* control(const QJsonObject& step, const char* member) {
    const QJsonValue v = step[member];
    if (!v.isString()) throw ScriptError(std::string("“") + member + "”必须是“窗口.控件”形式的文本");
    const QString path = v.toString();
    const auto dot = path.indexOf('.');
    QObject* window = findNamed(dot < 0 ? path : path.left(dot));
    QWidget* w = window && dot > 0 ? window->findChild<QWidget*>(path.mid(dot + 1)) : nullptr;
    if (!w) throw ScriptError("找不到控件：" + path.toStdString());
    return w;
}

int index(const QJsonObject& step, const char* member, int count) {
    const QJsonValue v = step[member];
    const double d = v.toDouble(-1);
    if (!v.isDouble() || d < 0 || d >= count || d != std::floor(d))
        throw ScriptError(std::string("“") + member + "”必须是 0 到 " + std::to_string(count - 1) +
                          " 之间的整数");
    return static_cast<int>(d);
}

void press(QWidget* w, int key, const QString& text = {}) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &down);
    QCoreApplication::sendEvent(w, &up);
}

void type(const QJsonObject& step) {
    auto* box = qobject_cast<QLineEdit*>(control(step, "type"));
    if (!box) throw ScriptError("不是文本框：" + step["type"].toString().toStdString());
    if (!step["text"].isString()) throw ScriptError("“text”必须是文本");
    if (!step["enter"].isUndefined() && !step["enter"].isBool())
        throw ScriptError("“enter”必须是 true 或 false");
    box->selectAll();
    const QString text = step["text"].toString();
    if (text.isEmpty() && !box->text().isEmpty()) press(box, Qt::Key_Backspace);
    for (const uint c : text.toUcs4()) {
        const char32_t ch = c;
        press(box, Qt::Key_unknown, QString::fromUcs4(&ch, 1));
    }
    if (step["enter"].toBool()) press(box, Qt::Key_Return, "\r");
}

void mouseAt(QWidget* w, QEvent::Type type, QPoint at) {
    QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

void click(const QJsonObject& step) {
    QWidget* w = control(step, "click");
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        tabs->setCurrentIndex(index(step, "tab", tabs->count()));
    } else if (auto* list = qobject_cast<QAbstractItemView*>(w)) {
        const QModelIndex row = list->model()->index(index(step, "row", list->model()->rowCount()), 0);
        if (!list->isVisible()) throw ScriptError("列表不可见：" + step["click"].toString().toStdString());
        list->scrollTo(row);
        const QPoint at = list->visualRect(row).center();
        QWidget* viewport = list->viewport();
        mouseAt(viewport, QEvent::MouseButtonPress, at);
        mouseAt(viewport, QEvent::MouseButtonRelease, at);
        if (!step["double"].isUndefined() && !step["double"].isBool())
            throw ScriptError("“double”必须是 true 或 false");
        if (step["double"].toBool()) {
            mouseAt(viewport, QEvent::MouseButtonDblClick, at);
            mouseAt(viewport, QEvent::MouseButtonRelease, at);
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->click();
    } else {
        throw ScriptError("无法单击控件：" + step["click"].toString().toStdString());
    }
}

} // namespace

std::optional<QJsonValue> runFormStep(const QJsonObject& step) {
    if (step.contains("type"))
        type(step);
    else if (step.contains("click"))
        click(step);
    else
        return std::nullopt;
    return QJsonValue(QJsonValue::Undefined);
}

} // namespace ocable::hostapp
