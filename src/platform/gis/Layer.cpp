#include "platform/gis/Layer.h"

#include "platform/gis/GeometryOps.h"
#include "platform/gis/GisError.h"
#include "platform/gis/Map.h"
#include "platform/gis/SearchExpression.h"
#include "platform/gis/TextUtil.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

namespace ocable::gis {

namespace {

// Feature keys are the decimal ids: short, unique in the map, and they sort
// in the order the features were added.
void checkGeometry(FeatureType type, const Parts& parts) {
    switch (type) {
    case FeatureType::Symbol:
        if (parts.Count() < 1 || parts.Item(1).Count() < 1) throw GisError("符号要素需要一个点");
        return;
    case FeatureType::Line:
        if (parts.Count() < 1) throw GisError("线要素至少需要两个点");
        for (const auto& part : parts)
            if (part.Count() < 2) throw GisError("线要素的每一部分至少需要两个点");
        return;
    case FeatureType::Region:
        if (parts.Count() < 1) throw GisError("区域要素至少需要一个环");
        for (const auto& ring : parts)
            if (ring.Count() < 3) throw GisError("区域要素的每个环至少需要三个点");
        return;
    }
}

// A symbol keeps only its point, whatever parts it was given.
Parts normalised(FeatureType type, const Parts& parts) {
    if (type != FeatureType::Symbol || (parts.Count() == 1 && parts.Item(1).Count() == 1)) return parts;
    return Parts{Points{parts.Item(1).Item(1)}};
}

} // namespace

std::string keyOfId(std::uint32_t id) {
    return std::to_string(id);
}

std::uint32_t idOfKey(std::string_view key) {
    std::uint32_t id = 0;
    auto t = trimmed(key);
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), id);
    return ec == std::errc() && end == t.data() + t.size() ? id : 0;
}

Layer::Layer(Map* map, std::string name, std::vector<std::string> columns, LayerKind kind)
    : map_(map), name_(std::move(name)), columns_(std::move(columns)), kind_(kind), store_(columns_.size()),
      selection_(*this) {}

void Layer::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    if (map_) map_->layerSettingsChanged();
}

void Layer::setAutoLabel(bool on) {
    if (autoLabel_ == on) return;
    autoLabel_ = on;
    if (map_) map_->layerSettingsChanged();
}

void Layer::setLabelStyle(const gis::LabelStyle& style) {
    if (labelStyle_ == style) return;
    labelStyle_ = style;
    if (map_) map_->layerSettingsChanged();
}

int Layer::columnIndex(std::string_view name) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (equalsNoCase(columns_[i], trimmed(name))) return static_cast<int>(i + 1);
    return 0;
}

Feature Layer::featureAtSlot(FeatureStore::Slot slot) const {
    Feature f;
    f.null_ = false;
    f.type_ = store_.type(slot);
    f.style_ = store_.style(slot);
    f.parts_ = store_.parts(slot);
    f.id_ = store_.id(slot);
    f.key_ = keyOfId(f.id_);
    f.layer_ = std::const_pointer_cast<Layer>(shared_from_this());
    f.row_ = store_.row(slot);
    return f;
}

Feature Layer::featureById(std::uint32_t id) const {
    auto slot = store_.find(id);
    return slot == FeatureStore::kNone ? Feature() : featureAtSlot(slot);
}

const std::string* Layer::valueOf(std::uint32_t id, std::size_t column) const {
    auto slot = store_.find(id);
    if (slot == FeatureStore::kNone || column >= store_.columnCount()) return nullptr;
    return &store_.value(slot, column);
}

FeatureSet Layer::Search(std::string_view expression) const {
    const auto terms = parseSearchExpression(expression);
    std::vector<FeatureStore::Slot> hits;
    for (const auto& term : terms) {
        const int column = columnIndex(term.column);
        if (column == 0) throw GisError("图层“" + name_ + "”没有列“" + term.column + "”");
        store_.lookup(static_cast<std::size_t>(column - 1), term.value,
                      [&hits](FeatureStore::Slot s) { hits.push_back(s); });
    }
    // Results come in layer order, each feature once however many terms hit it.
    std::sort(hits.begin(), hits.end());
    hits.erase(std::unique(hits.begin(), hits.end()), hits.end());
    std::vector<std::uint32_t> ids;
    ids.reserve(hits.size());
    for (auto s : hits)
        ids.push_back(store_.id(s));
    return FeatureSet(std::const_pointer_cast<Layer>(shared_from_this()), std::move(ids));
}

