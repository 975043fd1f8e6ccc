#include "platform/gis/Selection.h"

#include "platform/gis/GisError.h"
#include "platform/gis/Layer.h"

#include <algorithm>

namespace ocable::gis {

const std::vector<std::uint32_t>& Selection::ids() const {
    if (order_.size() != members_.size())
        std::erase_if(order_, [this](std::uint32_t id) { return members_.count(id) == 0; });
    return order_;
}

int Selection::Count() const {
    return static_cast<int>(members_.size());
}

Feature Selection::Item(int index) const {
    const auto& list = ids();
    if (index < 1 || index > static_cast<int>(list.size()))
        throw GisError("选择集的序号 " + std::to_string(index) + " 超出范围 1.." +
                       std::to_string(list.size()));
    return layer_.featureById(list[static_cast<std::size_t>(index - 1)]);
}

void Selection::Add(const Feature& f) {
    if (f.isNull() || f.Layer() != &layer_) throw GisError("只能选择图层“" + layer_.Name() + "”中的要素");
    if (!layer_.containsId(f.id()))
        throw GisError("要素“" + f.FeatureKey() + "”已不在图层“" + layer_.Name() + "”中");
    ids(); // drop removed ids first, so a re-added id is not listed twice
    if (members_.insert(f.id()).second) {
        order_.push_back(f.id());
        layer_.report({.selection = true});
    }
}

void Selection::Add(const FeatureSet& features) {
    if (features.Count() == 0) return;
    if (features.Layer() != &layer_) throw GisError("只能选择图层“" + layer_.Name() + "”中的要素");
    ids();
    bool changed = false;
    for (auto id : features.ids())
        if (layer_.containsId(id) && members_.insert(id).second) {
            order_.push_back(id);
            changed = true;
        }
    if (changed) layer_.report({.selection = true});
}

void Selection::Remove(const Feature& f) {
    if (members_.erase(f.id()) != 0) layer_.report({.selection = true});
}

void Selection::ClearSelection() {
    if (members_.empty()) return;
    members_.clear();
    order_.clear();
    layer_.report({.selection = true});
}

void Selection::replace(const std::vector<std::uint32_t>& ids) {
    if (ids == this->ids()) return;
    members_.clear();
    order_.clear();
    for (auto id : ids)
        if (layer_.containsId(id) && members_.insert(id).second) order_.push_back(id);
    layer_.report({.selection = true});
}

void Selection::forget(std::uint32_t id) {
    if (members_.erase(id) != 0) layer_.report({.selection = true});
}

} // namespace ocable::gis
