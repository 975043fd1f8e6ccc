#pragma once

#include "BaseMap.h"
#include "Network.h"

#include <string>
#include <vector>

namespace ocable::demo {

struct Domain {
    std::string name, code;
    int serial = 0;
    std::vector<std::string> provincePrefixes; // first two GB digits
};

// The management domains; one has no province yet.
const std::vector<Domain>& managementDomains();

struct DictionaryEntry {
    std::string table, column, caption;
};

// Chinese captions of the columns the property views show.
const std::vector<DictionaryEntry>& columnCaptions();

struct DisplayColumn {
    std::string table, column, caption;
    bool visible = true;
    int serial = 0;
};

// Columns of the line window and the station list, shown first in serial order.
const std::vector<DisplayColumn>& displayColumns();

struct TreeRow {
    std::string nodeKey, nodeName, parentKey;
    int level = 0;
    std::string ruleKey, isDelete;
};

struct Rule {
    std::string key, name;
    OptText remark;
};

struct RuleSet {
    std::vector<Rule> rules;
    std::vector<TreeRow> rows; // parents before children
};

// The division rules: by management area (protected, grouping nodes two
// levels deep, a local-network group and a node whose system is gone), by
// transmission model (with an empty group), and one never displayed yet.
RuleSet divisionRules(const BaseMap& map, const Network& net);

struct ScopeRow {
    std::string user, scope, level, date;
};

// Demo users' resource scopes under the home province.
std::vector<ScopeRow> resourceScopes(const BaseMap& map);

} // namespace ocable::demo
