#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <string>

namespace ocable::testsupport {

// Collects what the code under test says while the object lives: the text
// written to stderr (file descriptor 2, so C, C++ and Qt output alike) and
// the Qt messages of every logging category, as "category: message".
class ErrorCapture {
public:
    ErrorCapture();
    ~ErrorCapture();
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

    // Everything written to stderr so far.
    std::string stderrText() const;
    const QStringList& messages() const { return messages_; }
    // Whether any Qt message contains the text, and how many do (a passed-over
    // error reported once for a run, not once per row).
    bool logged(const QString& text) const { return count(text) > 0; }
    std::size_t count(const QString& text) const;

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);

    int savedStderr_ = -1;
    std::string file_;
    QStringList messages_;
    QtMessageHandler previous_ = nullptr;
    ErrorCapture* outer_ = nullptr;
};

} // namespace ocable::testsupport
