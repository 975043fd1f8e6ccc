#include "DatabaseWriter.h"

#include "Codes.h"
#include "Geo.h"
#include "ReferenceData.h"

#include <cmath>
#include <map>

namespace ocable::demo {

namespace {

std::optional<double> coordinate(bool present, std::int64_t e8) {
    return present ? std::optional<double>(fromE8(e8)) : std::nullopt;
}

void writeCodes(SqliteDb& db, const BaseMap& map) {
    SqliteStatement st(db, "INSERT INTO XTBM (XTBM, XTXX, XTLB, SJBM, PXH) VALUES (?, ?, ?, ?, ?)");
    std::map<std::string, int> order;
    for (const auto& c : codes::resourceCodes())
        st.bind(1, c.code)
            .bind(2, c.description)
            .bind(3, c.codeClass)
            .bindNull(4)
            .bind(5, ++order[c.codeClass])
            .run();
    int serial = 0;
    for (const Province& p : map.provinces) {
        st.bind(1, p.regionCode).bind(2, p.name).bind(3, "XZ01").bindNull(4).bind(5, ++serial).run();
        int citySerial = 0;
        for (std::size_t c : p.cities)
            st.bind(1, map.cities[c].regionCode)
                .bind(2, map.cities[c].name)
                .bind(3, "XZ01")
                .bind(4, p.regionCode)
                .bind(5, ++citySerial)
                .run();
    }
}

void writeRegions(SqliteDb& db, const BaseMap& map) {
    // Inserted in name order; the map orders domains by SERIALNO.
    std::map<std::string, const Domain*> byName;
    for (const Domain& d : managementDomains())
        byName[d.name] = &d;
    SqliteStatement domain(
        db, "INSERT INTO EN_ADMIN_DOMAIN (DOMAINNAME, DOMAINCODE, SERIALNO, REMARK) VALUES (?, ?, ?, ?)");
    for (const auto& [name, d] : byName)
        domain.bind(1, name)
            .bind(2, d->code)
            .bind(3, d->serial)
            .bind(4, d->provincePrefixes.empty() ? OptText("筹建中") : std::nullopt)
            .run();

    SqliteStatement province(
        db, "INSERT INTO EN_PROVINCE (PROVINCE, DOMAINNAME, GBCODE, SHORTNAME, CAPITAL, SERIALNO) "
            "VALUES (?, ?, ?, ?, ?, ?)");
    SqliteStatement link(db, "INSERT INTO GUI_RE_DOMAIN_PROVINCE (DOMAINNAME, PROVINCE) VALUES (?, ?)");
    int serial = 0;
    for (const Province& p : map.provinces) {
        std::string domainName;
        for (const Domain& d : managementDomains())
            for (const auto& prefix : d.provincePrefixes)
                if (p.gbcode.rfind(prefix, 0) == 0) domainName = d.name;
        province.bind(1, p.regionCode)
            .bind(2, domainName)
            .bind(3, p.gbcode)
            .bind(4, p.shortName)
            .bind(5, p.cities.empty() ? OptText() : OptText(map.cities[p.cities.front()].regionCode))
            .bind(6, ++serial)
            .run();
        link.bind(1, domainName).bind(2, p.regionCode).run();
    }

    SqliteStatement scope(
        db, "INSERT INTO sec_resscope (USERNAME, RESSCOPE, SCOPELEVEL, GRANTDATE) VALUES (?, ?, ?, ?)");
    for (const ScopeRow& r : resourceScopes(map))
        scope.bind(1, r.user).bind(2, r.scope).bind(3, r.level).bind(4, r.date).run();
}

void writeStations(SqliteDb& db, const BaseMap& map, const Network& net,
                   const std::function<void(const std::string&)>& progress) {
    SqliteStatement st(
        db, "INSERT INTO STATION (STATIONCODE, STATIONNAME, LNG, LAT, PROVINCE, CITY, COUNTY, ADDRESS, "
            "X_STATIONTYPE, STATIONTYPE_II, STATIONTYPE_III, STATIONTYPE, PROPERTY, OWNER, MAINTAINER, "
            "BUILDDATE, STATE, REMARK, CRITICAL_C, MAJOR_C, MINOR_C, WARNING_C, INDETERMIN_C, "
            "CRITICAL_A, MAJOR_A, MINOR_A, WARNING_A, INDETERMIN_A) "
            "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (std::size_t i = 0; i < net.stations.size(); ++i) {
        const Station& s = net.stations[i];
        const City& city = map.cities[s.city];
        st.bind(1, s.code)
            .bind(2, s.name)
            .bind(3, coordinate(s.hasCoordinates, s.lngE8))
            .bind(4, coordinate(s.hasCoordinates, s.latE8))
            .bind(5, map.provinceOf(city).regionCode)
            .bind(6, city.regionCode)
            .bind(7, s.countyGb)
            .bind(8, s.address)
            .bind(9, s.xType)
            .bind(10, s.type2)
            .bind(11, s.type3)
            .bind(12, s.resType)
            .bind(13, s.property)
            .bind(14, s.owner)
            .bind(15, s.maintainer)
            .bind(16, s.buildDate)
            .bind(17, s.state)
            .bind(18, s.remark);
        for (int k = 0; k < 10; ++k)
            st.bind(19 + k, std::to_string(s.alarms[static_cast<std::size_t>(k)]));
        st.run();
        if ((i + 1) % 25000 == 0)
            progress("stations " + std::to_string(i + 1) + "/" + std::to_string(net.stations.size()));
    }
}

void writeCables(SqliteDb& db, const Network& net, const std::function<void(const std::string&)>& progress) {
    SqliteStatement st(
        db, "INSERT INTO EN_OCABLE (OCABLECODE, OCABLENAME, STATION_A, STATION_Z, RESLEVEL, X_SYSLEVEL, "
            "LAYMODE, LENGTH, FIBERNUM, FIBERTYPE, PROPERTY, OWNER, MAINTAINER, PROJECTNAME, BUILDDATE, "
            "STATE, LNG_A, LAT_A, LNG_Z, LAT_Z, REMARK) "
            "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (std::size_t i = 0; i < net.cables.size(); ++i) {
        const Cable& c = net.cables[i];
        st.bind(1, c.code)
            .bind(2, c.name)
            .bind(3, net.stations[c.a].code)
            .bind(4, net.stations[c.z].code)
            .bind(5, c.resLevel)
            .bind(6, c.sysLevel)
            .bind(7, c.layMode)
            .bind(8, c.length)
            .bind(9, c.fiberNum)
            .bind(10, c.fiberType)
            .bind(11, c.property)
            .bind(12, c.owner)
            .bind(13, c.maintainer)
            .bind(14, c.project.empty() ? OptText() : OptText(c.project))
            .bind(15, c.buildDate)
            .bind(16, c.state)
            .bind(17, coordinate(c.surveyed, c.lngAE8))
            .bind(18, coordinate(c.surveyed, c.latAE8))
            .bind(19, coordinate(c.surveyed, c.lngZE8))
            .bind(20, coordinate(c.surveyed, c.latZE8))
            .bind(21, c.remark)
            .run();
        if ((i + 1) % 50000 == 0)
            progress("cable segments " + std::to_string(i + 1) + "/" + std::to_string(net.cables.size()));
    }
    SqliteStatement mw(
        db, "INSERT INTO EN_MW_SEG (SEG_CODE, SEG_NAME, STATION_A, STATION_Z, FREQBAND, CAPACITY, LENGTH, "
            "BUILDDATE, STATE) VALUES (?,?,?,?,?,?,?,?,?)");
    for (const MicrowaveSegment& m : net.microwave)
        mw.bind(1, m.code)
            .bind(2, m.name)
            .bind(3, net.stations[m.a].code)
            .bind(4, net.stations[m.z].code)
            .bind(5, m.freqBand)
            .bind(6, m.capacity)
            .bind(7, std::optional<double>(m.length))
            .bind(8, m.buildDate)
            .bind(9, m.state)
            .run();
}

void writeSystems(SqliteDb& db, const Network& net) {
    SqliteStatement sys(
        db, "INSERT INTO TRANSSYSTEM (SYSTEMCODE, SYSNAME, TRANMODEL, SYSLEVEL, RATE, PROVINCE, STATION_A, "
            "STATION_Z, BUILDDATE, STATE, REMARK) VALUES (?,?,?,?,?,?,?,?,?,?,?)");
    SqliteStatement rel(
        db, "INSERT INTO re_ocable_transsystem (SYSTEMCODE, OCABLECODE, ROUTEORDER) VALUES (?, ?, ?)");
    auto stationCode = [&](const std::optional<std::size_t>& s) {
        return s ? OptText(net.stations[*s].code) : std::nullopt;
    };
    for (const TransSystem& s : net.systems) {
        sys.bind(1, s.code)
            .bind(2, s.name)
            .bind(3, s.model)
            .bind(4, s.level)
            .bind(5, s.rate)
            .bind(6, s.province)
            .bind(7, stationCode(s.stationA))
            .bind(8, stationCode(s.stationZ))
            .bind(9, s.buildDate)
            .bind(10, s.state)
            .bind(11, s.remark)
            .run();
        int order = 0;
        for (std::size_t c : s.route)
            rel.bind(1, s.code).bind(2, net.cables[c].code).bind(3, ++order).run();
    }
    SqliteStatement fiber(db, "INSERT INTO EN_FIBER (FIBERCODE, OCABLECODE, FIBERNO, SYSTEMCODE, FIBERSTATE) "
                              "VALUES (?,?,?,?,?)");
    for (const Fiber& f : net.fibers)
        fiber.bind(1, f.code)
            .bind(2, net.cables[f.cable].code)
            .bind(3, f.fiberNo)
            .bind(4, f.system ? OptText(net.systems[*f.system].code) : std::nullopt)
            .bind(5, f.state)
            .run();

    SqliteStatement link(
        db, "INSERT INTO EN_DWDM_RES (DWDMTOPOLINKCODE, LINKNAME, DWDMSYSTEMCODE, STATION_A, STATION_Z, "
            "WAVECOUNT) VALUES (?,?,?,?,?,?)");
    for (const DwdmLink& l : net.links)
        link.bind(1, l.code)
            .bind(2, l.name)
            .bind(3, net.systems[net.dwdmSystems[l.dwdm].system].code)
            .bind(4, net.stations[l.a].code)
            .bind(5, net.stations[l.z].code)
            .bind(6, l.waveCount)
            .run();
    SqliteStatement channel(
        db, "INSERT INTO EN_DWDM_CHANNEL (DWDMCHANNELCODE, DWDMTOPOLINKCODE, WAVENO, WAVELENGTH, "
            "RATE, STATE) VALUES (?,?,?,?,?,?)");
    for (const DwdmChannel& c : net.channels) {
        // 100 GHz grid downwards from 196.0 THz, in nm rounded to 0.01.
        const double thz = 196.0 - 0.1 * (c.waveNo - 1);
        const double nm = std::round(299792.458 / thz * 100) / 100;
        channel.bind(1, c.code)
            .bind(2, net.links[c.link].code)
            .bind(3, c.waveNo)
            .bind(4, std::optional<double>(nm))
            .bind(5, c.rate)
            .bind(6, c.state)
            .run();
    }
    SqliteStatement use(db, "INSERT INTO RE_DWDMC_SDHT (SYSTEMCODE, CHANNELSERIAL) VALUES (?, ?)");
    for (const ChannelUse& u : net.channelUses)
        use.bind(1, net.systems[u.system].code).bind(2, net.channels[u.channel].code).run();
}

void writeRulesAndDictionaries(SqliteDb& db, const BaseMap& map, const Network& net) {
    const RuleSet rules = divisionRules(map, net);
    SqliteStatement rule(db, "INSERT INTO EN_SUBNET_P (P_KEY, P_NAME, REMARK) VALUES (?, ?, ?)");
    for (const Rule& r : rules.rules)
        rule.bind(1, r.key).bind(2, r.name).bind(3, r.remark).run();
    SqliteStatement node(
        db, "INSERT INTO RE_TREE_STRUCT (NODEKEY, NODENAME, PARENTKEY, NODELEVEL, P_KEY, IS_DELETE) "
            "VALUES (?,?,?,?,?,?)");
    for (const TreeRow& r : rules.rows)
        node.bind(1, r.nodeKey)
            .bind(2, r.nodeName)
            .bind(3, r.parentKey)
            .bind(4, r.level)
            .bind(5, r.ruleKey)
            .bind(6, r.isDelete)
            .run();

    SqliteStatement caption(db, "INSERT INTO tabledictionary (TABLENAME, ENFIELD, CHFIELD) VALUES (?, ?, ?)");
    for (const DictionaryEntry& e : columnCaptions())
        caption.bind(1, e.table).bind(2, e.column).bind(3, e.caption).run();
    // Stored in column order of the table; the line window sorts them itself.
    std::map<std::pair<std::string, std::string>, const DisplayColumn*> sorted;
    for (const DisplayColumn& c : displayColumns())
        sorted[{c.table, c.column}] = &c;
    SqliteStatement shown(db,
                          "INSERT INTO tabledictionarynew (tablename, ENFIELD, CHFIELD, isVisible, serial) "
                          "VALUES (?, ?, ?, ?, ?)");
    for (const auto& [key, c] : sorted)
        shown.bind(1, c->table)
            .bind(2, c->column)
            .bind(3, c->caption)
            .bind(4, c->visible ? "Y" : "N")
            .bind(5, c->serial)
            .run();

    db.exec(
        "INSERT INTO OPERATIONLOG (OPCODE, OPCONTENT, OBJECTCODE, OBJECTTYPE, PARAM1, PARAM2, USERNAME, "
        "OPTIME) "
        "VALUES ('99', '划分原则2节点->删除划分原则2', 'NULL', 0, '', '', 'admin', '2021-06-01 09:30:12'),"
        "('99', '干线系统节点->删除划分原则3', 'NULL', 0, '', '', 'demo_prov', '2021-09-17 15:02:47')");
}

} // namespace

void writeDatabase(SqliteDb& db, const BaseMap& map, const Network& net,
                   const std::function<void(const std::string&)>& progress) {
    db.exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA temp_store = MEMORY; "
            "PRAGMA cache_size = -65536");
    db.exec(schemaSql());
    db.exec("BEGIN");
    writeCodes(db, map);
    writeRegions(db, map);
    writeStations(db, map, net, progress);
    writeCables(db, net, progress);
    writeSystems(db, net);
    writeRulesAndDictionaries(db, map, net);
    db.exec("COMMIT");
    progress("analysing");
    db.exec("ANALYZE");
}

} // namespace ocable::demo
