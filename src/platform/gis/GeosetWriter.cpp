#include "platform/gis/GeosetWriter.h"

#include "platform/gis/GeoPackageFormat.h"
#include "platform/gis/GisError.h"
#include "platform/gis/GisLog.h"
#include "platform/gis/Map.h"
#include "platform/gis/QuietGdal.h"

#include <QCoreApplication>
#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>

namespace ocable::gis {

namespace {

using gpkg::kStyleField;
using gpkg::pathText;
using gpkg::wgs84;

// ---- geometry of a snapshot feature ---------------------------------

OGRLinearRing ringOf(std::span<const Point> pts) {
    OGRLinearRing ring;
    ring.setNumPoints(static_cast<int>(pts.size()), FALSE);
    for (std::size_t i = 0; i < pts.size(); ++i)
        ring.setPoint(static_cast<int>(i), pts[i].x, pts[i].y);
    ring.closeRings();
    return ring;
}

// Rings that lie wholly inside a larger ring of the same region are its
// holes; any other ring is an island with a polygon of its own.
std::unique_ptr<OGRGeometry> regionGeometry(const LayerSnapshot& layer, std::size_t feature) {
    const std::size_t n = layer.partCount(feature);
    std::vector<int> holeOf(n, -1);
    std::vector<double> area(n);
    std::vector<OGRLinearRing> rings;
    rings.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        rings.push_back(ringOf(layer.part(feature, i)));
        area[i] = rings.back().get_Area();
    }
    for (std::size_t j = 0; j < n; ++j)
        for (std::size_t i = 0; i < n; ++i) {
            if (i == j || area[i] <= area[j]) continue;
            bool inside = true;
            for (const auto& p : layer.part(feature, j)) {
                OGRPoint pt(p.x, p.y);
                if (!rings[i].isPointInRing(&pt, FALSE)) {
                    inside = false;
                    break;
                }
            }
            if (inside) {
                holeOf[j] = static_cast<int>(i);
                break;
            }
        }
    auto multi = std::make_unique<OGRMultiPolygon>();
    for (std::size_t i = 0; i < n; ++i) {
        if (holeOf[i] >= 0) continue;
        OGRPolygon polygon;
        polygon.addRing(&rings[i]);
        for (std::size_t j = 0; j < n; ++j)
            if (holeOf[j] == static_cast<int>(i)) polygon.addRing(&rings[j]);
        multi->addGeometry(&polygon);
    }
    if (multi->getNumGeometries() == 1)
        return std::unique_ptr<OGRGeometry>(multi->getGeometryRef(0)->clone());
    return multi;
}

std::unique_ptr<OGRLineString> lineOf(std::span<const Point> pts) {
    auto line = std::make_unique<OGRLineString>();
    line->setNumPoints(static_cast<int>(pts.size()), FALSE);
    for (std::size_t i = 0; i < pts.size(); ++i)
        line->setPoint(static_cast<int>(i), pts[i].x, pts[i].y);
    return line;
}

std::unique_ptr<OGRGeometry> geometryOf(const LayerSnapshot& layer, std::size_t feature) {
    switch (layer.types[feature]) {
    case FeatureType::Symbol: {
        const Point& p = layer.part(feature, 0).front();
        return std::make_unique<OGRPoint>(p.x, p.y);
    }
    case FeatureType::Line: {
        const std::size_t parts = layer.partCount(feature);
        if (parts == 1) return lineOf(layer.part(feature, 0));
        auto multi = std::make_unique<OGRMultiLineString>();
        for (std::size_t i = 0; i < parts; ++i)
            multi->addGeometryDirectly(lineOf(layer.part(feature, i)).release());
        return multi;
    }
    case FeatureType::Region:
        return regionGeometry(layer, feature);
    }
    return nullptr;
}

// ---- files ------------------------------------------------------------

void removeStale(const std::filesystem::path& p) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(p, ec)) std::filesystem::remove(p, ec);
}

