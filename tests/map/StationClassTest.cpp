// The class criteria of the drawing against station rows with Null, empty and
// mixed values: which layer each station lands in.

#include "map/ClassCriteria.h"
#include "platform/db/Recordset.h"

#include <gtest/gtest.h>
#include <set>

using namespace ocable;
using db::Recordset;
using db::Value;

namespace {

struct Row {
    const char* name;
    Value x, ii, iii, res;
    bool terminal, relay, other;
};

// Names (the first column) of the rows a criteria lets through.
std::set<std::string> matching(Recordset& rs, const std::string& criteria) {
    rs.setFilter(criteria);
    std::set<std::string> names;
    for (; !rs.Eof(); rs.MoveNext())
        names.insert(rs.Fields(0).toText());
    return names;
}

} // namespace

TEST(StationClassTest, EachRowFallsInTheExpectedLayers) {
    const Value null;
    const std::vector<Row> rows = {
        {"主类型终端", "ZY010301", null, null, null, true, false, false},
        {"三类型全空", null, null, null, null, false, false, true},
        {"三类型空串", "", "", "", "", false, false, true},
        {"第三类型中继", "ZY010399", "ZY010305", "ZY010312", "ZY502403", false, true, true},
        {"资源类型终端也算其它", "ZY010305", "ZY010305", "ZY010305", "ZY502401", true, false, true},
        {"资源类型中继也算其它", "ZY010305", null, null, "ZY502402", false, true, true},
        {"资源类型06", "ZY010305", "ZY010305", "ZY010305", "ZY502406", false, false, true},
        {"终端又中继", "ZY010301", "ZY010312", null, null, true, true, false},
        {"资源类型空且第二类型中继", null, "ZY010312", null, null, false, true, false},
    };
    std::vector<Recordset::Row> data;
    for (const auto& r : rows)
        data.push_back({Value(r.name), r.x, r.ii, r.iii, r.res});
    Recordset rs({"STATIONNAME", "X_STATIONTYPE", "STATIONTYPE_II", "STATIONTYPE_III", "STATIONTYPE"}, data);
    const auto terminal = matching(rs, criteria::kTerminalStations);
    const auto relay = matching(rs, criteria::kRelayStations);
    const auto other = matching(rs, criteria::kOtherStations);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(terminal.count(r.name) == 1, r.terminal);
        EXPECT_EQ(relay.count(r.name) == 1, r.relay);
        EXPECT_EQ(other.count(r.name) == 1, r.other);
    }
}

TEST(CableClassTest, LevelsAndLayModesPickTheLayers) {
    const Value null;
    std::vector<Recordset::Row> data = {
        {"一干级", "ZY132001", "ZY130302"},     {"骨干", "ZY132003", "ZY130302"},
        {"两层都有", "ZY132004", "ZY130399"},   {"只在普通", "ZY110504", "ZY130302"},
        {"也只在普通", "ZY110505", "ZY130302"}, {"级别空", null, "ZY130301"},
        {"敷设空串", "ZY132004", ""},           {"敷设空", "ZY132004", null}};
    Recordset rs({"OCABLENAME", "RESLEVEL", "LAYMODE"}, data);
    const auto names = [&](const std::string& criteria) { return matching(rs, criteria); };
    EXPECT_EQ(names(criteria::backboneCables("ZY130302")), (std::set<std::string>{"一干级", "骨干"}));
    EXPECT_EQ(names(criteria::ordinaryCables("ZY130302")), (std::set<std::string>{"只在普通", "也只在普通"}));
    EXPECT_EQ(names(criteria::backboneCables("ZY130399")), (std::set<std::string>{"两层都有"}));
    EXPECT_EQ(names(criteria::ordinaryCables("ZY130399")), (std::set<std::string>{"两层都有"}));
    // The empty lay mode is the thirteenth entry; a Null one is in no entry, nor is a Null level.
    EXPECT_EQ(names(criteria::ordinaryCables("")), (std::set<std::string>{"敷设空串"}));
    EXPECT_TRUE(names(criteria::ordinaryCables("ZY130301")).empty());
}
