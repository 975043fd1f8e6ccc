// The host's small parts: result files, the log file, Qt's translations,
// the termination watcher and the close that waits for a drawing, user
// levels, the data access on failure.

#include "CloseWhenAllowed.h"
#include "LogFile.h"
#include "QtTranslations.h"
#include "ResultFile.h"
#include "TerminationWatcher.h"
#include "services/HostConfig.h"
#include "support/ErrorCapture.h"
#include "support/FakeHost.h"
#include "support/TempDir.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QWidget>
#include <csignal>
#include <gtest/gtest.h>

using namespace ocable;
using testsupport::readText;
using testsupport::TempDir;
namespace fs = std::filesystem;

TEST(ResultFileTest, WritesWholeOrReportsWhy) {
    TempDir dir("result");
    const QString file = QString::fromStdString((dir / "out.json").string());
    EXPECT_EQ(hostapp::ResultFile::write(file, "{\"a\": 1}"), "");
    EXPECT_EQ(readText(dir / "out.json"), "{\"a\": 1}");
    // Replaced whole, not overwritten in place: no temporary is left beside it.
    EXPECT_EQ(hostapp::ResultFile::write(file, "[]"), "");
    EXPECT_EQ(readText(dir / "out.json"), "[]");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    EXPECT_NE(hostapp::ResultFile::write("/dev/full", QByteArray(100000, 'x')), "");
    EXPECT_TRUE(fs::is_character_file("/dev/full")) << "the device was replaced";
    // A missing folder: HostFailingStepTest's ResultInAMissingFolder.
    EXPECT_EQ(hostapp::ResultFile::write("/dev/null", "x"), "");
}

TEST(LogFileTest, CopiesEveryCategoryAndKeepsStderr) {
    TempDir dir("log");
    const QString file = QString::fromStdString((dir / "host.log").string());
    testsupport::ErrorCapture capture;
    QString why;
    ASSERT_TRUE(hostapp::LogFile::install(file, &why)) << why.toStdString();
    QLoggingCategory db("ocable.db");
    qCWarning(db, "表 %s 不存在", "STATION");
    hostapp::LogFile::append(QStringLiteral("只写入日志"));
    hostapp::LogFile::uninstall();
    qCWarning(db, "卸载之后");
    const std::string text = readText(dir / "host.log");
    EXPECT_NE(text.find("warning ocable.db: 表 STATION 不存在"), std::string::npos) << text;
    EXPECT_NE(text.find("ocable.host: 只写入日志"), std::string::npos) << text;
    EXPECT_EQ(text.find("卸载之后"), std::string::npos) << text;
    EXPECT_TRUE(capture.logged("表 STATION 不存在")); // the usual handler still saw it
    EXPECT_FALSE(capture.logged("只写入日志"));

    EXPECT_FALSE(hostapp::LogFile::install(QString::fromStdString((dir / "no" / "x.log").string()), &why));
    EXPECT_FALSE(why.isEmpty());
}

TEST(QtTranslationsTest, StandardButtonsSpeakChinese) {
    EXPECT_FALSE(hostapp::installQtTranslations().isEmpty());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "OK"), "确定");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "取消");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "是(&Y)");
}

TEST(TerminationWatcherTest, ASignalBecomesOneRequestOnTheEventLoop) {
    hostapp::TerminationWatcher watcher;
    int requests = 0;
    QObject::connect(&watcher, &hostapp::TerminationWatcher::terminationRequested, [&] { ++requests; });
    ::raise(SIGTERM);
    ::raise(SIGINT);
    EXPECT_EQ(requests, 0); // nothing runs inside the signal handler
    QElapsedTimer timer;
    timer.start();
    while (requests == 0 && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCoreApplication::processEvents();
    EXPECT_EQ(requests, 1);
    EXPECT_TRUE(watcher.requested());
    EXPECT_TRUE(watcher.signalNumber() == SIGTERM || watcher.signalNumber() == SIGINT);
}

TEST(UserLevelTest, OnlyWholeNumbersFromZero) {
    EXPECT_EQ(hostapp::parseUserLevel("0"), 0);
    EXPECT_EQ(hostapp::parseUserLevel(" 2 "), 2);
    for (const char* text : {"abc", "", "-1", "1.5", "2x", "99999999999"})
        EXPECT_THROW(hostapp::parseUserLevel(text), std::invalid_argument) << text;
}

// Only systemDB is served; a failed query or statement gives nothing and a
// warning. (What is sent is recorded: every automation test reads it back.)
TEST(SqliteDataAccessTest, AFailedQueryGivesNothingAndAWarning) {
    fake::FakeHost host;
    host.exec("CREATE TABLE STATION (STATIONCODE TEXT)");
    EXPECT_EQ(host.data->executeSql("systemDB", "INSERT INTO STATION VALUES ('S1')"), 1);
    testsupport::ErrorCapture capture;
    EXPECT_EQ(host.data->openRecordset("systemDB", "SELECT * FROM MAP_V_EN_OCABLE"), nullptr);
    EXPECT_TRUE(capture.logged("ocable.host: 查询失败")) << capture.messages().join('\n').toStdString();
    EXPECT_TRUE(capture.logged("MAP_V_EN_OCABLE"));
    EXPECT_EQ(host.data->openRecordset("otherDB", "SELECT 1"), nullptr);
    EXPECT_TRUE(capture.logged("otherDB"));
    EXPECT_EQ(host.data->executeSql("systemDB", "UPDATE NO_SUCH_TABLE SET X = 1"),
              hostapp::SqliteDataAccess::kFailed);
    EXPECT_TRUE(capture.logged("ocable.host: 语句执行失败"));
    // The connection still serves the next query.
    EXPECT_NE(host.data->openRecordset("systemDB", "SELECT * FROM STATION"), nullptr);
}

// A window that refuses to close while it "draws", as the map view does.
class DrawingWindow : public QWidget {
public:
    bool drawing = true;

protected:
    void closeEvent(QCloseEvent* e) override { drawing ? e->ignore() : e->accept(); }
};

TEST(CloseWhenAllowedTest, WaitsForTheDrawingToEndThenCloses) {
    DrawingWindow window;
    window.show();
    hostapp::CloseWhenAllowed closer(window, 10);
    int closed = 0;
    QObject::connect(&closer, &hostapp::CloseWhenAllowed::closed, [&] { ++closed; });
    closer.start();
    EXPECT_TRUE(window.isVisible()); // never from inside the caller
    auto spin = [](int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    };
    spin(100);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(closed, 0);
    window.drawing = false;
    spin(100);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closed, 1);
    closer.start(); // a second request after the close changes nothing
    spin(50);
    EXPECT_EQ(closed, 1);
}
