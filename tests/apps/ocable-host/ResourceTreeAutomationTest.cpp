// End to end through the automation mode on the small demo network: the
// resource tree's ticks, clicks and double clicks, checked against what the
// database says lies below each node.

#include "support/HostRunner.h"
#include "support/TempDir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>

using ocable::testsupport::HostRunner;

namespace {

const QStringList kLayers = {"光缆网络分布图_终端站", "光缆网络分布图_其它局站", "光缆网络分布图_光缆段",
                             "光缆网络分布图_骨干光缆段"};
const std::string kProvince = "XZ0116";
using Codes = std::set<std::string>;

QJsonArray runHost(const std::string& steps, const QStringList& extra = {}) {
    static const auto root = HostRunner::freshRoot("restree");
    const std::string dump =
        R"({"dump": true, "features": true, "layers": [")" + kLayers.join(R"(", ")").toStdString() + R"("]})";
    std::string script = steps;
    for (std::size_t at; (at = script.find("DUMP")) != std::string::npos;)
        script.replace(at, 4, dump);
    const auto run = HostRunner::run(root->path(), script, extra);
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    return run.output["dumps"].toArray();
}

Codes column(const std::string& sql) {
    const auto rows = ocable::testsupport::firstColumn(HostRunner::sharedRoot() / "network.db", sql);
    return {rows.begin(), rows.end()};
}

struct Feature {
    int layer;
    std::string code, text; // text: label, code, parts and style
    bool selected;
    double x0, y0, x1, y1; // the points the view is fitted to
};
std::vector<Feature> features(const QJsonValue& dump) {
    std::vector<Feature> out;
    for (int i = 0; i < kLayers.size(); ++i) {
        const QJsonObject layer = ocable::testsupport::layerOf(dump.toObject(), "Map1", kLayers[i]);
        const QJsonArray selection = layer["selection"].toArray();
        for (const QJsonValue f : layer["features"].toArray()) {
            const QJsonArray row = f["row"].toArray(), part = f["parts"][0].toArray();
            Feature g{i,
                      row[1].toString().toStdString(),
                      QJsonDocument(QJsonArray{row, f["parts"], f["style"]}).toJson().toStdString(),
                      selection.contains(f["key"]),
                      1e9,
                      1e9,
                      -1e9,
                      -1e9};
            for (const QJsonValue p : part) {
                g.x0 = std::min(g.x0, p[0].toDouble()), g.x1 = std::max(g.x1, p[0].toDouble());
                g.y0 = std::min(g.y0, p[1].toDouble()), g.y1 = std::max(g.y1, p[1].toDouble());
            }
            out.push_back(g);
        }
    }
    return out;
}
Codes codesOn(const std::vector<Feature>& fs, int layer, bool selectedOnly = false) {
    Codes out;
    for (const Feature& f : fs)
        if (f.layer == layer && (f.selected || !selectedOnly)) out.insert(f.code);
    return out;
}
Codes both(const Codes& a, const Codes& b) {
    Codes out;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::inserter(out, out.end()));
    return out;
}
// Features other than those of the codes, as texts.
std::multiset<std::string> apart(const std::vector<Feature>& fs, const Codes& codes) {
    std::multiset<std::string> out;
    for (const Feature& f : fs)
        if (!codes.count(f.code)) out.insert(std::to_string(f.layer) + f.text);
    return out;
}
std::map<std::string, bool> checks(const QJsonValue& dump, const QString& tree) {
    std::map<std::string, bool> out;
    std::function<void(const QJsonArray&)> walk = [&](const QJsonArray& nodes) {
        for (const QJsonValue n : nodes)
            out[n["key"].toString().toStdString()] = n["checked"].toBool(), walk(n["children"].toArray());
    };
    walk(dump["trees"][tree].toArray());
    return out;
}
bool checkedInBoth(const QJsonValue& dump, const std::string& key) {
    return checks(dump, "frmViewResTree.TreeRes").at(key) &&
           checks(dump, "frmViewOcableMain.TreeRes").at(key);
}
Codes without(Codes a, const Codes& b) {
    for (const std::string& c : b)
        a.erase(c);
    return a;
}
Codes provinceStations(const std::string& provinces) {
    return column("SELECT STATIONCODE FROM STATION WHERE PROVINCE IN (" + provinces + ")");
}
Codes provinceCables(const std::string& provinces) {
    return column("SELECT OCABLECODE FROM MAP_V_EN_OCABLE WHERE PROVINCE_A IN (" + provinces +
                  ") OR PROVINCE_Z IN (" + provinces + ")");
}

