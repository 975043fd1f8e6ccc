// End-to-end: every way the host ends early says why on stderr and ends with
// its exit status, without crashing on the way out; results are complete or
// not written at all.

#include "support/HostRunner.h"
#include "support/TempDir.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <thread>

namespace fs = std::filesystem;
using ocable::testsupport::HostRun;
using ocable::testsupport::HostRunner;
using ocable::testsupport::readText;
using ocable::testsupport::TempDir;

namespace {

struct FailingStep {
    const char* name;
    const char* script;
    const char* message; // part of what stderr must say
};

// Test names show the case's name, not its bytes.
void PrintTo(const FailingStep& c, std::ostream* os) {
    *os << c.name;
}

class HostFailingStepTest : public testing::TestWithParam<FailingStep> {};

// Each step fails after the view is open: the message names the step, the
// view still closes (its map is saved) and the status is 2.
TEST_P(HostFailingStepTest, EndsWithStatusTwoAndTheMessage) {
    const auto dir = HostRunner::freshRoot("step");
    const HostRun run = HostRunner::run(dir->path(), GetParam().script);
    EXPECT_FALSE(run.crashed) << run.stderrText;
    EXPECT_EQ(run.exitCode, 2) << run.stderrText;
    EXPECT_NE(run.stderrText.find(GetParam().message), std::string::npos) << run.stderrText;
    EXPECT_EQ(run.stderrText.find("ERROR: AddressSanitizer"), std::string::npos) << run.stderrText;
    EXPECT_EQ(run.stderrText.find("runtime error"), std::string::npos) << run.stderrText;
    EXPECT_TRUE(run.output.isEmpty()) << "a failed script must not leave a result";
    EXPECT_TRUE(fs::exists(dir->path() / "map" / "光缆网络分布图.gst")) << "the view was not closed";
}

INSTANTIATE_TEST_SUITE_P(
    Steps, HostFailingStepTest,
    testing::Values(
        FailingStep{"UnknownStep", R"([{"bogus": 1}])", "第 1 步：未知的步骤"},
        FailingStep{"MissingProcedure", R"([{"dump": true}, {"call": "frmViewOcableMain.noSuchProcedure"}])",
                    "第 2 步：窗口 frmViewOcableMain 没有 0 个参数的公共过程 noSuchProcedure"},
        FailingStep{"MissingWindow", R"([{"call": "frmNoSuchWindow.close"}])", "找不到窗口：frmNoSuchWindow"},
        FailingStep{"MissingTool", R"([{"tool": "mnu_no_such_tool"}])", "找不到工具 mnu_no_such_tool"},
        FailingStep{"WrongArgumentType",
                    R"([{"call": "frmViewOcableMain.drawOcableNetMap", "args": ["按管理区域划分", [1]]}])",
                    "第 2 个参数类型不符"},
        FailingStep{"DrawingAClosedView",
                    R"([{"call": "frmViewOcableMain.close"},
                        {"call": "frmViewOcableMain.drawOcableNetMap", "args": ["按管理区域划分", "NULL"]}])",
                    "第 2 步：找不到窗口：frmViewOcableMain（已关闭）"},
        FailingStep{"WaitAsText", R"([{"wait": "100"}])", "“wait”必须是 0 到 600000 之间的整数"},
        FailingStep{"HugeKeyCode", R"([{"key": 1e300}])", "“key”必须是 0 到 255 之间的整数"}),
    [](const testing::TestParamInfo<FailingStep>& info) { return std::string(info.param.name); });

// A result that cannot be written completely is an error, and no truncated
// file stands where the result should be.
TEST(HostResultTest, AFullDiskOrAMissingFolderIsAnErrorNotATruncatedResult) {
    const auto dir = HostRunner::freshRoot("full");
    const fs::path root = dir->path();
    dir->write("script.json", R"([{"dump": true, "features": true}])");
    const auto env = HostRunner::environment(root);
    auto args = [&](QStringList extra) {
        return QStringList{"--demo", QString::fromStdString(root.string()), "--script",
                           QString::fromStdString((root / "script.json").string())}
               << extra;
    };
    HostRun full = HostRunner::runRaw(args({"--out", "/dev/full"}), env);
    EXPECT_FALSE(full.crashed) << full.stderrText;
    EXPECT_EQ(full.exitCode, 2) << full.stderrText;
    EXPECT_NE(full.stderrText.find("无法完整写入结果：/dev/full"), std::string::npos) << full.stderrText;

    const QString missing = QString::fromStdString((root / "no-such-folder" / "out.json").string());
    HostRun folder = HostRunner::runRaw(args({"--out", missing}), env);
    EXPECT_EQ(folder.exitCode, 2) << folder.stderrText;
    EXPECT_NE(folder.stderrText.find("无法完整写入结果"), std::string::npos) << folder.stderrText;

    const QString shot = QString::fromStdString((root / "no-such-folder" / "shot.png").string());
    HostRun screenshot = HostRunner::runRaw(args({"--screenshot", shot}), env);
    EXPECT_EQ(screenshot.exitCode, 2) << screenshot.stderrText;
    EXPECT_NE(screenshot.stderrText.find("无法写入截图"), std::string::npos) << screenshot.stderrText;
    EXPECT_FALSE(fs::exists(root / "no-such-folder"));
}

