#include "Automation.h"
#include "AlarmBoard.h"
#include "FormSteps.h"
#include "TreeSteps.h"

#include "FormsDump.h"
#include "ScreenshotStep.h"

#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/gis/MapWidget.h"
#include "platform/ui/ActiveBar.h"
#include "platform/ui/CheckTreeView.h"
#include "platform/ui/MessageBoxService.h"

#include "ResultFile.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QMetaMethod>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QWidget>
#include <cmath>
#include <optional>

namespace ocable::hostapp {

namespace {

const char* const kWindows[] = {"frmViewOcableMain",  "frmViewResTree", "frmViewProperty", "frmWaiting",
                                "frmViewFindStation", "frmLineInfo",    "frmStationXY"};
const char* const kTrees[] = {"frmViewOcableMain.TreeRes", "frmViewOcableMain.TreeSystem",
                              "frmViewResTree.TreeRes", "frmViewResTree.TreeSystem"};

// Widgets whose place on the screen a dump gives.
const char* const kPlaced[] = {"hostWindow", "frmViewOcableMain.Map1", "frmViewOcableMain.Map2",
                               "frmViewResTree.TreeRes"};

QJsonArray screenRect(const QWidget* w) {
    const QPoint topLeft = w->mapToGlobal(QPoint(0, 0));
    return QJsonArray{topLeft.x(), topLeft.y(), w->width(), w->height()};
}

// Windows that were asked to close. One whose close was accepted is hidden
// and lives on only until its deferred delete runs, which may happen inside
// any later step that lets events run; a call must never reach it.
class CloseWatch : public QObject {
public:
    using QObject::QObject;
    bool closed(QWidget* w) const { return w->isHidden() && asked_.contains(w); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && watched->isWidgetType()) {
            asked_.removeAll(nullptr);
            asked_.append(static_cast<QWidget*>(watched));
        }
        return false;
    }

private:
    QList<QPointer<QWidget>> asked_;
};

CloseWatch* closeWatch() {
    static QPointer<CloseWatch> watch;
    if (!watch && QCoreApplication::instance()) {
        watch = new CloseWatch(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(watch);
    }
    return watch;
}

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
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Long:
        return v.toLongLong();
    case QMetaType::Double:
    case QMetaType::Float:
        return v.toDouble();
    default:
        return QJsonValue::fromVariant(v);
    }
}

QJsonArray partsToJson(const gis::Feature& f) {
    QJsonArray parts;
    for (const auto& part : f.Parts()) {
        QJsonArray points;
        for (const auto& p : part)
            points.append(QJsonArray{p.x, p.y});
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
    for (auto child : n.children)
        children.append(nodeToJson(tree, child));
    out["children"] = children;
    return out;
}

using Box = ui::MessageBoxService;

// Calls the method with the converted arguments; the result as JSON (null
// for a procedure without one), or nothing when Qt could not make the call.
std::optional<QJsonValue> invoke(QObject* receiver, const QMetaMethod& method,
                                 const std::vector<QVariant>& values) {
    std::vector<QGenericArgument> generic(10);
    for (std::size_t i = 0; i < values.size(); ++i)
        generic[i] = QGenericArgument(values[i].typeName(), values[i].constData());
    QVariant ret = method.returnType() == QMetaType::Void ? QVariant() : QVariant(method.returnMetaType());
    QGenericReturnArgument retArg =
        ret.isValid() ? QGenericReturnArgument(method.typeName(), ret.data()) : QGenericReturnArgument();
    if (!method.invoke(receiver, Qt::DirectConnection, retArg, generic[0], generic[1], generic[2], generic[3],
                       generic[4], generic[5], generic[6], generic[7], generic[8], generic[9]))
        return std::nullopt;
    return variantToJson(ret);
}

// The step's member as the type the protocol gives it; a wrong type is the
// script's fault, not a reason to take 0 or "".
QString text(const QJsonObject& step, const char* name, const QString& absent = {}) {
    const QJsonValue v = step[name];
    if (v.isUndefined()) return absent;
    if (!v.isString()) throw ScriptError(std::string("“") + name + "”必须是文本");
    return v.toString();
}

bool flag(const QJsonObject& step, const char* name) {
    const QJsonValue v = step[name];
    if (v.isUndefined()) return false;
    if (!v.isBool()) throw ScriptError(std::string("“") + name + "”必须是 true 或 false");
    return v.toBool();
}

int integer(const QJsonObject& step, const char* name, int absent, int min, int max) {
    const QJsonValue v = step[name];
    if (v.isUndefined()) return absent;
    const double d = v.toDouble(std::nan(""));
    if (!v.isDouble() || d != std::floor(d) || d < min || d > max)
        throw ScriptError(std::string("“") + name + "”必须是 " + std::to_string(min) + " 到 " +
                          std::to_string(max) + " 之间的整数");
    return static_cast<int>(d);
}

double number(const QJsonObject& step, const char* name) {
    const QJsonValue v = step[name];
    if (!v.isDouble() || !std::isfinite(v.toDouble()))
        throw ScriptError(std::string("“") + name + "”必须是数");
    return v.toDouble();
}

QJsonArray array(const QJsonObject& step, const char* name) {
    const QJsonValue v = step[name];
    if (v.isUndefined()) return {};
    if (!v.isArray()) throw ScriptError(std::string("“") + name + "”必须是数组");
    return v.toArray();
}

// A window asked to close stays in memory, hidden, until its deferred delete
// runs; scripts work on the open one that may have taken its name.
bool insideClosedWindow(QWidget* w) {
    const CloseWatch* watch = closeWatch();
    for (; watch && w; w = w->parentWidget())
        if (watch->closed(w)) return true;
    return false;
}

} // namespace

