// The resource tree's ticks, clicks and double clicks through the host's
// automation, checked against what the database says lies below each node.

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

// The four network layers, then the alarm markers the host put on at start.
const QStringList kLayers = {"光缆网络分布图_终端站", "光缆网络分布图_其它局站", "光缆网络分布图_光缆段",
                             "光缆网络分布图_骨干光缆段", "光缆网络分布图_告警"};
constexpr int kMarkers = 4;
const QStringList kTrees = {"frmViewResTree.TreeRes", "frmViewOcableMain.TreeRes"};
using Codes = std::set<std::string>;

// DUMP in the steps stands for a dump of those layers' features.
QJsonArray runHost(const std::string& script, const QStringList& extra = {}) {
    static const auto root = HostRunner::freshRoot("restree");
    const auto run = HostRunner::run(root->path(), ocable::testsupport::withDumps(script, kLayers), extra);
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    return run.dumps();
}

Codes column(const std::string& sql) {
    const auto rows = ocable::testsupport::firstColumn(HostRunner::sharedRoot() / "network.db", sql);
    return {rows.begin(), rows.end()};
}
std::string first(const std::string& sql) {
    return *column(sql).begin();
}
// Stations and cable segments of the provinces (an SQL list).
std::pair<Codes, Codes> below(const std::string& provinces) {
    return {column("SELECT STATIONCODE FROM STATION WHERE PROVINCE IN (" + provinces + ")"),
            column("SELECT OCABLECODE FROM MAP_V_EN_OCABLE WHERE PROVINCE_A IN (" + provinces +
                   ") OR PROVINCE_Z IN (" + provinces + ")")};
}