// Standard output on a full disk: the same, without --out.
TEST(HostResultTest, StandardOutputOnAFullDiskIsAnError) {
    const auto dir = HostRunner::freshRoot("stdout");
    const fs::path script = dir->write("script.json", R"([{"dump": true}])");
    QProcess host;
    host.setProcessEnvironment(HostRunner::environment(dir->path()));
    host.setStandardOutputFile("/dev/full");
    host.start(HostRunner::hostProgram(), {"--demo", QString::fromStdString(dir->path().string()), "--script",
                                           QString::fromStdString(script.string())});
    ASSERT_TRUE(host.waitForFinished(300000));
    const std::string err = host.readAllStandardError().toStdString();
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit) << err;
    EXPECT_EQ(host.exitCode(), 2) << err;
    EXPECT_NE(err.find("无法完整写入结果：标准输出（磁盘已满）"), std::string::npos) << err;
}

// Starts that cannot work end at once with status 1 (2 for a bad command
// line) and one sentence naming the file and the cause; no box waits for a
// person in automation mode. The checks themselves, case by case, are
// StartupChecksTest's; these rows show that the host runs them and stops.
struct BadStart {
    const char* name;
    std::function<QStringList(const TempDir&)> prepare; // makes the fault, returns extra arguments
    const char* message;
    int status;
};

// Test names show the case's name, not its bytes.
void PrintTo(const BadStart& c, std::ostream* os) {
    *os << c.name;
}

class HostBadStartTest : public testing::TestWithParam<BadStart> {};

TEST_P(HostBadStartTest, NamesTheFileAndTheCause) {
    const auto dir = HostRunner::freshRoot("start");
    const QStringList extra = GetParam().prepare(*dir);
    const fs::path script = dir->write("script.json", "[]");
    QStringList args{"--demo", QString::fromStdString(dir->path().string()), "--script",
                     QString::fromStdString(script.string())};
    args << extra;
    std::map<QString, QString> env;
    if (extra.contains("--registry-in-file")) {
        args.removeAll("--registry-in-file");
        env["QZTRANS_PLUGIN_REGISTRY"] =
            QString::fromStdString((dir->path() / "network.db" / "plugins.reg").string());
    }
    const HostRun run = HostRunner::runRaw(args, HostRunner::environment(dir->path(), env), 60000);
    EXPECT_FALSE(run.crashed) << run.stderrText;
    EXPECT_EQ(run.exitCode, GetParam().status) << run.stderrText;
    EXPECT_NE(run.stderrText.find(GetParam().message), std::string::npos) << run.stderrText;
}

QString pathIn(const TempDir& dir, const char* name) {
    return QString::fromStdString((dir / name).string());
}

INSTANTIATE_TEST_SUITE_P(
    Start, HostBadStartTest,
    testing::Values(
        BadStart{"MissingDatabase",
                 [](const TempDir& d) {
                     return QStringList{"--database", pathIn(d, "missing.db")};
                 },
                 "找不到网络数据库文件：", 1},
        BadStart{"EmptyDatabase",
                 [](const TempDir& d) {
                     d.write("empty.db", "");
                     return QStringList{"--database", pathIn(d, "empty.db")};
                 },
                 "网络数据库文件是空的：", 1},
        BadStart{"RegistryBelowAFile", [](const TempDir&) { return QStringList{"--registry-in-file"}; },
                 "无法创建插件注册表：", 1},
        BadStart{"MapFolderIsAFile",
                 [](const TempDir& d) {
                     d.write("mapfile", "x");
                     return QStringList{"--map-dir", pathIn(d, "mapfile")};
                 },
                 "地图目录不是目录：", 1},
        BadStart{"ScriptNotAnArray",
                 [](const TempDir& d) {
                     return QStringList{"--script", QString::fromStdString(d.write("s.json", "{}").string())};
                 },
                 "脚本必须是步骤的 JSON 数组", 2},
        BadStart{"MissingConfig",
                 [](const TempDir& d) {
                     return QStringList{"--config", pathIn(d, "missing.ini")};
                 },
                 "找不到宿主配置文件：", 2},
        BadStart{"ConfigWithTextLevel",
                 [](const TempDir& d) {
                     d.write("host.ini", "[Host]\nUserLevel=abc\n");
                     return QStringList{"--config", pathIn(d, "host.ini")};
                 },
                 "host.ini 的 UserLevel：用户级别必须是非负整数，而不是“abc”", 2},
        BadStart{"LevelAsText",
                 [](const TempDir&) {
                     return QStringList{"--level", "abc"};
                 },
                 "--level：用户级别必须是非负整数，而不是“abc”", 2},
        BadStart{"SizeWithoutHeight",
                 [](const TempDir&) {
                     return QStringList{"--size", "1600"};
                 },
                 "--size 必须写成“宽x高”", 2}),
    [](const testing::TestParamInfo<BadStart>& info) { return std::string(info.param.name); });

