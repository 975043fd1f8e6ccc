#include "HostOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

namespace ocable::hostapp {

namespace fs = std::filesystem;

namespace {

QSize parseSize(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
    const auto match = pattern.match(text.trimmed());
    const QSize size =
        match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
    if (size.width() < 1 || size.height() < 1)
        throw OptionError("--size 必须写成“宽x高”（正整数，如 1600x1000），而不是“" + text.toStdString() +
                          "”");
    return size;
}

} // namespace

HostOptions HostOptions::parse(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("传输网络管理系统（光缆网络分布图独立宿主）"));
    parser.addHelpOption();
    const QCommandLineOption configOpt("config", "宿主配置文件（INI，节 [Host]）。", "file");
    const QCommandLineOption demoOpt("demo", "在此目录下准备并使用演示宿主目录。", "dir");
    const QCommandLineOption dataOpt("data-dir", "仓库的 data 目录。", "dir",
                                     QStringLiteral(OCABLE_DATA_DIR));
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
    const QCommandLineOption logOpt("log", "把所有日志另写入此文件。", "file");
    const QCommandLineOption alarmsOpt("alarms", "告警事件文件（每行一个 JSON 对象），运行中持续读取。",
                                       "file");
    parser.addOptions({configOpt, demoOpt, dataOpt, databaseOpt, userOpt, levelOpt, systemOpt, appOpt, mapOpt,
                       commonOpt, titleAOpt, titleBOpt, pluginOpt, scriptOpt, outOpt, shotOpt, sizeOpt,
                       logOpt, alarmsOpt});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        throw OptionError("多余的参数：" + parser.positionalArguments().join(' ').toStdString());

    HostOptions o;
    o.dataDir = parser.value(dataOpt).toStdString();
    o.pluginPath = parser.value(pluginOpt).toStdString();
    o.script = parser.value(scriptOpt);
    o.out = parser.value(outOpt);
    o.screenshot = parser.value(shotOpt);
    o.logFile = parser.value(logOpt);
    o.alarms = parser.value(alarmsOpt);
    o.size = parseSize(parser.value(sizeOpt));
    if (parser.isSet(outOpt) && !parser.isSet(scriptOpt)) throw OptionError("--out 只能与 --script 一起使用");

    HostConfig& config = o.config;
    if (parser.isSet(demoOpt)) {
        o.demo = true;
        o.demoRoot = fs::absolute(parser.value(demoOpt).toStdString());
        config.useDemoLayout(o.demoRoot);
        config.database = o.demoRoot / "network.db";
    }
    if (parser.isSet(configOpt)) {
        try {
            config.readFile(fs::absolute(parser.value(configOpt).toStdString()));
        } catch (const std::exception& e) {
            throw OptionError(e.what());
        }
    }
    auto path = [&](const QCommandLineOption& option, fs::path& out) {
        if (parser.isSet(option)) out = fs::absolute(parser.value(option).toStdString());
    };
    path(databaseOpt, config.database);
    path(systemOpt, config.systemDir);
    path(appOpt, config.appDir);
    path(mapOpt, config.mapDir);
    path(commonOpt, config.commonFilesDir);
    if (parser.isSet(userOpt)) config.userName = parser.value(userOpt).toStdString();
    if (parser.isSet(levelOpt)) {
        try {
            config.userLevel = parseUserLevel(parser.value(levelOpt).toStdString());
        } catch (const std::invalid_argument& e) {
            throw OptionError(std::string("--level：") + e.what());
        }
    }
    if (parser.isSet(titleAOpt)) config.titleA = parser.value(titleAOpt).toStdString();
    if (parser.isSet(titleBOpt)) config.titleB = parser.value(titleBOpt).toStdString();
    return o;
}

} // namespace ocable::hostapp
