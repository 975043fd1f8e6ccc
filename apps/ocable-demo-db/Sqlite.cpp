#include "Sqlite.h"

#include <stdexcept>

namespace ocable::demo {

SqliteDb::SqliteDb(const std::filesystem::path& path) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw std::runtime_error("cannot open " + path.string() + ": " + message);
    }
}

SqliteDb::~SqliteDb() {
    sqlite3_close(db_);
}

void SqliteDb::exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error("SQL failed: " + message);
    }
}

std::int64_t SqliteDb::count(const std::string& sql) {
    SqliteStatement st(*this, sql);
    return st.step() ? st.columnInt(0) : 0;
}

SqliteStatement::SqliteStatement(SqliteDb& db, const std::string& sql) : db_(db.handle()) {
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot prepare \"" + sql + "\": " + sqlite3_errmsg(db_));
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(stmt_);
}

SqliteStatement& SqliteStatement::bind(int index, const std::optional<std::string>& text) {
    if (!text) return bindNull(index);
    sqlite3_bind_text(stmt_, index, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::optional<double> value) {
    if (!value) return bindNull(index);
    sqlite3_bind_double(stmt_, index, *value);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

SqliteStatement& SqliteStatement::bindNull(int index) {
    sqlite3_bind_null(stmt_, index);
    return *this;
}

void SqliteStatement::run() {
    const int rc = sqlite3_step(stmt_);
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string("insert failed: ") + sqlite3_errmsg(db_));
}

bool SqliteStatement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) throw std::runtime_error(std::string("query failed: ") + sqlite3_errmsg(db_));
    return false;
}

std::int64_t SqliteStatement::columnInt(int index) {
    return sqlite3_column_int64(stmt_, index);
}

std::string SqliteStatement::columnText(int index) {
    const unsigned char* text = sqlite3_column_text(stmt_, index);
    return text ? reinterpret_cast<const char*>(text) : "";
}

} // namespace ocable::demo
