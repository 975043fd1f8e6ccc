// The stand-alone host: an MDI frame that loads the optical-cable map view
// through the plug-in's exports and runs it on a SQLite network database.
//
// Exit status: 0 done; 1 the host could not start (the message names the
// file and the cause); 2 a bad command line, script or step, or a result
// that could not be written; 128 + n ended by signal n after closing the
// views.

#include "AlarmBoard.h"
#include "AlarmFeed.h"
#include "AlarmListWindow.h"
#include "Automation.h"
#include "CloseWhenAllowed.h"
#include "HostMenus.h"
#include "HostOptions.h"
#include "HostWindow.h"
#include "LogFile.h"
#include "OperationLogWindow.h"
#include "PluginHost.h"
#include "QtTranslations.h"
#include "ResultFile.h"
#include "TerminationWatcher.h"
#include "TreeSteps.h"
#include "platform/ui/MessageBoxService.h"
#include "services/DemoFolders.h"
#include "services/HostLog.h"
#include "services/StartupChecks.h"

#include <QApplication>
#include <QBuffer>
#include <QFont>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QThread>
#include <cstdlib>
#include <iostream>

using namespace ocable::hostapp;

namespace {

constexpr int kStartFailed = 1;
constexpr int kBadRequest = 2;

// The fonts the designs name are Windows fonts; map them onto the CJK fonts
// Debian has, so Chinese text keeps Chinese glyph shapes.
void substituteFonts() {
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("Noto Serif CJK SC")});
    QFont::insertSubstitutions(QStringLiteral("SimSun"), {QStringLiteral("Noto Serif CJK SC")});
    for (const char* name : {"黑体", "SimHei", "Microsoft YaHei", "微软雅黑"})
        QFont::insertSubstitutions(QString::fromUtf8(name), {QStringLiteral("Noto Sans CJK SC")});
    QFont ui(QStringLiteral("Noto Sans CJK SC"));
    ui.setPixelSize(13);
    QApplication::setFont(ui);
}

// Tells the user: on stderr and in the log file always, in a message box
// when a person may be at the screen (never in automation mode, where the
// box service only records it).
int report(const std::string& text, int status, bool box) {
    std::cerr << "ocable-host: " << text << std::endl;
    LogFile::append(QString::fromStdString(text));
    if (box)
        ocable::ui::MessageBoxService::instance().show(text, "传输网络管理系统",
                                                       ocable::ui::MessageBoxService::Buttons::OK,
                                                       ocable::ui::MessageBoxService::Icon::Critical);
    return status;
}

