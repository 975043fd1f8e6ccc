#pragma once

#include "BaseMap.h"
#include "Network.h"
#include "Sqlite.h"

#include <functional>
#include <string>

namespace ocable::demo {

// The schema text of data/schema.sql, built into the program.
const std::string& schemaSql();

// Applies the schema and writes the network and its reference data inside
// one transaction. Rows go in a fixed order, so equal input gives equal tables.
void writeDatabase(SqliteDb& db, const BaseMap& map, const Network& net,
                   const std::function<void(const std::string&)>& progress);

} // namespace ocable::demo
