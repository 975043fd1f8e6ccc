#pragma once

#include "platform/db/Recordset.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ocable {
namespace host {
class IDataAccess;
class IDataTransactions;
} // namespace host
namespace ui {
class KeyedTree;
}
} // namespace ocable

namespace ocable::systemtree {

// The division rules and their trees as stored in EN_SUBNET_P and
// RE_TREE_STRUCT, reached through the host's data access on "systemDB".
// Reads throw db::DbError; the writes say whether they took effect.
class RuleStore {
public:
    explicit RuleStore(host::IDataAccess& data);

    struct Rule {
        std::string key, name; // trimmed
    };
    std::vector<Rule> readRules();

    // The number of the next rule the editor creates ("划分原则" + number).
    int newRuleNumber();
    // Chooses the number and inserts the rule; returns its key (also its name).
    std::string createRule();
    // Whether the rule's protection mark forbids deleting it.
    bool isProtected(std::string_view ruleKey);

    // The stored tree, parents before children; null when the host gives none.
    std::shared_ptr<db::Recordset> readTree(std::string_view ruleKey);
    // Writes a root and one level-1 node per transmission system. A statement
    // that fails is logged and passed over, so one bad system row does not
    // leave the whole rule without a tree.
    void seed(std::string_view ruleKey, std::string_view ruleName);
    // Drops system nodes whose system left TRANSSYSTEM, then adds nodes for
    // systems the rule lacks. Throws db::DbError.
    void refresh(std::string_view ruleKey);

    // Replaces the stored tree of the rule whose root is the tree's first
    // root, and renames the rule after the root's text. With a host that
    // offers transactions this happens whole or not at all; false when a
    // statement failed (logged).
    bool saveTree(const ui::KeyedTree& tree);
    // The statements of a save, in the order they run.
    static std::vector<std::string> saveStatements(const ui::KeyedTree& tree);
    // Removes the rule and its tree, together when the host allows it.
    bool deleteRule(std::string_view ruleKey);

    // Whether the host's data access can group statements in a transaction.
    bool transactional() const { return transactions_ != nullptr; }

private:
    class Transaction;
    void execute(const std::string& statement);
    void openForInsert(const std::string& statement);
    bool writeTogether(const char* step, const std::vector<std::string>& statements);

    host::IDataAccess& data_;
    host::IDataTransactions* transactions_;
};

} // namespace ocable::systemtree
