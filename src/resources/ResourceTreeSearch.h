#pragma once

#include "platform/ui/KeyedTree.h"

#include <string>
#include <vector>

// How the resource tree turns a node into the objects below it: the node's
// level, the leaves under it, and the attribute expressions and code lists
// the map is searched and the feature records are updated with.
namespace ocable::restree {

// Level index below the root: 0 domain, 1 province, 2 object group ("局站"
// or "光缆段"), 3 single object. -1 for the root, for a node deeper than an
// object and for a node the tree does not hold: none of them collects.
int nodeLevel(const ui::KeyedTree& tree, ui::KeyedTree::NodeId id);

// Depth counted from the top: 0 the root, 1 a domain, 2 a province.
int nodeDepth(const ui::KeyedTree& tree, ui::KeyedTree::NodeId id);

// The objects collected below a node. Each expression grows by
// ' OR Column = "code"' per leaf and each list by "code,", the way the
// handlers have always built them; searched() and codes() cut them for use.
struct CollectedObjects {
    std::string stationExpression;
    std::string cableExpression;
    std::string stationList;
    std::string cableList;

    void addLeaf(const std::string& leafKey);
    // The expression without its leading " OR"; empty when nothing was added.
    static std::string searched(const std::string& expression);
    // The list without its last "," split at ",".
    static std::vector<std::string> codes(const std::string& list);
};

// Every leaf below the node at that level (the node itself at level 3),
// walked child by child in tree order.
CollectedObjects collectObjects(const ui::KeyedTree& tree, ui::KeyedTree::NodeId id, int level);

} // namespace ocable::restree