struct Feature {
    int layer;
    std::string code, text; // text: layer, row, parts and style
    bool selected;
    QJsonArray part; // the points the view is fitted to
};
std::vector<Feature> features(const QJsonValue& dump) {
    std::vector<Feature> out;
    for (int i = 0; i < kLayers.size(); ++i) {
        const QJsonObject layer = ocable::testsupport::layerOf(dump.toObject(), "Map1", kLayers[i]);
        for (const QJsonValue f : layer["features"].toArray())
            out.push_back(
                {i, f["row"][1].toString().toStdString(),
                 QJsonDocument(QJsonArray{i, f["row"], f["parts"], f["style"]}).toJson().toStdString(),
                 layer["selection"].toArray().contains(f["key"]), f["parts"][0].toArray()});
    }
    return out;
}
Codes codesOn(const std::vector<Feature>& fs, int layer) {
    Codes out;
    for (const Feature& f : fs)
        if (f.layer == layer) out.insert(f.code);
    return out;
}
// Every feature but those of the codes.
std::multiset<std::string> apart(const std::vector<Feature>& fs, const Codes& codes = {}) {
    std::multiset<std::string> out;
    for (const Feature& f : fs)
        if (!codes.count(f.code)) out.insert(f.text);
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

// Whether the view is the selection's rectangle fitted into the window.
bool framed(const QJsonValue& dump, const std::vector<Feature>& fs) {
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (const Feature& f : fs)
        for (const QJsonValue p : f.selected ? f.part : QJsonArray())
            x0 = std::min(x0, p[0].toDouble()), x1 = std::max(x1, p[0].toDouble()),
            y0 = std::min(y0, p[1].toDouble()), y1 = std::max(y1, p[1].toDouble());
    const QJsonArray b = dump["maps"]["Map1"]["bounds"].toArray();
    const double w = b[2].toDouble() - b[0].toDouble(), h = b[3].toDouble() - b[1].toDouble(), e = 1e-6 * w;
    return std::abs(x0 + x1 - b[0].toDouble() - b[2].toDouble()) < e &&
           std::abs(y0 + y1 - b[1].toDouble() - b[3].toDouble()) < e &&
           (std::abs(x1 - x0 - w) < e || std::abs(y1 - y0 - h) < e || x0 == x1);
}

// A province, then a station and a segment, leave the map and come back with
// labels and rows (an object drawn twice has one record: it comes back once,
// in the later station layer or the backbone layer); the root stays ticked;
// a click on each level selects what the database puts below it and frames it.
TEST(ResourceTreeAutomation, TicksHideAndShowAndClicksSelectWhatLiesBelow) {
    // A terminal station, an ordinary segment and a backbone one, each drawn once.
    const std::string s = first("SELECT STATIONCODE FROM STATION WHERE STATIONTYPE = 'ZY502401' AND "
                                "X_STATIONTYPE = 'ZY010301' AND PROVINCE = 'XZ0116'");
    const std::string cable =
        "SELECT OCABLECODE FROM MAP_V_EN_OCABLE WHERE PROVINCE_A = 'XZ0116' AND RESLEVEL = ";
    const std::string c = first(cable + "'ZY132002'"), b = first(cable + "'ZY110503'");
    const std::vector<std::string> leaves = {"XZ0116:STA:" + s, "XZ0116:OCA:" + c};
    std::string steps = R"([DUMP,
        {"tree": "frmViewResTree.TreeRes", "node": "XZ0116", "do": "uncheck"}, DUMP,
        {"tree": "frmViewResTree.TreeRes", "node": "XZ0116", "do": "check"}, DUMP,
        {"tree": "frmViewResTree.TreeRes", "node": "ROOT", "do": "uncheck"}, DUMP,
        {"wait": 400}, {"dump": true})";
    auto step = [&](const QString& tree, const std::string& key, const char* what) {
        steps += R"(, {"tree": ")" + tree.toStdString() + R"(", "node": ")" + key + R"(", "do": ")" + what +
                 R"("})";
    };
    for (const char* what : {"uncheck", "check"}) {
        for (const std::string& key : leaves)
            step(kTrees[1], key, what);
        steps += ", DUMP";
    }
    for (const std::string& key : std::vector<std::string>{"中南区", "XZ0116", "XZ0116:STA", "XZ0116:OCA",
                                                           "XZ0116:STA:" + s, "XZ0116:OCA:" + b})
        step(kTrees[0], key, "click"), steps += ", DUMP";
    const QJsonArray d = runHost(steps + "]");

    auto [all, cables] = below("'XZ0116'");
    all.insert(cables.begin(), cables.end());
    const auto before = features(d[0]), hidden = features(d[1]), shown = features(d[2]);
    EXPECT_EQ(apart(hidden), apart(before, all));
    for (int l = 0; l < 4; ++l) {
        Codes back = codesOn(before, l), other = codesOn(before, l ^ 1);
        if (l == 0 || l == 2)
            std::erase_if(back, [&](auto& code) { return all.count(code) && other.count(code); });
        EXPECT_EQ(codesOn(shown, l), back) << l;
    }
    std::map<std::string, int> drawn;
    Codes twice;
    for (const Feature& f : before)
        if (++drawn[f.code] > 1 && all.count(f.code)) twice.insert(f.code);
    // A station in alarm comes back as drawn: the host's alarm colours and
    // markers return with its next alarm event, not with the tick.
    Codes alarmed, skip = twice;
    for (const Feature& f : before)
        if (all.count(f.code) && f.text.find("告警") != std::string::npos) alarmed.insert(f.code);
    skip.insert(alarmed.begin(), alarmed.end());
    EXPECT_FALSE(alarmed.empty());
    // Their markers leave with the stations and stay off when they come back.
    auto markers = [&](const std::vector<Feature>& fs) {
        Codes out;
        for (const Feature& f : fs)
            if (f.layer == kMarkers && all.count(f.code)) out.insert(f.code);
        return out;
    };
    EXPECT_FALSE(markers(before).empty());
    EXPECT_TRUE(markers(hidden).empty());
    EXPECT_TRUE(markers(shown).empty());
    EXPECT_EQ(apart(shown, skip), apart(before, skip));
    for (const Feature& f : shown)
        EXPECT_TRUE(!alarmed.count(f.code) || f.text.find("告警") == std::string::npos) << f.text;
    for (const QString& tree : kTrees) {
        for (const auto& [key, on] : checks(d[1], tree))
            EXPECT_EQ(on, key != "XZ0116" && key.rfind("XZ0116:", 0) != 0) << key;
        for (const auto& [key, on] : checks(d[2], tree))
            EXPECT_TRUE(on) << key;
        EXPECT_TRUE(checks(d[4], tree).at("ROOT"));
        for (const std::string& key : leaves)
            EXPECT_TRUE(!checks(d[5], tree).at(key) && checks(d[6], tree).at(key)) << key;
    }
    EXPECT_FALSE(checks(d[3], kTrees[0]).at("ROOT"));
    EXPECT_EQ(apart(features(d[3])), apart(shown));

    ASSERT_TRUE(codesOn(shown, 0).count(s) && codesOn(shown, 2).count(c) && !codesOn(shown, 2).count(b));
    EXPECT_EQ(apart(features(d[5])), apart(shown, {s, c}));
    EXPECT_EQ(apart(features(d[6])), apart(shown));
    const auto province = below("'XZ0116'");
    const std::vector<std::pair<Codes, Codes>> expected = {
        below("SELECT PROVINCE FROM EN_PROVINCE WHERE DOMAINNAME = '中南区'"),
        province,
        {province.first, {}},
        {{}, province.second},
        {{s}, {}},
        {{}, {b}}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto fs = features(d[7 + i]);
        for (const Feature& f : fs)
            EXPECT_EQ(f.selected, (f.layer < 2 ? expected[i].first : expected[i].second).count(f.code) > 0)
                << "click " << i << f.text;
        EXPECT_TRUE(framed(d[7 + i], fs)) << "click " << i;
    }
}

