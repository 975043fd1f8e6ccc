// The whole drawing over a handful of stations: which layer each station
// lands in, the class its feature record is marked with, and the rows the
// record store answers for them.
#include "DrawingWindow.h"

#include <gtest/gtest.h>

using namespace ocable;

TEST(StationMarkingTest, AStationInBothLayersIsMarkedWithTheLaterOne) {
    fake::FakeHost host;
    // T1 terminal, O1 other, R1 second-trunk relay, B1 terminal by its
    // resource type and other by its three types, N1 other without a position.
    test::addTwoStations(host);
    host.exec(R"(INSERT INTO STATION VALUES ('R1', '丙', 116.2, 39.2, '110000', 'ZY010312', NULL, NULL, NULL),
            ('B1', '丁', 116.3, 39.3, '110000', 'ZY010305', 'ZY010305', 'ZY010305', 'ZY502401'),
            (' N1', '戊', NULL, NULL, '110000', 'ZY010305', NULL, NULL, NULL);
        CREATE TABLE MAP_V_EN_OCABLE (OCABLECODE TEXT))");
    test::DrawingWindow w;
    ASSERT_TRUE(w.draw());

    EXPECT_EQ(w.count(vocab::kLayerTerminal), 3);
    EXPECT_EQ(w.count(vocab::kLayerOtherStation), 2);
    EXPECT_EQ(w.remarkOf("T1"), vocab::kClassTerminal);
    EXPECT_EQ(w.remarkOf("R1"), vocab::kClassTerminal);
    EXPECT_EQ(w.remarkOf("B1"), vocab::kClassOther);
    EXPECT_EQ(w.remarkOf("O1"), vocab::kClassOther);
    EXPECT_EQ(w.remarkOf("N1"), "(none)");
    // B1's record is the one its first layer made.
    EXPECT_EQ((*w.view.stationFeatures.find("B1"))->layerName, vocab::kLayerTerminal);

    // Every row is stored, drawn or not, with every column, under its trimmed code.
    clsResTree& store = *w.view.resTree;
    ASSERT_EQ(store.count(), 5);
    auto n1 = store.Item(std::string("STA:N1"));
    ASSERT_NE(n1, nullptr);
    EXPECT_EQ(n1->tableName, vocab::kStationTable);
    EXPECT_EQ(n1->count(), 9);
    EXPECT_EQ(n1->Item(std::string("STATIONNAME"))->Value, "戊");
    EXPECT_EQ(n1->Item(std::string("LNG"))->Value, "");
    EXPECT_EQ(store.Item(std::int32_t{4})->Item(std::string("STATIONTYPE"))->Value, "ZY502401");

    // A second drawing replaces the first, records and all.
    host.exec("DELETE FROM STATION WHERE STATIONCODE <> 'O1'");
    ASSERT_TRUE(w.draw());
    EXPECT_EQ(w.count(vocab::kLayerTerminal), 0);
    EXPECT_EQ(w.remarkOf("O1"), vocab::kClassOther);
    EXPECT_EQ(w.remarkOf("T1"), "(none)");
    EXPECT_EQ(w.view.resTree->count(), 1);
}
