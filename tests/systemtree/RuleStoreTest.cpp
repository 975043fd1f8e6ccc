#include "systemtree/RuleStore.h"

#include "platform/db/DbError.h"
#include "platform/db/SqliteConnection.h"
#include "platform/ui/KeyedTree.h"
#include "support/FakeHost.h"
#include "systemtree/RuleStatements.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace ocable::systemtree {
namespace {

// The rule tables as the host database declares them (RE_TREE_STRUCT has a
// seventh column that only the refresh's positional insert fills).
void createRuleTables(fake::FakeHost& host) {
    host.exec("CREATE TABLE EN_SUBNET_P (P_KEY TEXT PRIMARY KEY, P_NAME TEXT, REMARK TEXT)");
    host.exec("CREATE TABLE RE_TREE_STRUCT (NODEKEY TEXT NOT NULL, NODENAME TEXT, PARENTKEY TEXT, NODELEVEL "
              "INTEGER, P_KEY TEXT NOT NULL, IS_DELETE TEXT, REMARK TEXT DEFAULT '')");
    host.exec(
        "CREATE TABLE TRANSSYSTEM (SYSTEMCODE TEXT PRIMARY KEY, SYSNAME TEXT NOT NULL, TRANMODEL TEXT)");
}

void addSystems(fake::FakeHost& host, const std::vector<std::pair<std::string, std::string>>& systems) {
    for (const auto& [code, name] : systems)
        host.exec("INSERT INTO TRANSSYSTEM VALUES ('" + code + "', '" + name + "', 'ZY110302')");
}

// Every stored row of the tree table, one text per row in a fixed order, for
// comparing the whole table before and after.
std::vector<std::string> treeRows(fake::FakeHost& host, const std::string& where = "1 = 1") {
    db::SqliteConnection c(host.root / "network.db");
    auto rs = c.query("SELECT NODEKEY, NODENAME, PARENTKEY, NODELEVEL, P_KEY, IS_DELETE, REMARK FROM "
                      "RE_TREE_STRUCT WHERE " +
                      where + " ORDER BY P_KEY, NODELEVEL, NODEKEY");
    std::vector<std::string> rows;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        std::string row;
        for (int i = 0; i < rs->FieldCount(); ++i)
            row += (rs->Fields(i).isNull() ? std::string("<null>") : rs->Fields(i).toText()) + "|";
        rows.push_back(row);
    }
    return rows;
}

std::string ruleName(fake::FakeHost& host, const std::string& key) {
    db::SqliteConnection c(host.root / "network.db");
    auto rs = c.query("SELECT P_NAME FROM EN_SUBNET_P WHERE P_KEY = '" + key + "'");
    return rs->RecordCount() ? rs->Fields(0).toText() : "<none>";
}

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

class RuleStoreDbTest : public testing::Test {
protected:
    void SetUp() override {
        createRuleTables(host);
        host.data->sql.clear();
    }
    RuleStore store() { return RuleStore(*host.data); }
    fake::FakeHost host;
};

TEST_F(RuleStoreDbTest, NewRuleNumberSkipsTakenNumbers) {
    EXPECT_EQ(store().newRuleNumber(), 1) << "no rule at all";
    host.exec("INSERT INTO EN_SUBNET_P VALUES ('划分原则1', 'a', NULL), ('划分原则3', 'b', NULL)");
    // Starts at rows + 1 = 3, finds it taken.
    EXPECT_EQ(store().newRuleNumber(), 4);
    host.exec("INSERT INTO EN_SUBNET_P VALUES ('划分原则5', 'c', NULL), ('划分原则4', 'd', NULL)");
    // Starts at 5, then 6; the earlier rows are scanned again after each step.
    EXPECT_EQ(store().newRuleNumber(), 6);
    EXPECT_EQ(store().createRule(), "划分原则6");
    EXPECT_EQ(ruleName(host, "划分原则6"), "划分原则6");
    EXPECT_EQ(host.data->sql.back(),
              "INSERT INTO EN_SUBNET_P(P_KEY,P_NAME) VALUES('划分原则6' ,'划分原则6')");
}

TEST_F(RuleStoreDbTest, OnlyAMarkTrimmedToNOProtects) {
    host.exec("INSERT INTO EN_SUBNET_P VALUES ('a', 'a', ' NO '), ('b', 'b', ''), ('c', 'c', NULL), "
              "('d', 'd', 'no'), ('e', 'e', 'NOT')");
    EXPECT_TRUE(store().isProtected("a"));
    for (const char* key : {"b", "c", "d", "e", "absent"})
        EXPECT_FALSE(store().isProtected(key)) << key;
}

TEST_F(RuleStoreDbTest, ReadRulesTrimsInDatabaseOrder) {
    host.exec("INSERT INTO EN_SUBNET_P VALUES (' k2 ', ' 第二 ', NULL), ('k1', '第一', NULL)");
    const auto rules = store().readRules();
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0].key, "k2");
    EXPECT_EQ(rules[0].name, "第二");
    EXPECT_EQ(rules[1].key, "k1");
}

