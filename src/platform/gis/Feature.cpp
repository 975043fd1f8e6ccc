#include "platform/gis/Feature.h"

#include "platform/gis/GisError.h"
#include "platform/gis/Layer.h"

namespace ocable::gis {

Feature::Feature(FeatureType type, const gis::Style& style) : type_(type), null_(false), style_(style) {}

void Feature::setType(FeatureType type) {
    type_ = type;
    null_ = false;
}

std::string Feature::Name() const {
    if (auto layer = layer_.lock())
        if (const std::string* live = layer->valueOf(id_, 0)) return *live;
    return row_.empty() ? std::string() : row_.front();
}

double Feature::CenterX() const {
    if (type_ == FeatureType::Symbol && parts_.Count() > 0 && parts_.Item(1).Count() > 0)
        return parts_.Item(1).Item(1).x;
    return Bounds().CenterX();
}

double Feature::CenterY() const {
    if (type_ == FeatureType::Symbol && parts_.Count() > 0 && parts_.Item(1).Count() > 0)
        return parts_.Item(1).Item(1).y;
    return Bounds().CenterY();
}

gis::Point Feature::Point() const {
    if (parts_.Count() == 0 || parts_.Item(1).Count() == 0) throw GisError("要素没有点");
    return parts_.Item(1).Item(1);
}

void Feature::setPoint(const gis::Point& p) {
    parts_.RemoveAll();
    parts_.Add(Points{p});
}

void Feature::Offset(double dx, double dy) {
    gis::Parts moved;
    for (const auto& part : parts_) {
        Points pts;
        for (const auto& p : part)
            pts.AddXY(p.x + dx, p.y + dy);
        moved.Add(pts);
    }
    parts_ = std::move(moved);
}

gis::Layer* Feature::Layer() const {
    return layer_.lock().get();
}

bool Feature::isInLayer() const {
    auto layer = layer_.lock();
    return layer && layer->containsId(id_);
}

void Feature::Update() {
    auto layer = layer_.lock();
    if (!layer) throw GisError("要素不在任何图层中，不能更新");
    *this = layer->UpdateFeature(*this);
}

void Feature::Update(bool updateTable, const RowValues& rowValues) {
    auto layer = layer_.lock();
    if (!layer) throw GisError("要素不在任何图层中，不能更新");
    *this = updateTable ? layer->UpdateFeature(*this, rowValues) : layer->UpdateFeature(*this);
}

Feature Feature::clone() const {
    if (null_) throw GisError("空要素不能复制");
    Feature copy(type_, style_);
    copy.parts_ = parts_;
    copy.row_ = row_;
    return copy;
}

Feature FeatureFactory::CreateSymbol(const Point& point, const Style& style) {
    Feature f(FeatureType::Symbol, style);
    f.setPoint(point);
    return f;
}

Feature FeatureFactory::CreateLine(const Points& points, const Style& style) {
    return CreateLine(Parts{points}, style);
}

Feature FeatureFactory::CreateLine(const Parts& parts, const Style& style) {
    Feature f(FeatureType::Line, style);
    f.Parts() = parts;
    return f;
}

Feature FeatureFactory::CreateRegion(const Rectangle& r, const Style& style) {
    return CreateRegion(Parts{Points{{r.xmin, r.ymin}, {r.xmax, r.ymin}, {r.xmax, r.ymax}, {r.xmin, r.ymax}}},
                        style);
}

Feature FeatureFactory::CreateRegion(const Parts& rings, const Style& style) {
    Feature f(FeatureType::Region, style);
    f.Parts() = rings;
    return f;
}

} // namespace ocable::gis
