#include "platform/db/SqliteConnection.h"
#include "platform/db/DbError.h"
#include "platform/db/SqlQuote.h"
#include "support/ErrorOf.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <vector>

using namespace ocable::db;
using ocable::testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

const auto errorOf = [](auto&& call) { return ocable::testsupport::errorOf<DbError>(call); };

// The first column of every row, each followed by ";". Rows of a query
// without ORDER BY are sorted, as no database promises their order.
std::string firstColumn(SqliteConnection& db, const std::string& sql) {
    auto rs = db.query(sql);
    std::vector<std::string> values;
    for (; !rs->Eof(); rs->MoveNext())
        values.push_back(rs->Fields(0).isNull() ? "-" : rs->Fields(0).toText());
    if (sql.find("ORDER BY") == std::string::npos && sql.find("order by") == std::string::npos)
        std::sort(values.begin(), values.end());
    std::string out;
    for (const auto& v : values)
        out += v + ";";
    return out;
}

// A database in memory with the tables of data/host_tables.sql, one
// statement per ";" at a line end.
class SqliteConnectionTest : public testing::Test {
protected:
    SqliteConnectionTest() {
        const std::string script = ocable::testsupport::readText(fs::path(OCABLE_SOURCE_DIR) /
                                                                 "tests/platform/db/data/host_tables.sql");
        for (std::size_t begin = 0, end; (end = script.find(";\n", begin)) != std::string::npos;
             begin = end + 2)
            db.execute(script.substr(begin, end - begin));
    }
    SqliteConnection db{":memory:", SqliteConnection::OpenMode::Create};
};

} // namespace

TEST_F(SqliteConnectionTest, EveryQueryOfTheProgramRuns) {
    std::ifstream in(std::string(OCABLE_SOURCE_DIR) + "/tests/platform/db/data/program_queries.txt");
    int count = 0;
    for (std::string sql, expected; std::getline(in, sql);) {
        if (sql.empty() || sql[0] == '#') continue;
        std::getline(in, expected);
        SCOPED_TRACE(sql);
        EXPECT_EQ("=> " + firstColumn(db, sql), expected);
        ++count;
    }
    EXPECT_EQ(count, 30);
}

TEST_F(SqliteConnectionTest, CellsKeepTheirTypesAndColumnsTheirNames) {
    auto rs = db.query("SELECT OCABLECODE ,COUNT(SYSTEMCODE) AS CNT, 1.5 AS r, NULL AS n "
                       "FROM MAP_V_RE_CABLE_SUNNET_SYSTEM GROUP BY OCABLECODE ORDER BY OCABLECODE");
    ASSERT_EQ(rs->FieldCount(), 4);
    EXPECT_EQ(rs->FieldName(0), "OCABLECODE") << "named as written, found without regard to case";
    EXPECT_TRUE(rs->Fields("ocableCode").isText());
    EXPECT_EQ(rs->Fields("cnt"), Value(2));
    EXPECT_EQ(rs->Fields("R"), Value(1.5));
    EXPECT_TRUE(rs->Fields("N").isNull());
    EXPECT_EQ(db.query("SELECT * FROM EN_OCABLE WHERE 1 = 0")->FieldCount(), 4);
}

TEST_F(SqliteConnectionTest, OneStatementPerCall) {
    const char* refused[] = {
        "DELETE FROM STATION; DROP TABLE XTBM",
        "DELETE FROM STATION;\nSELECT 1",
        "DELETE FROM STATION /* c */ ; x",
    };
    for (const char* sql : refused) {
        SCOPED_TRACE(sql);
        EXPECT_EQ(errorOf([&] { db.execute(sql); }), "一次只能执行一条 SQL 语句：" + std::string(sql));
        EXPECT_EQ(errorOf([&] { db.query(sql); }), "一次只能执行一条 SQL 语句：" + std::string(sql));
    }
    EXPECT_EQ(firstColumn(db, "SELECT COUNT(*) FROM STATION"), "3;")
        << "the first statement must not run either";
    EXPECT_EQ(firstColumn(db, "SELECT COUNT(*) FROM XTBM ; ;\n -- done\n /* end */"), "6;");
    EXPECT_EQ(errorOf([&] { db.query(" ; -- nothing"); }), "语句中没有 SQL 命令： ; -- nothing");
}

