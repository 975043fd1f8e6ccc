#include "SqliteDataAccess.h"

#include "HostLog.h"
#include "platform/db/DbError.h"
#include "platform/db/SqliteConnection.h"

#include <algorithm>

namespace ocable::hostapp {

namespace {

constexpr std::string_view kSystemDb = "systemDB";

// The statement as it appears in the log: long texts cut, so that one query
// of a thousand codes does not bury the reason.
QByteArray shortened(std::string_view sql) {
    constexpr std::size_t kMax = 400;
    QByteArray text = QByteArray::fromRawData(sql.data(), static_cast<qsizetype>(std::min(sql.size(), kMax)));
    return sql.size() > kMax ? text + "…" : QByteArray(text);
}

} // namespace

SqliteDataAccess::SqliteDataAccess(const std::filesystem::path& database)
    : connection_(std::make_unique<db::SqliteConnection>(database)) {}

SqliteDataAccess::~SqliteDataAccess() = default;

db::SqliteConnection& SqliteDataAccess::connectionFor(std::string_view name, std::string_view sql) {
    if (observer_) observer_(sql);
    if (name != kSystemDb)
        throw db::DbError("未知的数据库连接“" + std::string(name) + "”：只有连接 systemDB 可用");
    return *connection_;
}

std::shared_ptr<db::Recordset> SqliteDataAccess::openRecordset(std::string_view connection,
                                                               std::string_view sql, int /*options*/) {
    // The view tests for "nothing" and goes on with what it has; an exception
    // would end its whole handler.
    try {
        return connectionFor(connection, sql).query(sql);
    } catch (const std::exception& e) {
        qCWarning(lcHost, "查询失败，返回空记录集：%s；语句：%s", e.what(), shortened(sql).constData());
    }
    return nullptr;
}

long SqliteDataAccess::executeSql(std::string_view connection, std::string_view sql) {
    try {
        return connectionFor(connection, sql).execute(sql);
    } catch (const std::exception& e) {
        qCWarning(lcHost, "语句执行失败：%s；语句：%s", e.what(), shortened(sql).constData());
    }
    return kFailed;
}

void SqliteDataAccess::beginTransaction(std::string_view connection) {
    connectionFor(connection, "BEGIN").execute("BEGIN");
}

void SqliteDataAccess::commitTransaction(std::string_view connection) {
    connectionFor(connection, "COMMIT").execute("COMMIT");
}

void SqliteDataAccess::rollbackTransaction(std::string_view connection) {
    connectionFor(connection, "ROLLBACK").execute("ROLLBACK");
}

} // namespace ocable::hostapp
