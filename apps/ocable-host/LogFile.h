#pragma once

#include <QString>

namespace ocable::hostapp {

// Copies every message of every logging category into one file, besides the
// usual output on stderr, so that a support engineer gets the whole story of
// a session from the user. One file per process; the last call wins.
class LogFile {
public:
    // Appends to the file; false (with the reason in error) when it cannot
    // be opened.
    static bool install(const QString& path, QString* error);
    // Writes one line to the file only (not to stderr), for what the host
    // has already told the user there itself.
    static void append(const QString& line);
    // Stops copying and closes the file.
    static void uninstall();
};

} // namespace ocable::hostapp
