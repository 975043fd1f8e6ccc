#include "map/mdlViewMap.h"

#include "platform/db/DbError.h"
#include "platform/gis/Feature.h"
#include "platform/gis/GisError.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/ui/KeyedTree.h"
#include "core/clsResTree.h"
#include "core/TextUtil.h"
#include "core/mPubVar.h"

#include <charconv>
#include <cstring>
#include <functional>

namespace ocable::mdlViewMap {

namespace {

// A coordinate text as a number; throws for a text that is not one.
double toNumber(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) throw gis::GisError("坐标不是数字：" + text);
    return value;
}

// Column positions resolved once per builder run; a missing column throws.
int column(const db::Recordset& rs, const std::string& name) {
    const int i = rs.FieldIndex(name);
    if (i < 0) throw db::DbError("记录集中没有字段：" + name);
    return i;
}

std::string trimmed(const db::Recordset& rs, int column) { return text::trim(rs.Fields(column).toText()); }

// The record keeps the detached feature the row was drawn from: it equals a
// clone of the stored one (same type, parts, style and two-column row), and
// taking it saves a copy per row.
std::shared_ptr<clsFearture> makeRecord(gis::Feature drawn, const std::string& key, const std::string& label,
                                        const std::string& code, const std::string& layerName) {
    auto record = std::make_shared<clsFearture>();
    record->ftr = std::move(drawn);
    record->ftrKey = key;
    record->ftrCode = code;
    record->label = label;
    record->layerName = layerName;
    return record;
}

// Runs one row's work; a failure skips the rest of that row only.
template <class Fn> void passOver(Fn&& fn) {
    try {
        fn();
    } catch (const std::exception&) {
    }
}

// The columns a line builder reads, resolved once per run, and the style of
// its lines.
struct LineColumns {
    int lngA, latA, lngZ, latZ, label, code;
    LineColumns(const db::Recordset& rs, const LineFields& f)
        : lngA(column(rs, f.lngA)), latA(column(rs, f.latA)), lngZ(column(rs, f.lngZ)), latZ(column(rs, f.latZ)),
          label(column(rs, f.label)), code(column(rs, f.code)) {}

    // The four end coordinates as texts (cut by normalise when given); false
    // when one is empty, for a segment without both ends is not drawn.
    bool ends(const db::Recordset& rs, std::string (&out)[4], std::string (*normalise)(const std::string&)) const {
        const int columns[4] = {lngA, latA, lngZ, latZ};
        for (int i = 0; i < 4; ++i) {
            out[i] = trimmed(rs, columns[i]);
            if (out[i].empty()) return false;
            if (normalise) out[i] = normalise(out[i]);
        }
        return true;
    }
};

gis::Style lineStyle(const LineLook& look) {
    gis::Style style;
    style.LineColor = look.color;
    style.LinePattern = look.pattern;
    style.LineWidth = look.width;
    return style;
}

} // namespace

void clearMapLayers(const std::string& layerName, gis::Map& map) {
    gis::Layer& layer = map.Layers().Item(layerName);
    layer.BeginAccess(gis::AccessMode::ReadWrite);
    for (const gis::Feature& f : layer.AllFeatures()) layer.DeleteFeature(f);
    layer.EndAccess();
    layer.Refresh();
}

void bindLayerDatasets(gis::Map& map) {
    map.Datasets().RemoveAll();
    for (int i = 1; i <= map.Layers().Count(); ++i) {
        gis::Layer& layer = map.Layers().Item(i);
        map.Datasets().Add(layer, layer.Name());
    }
}

bool buildSymbolLayer(db::Recordset* rs, gis::Map& map, const std::string& layerName, const SymbolFields& fields,
                      const std::string& bitmap, int symbolSize, FeatureRecords* records) {
    if (!rs || rs->RecordCount() == 0) return false;
    rs->MoveFirst();
    gis::Layer& layer = map.Layers().Item(layerName);
    const int lngCol = column(*rs, fields.lng), latCol = column(*rs, fields.lat);
    const int nameCol = column(*rs, fields.name), codeCol = column(*rs, fields.code);
    gis::Style style;
    style.SymbolBitmapName = bitmap;
    style.SymbolBitmapSize = symbolSize;
    style.SymbolBitmapTransparent = true;
    layer.BeginAccess(gis::AccessMode::ReadWrite);
    for (; !rs->Eof(); rs->MoveNext()) {
        passOver([&] {
            const std::string lng = trimmed(*rs, lngCol), lat = trimmed(*rs, latCol);
            if (lng.empty() || lat.empty()) return;
            gis::Feature f = gis::FeatureFactory::CreateSymbol({toNumber(lng), toNumber(lat)}, style);
            const std::string name = rs->Fields(nameCol).toText();
            const std::string code = trimmed(*rs, codeCol);
            f.setCarriedRow({name, code});
            const std::string key = layer.AddFeature(f).FeatureKey();
            if (records) records->Add(makeRecord(std::move(f), key, name, code, layerName), code);
        });
    }
    layer.EndAccess();
    return true;
}

