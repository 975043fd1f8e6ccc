#include "TerminationWatcher.h"

#include "services/HostLog.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace ocable::hostapp {

namespace {

// The pipe's ends. The handler may only call async-signal-safe functions,
// so it writes the signal's number and nothing else.
int pipeEnds[2] = {-1, -1};

void onSignal(int signal) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const auto n = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

void restoreDefaultHandlers() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

} // namespace

TerminationWatcher::TerminationWatcher(QObject* parent) : QObject(parent) {
    if (pipeEnds[0] >= 0) {
        qCWarning(lcHost, "信号已由另一个 TerminationWatcher 接收，此处不再接收");
        return;
    }
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        qCWarning(lcHost, "无法建立信号管道，SIGTERM 和 SIGINT 将直接结束程序");
        return;
    }
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationWatcher::readPipe);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // The session ends: the views save what they hold, as at "退出".
        connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { request(0); });
    }
}

TerminationWatcher::~TerminationWatcher() {
    if (!notifier_) return;
    restoreDefaultHandlers();
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void TerminationWatcher::readPipe() {
    unsigned char byte = 0;
    int last = 0;
    while (::read(pipeEnds[0], &byte, 1) == 1)
        last = byte;
    if (last) request(last);
}

void TerminationWatcher::request(int signal) {
    if (requested_) {
        // Asked twice: the next signal ends the process at once, for a user
        // whose host does not get to close.
        if (signal) restoreDefaultHandlers();
        return;
    }
    requested_ = true;
    signal_ = signal;
    qCInfo(lcHost, "收到结束请求（%s），关闭视图后退出", signal ? strsignal(signal) : "注销");
    emit terminationRequested();
}

} // namespace ocable::hostapp
