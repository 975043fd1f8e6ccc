#pragma once

#include "platform/db/Recordset.h"

#include <filesystem>
#include <memory>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace ocable::db {

// One SQLite database file in the place of the host's "systemDB". Every text
// is the program's Oracle SQL; it is adapted (SqlDialect.h) before it runs.
// One statement per call: a text holding a second statement is refused.
// LIKE is case-sensitive, as in Oracle. Text is UTF-8 in and out.
// Failures throw DbError carrying SQLite's message and the SQL.
// A connection is used from one thread at a time.
class SqliteConnection {
public:
    enum class OpenMode {
        ReadWrite, // the file must exist
        Create,    // made empty when missing
        ReadOnly,
    };

    // The path may hold any UTF-8 name; ":memory:" opens a private in-memory
    // database.
    explicit SqliteConnection(const std::filesystem::path& file, OpenMode mode = OpenMode::ReadWrite);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;
    SqliteConnection(SqliteConnection&& other) noexcept;
    SqliteConnection& operator=(SqliteConnection&& other) noexcept;

    // Runs the statement and reads all its rows into an open recordset: each
    // cell Null, integer, real or text as stored, columns named as SQLite
    // reports them. A statement without result columns (an INSERT sent as a
    // query, as the program does) runs and gives a closed recordset.
    std::shared_ptr<Recordset> query(std::string_view sql);

    // Runs the statement and returns the number of rows it inserted, updated
    // or deleted (0 for any other statement).
    long execute(std::string_view sql);

    const std::filesystem::path& path() const { return path_; }

private:
    class Statement;
    Statement prepare(std::string_view sql);
    [[noreturn]] void fail(std::string_view sql) const;

    sqlite3* db_ = nullptr;
    std::filesystem::path path_;
};

} // namespace ocable::db
