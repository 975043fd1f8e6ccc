// The keyed tree, and its model and view as Qt's own tester and a key press
// see them.
#include "platform/ui/KeyedTree.h"
#include "platform/ui/CheckTreeView.h"
#include "support/ErrorCapture.h"
#include "support/ErrorOf.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using ocable::ui::CheckTreeView;
using ocable::ui::KeyedTree;
using ocable::ui::TreeError;
using Change = KeyedTree::Change;

namespace {

// A province under parent: p:STA and p:OCA, each with leaves p:STA:0, p:STA:1, ...
void addProvince(KeyedTree& t, const std::string& parent, const std::string& p, int leaves) {
    t.Add(parent, p, p);
    for (const char* group : {":STA", ":OCA"}) {
        t.Add(p, p + group, group);
        for (int i = 0; i < leaves; ++i)
            t.Add(p + group, p + group + ":" + std::to_string(i), "x");
    }
}

//   ROOT ─┬─ 二干 ── P1 ─┬─ P1:STA ── P1:STA:0, P1:STA:1, P1:STA:2
//         └─ 本地         └─ P1:OCA ── P1:OCA:0, P1:OCA:1, P1:OCA:2
KeyedTree provinceTree() {
    KeyedTree t;
    t.Add("", "ROOT", "ROOT");
    t.Add("ROOT", "二干", "二干");
    addProvince(t, "二干", "P1", 3);
    t.Add("ROOT", "本地", "本地");
    return t;
}

std::string keys(const KeyedTree& t, const std::vector<KeyedTree::NodeId>& ids) {
    std::string out;
    for (auto id : ids)
        out += (out.empty() ? "" : ",") + t.node(id).key;
    return out;
}

// Every node in order: key, parent's key, row, text, tag and state; "lost"
// when looking the key up does not find the node.
std::string dump(const KeyedTree& t) {
    std::string out;
    for (auto id : t.allNodes()) {
        const auto& n = t.node(id);
        out += n.key + " < " + (n.parent == KeyedTree::npos ? "" : t.node(n.parent).key) + " #" +
               std::to_string(n.row) + " " + n.text + " " + n.tag + (n.checked ? " checked" : "") +
               (n.expanded ? " expanded" : "") + (t.id(n.key) == id ? "" : " lost") + "\n";
    }
    return out;
}

// "ROOT(A(A1,A2),B)", by key, as the model presents it.
std::string shape(const QAbstractItemModel& m, const QModelIndex& parent = {}) {
    std::string out;
    for (int r = 0; r < m.rowCount(parent); ++r) {
        const QModelIndex i = m.index(r, 0, parent);
        out += (r ? "," : "") + i.data(Qt::UserRole).toString().toStdString();
        if (m.rowCount(i) > 0) out += "(" + shape(m, i) + ")";
    }
    return out;
}

const auto errorOf = [](auto&& call) { return ocable::testsupport::errorOf<TreeError>(call); };

} // namespace

TEST(KeyedTree, RefusesDuplicateKeysAndMissingParentsWithoutTellingObservers) {
    KeyedTree t = provinceTree();
    int told = 0;
    t.addObserver([&](Change, KeyedTree::NodeId) { ++told; });
    EXPECT_EQ(errorOf([&] { t.Add("ROOT", "P1:STA:1", "again"); }), "树节点关键字重复：P1:STA:1");
    EXPECT_EQ(errorOf([&] { t.Add("", "ROOT", "again"); }), "树节点关键字重复：ROOT");
    EXPECT_EQ(errorOf([&] { t.Add("P9", "P9:STA", "x"); }), "找不到树节点：P9");
    EXPECT_EQ(errorOf([&] { t.Remove("P9:STA"); }), "找不到树节点：P9:STA");
    EXPECT_EQ(errorOf([&] { t.Add("自身", "自身", "x"); }), "找不到树节点：自身");
    EXPECT_FALSE(t.Exists("P9:STA")); // a refused node leaves its key free
    EXPECT_FALSE(t.Exists("自身"));
    // A view told AboutToAdd would wait for a row that never comes.
    EXPECT_EQ(told, 0);
    EXPECT_EQ(t.Count(), 12u);
}

