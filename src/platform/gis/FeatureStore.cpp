#include "platform/gis/FeatureStore.h"

#include <functional>

namespace ocable::gis {

namespace {

std::size_t hashOf(const Style& s) {
    std::size_t h = std::hash<std::string>{}(s.SymbolBitmapName);
    auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
    for (std::size_t v :
         {std::size_t(s.SymbolBitmapSize), std::size_t(s.SymbolBitmapTransparent), std::size_t(s.SymbolColor),
          std::size_t(s.LineColor), std::size_t(s.LinePattern), std::size_t(s.LineWidth),
          std::size_t(s.RegionPattern), std::size_t(s.RegionColor), std::size_t(s.RegionBorderColor),
          std::size_t(s.RegionBorderWidth), std::size_t(s.RegionBorderPattern)})
        mix(v);
    return h;
}

template <class T> std::size_t bytesOf(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

} // namespace

FeatureStore::FeatureStore(std::size_t columnCount) : columns_(columnCount), indexes_(columnCount) {}

std::uint32_t FeatureStore::intern(const Style& style) {
    if (lastStyle_ != kNone && styles_[lastStyle_] == style) return lastStyle_;
    const std::size_t h = hashOf(style);
    auto [first, last] = styleLookup_.equal_range(h);
    for (auto it = first; it != last; ++it)
        if (styles_[it->second] == style) return lastStyle_ = it->second;
    styles_.push_back(style);
    auto index = static_cast<std::uint32_t>(styles_.size() - 1);
    styleLookup_.emplace(h, index);
    return lastStyle_ = index;
}

void FeatureStore::writeGeometry(Slot s, const Parts& parts) {
    const std::size_t total = parts.pointCount();
    const bool single = parts.Count() == 1;
    // A move keeps the shape of a feature: overwrite its points in place.
    if (single && partsRef_[s] == kNone && coordCount_[s] == total) {
        std::copy(parts.Item(1).begin(), parts.Item(1).end(), pool_.begin() + coordStart_[s]);
        return;
    }
    garbagePoints_ += coordCount_[s];
    coordStart_[s] = static_cast<std::uint32_t>(pool_.size());
    coordCount_[s] = static_cast<std::uint32_t>(total);
    for (const auto& part : parts)
        pool_.insert(pool_.end(), part.begin(), part.end());
    if (single) {
        partsRef_[s] = kNone;
        return;
    }
    partsRef_[s] = static_cast<std::uint32_t>(partTable_.size());
    partTable_.push_back(static_cast<std::uint32_t>(parts.Count()));
    std::uint32_t end = 0;
    for (const auto& part : parts) {
        end += static_cast<std::uint32_t>(part.Count());
        partTable_.push_back(end);
    }
}

FeatureStore::Slot FeatureStore::add(std::uint32_t id, FeatureType type, const Style& style,
                                     const Parts& parts, std::vector<std::string> row) {
    const auto s = static_cast<Slot>(ids_.size());
    ids_.push_back(id);
    types_.push_back(static_cast<std::uint8_t>(type));
    styleOf_.push_back(intern(style));
    coordStart_.push_back(0);
    coordCount_.push_back(0);
    partsRef_.push_back(kNone);
    writeGeometry(s, parts);
    row.resize(columns_.size());
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        columns_[c].push_back(std::move(row[c]));
        if (indexes_[c]) indexes_[c]->insert(s);
    }
    const Rectangle box = bounds(s);
    grid_.insert(s, box);
    if (!isPlaceable(box)) return s;
    if (empty_) {
        extent_ = box;
        empty_ = false;
    } else if (extentValid_) {
        extent_.include(box);
    }
    return s;
}

void FeatureStore::remove(Slot s) {
    grid_.erase(s, bounds(s));
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (indexes_[c]) indexes_[c]->erase(s);
        std::string().swap(columns_[c][s]);
    }
    types_[s] = kDead;
    garbagePoints_ += coordCount_[s];
    coordCount_[s] = 0;
    partsRef_[s] = kNone;
    ++dead_;
    extentValid_ = false;
}

void FeatureStore::setGeometry(Slot s, FeatureType type, const Parts& parts) {
    grid_.erase(s, bounds(s));
    types_[s] = static_cast<std::uint8_t>(type);
    writeGeometry(s, parts);
    grid_.insert(s, bounds(s));
    extentValid_ = false;
}

void FeatureStore::setStyle(Slot s, const Style& style) {
    styleOf_[s] = intern(style);
}

void FeatureStore::setValue(Slot s, std::size_t column, std::string value) {
    if (columns_[column][s] == value) return;
    if (indexes_[column]) indexes_[column]->erase(s);
    columns_[column][s] = std::move(value);
    if (indexes_[column]) indexes_[column]->insert(s);
}

FeatureStore::Slot FeatureStore::find(std::uint32_t id) const {
    auto it = std::lower_bound(ids_.begin(), ids_.end(), id);
    if (it == ids_.end() || *it != id) return kNone;
    auto s = static_cast<Slot>(it - ids_.begin());
    return alive(s) ? s : kNone;
}

int FeatureStore::partCount(Slot s) const {
    if (coordCount_[s] == 0) return 0;
    return partsRef_[s] == kNone ? 1 : static_cast<int>(partTable_[partsRef_[s]]);
}

