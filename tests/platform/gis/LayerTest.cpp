#include "GisTestData.h"

#include "platform/gis/GisError.h"

#include <gtest/gtest.h>

using namespace ocable::gis;
using gistest::codeOf;
using gistest::errorOf;

namespace {

// Counts the map's change reports per kind.
struct Reports {
    int added = 0, deleted = 0, selection = 0, calls = 0;
    explicit Reports(Map& map) {
        QObject::connect(&map, &Map::featuresAdded, [this](const QString&, int n) { added += n, ++calls; });
        QObject::connect(&map, &Map::featuresDeleted,
                         [this](const QString&, int n) { deleted += n, ++calls; });
        QObject::connect(&map, &Map::selectionChanged, [this](const QString&) { ++selection, ++calls; });
    }
};

} // namespace

TEST(Layers, FindByPositionOrNameAndKeepOrder) {
    Map map;
    gistest::stationLayer(map);
    gistest::cableLayer(map, 2);
    map.Layers().CreateLayer("告警", 1);
    auto& layers = map.Layers();
    EXPECT_EQ(layers.Item(1).Name(), "告警");
    EXPECT_EQ(layers.Item(1).columns(), (std::vector<std::string>{"Label", "Code"}));
    EXPECT_EQ(errorOf([&] { layers.Item("微波段"); }), "地图中没有名为“微波段”的图层");
    EXPECT_EQ(errorOf([&] { layers.Item(4); }), "图层序号 4 超出范围 1..3");
    EXPECT_EQ(errorOf([&] { layers.CreateLayer("站点"); }), "地图中已有名为“站点”的图层");

    layers.Move(3, 1);
    EXPECT_EQ(layers.Item(1).Name(), "线路");
    // Everything but the bottom layer removed, as the overview does before each update.
    while (layers.Count() > 1)
        layers.Remove(1);
    EXPECT_EQ(layers.Item(1).Name(), "站点");
    Layer& frame = layers.CreateLayer("框", 99); // position clamped to the bottom
    EXPECT_EQ(&layers.Item(2), &frame);
}

TEST(Features, AddingGivesANewKeyAndLeavesTheSourceDetached) {
    Map map;
    Layer& stations = gistest::stationLayer(map);
    Layer& other = map.Layers().CreateLayer("其它", 2, {"名称", "StationCode"});
    Feature stored = stations.Search(R"(StationCode = "S2")").Item(1);

    Feature copy = stored.clone();
    EXPECT_EQ(copy.Layer(), nullptr);
    EXPECT_THROW(copy.Update(), GisError);

    // Added twice to two layers: two new keys, the row carried along.
    Feature a = other.AddFeature(copy);
    Feature b = stations.AddFeature(copy);
    EXPECT_NE(a.FeatureKey(), stored.FeatureKey());
    EXPECT_NE(a.FeatureKey(), b.FeatureKey());
    EXPECT_EQ(codeOf(other, a), "S2"); // the carried row goes with the copy
    EXPECT_EQ(stations.Search(R"(StationCode = "S2")").Count(), 2);
    EXPECT_TRUE(copy.FeatureKey().empty());
    // A stored feature's own changes reach the layer only by Update.
    stored.Offset(0.5, 0.25);
    EXPECT_EQ(stations.GetFeatureByKey(stored.FeatureKey()).CenterX(), 101);
    stored.Update();
    EXPECT_EQ(stations.GetFeatureByKey(stored.FeatureKey()).CenterX(), 101.5);

    EXPECT_EQ(errorOf([&] { other.DeleteFeature(stored); }),
              "要素“" + stored.FeatureKey() + "”不属于图层“其它”，不能删除");
    stations.DeleteFeature(stored);
    EXPECT_EQ(errorOf([&] { stations.DeleteFeature(stored); }),
              "要素“" + stored.FeatureKey() + "”已不在图层“站点”中，不能删除");
    EXPECT_EQ(errorOf([&] {
                  stations.AddFeature(FeatureFactory::CreateLine(Points{{1, 1}}, Style()));
              }),
              "线要素的每一部分至少需要两个点");
    EXPECT_EQ(errorOf([&] { stations.AddFeature(Feature()); }), "不能向图层“站点”添加空要素");
}

// A pixel radius is measured at the view's scale: 5 pixels are 0.025 degree
// at 0.005 degree a pixel, and twice that when zoomed out twice.
TEST(Features, PixelRadiusFollowsTheScale) {
    Map map;
    Layer& cables = gistest::cableLayer(map);
    map.setViewSize({800, 600});
    map.setBounds({99, 29, 103, 32});
    auto near = [&] {
        return cables
            .SearchWithinDistance({100.5, 30.04}, 5, DistanceUnit::Pixel, SearchType::PartiallyWithin)
            .Count();
    };
    EXPECT_EQ(near(), 0);
    map.setZoom(map.Zoom() * 2);
    EXPECT_EQ(near(), 1);
}

