#include "DrawingFingerprint.h"

#include "core/NetworkVocabulary.h"
#include "core/TextUtil.h"
#include "core/clsResTree.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/ui/KeyedTree.h"

#include <cstdio>
#include <string_view>

namespace ocable::bench {

namespace {

// FNV-1a over a stream of texts, each closed by a separator byte so that
// "ab","c" and "a","bc" differ.
class Hash {
public:
    Hash& operator<<(std::string_view text) {
        for (unsigned char c : text)
            mix(c);
        mix(0x1f);
        return *this;
    }
    Hash& operator<<(const std::string& text) { return *this << std::string_view(text); }
    Hash& operator<<(const char* text) { return *this << std::string_view(text); }
    Hash& operator<<(double v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.17g", v);
        return *this << std::string_view(buf);
    }
    Hash& operator<<(long long v) { return *this << std::to_string(v); }
    Hash& operator<<(int v) { return *this << static_cast<long long>(v); }
    Hash& operator<<(std::size_t v) { return *this << static_cast<long long>(v); }
    Hash& operator<<(bool v) { return *this << (v ? "1" : "0"); }
    std::uint64_t value() const { return h_; }

private:
    void mix(unsigned char c) {
        h_ ^= c;
        h_ *= 0x100000001b3ull;
    }
    std::uint64_t h_ = 0xcbf29ce484222325ull;
};

void hashFeature(Hash& h, const gis::Feature& f) {
    h << f.isNull();
    if (f.isNull()) return;
    h << f.FeatureKey() << static_cast<int>(f.Type()) << gis::styleToText(f.Style()) << f.Parts().Count();
    for (const auto& part : f.Parts()) {
        h << part.Count();
        for (const auto& p : part)
            h << p.x << p.y;
    }
    h << f.carriedRow().size();
    for (const auto& cell : f.carriedRow())
        h << cell;
}

std::uint64_t layerPrint(gis::Map& map, const std::string& name) {
    Hash h;
    gis::Layer& layer = map.Layers().Item(name);
    gis::Dataset& dataset = map.Datasets().Item(name);
    const int columns = static_cast<int>(layer.columns().size());
    h << gis::labelStyleToText(layer.LabelStyle()) << layer.AutoLabel() << layer.Visible()
      << layer.featureCount();
    for (const gis::Feature& f : layer.AllFeatures()) {
        hashFeature(h, f);
        for (int c = 1; c <= columns; ++c)
            h << dataset.Value(f, c);
    }
    return h.value();
}

std::uint64_t recordsPrint(const FeatureRecords& records) {
    Hash h;
    h << records.Count();
    for (const auto& [key, r] : records.entries()) {
        h << key << (r != nullptr);
        if (!r) continue;
        hashFeature(h, r->ftr);
        h << r->isDelete << r->label << r->ftrCode << r->remark << r->ftrKey << r->perfKey << r->alarmKey
          << r->count << r->layerName;
    }
    return h.value();
}

// The store as its users reach it: by position and by key, record and field.
std::uint64_t storePrint(clsResTree& store) {
    Hash h;
    const long count = store.count();
    h << static_cast<long long>(count);
    for (std::int32_t i = 1; i <= count; ++i) {
        auto record = store.Item(i);
        h << (record != nullptr);
        if (!record) continue;
        const long fields = record->count();
        h << record->tableName << static_cast<long long>(fields);
        std::string key;
        for (std::int32_t j = 1; j <= fields; ++j) {
            auto field = record->Item(j);
            h << (field != nullptr);
            if (!field) continue;
            h << field->CHFieldName << field->FieldName << field->Value;
            auto byName = record->Item(field->FieldName);
            h << (byName && byName->Value == field->Value);
            if (record->tableName == vocab::kStationTable && field->FieldName == "STATIONCODE")
                key = std::string(vocab::kStationKeyPrefix) + ":" + text::trim(field->Value);
            if (record->tableName == vocab::kCableTable && field->FieldName == "OCABLECODE")
                key = std::string(vocab::kCableKeyPrefix) + ":" + text::trim(field->Value);
        }
        auto byKey = store.Item(key);
        h << key << (byKey == record) << store.checkItemExist(key);
    }
    return h.value();
}

std::uint64_t treePrint(const ui::KeyedTree& tree) {
    Hash h;
    h << tree.Count();
    for (auto id : tree.allNodes()) {
        const auto& n = tree.node(id);
        h << n.key << n.text << n.tag << n.checked << n.expanded
          << (n.parent == ui::KeyedTree::npos ? std::string() : tree.node(n.parent).key) << n.row
          << n.children.size();
    }
    return h.value();
}

} // namespace

std::vector<std::pair<std::string, std::uint64_t>> fingerprintDrawing(ViewContext& state,
                                                                      const std::vector<std::string>& sql) {
    std::vector<std::pair<std::string, std::uint64_t>> out;
    for (const char* name : vocab::kNetworkLayers)
        out.emplace_back(std::string("layer ") + name, layerPrint(*state.map, name));
    out.emplace_back("stationFeatures", recordsPrint(state.stationFeatures));
    out.emplace_back("cableFeatures", recordsPrint(state.cableFeatures));
    out.emplace_back("microwaveFeatures", recordsPrint(state.microwaveFeatures));
    out.emplace_back("resTree", storePrint(*state.resTree));
    out.emplace_back("TreeRes", treePrint(*state.TreeRes));
    Hash provinces;
    for (const auto& p : state.provinces)
        provinces << p;
    out.emplace_back("provinces", provinces.value());
    Hash texts;
    for (const auto& s : sql)
        texts << s;
    out.emplace_back("sql", texts.value());
    return out;
}

} // namespace ocable::bench
