#include "HostTables.h"

#include "platform/db/SqlQuote.h"

#include <gtest/gtest.h>

using namespace ocable::db;
using namespace ocable::db::test;

namespace {

// The statements of the division-rule store, built as the program builds them.
const std::string k = "划分原则1";
std::string q(const std::string& v) {
    return sqlQuote(v);
}
std::string s1() {
    return "SELECT * FROM EN_SUBNET_P";
}
std::string s3(const std::string& k) {
    return "SELECT P_KEY , REMARK FROM EN_SUBNET_P WHERE P_KEY = " + q(k);
}
std::string s4(const std::string& k) {
    return "SELECT * FROM RE_TREE_STRUCT WHERE P_KEY = " + q(k) + " ORDER BY NODELEVEL , NODENAME ";
}
std::string s6(const std::string& key) {
    return "INSERT INTO EN_SUBNET_P(P_KEY,P_NAME) VALUES(" + q(key) + " ," + q(key) + ")";
}
std::string s7(const std::string& name, const std::string& k) {
    return "UPDATE EN_SUBNET_P SET P_NAME = " + q(name) + " WHERE P_KEY = " + q(k);
}
std::string s8(const std::string& k) {
    return "DELETE FROM RE_TREE_STRUCT WHERE P_KEY = " + q(k);
}
std::string s9(const std::string& k) {
    return "DELETE FROM EN_SUBNET_P WHERE P_KEY = " + q(k);
}
std::string s12(const std::string& key, const std::string& text, const std::string& parent, int level,
                const std::string& k, const std::string& tag) {
    return "INSERT INTO RE_TREE_STRUCT(NODEKEY,NODENAME,PARENTKEY,NODELEVEL,P_KEY,IS_DELETE) VALUES(" +
           q(key) + "," + q(text) + "," + q(parent) + "," + std::to_string(level) + "," + q(k) + "," +
           q(tag) + ")";
}
// The root row and a seeded system row differ from the general insert only in spacing.
std::string s10(const std::string& k, const std::string& name) {
    return "INSERT INTO RE_TREE_STRUCT(NODEKEY,NODENAME,PARENTKEY,NODELEVEL,P_KEY,IS_DELETE) VALUES(" + q(k) +
           " ," + q(name) + ",'NULL',0," + q(k) + ",'NO')";
}
std::string s11(const std::string& k, const std::string& code, const std::string& name) {
    return s12(k + ":" + code, code + "(" + name + ")", k, 1, k, "NO");
}
std::string s13(const std::string& k) {
    return "delete from re_tree_struct where p_key = " + q(k) + "  and  nodekey in(" +
           "select p_key || ':' || systemcode  from (" +
           "select distinct ( substr(nodekey ,length(p_key) + 2 ,length(nodekey) - length(p_key) -1)) as "
           "systemcode "
           ",p_key from re_tree_struct where is_delete = 'NO' and nodelevel > 0 and p_key = " +
           q(k) + ") " + "where systemcode not in (select systemcode from transsystem )) ";
}
std::string s14(const std::string& k) {
    return "insert into re_tree_struct (select nodekey , systemcode || '(' || sysname || ')' as nodename  "
           ", " +
           q(k) + " , 1 , " + q(k) + " , 'NO' , '' from (select (" + q(k + ":") +
           " || systemcode) as nodekey ,systemcode , sysname from transsystem ) " +
           "where nodekey not in (select nodekey from re_tree_struct )) ";
}

class DivisionRuleSql : public testing::Test {
protected:
    DivisionRuleSql() { loadHostTables(db); }

    // Every row of the tree table, one "|"-joined line each (Null as "-"), in key order.
    std::string tree() {
        std::string out;
        for (auto rs = db.query("SELECT * FROM RE_TREE_STRUCT ORDER BY NODEKEY"); !rs->Eof(); rs->MoveNext())
            for (int i = 0; i < rs->FieldCount(); ++i)
                out += (rs->Fields(i).isNull() ? "-" : rs->Fields(i).toText()) + (i < 6 ? "|" : "\n");
        return out;
    }

