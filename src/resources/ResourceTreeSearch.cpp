#include "resources/ResourceTreeSearch.h"

#include "core/NetworkVocabulary.h"
#include "core/TextUtil.h"
#include "host/SharedNames.h"
#include "platform/gis/SearchExpression.h"

namespace ocable::restree {

using Tree = ui::KeyedTree;

int nodeLevel(const Tree& tree, Tree::NodeId id) {
    if (!tree.contains(id) || tree.node(id).key == vocab::kTreeRootKey) return -1;
    int visited = 0;
    for (Tree::NodeId cur = id; tree.contains(cur); cur = tree.node(cur).parent) {
        ++visited;
        const Tree::NodeId parent = tree.node(cur).parent;
        if (!tree.contains(parent)) return -1;
        if (tree.node(parent).key == vocab::kTreeRootKey) return visited - 1 <= 3 ? visited - 1 : -1;
    }
    return -1;
}

int nodeDepth(const Tree& tree, Tree::NodeId id) {
    if (!tree.contains(id)) return -1;
    Tree::NodeId top = id;
    while (tree.contains(tree.node(top).parent))
        top = tree.node(top).parent;
    const std::string& rootKey = tree.node(top).key;
    int depth = 0;
    for (Tree::NodeId cur = id; tree.node(cur).key != rootKey; cur = tree.node(cur).parent)
        ++depth;
    return depth;
}

void CollectedObjects::addLeaf(const std::string& leafKey) {
    // Fields 2 and 3 of province:kind:code, read in place: a domain has
    // tens of thousands of leaves.
    const std::string_view key = leafKey;
    const std::size_t first = key.find(':');
    const std::size_t second = first == key.npos ? key.npos : key.find(':', first + 1);
    const std::string_view kind =
        first == key.npos ? std::string_view() : key.substr(first + 1, second - first - 1);
    const std::size_t third = second == key.npos ? key.npos : key.find(':', second + 1);
    const std::string code(second == key.npos ? std::string_view()
                                              : key.substr(second + 1, third - second - 1));
    if (kind == vocab::kStationKeyPrefix) {
        stationExpression += " OR " + gis::searchTerm(vocab::kStationCodeColumn, code);
        stationList += code + ",";
    } else {
        cableExpression += " OR " + gis::searchTerm(vocab::kCableCodeColumn, code);
        cableList += code + ",";
    }
}

std::string CollectedObjects::searched(const std::string& expression) {
    return expression.size() > 3 ? expression.substr(3) : std::string();
}

std::vector<std::string> CollectedObjects::codes(const std::string& list) {
    if (list.empty()) return {};
    return text::split(list.substr(0, list.size() - 1), ",");
}

namespace {
void collectBelow(const Tree& tree, Tree::NodeId id, int levelsLeft, CollectedObjects& out) {
    if (levelsLeft == 0) {
        out.addLeaf(tree.node(id).key);
        return;
    }
    for (Tree::NodeId child : tree.node(id).children)
        if (tree.contains(child)) collectBelow(tree, child, levelsLeft - 1, out);
}
} // namespace

CollectedObjects collectObjects(const Tree& tree, Tree::NodeId id, int level) {
    CollectedObjects out;
    if (level >= 0 && level <= 3 && tree.contains(id)) collectBelow(tree, id, 3 - level, out);
    return out;
}

} // namespace ocable::restree
