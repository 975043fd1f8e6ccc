// The schema against the objects and statements of the map, and the
// reference data the map reads with them.
#include "DemoDbTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

namespace ocable::demo::test {
namespace {

namespace fs = std::filesystem;

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

std::vector<std::string> fixtureLines(const std::string& name) {
    std::ifstream in(sourceDir() / "data" / "fixtures" / name);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#' && line.rfind("--", 0) != 0) lines.push_back(line);
    return lines;
}

// A fresh database holding only data/schema.sql.
class SchemaOnly : public testing::Test {
protected:
    void SetUp() override {
        dir_ = scratchDir("schema");
        std::ifstream in(sourceDir() / "data" / "schema.sql");
        std::stringstream sql;
        sql << in.rdbuf();
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open((dir_ / "schema.db").c_str(), &raw), SQLITE_OK);
        char* error = nullptr;
        const int rc = sqlite3_exec(raw, sql.str().c_str(), nullptr, nullptr, &error);
        const std::string message = error ? error : "";
        sqlite3_free(error);
        sqlite3_close(raw);
        ASSERT_EQ(rc, SQLITE_OK) << message;
        db_ = std::make_unique<Db>(dir_ / "schema.db");
    }
    void TearDown() override {
        db_.reset();
        fs::remove_all(dir_);
    }

    std::vector<std::string> columnsOf(const std::string& object) {
        std::vector<std::string> columns;
        for (const std::string& c : db_->column("SELECT name FROM pragma_table_info('" + object + "')"))
            columns.push_back(upper(c));
        return columns;
    }

