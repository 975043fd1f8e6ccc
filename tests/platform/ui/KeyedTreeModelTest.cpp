#include "platform/ui/CheckTreeView.h"
#include "support/ErrorCapture.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <string>

using ocable::ui::CheckTreeView;
using ocable::ui::KeyedTree;
using ocable::ui::KeyedTreeModel;

namespace {

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

void addProvince(KeyedTree& t, const std::string& p, int leaves) {
    t.Add("ROOT", p, p);
    for (const char* group : {":STA", ":OCA"}) {
        t.Add(p, p + group, group);
        for (int i = 0; i < leaves; ++i)
            t.Add(p + group, p + group + ":" + std::to_string(i), "x");
    }
}

} // namespace

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
    addProvince(t, "P1", 2);
    addProvince(t, "P2", 1);
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
            addProvince(t, "Q" + std::to_string(p), 20);
        t.Remove("Q3");
    }
    view.expandAll();
    EXPECT_EQ(view.model().rowCount(view.model().indexOf(t.id("ROOT"))), 4);
    EXPECT_EQ(view.selectedKey(), "");
    t.Remove("Q0");
    t.Clear();
    expectShape("");
    for (const QString& m : capture.messages())
        EXPECT_FALSE(m.startsWith("qt.modeltest")) << m.toStdString();
}

TEST(KeyedTreeModel, ACheckEditedInTheViewChangesOnlyThatNodeAndIsReportedOnce) {
    CheckTreeView view;
    KeyedTree& t = view.tree();
    t.Add("", "ROOT", "r");
    addProvince(t, "P1", 1);
    view.show();
    view.expandAll();
    QSignalSpy checks(&view, &CheckTreeView::nodeCheck);

    // Space ticks the current node through Qt's own delegate and value types.
    view.selectKey("P1");
    QTest::keyClick(&view, Qt::Key_Space);
    ASSERT_EQ(checks.count(), 1);
    EXPECT_EQ(checks[0][0].toString(), "P1");
    EXPECT_TRUE(checks[0][1].toBool());
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
