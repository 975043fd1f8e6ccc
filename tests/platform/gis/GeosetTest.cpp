#include "GisTestData.h"
#include "support/TempDir.h"

#include "platform/gis/GeosetFile.h"
#include "platform/gis/GeosetStore.h"
#include "platform/gis/GisError.h"
#include "platform/gis/QuietGdal.h"

#include <gdal_utils.h>
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

using namespace ocable::gis;
using ocable::testsupport::readText;
namespace fs = std::filesystem;

// The file-system calls of a save, seen from the test: fsync and rename are
// taken over here while a test records them, and passed on to the C library.
namespace {
std::mutex diskMutex;
std::vector<std::string>* diskCalls = nullptr; // while recording: "sync <path>", "rename <from> <to>"

void recordDisk(const std::string& call) {
    std::lock_guard lock(diskMutex);
    if (diskCalls) diskCalls->push_back(call);
}
} // namespace

extern "C" int fsync(int fd) {
    static auto next = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    std::error_code ec;
    recordDisk("sync " + fs::read_symlink("/proc/self/fd/" + std::to_string(fd), ec).string());
    return next(fd);
}

extern "C" int rename(const char* from, const char* to) {
    static auto next = reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"));
    recordDisk(std::string("rename ") + from + " " + to);
    return next(from, to);
}

