#include "SystemTreeFixture.h"

#include "support/HostRunner.h"
#include "systemtree/RuleStatements.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ocable::systemtree {
namespace {

// The texts of the statements are compared in the end-to-end runs
// (SystemTreeAutomationTest) on names without quotes, and the refresh there
// only drops a system. Here the statements run against the database and the
// tables are read back: a quote in a rule key or a name stays inside its
// literal, a system without a name still comes in, a system under a grouping
// node stays where it is, another rule is left alone, and a second refresh
// changes nothing.
TEST(RuleStatementsTest, RenameAndRefreshOnQuotedKeysNamelessSystemsAndGroups) {
    fake::FakeHost host;
    testing_support::createSystemTables(host);
    const std::string key = "a'b", name = "O'Neil'; DELETE FROM TRANSSYSTEM --";
    host.exec(R"(INSERT INTO EN_SUBNET_P VALUES ('a''b', '旧名', NULL);
        INSERT INTO TRANSSYSTEM VALUES ('S1', '甲', NULL), ('S2', '乙', NULL), ('S3', NULL, NULL);
        INSERT INTO RE_TREE_STRUCT VALUES ('a''b:S9', 'S9(无)', 'a''b', 1, 'a''b', 'NO', ''),
            ('g', '分组', 'a''b', 1, 'a''b', 'YES', ''), ('a''b:S2', 'S2(乙)', 'g', 2, 'a''b', 'NO', ''),
            ('r2:S9', 'S9(无)', 'r2', 1, 'r2', 'NO', ''))");
    host.exec(sql::renameRule(key, name));
    const auto refresh = [&] {
        return host.data->executeSql("systemDB", sql::deleteVanishedSystems(key)) +
               host.data->executeSql("systemDB", sql::insertMissingSystems(key));
    };
    EXPECT_EQ(refresh(), 3); // S9 goes, S1 and S3 come
    EXPECT_EQ(refresh(), 0);

    const auto column = [&](const std::string& query) {
        return testsupport::firstColumn(host.root / "network.db", query);
    };
    EXPECT_EQ(column("SELECT P_NAME FROM EN_SUBNET_P"), std::vector<std::string>{name});
    EXPECT_EQ(column("SELECT NODEKEY || '|' || NODENAME || '|' || PARENTKEY || '|' || P_KEY FROM "
                     "RE_TREE_STRUCT ORDER BY NODEKEY"),
              (std::vector<std::string>{"a'b:S1|S1(甲)|a'b|a'b", "a'b:S2|S2(乙)|g|a'b", "a'b:S3|S3()|a'b|a'b",
                                        "g|分组|a'b|a'b", "r2:S9|S9(无)|r2|r2"}));
    EXPECT_EQ(column("SELECT COUNT(*) FROM TRANSSYSTEM"), std::vector<std::string>{"3"});
}

} // namespace
} // namespace ocable::systemtree