QObject* findNamed(const QString& name, bool* closed) {
    if (closed) *closed = false;
    const CloseWatch* watch = closeWatch();
    for (QWidget* w : QApplication::allWidgets()) {
        if (w->objectName() != name) continue;
        if (watch && watch->closed(w)) {
            if (closed) *closed = true;
            continue;
        }
        return w;
    }
    return nullptr;
}

Automation::Automation(const std::vector<std::string>& sqlLog) : sqlLog_(sqlLog) {
    closeWatch();
}

QJsonArray Automation::readScript(const std::filesystem::path& file) {
    QFile f(QString::fromStdString(file.string()));
    if (!f.open(QIODevice::ReadOnly))
        throw ScriptError("无法读取脚本文件：" + file.string() + "（" + f.errorString().toStdString() + "）");
    // A script is a few kilobytes; a path to a device that never ends must
    // not fill the memory.
    constexpr qint64 kMaxScript = 16 * 1024 * 1024;
    const QByteArray text = f.read(kMaxScript + 1);
    if (text.size() > kMaxScript) throw ScriptError("脚本文件太大（超过 16 MB）：" + file.string());
    return parseScript(text);
}

QJsonArray Automation::parseScript(const QByteArray& text) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        throw ScriptError("脚本不是有效的 JSON（位置 " + std::to_string(error.offset) + "）：" +
                          error.errorString().toStdString());
    if (!doc.isArray()) throw ScriptError("脚本必须是步骤的 JSON 数组");
    for (const auto& step : doc.array())
        if (!step.isObject()) throw ScriptError("脚本的每一步都必须是 JSON 对象");
    return doc.array();
}

QJsonObject Automation::run(const QJsonArray& steps) {
    Box::instance().setScripted(true);
    for (int i = 0; i < steps.size() && !stopped_; ++i) {
        try {
            const QJsonValue result = runStep(steps[i].toObject());
            if (!result.isUndefined()) results_.append(result);
        } catch (const ScriptError& e) {
            throw ScriptError("第 " + std::to_string(i + 1) + " 步：" + e.what());
        }
    }
    return QJsonObject{{"results", results_}, {"dumps", dumps_}, {"queued", *queuedLog_}};
}

