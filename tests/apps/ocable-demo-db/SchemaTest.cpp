// The schema against the objects and statements of the map.
#include "DemoDbTestSupport.h"

#include "support/TempDir.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace ocable::demo::test {
namespace {

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

std::vector<std::string> fixtureLines(const std::string& name) {
    std::ifstream in(sourceDir() / "data" / "fixtures" / name);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#' && line.rfind("--", 0) != 0) lines.push_back(line);
    return lines;
}

// A database in memory holding only data/schema.sql.
class SchemaOnly : public testing::Test {
protected:
    SchemaOnly() { db_.exec(testsupport::readText(sourceDir() / "data" / "schema.sql")); }
    Db db_{":memory:", SQLITE_OPEN_READWRITE};
};

TEST_F(SchemaOnly, HasEveryObjectAndColumnTheMapNames) {
    const auto lines = fixtureLines("required-columns.txt");
    ASSERT_GT(lines.size(), 20u);
    for (const std::string& line : lines) {
        std::istringstream words(line);
        std::string object;
        words >> object;
        std::vector<std::string> columns;
        for (const std::string& c : db_.column("SELECT name FROM pragma_table_info('" + object + "')"))
            columns.push_back(upper(c));
        EXPECT_FALSE(columns.empty()) << "missing object " << object;
        for (std::string column; words >> column;)
            EXPECT_NE(std::find(columns.begin(), columns.end(), upper(column)), columns.end())
                << object << " lacks " << column;
    }
}

TEST_F(SchemaOnly, StatementsOfTheMapCompile) {
    const auto statements = fixtureLines("map-queries.sql");
    ASSERT_GT(statements.size(), 30u);
    for (const std::string& sql : statements)
        EXPECT_EQ(db_.prepareError(sql), "") << sql;
}

} // namespace
} // namespace ocable::demo::test
