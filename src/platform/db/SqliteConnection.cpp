#include "platform/db/SqliteConnection.h"

#include "platform/db/DbError.h"
#include "platform/db/SqlDialect.h"

#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace ocable::db {

namespace {

// True when only blanks, semicolons and comments follow the first statement.
bool onlyTrailer(std::string_view rest) {
    std::size_t i = 0;
    while (i < rest.size()) {
        const char c = rest[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' || c == ';' ||
            c == '\0') {
            ++i;
        } else if (rest.substr(i, 2) == "--") {
            const std::size_t eol = rest.find('\n', i);
            i = eol == std::string_view::npos ? rest.size() : eol + 1;
        } else if (rest.substr(i, 2) == "/*") {
            const std::size_t close = rest.find("*/", i + 2);
            if (close == std::string_view::npos) return false;
            i = close + 2;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

class SqliteConnection::Statement {
public:
    explicit Statement(sqlite3_stmt* stmt) : stmt_(stmt) {}
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(Statement&& other) noexcept : stmt_(std::exchange(other.stmt_, nullptr)) {}
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement& operator=(Statement&&) = delete;
    sqlite3_stmt* get() const { return stmt_; }

private:
    sqlite3_stmt* stmt_;
};

SqliteConnection::SqliteConnection(const std::filesystem::path& file, OpenMode mode) : path_(file) {
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
    case OpenMode::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case OpenMode::Create:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    case OpenMode::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    }
    const std::u8string name = file.u8string();
    const int rc = sqlite3_open_v2(reinterpret_cast<const char*>(name.c_str()), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw DbError("cannot open database \"" + std::string(name.begin(), name.end()) + "\": " + message);
    }
    // The host database may be written by other programs at the same time.
    sqlite3_busy_timeout(db_, 5000);
    char* error = nullptr;
    if (sqlite3_exec(db_, "PRAGMA case_sensitive_like = ON", nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        sqlite3_close(db_);
        db_ = nullptr;
        throw DbError("cannot set up database \"" + std::string(name.begin(), name.end()) + "\": " + message);
    }
}

SqliteConnection::~SqliteConnection() {
    sqlite3_close(db_);
}

SqliteConnection::SqliteConnection(SqliteConnection&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), path_(std::move(other.path_)) {}

SqliteConnection& SqliteConnection::operator=(SqliteConnection&& other) noexcept {
    if (this != &other) {
        sqlite3_close(db_);
        db_ = std::exchange(other.db_, nullptr);
        path_ = std::move(other.path_);
    }
    return *this;
}

void SqliteConnection::fail(std::string_view sql) const {
    throw DbError(std::string(db_ ? sqlite3_errmsg(db_) : "the connection is closed") +
                  " in SQL: " + std::string(sql));
}

SqliteConnection::Statement SqliteConnection::prepare(std::string_view sql) {
    if (!db_) fail(sql);
    const std::string text = adaptToSqlite(sql);
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    // The length includes the terminating NUL, which spares SQLite a copy.
    if (sqlite3_prepare_v2(db_, text.c_str(), static_cast<int>(text.size() + 1), &stmt, &tail) != SQLITE_OK)
        fail(sql);
    Statement statement(stmt);
    if (!stmt) throw DbError("no statement in SQL: " + std::string(sql));
    const std::size_t used = tail ? static_cast<std::size_t>(tail - text.c_str()) : text.size();
    if (!onlyTrailer(std::string_view(text).substr(std::min(used, text.size()))))
        throw DbError("more than one statement in SQL: " + std::string(sql));
    return statement;
}

std::shared_ptr<Recordset> SqliteConnection::query(std::string_view sql) {
    Statement statement = prepare(sql);
    sqlite3_stmt* st = statement.get();
    const int columnCount = sqlite3_column_count(st);
    int rc;
    if (columnCount == 0) {
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) fail(sql);
        return std::make_shared<Recordset>();
    }
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(columnCount));
    for (int i = 0; i < columnCount; ++i) {
        const char* name = sqlite3_column_name(st, i);
        names.emplace_back(name ? name : "");
    }
    CellStore cells(static_cast<std::size_t>(columnCount));
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        for (int i = 0; i < columnCount; ++i) {
            const auto column = static_cast<std::size_t>(i);
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_INTEGER:
                cells.appendInteger(column, sqlite3_column_int64(st, i));
                break;
            case SQLITE_FLOAT:
                cells.appendReal(column, sqlite3_column_double(st, i));
                break;
            case SQLITE_NULL:
                cells.appendNull(column);
                break;
            case SQLITE_TEXT: {
                // Pointer before length, as SQLite asks.
                const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                const auto n = static_cast<std::size_t>(sqlite3_column_bytes(st, i));
                cells.appendText(column, p ? std::string_view(p, n) : std::string_view());
                break;
            }
            default: { // a blob, kept as its bytes
                const auto* p = static_cast<const char*>(sqlite3_column_blob(st, i));
                const auto n = static_cast<std::size_t>(sqlite3_column_bytes(st, i));
                cells.appendText(column, p ? std::string_view(p, n) : std::string_view());
            }
            }
        }
        cells.finishRow();
    }
    if (rc != SQLITE_DONE) fail(sql);
    cells.shrinkToFit();
    return std::make_shared<Recordset>(std::move(names), std::move(cells));
}

long SqliteConnection::execute(std::string_view sql) {
    Statement statement = prepare(sql);
    const sqlite3_int64 before = sqlite3_total_changes64(db_);
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) fail(sql);
    // changes() keeps the count of the last INSERT, UPDATE or DELETE, so a
    // statement that changed nothing must not report it.
    return sqlite3_total_changes64(db_) == before ? 0 : static_cast<long>(sqlite3_changes64(db_));
}

} // namespace ocable::db