std::span<const Point> FeatureStore::part(Slot s, int index) const {
    const Point* base = pool_.data() + coordStart_[s];
    if (partsRef_[s] == kNone) return {base, coordCount_[s]};
    const std::uint32_t* ends = partTable_.data() + partsRef_[s] + 1;
    const std::uint32_t begin = index == 0 ? 0 : ends[index - 1];
    return {base + begin, ends[index] - begin};
}

Parts FeatureStore::parts(Slot s) const {
    Parts out;
    for (int i = 0; i < partCount(s); ++i) {
        auto pts = part(s, i);
        out.Add(Points(std::vector<Point>(pts.begin(), pts.end())));
    }
    return out;
}

Rectangle FeatureStore::bounds(Slot s) const {
    auto pts = allPoints(s);
    if (pts.empty()) return {};
    Rectangle r(pts[0].x, pts[0].y, pts[0].x, pts[0].y);
    for (const Point& p : pts) {
        // One point without a place takes the feature off the map: a line
        // to infinity cannot be drawn, hit or fitted into a view.
        if (!isPlaceable(p)) return nowhere();
        r.include(p);
    }
    return r;
}

std::vector<std::string> FeatureStore::row(Slot s) const {
    std::vector<std::string> out;
    out.reserve(columns_.size());
    for (const auto& column : columns_)
        out.push_back(column[s]);
    return out;
}

Rectangle FeatureStore::extent() const {
    if (!extentValid_) {
        bool first = true;
        extent_ = {};
        for (Slot s = 0; s < slotCount(); ++s) {
            if (!alive(s) || coordCount_[s] == 0) continue;
            const Rectangle box = bounds(s);
            if (!isPlaceable(box)) continue;
            if (first) {
                extent_ = box;
                first = false;
            } else {
                extent_.include(box);
            }
        }
        empty_ = first;
        extentValid_ = true;
    }
    return extent_;
}

ColumnIndex& FeatureStore::indexFor(std::size_t column) const {
    if (!indexes_[column]) {
        indexes_[column] = std::make_unique<ColumnIndex>(columns_[column]);
        for (Slot s = 0; s < slotCount(); ++s)
            if (alive(s)) indexes_[column]->insert(s);
    }
    return *indexes_[column];
}

bool FeatureStore::compactIfWorthwhile() {
    const bool manyDead = dead_ >= 1024 && dead_ * 2 >= ids_.size();
    const bool manyGarbage = garbagePoints_ >= 4096 && garbagePoints_ * 2 >= pool_.size();
    const bool allDead = dead_ > 0 && dead_ == ids_.size();
    if (!manyDead && !manyGarbage && !allDead) return false;
    compact();
    return true;
}

void FeatureStore::compact() {
    FeatureStore fresh(columns_.size());
    fresh.styles_ = styles_;
    fresh.styleLookup_ = styleLookup_;
    for (Slot s = 0; s < slotCount(); ++s) {
        if (!alive(s)) continue;
        std::vector<std::string> values;
        values.reserve(columns_.size());
        for (auto& column : columns_)
            values.push_back(std::move(column[s]));
        fresh.ids_.push_back(ids_[s]);
        fresh.types_.push_back(types_[s]);
        fresh.styleOf_.push_back(styleOf_[s]);
        const auto t = static_cast<Slot>(fresh.ids_.size() - 1);
        fresh.coordStart_.push_back(static_cast<std::uint32_t>(fresh.pool_.size()));
        fresh.coordCount_.push_back(coordCount_[s]);
        auto pts = allPoints(s);
        fresh.pool_.insert(fresh.pool_.end(), pts.begin(), pts.end());
        if (partsRef_[s] == kNone) {
            fresh.partsRef_.push_back(kNone);
        } else {
            fresh.partsRef_.push_back(static_cast<std::uint32_t>(fresh.partTable_.size()));
            const std::uint32_t n = partTable_[partsRef_[s]];
            fresh.partTable_.insert(fresh.partTable_.end(), partTable_.begin() + partsRef_[s],
                                    partTable_.begin() + partsRef_[s] + n + 1);
        }
        for (std::size_t c = 0; c < columns_.size(); ++c)
            fresh.columns_[c].push_back(std::move(values[c]));
        fresh.grid_.insert(t, fresh.bounds(t));
    }
    fresh.empty_ = fresh.ids_.empty();
    fresh.extentValid_ = false;
    // Indexes that were in use are rebuilt at once: a layer searched once
    // is likely to be searched again.
    for (std::size_t c = 0; c < columns_.size(); ++c)
        if (indexes_[c]) fresh.indexFor(c);
    *this = std::move(fresh);
}

std::size_t FeatureStore::memoryBytes() const {
    std::size_t bytes = bytesOf(ids_) + bytesOf(types_) + bytesOf(styleOf_) + bytesOf(coordStart_) +
                        bytesOf(coordCount_) + bytesOf(partsRef_) + bytesOf(pool_) + bytesOf(partTable_);
    for (const auto& column : columns_) {
        bytes += bytesOf(column);
        for (const auto& text : column)
            if (text.capacity() > 15) // beyond the short-string buffer: a heap block
                bytes += text.capacity() + 1;
    }
    bytes += styles_.size() * sizeof(Style) + grid_.memoryBytes();
    for (const auto& index : indexes_)
        if (index) bytes += index->memoryBytes();
    return bytes;
}

} // namespace ocable::gis
