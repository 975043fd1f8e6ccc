#include "CablePlanner.h"

#include "Codes.h"
#include "Geo.h"
#include "SpatialGrid.h"
#include "StationPlanner.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <set>

namespace ocable::demo {

namespace {

std::string padded(int n, int width) {
    std::string s = std::to_string(n);
    return std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(s.size()))), '0') + s;
}

class CableBuilder {
public:
    CableBuilder(const BaseMap& map, Random& rng, Network& net) : map_(map), rng_(rng), net_(net) {}

    bool linked(std::size_t a, std::size_t b) const { return links_.count(std::minmax(a, b)) > 0; }

    // Adds `size` parallel segments between a and z; every second one is
    // stored from z to a.
    void addGroup(std::size_t a, std::size_t z, CableKind kind, int size) {
        links_.insert(std::minmax(a, z));
        const int group = size > 1 ? groups_++ : -1;
        for (int m = 0; m < size; ++m) {
            const bool reversed = m % 2 == 1;
            add(reversed ? z : a, reversed ? a : z, kind, group);
        }
    }

    void addLink(std::size_t a, std::size_t z, CableKind kind) { addGroup(a, z, kind, 1); }

private:
    void add(std::size_t a, std::size_t z, CableKind kind, int group) {
        Cable c;
        c.a = a;
        c.z = z;
        c.kind = kind;
        c.group = group;
        const Station& sa = net_.stations[a];
        const std::string& cityGb = map_.cities[sa.city].gbcode;
        const std::string prefix = kind == CableKind::FirstTrunk    ? "0000"
                                   : kind == CableKind::SecondTrunk ? cityGb.substr(0, 2) + "00"
                                                                    : cityGb.substr(0, 4);
        c.code = prefix + "OC" + padded(++serials_[prefix], 6);
        c.name = sa.name + (rng_.chance(0.15) ? "－" : "-") + net_.stations[z].name;
        net_.stations[a].cables.push_back(net_.cables.size());
        net_.stations[z].cables.push_back(net_.cables.size());
        net_.cables.push_back(std::move(c));
    }

    const BaseMap& map_;
    Random& rng_;
    Network& net_;
    std::set<std::pair<std::size_t, std::size_t>> links_;
    std::map<std::string, int> serials_;
    int groups_ = 0;
};

// Planar position of a station in km around an origin.
std::pair<double, double> planar(GeoPoint origin, GeoPoint p) {
    const double kx = 111.320 * std::cos(origin.lat * std::numbers::pi / 180.0);
    return {(p.lng - origin.lng) * kx, (p.lat - origin.lat) * 110.574};
}

void layCity(const City& city, const std::vector<std::size_t>& members, CableBuilder& builder, Random& rng,
             Network& net) {
    const std::size_t n = members.size();
    if (n < 2) return;
    std::vector<std::pair<double, double>> xy;
    double maxR = 1;
    for (std::size_t id : members) {
        xy.push_back(planar(city.seat, net.stations[id].pos));
        maxR = std::max(maxR, std::hypot(xy.back().first, xy.back().second));
    }
    SpatialGrid grid(std::max(0.5, maxR / std::sqrt(static_cast<double>(n))));
    auto kindOf = [&](std::size_t a, std::size_t b) {
        const bool coreA = net.stations[a].role != Role::Access;
        const bool coreB = net.stations[b].role != Role::Access;
        return coreA && coreB ? CableKind::LocalCore : CableKind::Access;
    };
    grid.insert(0, xy[0].first, xy[0].second);
    for (std::size_t i = 1; i < n; ++i) {
        const auto j = grid.nearest(xy[i].first, xy[i].second, [](std::size_t) { return true; });
        const std::size_t a = members[static_cast<std::size_t>(j)];
        builder.addLink(a, members[i], kindOf(a, members[i]));
        grid.insert(i, xy[i].first, xy[i].second);
    }
    // Cross links turn the tree into a mesh, as protection routes would.
    for (std::size_t i = 0; i < n; ++i) {
        if (!rng.chance(0.5)) continue;
        const auto near = grid.nearestK(xy[i].first, xy[i].second, 1, [&](std::size_t j) {
            return j != i && !builder.linked(members[i], members[j]);
        });
        if (!near.empty())
            builder.addLink(members[near.front()], members[i], kindOf(members[near.front()], members[i]));
    }
}

