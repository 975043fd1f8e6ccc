#include "GisTestData.h"

#include "platform/gis/GeosetFile.h"
#include "platform/gis/GisError.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace ocable::gis;
namespace fs = std::filesystem;

namespace {

class GeosetFiles : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "gis-geoset-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::string contents(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path dir;
};

// A map with what a saved network holds:
//   "光缆网络_站"  symbols, two bitmaps, labels on, columns 名称/StationCode
//   "光缆网络_段"  lines: a two-part line and one with its own pattern, hidden
//   "区域"         regions: one with a hole, one of two islands
void buildNetwork(Map& map) {
    Layer& stations = map.Layers().CreateLayer("光缆网络_站", 1, {"名称", "StationCode"}, LayerKind::Symbol);
    Style symbol;
    symbol.SymbolBitmapName = "光缆网络_终端站.BMP";
    symbol.SymbolBitmapTransparent = true;
    stations.setDefaultStyle(symbol);
    stations.setAutoLabel(true);
    LabelStyle label;
    label.FontName = "宋体";
    label.FontSize = 8;
    label.Overlap = true;
    stations.setLabelStyle(label);
    stations.AddFeature(FeatureFactory::CreateSymbol({116.4074, 39.9042}, symbol),
                        RowValues(stations.columns(), {"北京站", "BJ01"}));
    Style relay = symbol;
    relay.SymbolBitmapName = "光缆网络_中继站.BMP";
    stations.AddFeature(FeatureFactory::CreateSymbol({121.4737, 31.2304}, relay),
                        RowValues(stations.columns(), {"上海站", "SH01"}));

    Layer& cables = map.Layers().CreateLayer("光缆网络_段", 2, {"Label", "OcableCode"}, LayerKind::Line);
    Style line;
    line.LineColor = rgb(0, 0, 255);
    line.LineWidth = 3;
    cables.setDefaultStyle(line);
    cables.setVisible(false);
    cables.AddFeature(
        FeatureFactory::CreateLine(
            Parts{Points{{116, 39}, {117, 38}, {118, 37.5}}, Points{{119, 36}, {120, 35}}}, line),
        RowValues(cables.columns(), {"(北京-上海) 长度:1200KM", "OC1"}));
    Style dashed = line;
    dashed.LinePattern = 64;
    cables.AddFeature(FeatureFactory::CreateLine(Points{{116, 39}, {121, 31}}, dashed),
                      RowValues(cables.columns(), {"", "OC2"}));

    Layer& regions = map.Layers().CreateLayer("区域", 3, {"名称"}, LayerKind::Region);
    Style fill;
    fill.RegionColor = rgb(255, 250, 220);
    regions.setDefaultStyle(fill);
    regions.setSelectable(false);
    regions.AddFeature(FeatureFactory::CreateRegion(Parts{Points{{110, 30}, {120, 30}, {120, 40}, {110, 40}},
                                                          Points{{112, 32}, {113, 32}, {113, 33}, {112, 33}}},
                                                    fill),
                       RowValues(regions.columns(), {"有洞"}));
    regions.AddFeature(
        FeatureFactory::CreateRegion(
            Parts{Points{{100, 20}, {101, 20}, {101, 21}}, Points{{105, 20}, {106, 20}, {106, 21}}}, fill),
        RowValues(regions.columns(), {"两岛"}));
    map.setViewSize({800, 600});
    map.setBounds({110, 30, 122, 40});
}

void expectSameLayers(const Map& a, const Map& b) {
    ASSERT_EQ(a.Layers().Count(), b.Layers().Count());
    for (int i = 1; i <= a.Layers().Count(); ++i) {
        const Layer& x = a.Layers().Item(i);
        const Layer& y = b.Layers().Item(i);
        SCOPED_TRACE(x.Name());
        EXPECT_EQ(x.Name(), y.Name());
        EXPECT_EQ(x.kind(), y.kind());
        EXPECT_EQ(x.columns(), y.columns());
        EXPECT_EQ(x.Visible(), y.Visible());
        EXPECT_EQ(x.AutoLabel(), y.AutoLabel());
        EXPECT_EQ(x.Selectable(), y.Selectable());
        EXPECT_EQ(x.LabelStyle(), y.LabelStyle());
        EXPECT_EQ(x.defaultStyle(), y.defaultStyle());
        auto fa = x.AllFeatures(), fb = y.AllFeatures();
        ASSERT_EQ(fa.Count(), fb.Count());
        for (int k = 1; k <= fa.Count(); ++k) {
            EXPECT_EQ(fa.Item(k).Type(), fb.Item(k).Type());
            EXPECT_EQ(fa.Item(k).Parts(), fb.Item(k).Parts());
            EXPECT_EQ(fa.Item(k).Style(), fb.Item(k).Style());
            EXPECT_EQ(fa.Item(k).carriedRow(), fb.Item(k).carriedRow());
        }
    }
}

} // namespace

