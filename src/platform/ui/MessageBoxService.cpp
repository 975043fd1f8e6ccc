#include "platform/ui/MessageBoxService.h"

#include <QMessageBox>

namespace ocable::ui {

namespace {

QMessageBox::StandardButton toStandard(MessageBoxService::Answer a) {
    switch (a) {
    case MessageBoxService::Answer::OK:
        return QMessageBox::Ok;
    case MessageBoxService::Answer::Cancel:
        return QMessageBox::Cancel;
    case MessageBoxService::Answer::Yes:
        return QMessageBox::Yes;
    case MessageBoxService::Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons toStandard(MessageBoxService::Buttons b) {
    switch (b) {
    case MessageBoxService::Buttons::OK:
        return QMessageBox::Ok;
    case MessageBoxService::Buttons::OKCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageBoxService::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageBoxService::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon toStandard(MessageBoxService::Icon i) {
    switch (i) {
    case MessageBoxService::Icon::None:
        return QMessageBox::NoIcon;
    case MessageBoxService::Icon::Information:
        return QMessageBox::Information;
    case MessageBoxService::Icon::Question:
        return QMessageBox::Question;
    case MessageBoxService::Icon::Warning:
        return QMessageBox::Warning;
    case MessageBoxService::Icon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

MessageBoxService::Answer fromStandard(int button, MessageBoxService::Answer fallback) {
    switch (button) {
    case QMessageBox::Ok:
        return MessageBoxService::Answer::OK;
    case QMessageBox::Cancel:
        return MessageBoxService::Answer::Cancel;
    case QMessageBox::Yes:
        return MessageBoxService::Answer::Yes;
    case QMessageBox::No:
        return MessageBoxService::Answer::No;
    default:
        return fallback;
    }
}

} // namespace

MessageBoxService& MessageBoxService::instance() {
    static MessageBoxService service;
    return service;
}

MessageBoxService::Answer MessageBoxService::show(const std::string& text, const std::string& title,
                                                  Buttons buttons, Icon icon, Answer defaultAnswer,
                                                  QWidget* parent) {
    return show(Request{text, title, buttons, icon, defaultAnswer}, parent);
}

MessageBoxService::Answer MessageBoxService::show(const Request& request, QWidget* parent) {
    Answer answer = request.defaultAnswer;
    if (scripted_) {
        if (!queued_.empty()) {
            answer = queued_.front();
            queued_.pop_front();
        }
    } else {
        QMessageBox box(toStandard(request.icon), QString::fromStdString(request.title),
                        QString::fromStdString(request.text), toStandard(request.buttons), parent);
        // Texts carry station and cable names from the data: a name such as
        // "<b>x</b>" or "<img src=...>" must show as written, never as markup.
        box.setTextFormat(Qt::PlainText);
        box.setDefaultButton(toStandard(request.defaultAnswer));
        // Closing the box with Escape or the title bar counts as its cancel button.
        answer = fromStandard(box.exec(), request.buttons == Buttons::YesNo ? Answer::No
                                          : request.buttons == Buttons::OK  ? Answer::OK
                                                                            : Answer::Cancel);
    }
    history_.push_back({request, answer, scripted_});
    return answer;
}

const char* MessageBoxService::name(Answer a) {
    switch (a) {
    case Answer::OK:
        return "OK";
    case Answer::Cancel:
        return "Cancel";
    case Answer::Yes:
        return "Yes";
    case Answer::No:
        return "No";
    }
    return "";
}

const char* MessageBoxService::name(Buttons b) {
    switch (b) {
    case Buttons::OK:
        return "OK";
    case Buttons::OKCancel:
        return "OKCancel";
    case Buttons::YesNo:
        return "YesNo";
    case Buttons::YesNoCancel:
        return "YesNoCancel";
    }
    return "";
}

const char* MessageBoxService::name(Icon i) {
    switch (i) {
    case Icon::None:
        return "None";
    case Icon::Information:
        return "Information";
    case Icon::Question:
        return "Question";
    case Icon::Warning:
        return "Warning";
    case Icon::Critical:
        return "Critical";
    }
    return "";
}

bool MessageBoxService::parseAnswer(const std::string& text, Answer& out) {
    const QString t = QString::fromStdString(text).trimmed().toLower();
    if (t == "ok")
        out = Answer::OK;
    else if (t == "cancel")
        out = Answer::Cancel;
    else if (t == "yes")
        out = Answer::Yes;
    else if (t == "no")
        out = Answer::No;
    else
        return false;
    return true;
}

} // namespace ocable::ui
