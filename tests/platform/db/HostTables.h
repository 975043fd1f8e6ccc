#pragma once

#include "platform/db/SqliteConnection.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace ocable::db::test {

// Creates the tables of data/host_tables.sql, one statement per ";" at a line end.
inline void loadHostTables(SqliteConnection& db) {
    std::ifstream in(std::string(OCABLE_SOURCE_DIR) + "/tests/platform/db/data/host_tables.sql");
    std::stringstream text;
    text << in.rdbuf();
    const std::string script = text.str();
    for (std::size_t begin = 0, end; (end = script.find(";\n", begin)) != std::string::npos; begin = end + 2)
        db.execute(script.substr(begin, end - begin));
}

// The first column of every row, each followed by ";". Rows of a query
// without ORDER BY are sorted, as no database promises their order.
inline std::string firstColumn(SqliteConnection& db, const std::string& sql) {
    auto rs = db.query(sql);
    std::vector<std::string> values;
    for (; !rs->Eof(); rs->MoveNext())
        values.push_back(rs->Fields(0).isNull() ? "-" : rs->Fields(0).toText());
    if (sql.find("ORDER BY") == std::string::npos && sql.find("order by") == std::string::npos)
        std::sort(values.begin(), values.end());
    std::string out;
    for (const auto& v : values)
        out += v + ";";
    return out;
}

} // namespace ocable::db::test