TEST_F(GeosetFiles, SavedMapLoadsBackWithEverything) {
    Map saved;
    buildNetwork(saved);
    saved.setSymbolFolder(dir / "符号");
    saved.saveGeoset("光缆网络分布图", dir / "光缆网络分布图.gst");
    EXPECT_TRUE(fs::exists(dir / "光缆网络分布图.gpkg"));
    EXPECT_FALSE(fs::exists(dir / "光缆网络分布图.gst.tmp"));
    EXPECT_FALSE(fs::exists(dir / "光缆网络分布图.gpkg.tmp"));

    Map loaded;
    loaded.setViewSize({800, 600});
    loaded.Layers().CreateLayer("旧图层");
    loaded.loadGeoset(dir / "光缆网络分布图.gst");
    expectSameLayers(saved, loaded);
    EXPECT_EQ(loaded.title(), "光缆网络分布图");
    EXPECT_EQ(loaded.symbolFolder(), dir / "符号");
    EXPECT_NEAR(loaded.CenterX(), saved.CenterX(), 1e-9);
    EXPECT_NEAR(loaded.Zoom(), saved.Zoom(), 1e-9);
    // The loaded layers are searchable like drawn ones.
    EXPECT_EQ(loaded.Layers().Item("光缆网络_段").Search(R"(OcableCode = "OC2")").Count(), 1);

    // Saving the loaded map again gives the same layers (the zoom may move in its last digit).
    auto withoutZoom = [](std::string text) {
        return text.erase(text.find("zoom = "), text.find('\n', text.find("zoom = ")) - text.find("zoom = "));
    };
    const std::string first = contents(dir / "光缆网络分布图.gst");
    loaded.saveGeoset("", dir / "光缆网络分布图.gst");
    EXPECT_EQ(withoutZoom(contents(dir / "光缆网络分布图.gst")), withoutZoom(first));
}

TEST_F(GeosetFiles, FailingSaveKeepsThePreviousFiles) {
    Map map;
    buildNetwork(map);
    const fs::path gst = dir / "网络.gst";
    map.saveGeoset("第一版", gst);
    const std::string oldText = contents(gst);
    const std::string oldData = contents(dir / "网络.gpkg");

    map.Layers().Item(1).AddFeature(FeatureFactory::CreateSymbol({100, 30}, Style()));
    // Something stands where the data file is written aside.
    fs::create_directories(dir / "网络.gpkg.tmp" / "占用");
    EXPECT_THROW(map.saveGeoset("第二版", gst), GisError);
    EXPECT_EQ(contents(gst), oldText);
    EXPECT_EQ(contents(dir / "网络.gpkg"), oldData);
    fs::remove_all(dir / "网络.gpkg.tmp");

    // The same when the geoset text cannot be written aside.
    fs::create_directories(dir / "网络.gst.tmp" / "占用");
    EXPECT_THROW(map.saveGeoset("第二版", gst), GisError);
    EXPECT_EQ(contents(gst), oldText);
    EXPECT_EQ(contents(dir / "网络.gpkg"), oldData);
    EXPECT_FALSE(fs::exists(dir / "网络.gpkg.tmp"));

    Map reloaded;
    reloaded.loadGeoset(gst);
    EXPECT_EQ(reloaded.title(), "第一版");
    EXPECT_EQ(reloaded.Layers().Item(1).featureCount(), 2);
}

TEST_F(GeosetFiles, LoadsLayersFromAnyOgrSourceWithTheirOwnStyles) {
    Map map;
    map.loadGeoset(gistest::sourceData("sample.gst"));
    ASSERT_EQ(map.Layers().Count(), 4);
    EXPECT_EQ(map.Layers().Item(1).Name(), "示例_站点");
    EXPECT_EQ(map.Layers().Item(4).Name(), "示例_区域");
    const Layer& stations = map.Layers().Item("示例_站点");
    EXPECT_EQ(stations.featureCount(), 12);
    const Feature relay = stations.Search(R"(StationCode = "S07")").Item(1);
    EXPECT_EQ(relay.Style().SymbolBitmapName, "示例_中继站.BMP");
    EXPECT_EQ(relay.Name(), "沧州");
    EXPECT_EQ(stations.Search(R"(StationCode = "S01")").Item(1).Style(), stations.defaultStyle());
    const Layer& lines = map.Layers().Item("示例_线路");
    EXPECT_EQ(lines.Search(R"(Label = "图案51")").Item(1).Style().LinePattern, 51);
    // The region's second ring is its hole.
    EXPECT_EQ(map.Layers().Item("示例_区域").Search(R"(代码 = "R2")").Item(1).Parts().Count(), 2);
    EXPECT_EQ(map.symbolFolder(), fs::path(gistest::sourceData("symbols")));
}

