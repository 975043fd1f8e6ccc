#include "support/FakeHost.h"

#include <gtest/gtest.h>

using namespace ocable;

TEST(SqliteDataAccessTest, OnlySystemDbIsServedAndEveryTextIsRecorded) {
    fake::FakeHost host;
    host.exec("CREATE TABLE STATION (STATIONCODE TEXT, STATIONNAME TEXT)");
    EXPECT_EQ(host.data->executeSql("systemDB", "INSERT INTO STATION VALUES ('S1', '石家庄长安枢纽站')"), 1);
    auto rs = host.data->openRecordset("systemDB", "SELECT STATIONNAME FROM STATION");
    ASSERT_NE(rs, nullptr);
    EXPECT_EQ(rs->Fields("stationname").toText(), "石家庄长安枢纽站");
    EXPECT_EQ(host.data->openRecordset("otherDB", "SELECT 1"), nullptr);
    ASSERT_EQ(host.data->sql.size(), 3u);
    EXPECT_EQ(host.data->sql[2], "SELECT 1");
}
