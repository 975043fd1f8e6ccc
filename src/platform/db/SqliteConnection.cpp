#include "platform/db/SqliteConnection.h"

#include "platform/db/DbError.h"
#include "platform/db/DbLog.h"
#include "platform/db/SqlDialect.h"

#include <QString>
#include <sqlite3.h>

#include <algorithm>
#include <cctype>
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

bool isWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || u == '_' || u == '$' || u == '#' || u == '.' || u >= 0x80;
}

// The table a statement reads or writes, for messages: the name after its
// first FROM, INTO, UPDATE or TABLE; empty when there is none.
std::string tableOf(std::string_view sql) {
    std::size_t i = 0;
    auto word = [&]() -> std::string_view {
        while (i < sql.size() && !isWordChar(sql[i]))
            ++i;
        const std::size_t begin = i;
        while (i < sql.size() && isWordChar(sql[i]))
            ++i;
        return sql.substr(begin, i - begin);
    };
    auto is = [](std::string_view w, std::string_view keyword) {
        return w.size() == keyword.size() &&
               std::equal(w.begin(), w.end(), keyword.begin(),
                          [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
    };
    for (std::string_view w = word(); !w.empty(); w = word())
        if (is(w, "FROM") || is(w, "INTO") || is(w, "UPDATE") || is(w, "TABLE")) {
            std::string_view name = word();
            if (is(name, "IF")) { // CREATE TABLE IF NOT EXISTS name
                word();
                word();
                name = word();
            }
            return std::string(name);
        }
    return {};
}

// SQLite's result code in the words a user of the program reads; SQLite's
// own English text follows it in every message.
const char* causeOf(int code) {
    switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "数据库被其他程序锁定";
    case SQLITE_CANTOPEN:
        return "无法打开文件";
    case SQLITE_NOTADB:
        return "文件不是 SQLite 数据库";
    case SQLITE_CORRUPT:
        return "数据库文件已损坏";
    case SQLITE_READONLY:
        return "数据库只读";
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return "没有访问权限";
    case SQLITE_FULL:
        return "磁盘已满";
    case SQLITE_IOERR:
        return "读写文件出错";
    case SQLITE_CONSTRAINT:
        return "违反数据约束";
    case SQLITE_TOOBIG:
        return "数据过大";
    case SQLITE_NOMEM:
        return "内存不足";
    default:
        return "语句有误";
    }
}

std::string fileName(const std::filesystem::path& file) {
    const std::u8string name = file.u8string();
    return std::string(name.begin(), name.end());
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
    auto refuse = [&](int rc, const std::string& detail) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw DbError("无法打开数据库文件“" + fileName(file) + "”（" + causeOf(rc) + "）：" + detail);
    };
    const int rc = sqlite3_open_v2(reinterpret_cast<const char*>(name.c_str()), &db_, flags, nullptr);
    if (rc != SQLITE_OK) refuse(rc, db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
    // The host database may be written by other programs at the same time.
    sqlite3_busy_timeout(db_, 5000);
    // SQLite reads a file only when first asked to: read its schema now, so
    // that a file that is no database, or is locked, is named at the start
    // rather than in the first query of the drawing.
    for (const char* setup : {"PRAGMA case_sensitive_like = ON", "SELECT count(*) FROM sqlite_master"}) {
        char* error = nullptr;
        if (const int code = sqlite3_exec(db_, setup, nullptr, nullptr, &error); code != SQLITE_OK) {
            const std::string detail = error ? error : sqlite3_errstr(code);
            sqlite3_free(error);
            refuse(sqlite3_extended_errcode(db_), detail);
        }
    }
}

SqliteConnection::~SqliteConnection() {
    // A statement left open keeps the file open; nothing else can be done
    // about it here, but it is worth knowing.
    if (db_ && sqlite3_close(db_) != SQLITE_OK)
        qCWarning(lcDb) << "数据库未能关闭:" << QString::fromStdString(fileName(path_))
                        << sqlite3_errmsg(db_);
}

SqliteConnection::SqliteConnection(SqliteConnection&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), path_(std::move(other.path_)) {}

SqliteConnection& SqliteConnection::operator=(SqliteConnection&& other) noexcept {
    if (this != &other) {
        if (db_ && sqlite3_close(db_) != SQLITE_OK)
            qCWarning(lcDb) << "数据库未能关闭:" << QString::fromStdString(fileName(path_))
                            << sqlite3_errmsg(db_);
        db_ = std::exchange(other.db_, nullptr);
        path_ = std::move(other.path_);
    }
    return *this;
}

void SqliteConnection::fail(std::string_view sql) const {
    const std::string table = tableOf(sql);
    const std::string where = table.empty() ? "数据库“" + fileName(path_) + "”" : "表 " + table + " ";
    if (!db_) throw DbError("读写" + where + "出错（数据库连接已关闭）：" + std::string(sql));
    throw DbError("读写" + where + "出错（" + causeOf(sqlite3_extended_errcode(db_)) + "）：" +
                  sqlite3_errmsg(db_) + "；语句：" + std::string(sql));
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
    if (!stmt) throw DbError("语句中没有 SQL 命令：" + std::string(sql));
    const std::size_t used = tail ? static_cast<std::size_t>(tail - text.c_str()) : text.size();
    if (!onlyTrailer(std::string_view(text).substr(std::min(used, text.size()))))
        throw DbError("一次只能执行一条 SQL 语句：" + std::string(sql));
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
