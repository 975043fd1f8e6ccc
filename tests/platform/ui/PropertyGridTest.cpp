#include "platform/ui/PropertyGrid.h"

#include <gtest/gtest.h>

using ocable::ui::PropertyGrid;

// Rows, kinds and choices as the property window adds them are shown by
// PropertyViewTest.AddPropertyMakesChoiceOrTextRows; here a key added again.
TEST(PropertyGrid, AKeyAddedAgainReplacesItsRow) {
    PropertyGrid grid;
    grid.addRow("名称", "\t名称", PropertyGrid::TextRow);
    grid.setValue("名称", "旧");
    grid.addRow("长度", "\t长度", PropertyGrid::TextRow);
    grid.addRow("名称", "\t名称", PropertyGrid::ChoiceRow);
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.kind("名称"), PropertyGrid::ChoiceRow);
}

// Values come from the data: markup in them shows as written. A value
// "<img src=x>" read as rich text would leave its cell blank.
TEST(PropertyGrid, MarkupInAValueShowsAsWritten) {
    auto render = [](const std::string& value) {
        PropertyGrid grid;
        grid.resize(320, 120);
        grid.addRow("名称", "名称", PropertyGrid::TextRow);
        grid.setValue("名称", value);
        return grid.grab().toImage();
    };
    const QImage blank = render("");
    EXPECT_NE(render("<img src=x>"), blank);
}