TEST(KeyedTree, RemoveTakesTheSubtreeClosesUpRowsAndFreesTheKeys) {
    KeyedTree t = provinceTree();
    t.Remove("P1:STA:0");
    EXPECT_EQ(keys(t, t.node("P1:STA").children), "P1:STA:1,P1:STA:2");
    EXPECT_EQ(t.row(t.id("P1:STA:2")), 1u);
    t.Remove("P1");
    EXPECT_EQ(t.Count(), 3u);
    for (const char* gone : {"P1", "P1:STA", "P1:STA:1", "P1:OCA:0"})
        EXPECT_FALSE(t.Exists(gone)) << gone;

    // Keys come free; new nodes come last in insertion order, and rows stay dense.
    t.Add("二干", "P1", "省一");
    t.Add("P1", "P1:STA:1", "x");
    EXPECT_EQ(keys(t, t.allNodes()), "ROOT,二干,本地,P1,P1:STA:1");

    t = provinceTree();
    t.setCheckedRecursive(t.id("P1:STA"), true);
    EXPECT_TRUE(t.node("P1:STA:2").checked);
    EXPECT_FALSE(t.node("P1").checked);
    EXPECT_FALSE(t.node("P1:OCA:0").checked);
}

TEST(KeyedTree, TellsEachChangeInOrderAndABulkUpdateAsOneReset) {
    KeyedTree t;
    std::vector<std::string> told;
    const auto record = [&](Change c, KeyedTree::NodeId id) {
        static const char* names[] = {"add?", "add!", "remove?", "remove!", "update", "reset?", "reset!"};
        // At AboutToAdd the new row is the parent's child count; at AboutToRemove the node is still in place.
        std::string what = names[static_cast<int>(c)];
        if (c == Change::AboutToAdd)
            what += std::to_string(id == KeyedTree::npos ? t.roots().size() : t.node(id).children.size());
        else if (id != KeyedTree::npos)
            what += t.node(id).key + (t.contains(id) ? "" : "-gone");
        told.push_back(what);
    };
    const auto first = t.addObserver(record);
    t.Add("", "ROOT", "r");
    t.Add("ROOT", "A", "a");
    t.Add("ROOT", "B", "b");
    t.notifyUpdated(t.id("A"));
    t.Remove("A");
    t.Clear();
    EXPECT_EQ(told, (std::vector<std::string>{"add?0", "add!ROOT", "add?0", "add!A", "add?1", "add!B",
                                              "updateA", "remove?A", "remove!A-gone", "reset?", "reset!"}));

    told.clear();
    {
        KeyedTree::BulkUpdate outer(t);
        t.Add("", "ROOT", "r");
        {
            KeyedTree::BulkUpdate inner(t);
            t.Add("ROOT", "A", "a");
        }
        t.Clear();
        t.Add("", "X", "x");
        t.setCheckedRecursive(t.id("X"), true);
    }
    EXPECT_EQ(told, (std::vector<std::string>{"reset?", "reset!"}));

    // A second view follows as well; the first leaving does not silence it.
    int second = 0;
    t.addObserver([&](Change, KeyedTree::NodeId) { ++second; });
    t.removeObserver(first);
    t.Add("X", "Y", "y");
    EXPECT_EQ(second, 2);
    EXPECT_EQ(told.size(), 2u);
}

// The copy of a tree never edited (the drawing's) and of one with removed
// nodes are made differently; both must give the source's nodes in order,
// with their state, and a tree that goes on working.
TEST(KeyedTree, CopyHoldsTheSourceNodesWhetherOrNotAnyWasRemoved) {
    for (bool removeOne : {false, true}) {
        SCOPED_TRACE(removeOne ? "with a removed node" : "never edited");
        KeyedTree source = provinceTree();
        if (removeOne) source.Remove("P1:STA:1");
        source.node("P1:STA:0").checked = true;
        source.node("P1").expanded = true;
        source.node("P1:OCA:0").tag = "标记";
        KeyedTree copy;
        copy.Add("", "旧", "旧");
        copy.copyFrom(source);
        EXPECT_EQ(dump(copy), dump(source));
        copy.Add("P1:STA", "S4", "S4");
        EXPECT_EQ(copy.node("S4").row, removeOne ? 2u : 3u);
        EXPECT_FALSE(source.Exists("S4"));
    }
}

