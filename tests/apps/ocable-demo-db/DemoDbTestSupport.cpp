#include "DemoDbTestSupport.h"

#include "DemoDbGenerator.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <stdexcept>

namespace ocable::demo::test {

Db::Db(const std::filesystem::path& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open " + path.string());
}

Db::~Db() {
    sqlite3_close(db_);
}

std::vector<Row> Db::rows(const std::string& sql) const {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
    std::vector<Row> result;
    while (sqlite3_step(st) == SQLITE_ROW) {
        Row row;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            const unsigned char* text = sqlite3_column_text(st, c);
            row.push_back(text ? Cell(reinterpret_cast<const char*>(text)) : std::nullopt);
        }
        result.push_back(std::move(row));
    }
    sqlite3_finalize(st);
    return result;
}

std::vector<std::string> Db::column(const std::string& sql) const {
    std::vector<std::string> values;
    for (const Row& r : rows(sql))
        values.push_back(r.at(0).value_or(""));
    return values;
}

std::string Db::prepareError(const std::string& sql) const {
    sqlite3_stmt* st = nullptr;
    const int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr);
    sqlite3_finalize(st);
    return rc == SQLITE_OK ? "" : sqlite3_errmsg(db_);
}

namespace {

struct SharedDb {
    testsupport::TempDir dir{"demo-db-shared"};
    std::filesystem::path path = dir / "small.db";
    SharedDb() {
        GeneratorOptions options;
        options.scale = Scale::Small;
        options.seed = 1;
        options.baseMapDir = sourceDir() / "data" / "basemap";
        options.output = path;
        generateDemoDb(options);
    }
};

} // namespace

const std::filesystem::path& smallDemoDb() {
    static const SharedDb shared;
    return shared.path;
}

std::filesystem::path sourceDir() {
    const char* env = std::getenv("OCABLE_SOURCE_DIR");
    return env && *env ? env : OCABLE_SOURCE_DIR;
}

} // namespace ocable::demo::test