// Closes the views as the frame's own close does, so that each saves its
// map. A view refuses while it draws; then the close is tried again once the
// drawing has let events run, until it succeeds.
void closeViews(HostWindow& window) {
    while (window.isVisible() && !window.close()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    // The views delete themselves later; let that happen while the plug-in
    // is still loaded.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QByteArray pngOf(QWidget& window) {
    QApplication::processEvents();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return window.grab().save(&buffer, "PNG") ? bytes : QByteArray();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ocable-host"));
    substituteFonts();
    installQtTranslations();

    HostOptions options;
    try {
        options = HostOptions::parse(app);
    } catch (const OptionError& e) {
        return report(e.what(), kBadRequest, false);
    }
    const bool scripted = options.scripted();
    // Without a person at the screen nobody can answer a message box.
    const bool person = !scripted && QGuiApplication::platformName() != "offscreen";
    ocable::ui::MessageBoxService::instance().setScripted(!person);
    if (!options.logFile.isEmpty()) {
        QString why;
        if (!LogFile::install(options.logFile, &why))
            return report("无法写入日志文件：" + options.logFile.toStdString() + "（" + why.toStdString() +
                              "）",
                          kBadRequest, person);
        // The file tells the whole story; stderr keeps to what went wrong.
        QLoggingCategory::setFilterRules(QStringLiteral("ocable.*.info=true"));
    }
    HostConfig& config = options.config;
    qCInfo(lcHost, "启动：数据库 %s，用户 %s，级别 %d", config.database.c_str(), config.userName.c_str(),
           config.userLevel);

    // A folder that is a file or cannot be read is named before the demo
    // layout tries to fill it.
    if (const std::string problem = StartupChecks::folders(config, !options.demo); !problem.empty())
        return report(problem, kStartFailed, person);
    try {
        if (options.demo) DemoFolders::prepare(config, options.dataDir);
    } catch (const std::exception& e) {
        return report(std::string("准备演示宿主目录失败：") + e.what(), kStartFailed, person);
    }
    for (const std::string& problem :
         {StartupChecks::database(config.database), StartupChecks::folders(config),
          StartupChecks::registry(StartupChecks::registryPath())})
        if (!problem.empty()) return report(problem, kStartFailed, person);
    if (!config.commonFilesDir.empty()) setenv("QZTRANS_COMMON_FILES", config.commonFilesDir.c_str(), 1);

    QJsonArray script;
    if (scripted) {
        try {
            script = Automation::readScript(options.script.toStdString());
        } catch (const ScriptError& e) {
            return report(e.what(), kBadRequest, false);
        }
    }

    // Declared before the window: the views inside it go first, while the
    // plug-in that made them is still loaded.
    PluginHost plugin(config, options.pluginPath);
    AlarmBoard alarms;
    std::unique_ptr<AlarmFeed> alarmFeed;
    std::vector<std::string> sqlLog;
    HostWindow window([&plugin] { plugin.showOcable(); });
    addMapToolsMenu(window);
    window.resize(options.size);
    window.show();

    TerminationWatcher watcher;
    std::unique_ptr<Automation> automation;
    CloseWhenAllowed closer(window);
    QObject::connect(&watcher, &TerminationWatcher::terminationRequested, &closer, &CloseWhenAllowed::start);
    QObject::connect(&closer, &CloseWhenAllowed::closed, &window, [&] {
        if (automation) automation->stop();
        QCoreApplication::quit();
    });
    const auto status = [&](int otherwise) {
        return watcher.signalNumber() ? 128 + watcher.signalNumber() : otherwise;
    };

    try {
        plugin.load();
        // The log serves the automation dumps alone; in a user's session it
        // would only grow.
        if (scripted)
            plugin.dataAccess().setObserver([&sqlLog](std::string_view sql) { sqlLog.emplace_back(sql); });
        OperationLogWindow::addToMenu(window, plugin.dataAccess());
        setRuleTablesSource(config.database);
        plugin.showOcable();
        AlarmListWindow::install(window, alarms);
        alarms.loadFromDatabase(config.database);
        if (!options.alarms.isEmpty()) alarmFeed = std::make_unique<AlarmFeed>(options.alarms, alarms);
    } catch (const std::exception& e) {
        closeViews(window);
        return report(e.what(), kStartFailed, person);
    }

    int code = 0;
    if (scripted && !watcher.requested()) {
        automation = std::make_unique<Automation>(sqlLog);
        qCInfo(lcHost, "自动化脚本开始：%d 步", static_cast<int>(script.size()));
        QJsonObject output;
        try {
            output = automation->run(script);
        } catch (const ScriptError& e) {
            closeViews(window);
            return report(e.what(), kBadRequest, false);
        }
        const QByteArray json = QJsonDocument(output).toJson(QJsonDocument::Indented);
        const QString problem = options.out.isEmpty() ? ResultFile::writeStdout(json + '\n')
                                                      : ResultFile::write(options.out, json);
        if (!problem.isEmpty()) {
            closeViews(window);
            const std::string where = options.out.isEmpty() ? "标准输出" : options.out.toStdString();
            return report("无法完整写入结果：" + where + "（" + problem.toStdString() + "）", kBadRequest,
                          false);
        }
    }
    if (!options.screenshot.isEmpty() && !watcher.requested()) {
        const QByteArray png = pngOf(window);
        const QString problem =
            png.isEmpty() ? QStringLiteral("无法生成图片") : ResultFile::write(options.screenshot, png);
        if (!problem.isEmpty()) {
            closeViews(window);
            return report("无法写入截图：" + options.screenshot.toStdString() + "（" + problem.toStdString() +
                              "）",
                          kBadRequest, false);
        }
        std::cerr << "截图已写入 " << options.screenshot.toStdString() << std::endl;
    }
    if (!scripted && options.screenshot.isEmpty() && !watcher.requested()) {
        qCInfo(lcHost, "光缆网络分布图已打开");
        code = app.exec();
    }
    closeViews(window);
    qCInfo(lcHost, "宿主结束");
    return status(code);
}
