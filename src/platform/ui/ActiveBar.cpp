#include "platform/ui/ActiveBar.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>

namespace ocable::ui {

ActiveBar::ActiveBar(QMainWindow* owner, QObject* parent) : QObject(parent), owner_(owner) {}

ActiveBar::~ActiveBar() {
    for (auto& [key, b] : bands_) {
        for (auto& t : b->tools)
            release(*b, t->hostedWindow);
        // The menus are the bar's own, whether or not an owner window parents them.
        delete b->menu;
    }
}

void ActiveBar::release(Band& b, QWidget* window) {
    if (!window || !b.dock || !b.dock->isAncestorOf(window)) return;
    if (b.dock->widget() == window) b.dock->setWidget(nullptr);
    window->hide();
    window->setParent(nullptr);
}

ActiveBar::Band& ActiveBar::addBand(const std::string& key, const std::string& caption, BandKind kind) {
    if (bands_.count(key)) throw BarError("工具栏条带重复：" + key);
    auto b = std::make_unique<Band>();
    b->key = key;
    b->caption = caption;
    b->kind = kind;
    const QString title = QString::fromStdString(caption);
    switch (kind) {
    case BandKind::Toolbar:
        if (owner_) {
            b->toolBar = new QToolBar(title, owner_);
            b->toolBar->setObjectName(QString::fromStdString(key));
            owner_->addToolBar(b->toolBar);
        }
        break;
    case BandKind::Dock:
        if (owner_) {
            b->dock = new QDockWidget(title, owner_);
            b->dock->setObjectName(QString::fromStdString(key));
            owner_->addDockWidget(Qt::LeftDockWidgetArea, b->dock);
            // The user may close the dock with its own button; the band is then hidden.
            connect(b->dock->toggleViewAction(), &QAction::toggled, this, [band = b.get()](bool on) {
                if (band->dock && !band->dock->isHidden() == on) band->visible = on;
            });
            // When the owner window deletes its docks (it may do so before the
            // bar goes), a hosted window must not go with them.
            connect(b->dock, &QObject::destroyed, this, [band = b.get(), dock = b->dock.data()] {
                for (auto& t : band->tools)
                    if (t->hostedWindow && dock->isAncestorOf(t->hostedWindow)) {
                        t->hostedWindow->hide();
                        t->hostedWindow->setParent(nullptr);
                    }
            });
        }
        break;
    case BandKind::Popup:
        b->visible = false;
        b->menu = new QMenu(title, owner_);
        break;
    }
    Band& ref = *b;
    bands_.emplace(key, std::move(b));
    order_.push_back(key);
    return ref;
}

void ActiveBar::addSeparator(const std::string& bandKey) {
    Band& b = band(bandKey);
    if (b.toolBar) b.toolBar->addSeparator();
    if (b.menu) b.menu->addSeparator();
}

ActiveBar::Tool& ActiveBar::addTool(const std::string& bandKey, const std::string& toolKey,
                                    const std::string& caption, const std::string& toolTip, bool checkable) {
    Band& b = band(bandKey);
    for (const auto& existing : b.tools)
        if (existing->key == toolKey) throw BarError("条带 " + bandKey + " 中工具重复：" + toolKey);
    auto t = std::make_unique<Tool>();
    t->key = toolKey;
    t->caption = caption;
    t->toolTip = toolTip;
    t->checkable = checkable;
    if (b.toolBar || b.menu) {
        auto* action = new QAction(QString::fromStdString(caption), this);
        action->setToolTip(QString::fromStdString(toolTip.empty() ? caption : toolTip));
        action->setCheckable(checkable);
        action->setObjectName(QString::fromStdString(toolKey));
        // Qt has already toggled a checkable action. A checkable tool keeps
        // that; a tool the program checks (setChecked) gets its own state
        // back, because its handler decides the new one.
        connect(action, &QAction::triggered, this, [this, bandKey, toolKey](bool on) {
            Tool& tl = tool(bandKey, toolKey);
            if (tl.checkable)
                tl.checked = on;
            else if (tl.action && tl.action->isCheckable())
                tl.action->setChecked(tl.checked);
            emit toolClick(QString::fromStdString(bandKey), QString::fromStdString(toolKey));
        });
        if (b.toolBar) b.toolBar->addAction(action);
        if (b.menu) b.menu->addAction(action);
        t->action = action;
    }
    b.tools.push_back(std::move(t));
    return *b.tools.back();
}

bool ActiveBar::hasBand(const std::string& key) const {
    return bands_.count(key) > 0;
}

ActiveBar::Band& ActiveBar::band(const std::string& key) {
    auto it = bands_.find(key);
    if (it == bands_.end()) throw BarError("找不到工具栏条带：" + key);
    return *it->second;
}

ActiveBar::Tool& ActiveBar::tool(const std::string& bandKey, const std::string& toolKey) {
    for (auto& t : band(bandKey).tools)
        if (t->key == toolKey) return *t;
    throw BarError("条带 " + bandKey + " 中找不到工具：" + toolKey);
}

std::vector<const ActiveBar::Band*> ActiveBar::bands() const {
    std::vector<const Band*> out;
    for (const auto& key : order_)
        out.push_back(bands_.at(key).get());
    return out;
}

void ActiveBar::setChecked(const std::string& bandKey, const std::string& toolKey, bool on) {
    Tool& t = tool(bandKey, toolKey);
    t.checked = on;
    if (t.action) {
        t.action->setCheckable(true);
        t.action->setChecked(on);
    }
}

bool ActiveBar::checked(const std::string& bandKey, const std::string& toolKey) {
    return tool(bandKey, toolKey).checked;
}

void ActiveBar::setEnabled(const std::string& bandKey, const std::string& toolKey, bool on) {
    Tool& t = tool(bandKey, toolKey);
    t.enabled = on;
    if (t.action) t.action->setEnabled(on);
}

void ActiveBar::setHostedWindow(const std::string& bandKey, const std::string& toolKey, QWidget* window) {
    Band& b = band(bandKey);
    Tool& t = tool(bandKey, toolKey);
    if (t.hostedWindow != window) release(b, t.hostedWindow);
    t.hostedWindow = window;
    if (b.dock && window) {
        b.dock->setWidget(window);
        window->show(); // a window released earlier was hidden; it shows with the band
    }
}

void ActiveBar::setBandVisible(const std::string& bandKey, bool on) {
    Band& b = band(bandKey);
    b.visible = on;
    if (b.dock) b.dock->setVisible(on);
    if (b.toolBar) b.toolBar->setVisible(on);
}

bool ActiveBar::bandVisible(const std::string& bandKey) {
    return band(bandKey).visible;
}

void ActiveBar::popupMenu(const std::string& bandKey, const QPoint& globalPos) {
    Band& b = band(bandKey);
    if (b.menu) b.menu->exec(globalPos);
}

void ActiveBar::clickTool(const std::string& bandKey, const std::string& toolKey) {
    Tool& t = tool(bandKey, toolKey);
    if (!t.enabled) return;
    if (t.checkable) {
        t.checked = !t.checked;
        if (t.action) t.action->setChecked(t.checked);
    }
    emit toolClick(QString::fromStdString(bandKey), QString::fromStdString(toolKey));
}

void ActiveBar::setClientArea(QWidget* client) {
    if (owner_ && client) owner_->setCentralWidget(client);
}

void ActiveBar::RecalcLayout() {
    if (owner_) owner_->updateGeometry();
}

void ActiveBar::Refresh() {
    if (owner_) owner_->update();
}

} // namespace ocable::ui