    fs::path dir_;
    std::unique_ptr<Db> db_;
};

TEST_F(SchemaOnly, HasEveryObjectAndColumnTheMapNames) {
    const auto lines = fixtureLines("required-columns.txt");
    ASSERT_GT(lines.size(), 20u);
    for (const std::string& line : lines) {
        std::istringstream words(line);
        std::string object;
        words >> object;
        const auto columns = columnsOf(object);
        EXPECT_FALSE(columns.empty()) << "missing object " << object;
        for (std::string column; words >> column;)
            EXPECT_NE(std::find(columns.begin(), columns.end(), upper(column)), columns.end())
                << object << " lacks " << column;
    }
}

TEST_F(SchemaOnly, TreeTableKeepsItsSevenColumnsInOrder) {
    // The rule refresh inserts into all seven columns by position.
    EXPECT_EQ(columnsOf("RE_TREE_STRUCT"),
              (std::vector<std::string>{"NODEKEY", "NODENAME", "PARENTKEY", "NODELEVEL", "P_KEY", "IS_DELETE",
                                        "REMARK"}));
}

TEST_F(SchemaOnly, StatementsOfTheMapCompile) {
    const auto statements = fixtureLines("map-queries.sql");
    ASSERT_GT(statements.size(), 30u);
    for (const std::string& sql : statements)
        EXPECT_EQ(db_->prepareError(sql), "") << sql;
}

TEST(DemoReference, DictionariesNameColumnsThatExist) {
    Db db(smallDemoDb());
    auto columns = [&](const std::string& object) {
        std::set<std::string> names;
        for (const std::string& c : db.column("SELECT name FROM pragma_table_info('" + object + "')"))
            names.insert(upper(c));
        return names;
    };
    const auto detail = columns("V_EN_OCABLE$OC");
    const auto station = columns("STATION");
    auto cable = columns("EN_OCABLE");
    for (const auto& c : columns("MAP_V_EN_OCABLE"))
        cable.insert(c);
    for (const auto& c : detail)
        cable.insert(c);

    for (const Row& r : db.rows("SELECT tablename, ENFIELD, CHFIELD, isVisible FROM tabledictionarynew")) {
        const auto& known = *r[0] == "EN_OCABLE" ? detail : station;
        EXPECT_TRUE(known.count(upper(*r[1]))) << *r[0] << "." << *r[1];
        EXPECT_FALSE(r[2].value_or("").empty()) << *r[1];
        EXPECT_TRUE(*r[3] == "Y" || *r[3] == "N") << *r[3];
    }
    for (const Row& r : db.rows("SELECT TABLENAME, ENFIELD FROM tabledictionary WHERE TABLENAME IN "
                                "('STATION', 'EN_OCABLE')"))
        EXPECT_TRUE((*r[0] == "STATION" ? station : cable).count(upper(*r[1]))) << *r[0] << "." << *r[1];
    for (const std::string& c : station)
        EXPECT_EQ(
            db.count("SELECT COUNT(*) FROM tabledictionary WHERE TABLENAME = 'STATION' AND ENFIELD = '" + c +
                     "'"),
            1)
            << "STATION." << c << " has no caption";
    for (const char* table : {"EN_OCABLE", "STATION"}) {
        EXPECT_GT(db.count(std::string("SELECT COUNT(*) FROM tabledictionarynew WHERE isVisible = 'N' AND "
                                       "tablename = '") +
                           table + "'"),
                  0);
        // Stored out of display order, so the window's ORDER BY matters.
        const auto serials =
            db.column(std::string("SELECT serial FROM tabledictionarynew WHERE tablename = '") + table +
                      "' ORDER BY rowid");
        EXPECT_FALSE(
            std::is_sorted(serials.begin(), serials.end(), [](const std::string& a, const std::string& b) {
                return std::stoi(a) < std::stoi(b);
            }));
    }
}

TEST(DemoReference, EveryCodeInUseHasADescription) {
    const std::pair<const char*, const char*> coded[] = {
        {"STATION", "X_STATIONTYPE"}, {"STATION", "STATIONTYPE_II"}, {"STATION", "STATIONTYPE_III"},
        {"STATION", "STATIONTYPE"},   {"STATION", "PROVINCE"},       {"STATION", "CITY"},
        {"STATION", "STATE"},         {"STATION", "PROPERTY"},       {"EN_OCABLE", "RESLEVEL"},
        {"EN_OCABLE", "X_SYSLEVEL"},  {"EN_OCABLE", "LAYMODE"},      {"EN_OCABLE", "FIBERTYPE"},
        {"EN_OCABLE", "PROPERTY"},    {"EN_OCABLE", "STATE"},        {"TRANSSYSTEM", "TRANMODEL"},
        {"TRANSSYSTEM", "SYSLEVEL"},  {"TRANSSYSTEM", "PROVINCE"},   {"EN_FIBER", "FIBERSTATE"},
        {"EN_PROVINCE", "PROVINCE"},  {"sec_resscope", "RESSCOPE"}};
    Db db(smallDemoDb());
    for (auto [table, column] : coded) {
        const auto missing =
            db.column(std::string("SELECT DISTINCT ") + column + " FROM " + table + " WHERE " + column +
                      " <> '' AND " + column + " NOT IN (SELECT XTBM FROM XTBM)");
        EXPECT_TRUE(missing.empty()) << table << "." << column << " uses " << missing.front();
    }
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM XTBM WHERE XTXX IS NULL OR XTXX = ''"), 0);
}

TEST(DemoReference, ProvincesDomainsAndResourceScopesFitTheMapsQueries) {
    Db db(smallDemoDb());
    long long provinces = 0;
    const auto domains = db.column("SELECT DOMAINNAME FROM EN_ADMIN_DOMAIN ORDER BY SERIALNO ");
    for (const std::string& d : domains)
        provinces +=
            db.count("SELECT COUNT(*) FROM (SELECT XTXX , PROVINCE FROM EN_PROVINCE,XTBM WHERE PROVINCE = "
                     "XTBM AND DOMAINNAME = '" +
                     d + "')");
    EXPECT_EQ(provinces, 34);
    ASSERT_FALSE(domains.empty());
    EXPECT_EQ(db.column("SELECT XTXX FROM EN_PROVINCE, XTBM WHERE PROVINCE = XTBM AND DOMAINNAME = '" +
                        domains.front() + "' AND PROVINCE = 'XZ0116'"),
              std::vector<std::string>{"河南省"})
        << "the home province should open the first domain";
    EXPECT_NE(db.column("SELECT DOMAINNAME FROM EN_ADMIN_DOMAIN ORDER BY rowid"), domains);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM EN_ADMIN_DOMAIN D WHERE NOT EXISTS (SELECT 1 FROM "
                       "GUI_RE_DOMAIN_PROVINCE G WHERE G.DOMAINNAME = D.DOMAINNAME)"),
              1);
    EXPECT_EQ(
        db.count(
            "SELECT COUNT(*) FROM EN_PROVINCE E JOIN GUI_RE_DOMAIN_PROVINCE G ON G.PROVINCE = E.PROVINCE "
            "AND G.DOMAINNAME = E.DOMAINNAME"),
        34);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM STATION WHERE substr(CITY, 1, 6) <> PROVINCE OR PROVINCE NOT IN "
                       "(SELECT PROVINCE FROM EN_PROVINCE)"),
              0);

    auto scopes = [&](const std::string& user) {
        return db.column("select s.resscope from sec_resscope s, xtbm x where s.username = '" + user +
                         "' and s.resscope like 'XZ0116%' and s.resscope = x.xtbm");
    };
    EXPECT_EQ(scopes("demo_prov"), std::vector<std::string>{"XZ0116"});
    EXPECT_GE(scopes("demo_cities").size(), 2u);
    ASSERT_EQ(scopes("demo_city").size(), 1u);
    EXPECT_NE(scopes("demo_city").front(), "XZ0116");
    EXPECT_TRUE(scopes("demo_other").empty());
}

} // namespace
} // namespace ocable::demo::test