// Messages a user reads: Chinese, naming the table or the file and the
// cause, with SQLite's own words and the statement after them.
TEST_F(SqliteConnectionTest, FailuresNameTableOrFileAndCause) {
    EXPECT_EQ(errorOf([&] { db.query("SELECT * FROM NOPE"); }),
              "读写表 NOPE 出错（语句有误）：no such table: NOPE；语句：SELECT * FROM NOPE");
    EXPECT_EQ(errorOf([&] { db.execute("update STATION set NOPE = 1"); }),
              "读写表 STATION 出错（语句有误）：no such column: NOPE；语句：update STATION set NOPE = 1");
    EXPECT_EQ(
        errorOf([&] { db.execute("INSERT INTO XTBM (NOPE) VALUES (1)"); }),
        "读写表 XTBM 出错（语句有误）：table XTBM has no column named NOPE；语句：INSERT INTO XTBM (NOPE) "
        "VALUES (1)");
    EXPECT_EQ(errorOf([&] { db.query("SELEKT 1"); }),
              "读写数据库“:memory:”出错（语句有误）：near \"SELEKT\": syntax error；语句：SELEKT 1");
    EXPECT_EQ(errorOf([] { SqliteConnection("/nonexistent/dir/x.db"); }),
              "无法打开数据库文件“/nonexistent/dir/x.db”（无法打开文件）：unable to open database file");
    const TempDir dir("db-open");
    const fs::path file = dir.write("not-a-db.db", std::string(4096, 'x'));
    EXPECT_EQ(errorOf([&] { SqliteConnection{file}; }),
              "无法打开数据库文件“" + file.string() + "”（文件不是 SQLite 数据库）：file is not a database");
}

TEST(SqliteConnection, Utf8PathsAndFileModes) {
    const TempDir dir("db-paths");
    const fs::path file = dir.path() / u8"光缆 网络" / u8"系统库.db";
    fs::create_directories(file.parent_path());
    EXPECT_THROW(SqliteConnection{file}, DbError) << "ReadWrite does not create";
    {
        SqliteConnection db(file, SqliteConnection::OpenMode::Create);
        db.execute("CREATE TABLE T (A)");
        db.execute("INSERT INTO T VALUES ('Abc')");
    }
    SqliteConnection reader(file, SqliteConnection::OpenMode::ReadOnly);
    EXPECT_EQ(reader.query("SELECT * FROM T")->RecordCount(), 1);
    EXPECT_THROW(reader.execute("DELETE FROM T"), DbError);
}

// A station move writes its coordinates as number literals: the database
// reads them as the C library does (that this is what "%.15g" reads back to
// is the number format's own test), and refuses no finite value.
TEST_F(SqliteConnectionTest, NumbersWrittenIntoStatementsReadBack) {
    for (double v : {116.4074, 0.1 + 0.2, 1e-7, -0.0, 123.45678901234568, 1e21, -39.9042}) {
        SCOPED_TRACE(v);
        ASSERT_EQ(db.execute("UPDATE STATION SET LNG=" + sqlNumber(v) + " WHERE STATIONCODE = 'S1'"), 1);
        EXPECT_EQ(db.query("SELECT LNG FROM STATION WHERE STATIONCODE = 'S1'")->Fields(0),
                  Value(std::strtod(sqlNumber(v).c_str(), nullptr)));
    }
    EXPECT_THROW(sqlNumber(std::numeric_limits<double>::quiet_NaN()), DbError);
    EXPECT_THROW(sqlNumber(-std::numeric_limits<double>::infinity()), DbError);
}
