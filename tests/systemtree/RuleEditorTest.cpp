#include "SystemTreeFixture.h"

#include "platform/db/SqliteConnection.h"
#include "platform/ui/MessageBoxService.h"

#include <QComboBox>
#include <QMenu>
#include <gtest/gtest.h>

namespace ocable::systemtree {
namespace {

// The part of a map view the editor calls by name, over a real system tree.
class TestView : public QWidget {
    Q_OBJECT
public:
    explicit TestView(SystemTree& tree) : tree_(tree) {}
    Q_INVOKABLE QString getMethodKeyByName(const QString& n) {
        return QString::fromStdString(tree_.getMethodKeyByName(n.toStdString()));
    }
    Q_INVOKABLE void genNewTree(const QString& k) { tree_.genNewTree(k.toStdString()); }
    Q_INVOKABLE void addOneNewMethod(const QString& n, const QString& k) {
        tree_.addOneNewMethod(n.toStdString(), k.toStdString());
    }
    Q_INVOKABLE void modifyMothedName(const QString& o, const QString& n) {
        tree_.modifyMothedName(o.toStdString(), n.toStdString());
    }
    Q_INVOKABLE void deleteOneMethod(const QString& n) { tree_.deleteOneMethod(n.toStdString()); }

private:
    SystemTree& tree_;
};

/* Two rules: R1 "按地区" stored as  R1 ── 划分方法1 华北 (YES) ── R1:S1
   and R2 "按速率" not yet stored; systems S1 and S2.                        */
struct RuleEditorTest : testing_support::ViewFixture, testing::Test {
    TestView viewWindow{tree};
    frmViewResTree& window = frmViewResTree::instance();

