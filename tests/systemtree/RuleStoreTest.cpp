#include "systemtree/RuleStore.h"

#include "platform/db/DbError.h"
#include "platform/ui/KeyedTree.h"
#include "support/FakeHost.h"
#include "systemtree/RuleStatements.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ocable::systemtree {
namespace {

/* A rule tree being edited:
     R  划分原则1 (root, NO)
     ├─ 划分方法1 华北 (YES)
     │   └─ 划分原则1:TS2 (NO)
     └─ 划分原则1:TS1 (NO)                                                 */
ui::KeyedTree editedTree(const std::string& rootText = "华北与其他") {
    ui::KeyedTree t;
    t.node(t.Add("", "划分原则1", rootText)).tag = "NO";
    t.node(t.Add("划分原则1", "划分方法1", "华北")).tag = "YES";
    t.node(t.Add("划分方法1", "划分原则1:TS2", "TS2(京津)")).tag = " NO ";
    t.node(t.Add("划分原则1", "划分原则1:TS1", "TS1(郑洛)")).tag = "NO";
    return t;
}

// Creating a rule is compared end to end (SystemTreeAutomationTest); here
// the number search over keys taken in any order, and the protection mark.
TEST(RuleStoreDbTest, NewRuleNumberSkipsTakenNumbersAndOnlyATrimmedNOProtects) {
    fake::FakeHost host;
    host.exec("CREATE TABLE EN_SUBNET_P (P_KEY TEXT PRIMARY KEY, P_NAME TEXT, REMARK TEXT)");
    RuleStore store(*host.data);
    EXPECT_EQ(store.newRuleNumber(), 1) << "no rule at all";
    host.exec("INSERT INTO EN_SUBNET_P VALUES ('划分原则1', 'a', ' NO '), ('划分原则3', 'b', NULL)");
    // Starts at rows + 1 = 3, finds it taken.
    EXPECT_EQ(store.newRuleNumber(), 4);
    host.exec("INSERT INTO EN_SUBNET_P VALUES ('划分原则5', 'c', 'NOT'), ('划分原则4', 'd', 'no')");
    // Starts at 5, then 6; the earlier rows are scanned again after each step.
    EXPECT_EQ(store.newRuleNumber(), 6);
    EXPECT_TRUE(store.isProtected("划分原则1"));
    for (const char* key : {"划分原则3", "划分原则5", "划分原则4", "absent"})
        EXPECT_FALSE(store.isProtected(key)) << key;
}

// ---- a data access that fails the n-th statement --------------------------

struct StubDataAccess : host::IDataAccess {
    std::vector<std::string> sent;
    int failAt = -1; // 0-based index into sent
    void record(std::string_view sql) {
        sent.emplace_back(sql);
        if (static_cast<int>(sent.size()) - 1 == failAt)
            throw db::DbError("stub refuses: " + std::string(sql));
    }
    std::shared_ptr<db::Recordset> openRecordset(std::string_view, std::string_view sql, int) override {
        record(sql);
        return std::make_shared<db::Recordset>();
    }
    long executeSql(std::string_view, std::string_view sql) override {
        record(sql);
        return 1;
    }
};

struct StubWithTransactions : StubDataAccess, host::IDataTransactions {
    void beginTransaction(std::string_view) override { record("BEGIN"); }
    void commitTransaction(std::string_view) override { record("COMMIT"); }
    void rollbackTransaction(std::string_view) override { sent.emplace_back("ROLLBACK"); }
};

// The save's statements against the database are compared end to end
// (SystemTreeAutomationTest); here the order of a deeper tree and what a
// failure at each point leaves.
TEST(RuleStoreStubTest, EachFailingStatementOfASaveRollsBackAndNothingAfterItRuns) {
    const auto statements = RuleStore::saveStatements(editedTree());
    ASSERT_EQ(statements.size(), 6u);
    // Depth first, a padded tag trimmed, the rename last.
    EXPECT_EQ(statements[3],
              sql::insertNode("划分原则1:TS2", "TS2(京津)", "划分方法1", 2, "划分原则1", "NO"));
    EXPECT_EQ(statements[4],
              sql::insertNode("划分原则1:TS1", "TS1(郑洛)", "划分原则1", 1, "划分原则1", "NO"));
    EXPECT_EQ(statements[5], sql::renameRule("划分原则1", "华北与其他"));
    // BEGIN, the six statements, COMMIT: fail each in turn.
    for (int n = 0; n < 8; ++n) {
        SCOPED_TRACE("failing statement " + std::to_string(n));
        StubWithTransactions data;
        data.failAt = n;
        EXPECT_FALSE(RuleStore(data).saveTree(editedTree()));
        ASSERT_EQ(data.sent.size(), static_cast<std::size_t>(n + 1 + (n > 0 ? 1 : 0)));
        EXPECT_EQ(data.sent.back(), n > 0 ? "ROLLBACK" : "BEGIN"); // a failed BEGIN has nothing to undo
        EXPECT_EQ(std::count(data.sent.begin(), data.sent.end(), "COMMIT"), n == 7 ? 1 : 0);
    }
}

TEST(RuleStoreStubTest, WithoutTransactionsEveryStatementRunsAndTheFailureIsReported) {
    StubDataAccess data;
    data.failAt = 2;
    RuleStore store(data);
    EXPECT_FALSE(store.transactional());
    EXPECT_FALSE(store.saveTree(editedTree()));
    EXPECT_EQ(data.sent, RuleStore::saveStatements(editedTree()));
}

TEST(RuleStoreStubTest, SeedPassesOverAFailedStatement) {
    StubDataAccess data;
    data.failAt = 0; // the root row
    RuleStore(data).seed("R", "名");
    EXPECT_EQ(data.sent, (std::vector<std::string>{sql::insertRoot("R", "名"), sql::allSystems()}));
}

} // namespace
} // namespace ocable::systemtree
