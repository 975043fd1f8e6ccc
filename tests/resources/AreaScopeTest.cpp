#include "resources/AreaScope.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

using namespace ocable;

namespace {

// Two domains in display order: 华北 (XZ0116, XZ0101) and 华东 (XZ0109);
// 西北 has no province.
void seedDomains(fake::FakeHost& host) {
    host.exec("CREATE TABLE EN_ADMIN_DOMAIN (DOMAINNAME TEXT, SERIALNO INTEGER)");
    host.exec("INSERT INTO EN_ADMIN_DOMAIN VALUES ('华东 ', 2), (' 华北', 1), ('西北', 3)");
    host.exec("CREATE TABLE GUI_RE_DOMAIN_PROVINCE (DOMAINNAME TEXT, PROVINCE TEXT)");
    host.exec("INSERT INTO GUI_RE_DOMAIN_PROVINCE VALUES ('华北', 'XZ0116 '), ('华北', 'XZ0101'), ('华东', "
              "'XZ0109')");
}

} // namespace

// A scope of two domains is drawn end to end (HostAutomationTest.ScopeOfTwoDomainsWithTheConfiguredCaption);
// here the whole conditions, names as given, other rules and quotes.
TEST(AreaScopeTest, DomainsGiveTheConditionsOfTheirProvinces) {
    fake::FakeHost host;
    seedDomains(host);
    EXPECT_EQ(AreaScope::getAdminDomains(), "华北,华东,西北"); // in serial order, trimmed
    std::string station, cable;
    AreaScope::getDomainFilters("按管理区域划分", "华北,华东", station, cable);
    EXPECT_EQ(station, "( PROVINCE = 'XZ0116' OR  PROVINCE = 'XZ0101' OR  PROVINCE = 'XZ0109' )");
    EXPECT_EQ(cable, "( (PROVINCE_A = 'XZ0116' OR PROVINCE_Z = 'XZ0116') OR  (PROVINCE_A = 'XZ0101' OR "
                     "PROVINCE_Z = 'XZ0101') OR  (PROVINCE_A = 'XZ0109' OR PROVINCE_Z = 'XZ0109') )");

    // A name is used untrimmed, so " 华东" is no domain; 西北 has no province:
    // conditions that select nothing.
    AreaScope::getDomainFilters("按管理区域划分", " 华东,西北", station, cable);
    EXPECT_EQ(station, "(1 = 0)");
    EXPECT_EQ(cable, "(1 = 0)");

    // Other rules leave the conditions alone.
    station = cable = "keep";
    AreaScope::getDomainFilters("按传输系统划分", "华北", station, cable);
    EXPECT_EQ(station + cable, "keepkeep");

    // Quotes in names can neither break nor extend the query.
    host.exec("INSERT INTO GUI_RE_DOMAIN_PROVINCE VALUES ('O''Neil', 'XZ0120')");
    AreaScope::getDomainFilters("按管理区域划分", "O'Neil", station, cable);
    EXPECT_EQ(station, "( PROVINCE = 'XZ0120' )");
    AreaScope::getDomainFilters("按管理区域划分", "x'; DELETE FROM EN_ADMIN_DOMAIN; --", station, cable);
    EXPECT_EQ(AreaScope::getAdminDomains(), "华北,华东,西北");
    host.exec("DELETE FROM EN_ADMIN_DOMAIN");
    EXPECT_EQ(AreaScope::getAdminDomains(), "");
}
