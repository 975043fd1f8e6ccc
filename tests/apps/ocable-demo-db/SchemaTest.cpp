// The schema the generator writes against the objects and statements of the map.
#include "DemoDbTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace ocable::demo::test {
namespace {

std::vector<std::string> fixtureLines(const std::string& name) {
    std::ifstream in(sourceDir() / "data" / "fixtures" / name);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#' && line.rfind("--", 0) != 0) lines.push_back(line);
    return lines;
}

TEST(DemoSchema, HasEveryObjectAndColumnTheMapNames) {
    const Db db(smallDemoDb());
    const auto lines = fixtureLines("required-columns.txt");
    ASSERT_GT(lines.size(), 20u);
    for (const std::string& line : lines) {
        std::istringstream words(line);
        std::string object;
        words >> object;
        const std::string columns = "SELECT 1 FROM pragma_table_info('" + object + "')";
        EXPECT_FALSE(db.rows(columns).empty()) << "missing object " << object;
        for (std::string column; words >> column;)
            EXPECT_FALSE(db.rows(columns + " WHERE UPPER(name) = UPPER('" + column + "')").empty())
                << object << " lacks " << column;
    }
}

TEST(DemoSchema, StatementsOfTheMapCompile) {
    const Db db(smallDemoDb());
    const auto statements = fixtureLines("map-queries.sql");
    ASSERT_GT(statements.size(), 30u);
    for (const std::string& sql : statements)
        EXPECT_EQ(db.prepareError(sql), "") << sql;
}

} // namespace
} // namespace ocable::demo::test