TEST_F(GeosetFiles, ProblemsAreReportedAndTheMapIsLeftAlone) {
    auto write = [&](const std::string& text) {
        std::ofstream(dir / "bad.gst", std::ios::binary) << text;
        return dir / "bad.gst";
    };
    Map map;
    gistest::stationLayer(map);
    auto errorOf = [&](const fs::path& p) {
        try {
            map.loadGeoset(p);
        } catch (const GisError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(errorOf(dir / "无.gst"), "无法打开地图集文件：" + (dir / "无.gst").string());
    EXPECT_EQ(errorOf(write("[layer]\nname = a\n")), "不是地图集文件：缺少 [geoset] 节的 version");
    EXPECT_EQ(errorOf(write("[geoset]\nversion = 1\n\n[layer]\nname = a\nvisible = 也许\n")),
              "地图集第 6 行：“也许”不是 true 或 false");
    EXPECT_EQ(errorOf(write("[geoset]\nversion = 1\n[layer]\nname = a\nstyle = LinePatern=3\n")),
              "地图集第 5 行：未知的样式项：LinePatern");
    EXPECT_EQ(errorOf(write("[geoset]\nversion = 1\n[图层]\n")), "地图集第 3 行：未知的节“[图层]”");
    const std::string missing =
        "[geoset]\nversion = 1\n[layer]\nname = a\nsource = " + gistest::sourceData("lines.geojson") +
        "\nsource.layer = 无此图层\n";
    EXPECT_EQ(errorOf(write(missing)),
              "图层数据“" + gistest::sourceData("lines.geojson") + "”中没有图层“无此图层”");
    ASSERT_EQ(map.Layers().Count(), 1);
    EXPECT_EQ(map.Layers().Item(1).Name(), "站点");
}

namespace {

// A site's own base map: two towns in a file of the given OGR driver, their
// Chinese names in the given encoding.
void writeTowns(const fs::path& file, const char* driverName, const char* encoding, const char* column) {
    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    ASSERT_NE(driver, nullptr);
    std::unique_ptr<GDALDataset> ds(driver->Create(file.string().c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    ASSERT_NE(ds, nullptr);
    OGRSpatialReference srs;
    srs.importFromEPSG(4326);
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    char** options = CSLSetNameValue(nullptr, "ENCODING", encoding);
    OGRLayer* layer = ds->CreateLayer("towns", &srs, wkbPoint, options);
    CSLDestroy(options);
    ASSERT_NE(layer, nullptr);
    OGRFieldDefn name(column, OFTString);
    ASSERT_EQ(layer->CreateField(&name), OGRERR_NONE);
    for (auto [text, x, y] : {std::tuple{"朝阳区", 116.44, 39.92}, std::tuple{"海淀区", 116.30, 39.96}}) {
        OGRFeature f(layer->GetLayerDefn());
        f.SetField(0, text);
        f.SetGeometryDirectly(new OGRPoint(x, y));
        ASSERT_EQ(layer->CreateFeature(&f), OGRERR_NONE);
    }
}

} // namespace

// Base maps in GBK from older systems read as the same Chinese texts.
TEST_F(GeosetFiles, ReadsChineseTextsOfShapefilesAndMapInfoTables) {
    writeTowns(dir / "towns.shp", "ESRI Shapefile", "GBK", "名称");
    // GDAL cannot write Chinese field names into a MapInfo table; the texts it can.
    writeTowns(dir / "towns.tab", "MapInfo File", "CP936", "NAME");
    std::ofstream(dir / "base.gst") << "[geoset]\nversion = 1\n"
                                       "[layer]\nname = 区县_shp\ncolumns = 名称\nsource = towns.shp\n"
                                       "[layer]\nname = 区县_tab\ncolumns = name\nsource = towns.tab\n";
    Map map;
    map.loadGeoset(dir / "base.gst");
    for (const char* layer : {"区县_shp", "区县_tab"}) {
        SCOPED_TRACE(layer);
        const Layer& towns = map.Layers().Item(layer);
        ASSERT_EQ(towns.featureCount(), 2);
        const auto found = towns.Search(towns.columns()[0] + R"( = "海淀区")");
        ASSERT_EQ(found.Count(), 1);
        EXPECT_NEAR(found.Item(1).CenterX(), 116.30, 1e-6);
        EXPECT_EQ(found.Item(1).Type(), FeatureType::Symbol);
    }
}

TEST(GeosetText, FormatsAndParsesTheSameGeoset) {
    Geoset g;
    g.title = "总图";
    g.center = Point(105.5, 35.25);
    g.zoom = 60;
    GeosetLayer l;
    l.name = "光缆网络分布图_骨干光缆段";
    l.kind = LayerKind::Line;
    l.columns = {"Label", "OcableCode"};
    l.autoLabel = true;
    l.style.LinePattern = 39;
    l.source = "网络.gpkg";
    l.sourceLayer = "光缆网络分布图_骨干光缆段";
    GeosetLayer empty;
    empty.name = "空图层";
    g.layers = {l, empty};
    EXPECT_EQ(parseGeoset(formatGeoset(g)), g);
    // A byte-order mark, comments and letter case of keys are accepted.
    EXPECT_EQ(parseGeoset("\xEF\xBB\xBF# x\n[GEOSET]\nVersion = 1\nTitle = 总图\n").title, "总图");
}
