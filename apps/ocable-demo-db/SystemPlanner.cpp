#include "SystemPlanner.h"

#include "Codes.h"
#include "PlaceNames.h"

#include <algorithm>
#include <deque>
#include <map>
#include <set>

namespace ocable::demo {

namespace {

std::string padded(int n, int width) {
    std::string s = std::to_string(n);
    return std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(s.size()))), '0') + s;
}

std::string randomDate(Random& rng, int from, int to) {
    return std::to_string(rng.range(from, to)) + "-" + padded(rng.range(1, 12), 2) + "-" +
           padded(rng.range(1, 28), 2);
}

bool isLocal(CableKind k) {
    return k == CableKind::LocalCore || k == CableKind::Access;
}

struct Path {
    std::vector<std::size_t> stations;
    std::vector<std::size_t> cables;
};

// Fewest-hop path over cables of one kind; between two stations the segment
// with the lowest index is taken (the first of a parallel group).
Path shortestPath(const Network& net, std::size_t from, std::size_t to, CableKind kind) {
    std::map<std::size_t, std::pair<std::size_t, std::size_t>> cameFrom; // station -> (previous, cable)
    std::deque<std::size_t> queue{from};
    cameFrom[from] = {from, 0};
    while (!queue.empty() && !cameFrom.count(to)) {
        const std::size_t u = queue.front();
        queue.pop_front();
        std::vector<std::size_t> cables = net.stations[u].cables;
        std::sort(cables.begin(), cables.end());
        for (std::size_t c : cables) {
            if (net.cables[c].kind != kind) continue;
            const std::size_t v = net.otherEnd(c, u);
            if (cameFrom.count(v)) continue;
            cameFrom[v] = {u, c};
            queue.push_back(v);
        }
    }
    Path path;
    if (!cameFrom.count(to) || from == to) return path;
    for (std::size_t s = to; s != from; s = cameFrom[s].first) {
        path.stations.push_back(s);
        path.cables.push_back(cameFrom[s].second);
    }
    path.stations.push_back(from);
    std::reverse(path.stations.begin(), path.stations.end());
    std::reverse(path.cables.begin(), path.cables.end());
    return path;
}

// Hop counts from one station over cables of one kind.
std::map<std::size_t, int> hopCounts(const Network& net, std::size_t from, CableKind kind) {
    std::map<std::size_t, int> hops{{from, 0}};
    std::deque<std::size_t> queue{from};
    while (!queue.empty()) {
        const std::size_t u = queue.front();
        queue.pop_front();
        for (std::size_t c : net.stations[u].cables) {
            const std::size_t v = net.otherEnd(c, u);
            if (net.cables[c].kind == kind && !hops.count(v)) {
                hops[v] = hops[u] + 1;
                queue.push_back(v);
            }
        }
    }
    return hops;
}

// Self-avoiding random walk over the local cables of one city, preferring
// core stations; `avoid` stations are never entered.
Path localWalk(const Network& net, std::size_t start, int hops, Random& rng,
               const std::set<std::size_t>& avoid) {
    Path path;
    path.stations.push_back(start);
    std::set<std::size_t> seen{start};
    std::size_t u = start;
    for (int h = 0; h < hops; ++h) {
        std::vector<std::size_t> options;
        std::vector<double> weights;
        for (std::size_t c : net.stations[u].cables) {
            const std::size_t v = net.otherEnd(c, u);
            if (!isLocal(net.cables[c].kind) || seen.count(v) || avoid.count(v) ||
                net.stations[v].city != net.stations[start].city)
                continue;
            options.push_back(c);
            weights.push_back(net.stations[v].role == Role::Access ? 1.0 : 3.0);
        }
        if (options.empty()) break;
        const std::size_t c = options[rng.weighted(weights)];
        u = net.otherEnd(c, u);
        seen.insert(u);
        path.cables.push_back(c);
        path.stations.push_back(u);
    }
    return path;
}

class SystemBuilder {
public:
    SystemBuilder(const BaseMap& map, Random& rng, Network& net) : map_(map), rng_(rng), net_(net) {}

    std::size_t add(TransSystem s) {
        s.code = "TS" + padded(static_cast<int>(net_.systems.size()) + 1, 6);
        if (s.buildDate.empty()) s.buildDate = randomDate(rng_, 2002, 2021);
        if (s.state.empty()) s.state = codes::kStateInUse;
        net_.systems.push_back(std::move(s));
        return net_.systems.size() - 1;
    }

    std::string cityShort(std::size_t station) const {
        return map_.cities[net_.stations[station].city].shortName;
    }

