#pragma once

#include "Sqlite.h"

#include <string>

namespace ocable::demo {

// Counts per table, per station and cable class as the map classifies them,
// per lay mode, parallel groups, systems per model: read back from the
// written database, so the figures describe what was stored.
std::string summarize(SqliteDb& db);

} // namespace ocable::demo
