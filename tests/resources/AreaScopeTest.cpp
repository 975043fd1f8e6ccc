#include "resources/AreaScope.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

using namespace ocable;

namespace {

// The codes a condition selects from a table of stations (PROVINCE) or of
// cables (PROVINCE_A, PROVINCE_Z): XZ0116 and XZ0109 are 华北's and 华东's,
// XZ0120 O'Neil's, XZ0199 nobody's.
std::string selected(fake::FakeHost& host, const std::string& table, const std::string& condition) {
    auto rs = host.data->openRecordset("systemDB", "SELECT CODE FROM " + table + " WHERE " + condition +
                                                       " ORDER BY CODE");
    EXPECT_TRUE(rs) << condition;
    std::string codes;
    for (; rs && !rs->Eof(); rs->MoveNext())
        codes += rs->Fields(0).toText();
    return codes;
}

} // namespace

// A scope of two domains is drawn end to end
// (HostAutomationTest.ParallelLabelsScopedDrawingAndAGeosetWithoutMicrowaves); here what the conditions
// select, names as given, other rules and quotes.
TEST(AreaScopeTest, DomainsGiveTheConditionsOfTheirProvinces) {
    fake::FakeHost host;
    // Two domains in display order: 华北 (XZ0116, XZ0101) and 华东 (XZ0109);
    // 西北 has no province; O'Neil is no listed domain but has one.
    host.exec(R"(CREATE TABLE EN_ADMIN_DOMAIN (DOMAINNAME TEXT, SERIALNO INTEGER);
        INSERT INTO EN_ADMIN_DOMAIN VALUES ('华东 ', 2), (' 华北', 1), ('西北', 3);
        CREATE TABLE GUI_RE_DOMAIN_PROVINCE (DOMAINNAME TEXT, PROVINCE TEXT);
        INSERT INTO GUI_RE_DOMAIN_PROVINCE VALUES ('华北', 'XZ0116 '), ('华北', 'XZ0101'), ('华东', 'XZ0109'),
            ('O''Neil', 'XZ0120');
        CREATE TABLE S (CODE TEXT, PROVINCE TEXT);
        INSERT INTO S VALUES ('a', 'XZ0116'), ('b', 'XZ0109'), ('c', 'XZ0120'), ('d', 'XZ0199');
        CREATE TABLE C (CODE TEXT, PROVINCE_A TEXT, PROVINCE_Z TEXT);
        INSERT INTO C VALUES ('a', 'XZ0116', 'XZ0199'), ('b', 'XZ0199', 'XZ0109'), ('c', 'XZ0199', 'XZ0199'))");
    EXPECT_EQ(AreaScope::getAdminDomains(), "华北,华东,西北"); // in serial order, trimmed
    std::string station, cable;
    AreaScope::getDomainFilters("按管理区域划分", "华北,华东", station, cable);
    EXPECT_EQ(selected(host, "S", station), "ab");
    EXPECT_EQ(selected(host, "C", cable), "ab") << "either end in the scope";

    // A name is used untrimmed, so " 华东" is no domain; 西北 has no province:
    // conditions that select nothing.
    AreaScope::getDomainFilters("按管理区域划分", " 华东,西北", station, cable);
    EXPECT_EQ(selected(host, "S", station) + selected(host, "C", cable), "");

    // Other rules leave the conditions alone.
    station = cable = "keep";
    AreaScope::getDomainFilters("按传输系统划分", "华北", station, cable);
    EXPECT_EQ(station + cable, "keepkeep");

    // Quotes in names can neither break nor extend the query.
    AreaScope::getDomainFilters("按管理区域划分", "O'Neil", station, cable);
    EXPECT_EQ(selected(host, "S", station), "c");
    AreaScope::getDomainFilters("按管理区域划分", "x'; DELETE FROM EN_ADMIN_DOMAIN; --", station, cable);
    EXPECT_EQ(AreaScope::getAdminDomains(), "华北,华东,西北");
    host.exec("DELETE FROM EN_ADMIN_DOMAIN");
    EXPECT_EQ(AreaScope::getAdminDomains(), "");
}
