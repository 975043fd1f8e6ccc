#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class QEventLoop;
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
    // The same for a script's text.
    static QJsonArray parseScript(const QByteArray& text);

    // The longest wait a step may ask for, in milliseconds.
    static constexpr int kMaxWait = 600000;

    // sqlLog is the list of every SQL text sent so far; it keeps growing.
    explicit Automation(const std::vector<std::string>& sqlLog);

    // Runs every step in order; throws ScriptError naming the step (1-based)
    // and what is wrong with it.
    QJsonObject run(const QJsonArray& steps);

    // The state of the views as one JSON object.
    QJsonObject dump(bool features, const QStringList& layers) const;

    // Ends the script early (the host was asked to end): a running wait
    // returns at once and no further step runs. run() then returns what was
    // collected so far.
    void stop();
    bool stopped() const { return stopped_; }

private:
    QJsonValue runStep(const QJsonObject& step);
    QJsonValue call(const QJsonObject& step);
    void clickTool(const QJsonObject& step);
    void mouse(const QJsonObject& step);
    void key(const QJsonObject& step);
    void wait(int milliseconds, const QString& untilFile = {});
    void screenshot(const QString& file);

    const std::vector<std::string>& sqlLog_;
    QJsonArray results_;
    QJsonArray dumps_;
    // Queued calls, in the order queued: "call", "ran" and, once run,
    // "result". Shared with the calls, which may run after the step.
    std::shared_ptr<QJsonArray> queuedLog_ = std::make_shared<QJsonArray>();
    bool stopped_ = false;
    QEventLoop* waiting_ = nullptr;
};

// The widget of that name among the application's windows, or null. A window
// whose close was accepted is gone for the script even while Qt still holds
// it; closed tells whether such a one was passed over.
QObject* findNamed(const QString& name, bool* closed = nullptr);

} // namespace ocable::hostapp
