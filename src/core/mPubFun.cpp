#include "core/mPubFun.h"

#include "core/Log.h"
#include "core/NetworkVocabulary.h"
#include "core/TextUtil.h"
#include "core/mPubVar.h"

#include <cstdlib>

namespace fs = std::filesystem;

namespace ocable::mPubFun {

std::shared_ptr<db::Recordset> openRecordset(const std::string& sql) {
    try {
        return mPubVar::gobjDataAccess->openRecordset(vocab::kConnection, sql);
    } catch (const std::exception& e) {
        qCWarning(lcComponent, "查询失败，按无结果处理：%s；原因：%s", sql.c_str(), e.what());
    } catch (...) {
        qCWarning(lcComponent, "查询失败，按无结果处理：%s；原因未知", sql.c_str());
    }
    return nullptr;
}

std::string getColumnValues(const std::string& table, const std::string& fields,
                            const std::string& condition) {
    const std::string sql = "SELECT " + fields + " FROM " + table + " WHERE " + condition;
    auto rs = openRecordset(sql);
    std::string joined;
    try {
        if (rs && !(rs->Eof() && rs->Bof())) {
            for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
                joined += ";" + rs->Fields(0).toText();
            rs->Close();
        }
    } catch (const std::exception& e) {
        // Part of a column is no answer: the caller would take it for all.
        qCWarning(lcComponent, "读取查询结果失败，按无结果处理：%s；原因：%s", sql.c_str(), e.what());
        return {};
    }
    return joined.empty() ? joined : joined.substr(1);
}

std::shared_ptr<db::Recordset>& filterRecordset(std::shared_ptr<db::Recordset>& recordset,
                                                const std::string& criteria) {
    try {
        if (recordset) recordset->setFilter(criteria);
    } catch (const std::exception& e) {
        qCWarning(lcComponent, "记录集筛选条件无效，未筛选：%s；原因：%s", criteria.c_str(), e.what());
    }
    return recordset;
}

namespace {

void removeForced(const fs::path& file) {
    std::error_code ec;
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove(file, ec);
}

bool copyAll(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    bool ok = true;
    for (fs::directory_iterator it(source, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file()) continue;
        std::error_code copyError;
        fs::copy_file(it->path(), target / it->path().filename(), fs::copy_options::overwrite_existing,
                      copyError);
        if (copyError) ok = false;
    }
    return ok && !ec;
}

} // namespace

void copyFolderFiles(const fs::path& source, const fs::path& target) {
    if (copyAll(source, target)) return;
    deleteExistingFiles(source, target);
    copyAll(source, target);
}

void deleteExistingFiles(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    for (fs::directory_iterator it(source, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path candidate = target / it->path().filename();
        std::error_code existsError;
        if (fs::is_regular_file(candidate, existsError)) removeForced(candidate);
    }
}

fs::path getCommonFilesDir() {
    fs::path dir;
    if (const char* env = std::getenv("QZTRANS_COMMON_FILES"); env && *env)
        dir = env;
    else if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        dir = fs::path(xdg) / "qztrans" / "common";
    else if (const char* home = std::getenv("HOME"); home && *home)
        dir = fs::path(home) / ".local" / "share" / "qztrans" / "common";
    std::error_code ec;
    return !dir.empty() && fs::is_directory(dir, ec) ? dir : fs::path();
}

fs::path getCustomSymbolDir() {
    const fs::path dir = getCommonFilesDir();
    if (dir.empty()) return dir;
    const auto& [shared, common, symbols] = vocab::kCustomSymbolSubdirs;
    return resolvePath(dir, {shared, common, symbols});
}

} // namespace ocable::mPubFun

namespace ocable::mPubFun {

fs::path resolvePath(const fs::path& base, std::initializer_list<std::string_view> parts) {
    fs::path current = base;
    for (std::string_view part : parts) {
        fs::path exact = current / part;
        std::error_code ec;
        if (fs::exists(exact, ec)) {
            current = exact;
            continue;
        }
        fs::path match;
        for (fs::directory_iterator it(current, ec), end; !ec && it != end; it.increment(ec)) {
            if (text::equalsIgnoringAsciiCase(it->path().filename().string(), part)) {
                match = it->path();
                break;
            }
        }
        current = match.empty() ? exact : match;
    }
    return current;
}

} // namespace ocable::mPubFun
