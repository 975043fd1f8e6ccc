#pragma once

#include "platform/db/SqliteConnection.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ocable::demo::test {

using Cell = std::optional<std::string>;
using Row = std::vector<Cell>;

// A generated database read as the map reads it: through the data layer's
// own connection, which adapts the map's Oracle SQL and gives each cell's
// text as the map sees it.
class Db {
public:
    explicit Db(const std::filesystem::path& path);

    std::vector<Row> rows(const std::string& sql) const;
    std::vector<std::string> column(const std::string& sql) const; // first column, nulls as ""
    // Empty when the statement compiles, else the error text; nothing runs.
    std::string prepareError(const std::string& sql) const;

private:
    mutable db::SqliteConnection connection_;
};

// The small network of seed 1, generated once per test program.
const std::filesystem::path& smallDemoDb();

std::filesystem::path sourceDir();

} // namespace ocable::demo::test
