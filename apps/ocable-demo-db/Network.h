#pragma once

#include "BaseMap.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ocable::demo {

using OptText = std::optional<std::string>;

// The demo carrier's home province: the resource-scope check of the map
// looks for scopes under this region code.
inline constexpr const char* kHomeProvince = "XZ0116";

enum class Role { Hub, Centre, Aggregation, Relay, Access };

struct Station {
    std::string code;
    std::string name;
    std::size_t city = 0; // BaseMap::cities index
    std::string countyGb;
    Role role = Role::Access;
    GeoPoint pos;                      // planned position, also where a station without coordinates stands
    std::int64_t lngE8 = 0, latE8 = 0; // stored position in 1e-8 degrees
    bool hasCoordinates = true;
    OptText xType, type2, type3, resType;
    std::string address, property, owner, maintainer, buildDate, state;
    OptText remark;
    std::array<int, 10> alarms{};    // CRITICAL_C ... INDETERMIN_C, CRITICAL_A ... INDETERMIN_A
    std::vector<std::size_t> cables; // EN_OCABLE rows touching the station
};

enum class CableKind { FirstTrunk, SecondTrunk, LocalCore, Access };

struct Cable {
    std::string code;
    std::string name;
    std::size_t a = 0, z = 0;
    CableKind kind = CableKind::Access;
    OptText resLevel, sysLevel, layMode;
    std::optional<double> length;
    int fiberNum = 12;
    std::string fiberType, property, owner, maintainer, project, buildDate, state;
    OptText remark;
    // Surveyed end positions (1e-8 degrees) recorded on the segment itself.
    bool surveyed = false;
    std::int64_t lngAE8 = 0, latAE8 = 0, lngZE8 = 0, latZE8 = 0;
    int group = -1; // parallel group, or -1
    int nextFiber = 1;
};

struct MicrowaveSegment {
    std::string code, name;
    std::size_t a = 0, z = 0;
    std::string freqBand, capacity, buildDate, state;
    double length = 0;
};

struct TransSystem {
    std::string code, name, model, level, rate, province, buildDate, state;
    OptText remark;
    std::optional<std::size_t> stationA, stationZ;
    std::vector<std::size_t> route; // cables it occupies fibres in, in route order
    int dwdmSystem = -1;            // for DWDM systems: index into Network::dwdmSystems
    int carrier = -1;               // for systems carried over DWDM: index into Network::dwdmSystems
    bool firstTrunk = false;
};

struct DwdmSystem {
    std::size_t system = 0;            // TransSystem index
    std::vector<std::size_t> stations; // n0 ... nk along the route
    std::vector<std::size_t> links;    // DwdmLink indexes, one per hop
};

struct DwdmLink {
    std::string code, name;
    std::size_t dwdm = 0; // DwdmSystem index
    std::size_t a = 0, z = 0;
    int waveCount = 40;
    int nextWave = 1;
};

struct DwdmChannel {
    std::string code;
    std::size_t link = 0;
    int waveNo = 0;
    std::string rate, state;
};

struct ChannelUse {
    std::size_t system = 0;
    std::size_t channel = 0;
};

struct Fiber {
    std::string code;
    std::size_t cable = 0;
    int fiberNo = 0;
    std::optional<std::size_t> system;
    std::string state;
};

struct Network {
    std::vector<Station> stations;
    std::vector<Cable> cables;
    std::vector<MicrowaveSegment> microwave;
    std::vector<TransSystem> systems;
    std::vector<DwdmSystem> dwdmSystems;
    std::vector<DwdmLink> links;
    std::vector<DwdmChannel> channels;
    std::vector<ChannelUse> channelUses;
    std::vector<Fiber> fibers;
    std::vector<std::vector<std::size_t>> cityStations; // per BaseMap city, in creation order
    std::string orphanSystemCode; // a code the division rules still hold after the system went

    std::size_t otherEnd(std::size_t cable, std::size_t station) const {
        return cables[cable].a == station ? cables[cable].z : cables[cable].a;
    }
};

} // namespace ocable::demo
