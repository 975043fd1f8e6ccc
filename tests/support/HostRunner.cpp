#include "support/HostRunner.h"

#include "support/TempDir.h"

#include "platform/db/SqliteConnection.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <fstream>
#include <gtest/gtest.h>

namespace ocable::testsupport {

namespace fs = std::filesystem;

const char* HostRunner::hostProgram() {
    return OCABLE_HOST;
}

const fs::path& HostRunner::sharedRoot() {
    static TempDir dir("e2e");
    static const bool made = [] {
        QProcess gen;
        gen.start(OCABLE_DEMO_DB, {"--scale", "small", "--seed", "1", "--quiet",
                                   QString::fromStdString((dir.path() / "network.db").string())});
        gen.waitForFinished(120000);
        EXPECT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();
        return true;
    }();
    (void)made;
    return dir.path();
}

std::unique_ptr<TempDir> HostRunner::freshRoot(const std::string& name) {
    auto dir = std::make_unique<TempDir>("e2e-" + name);
    fs::copy_file(sharedRoot() / "network.db", dir->path() / "network.db");
    return dir;
}

fs::path HostRunner::keptRoot(const std::string& name) {
    static std::vector<std::unique_ptr<TempDir>> kept;
    kept.push_back(freshRoot(name));
    return kept.back()->path();
}

QProcessEnvironment HostRunner::environment(const fs::path& root, const std::map<QString, QString>& extra) {
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QZTRANS_PLUGIN_REGISTRY", QString::fromStdString((root / "plugins.reg").string()));
    for (const auto& [name, value] : extra) {
        if (value.isEmpty())
            env.remove(name);
        else
            env.insert(name, value);
    }
    return env;
}

HostRun HostRunner::run(const fs::path& root, const std::string& script, const QStringList& extra,
                        const std::map<QString, QString>& env, int timeoutMs) {
    const fs::path scriptFile = root / "script.json", outFile = root / "out.json";
    std::ofstream(scriptFile) << script;
    fs::remove(outFile);
    QStringList args = arguments(root, scriptFile) << "--out" << QString::fromStdString(outFile.string());
    args << extra;
    HostRun result = runRaw(args, environment(root, env), timeoutMs);
    result.output = QJsonDocument::fromJson(QByteArray::fromStdString(readText(outFile))).object();
    return result;
}

HostRun HostRunner::run(const fs::path& root, const QJsonArray& steps, const QStringList& extra) {
    return run(root, QJsonDocument(steps).toJson().toStdString(), extra);
}

QStringList HostRunner::arguments(const fs::path& root, const fs::path& script) {
    return {"--demo", QString::fromStdString(root.string()), "--script",
            QString::fromStdString(script.string())};
}

HostRun HostRunner::runRaw(const QStringList& arguments, const QProcessEnvironment& env, int timeoutMs) {
    QProcess host;
    host.setProcessEnvironment(env);
    host.start(hostProgram(), arguments);
    const bool finished = host.waitForFinished(timeoutMs);
    if (!finished) host.kill(), host.waitForFinished();
    HostRun result;
    result.crashed = !finished || host.exitStatus() == QProcess::CrashExit;
    result.exitCode = host.exitCode();
    result.stderrText = host.readAllStandardError().toStdString();
    return result;
}

std::vector<std::string> firstColumn(const std::filesystem::path& db, const std::string& sql) {
    std::vector<std::string> out;
    for (auto rs = db::SqliteConnection(db).query(sql); !rs->Eof(); rs->MoveNext())
        out.push_back(rs->Fields(0).toText());
    return out;
}

double scalar(const std::filesystem::path& db, const std::string& sql) {
    return std::stod(firstColumn(db, sql).at(0));
}

QJsonObject layerOf(const QJsonObject& dump, const QString& map, const QString& name) {
    for (const QJsonValue l : dump["maps"][map]["layers"].toArray())
        if (l["name"].toString() == name) return l.toObject();
    return {};
}

std::vector<std::string> codesOn(const QJsonObject& dump, const QString& layer, bool selectedOnly) {
    const QJsonObject l = layerOf(dump, "Map1", layer);
    std::vector<std::string> out;
    for (const QJsonValue f : l["features"].toArray())
        if (!selectedOnly || l["selection"].toArray().contains(f["key"]))
            out.push_back(f["row"][1].toString().toStdString());
    return out;
}

QJsonObject callStep(const QString& target, const QJsonArray& args) {
    return {{"call", target}, {"args", args}};
}

QJsonObject toolStep(const QString& key, const QString& control) {
    return {{"tool", key}, {"control", control}};
}

QJsonObject dumpStep(const QStringList& layers) {
    QJsonObject step{{"dump", true}, {"features", true}};
    if (!layers.isEmpty()) step["layers"] = QJsonArray::fromStringList(layers);
    return step;
}

std::string withDumps(std::string script, const QStringList& layers) {
    const std::string dump = QJsonDocument(dumpStep(layers)).toJson(QJsonDocument::Compact).toStdString();
    for (std::size_t at; (at = script.find("DUMP")) != std::string::npos;)
        script.replace(at, 4, dump);
    return script;
}

std::vector<std::string> messageTexts(const QJsonObject& dump) {
    std::vector<std::string> out;
    for (const QJsonValue m : dump["messages"].toArray())
        out.push_back(m["text"].toString().toStdString());
    return out;
}

std::vector<std::string> sqlTexts(const QJsonObject& dump) {
    std::vector<std::string> out;
    for (const QJsonValue s : dump["sql"].toArray())
        out.push_back(s.toString().toStdString());
    return out;
}

} // namespace ocable::testsupport
