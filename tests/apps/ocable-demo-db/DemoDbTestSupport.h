#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ocable::demo::test {

using Cell = std::optional<std::string>;
using Row = std::vector<Cell>;

// Read-only view of a generated database through the sqlite3 C API.
class Db {
public:
    explicit Db(const std::filesystem::path& path);
    ~Db();
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    std::vector<Row> rows(const std::string& sql) const;
    std::vector<std::string> column(const std::string& sql) const; // first column, nulls as ""
    // Empty when the statement compiles, else the error text.
    std::string prepareError(const std::string& sql) const;

private:
    sqlite3* db_ = nullptr;
};

// The small network of seed 1, generated once per test program.
const std::filesystem::path& smallDemoDb();

std::filesystem::path sourceDir();

} // namespace ocable::demo::test
