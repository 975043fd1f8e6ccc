#include "core/clsFearture.h"

#include "platform/gis/Map.h"

#include <gtest/gtest.h>

using namespace ocable;
using namespace ocable::gis;

namespace {

// A backbone layer holding one segment, drawn as the builders draw it:
// added, its code written into column 2, updated, and recorded.
struct Drawn {
    Map map;
    Layer& layer = map.Layers().CreateLayer("骨干光缆段", 1, {"Label", "OcableCode"}, LayerKind::Line);
    clsFearture record;

    Drawn() {
        Style blue;
        blue.LineColor = rgb(0, 0, 255);
        blue.LineWidth = 3;
        Feature f = layer.AddFeature(FeatureFactory::CreateLine(Points{{116.4, 39.9}, {117.2, 39.1}}, blue));
        RowValues row(layer.columns(), {});
        row.Item(1).Value = "(北京-天津) 长度:120KM";
        row.Item(2).Value = "OC1";
        f.Update(true, row);
        record.ftr = f.clone();
        record.ftrKey = f.FeatureKey();
        record.ftrCode = "OC1";
        record.label = row.Item(1).Value;
        record.layerName = layer.Name();
        record.remark = "2";
        record.perfKey = 7;
        record.alarmKey = 8;
        record.count = 9;
        record.isDelete = true;
    }
};

} // namespace

TEST(FeatureRecord, CloneCopiesTheFeatureAndTheTextFieldsOnly) {
    Drawn d;
    auto copy = d.record.getClone();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->label, "(北京-天津) 长度:120KM");
    EXPECT_EQ(copy->ftrCode, "OC1");
    EXPECT_EQ(copy->ftrKey, d.record.ftrKey);
    EXPECT_EQ(copy->layerName, "骨干光缆段");
    EXPECT_EQ(copy->remark, "2");
    EXPECT_TRUE(copy->isDelete);
    EXPECT_EQ(copy->perfKey, 0);
    EXPECT_EQ(copy->alarmKey, 0);
    EXPECT_EQ(copy->count, 0);
    // The feature is a copy of its own: restyling it leaves the record's as it was.
    ASSERT_FALSE(copy->ftr.isNull());
    EXPECT_EQ(copy->ftr.Layer(), nullptr);
    copy->ftr.Style().LinePattern = 64;
    EXPECT_EQ(d.record.ftr.Style().LinePattern, 1);
    EXPECT_EQ(copy->ftr.Parts(), d.record.ftr.Parts());
}