// Another program holds the database locked for writing: the host says so
// instead of failing somewhere inside the drawing.
TEST(HostStartTest, ADatabaseLockedByAnotherProgramIsNamed) {
    const auto dir = HostRunner::freshRoot("locked");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dir->path() / "network.db").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr),
              SQLITE_OK);
    const HostRun run = HostRunner::run(dir->path(), "[]", {}, {}, 60000);
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(run.exitCode, 1) << run.stderrText;
    EXPECT_NE(run.stderrText.find("网络数据库文件被其他程序锁定："), std::string::npos) << run.stderrText;
}

// --log copies the host's informational lines into the file, which stderr
// leaves out.
TEST(HostStartTest, TheLogFileTellsTheStory) {
    const auto dir = HostRunner::freshRoot("log");
    const fs::path log = dir->path() / "host.log";
    const HostRun run = HostRunner::run(
        dir->path(),
        R"([{"call": "frmViewOcableMain.drawOcableNetMap", "args": ["按管理区域划分", "NULL"]}])",
        {"--log", QString::fromStdString(log.string())});
    ASSERT_EQ(run.exitCode, 0) << run.stderrText;
    const std::string text = readText(log);
    EXPECT_NE(text.find("ocable.host: 启动：数据库 "), std::string::npos) << text;
    EXPECT_NE(text.find("ocable.host: 宿主结束"), std::string::npos) << text;
}

// SIGTERM ends the host as its own close would: the view closes and saves
// the map's geoset, then the process ends with 128 + 15. Both while the host
// waits for a person and while a script waits.
struct Termination {
    const char* name;
    bool scripted;
};

// Test names show the case's name, not its bytes.
void PrintTo(const Termination& c, std::ostream* os) {
    *os << c.name;
}

class HostTerminationTest : public testing::TestWithParam<Termination> {};

TEST_P(HostTerminationTest, ClosesTheViewAndSavesTheMap) {
    const auto dir = HostRunner::freshRoot("term");
    const fs::path log = dir->path() / "host.log";
    QStringList args{"--demo", QString::fromStdString(dir->path().string()), "--log",
                     QString::fromStdString(log.string())};
    if (GetParam().scripted)
        args << "--script"
             << QString::fromStdString(dir->write("script.json", R"([{"wait": 600000}])").string());
    QProcess host;
    host.setProcessEnvironment(HostRunner::environment(dir->path()));
    host.start(HostRunner::hostProgram(), args);
    ASSERT_TRUE(host.waitForStarted());
    // Ready once the view is open: the drawing's last query has been sent.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    const std::string ready = GetParam().scripted ? "自动化脚本开始" : "光缆网络分布图已打开";
    while (readText(log).find(ready) == std::string::npos && std::chrono::steady_clock::now() < deadline &&
           host.state() == QProcess::Running)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_NE(readText(log).find(ready), std::string::npos) << host.readAllStandardError().toStdString();
    EXPECT_FALSE(fs::exists(dir->path() / "map" / "光缆网络分布图.gst"));

    ::kill(static_cast<pid_t>(host.processId()), SIGTERM);
    ASSERT_TRUE(host.waitForFinished(120000));
    const std::string err = host.readAllStandardError().toStdString();
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit) << err;
    EXPECT_EQ(host.exitCode(), 128 + SIGTERM) << err;
    EXPECT_TRUE(fs::exists(dir->path() / "map" / "光缆网络分布图.gst"));
    EXPECT_NE(readText(log).find("收到结束请求"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Signals, HostTerminationTest,
                         testing::Values(Termination{"WaitingForAPerson", false},
                                         Termination{"WaitingInAScript", true}),
                         [](const testing::TestParamInfo<Termination>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
