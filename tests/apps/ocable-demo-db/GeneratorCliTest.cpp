// The generator run as a user runs it: same seed, same tables; a failed or
// refused run leaves the output as it was.
#include "DemoDbTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace ocable::demo::test {
namespace {

namespace fs = std::filesystem;

int runGenerator(const std::string& arguments) {
    const std::string command = std::string("'") + OCABLE_DEMO_DB_EXE + "' " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Every table, rows in storage order, each value quoted with its type.
std::string dumpTables(const fs::path& path) {
    Db db(path);
    std::ostringstream out;
    for (const std::string& table : db.column("SELECT name FROM sqlite_master WHERE type = 'table' AND name "
                                              "NOT LIKE 'sqlite_%' ORDER BY name")) {
        std::string select;
        for (const std::string& column : db.column("SELECT name FROM pragma_table_info('" + table + "')"))
            select += (select.empty() ? "quote(\"" : " || ',' || quote(\"") + column + "\")";
        out << "#" << table << "\n";
        for (const std::string& line :
             db.column("SELECT " + select + " FROM \"" + table + "\" ORDER BY rowid"))
            out << line << "\n";
    }
    return out.str();
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(GeneratorCli, SameSeedGivesTheSameTablesAndAnotherSeedDoesNot) {
    const fs::path dir = scratchDir("determinism");
    ASSERT_EQ(runGenerator("--scale small --seed 1 --quiet '" + (dir / "a.db").string() + "'"), 0);
    ASSERT_EQ(runGenerator("--scale small --seed 1 --quiet '" + (dir / "b.db").string() + "'"), 0);
    ASSERT_EQ(runGenerator("--scale small --seed 2 --quiet '" + (dir / "c.db").string() + "'"), 0);
    const std::string a = dumpTables(dir / "a.db");
    EXPECT_GT(a.size(), 100000u);
    EXPECT_TRUE(a == dumpTables(dir / "b.db")) << "two runs with seed 1 differ";
    EXPECT_FALSE(a == dumpTables(dir / "c.db")) << "the seed is not used";
    fs::remove_all(dir);
}

TEST(GeneratorCli, ExistingOutputIsReplacedOnlyWithForce) {
    const fs::path dir = scratchDir("force");
    const fs::path out = dir / "net.db";
    std::ofstream(out) << "keep me";
    EXPECT_NE(runGenerator("--scale small --seed 1 --quiet '" + out.string() + "'"), 0);
    EXPECT_EQ(readFile(out), "keep me");

    EXPECT_EQ(runGenerator("--scale small --seed 1 --quiet --force '" + out.string() + "'"), 0);
    EXPECT_EQ(Db(out).count("SELECT COUNT(*) FROM STATION") > 0, true);
    EXPECT_FALSE(fs::exists(dir / "net.db.partial"));
    fs::remove_all(dir);
}

TEST(GeneratorCli, FailedRunLeavesNothingAndBadArgumentsAreRefused) {
    const fs::path dir = scratchDir("failure");
    const fs::path out = dir / "net.db";
    EXPECT_NE(runGenerator("--scale small --seed 1 --quiet --basemap '" + (dir / "missing").string() + "' '" +
                           out.string() + "'"),
              0);
    EXPECT_TRUE(fs::is_empty(dir));

    EXPECT_EQ(runGenerator("--scale county --seed 1 '" + out.string() + "'"), 2);
    for (const char* seed : {"x", "-1", "1e3", "18446744073709551616", "' '", "0x10", "+5"}) {
        SCOPED_TRACE(seed);
        EXPECT_EQ(runGenerator("--scale small --seed " + std::string(seed) + " '" + out.string() + "'"), 2);
    }
    EXPECT_EQ(runGenerator("--scale small --seed 1"), 2);
    EXPECT_TRUE(fs::is_empty(dir));
    fs::remove_all(dir);
}

TEST(GeneratorCli, ForceOntoAFolderIsRefusedAndLeavesNothingBehind) {
    const fs::path dir = scratchDir("folder");
    fs::create_directories(dir / "net.db");
    EXPECT_EQ(runGenerator("--scale small --seed 1 --quiet --force '" + (dir / "net.db").string() + "'"), 1);
    EXPECT_TRUE(fs::is_directory(dir / "net.db"));
    EXPECT_TRUE(fs::is_empty(dir / "net.db"));
    EXPECT_FALSE(fs::exists(dir / "net.db.partial"));
    fs::remove_all(dir);
}

} // namespace
} // namespace ocable::demo::test