// Minimum spanning tree (Prim) over points, then each point's second
// nearest neighbour with the given chance.
std::vector<std::pair<std::size_t, std::size_t>>
trunkPlan(const std::vector<GeoPoint>& pts, double extraChance, double extraLimitKm, Random& rng) {
    std::vector<std::pair<std::size_t, std::size_t>> edges;
    const std::size_t n = pts.size();
    if (n < 2) return edges;
    std::vector<bool> in(n, false);
    std::vector<double> dist(n, 1e18);
    std::vector<std::size_t> from(n, 0);
    dist[0] = 0;
    for (std::size_t step = 0; step < n; ++step) {
        std::size_t u = n;
        for (std::size_t v = 0; v < n; ++v)
            if (!in[v] && (u == n || dist[v] < dist[u])) u = v;
        in[u] = true;
        if (step > 0) edges.push_back({from[u], u});
        for (std::size_t v = 0; v < n; ++v) {
            const double d = distanceKm(pts[u], pts[v]);
            if (!in[v] && d < dist[v]) {
                dist[v] = d;
                from[v] = u;
            }
        }
    }
    std::set<std::pair<std::size_t, std::size_t>> have;
    for (auto e : edges)
        have.insert(std::minmax(e.first, e.second));
    for (std::size_t u = 0; u < n; ++u) {
        std::vector<std::pair<double, std::size_t>> byDistance;
        for (std::size_t v = 0; v < n; ++v)
            if (v != u) byDistance.push_back({distanceKm(pts[u], pts[v]), v});
        std::sort(byDistance.begin(), byDistance.end());
        for (std::size_t k = 0; k < std::min<std::size_t>(2, byDistance.size()); ++k) {
            const std::size_t v = byDistance[k].second;
            if (byDistance[k].first < extraLimitKm && !have.count(std::minmax(u, v)) &&
                rng.chance(extraChance)) {
                have.insert(std::minmax(u, v));
                edges.push_back({u, v});
            }
        }
    }
    return edges;
}

OptText pickLayMode(CableKind kind, Random& rng) {
    const auto& family = rng.chance(0.65) ? codes::kLayModesOld : codes::kLayModesNew;
    // Weights of 架空, 管道, 直埋, 水底, 墙壁/局内, 其它; then "", outside the table, null.
    std::vector<double> w;
    switch (kind) {
    case CableKind::FirstTrunk:
    case CableKind::SecondTrunk:
        w = {15, 35, 45, 2, 0, 3, 0, 0, 0};
        break;
    case CableKind::LocalCore:
        w = {30, 55, 10, 0, 3, 2, 0.5, 0.5, 0.5};
        break;
    case CableKind::Access:
        w = {40, 40, 7, 0.5, 5, 3, 2, 1.5, 1.5};
        break;
    }
    const std::size_t i = rng.weighted(w);
    if (i < 6) return family[i];
    if (i == 6) return std::string();
    if (i == 7) return &family == &codes::kLayModesOld ? codes::kLayTunnel : codes::kLayBridge;
    return std::nullopt;
}