TEST_F(RuleStoreDbTest, SeedWritesRootAndOneTrimmedNodePerSystem) {
    addSystems(host, {{"TS1 ", "郑洛 "}, {"TS2", "京津"}});
    store().seed("划分原则1", "按地区");
    EXPECT_EQ(treeRows(host), (std::vector<std::string>{
                                  "划分原则1|按地区|NULL|0|划分原则1|NO||",
                                  "划分原则1:TS1|TS1(郑洛)|划分原则1|1|划分原则1|NO||",
                                  "划分原则1:TS2|TS2(京津)|划分原则1|1|划分原则1|NO||",
                              }));
}

TEST_F(RuleStoreDbTest, SaveReplacesTheTreeInOneTransactionAndRenamesTheRule) {
    host.exec("INSERT INTO EN_SUBNET_P VALUES ('划分原则1', '划分原则1', NULL)");
    host.exec(
        "INSERT INTO RE_TREE_STRUCT VALUES ('划分原则1', '划分原则1', 'NULL', 0, '划分原则1', 'NO', ''),"
        "('划分原则1:TS9', 'TS9(旧)', '划分原则1', 1, '划分原则1', 'NO', '')");
    ASSERT_TRUE(store().saveTree(editedTree()));
    EXPECT_EQ(host.data->sql,
              (std::vector<std::string>{
                  "BEGIN",
                  "DELETE FROM RE_TREE_STRUCT WHERE P_KEY = '划分原则1'",
                  "INSERT INTO RE_TREE_STRUCT(NODEKEY,NODENAME,PARENTKEY,NODELEVEL,P_KEY,IS_DELETE) "
                  "VALUES('划分原则1' ,'华北与其他','NULL',0,'划分原则1','NO')",
                  "INSERT INTO RE_TREE_STRUCT(NODEKEY,NODENAME,PARENTKEY,NODELEVEL,P_KEY,IS_DELETE) "
                  "VALUES('划分方法1','华北','划分原则1',1,'划分原则1','YES')",
                  "INSERT INTO RE_TREE_STRUCT(NODEKEY,NODENAME,PARENTKEY,NODELEVEL,P_KEY,IS_DELETE) "
                  "VALUES('划分原则1:TS2','TS2(京津)','划分方法1',2,'划分原则1','NO')",
                  "INSERT INTO RE_TREE_STRUCT(NODEKEY,NODENAME,PARENTKEY,NODELEVEL,P_KEY,IS_DELETE) "
                  "VALUES('划分原则1:TS1','TS1(郑洛)','划分原则1',1,'划分原则1','NO')",
                  "UPDATE EN_SUBNET_P SET P_NAME = '华北与其他' WHERE P_KEY = '划分原则1'",
                  "COMMIT",
              }));
    EXPECT_EQ(ruleName(host, "划分原则1"), "华北与其他");
    EXPECT_EQ(treeRows(host, "P_KEY = '划分原则1' AND NODEKEY = '划分原则1'").size(), 1u)
        << "the root keeps its key when renamed";
}

TEST_F(RuleStoreDbTest, DeleteRemovesRuleAndTreeTogether) {
    host.exec("INSERT INTO EN_SUBNET_P VALUES ('R', 'R', NULL), ('S', 'S', NULL)");
    host.exec("INSERT INTO RE_TREE_STRUCT VALUES ('R', 'R', 'NULL', 0, 'R', 'NO', ''),"
              "('S', 'S', 'NULL', 0, 'S', 'NO', '')");
    EXPECT_TRUE(store().deleteRule("R"));
    EXPECT_EQ(host.data->sql,
              (std::vector<std::string>{"BEGIN", "DELETE FROM RE_TREE_STRUCT WHERE P_KEY = 'R'",
                                        "DELETE FROM EN_SUBNET_P WHERE P_KEY = 'R'", "COMMIT"}));
    EXPECT_EQ(ruleName(host, "R"), "<none>");
    EXPECT_EQ(treeRows(host).size(), 1u);
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

TEST(RuleStoreStubTest, EachFailingStatementOfASaveRollsBackAndNothingAfterItRuns) {
    const auto statements = RuleStore::saveStatements(editedTree());
    ASSERT_EQ(statements.size(), 6u);
    // BEGIN, the six statements, COMMIT: fail each in turn.
    for (int n = 0; n < 8; ++n) {
        SCOPED_TRACE("failing statement " + std::to_string(n));
        StubWithTransactions data;
        data.failAt = n;
        EXPECT_FALSE(RuleStore(data).saveTree(editedTree()));
        ASSERT_EQ(data.sent.size(), static_cast<std::size_t>(n + 1 + (n > 0 ? 1 : 0)));
        if (n > 0) {
            EXPECT_EQ(data.sent.back(), "ROLLBACK");
        }
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

    StubDataAccess healthy;
    EXPECT_TRUE(RuleStore(healthy).deleteRule("R"));
    EXPECT_EQ(healthy.sent, (std::vector<std::string>{sql::deleteRuleTree("R"), sql::deleteRule("R")}));
}

TEST(RuleStoreStubTest, SeedPassesOverAFailedStatement) {
    StubDataAccess data;
    data.failAt = 0; // the root row
    RuleStore(data).seed("R", "名");
    EXPECT_EQ(data.sent, (std::vector<std::string>{sql::insertRoot("R", "名"), sql::allSystems()}));
}

} // namespace
} // namespace ocable::systemtree
