#include "core/clsFearture.h"

#include "platform/gis/Map.h"

#include <gtest/gtest.h>

using namespace ocable;
using namespace ocable::gis;

// A backbone segment recorded as the builders record it, with the feature
// the layer holds; every field set to something other than its default.
TEST(FeatureRecord, CloneCopiesTheFeatureAndTheTextFieldsOnly) {
    Map map;
    Layer& layer = map.Layers().CreateLayer("骨干光缆段", 1, {"Label", "OcableCode"}, LayerKind::Line);
    clsFearture record;
    record.ftr = layer.AddFeature(FeatureFactory::CreateLine(Points{{116.4, 39.9}, {117.2, 39.1}}, {}));
    record.ftrKey = record.ftr.FeatureKey();
    record.ftrCode = "OC1";
    record.label = "(北京-天津) 长度:120KM";
    record.layerName = layer.Name();
    record.remark = "2";
    record.perfKey = 7;
    record.alarmKey = 8;
    record.count = 9;
    record.isDelete = true;

    auto copy = record.getClone();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->label, "(北京-天津) 长度:120KM");
    EXPECT_EQ(copy->ftrCode, "OC1");
    EXPECT_EQ(copy->ftrKey, record.ftrKey);
    EXPECT_EQ(copy->layerName, "骨干光缆段");
    EXPECT_EQ(copy->remark, "2");
    EXPECT_TRUE(copy->isDelete);
    EXPECT_EQ(copy->perfKey, 0);
    EXPECT_EQ(copy->alarmKey, 0);
    EXPECT_EQ(copy->count, 0);
    // The feature is a copy of its own: restyling it leaves the layer's as it was.
    ASSERT_FALSE(copy->ftr.isNull());
    EXPECT_EQ(copy->ftr.Layer(), nullptr);
    copy->ftr.Style().LinePattern = 64;
    EXPECT_EQ(layer.AllFeatures().Item(1).Style().LinePattern, record.ftr.Style().LinePattern);
    EXPECT_NE(record.ftr.Style().LinePattern, 64);
    EXPECT_EQ(copy->ftr.Parts(), record.ftr.Parts());
}
