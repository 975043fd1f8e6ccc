// End-to-end: every way the host ends early says why on stderr and ends with
// its exit status, without crashing on the way out; results are complete or
// not written at all.

#include "platform/db/SqliteConnection.h"
#include "support/HostRunner.h"
#include "support/NamedRow.h"
#include "support/TempDir.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace fs = std::filesystem;
using ocable::testsupport::HostRun;
using ocable::testsupport::HostRunner;
using ocable::testsupport::NamedRow;
using ocable::testsupport::readText;
using ocable::testsupport::rowName;

namespace {

// The arguments with "%1" standing for the host folder.
QStringList inFolder(QStringList args, const fs::path& folder) {
    return args.replaceInStrings("%1", QString::fromStdString(folder.string()));
}

struct FailingStep : NamedRow {
    const char* script;
    const char* message;        // part of what stderr must say
    QStringList extra = {};     // "%1" stands for the host folder
    bool resultWritten = false; // the result is whole; only what follows failed
};

class HostFailingStepTest : public testing::TestWithParam<FailingStep> {};

// Each step, or the result or screenshot written at the end, fails after the
// view is open: the message names the cause, the view still closes (its map
// is saved), the status is 2 and no result, truncated or not, is left. (A
// sanitizer's report ends the run with its own status, which is not 2.)
TEST_P(HostFailingStepTest, EndsWithStatusTwoAndTheMessage) {
    const auto dir = HostRunner::freshRoot("step");
    const HostRun run =
        HostRunner::run(dir->path(), GetParam().script, inFolder(GetParam().extra, dir->path()));
    EXPECT_FALSE(run.crashed) << run.stderrText;
    EXPECT_EQ(run.exitCode, 2) << run.stderrText;
    EXPECT_NE(run.stderrText.find(GetParam().message), std::string::npos) << run.stderrText;
    EXPECT_EQ(run.output.isEmpty(), !GetParam().resultWritten) << "a failed script must not leave a result";
    EXPECT_FALSE(fs::exists(dir->path() / "no-such-folder"));
    EXPECT_TRUE(fs::exists(dir->path() / "map" / "光缆网络分布图.gst")) << "the view was not closed";
}

INSTANTIATE_TEST_SUITE_P(
    Steps, HostFailingStepTest,
    testing::Values(
        FailingStep{{"UnknownStep"}, R"([{"bogus": 1}])", "第 1 步：未知的步骤"},
        FailingStep{{"MissingProcedure"},
                    R"([{"dump": true}, {"call": "frmViewOcableMain.noSuchProcedure"}])",
                    "第 2 步：窗口 frmViewOcableMain 没有 0 个参数的公共过程 noSuchProcedure"},
        FailingStep{
            {"MissingWindow"}, R"([{"call": "frmNoSuchWindow.close"}])", "找不到窗口：frmNoSuchWindow"},
        FailingStep{{"MissingTool"}, R"([{"tool": "mnu_no_such_tool"}])", "找不到工具 mnu_no_such_tool"},
        FailingStep{{"WrongArgumentType"},
                    R"([{"call": "frmViewOcableMain.drawOcableNetMap", "args": ["按管理区域划分", [1]]}])",
                    "第 2 个参数类型不符"},
        FailingStep{{"DrawingAClosedView"},
                    R"([{"call": "frmViewOcableMain.close"},
                        {"call": "frmViewOcableMain.drawOcableNetMap", "args": ["按管理区域划分", "NULL"]}])",
                    "第 2 步：找不到窗口：frmViewOcableMain（已关闭）"},
        FailingStep{{"WaitAsText"}, R"([{"wait": "100"}])", "“wait”必须是 0 到 600000 之间的整数"},
        FailingStep{{"HugeKeyCode"}, R"([{"key": 1e300}])", "“key”必须是 0 到 255 之间的整数"},
        // The last --out counts.
        FailingStep{{"ResultOnAFullDisk"},
                    R"([{"dump": true, "features": true}])",
                    "无法完整写入结果：/dev/full",
                    {"--out", "/dev/full"}},
        FailingStep{{"ResultInAMissingFolder"},
                    R"([{"dump": true}])",
                    "无法完整写入结果",
                    {"--out", "%1/no-such-folder/out.json"}},
        FailingStep{{"ScreenshotInAMissingFolder"},
                    "[]",
                    "无法写入截图",
                    {"--screenshot", "%1/no-such-folder/shot.png"},
                    true}),
    rowName);

// Standard output on a full disk: the same, without --out.
TEST(HostResultTest, StandardOutputOnAFullDiskIsAnError) {
    const auto dir = HostRunner::freshRoot("stdout");
    QProcess host;
    host.setProcessEnvironment(HostRunner::environment(dir->path()));
    host.setStandardOutputFile("/dev/full");
    host.start(HostRunner::hostProgram(),
               HostRunner::arguments(dir->path(), dir->write("script.json", R"([{"dump": true}])")));
    ASSERT_TRUE(host.waitForFinished(300000));
    const std::string err = host.readAllStandardError().toStdString();
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit) << err;
    EXPECT_EQ(host.exitCode(), 2) << err;
    EXPECT_NE(err.find("无法完整写入结果：标准输出（磁盘已满）"), std::string::npos) << err;
}