void assignAttributes(const BaseMap& map, Cable& c, Random& rng, Network& net) {
    const Station& a = net.stations[c.a];
    const Station& z = net.stations[c.z];
    const City& city = map.cities[a.city];
    const Province& province = map.provinceOf(city);
    double factor = 1.3;
    switch (c.kind) {
    case CableKind::FirstTrunk:
        c.resLevel = codes::kLevelFirstTrunk;
        c.sysLevel = codes::kSysFirstTrunk;
        factor = rng.uniform(1.15, 1.35);
        c.fiberNum = rng.chance(0.5) ? 96 : 144;
        c.fiberType = rng.chance(0.6) ? codes::kFiberG655 : codes::kFiberG652;
        c.owner = "一干传输中心";
        c.project = std::to_string(rng.range(1998, 2016)) + "年一干光缆工程";
        break;
    case CableKind::SecondTrunk:
        c.resLevel = rng.chance(0.8) ? codes::kLevelSecondTrunk : codes::kSysSecondTrunk;
        c.sysLevel = codes::kSysSecondTrunk;
        factor = rng.uniform(1.12, 1.4);
        c.fiberNum = rng.chance(0.5) ? 48 : 96;
        c.fiberType = rng.chance(0.3) ? codes::kFiberG655 : codes::kFiberG652;
        c.owner = province.shortName + "传输分公司";
        c.project = std::to_string(rng.range(2000, 2019)) + "年" + province.shortName + "二干光缆工程";
        break;
    case CableKind::LocalCore: {
        const double r = rng.uniform();
        c.resLevel = r < 0.84   ? codes::kLevelLocal
                     : r < 0.99 ? codes::kSysLocalCore
                                : codes::kLevelAccessCable;
        c.sysLevel = codes::kSysLocalCore;
        factor = rng.uniform(1.2, 1.7);
        c.fiberNum = rng.chance(0.5) ? 24 : 48;
        break;
    }
    case CableKind::Access: {
        const double r = rng.uniform();
        c.resLevel = r < 0.55    ? OptText(codes::kLevelLocal)
                     : r < 0.82  ? OptText(codes::kSysLocalAggregation)
                     : r < 0.985 ? OptText(codes::kSysLocalAccess)
                     : r < 0.995 ? OptText(codes::kLevelAccessCable)
                                 : std::nullopt;
        const double s = rng.uniform();
        c.sysLevel = s < 0.6    ? OptText(codes::kSysLocalAggregation)
                     : s < 0.95 ? OptText(codes::kSysLocalAccess)
                                : std::nullopt;
        factor = rng.uniform(1.2, 1.7);
        c.fiberNum = rng.chance(0.6) ? 12 : 24;
        break;
    }
    }
    if (c.kind == CableKind::LocalCore || c.kind == CableKind::Access) {
        const double t = rng.uniform();
        c.fiberType = t < 0.85 ? codes::kFiberG652 : t < 0.95 ? codes::kFiberG657 : codes::kFiberG655;
        c.owner = city.shortName + "分公司";
        c.project = std::to_string(rng.range(2003, 2021)) + "年" + city.shortName + "本地传输网光缆工程";
    }
    c.layMode = pickLayMode(c.kind, rng);
    if (!rng.chance(0.015)) {
        const double km = geodesicKm(a.pos, z.pos) * factor;
        c.length = std::round(std::max(km, 0.05) * 1000) / 1000;
    }
    c.maintainer = map.cities[z.city].shortName + "传输维护中心";
    const double own = rng.uniform();
    c.property = own < 0.85 ? codes::kOwnBuilt : own < 0.95 ? codes::kOwnLeased : codes::kOwnShared;
    c.buildDate = std::to_string(rng.range(1995, 2021)) + "-" + padded(rng.range(1, 12), 2) + "-" +
                  padded(rng.range(1, 28), 2);
    const double st = rng.uniform();
    c.state = st < 0.96 ? codes::kStateInUse : st < 0.98 ? codes::kStateBuilding : codes::kStateStopped;
}

// Gives each required value of a field to one cable of the pool when no
// cable carries it yet, taking only cables whose own value occurs elsewhere.
void ensureValues(Network& net, const std::vector<std::size_t>& pool, std::size_t& next,
                  const std::function<OptText&(Cable&)>& field, const std::vector<OptText>& required) {
    std::map<OptText, int> counts;
    for (Cable& c : net.cables)
        ++counts[field(c)];
    for (const OptText& value : required) {
        while (counts[value] == 0 && next < pool.size()) {
            Cable& c = net.cables[pool[next++]];
            if (counts[field(c)] < 2) continue;
            --counts[field(c)];
            field(c) = value;
            ++counts[value];
        }
    }
}

} // namespace

