#include "platform/gis/GeosetStore.h"

#include "platform/gis/GeoPackageFormat.h"
#include "platform/gis/GeosetFile.h"
#include "platform/gis/GeosetWriter.h"
#include "platform/gis/GisError.h"
#include "platform/gis/GisLog.h"
#include "platform/gis/Map.h"
#include "platform/gis/QuietGdal.h"
#include "platform/gis/TextUtil.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <cctype>
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>

namespace ocable::gis {

namespace {

using gpkg::kStyleField;
using gpkg::pathText;
using gpkg::wgs84;

Points pointsOf(const OGRLineString& line, bool dropClosing) {
    Points pts;
    int n = line.getNumPoints();
    if (dropClosing && n > 3 && line.getX(0) == line.getX(n - 1) && line.getY(0) == line.getY(n - 1)) --n;
    for (int i = 0; i < n; ++i)
        pts.AddXY(line.getX(i), line.getY(i));
    return pts;
}

void addPolygon(const OGRPolygon& polygon, Parts& parts) {
    if (const auto* ring = polygon.getExteriorRing()) parts.Add(pointsOf(*ring, true));
    for (int i = 0; i < polygon.getNumInteriorRings(); ++i)
        parts.Add(pointsOf(*polygon.getInteriorRing(i), true));
}

// Our feature from an OGR geometry; false for geometries a map cannot hold.
bool convert(const OGRGeometry& g, FeatureType& type, Parts& parts) {
    switch (wkbFlatten(g.getGeometryType())) {
    case wkbPoint: {
        const auto& p = *g.toPoint();
        type = FeatureType::Symbol;
        parts.Add(Points{{p.getX(), p.getY()}});
        return true;
    }
    case wkbMultiPoint: {
        const auto& mp = *g.toMultiPoint();
        if (mp.getNumGeometries() == 0) return false;
        const auto& p = *mp.getGeometryRef(0);
        type = FeatureType::Symbol;
        parts.Add(Points{{p.getX(), p.getY()}});
        return true;
    }
    case wkbLineString:
        type = FeatureType::Line;
        parts.Add(pointsOf(*g.toLineString(), false));
        return true;
    case wkbMultiLineString:
        type = FeatureType::Line;
        for (const auto* line : *g.toMultiLineString())
            parts.Add(pointsOf(*line, false));
        return parts.Count() > 0;
    case wkbPolygon:
        type = FeatureType::Region;
        addPolygon(*g.toPolygon(), parts);
        return parts.Count() > 0;
    case wkbMultiPolygon:
        type = FeatureType::Region;
        for (const auto* polygon : *g.toMultiPolygon())
            addPolygon(*polygon, parts);
        return parts.Count() > 0;
    default:
        return false;
    }
}

// A vertex the map can hold: finite, and small enough that sums and
// differences of two stay finite too.
bool holdable(const Parts& parts) {
    for (const auto& part : parts)
        for (const auto& p : part)
            if (!coordinateHoldable(p.x) || !coordinateHoldable(p.y)) return false;
    return true;
}

// The vector formats a base map comes in, read from local files only. A
// virtual dataset (VRT) or a web service would make GDAL fetch data from
// wherever its text points.
const char* const kLocalDrivers[] = {
    "GeoJSON", "GeoJSONSeq", "ESRI Shapefile", "MapInfo File", "GPKG", "FlatGeobuf", "CSV", "KML", "GML",
    "GPX",     "DXF",        "OpenFileGDB",    nullptr};

// Whether a layer's source text names something other than a local file:
// one of GDAL's virtual file systems (/vsicurl/, /vsis3/, ...), a URL, or a
// connection text such as "PG:dbname=...". GDAL reads each of them as a
// source, and a geoset from elsewhere must not make the host go online.
bool namesRemoteSource(const std::string& source, const std::filesystem::path& resolved) {
    auto virtualPath = [](std::string_view text) {
        text = trimmed(text);
        return text.size() >= 4 && (text[0] == '/' || text[0] == '\\') &&
               equalsNoCase(text.substr(1, 3), "vsi");
    };
    if (virtualPath(source) || virtualPath(resolved.lexically_normal().string())) return true;
    if (source.find("://") != std::string::npos) return true;
    // "PG:", "WFS:", "MySQL:" and the like; a single letter would be a drive.
    const auto colon = source.find(':');
    if (colon != std::string::npos && colon >= 2) {
        bool word = true;
        for (std::size_t i = 0; i < colon; ++i)
            word = word && (std::isalnum(static_cast<unsigned char>(source[i])) || source[i] == '_');
        if (word) return true;
    }
    return false;
}

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw GisError("无法打开地图集文件：" + pathText(path));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string relativeFolder(const std::filesystem::path& folder, const std::filesystem::path& base) {
    if (folder.empty()) return {};
    std::error_code ec;
    auto rel = std::filesystem::relative(folder, base, ec);
    if (ec || rel.empty() || rel.native().rfind("..", 0) == 0)
        return pathText(std::filesystem::absolute(folder, ec));
    return pathText(rel);
}

} // namespace

std::vector<Feature> GeosetStore::readFeatures(const std::filesystem::path& source,
                                               const std::string& sourceLayer,
                                               std::vector<std::string>& columns, const Style& defaultStyle) {
    QuietGdal quiet;
    std::unique_ptr<GDALDataset> ds(GDALDataset::Open(
        pathText(source).c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, kLocalDrivers, nullptr, nullptr));
    if (!ds) throw GisError("无法打开图层数据：" + pathText(source) + QuietGdal::lastMessage());
    OGRLayer* in = sourceLayer.empty() ? ds->GetLayer(0) : ds->GetLayerByName(sourceLayer.c_str());
    if (!in) throw GisError("图层数据“" + pathText(source) + "”中没有图层“" + sourceLayer + "”");
    OGRFeatureDefn* defn = in->GetLayerDefn();
    if (columns.empty())
        for (int i = 0; i < defn->GetFieldCount(); ++i)
            if (!EQUAL(defn->GetFieldDefn(i)->GetNameRef(), kStyleField))
                columns.emplace_back(defn->GetFieldDefn(i)->GetNameRef());
    std::vector<int> fieldOf;
    for (const auto& column : columns)
        fieldOf.push_back(defn->GetFieldIndex(column.c_str())); // -1: the column stays empty
    const int styleIndex = defn->GetFieldIndex(kStyleField);

    std::unique_ptr<OGRCoordinateTransformation> toWgs84;
    if (const OGRSpatialReference* srs = in->GetSpatialRef()) {
        auto target = wgs84();
        OGRSpatialReference from(*srs);
        from.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        if (!from.IsSame(&target)) toWgs84.reset(OGRCreateCoordinateTransformation(&from, &target));
    }

    std::vector<Feature> features;
    in->ResetReading();
    for (auto& f : *in) {
        OGRGeometry* g = f->GetGeometryRef();
        if (!g || g->IsEmpty()) continue;
        if (toWgs84 && g->transform(toWgs84.get()) != OGRERR_NONE) continue;
        FeatureType type = FeatureType::Symbol;
        Parts parts;
        if (!convert(*g, type, parts)) continue;
        if (!holdable(parts)) {
            qCWarning(lcGis, "图层数据“%s”的要素 %lld 坐标不是有限的数值或超出范围，已跳过",
                      pathText(source).c_str(), static_cast<long long>(f->GetFID()));
            continue;
        }
        Style style = defaultStyle;
        if (styleIndex >= 0 && f->IsFieldSetAndNotNull(styleIndex)) {
            try {
                style = styleFromText(f->GetFieldAsString(styleIndex));
            } catch (const GisError&) {
                // A style written by a later version: draw with the layer's style.
            }
        }
        Feature feature(type, style);
        feature.Parts() = std::move(parts);
        std::vector<std::string> row;
        row.reserve(columns.size());
        for (int field : fieldOf)
            row.emplace_back(field >= 0 && f->IsFieldSetAndNotNull(field) ? f->GetFieldAsString(field) : "");
        feature.setCarriedRow(std::move(row));
        features.push_back(std::move(feature));
    }
    return features;
}

void GeosetStore::load(Map& map, const std::filesystem::path& gst) {
    // A save still writing may be writing this very geoset.
    GeosetWriter::instance().finish();
    const Geoset geoset = parseGeoset(readText(gst));
    const auto base = gst.parent_path();
    for (const auto& def : geoset.layers) {
        if (!def.source.empty() && namesRemoteSource(def.source, base / std::filesystem::path(def.source)))
            throw GisError("地图集的图层“" + def.name + "”的数据来源“" + def.source +
                           "”不是本地文件，只读取本地文件");
    }
    // Read every layer first: a geoset that fails half-way leaves the map as it was.
    struct Loaded {
        GeosetLayer def;
        std::vector<Feature> features;
    };
    std::vector<Loaded> loaded;
    for (const auto& def : geoset.layers) {
        Loaded l{def, {}};
        if (!def.source.empty())
            l.features = readFeatures(base / std::filesystem::path(def.source), def.sourceLayer,
                                      l.def.columns, def.style);
        loaded.push_back(std::move(l));
    }
    map.Datasets().RemoveAll();
    map.Layers().RemoveAll();
    map.setTitle(geoset.title);
    if (!geoset.symbols.empty()) map.setSymbolFolder(base / std::filesystem::path(geoset.symbols));
    for (auto& l : loaded) {
        Layer& layer =
            map.Layers().CreateLayer(l.def.name, map.Layers().Count() + 1, l.def.columns, l.def.kind);
        layer.setVisible(l.def.visible);
        layer.setAutoLabel(l.def.autoLabel);
        layer.setSelectable(l.def.selectable);
        layer.setLabelStyle(l.def.label);
        layer.setDefaultStyle(l.def.style);
        layer.BeginAccess(AccessMode::ReadWrite);
        for (const auto& f : l.features)
            layer.AddFeature(f);
        layer.EndAccess();
    }
    if (geoset.center && geoset.zoom) {
        map.setCenter(geoset.center->x, geoset.center->y);
        map.setZoom(*geoset.zoom);
    } else {
        map.setBounds(map.fullExtent());
    }
}

void GeosetStore::save(Map& map, const std::string& title, const std::filesystem::path& gst) {
    const auto base = gst.parent_path();
    auto dataName = gst.stem();
    dataName += ".gpkg";

    Geoset g;
    g.title = title.empty() ? map.title() : title;
    g.symbols = relativeFolder(map.symbolFolder(), base);
    g.center = Point(map.CenterX(), map.CenterY());
    g.zoom = map.Zoom();
    for (const auto& layer : map.Layers()) {
        GeosetLayer l;
        l.name = layer->Name();
        l.kind = layer->kind();
        l.columns = layer->columns();
        l.visible = layer->Visible();
        l.autoLabel = layer->AutoLabel();
        l.selectable = layer->Selectable();
        l.label = layer->LabelStyle();
        l.style = layer->defaultStyle();
        l.source = pathText(dataName);
        l.sourceLayer = layer->Name();
        g.layers.push_back(std::move(l));
    }
    GeosetWriter::instance().start({gst, base / dataName}, snapshotLayers(map), formatGeoset(g));
    map.setTitle(g.title);
}

void GeosetStore::finishSaving() {
    GeosetWriter::instance().wait();
}

} // namespace ocable::gis