// Starts that cannot work end at once with status 1 (2 for a bad command
// line) and one sentence naming the file and the cause; no box waits for a
// person in automation mode. The checks themselves, case by case, are
// StartupChecksTest's; these rows show that the host runs each of them and
// stops.
struct BadStart : NamedRow {
    QStringList extra; // "%1" stands for the host folder
    const char* message;
    int status;
    const char* file = nullptr; // written into the host folder first
    const char* text = "";
};

class HostBadStartTest : public testing::TestWithParam<BadStart> {};

TEST_P(HostBadStartTest, NamesTheFileAndTheCause) {
    const auto dir = HostRunner::freshRoot("start");
    if (GetParam().file) dir->write(GetParam().file, GetParam().text);
    const HostRun run =
        HostRunner::run(dir->path(), "[]", inFolder(GetParam().extra, dir->path()), {}, 60000);
    EXPECT_FALSE(run.crashed) << run.stderrText;
    EXPECT_EQ(run.exitCode, GetParam().status) << run.stderrText;
    EXPECT_NE(run.stderrText.find(GetParam().message), std::string::npos) << run.stderrText;
}

INSTANTIATE_TEST_SUITE_P(
    Start, HostBadStartTest,
    testing::Values(
        BadStart{{"MissingDatabase"}, {"--database", "%1/missing.db"}, "找不到网络数据库文件：", 1},
        BadStart{{"RegistryIsAFolder"}, {}, "插件注册表不是普通文件：", 1, "plugins.reg/x"},
        BadStart{{"MapFolderIsAFile"}, {"--map-dir", "%1/mapfile"}, "地图目录不是目录：", 1, "mapfile", "x"},
        BadStart{
            "ScriptNotAnArray", {"--script", "%1/s.json"}, "脚本必须是步骤的 JSON 数组", 2, "s.json", "{}"},
        BadStart{{"MissingConfig"}, {"--config", "%1/missing.ini"}, "找不到宿主配置文件：", 2},
        BadStart{{"ConfigWithTextLevel"},
                 {"--config", "%1/host.ini"},
                 "host.ini 的 UserLevel：用户级别必须是非负整数，而不是“abc”",
                 2,
                 "host.ini",
                 "[Host]\nUserLevel=abc\n"},
        BadStart{{"LevelAsText"}, {"--level", "abc"}, "--level：用户级别必须是非负整数，而不是“abc”", 2},
        BadStart{{"SizeWithoutHeight"}, {"--size", "1600"}, "--size 必须写成“宽x高”", 2}),
    rowName);

// Another program holds the database locked for writing: the host says so
// instead of failing somewhere inside the drawing.
TEST(HostStartTest, ADatabaseLockedByAnotherProgramIsNamed) {
    const auto dir = HostRunner::freshRoot("locked");
    ocable::db::SqliteConnection holder(dir->path() / "network.db");
    holder.execute("PRAGMA locking_mode=EXCLUSIVE");
    holder.execute("BEGIN EXCLUSIVE");
    const HostRun run = HostRunner::run(dir->path(), "[]", {}, {}, 60000);
    EXPECT_EQ(run.exitCode, 1) << run.stderrText;
    EXPECT_NE(run.stderrText.find("网络数据库文件被其他程序锁定："), std::string::npos) << run.stderrText;
}

// SIGTERM ends the host as its own close would: the view closes and saves
// the map's geoset, then the process ends with 128 + 15. Both while the host
// waits for a person and while a script waits.
struct Termination : NamedRow {
    bool scripted;
};

class HostTerminationTest : public testing::TestWithParam<Termination> {};

TEST_P(HostTerminationTest, ClosesTheViewAndSavesTheMap) {
    const auto dir = HostRunner::freshRoot("term");
    const fs::path log = dir->path() / "host.log";
    QStringList args{"--demo", QString::fromStdString(dir->path().string())};
    if (GetParam().scripted)
        args = HostRunner::arguments(dir->path(), dir->write("script.json", R"([{"wait": 600000}])"));
    args << "--log" << QString::fromStdString(log.string());
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
    // The --log file tells the story from the start to the end, request included.
    const std::string text = readText(log);
    for (const char* line :
         {"ocable.host: 启动：数据库 ", "ocable.host: 收到结束请求", "ocable.host: 宿主结束"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
}

INSTANTIATE_TEST_SUITE_P(Signals, HostTerminationTest,
                         testing::Values(Termination{{"WaitingForAPerson"}, false},
                                         Termination{{"WaitingInAScript"}, true}),
                         rowName);

} // namespace
