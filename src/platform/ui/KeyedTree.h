#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace ocable::ui {

class TreeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The data of a check-box tree whose nodes are addressed by unique text keys,
// in the manner of the common-controls TreeView: roots and children keep their
// insertion order, and node ids number the nodes in the order they were added.
// Node handles are indexes that stay valid until Clear(); a removed node's
// handle is never given to another node.
class KeyedTree {
public:
    using NodeId = std::size_t;
    static constexpr NodeId npos = static_cast<NodeId>(-1);

    struct Node {
        std::string key;
        std::string text;
        std::string tag;
        bool checked = false;
        bool expanded = false;
        NodeId parent = npos;
        std::size_t row = 0; // position among its siblings
        std::vector<NodeId> children;
        bool removed = false;
    };

    // Adds a node under parentKey (empty: a root). Throws TreeError when the
    // key is already used or the parent does not exist.
    NodeId Add(std::string_view parentKey, std::string key, std::string text);
    // Removes a node and its whole subtree.
    void Remove(std::string_view key);
    void Clear();
    // Replaces every node with a copy of source's, in source's order (a child
    // under its parent's key), with key, text, tag, check and expanded state.
    // Views follow once, at the end.
    void copyFrom(const KeyedTree& source);

    bool Exists(std::string_view key) const { return find(key) != npos; }
    // npos when absent.
    NodeId find(std::string_view key) const;
    // Throws TreeError naming the key when absent.
    NodeId id(std::string_view key) const;

    const Node& node(NodeId id) const { return nodes_.at(id); }
    Node& node(NodeId id) { return nodes_.at(id); }
    const Node& node(std::string_view key) const { return nodes_[id(key)]; }
    Node& node(std::string_view key) { return nodes_[id(key)]; }

    const std::vector<NodeId>& roots() const { return roots_; }
    // Live nodes in insertion order.
    std::vector<NodeId> allNodes() const;
    std::size_t Count() const { return live_; }

    // Gives the node and all its descendants the same check state.
    void setCheckedRecursive(NodeId id, bool checked);

    bool CheckBoxes = true;

    // Told of every change, so a view can follow: a node added (after it is
    // in place), a subtree about to be removed, a node's text, check or
    // expanded state changed, or everything replaced (Clear, a bulk update).
    // AboutToAdd carries the parent (npos for a root); the new row is the
    // parent's child count at that moment. AboutToReset comes while the old
    // nodes are still in place, Reset once the new ones are.
    enum class Change { AboutToAdd, Added, AboutToRemove, Removed, Updated, AboutToReset, Reset };
    using Observer = std::function<void(Change, NodeId)>;
    using ObserverId = std::size_t;
    // Several views may follow one tree; each removes itself when it goes.
    ObserverId addObserver(Observer observer);
    void removeObserver(ObserverId id);
    // Call after changing a node's fields directly.
    void notifyUpdated(NodeId id) { notify(Change::Updated, id); }

    // Between beginBulk and endBulk no single change is told: beginBulk tells
    // AboutToReset and the outermost endBulk one Reset. Filling a tree of many
    // nodes this way keeps views fast, and a view that paints in the middle
    // of the fill sees an empty tree rather than half of one.
    void beginBulk() {
        if (bulk_++ == 0) notify(Change::AboutToReset, npos, true);
    }
    void endBulk() {
        if (bulk_ > 0 && --bulk_ == 0) notify(Change::Reset, npos, true);
    }
    bool inBulk() const { return bulk_ > 0; }
    // beginBulk for the life of the guard.
    class BulkUpdate {
    public:
        explicit BulkUpdate(KeyedTree& tree) : tree_(tree) { tree_.beginBulk(); }
        ~BulkUpdate() { tree_.endBulk(); }
        BulkUpdate(const BulkUpdate&) = delete;
        BulkUpdate& operator=(const BulkUpdate&) = delete;

    private:
        KeyedTree& tree_;
    };
    std::size_t row(NodeId id) const { return nodes_.at(id).row; }
    // Whether id names a node that is in the tree now (not removed, not
    // cleared away); a view holding an old index asks before reading it.
    bool contains(NodeId id) const { return id < nodes_.size() && !nodes_[id].removed; }

private:
    void notify(Change change, NodeId id, bool force = false) {
        if (bulk_ == 0 || force)
            for (std::size_t i = 0; i < observers_.size(); ++i)
                observers_[i].second(change, id);
    }

    // Lookups by string_view without building a std::string: the drawing and
    // the check handlers look up every leaf of the tree by key.
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
    };

    std::vector<std::pair<ObserverId, Observer>> observers_;
    ObserverId nextObserver_ = 0;
    int bulk_ = 0;
    std::vector<Node> nodes_;
    std::vector<NodeId> roots_;
    std::unordered_map<std::string, NodeId, KeyHash, std::equal_to<>> byKey_;
    std::size_t live_ = 0;
};

} // namespace ocable::ui
