// The generator run as a user runs it: same seed, same file; a failed or
// refused run leaves the output as it was.
#include "DemoDbTestSupport.h"

#include "support/TempDir.h"
#include <gtest/gtest.h>

#include <sys/wait.h>

namespace ocable::demo::test {
namespace {

namespace fs = std::filesystem;
using testsupport::readText;
using testsupport::TempDir;

int runGenerator(const std::string& arguments) {
    const std::string command = std::string("'") + OCABLE_DEMO_DB_EXE + "' " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The small network of seed 1 into out, with further arguments before it.
int generate(const fs::path& out, const std::string& arguments = "") {
    return runGenerator("--scale small --seed 1 --quiet " + arguments + " '" + out.string() + "'");
}

// Same seed, same file: the command's run is compared byte for byte, which
// is more than the same tables, with the small network of seed 1 that the
// test program generates for every other test. A refused or failed run
// leaves the output as it was and no partial file.
TEST(GeneratorCli, SameSeedGivesTheSameFileAndRefusedOrFailedRunsLeaveNothing) {
    const TempDir dir("demo-db-force");
    const fs::path out = dir.write("net.db", "keep me");
    EXPECT_NE(generate(out), 0);
    EXPECT_EQ(readText(out), "keep me");
    EXPECT_EQ(generate(out, "--force"), 0);
    const std::string seed1 = readText(out);
    EXPECT_TRUE(seed1 == readText(smallDemoDb())) << "two runs with seed 1 differ";
    EXPECT_FALSE(fs::exists(dir / "net.db.partial"));
    EXPECT_EQ(runGenerator("--scale small --seed 2 --quiet --force '" + out.string() + "'"), 0);
    EXPECT_FALSE(seed1 == readText(out)) << "the seed is not used";

    fs::remove(out);
    EXPECT_NE(generate(out, "--basemap '" + (dir / "missing").string() + "'"), 0);
    EXPECT_TRUE(fs::is_empty(dir.path()));
    fs::create_directories(out);
    EXPECT_EQ(generate(out, "--force"), 1) << "forced onto a folder";
    EXPECT_TRUE(fs::is_directory(out) && fs::is_empty(out));
    EXPECT_FALSE(fs::exists(dir / "net.db.partial"));
}

TEST(GeneratorCli, BadArgumentsAreRefused) {
    const TempDir dir("demo-db-arguments");
    const std::string out = " '" + (dir / "net.db").string() + "'";
    EXPECT_EQ(runGenerator("--scale county --seed 1" + out), 2);
    for (const char* seed : {"x", "-1", "1e3", "18446744073709551616", "' '", "0x10", "+5"}) {
        SCOPED_TRACE(seed);
        EXPECT_EQ(runGenerator("--scale small --seed " + std::string(seed) + out), 2);
    }
    EXPECT_EQ(runGenerator("--scale small --seed 1"), 2);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

} // namespace
} // namespace ocable::demo::test
