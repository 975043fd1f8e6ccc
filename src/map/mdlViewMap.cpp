#include "map/mdlViewMap.h"

#include "core/Log.h"
#include "core/TextUtil.h"
#include "core/clsResTree.h"
#include "core/mPubVar.h"
#include "platform/db/DbError.h"
#include "platform/gis/Coordinate.h"
#include "platform/gis/Feature.h"
#include "platform/gis/GisError.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/ui/KeyedTree.h"

#include <charconv>
#include <cstring>
#include <functional>

namespace ocable::mdlViewMap {

namespace {

// A coordinate text as a number; throws for a text that is not a finite one.
double toNumber(const std::string& text) {
    const auto value = gis::parseCoordinate(text);
    if (!value) throw gis::GisError("坐标不是数字：" + text);
    return *value;
}

// Column positions resolved once per builder run; a missing column throws.
int column(const db::Recordset& rs, const std::string& name) {
    const int i = rs.FieldIndex(name);
    if (i < 0) throw db::DbError("记录集中没有字段：" + name);
    return i;
}

// The symbol and line builders draw what they can: a column the recordset
// lacks reads as empty text in every row (-1), said once for the whole run.
int columnOrNone(const db::Recordset& rs, const std::string& name, const std::string& layerName) {
    const int i = rs.FieldIndex(name);
    if (i < 0)
        qCWarning(lcComponent, "图层 %s：记录集中没有字段 %s，按空值绘制", layerName.c_str(), name.c_str());
    return i;
}

std::string trimmed(const db::Recordset& rs, int column) {
    return column < 0 ? std::string() : text::trim(rs.Fields(column).toText());
}

std::string untrimmed(const db::Recordset& rs, int column) {
    return column < 0 ? std::string() : rs.Fields(column).toText();
}

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

// An object drawn in two layers (a station of two classes, a cable both
// backbone and ordinary) keeps the record of the layer that drew it first.
void keepFirstRecord(FeatureRecords& records, gis::Feature drawn, const std::string& key,
                     const std::string& label, const std::string& code, const std::string& layerName) {
    if (!code.empty() && records.find(code)) return;
    records.Add(makeRecord(std::move(drawn), key, label, code, layerName), code);
}

// Runs one row's work; a failure skips the rest of that row only, and is
// logged with the row so that one can tell why it is missing from the map.
template <class Fn> void passOver(const db::Recordset& rs, const std::string& layerName, Fn&& fn) {
    try {
        fn();
    } catch (const std::exception& e) {
        std::string where;
        try {
            where = std::to_string(rs.rowIndex() + 1);
        } catch (const std::exception&) {
            where = "?";
        }
        qCWarning(lcComponent, "图层 %s：第 %s 行未绘制：%s", layerName.c_str(), where.c_str(), e.what());
    }
}

// Line layers label with the same font, whichever builder filled them.
void setLabelFont(gis::Layer& layer) {
    gis::LabelStyle labels = layer.LabelStyle();
    labels.FontName = "宋体";
    labels.FontSize = 8;
    labels.Bold = false;
    layer.setLabelStyle(labels);
}

// The columns a line builder reads, resolved once per run, and the style of
// its lines.
struct LineColumns {
    int lngA, latA, lngZ, latZ, label, code;
    // Every column must be there: the backbone builder ends the drawing
    // when one is missing.
    LineColumns(const db::Recordset& rs, const LineFields& f)
        : lngA(column(rs, f.lngA)), latA(column(rs, f.latA)), lngZ(column(rs, f.lngZ)),
          latZ(column(rs, f.latZ)), label(column(rs, f.label)), code(column(rs, f.code)) {}
    // A missing column reads as empty (see columnOrNone).
    LineColumns(const db::Recordset& rs, const LineFields& f, const std::string& layerName)
        : lngA(columnOrNone(rs, f.lngA, layerName)), latA(columnOrNone(rs, f.latA, layerName)),
          lngZ(columnOrNone(rs, f.lngZ, layerName)), latZ(columnOrNone(rs, f.latZ, layerName)),
          label(columnOrNone(rs, f.label, layerName)), code(columnOrNone(rs, f.code, layerName)) {}

