#include "platform/ui/KeyedTree.h"

#include <algorithm>

namespace ocable::ui {

KeyedTree::ObserverId KeyedTree::addObserver(Observer observer) {
    observers_.emplace_back(nextObserver_, std::move(observer));
    return nextObserver_++;
}

void KeyedTree::removeObserver(ObserverId id) {
    std::erase_if(observers_, [id](const auto& o) { return o.first == id; });
}

KeyedTree::NodeId KeyedTree::Add(std::string_view parentKey, std::string key, std::string text) {
    // One look-up claims the key: the drawing adds a quarter of a million nodes.
    const NodeId nid = nodes_.size();
    const auto [slot, inserted] = byKey_.try_emplace(std::move(key), nid);
    if (!inserted) throw TreeError("树节点关键字重复：" + slot->first);
    NodeId parent = npos;
    if (!parentKey.empty()) {
        parent = find(parentKey);
        if (parent == npos || parent == nid) {
            byKey_.erase(slot);
            throw TreeError("找不到树节点：" + std::string(parentKey));
        }
    }
    notify(Change::AboutToAdd, parent);
    Node n;
    n.key = slot->first;
    n.text = std::move(text);
    n.parent = parent;
    nodes_.push_back(std::move(n));
    auto& siblings = parent == npos ? roots_ : nodes_[parent].children;
    nodes_[nid].row = siblings.size();
    siblings.push_back(nid);
    ++live_;
    notify(Change::Added, nid);
    return nid;
}

void KeyedTree::Remove(std::string_view key) {
    const NodeId nid = id(key);
    notify(Change::AboutToRemove, nid);
    auto& siblings = nodes_[nid].parent == npos ? roots_ : nodes_[nodes_[nid].parent].children;
    siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(nodes_[nid].row));
    for (std::size_t r = nodes_[nid].row; r < siblings.size(); ++r)
        nodes_[siblings[r]].row = r;
    std::vector<NodeId> stack{nid};
    while (!stack.empty()) {
        const NodeId cur = stack.back();
        stack.pop_back();
        Node& n = nodes_[cur];
        stack.insert(stack.end(), n.children.begin(), n.children.end());
        byKey_.erase(n.key);
        n.children.clear();
        n.removed = true;
        --live_;
    }
    notify(Change::Removed, nid);
}

void KeyedTree::Clear() {
    notify(Change::AboutToReset, npos);
    nodes_.clear();
    roots_.clear();
    byKey_.clear();
    live_ = 0;
    notify(Change::Reset, npos);
}

KeyedTree::NodeId KeyedTree::find(std::string_view key) const {
    auto it = byKey_.find(key);
    return it == byKey_.end() ? npos : it->second;
}

KeyedTree::NodeId KeyedTree::id(std::string_view key) const {
    const NodeId nid = find(key);
    if (nid == npos) throw TreeError("找不到树节点：" + std::string(key));
    return nid;
}

void KeyedTree::copyFrom(const KeyedTree& source) {
    if (&source == this) return;
    BulkUpdate bulk(*this);
    Clear();
    if (source.live_ == source.nodes_.size()) {
        // Nothing was removed from source, so its node ids are its insertion
        // order already and its arrays are the copy: no look-up per node.
        nodes_ = source.nodes_;
        roots_ = source.roots_;
        byKey_ = source.byKey_;
        live_ = source.live_;
        return;
    }
    for (NodeId id : source.allNodes()) {
        const Node& n = source.node(id);
        const std::string_view parentKey =
            n.parent == npos ? std::string_view() : std::string_view(source.node(n.parent).key);
        Node& copy = node(Add(parentKey, n.key, n.text));
        copy.expanded = n.expanded;
        copy.checked = n.checked;
        copy.tag = n.tag;
    }
}

std::vector<KeyedTree::NodeId> KeyedTree::allNodes() const {
    std::vector<NodeId> out;
    out.reserve(live_);
    for (NodeId i = 0; i < nodes_.size(); ++i)
        if (!nodes_[i].removed) out.push_back(i);
    return out;
}

void KeyedTree::setCheckedRecursive(NodeId nid, bool checked) {
    if (!contains(nid)) throw TreeError("树节点已不存在");
    std::vector<NodeId> stack{nid};
    while (!stack.empty()) {
        const NodeId cur = stack.back();
        stack.pop_back();
        nodes_[cur].checked = checked;
        notify(Change::Updated, cur);
        stack.insert(stack.end(), nodes_[cur].children.begin(), nodes_[cur].children.end());
    }
}

} // namespace ocable::ui
