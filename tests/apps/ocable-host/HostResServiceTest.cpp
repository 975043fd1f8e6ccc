#include "HostResService.h"
#include "support/FakeHost.h"

#include <QApplication>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace ocable;

TEST(HostResServiceTest, PropertyFormShowsVisibleColumnsWithCaptionsInOrder) {
    fake::FakeHost host;
    host.exec("CREATE TABLE STATION (STATIONCODE TEXT, STATIONNAME TEXT, LNG REAL, REMARK TEXT)");
    host.exec("INSERT INTO STATION VALUES ('S1', '郑州中原枢纽站', 113.62, 'x'), ('S''2', '其它', 1, '')");
    host.exec("CREATE TABLE tabledictionary (TABLENAME TEXT, ENFIELD TEXT, CHFIELD TEXT)");
    host.exec("INSERT INTO tabledictionary VALUES ('STATION', 'STATIONCODE', '局站编号'), "
              "('STATION', 'STATIONNAME', '局站名称'), ('STATION', 'LNG', '经度')");
    host.exec("CREATE TABLE tabledictionarynew (tablename TEXT, ENFIELD TEXT, CHFIELD TEXT, isVisible TEXT, "
              "serial INTEGER)");
    host.exec("INSERT INTO tabledictionarynew VALUES ('STATION', 'STATIONNAME', '局站名称', 'Y', 1), "
              "('STATION', 'STATIONCODE', '局站编号', 'Y', 2), ('STATION', 'REMARK', '备注', 'N', 3)");
    hostapp::HostResService service(host.data);
    const auto rows = service.propertyRows("S1", "STATION");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"局站名称", "郑州中原枢纽站"}, {"局站编号", "S1"}, {"经度", "113.62"}};
    EXPECT_EQ(rows, expected);
    // A code with a quote is looked up, not pasted into the statement.
    EXPECT_EQ(service.propertyRows("S'2", "STATION").size(), 3u);
    EXPECT_TRUE(service.propertyRows("S9", "STATION").empty());
    EXPECT_TRUE(service.propertyRows("S1", "NO_SUCH_TABLE").empty());
    std::unique_ptr<QWidget> form(service.propertyWindow("S1", "STATION"));
    auto* table = qobject_cast<QTableWidget*>(form.get());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 3);
}
