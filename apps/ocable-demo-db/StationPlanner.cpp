#include "StationPlanner.h"

#include "Codes.h"
#include "Geo.h"
#include "PlaceNames.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_set>

namespace ocable::demo {

namespace {

const std::vector<std::string> kPlaces = {
    "人民路", "解放路", "建设路", "中山路", "文化路", "新华路", "花园路", "工业园", "开发区", "高新区",
    "火车站", "大学城", "东关",   "西关",   "南关",   "北关",   "城关",   "新村",   "南湖",   "北湖",
    "龙湖",   "滨河",   "金桥",   "长江路", "黄河路", "迎宾路", "光明路", "幸福路", "胜利路", "和平路",
    "红旗路", "朝阳路", "向阳路", "东风路", "五一路", "八一路", "公园路", "体育路", "电厂",   "机场",
    "港区",   "物流园", "科技园", "商务区", "新城",   "老城",   "东站",   "西站",   "南站",   "北站",
    "东郊",   "西郊",   "南郊",   "北郊",   "中心镇", "青年路", "纬一路", "经三路", "湖滨",   "桥西"};

const std::vector<std::string> kAccessRoles = {"接入站", "模块局", "基站", "端局", "光交接站"};
const std::vector<std::string> kAccessTypes = {codes::kAccess, codes::kModule, codes::kBaseStation,
                                               codes::kEndOffice, codes::kCrossConnect};

std::string padded(int n, int width) {
    std::string s = std::to_string(n);
    return std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(s.size()))), '0') + s;
}

std::string randomDate(Random& rng, int fromYear, int toYear) {
    return std::to_string(rng.range(fromYear, toYear)) + "-" + padded(rng.range(1, 12), 2) + "-" +
           padded(rng.range(1, 28), 2);
}

// Types of the variants that every class of the map must meet in the home province.
enum class Variant {
    Regular,
    AllTypesNull,
    AllNull,
    TerminalByThird,
    TerminalByResource,
    RelayByResource,
    RelayByThird,
    RelayBySecond
};

const std::vector<Variant> kForcedVariants = {
    Variant::AllTypesNull,    Variant::AllNull,      Variant::TerminalByThird, Variant::TerminalByResource,
    Variant::RelayByResource, Variant::RelayByThird, Variant::RelayBySecond};

void assignTypes(Station& s, Variant variant, std::size_t accessKind, Random& rng) {
    switch (s.role) {
    case Role::Hub:
        s.xType = rng.chance(0.8) ? codes::kHub : codes::kTerminal;
        if (*s.xType == codes::kHub) s.type2 = codes::kTerminal;
        s.resType = codes::kResTerminal;
        return;
    case Role::Centre: // both a terminal and a second-trunk relay
        s.xType = codes::kTerminal;
        s.type2 = codes::kSecondTrunkRelay;
        s.resType = codes::kResFirstTrunkRelay;
        return;
    case Role::Aggregation:
        if (rng.chance(0.5)) {
            s.xType = codes::kAggregation;
            s.type2 = codes::kSecondTrunkRelay;
        } else {
            s.xType = codes::kSecondTrunkRelay;
        }
        s.resType = codes::kResSecondTrunkRelay;
        return;
    case Role::Relay:
        s.xType = rng.chance(0.7) ? codes::kRelay : codes::kAmplifier;
        s.resType = codes::kResFirstTrunkRelay;
        return;
    case Role::Access:
        break;
    }
    s.xType = kAccessTypes[accessKind];
    const double r = rng.uniform();
    s.resType = r < 0.55   ? OptText(codes::kResAccessPoint)
                : r < 0.85 ? OptText(codes::kResBaseStation)
                : r < 0.95 ? OptText(codes::kResCustomer)
                           : std::nullopt;
    if (rng.chance(0.08)) s.type2 = codes::kAccess;
    if (variant == Variant::Regular) {
        const double v = rng.uniform();
        variant = v < 0.03    ? Variant::AllTypesNull
                  : v < 0.04  ? Variant::AllNull
                  : v < 0.05  ? Variant::TerminalByThird
                  : v < 0.06  ? Variant::TerminalByResource
                  : v < 0.07  ? Variant::RelayByResource
                  : v < 0.075 ? Variant::RelayByThird
                              : Variant::Regular;
    }
    switch (variant) {
    case Variant::Regular:
        break;
    case Variant::AllTypesNull: // legacy rows entered before the types existed
        s.xType = s.type2 = s.type3 = std::nullopt;
        s.resType = codes::kResAccessPoint;
        break;
    case Variant::AllNull:
        s.xType = s.type2 = s.type3 = s.resType = std::nullopt;
        break;
    case Variant::TerminalByThird:
        s.xType = codes::kEndOffice;
        s.type3 = codes::kTerminal;
        break;
    case Variant::TerminalByResource:
        s.resType = codes::kResTerminal;
        break;
    case Variant::RelayByResource:
        s.resType = codes::kResSecondTrunkRelay;
        break;
    case Variant::RelayByThird:
        s.type3 = codes::kSecondTrunkRelay;
        break;
    case Variant::RelayBySecond:
        s.type2 = codes::kSecondTrunkRelay;
        break;
    }
}