// Data that a power cut may still lose is not yet saved: each file and then
// the folder that names it go to the disk before the save counts as done.
void syncPath(const std::filesystem::path& p, bool folder) {
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC | (folder ? O_DIRECTORY : 0));
    if (fd < 0) throw GisError("无法打开以写入磁盘：" + pathText(p) + "（" + std::strerror(errno) + "）");
    const int rc = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (rc != 0) throw GisError("无法写入磁盘：" + pathText(p) + "（" + std::strerror(error) + "）");
}

void writeText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) throw GisError("无法写入地图集文件：" + pathText(file));
    out << text;
    out.flush();
    if (!out) throw GisError("写入地图集文件失败：" + pathText(file));
}

// GDAL's SQLite settings for a file it creates on this thread: no journal
// and no syncing on each commit, for the whole file is synced before it
// takes the old one's place, and a failed write only leaves a file aside.
class FastCreate {
public:
    FastCreate() {
        for (auto& [key, value, old] : options_) {
            if (const char* v = CPLGetThreadLocalConfigOption(key, nullptr)) old = v;
            CPLSetThreadLocalConfigOption(key, value);
        }
    }
    ~FastCreate() {
        for (auto& [key, value, old] : options_)
            CPLSetThreadLocalConfigOption(key, old ? old->c_str() : nullptr);
    }
    FastCreate(const FastCreate&) = delete;
    FastCreate& operator=(const FastCreate&) = delete;

private:
    struct Option {
        const char* key;
        const char* value;
        std::optional<std::string> old;
    };
    Option options_[2] = {{"OGR_SQLITE_SYNCHRONOUS", "OFF", {}}, {"OGR_SQLITE_JOURNAL", "OFF", {}}};
};

// Whether the data file can be made aside, told before the caller goes on:
// creating the GeoPackage itself takes a while and is left to the writer.
void probeCreate(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        throw GisError("无法创建图层数据文件：" + pathText(file) + "（" + std::strerror(errno) + "）");
    ::close(fd);
    ::unlink(file.c_str());
}

