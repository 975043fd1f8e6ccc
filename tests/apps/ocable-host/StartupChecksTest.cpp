#include "StartupChecks.h"
#include "platform/db/SqliteConnection.h"
#include "support/EnvGuard.h"
#include "support/TempDir.h"

#include <functional>
#include <gtest/gtest.h>

using ocable::hostapp::HostConfig;
using ocable::hostapp::StartupChecks;
using ocable::testsupport::EnvGuard;
using ocable::testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

fs::path sqliteFile(const TempDir& dir, const std::string& name) {
    ocable::db::SqliteConnection(dir / name, ocable::db::SqliteConnection::OpenMode::Create)
        .execute("CREATE TABLE STATION (STATIONCODE TEXT)");
    return dir / name;
}

// Each file is named with its cause; a good one passes.
TEST(StartupChecksTest, DatabaseFilesAreNamedWithTheCause) {
    struct Case {
        const char* name;
        std::function<fs::path(const TempDir&)> make;
        const char* expected; // start of the message; "" when the file is fine
    };
    const Case cases[] = {
        {"Good", [](const TempDir& d) { return sqliteFile(d, "ok.db"); }, ""},
        {"NotGiven", [](const TempDir&) { return fs::path(); }, "没有指定网络数据库文件"},
        {"Missing", [](const TempDir& d) { return d / "missing.db"; }, "找不到网络数据库文件："},
        {"BelowAFile", [](const TempDir& d) { return d.write("f", "x") / "x.db"; }, "找不到网络数据库文件："},
        {"Empty", [](const TempDir& d) { return d.write("empty.db", ""); }, "网络数据库文件是空的："},
        {"Text", [](const TempDir& d) { return d.write("t.db", "CREATE TABLE x;"); },
         "网络数据库文件不是 SQLite 数据库："},
        {"ShortHeader", [](const TempDir& d) { return d.write("h.db", "SQLite format"); },
         "网络数据库文件不是 SQLite 数据库："},
        {"Folder", [](const TempDir& d) { return d.write("db/x", "").parent_path(); },
         "网络数据库不是普通文件："},
        {"Device", [](const TempDir&) { return fs::path("/dev/zero"); }, "网络数据库不是普通文件："},
        {"HeaderOnly",
         [](const TempDir& d) {
             // The magic text and then garbage where the pages should be.
             return d.write("g.db", std::string("SQLite format 3\0", 16) + std::string(200, '\xff'));
         },
         "网络数据库文件"},
    };
    TempDir dir("dbcheck");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = c.make(dir);
        const std::string problem = StartupChecks::database(file);
        if (*c.expected == '\0') {
            EXPECT_EQ(problem, "");
            continue;
        }
        EXPECT_EQ(problem.rfind(c.expected, 0), 0u) << problem;
        if (!file.empty()) {
            EXPECT_NE(problem.find(file.string()), std::string::npos) << problem;
        }
    }
}

TEST(StartupChecksTest, FoldersMustBeFoldersAndTheAppFolderMustExist) {
    TempDir dir("folders");
    HostConfig config;
    config.useDemoLayout(dir.path());
    for (const char* sub : {"system", "app", "map"})
        fs::create_directories(dir / sub);
    EXPECT_EQ(StartupChecks::folders(config), ""); // the common folder may be missing

    fs::remove(dir / "app");
    EXPECT_EQ(StartupChecks::folders(config), "找不到应用目录：" + (dir / "app").string());
    fs::create_directories(dir / "app");

    dir.write("common", "not a folder");
    EXPECT_EQ(StartupChecks::folders(config), "公共地图组件目录不是目录：" + (dir / "common").string());
}

TEST(StartupChecksTest, RegistryLocationAndWhetherItCanBeWritten) {
    TempDir dir("registry");
    EXPECT_EQ(StartupChecks::registry(dir / "deep" / "er" / "plugins.reg"), ""); // created on first use
    dir.write("plugins.reg", "# 注册表\n");
    EXPECT_EQ(StartupChecks::registry(dir / "plugins.reg"), "");
    EXPECT_EQ(StartupChecks::registry(dir / "plugins.reg" / "x.reg").rfind("无法创建插件注册表：", 0), 0u);
    EXPECT_EQ(StartupChecks::registry("/dev/zero"), "插件注册表不是普通文件：/dev/zero");

    EnvGuard env;
    env.set("QZTRANS_PLUGIN_REGISTRY", (dir / "r.reg").string())
        .set("XDG_CONFIG_HOME", "/x")
        .set("HOME", "/h");
    EXPECT_EQ(StartupChecks::registryPath(), dir / "r.reg");
    env.unset("QZTRANS_PLUGIN_REGISTRY");
    EXPECT_EQ(StartupChecks::registryPath(), fs::path("/x/qztrans/plugins.reg"));
    env.unset("XDG_CONFIG_HOME");
    EXPECT_EQ(StartupChecks::registryPath(), fs::path("/h/.config/qztrans/plugins.reg"));
    env.unset("HOME");
    EXPECT_EQ(StartupChecks::registryPath(), fs::path()); // no fallback anyone could plant first
    EXPECT_NE(StartupChecks::registry({}), "");
}

} // namespace