    std::string districtShort(std::size_t station) const {
        const Station& s = net_.stations[station];
        for (const District& d : map_.cities[s.city].districts)
            if (d.gbcode == s.countyGb) return districtShortName(d.name, map_.cities[s.city].shortName);
        return "";
    }

    std::string provinceOf(std::size_t station) const {
        return map_.provinceOf(map_.cities[net_.stations[station].city]).regionCode;
    }

private:
    const BaseMap& map_;
    Random& rng_;
    Network& net_;
};

void addLocalSystems(const BaseMap& map, SystemBuilder& builder, Random& rng, Network& net) {
    for (std::size_t ci = 0; ci < map.cities.size(); ++ci) {
        const auto& members = net.cityStations[ci];
        if (members.size() < 5) continue;
        std::vector<std::size_t> cores;
        for (std::size_t s : members)
            if (net.stations[s].role != Role::Access) cores.push_back(s);
        const int wanted = std::max(1, static_cast<int>(members.size()) / 35);
        int serial = 0;
        for (int k = 0, tries = 0; k < wanted && tries < wanted * 4; ++tries) {
            const std::size_t start = rng.pick(cores);
            Path walk = localWalk(net, start, rng.range(3, 10), rng, {});
            if (walk.cables.size() < 2) continue;
            // Close the chain into a ring when a spare segment joins its ends.
            bool ring = false;
            if (walk.cables.size() >= 3)
                for (std::size_t c : net.stations[walk.stations.back()].cables)
                    if (isLocal(net.cables[c].kind) && net.otherEnd(c, walk.stations.back()) == start &&
                        std::find(walk.cables.begin(), walk.cables.end(), c) == walk.cables.end()) {
                        walk.cables.push_back(c);
                        ring = true;
                        break;
                    }
            TransSystem s;
            const double m = rng.uniform();
            std::string modelName;
            if (m < 0.55) {
                s.model = codes::kSdh, s.rate = rng.chance(0.5) ? "622M" : "2.5G", modelName = "SDH";
            } else if (m < 0.85) {
                s.model = codes::kPtn, s.rate = rng.chance(0.6) ? "GE" : "10GE", modelName = "PTN";
            } else if (m < 0.93) {
                s.model = codes::kIpran, s.rate = "10GE", modelName = "IPRAN";
            } else if (m < 0.98) {
                s.model = codes::kPdh, s.rate = "34M", modelName = "PDH";
            } else {
                s.model = codes::kOtn, s.rate = "10G", modelName = "OTN";
            }
            s.level =
                s.rate == "2.5G" || s.rate == "10GE" ? codes::kSysLocalCore : codes::kSysLocalAggregation;
            s.name = builder.cityShort(start) + builder.districtShort(start) + modelName +
                     (ring ? "接入环" : "汇聚链") + padded(++serial, 2);
            s.province = builder.provinceOf(start);
            s.stationA = start;
            s.stationZ = walk.stations.back();
            s.route = walk.cables;
            builder.add(std::move(s));
            ++k;
        }
    }
}

void addSecondTrunkSystems(const BaseMap& map, Scale scale, SystemBuilder& builder, Random& rng,
                           Network& net) {
    for (const Province& p : map.provinces) {
        std::vector<std::size_t> hubs;
        for (std::size_t c : p.cities)
            if (!net.cityStations[c].empty()) hubs.push_back(net.cityStations[c].front());
        if (hubs.size() < 2) continue;
        const bool home = p.regionCode == kHomeProvince;
        const std::size_t limit = home ? hubs.size() - 1 : (scale == Scale::National ? 3 : 0);
        for (std::size_t k = 1; k <= limit && k < hubs.size(); ++k) {
            Path path = shortestPath(net, hubs[0], hubs[k], CableKind::SecondTrunk);
            if (path.cables.empty()) continue;
            TransSystem s;
            s.model = codes::kSdh;
            s.rate = rng.chance(0.6) ? "10G" : "2.5G";
            s.level = codes::kSysSecondTrunk;
            s.name =
                builder.cityShort(hubs[0]) + "-" + builder.cityShort(hubs[k]) + "二干SDH" + s.rate + "系统";
            s.province = p.regionCode;
            s.stationA = hubs[0];
            s.stationZ = hubs[k];
            s.route = path.cables;
            builder.add(std::move(s));
        }
    }
}

