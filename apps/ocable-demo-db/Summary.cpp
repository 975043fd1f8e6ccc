#include "Summary.h"

#include <sstream>
#include <vector>

namespace ocable::demo {

namespace {

// Null types count as not matching, as on the map.
const char* const kTerminal = "('ZY010301' IN (IFNULL(X_STATIONTYPE, ''), IFNULL(STATIONTYPE_II, ''), "
                              "IFNULL(STATIONTYPE_III, '')) OR IFNULL(STATIONTYPE, '') = 'ZY502401')";
const char* const kRelay = "('ZY010312' IN (IFNULL(X_STATIONTYPE, ''), IFNULL(STATIONTYPE_II, ''), "
                           "IFNULL(STATIONTYPE_III, '')) OR IFNULL(STATIONTYPE, '') = 'ZY502402')";
const char* const kOrdinary =
    "COALESCE(RESLEVEL, '') NOT IN ('ZY132001', 'ZY132003', 'ZY110502', 'ZY110503')";
const char* const kBackbone = "COALESCE(RESLEVEL, '') NOT IN ('ZY132002', 'ZY110504', 'ZY110505')";
const char* const kDrawnLayMode =
    "LAYMODE IN ('ZY130301','ZY130302','ZY130303','ZY130304','ZY130305','ZY130399',"
    "'ZY511201','ZY511202','ZY511203','ZY511204','ZY511205','ZY511299','')";

} // namespace

std::string summarize(SqliteDb& db) {
    std::ostringstream out;
    auto count = [&](const std::string& sql) { return db.count(sql); };

    out << "tables:";
    const std::vector<std::string> tables = {"STATION",
                                             "EN_OCABLE",
                                             "EN_MW_SEG",
                                             "TRANSSYSTEM",
                                             "re_ocable_transsystem",
                                             "EN_FIBER",
                                             "EN_DWDM_RES",
                                             "EN_DWDM_CHANNEL",
                                             "RE_DWDMC_SDHT",
                                             "EN_SUBNET_P",
                                             "RE_TREE_STRUCT",
                                             "XTBM",
                                             "EN_PROVINCE",
                                             "EN_ADMIN_DOMAIN",
                                             "GUI_RE_DOMAIN_PROVINCE",
                                             "sec_resscope",
                                             "tabledictionary",
                                             "tabledictionarynew",
                                             "OPERATIONLOG"};
    for (std::size_t i = 0; i < tables.size(); ++i)
        out << (i % 5 == 0 ? "\n  " : ", ") << tables[i] << " " << count("SELECT COUNT(*) FROM " + tables[i]);

    const std::string s = "SELECT COUNT(*) FROM STATION WHERE ";
    out << "\nstations: terminal (终端站) " << count(s + kTerminal) << ", second-trunk relay (二干中继站) "
        << count(s + kRelay) << ", both " << count(s + kTerminal + " AND " + kRelay) << ", other (其它局站) "
        << count(s + "NOT " + kTerminal + " AND NOT " + kRelay) << "\n  three types all empty "
        << count(s + "X_STATIONTYPE IS NULL AND STATIONTYPE_II IS NULL AND STATIONTYPE_III IS NULL")
        << ", STATIONTYPE ZY502401/ZY502402/ZY502406 " << count(s + "STATIONTYPE = 'ZY502401'") << "/"
        << count(s + "STATIONTYPE = 'ZY502402'") << "/" << count(s + "STATIONTYPE = 'ZY502406'")
        << ", without coordinates " << count(s + "LNG IS NULL OR LAT IS NULL") << ", with alarms "
        << count(s + "CRITICAL_A || MAJOR_A || MINOR_A || WARNING_A || INDETERMIN_A <> '00000'");

    const std::string c = "SELECT COUNT(*) FROM EN_OCABLE WHERE ";
    out << "\ncable segments: ordinary layer " << count(c + kOrdinary) << ", backbone layer "
        << count(c + kBackbone) << " (in both " << count(c + kOrdinary + " AND " + kBackbone)
        << "), reduced-map backbone " << count(c + "RESLEVEL = 'ZY132003' OR X_SYSLEVEL = 'ZY110502'")
        << ", lay mode not drawn " << count(c + "NOT (" + kDrawnLayMode + ") OR LAYMODE IS NULL") << " (null "
        << count(c + "LAYMODE IS NULL") << "), without length " << count(c + "LENGTH IS NULL")
        << ", surveyed ends " << count(c + "LNG_A IS NOT NULL");
    out << "\n  lay modes:";
    {
        SqliteStatement st(db, "SELECT COALESCE(LAYMODE, 'null'), COUNT(*) FROM EN_OCABLE GROUP BY LAYMODE "
                               "ORDER BY LAYMODE");
        int k = 0;
        while (st.step()) {
            const std::string mode = st.columnText(0).empty() ? "''" : st.columnText(0);
            out << (k++ % 6 == 0 ? "\n    " : ", ") << mode << " " << st.columnInt(1);
        }
    }
    out << "\n  resource levels:";
    {
        SqliteStatement st(db, "SELECT COALESCE(RESLEVEL, 'null'), COUNT(*) FROM EN_OCABLE GROUP BY RESLEVEL "
                               "ORDER BY RESLEVEL");
        while (st.step())
            out << " " << st.columnText(0) << " " << st.columnInt(1);
    }
    out << "\n  parallel groups:";
    {
        SqliteStatement st(
            db, "SELECT n, COUNT(*), SUM(both_ways) FROM (SELECT COUNT(*) AS n, "
                "COUNT(DISTINCT STATION_A) > 1 AS both_ways FROM EN_OCABLE "
                "GROUP BY MIN(STATION_A, STATION_Z), MAX(STATION_A, STATION_Z) HAVING COUNT(*) > 1) "
                "GROUP BY n ORDER BY n");
        while (st.step())
            out << " " << st.columnInt(1) << " of " << st.columnInt(0) << " (" << st.columnInt(2)
                << " stored both ways);";
    }
    out << "\nmicrowave segments " << count("SELECT COUNT(*) FROM EN_MW_SEG");

    out << "\nsystems:";
    {
        SqliteStatement st(db, "SELECT T.TRANMODEL, X.XTXX, COUNT(*) FROM TRANSSYSTEM T LEFT JOIN XTBM X "
                               "ON X.XTBM = T.TRANMODEL GROUP BY T.TRANMODEL ORDER BY T.TRANMODEL");
        while (st.step())
            out << " " << st.columnText(0) << " " << st.columnText(1) << " " << st.columnInt(2) << ";";
    }
    out << "\n  carried over DWDM channels " << count("SELECT COUNT(DISTINCT SYSTEMCODE) FROM RE_DWDMC_SDHT")
        << ", without fibres of their own "
        << count("SELECT COUNT(*) FROM TRANSSYSTEM WHERE SYSTEMCODE NOT IN (SELECT SYSTEMCODE FROM "
                 "re_ocable_transsystem)")
        << ", segments carrying systems "
        << count("SELECT COUNT(DISTINCT OCABLECODE) FROM MAP_V_RE_CABLE_SUNNET_SYSTEM");
    out << "\ndivision rules " << count("SELECT COUNT(*) FROM EN_SUBNET_P") << ", tree nodes "
        << count("SELECT COUNT(*) FROM RE_TREE_STRUCT") << " (grouping "
        << count("SELECT COUNT(*) FROM RE_TREE_STRUCT WHERE IS_DELETE = 'YES'") << ")\n";
    return out.str();
}

} // namespace ocable::demo