    SqliteConnection db{":memory:", SqliteConnection::OpenMode::Create};
};

} // namespace

TEST_F(DivisionRuleSql, CreateSeedSaveRenameDelete) {
    EXPECT_EQ(firstColumn(db, "SELECT P_KEY FROM EN_SUBNET_P"), "");
    db.query(s6(k)); // the rule creator and the seeding insert through the query call
    EXPECT_EQ(db.query(s1())->Fields("p_Name").toText(), k);

    EXPECT_TRUE(db.query(s4(k))->Eof());
    db.query(s10(k, k));
    for (auto systems = db.query("SELECT SYSTEMCODE , SYSNAME FROM TRANSSYSTEM "); !systems->Eof();
         systems->MoveNext())
        db.query(s11(k, systems->Fields("systemcode").toText(), systems->Fields("SYSNAME").toText()));
    EXPECT_EQ(firstColumn(db, s4(k)), "划分原则1;划分原则1:SYS1;划分原则1:SYS2;");

    // Saving replaces the stored tree; the rule's name follows the root's text.
    EXPECT_EQ(db.execute(s8(k)), 3);
    db.execute(s10(k, "骨干划分"));
    db.execute(s12("划分方法1", "新建节点1", k, 1, k, "YES"));
    db.execute(s12(k + ":SYS1", "SYS1(一号系统)", "划分方法1", 2, k, "NO"));
    EXPECT_EQ(db.execute(s7("骨干划分", k)), 1);
    EXPECT_EQ(tree(), "划分原则1|骨干划分|NULL|0|划分原则1|NO|-\n"
                      "划分原则1:SYS1|SYS1(一号系统)|划分方法1|2|划分原则1|NO|-\n"
                      "划分方法1|新建节点1|划分原则1|1|划分原则1|YES|-\n");
    EXPECT_EQ(firstColumn(db, s3(k)), k + ";");
    EXPECT_EQ(firstColumn(db, "SELECT P_NAME FROM EN_SUBNET_P"), "骨干划分;");

    db.execute(s8(k));
    EXPECT_EQ(db.execute(s9(k)), 1);
    EXPECT_EQ(tree() + firstColumn(db, s1()), "");
}

// Refreshing after SYS9 has left TRANSSYSTEM and SYS3, without a name, has come.
TEST_F(DivisionRuleSql, RefreshDropsGoneSystemsAndAddsNewOnes) {
    db.execute("INSERT INTO TRANSSYSTEM VALUES ('SYS3',NULL,'ZY110302')");
    for (const auto& sql : {s10(k, k), s11(k, "SYS1", "一号系统"), s11(k, "SYS9", "旧系统"),
                            s12("划分方法1", "新建节点1", k, 1, k, "YES"),
                            s12(k + ":SYS2", "SYS2(二号系统)", "划分方法1", 2, k, "NO"),
                            s12("划分方法2", "空分组", k, 1, k, "YES"), s10("划分原则2", "划分原则2"),
                            s11("划分原则2", "SYS9", "旧系统")})
        db.execute(sql);

    EXPECT_EQ(db.execute(s13(k)), 1);
    EXPECT_EQ(db.execute(s14(k)), 1);
    EXPECT_EQ(tree(), "划分原则1|划分原则1|NULL|0|划分原则1|NO|-\n"
                      "划分原则1:SYS1|SYS1(一号系统)|划分原则1|1|划分原则1|NO|-\n"
                      "划分原则1:SYS2|SYS2(二号系统)|划分方法1|2|划分原则1|NO|-\n"
                      "划分原则1:SYS3|SYS3()|划分原则1|1|划分原则1|NO|\n"
                      "划分原则2|划分原则2|NULL|0|划分原则2|NO|-\n"
                      "划分原则2:SYS9|SYS9(旧系统)|划分原则2|1|划分原则2|NO|-\n"
                      "划分方法1|新建节点1|划分原则1|1|划分原则1|YES|-\n"
                      "划分方法2|空分组|划分原则1|1|划分原则1|YES|-\n");
    EXPECT_EQ(db.execute(s13(k)) + db.execute(s14(k)), 0) << "a second refresh changes nothing";
}
