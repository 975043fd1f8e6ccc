#include "shell/PluginRegistry.h"
#include "support/FakeHost.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace ocable;

TEST(PluginRegistryTest, RegisterReplacesOwnLineAndUnregisterRemovesOnlyIt) {
    fake::FakeHost host;
    const auto file = host.root / "reg" / "plugins.reg";
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << "# host plug-ins\nQzTransViewOther\tclsMain\t2.10\t/opt/other.so\n";

    registerPlugin(file, {"QzTransViewOcable", "clsMain", "1.00", "/old/path.so"});
    registerPlugin(file, {"QzTransViewOcable", "clsMain", "1.00", "/new/路径.so"});
    auto entries = readPluginRegistry(file);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].path, "/new/路径.so");

    unregisterPlugin(file, "QzTransViewOcable");
    entries = readPluginRegistry(file);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].library, "QzTransViewOther");
    std::ifstream in(file);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "# host plug-ins");
}