FeatureSet Layer::searchByScan(std::string_view expression) const {
    const auto terms = parseSearchExpression(expression);
    std::vector<std::size_t> columns;
    for (const auto& term : terms) {
        const int column = columnIndex(term.column);
        if (column == 0) throw GisError("图层“" + name_ + "”没有列“" + term.column + "”");
        columns.push_back(static_cast<std::size_t>(column - 1));
    }
    std::vector<std::uint32_t> ids;
    for (FeatureStore::Slot s = 0; s < store_.slotCount(); ++s) {
        if (!store_.alive(s)) continue;
        for (std::size_t t = 0; t < terms.size(); ++t)
            if (store_.value(s, columns[t]) == terms[t].value) {
                ids.push_back(store_.id(s));
                break;
            }
    }
    return FeatureSet(std::const_pointer_cast<Layer>(shared_from_this()), std::move(ids));
}

FeatureSet Layer::SearchWithinDistance(const Point& point, double distance, DistanceUnit unit,
                                       SearchType type) const {
    Metric metric = Metric::degrees();
    double radius = distance;
    switch (unit) {
    case DistanceUnit::Pixel:
        radius = distance * (map_ ? map_->viewport().scale() : 1.0);
        break;
    case DistanceUnit::Degree:
        break;
    case DistanceUnit::Kilometre:
        metric = Metric::kilometresAt(point.y);
        break;
    case DistanceUnit::Metre:
        metric = Metric::kilometresAt(point.y);
        radius = distance / 1000;
        break;
    case DistanceUnit::Mile:
        metric = Metric::kilometresAt(point.y);
        radius = distance * 1.609344;
        break;
    }
    const Rectangle around(point.x - radius / metric.kx, point.y - radius / metric.ky,
                           point.x + radius / metric.kx, point.y + radius / metric.ky);
    std::vector<std::uint32_t> ids;
    store_.forEachIn(around, [&](FeatureStore::Slot s) {
        double d = 0;
        switch (type) {
        case SearchType::CentroidWithin: {
            const Rectangle b = store_.bounds(s);
            d = metric.length(b.CenterX() - point.x, b.CenterY() - point.y);
            break;
        }
        case SearchType::PartiallyWithin:
            d = distanceToFeature(point, store_, s, metric);
            break;
        case SearchType::EntirelyWithin:
            d = farthestPointDistance(point, store_, s, metric);
            break;
        }
        if (d <= radius) ids.push_back(store_.id(s));
    });
    return FeatureSet(std::const_pointer_cast<Layer>(shared_from_this()), std::move(ids));
}

FeatureSet Layer::SearchWithinRectangle(const Rectangle& rect, SearchType type) const {
    std::vector<std::uint32_t> ids;
    store_.forEachIn(rect, [&](FeatureStore::Slot s) {
        bool hit = false;
        switch (type) {
        case SearchType::CentroidWithin: {
            const Rectangle b = store_.bounds(s);
            hit = rect.contains(Point(b.CenterX(), b.CenterY()));
            break;
        }
        case SearchType::PartiallyWithin:
            hit = featureTouchesRect(store_, s, rect);
            break;
        case SearchType::EntirelyWithin:
            hit = rect.contains(store_.bounds(s));
            break;
        }
        if (hit) ids.push_back(store_.id(s));
    });
    return FeatureSet(std::const_pointer_cast<Layer>(shared_from_this()), std::move(ids));
}

FeatureSet Layer::AllFeatures() const {
    std::vector<std::uint32_t> ids;
    ids.reserve(store_.size());
    for (FeatureStore::Slot s = 0; s < store_.slotCount(); ++s)
        if (store_.alive(s)) ids.push_back(store_.id(s));
    return FeatureSet(std::const_pointer_cast<Layer>(shared_from_this()), std::move(ids));
}

void Layer::BeginAccess(AccessMode) {
    ++batchDepth_;
}

void Layer::EndAccess() {
    if (batchDepth_ == 0) return;
    if (--batchDepth_ > 0) return;
    flush();
    maybeCompact();
}

void Layer::report(const Pending& change) {
    pending_.added += change.added;
    pending_.deleted += change.deleted;
    pending_.updated += change.updated;
    pending_.selection = pending_.selection || change.selection;
    pending_.redraw = pending_.redraw || change.redraw;
    if (batchDepth_ == 0) flush();
}

