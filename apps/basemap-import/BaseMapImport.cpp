#include "BaseMapImport.h"

#include "GeoJsonWriter.h"
#include "RingAssembly.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

namespace ocable::basemap {

namespace {

namespace fs = std::filesystem;

QJsonDocument readJson(const fs::path& path) {
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + path.string());
    QJsonParseError error;
    QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (doc.isNull()) throw std::runtime_error(path.string() + ": " + error.errorString().toStdString());
    return doc;
}

void writeFile(const fs::path& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.string());
}

struct Place {
    QString code;
    QString name;
};

// GB code -> official name, from one of the package's dist lists.
std::map<QString, QString> readPlaceList(const fs::path& path) {
    std::map<QString, QString> places;
    const QJsonArray rows = readJson(path).array();
    for (const QJsonValue& row : rows)
        places[row[QStringLiteral("code")].toString()] = row[QStringLiteral("name")].toString();
    return places;
}

std::pair<std::int64_t, std::int64_t> offsetPair(const QJsonValue& v) {
    const QJsonArray a = v.toArray();
    if (a.size() != 2) throw std::runtime_error("echarts encodeOffsets entry is not a pair");
    return {a[0].toInteger(), a[1].toInteger()};
}

// All rings of one echarts geometry, decoded, whatever its nesting.
std::vector<Ring> geometryRings(const QJsonObject& geometry) {
    const QString type = geometry[QStringLiteral("type")].toString();
    const QJsonArray coordinates = geometry[QStringLiteral("coordinates")].toArray();
    const QJsonArray offsets = geometry[QStringLiteral("encodeOffsets")].toArray();
    std::vector<Ring> rings;
    auto addPolygon = [&](const QJsonArray& ringTexts, const QJsonArray& ringOffsets) {
        for (qsizetype r = 0; r < ringTexts.size(); ++r) {
            const auto [x, y] = offsetPair(ringOffsets.at(r));
            rings.push_back(decodeEchartsRing(ringTexts.at(r).toString(), x, y));
        }
    };
    if (type == u"Polygon") {
        addPolygon(coordinates, offsets);
    } else if (type == u"MultiPolygon") {
        for (qsizetype p = 0; p < coordinates.size(); ++p)
            addPolygon(coordinates.at(p).toArray(), offsets.at(p).toArray());
    } else {
        throw std::runtime_error("unexpected echarts geometry type " + type.toStdString());
    }
    return rings;
}

struct CleanResult {
    std::vector<Polygon> polygons;
    int holes = 0;
    int vertices = 0;
};

CleanResult cleanPolygons(const std::vector<Polygon>& raw, int decimals) {
    CleanResult result;
    for (const Polygon& p : raw) {
        Polygon clean{cleanRing(p.outer, decimals, true), {}};
        if (clean.outer.empty()) continue;
        for (const Ring& hole : p.holes) {
            Ring h = cleanRing(hole, decimals, false);
            if (!h.empty()) clean.holes.push_back(std::move(h));
        }
        result.holes += static_cast<int>(clean.holes.size());
        result.vertices += static_cast<int>(clean.outer.size()) - 1;
        for (const Ring& h : clean.holes)
            result.vertices += static_cast<int>(h.size()) - 1;
        result.polygons.push_back(std::move(clean));
    }
    return result;
}

bool polygonsContain(const std::vector<Polygon>& polygons, LngLat p) {
    for (const Polygon& poly : polygons) {
        if (!ringContains(poly.outer, p)) continue;
        if (std::none_of(poly.holes.begin(), poly.holes.end(),
                         [&](const Ring& h) { return ringContains(h, p); }))
            return true;
    }
    return false;
}

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString provinceOf(const QString& gbcode) {
    return gbcode.left(2) + QStringLiteral("0000");
}

struct City {
    QString gbcode;
    QString name;
    QString shortName;
    double lng = 0;
    double lat = 0;
    QString regionCode;
};

} // namespace

