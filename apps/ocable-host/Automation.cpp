#include "Automation.h"
#include "TreeSteps.h"

#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/gis/MapWidget.h"
#include "platform/ui/ActiveBar.h"
#include "platform/ui/CheckTreeView.h"
#include "platform/ui/MessageBoxService.h"

#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QMetaMethod>
#include <QTimer>
#include <QWidget>

namespace ocable::hostapp {

namespace {

const char* const kWindows[] = {"frmViewOcableMain", "frmViewResTree", "frmViewProperty", "frmWaiting",
                                "frmViewFindStation", "frmLineInfo", "frmStationXY"};
const char* const kTrees[] = {"frmViewOcableMain.TreeRes", "frmViewOcableMain.TreeSystem", "frmViewResTree.TreeRes",
                              "frmViewResTree.TreeSystem"};

// "window.child" or "name": the window first, then its child.
QObject* findPath(const QString& path) {
    const auto dot = path.indexOf('.');
    if (dot < 0) return findNamed(path);
    QObject* window = findNamed(path.left(dot));
    return window ? window->findChild<QObject*>(path.mid(dot + 1)) : nullptr;
}

QJsonValue variantToJson(const QVariant& v) {
    if (!v.isValid()) return QJsonValue::Null;
    switch (v.metaType().id()) {
    case QMetaType::Bool: return v.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Long: return v.toLongLong();
    case QMetaType::Double:
    case QMetaType::Float: return v.toDouble();
    default: return QJsonValue::fromVariant(v);
    }
}

QJsonArray partsToJson(const gis::Feature& f) {
    QJsonArray parts;
    for (const auto& part : f.Parts()) {
        QJsonArray points;
        for (const auto& p : part) points.append(QJsonArray{p.x, p.y});
        parts.append(points);
    }
    return parts;
}

QJsonObject layerToJson(gis::Layer& layer, bool features) {
    QJsonObject out;
    out["name"] = QString::fromStdString(layer.Name());
    out["visible"] = layer.Visible();
    out["count"] = layer.featureCount();
    QJsonArray selection;
    for (int i = 1; i <= layer.Selection().Count(); ++i)
        selection.append(QString::fromStdString(layer.Selection().Item(i).FeatureKey()));
    out["selection"] = selection;
    if (features) {
        QJsonArray list;
        for (const gis::Feature& f : layer.AllFeatures()) {
            QJsonObject jf;
            jf["key"] = QString::fromStdString(f.FeatureKey());
            jf["type"] = static_cast<int>(f.Type());
            jf["parts"] = partsToJson(f);
            jf["style"] = QString::fromStdString(gis::styleToText(f.Style()));
            QJsonArray row;
            for (std::size_t c = 0; c < 2; ++c) {
                const std::string* v = layer.valueOf(f.id(), c);
                row.append(v ? QString::fromStdString(*v) : QString());
            }
            jf["row"] = row;
            list.append(jf);
        }
        out["features"] = list;
    }
    return out;
}

QJsonObject nodeToJson(const ui::KeyedTree& tree, ui::KeyedTree::NodeId id) {
    const auto& n = tree.node(id);
    QJsonObject out;
    out["key"] = QString::fromStdString(n.key);
    out["text"] = QString::fromStdString(n.text);
    out["tag"] = QString::fromStdString(n.tag);
    out["checked"] = n.checked;
    out["expanded"] = n.expanded;
    QJsonArray children;
    for (auto child : n.children) children.append(nodeToJson(tree, child));
    out["children"] = children;
    return out;
}

using Box = ui::MessageBoxService;

} // namespace

QObject* findNamed(const QString& name) {
    for (QWidget* w : QApplication::allWidgets())
        if (w->objectName() == name) return w;
    return nullptr;
}

QJsonArray Automation::readScript(const std::filesystem::path& file) {
    QFile f(QString::fromStdString(file.string()));
    if (!f.open(QIODevice::ReadOnly)) throw ScriptError("无法读取脚本文件：" + file.string());
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
    if (error.error != QJsonParseError::NoError)
        throw ScriptError("脚本不是有效的 JSON（位置 " + std::to_string(error.offset) +
                          "）：" + error.errorString().toStdString());
    if (!doc.isArray()) throw ScriptError("脚本必须是步骤的 JSON 数组");
    for (const auto& step : doc.array())
        if (!step.isObject()) throw ScriptError("脚本的每一步都必须是 JSON 对象");
    return doc.array();
}

QJsonObject Automation::run(const QJsonArray& steps) {
    Box::instance().setScripted(true);
    for (int i = 0; i < steps.size(); ++i) {
        try {
            const QJsonValue result = runStep(steps[i].toObject());
            if (!result.isUndefined()) results_.append(result);
        } catch (const ScriptError& e) {
            throw ScriptError("第 " + std::to_string(i + 1) + " 步：" + e.what());
        }
    }
    return QJsonObject{{"results", results_}, {"dumps", dumps_}};
}

QJsonValue Automation::runStep(const QJsonObject& step) {
    if (auto treeResult = runTreeStep(step)) return *treeResult;
    if (step.contains("call")) return call(step);
    if (step.contains("tool")) {
        clickTool(step);
        return QJsonValue::Undefined;
    }
    if (step.contains("mouse")) {
        mouse(step);
        return QJsonValue::Undefined;
    }
    if (step.contains("key")) {
        key(step);
        return QJsonValue::Undefined;
    }
    if (step.contains("answer")) {
        Box::Answer answer;
        if (!Box::parseAnswer(step["answer"].toString().toStdString(), answer))
            throw ScriptError("未知的回答“" + step["answer"].toString().toStdString() + "”（可用 Yes、No、OK、Cancel）");
        Box::instance().queueAnswer(answer);
        return QJsonValue::Undefined;
    }
    if (step.contains("wait")) {
        wait(step["wait"].toInt());
        return QJsonValue::Undefined;
    }
    if (step.contains("dump")) {
        QStringList layers;
        for (const auto& l : step["layers"].toArray()) layers << l.toString();
        dumps_.append(dump(step["features"].toBool(false), layers));
        return QJsonValue::Undefined;
    }
    throw ScriptError("未知的步骤：" + QJsonDocument(step).toJson(QJsonDocument::Compact).toStdString());
}

QJsonValue Automation::call(const QJsonObject& step) {
    const QString target = step["call"].toString();
    const auto dot = target.lastIndexOf('.');
    if (dot <= 0) throw ScriptError("call 需要“窗口.过程”形式：" + target.toStdString());
    QObject* window = findPath(target.left(dot));
    if (!window) throw ScriptError("找不到窗口：" + target.left(dot).toStdString());
    const QByteArray name = target.mid(dot + 1).toUtf8();
    const QJsonArray args = step["args"].toArray();

    // A queued call runs when events are next let run, for instance inside a
    // later step that draws the map; it gives no result.
    const bool queued = step["queued"].toBool(false);
    const QMetaObject* meta = window->metaObject();
    for (int m = 0; m < meta->methodCount(); ++m) {
        const QMetaMethod method = meta->method(m);
        if (method.name() != name || method.parameterCount() != args.size()) continue;
        std::vector<QVariant> values;
        for (int i = 0; i < args.size(); ++i) {
            QVariant v = args[i].isObject() ? QVariant(args[i].toObject()["node"].toString()) : args[i].toVariant();
            if (!v.convert(method.parameterMetaType(i)))
                throw ScriptError("过程 " + name.toStdString() + " 的第 " + std::to_string(i + 1) + " 个参数类型不符");
            values.push_back(v);
        }
        if (queued) {
            QObject* target = window;
            QMetaObject::invokeMethod(
                window,
                [target, method, values] {
                    std::vector<QGenericArgument> g(10);
                    for (std::size_t i = 0; i < values.size(); ++i)
                        g[i] = QGenericArgument(values[i].typeName(), values[i].constData());
                    method.invoke(target, Qt::DirectConnection, g[0], g[1], g[2], g[3], g[4], g[5], g[6], g[7],
                                  g[8], g[9]);
                },
                Qt::QueuedConnection);
            return QJsonValue::Null;
        }
        std::vector<QGenericArgument> generic(10);
        for (std::size_t i = 0; i < values.size(); ++i)
            generic[i] = QGenericArgument(values[i].typeName(), values[i].constData());
        QVariant ret = method.returnType() == QMetaType::Void ? QVariant() : QVariant(method.returnMetaType());
        QGenericReturnArgument retArg =
            ret.isValid() ? QGenericReturnArgument(method.typeName(), ret.data()) : QGenericReturnArgument();
        if (!method.invoke(window, Qt::DirectConnection, retArg, generic[0], generic[1], generic[2], generic[3],
                           generic[4], generic[5], generic[6], generic[7], generic[8], generic[9]))
            throw ScriptError("调用失败：" + target.toStdString());
        return variantToJson(ret);
    }
    throw ScriptError("窗口 " + target.left(dot).toStdString() + " 没有 " + std::to_string(args.size()) +
                      " 个参数的公共过程 " + name.toStdString());
}

void Automation::clickTool(const QJsonObject& step) {
    const QString control = step["control"].toString("activebarMain");
    const std::string toolKey = step["tool"].toString().toStdString();
    for (QWidget* w : QApplication::allWidgets()) {
        for (auto* bar : w->findChildren<ui::ActiveBar*>(control, Qt::FindDirectChildrenOnly)) {
            for (const auto* band : bar->bands()) {
                if (step.contains("band") && band->key != step["band"].toString().toStdString()) continue;
                for (const auto& t : band->tools)
                    if (t->key == toolKey) {
                        bar->clickTool(band->key, toolKey);
                        return;
                    }
            }
        }
    }
    throw ScriptError("找不到工具 " + toolKey + "（控件 " + control.toStdString() + "）");
}

void Automation::mouse(const QJsonObject& step) {
    auto* widget = qobject_cast<gis::MapWidget*>(findPath(step["map"].toString("Map1")));
    if (!widget) throw ScriptError("找不到地图：" + step["map"].toString("Map1").toStdString());
    QPointF pixel;
    if (step.contains("lng"))
        pixel = widget->map().mapToScreen({step["lng"].toDouble(), step["lat"].toDouble()});
    else
        pixel = QPointF(step["x"].toDouble(), step["y"].toDouble());
    const int button = step["button"].toInt(1);
    const int shift = step["shift"].toInt(0);
    const QString kind = step["mouse"].toString();
    using Action = gis::MapWidget::MouseAction;
    if (kind == "mouseDown")
        widget->injectMouse(Action::Down, button, shift, pixel);
    else if (kind == "mouseMove")
        widget->injectMouse(Action::Move, button, shift, pixel);
    else if (kind == "mouseUp")
        widget->injectMouse(Action::Up, button, shift, pixel);
    else if (kind == "click") {
        widget->injectMouse(Action::Down, button, shift, pixel);
        widget->injectMouse(Action::Up, button, shift, pixel);
    } else if (kind == "dblClick") {
        widget->injectMouse(Action::Down, button, shift, pixel);
        widget->injectMouse(Action::Up, button, shift, pixel);
        widget->injectMouse(Action::DoubleClick, button, shift, pixel);
    } else
        throw ScriptError("未知的鼠标动作：" + kind.toStdString());
}

void Automation::key(const QJsonObject& step) {
    auto* widget = qobject_cast<gis::MapWidget*>(findPath(step["map"].toString("Map1")));
    if (!widget) throw ScriptError("找不到地图：" + step["map"].toString("Map1").toStdString());
    widget->injectKey(step["key"].toInt(), step["shift"].toInt(0));
}

void Automation::wait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(std::max(0, milliseconds), &loop, &QEventLoop::quit);
    loop.exec();
}

