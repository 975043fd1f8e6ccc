#include "platform/ui/KeyedTree.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using ocable::ui::KeyedTree;
using ocable::ui::TreeError;
using Change = KeyedTree::Change;

namespace {

//   ROOT ── 二干 ── P1 ─┬─ P1:STA ── S1, S2, S3
//       └── 本地        └─ P1:OCA ── C1
KeyedTree provinceTree() {
    KeyedTree t;
    for (auto [parent, key] : {std::pair{"", "ROOT"},
                               {"ROOT", "二干"},
                               {"二干", "P1"},
                               {"P1", "P1:STA"},
                               {"P1", "P1:OCA"},
                               {"P1:STA", "S1"},
                               {"P1:STA", "S2"},
                               {"P1:STA", "S3"},
                               {"P1:OCA", "C1"},
                               {"ROOT", "本地"}})
        t.Add(parent, key, key);
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

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const TreeError& e) {
        return e.what();
    }
    return "(none)";
}

} // namespace

TEST(KeyedTree, RefusesDuplicateKeysAndMissingParentsWithoutTellingObservers) {
    KeyedTree t = provinceTree();
    int told = 0;
    t.addObserver([&](Change, KeyedTree::NodeId) { ++told; });
    EXPECT_EQ(errorOf([&] { t.Add("ROOT", "S2", "again"); }), "树节点关键字重复：S2");
    EXPECT_EQ(errorOf([&] { t.Add("", "ROOT", "again"); }), "树节点关键字重复：ROOT");
    EXPECT_EQ(errorOf([&] { t.Add("P9", "P9:STA", "x"); }), "找不到树节点：P9");
    EXPECT_EQ(errorOf([&] { t.Remove("P9:STA"); }), "找不到树节点：P9:STA");
    EXPECT_EQ(errorOf([&] { t.Add("自身", "自身", "x"); }), "找不到树节点：自身");
    EXPECT_FALSE(t.Exists("P9:STA")); // a refused node leaves its key free
    EXPECT_FALSE(t.Exists("自身"));
    // A view told AboutToAdd would wait for a row that never comes.
    EXPECT_EQ(told, 0);
    EXPECT_EQ(t.Count(), 10u);
}

TEST(KeyedTree, RemoveTakesTheSubtreeClosesUpRowsAndFreesTheKeys) {
    KeyedTree t = provinceTree();
    t.Remove("S1");
    EXPECT_EQ(keys(t, t.node("P1:STA").children), "S2,S3");
    EXPECT_EQ(t.row(t.id("S3")), 1u);
    t.Remove("P1");
    EXPECT_EQ(t.Count(), 3u);
    for (const char* gone : {"P1", "P1:STA", "S2", "C1"})
        EXPECT_FALSE(t.Exists(gone)) << gone;

    // Keys come free; new nodes come last in insertion order, and rows stay dense.
    t.Add("二干", "P1", "省一");
    t.Add("P1", "S2", "S2");
    EXPECT_EQ(keys(t, t.allNodes()), "ROOT,二干,本地,P1,S2");

    t = provinceTree();
    t.setCheckedRecursive(t.id("P1:STA"), true);
    EXPECT_TRUE(t.node("S3").checked);
    EXPECT_FALSE(t.node("P1").checked);
    EXPECT_FALSE(t.node("C1").checked);
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
        if (removeOne) source.Remove("S2");
        source.node("S1").checked = true;
        source.node("P1").expanded = true;
        source.node("C1").tag = "标记";
        KeyedTree copy;
        copy.Add("", "旧", "旧");
        copy.copyFrom(source);
        EXPECT_EQ(dump(copy), dump(source));
        EXPECT_FALSE(copy.Exists("旧"));
        copy.Add("P1:STA", "S4", "S4");
        EXPECT_EQ(copy.node("S4").row, removeOne ? 2u : 3u);
        EXPECT_FALSE(source.Exists("S4"));
    }
}
