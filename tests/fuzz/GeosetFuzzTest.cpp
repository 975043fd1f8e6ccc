#include "Hostile.h"

#include "platform/gis/Map.h"
#include "platform/gis/MapRenderer.h"
#include "platform/gis/SelectTools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

using namespace ocable::gis;
namespace fs = std::filesystem;

namespace {

constexpr int kCases = 1000;

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
}

// A point layer of GeoJSON whose coordinates are the given texts, written
// as they are: JSON has no NaN, but readers meet such files all the same.
std::string pointsJson(const std::vector<std::pair<std::string, std::string>>& xy) {
    std::string json = R"({"type":"FeatureCollection","features":[)";
    int n = 0;
    for (const auto& [x, y] : xy) {
        if (n) json += ",";
        json += R"({"type":"Feature","properties":{"名称":"站)" + std::to_string(n) +
                R"(","StationCode":"F)" + std::to_string(n) +
                R"("},"geometry":{"type":"Point","coordinates":[)" + x + "," + y + "]}}";
        ++n;
    }
    return json + "]}";
}

std::string lineJson(const std::string& x1, const std::string& y1, const std::string& x2,
                     const std::string& y2) {
    return R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{"Label":"1","OcableCode":"L"},)"
           R"("geometry":{"type":"LineString","coordinates":[[)" +
           x1 + "," + y1 + "],[" + x2 + "," + y2 + "]]}}]}";
}

// A temporary folder holding the sample geoset's data files, symbols and
// the hostile data files the mutations point layers at.
class GeosetFolder {
public:
    GeosetFolder() {
        dir_ = fs::temp_directory_path() / ("ocable-geoset-fuzz-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        const fs::path data = fs::path(OCABLE_SOURCE_DIR) / "tests/platform/gis/data";
        for (const char* f : {"stations.geojson", "lines.geojson", "backbone.geojson", "regions.geojson"})
            fs::copy_file(data / f, dir_ / f);
        fs::copy(data / "symbols", dir_ / "symbols", fs::copy_options::recursive);
        sample_ = readFile(data / "sample.gst");
        writeFile(dir_ / "nan.geojson",
                  pointsJson({{"NaN", "30"}, {"116", "39"}, {"Infinity", "-Infinity"}}));
        writeFile(dir_ / "huge.geojson",
                  pointsJson({{"1e308", "1e308"}, {"-1e308", "0"}, {"9e999", "1"}, {"117", "40"}}));
        writeFile(dir_ / "hugeline.geojson", lineJson("100", "30", "1e308", "1e308"));
        writeFile(dir_ / "infline.geojson", lineJson("-1e400", "30", "100", "30"));
        writeFile(dir_ / "truncated.geojson", pointsJson({{"116", "39"}}).substr(0, 60));
        writeFile(dir_ / "empty.geojson", "");
        std::string garbage(4096, '\0');
        for (std::size_t i = 0; i < garbage.size(); ++i)
            garbage[i] = static_cast<char>(i * 131 % 251);
        writeFile(dir_ / "garbage.geojson", garbage);
    }
    ~GeosetFolder() { fs::remove_all(dir_); }

    const fs::path& dir() const { return dir_; }
    const std::string& sample() const { return sample_; }

private:
    fs::path dir_;
    std::string sample_;
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

// Whatever the reader makes of the file, the map it leaves must draw,
// fit and hit-test without crash or hang.
void exercise(Map& map) {
    map.setViewSize({160, 100});
    const Rectangle all = map.fullExtent();
    map.setBounds(all.expanded(all.Width() * 0.1, all.Height() * 0.1));
    MapRenderer renderer;
    const QImage image = renderer.renderImage(map);
    ASSERT_EQ(image.size(), QSize(160, 100));
    featureAt(map, QPointF(80, 50));
    selectInRectangle(map, QRectF(0, 0, 160, 100), false);
    map.zoomAt(1e300, QPointF(80, 50));
    renderer.renderImage(map);
}

} // namespace

TEST(GeosetFuzz, MutatedGeosetsLoadOrFailCleanly) {
    GeosetFolder folder;
    fuzz::Hostile h(5);
    const fs::path file = folder.dir() / "fuzz.gst";
    int loaded = 0;
    for (int i = 0; i < kCases; ++i) {
        SCOPED_TRACE(i);
        const std::string text = mutate(folder.sample(), h);
        writeFile(file, text);
        Map map;
        try {
            map.loadGeoset(file);
            ++loaded;
        } catch (const std::exception& e) {
            ASSERT_NE(std::string(e.what()), "") << text;
        }
        ASSERT_NO_FATAL_FAILURE(exercise(map)) << text;
    }
    EXPECT_GT(loaded, kCases / 20) << "the mutations must leave some geosets readable";
}

// The hostile data files one by one behind an otherwise sound geoset, and
// geosets that are themselves giant or empty.
TEST(GeosetFuzz, HostileDataFilesAndGiantGeosets) {
    GeosetFolder folder;
    const fs::path file = folder.dir() / "one.gst";
    for (const char* source : {"nan.geojson", "huge.geojson", "hugeline.geojson", "infline.geojson",
                               "truncated.geojson", "empty.geojson", "garbage.geojson"}) {
        SCOPED_TRACE(source);
        writeFile(file,
                  std::string("[geoset]\nversion = 1\ncenter = 1e308, nan\nzoom = inf\n[layer]\nname = L\n") +
                      "source = " + source + "\n");
        Map map;
        try {
            map.loadGeoset(file);
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()), "");
        }
        ASSERT_NO_FATAL_FAILURE(exercise(map));
    }
    for (const auto& giant : fuzz::giantTexts("title")) {
        writeFile(file, "[geoset]\nversion = 1\ntitle = " + giant + "\n");
        Map map;
        try {
            map.loadGeoset(file);
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()), "");
        }
        ASSERT_NO_FATAL_FAILURE(exercise(map));
    }
}