ImportSummary importBaseMap(const ImportOptions& options) {
    ImportSummary summary;
    const fs::path mapDir = options.echartsDir / "map" / "json";
    const fs::path distDir = options.pccDir / "dist";

    const std::map<QString, QString> gbProvinces = readPlaceList(distDir / "province.json");
    const std::map<QString, QString> gbCities = readPlaceList(distDir / "city.json");
    const std::map<QString, QString> gbAreas = readPlaceList(distDir / "area.json");

    std::map<QString, QString> provinceRegion; // GB code -> XZ01nn, in GB order
    for (const auto& [code, name] : gbProvinces)
        provinceRegion[code] =
            QStringLiteral("XZ01") + twoDigits(static_cast<int>(provinceRegion.size()) + 1);

    // Provinces.
    std::map<QString, std::pair<GeoFeature, std::vector<Polygon>>> provinces; // by GB code
    for (const QJsonValue& f :
         readJson(mapDir / "china.json").object()[QStringLiteral("features")].toArray()) {
        const QJsonObject feature = f.toObject();
        const QString id = feature[QStringLiteral("id")].toString();
        const QString shortName = feature[QStringLiteral("properties")][QStringLiteral("name")].toString();
        const auto gb = gbProvinces.find(id);
        if (gb == gbProvinces.end()) {
            summary.notes.push_back("province " + id.toStdString() + " " + shortName.toStdString() +
                                    " has no GB/T 2260 entry; left out");
            continue;
        }
        CleanResult clean =
            cleanPolygons(assemblePolygons(geometryRings(feature[QStringLiteral("geometry")].toObject())),
                          options.decimals);
        summary.polygons += static_cast<int>(clean.polygons.size());
        summary.holes += clean.holes;
        summary.vertices += clean.vertices;
        GeoFeature out{{{QStringLiteral("name"), gb->second},
                        {QStringLiteral("short_name"), shortName},
                        {QStringLiteral("gbcode"), id},
                        {QStringLiteral("code"), provinceRegion.at(id)}},
                       clean.polygons};
        provinces[id] = {std::move(out), std::move(clean.polygons)};
    }
    std::vector<GeoFeature> provinceFeatures;
    for (auto& [code, entry] : provinces)
        provinceFeatures.push_back(entry.first);
    summary.provinces = static_cast<int>(provinceFeatures.size());
    writeFile(options.outDir / "provinces.geojson",
              featureCollectionJson(provinceFeatures, options.decimals));

    // National outline.
    std::vector<GeoFeature> outline;
    for (const QJsonValue& f :
         readJson(mapDir / "china-contour.json").object()[QStringLiteral("features")].toArray()) {
        const QJsonObject feature = f.toObject();
        CleanResult clean =
            cleanPolygons(assemblePolygons(geometryRings(feature[QStringLiteral("geometry")].toObject())),
                          options.decimals);
        outline.push_back({{{QStringLiteral("name"),
                             feature[QStringLiteral("properties")][QStringLiteral("name")].toString()}},
                           std::move(clean.polygons)});
    }
    writeFile(options.outDir / "china-outline.geojson", featureCollectionJson(outline, options.decimals));

    // City seats. Some echarts codes predate later reorganisations: a code the
    // lists do not know is matched by name to a city of the same province that
    // no other seat claims.
    const QJsonArray cityFeatures =
        readJson(mapDir / "china-cities.json").object()[QStringLiteral("features")].toArray();
    std::set<QString> claimed;
    for (const QJsonValue& f : cityFeatures)
        claimed.insert(f[QStringLiteral("id")].toString());
    std::map<QString, City> cities; // by GB code
    for (const QJsonValue& f : cityFeatures) {
        const QJsonObject feature = f.toObject();
        QString id = feature[QStringLiteral("id")].toString();
        const QJsonObject props = feature[QStringLiteral("properties")].toObject();
        const QString shortName = props[QStringLiteral("name")].toString();
        QString name;
        if (auto it = gbCities.find(id); it != gbCities.end())
            name = it->second;
        else if (auto ia = gbAreas.find(id); ia != gbAreas.end())
            name = ia->second;
        else if (auto ip = gbProvinces.find(id); ip != gbProvinces.end())
            name = ip->second;
        else {
            for (const auto& [code, cityName] : gbCities) {
                if (code.left(2) == id.left(2) && !claimed.count(code) && cityName.startsWith(shortName)) {
                    summary.notes.push_back("city " + shortName.toStdString() + " recoded " +
                                            id.toStdString() + " -> " + code.toStdString());
                    id = code;
                    name = cityName;
                    claimed.insert(code);
                    break;
                }
            }
            if (name.isEmpty()) {
                summary.notes.push_back("city " + shortName.toStdString() + " (" + id.toStdString() +
                                        ") is no longer a city; left out");
                continue;
            }
        }
        const QJsonArray cp = props[QStringLiteral("cp")].toArray();
        cities[id] = {id, name, shortName, cp.at(0).toDouble(), cp.at(1).toDouble(), {}};
    }
    std::map<QString, int> rankInProvince;
    QByteArray cityCsv = "name,short_name,gbcode,province_gbcode,code,lng,lat\n";
    for (auto& [code, city] : cities) {
        const QString province = provinceOf(code);
        if (!provinceRegion.count(province)) {
            summary.notes.push_back("city " + code.toStdString() + " has no province; left out");
            continue;
        }
        city.regionCode = provinceRegion.at(province) + twoDigits(++rankInProvince[province]);
        if (auto p = provinces.find(province);
            p != provinces.end() && !polygonsContain(p->second.second, {city.lng, city.lat}))
            summary.notes.push_back("seat of " + city.name.toStdString() +
                                    " lies outside its province polygon");
        cityCsv += (QStringList{city.name, city.shortName, code, province, city.regionCode,
                                coordinateText(city.lng, 6), coordinateText(city.lat, 6)}
                        .join(u',') +
                    u'\n')
                       .toUtf8();
        ++summary.cities;
    }
    writeFile(options.outDir / "cities.csv", cityCsv);

    // Districts, to name stations after the places they stand in.
    QByteArray districtCsv = "name,gbcode,city_gbcode\n";
    for (const auto& [code, name] : gbAreas) {
        if (cities.count(code) || name == u"市辖区")
            continue; // a county-level city under its province is a city of its own; 市辖区 is no place
        QString parent = code.left(4) + QStringLiteral("00");
        if (!cities.count(parent)) parent = provinceOf(code);
        if (!cities.count(parent)) continue;
        districtCsv += (QStringList{name, code, parent}.join(u',') + u'\n').toUtf8();
        ++summary.districts;
    }
    writeFile(options.outDir / "districts.csv", districtCsv);
    return summary;
}

} // namespace ocable::basemap