void addDwdm(const Path& path, const std::string& name, const std::string& level, const std::string& province,
             bool firstTrunk, SystemBuilder& builder, Random& rng, Network& net) {
    TransSystem s;
    s.model = codes::kDwdm;
    s.rate = firstTrunk ? "80x10G" : "40x10G";
    s.level = level;
    s.name = name;
    s.province = province;
    s.stationA = path.stations.front();
    s.stationZ = path.stations.back();
    s.route = path.cables;
    s.firstTrunk = firstTrunk;
    s.dwdmSystem = static_cast<int>(net.dwdmSystems.size());
    const std::size_t system = builder.add(std::move(s));
    DwdmSystem d;
    d.system = system;
    d.stations = path.stations;
    for (std::size_t h = 0; h + 1 < path.stations.size(); ++h) {
        DwdmLink link;
        link.code = "DL" + padded(static_cast<int>(net.links.size()) + 1, 6);
        const bool reversed = rng.chance(0.3); // links are recorded in either direction
        link.a = path.stations[h + (reversed ? 1 : 0)];
        link.z = path.stations[h + (reversed ? 0 : 1)];
        link.name = net.stations[link.a].name + "-" + net.stations[link.z].name;
        link.dwdm = net.dwdmSystems.size();
        link.waveCount = firstTrunk ? 80 : 40;
        d.links.push_back(net.links.size());
        net.links.push_back(std::move(link));
    }
    net.dwdmSystems.push_back(std::move(d));
}

void addDwdmSystems(const BaseMap& map, Scale scale, SystemBuilder& builder, Random& rng, Network& net) {
    for (const Province& p : map.provinces) {
        if (scale != Scale::National && p.regionCode != kHomeProvince) continue;
        std::vector<std::size_t> hubs;
        for (std::size_t c : p.cities)
            if (!net.cityStations[c].empty()) hubs.push_back(net.cityStations[c].front());
        if (hubs.size() < 3) continue;
        const auto hops = hopCounts(net, hubs[0], CableKind::SecondTrunk);
        std::size_t far = hubs[0];
        for (std::size_t h : hubs)
            if (hops.count(h) && hops.at(h) > (hops.count(far) ? hops.at(far) : 0)) far = h;
        Path path = shortestPath(net, hubs[0], far, CableKind::SecondTrunk);
        if (path.cables.size() < 2) continue;
        addDwdm(path, p.shortName + "二干波分系统", codes::kSysSecondTrunk, p.regionCode, false, builder, rng,
                net);
    }

    // First trunk: from the home capital to the capitals farthest away in hops.
    const Province* home = map.provinceByRegion(kHomeProvince);
    if (!home || home->cities.empty() || net.cityStations[home->cities.front()].empty()) return;
    const std::size_t origin = net.cityStations[home->cities.front()].front();
    const auto hops = hopCounts(net, origin, CableKind::FirstTrunk);
    std::vector<std::pair<int, std::size_t>> targets;
    for (auto [station, h] : hops)
        if (h >= 2) targets.push_back({-h, station});
    std::sort(targets.begin(), targets.end());
    const std::size_t wanted = scale == Scale::Small ? 1 : scale == Scale::Province ? 2 : 6;
    for (std::size_t k = 0; k < std::min(wanted, targets.size()); ++k) {
        Path path = shortestPath(net, origin, targets[k].second, CableKind::FirstTrunk);
        addDwdm(path,
                builder.cityShort(path.stations.front()) + "-" + builder.cityShort(path.stations.back()) +
                    "一干波分系统",
                codes::kSysFirstTrunk, kHomeProvince, true, builder, rng, net);
    }
}

std::string channelCode(const DwdmLink& link, int wave, const std::string& dwdmSystemCode) {
    return link.code + ":" + padded(wave, 2) + ":" + dwdmSystemCode;
}

