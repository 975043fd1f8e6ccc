#include "AlarmMarkers.h"

#include "AlarmSymbols.h"
#include "host/SharedNames.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/gis/SearchExpression.h"

#include <cmath>

namespace ocable::hostapp {

namespace {

// Backbone coordinates are cut to six decimals; five tell stations apart.
std::uint64_t pointKey(double x, double y) {
    const auto ix = static_cast<std::uint32_t>(std::llround((x + 360.0) * 1e5));
    const auto iy = static_cast<std::uint32_t>(std::llround((y + 360.0) * 1e5));
    return (static_cast<std::uint64_t>(ix) << 32) | iy;
}

constexpr const char* kStationLayers[] = {vocab::kLayerTerminal, vocab::kLayerOtherStation};
constexpr const char* kBatchLayers[] = {vocab::kLayerTerminal, vocab::kLayerOtherStation, vocab::kLayerAlarm,
                                        vocab::kLayerBackboneAlarm};

} // namespace

void AlarmMarkers::begin(gis::Map& map) {
    map_ = &map;
    for (const char* name : kBatchLayers)
        map.Layers().Item(name).BeginAccess(gis::AccessMode::ReadWrite);
}

void AlarmMarkers::end() {
    if (!map_) return;
    for (const char* name : kBatchLayers)
        map_->Layers().Item(name).EndAccess();
    map_ = nullptr;
}

bool AlarmMarkers::onBackbone(double x, double y) {
    gis::Layer& backbone = map_->Layers().Item(vocab::kLayerBackbone);
    if (backbone.featureCount() != backboneCount_) {
        backboneEnds_.clear();
        for (const gis::Feature& f : backbone.AllFeatures())
            for (const auto& part : f.Parts())
                if (part.Count() > 0) {
                    backboneEnds_.insert(pointKey(part.Item(1).x, part.Item(1).y));
                    backboneEnds_.insert(pointKey(part.Item(part.Count()).x, part.Item(part.Count()).y));
                }
        backboneCount_ = backbone.featureCount();
    }
    return backboneEnds_.contains(pointKey(x, y));
}

void AlarmMarkers::showMarkers(gis::Layer& layer, const std::string& code, int wanted, int level, double x,
                               double y, const std::string& label) {
    const gis::FeatureSet found = layer.Search(gis::searchTerm(vocab::kAlarmCodeColumn, code));
    const std::string bitmap = level > 0 ? AlarmSymbols::markerBitmap(level) : std::string();
    int kept = 0;
    for (gis::Feature f : found) {
        if (kept >= wanted) {
            layer.DeleteFeature(f);
            continue;
        }
        ++kept;
        if (f.Style().SymbolBitmapName != bitmap) {
            f.Style().SymbolBitmapName = bitmap;
            layer.UpdateFeature(f);
        }
    }
    gis::Style style;
    style.SymbolBitmapName = bitmap;
    style.SymbolBitmapSize = AlarmSymbols::kMarkerSize;
    style.SymbolBitmapTransparent = true;
    for (; kept < wanted; ++kept) {
        gis::Feature marker = gis::FeatureFactory::CreateSymbol({x, y}, style);
        marker.setCarriedRow({label, code});
        layer.AddFeature(marker);
    }
}

bool AlarmMarkers::redrawn(gis::Map& map) const {
    if (normalBitmaps_.empty()) return false;
    const std::string& key = normalBitmaps_.begin()->first;
    const auto bar = key.find('|');
    try {
        const gis::Feature f = map.Layers().Item(key.substr(0, bar)).GetFeatureByKey(key.substr(bar + 1));
        return f.Style().SymbolBitmapName.find("告警") == std::string::npos;
    } catch (const std::exception&) {
        return true; // gone: drawn anew, or hidden by the resource tree, which a new look also mends
    }
}

QString AlarmMarkers::show(const QString& station, int level, int activeAlarms) {
    if (!map_) return {};
    const std::string code = station.toStdString();
    bool drawn = false;
    double x = 0, y = 0;
    std::string name;
    for (const char* layerName : kStationLayers) {
        gis::Layer& layer = map_->Layers().Item(layerName);
        for (gis::Feature f : layer.Search(gis::searchTerm(vocab::kStationCodeColumn, code))) {
            const std::string key = std::string(layerName) + "|" + f.FeatureKey();
            const auto normal = normalBitmaps_.find(key);
            if (level > 0) {
                const std::string before =
                    normal != normalBitmaps_.end() ? normal->second : f.Style().SymbolBitmapName;
                normalBitmaps_[key] = before;
                f.Style().SymbolBitmapName = AlarmSymbols::stationBitmap(before, level);
                layer.UpdateFeature(f);
            } else if (normal != normalBitmaps_.end()) {
                f.Style().SymbolBitmapName = normal->second;
                layer.UpdateFeature(f);
                normalBitmaps_.erase(normal);
            }
            if (!drawn) {
                drawn = true;
                x = f.CenterX();
                y = f.CenterY();
                if (const std::string* n = layer.valueOf(f.id(), 0)) name = *n;
            }
        }
    }
    const int markers = drawn && level > 0 ? 1 : 0;
    showMarkers(map_->Layers().Item(vocab::kLayerAlarm), code, markers, level, x, y, name);
    const int backboneMarkers = markers && onBackbone(x, y) ? activeAlarms : 0;
    showMarkers(map_->Layers().Item(vocab::kLayerBackboneAlarm), code, backboneMarkers, level, x, y, name);
    return QString::fromStdString(name);
}

} // namespace ocable::hostapp
