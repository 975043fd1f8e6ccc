// The property window: rows the plug-in adds, and the properties of the
// selected object docked in band "frmProperty".
#include "InteractionFixture.h"

#include "interaction/MapSelection.h"
#include "interaction/PopupCommands.h"
#include "map/NetworkDrawing.h"
#include "platform/ui/PropertyGrid.h"
#include "resources/frmViewProperty.h"

#include <gtest/gtest.h>

using namespace ocable;

namespace {

struct Properties : itest::TestView {
    NetworkDrawing drawing{view, {}};
    PopupCommands popup{view, drawing};
    Properties() {
        for (const auto& [key, table] : {std::pair{"STA:A", vocab::kStationTable},
                                         {"OCA:B1", vocab::kCableTable},
                                         {"STA:T", vocab::kSystemTable}}) {
            auto record = std::make_shared<clsViewRecord>();
            record->tableName = table;
            view.resTree->Add(record, key);
        }
    }
    ~Properties() { bar.setHostedWindow(bands::kPropertyBand, bands::kPropertyBand, nullptr); }
    QWidget* docked() { return bar.tool(bands::kPropertyBand, bands::kPropertyBand).hostedWindow; }
    bool bandShown() {
        return bar.bandVisible(bands::kPropertyBand) && bar.checked(bands::kToolbar, "mnu_view_Property");
    }
};

TEST(PropertyViewTest, AddPropertyMakesChoiceOrTextRows) {
    auto& window = frmViewProperty::instance();
    ui::PropertyGrid& grid = *window.SUIProperty();
    window.clearProperties();
    window.addProperty("", "x", "A;B");
    EXPECT_EQ(grid.rowCount(), 0);
    window.addProperty("级别", "B", "A;B");
    window.addProperty("名称", "干线", "");
    ASSERT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.kind("级别"), ui::PropertyGrid::ChoiceRow);
    EXPECT_EQ(grid.choices("级别"), (QStringList{"A", "B"}));
    EXPECT_EQ(grid.value("级别"), "B");
    EXPECT_EQ(grid.kind("名称"), ui::PropertyGrid::TextRow);
    EXPECT_EQ(grid.row("名称")->text(0), "\t名称");
    EXPECT_EQ(grid.row("名称")->foreground(1).color(), QColor(0, 0, 255));
    window.clearProperties();
}

// Which keys dock the host's form, the band shown in every case; a
// station's form docked and shown is MapInteractionTest's.
TEST(PropertyViewTest, OnlyStationAndCableRecordsDockTheHostsForm) {
    Properties p;
    frmViewProperty::showSingleProperty(p.view, "STA:A");
    for (const char* key : {"OCA:A", "STA:T", ""}) {
        p.bar.setBandVisible(bands::kPropertyBand, false);
        frmViewProperty::showSingleProperty(p.view, key);
        EXPECT_EQ(p.docked(), nullptr) << key;
        EXPECT_TRUE(p.bandShown()) << key;
    }
    EXPECT_EQ(p.res->calls, std::vector<std::string>{"property:STATION:A"}) << "asked for the station only";
    EXPECT_EQ(p.host.message->shown, std::vector<std::string>{"notice:对象编号为空！"});
}

TEST(PropertyViewTest, SelectedPropertyNeedsOneFeatureOfAKnownLayer) {
    Properties p;
    const auto s = p.addStation(vocab::kLayerTerminal, "A", "甲", 112, 32);
    const auto b = p.addLine(vocab::kLayerBackbone, "B1", {{{112, 30}, {113, 31}}});
    const auto m = p.addLine(vocab::kLayerMicrowave, "M1", {{{112, 30}, {113, 31}}});
    const auto c = p.addLine(vocab::kLayerCable, "C1", {{{112, 30}, {113, 31}}});
    auto only = [&](const gis::Feature& f) {
        clearAllSelections(p.map());
        p.select(f);
        p.res->calls.clear();
        p.popup.showSelectedProperty();
        return p.res->calls;
    };
    EXPECT_EQ(only(s), std::vector<std::string>{"property:STATION:A"});
    EXPECT_EQ(only(b), std::vector<std::string>{"property:EN_OCABLE:B1"});
    EXPECT_TRUE(only(m).empty()); // no prefix for the microwave layer
    // The ordinary layer's prefix is the feature's map key: no record has it.
    EXPECT_TRUE(only(c).empty());
    EXPECT_EQ(frmViewProperty::getLayerKindPrefix(p.map(), vocab::kLayerCable), c.FeatureKey());
    p.select(s);
    p.res->calls.clear();
    frmViewProperty::instance().addProperty("名称", "x", "");
    p.popup.showSelectedProperty();
    EXPECT_TRUE(p.res->calls.empty());
    EXPECT_EQ(frmViewProperty::instance().SUIProperty()->rowCount(), 0);
}

} // namespace