std::unique_ptr<GDALDataset> createData(const std::filesystem::path& file) {
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
    if (!driver) throw GisError("GDAL 缺少 GeoPackage 驱动");
    FastCreate fast;
    std::unique_ptr<GDALDataset> ds(driver->Create(pathText(file).c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!ds) throw GisError("无法创建图层数据文件：" + pathText(file) + QuietGdal::lastMessage());
    return ds;
}

void writeLayer(GDALDataset& ds, const LayerSnapshot& layer, OGRSpatialReference& srs) {
    char** options = nullptr;
    options = CSLSetNameValue(options, "GEOMETRY_NAME", "geom");
    options = CSLSetNameValue(options, "FID", "fid");
    OGRLayer* out = ds.CreateLayer(layer.name.c_str(), &srs, wkbUnknown, options);
    CSLDestroy(options);
    if (!out) throw GisError("无法写入图层“" + layer.name + "”" + QuietGdal::lastMessage());
    for (const auto& column : layer.columns) {
        OGRFieldDefn field(column.c_str(), OFTString);
        if (out->CreateField(&field) != OGRERR_NONE)
            throw GisError("无法写入图层“" + layer.name + "”的列“" + column + "”" + QuietGdal::lastMessage());
    }
    OGRFieldDefn styleField(kStyleField, OFTString);
    if (out->CreateField(&styleField) != OGRERR_NONE)
        throw GisError("无法写入图层“" + layer.name + "”" + QuietGdal::lastMessage());
    OGRFeatureDefn* defn = out->GetLayerDefn();
    const int styleIndex = defn->GetFieldIndex(kStyleField);
    std::vector<int> fieldOf;
    for (const auto& column : layer.columns)
        fieldOf.push_back(defn->GetFieldIndex(column.c_str()));

    OGRFeature feature(defn);
    std::string value;
    for (std::size_t f = 0; f < layer.featureCount(); ++f) {
        feature.SetFID(OGRNullFID);
        for (std::size_t c = 0; c < fieldOf.size(); ++c) {
            value.assign(layer.value(f, c));
            feature.SetField(fieldOf[c], value.c_str());
        }
        const std::string& style = layer.styleTexts[layer.styles[f]];
        if (style.empty())
            feature.SetFieldNull(styleIndex);
        else
            feature.SetField(styleIndex, style.c_str());
        feature.SetGeometryDirectly(geometryOf(layer, f).release());
        if (out->CreateFeature(&feature) != OGRERR_NONE)
            throw GisError("无法写入图层“" + layer.name + "”的要素" + QuietGdal::lastMessage());
    }
}

// Runs on the writer's thread: the layers into the data file aside, both
// files to the disk, then each over its old one, data first, so that the
// old geoset stays whole until the new one is.
void finishWrite(const GeosetWriter::Target& target, const std::filesystem::path& dataTmp,
                 const std::filesystem::path& gstTmp, const std::vector<LayerSnapshot>& layers) {
    QuietGdal quiet;
    auto ds = createData(dataTmp);
    auto srs = wgs84();
    // One transaction for the whole file: ten times faster, and all or nothing.
    if (ds->StartTransaction() != OGRERR_NONE)
        throw GisError("无法开始写入图层数据：" + pathText(dataTmp) + QuietGdal::lastMessage());
    for (const auto& layer : layers)
        writeLayer(*ds, layer, srs);
    if (ds->CommitTransaction() != OGRERR_NONE)
        throw GisError("无法提交图层数据：" + pathText(dataTmp) + QuietGdal::lastMessage());
    ds.reset(); // closing writes the spatial indexes and flushes the file
    if (CPLGetLastErrorType() >= CE_Failure)
        throw GisError("写入图层数据失败：" + pathText(dataTmp) + QuietGdal::lastMessage());
    syncPath(dataTmp, false);
    syncPath(gstTmp, false);
    try {
        std::filesystem::rename(dataTmp, target.data);
        std::filesystem::rename(gstTmp, target.gst);
    } catch (const std::filesystem::filesystem_error& e) {
        throw GisError("无法保存地图集：" + pathText(target.gst) + "（" + e.code().message() + "）");
    }
    syncPath(target.gst.parent_path().empty() ? "." : target.gst.parent_path(), true);
}

// GDAL and PROJ make part of their process-wide state on first use and
// register its end with the C++ runtime then; at exit, what was registered
// last ends first. One small write before the writer is made, on the
// caller's thread, makes that state older than the writer: the writer's end,
// which waits for a write under way, then comes before theirs.
void primeLibraries() noexcept {
    try {
        QuietGdal quiet;
        const std::filesystem::path scratch = "/vsimem/ocable-geoset-writer-prime.gpkg";
        LayerSnapshot layer;
        layer.name = "prime";
        layer.columns = {"c"};
        layer.styleTexts = {""};
        layer.types = {FeatureType::Symbol};
        layer.styles = {0};
        layer.firstPart = {0, 1};
        layer.partEnds = {1};
        layer.points = {Point(0, 0)};
        layer.texts = "x";
        layer.textEnds = {1};
        auto ds = createData(scratch);
        auto srs = wgs84();
        writeLayer(*ds, layer, srs);
        ds.reset();
        VSIUnlink(pathText(scratch).c_str());
    } catch (const std::exception& e) {
        qCWarning(lcGis, "地图集写入前的准备未完成：%s", e.what());
    }
}

std::filesystem::path aside(const std::filesystem::path& p) {
    auto t = p;
    t += ".tmp";
    return t;
}

} // namespace

std::span<const Point> LayerSnapshot::part(std::size_t feature, std::size_t index) const {
    const std::size_t p = firstPart[feature] + index;
    const std::uint32_t begin = p == 0 ? 0 : partEnds[p - 1];
    return {points.data() + begin, partEnds[p] - begin};
}