QJsonValue Automation::runStep(const QJsonObject& step) {
    if (auto treeResult = runTreeStep(step)) return *treeResult;
    if (auto formResult = runFormStep(step)) return *formResult;
    if (auto alarmResult = runAlarmStep(step)) return *alarmResult;
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
        const QString said = text(step, "answer");
        if (!Box::parseAnswer(said.toStdString(), answer))
            throw ScriptError("未知的回答“" + said.toStdString() + "”（可用 Yes、No、OK、Cancel）");
        Box::instance().queueAnswer(answer);
        return QJsonValue::Undefined;
    }
    if (step.contains("wait")) {
        const int milliseconds = integer(step, "wait", 0, 0, kMaxWait);
        wait(milliseconds, text(step, "until"));
        return QJsonValue::Undefined;
    }
    // A picture with the pop-up or floating windows drawn in is composed by screenshotStep.
    if (step.contains("screenshot")) {
        // The plain picture comes from the display server; one with drawn-in
        // menus or windows is composed from the widgets.
        if (step.contains("popup") || step.contains("windows") || step.contains("dialogs"))
            screenshotStep(step);
        else
            screenshot(text(step, "screenshot"));
        return QJsonValue::Undefined;
    }
    if (step.contains("dump")) {
        QStringList layers;
        for (const auto& l : array(step, "layers")) {
            if (!l.isString()) throw ScriptError("“layers”必须是图层名的数组");
            layers << l.toString();
        }
        const QJsonObject state = dump(flag(step, "features"), layers);
        dumps_.append(state);
        // A driver outside the process reads this dump while the script goes on.
        if (const QString file = text(step, "file"); !file.isEmpty()) {
            const QString problem =
                ResultFile::write(file, QJsonDocument(state).toJson(QJsonDocument::Compact));
            if (!problem.isEmpty())
                throw ScriptError("无法写入状态文件：" + file.toStdString() + "（" + problem.toStdString() +
                                  "）");
        }
        return QJsonValue::Undefined;
    }
    throw ScriptError("未知的步骤：" + QJsonDocument(step).toJson(QJsonDocument::Compact).toStdString());
}

QJsonValue Automation::call(const QJsonObject& step) {
    const QString target = text(step, "call");
    const auto dot = target.lastIndexOf('.');
    if (dot <= 0) throw ScriptError("call 需要“窗口.过程”形式：" + target.toStdString());
    QObject* window = findPath(target.left(dot));
    if (!window) {
        bool closed = false;
        findNamed(target.left(dot).section('.', 0, 0), &closed);
        throw ScriptError("找不到窗口：" + target.left(dot).toStdString() + (closed ? "（已关闭）" : ""));
    }
    const QByteArray name = target.mid(dot + 1).toUtf8();
    const QJsonArray args = array(step, "args");

    // A queued call runs when events are next let run, for instance inside a
    // later step that draws the map; it gives no result.
    const bool queued = flag(step, "queued");
    const QMetaObject* meta = window->metaObject();
    for (int m = 0; m < meta->methodCount(); ++m) {
        const QMetaMethod method = meta->method(m);
        if (method.name() != name || method.parameterCount() != args.size()) continue;
        std::vector<QVariant> values;
        for (int i = 0; i < args.size(); ++i) {
            if (args[i].isObject() && !args[i].toObject()["node"].isString())
                throw ScriptError("过程 " + name.toStdString() + " 的第 " + std::to_string(i + 1) +
                                  " 个参数：树节点要写成 {\"node\": \"KEY\"}");
            if (args[i].isArray() || args[i].isNull())
                throw ScriptError("过程 " + name.toStdString() + " 的第 " + std::to_string(i + 1) +
                                  " 个参数类型不符");
            QVariant v =
                args[i].isObject() ? QVariant(args[i].toObject()["node"].toString()) : args[i].toVariant();
            if (!v.convert(method.parameterMetaType(i)))
                throw ScriptError("过程 " + name.toStdString() + " 的第 " + std::to_string(i + 1) +
                                  " 个参数类型不符");
            values.push_back(v);
        }
        if (queued) {
            // The window may be gone by the time the call runs; the pointer
            // then is null and the call is recorded as not run.
            QPointer<QObject> receiver(window);
            auto log = queuedLog_;
            const int index = static_cast<int>(log->size());
            log->append(QJsonObject{{"call", target}, {"ran", false}});
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [receiver, method, values, log, index] {
                    QJsonObject entry = (*log)[index].toObject();
                    if (receiver) {
                        const auto result = invoke(receiver, method, values);
                        entry["ran"] = result.has_value();
                        entry["result"] = result.value_or(QJsonValue::Null);
                    }
                    log->replace(index, entry);
                },
                Qt::QueuedConnection);
            return QJsonValue::Null;
        }
        const auto result = invoke(window, method, values);
        if (!result) throw ScriptError("调用失败：" + target.toStdString());
        return *result;
    }
    throw ScriptError("窗口 " + target.left(dot).toStdString() + " 没有 " + std::to_string(args.size()) +
                      " 个参数的公共过程 " + name.toStdString());
}