void planCables(const BaseMap& map, Random& rng, Network& net) {
    CableBuilder builder(map, rng, net);

    for (std::size_t ci = 0; ci < map.cities.size(); ++ci)
        layCity(map.cities[ci], net.cityStations[ci], builder, rng, net);

    // Second trunk: the hubs of a province's cities.
    bool homeTrunkForced = false;
    for (const Province& p : map.provinces) {
        std::vector<std::size_t> hubs;
        std::vector<GeoPoint> pts;
        for (std::size_t c : p.cities)
            if (!net.cityStations[c].empty()) {
                hubs.push_back(net.cityStations[c].front());
                pts.push_back(net.stations[hubs.back()].pos);
            }
        for (auto [u, v] : trunkPlan(pts, 0.35, 400, rng)) {
            int size = rng.chance(0.7) ? 1 : rng.chance(0.75) ? 2 : 3;
            if (p.regionCode == kHomeProvince && !homeTrunkForced) {
                size = 2;
                homeTrunkForced = true;
            }
            builder.addGroup(hubs[u], hubs[v], CableKind::SecondTrunk, size);
        }
    }

    // First trunk: the capitals' hubs.
    std::vector<std::size_t> capitals;
    std::vector<GeoPoint> pts;
    for (const Province& p : map.provinces) {
        if (p.cities.empty() || net.cityStations[p.cities.front()].empty()) continue;
        capitals.push_back(net.cityStations[p.cities.front()].front());
        pts.push_back(net.stations[capitals.back()].pos);
    }
    const std::size_t firstTrunkStart = net.cables.size();
    std::vector<int> forcedSizes = {4, 3, 2};
    for (auto [u, v] : trunkPlan(pts, 0.5, 1300, rng)) {
        const double r = rng.uniform();
        int size = r < 0.35 ? 1 : r < 0.65 ? 2 : r < 0.9 ? 3 : 4;
        if (!forcedSizes.empty()) {
            size = forcedSizes.back();
            forcedSizes.pop_back();
        }
        builder.addGroup(capitals[u], capitals[v], CableKind::FirstTrunk, size);
    }

    for (Cable& c : net.cables)
        assignAttributes(map, c, rng, net);

    // The three-segment first-trunk group: its later members were surveyed at
    // their ends, a few 1e-8 degrees from the stations' own coordinates, and
    // the last was recorded without a length.
    std::map<int, std::vector<std::size_t>> groups;
    for (std::size_t i = firstTrunkStart; i < net.cables.size(); ++i)
        if (net.cables[i].group >= 0) groups[net.cables[i].group].push_back(i);
    for (auto& [group, members] : groups) {
        if (members.size() != 3) continue;
        for (std::size_t m = 1; m < members.size(); ++m) {
            Cable& c = net.cables[members[m]];
            const Station& a = net.stations[c.a];
            const Station& z = net.stations[c.z];
            auto shift = [&](std::int64_t e8) {
                std::int64_t v = e8 + rng.range(1, 40);
                return v % 10 == 0 ? v + 1 : v;
            };
            c.surveyed = true;
            c.lngAE8 = shift(a.lngE8);
            c.latAE8 = shift(a.latE8);
            c.lngZE8 = shift(z.lngE8);
            c.latZE8 = shift(z.latE8);
            c.remark = "端点坐标为竣工测量值";
        }
        net.cables[members.back()].length.reset();
        break;
    }

    // Every level and lay mode the map tells apart occurs, at any scale.
    std::vector<std::size_t> corePool, accessPool;
    for (std::size_t i = 0; i < net.cables.size(); ++i) {
        const Cable& c = net.cables[i];
        if (map.cities[net.stations[c.a].city].regionCode.rfind(kHomeProvince, 0) != 0) continue;
        if (c.kind == CableKind::LocalCore)
            corePool.push_back(i);
        else if (c.kind == CableKind::Access)
            accessPool.push_back(i);
    }
    std::size_t nextCore = 0, nextAccess = 0;
    auto resLevel = [](Cable& c) -> OptText& { return c.resLevel; };
    auto sysLevel = [](Cable& c) -> OptText& { return c.sysLevel; };
    auto layMode = [](Cable& c) -> OptText& { return c.layMode; };
    ensureValues(net, corePool, nextCore, resLevel, {codes::kSysLocalCore});
    ensureValues(net, accessPool, nextAccess, resLevel,
                 {codes::kLevelLocal, codes::kSysLocalAggregation, codes::kSysLocalAccess,
                  codes::kLevelAccessCable, std::nullopt});
    ensureValues(net, accessPool, nextAccess, sysLevel,
                 {codes::kSysLocalAggregation, codes::kSysLocalAccess, std::nullopt});
    std::vector<OptText> layModes;
    for (const auto& m : codes::kLayModesOld)
        layModes.push_back(m);
    for (const auto& m : codes::kLayModesNew)
        layModes.push_back(m);
    layModes.push_back(std::string());
    layModes.push_back(std::string(codes::kLayTunnel));
    layModes.push_back(std::string(codes::kLayBridge));
    layModes.push_back(std::nullopt);
    ensureValues(net, accessPool, nextAccess, layMode, layModes);
    // The home province's first second-trunk segment carries the legacy level code.
    for (Cable& c : net.cables)
        if (c.kind == CableKind::SecondTrunk &&
            map.cities[net.stations[c.a].city].regionCode.rfind(kHomeProvince, 0) == 0) {
            c.resLevel = codes::kSysSecondTrunk;
            break;
        }
}

