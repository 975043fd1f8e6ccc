#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

class QObject;
class QWidget;

namespace ocable::hostapp {

class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The host's automation mode: runs the steps of a JSON script against the
// open views and collects results and state dumps. The protocol is described
// in the README.
class Automation {
public:
    // The steps of a script file; throws ScriptError for a file that is not
    // a JSON array of objects.
    static QJsonArray readScript(const std::filesystem::path& file);

    // sqlLog is the list of every SQL text sent so far; it keeps growing.
    explicit Automation(const std::vector<std::string>& sqlLog) : sqlLog_(sqlLog) {}

    // Runs every step in order; throws ScriptError naming the step (1-based)
    // and what is wrong with it.
    QJsonObject run(const QJsonArray& steps);

    // The state of the views as one JSON object.
    QJsonObject dump(bool features, const QStringList& layers) const;

private:
    QJsonValue runStep(const QJsonObject& step);
    QJsonValue call(const QJsonObject& step);
    void clickTool(const QJsonObject& step);
    void mouse(const QJsonObject& step);
    void key(const QJsonObject& step);
    static void wait(int milliseconds);

    const std::vector<std::string>& sqlLog_;
    QJsonArray results_;
    QJsonArray dumps_;
};

// The widget or object of that name among the application's windows, or null.
QObject* findNamed(const QString& name);

} // namespace ocable::hostapp