    // The four end coordinates as texts (cut by normalise when given); false
    // when one is empty, for a segment without both ends is not drawn.
    bool ends(const db::Recordset& rs, std::string (&out)[4],
              std::string (*normalise)(const std::string&)) const {
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
    for (const gis::Feature& f : layer.AllFeatures())
        layer.DeleteFeature(f);
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

bool buildSymbolLayer(db::Recordset* rs, gis::Map& map, const std::string& layerName,
                      const SymbolFields& fields, const std::string& bitmap, int symbolSize,
                      FeatureRecords* records) {
    if (!rs || rs->RecordCount() == 0) return false;
    rs->MoveFirst();
    gis::Layer& layer = map.Layers().Item(layerName);
    const int lngCol = columnOrNone(*rs, fields.lng, layerName),
              latCol = columnOrNone(*rs, fields.lat, layerName);
    const int nameCol = columnOrNone(*rs, fields.name, layerName),
              codeCol = columnOrNone(*rs, fields.code, layerName);
    gis::Style style;
    style.SymbolBitmapName = bitmap;
    style.SymbolBitmapSize = symbolSize;
    style.SymbolBitmapTransparent = true;
    layer.BeginAccess(gis::AccessMode::ReadWrite);
    for (; !rs->Eof(); rs->MoveNext()) {
        passOver(*rs, layerName, [&] {
            const std::string lng = trimmed(*rs, lngCol), lat = trimmed(*rs, latCol);
            if (lng.empty() || lat.empty()) return;
            gis::Feature f = gis::FeatureFactory::CreateSymbol({toNumber(lng), toNumber(lat)}, style);
            const std::string name = untrimmed(*rs, nameCol);
            const std::string code = trimmed(*rs, codeCol);
            f.setCarriedRow({name, code});
            const std::string key = layer.AddFeature(f).FeatureKey();
            if (records) keepFirstRecord(*records, std::move(f), key, name, code, layerName);
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
    const LineColumns columns(*rs, fields, layerName);
    const gis::Style style = lineStyle(look);
    layer.BeginAccess(gis::AccessMode::ReadWrite);
    for (; !rs->Eof(); rs->MoveNext()) {
        passOver(*rs, layerName, [&] {
            std::string ends[4];
            if (!columns.ends(*rs, ends, nullptr)) return;
            const gis::Points points = {{toNumber(ends[0]), toNumber(ends[1])},
                                        {toNumber(ends[2]), toNumber(ends[3])}};
            gis::Feature f = gis::FeatureFactory::CreateLine(points, style);
            const std::string label = trimmed(*rs, columns.label);
            const std::string code = trimmed(*rs, columns.code);
            f.setCarriedRow({label, code});
            const std::string key = layer.AddFeature(f).FeatureKey();
            if (records) keepFirstRecord(*records, std::move(f), key, label, code, layerName);
        });
    }
    layer.EndAccess();
    setLabelFont(layer);
    return true;
}

std::size_t BackboneGroups::KeyHash::operator()(const Key& k) const {
    std::size_t h = 0;
    for (double v : {k.x1, k.y1, k.x2, k.y2})
        h = h * 1000003u ^ std::hash<double>()(v);
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

bool buildBackboneLayer(db::Recordset* rs, gis::Map& map, const std::string& layerName,
                        const LineFields& fields, const LineLook& look, BackboneGroups& groups,
                        FeatureRecords& records) {
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
    setLabelFont(layer);
    return true;
}

void addTreeNodes(db::Recordset* rs, ui::KeyedTree& tree, const std::string& parentKey,
                  const std::string& codeField, const std::string& nameField) {
    if (!rs || rs->RecordCount() == 0) return;
    const int codeCol = column(*rs, codeField), nameCol = column(*rs, nameField);
    auto& common = *mPubVar::gobjCommon;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
        common.addTreeNode(tree, parentKey, parentKey + ":" + trimmed(*rs, codeCol),
                           rs->Fields(nameCol).toText());
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
