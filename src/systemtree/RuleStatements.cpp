#include "systemtree/RuleStatements.h"

#include "platform/db/SqlQuote.h"

namespace ocable::systemtree::sql {

using db::sqlQuote;

namespace {
// Rule keys made by the editor: this prefix and a decimal number.
std::string newRuleKey(int number) {
    return "划分原则" + std::to_string(number);
}
std::string str(std::string_view s) {
    return std::string(s);
}
} // namespace

std::string allRules() {
    return "SELECT * FROM EN_SUBNET_P";
}

std::string allRuleKeys() {
    return "SELECT P_KEY FROM EN_SUBNET_P";
}

std::string ruleRemark(std::string_view ruleKey) {
    return "SELECT P_KEY , REMARK FROM EN_SUBNET_P WHERE P_KEY = " + sqlQuote(ruleKey);
}

std::string ruleTree(std::string_view ruleKey) {
    return "SELECT * FROM RE_TREE_STRUCT WHERE P_KEY = " + sqlQuote(ruleKey) +
           " ORDER BY NODELEVEL , NODENAME ";
}

std::string allSystems() {
    return "SELECT SYSTEMCODE , SYSNAME FROM TRANSSYSTEM ";
}

std::string insertNewRule(int number) {
    const std::string key = sqlQuote(newRuleKey(number));
    return "INSERT INTO EN_SUBNET_P(P_KEY,P_NAME) VALUES(" + key + " ," + key + ")";
}

std::string renameRule(std::string_view rootKey, std::string_view rootText) {
    return "UPDATE EN_SUBNET_P SET P_NAME = " + sqlQuote(rootText) + " WHERE P_KEY = " + sqlQuote(rootKey);
}

std::string deleteRuleTree(std::string_view ruleKey) {
    return "DELETE FROM RE_TREE_STRUCT WHERE P_KEY = " + sqlQuote(ruleKey);
}

std::string deleteRule(std::string_view ruleKey) {
    return "DELETE FROM EN_SUBNET_P WHERE P_KEY = " + sqlQuote(ruleKey);
}

std::string insertRoot(std::string_view ruleKey, std::string_view name) {
    return "INSERT INTO RE_TREE_STRUCT(NODEKEY,NODENAME,PARENTKEY,NODELEVEL,P_KEY,IS_DELETE) VALUES(" +
           sqlQuote(ruleKey) + " ," + sqlQuote(name) + ",'NULL',0," + sqlQuote(ruleKey) + ",'NO')";
}

std::string insertSeededSystem(std::string_view ruleKey, std::string_view systemCode,
                               std::string_view systemName) {
    return "INSERT INTO RE_TREE_STRUCT(NODEKEY,NODENAME,PARENTKEY,NODELEVEL,P_KEY,IS_DELETE) VALUES(" +
           sqlQuote(str(ruleKey) + ":" + str(systemCode)) + "," +
           sqlQuote(str(systemCode) + "(" + str(systemName) + ")") + "," + sqlQuote(ruleKey) + ",1," +
           sqlQuote(ruleKey) + ",'NO')";
}

std::string insertNode(std::string_view nodeKey, std::string_view text, std::string_view parentKey, int level,
                       std::string_view ruleKey, std::string_view tag) {
    return "INSERT INTO RE_TREE_STRUCT(NODEKEY,NODENAME,PARENTKEY,NODELEVEL,P_KEY,IS_DELETE) VALUES(" +
           sqlQuote(nodeKey) + "," + sqlQuote(text) + "," + sqlQuote(parentKey) + "," +
           std::to_string(level) + "," + sqlQuote(ruleKey) + "," + sqlQuote(tag) + ")";
}

// The code of a system node is its key without the rule key and the ":".
std::string deleteVanishedSystems(std::string_view ruleKey) {
    const std::string k = sqlQuote(ruleKey);
    return "delete from re_tree_struct where p_key = " + k + "  and  nodekey in(" +
           "select p_key || ':' || systemcode  from (" +
           "select distinct ( substr(nodekey ,length(p_key) + 2 ,length(nodekey) - length(p_key) -1)) as "
           "systemcode ,p_key from re_tree_struct " +
           "where is_delete = 'NO' and nodelevel > 0 and p_key = " + k + ") " +
           "where systemcode not in (select systemcode from transsystem )) ";
}

// Inserts by position into all seven columns; the seventh gets ''.
std::string insertMissingSystems(std::string_view ruleKey) {
    const std::string k = sqlQuote(ruleKey);
    return std::string("insert into re_tree_struct (") +
           "select nodekey , systemcode || '(' || sysname || ')' as nodename  , " + k + " , 1 , " + k +
           " , 'NO' , '' from " + "(select (" + sqlQuote(str(ruleKey) + ":") +
           " || systemcode) as nodekey ,systemcode , sysname from transsystem ) " +
           "where nodekey not in (select nodekey from re_tree_struct )) ";
}

} // namespace ocable::systemtree::sql
