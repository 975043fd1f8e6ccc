#include "SystemTreeFixture.h"

#include <QComboBox>
#include <gtest/gtest.h>

namespace ocable::systemtree {
namespace {

using testing_support::ViewFixture;

// "key|text|tag|checked|parent key" of every node in insertion order.
std::vector<std::string> dump(const ui::KeyedTree& tree) {
    std::vector<std::string> out;
    for (ui::KeyedTree::NodeId id : tree.allNodes()) {
        const auto& n = tree.node(id);
        out.push_back(n.key + "|" + n.text + "|" + n.tag + "|" + (n.checked ? "1" : "0") + "|" +
                      (n.parent == ui::KeyedTree::npos ? std::string("-") : tree.node(n.parent).key));
    }
    return out;
}

struct SystemTreeTest : ViewFixture, testing::Test {};

// Seeding on the first display only, with the statements it sends, is
// SystemTreeAutomationTest's (a second seeding would double the rows its
// refresh run reads back); here names and codes read trimmed.
TEST_F(SystemTreeTest, FirstDisplaySeedsThenShowsEverySystemChecked) {
    tree.loadRules(); // no rule yet: nothing is built or asked beyond the rules
    EXPECT_EQ(shown().Count() + tree.TreeSystem().Count(), 0u);
    EXPECT_EQ(frmViewResTree::instance().CobSubNetPart()->count(), 0);
    EXPECT_EQ(host.data->sql, std::vector<std::string>{"SELECT * FROM EN_SUBNET_P"});
    // Keys, names and system codes are read trimmed.
    host.exec(R"(INSERT INTO EN_SUBNET_P VALUES ('R1', ' 按地区 ', NULL), (' R2 ', '按速率', NULL);
        INSERT INTO TRANSSYSTEM VALUES ('TS2', '京津', 'ZY110302'), ('TS1 ', '郑洛 ', 'ZY110303'))");
    tree.loadRules();
    const std::vector<std::string> expected = {"R1|按地区|NO|1|-", "R1:TS1|TS1(郑洛)|NO|1|R1",
                                               "R1:TS2|TS2(京津)|NO|1|R1"};
    EXPECT_EQ(dump(tree.TreeSystem()), expected);
    EXPECT_EQ(dump(shown()), expected) << "the window shows a copy";
    EXPECT_TRUE(shown().node("R1").expanded);
    EXPECT_EQ(frmViewResTree::instance().CobSubNetPart()->currentText(), QStringLiteral("按地区"));
    EXPECT_EQ(tree.ruleKeys(), (std::vector<std::string>{"R1", "R2"}));
}

/* Stored:  R ─┬─ G1 本地网 (YES) ── R:TS1        left out with its subtree
               ├─ G2 华北 (YES) ─┬─ R:TS2
               │                 └─ G3 本地环 (YES) ── R:TS3   left out
               └─ R:TS4 under a parent that is not stored: left out        */
TEST_F(SystemTreeTest, LocalNodesAndOrphansAreLeftOutWithTheirSubtrees) {
    host.exec(R"(INSERT INTO EN_SUBNET_P VALUES ('R', 'R', NULL);
        INSERT INTO RE_TREE_STRUCT VALUES ('R', '规则', 'NULL', 0, 'R', 'NO', ''),
            ('G1', '本地网', 'R', 1, 'R', 'YES', ''), ('R:TS1', 'TS1(a)', 'G1', 2, 'R', 'NO', ''),
            ('G2', '华北', 'R', 1, 'R', 'YES', ''), ('R:TS2', 'TS2(b)', 'G2', 2, 'R', 'NO', ''),
            ('G3', '东部本地环', 'G2', 2, 'R', 'YES', ''), ('R:TS3', 'TS3(c)', 'G3', 3, 'R', 'NO', ''),
            ('R:TS4', 'TS4(d)', 'GONE', 2, 'R', 'NO', ''))");
    tree.loadRules();
    EXPECT_EQ(dump(shown()),
              (std::vector<std::string>{"R|规则|NO|1|-", "G2|华北|YES|1|R", "R:TS2|TS2(b)|NO|1|G2"}));
}

TEST_F(SystemTreeTest, RuleListFollowsTheEditor) {
    host.exec("INSERT INTO EN_SUBNET_P VALUES ('A', '同名', NULL), ('B', '同名', NULL), ('C', '丙', NULL)");
    tree.loadRules();
    EXPECT_EQ(tree.getMethodKeyByName("同名"), "A") << "the rule read first";
    EXPECT_EQ(tree.getMethodKeyByName("无"), "");
    tree.addOneNewMethod("划分原则4", "划分原则4");
    tree.modifyMothedName("划分原则4", "新名");
    EXPECT_EQ(tree.getMethodKeyByName("新名"), "划分原则4");
    tree.deleteOneMethod("同名");
    EXPECT_EQ(tree.ruleKeys(), (std::vector<std::string>{"B", "C", "划分原则4"}));
    EXPECT_EQ(tree.getMethodKeyByName("同名"), "B");
    EXPECT_THROW(tree.addOneNewMethod("x", "C"), CollectionError) << "an error reaches the editor";
}

/* R ── G (YES) ─┬─ R:S1  ticked
                 ├─ R:S2  already unticked
                 └─ E (YES, empty)                                          */
TEST_F(SystemTreeTest, CheckShowsOnlyTheSystemsWhoseStateChangesThenCascades) {
    host.exec(R"(INSERT INTO EN_SUBNET_P VALUES ('R', 'R', NULL);
        INSERT INTO RE_TREE_STRUCT VALUES ('R', 'R', 'NULL', 0, 'R', 'NO', ''), ('G', 'G', 'R', 1, 'R', 'YES', ''),
            ('R:S1', 'S1', 'G', 2, 'R', 'NO', ''), ('R:S2', 'S2', 'G', 2, 'R', 'NO', ''), ('E', 'E', 'G', 2, 'R', 'YES', ''))");
    tree.loadRules();
    shown().node("R:S2").checked = false;
    tree.TreeSystem().node("R:S2").checked = false;

    host.data->sql.clear();
    tree.TreeSystem_NodeCheck("G", false);
    EXPECT_EQ(routeQueries(), std::vector<std::string>{"'S1'"});
    for (const char* key : {"G", "R:S1", "R:S2", "E"}) {
        EXPECT_FALSE(shown().node(key).checked) << key;
        EXPECT_FALSE(tree.TreeSystem().node(key).checked) << key << " in the main window's tree";
    }

    host.data->sql.clear();
    tree.TreeSystem_NodeCheck("G", true);
    EXPECT_EQ(routeQueries(), (std::vector<std::string>{"'S1'", "'S2'"}));

    // A single leaf is its own origin: shown even when its box says so already.
    host.data->sql.clear();
    tree.TreeSystem_NodeCheck("R:S1", true);
    EXPECT_EQ(routeQueries(), std::vector<std::string>{"'S1'"});
}

TEST_F(SystemTreeTest, ClickingTheRootKeepsTheSelection) {
    host.exec(R"(INSERT INTO EN_SUBNET_P VALUES ('R', 'R', NULL);
        INSERT INTO TRANSSYSTEM VALUES ('S1', '甲', NULL);
        INSERT INTO MAP_V_RE_CABLE_SUNNET_SYSTEM VALUES ('C1', 'S1'))");
    drawCable("C1", 110, 1);
    tree.loadRules();
    cables().Selection().Add(cables().AllFeatures());
    host.data->sql.clear();
    tree.TreeSystem_NodeClick("R");
    EXPECT_EQ(cables().Selection().Count(), 1);
    EXPECT_TRUE(host.data->sql.empty());
    // An unticked node clears the selection and selects nothing (a ticked one
    // selects its route:
    // SystemTreeAutomation.RoutesOnTheMapThenRefreshFailedSaveMenuBandSummaryAndDropTarget).
    tree.TreeSystem_NodeCheck("R:S1", false);
    cables().Selection().Add(cables().AllFeatures());
    tree.TreeSystem_NodeClick("R:S1");
    EXPECT_EQ(cables().Selection().Count(), 0);
}

} // namespace
} // namespace ocable::systemtree