TEST(Datasets, RowsAreReadByNumberOrNameAndWrittenBackByUpdate) {
    Map map;
    Layer& cables = gistest::cableLayer(map);
    Dataset& ds = map.Datasets().Add(cables, "线路");
    EXPECT_EQ(errorOf([&] { map.Datasets().Item("站点"); }), "地图中没有名为“站点”的数据集");

    // A builder's steps: add, fill column 2 of the new row, update.
    Feature f = cables.AddFeature(FeatureFactory::CreateLine(Points{{102, 31}, {103, 31}}, Style()));
    RowValues row = ds.RowValues(f);
    row.Item(1).Value = "光缆数-2条,长度:30KM";
    row.Item("ocablecode").Value = "C3";
    EXPECT_EQ(ds.Value(f, 2), ""); // new and empty, and the row a copy until written back
    f.Update(true, row);
    EXPECT_EQ(ds.Value(f, "OcableCode"), "C3");
    EXPECT_EQ(f.Name(), "光缆数-2条,长度:30KM");
    EXPECT_EQ(errorOf([&] { ds.Value(f, 3); }), "数据集“线路”没有第 3 列");
    EXPECT_EQ(errorOf([&] { ds.Value(f, "StationCode"); }), "数据集“线路”没有列“StationCode”");

    // Datasets hold no rows: removing and binding again loses nothing.
    map.Datasets().RemoveAll();
    EXPECT_EQ(map.Datasets().Add(cables, "线路").Value(f, 1), "光缆数-2条,长度:30KM");
}

// A set found before its features were deleted still answers their rows,
// so a caller can delete first and read the codes afterwards.
TEST(Datasets, DeletedFeaturesOfASetStillAnswer) {
    Map map;
    Layer& stations = gistest::stationLayer(map);
    Dataset& ds = map.Datasets().Add(stations, "站点");
    FeatureSet found = stations.Search(R"(StationCode = "S1" OR StationCode = "S3")");
    stations.BeginAccess(AccessMode::ReadWrite);
    for (const Feature& f : found)
        stations.DeleteFeature(f);
    stations.EndAccess();
    EXPECT_EQ(ds.Value(found.Item(1), 2), "S1");
    EXPECT_EQ(ds.Value(found.Item(2), "StationCode"), "S3");
    EXPECT_EQ(found.Item(2).Name(), "丙站");
    EXPECT_THROW(stations.DeleteFeature(found.Item(1)), GisError);
    // A set never read before the deletion cannot tell.
    FeatureSet unread = stations.Search(R"(StationCode = "S2")");
    stations.DeleteFeature(stations.Search(R"(StationCode = "S2")").Item(1));
    EXPECT_THROW(unread.Item(1), GisError);
}

TEST(Selections, AddClearAndForgetDeletedFeatures) {
    Map map;
    Layer& stations = gistest::stationLayer(map);
    Layer& cables = gistest::cableLayer(map, 2);
    Reports reports(map);
    auto& sel = stations.Selection();
    sel.Add(stations.Search(R"(StationCode = "S3" OR StationCode = "S1")"));
    sel.Add(stations.Search(R"(StationCode = "S1")").Item(1)); // already selected: no change
    EXPECT_EQ(gistest::selectedCodes(stations), (std::vector<std::string>{"S1", "S3"}));
    EXPECT_EQ(reports.selection, 1);
    EXPECT_EQ(errorOf([&] { sel.Add(cables.AllFeatures().Item(1)); }), "只能选择图层“站点”中的要素");

    stations.DeleteFeature(sel.Item(1)); // S1, the first selected
    EXPECT_EQ(sel.Count(), 1);
    EXPECT_EQ(codeOf(stations, sel.Item(1)), "S3");
    sel.Remove(sel.Item(1));
    sel.Add(stations.Search(R"(StationCode = "S3")"));
    EXPECT_EQ(sel.ids().size(), 1u); // removed and added again: listed once
    sel.ClearSelection();
    EXPECT_EQ(sel.Count(), 0);
}

TEST(Batches, ReportOnceAtTheEndAndNest) {
    Map map;
    Layer& stations = gistest::stationLayer(map);
    Reports reports(map);
    stations.BeginAccess(AccessMode::ReadWrite);
    stations.BeginAccess(AccessMode::Read);
    for (int i = 0; i < 50; ++i)
        stations.AddFeature(FeatureFactory::CreateSymbol({100 + i * 0.01, 32}, Style()));
    stations.DeleteFeature(stations.Search(R"(StationCode = "S1")").Item(1));
    stations.Selection().Add(stations.Search(R"(StationCode = "S2")"));
    stations.EndAccess();
    EXPECT_EQ(reports.calls, 0);
    stations.EndAccess();
    EXPECT_EQ(reports.added, 50);
    EXPECT_EQ(reports.deleted, 1);
    EXPECT_EQ(reports.selection, 1);
    EXPECT_EQ(reports.calls, 3); // one report of each kind
    stations.EndAccess();        // unmatched: nothing happens
    EXPECT_EQ(reports.calls, 3);
    // Outside a batch every edit reports on its own.
    stations.AddFeature(FeatureFactory::CreateSymbol({100, 33}, Style()));
    stations.AddFeature(FeatureFactory::CreateSymbol({100, 34}, Style()));
    EXPECT_EQ(reports.calls, 5);
}

// The text form of the styles is what the geoset round trip and the sample
// picture prove; here what they do not meet.
TEST(Styles, TextFormRoundTripsAndNamesBadKeys) {
    Style s;
    s.SymbolBitmapName = "光缆网络_终端站;v2.BMP"; // the separator inside a value
    s.RegionPattern = 0;
    EXPECT_EQ(styleFromText(styleToText(s)), s);
    // Only what differs from the default is written.
    EXPECT_EQ(styleToText(Style()), "");
    EXPECT_EQ(errorOf([] { styleFromText("LineWidth=thick"); }), "样式项 LineWidth 的值不是整数：thick");
    LabelStyle l;
    l.Position = 2;
    EXPECT_EQ(labelStyleFromText(labelStyleToText(l)), l);
}
