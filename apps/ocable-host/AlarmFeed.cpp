#include "AlarmFeed.h"

#include "AlarmBoard.h"
#include "services/HostLog.h"

#include <QFile>
#include <QFileInfo>

namespace ocable::hostapp {

AlarmFeed::AlarmFeed(QString file, AlarmBoard& board, QObject* parent)
    : QObject(parent), file_(std::move(file)), board_(board) {
    connect(&timer_, &QTimer::timeout, this, &AlarmFeed::poll);
    timer_.start(200);
    poll();
}

void AlarmFeed::poll() {
    const QFileInfo info(file_);
    if (!info.exists()) return;
    if (info.size() < offset_) {
        offset_ = 0;
        lineNumber_ = 0;
    }
    if (info.size() == offset_) return;
    QFile f(file_);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(offset_)) {
        qCWarning(lcHost, "无法读取告警文件 %s：%s", qPrintable(file_), qPrintable(f.errorString()));
        return;
    }
    const QByteArray text = f.readAll();
    // A line still being written waits for its end.
    const qsizetype complete = text.lastIndexOf('\n') + 1;
    if (complete == 0) return;
    offset_ += complete;
    std::vector<AlarmEvent> events;
    for (const QByteArray& line : text.left(complete - 1).split('\n')) {
        ++lineNumber_;
        if (line.trimmed().isEmpty()) continue;
        try {
            events.push_back(AlarmEvent::fromLine(line));
        } catch (const AlarmEventError& e) {
            qCWarning(lcHost, "告警文件 %s 第 %d 行：%s", qPrintable(file_), lineNumber_, e.what());
        }
    }
    if (!events.empty()) board_.apply(events);
}

} // namespace ocable::hostapp
