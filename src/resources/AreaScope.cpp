#include "resources/AreaScope.h"

#include "core/Log.h"
#include "core/NetworkVocabulary.h"
#include "core/TextUtil.h"
#include "core/mPubFun.h"
#include "platform/db/SqlQuote.h"

namespace ocable::AreaScope {

std::string getAdminDomains() {
    std::string domains;
    try {
        auto rs = mPubFun::openRecordset("SELECT * FROM EN_ADMIN_DOMAIN ORDER BY SERIALNO ");
        if (!rs) return {};
        for (; !rs->Eof(); rs->MoveNext())
            domains += text::trim(rs->Fields("DOMAINNAME").toText()) + ",";
        rs->Close();
    } catch (const std::exception& e) {
        qCWarning(lcComponent, "管理区域列表无法读取：%s", e.what());
        return {};
    }
    if (!domains.empty()) domains.pop_back();
    return domains;
}

void getDomainFilters(const std::string& ruleName, const std::string& scope, std::string& stationCondition,
                      std::string& cableCondition) {
    if (ruleName != vocab::kRuleByArea) return;
    std::string station = "(";
    std::string cable = "(";
    for (const auto& domain : text::split(scope, ",")) {
        // The domain name is used as split, blanks included.
        auto rs = mPubFun::openRecordset("SELECT PROVINCE FROM GUI_RE_DOMAIN_PROVINCE WHERE DOMAINNAME = " +
                                         db::sqlQuote(domain));
        if (!rs) continue;
        for (; !rs->Eof(); rs->MoveNext()) {
            const std::string p = db::sqlQuote(text::trim(rs->Fields("PROVINCE").toText()));
            station += " PROVINCE = " + p + " OR ";
            cable += " (PROVINCE_A = " + p + " OR PROVINCE_Z = " + p + ") OR ";
        }
        rs->Close();
    }
    if (station == "(") {
        // No province in these domains: a bare "(" would break the query, and
        // showing the whole network would be wrong, so select nothing.
        stationCondition = "(1 = 0)";
        cableCondition = "(1 = 0)";
        return;
    }
    station.resize(station.size() - 3);
    cable.resize(cable.size() - 3);
    stationCondition = station + ")";
    cableCondition = cable + ")";
}

} // namespace ocable::AreaScope
