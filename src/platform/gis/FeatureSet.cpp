#include "platform/gis/FeatureSet.h"

#include "platform/gis/GisError.h"
#include "platform/gis/Layer.h"

namespace ocable::gis {

FeatureSet::FeatureSet(std::weak_ptr<gis::Layer> layer, std::vector<std::uint32_t> ids)
    : layer_(std::move(layer)), ids_(std::move(ids)) {}

Feature FeatureSet::Item(int index) const {
    if (index < 1 || index > Count())
        throw GisError("要素集合的序号 " + std::to_string(index) + " 超出范围 1.." + std::to_string(Count()));
    if (auto layer = layer_.lock()) {
        Feature f = layer->featureById(ids_[static_cast<std::size_t>(index - 1)]);
        if (!f.isNull()) {
            (*seen_)[index] = f;
            return f;
        }
    }
    auto it = seen_->find(index);
    if (it == seen_->end())
        throw GisError("要素“" + keyOfId(ids_[static_cast<std::size_t>(index - 1)]) + "”已被删除");
    return it->second;
}

} // namespace ocable::gis