std::vector<LayerSnapshot> snapshotLayers(const Map& map) {
    std::vector<LayerSnapshot> out;
    for (const auto& layer : map.Layers()) {
        LayerSnapshot s;
        s.name = layer->Name();
        s.columns = layer->columns();
        const FeatureStore& store = layer->store();
        for (const Style& style : store.styles())
            s.styleTexts.push_back(style == layer->defaultStyle() ? std::string() : styleToText(style));
        const std::size_t live = store.size();
        s.types.reserve(live);
        s.styles.reserve(live);
        s.firstPart.reserve(live + 1);
        s.partEnds.reserve(live);
        s.textEnds.reserve(live * s.columns.size());
        std::size_t textBytes = 0, pointCount = 0;
        for (FeatureStore::Slot slot = 0; slot < store.slotCount(); ++slot) {
            if (!store.alive(slot)) continue;
            pointCount += store.allPoints(slot).size();
            for (std::size_t c = 0; c < s.columns.size(); ++c)
                textBytes += store.value(slot, c).size();
        }
        s.texts.reserve(textBytes);
        s.points.reserve(pointCount);
        for (FeatureStore::Slot slot = 0; slot < store.slotCount(); ++slot) {
            if (!store.alive(slot)) continue;
            const int parts = store.partCount(slot);
            if (parts == 0) continue;
            s.types.push_back(store.type(slot));
            s.styles.push_back(store.styleIndex(slot));
            for (int i = 0; i < parts; ++i) {
                const auto pts = store.part(slot, i);
                s.points.insert(s.points.end(), pts.begin(), pts.end());
                s.partEnds.push_back(static_cast<std::uint32_t>(s.points.size()));
            }
            s.firstPart.push_back(static_cast<std::uint32_t>(s.partEnds.size()));
            for (std::size_t c = 0; c < s.columns.size(); ++c) {
                s.texts += store.value(slot, c);
                s.textEnds.push_back(s.texts.size());
            }
        }
        out.push_back(std::move(s));
    }
    return out;
}

GeosetWriter& GeosetWriter::instance() {
    [[maybe_unused]] static const bool primed = (primeLibraries(), true);
    static GeosetWriter writer;
    return writer;
}

GeosetWriter::GeosetWriter() {
    // A Qt program ends its application object before the C++ runtime ends
    // anything: the wait comes first there, while Qt can still log a failure.
    qAddPostRoutine([] { instance().finish(); });
}

GeosetWriter::~GeosetWriter() {
    finish();
}

void GeosetWriter::start(const Target& target, std::vector<LayerSnapshot> layers,
                         const std::string& geosetText) {
    finish();
    std::lock_guard lock(mutex_);
    const auto dataTmp = aside(target.data), gstTmp = aside(target.gst);
    removeStale(dataTmp);
    removeStale(gstTmp);
    try {
        probeCreate(dataTmp);
        writeText(gstTmp, geosetText);
    } catch (...) {
        removeStale(gstTmp);
        throw;
    }
    failure_ = nullptr;
    thread_ = std::thread([this, target, dataTmp, gstTmp, layers = std::move(layers)] {
        try {
            finishWrite(target, dataTmp, gstTmp, layers);
        } catch (const std::exception& e) {
            removeStale(dataTmp);
            removeStale(gstTmp);
            qCWarning(lcGis, "地图集未保存：%s", e.what());
            failure_ = std::current_exception();
        } catch (...) {
            removeStale(dataTmp);
            removeStale(gstTmp);
            qCWarning(lcGis, "地图集未保存：%s", pathText(target.gst).c_str());
            failure_ = std::make_exception_ptr(GisError("无法保存地图集：" + pathText(target.gst)));
        }
    });
}

void GeosetWriter::wait() {
    std::lock_guard lock(mutex_);
    if (thread_.joinable()) thread_.join();
    if (auto failure = std::exchange(failure_, nullptr)) std::rethrow_exception(failure);
}

void GeosetWriter::finish() noexcept {
    std::lock_guard lock(mutex_);
    if (thread_.joinable()) thread_.join();
    failure_ = nullptr;
}

} // namespace ocable::gis
