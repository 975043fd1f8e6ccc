#include "Hostile.h"
#include "support/ErrorCapture.h"
#include "support/TempDir.h"

#include "platform/gis/Map.h"
#include "platform/gis/MapRenderer.h"
#include "platform/gis/SelectTools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace ocable::gis;
namespace fs = std::filesystem;

namespace {

constexpr int kCases = 1000;

// A GeoJSON layer of the given geometries with the columns of the sample's
// stations and lines, their coordinates written as they are: JSON has no
// NaN, but readers meet such files all the same.
std::string collection(const std::vector<std::string>& geometries) {
    std::string json = R"({"type":"FeatureCollection","features":[)";
    for (std::size_t i = 0; i < geometries.size(); ++i)
        json += (i ? "," : "") + std::string(R"({"type":"Feature","properties":{"名称":"站)") +
                std::to_string(i) + R"(","StationCode":"F)" + std::to_string(i) +
                R"(","Label":"1","OcableCode":"L"},"geometry":)" + geometries[i] + "}";
    return json + "]}";
}

std::string point(const std::string& x, const std::string& y) {
    return R"({"type":"Point","coordinates":[)" + x + "," + y + "]}";
}

std::string line(const std::string& x1, const std::string& y1, const std::string& x2, const std::string& y2) {
    return R"({"type":"LineString","coordinates":[[)" + x1 + "," + y1 + "],[" + x2 + "," + y2 + "]]}";
}

// A temporary folder holding the sample geoset's data files, symbols and
// the hostile data files the mutations point layers at.
struct GeosetFolder : ocable::testsupport::TempDir {
    GeosetFolder() : TempDir("geoset-fuzz") {
        const fs::path data = fs::path(OCABLE_SOURCE_DIR) / "tests/platform/gis/data";
        for (const char* f : {"stations.geojson", "lines.geojson", "backbone.geojson", "regions.geojson"})
            fs::copy_file(data / f, path() / f);
        fs::copy(data / "symbols", path() / "symbols", fs::copy_options::recursive);
        sample = ocable::testsupport::readText(data / "sample.gst");
        write("nan.geojson", collection({point("NaN", "30"), point("116", "39"),
                                         point("Infinity", "-Infinity"), line("100", "30", "NaN", "30")}));
        write("huge.geojson", collection({point("1e308", "1e308"), point("-1e308", "0"), point("9e999", "1"),
                                          point("117", "40")}));
        write("hugeline.geojson", collection({line("100", "30", "1e308", "1e308")}));
        write("infline.geojson", collection({line("-1e400", "30", "100", "30")}));
        write("truncated.geojson", collection({point("116", "39")}).substr(0, 60));
        write("empty.geojson", "");
        write("garbage.geojson", fuzz::Hostile(9).bytes(4096));
    }

    std::string sample;
};

// The sample geoset with some of its lines replaced, removed, repeated or
// joined by new ones. Layer sources only ever name files in the folder:
// the reader must never be sent to the network or a device by a test.
std::string mutate(const std::string& sample, fuzz::Hostile& h) {
    static const std::vector<std::string> keys = {"version", "title",      "symbols", "center",  "zoom",
                                                  "name",    "kind",       "columns", "visible", "autolabel",
                                                  "label",   "selectable", "style",   "source"};
    static const std::vector<std::string> numbers = {"nan",    "inf", "-Infinity", "1e308",  "9e999",
                                                     "-1e308", "0",   "105.5",     "1e-320", "35.25"};
    static const std::vector<std::string> sources = {
        "stations.geojson",  "nan.geojson",   "huge.geojson",    "hugeline.geojson", "infline.geojson",
        "truncated.geojson", "empty.geojson", "garbage.geojson", "missing.geojson",  "",
        "symbols",           "lines.geojson"};
    static const std::vector<std::string> styles = {
        "SymbolBitmapSize=1e308", "SymbolBitmapSize=-5", "LineWidth=nan", "LineWidth=99999999999",
        "LinePattern=-1",         "FontSize=inf",        "FontSize=0",    "RegionPattern=1e9",
        "SymbolColor=#GGGGGG",    "Position=nan",        "Column=99",     "Column=-3"};
    std::vector<std::string> lines;
    std::istringstream in(sample);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    const int edits = 1 + h.below(4);
    for (int e = 0; e < edits; ++e) {
        auto& line = lines[static_cast<std::size_t>(h.below(static_cast<int>(lines.size())))];
        const std::string& key = h.pick(keys);
        switch (h.below(8)) {
        case 0:
            line = key + " = " + h.pick(numbers) + ", " + h.pick(numbers);
            break;
        case 1:
            line = key + " = " + h.pick(numbers);
            break;
        case 2:
            line = "source = " + h.pick(sources);
            break;
        case 3:
            line = (h.chance(50) ? "style = " : "label = ") + h.pick(styles) + ";" + h.pick(styles);
            break;
        case 4:
            line = key + " = " + h.sentence({"a", ",", "=", ";", "[layer]", "true"}, 6);
            break;
        case 5:
            line = h.pick(fuzz::hostileWords()) + h.bytes(8);
            break;
        case 6:
            lines.push_back(line);
            break;
        default:
            line = h.chance(50) ? "[layer]" : "[geoset]";
        }
    }
    std::string out;
    for (const auto& line : lines)
        out += line + "\n";
    return out;
}

