#include "support/FakeHost.h"

#include "platform/db/DbError.h"
#include "platform/db/SqliteConnection.h"
#include "platform/gis/GeosetWriter.h"

#include <sqlite3.h>

namespace ocable::fake {

namespace fs = std::filesystem;

std::shared_ptr<db::Recordset> ScriptedDataAccess::openRecordset(std::string_view, std::string_view s, int) {
    executeSql({}, s);
    return answer;
}

long ScriptedDataAccess::executeSql(std::string_view, std::string_view s) {
    sql.emplace_back(s);
    if (!failure.empty()) throw db::DbError(failure);
    return 0;
}

FakeHost::FakeHost() {
    sysEnv->systemDir = root / "system";
    sysEnv->appDir = root / "app";
    sysEnv->mapDir = root / "map";
    for (const auto& d : {sysEnv->systemDir, sysEnv->appDir, sysEnv->mapDir})
        fs::create_directories(d);
    db::SqliteConnection(root / "network.db", db::SqliteConnection::OpenMode::Create);
    data = std::make_shared<RecordingDataAccess>(root / "network.db");
    install();
}

FakeHost::~FakeHost() {
    mPubVar::releaseGlobals();
    mPubVar::registerServiceFactories({});
    data.reset();
    // A closed view's geoset may still be being written into the map folder,
    // which goes next. (The end of the process needs no wait: the writer
    // holds it until the write is done.)
    gis::GeosetWriter::instance().finish();
}

void FakeHost::exec(std::string_view script) {
    // The connection takes one statement at a time (and adapts each), so the
    // script is cut at each semicolon that ends a whole statement; one inside
    // a quoted name or text does not.
    db::SqliteConnection connection(root / "network.db");
    std::string statement;
    for (const char c : script) {
        statement += c;
        if (c == ';' && sqlite3_complete(statement.c_str())) {
            connection.execute(statement);
            statement.clear();
        }
    }
    if (statement.find_first_not_of(" \n\t") != std::string::npos) connection.execute(statement);
}

host::HostArray FakeHost::array(int lowerBound) const {
    host::HostArray a;
    a.lowerBound = lowerBound;
    if (lowerBound == 0) a.elements.push_back(nullptr);
    a.elements.insert(a.elements.end(), {grid, common, sysEnv, sysParam, message, data, extra});
    return a;
}

void FakeHost::install() {
    using namespace mPubVar;
    host::ServiceFactories f;
    f.iniFile = [ini = ini] { return ini; };
    f.resService = [rs = resService] { return rs; };
    f.sysEnv = [env = sysEnv] { return env; };
    registerServiceFactories(f);
    gobjGridService.set(grid);
    gobjCommon.set(common);
    gobjSysEnv.set(sysEnv);
    gobjSysParam.set(sysParam);
    gobjMessage.set(message);
    gobjDataAccess.set(data);
    gobjHostExtra.set(extra);
    gUserName = sysEnv->userName;
}

} // namespace ocable::fake
