#include "core/clsResTree.h"
#include "core/clsViewRecord.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

using namespace ocable;

namespace {

// A station row as the drawing stores it: fields keyed by column name.
std::shared_ptr<clsViewRecord> stationRecord(const std::string& code, const std::string& name) {
    auto r = std::make_shared<clsViewRecord>();
    r->tableName = "STATION";
    r->Add(std::make_shared<clsViewField>(clsViewField{"", "STATIONCODE", code}), "STATIONCODE");
    r->Add(std::make_shared<clsViewField>(clsViewField{"", "STATIONNAME", name}), "STATIONNAME");
    r->Add(std::make_shared<clsViewField>(clsViewField{"", "LNG", ""}), "LNG");
    return r;
}

} // namespace

// Records themselves, read lazily or filled by hand, are RowRecordTest's.
TEST(ResTreeTest, StoreKeepsFirstRecordUnderAKey) {
    clsResTree store;
    ASSERT_NE(store.Add(stationRecord("S1", "甲"), "STA:S1"), nullptr);
    EXPECT_EQ(store.Add(stationRecord("S1", "乙"), "STA:S1"), nullptr);
    EXPECT_EQ(store.Item(std::string("STA:S1"))->Item(std::string("STATIONNAME"))->Value, "甲");
    EXPECT_TRUE(store.checkItemExist("STA:S1"));
    EXPECT_FALSE(store.checkItemExist("STA:S2"));
    EXPECT_EQ(store.Item(1.5), nullptr);
}

// The dictionary of a table is read once, also when it has no rows for the
// table, and also when there is no dictionary at all.
TEST(ResTreeTest, CaptionsFromTheTableDictionaryReadOncePerTable) {
    fake::FakeHost host;
    clsResTree store;
    auto missing = stationRecord("M1", "丁");
    missing->tableName = "NOTABLE";
    store.captionRecord(*missing); // before the dictionary exists: names stay
    EXPECT_EQ(missing->Item(std::string("STATIONNAME"))->CHFieldName, "");

    host.exec(R"(CREATE TABLE tabledictionary (TABLENAME TEXT, ENFIELD TEXT, CHFIELD TEXT);
        INSERT INTO tabledictionary VALUES ('STATION', 'STATIONNAME', '局站名称'), ('STATION', ' LNG ', ' 经度 '),
            ('STATION', 'STATIONNAME', '站名'), ('EN_OCABLE', 'STATIONNAME', '不该出现'))");
    host.data->sql.clear();
    auto r = stationRecord("S1", "甲");
    auto cable = stationRecord("C1", "乙");
    cable->tableName = "EN_NOCABLE";
    for (int pass = 0; pass < 2; ++pass) {
        store.captionRecord(*r);
        store.captionRecord(*cable);
    }
    EXPECT_EQ(r->Item(std::string("STATIONNAME"))->CHFieldName, "站名"); // the last entry wins
    EXPECT_EQ(r->Item(std::string("LNG"))->CHFieldName, "经度");
    EXPECT_EQ(r->Item(std::string("STATIONCODE"))->CHFieldName, "");
    EXPECT_EQ(cable->Item(std::string("STATIONNAME"))->CHFieldName, "");
    EXPECT_EQ(host.data->sql,
              (std::vector<std::string>{"SELECT * FROM tabledictionary WHERE TABLENAME='STATION'",
                                        "SELECT * FROM tabledictionary WHERE TABLENAME='EN_NOCABLE'"}));
}
