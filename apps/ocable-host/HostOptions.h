#pragma once

#include "services/HostConfig.h"

#include <QSize>
#include <QString>
#include <stdexcept>

class QCoreApplication;

namespace ocable::hostapp {

// A command line the host cannot run with; the text names the option and
// what is wrong, in Chinese.
class OptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The host's command line, read and checked: the login and folders, the
// plug-in, and what automation mode is to do.
struct HostOptions {
    HostConfig config;
    bool demo = false;
    std::filesystem::path demoRoot;
    std::filesystem::path dataDir;
    std::filesystem::path pluginPath;
    QString script;
    QString out;
    QString screenshot;
    QString logFile;
    QString alarms; // alarm event file the host watches
    QSize size{1600, 1000};

    bool scripted() const { return !script.isEmpty(); }

    // Reads the application's arguments. --help and --version print and end
    // the process, as usual; everything else that is wrong throws
    // OptionError (an unreadable --config file, --level abc, --size 0x0).
    static HostOptions parse(const QCoreApplication& app);
};

} // namespace ocable::hostapp
