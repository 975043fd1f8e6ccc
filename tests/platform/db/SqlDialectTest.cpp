#include "platform/db/SqlDialect.h"

#include <gtest/gtest.h>

using ocable::db::adaptToSqlite;

// The program's own statements run through the dialect elsewhere: the rule
// refresh's insert of a parenthesised select with || over a Null in
// RuleStatementsTest, the property window's "order by isvisible desc,serial"
// over Nulls in SqliteConnectionTest.
TEST(SqlDialect, OracleTextsBecomeSqlite) {
    const struct {
        const char* name;
        const char* oracle;
        const char* sqlite = nullptr; // none: left as it is
    } cases[] = {
        {"no blank around the parentheses", "INSERT INTO t(SELECT a FROM b)",
         "INSERT INTO t SELECT a FROM b"},
        {"column list kept", "INSERT INTO t (a, b) (SELECT a, b FROM u)",
         "INSERT INTO t (a, b) SELECT a, b FROM u"},
        {"values untouched", "INSERT INTO RE_TREE_STRUCT(NODEKEY,NODENAME) VALUES('(select','a'||'b')"},
        {"concatenated operands skip nulls",
         "select p_key || ':' || systemcode  from t where a.b||substr(c ,length(p_key) + 2)||\"Q\" = 'x'",
         "select ifnull(p_key,'') || ':' || ifnull(systemcode,'')  from t where "
         "ifnull(a.b,'')||ifnull(substr(c ,length(p_key) + 2),'')||ifnull(\"Q\",'') = 'x'"},
        {"parenthesised operand", "select (a || b) || 1 from t",
         "select ifnull((ifnull(a,'') || ifnull(b,'')),'') || 1 from t"},
        {"order by with trailing blank", "SELECT * FROM R ORDER BY NODELEVEL , NODENAME ",
         "SELECT * FROM R ORDER BY NODELEVEL NULLS LAST , NODENAME NULLS LAST "},
        {"order by inside a subquery", "select * from (select a from t order by f(a, b) asc) x",
         "select * from (select a from t order by f(a, b) asc NULLS LAST) x"},
        {"nulls already placed", "SELECT a FROM t ORDER BY a NULLS FIRST"},
        {"left as written",
         "delete from re_tree_struct where p_key = 'k'  and  nodekey in(select distinct ( substr(nodekey "
         ",2)) from V_EN_FIBER$OC where x = 'a || b order by c' -- || order by\n)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(adaptToSqlite(c.oracle), c.sqlite ? c.sqlite : c.oracle);
    }
}