bool buildLineLayer(db::Recordset* rs, gis::Map& map, const std::string& layerName, const LineFields& fields,
                    const LineLook& look, FeatureRecords* records) {
    if (!rs || rs->RecordCount() == 0) return false;
    rs->MoveFirst();
    gis::Layer& layer = map.Layers().Item(layerName);
    const LineColumns columns(*rs, fields);
    const gis::Style style = lineStyle(look);
    layer.BeginAccess(gis::AccessMode::ReadWrite);
    for (; !rs->Eof(); rs->MoveNext()) {
        passOver([&] {
            std::string ends[4];
            if (!columns.ends(*rs, ends, nullptr)) return;
            const gis::Points points = {{toNumber(ends[0]), toNumber(ends[1])}, {toNumber(ends[2]), toNumber(ends[3])}};
            gis::Feature f = gis::FeatureFactory::CreateLine(points, style);
            const std::string label = trimmed(*rs, columns.label);
            const std::string code = trimmed(*rs, columns.code);
            f.setCarriedRow({label, code});
            const std::string key = layer.AddFeature(f).FeatureKey();
            if (records) records->Add(makeRecord(std::move(f), key, label, code, layerName), code);
        });
    }
    layer.EndAccess();
    return true;
}

std::size_t BackboneGroups::KeyHash::operator()(const Key& k) const {
    std::size_t h = 0;
    for (double v : {k.x1, k.y1, k.x2, k.y2}) h = h * 1000003u ^ std::hash<double>()(v);
    return h;
}

std::vector<std::string>& BackboneGroups::at(double ax, double ay, double zx, double zy) {
    // The same pair either way round: order the two ends.
    Key key = std::pair(ax, ay) <= std::pair(zx, zy) ? Key{ax, ay, zx, zy} : Key{zx, zy, ax, ay};
    return groups_[key];
}

std::string normaliseCoordinate(const std::string& text) {
    if (text.size() <= 10) return text;
    const auto point = text.find('.');
    if (point == std::string::npos) return text;
    return text.substr(0, point) + text.substr(point, 7);
}

std::string loneBackboneLabel(const std::string& nameA, const std::string& nameZ, const std::string& length) {
    return "(" + nameA + "-" + nameZ + ")" + " 长度:" + length + "KM";
}

std::string groupBackboneLabel(std::size_t count, const std::string& length) {
    return "光缆数-" + std::to_string(count) + "条,长度:" + length + "KM";
}

bool buildBackboneLayer(db::Recordset* rs, gis::Map& map, const std::string& layerName, const LineFields& fields,
                        const LineLook& look, BackboneGroups& groups, FeatureRecords& records) {
    if (!rs || rs->RecordCount() == 0) return false;
    rs->MoveFirst();
    gis::Layer& layer = map.Layers().Item(layerName);
    const LineColumns columns(*rs, fields);
    const int nameACol = column(*rs, fields.nameA), nameZCol = column(*rs, fields.nameZ);
    const gis::Style style = lineStyle(look);
    layer.BeginAccess(gis::AccessMode::ReadWrite);
    for (; !rs->Eof(); rs->MoveNext()) {
        std::string ends[4];
        if (!columns.ends(*rs, ends, normaliseCoordinate)) continue;
        const double x1 = toNumber(ends[0]), y1 = toNumber(ends[1]);
        const double x2 = toNumber(ends[2]), y2 = toNumber(ends[3]);
        const std::string length = trimmed(*rs, columns.label);
        const std::string code = trimmed(*rs, columns.code);
        std::vector<std::string>& group = groups.at(x1, y1, x2, y2);
        const std::size_t count = group.size() + 1;

        gis::Feature f = gis::FeatureFactory::CreateLine(gis::Points{{x1, y1}, {x2, y2}}, style);
        const std::string label = count == 1 ? loneBackboneLabel(rs->Fields(nameACol).toText(),
                                                                 rs->Fields(nameZCol).toText(), length)
                                             : groupBackboneLabel(count, length);
        f.setCarriedRow({label, code});
        const std::string key = layer.AddFeature(f).FeatureKey();
        if (count > 1) {
            // The earlier members take the group's label: each is taken off
            // and drawn again from its record under a new key.
            const std::string relabel = groupBackboneLabel(count, length.empty() ? "0" : length);
            for (const std::string& memberCode : group) {
                auto* record = records.find(memberCode);
                if (!record) continue;
                layer.DeleteFeature((*record)->ftrKey);
                gis::Feature again = (*record)->ftr;
                again.setCarriedRow({relabel, memberCode});
                (*record)->ftrKey = layer.AddFeature(again).FeatureKey();
            }
        }
        records.Add(makeRecord(std::move(f), key, label, code, layerName), code);
        group.push_back(code);
    }
    layer.EndAccess();
    gis::LabelStyle labels = layer.LabelStyle();
    labels.FontName = "宋体";
    labels.FontSize = 8;
    labels.Bold = false;
    layer.setLabelStyle(labels);
    return true;
}

void addTreeNodes(db::Recordset* rs, ui::KeyedTree& tree, const std::string& parentKey, const std::string& codeField,
                  const std::string& nameField) {
    if (!rs || rs->RecordCount() == 0) return;
    const int codeCol = column(*rs, codeField), nameCol = column(*rs, nameField);
    auto& common = *mPubVar::gobjCommon;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
        common.addTreeNode(tree, parentKey, parentKey + ":" + trimmed(*rs, codeCol), rs->Fields(nameCol).toText());
}

void fillRecordStore(const std::shared_ptr<db::Recordset>& rs, clsResTree& store, const std::string& prefix,
                     const std::string& codeField, const std::string& tableName) {
    if (!rs || rs->RecordCount() == 0) return;
    const int codeCol = column(*rs, codeField);
    // The records read their fields from the recordset when first asked;
    // the drawing keeps the recordset open for as long as the store.
    const auto source = std::make_shared<const clsViewRecord::RowSource>(rs);
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        auto record = std::make_shared<clsViewRecord>(source, rs->rowIndex());
        record->tableName = tableName;
        store.Add(std::move(record), prefix + ":" + trimmed(*rs, codeCol));
    }
}

} // namespace ocable::mdlViewMap
