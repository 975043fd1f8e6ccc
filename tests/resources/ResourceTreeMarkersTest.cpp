// Alarm markers leave the map with their stations and stay off when the
// stations come back; each layer is written in one batch.
#include "core/NetworkVocabulary.h"
#include "core/ViewContext.h"
#include "map/mdlViewMap.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/ui/KeyedTree.h"
#include "resources/ResourceTree.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

using namespace ocable;

namespace {

struct Network {
    fake::FakeHost host;
    gis::Map map;
    ui::KeyedTree tree, windowTree;
    ViewContext view;
    Network() {
        host.install();
        for (const char* name : {vocab::kLayerTerminal, vocab::kLayerOtherStation})
            map.Layers().CreateLayer(name, 1, {"Name", vocab::kStationCodeColumn});
        for (const char* name : {vocab::kLayerAlarm, vocab::kLayerBackboneAlarm})
            map.Layers().CreateLayer(name, 1, {"Name", vocab::kAlarmCodeColumn});
        mdlViewMap::bindLayerDatasets(map);
        view.map = &map;
        view.TreeRes = &tree;
        for (auto* t : {&tree, &windowTree})
            for (auto [parent, key] :
                 {std::pair{"", "ROOT"}, {"ROOT", "D"}, {"D", "P"}, {"P", "P:STA"}, {"ROOT", "E"}})
                t->Add(parent, key, key);
    }
    // A station on its layer, with its record, its leaf and its markers.
    void station(const char* layer, const std::string& code, int alarms, int backboneAlarms,
                 const std::string& group = "P:STA") {
        gis::Feature f = gis::FeatureFactory::CreateSymbol({113, 34}, {});
        f.setCarriedRow({"站" + code, code});
        auto record = std::make_shared<clsFearture>();
        record->ftr = map.Layers().Item(layer).AddFeature(f).clone();
        record->label = "站" + code, record->ftrCode = code, record->layerName = layer;
        record->remark =
            layer == std::string(vocab::kLayerTerminal) ? vocab::kClassTerminal : vocab::kClassOther;
        view.stationFeatures.Add(record, code);
        for (auto* t : {&tree, &windowTree})
            t->Add(group, group + ":" + code, code);
        for (auto [name, n] :
             {std::pair{vocab::kLayerAlarm, alarms}, {vocab::kLayerBackboneAlarm, backboneAlarms}})
            for (int i = 0; i < n; ++i) {
                gis::Feature marker = gis::FeatureFactory::CreateSymbol({113, 34}, {});
                marker.setCarriedRow({"告警", code});
                map.Layers().Item(name).AddFeature(marker);
            }
    }
    std::multiset<std::string> rows(const char* layer) {
        std::multiset<std::string> out;
        for (const gis::Feature& f : map.Layers().Item(layer).AllFeatures())
            out.insert(map.Datasets().Item(layer).Value(f, 1) + "|" + map.Datasets().Item(layer).Value(f, 2));
        return out;
    }
};

TEST(ResourceTreeMarkers, HiddenStationsTakeTheirMarkersAndComeBackWithout) {
    Network n;
    n.station(vocab::kLayerTerminal, "T1", 1, 3);
    n.station(vocab::kLayerTerminal, "T2", 1, 1);
    n.station(vocab::kLayerOtherStation, "O1", 1, 0);
    n.station(vocab::kLayerOtherStation, "X1", 1, 1, "E"); // elsewhere: it keeps its markers
    const auto stationsBefore = n.rows(vocab::kLayerTerminal),
               othersBefore = n.rows(vocab::kLayerOtherStation);
    ResourceTree resources(n.view, {[] {}, [&] { return &n.windowTree; }});

    int deleted = 0;
    QObject::connect(&n.map, &gis::Map::featuresDeleted, [&] { ++deleted; });
    resources.TreeRes_NodeCheck("P", false);
    EXPECT_TRUE(n.rows(vocab::kLayerTerminal).empty());
    EXPECT_EQ(n.rows(vocab::kLayerOtherStation), std::multiset<std::string>{"站X1|X1"});
    EXPECT_EQ(n.rows(vocab::kLayerAlarm), std::multiset<std::string>{"告警|X1"});
    EXPECT_EQ(n.rows(vocab::kLayerBackboneAlarm), std::multiset<std::string>{"告警|X1"});
    EXPECT_EQ(deleted, 4); // one report per layer
    EXPECT_FALSE(n.windowTree.node("P:STA:T1").checked || n.tree.node("P:STA:O1").checked);

    resources.TreeRes_NodeCheck("P:STA", true);
    resources.TreeRes_NodeCheck("P:STA:T1", true); // already back: not added twice
    EXPECT_EQ(n.rows(vocab::kLayerTerminal), stationsBefore);
    EXPECT_EQ(n.rows(vocab::kLayerOtherStation), othersBefore);
    EXPECT_EQ(n.rows(vocab::kLayerAlarm), std::multiset<std::string>{"告警|X1"});
    EXPECT_EQ(n.rows(vocab::kLayerBackboneAlarm), std::multiset<std::string>{"告警|X1"});
}

} // namespace