void Layer::reportUpdate(std::uint32_t id) {
    // Past this many the ids are not worth keeping: the whole layer is drawn again anyway.
    constexpr int kNamedUpdates = 64;
    if (pending_.updated < kNamedUpdates)
        pendingUpdatedIds_.push_back(id);
    else
        pendingUpdatedIds_.clear();
    report({.added = 0, .deleted = 0, .updated = 1});
}

void Layer::flush() {
    Pending p = pending_;
    pending_ = {};
    const std::vector<std::uint32_t> updatedIds = std::exchange(pendingUpdatedIds_, {});
    if (map_ && (p.added || p.deleted || p.updated || p.selection || p.redraw))
        map_->layerReport(*this, p.added, p.deleted, p.updated, p.selection, p.redraw, updatedIds);
}

void Layer::maybeCompact() {
    if (batchDepth_ == 0) store_.compactIfWorthwhile();
}

void Layer::writeRow(FeatureStore::Slot slot, const std::vector<std::string>& values) {
    for (std::size_t c = 0; c < store_.columnCount(); ++c)
        store_.setValue(slot, c, c < values.size() ? values[c] : std::string());
}

Feature Layer::AddFeature(const Feature& f) {
    if (f.isNull()) throw GisError("不能向图层“" + name_ + "”添加空要素");
    return AddFeature(f, gis::RowValues(columns_, f.carriedRow()));
}

Feature Layer::AddFeature(const Feature& f, const gis::RowValues& rowValues) {
    if (f.isNull()) throw GisError("不能向图层“" + name_ + "”添加空要素");
    if (!map_) throw GisError("图层“" + name_ + "”已从地图中移除");
    checkGeometry(f.Type(), f.Parts());
    auto values = rowValues.values();
    const auto slot = store_.add(map_->nextFeatureId(), f.Type(), f.Style(), normalised(f.Type(), f.Parts()),
                                 std::move(values));
    report({.added = 1});
    return featureAtSlot(slot);
}

std::uint32_t Layer::checkedSlot(const Feature& f, const char* action) const {
    if (f.isNull()) throw GisError(std::string("不能") + action + "空要素");
    if (f.layer_.lock().get() != this)
        throw GisError("要素" + (f.key_.empty() ? std::string() : "“" + f.key_ + "”") + "不属于图层“" +
                       name_ + "”，不能" + action);
    const auto slot = store_.find(f.id_);
    if (slot == FeatureStore::kNone)
        throw GisError("要素“" + f.key_ + "”已不在图层“" + name_ + "”中，不能" + action);
    return slot;
}

void Layer::DeleteFeature(const Feature& f) {
    const auto slot = checkedSlot(f, "删除");
    selection_.forget(f.id_);
    store_.remove(slot);
    report({.added = 0, .deleted = 1});
    maybeCompact();
}

void Layer::DeleteFeature(std::string_view key) {
    DeleteFeature(GetFeatureByKey(key));
}

Feature Layer::UpdateFeature(const Feature& f) {
    const auto slot = checkedSlot(f, "更新");
    checkGeometry(f.Type(), f.Parts());
    store_.setGeometry(slot, f.Type(), normalised(f.Type(), f.Parts()));
    store_.setStyle(slot, f.Style());
    reportUpdate(f.id_);
    return featureAtSlot(slot);
}

Feature Layer::UpdateFeature(const Feature& f, const gis::RowValues& rowValues) {
    const auto slot = checkedSlot(f, "更新");
    checkGeometry(f.Type(), f.Parts());
    store_.setGeometry(slot, f.Type(), normalised(f.Type(), f.Parts()));
    store_.setStyle(slot, f.Style());
    writeRow(slot, rowValues.values());
    reportUpdate(f.id_);
    return featureAtSlot(slot);
}

Feature Layer::GetFeatureByKey(std::string_view key) const {
    const auto slot = store_.find(idOfKey(key));
    if (slot == FeatureStore::kNone)
        throw GisError("图层“" + name_ + "”中没有键为“" + std::string(key) + "”的要素");
    return featureAtSlot(slot);
}

void Layer::Refresh() {
    report({.added = 0, .deleted = 0, .updated = 0, .selection = false, .redraw = true});
}

} // namespace ocable::gis
