#include "shell/PluginRegistry.h"
#include "support/EnvGuard.h"
#include "support/ErrorOf.h"
#include "support/TempDir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <set>
#include <thread>
#include <unistd.h>

using namespace ocable;
namespace fs = std::filesystem;
using ocable::testsupport::errorOf;

namespace {

const PluginEntry kOurs{"QzTransViewOcable", "clsMain", "1.00", "/opt/ocable.so"};
// Another host plug-in's line, as the registry holds it.
const std::string kOtherLine = "QzTransViewOther\tclsMain\t2.10\t/opt/other.so\n";

} // namespace

TEST(PluginRegistryTest, RegisterReplacesOwnLineAndUnregisterRemovesOnlyIt) {
    const testsupport::TempDir dir("reg");
    const auto file = dir.write("reg/plugins.reg", "# host plug-ins\n" + kOtherLine);

    registerPlugin(file, {"QzTransViewOcable", "clsMain", "1.00", "/old/path.so"});
    registerPlugin(file, {"QzTransViewOcable", "clsMain", "1.00", "/new/路径.so"});
    EXPECT_EQ(testsupport::readText(file),
              "# host plug-ins\n" + kOtherLine + "QzTransViewOcable\tclsMain\t1.00\t/new/路径.so\n");

    unregisterPlugin(file, "QzTransViewOcable");
    EXPECT_EQ(testsupport::readText(file), "# host plug-ins\n" + kOtherLine);
}

TEST(PluginRegistryTest, AnUnreadableRegistryIsAnErrorAndStaysAsItWas) {
    const testsupport::TempDir dir("reg");
    // A folder where the file should be cannot be read as one, by root neither.
    const auto folder = dir / "plugins.reg";
    fs::create_directories(folder / "keep");
    const std::string error = errorOf([&] { registerPlugin(folder, kOurs); });
    EXPECT_NE(error.find(folder.string()), std::string::npos) << error;
    EXPECT_NE(error.find("无法读取"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_directory(folder / "keep"));

    if (::geteuid() != 0) {
        const auto file = dir.write("locked.reg", kOtherLine);
        fs::permissions(file, fs::perms::none);
        EXPECT_NE(errorOf([&] { registerPlugin(file, kOurs); }).find("无法读取"), std::string::npos);
        fs::permissions(file, fs::perms::owner_all);
        EXPECT_EQ(testsupport::readText(file), kOtherLine);
    }
}

TEST(PluginRegistryTest, AnEndlessFileIsRefusedQuickly) {
    const auto start = std::chrono::steady_clock::now();
    const std::string error = errorOf([] { readPluginRegistry("/dev/zero"); });
    EXPECT_NE(error.find("/dev/zero"), std::string::npos) << error;
    EXPECT_NE(error.find("1 MiB"), std::string::npos) << error;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(PluginRegistryTest, APlantedLinkBesideTheRegistryIsNotFollowed) {
    const testsupport::TempDir dir("reg");
    const auto file = dir / "plugins.reg";
    const auto victim = dir.write("victim.txt", "precious");
    // Names a writer might have chosen for its file aside.
    for (const char* aside : {"plugins.reg.tmp", "plugins.reg.new", "plugins.reg~"})
        fs::create_symlink(victim, dir / aside);
    registerPlugin(file, kOurs);
    EXPECT_EQ(testsupport::readText(victim), "precious");
    EXPECT_EQ(readPluginRegistry(file).size(), 1u);
    EXPECT_FALSE(fs::is_symlink(file));
}

TEST(PluginRegistryTest, WithoutHomeOrConfigFolderThereIsNoRegistry) {
    testsupport::EnvGuard env;
    env.unset("QZTRANS_PLUGIN_REGISTRY").unset("XDG_CONFIG_HOME").unset("HOME");
    EXPECT_NE(errorOf([] { pluginRegistryPath(); }).find("HOME"), std::string::npos);
    env.set("HOME", "/home/operator");
    EXPECT_EQ(pluginRegistryPath(), fs::path("/home/operator/.config/qztrans/plugins.reg"));
}

TEST(PluginRegistryTest, ParallelRegistrationsKeepEveryLine) {
    const testsupport::TempDir dir("reg");
    const auto file = dir / "reg" / "plugins.reg";
    constexpr int kHosts = 16;
    std::vector<std::thread> hosts;
    std::vector<std::string> errors(kHosts);
    for (int i = 0; i < kHosts; ++i)
        hosts.emplace_back([&, i] {
            const std::string name = "Plugin" + std::to_string(i);
            // Each registers twice, as a restarted host would.
            for (int round = 0; round < 2; ++round)
                if (errors[i].empty())
                    errors[i] = errorOf([&] {
                        registerPlugin(file, {name, "clsMain", "1.00", "/opt/" + name});
                    });
        });
    for (auto& t : hosts)
        t.join();
    for (int i = 0; i < kHosts; ++i)
        EXPECT_EQ(errors[i], "") << i;
    const auto entries = readPluginRegistry(file);
    ASSERT_EQ(entries.size(), std::size_t{kHosts});
    std::set<std::string> names;
    for (const auto& e : entries)
        names.insert(e.library);
    EXPECT_EQ(names.size(), std::size_t{kHosts});
}
