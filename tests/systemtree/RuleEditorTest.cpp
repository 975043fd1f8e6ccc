#include "SystemTreeFixture.h"

#include "platform/ui/MessageBoxService.h"
#include "support/HostRunner.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <gtest/gtest.h>

namespace ocable::systemtree {
namespace {

// The part of a map view the editor calls by name when it switches and
// renames rules, over a real system tree (new and deleted rules are the host runs').
class TestView : public QWidget {
    Q_OBJECT
public:
    explicit TestView(SystemTree& tree) : tree_(tree) {}
    Q_INVOKABLE QString getMethodKeyByName(const QString& n) {
        return QString::fromStdString(tree_.getMethodKeyByName(n.toStdString()));
    }
    Q_INVOKABLE void genNewTree(const QString& k) { tree_.genNewTree(k.toStdString()); }
    Q_INVOKABLE void modifyMothedName(const QString& o, const QString& n) {
        tree_.modifyMothedName(o.toStdString(), n.toStdString());
    }

private:
    SystemTree& tree_;
};

/* Two rules: R1 "按地区" stored as  R1 ── 划分方法1 华北 (YES) ── R1:S1
   and R2 "按速率" not yet stored; systems S1 and S2.                        */
struct RuleEditorTest : testing_support::ViewFixture, testing::Test {
    TestView viewWindow{tree};
    frmViewResTree& window = frmViewResTree::instance();

