#pragma once

#include <string>
#include <string_view>

// The SQL texts that read and write the division rules (EN_SUBNET_P) and
// their trees (RE_TREE_STRUCT). Every value is pasted through db::sqlQuote;
// for a value without a quote the text is the one the stored formats were
// always written with, so other programs reading the tables see no change.
namespace ocable::systemtree::sql {

// Reads.
std::string allRules();                           // every rule, in database order
std::string allRuleKeys();                        // for choosing a new key
std::string ruleRemark(std::string_view ruleKey); // the protection mark
std::string ruleTree(std::string_view ruleKey);   // parents before children
std::string allSystems();                         // for seeding

// Writes.
std::string insertNewRule(int number); // key and name "划分原则" + number
std::string renameRule(std::string_view rootKey, std::string_view rootText);
std::string deleteRuleTree(std::string_view ruleKey);
std::string deleteRule(std::string_view ruleKey);
std::string insertRoot(std::string_view ruleKey, std::string_view name);
std::string insertSeededSystem(std::string_view ruleKey, std::string_view systemCode,
                               std::string_view systemName);
std::string insertNode(std::string_view nodeKey, std::string_view text, std::string_view parentKey, int level,
                       std::string_view ruleKey, std::string_view tag);
// Refresh against TRANSSYSTEM: drop system nodes whose system is gone, then
// add a level-1 node for every system the rule lacks.
std::string deleteVanishedSystems(std::string_view ruleKey);
std::string insertMissingSystems(std::string_view ruleKey);

} // namespace ocable::systemtree::sql
