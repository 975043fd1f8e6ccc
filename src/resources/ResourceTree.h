#pragma once

#include <QElapsedTimer>

#include <functional>
#include <string>
#include <vector>

class QObject;

namespace ocable {

struct ViewContext;
namespace ui {
class KeyedTree;
}

// The resource tree's three handlers: ticking and unticking a node shows
// and hides the stations and cable segments below it (a hidden station
// takes its alarm markers with it), a click selects and frames them, and a
// double click on a province runs the city access check.
//
// Nodes come by key from either tree: the main window's hidden TreeRes or
// the tree window's copy, which forwards its events by name. Both have the
// same shape, so the objects below a key are the same in each.
class ResourceTree {
public:
    struct Hooks {
        // Lets pending window events run between the deletions of a long
        // hide; QCoreApplication::processEvents when empty.
        std::function<void()> letEventsRun;
        // The tree window's copy of the tree, or null while there is none.
        std::function<ui::KeyedTree*()> windowTree;
    };

    ResourceTree(ViewContext& view, Hooks hooks);

    // The hidden TreeRes's own events, and the tick of tmrNodeClick.
    void connectSignals(QObject* receiver);

    void TreeRes_NodeCheck(const std::string& nodeKey, bool checked);
    void TreeRes_NodeClick(const std::string& nodeKey);
    void TreeRes_DblClick();

    const std::string& lastClickedNode() const { return lastClickedNode_; }

private:
    void tmrNodeClick_Timer();
    void letEventsRunNowAndThen();
    // The tree that holds the key (the main window's first), or null.
    ui::KeyedTree* treeHolding(const std::string& key) const;
    void hideStations(const std::string& expression, const std::vector<std::string>& codes);
    void showStations(const std::vector<std::string>& codes);
    void hideCables(const std::string& expression, const std::vector<std::string>& codes);
    void showCables(const std::vector<std::string>& codes);
    void mirrorCheck(const std::string& nodeKey, bool checked);
    void selectBelow(ui::KeyedTree& tree, const std::string& nodeKey, int level);

    ViewContext& view_;
    Hooks hooks_;
    std::string lastClickedNode_;
    std::string pendingRootNode_;
    QElapsedTimer sinceEvents_;
    static constexpr qint64 kEventsIntervalMs = 20;
};

} // namespace ocable
