#pragma once

#include <QByteArray>
#include <QString>

namespace ocable::hostapp {

// Writes the automation result or a screenshot so that a reader finds either
// the whole text or no new file at all: a full disk must never leave a
// truncated result behind an exit status of 0.
class ResultFile {
public:
    // Writes bytes to path through a temporary file that replaces it only
    // when every byte reached the disk. Devices such as /dev/full are
    // written directly. Empty on success, else the reason.
    static QString write(const QString& path, const QByteArray& bytes);
    // Writes bytes to standard output and flushes it. Empty on success.
    static QString writeStdout(const QByteArray& bytes);
};

} // namespace ocable::hostapp
