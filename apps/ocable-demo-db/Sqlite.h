#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace ocable::demo {

// Minimal RAII over the sqlite3 C API for bulk writing and a few counts.
class SqliteDb {
public:
    explicit SqliteDb(const std::filesystem::path& path);
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    void exec(const std::string& sql);
    std::int64_t count(const std::string& sql); // first column of the first row
    sqlite3* handle() { return db_; }

private:
    sqlite3* db_ = nullptr;
};

class SqliteStatement {
public:
    SqliteStatement(SqliteDb& db, const std::string& sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    SqliteStatement& bind(int index, const std::optional<std::string>& text);
    SqliteStatement& bind(int index, const std::string& text) {
        return bind(index, std::optional<std::string>(text));
    }
    SqliteStatement& bind(int index, const char* text) {
        return bind(index, std::optional<std::string>(text));
    }
    SqliteStatement& bind(int index, std::optional<double> value);
    SqliteStatement& bind(int index, std::int64_t value);
    SqliteStatement& bind(int index, int value) { return bind(index, static_cast<std::int64_t>(value)); }
    SqliteStatement& bindNull(int index);

    // Runs the statement once and resets it for the next row.
    void run();
    // Steps; true while a row is available.
    bool step();
    std::int64_t columnInt(int index);
    std::string columnText(int index);

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace ocable::demo
