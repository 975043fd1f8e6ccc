#include "ReferenceData.h"

#include "Codes.h"

#include <map>

namespace ocable::demo {

const std::vector<Domain>& managementDomains() {
    static const std::vector<Domain> domains = {
        {"中南区", "YW04", 1, {"41", "42", "43", "44", "45", "46"}},
        {"华北区", "YW01", 2, {"11", "12", "13", "14", "15"}},
        {"东北区", "YW02", 3, {"21", "22", "23"}},
        {"华东区", "YW03", 4, {"31", "32", "33", "34", "35", "36", "37"}},
        {"西南区", "YW05", 5, {"50", "51", "52", "53", "54"}},
        {"西北区", "YW06", 6, {"61", "62", "63", "64", "65"}},
        {"港澳台", "YW07", 7, {"71", "81", "82"}},
        {"海外区", "YW08", 8, {}},
    };
    return domains;
}

const std::vector<DictionaryEntry>& columnCaptions() {
    static const std::vector<DictionaryEntry> entries = [] {
        std::vector<DictionaryEntry> e;
        auto add = [&](const char* table, std::initializer_list<std::pair<const char*, const char*>> cols) {
            for (auto [col, caption] : cols)
                e.push_back({table, col, caption});
        };
        add("STATION", {{"STATIONCODE", "局站编码"},
                        {"STATIONNAME", "局站名称"},
                        {"LNG", "经度"},
                        {"LAT", "纬度"},
                        {"PROVINCE", "所属省份"},
                        {"CITY", "所属地市"},
                        {"COUNTY", "所属区县"},
                        {"ADDRESS", "地址"},
                        {"X_STATIONTYPE", "局站类型"},
                        {"STATIONTYPE_II", "局站类型二"},
                        {"STATIONTYPE_III", "局站类型三"},
                        {"STATIONTYPE", "资源类型"},
                        {"PROPERTY", "产权性质"},
                        {"OWNER", "产权单位"},
                        {"MAINTAINER", "维护单位"},
                        {"BUILDDATE", "建设日期"},
                        {"STATE", "状态"},
                        {"REMARK", "备注"},
                        {"CRITICAL_C", "紧急告警(当前)"},
                        {"MAJOR_C", "主要告警(当前)"},
                        {"MINOR_C", "次要告警(当前)"},
                        {"WARNING_C", "提示告警(当前)"},
                        {"INDETERMIN_C", "未定告警(当前)"},
                        {"CRITICAL_A", "紧急告警(累计)"},
                        {"MAJOR_A", "主要告警(累计)"},
                        {"MINOR_A", "次要告警(累计)"},
                        {"WARNING_A", "提示告警(累计)"},
                        {"INDETERMIN_A", "未定告警(累计)"}});
        add("EN_OCABLE", {{"OCABLECODE", "光缆段编码"},
                          {"OCABLENAME", "光缆段名称"},
                          {"STATION_A", "A端局站编码"},
                          {"STATION_Z", "Z端局站编码"},
                          {"STATIONNAME_A", "A端局站"},
                          {"STATIONNAME_Z", "Z端局站"},
                          {"PROVINCE_A", "A端省份"},
                          {"PROVINCE_Z", "Z端省份"},
                          {"RESLEVEL", "资源级别"},
                          {"X_SYSLEVEL", "系统级别"},
                          {"LAYMODE", "敷设方式"},
                          {"LENGTH", "长度(公里)"},
                          {"FIBERNUM", "纤芯数"},
                          {"USEDFIBERNUM", "占用纤芯数"},
                          {"SYSTEMNUM", "承载系统数"},
                          {"FIBERTYPE", "光纤类型"},
                          {"PROPERTY", "产权性质"},
                          {"OWNER", "产权单位"},
                          {"MAINTAINER", "维护单位"},
                          {"PROJECTNAME", "工程名称"},
                          {"BUILDDATE", "建设日期"},
                          {"STATE", "状态"},
                          {"LNG_A", "A端经度"},
                          {"LAT_A", "A端纬度"},
                          {"LNG_Z", "Z端经度"},
                          {"LAT_Z", "Z端纬度"},
                          {"REMARK", "备注"}});
        add("TRANSSYSTEM", {{"SYSTEMCODE", "系统编码"},
                            {"SYSNAME", "系统名称"},
                            {"TRANMODEL", "传输制式"},
                            {"SYSLEVEL", "系统级别"},
                            {"RATE", "速率"},
                            {"PROVINCE", "所属省份"},
                            {"STATION_A", "A端局站"},
                            {"STATION_Z", "Z端局站"},
                            {"BUILDDATE", "建设日期"},
                            {"STATE", "状态"},
                            {"REMARK", "备注"}});
        return e;
    }();
    return entries;
}

const std::vector<DisplayColumn>& displayColumns() {
    static const std::vector<DisplayColumn> columns = [] {
        std::vector<DisplayColumn> c;
        auto add = [&](const char* table, std::initializer_list<std::pair<const char*, bool>> cols) {
            int serial = 0;
            for (auto [col, visible] : cols) {
                std::string caption;
                for (const auto& e : columnCaptions())
                    if (e.table == table && e.column == col) caption = e.caption;
                c.push_back({table, col, caption, visible, ++serial});
            }
        };
        add("EN_OCABLE",
            {{"OCABLENAME", true}, {"STATIONNAME_A", true}, {"STATIONNAME_Z", true}, {"LENGTH", true},
             {"RESLEVEL", true},   {"LAYMODE", true},       {"FIBERNUM", true},      {"USEDFIBERNUM", true},
             {"SYSTEMNUM", true},  {"FIBERTYPE", true},     {"PROPERTY", true},      {"OWNER", true},
             {"BUILDDATE", true},  {"STATE", true},         {"OCABLECODE", false},   {"STATION_A", false},
             {"STATION_Z", false}, {"X_SYSLEVEL", false},   {"MAINTAINER", false},   {"PROJECTNAME", false},
             {"REMARK", false}});
        add("STATION", {{"STATIONNAME", true},
                        {"ADDRESS", true},
                        {"X_STATIONTYPE", true},
                        {"STATIONTYPE", true},
                        {"LNG", true},
                        {"LAT", true},
                        {"PROVINCE", true},
                        {"CITY", true},
                        {"OWNER", true},
                        {"MAINTAINER", true},
                        {"BUILDDATE", true},
                        {"STATE", true},
                        {"STATIONCODE", false},
                        {"COUNTY", false},
                        {"STATIONTYPE_II", false},
                        {"STATIONTYPE_III", false},
                        {"PROPERTY", false},
                        {"REMARK", false}});
        return c;
    }();
    return columns;
}

namespace {

class TreeBuilder {
public:
    TreeBuilder(RuleSet& set, int& groupSerial, const std::string& ruleKey)
        : set_(set), groupSerial_(groupSerial), ruleKey_(ruleKey) {}

