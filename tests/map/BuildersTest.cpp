#include "DrawingWindow.h"
#include "platform/db/Recordset.h"

#include <gtest/gtest.h>

using namespace ocable;
using db::Recordset;
using db::Value;

namespace {

// The network layers, datasets bound, and what one builder run fills.
struct Fixture : test::DrawingWindow {
    mdlViewMap::BackboneGroups groups;
    FeatureRecords records;
    gis::Layer& backbone() { return layer(vocab::kLayerBackbone); }
};

std::shared_ptr<Recordset> cables(std::vector<Recordset::Row> rows) {
    return std::make_shared<Recordset>(std::vector<std::string>{"OCABLECODE", "LNG_A", "LAT_A", "LNG_Z",
                                                                "LAT_Z", "LENGTH", "STATIONNAME_A",
                                                                "STATIONNAME_Z"},
                                       std::move(rows));
}

std::map<std::string, std::string> labels(gis::Layer& layer) {
    std::map<std::string, std::string> out;
    for (const gis::Feature& f : layer.AllFeatures())
        out[*layer.valueOf(f.id(), 1)] = *layer.valueOf(f.id(), 0);
    return out;
}

} // namespace

TEST(NormaliseCoordinateTest, CutsLongDecimalTextsToSixDecimals) {
    const std::pair<std::string, std::string> cases[] = {{"116.40741234567", "116.407412"},
                                                         {"116.4074123", "116.407412"},
                                                         {"116.407412", "116.407412"},
                                                         {"80.1234561", "80.1234561"},
                                                         {"-116.1234567", "-116.123456"},
                                                         {"12345678901", "12345678901"},
                                                         {"", ""}};
    for (const auto& [in, out] : cases) {
        SCOPED_TRACE(in);
        EXPECT_EQ(mdlViewMap::normaliseCoordinate(in), out);
    }
}

// An end station that was never surveyed: the segment is not drawn and the
// others are. The line width is checked end to end, the label font with the
// other line layers' (DrawingFailuresTest).
TEST(BackboneLayerTest, ALoneSegmentNamesItsEndsAndOnesWithoutBothEndsAreLeftOut) {
    Fixture f;
    auto rs = cables({{"C1", Value(), Value(), 117.0, 39.5, 5, "未测站", "乙"},
                      {"C2", 116.0, 39.0, 117.0, " ", 6, "甲", "乙"},
                      {"C3", 116.0, 39.0, 117.0, 39.5, 12.5, "甲站", "乙站"}});
    ASSERT_TRUE(mdlViewMap::buildBackboneLayer(rs.get(), f.map, vocab::kLayerBackbone, {},
                                               {3, gis::rgb(0, 0, 255), 64}, f.groups, f.records));
    ASSERT_EQ(f.backbone().featureCount(), 1);
    EXPECT_EQ(labels(f.backbone())["C3"], "(甲站-乙站) 长度:12.5KM");
    const gis::Feature drawn = f.backbone().AllFeatures().Item(1);
    EXPECT_EQ(drawn.Style().LinePattern, 64);
    EXPECT_EQ(f.records.Count(), 1u);
    EXPECT_EQ((*f.records.find("C3"))->ftrKey, drawn.FeatureKey());
}

// The group labels of segments drawn either way round, and the lengths of
// three, are checked end to end (HostAutomationTest.ParallelLabelsScopedDrawingAndAGeosetWithoutMicrowaves).
// Here a group spans two builder runs (two lay modes), the earlier member is
// drawn again under a new key its record follows, and ends whose texts are
// ten characters or fewer are compared as they are.
TEST(BackboneLayerTest, AGroupSpansBuilderRunsAndItsRecordsFollowTheRedrawnFeatures) {
    Fixture f;
    auto first = cables({{"C1", 116.12345671, 39.0, 117.0, 39.5, 10, "甲站", "乙站"},
                         {"S1", "80.1234561", "30.5", "81.5", "31.25", "5", "甲", "乙"},
                         {"S2", "80.1234569", "30.5", "81.5", "31.25", "6", "甲", "乙"}});
    auto second = cables({{"C2", 117.0, 39.5, 116.12345649, 39.0, 11, "乙站", "甲站"}});
    mdlViewMap::buildBackboneLayer(first.get(), f.map, vocab::kLayerBackbone, {}, {}, f.groups, f.records);
    const std::string firstKey = (*f.records.find("C1"))->ftrKey;
    mdlViewMap::buildBackboneLayer(second.get(), f.map, vocab::kLayerBackbone, {}, {}, f.groups, f.records);
    auto l = labels(f.backbone());
    EXPECT_EQ(l["C1"], "光缆数-2条,长度:11KM");
    EXPECT_EQ(l["C2"], "光缆数-2条,长度:11KM");
    EXPECT_EQ(l["S1"], "(甲-乙) 长度:5KM");
    EXPECT_EQ(l["S2"], "(甲-乙) 长度:6KM");
    EXPECT_NE((*f.records.find("C1"))->ftrKey, firstKey);
    EXPECT_NO_THROW(f.backbone().GetFeatureByKey((*f.records.find("C1"))->ftrKey));
    EXPECT_EQ(f.backbone().featureCount(), 4);
}

TEST(SymbolLayerTest, RowsWithoutPositionOrWithBadNumbersArePassedOver) {
    Fixture f;
    auto rs =
        std::make_shared<Recordset>(std::vector<std::string>{"STATIONCODE", "STATIONNAME", "LNG", "LAT"},
                                    std::vector<Recordset::Row>{{" S1 ", "甲站", 116.4, 39.9},
                                                                {"S2", "乙站", Value(), 39.9},
                                                                {"S3", "丙站", " ", 30.0},
                                                                {"S4", "丁站", "东经", 30.0},
                                                                {"S1", "甲站副本", 117.0, 40.0},
                                                                {"S5", "戊站", "113.65", "34.76"}});
    ASSERT_TRUE(mdlViewMap::buildSymbolLayer(rs.get(), f.map, vocab::kLayerTerminal, {},
                                             vocab::kBitmapTerminal, 14, &f.records));
    gis::Layer& layer = f.layer(vocab::kLayerTerminal);
    // S1 twice (the record keeps the first), S5; S2 to S4 have no usable position.
    EXPECT_EQ(layer.featureCount(), 3);
    EXPECT_EQ(f.records.Count(), 2u);
    EXPECT_EQ((*f.records.find("S1"))->label, "甲站");
    const gis::Feature s5 = layer.Search("StationCode = \"S5\"").Item(1);
    EXPECT_DOUBLE_EQ(s5.CenterX(), 113.65);
    EXPECT_EQ(s5.Style().SymbolBitmapName, vocab::kBitmapTerminal);
    EXPECT_TRUE(s5.Style().SymbolBitmapTransparent);
    EXPECT_FALSE(mdlViewMap::buildSymbolLayer(nullptr, f.map, vocab::kLayerTerminal, {}, "", 14, &f.records));
}
