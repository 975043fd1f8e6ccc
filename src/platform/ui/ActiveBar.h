#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class QAction;
class QDockWidget;
class QMainWindow;
class QMenu;
class QToolBar;
class QWidget;

namespace ocable::ui {

class BarError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A toolbar-and-docking control: bands addressed by key, each holding tools
// addressed by key. A toolbar band shows its tools as buttons, a dock band
// hosts a window at the side of its owner, a pop-up band opens as a menu at
// the mouse. The control keeps its own state (checked, enabled, visible), so
// it answers the same whether or not its owner window is on screen.
class ActiveBar : public QObject {
    Q_OBJECT
public:
    enum class BandKind { Toolbar, Dock, Popup };

    struct Tool {
        std::string key;
        std::string caption;
        std::string toolTip;
        bool checkable = false;
        bool checked = false;
        bool enabled = true;
        QPointer<QWidget> hostedWindow;
        QPointer<QAction> action;
    };

    struct Band {
        std::string key;
        std::string caption;
        BandKind kind = BandKind::Toolbar;
        bool visible = true;
        std::vector<std::unique_ptr<Tool>> tools;
        QPointer<QToolBar> toolBar;
        QPointer<QDockWidget> dock;
        QPointer<QMenu> menu;
    };

    // owner may be null: the bands then exist without widgets. Windows hosted
    // in dock bands are not owned: when the bar or its docks go, they are
    // released as hidden top-level windows, so a window shared by several
    // views outlives each of them.
    explicit ActiveBar(QMainWindow* owner, QObject* parent = nullptr);
    ~ActiveBar() override;

    Band& addBand(const std::string& key, const std::string& caption, BandKind kind);
    // A separator before the next tool of a toolbar or pop-up band.
    void addSeparator(const std::string& bandKey);
    // A checkable tool toggles its own check state when clicked; any other
    // tool's check state changes only through setChecked, as the program
    // that owns the bar decides. Throws BarError for a key already in the band.
    Tool& addTool(const std::string& bandKey, const std::string& toolKey, const std::string& caption,
                  const std::string& toolTip = {}, bool checkable = false);

    bool hasBand(const std::string& key) const;
    // Throw BarError naming the missing band or tool.
    Band& band(const std::string& key);
    Tool& tool(const std::string& bandKey, const std::string& toolKey);
    std::vector<const Band*> bands() const;

    void setChecked(const std::string& bandKey, const std::string& toolKey, bool checked);
    bool checked(const std::string& bandKey, const std::string& toolKey);
    void setEnabled(const std::string& bandKey, const std::string& toolKey, bool enabled);
    // The window a dock band's tool hosts; null detaches it (the window is
    // hidden and left without a parent, unless another bar has taken it).
    void setHostedWindow(const std::string& bandKey, const std::string& toolKey, QWidget* window);
    void setBandVisible(const std::string& bandKey, bool visible);
    bool bandVisible(const std::string& bandKey);

    // Opens a pop-up band as a menu at the global position (blocks until closed).
    void popupMenu(const std::string& bandKey, const QPoint& globalPos);
    // Acts as if the user clicked the tool: toggles a checkable tool, then
    // emits toolClick. Disabled tools do nothing.
    void clickTool(const std::string& bandKey, const std::string& toolKey);

    // The widget that fills the owner's central area.
    void setClientArea(QWidget* client);
    void RecalcLayout();
    void Refresh();

signals:
    void toolClick(const QString& bandKey, const QString& toolKey);

private:
    // Takes a hosted window out of the band's dock if it is still there.
    static void release(Band& band, QWidget* window);

    QPointer<QMainWindow> owner_;
    std::map<std::string, std::unique_ptr<Band>> bands_;
    std::vector<std::string> order_;
};

} // namespace ocable::ui