    RuleEditorTest() {
        host.exec("INSERT INTO EN_SUBNET_P VALUES ('R1', '按地区', NULL), ('R2', '按速率', ' NO ')");
        host.exec("INSERT INTO TRANSSYSTEM VALUES ('S1', '甲', NULL), ('S2', '乙', NULL)");
        host.exec("INSERT INTO RE_TREE_STRUCT VALUES ('R1', '按地区', 'NULL', 0, 'R1', 'NO', ''),"
                  "('划分方法1', '华北', 'R1', 1, 'R1', 'YES', ''), ('R1:S1', 'S1(甲)', '划分方法1', 2, "
                  "'R1', 'NO', '')");
        mPubVar::gfrmCurrentView = &viewWindow;
        box().setScripted(true);
        box().clearQueue();
        box().clearHistory();
        tree.loadRules();
        host.data->sql.clear();
    }
    ~RuleEditorTest() override {
        box().setScripted(false);
        box().clearQueue();
        mPubVar::gfrmCurrentView = nullptr;
    }
    void pick(const QString& name) {
        window.CobSubNetPart()->setCurrentText(name);
        window.CobSubNetPart_Click();
    }
    void select(const char* key) { window.TreeSystem()->selectKey(key); }
    std::vector<std::string> stored(const std::string& rule) {
        db::SqliteConnection c(host.root / "network.db");
        auto rs =
            c.query("SELECT NODEKEY || '|' || NODENAME || '|' || PARENTKEY || '|' || NODELEVEL || '|' || "
                    "IS_DELETE FROM RE_TREE_STRUCT WHERE P_KEY = '" +
                    rule + "' ORDER BY rowid");
        std::vector<std::string> rows;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
            rows.push_back(rs->Fields(0).toText());
        return rows;
    }
    QStringList comboItems() {
        QStringList items;
        for (int i = 0; i < window.CobSubNetPart()->count(); ++i)
            items << window.CobSubNetPart()->itemText(i);
        return items;
    }
    ui::KeyedTree& edited() { return window.TreeSystem()->tree(); }
    static ui::MessageBoxService& box() { return ui::MessageBoxService::instance(); }
    // Answers the next boxes in order.
    void answer(std::initializer_list<bool> yes) {
        for (bool y : yes)
            box().queueAnswer(y ? ui::MessageBoxService::Answer::Yes : ui::MessageBoxService::Answer::No);
    }
    // "caption:text" of every box shown so far.
    std::vector<QString> asked() const {
        std::vector<QString> out;
        for (const auto& r : box().history())
            out.push_back(QString::fromStdString(
                r.request.title.empty() ? r.request.text : r.request.title + ":" + r.request.text));
        return out;
    }
};

TEST_F(RuleEditorTest, GroupingNodesComeFirstWithTheSmallestFreeKeyAndACounter) {
    select("R1");
    window.ActiveBarPop_ToolClick("mnuAdd");
    window.ActiveBarPop_ToolClick("mnuAdd");
    const auto& root = edited().node("R1");
    ASSERT_EQ(root.children.size(), 3u);
    EXPECT_EQ(edited().node(root.children[0]).key, "划分方法3");
    EXPECT_EQ(edited().node(root.children[0]).text, "新建节点2");
    EXPECT_EQ(edited().node(root.children[1]).key, "划分方法2");
    EXPECT_EQ(edited().node(root.children[1]).text, "新建节点1");
    EXPECT_EQ(edited().node("划分方法2").tag, "YES");
    EXPECT_TRUE(window.isModified);

    // A system node takes no children and cannot be renamed or deleted.
    select("R1:S1");
    window.prepareMenu();
    for (const char* entry : {"mnuAdd", "mnuDelete", "mnuModify"})
        EXPECT_FALSE(window.ActiveBarPop()->tool("mnuPop", entry).enabled) << entry;
    EXPECT_TRUE(window.ActiveBarPop()->tool("mnuPop", "mnuSaveTree").enabled);
    window.ActiveBarPop_ToolClick("mnuAdd");
    EXPECT_EQ(edited().Count(), 5u);
    select("划分方法1");
    window.prepareMenu();
    EXPECT_TRUE(window.ActiveBarPop()->tool("mnuPop", "mnuDelete").enabled);
}

TEST_F(RuleEditorTest, RootRenameIsRefusedWhenAnotherRuleHasTheName) {
    EXPECT_FALSE(window.TreeSystem_AfterLabelEdit("R1", "按速率"));
    EXPECT_EQ(edited().node("R1").text, "按地区");
    EXPECT_EQ(host.message->shown.back(), "notice:划分原则命名重复！");
    EXPECT_TRUE(window.isModified);
    // A grouping node may carry any text.
    EXPECT_TRUE(window.TreeSystem_AfterLabelEdit("划分方法1", "按速率"));

    // Saving a renamed root renames the rule, never a key.
    ASSERT_TRUE(window.TreeSystem_AfterLabelEdit("R1", "按省份"));
    ASSERT_TRUE(window.saveTree());
    EXPECT_EQ(asked().back(), "保存成功！");
    EXPECT_EQ(comboItems(), (QStringList{"按省份", "按速率"}));
    EXPECT_EQ(tree.getMethodKeyByName("按省份"), "R1");
    EXPECT_EQ(stored("R1"), (std::vector<std::string>{"R1|按省份|NULL|0|NO", "划分方法1|按速率|R1|1|YES",
                                                      "R1:S1|S1(甲)|划分方法1|2|NO"}));
    EXPECT_FALSE(window.isModified);
}

TEST_F(RuleEditorTest, SwitchingWithUnsavedEditsAsksAndSavesOnYes) {
    select("R1");
    window.ActiveBarPop_ToolClick("mnuAdd");
    answer({true});
    pick("按速率");
    EXPECT_EQ(asked(), (std::vector<QString>{"子网：“按地区”已经修改，是否需要保存？", "保存成功！"}));
    EXPECT_EQ(stored("R1").size(), 4u);
    EXPECT_EQ(window.curRuleName, "按速率");
    EXPECT_EQ(edited().node("R2").text, "按速率") << "the picked rule is seeded and shown";
    EXPECT_EQ(stored("R2").size(), 3u);

    select("R2");
    window.ActiveBarPop_ToolClick("mnuAdd");
    answer({false});
    pick("按地区");
    EXPECT_EQ(stored("R2").size(), 3u) << "No drops the edits";
    EXPECT_FALSE(window.isModified);
}

TEST_F(RuleEditorTest, ANewRuleIsCreatedAtOnceAndDiscardedOnNo) {
    window.ActiveBarPop_ToolClick("mnuAddPart");
    EXPECT_EQ(host.data->sql[0], "SELECT P_KEY FROM EN_SUBNET_P");
    EXPECT_EQ(host.data->sql[1], "INSERT INTO EN_SUBNET_P(P_KEY,P_NAME) VALUES('划分原则3' ,'划分原则3')");
    EXPECT_EQ(comboItems(), (QStringList{"按地区", "按速率", "划分原则3"}));
    EXPECT_EQ(window.curRuleName, "划分原则3");
    EXPECT_TRUE(window.isNewRule);
    EXPECT_EQ(stored("划分原则3").size(), 3u) << "seeded on first display";

    answer({false});
    pick("按地区");
    EXPECT_EQ(asked(), std::vector<QString>{"新增子网原则：“划分原则3”是否需要保存？"});
    EXPECT_TRUE(stored("划分原则3").empty());
    EXPECT_EQ(comboItems(), (QStringList{"按地区", "按速率"}));
    EXPECT_EQ(tree.getMethodKeyByName("划分原则3"), "");
    EXPECT_FALSE(window.isNewRule);

    // Yes keeps it.
    window.ActiveBarPop_ToolClick("mnuAddPart");
    answer({true});
    window.saveWhenUnload();
    EXPECT_EQ(stored("划分原则3").size(), 3u);
    EXPECT_FALSE(window.isNewRule);
}

TEST_F(RuleEditorTest, DeletingRulesAndGroups) {
    select("划分方法1");
    answer({true});
    window.ActiveBarPop_ToolClick("mnuDelete");
    EXPECT_EQ(asked().back(), "删除确认:确定要删除节点“华北”吗？");
    EXPECT_FALSE(edited().Exists("R1:S1")) << "the subtree goes too";

    pick("按速率");
    select("R2");
    window.ActiveBarPop_ToolClick("mnuDelete");
    EXPECT_EQ(host.message->shown.back(), "notice:不能删除划分原则“按速率”");

    pick("按地区");
    select("R1");
    answer({true});
    host.data->sql.clear();
    window.ActiveBarPop_ToolClick("mnuDelete");
    EXPECT_EQ(asked().back(), "删除确认:确定要删除划分原则：“按地区”吗？");
    EXPECT_TRUE(stored("R1").empty());
    EXPECT_EQ(host.common->operationLog, std::vector<std::string>{"99:按地区节点->删除R1"});
    EXPECT_EQ(comboItems(), QStringList{"按速率"});
    EXPECT_EQ(window.curRuleName, "按速率");
    EXPECT_TRUE(edited().Exists("R2"));
}

TEST_F(RuleEditorTest, RefreshSavesPendingEditsThenFollowsTheSystems) {
    host.exec("DELETE FROM TRANSSYSTEM WHERE SYSTEMCODE = 'S1'");
    window.ActiveBarPop_ToolClick("mnuRefresh");
    EXPECT_EQ(stored("R1"), (std::vector<std::string>{"R1|按地区|NULL|0|NO", "划分方法1|华北|R1|1|YES",
                                                      "R1:S2|S2(乙)|R1|1|NO"}));
    EXPECT_TRUE(edited().Exists("R1:S1")) << "the tree on show is not rebuilt";
}

TEST_F(RuleEditorTest, DraggingStartsBeyondThreeHundredTwips) {
    window.TreeSystem_MouseDown("R1:S1", false, 1000);
    window.TreeSystem_MouseMove(true, 1300);
    EXPECT_FALSE(window.dragging());
    window.TreeSystem_MouseMove(true, 699);
    EXPECT_TRUE(window.dragging());
    window.TreeSystem_MouseDown("R1", true, 1000);
    window.TreeSystem_MouseMove(true, 299);
    EXPECT_FALSE(window.dragging()) << "a right press leaves the press height 0";
}

TEST_F(RuleEditorTest, SystemCodesOfMenuCommands) {
    select("R1");
    window.ActiveBarPop_ToolClick("mnuChannelMap");
    EXPECT_EQ(host.message->shown.back(), "notice:数据有误！");
    window.ActiveBarPop_ToolClick("mnuProperty");
    EXPECT_EQ(host.message->shown.back(), "notice:对象编号为空！");
}

} // namespace
} // namespace ocable::systemtree

#include "RuleEditorTest.moc"
