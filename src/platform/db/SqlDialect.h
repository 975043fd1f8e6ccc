#pragma once

#include <string>
#include <string_view>

namespace ocable::db {

// The program writes its SQL for Oracle. This turns such a text into one that
// SQLite runs with the same meaning, touching nothing inside quotes:
// - "INSERT INTO t (SELECT ...)": the parentheses around the SELECT go, as
//   SQLite reads them as a column list;
// - "a || b": Oracle skips a Null operand where SQLite makes the whole text
//   Null, so each operand that is not a literal becomes ifnull(operand,'')
//   (a result column without an alias is then named by that text);
// - ORDER BY: Oracle sorts Nulls as if larger than any value, so each term
//   gets NULLS LAST, or NULLS FIRST after DESC, unless it says already.
// Everything else the program sends (substr, length, $ inside names,
// "nodekey in(", "distinct ( ... )") means the same in both and is left as
// it is.
std::string adaptToSqlite(std::string_view oracleSql);

} // namespace ocable::db
