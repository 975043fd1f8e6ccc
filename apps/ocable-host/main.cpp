// The stand-alone host: an MDI frame that loads the optical-cable map view
// through the plug-in's exports and runs it on a SQLite network database.

#include "Automation.h"
#include "HostWindow.h"
#include "OperationLogWindow.h"
#include "TreeSteps.h"
#include "PluginHost.h"
#include "services/DemoFolders.h"
#include "platform/ui/MessageBoxService.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFont>
#include <QJsonDocument>
#include <QScreen>
#include <QTimer>
#include <cstdlib>
#include <iostream>

namespace fs = std::filesystem;
using namespace ocable::hostapp;

namespace {

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

int fail(const std::string& message) {
    std::cerr << "ocable-host: " << message << std::endl;
    return 2;
}

bool writeScreenshot(QWidget& window, const QString& file) {
    QApplication::processEvents();
    return window.grab().save(file);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ocable-host"));
    substituteFonts();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("传输网络管理系统（光缆网络分布图独立宿主）"));
    parser.addHelpOption();
    const QCommandLineOption configOpt("config", "宿主配置文件（INI，节 [Host]）。", "file");
    const QCommandLineOption demoOpt("demo", "在此目录下准备并使用演示宿主目录。", "dir");
    const QCommandLineOption dataOpt("data-dir", "仓库的 data 目录。", "dir", QStringLiteral(OCABLE_DATA_DIR));
    const QCommandLineOption databaseOpt("database", "网络数据库（SQLite）。", "file");
    const QCommandLineOption userOpt("user", "用户名。", "name");
    const QCommandLineOption levelOpt("level", "用户级别（0、1 为简化骨干图）。", "n");
    const QCommandLineOption systemOpt("system-dir", "系统目录。", "dir");
    const QCommandLineOption appOpt("app-dir", "应用目录。", "dir");
    const QCommandLineOption mapOpt("map-dir", "地图工作目录。", "dir");
    const QCommandLineOption commonOpt("common-dir", "公共地图组件目录。", "dir");
    const QCommandLineOption titleAOpt("title-a", "标题前缀一。", "text");
    const QCommandLineOption titleBOpt("title-b", "标题前缀二。", "text");
    const QCommandLineOption pluginOpt("plugin", "插件库。", "file", QStringLiteral(OCABLE_PLUGIN_PATH));
    const QCommandLineOption scriptOpt("script", "自动化脚本（JSON 数组）。", "file");
    const QCommandLineOption outOpt("out", "自动化结果写入此文件（默认标准输出）。", "file");
    const QCommandLineOption shotOpt("screenshot", "绘制或脚本结束后把宿主窗口写成 PNG。", "file");
    const QCommandLineOption sizeOpt("size", "窗口大小，如 1600x1000。", "WxH", QStringLiteral("1600x1000"));
    parser.addOptions({configOpt, demoOpt, dataOpt, databaseOpt, userOpt, levelOpt, systemOpt, appOpt, mapOpt,
                       commonOpt, titleAOpt, titleBOpt, pluginOpt, scriptOpt, outOpt, shotOpt, sizeOpt});
    parser.process(app);

    HostConfig config;
    try {
        if (parser.isSet(demoOpt)) {
            config.useDemoLayout(parser.value(demoOpt).toStdString());
            config.database = fs::path(parser.value(demoOpt).toStdString()) / "network.db";
        }
        if (parser.isSet(configOpt)) config.readFile(parser.value(configOpt).toStdString());
        auto path = [&](const QCommandLineOption& o, fs::path& out) {
            if (parser.isSet(o)) out = fs::absolute(parser.value(o).toStdString());
        };
        path(databaseOpt, config.database);
        path(systemOpt, config.systemDir);
        path(appOpt, config.appDir);
        path(mapOpt, config.mapDir);
        path(commonOpt, config.commonFilesDir);
        if (parser.isSet(userOpt)) config.userName = parser.value(userOpt).toStdString();
        if (parser.isSet(levelOpt)) config.userLevel = parser.value(levelOpt).toInt();
        if (parser.isSet(titleAOpt)) config.titleA = parser.value(titleAOpt).toStdString();
        if (parser.isSet(titleBOpt)) config.titleB = parser.value(titleBOpt).toStdString();
        if (parser.isSet(demoOpt)) DemoFolders::prepare(config, parser.value(dataOpt).toStdString());
    } catch (const std::exception& e) {
        return fail(std::string("准备宿主目录失败：") + e.what());
    }
    if (!config.commonFilesDir.empty()) setenv("QZTRANS_COMMON_FILES", config.commonFilesDir.c_str(), 1);

    QJsonArray script;
    const bool scripted = parser.isSet(scriptOpt);
    if (scripted) {
        try {
            script = Automation::readScript(parser.value(scriptOpt).toStdString());
        } catch (const ScriptError& e) {
            return fail(e.what());
        }
    }
    // Without a person at the screen nobody can answer a message box.
    if (scripted || QGuiApplication::platformName() == "offscreen")
        ocable::ui::MessageBoxService::instance().setScripted(true);

    std::vector<std::string> sqlLog;
    PluginHost plugin(config, parser.value(pluginOpt).toStdString());
    HostWindow window([&plugin] { plugin.showOcable(); });
    const QStringList size = parser.value(sizeOpt).split('x');
    window.resize(size.value(0).toInt() > 0 ? size.value(0).toInt() : 1600,
                  size.value(1).toInt() > 0 ? size.value(1).toInt() : 1000);
    window.show();
    try {
        plugin.load();
        plugin.dataAccess().setObserver([&sqlLog](std::string_view sql) { sqlLog.emplace_back(sql); });
        OperationLogWindow::addToMenu(window, plugin.dataAccess());
        setRuleTablesSource(config.database);
        plugin.showOcable();
    } catch (const std::exception& e) {
        return fail(e.what());
    }

    if (scripted) {
        QJsonObject output;
        try {
            output = Automation(sqlLog).run(script);
        } catch (const ScriptError& e) {
            return fail(e.what());
        }
        const QByteArray json = QJsonDocument(output).toJson(QJsonDocument::Indented);
        if (parser.isSet(outOpt)) {
            QFile out(parser.value(outOpt));
            if (!out.open(QIODevice::WriteOnly)) return fail("无法写入结果文件：" + parser.value(outOpt).toStdString());
            out.write(json);
        } else {
            std::cout << json.toStdString() << std::endl;
        }
    }
    if (parser.isSet(shotOpt)) {
        if (!writeScreenshot(window, parser.value(shotOpt))) return fail("无法写入截图：" + parser.value(shotOpt).toStdString());
        std::cerr << "截图已写入 " << parser.value(shotOpt).toStdString() << std::endl;
    }
    if (!scripted && !parser.isSet(shotOpt)) app.exec();
    // The views unload (and save their maps) while the frame is still whole.
    window.close();
    return 0;
}