// The access check with one matching scope row, several, none; only provinces ask.
TEST(ResourceTreeAutomation, DoubleClickAsksByTheUsersScopeRows) {
    const std::string steps = R"([
        {"tree": "frmViewResTree.TreeRes", "node": "XZ0116", "do": "dblClick"},
        {"tree": "frmViewResTree.TreeRes", "node": "XZ0101", "do": "dblClick"},
        {"tree": "frmViewResTree.TreeRes", "node": "中南区", "do": "dblClick"},
        {"tree": "frmViewOcableMain.TreeRes", "node": "XZ0116:STA", "do": "dblClick"},
        {"dump": true, "layers": []}])";
    const QString henan = "显示河南省的本地网络系统组织图？", denied = "没有权限进入此地市";
    const std::map<QString, QStringList> cases = {
        {"demo_prov", {henan, denied}},
        {"demo_cities", {henan, "显示北京市的本地网络系统组织图？"}},
        {"demo_other", {denied, denied}}};
    for (const auto& [user, texts] : cases) {
        const QJsonArray d = runHost(steps, {"--user", user, "--title-a", "甲", "--title-b", "乙"});
        QStringList shown;
        for (const QJsonValue m : d.last()["messages"].toArray()) {
            shown << m["text"].toString();
            const bool ask = shown.last() != denied;
            EXPECT_EQ(m["title"].toString() + m["buttons"].toString() + m["icon"].toString() +
                          m["answer"].toString(),
                      ask ? "甲乙VelornOKCancelQuestionCancel" : "提示OKNoneOK");
        }
        EXPECT_EQ(shown, texts) << user.toStdString();
        EXPECT_TRUE(d.last()["sql"].toArray().contains(
            "select s.username, s.resscope, x.xtxx from sec_resscope s, xtbm x where s.username = '" + user +
            "' and s.resscope like 'XZ0116%' and s.resscope = x.xtbm"));
    }
}

} // namespace
