#pragma once

#include "platform/gis/Feature.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace ocable::gis {

class Layer;

// The features a search found (or all features of a layer), in layer order.
// It names them by id; Item reads a feature from the layer when asked. A
// feature deleted since the search was made is still handed out as it was
// last read through this set, so a caller can delete the features of a
// set and afterwards read their codes again.
class FeatureSet {
public:
    FeatureSet() = default;
    FeatureSet(std::weak_ptr<gis::Layer> layer, std::vector<std::uint32_t> ids);

    int Count() const { return static_cast<int>(ids_.size()); }
    // 1-based. Throws GisError when out of range, or when the feature is
    // gone and was never read through this set.
    Feature Item(int index) const;

    gis::Layer* Layer() const { return layer_.lock().get(); }
    const std::vector<std::uint32_t>& ids() const { return ids_; }

    class Iterator {
    public:
        Iterator(const FeatureSet* set, int index) : set_(set), index_(index) {}
        Feature operator*() const { return set_->Item(index_); }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        bool operator==(const Iterator& o) const { return index_ == o.index_; }

    private:
        const FeatureSet* set_;
        int index_;
    };
    Iterator begin() const { return {this, 1}; }
    Iterator end() const { return {this, Count() + 1}; }

private:
    std::weak_ptr<gis::Layer> layer_;
    std::vector<std::uint32_t> ids_;
    // Features read so far, by position; shared by copies of the set.
    std::shared_ptr<std::unordered_map<int, Feature>> seen_ =
        std::make_shared<std::unordered_map<int, Feature>>();
};

} // namespace ocable::gis
