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

TEST(AreaScopeTest, AdminDomainsInSerialOrderTrimmed) {
    fake::FakeHost host;
    seedDomains(host);
    EXPECT_EQ(AreaScope::getAdminDomains(), "华北,华东,西北");
    EXPECT_EQ(host.data->sql.back(), "SELECT * FROM EN_ADMIN_DOMAIN ORDER BY SERIALNO ");
    host.exec("DELETE FROM EN_ADMIN_DOMAIN");
    EXPECT_EQ(AreaScope::getAdminDomains(), "");
}

TEST(AreaScopeTest, DomainFiltersHaveTheExactTexts) {
    fake::FakeHost host;
    seedDomains(host);
    std::string station, cable;
    AreaScope::getDomainFilters("按管理区域划分", "华北,华东", station, cable);
    EXPECT_EQ(station, "( PROVINCE = 'XZ0116' OR  PROVINCE = 'XZ0101' OR  PROVINCE = 'XZ0109' )");
    EXPECT_EQ(cable, "( (PROVINCE_A = 'XZ0116' OR PROVINCE_Z = 'XZ0116') OR  (PROVINCE_A = 'XZ0101' OR "
                     "PROVINCE_Z = 'XZ0101') OR  (PROVINCE_A = 'XZ0109' OR PROVINCE_Z = 'XZ0109') )");
    const std::vector<std::string> expected = {
        "SELECT PROVINCE FROM GUI_RE_DOMAIN_PROVINCE WHERE DOMAINNAME = '华北'",
        "SELECT PROVINCE FROM GUI_RE_DOMAIN_PROVINCE WHERE DOMAINNAME = '华东'"};
    EXPECT_EQ(host.data->sql, expected);
}

TEST(AreaScopeTest, DomainNameIsUsedUntrimmedAndUnknownNamesAddNothing) {
    fake::FakeHost host;
    seedDomains(host);
    std::string station, cable;
    AreaScope::getDomainFilters("按管理区域划分", " 华东,西北", station, cable);
    EXPECT_EQ(host.data->sql.front(),
              "SELECT PROVINCE FROM GUI_RE_DOMAIN_PROVINCE WHERE DOMAINNAME = ' 华东'");
    // Neither domain yields a province: conditions that select nothing.
    EXPECT_EQ(station, "(1 = 0)");
    EXPECT_EQ(cable, "(1 = 0)");
}

TEST(AreaScopeTest, OtherRulesLeaveTheConditionsAlone) {
    fake::FakeHost host;
    seedDomains(host);
    std::string station = "keep", cable = "keep";
    AreaScope::getDomainFilters("按传输系统划分", "华北", station, cable);
    EXPECT_EQ(station, "keep");
    EXPECT_EQ(cable, "keep");
    EXPECT_TRUE(host.data->sql.empty());
}

TEST(AreaScopeTest, QuotesInNamesCannotBreakTheQuery) {
    fake::FakeHost host;
    seedDomains(host);
    host.exec("INSERT INTO GUI_RE_DOMAIN_PROVINCE VALUES ('O''Neil', 'XZ0120')");
    std::string station, cable;
    AreaScope::getDomainFilters("按管理区域划分", "O'Neil", station, cable);
    EXPECT_EQ(station, "( PROVINCE = 'XZ0120' )");
    AreaScope::getDomainFilters("按管理区域划分", "x'; DELETE FROM EN_ADMIN_DOMAIN; --", station, cable);
    EXPECT_EQ(AreaScope::getAdminDomains(), "华北,华东,西北");
}