const char* roleName(Role role, Random& rng, std::size_t accessKind) {
    switch (role) {
    case Role::Hub:
        return "枢纽站";
    case Role::Centre:
        return "传输中心站";
    case Role::Aggregation:
        return "汇聚站";
    case Role::Relay:
        return rng.chance(0.7) ? "中继站" : "光放站";
    case Role::Access:
        return kAccessRoles[accessKind].c_str();
    }
    return "";
}

} // namespace

std::int64_t surveyedE8(double degrees, Random& rng) {
    int last = rng.range(11, 49);
    if (last % 10 == 0) ++last;
    return quantize(degrees, 6) + last;
}

void placeStations(const BaseMap& map, const std::vector<int>& perCity, Random& rng, Network& net) {
    net.cityStations.assign(map.cities.size(), {});
    std::unordered_set<std::string> names;
    std::size_t homeAccess = 0;
    std::map<std::string, int> serials; // per code prefix: county-level cities share theirs

    for (std::size_t ci = 0; ci < map.cities.size(); ++ci) {
        const int n = perCity[ci];
        if (n <= 0) continue;
        const City& city = map.cities[ci];
        const Province& province = map.provinceOf(city);
        const bool home = province.regionCode == kHomeProvince;
        const bool municipality = city.gbcode == province.gbcode;

        double nearest = 200;
        for (std::size_t cj = 0; cj < map.cities.size(); ++cj)
            if (cj != ci) nearest = std::min(nearest, distanceKm(city.seat, map.cities[cj].seat));
        const double radius = std::clamp(0.5 * nearest, 8.0, 60.0);
        const double spread = std::clamp(radius / 5, 1.5, 12.0);

        auto inside = [&](GeoPoint p) { return province.contains(p); };
        auto around = [&](GeoPoint centre, double sigma) {
            for (int attempt = 0; attempt < 30; ++attempt) {
                GeoPoint p = offsetKm(centre, rng.normal() * sigma, rng.normal() * sigma);
                if (inside(p)) return p;
            }
            return centre;
        };

        std::vector<District> districts = city.districts;
        if (districts.empty()) districts.push_back({city.name, city.gbcode});
        std::vector<GeoPoint> centres;
        for (std::size_t d = 0; d < districts.size(); ++d) {
            GeoPoint c = city.seat;
            for (int attempt = 0; d > 0 && attempt < 20; ++attempt) {
                const double r = radius * (0.25 + 0.75 * std::sqrt(rng.uniform()));
                const double angle = rng.uniform(0, 2 * std::numbers::pi);
                GeoPoint p = offsetKm(city.seat, r * std::cos(angle), r * std::sin(angle));
                if (inside(p)) {
                    c = p;
                    break;
                }
            }
            centres.push_back(c);
        }
        std::vector<double> districtWeights(districts.size(), 1.0);
        districtWeights[0] = 3.0;

        const int centreCount = n >= 40 ? 2 : n >= 6 ? 1 : 0;
        const int aggregationCount = n >= 4 ? std::max(1, n / 12) : 0;
        for (int k = 0; k < n; ++k) {
            Station s;
            s.city = ci;
            std::size_t district = 0;
            if (k == 0) {
                s.role = Role::Hub;
            } else if (k <= centreCount) {
                s.role = Role::Centre;
                district = static_cast<std::size_t>(k - 1) % districts.size();
            } else if (k <= centreCount + aggregationCount) {
                s.role = rng.chance(0.2) && k > centreCount + 1 ? Role::Relay : Role::Aggregation;
                district = static_cast<std::size_t>(k - centreCount - 1) % districts.size();
            } else {
                s.role = Role::Access;
                district = rng.weighted(districtWeights);
            }
            s.countyGb = districts[district].gbcode;
            if (s.role == Role::Hub)
                s.pos = around(city.seat, 0.3);
            else
                s.pos = around(centres[district], s.role == Role::Access ? spread : spread / 2);

            const bool surveyed = s.role == Role::Hub || s.role == Role::Centre || rng.chance(0.2);
            s.lngE8 = surveyed ? surveyedE8(s.pos.lng, rng) : quantize(s.pos.lng, 6);
            s.latE8 = surveyed ? surveyedE8(s.pos.lat, rng) : quantize(s.pos.lat, 6);
            if (!inside({fromE8(s.lngE8), fromE8(s.latE8)})) { // rounding crossed a border
                s.pos = centres[district];
                s.lngE8 = quantize(s.pos.lng, 6);
                s.latE8 = quantize(s.pos.lat, 6);
            }

            Variant variant = Variant::Regular;
            if (home && s.role == Role::Access) {
                if (homeAccess < kForcedVariants.size())
                    variant = kForcedVariants[homeAccess];
                else if (homeAccess < kForcedVariants.size() + 3)
                    s.hasCoordinates = false; // never surveyed
                ++homeAccess;
            } else if (s.role == Role::Access && rng.chance(0.002)) {
                s.hasCoordinates = false;
            }
            const std::size_t accessKind =
                static_cast<std::size_t>(rng.range(0, static_cast<int>(kAccessRoles.size()) - 1));
            assignTypes(s, variant, accessKind, rng);

            const std::string districtShort = districtShortName(districts[district].name, city.shortName);
            const std::string cityShort = city.shortName;
            const std::string role = roleName(s.role, rng, accessKind);
            std::string place = s.role == Role::Hub || s.role == Role::Centre ? "" : rng.pick(kPlaces);
            std::string base = cityShort + (districtShort == cityShort ? "" : districtShort) + place;
            std::string name = base + role;
            for (int number = 2; names.count(name); ++number)
                name = base + std::to_string(number) + "号" + role;
            names.insert(name);
            s.name = name;

            const std::string cityGb4 = city.gbcode.substr(0, 4);
            s.code = cityGb4 + "ST" + padded(++serials[cityGb4], 5);
            s.address = (municipality ? "" : province.name) + city.name +
                        (districts[district].name == city.name ? "" : districts[district].name) +
                        (place.empty() ? rng.pick(kPlaces) : place) + std::to_string(rng.range(1, 399)) +
                        "号";
            const double own = rng.uniform();
            s.property = own < 0.85 ? codes::kOwnBuilt : own < 0.95 ? codes::kOwnLeased : codes::kOwnShared;
            s.owner = province.shortName + "传输分公司";
            s.maintainer = cityShort + "传输维护中心";
            s.buildDate = randomDate(rng, s.role == Role::Access ? 2003 : 1995, 2021);
            const double st = rng.uniform();
            s.state = st < 0.95   ? codes::kStateInUse
                      : st < 0.98 ? codes::kStateBuilding
                                  : codes::kStateStopped;
            if (s.role == Role::Hub) s.remark = cityShort + "传输枢纽";

            net.cityStations[ci].push_back(net.stations.size());
            net.stations.push_back(std::move(s));
        }
    }

    // A few stations report alarms; the host's alarm handling keeps these up to date.
    const std::size_t alarmed = std::max<std::size_t>(6, net.stations.size() / 250);
    std::size_t given = 0;
    for (std::size_t tries = 0; given < alarmed && tries < alarmed * 20; ++tries) {
        Station& s =
            net.stations[static_cast<std::size_t>(rng.range(0, static_cast<int>(net.stations.size()) - 1))];
        if (!s.hasCoordinates || s.alarms[5] + s.alarms[6] + s.alarms[7] + s.alarms[8] + s.alarms[9] > 0)
            continue;
        const int severity = rng.range(0, 4);
        for (int k = severity; k < 5; ++k) {
            const int count = k == severity ? rng.range(1, 6) : (rng.chance(0.4) ? rng.range(1, 9) : 0);
            s.alarms[static_cast<std::size_t>(k) + 5] = count;
            s.alarms[static_cast<std::size_t>(k)] = rng.chance(0.5) ? count : rng.range(0, count);
        }
        ++given;
    }
}

} // namespace ocable::demo
