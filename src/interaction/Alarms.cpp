#include "interaction/Alarms.h"

#include "core/NetworkVocabulary.h"
#include "core/TextUtil.h"
#include "core/ViewContext.h"
#include "map/mdlViewMap.h"
#include "platform/gis/Dataset.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"

#include <stdexcept>

namespace ocable {

namespace {

// The names clearAlarm writes. The drawing wrote the same files with the
// extension in capitals; the symbol folder matches names in any case.
constexpr const char* kTerminalBitmap = "光缆网络_终端站.bmp";
constexpr const char* kOtherBitmap = "光缆网络_中继站.bmp";

// Ends a layer's batched write however the loop inside it ends, so that an
// error raised to the caller does not leave the layer's edits unreported.
struct BatchedWrite {
    explicit BatchedWrite(gis::Layer& layer) : layer_(layer) {
        layer_.BeginAccess(gis::AccessMode::ReadWrite);
    }
    ~BatchedWrite() { layer_.EndAccess(); }
    BatchedWrite(const BatchedWrite&) = delete;
    BatchedWrite& operator=(const BatchedWrite&) = delete;
    gis::Layer& layer_;
};

void setField(clsViewRecord& record, const char* name, const std::string& value) {
    if (auto field = record.Item(std::string(name))) {
        field->Value = value;
        return;
    }
    auto field = std::make_shared<clsViewField>();
    field->FieldName = name;
    field->Value = value;
    record.Add(field, name);
}

// Sets the bitmap unless the feature already shows that file: names that
// differ only in the case of their letters are the same file.
bool setBitmap(gis::Feature& f, const char* bitmap) {
    if (text::equalsIgnoringAsciiCase(f.Style().SymbolBitmapName, bitmap)) return false;
    f.Style().SymbolBitmapName = bitmap;
    return true;
}

} // namespace

int getAlarmLevel(std::int32_t& critical, std::int32_t& major, std::int32_t& minor, std::int32_t& warning,
                  std::int32_t& indeterminate) {
    if (critical > 0) return 5;
    if (major > 0) return 4;
    if (minor > 0) return 3;
    if (warning > 0) return 2;
    if (indeterminate > 0) return 1;
    return 0;
}

void Alarms::resetStationLayer(const char* layerName, const char* bitmap) {
    gis::Map& map = *view_.map;
    gis::Layer& layer = map.Layers().Item(layerName);
    gis::Dataset& dataset = map.Datasets().Item(layerName);
    BatchedWrite batch(layer);
    for (gis::Feature f : layer.AllFeatures()) {
        if (setBitmap(f, bitmap)) layer.UpdateFeature(f);
        const std::string code = dataset.Value(f, 2);
        const auto record = view_.resTree->Item(vocab::stationKey(code));
        if (!record) throw std::runtime_error("局站记录不存在：" + vocab::stationKey(code));
        for (const char* field : kAlarmFields)
            setField(*record, field, "0");
    }
}

void Alarms::clearAlarm() {
    resetStationLayer(vocab::kLayerTerminal, kTerminalBitmap);
    resetStationLayer(vocab::kLayerOtherStation, kOtherBitmap);
    for (auto& [key, record] : view_.stationFeatures)
        setBitmap(record->ftr, record->remark == vocab::kClassTerminal ? kTerminalBitmap : kOtherBitmap);
    mdlViewMap::clearMapLayers(vocab::kLayerAlarm, *view_.map);
    mdlViewMap::clearMapLayers(vocab::kLayerBackboneAlarm, *view_.map);
}

bool Alarms::setStationAlarmFields(const std::string& stationCode, const std::vector<std::string>& values) {
    const auto record = view_.resTree->Item(vocab::stationKey(stationCode));
    if (!record) return false;
    for (std::size_t i = 0; i < kAlarmFields.size() && i < values.size(); ++i)
        setField(*record, kAlarmFields[i], values[i]);
    return true;
}

std::vector<std::string> Alarms::stationAlarmFields(const std::string& stationCode) {
    const auto record = view_.resTree->Item(vocab::stationKey(stationCode));
    if (!record) return {};
    std::vector<std::string> values;
    for (const char* name : kAlarmFields) {
        const auto field = record->Item(std::string(name));
        values.push_back(field ? field->Value : std::string());
    }
    return values;
}

} // namespace ocable
