#include "DemoDbTestSupport.h"

#include "DemoDbGenerator.h"
#include "support/ErrorOf.h"
#include "support/TempDir.h"

#include "platform/db/DbError.h"

#include <cstdlib>

namespace ocable::demo::test {

Db::Db(const std::filesystem::path& path) : connection_(path, db::SqliteConnection::OpenMode::ReadOnly) {}

std::vector<Row> Db::rows(const std::string& sql) const {
    std::vector<Row> result;
    for (auto rs = connection_.query(sql); !rs->Eof(); rs->MoveNext()) {
        Row& row = result.emplace_back();
        for (int c = 0; c < rs->FieldCount(); ++c)
            row.push_back(rs->Fields(c).isNull() ? Cell() : Cell(rs->Fields(c).toText()));
    }
    return result;
}

std::vector<std::string> Db::column(const std::string& sql) const {
    std::vector<std::string> values;
    for (const Row& r : rows(sql))
        values.push_back(r.at(0).value_or(""));
    return values;
}

// EXPLAIN compiles the statement into its program and lists it, running none
// of it: an UPDATE is checked without writing.
std::string Db::prepareError(const std::string& sql) const {
    return testsupport::errorOf<db::DbError>([&] { connection_.query("EXPLAIN " + sql); });
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
