#include "platform/db/DbError.h"
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
    try {
        host.data->openRecordset("otherDB", "SELECT 1");
        FAIL() << "an unknown connection was served";
    } catch (const db::DbError& e) {
        EXPECT_NE(std::string(e.what()).find("otherDB"), std::string::npos);
    }
    ASSERT_EQ(host.data->sql.size(), 3u);
    EXPECT_EQ(host.data->sql[2], "SELECT 1");
}