void Automation::clickTool(const QJsonObject& step) {
    const QString control = text(step, "control", "activebarMain");
    const std::string toolKey = text(step, "tool").toStdString();
    const std::string wantedBand = text(step, "band").toStdString();
    for (QWidget* w : QApplication::allWidgets()) {
        if (insideClosedWindow(w)) continue;
        for (auto* bar : w->findChildren<ui::ActiveBar*>(control, Qt::FindDirectChildrenOnly)) {
            for (const auto* band : bar->bands()) {
                if (step.contains("band") && band->key != wantedBand) continue;
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
    const QString mapName = text(step, "map", "Map1");
    const QString kind = text(step, "mouse");
    const int button = integer(step, "button", 1, 0, 4);
    const int shift = integer(step, "shift", 0, 0, 7);
    auto* widget = qobject_cast<gis::MapWidget*>(findPath(mapName));
    if (!widget) throw ScriptError("找不到地图：" + mapName.toStdString());
    QPointF pixel;
    if (step.contains("lng"))
        pixel = widget->map().mapToScreen({number(step, "lng"), number(step, "lat")});
    else
        pixel = QPointF(number(step, "x"), number(step, "y"));
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
    const int code = integer(step, "key", 0, 0, 255);
    const int shift = integer(step, "shift", 0, 0, 7);
    const QString mapName = text(step, "map", "Map1");
    auto* widget = qobject_cast<gis::MapWidget*>(findPath(mapName));
    if (!widget) throw ScriptError("找不到地图：" + mapName.toStdString());
    widget->injectKey(code, shift);
}

void Automation::wait(int milliseconds, const QString& untilFile) {
    QEventLoop loop;
    QTimer::singleShot(std::max(0, milliseconds), &loop, &QEventLoop::quit);
    // A driver outside the process (a test moving the real mouse) says by
    // creating the file that it is done.
    QTimer poll;
    if (!untilFile.isEmpty()) {
        if (QFileInfo::exists(untilFile)) return;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (QFileInfo::exists(untilFile)) loop.quit();
        });
        poll.start(20);
    }
    waiting_ = &loop;
    loop.exec();
    waiting_ = nullptr;
}

void Automation::screenshot(const QString& file) {
    auto* window = qobject_cast<QWidget*>(findNamed("hostWindow"));
    if (!window) throw ScriptError("找不到宿主窗口");
    QApplication::processEvents();
    // What the screen shows, from the display server where there is one:
    // focus frames, activation and stacking included.
    const QPixmap picture = window->screen()->grabWindow(window->winId());
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.save(&buffer, "PNG")) throw ScriptError("无法截取宿主窗口");
    if (const QString problem = ResultFile::write(file, png); !problem.isEmpty())
        throw ScriptError("无法写入截图：" + file.toStdString() + "（" + problem.toStdString() + "）");
}

void Automation::stop() {
    stopped_ = true;
    if (waiting_) waiting_->quit();
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
        for (auto id : view->tree().roots())
            roots.append(nodeToJson(view->tree(), id));
        trees[path] = roots;
    }
    out["trees"] = trees;
    out["ruleEditor"] = dumpRuleEditor();

    QJsonObject tools, bands;
    for (QWidget* w : QApplication::allWidgets()) {
        if (insideClosedWindow(w)) continue;
        for (auto* bar : w->findChildren<ui::ActiveBar*>(QString(), Qt::FindDirectChildrenOnly)) {
            for (const auto* band : bar->bands()) {
                const QString prefix = bar->objectName() + "/" + QString::fromStdString(band->key);
                bands[prefix] = band->visible;
                for (const auto& t : band->tools) {
                    QJsonObject tool{{"checked", t->checked}, {"enabled", t->enabled}};
                    QWidget* button =
                        band->toolBar && t->action ? band->toolBar->widgetForAction(t->action) : nullptr;
                    if (button && button->isVisible()) tool["rect"] = screenRect(button);
                    tools[prefix + "/" + QString::fromStdString(t->key)] = tool;
                }
            }
        }
    }
    out["tools"] = tools;

    // Where the named widgets are on the screen, for drivers that click.
    QJsonObject rects;
    for (const char* path : kPlaced) {
        auto* w = qobject_cast<QWidget*>(findPath(path));
        if (auto* view = qobject_cast<QAbstractScrollArea*>(w)) w = view->viewport();
        if (w && w->isVisible()) rects[path] = screenRect(w);
    }
    out["rects"] = rects;
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
    for (const auto& s : sqlLog_)
        sql.append(QString::fromStdString(s));
    out["sql"] = sql;
    out["clipboard"] = QApplication::clipboard()->text();
    out["forms"] = dumpForms();
    return out;
}

} // namespace ocable::hostapp
