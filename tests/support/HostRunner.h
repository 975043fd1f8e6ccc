#pragma once

// The stand-alone host run as a user runs it, for end-to-end tests: a small
// demo network generated once per test program, fresh copies of it for tests
// that change it, and runs of the host in automation mode.

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ocable::testsupport {

class TempDir;

struct HostRun {
    int exitCode = -1;
    bool crashed = false; // ended by a signal (a sanitizer's abort included)
    std::string stderrText;
    QJsonObject output; // the --out file, empty when none was written

    QJsonArray dumps() const { return output["dumps"].toArray(); }
    const QJsonObject dump(qsizetype i) const { return dumps().at(i).toObject(); }
};

class HostRunner {
public:
    // The host program, as built.
    static const char* hostProgram();

    // The small demo network of seed 1, made once per test program; its
    // folder is only read.
    static const std::filesystem::path& sharedRoot();
    // A host folder of its own with a copy of the shared network, removed
    // when the returned folder goes.
    static std::unique_ptr<TempDir> freshRoot(const std::string& name);
    // The same, kept until the test program ends.
    static std::filesystem::path keptRoot(const std::string& name);

    // The environment every run gets: offscreen, a plug-in registry under
    // root, plus extra (a value of "" removes the variable).
    static QProcessEnvironment environment(const std::filesystem::path& root,
                                           const std::map<QString, QString>& extra = {});

    // Runs the host on the demo layout below root with the script text and
    // extra arguments; waits at most timeoutMs.
    static HostRun run(const std::filesystem::path& root, const std::string& script,
                       const QStringList& extra = {}, const std::map<QString, QString>& env = {},
                       int timeoutMs = 300000);
    static HostRun run(const std::filesystem::path& root, const QJsonArray& steps,
                       const QStringList& extra = {});
    // --demo root and --script file.
    static QStringList arguments(const std::filesystem::path& root, const std::filesystem::path& script);
    // Runs the host with exactly these arguments (no --demo, no script).
    static HostRun runRaw(const QStringList& arguments, const QProcessEnvironment& env,
                          int timeoutMs = 300000);
};

// The first column of every row of a query on a database file, as text:
// what the host wrote, read apart from it.
std::vector<std::string> firstColumn(const std::filesystem::path& db, const std::string& sql);

// The single number a query on a database file gives.
double scalar(const std::filesystem::path& db, const std::string& sql);

// The layer of that name in a dump's map, or an empty object.
QJsonObject layerOf(const QJsonObject& dump, const QString& map, const QString& name);
// The object codes (second column) of a layer's features on the network map,
// in drawing order; of its selected features only when asked.
std::vector<std::string> codesOn(const QJsonObject& dump, const QString& layer, bool selectedOnly = false);

// Script steps: a call of a public procedure ("window.procedure"), a tool
// click, a dump of the layers' features (all layers when none are named).
QJsonObject callStep(const QString& target, const QJsonArray& args = {});
QJsonObject toolStep(const QString& key, const QString& control = "ActiveBarMenu");
QJsonObject dumpStep(const QStringList& layers = {});

// The script with each DUMP in it replaced by a dump of the layers' features.
std::string withDumps(std::string script, const QStringList& layers);

// The texts of every message box and notice a dump lists, in order.
std::vector<std::string> messageTexts(const QJsonObject& dump);
// Every SQL text a dump lists, in the order the host received them.
std::vector<std::string> sqlTexts(const QJsonObject& dump);

} // namespace ocable::testsupport
