#include "SqliteDataAccess.h"

#include "platform/db/DbError.h"
#include "platform/db/SqliteConnection.h"

namespace ocable::hostapp {

namespace {
constexpr std::string_view kSystemDb = "systemDB";
}

SqliteDataAccess::SqliteDataAccess(const std::filesystem::path& database)
    : connection_(std::make_unique<db::SqliteConnection>(database)) {}

SqliteDataAccess::~SqliteDataAccess() = default;

db::SqliteConnection& SqliteDataAccess::connectionFor(std::string_view name, std::string_view sql) {
    if (observer_) observer_(sql);
    if (name != kSystemDb)
        throw db::DbError("未知的数据库连接“" + std::string(name) + "”：只有连接 systemDB 可用");
    return *connection_;
}

std::shared_ptr<db::Recordset> SqliteDataAccess::openRecordset(std::string_view connection, std::string_view sql,
                                                               int /*options*/) {
    return connectionFor(connection, sql).query(sql);
}

long SqliteDataAccess::executeSql(std::string_view connection, std::string_view sql) {
    return connectionFor(connection, sql).execute(sql);
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