QJsonObject Automation::dump(bool features, const QStringList& layers) const {
    QJsonObject out;
    QJsonObject maps;
    for (const char* name : {"Map1", "Map2"}) {
        auto* widget = qobject_cast<gis::MapWidget*>(findPath(QString("frmViewOcableMain.") + name));
        if (!widget) continue;
        gis::Map& map = widget->map();
        QJsonObject jm;
        jm["tool"] = map.CurrentTool();
        const auto b = map.Bounds();
        jm["bounds"] = QJsonArray{b.xmin, b.ymin, b.xmax, b.ymax};
        QJsonArray jl;
        for (int i = 1; i <= map.Layers().Count(); ++i) {
            gis::Layer& layer = map.Layers().Item(i);
            if (!layers.isEmpty() && !layers.contains(QString::fromStdString(layer.Name()))) continue;
            jl.append(layerToJson(layer, features));
        }
        jm["layers"] = jl;
        maps[name] = jm;
    }
    out["maps"] = maps;

    QJsonObject trees;
    for (const char* path : kTrees) {
        auto* view = qobject_cast<ui::CheckTreeView*>(findPath(path));
        if (!view) continue;
        QJsonArray roots;
        for (auto id : view->tree().roots()) roots.append(nodeToJson(view->tree(), id));
        trees[path] = roots;
    }
    out["trees"] = trees;
    out["ruleEditor"] = dumpRuleEditor();

    QJsonObject tools, bands;
    for (QWidget* w : QApplication::allWidgets()) {
        for (auto* bar : w->findChildren<ui::ActiveBar*>(QString(), Qt::FindDirectChildrenOnly)) {
            for (const auto* band : bar->bands()) {
                const QString prefix = bar->objectName() + "/" + QString::fromStdString(band->key);
                bands[prefix] = band->visible;
                for (const auto& t : band->tools)
                    tools[prefix + "/" + QString::fromStdString(t->key)] =
                        QJsonObject{{"checked", t->checked}, {"enabled", t->enabled}};
            }
        }
    }
    out["tools"] = tools;
    out["bands"] = bands;

    QJsonObject windows;
    for (const char* name : kWindows) {
        auto* w = qobject_cast<QWidget*>(findNamed(name));
        windows[name] = w ? w->isVisible() : false;
    }
    out["windows"] = windows;

    QJsonArray messages;
    for (const auto& r : Box::instance().history())
        messages.append(QJsonObject{{"text", QString::fromStdString(r.request.text)},
                                    {"title", QString::fromStdString(r.request.title)},
                                    {"icon", Box::name(r.request.icon)},
                                    {"buttons", Box::name(r.request.buttons)},
                                    {"answer", Box::name(r.answer)}});
    out["messages"] = messages;

    QJsonArray sql;
    for (const auto& s : sqlLog_) sql.append(QString::fromStdString(s));
    out["sql"] = sql;
    out["clipboard"] = QApplication::clipboard()->text();
    return out;
}

} // namespace ocable::hostapp
