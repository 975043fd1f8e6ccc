// Alarm markers leave with their stations, one batch a layer, and stay off.
#include "map/DrawingWindow.h"
#include "resources/ResourceTree.h"

#include <gtest/gtest.h>

using namespace ocable;

TEST(ResourceTreeMarkers, HiddenStationsTakeTheirMarkersAndComeBackWithout) {
    fake::FakeHost host;
    test::DrawingWindow w;
    for (const char* name : {vocab::kLayerAlarm, vocab::kLayerBackboneAlarm})
        w.map.Layers().CreateLayer(name, 1, {"Name", vocab::kAlarmCodeColumn});
    mdlViewMap::bindLayerDatasets(w.map);
    for (auto [parent, key] :
         {std::pair{"", "ROOT"}, {"ROOT", "D"}, {"D", "P"}, {"P", "P:STA"}, {"ROOT", "E"}})
        w.treeRes.Add(parent, key, key);
    auto station = [&](const char* layer, const char* remark, std::string code, int alarms, int backbone) {
        gis::Feature f = gis::FeatureFactory::CreateSymbol({113, 34}, {});
        f.setCarriedRow({"站", code});
        auto& record = w.view.stationFeatures.Add(std::make_shared<clsFearture>(), code);
        record->ftr = f;
        record->ftrCode = code;
        record->remark = remark;
        w.layer(layer).AddFeature(f);
        w.treeRes.Add(code == "X1" ? "E" : "P:STA", "P:STA:" + code, code);
        for (auto [name, n] : {std::pair{vocab::kLayerAlarm, alarms}, {vocab::kLayerBackboneAlarm, backbone}})
            for (int i = 0; i < n; ++i)
                w.layer(name).AddFeature(f);
    };
    station(vocab::kLayerTerminal, vocab::kClassTerminal, "T1", 1, 3);
    station(vocab::kLayerTerminal, vocab::kClassTerminal, "T2", 1, 1);
    station(vocab::kLayerOtherStation, vocab::kClassOther, "O1", 1, 0);
    station(vocab::kLayerOtherStation, vocab::kClassOther, "X1", 1, 1); // elsewhere: keeps its markers
    ResourceTree resources(w.view, {[] {}, {}});
    int deleted = 0;
    QObject::connect(&w.map, &gis::Map::featuresDeleted, [&] { ++deleted; });

    resources.TreeRes_NodeCheck("P", false);
    EXPECT_EQ(deleted, 4); // one report per layer
    EXPECT_EQ(w.count(vocab::kLayerTerminal) + w.count(vocab::kLayerOtherStation), 1);
    for (int pass = 0; pass < 2; ++pass) {
        for (const char* layer : {vocab::kLayerAlarm, vocab::kLayerBackboneAlarm})
            EXPECT_TRUE(w.count(layer) == 1 && w.layer(layer).Search("objCode = \"X1\"").Count() == 1);
        resources.TreeRes_NodeCheck("P:STA", true);
        resources.TreeRes_NodeCheck("P:STA:T1", true); // already back: not added twice
    }
    EXPECT_EQ(w.count(vocab::kLayerTerminal), 2);
    EXPECT_EQ(w.count(vocab::kLayerOtherStation), 2);
}