    void root(const std::string& name) { set_.rows.push_back({ruleKey_, name, "NULL", 0, ruleKey_, "NO"}); }

    std::string group(const std::string& parent, int level, const std::string& name) {
        const std::string key = "划分方法" + std::to_string(++groupSerial_);
        set_.rows.push_back({key, name, parent, level, ruleKey_, "YES"});
        return key;
    }

    void system(const std::string& parent, int level, const std::string& code, const std::string& name) {
        set_.rows.push_back({ruleKey_ + ":" + code, code + "(" + name + ")", parent, level, ruleKey_, "NO"});
    }

private:
    RuleSet& set_;
    int& groupSerial_;
    std::string ruleKey_;
};

} // namespace

RuleSet divisionRules(const BaseMap& map, const Network& net) {
    RuleSet set;
    int groupSerial = 0;
    set.rules = {{"按管理区域划分", "按管理区域划分", "NO"},
                 {"按传输制式划分", "按传输制式划分", ""},
                 {"划分原则1", "划分原则1", std::nullopt}};

    // By management area: domain, then province, then the systems.
    {
        const std::string key = set.rules[0].key;
        TreeBuilder tree(set, groupSerial, key);
        tree.root(set.rules[0].name);
        const Province* home = map.provinceByRegion(kHomeProvince);
        const std::size_t homeCapital =
            home && !home->cities.empty() ? home->cities.front() : map.cities.size();

        std::vector<std::size_t> firstTrunk;
        std::map<std::string, std::vector<std::size_t>> byProvince;
        std::vector<std::size_t> capitalLocal;
        for (std::size_t s = 0; s < net.systems.size(); ++s) {
            const TransSystem& sys = net.systems[s];
            const bool local = sys.level == codes::kSysLocalCore || sys.level == codes::kSysLocalAggregation;
            if (sys.firstTrunk)
                firstTrunk.push_back(s);
            else if (local && sys.stationA && net.stations[*sys.stationA].city == homeCapital)
                capitalLocal.push_back(s);
            else
                byProvince[sys.province].push_back(s);
        }
        if (!firstTrunk.empty()) {
            const std::string g = tree.group(key, 1, "一干系统");
            for (std::size_t s : firstTrunk)
                tree.system(g, 2, net.systems[s].code, net.systems[s].name);
        }
        for (const Domain& d : managementDomains()) {
            std::vector<const Province*> provinces;
            for (const Province& p : map.provinces)
                for (const auto& prefix : d.provincePrefixes)
                    if (p.gbcode.rfind(prefix, 0) == 0 && (byProvince.count(p.regionCode) || &p == home))
                        provinces.push_back(&p);
            if (provinces.empty()) continue;
            const std::string dg = tree.group(key, 1, d.name);
            for (const Province* p : provinces) {
                const std::string pg = tree.group(dg, 2, p->name);
                for (std::size_t s : byProvince[p->regionCode])
                    tree.system(pg, 3, net.systems[s].code, net.systems[s].name);
                if (p == home) {
                    // The capital's own local network is managed in its own view.
                    const std::string lg = tree.group(pg, 3, map.cities[homeCapital].shortName + "本地网");
                    for (std::size_t s : capitalLocal)
                        tree.system(lg, 4, net.systems[s].code, net.systems[s].name);
                    tree.system(pg, 3, net.orphanSystemCode,
                                map.cities[homeCapital].shortName + "老城SDH接入环(已拆除)");
                }
            }
        }
    }

    // By transmission model, with one group nobody has filled yet.
    {
        const std::string key = set.rules[1].key;
        TreeBuilder tree(set, groupSerial, key);
        tree.root(set.rules[1].name);
        std::map<std::string, std::vector<std::size_t>> byModel;
        for (std::size_t s = 0; s < net.systems.size(); ++s)
            byModel[net.systems[s].model].push_back(s);
        for (const auto& [model, systems] : byModel) {
            std::string caption = model;
            for (const auto& c : codes::resourceCodes())
                if (c.code == model) caption = c.description;
            const std::string g = tree.group(key, 1, caption + "系统");
            for (std::size_t s : systems)
                tree.system(g, 2, net.systems[s].code, net.systems[s].name);
        }
        tree.group(key, 1, "待分类");
    }
    return set;
}

std::vector<ScopeRow> resourceScopes(const BaseMap& map) {
    std::vector<ScopeRow> rows;
    const Province* home = map.provinceByRegion(kHomeProvince);
    if (!home) return rows;
    rows.push_back({"demo_prov", kHomeProvince, "PROVINCE", "2020-03-01"});
    for (std::size_t k = 0; k < std::min<std::size_t>(3, home->cities.size()); ++k)
        rows.push_back({"demo_cities", map.cities[home->cities[k]].regionCode, "CITY", "2020-03-01"});
    if (home->cities.size() > 1)
        rows.push_back({"demo_city", map.cities[home->cities[1]].regionCode, "CITY", "2020-05-12"});
    for (const Province& p : map.provinces)
        if (p.regionCode != kHomeProvince && !p.cities.empty()) {
            rows.push_back({"demo_other", p.regionCode, "PROVINCE", "2021-01-04"});
            break;
        }
    return rows;
}

} // namespace ocable::demo
