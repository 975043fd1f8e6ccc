#include "support/ErrorCapture.h"

#include "support/TempDir.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace ocable::testsupport {

namespace {
ErrorCapture* current = nullptr;
}

ErrorCapture::ErrorCapture() {
    char name[] = "/tmp/ocable-stderr-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd >= 0) {
        file_ = name;
        std::fflush(stderr);
        savedStderr_ = ::dup(STDERR_FILENO);
        ::dup2(fd, STDERR_FILENO);
        ::close(fd);
    }
    outer_ = current;
    current = this;
    previous_ = qInstallMessageHandler(&ErrorCapture::handler);
}

ErrorCapture::~ErrorCapture() {
    qInstallMessageHandler(previous_);
    current = outer_;
    if (savedStderr_ >= 0) {
        std::fflush(stderr);
        ::dup2(savedStderr_, STDERR_FILENO);
        ::close(savedStderr_);
    }
    if (!file_.empty()) std::filesystem::remove(file_);
}

std::string ErrorCapture::stderrText() const {
    std::fflush(stderr);
    return file_.empty() ? std::string() : readText(file_);
}

std::size_t ErrorCapture::count(const QString& text) const {
    std::size_t n = 0;
    for (const QString& m : messages_)
        n += m.contains(text);
    return n;
}

void ErrorCapture::handler(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (current)
        current->messages_ << QString::fromUtf8(context.category ? context.category : "default") + ": " +
                                  message;
}

} // namespace ocable::testsupport
