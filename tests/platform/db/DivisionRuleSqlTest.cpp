#include "HostTables.h"

#include <gtest/gtest.h>

using namespace ocable::db;
using namespace ocable::db::test;

namespace {

// The two statements of a rule refresh, in the Oracle form the program sends
// them (RuleStatementsTest holds them to that text). Creating, saving and
// deleting a rule run end to end in SystemTreeAutomationTest; the refresh
// there only drops a system, so whether these run on SQLite at all, with a
// system of no name, is shown here.
const std::string kDeleteVanished =
    "delete from re_tree_struct where p_key = '划分原则1'  and  nodekey in(select p_key || ':' || systemcode "
    " "
    "from (select distinct ( substr(nodekey ,length(p_key) + 2 ,length(nodekey) - length(p_key) -1)) as "
    "systemcode ,p_key from re_tree_struct where is_delete = 'NO' and nodelevel > 0 and p_key = '划分原则1') "
    "where systemcode not in (select systemcode from transsystem )) ";
const std::string kInsertMissing =
    "insert into re_tree_struct (select nodekey , systemcode || '(' || sysname || ')' as nodename  , "
    "'划分原则1' , 1 , '划分原则1' , 'NO' , '' from (select ('划分原则1:' || systemcode) as nodekey "
    ",systemcode , sysname from transsystem ) where nodekey not in (select nodekey from re_tree_struct )) ";

// Every row of the tree table, one "|"-joined line each (Null as "-"), in key order.
std::string tree(SqliteConnection& db) {
    std::string out;
    for (auto rs = db.query("SELECT * FROM RE_TREE_STRUCT ORDER BY NODEKEY"); !rs->Eof(); rs->MoveNext())
        for (int i = 0; i < rs->FieldCount(); ++i)
            out += (rs->Fields(i).isNull() ? "-" : rs->Fields(i).toText()) + (i < 6 ? "|" : "\n");
    return out;
}

} // namespace

// Refreshing after SYS9 has left TRANSSYSTEM and SYS3, without a name, has
// come: only the refreshed rule changes, and a system under a grouping node stays.
TEST(DivisionRuleSql, RefreshDropsGoneSystemsAndAddsNewOnes) {
    SqliteConnection db(":memory:", SqliteConnection::OpenMode::Create);
    loadHostTables(db);
    db.execute("INSERT INTO TRANSSYSTEM VALUES ('SYS3',NULL,'ZY110302')");
    db.execute("INSERT INTO RE_TREE_STRUCT(NODEKEY,NODENAME,PARENTKEY,NODELEVEL,P_KEY,IS_DELETE) VALUES "
               "('划分原则1','划分原则1','NULL',0,'划分原则1','NO'), "
               "('划分原则1:SYS1','SYS1(一号系统)','划分原则1',1,'划分原则1','NO'), "
               "('划分原则1:SYS9','SYS9(旧系统)','划分原则1',1,'划分原则1','NO'), "
               "('划分方法1','新建节点1','划分原则1',1,'划分原则1','YES'), "
               "('划分原则1:SYS2','SYS2(二号系统)','划分方法1',2,'划分原则1','NO'), "
               "('划分方法2','空分组','划分原则1',1,'划分原则1','YES'), "
               "('划分原则2','划分原则2','NULL',0,'划分原则2','NO'), "
               "('划分原则2:SYS9','SYS9(旧系统)','划分原则2',1,'划分原则2','NO')");

    EXPECT_EQ(db.execute(kDeleteVanished), 1);
    EXPECT_EQ(db.execute(kInsertMissing), 1);
    EXPECT_EQ(tree(db), "划分原则1|划分原则1|NULL|0|划分原则1|NO|-\n"
                        "划分原则1:SYS1|SYS1(一号系统)|划分原则1|1|划分原则1|NO|-\n"
                        "划分原则1:SYS2|SYS2(二号系统)|划分方法1|2|划分原则1|NO|-\n"
                        "划分原则1:SYS3|SYS3()|划分原则1|1|划分原则1|NO|\n"
                        "划分原则2|划分原则2|NULL|0|划分原则2|NO|-\n"
                        "划分原则2:SYS9|SYS9(旧系统)|划分原则2|1|划分原则2|NO|-\n"
                        "划分方法1|新建节点1|划分原则1|1|划分原则1|YES|-\n"
                        "划分方法2|空分组|划分原则1|1|划分原则1|YES|-\n");
    EXPECT_EQ(db.execute(kDeleteVanished) + db.execute(kInsertMissing), 0)
        << "a second refresh changes nothing";
}