void addCarriedSystems(SystemBuilder& builder, Random& rng, Network& net) {
    const std::size_t dwdmCount = net.dwdmSystems.size();
    for (std::size_t w = 0; w < dwdmCount; ++w) {
        const DwdmSystem dwdm = net.dwdmSystems[w]; // copy: systems are added below
        const std::size_t hops = dwdm.links.size();
        if (hops < 2) continue;
        const std::string dwdmCode = net.systems[dwdm.system].code;
        const bool firstTrunk = net.systems[dwdm.system].firstTrunk;
        const int count = std::min(static_cast<int>(hops), rng.range(2, 4));
        for (int k = 0; k < count; ++k) {
            // The first carried system leaves the DWDM route before its end, so
            // that the DWDM system's own fibres continue past the route's end.
            const int spanStart = k == 0 ? 0 : rng.range(0, static_cast<int>(hops) - 1);
            const int maxEnd = k == 0 ? static_cast<int>(hops) - 1 : static_cast<int>(hops);
            const int spanEnd =
                rng.range(spanStart + 1, std::max(spanStart + 1, std::min(maxEnd, spanStart + 4)));
            int wave = 1;
            for (int h = spanStart; h < spanEnd; ++h)
                wave = std::max(wave, net.links[dwdm.links[static_cast<std::size_t>(h)]].nextWave);
            const std::size_t entry = dwdm.stations[static_cast<std::size_t>(spanStart)];
            const std::size_t exit = dwdm.stations[static_cast<std::size_t>(spanEnd)];

            TransSystem s;
            s.model = codes::kSdh;
            s.rate = "10G";
            s.level = firstTrunk ? codes::kSysFirstTrunk : codes::kSysSecondTrunk;
            s.name = builder.cityShort(entry) + "-" + builder.cityShort(exit) + "SDH10G系统" +
                     padded(k + 1, 2) + "(波分承载)";
            s.province = builder.provinceOf(entry);
            s.carrier = static_cast<int>(w);
            s.firstTrunk = firstTrunk;
            s.remark = "经" + net.systems[dwdm.system].name + "承载";
            // Its own fibres: a short tail in the entry city ending at the entry station.
            if (k == 0 || rng.chance(0.8)) {
                const std::set<std::size_t> avoid(dwdm.stations.begin(), dwdm.stations.end());
                Path tail = localWalk(net, entry, rng.range(1, 3), rng, avoid);
                std::reverse(tail.cables.begin(), tail.cables.end());
                s.route = tail.cables;
                s.stationA = tail.stations.back();
            } else {
                s.stationA = entry;
            }
            s.stationZ = exit;
            const std::size_t system = builder.add(std::move(s));
            for (int h = spanStart; h < spanEnd; ++h) {
                DwdmLink& link = net.links[dwdm.links[static_cast<std::size_t>(h)]];
                link.nextWave = wave + 1;
                DwdmChannel ch{channelCode(link, wave, dwdmCode), dwdm.links[static_cast<std::size_t>(h)],
                               wave, "10G", codes::kFiberUsed};
                net.channelUses.push_back({system, net.channels.size()});
                net.channels.push_back(std::move(ch));
            }
        }
    }
    // One spare wave configured on every link.
    for (std::size_t l = 0; l < net.links.size(); ++l) {
        DwdmLink& link = net.links[l];
        const std::string dwdmCode = net.systems[net.dwdmSystems[link.dwdm].system].code;
        net.channels.push_back(
            {channelCode(link, link.nextWave, dwdmCode), l, link.nextWave, "10G", codes::kFiberReserved});
        ++link.nextWave;
    }
}

void addFibers(Network& net) {
    static const int kSizes[] = {12, 24, 48, 96, 144, 288};
    auto take = [&](std::size_t cable, std::optional<std::size_t> system, const char* state) {
        Cable& c = net.cables[cable];
        const int no = c.nextFiber++;
        while (no > c.fiberNum)
            for (int size : kSizes)
                if (size > c.fiberNum) {
                    c.fiberNum = size;
                    break;
                }
        net.fibers.push_back({c.code + "-" + padded(no, 3), cable, no, system, state});
    };
    for (std::size_t s = 0; s < net.systems.size(); ++s)
        for (std::size_t cable : net.systems[s].route) {
            take(cable, s, codes::kFiberUsed);
            take(cable, s, codes::kFiberUsed);
        }
    for (std::size_t i = 0; i < net.cables.size(); ++i)
        if (net.cables[i].kind == CableKind::FirstTrunk || net.cables[i].kind == CableKind::SecondTrunk) {
            take(i, std::nullopt, codes::kFiberReserved);
            take(i, std::nullopt, codes::kFiberReserved);
        }
}

} // namespace

void planSystems(const BaseMap& map, Scale scale, Random& rng, Network& net) {
    SystemBuilder builder(map, rng, net);
    addLocalSystems(map, builder, rng, net);
    addSecondTrunkSystems(map, scale, builder, rng, net);
    addDwdmSystems(map, scale, builder, rng, net);
    addCarriedSystems(builder, rng, net);

    // A system entered but not yet routed over any segment.
    const Province* home = map.provinceByRegion(kHomeProvince);
    TransSystem planned;
    planned.model = codes::kPtn;
    planned.rate = "10GE";
    planned.level = codes::kSysLocalAggregation;
    planned.name =
        (home ? map.cities[home->cities.front()].shortName : std::string()) + "新区PTN接入环(规划)";
    planned.province = kHomeProvince;
    planned.state = codes::kStateBuilding;
    builder.add(std::move(planned));

    // A code the division rules still name although its system was deleted.
    net.orphanSystemCode = "TS" + padded(static_cast<int>(net.systems.size()) + 1, 6);

    addFibers(net);
}

} // namespace ocable::demo
