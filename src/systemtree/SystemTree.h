#pragma once

#include "core/KeyedCollection.h"
#include "platform/ui/KeyedTree.h"

#include <string>
#include <vector>

namespace ocable {

struct ViewContext;
class frmViewResTree;

namespace systemtree {

class SystemRoutes;

// The transmission-system tree of the division rule on show: the list of
// rules, the main window's tree built from the rule store, its copy in the
// tree window, and the check and click handlers of that tree.
class SystemTree {
public:
    SystemTree(ViewContext& view, SystemRoutes& routes);

    // The main window's tree, the master of the tree window's copy.
    ui::KeyedTree& TreeSystem();

    // Reads every rule, fills the tree window's combo box and shows the
    // first rule's tree.
    void loadRules();
    // Builds the tree of one rule (seeding it on its first display) and
    // copies it into the tree window.
    void genNewTree(const std::string& ruleKey);
    void copyTreeToWindow();

    // The rule list, kept in step with the editor's creations, renames and
    // deletions.
    std::string getMethodKeyByName(const std::string& name) const;
    void addOneNewMethod(const std::string& name, const std::string& key);
    void modifyMothedName(const std::string& oldName, const std::string& newName);
    void deleteOneMethod(const std::string& name);
    const KeyedCollection<std::string>& ruleNames() const { return ruleNames_; }
    const std::vector<std::string>& ruleKeys() const { return ruleKeys_; }

    // The user ticked or cleared a node of the tree window's tree: the routes
    // follow first, while the descendants still hold their old states.
    void TreeSystem_NodeCheck(const std::string& key, bool checked);
    // The user clicked a node: select the routes of its systems and show
    // their summary.
    void TreeSystem_NodeClick(const std::string& key);

private:
    frmViewResTree& window();
    void buildTree(const std::string& ruleKey, bool mayCopy);

    ViewContext& view_;
    SystemRoutes& routes_;
    KeyedCollection<std::string> ruleNames_; // rule name by rule key, in database order
    std::vector<std::string> ruleKeys_;
};

} // namespace systemtree
} // namespace ocable
