#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <filesystem>
#include <optional>

namespace ocable::hostapp {

// Automation steps on the trees and the division-rule editor, and what the
// dumps show of them:
//   {"tree": "frmViewResTree.TreeSystem", "node": key, "do": "check" | "uncheck" | "click" | "dblClick" |
//    "select" | "expand" | "collapse"}   on any of the four trees
//   {"combo": "frmViewResTree.CobSubNetPart", "select": text}   picks an entry as the user does
//   {"drag": "frmViewResTree.TreeSystem", "from": key, "to": key, "dy": twips}   the pointer ends over "to"
// Nothing when the step is none of these; throws ScriptError for a bad one.
std::optional<QJsonValue> runTreeStep(const QJsonObject& step);

// The editor's state: the rule combo box, the rule on show and its marks,
// and the rows of EN_SUBNET_P and of RE_TREE_STRUCT for the rule on show,
// read from the database apart from the plug-in's data access (so that
// they stay out of the sql log).
QJsonObject dumpRuleEditor();
void setRuleTablesSource(const std::filesystem::path& database);

} // namespace ocable::hostapp
