// The grouping of rings into polygons, the importer run over small
// hand-made packages laid out like the npm ones, and the committed base-map
// files against facts of the real country: a decoding or recoding fault in
// the importer shows up in either of the last two.
#include "BaseMapImport.h"
#include "EchartsRing.h"
#include "RingAssembly.h"

#include "support/PartContains.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <QString>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace ocable::basemap {
namespace {

namespace fs = std::filesystem;

using ocable::testsupport::partContains;
using ocable::testsupport::readText;
using ocable::testsupport::TempDir;

std::unique_ptr<GDALDataset> open(const fs::path& path) {
    GDALAllRegister();
    return std::unique_ptr<GDALDataset>(
        GDALDataset::Open(path.string().c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
}

// Decoding itself (zig-zag steps from the offsets, steps beyond ASCII) is
// shown by ImportSample, whose rings are encoded by the test and must land
// where the sketch puts them, and by CommittedBaseMap's real extents.
TEST(EchartsRing, OddLengthIsRejected) {
    EXPECT_THROW(decodeEchartsRing(QStringLiteral("@@B"), 0, 0), std::runtime_error);
}

// A closed ring, as the echarts files hold them.
Ring square(double x0, double y0, double x1, double y1) {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
}

// Sketch (not to scale):
//   main 0..10 holds lake 2..5 and, inside the lake, islet 3..4;
//   the island lies apart at 20..21. A ring whose first vertex alone lies
//   inside another is shown by ImportSample's spit.
TEST(RingAssembly, OnlyRingsWhollyInsideALargerRingAreHoles) {
    const Ring main = square(0, 0, 10, 10);
    const Ring lake = square(2, 2, 5, 5);
    const Ring islet = square(3, 3, 4, 4);
    const Ring island = square(20, 20, 21, 21);
    const auto polygons = assemblePolygons({island, lake, main, islet});

    ASSERT_EQ(polygons.size(), 3u);
    EXPECT_EQ(polygons[0].outer, island);
    EXPECT_TRUE(polygons[0].holes.empty());
    EXPECT_EQ(polygons[1].outer, main);
    ASSERT_EQ(polygons[1].holes.size(), 1u);
    EXPECT_EQ(polygons[1].holes[0], lake);
    EXPECT_EQ(polygons[2].outer, islet) << "a ring inside a hole is land again";
}

TEST(RingAssembly, CleaningRoundsClosesAndOrientsRings) {
    const Ring clockwise = {{0, 0}, {0, 1.000004}, {0, 1}, {1, 1}, {1, 0}, {0, 0}};
    const Ring outer = cleanRing(clockwise, 5, true);
    ASSERT_EQ(outer.size(), 5u) << "the repeated point after rounding and the closing point collapse";
    EXPECT_EQ(outer.front(), outer.back());
    EXPECT_GT(ringSignedArea2(outer), 0) << "outer rings run counter-clockwise";
    EXPECT_LT(ringSignedArea2(cleanRing(clockwise, 5, false)), 0) << "holes run clockwise";
    EXPECT_TRUE(cleanRing({{1, 1}, {1.000001, 1}, {2, 2}}, 5, true).empty()) << "degenerate after rounding";
}

// Encodes a ring as the echarts files do; the offsets are the first point.
std::string encodeRing(const Ring& points, std::string& offsets) {
    QString text;
    long prevX = std::lround(points[0].lng * 1024), prevY = std::lround(points[0].lat * 1024);
    offsets = "[" + std::to_string(prevX) + "," + std::to_string(prevY) + "]";
    for (auto [lng, lat] : points) {
        const long x = std::lround(lng * 1024), y = std::lround(lat * 1024);
        for (long d : {x - prevX, y - prevY})
            text += QChar(static_cast<char16_t>(((d << 1) ^ (d >> 31)) + 64));
        prevX = x;
        prevY = y;
    }
    // Characters above 0x7f go into the JSON as they are, UTF-8 encoded.
    return text.toUtf8().toStdString();
}

std::string feature(const std::string& id, const std::string& name, const std::string& cp,
                    const std::vector<Ring>& rings) {
    std::string coordinates, offsets;
    for (const auto& r : rings) {
        std::string offset;
        const std::string encoded = encodeRing(r, offset);
        coordinates += (coordinates.empty() ? "[\"" : ",[\"") + encoded + "\"]";
        offsets += (offsets.empty() ? "[" : ",[") + offset + "]";
    }
    return "{\"type\":\"Feature\",\"id\":\"" + id + "\",\"properties\":{\"name\":\"" + name +
           "\",\"cp\":" + cp + "},\"geometry\":{\"type\":\"MultiPolygon\",\"coordinates\":[" + coordinates +
           "],\"encodeOffsets\":[" + offsets + "]}}";
}

std::string collection(const std::vector<std::string>& features) {
    std::string out = "{\"type\":\"FeatureCollection\",\"UTF8Encoding\":true,\"features\":[";
    for (std::size_t i = 0; i < features.size(); ++i)
        out += (i ? "," : "") + features[i];
    return out + "]}";
}

// Sketch of the sample: province 620000 "甘肃" is a square 100..104 x 35..39
// with a lake 101..102 x 36..37 and a spit that leaves it at the north-east
// corner; province 110000 "北京" is a small square beside it. Cities: 兰州
// (current code), 嘉峪关 under an old code, 莱芜-like 旧城 that no longer exists.
class ImportSample : public testing::Test {
protected:
    void SetUp() override {
        const std::string mapDir = "echarts/map/json/";
        dir_.write(mapDir + "china.json",
                   collection({feature("620000", "甘肃", "[102,37]",
                                       {square(100, 35, 104, 39),
                                        square(101, 36, 102, 37),
                                        {{103.5, 38.5}, {105, 38.5}, {105, 40}, {103.5, 40}, {103.5, 38.5}}}),
                               feature("110000", "北京", "[116.4,39.9]", {square(116, 39.5, 117, 40.5)})}));
        dir_.write(mapDir + "china-contour.json",
                   collection({feature("0", "中华人民共和国", "[110,35]", {square(100, 35, 117, 41)})}));
        dir_.write(mapDir + "china-cities.json",
                   collection({feature("620100", "兰州", "[103.5,36.5]", {square(103, 36, 104, 37)}),
                               feature("620299", "嘉峪关", "[100.5,38.5]", {square(100, 38, 101, 39)}),
                               feature("629900", "旧城", "[101.5,35.5]", {square(101, 35, 102, 36)}),
                               feature("110000", "北京", "[116.405285,39.904989]",
                                       {square(116, 39.5, 117, 40.5)})}));
        dir_.write("pcc/dist/province.json",
                   R"([{"code":"110000","name":"北京市"},{"code":"620000","name":"甘肃省"}])");
        dir_.write("pcc/dist/city.json",
                   R"([{"code":"620100","name":"兰州市"},{"code":"620200","name":"嘉峪关市"}])");
        dir_.write("pcc/dist/area.json",
                   R"([{"code":"110101","name":"东城区"},{"code":"620101","name":"市辖区"},
            {"code":"620102","name":"城关区"},{"code":"629001","name":"无主县"}])");
        options_.echartsDir = dir_ / "echarts";
        options_.pccDir = dir_ / "pcc";
        options_.outDir = dir_ / "out";
        fs::create_directories(options_.outDir);
    }

    const TempDir dir_{"basemap-import"};
    ImportOptions options_;
};

TEST_F(ImportSample, WritesProvincesWithHolesOnlyWhereWhollyInsideAndRecodesCities) {
    const ImportSummary summary = importBaseMap(options_);
    EXPECT_EQ(summary.provinces, 2);
    EXPECT_EQ(summary.polygons, 3);
    EXPECT_EQ(summary.holes, 1);

    const auto ds = open(options_.outDir / "provinces.geojson");
    ASSERT_TRUE(ds) << "not readable as GeoJSON";
    OGRLayer* layer = ds->GetLayer(0);
    ASSERT_EQ(layer->GetFeatureCount(), 2);
    std::unique_ptr<OGRFeature> beijing(layer->GetNextFeature());
    std::unique_ptr<OGRFeature> gansu(layer->GetNextFeature());
    EXPECT_STREQ(beijing->GetFieldAsString("gbcode"), "110000");
    EXPECT_STREQ(beijing->GetFieldAsString("code"), "XZ0101");
    EXPECT_STREQ(gansu->GetFieldAsString("name"), "甘肃省");
    EXPECT_STREQ(gansu->GetFieldAsString("short_name"), "甘肃");
    EXPECT_STREQ(gansu->GetFieldAsString("code"), "XZ0102");

    OGRPoint inLake(101.5, 36.5), onLand(100.5, 35.5), onSpit(104.5, 39.5), outside(106, 36);
    const OGRGeometry* g = gansu->GetGeometryRef();
    EXPECT_FALSE(partContains(g, inLake));
    EXPECT_TRUE(partContains(g, onLand));
    EXPECT_TRUE(partContains(g, onSpit)) << "the spit was cut out as a hole";
    EXPECT_FALSE(partContains(g, outside));
    EXPECT_NE(readText(options_.outDir / "china-outline.geojson").find("中华人民共和国"), std::string::npos);

    // Cities: stale codes recoded, vanished ones dropped, districts listed.
    EXPECT_EQ(summary.cities, 3);
    EXPECT_EQ(readText(options_.outDir / "cities.csv"),
              "name,short_name,gbcode,province_gbcode,code,lng,lat\n"
              "北京市,北京,110000,110000,XZ010101,116.405285,39.904989\n"
              "兰州市,兰州,620100,620000,XZ010201,103.5,36.5\n"
              "嘉峪关市,嘉峪关,620200,620000,XZ010202,100.5,38.5\n");
    EXPECT_EQ(readText(options_.outDir / "districts.csv"), "name,gbcode,city_gbcode\n"
                                                           "东城区,110101,110000\n"
                                                           "城关区,620102,620100\n");
    std::string notes;
    for (const auto& n : summary.notes)
        notes += n + "\n";
    EXPECT_NE(notes.find("620299 -> 620200"), std::string::npos) << notes;
    EXPECT_NE(notes.find("旧城"), std::string::npos) << notes;
}

TEST_F(ImportSample, MissingPackageFileIsReported) {
    fs::remove(options_.pccDir / "dist" / "city.json");
    EXPECT_THROW(importBaseMap(options_), std::runtime_error);
}

fs::path baseMapDir() {
    const char* env = std::getenv("OCABLE_SOURCE_DIR");
    return fs::path(env && *env ? env : OCABLE_SOURCE_DIR) / "data" / "basemap";
}

TEST(CommittedBaseMap, ProvincesCarryCodesInOrderAndTheirRealExtentAndHoldTheirCitySeats) {
    auto ds = open(baseMapDir() / "provinces.geojson");
    ASSERT_TRUE(ds);
    std::map<std::string, std::string> nameByCode, regionByGb;
    std::map<std::string, std::unique_ptr<OGRGeometry>> byGb;
    for (auto& f : *ds->GetLayer(0)) {
        nameByCode[f->GetFieldAsString("code")] = f->GetFieldAsString("name");
        regionByGb[f->GetFieldAsString("gbcode")] = f->GetFieldAsString("code");
        byGb[f->GetFieldAsString("gbcode")].reset(f->GetGeometryRef()->clone());
    }
    ASSERT_EQ(nameByCode.size(), 34u);
    EXPECT_EQ(nameByCode.begin()->first, "XZ0101");
    EXPECT_EQ(nameByCode.rbegin()->first, "XZ0134");
    EXPECT_EQ(nameByCode["XZ0101"], "北京市");
    EXPECT_EQ(nameByCode["XZ0116"], "河南省");
    OGREnvelope sichuan;
    byGb["510000"]->getEnvelope(&sichuan);
    EXPECT_NEAR(sichuan.MinX, 97.35, 0.1);
    EXPECT_NEAR(sichuan.MaxX, 108.55, 0.1);
    EXPECT_NEAR(sichuan.MinY, 26.05, 0.1);
    EXPECT_NEAR(sichuan.MaxY, 34.31, 0.1);
    auto outline = open(baseMapDir() / "china-outline.geojson");
    ASSERT_TRUE(outline);
    EXPECT_EQ(outline->GetLayer(0)->GetFeatureCount(), 1);

    std::ifstream in(baseMapDir() / "cities.csv");
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "name,short_name,gbcode,province_gbcode,code,lng,lat");
    int cities = 0;
    std::map<std::string, int> perProvince;
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream ss(line);
        for (std::string field; std::getline(ss, field, ',');)
            f.push_back(field);
        ASSERT_EQ(f.size(), 7u) << line;
        ASSERT_TRUE(byGb.count(f[3])) << line;
        OGRPoint seat(std::stod(f[5]), std::stod(f[6]));
        EXPECT_TRUE(partContains(byGb[f[3]].get(), seat)) << line;
        EXPECT_EQ(f[4].size(), 8u) << line;
        EXPECT_EQ(f[4].substr(0, 6), regionByGb[f[3]]) << line;
        ++perProvince[f[3]];
        ++cities;
    }
    EXPECT_EQ(cities, 366);               // without 莱芜, merged into 济南 in 2019
    EXPECT_EQ(perProvince["410000"], 18); // 17 prefecture-level cities and 济源
    EXPECT_EQ(perProvince["650000"], 14 + 7);
}

} // namespace
} // namespace ocable::basemap
