// The committed base-map files against facts of the real country: a decoding
// or recoding fault in the importer shows up here.
#include "support/PartContains.h"
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace {

namespace fs = std::filesystem;

using ocable::testsupport::partContains;

fs::path baseMapDir() {
    const char* env = std::getenv("OCABLE_SOURCE_DIR");
    return fs::path(env && *env ? env : OCABLE_SOURCE_DIR) / "data" / "basemap";
}

std::unique_ptr<GDALDataset> open(const fs::path& path) {
    GDALAllRegister();
    return std::unique_ptr<GDALDataset>(
        GDALDataset::Open(path.string().c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
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
        if (f[0] == "北京市") {
            EXPECT_NEAR(seat.getX(), 116.405, 0.01);
            EXPECT_NEAR(seat.getY(), 39.905, 0.01);
        }
        EXPECT_NE(f[0], "莱芜市") << "merged into 济南 in 2019";
        ++perProvince[f[3]];
        ++cities;
    }
    EXPECT_EQ(cities, 366);
    EXPECT_EQ(perProvince["410000"], 18); // 17 prefecture-level cities and 济源
    EXPECT_EQ(perProvince["650000"], 14 + 7);
}

} // namespace