TEST(KeyedTreeModel, PassesQtsModelTesterThroughAddsRemovesClearAndBulkRefills) {
    const ocable::testsupport::ErrorCapture capture; // what Qt's model tester reports
    CheckTreeView view;
    view.resize(300, 400);
    view.show();
    KeyedTree& t = view.tree();
    QAbstractItemModelTester tester(&view.model(), QAbstractItemModelTester::FailureReportingMode::Warning);
    const auto expectShape = [&](const std::string& expected) {
        view.expandAll();
        QApplication::processEvents();
        EXPECT_EQ(shape(view.model()), expected);
    };

    t.Add("", "ROOT", "r");
    addProvince(t, "ROOT", "P1", 2);
    addProvince(t, "ROOT", "P2", 1);
    expectShape("ROOT(P1(P1:STA(P1:STA:0,P1:STA:1),P1:OCA(P1:OCA:0,P1:OCA:1)),P2(P2:STA(P2:STA:0),P2:OCA(P2:"
                "OCA:0)))");
    t.Remove("P1:STA:0");
    t.Remove("P1");
    t.Add("ROOT", "P1", "again");
    t.setCheckedRecursive(t.id("ROOT"), true);
    expectShape("ROOT(P2(P2:STA(P2:STA:0),P2:OCA(P2:OCA:0)),P1)");
    view.selectKey("P2:OCA:0");
    {
        // The drawing lets window events run in the middle of its refill,
        // while the view still shows nodes that are gone.
        KeyedTree::BulkUpdate bulk(t);
        t.Clear();
        t.Add("", "ROOT", "r");
        view.viewport()->repaint();
        QApplication::processEvents();
        for (int p = 0; p < 5; ++p)
            addProvince(t, "ROOT", "Q" + std::to_string(p), 20);
        t.Remove("Q3");
    }
    view.expandAll();
    EXPECT_EQ(view.model().rowCount(view.model().indexOf(t.id("ROOT"))), 4);
    EXPECT_EQ(view.selectedKey(), "");
    t.Remove("Q0");
    t.Clear();
    expectShape("");
    EXPECT_FALSE(capture.logged("qt.modeltest")) << capture.messages().join('\n').toStdString();
}

TEST(KeyedTreeModel, ACheckEditedInTheViewChangesOnlyThatNodeAndIsReportedOnce) {
    CheckTreeView view;
    KeyedTree& t = view.tree();
    t.copyFrom(provinceTree());
    view.show();
    view.expandAll();
    QSignalSpy checks(&view, &CheckTreeView::nodeCheck);

    // Space ticks the current node through Qt's own delegate and value types.
    view.selectKey("P1");
    QTest::keyClick(&view, Qt::Key_Space);
    // The key and state the report carries are what the host's ticks rely on
    // end to end (ResourceTreeAutomation); here, that Space ticks at all.
    EXPECT_EQ(checks.count(), 1);
    EXPECT_TRUE(t.node("P1").checked);
    EXPECT_FALSE(t.node("P1:STA").checked) << "descendants are the handler's business";
    const QModelIndex p1 = view.model().indexOf(t.id("P1"));
    EXPECT_TRUE(view.model().setData(p1, Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(checks.count(), 1) << "no change, nothing to report";
    EXPECT_FALSE(view.model().setData(p1, "新名", Qt::EditRole));

    // A tree shown without check boxes offers none and takes none.
    view.setCheckBoxes(false);
    EXPECT_FALSE(p1.data(Qt::CheckStateRole).isValid());
    EXPECT_FALSE(view.model().setData(p1, Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_TRUE(t.node("P1").checked);
    EXPECT_EQ(checks.count(), 1);
}
