#include "support/FakeHost.h"

#include "platform/db/DbError.h"
#include "platform/db/SqliteConnection.h"
#include "platform/gis/GeosetWriter.h"

#include <QLoggingCategory>
#include <QString>

#include <atomic>
#include <unistd.h>

namespace ocable::fake {

namespace fs = std::filesystem;

namespace {
LogCapture* activeCapture = nullptr;
}

LogCapture::LogCapture() {
    activeCapture = this;
    previous_ = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context,
                                          const QString& text) {
        if (activeCapture && context.category && std::string_view(context.category).starts_with("ocable."))
            activeCapture->messages.push_back(text.toStdString());
        else if (activeCapture && activeCapture->previous_)
            activeCapture->previous_(type, context, text);
    });
}

LogCapture::~LogCapture() {
    qInstallMessageHandler(previous_);
    activeCapture = nullptr;
}

std::size_t LogCapture::count(const std::string& text) const {
    std::size_t n = 0;
    for (const auto& m : messages)
        n += m.find(text) != std::string::npos;
    return n;
}

std::shared_ptr<db::Recordset> ScriptedDataAccess::openRecordset(std::string_view, std::string_view s, int) {
    sql.emplace_back(s);
    if (!failure.empty()) throw db::DbError(failure);
    return answer;
}

long ScriptedDataAccess::executeSql(std::string_view, std::string_view s) {
    sql.emplace_back(s);
    if (!failure.empty()) throw db::DbError(failure);
    return 0;
}

FakeHost::FakeHost() {
    static std::atomic<int> counter{0};
    root = fs::temp_directory_path() /
           ("ocable-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(root);
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
    std::error_code ec;
    fs::remove_all(root, ec);
}

void FakeHost::exec(const std::string& sql) {
    db::SqliteConnection(root / "network.db").execute(sql);
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
