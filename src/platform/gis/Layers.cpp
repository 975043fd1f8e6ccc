#include "platform/gis/Layers.h"

#include "platform/gis/GisError.h"
#include "platform/gis/Map.h"
#include "platform/gis/TextUtil.h"

#include <algorithm>

namespace ocable::gis {

Layers::~Layers() {
    for (auto& layer : layers_)
        layer->detachFromMap();
}

std::size_t Layers::indexOf(int position) const {
    if (position < 1 || position > Count())
        throw GisError("图层序号 " + std::to_string(position) + " 超出范围 1.." + std::to_string(Count()));
    return static_cast<std::size_t>(position - 1);
}

Layer& Layers::Item(int position) const {
    return *layers_[indexOf(position)];
}

Layer* Layers::find(std::string_view name) const {
    for (const auto& layer : layers_)
        if (layer->Name() == name) return layer.get();
    for (const auto& layer : layers_)
        if (equalsNoCase(layer->Name(), name)) return layer.get();
    return nullptr;
}

Layer& Layers::Item(std::string_view name) const {
    if (Layer* layer = find(name)) return *layer;
    throw GisError("地图中没有名为“" + std::string(name) + "”的图层");
}

int Layers::positionOf(const Layer& layer) const {
    for (std::size_t i = 0; i < layers_.size(); ++i)
        if (layers_[i].get() == &layer) return static_cast<int>(i + 1);
    return 0;
}

std::shared_ptr<Layer> Layers::shared(int position) const {
    return layers_[indexOf(position)];
}

Layer& Layers::CreateLayer(const std::string& name, int position, std::vector<std::string> columns,
                           LayerKind kind) {
    if (trimmed(name).empty()) throw GisError("图层名称不能为空");
    if (find(name)) throw GisError("地图中已有名为“" + name + "”的图层");
    if (columns.empty()) columns = {"Label", "Code"};
    for (std::size_t i = 0; i < columns.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (equalsNoCase(columns[i], columns[j]))
                throw GisError("图层“" + name + "”的列“" + columns[i] + "”重复");
    position = std::clamp(position, 1, Count() + 1);
    auto layer = std::make_shared<Layer>(map_, name, std::move(columns), kind);
    layers_.insert(layers_.begin() + (position - 1), layer);
    if (map_) map_->layerSettingsChanged();
    return *layer;
}

void Layers::Remove(int position) {
    const auto index = indexOf(position);
    layers_[index]->detachFromMap();
    layers_.erase(layers_.begin() + static_cast<std::ptrdiff_t>(index));
    if (map_) map_->layerSettingsChanged();
}

void Layers::Remove(std::string_view name) {
    Remove(positionOf(Item(name)));
}

void Layers::RemoveAll() {
    if (layers_.empty()) return;
    for (auto& layer : layers_)
        layer->detachFromMap();
    layers_.clear();
    if (map_) map_->layerSettingsChanged();
}

void Layers::Move(int from, int to) {
    const auto a = indexOf(from);
    const auto b = indexOf(to);
    if (a == b) return;
    auto layer = layers_[a];
    layers_.erase(layers_.begin() + static_cast<std::ptrdiff_t>(a));
    layers_.insert(layers_.begin() + static_cast<std::ptrdiff_t>(b), layer);
    if (map_) map_->layerSettingsChanged();
}

} // namespace ocable::gis
