#pragma once

#include "platform/gis/Feature.h"
#include "platform/gis/RowValues.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ocable::gis {

class Layer;

// A named view of one layer's data rows. It holds no data of its own: the
// rows live in the layer, so a dataset added after the features were drawn
// sees them all, and removing datasets loses nothing.
class Dataset {
public:
    Dataset(std::string name, std::weak_ptr<gis::Layer> layer);

    const std::string& Name() const { return name_; }
    // Throws GisError when the layer has been removed from its map.
    gis::Layer& Layer() const;
    std::vector<std::string> Fields() const;

    // The text in a 1-based column or a named column of the feature's row:
    // the stored row while the feature is in this layer, otherwise the row
    // the feature carries (a feature read before it was deleted still
    // answers). Throws GisError for an unknown column or a feature without
    // a row.
    std::string Value(const Feature& feature, int column) const;
    std::string Value(const Feature& feature, std::string_view column) const;
    std::string Value(const Feature& feature, const char* column) const {
        return Value(feature, std::string_view(column));
    }
    // A writable copy of the feature's row (see RowValues).
    gis::RowValues RowValues(const Feature& feature) const;
    // Rows are live; kept for callers that refresh after editing.
    void Refresh() {}

private:
    std::vector<std::string> rowOf(const Feature& feature) const;

    std::string name_;
    std::weak_ptr<gis::Layer> layer_;
};

// The datasets of a map, found by name in any letter case.
class Datasets {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    Dataset& Item(int position);
    Dataset& Item(std::string_view name);
    Dataset& Item(const char* name) { return Item(std::string_view(name)); }
    Dataset& Item(const std::string& name) { return Item(std::string_view(name)); }
    // A dataset bound to layer; throws GisError when the name is taken.
    Dataset& Add(Layer& layer, const std::string& name);
    void Remove(std::string_view name);
    void RemoveAll() { items_.clear(); }

private:
    std::vector<std::unique_ptr<Dataset>> items_;
};

} // namespace ocable::gis