void planMicrowave(const BaseMap& map, Random& rng, Network& net) {
    const std::set<std::string> provinces = {"150000", "460000", "510000", "530000",
                                             "540000", "620000", "630000", "650000"};
    std::vector<std::size_t> candidates;
    for (std::size_t i = 0; i < net.stations.size(); ++i) {
        const Station& s = net.stations[i];
        const City& city = map.cities[s.city];
        if (s.hasCoordinates &&
            (provinces.count(city.provinceGb) || city.regionCode.rfind(kHomeProvince, 0) == 0))
            candidates.push_back(i);
    }
    if (candidates.empty()) return;
    const std::size_t wanted = std::clamp<std::size_t>(net.stations.size() / 80, 6, 1500);
    std::set<std::pair<std::size_t, std::size_t>> done;
    for (std::size_t tries = 0; net.microwave.size() < wanted && tries < wanted * 20; ++tries) {
        const std::size_t a = rng.pick(candidates);
        const Station& sa = net.stations[a];
        std::ptrdiff_t best = -1;
        double bestKm = 0;
        for (std::size_t b : net.cityStations[sa.city]) {
            const Station& sb = net.stations[b];
            if (b == a || !sb.hasCoordinates || done.count(std::minmax(a, b))) continue;
            const double km = distanceKm(sa.pos, sb.pos);
            if (km < 3 || km > 60) continue;
            if (best < 0 || km < bestKm) {
                best = static_cast<std::ptrdiff_t>(b);
                bestKm = km;
            }
        }
        if (best < 0) continue;
        const std::size_t b = static_cast<std::size_t>(best);
        done.insert(std::minmax(a, b));
        MicrowaveSegment m;
        m.code = "MW" + padded(static_cast<int>(net.microwave.size()) + 1, 6);
        m.a = a;
        m.z = b;
        m.name = sa.name + "-" + net.stations[b].name;
        m.freqBand = rng.pick(std::vector<std::string>{"6GHz", "7GHz", "8GHz", "11GHz", "13GHz"});
        m.capacity = rng.pick(std::vector<std::string>{"STM-1", "4E1", "8E1", "16E1"});
        m.length = std::round(geodesicKm(sa.pos, net.stations[b].pos) * 1000) / 1000;
        m.buildDate = std::to_string(rng.range(1992, 2012)) + "-" + padded(rng.range(1, 12), 2) + "-" +
                      padded(rng.range(1, 28), 2);
        m.state = rng.chance(0.9) ? codes::kStateInUse : codes::kStateStopped;
        net.microwave.push_back(std::move(m));
    }
}

} // namespace ocable::demo
