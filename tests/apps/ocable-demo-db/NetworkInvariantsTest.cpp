// Properties of the generated network that the map and its users rely on,
// checked on the small network of seed 1.
#include "BaseMap.h"
#include "DemoDbTestSupport.h"
#include "Scale.h"

#include "support/PartContains.h"
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <numeric>
#include <set>

namespace ocable::demo::test {
namespace {

using ocable::testsupport::partContains;

// Province polygons by region code, read with OGR rather than our own reader.
std::map<std::string, std::unique_ptr<OGRGeometry>> provincePolygons() {
    GDALAllRegister();
    const std::string path = (sourceDir() / "data" / "basemap" / "provinces.geojson").string();
    std::unique_ptr<GDALDataset> ds(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    std::map<std::string, std::unique_ptr<OGRGeometry>> polygons;
    if (!ds) return polygons;
    for (auto& feature : *ds->GetLayer(0))
        polygons[feature->GetFieldAsString("code")].reset(feature->GetGeometryRef()->clone());
    return polygons;
}

TEST(DemoNetwork, EveryStationWithCoordinatesLiesInsideItsProvince) {
    const auto polygons = provincePolygons();
    ASSERT_EQ(polygons.size(), 34u);
    Db db(smallDemoDb());
    int checked = 0;
    for (const Row& r :
         db.rows("SELECT STATIONCODE, PROVINCE, LNG, LAT FROM STATION WHERE LNG IS NOT NULL")) {
        const auto it = polygons.find(r[1].value_or(""));
        ASSERT_NE(it, polygons.end()) << "station " << *r[0] << " has no known province";
        OGRPoint p(std::stod(*r[2]), std::stod(*r[3]));
        EXPECT_TRUE(partContains(it->second.get(), p))
            << "station " << *r[0] << " at " << *r[2] << "," << *r[3] << " lies outside " << *r[1];
        ++checked;
    }
    EXPECT_GT(checked, 250);
}

TEST(DemoNetwork, CableNamesJoinTheirEndStationsNamesWithEitherDash) {
    Db db(smallDemoDb());
    int fullWidth = 0;
    for (const Row& r :
         db.rows("SELECT O.OCABLECODE, O.OCABLENAME, A.STATIONNAME, Z.STATIONNAME FROM EN_OCABLE O "
                 "JOIN STATION A ON A.STATIONCODE = O.STATION_A "
                 "JOIN STATION Z ON Z.STATIONCODE = O.STATION_Z")) {
        const bool ascii = *r[1] == *r[2] + "-" + *r[3];
        const bool wide = *r[1] == *r[2] + "－" + *r[3];
        EXPECT_TRUE(ascii || wide) << *r[0] << ": " << *r[1];
        fullWidth += wide;
    }
    EXPECT_GT(fullWidth, 0);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM EN_OCABLE"),
              db.count("SELECT COUNT(*) FROM EN_OCABLE O JOIN STATION A ON A.STATIONCODE = O.STATION_A "
                       "JOIN STATION Z ON Z.STATIONCODE = O.STATION_Z"));
    EXPECT_EQ(db.count("SELECT COUNT(*) - COUNT(DISTINCT STATIONNAME) FROM STATION"), 0)
        << "station names repeat";
}

struct NamedCondition {
    const char* name;
    const char* sql;
};

TEST(DemoNetwork, EveryStationClassAndTypeCombinationOccurs) {
    const NamedCondition cases[] = {
        {"terminal by X_STATIONTYPE", "X_STATIONTYPE = 'ZY010301'"},
        {"terminal by STATIONTYPE_II", "STATIONTYPE_II = 'ZY010301'"},
        {"terminal by STATIONTYPE_III", "STATIONTYPE_III = 'ZY010301'"},
        {"terminal by STATIONTYPE only", "STATIONTYPE = 'ZY502401' AND 'ZY010301' NOT IN "
                                         "(IFNULL(X_STATIONTYPE, ''), IFNULL(STATIONTYPE_II, ''), "
                                         "IFNULL(STATIONTYPE_III, ''))"},
        {"relay by X_STATIONTYPE", "X_STATIONTYPE = 'ZY010312'"},
        {"relay by STATIONTYPE_II", "STATIONTYPE_II = 'ZY010312'"},
        {"relay by STATIONTYPE_III", "STATIONTYPE_III = 'ZY010312'"},
        {"relay by STATIONTYPE only", "STATIONTYPE = 'ZY502402' AND 'ZY010312' NOT IN (IFNULL(X_STATIONTYPE, "
                                      "''), IFNULL(STATIONTYPE_II, ''), "
                                      "IFNULL(STATIONTYPE_III, ''))"},
        {"terminal and relay", "X_STATIONTYPE = 'ZY010301' AND STATIONTYPE_II = 'ZY010312'"},
        {"three types empty", "X_STATIONTYPE IS NULL AND STATIONTYPE_II IS NULL AND STATIONTYPE_III IS NULL"},
        {"all four types empty",
         "X_STATIONTYPE IS NULL AND STATIONTYPE_II IS NULL AND STATIONTYPE_III IS NULL "
         "AND STATIONTYPE IS NULL"},
        {"other station",
         "'ZY010301' NOT IN (IFNULL(X_STATIONTYPE, ''), IFNULL(STATIONTYPE_II, ''), "
         "IFNULL(STATIONTYPE_III, '')) AND 'ZY010312' NOT IN (IFNULL(X_STATIONTYPE, ''), "
         "IFNULL(STATIONTYPE_II, ''), IFNULL(STATIONTYPE_III, '')) AND IFNULL(STATIONTYPE, '') "
         "NOT IN ('ZY502401', 'ZY502402', 'ZY502406')"},
        {"resource type ZY502406", "STATIONTYPE = 'ZY502406'"},
        {"without coordinates", "LNG IS NULL AND LAT IS NULL"},
        {"with alarms", "CRITICAL_A || MAJOR_A || MINOR_A || WARNING_A || INDETERMIN_A <> '00000'"},
        {"in the home province's capital", "CITY = 'XZ011601'"},
    };
    Db db(smallDemoDb());
    for (const auto& c : cases)
        EXPECT_GT(db.count(std::string("SELECT COUNT(*) FROM STATION WHERE ") + c.sql), 0) << c.name;
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM STATION WHERE CRITICAL_C IS NULL OR INDETERMIN_A IS NULL"), 0);
}

TEST(DemoNetwork, EveryLevelAndLayModeTheMapDistinguishesOccurs) {
    Db db(smallDemoDb());
    const char* resLevels[] = {"ZY132001", "ZY132002", "ZY132003", "ZY132004",
                               "ZY110502", "ZY110503", "ZY110504", "ZY110505"};
    for (const char* level : resLevels)
        EXPECT_GT(db.count(std::string("SELECT COUNT(*) FROM EN_OCABLE WHERE RESLEVEL = '") + level + "'"), 0)
            << "RESLEVEL " << level;
    EXPECT_GT(db.count("SELECT COUNT(*) FROM EN_OCABLE WHERE RESLEVEL IS NULL"), 0);
    EXPECT_GT(db.count("SELECT COUNT(*) FROM EN_OCABLE WHERE X_SYSLEVEL = 'ZY110502'"), 0);
    EXPECT_GT(db.count("SELECT COUNT(*) FROM EN_OCABLE WHERE X_SYSLEVEL IS NULL"), 0);

    const char* layModes[] = {"ZY130301", "ZY130302", "ZY130303", "ZY130304", "ZY130305",
                              "ZY130399", "ZY511201", "ZY511202", "ZY511203", "ZY511204",
                              "ZY511205", "ZY511299", "",         "ZY130306", "ZY511206"};
    for (const char* mode : layModes)
        EXPECT_GT(
            db.count(std::string("SELECT COUNT(*) FROM MAP_V_EN_OCABLE WHERE LAYMODE = '") + mode + "'"), 0)
            << "lay mode '" << mode << "'";
    EXPECT_GT(db.count("SELECT COUNT(*) FROM MAP_V_EN_OCABLE WHERE LAYMODE IS NULL"), 0);
    EXPECT_GT(db.count("SELECT COUNT(*) FROM MAP_V_EN_MW_Seg"), 0);
}

TEST(DemoNetwork, ParallelGroupsOfTwoToFourAreStoredInBothDirections) {
    Db db(smallDemoDb());
    const auto groups =
        db.rows("SELECT COUNT(*), COUNT(DISTINCT STATION_A) FROM EN_OCABLE "
                "GROUP BY MIN(STATION_A, STATION_Z), MAX(STATION_A, STATION_Z) HAVING COUNT(*) > 1");
    std::map<int, int> bySize;
    for (const Row& g : groups) {
        ++bySize[std::stoi(*g[0])];
        EXPECT_EQ(*g[1], "2") << "a group of " << *g[0] << " is stored one way only";
    }
    EXPECT_GT(bySize[2], 0);
    EXPECT_GT(bySize[3], 0);
    EXPECT_GT(bySize[4], 0);
    EXPECT_EQ(bySize.rbegin()->first, 4);
}

// The label grouping truncates coordinate texts longer than 10 characters to
// six decimals: the surveyed group must differ only beyond that.
std::string truncated(const std::string& text) {
    if (text.size() <= 10) return text;
    const auto dot = text.find('.');
    return text.substr(0, dot) + text.substr(dot, 7);
}

TEST(DemoNetwork, SurveyedParallelSegmentsDifferOnlyBeyondTheSixthDecimal) {
    Db db(smallDemoDb());
    const auto surveyed = db.rows("SELECT STATION_A, STATION_Z FROM EN_OCABLE WHERE LNG_A IS NOT NULL");
    ASSERT_FALSE(surveyed.empty());
    const std::string a = *surveyed[0][0], z = *surveyed[0][1];
    const auto members = db.rows("SELECT LNG_A, LAT_A, LNG_Z, LAT_Z, STATION_A FROM MAP_V_EN_OCABLE WHERE "
                                 "(STATION_A = '" +
                                 a + "' AND STATION_Z = '" + z + "') OR (STATION_A = '" + z +
                                 "' AND STATION_Z = '" + a + "') ORDER BY OCABLECODE");
    ASSERT_GE(members.size(), 3u);
    std::set<std::string> raw, normalised;
    for (const Row& m : members) {
        std::string ends[4];
        for (int k = 0; k < 4; ++k) {
            ends[k] = realText(std::stod(*m[static_cast<std::size_t>(k)]));
            EXPECT_GT(ends[k].size(), 10u) << ends[k];
        }
        const bool reversed = *m[4] != a;
        const std::string key = reversed ? ends[2] + "," + ends[3] + "," + ends[0] + "," + ends[1]
                                         : ends[0] + "," + ends[1] + "," + ends[2] + "," + ends[3];
        raw.insert(key);
        const std::string norm = reversed ? truncated(ends[2]) + "," + truncated(ends[3]) + "," +
                                                truncated(ends[0]) + "," + truncated(ends[1])
                                          : truncated(ends[0]) + "," + truncated(ends[1]) + "," +
                                                truncated(ends[2]) + "," + truncated(ends[3]);
        normalised.insert(norm);
    }
    EXPECT_EQ(raw.size(), members.size()) << "the surveyed ends should differ from the stations'";
    EXPECT_EQ(normalised.size(), 1u) << "the ends differ within six decimals";
    EXPECT_GT(db.count("SELECT COUNT(*) FROM EN_OCABLE WHERE (STATION_A = '" + a + "' OR STATION_A = '" + z +
                       "') AND (STATION_Z = '" + a + "' OR STATION_Z = '" + z + "') AND LENGTH IS NULL"),
              0)
        << "the group should hold a member without length";
}

double haversineKm(double lng1, double lat1, double lng2, double lat2) {
    const double r = std::numbers::pi / 180;
    const double h = std::pow(std::sin((lat2 - lat1) * r / 2), 2) +
                     std::cos(lat1 * r) * std::cos(lat2 * r) * std::pow(std::sin((lng2 - lng1) * r / 2), 2);
    return 2 * 6371.0 * std::asin(std::sqrt(h));
}

TEST(DemoNetwork, LengthsFollowTheDistanceTimesARouteFactor) {
    Db db(smallDemoDb());
    int checked = 0;
    for (const Row& r : db.rows("SELECT OCABLECODE, LENGTH, A.LNG, A.LAT, Z.LNG, Z.LAT FROM EN_OCABLE O "
                                "JOIN STATION A ON A.STATIONCODE = O.STATION_A "
                                "JOIN STATION Z ON Z.STATIONCODE = O.STATION_Z "
                                "WHERE LENGTH IS NOT NULL AND A.LNG IS NOT NULL AND Z.LNG IS NOT NULL")) {
        const double km = haversineKm(std::stod(*r[2]), std::stod(*r[3]), std::stod(*r[4]), std::stod(*r[5]));
        if (km < 1) continue; // rounding of short segments
        const double factor = std::stod(*r[1]) / km;
        EXPECT_TRUE(factor > 1.05 && factor < 1.8) << *r[0] << " " << *r[1] << " km over " << km << " km";
        ++checked;
    }
    EXPECT_GT(checked, 300);
    EXPECT_GT(db.count("SELECT COUNT(*) FROM EN_OCABLE WHERE LENGTH IS NULL"), 0);
}

TEST(DemoNetwork, ScalesHaveTheirNominalSizes) {
    const BaseMap map = loadBaseMap(sourceDir() / "data" / "basemap");
    auto total = [&](Scale s) {
        const auto counts = stationsPerCity(map, s);
        return std::accumulate(counts.begin(), counts.end(), 0);
    };
    EXPECT_NEAR(total(Scale::Small), 300, 40);
    EXPECT_NEAR(total(Scale::Province), 5000, 300);
    EXPECT_EQ(total(Scale::National), 100000);
}

} // namespace
} // namespace ocable::demo::test
