#include "BaseMap.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace ocable::demo {

bool ringContains(const GeoRing& ring, GeoPoint p) {
    bool inside = false;
    const std::size_t n = ring.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const GeoPoint& a = ring[i];
        const GeoPoint& b = ring[j];
        if ((a.lat > p.lat) != (b.lat > p.lat) &&
            p.lng < (b.lng - a.lng) * (p.lat - a.lat) / (b.lat - a.lat) + a.lng)
            inside = !inside;
    }
    return inside;
}

bool Province::contains(GeoPoint p) const {
    for (const GeoPolygon& poly : polygons) {
        if (p.lng < poly.minLng || p.lng > poly.maxLng || p.lat < poly.minLat || p.lat > poly.maxLat)
            continue;
        if (!ringContains(poly.outer, p)) continue;
        if (std::none_of(poly.holes.begin(), poly.holes.end(),
                         [&](const GeoRing& h) { return ringContains(h, p); }))
            return true;
    }
    return false;
}

const Province& BaseMap::provinceOf(const City& city) const {
    for (const Province& p : provinces)
        if (p.gbcode == city.provinceGb) return p;
    throw std::runtime_error("city " + city.name + " has no province");
}

const Province* BaseMap::provinceByRegion(const std::string& regionCode) const {
    for (const Province& p : provinces)
        if (p.regionCode == regionCode) return &p;
    return nullptr;
}

namespace {

namespace fs = std::filesystem;

std::vector<std::vector<std::string>> readCsv(const fs::path& path, std::size_t columns) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::vector<std::vector<std::string>> rows;
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        if (header) {
            header = false;
            continue;
        }
        if (line.empty()) continue;
        std::vector<std::string> fields;
        std::stringstream ss(line);
        std::string field;
        while (std::getline(ss, field, ','))
            fields.push_back(field);
        if (fields.size() != columns) throw std::runtime_error(path.string() + ": bad line: " + line);
        rows.push_back(std::move(fields));
    }
    return rows;
}

GeoRing toRing(const QJsonArray& coordinates) {
    GeoRing ring;
    ring.reserve(static_cast<std::size_t>(coordinates.size()));
    for (const QJsonValue& c : coordinates) {
        const QJsonArray xy = c.toArray();
        ring.push_back({xy.at(0).toDouble(), xy.at(1).toDouble()});
    }
    return ring;
}

} // namespace

BaseMap loadBaseMap(const fs::path& folder) {
    BaseMap map;
    const fs::path geojson = folder / "provinces.geojson";
    QFile file(QString::fromStdString(geojson.string()));
    if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + geojson.string());
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (doc.isNull()) throw std::runtime_error(geojson.string() + ": " + error.errorString().toStdString());
    for (const QJsonValue& f : doc.object()[QStringLiteral("features")].toArray()) {
        const QJsonObject props = f[QStringLiteral("properties")].toObject();
        Province p;
        p.name = props[QStringLiteral("name")].toString().toStdString();
        p.shortName = props[QStringLiteral("short_name")].toString().toStdString();
        p.gbcode = props[QStringLiteral("gbcode")].toString().toStdString();
        p.regionCode = props[QStringLiteral("code")].toString().toStdString();
        for (const QJsonValue& poly :
             f[QStringLiteral("geometry")][QStringLiteral("coordinates")].toArray()) {
            const QJsonArray rings = poly.toArray();
            GeoPolygon g;
            g.outer = toRing(rings.at(0).toArray());
            for (qsizetype r = 1; r < rings.size(); ++r)
                g.holes.push_back(toRing(rings.at(r).toArray()));
            g.minLng = g.maxLng = g.outer.front().lng;
            g.minLat = g.maxLat = g.outer.front().lat;
            for (const GeoPoint& q : g.outer) {
                g.minLng = std::min(g.minLng, q.lng);
                g.maxLng = std::max(g.maxLng, q.lng);
                g.minLat = std::min(g.minLat, q.lat);
                g.maxLat = std::max(g.maxLat, q.lat);
            }
            p.polygons.push_back(std::move(g));
        }
        map.provinces.push_back(std::move(p));
    }
    std::sort(map.provinces.begin(), map.provinces.end(),
              [](const Province& a, const Province& b) { return a.gbcode < b.gbcode; });

    std::map<std::string, std::size_t> cityIndex;
    for (auto& row : readCsv(folder / "cities.csv", 7)) {
        City c{row[0], row[1], row[2], row[3], row[4], {std::stod(row[5]), std::stod(row[6])}, {}};
        cityIndex[c.gbcode] = map.cities.size();
        map.cities.push_back(std::move(c));
    }
    for (auto& row : readCsv(folder / "districts.csv", 3)) {
        auto it = cityIndex.find(row[2]);
        if (it != cityIndex.end()) map.cities[it->second].districts.push_back({row[0], row[1]});
    }
    for (std::size_t i = 0; i < map.cities.size(); ++i) {
        auto p = std::find_if(map.provinces.begin(), map.provinces.end(),
                              [&](const Province& q) { return q.gbcode == map.cities[i].provinceGb; });
        if (p == map.provinces.end())
            throw std::runtime_error("city " + map.cities[i].name + " has no province polygon");
        p->cities.push_back(i);
    }
    if (map.provinces.empty() || map.cities.empty())
        throw std::runtime_error("base map in " + folder.string() + " is empty");
    return map;
}

} // namespace ocable::demo
