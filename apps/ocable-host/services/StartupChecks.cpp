#include "StartupChecks.h"

#include "SystemErrorText.h"

#include <sqlite3.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <unistd.h>

namespace ocable::hostapp {

namespace fs = std::filesystem;

namespace {

std::string reason(int error) {
    return systemErrorText(error);
}

// "" when the current user may do mode (R_OK, W_OK, X_OK) to path.
std::string accessProblem(const fs::path& path, int mode) {
    if (::access(path.c_str(), mode) == 0) return {};
    return reason(errno);
}

// Why the database cannot be read: other than "locked", these are what
// SQLite itself says.
std::string sqliteProblem(const fs::path& file) {
    sqlite3* db = nullptr;
    std::string problem;
    const int open = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (open != SQLITE_OK) {
        problem = "无法打开网络数据库文件：" + file.string() + "（" + sqlite3_errstr(open) + "）";
    } else {
        // A writer that finishes within a second is no reason to refuse.
        sqlite3_busy_timeout(db, 1000);
        const int rc = sqlite3_exec(db, "SELECT COUNT(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            problem = "网络数据库文件被其他程序锁定：" + file.string() + "（请关闭正在使用它的程序后重试）";
        else if (rc == SQLITE_NOTADB)
            problem = "网络数据库文件不是 SQLite 数据库：" + file.string();
        else if (rc != SQLITE_OK)
            problem = "无法读取网络数据库文件：" + file.string() + "（" + sqlite3_errmsg(db) + "）";
    }
    sqlite3_close(db);
    return problem;
}

} // namespace

std::string StartupChecks::database(const fs::path& file) {
    if (file.empty()) return "没有指定网络数据库文件（用 --database、--demo 或配置文件的 Database 指定）";
    std::error_code ec;
    const auto status = fs::status(file, ec);
    if (!fs::exists(status))
        return "找不到网络数据库文件：" + file.string() +
               (ec ? "（" + reason(ec.value()) + "）" : std::string());
    if (!fs::is_regular_file(status)) return "网络数据库不是普通文件：" + file.string();
    if (const auto p = accessProblem(file, R_OK); !p.empty())
        return "无法读取网络数据库文件：" + file.string() + "（" + p + "）";
    if (fs::file_size(file, ec) == 0 && !ec) return "网络数据库文件是空的：" + file.string();

    std::array<char, 16> header{};
    std::ifstream in(file, std::ios::binary);
    in.read(header.data(), header.size());
    if (in.gcount() < static_cast<std::streamsize>(header.size()) ||
        std::memcmp(header.data(), "SQLite format 3", header.size()) != 0)
        return "网络数据库文件不是 SQLite 数据库：" + file.string();
    return sqliteProblem(file);
}

std::string StartupChecks::folders(const HostConfig& config, bool requireAppDir) {
    const std::array<std::pair<const char*, const fs::path*>, 4> folders = {
        {{"系统目录", &config.systemDir},
         {"应用目录", &config.appDir},
         {"地图目录", &config.mapDir},
         {"公共地图组件目录", &config.commonFilesDir}}};
    for (const auto& [what, path] : folders) {
        if (path->empty()) continue;
        std::error_code ec;
        const auto status = fs::status(*path, ec);
        if (!fs::exists(status)) {
            // A missing folder is one the view does without (no layer files,
            // no symbols); only one that should hold the map is required.
            if (path == &config.appDir && requireAppDir)
                return "找不到" + std::string(what) + "：" + path->string();
            continue;
        }
        if (!fs::is_directory(status)) return std::string(what) + "不是目录：" + path->string();
        if (const auto p = accessProblem(*path, R_OK | X_OK); !p.empty())
            return "无法读取" + std::string(what) + "：" + path->string() + "（" + p + "）";
        if (path == &config.mapDir)
            if (const auto p = accessProblem(*path, W_OK); !p.empty())
                return "无法写入地图目录：" + path->string() + "（" + p + "）";
    }
    return {};
}

std::string StartupChecks::registry(const fs::path& file) {
    if (file.empty()) return "找不到插件注册表的位置（请设置 QZTRANS_PLUGIN_REGISTRY 或 HOME）";
    std::error_code ec;
    const auto status = fs::status(file, ec);
    if (fs::exists(status)) {
        if (!fs::is_regular_file(status)) return "插件注册表不是普通文件：" + file.string();
        if (const auto p = accessProblem(file, R_OK | W_OK); !p.empty())
            return "无法读写插件注册表：" + file.string() + "（" + p + "）";
        return {};
    }
    // The registry's folder is created on first use: the nearest folder that
    // exists must let us create the rest.
    fs::path folder = file.parent_path();
    while (!folder.empty() && !fs::exists(folder, ec) && folder != folder.parent_path())
        folder = folder.parent_path();
    if (folder.empty()) folder = ".";
    if (!fs::is_directory(folder, ec))
        return "无法创建插件注册表：" + file.string() + "（" + folder.string() + " 不是目录）";
    if (const auto p = accessProblem(folder, W_OK | X_OK); !p.empty())
        return "无法创建插件注册表：" + file.string() + "（" + folder.string() + "：" + p + "）";
    return {};
}

fs::path StartupChecks::registryPath() {
    if (const char* env = std::getenv("QZTRANS_PLUGIN_REGISTRY"); env && *env) return env;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return fs::path(xdg) / "qztrans" / "plugins.reg";
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".config" / "qztrans" / "plugins.reg";
    return {};
}

} // namespace ocable::hostapp