    RuleEditorTest() {
        host.exec(R"(INSERT INTO EN_SUBNET_P VALUES ('R1', '按地区', NULL), ('R2', '按速率', ' NO ');
            INSERT INTO TRANSSYSTEM VALUES ('S1', '甲', NULL), ('S2', '乙', NULL);
            INSERT INTO RE_TREE_STRUCT VALUES ('R1', '按地区', 'NULL', 0, 'R1', 'NO', ''),
                ('划分方法1', '华北', 'R1', 1, 'R1', 'YES', ''), ('R1:S1', 'S1(甲)', '划分方法1', 2, 'R1', 'NO', ''))");
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
        return testsupport::firstColumn(host.root / "network.db",
                                        "SELECT NODEKEY || '|' || NODENAME || '|' || PARENTKEY || '|' || "
                                        "NODELEVEL || '|' || IS_DELETE FROM RE_TREE_STRUCT WHERE P_KEY = '" +
                                            rule + "' ORDER BY rowid");
    }
    ui::KeyedTree& edited() { return window.TreeSystem()->tree(); }
    static ui::MessageBoxService& box() { return ui::MessageBoxService::instance(); }
    // "caption:text" of every box shown so far.
    std::vector<QString> asked() const {
        std::vector<QString> out;
        for (const auto& r : box().history())
            out.push_back(QString::fromStdString(
                r.request.title.empty() ? r.request.text : r.request.title + ":" + r.request.text));
        return out;
    }
};

// Creating, declining, saving and deleting rules, deleting a grouping node, the rename
// refusal, the menu per node kind, the drag threshold and the commands that
// need a system code are proven end to end (SystemTreeAutomationTest); these
// are the editor's rules besides.

TEST_F(RuleEditorTest, GroupingNodesComeFirstWithTheSmallestFreeKeyAndACounter) {
    select("R1");
    window.ActiveBarPop_ToolClick("mnuAdd");
    window.ActiveBarPop_ToolClick("mnuAdd");
    std::vector<std::string> children;
    for (ui::KeyedTree::NodeId id : edited().node("R1").children)
        children.push_back(edited().node(id).key + edited().node(id).text);
    EXPECT_EQ(children,
              (std::vector<std::string>{"划分方法3新建节点2", "划分方法2新建节点1", "划分方法1华北"}));
    EXPECT_EQ(edited().node("划分方法2").tag, "YES");
    EXPECT_TRUE(window.isModified);
    select("R1:S1");
    window.ActiveBarPop_ToolClick("mnuAdd");
    EXPECT_EQ(edited().Count(), 5u) << "a system node takes no children";
    // Only a rule name must be unique; the root's new text names the rule at the save.
    EXPECT_TRUE(window.TreeSystem_AfterLabelEdit("划分方法1", "按速率"));
    ASSERT_TRUE(window.TreeSystem_AfterLabelEdit("R1", "按省份"));
    ASSERT_TRUE(window.saveTree());
    EXPECT_EQ(asked().back(), "保存成功！");
    EXPECT_EQ(window.CobSubNetPart()->findText("按地区"), -1);
    EXPECT_EQ(window.CobSubNetPart()->itemText(0), "按省份");
    EXPECT_EQ(tree.getMethodKeyByName("按省份"), "R1");
}

TEST_F(RuleEditorTest, SwitchingWithUnsavedEditsAsksAndYesSaves) {
    select("R1");
    window.ActiveBarPop_ToolClick("mnuAdd");
    box().queueAnswer(ui::MessageBoxService::Answer::Yes);
    pick("按速率");
    EXPECT_EQ(asked(), (std::vector<QString>{"子网：“按地区”已经修改，是否需要保存？", "保存成功！"}));
    EXPECT_EQ(stored("R1").size(), 4u);
    EXPECT_EQ(window.curRuleName, "按速率");
    pick("按速率");
    EXPECT_EQ(asked().size(), 2u) << "the rule on show asks nothing";
}

TEST_F(RuleEditorTest, RefreshLeavesTheTreeOnShow) {
    host.exec("DELETE FROM TRANSSYSTEM WHERE SYSTEMCODE = 'S1'");
    window.ActiveBarPop_ToolClick("mnuRefresh");
    EXPECT_EQ(stored("R1"), (std::vector<std::string>{"R1|按地区|NULL|0|NO", "划分方法1|华北|R1|1|YES",
                                                      "R1:S2|S2(乙)|R1|1|NO"}));
    EXPECT_TRUE(edited().Exists("R1:S1"));
}

// The tree's own mouse and editor: a drag past the threshold highlights the
// node under the pointer under a drag cursor until the release, and a name
// typed in place is refused or taken when Enter ends it.
TEST_F(RuleEditorTest, TheTreeItselfDragsAndEditsNamesInPlace) {
    window.resize(300, 400);
    window.show();
    window.TreeSystem()->expandAll();
    QWidget* port = window.TreeSystem()->viewport();
    const auto at = [&](const char* key) {
        return window.TreeSystem()
            ->visualRect(window.TreeSystem()->model().indexOf(edited().id(key)))
            .center();
    };
    const auto mouse = [&](QEvent::Type type, const char* key, Qt::MouseButtons buttons) {
        QMouseEvent e(type, at(key), port->mapToGlobal(at(key)), Qt::LeftButton, buttons, {});
        QApplication::sendEvent(port, &e);
    };
    mouse(QEvent::MouseButtonPress, "R1", Qt::LeftButton);
    mouse(QEvent::MouseMove, "R1:S1", Qt::LeftButton);
    EXPECT_EQ(window.dropTarget() + (window.dragging() ? "+" : "-"), "R1:S1+");
    EXPECT_EQ(port->cursor().shape(), Qt::DragMoveCursor);
    EXPECT_EQ(window.TreeSystem()->selectedKey(), "R1");
    mouse(QEvent::MouseButtonRelease, "R1:S1", Qt::NoButton);
    EXPECT_EQ(window.dropTarget() + (window.dragging() ? "+" : "-"), "-");
    EXPECT_EQ(port->cursor().shape(), Qt::ArrowCursor);

    for (const char* typed : {"按速率", "按省份"}) {
        select("R1");
        window.ActiveBarPop_ToolClick("mnuModify");
        QPointer<QLineEdit> editor = port->findChild<QLineEdit*>();
        ASSERT_TRUE(editor);
        editor->setText(typed);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(editor, &enter);
        QApplication::processEvents(); // the view commits on the next turn of the loop
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(editor) << "Enter closes the editor";
    }
    EXPECT_EQ(host.message->shown.back(), "notice:划分原则命名重复！");
    EXPECT_EQ(edited().node("R1").text, "按省份");
    select("R1:S1");
    EXPECT_FALSE(window.TreeSystem()->startLabelEdit()) << "a system keeps its name";
}

} // namespace
} // namespace ocable::systemtree

#include "RuleEditorTest.moc"
