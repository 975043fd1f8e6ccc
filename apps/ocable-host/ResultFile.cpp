#include "ResultFile.h"

#include "services/SystemErrorText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace ocable::hostapp {

namespace {

// A character device or a pipe must not be replaced by renaming a new file
// over it (as root that would even succeed in /dev); writing into it is
// what its user asked for.
QString writeDirectly(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (file.write(bytes) != bytes.size() || !file.flush()) return file.errorString();
    file.close();
    if (file.error() != QFileDevice::NoError) return file.errorString();
    return {};
}

} // namespace

QString ResultFile::write(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir()) return writeDirectly(path, bytes);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) return file.errorString();
    return {};
}

QString ResultFile::writeStdout(const QByteArray& bytes) {
    std::fflush(stdout);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(STDOUT_FILENO, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return QString::fromStdString(systemErrorText(n < 0 ? errno : EIO));
        done += n;
    }
    return {};
}

} // namespace ocable::hostapp
