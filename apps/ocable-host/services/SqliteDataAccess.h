#pragma once

#include "host/IDataAccess.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

namespace ocable::db {
class SqliteConnection;
}

namespace ocable::hostapp {

// The host's data access over one SQLite database, reached under the
// connection name "systemDB". Every text is adapted to SQLite's dialect by
// the connection; the text as sent is what observers see. A statement that
// fails is logged and gives nothing (a null recordset, or kFailed from
// executeSql): no exception reaches the view.
class SqliteDataAccess : public host::IDataAccess, public host::IDataTransactions {
public:
    static constexpr long kFailed = host::kExecuteFailed;

    explicit SqliteDataAccess(const std::filesystem::path& database);
    ~SqliteDataAccess() override;

    std::shared_ptr<db::Recordset> openRecordset(std::string_view connection, std::string_view sql,
                                                 int options = 0) override;
    long executeSql(std::string_view connection, std::string_view sql) override;

    // One SQLite transaction; the texts sent are "BEGIN", "COMMIT" and
    // "ROLLBACK", which observers see like any other statement.
    void beginTransaction(std::string_view connection) override;
    void commitTransaction(std::string_view connection) override;
    void rollbackTransaction(std::string_view connection) override;

    // Called with every SQL text before it runs (the automation log uses it).
    void setObserver(std::function<void(std::string_view)> observer) { observer_ = std::move(observer); }

private:
    db::SqliteConnection& connectionFor(std::string_view name, std::string_view sql);

    std::unique_ptr<db::SqliteConnection> connection_;
    std::function<void(std::string_view)> observer_;
};

} // namespace ocable::hostapp
