#include "platform/gis/GeosetStore.h"

#include "platform/gis/GeosetFile.h"
#include "platform/gis/GisError.h"
#include "platform/gis/Map.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>

namespace ocable::gis {

namespace {

constexpr const char* kStyleField = "gst_style";

// Paths are UTF-8 on this system, so the native narrow form is the text.
std::string pathText(const std::filesystem::path& p) {
    return p.string();
}

// GDAL reports through a global handler; while we work, its messages are
// kept quiet and the last one goes into our error text.
class QuietGdal {
public:
    QuietGdal() {
        static std::once_flag once;
        std::call_once(once, [] { GDALAllRegister(); });
        CPLPushErrorHandler(CPLQuietErrorHandler);
        CPLErrorReset();
    }
    ~QuietGdal() { CPLPopErrorHandler(); }
    QuietGdal(const QuietGdal&) = delete;
    QuietGdal& operator=(const QuietGdal&) = delete;

    static std::string lastMessage() {
        const char* msg = CPLGetLastErrorMsg();
        return msg && *msg ? std::string("（") + msg + "）" : std::string();
    }
};

OGRSpatialReference wgs84() {
    OGRSpatialReference srs;
    srs.importFromEPSG(4326);
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

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

OGRLinearRing ringOf(const Points& pts) {
    OGRLinearRing ring;
    for (const auto& p : pts)
        ring.addPoint(p.x, p.y);
    ring.closeRings();
    return ring;
}

// Rings that lie wholly inside a larger ring of the same region are its
// holes; any other ring is an island with a polygon of its own.
std::unique_ptr<OGRGeometry> regionGeometry(const Parts& rings) {
    const int n = rings.Count();
    std::vector<int> holeOf(static_cast<std::size_t>(n), -1);
    std::vector<double> area(static_cast<std::size_t>(n));
    std::vector<OGRLinearRing> ogrRings;
    for (int i = 0; i < n; ++i) {
        ogrRings.push_back(ringOf(rings.Item(i + 1)));
        area[static_cast<std::size_t>(i)] = ogrRings.back().get_Area();
    }
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            if (i == j || area[static_cast<std::size_t>(i)] <= area[static_cast<std::size_t>(j)]) continue;
            bool inside = true;
            for (const auto& p : rings.Item(j + 1)) {
                OGRPoint pt(p.x, p.y);
                if (!ogrRings[static_cast<std::size_t>(i)].isPointInRing(&pt, FALSE)) {
                    inside = false;
                    break;
                }
            }
            if (inside) {
                holeOf[static_cast<std::size_t>(j)] = i;
                break;
            }
        }
    auto multi = std::make_unique<OGRMultiPolygon>();
    for (int i = 0; i < n; ++i) {
        if (holeOf[static_cast<std::size_t>(i)] >= 0) continue;
        OGRPolygon polygon;
        polygon.addRing(&ogrRings[static_cast<std::size_t>(i)]);
        for (int j = 0; j < n; ++j)
            if (holeOf[static_cast<std::size_t>(j)] == i)
                polygon.addRing(&ogrRings[static_cast<std::size_t>(j)]);
        multi->addGeometry(&polygon);
    }
    if (multi->getNumGeometries() == 1)
        return std::unique_ptr<OGRGeometry>(multi->getGeometryRef(0)->clone());
    return multi;
}

std::unique_ptr<OGRGeometry> geometryOf(FeatureType type, const Parts& parts) {
    switch (type) {
    case FeatureType::Symbol: {
        const auto& p = parts.Item(1).Item(1);
        return std::make_unique<OGRPoint>(p.x, p.y);
    }
    case FeatureType::Line: {
        auto lineOf = [](const Points& pts) {
            auto line = std::make_unique<OGRLineString>();
            for (const auto& p : pts)
                line->addPoint(p.x, p.y);
            return line;
        };
        if (parts.Count() == 1) return lineOf(parts.Item(1));
        auto multi = std::make_unique<OGRMultiLineString>();
        for (const auto& part : parts)
            multi->addGeometryDirectly(lineOf(part).release());
        return multi;
    }
    case FeatureType::Region:
        return regionGeometry(parts);
    }
    return nullptr;
}

void removeStale(const std::filesystem::path& p) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(p, ec)) std::filesystem::remove(p, ec);
}

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw GisError("无法打开地图集文件：" + pathText(path));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeData(Map& map, const std::filesystem::path& file) {
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
    if (!driver) throw GisError("GDAL 缺少 GeoPackage 驱动");
    std::unique_ptr<GDALDataset> ds(driver->Create(pathText(file).c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!ds) throw GisError("无法创建图层数据文件：" + pathText(file) + QuietGdal::lastMessage());
    auto srs = wgs84();
    // One transaction for the whole file: ten times faster, and all or nothing.
    if (ds->StartTransaction() != OGRERR_NONE)
        throw GisError("无法开始写入图层数据：" + pathText(file) + QuietGdal::lastMessage());
    for (const auto& layer : map.Layers()) {
        char** options = nullptr;
        options = CSLSetNameValue(options, "GEOMETRY_NAME", "geom");
        options = CSLSetNameValue(options, "FID", "fid");
        OGRLayer* out = ds->CreateLayer(layer->Name().c_str(), &srs, wkbUnknown, options);
        CSLDestroy(options);
        if (!out) throw GisError("无法写入图层“" + layer->Name() + "”" + QuietGdal::lastMessage());
        for (const auto& column : layer->columns()) {
            OGRFieldDefn field(column.c_str(), OFTString);
            if (out->CreateField(&field) != OGRERR_NONE)
                throw GisError("无法写入图层“" + layer->Name() + "”的列“" + column + "”" +
                               QuietGdal::lastMessage());
        }
        OGRFieldDefn styleField(kStyleField, OFTString);
        if (out->CreateField(&styleField) != OGRERR_NONE)
            throw GisError("无法写入图层“" + layer->Name() + "”" + QuietGdal::lastMessage());
        const int styleIndex = out->GetLayerDefn()->GetFieldIndex(kStyleField);
        const auto& store = layer->store();
        for (FeatureStore::Slot s = 0; s < store.slotCount(); ++s) {
            if (!store.alive(s) || store.partCount(s) == 0) continue;
            OGRFeature feature(out->GetLayerDefn());
            for (std::size_t c = 0; c < layer->columns().size(); ++c)
                feature.SetField(static_cast<int>(c), store.value(s, c).c_str());
            if (!(store.style(s) == layer->defaultStyle()))
                feature.SetField(styleIndex, styleToText(store.style(s)).c_str());
            feature.SetGeometryDirectly(geometryOf(store.type(s), store.parts(s)).release());
            if (out->CreateFeature(&feature) != OGRERR_NONE)
                throw GisError("无法写入图层“" + layer->Name() + "”的要素" + QuietGdal::lastMessage());
        }
    }
    if (ds->CommitTransaction() != OGRERR_NONE)
        throw GisError("无法提交图层数据：" + pathText(file) + QuietGdal::lastMessage());
    ds.reset(); // closing flushes the file
    if (CPLGetLastErrorType() >= CE_Failure)
        throw GisError("写入图层数据失败：" + pathText(file) + QuietGdal::lastMessage());
}

void writeText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) throw GisError("无法写入地图集文件：" + pathText(file));
    out << text;
    out.flush();
    if (!out) throw GisError("写入地图集文件失败：" + pathText(file));
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
        pathText(source).c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
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
        if (!g) continue;
        if (toWgs84 && g->transform(toWgs84.get()) != OGRERR_NONE) continue;
        FeatureType type = FeatureType::Symbol;
        Parts parts;
        if (!convert(*g, type, parts)) continue;
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
    const Geoset geoset = parseGeoset(readText(gst));
    const auto base = gst.parent_path();
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
    QuietGdal quiet;
    const auto base = gst.parent_path();
    auto dataName = gst.stem();
    dataName += ".gpkg";
    const auto data = base / dataName;
    auto dataTmp = data;
    dataTmp += ".tmp";
    auto gstTmp = gst;
    gstTmp += ".tmp";

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

    removeStale(dataTmp);
    removeStale(gstTmp);
    try {
        writeData(map, dataTmp);
        writeText(gstTmp, formatGeoset(g));
        std::filesystem::rename(dataTmp, data);
        std::filesystem::rename(gstTmp, gst);
    } catch (const std::filesystem::filesystem_error& e) {
        removeStale(dataTmp);
        removeStale(gstTmp);
        throw GisError("无法保存地图集：" + pathText(gst) + "（" + e.code().message() + "）");
    } catch (...) {
        removeStale(dataTmp);
        removeStale(gstTmp);
        throw;
    }
    map.setTitle(g.title);
}

} // namespace ocable::gis