// Whatever the reader makes of the geoset, the map it leaves must draw, fit
// and hit-test without crash or hang. Returns the number of features loaded,
// or -1 when the geoset was refused.
int loadAndExercise(const GeosetFolder& folder, const std::string& text) {
    Map map;
    int loaded = 0;
    try {
        map.loadGeoset(folder.write("fuzz.gst", text));
        for (int i = 1; i <= map.Layers().Count(); ++i)
            loaded += map.Layers().Item(i).featureCount();
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()), "") << text;
        loaded = -1;
    }
    map.setViewSize({160, 100});
    const Rectangle all = map.fullExtent();
    map.setBounds(all.expanded(all.Width() * 0.1, all.Height() * 0.1));
    MapRenderer renderer;
    EXPECT_EQ(renderer.renderImage(map).size(), QSize(160, 100)) << text;
    featureAt(map, QPointF(80, 50));
    selectInRectangle(map, QRectF(0, 0, 160, 100), false);
    map.zoomAt(1e300, QPointF(80, 50));
    renderer.renderImage(map);
    return loaded;
}

} // namespace

TEST(GeosetFuzz, MutatedGeosetsLoadOrFailCleanly) {
    GeosetFolder folder;
    fuzz::Hostile h(5);
    int loaded = 0;
    for (int i = 0; i < kCases; ++i) {
        SCOPED_TRACE(i);
        loaded += loadAndExercise(folder, mutate(folder.sample, h)) >= 0;
        if (HasFailure()) break;
    }
    EXPECT_GT(loaded, kCases / 20) << "the mutations must leave some geosets readable";
}

// The hostile data files one by one behind an otherwise sound geoset: those
// the reader can open load with their good features only, each bad one
// passed over with a warning naming the file; the others are refused. Then
// geosets that are themselves giant.
TEST(GeosetFuzz, HostileDataFilesAndGiantGeosets) {
    GeosetFolder folder;
    const std::pair<const char*, int> sources[] = {
        {"nan.geojson", 1},        {"huge.geojson", 1},   {"hugeline.geojson", 0}, {"infline.geojson", 0},
        {"truncated.geojson", -1}, {"empty.geojson", -1}, {"garbage.geojson", -1}};
    for (const auto& [source, features] : sources) {
        SCOPED_TRACE(source);
        ocable::testsupport::ErrorCapture capture;
        EXPECT_EQ(loadAndExercise(folder, std::string("[geoset]\nversion = 1\n[layer]\nname = L\nsource = ") +
                                              source + "\n"),
                  features);
        const QStringList warnings = capture.messages().filter("ocable.gis: ");
        EXPECT_EQ(warnings.isEmpty(), features < 0);
        for (const QString& text : warnings)
            EXPECT_TRUE(text.contains((folder.path() / source).string().c_str())) << text.toStdString();
    }
    for (const auto& giant : fuzz::giantTexts("title"))
        loadAndExercise(folder, "[geoset]\nversion = 1\ntitle = " + giant + "\n");
}
