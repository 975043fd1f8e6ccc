// Routes of the transmission systems and their DWDM channels in the small network.
#include "DemoDbTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <numeric>
#include <set>

namespace ocable::demo::test {
namespace {

// Whether the segments, as edges between their end stations, form one piece.
bool connected(const Db& db, const std::set<std::string>& cables) {
    if (cables.empty()) return true;
    std::map<std::string, std::string> parent;
    std::function<std::string(const std::string&)> find = [&](const std::string& s) {
        auto it = parent.find(s);
        if (it == parent.end()) return parent[s] = s;
        return it->second == s ? s : it->second = find(it->second);
    };
    for (const std::string& code : cables) {
        const auto ends =
            db.rows("SELECT STATION_A, STATION_Z FROM EN_OCABLE WHERE OCABLECODE = '" + code + "'");
        if (ends.empty()) return false;
        parent[find(*ends[0][0])] = find(*ends[0][1]);
    }
    std::set<std::string> roots;
    for (const auto& [station, p] : parent)
        roots.insert(find(station));
    return roots.size() == 1;
}

std::set<std::string> asSet(const std::vector<std::string>& v) {
    return {v.begin(), v.end()};
}

// The segments a system reaches through its DWDM channels, by the map's own statement.
std::set<std::string> dwdmSegments(const Db& db, const std::string& system) {
    return asSet(db.column(
        "SELECT DISTINCT OCABLECODE  FROM RE_DWDMC_SDHT D , EN_DWDM_RES R , EN_OCABLE O  , EN_DWDM_CHANNEL C "
        " "
        "WHERE D.CHANNELSERIAL = C.DWDMCHANNELCODE AND C.DWDMTOPOLINKCODE =  R.DWDMTOPOLINKCODE  "
        "AND ((R.STATION_A =  O.STATION_A AND R.STATION_Z = O.STATION_Z) OR (R.STATION_A =  O.STATION_Z AND "
        "R.STATION_Z = O.STATION_A))  AND D.SYSTEMCODE IN('" +
        system + "')"));
}

TEST(DemoSystems, EveryRouteIsConnectedInBothRelationsAndTheyAgree) {
    Db db(smallDemoDb());
    int routed = 0;
    for (const std::string& system : db.column("SELECT SYSTEMCODE FROM TRANSSYSTEM ORDER BY SYSTEMCODE")) {
        const auto table = asSet(
            db.column("SELECT OCABLECODE FROM re_ocable_transsystem WHERE SYSTEMCODE = '" + system + "'"));
        const auto view = asSet(db.column(
            "SELECT OCABLECODE FROM MAP_V_RE_CABLE_SUNNET_SYSTEM WHERE SYSTEMCODE = '" + system + "'"));
        EXPECT_EQ(table, view) << system;
        EXPECT_TRUE(connected(db, table)) << system << " runs over a broken route";
        auto whole = view;
        for (const auto& c : dwdmSegments(db, system))
            whole.insert(c);
        EXPECT_TRUE(connected(db, whole)) << system << ": its own fibres and its DWDM channels do not meet";
        routed += !whole.empty();
    }
    EXPECT_GT(routed, 20);
}

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == sep)
            parts.emplace_back();
        else
            parts.back().push_back(c);
    }
    return parts;
}

TEST(DemoSystems, ChannelSerialsNameTheDwdmSystemThatOwnsTheLink) {
    Db db(smallDemoDb());
    const auto uses =
        db.rows("SELECT D.SYSTEMCODE, D.CHANNELSERIAL, C.DWDMTOPOLINKCODE, R.STATION_A, R.STATION_Z, "
                "R.DWDMSYSTEMCODE FROM RE_DWDMC_SDHT D "
                "LEFT JOIN EN_DWDM_CHANNEL C ON C.DWDMCHANNELCODE = D.CHANNELSERIAL "
                "LEFT JOIN EN_DWDM_RES R ON R.DWDMTOPOLINKCODE = C.DWDMTOPOLINKCODE");
    ASSERT_FALSE(uses.empty());
    for (const Row& u : uses) {
        ASSERT_TRUE(u[2].has_value()) << "channel serial " << *u[1] << " has no channel";
        const auto fields = split(*u[1], ':');
        ASSERT_GE(fields.size(), 3u) << *u[1];
        EXPECT_EQ(fields[2], u[5].value_or("")) << *u[1];
        EXPECT_EQ(
            db.count("SELECT COUNT(*) FROM TRANSSYSTEM WHERE TRANMODEL = 'ZY110303' AND SYSTEMCODE = '" +
                     fields[2] + "'"),
            1);
        // The DWDM system has fibres in a segment between the link's stations.
        EXPECT_GT(db.count("SELECT COUNT(*) FROM EN_OCABLE O JOIN EN_FIBER F ON F.OCABLECODE = O.OCABLECODE "
                           "WHERE F.SYSTEMCODE = '" +
                           fields[2] + "' AND ((O.STATION_A = '" + *u[3] + "' AND O.STATION_Z = '" + *u[4] +
                           "') OR (O.STATION_A = '" + *u[4] + "' AND O.STATION_Z = '" + *u[3] + "'))"),
                  0)
            << *u[1];
    }
}

// A carried system's route ends where a station closes exactly one of its
// segments; beyond such an end the DWDM system's own fibres go on.
TEST(DemoSystems, CarriedRoutesContinueOverTheDwdmSystemsFibres) {
    Db db(smallDemoDb());
    const auto carried = db.column("SELECT DISTINCT SYSTEMCODE FROM RE_DWDMC_SDHT ORDER BY SYSTEMCODE");
    ASSERT_GE(carried.size(), 2u);
    int continued = 0;
    for (const std::string& system : carried) {
        auto segments = asSet(db.column(
            "SELECT OCABLECODE FROM MAP_V_RE_CABLE_SUNNET_SYSTEM WHERE SYSTEMCODE = '" + system + "'"));
        for (const auto& c : dwdmSegments(db, system))
            segments.insert(c);
        std::map<std::string, std::vector<std::string>> touching; // station -> other ends
        for (const std::string& c : segments) {
            const auto e =
                db.rows("SELECT STATION_A, STATION_Z FROM EN_OCABLE WHERE OCABLECODE = '" + c + "'");
            touching[*e[0][0]].push_back(*e[0][1]);
            touching[*e[0][1]].push_back(*e[0][0]);
        }
        std::string dwdmList;
        for (const std::string& serial :
             db.column("SELECT CHANNELSERIAL FROM RE_DWDMC_SDHT WHERE SYSTEMCODE = '" + system + "'"))
            dwdmList += (dwdmList.empty() ? "('" : "','") + split(serial, ':')[2];
        dwdmList += "')";
        for (const auto& [station, others] : touching) {
            if (others.size() != 1) continue;
            continued +=
                db.count("select COUNT(*) from en_ocable o,V_EN_FIBER$OC v where o.ocablecode=v.ocablecode "
                         "and v.systemcode in " +
                         dwdmList + " and  ((station_a<>'" + others[0] + "' and  station_z='" + station +
                         "') or (station_a='" + station + "' and station_z<>'" + others[0] + "'))") > 0;
        }
    }
    EXPECT_GT(continued, 0);
}

} // namespace
} // namespace ocable::demo::test
