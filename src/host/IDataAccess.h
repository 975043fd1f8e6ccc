#pragma once

#include "host/HostObject.h"
#include "platform/db/Recordset.h"

#include <memory>
#include <string_view>

namespace ocable::host {

// The status of a statement that failed.
inline constexpr long kExecuteFailed = -1;

// Database access of the host. The connection name is always "systemDB".
class IDataAccess : public virtual HostObject {
public:
    // Runs a query and returns its rows (a statement without rows gives an
    // empty recordset), or nothing when the query failed. A host may also
    // throw db::DbError; the plug-in guards against both.
    virtual std::shared_ptr<db::Recordset> openRecordset(std::string_view connection, std::string_view sql,
                                                         int options = 0) = 0;
    // Runs an INSERT, UPDATE or DELETE; returns the number of rows changed,
    // or kExecuteFailed when the statement failed (a host may also throw).
    virtual long executeSql(std::string_view connection, std::string_view sql) = 0;
};

// Optional capability of a data access: statements between begin and commit
// take effect together or, after rollback (or a crash before commit), not at
// all. The plug-in looks for it with dynamic_cast; a host without it gets each
// statement applied on its own. Failures throw db::DbError.
class IDataTransactions : public virtual HostObject {
public:
    virtual void beginTransaction(std::string_view connection) = 0;
    virtual void commitTransaction(std::string_view connection) = 0;
    virtual void rollbackTransaction(std::string_view connection) = 0;
};

} // namespace ocable::host
