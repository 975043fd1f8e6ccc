// Routes of the transmission systems and their DWDM channels in the small
// network; the checks that are single queries are rows of NetworkInvariantsTest.
#include "DemoDbTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
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

// Stations that close exactly one segment of the set: a route's ends.
std::vector<std::pair<std::string, std::string>> routeEnds(const Db& db,
                                                           const std::set<std::string>& cables) {
    std::map<std::string, std::vector<std::string>> touching; // station -> other ends
    for (const std::string& c : cables) {
        const auto e = db.rows("SELECT STATION_A, STATION_Z FROM EN_OCABLE WHERE OCABLECODE = '" + c + "'");
        touching[*e[0][0]].push_back(*e[0][1]);
        touching[*e[0][1]].push_back(*e[0][0]);
    }
    std::vector<std::pair<std::string, std::string>> ends; // end, its neighbour on the route
    for (const auto& [station, others] : touching)
        if (others.size() == 1) ends.emplace_back(station, others[0]);
    return ends;
}

// Each system's route, by its own fibres and with its DWDM channels, is one
// piece. A carried system's route ends where a station closes exactly one
// of its segments; beyond such an end the DWDM system's own fibres go on.
TEST(DemoSystems, RoutesAreConnectedAndCarriedOnesContinueOverTheDwdmFibres) {
    Db db(smallDemoDb());
    int routed = 0, continued = 0;
    for (const std::string& system : db.column("SELECT SYSTEMCODE FROM TRANSSYSTEM ORDER BY SYSTEMCODE")) {
        auto whole = asSet(db.column(
            "SELECT OCABLECODE FROM MAP_V_RE_CABLE_SUNNET_SYSTEM WHERE SYSTEMCODE = '" + system + "'"));
        EXPECT_TRUE(connected(db, whole)) << system << " runs over a broken route";
        for (const auto& c : dwdmSegments(db, system))
            whole.insert(c);
        EXPECT_TRUE(connected(db, whole)) << system << ": its own fibres and its DWDM channels do not meet";
        routed += !whole.empty();

        std::string dwdmList;
        for (const std::string& dwdm :
             db.column("SELECT DISTINCT R.DWDMSYSTEMCODE FROM RE_DWDMC_SDHT D JOIN EN_DWDM_CHANNEL C ON "
                       "C.DWDMCHANNELCODE = D.CHANNELSERIAL JOIN EN_DWDM_RES R ON R.DWDMTOPOLINKCODE = "
                       "C.DWDMTOPOLINKCODE WHERE D.SYSTEMCODE = '" +
                       system + "'"))
            dwdmList += (dwdmList.empty() ? "('" : "','") + dwdm;
        if (dwdmList.empty()) continue;
        for (const auto& [end, neighbour] : routeEnds(db, whole))
            continued +=
                db.column("select COUNT(*) from en_ocable o,V_EN_FIBER$OC v where o.ocablecode=v.ocablecode "
                          "and v.systemcode in " +
                          dwdmList + "') and  ((station_a<>'" + neighbour + "' and  station_z='" + end +
                          "') or (station_a='" + end + "' and station_z<>'" + neighbour + "'))")[0] != "0";
    }
    EXPECT_GT(routed, 20);
    EXPECT_GT(continued, 0);
}

} // namespace
} // namespace ocable::demo::test
