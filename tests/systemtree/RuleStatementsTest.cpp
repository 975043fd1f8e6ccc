#include "systemtree/RuleStatements.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

namespace ocable::systemtree {
namespace {

// The stored formats are shared with other programs that read the tables,
// so each text is compared whole with the one they were always written with.
// The statements of creating, saving and deleting a rule are compared in the
// end-to-end runs (SystemTreeAutomationTest); these are the others.
struct StatementCase {
    const char* name;
    std::function<std::string()> make;
    std::string expected;
};

const StatementCase kCases[] = {
    {"allRules", [] { return sql::allRules(); }, "SELECT * FROM EN_SUBNET_P"},
    {"allSystems", [] { return sql::allSystems(); }, "SELECT SYSTEMCODE , SYSNAME FROM TRANSSYSTEM "},
    {"insertSeededSystem", [] { return sql::insertSeededSystem("划分原则4", "TS000001", "郑州-洛阳 2.5G"); },
     "INSERT INTO RE_TREE_STRUCT(NODEKEY,NODENAME,PARENTKEY,NODELEVEL,P_KEY,IS_DELETE) "
     "VALUES('划分原则4:TS000001','TS000001(郑州-洛阳 2.5G)','划分原则4',1,'划分原则4','NO')"},
    {"deleteVanishedSystems", [] { return sql::deleteVanishedSystems("划分原则4"); },
     "delete from re_tree_struct where p_key = '划分原则4'  and  nodekey in(select p_key || ':' || "
     "systemcode  "
     "from (select distinct ( substr(nodekey ,length(p_key) + 2 ,length(nodekey) - length(p_key) -1)) as "
     "systemcode ,p_key from re_tree_struct where is_delete = 'NO' and nodelevel > 0 and p_key = "
     "'划分原则4') "
     "where systemcode not in (select systemcode from transsystem )) "},
    {"insertMissingSystems", [] { return sql::insertMissingSystems("划分原则4"); },
     "insert into re_tree_struct (select nodekey , systemcode || '(' || sysname || ')' as nodename  , "
     "'划分原则4' "
     ", 1 , '划分原则4' , 'NO' , '' from (select ('划分原则4:' || systemcode) as nodekey ,systemcode , "
     "sysname "
     "from transsystem ) where nodekey not in (select nodekey from re_tree_struct )) "},
    // A quote in a name is doubled: it can neither end the literal nor
    // start a second statement.
    {"quoteInRootText", [] { return sql::renameRule("划分原则4", "O'Neil'; DELETE FROM STATION --"); },
     "UPDATE EN_SUBNET_P SET P_NAME = 'O''Neil''; DELETE FROM STATION --' WHERE P_KEY = '划分原则4'"},
    {"quoteInRuleKeyOfRefresh", [] { return sql::insertMissingSystems("a'b"); },
     "insert into re_tree_struct (select nodekey , systemcode || '(' || sysname || ')' as nodename  , 'a''b' "
     ", 1 , 'a''b' , 'NO' , '' from (select ('a''b:' || systemcode) as nodekey ,systemcode , sysname "
     "from transsystem ) where nodekey not in (select nodekey from re_tree_struct )) "},
};

// Test lists show the row's name, not the bytes of the case.
void PrintTo(const StatementCase& c, std::ostream* os) {
    *os << c.name;
}

class RuleStatementTest : public testing::TestWithParam<StatementCase> {};

TEST_P(RuleStatementTest, TextIsTheStoredFormat) {
    EXPECT_EQ(GetParam().make(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Statements, RuleStatementTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<StatementCase>& info) { return info.param.name; });

} // namespace
} // namespace ocable::systemtree
