#include "core/mPubFun.h"
#include "core/mPubVar.h"
#include "support/ErrorCapture.h"
#include "support/FakeHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace ocable;
namespace fs = std::filesystem;

TEST(GetColumnValuesTest, JoinsFirstColumnInRowOrderOrGivesNothing) {
    fake::FakeHost host;
    host.exec("CREATE TABLE T (CODE TEXT, NAME TEXT, N INTEGER);"
              "INSERT INTO T VALUES ('c', '丙', 3), ('a', '甲', 1), ('b', '乙', 2)");
    EXPECT_EQ(mPubFun::getColumnValues("T", "NAME, CODE", "N > 0 ORDER BY N"), "甲;乙;丙");
    EXPECT_EQ(mPubFun::getColumnValues("T", "N", "CODE = 'b'"), "2");
    EXPECT_EQ(mPubFun::getColumnValues("T", "CODE", "N > 5"), "");
    EXPECT_EQ(mPubFun::getColumnValues("NO_SUCH_TABLE", "CODE", "1 = 1"), "");

    // The database fails at the third row: abs() of the smallest integer overflows.
    testsupport::ErrorCapture log;
    EXPECT_EQ(mPubFun::getColumnValues("T", "CASE WHEN N < 3 THEN N ELSE abs(-9223372036854775807 - 1) END",
                                       "1 = 1 ORDER BY N"),
              "");
    EXPECT_GE(log.count("abs("), 1u);

    // A data access whose rows cannot be read as asked: nothing, not a part.
    auto stub = std::make_shared<fake::ScriptedDataAccess>();
    stub->answer =
        std::make_shared<db::Recordset>(std::vector<std::string>{}, std::vector<db::Recordset::Row>{{}, {}});
    mPubVar::gobjDataAccess.set(stub);
    EXPECT_EQ(mPubFun::getColumnValues("T", "N", "1 = 1"), "");
    EXPECT_EQ(log.count("SELECT N FROM T WHERE 1 = 1"), 1u);
}

TEST(OpenRecordsetTest, AFailedQueryIsNothingAndIsLogged) {
    fake::FakeHost host;
    testsupport::ErrorCapture log;
    // The stand-alone host's data access gives nothing itself and says why.
    EXPECT_EQ(mPubFun::openRecordset("SELECT * FROM MAP_V_EN_OCABLE"), nullptr);
    EXPECT_EQ(log.count("SELECT * FROM MAP_V_EN_OCABLE"), 1u);

    // A host whose data access throws: the plug-in's own guard.
    auto throwing = std::make_shared<fake::ScriptedDataAccess>();
    throwing->failure = "no such table: MAP_V_EN_MW_Seg";
    mPubVar::gobjDataAccess.set(throwing);
    EXPECT_EQ(mPubFun::openRecordset("select * from MAP_V_EN_MW_Seg"), nullptr);
    EXPECT_EQ(log.count("select * from MAP_V_EN_MW_Seg；原因："), 1u);

    // No data access at all, and none the host could make: still nothing.
    mPubVar::releaseGlobals();
    mPubVar::registerServiceFactories({});
    EXPECT_EQ(mPubFun::openRecordset("SELECT 1"), nullptr);
    EXPECT_NE(log.count("gobjDataAccess"), 0u);
}

TEST(FilterRecordsetTest, BadCriteriaLeavesTheSetUnfiltered) {
    auto rs = std::make_shared<db::Recordset>(
        std::vector<std::string>{"A"}, std::vector<db::Recordset::Row>{{db::Value("x")}, {db::Value("y")}});
    mPubFun::filterRecordset(rs, "A = 'x'");
    EXPECT_EQ(rs->RecordCount(), 1);
    mPubFun::filterRecordset(rs, "");
    EXPECT_EQ(rs->RecordCount(), 2);
    mPubFun::filterRecordset(rs, "NOPE = 'x'");
    EXPECT_EQ(rs->RecordCount(), 2);
    std::shared_ptr<db::Recordset> none;
    EXPECT_EQ(mPubFun::filterRecordset(none, "A = 'x'"), nullptr);
}

TEST(CopyFolderFilesTest, ReplacesReadOnlyCopiesAndKeepsOtherFiles) {
    const testsupport::TempDir dir("copy");
    const fs::path source = dir / "src", target = dir / "dst";
    dir.write("src/光缆网络分布图.gpkg", "new layer");
    dir.write("src/b.tab", "new b");
    dir.write("dst/光缆网络分布图.gpkg", "old layer");
    dir.write("dst/mine.txt", "keep");
    fs::permissions(target / "光缆网络分布图.gpkg", fs::perms::owner_read | fs::perms::group_read);

    mPubFun::copyFolderFiles(source, target);
    EXPECT_EQ(testsupport::readText(target / "光缆网络分布图.gpkg"), "new layer");
    EXPECT_EQ(testsupport::readText(target / "b.tab"), "new b");
    EXPECT_EQ(testsupport::readText(target / "mine.txt"), "keep");

    mPubFun::deleteExistingFiles(source, target);
    EXPECT_FALSE(fs::exists(target / "b.tab"));
    EXPECT_TRUE(fs::exists(target / "mine.txt"));
    // A missing source folder changes nothing and raises nothing.
    mPubFun::copyFolderFiles(dir / "absent", target);
    EXPECT_TRUE(fs::exists(target / "mine.txt"));
}