namespace {

// The fsync and rename calls made while f runs, by any thread.
std::vector<std::string> diskCallsOf(const std::function<void()>& f) {
    std::vector<std::string> calls;
    {
        std::lock_guard lock(diskMutex);
        diskCalls = &calls;
    }
    f();
    std::lock_guard lock(diskMutex);
    diskCalls = nullptr;
    return calls;
}

class GeosetFiles : public testing::Test {
protected:
    ocable::testsupport::TempDir temp{"gis-geoset"};
    fs::path dir = temp.path();
};

// The sample map (symbols of two bitmaps, lines with their own patterns,
// regions with a hole, labels in several styles, a layer that cannot be
// selected) with what a saved network holds beyond it: a line in two parts
// and a region of two islands in a hidden layer with overlapping labels.
void buildNetwork(Map& map) {
    map.loadGeoset(gistest::sourceData("sample.gst"));
    Layer& lines = map.Layers().Item("示例_线路");
    lines.setVisible(false);
    LabelStyle label = lines.LabelStyle();
    label.Overlap = true;
    lines.setLabelStyle(label);
    lines.AddFeature(FeatureFactory::CreateLine(
                         Parts{Points{{116, 39}, {117, 38}, {118, 37.5}}, Points{{119, 36}, {120, 35}}},
                         lines.defaultStyle()),
                     RowValues(lines.columns(), {"(北京-上海) 长度:1200KM", "OC1"}));
    Layer& regions = map.Layers().Item("示例_区域");
    regions.AddFeature(FeatureFactory::CreateRegion(Parts{Points{{100, 20}, {101, 20}, {101, 21}},
                                                          Points{{105, 20}, {106, 20}, {106, 21}}},
                                                    regions.defaultStyle()),
                       RowValues(regions.columns(), {"两岛", "R9"}));
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

// Layers from any OGR source with their own styles, saved and loaded back.
// The view closes while the save is still writing: what is written is the
// map as it stood at the call, even when the map is changed and destroyed
// right after (the sanitizers see any read of the destroyed layers).
TEST_F(GeosetFiles, SavedMapLoadsBackWithEverything) {
    const fs::path gst = dir / "光缆网络分布图.gst";
    auto saved = std::make_unique<Map>();
    buildNetwork(*saved);
    saved->setSymbolFolder(dir / "符号");
    saved->saveGeoset("光缆网络分布图", gst);
    for (int i = 1; i <= saved->Layers().Count(); ++i) {
        Layer& layer = saved->Layers().Item(i);
        for (const Feature& f : layer.AllFeatures())
            layer.DeleteFeature(f);
    }
    saved.reset();
    GeosetStore::finishSaving();

    Map expected, loaded;
    buildNetwork(expected);
    loaded.setViewSize({800, 600});
    loaded.Layers().CreateLayer("旧图层");
    loaded.loadGeoset(gst);
    expectSameLayers(expected, loaded);
    // The title, the symbol folder and the centre are in the text compared
    // after saving again below; the zoom is not.
    EXPECT_NEAR(loaded.Zoom(), expected.Zoom(), 1e-9);
    // What the sample's own files say, kept through the round trip (the
    // layers' order and look are the sample picture's, RenderCommand tests).
    const Layer& stations = loaded.Layers().Item("示例_站点");
    const Feature relay = stations.Search(R"(StationCode = "S07")").Item(1);
    EXPECT_EQ(relay.Style().SymbolBitmapName, "示例_中继站.BMP");
    EXPECT_EQ(relay.Name(), "沧州");
    EXPECT_EQ(stations.Search(R"(StationCode = "S01")").Item(1).Style(), stations.defaultStyle());
    EXPECT_EQ(loaded.Layers().Item("示例_线路").Search(R"(Label = "图案51")").Item(1).Style().LinePattern,
              51);
    EXPECT_EQ(loaded.Layers().Item("示例_区域").Search(R"(代码 = "R2")").Item(1).Parts().Count(),
              2); // a hole

    // Saving the loaded map again gives the same layers (the zoom may move in its last digit).
    auto withoutZoom = [](std::string text) {
        return text.erase(text.find("zoom = "), text.find('\n', text.find("zoom = ")) - text.find("zoom = "));
    };
    const std::string first = readText(gst);
    const auto calls = diskCallsOf([&] {
        loaded.saveGeoset("", gst);
        GeosetStore::finishSaving();
    });
    EXPECT_EQ(withoutZoom(readText(gst)), withoutZoom(first));
    // Each file is on disk before it takes its old one's place, and the
    // folder after both renames, so a power cut leaves the old geoset or the
    // new one. The data goes first: a geoset never names data not there.
    const std::string dataTmp = (dir / "光缆网络分布图.gpkg.tmp").string(), gstTmp = gst.string() + ".tmp";
    EXPECT_EQ(calls,
              (std::vector<std::string>{"sync " + dataTmp, "sync " + gstTmp,
                                        "rename " + dataTmp + " " + (dir / "光缆网络分布图.gpkg").string(),
                                        "rename " + gstTmp + " " + gst.string(), "sync " + dir.string()}));
}

// A save that fails keeps the previous files and leaves nothing aside,
// whether nothing can be written aside (it fails at the call) or the geoset
// cannot take the old one's place (it fails after the call returned, and is
// reported to whoever waits for it).
TEST_F(GeosetFiles, FailingSaveKeepsThePreviousFiles) {
    Map map;
    buildNetwork(map);
    const fs::path gst = dir / "网络.gst";
    map.saveGeoset("第一版", gst);
    GeosetStore::finishSaving();
    const std::string oldText = readText(gst), oldData = readText(dir / "网络.gpkg");

    map.Layers().Item(1).AddFeature(FeatureFactory::CreateSymbol({100, 30}, Style()));
    for (const char* blocked : {"网络.gpkg.tmp", "网络.gst.tmp"}) {
        SCOPED_TRACE(blocked);
        fs::create_directories(dir / blocked / "占用");
        EXPECT_THROW(map.saveGeoset("第二版", gst), GisError);
        fs::remove_all(dir / blocked);
        EXPECT_EQ(readText(gst), oldText);
        EXPECT_EQ(readText(dir / "网络.gpkg"), oldData);
        EXPECT_FALSE(fs::exists(dir / "网络.gpkg.tmp"));
    }

    fs::remove(gst);
    fs::create_directories(gst / "占用");
    EXPECT_NO_THROW(map.saveGeoset("第二版", gst));
    EXPECT_THROW(GeosetStore::finishSaving(), GisError);
    EXPECT_NO_THROW(GeosetStore::finishSaving()); // reported once
    EXPECT_FALSE(fs::exists(dir / "网络.gst.tmp"));
    EXPECT_FALSE(fs::exists(dir / "网络.gpkg.tmp"));
}

// Each problem is refused with a message naming it, and the map keeps what
// it held.
TEST_F(GeosetFiles, ProblemsAreReportedAndTheMapIsLeftAlone) {
    struct Problem {
        std::string name;
        std::string text; // the geoset; empty: no file at all
        std::string message;
    };
    const std::string head = "[geoset]\nversion = 1\n", lines = gistest::sourceData("lines.geojson");
    std::vector<Problem> problems = {
        {"missingFile", "", "无法打开地图集文件：" + (dir / "bad.gst").string()},
        {"noVersion", "[layer]\nname = a\n", "不是地图集文件：缺少 [geoset] 节的 version"},
        {"notABoolean", head + "\n[layer]\nname = a\nvisible = 也许\n",
         "地图集第 6 行：“也许”不是 true 或 false"},
        {"unknownStyleKey", head + "[layer]\nname = a\nstyle = LinePatern=3\n",
         "地图集第 5 行：未知的样式项：LinePatern"},
        {"unknownSection", head + "[图层]\n", "地图集第 3 行：未知的节“[图层]”"},
        {"missingSourceLayer", head + "[layer]\nname = a\nsource = " + lines + "\nsource.layer = 无此图层\n",
         "图层数据“" + lines + "”中没有图层“无此图层”"},
        // A local file that only points elsewhere (a virtual dataset naming a
        // web address) is not opened either; GDAL's reason follows in brackets.
        {"virtualDataset", head + "[layer]\nname = 底图\nsource = towns.vrt\n",
         "无法打开图层数据：" + (dir / "towns.vrt").string()},
        {"centreOverflow", head + "center = 9e999, 30\n", "地图集第 3 行：“9e999”不是数值"},
    };
    // A centre or zoom that would leave the view nowhere, refused with the
    // line rather than carried into the map where it would hang the drawing.
    for (const char* centre : {"nan, 30", "105, inf", "-Infinity, 30", "1e308, 30"})
        problems.push_back({std::string("center = ") + centre, head + "center = " + centre + "\n",
                            std::string("地图集第 3 行：center“") + centre + "”不是有效的经纬度"});
    for (const char* zoom : {"nan", "inf", "-5", "0"})
        problems.push_back({std::string("zoom = ") + zoom, head + "zoom = " + zoom + "\n",
                            std::string("地图集第 3 行：zoom“") + zoom + "”应为大于 0 的有限数值"});
    // GDAL would fetch these over the network or from a server; a geoset
    // names local files only. One row for each way of naming them: a virtual
    // file system in any letter case, a URL, a connection text, and a path
    // that only leads to a virtual file system once resolved.
    for (const char* source : {"/vsis3/bucket/towns.shp", "/VSICURL_STREAMING/127.0.0.1:9/a.json",
                               "https://127.0.0.1:9/towns.geojson", "PG:dbname=gis host=127.0.0.1",
                               "../../../../../../../../../../vsis3/bucket/a.shp"})
        problems.push_back(
            {source, head + "[layer]\nname = 底图\nsource = " + source + "\n",
             "地图集的图层“底图”的数据来源“" + std::string(source) + "”不是本地文件，只读取本地文件"});

    temp.write("towns.vrt", "<OGRVRTDataSource><OGRVRTLayer name=\"towns\">"
                            "<SrcDataSource>/vsicurl/http://127.0.0.1:9/towns.geojson</SrcDataSource>"
                            "</OGRVRTLayer></OGRVRTDataSource>\n");
    Map map;
    gistest::stationLayer(map);
    for (const Problem& row : problems) {
        SCOPED_TRACE(row.name);
        fs::remove(dir / "bad.gst");
        if (!row.text.empty()) temp.write("bad.gst", row.text);
        const std::string message = gistest::errorOf([&] { map.loadGeoset(dir / "bad.gst"); });
        EXPECT_EQ(message.substr(0, message.find("（")), row.message);
        ASSERT_EQ(map.Layers().Count(), 1);
        EXPECT_EQ(map.Layers().Item(1).Name(), "站点");
    }
    // What is accepted: a byte-order mark, comments and letter case of keys.
    EXPECT_EQ(parseGeoset("\xEF\xBB\xBF# x\n[GEOSET]\nVersion = 1\nTitle = 总图\n").title, "总图");
}

namespace {

// A site's own base map: the sample's stations copied by GDAL's own
// translation (the arguments are ogr2ogr's) into a file of another format.
void copyStations(const fs::path& file, std::vector<const char*> args) {
    QuietGdal quiet;
    GDALDatasetH source = GDALOpenEx(gistest::sourceData("stations.geojson").c_str(), GDAL_OF_VECTOR, nullptr,
                                     nullptr, nullptr);
    args.push_back(nullptr);
    GDALVectorTranslateOptions* options =
        GDALVectorTranslateOptionsNew(const_cast<char**>(args.data()), nullptr);
    GDALClose(GDALVectorTranslate(file.string().c_str(), nullptr, 1, &source, options, nullptr));
    GDALVectorTranslateOptionsFree(options);
    GDALClose(source);
}

} // namespace

// Base maps in GBK from older systems read as the same Chinese texts.
TEST_F(GeosetFiles, ReadsChineseTextsOfShapefilesAndMapInfoTables) {
    copyStations(dir / "stations.shp", {"-f", "ESRI Shapefile", "-lco", "ENCODING=GBK"});
    // GDAL cannot write Chinese field names into a MapInfo table; the texts it can.
    copyStations(dir / "stations.tab", {"-f", "MapInfo File", "-lco", "ENCODING=CP936", "-sql",
                                        "SELECT \"名称\" AS NAME FROM stations"});
    Map map;
    map.loadGeoset(temp.write("base.gst",
                              "[geoset]\nversion = 1\n"
                              "[layer]\nname = 站点_shp\ncolumns = 名称\nsource = stations.shp\n"
                              "[layer]\nname = 站点_tab\ncolumns = name\nsource = stations.tab\n"));
    for (const char* layer : {"站点_shp", "站点_tab"}) {
        SCOPED_TRACE(layer);
        const Layer& stations = map.Layers().Item(layer);
        EXPECT_NEAR(stations.Search(stations.columns()[0] + R"( = "石家庄")").Item(1).CenterX(), 114.51,
                    1e-6);
    }
}
