#include "platform/gis/Dataset.h"

#include "platform/gis/GisError.h"
#include "platform/gis/Layer.h"
#include "platform/gis/TextUtil.h"

namespace ocable::gis {

Dataset::Dataset(std::string name, std::weak_ptr<gis::Layer> layer)
    : name_(std::move(name)), layer_(std::move(layer)) {}

gis::Layer& Dataset::Layer() const {
    auto layer = layer_.lock();
    if (!layer || !layer->map()) throw GisError("数据集“" + name_ + "”的图层已被移除");
    return *layer;
}

std::vector<std::string> Dataset::Fields() const {
    return Layer().columns();
}

std::vector<std::string> Dataset::rowOf(const Feature& feature) const {
    if (feature.isNull()) throw GisError("数据集“" + name_ + "”不能读取空要素的数据");
    const gis::Layer& layer = Layer();
    if (feature.Layer() == &layer) {
        const auto slot = layer.store().find(feature.id());
        if (slot != FeatureStore::kNone) return layer.store().row(slot);
    }
    if (feature.carriedRow().empty())
        throw GisError("要素“" + feature.FeatureKey() + "”在数据集“" + name_ + "”中没有数据");
    auto row = feature.carriedRow();
    row.resize(layer.columns().size());
    return row;
}

std::string Dataset::Value(const Feature& feature, int column) const {
    const gis::Layer& layer = Layer();
    if (column < 1 || column > static_cast<int>(layer.columns().size()))
        throw GisError("数据集“" + name_ + "”没有第 " + std::to_string(column) + " 列");
    if (feature.Layer() == &layer)
        if (const std::string* live = layer.valueOf(feature.id(), static_cast<std::size_t>(column - 1)))
            return *live;
    return rowOf(feature)[static_cast<std::size_t>(column - 1)];
}

std::string Dataset::Value(const Feature& feature, std::string_view column) const {
    const int index = Layer().columnIndex(column);
    if (index == 0) throw GisError("数据集“" + name_ + "”没有列“" + std::string(column) + "”");
    return Value(feature, index);
}

gis::RowValues Dataset::RowValues(const Feature& feature) const {
    return gis::RowValues(Layer().columns(), rowOf(feature));
}

Dataset& Datasets::Item(int position) {
    if (position < 1 || position > Count())
        throw GisError("数据集序号 " + std::to_string(position) + " 超出范围 1.." + std::to_string(Count()));
    return *items_[static_cast<std::size_t>(position - 1)];
}

Dataset& Datasets::Item(std::string_view name) {
    for (auto& d : items_)
        if (equalsNoCase(d->Name(), name)) return *d;
    throw GisError("地图中没有名为“" + std::string(name) + "”的数据集");
}

Dataset& Datasets::Add(Layer& layer, const std::string& name) {
    for (auto& d : items_)
        if (equalsNoCase(d->Name(), name)) throw GisError("地图中已有名为“" + name + "”的数据集");
    items_.push_back(std::make_unique<Dataset>(name, layer.weak_from_this()));
    return *items_.back();
}

void Datasets::Remove(std::string_view name) {
    Item(name);
    std::erase_if(items_, [&](const auto& d) { return equalsNoCase(d->Name(), name); });
}

} // namespace ocable::gis
