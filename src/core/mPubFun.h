#pragma once

#include "platform/db/Recordset.h"

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

// Small helpers shared by the map drawing, the trees and the windows.
namespace ocable::mPubFun {

// Opens a query on the host's "systemDB" connection. A query that fails (a
// missing table or view, a broken connection, no data access at all) gives
// null instead of an exception: callers treat it like a query without rows.
// The failure is logged with the statement and its cause.
std::shared_ptr<db::Recordset> openRecordset(const std::string& sql);

// "SELECT " + fields + " FROM " + table + " WHERE " + condition: the first
// column of every row, in row order, joined with ";". Callers pass complete
// SQL fragments. Empty text when there is no row or the query fails, even
// when it fails after some rows were read.
std::string getColumnValues(const std::string& table, const std::string& fields,
                            const std::string& condition);

// Sets the recordset's filter; a criteria the recordset rejects leaves it
// unfiltered. An empty criteria shows every row again.
std::shared_ptr<db::Recordset>& filterRecordset(std::shared_ptr<db::Recordset>& recordset,
                                                const std::string& criteria);

// Copies every file of source into target, overwriting. When the copy fails
// (a read-only target, say) the clashing targets are deleted and the copy
// runs once more. Nothing is reported.
void copyFolderFiles(const std::filesystem::path& source, const std::filesystem::path& target);

// Deletes from target every file that source also holds, read-only ones too.
void deleteExistingFiles(const std::filesystem::path& source, const std::filesystem::path& target);

// The folder where shared map components keep their data: $QZTRANS_COMMON_FILES,
// else $XDG_DATA_HOME/qztrans/common (~/.local/share when unset). Empty text
// when that folder does not exist.
std::filesystem::path getCommonFilesDir();

// The map component's custom-symbol folder below the common files folder.
std::filesystem::path getCustomSymbolDir();

// base joined with the parts, each part matched without regard to ASCII
// letter case when no entry has its exact spelling: the host's folders were
// written for a file system that ignores case ("Icon" and "icon").
std::filesystem::path resolvePath(const std::filesystem::path& base,
                                  std::initializer_list<std::string_view> parts);

} // namespace ocable::mPubFun
