#pragma once

#include <string>

// The management domains the map can show, and the province conditions that
// restrict the station and cable queries to a scope of domains.
namespace ocable::AreaScope {

// Names of all management domains, trimmed, in display order, joined with
// ","; empty when there is none or the table cannot be read.
std::string getAdminDomains();

// The station and cable conditions for the scope (domain names joined with
// ","), when the rule is the division by management area; otherwise both
// outputs stay as they are. A scope whose domains hold no province gives
// conditions that select nothing.
void getDomainFilters(const std::string& ruleName, const std::string& scope, std::string& stationCondition,
                      std::string& cableCondition);

} // namespace ocable::AreaScope