// Unticking a province takes its stations and segments off every layer and
// leaves the rest; ticking brings them back with labels and rows. A station
// drawn in both station layers comes back in its class's (the later) one, a
// segment drawn in both cable layers in the backbone layer: one record each.
TEST(ResourceTreeAutomation, AProvinceLeavesTheMapAndComesBackAndTheRootStaysTicked) {
    const QJsonArray d = runHost(R"([DUMP,
        {"tree": "frmViewResTree.TreeRes", "node": "XZ0116", "do": "uncheck"}, DUMP,
        {"tree": "frmViewResTree.TreeRes", "node": "XZ0116", "do": "check"}, DUMP,
        {"tree": "frmViewResTree.TreeRes", "node": "ROOT", "do": "uncheck"}, {"dump": true},
        {"wait": 400}, {"dump": true}])");
    ASSERT_EQ(d.size(), 5);
    const Codes stations = provinceStations("'XZ0116'"), cables = provinceCables("'XZ0116'");
    Codes all = stations;
    all.insert(cables.begin(), cables.end());
    const auto before = features(d[0]), hidden = features(d[1]), shown = features(d[2]);
    for (int l = 0; l < 4; ++l) {
        EXPECT_FALSE(both(codesOn(before, l), l < 2 ? stations : cables).empty()) << l;
        EXPECT_TRUE(both(codesOn(hidden, l), all).empty()) << l;
    }
    EXPECT_EQ(apart(hidden, all), apart(before, all));
    const Codes inBothStations = both(both(codesOn(before, 0), codesOn(before, 1)), stations);
    const Codes inBothCables = both(both(codesOn(before, 2), codesOn(before, 3)), cables);
    EXPECT_EQ(codesOn(shown, 0), without(codesOn(before, 0), inBothStations));
    EXPECT_EQ(codesOn(shown, 2), without(codesOn(before, 2), inBothCables));
    for (int l : {1, 3})
        EXPECT_EQ(codesOn(shown, l), codesOn(before, l));
    // Objects drawn once come back exactly as they were.
    std::map<std::string, int> drawn;
    for (const Feature& f : before)
        ++drawn[f.code];
    Codes twice;
    for (const auto& [code, n] : drawn)
        if (n > 1 && all.count(code)) twice.insert(code);
    EXPECT_EQ(apart(shown, twice), apart(before, twice));

    for (const QString tree : {"frmViewResTree.TreeRes", "frmViewOcableMain.TreeRes"}) {
        for (const auto& [key, on] : checks(d[1], tree))
            EXPECT_EQ(on, key != kProvince && key.rfind(kProvince + ":", 0) != 0) << key;
        for (const auto& [key, on] : checks(d[2], tree))
            EXPECT_TRUE(on) << key;
    }
    EXPECT_FALSE(checks(d[3], "frmViewResTree.TreeRes").at("ROOT"));
    for (const QString& name : kLayers)
        EXPECT_EQ(ocable::testsupport::layerOf(d[3].toObject(), "Map1", name)["count"],
                  ocable::testsupport::layerOf(d[2].toObject(), "Map1", name)["count"]);
    EXPECT_TRUE(checkedInBoth(d[4], "ROOT"));
}

// Whether the view frames exactly the selection: everything selected lies
// inside and touches two opposite sides.
bool framed(const QJsonValue& dump, const std::vector<Feature>& fs) {
    const QJsonArray b = dump["maps"]["Map1"]["bounds"].toArray();
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (const Feature& f : fs)
        if (f.selected)
            x0 = std::min(x0, f.x0), y0 = std::min(y0, f.y0), x1 = std::max(x1, f.x1),
            y1 = std::max(y1, f.y1);
    const double e = 1e-6 * (b[2].toDouble() - b[0].toDouble());
    const bool inside = b[0].toDouble() <= x0 + e && b[1].toDouble() <= y0 + e && x1 <= b[2].toDouble() + e &&
                        y1 <= b[3].toDouble() + e;
    const bool cx = std::abs((x0 + x1) - (b[0].toDouble() + b[2].toDouble())) < 2 * e;
    const bool cy = std::abs((y0 + y1) - (b[1].toDouble() + b[3].toDouble())) < 2 * e;
    return inside && cx && cy &&
           (std::abs(x0 - b[0].toDouble()) < e || std::abs(y0 - b[1].toDouble()) < e || x0 == x1);
}

