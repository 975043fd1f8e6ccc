#include "SystemTreeFixture.h"

#include "support/HostRunner.h"
#include "systemtree/RuleStatements.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ocable::systemtree {
namespace {

// The texts of the statements are compared in the end-to-end runs
// (SystemTreeAutomationTest) on names without quotes; here a quote in a rule
// key or a name must stay inside its literal, so the statements run against
// the database and the tables are read back.
TEST(RuleStatementsTest, QuotesInKeysAndNamesStayInsideTheirLiterals) {
    fake::FakeHost host;
    testing_support::createSystemTables(host);
    const std::string key = "a'b", name = "O'Neil'; DELETE FROM TRANSSYSTEM --";
    host.exec(R"(INSERT INTO EN_SUBNET_P VALUES ('a''b', '旧名', NULL);
        INSERT INTO TRANSSYSTEM VALUES ('S1', '甲', NULL), ('S2', '乙', NULL);
        INSERT INTO RE_TREE_STRUCT VALUES ('a''b:S9', 'S9(无)', 'a''b', 1, 'a''b', 'NO', ''))");
    host.exec(sql::renameRule(key, name));
    host.exec(sql::deleteVanishedSystems(key));
    host.exec(sql::insertMissingSystems(key));

    const auto column = [&](const std::string& query) {
        return testsupport::firstColumn(host.root / "network.db", query);
    };
    EXPECT_EQ(column("SELECT P_NAME FROM EN_SUBNET_P"), std::vector<std::string>{name});
    EXPECT_EQ(column("SELECT NODEKEY || '|' || NODENAME || '|' || PARENTKEY || '|' || P_KEY FROM "
                     "RE_TREE_STRUCT ORDER BY NODEKEY"),
              (std::vector<std::string>{"a'b:S1|S1(甲)|a'b|a'b", "a'b:S2|S2(乙)|a'b|a'b"}));
    EXPECT_EQ(column("SELECT COUNT(*) FROM TRANSSYSTEM"), std::vector<std::string>{"2"});
}

} // namespace
} // namespace ocable::systemtree
