#include "systemtree/RuleStore.h"

#include "core/Log.h"
#include "core/TextUtil.h"
#include "host/IDataAccess.h"
#include "platform/db/DbError.h"
#include "platform/ui/KeyedTree.h"
#include "systemtree/RuleStatements.h"

#include <functional>
#include <optional>

namespace ocable::systemtree {

namespace {
constexpr std::string_view kSystemDb = "systemDB";

std::string trimmedField(const db::Recordset& rs, std::string_view field) {
    return text::trim(rs.Fields(field).toText());
}
} // namespace

// Begins a transaction when the host offers them; one that is not committed
// is rolled back when it goes out of scope, so that an error thrown part way
// leaves the tables as they were.
class RuleStore::Transaction {
public:
    explicit Transaction(host::IDataTransactions* transactions) : transactions_(transactions) {
        if (transactions_) transactions_->beginTransaction(kSystemDb);
    }
    ~Transaction() {
        if (transactions_ && !done_)
            guarded("划分原则：回滚事务", [this] { transactions_->rollbackTransaction(kSystemDb); });
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit() {
        if (transactions_) transactions_->commitTransaction(kSystemDb);
        done_ = true;
    }

private:
    host::IDataTransactions* transactions_;
    bool done_ = false;
};

RuleStore::RuleStore(host::IDataAccess& data)
    : data_(data), transactions_(dynamic_cast<host::IDataTransactions*>(&data)) {}

void RuleStore::execute(const std::string& statement) {
    // A host reports a failed statement by its status or by throwing; either
    // ends the save, which then rolls back.
    if (data_.executeSql(kSystemDb, statement) == host::kExecuteFailed)
        throw db::DbError("语句执行失败：" + statement);
}

// The tree builder and the rule creator send their inserts as queries; hosts
// have always been given them that way.
void RuleStore::openForInsert(const std::string& statement) {
    auto rs = data_.openRecordset(kSystemDb, statement, 0);
    if (!rs) throw db::DbError("语句执行失败：" + statement);
    if (rs->State() == db::Recordset::ObjectState::Open) rs->Close();
}

std::vector<RuleStore::Rule> RuleStore::readRules() {
    std::vector<Rule> rules;
    auto rs = data_.openRecordset(kSystemDb, sql::allRules(), 0);
    if (!rs) return rules;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
        rules.push_back({trimmedField(*rs, "p_key"), trimmedField(*rs, "p_Name")});
    rs->Close();
    return rules;
}

// Starts at one past the number of rules, so that a fresh database numbers
// its rules 1, 2, 3 without a search; a taken number moves on by one and
// scans the keys again.
int RuleStore::newRuleNumber() {
    auto rs = data_.openRecordset(kSystemDb, sql::allRuleKeys(), 0);
    if (!rs || rs->RecordCount() == 0) return 1;
    std::vector<std::string> keys;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
        keys.push_back(rs->Fields(0).toText());
    rs->Close();
    int number = static_cast<int>(keys.size()) + 1;
    for (std::size_t i = 0; i < keys.size();) {
        if (keys[i] == "划分原则" + std::to_string(number)) {
            ++number;
            i = 0;
        } else {
            ++i;
        }
    }
    return number;
}

std::string RuleStore::createRule() {
    const int number = newRuleNumber();
    openForInsert(sql::insertNewRule(number));
    return "划分原则" + std::to_string(number);
}

// Only a mark that reads "NO" once its blanks are trimmed protects a rule.
bool RuleStore::isProtected(std::string_view ruleKey) {
    auto rs = data_.openRecordset(kSystemDb, sql::ruleRemark(ruleKey), 0);
    if (!rs || rs->RecordCount() == 0) return false;
    rs->MoveFirst();
    const db::Value& remark = rs->Fields("remark");
    const bool isProtected =
        !remark.isNull() && !remark.toText().empty() && text::trim(remark.toText()) == "NO";
    rs->Close();
    return isProtected;
}

std::shared_ptr<db::Recordset> RuleStore::readTree(std::string_view ruleKey) {
    return data_.openRecordset(kSystemDb, sql::ruleTree(ruleKey), 0);
}

void RuleStore::seed(std::string_view ruleKey, std::string_view ruleName) {
    // One transaction only for speed: a national network seeds thousands of
    // rows. Failed rows are passed over, so it is always committed.
    std::optional<Transaction> transaction;
    guarded("划分原则：开始事务", [&] { transaction.emplace(transactions_); });
    guarded("划分原则：写入根节点", [&] { openForInsert(sql::insertRoot(ruleKey, ruleName)); });
    std::shared_ptr<db::Recordset> systems;
    guarded("划分原则：读取传输系统",
            [&] { systems = data_.openRecordset(kSystemDb, sql::allSystems(), 0); });
    if (systems && systems->RecordCount() > 0) {
        for (systems->MoveFirst(); !systems->Eof(); systems->MoveNext()) {
            guarded("划分原则：写入传输系统节点", [&] {
                openForInsert(sql::insertSeededSystem(ruleKey, trimmedField(*systems, "systemcode"),
                                                      trimmedField(*systems, "SYSNAME")));
            });
        }
        systems->Close();
    }
    if (transaction) guarded("划分原则：提交事务", [&] { transaction->commit(); });
}

void RuleStore::refresh(std::string_view ruleKey) {
    execute(sql::deleteVanishedSystems(ruleKey));
    execute(sql::insertMissingSystems(ruleKey));
}

// With a transaction the first failure ends the writing and rolls it all
// back. Without one each statement is applied on its own and a failure is
// passed over, so that as much of the tree as possible reaches the tables.
bool RuleStore::writeTogether(const char* step, const std::vector<std::string>& statements) {
    if (!transactions_) {
        bool allDone = true;
        for (const std::string& statement : statements)
            allDone = guarded(step, [&] { execute(statement); }) && allDone;
        return allDone;
    }
    return guarded(step, [&] {
        Transaction transaction(transactions_);
        for (const std::string& statement : statements)
            execute(statement);
        transaction.commit();
    });
}

std::vector<std::string> RuleStore::saveStatements(const ui::KeyedTree& tree) {
    std::vector<std::string> statements;
    if (tree.roots().empty()) return statements;
    const ui::KeyedTree::Node& root = tree.node(tree.roots().front());
    const std::string& ruleKey = root.key;
    statements.push_back(sql::deleteRuleTree(ruleKey));
    statements.push_back(sql::insertRoot(ruleKey, root.text));
    // Depth first, parents before children, children in their order on
    // screen; the level is the number of ancestors.
    std::function<void(ui::KeyedTree::NodeId, int)> addChildren = [&](ui::KeyedTree::NodeId parent,
                                                                      int level) {
        const ui::KeyedTree::Node& p = tree.node(parent);
        for (ui::KeyedTree::NodeId child : p.children) {
            const ui::KeyedTree::Node& n = tree.node(child);
            if (n.removed) continue;
            statements.push_back(sql::insertNode(n.key, n.text, p.key, level, ruleKey, text::trim(n.tag)));
            addChildren(child, level + 1);
        }
    };
    addChildren(tree.roots().front(), 1);
    statements.push_back(sql::renameRule(ruleKey, root.text));
    return statements;
}

bool RuleStore::saveTree(const ui::KeyedTree& tree) {
    if (tree.roots().empty()) return false;
    return writeTogether("划分原则：保存", saveStatements(tree));
}

bool RuleStore::deleteRule(std::string_view ruleKey) {
    return writeTogether("划分原则：删除", {sql::deleteRuleTree(ruleKey), sql::deleteRule(ruleKey)});
}

} // namespace ocable::systemtree