// A single station and segment ticked off and on from the main window's
// tree; then a click on each level selects what the database puts below
// the node and frames it.
TEST(ResourceTreeAutomation, LeavesGoAndComeBackAndClicksSelectWhatLiesBelow) {
    const std::string s = *column("SELECT STATIONCODE FROM STATION WHERE PROVINCE = 'XZ0116' AND "
                                  "STATIONTYPE = 'ZY502401' AND X_STATIONTYPE = 'ZY010301'")
                               .begin();
    const std::string c = *column("SELECT OCABLECODE FROM MAP_V_EN_OCABLE WHERE PROVINCE_A = 'XZ0116' AND "
                                  "RESLEVEL IN ('ZY132002', 'ZY110504', 'ZY110505')")
                               .begin();
    const std::string b = *column("SELECT OCABLECODE FROM MAP_V_EN_OCABLE WHERE PROVINCE_A = 'XZ0116' AND "
                                  "RESLEVEL IN ('ZY132001', 'ZY132003', 'ZY110502', 'ZY110503')")
                               .begin();
    const std::string sKey = "XZ0116:STA:" + s, cKey = "XZ0116:OCA:" + c, bKey = "XZ0116:OCA:" + b;
    std::string steps = "[DUMP";
    auto step = [&](const std::string& tree, const std::string& key, const char* what) {
        steps += R"(, {"tree": ")" + tree + R"(", "node": ")" + key + R"(", "do": ")" + what + "\"}";
    };
    for (const char* what : {"uncheck", "check"}) {
        step("frmViewOcableMain.TreeRes", sKey, what);
        step("frmViewOcableMain.TreeRes", cKey, what);
        steps += ", DUMP";
    }
    for (const std::string& key :
         {std::string("中南区"), kProvince, kProvince + ":STA", kProvince + ":OCA", sKey, bKey})
        step("frmViewResTree.TreeRes", key, "click"), steps += ", DUMP";
    const QJsonArray d = runHost(steps + "]");
    ASSERT_EQ(d.size(), 9);

    const auto before = features(d[0]), hidden = features(d[1]);
    ASSERT_TRUE(codesOn(before, 0).count(s) && !codesOn(before, 1).count(s));
    ASSERT_TRUE(codesOn(before, 2).count(c) && !codesOn(before, 3).count(c));
    EXPECT_EQ(apart(hidden, {s, c}), apart(before, {s, c}));
    EXPECT_TRUE(both(codesOn(hidden, 0), {s}).empty() && both(codesOn(hidden, 2), {c}).empty());
    EXPECT_EQ(apart(features(d[2]), {}), apart(before, {}));
    for (const std::string& key : {sKey, cKey}) {
        EXPECT_FALSE(checks(d[1], "frmViewResTree.TreeRes").at(key) ||
                     checks(d[1], "frmViewOcableMain.TreeRes").at(key));
        EXPECT_TRUE(checkedInBoth(d[2], key));
    }

    const std::string domain =
        "SELECT PROVINCE FROM EN_PROVINCE, XTBM WHERE PROVINCE = XTBM AND DOMAINNAME = '中南区'";
    const Codes none;
    const std::vector<std::pair<Codes, Codes>> expected = {
        {provinceStations(domain), provinceCables(domain)},
        {provinceStations("'XZ0116'"), provinceCables("'XZ0116'")},
        {provinceStations("'XZ0116'"), none},
        {none, provinceCables("'XZ0116'")},
        {{s}, none},
        {none, {b}}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto fs = features(d[3 + i]);
        for (int l = 0; l < 4; ++l) {
            const Codes& below = l < 2 ? expected[i].first : expected[i].second;
            const Codes want = both(codesOn(fs, l), below);
            EXPECT_EQ(codesOn(fs, l, true), want) << "click " << i << " layer " << l;
        }
        EXPECT_TRUE(framed(d[3 + i], fs)) << "click " << i;
    }
}

// The city access check: one scope row matching the province, several, and
// none; only province nodes ask.
TEST(ResourceTreeAutomation, DoubleClickAsksByTheUsersScopeRows) {
    const std::string s = *provinceStations("'XZ0116'").begin();
    const std::string steps = R"([
        {"tree": "frmViewResTree.TreeRes", "node": "XZ0116", "do": "dblClick"},
        {"tree": "frmViewResTree.TreeRes", "node": "XZ0101", "do": "dblClick"},
        {"tree": "frmViewResTree.TreeRes", "node": "中南区", "do": "dblClick"},
        {"tree": "frmViewOcableMain.TreeRes", "node": "XZ0116:STA:)" +
                              s + R"(", "do": "dblClick"},
        {"dump": true, "layers": []}])";
    const QString henan = "显示河南省的本地网络系统组织图？", beijing = "显示北京市的本地网络系统组织图？";
    const QString denied = "没有权限进入此地市";
    const std::map<QString, QStringList> cases = {
        {"demo_prov", {henan, denied}}, {"demo_cities", {henan, beijing}}, {"demo_other", {denied, denied}}};
    for (const auto& [user, texts] : cases) {
        const QJsonArray d = runHost(steps, {"--user", user, "--title-a", "甲", "--title-b", "乙"});
        QStringList shown;
        for (const QJsonValue m : d.last()["messages"].toArray()) {
            shown << m["text"].toString();
            const bool ask = m["text"].toString() != denied;
            EXPECT_EQ(m["title"].toString(), ask ? "甲乙Velorn" : "提示");
            EXPECT_EQ(m["buttons"].toString(), ask ? "OKCancel" : "OK");
            EXPECT_EQ(m["answer"].toString(), ask ? "Cancel" : "OK");
        }
        EXPECT_EQ(shown, texts) << user.toStdString();
        EXPECT_TRUE(d.last()["sql"].toArray().contains(
            "select s.username, s.resscope, x.xtxx from sec_resscope s, xtbm x where s.username = '" + user +
            "' and s.resscope like 'XZ0116%' and s.resscope = x.xtbm"));
    }
}

} // namespace
