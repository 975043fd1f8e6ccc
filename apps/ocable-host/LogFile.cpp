#include "LogFile.h"

#include <QDateTime>
#include <QFile>
#include <QMutex>
#include <memory>

namespace ocable::hostapp {

namespace {

struct State {
    QMutex mutex;
    std::unique_ptr<QFile> file;
    QtMessageHandler previous = nullptr;
};

State& state() {
    static State s;
    return s;
}

const char* levelName(QtMsgType type) {
    switch (type) {
    case QtDebugMsg:
        return "debug";
    case QtInfoMsg:
        return "info";
    case QtWarningMsg:
        return "warning";
    case QtCriticalMsg:
        return "critical";
    case QtFatalMsg:
        return "fatal";
    }
    return "?";
}

void writeLine(State& s, const char* level, const char* category, const QString& message) {
    QMutexLocker lock(&s.mutex);
    if (!s.file) return;
    const QByteArray line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() + ' ' + level +
                            ' ' + category + ": " + message.toUtf8() + '\n';
    s.file->write(line);
    // A crash right after must not lose the line that explains it.
    s.file->flush();
}

void handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    State& s = state();
    writeLine(s, levelName(type), context.category ? context.category : "default", message);
    if (s.previous) s.previous(type, context, message);
}

} // namespace

bool LogFile::install(const QString& path, QString* error) {
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        if (error) *error = file->errorString();
        return false;
    }
    State& s = state();
    QMutexLocker lock(&s.mutex);
    const bool first = !s.file;
    s.file = std::move(file);
    if (first) s.previous = qInstallMessageHandler(handler);
    return true;
}

void LogFile::append(const QString& line) {
    writeLine(state(), "critical", "ocable.host", line);
}

void LogFile::uninstall() {
    State& s = state();
    QMutexLocker lock(&s.mutex);
    if (!s.file) return;
    qInstallMessageHandler(s.previous);
    s.previous = nullptr;
    s.file.reset();
}

} // namespace ocable::hostapp
