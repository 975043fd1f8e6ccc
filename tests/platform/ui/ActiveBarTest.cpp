#include "platform/ui/ActiveBar.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include <memory>

using ocable::ui::ActiveBar;
using ocable::ui::BarError;
using Kind = ActiveBar::BandKind;

namespace {

// A map view's bands: "mnu_view_Radar" is checked by its handler, "mnu_view_Drag" checks itself.
struct View {
    QMainWindow window;
    ActiveBar* bar = new ActiveBar(&window, &window);
    View() {
        bar->addBand("toolbar", "工具栏", Kind::Toolbar);
        bar->addTool("toolbar", "mnu_view_Radar", "雷达图");
        bar->addTool("toolbar", "mnu_view_Drag", "拖动", "拖动(&D)", true);
        for (const char* dock : {"frmProperty", "frmResTree"}) {
            bar->addBand(dock, dock, Kind::Dock);
            bar->addTool(dock, dock, dock);
        }
        window.show();
    }
    QWidget* button(const char* key) {
        return bar->band("toolbar").toolBar->widgetForAction(bar->tool("toolbar", key).action);
    }
};

} // namespace

TEST(ActiveBar, ClicksToggleOnlyCheckableToolsAndAScreenClickKeepsTheProgramsCheck) {
    View v;
    ActiveBar& bar = *v.bar;
    EXPECT_THROW(bar.addTool("toolbar", "mnu_view_Radar", "again"), BarError);
    EXPECT_THROW(bar.clickTool("toolbar", "mnu_view_Legend"), BarError);
    QSignalSpy clicks(&bar, &ActiveBar::toolClick);
    bar.clickTool("toolbar", "mnu_view_Drag");
    EXPECT_TRUE(bar.checked("toolbar", "mnu_view_Drag"));
    EXPECT_TRUE(bar.tool("toolbar", "mnu_view_Drag").action->isChecked());
    bar.clickTool("toolbar", "mnu_view_Radar");
    EXPECT_FALSE(bar.checked("toolbar", "mnu_view_Radar"));
    // The keys a click reports reach the view's handlers in every host run
    // (HostAutomationTest.LevelTwoMapThenKeysAndViewTools).
    EXPECT_EQ(clicks.count(), 2);

    bar.setEnabled("toolbar", "mnu_view_Drag", false);
    bar.clickTool("toolbar", "mnu_view_Drag");
    QTest::mouseClick(v.button("mnu_view_Drag"), Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_TRUE(bar.checked("toolbar", "mnu_view_Drag"));

    // The property command shows its tool pressed; a click on the button must
    // not uncheck it behind the bar's back.
    bar.setChecked("toolbar", "mnu_view_Radar", true);
    QTest::mouseClick(v.button("mnu_view_Radar"), Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 3);
    EXPECT_TRUE(bar.checked("toolbar", "mnu_view_Radar"));
    EXPECT_TRUE(bar.tool("toolbar", "mnu_view_Radar").action->isChecked());
}

TEST(ActiveBar, DockBandsHostSharedWindowsWithoutOwningThem) {
    auto property = std::make_unique<QWidget>();
    auto other = std::make_unique<View>();
    {
        View v;
        QDockWidget* dock = v.bar->band("frmProperty").dock;
        v.bar->setHostedWindow("frmProperty", "frmProperty", property.get());
        EXPECT_EQ(dock->widget(), property.get());
        // Detached and docked again, as a view does when it loses the focus.
        v.bar->setHostedWindow("frmProperty", "frmProperty", nullptr);
        EXPECT_EQ(property->parentWidget(), nullptr);
        EXPECT_FALSE(property->isVisible());
        v.bar->setHostedWindow("frmProperty", "frmProperty", property.get());
        EXPECT_TRUE(property->isVisible());
        // Closing the view deletes its docks; the shared window must survive.
    }
    EXPECT_EQ(property->parentWidget(), nullptr);

    // Taken by another view, it is not pulled back by the first one detaching.
    View first;
    first.bar->setHostedWindow("frmProperty", "frmProperty", property.get());
    other->bar->setHostedWindow("frmProperty", "frmProperty", property.get());
    first.bar->setHostedWindow("frmProperty", "frmProperty", nullptr);
    EXPECT_EQ(other->bar->band("frmProperty").dock->widget(), property.get());
    other.reset();
    EXPECT_EQ(property->parentWidget(), nullptr);
}

// The resource tree's popup menus live on a bar without an owner window.
TEST(ActiveBar, PopupBandsStartHiddenWithoutAnOwnerAndDockBandsFollowTheirDock) {
    ActiveBar bare(nullptr);
    bare.addBand("mnuPop", "弹出菜单", Kind::Popup);
    EXPECT_FALSE(bare.bandVisible("mnuPop"));

    View v;
    v.bar->setBandVisible("frmProperty", false);
    EXPECT_FALSE(v.bar->band("frmProperty").dock->isVisible());
    EXPECT_TRUE(v.bar->band("frmResTree").dock->isVisible());
    // Closed by its own button, the band reads as hidden; hiding the window changes nothing.
    v.bar->band("frmResTree").dock->close();
    EXPECT_FALSE(v.bar->bandVisible("frmResTree"));
    v.bar->setBandVisible("frmResTree", true);
    v.window.hide();
    EXPECT_TRUE(v.bar->bandVisible("frmResTree"));
}
