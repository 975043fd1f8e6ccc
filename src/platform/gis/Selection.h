#pragma once

#include "platform/gis/Feature.h"
#include "platform/gis/FeatureSet.h"

#include <cstdint>
#include <unordered_set>
#include <vector>

namespace ocable::gis {

class Layer;

// The selected features of one layer, in the order they were selected.
// Every change is reported through the map's selectionChanged signal (once
// at the end of a batch when the layer is in one). A feature deleted from
// the layer leaves its selection.
class Selection {
public:
    explicit Selection(gis::Layer& layer) : layer_(layer) {}

    int Count() const;
    Feature Item(int index) const; // 1-based
    bool contains(const Feature& f) const { return members_.count(f.id()) != 0; }
    bool containsId(std::uint32_t id) const { return members_.count(id) != 0; }

    // Adding a feature of another layer, or one no longer in this layer,
    // throws GisError; a feature already selected stays where it is.
    void Add(const Feature& f);
    void Add(const FeatureSet& features);
    void Remove(const Feature& f);
    void ClearSelection();
    // Selection of exactly these ids (used by the map's select tools).
    void replace(const std::vector<std::uint32_t>& ids);

    // Selected ids in selection order.
    const std::vector<std::uint32_t>& ids() const;

private:
    friend class Layer;
    void forget(std::uint32_t id); // the feature was deleted

    gis::Layer& layer_;
    mutable std::vector<std::uint32_t> order_; // may hold forgotten ids until read
    std::unordered_set<std::uint32_t> members_;
};

} // namespace ocable::gis
