#pragma once

#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace ocable::ui {

// Every message box of the application goes through here, so that tests and
// the host's automation mode can answer them instead of a person.
class MessageBoxService {
public:
    enum class Buttons { OK, OKCancel, YesNo, YesNoCancel };
    enum class Icon { None, Information, Question, Warning, Critical };
    enum class Answer { OK, Cancel, Yes, No };

    struct Request {
        std::string text;
        std::string title;
        Buttons buttons = Buttons::OK;
        Icon icon = Icon::Information;
        Answer defaultAnswer = Answer::OK;
    };

    struct Record {
        Request request;
        Answer answer;
        bool scripted; // answered from the queue or by default, not by a person
    };

    static MessageBoxService& instance();

    // Shows the box (or answers it from the script) and returns the answer.
    Answer show(const Request& request, QWidget* parent = nullptr);
    Answer show(const std::string& text, const std::string& title, Buttons buttons = Buttons::OK,
                Icon icon = Icon::Information, Answer defaultAnswer = Answer::OK, QWidget* parent = nullptr);

    // Scripted mode: no box is shown; each box takes the next queued answer,
    // or its default answer when the queue is empty.
    void setScripted(bool scripted) { scripted_ = scripted; }
    bool scripted() const { return scripted_; }
    void queueAnswer(Answer answer) { queued_.push_back(answer); }
    void clearQueue() { queued_.clear(); }

    const std::vector<Record>& history() const { return history_; }
    void clearHistory() { history_.clear(); }

    static const char* name(Answer a);
    static const char* name(Buttons b);
    static const char* name(Icon i);
    // "Yes", "No", "OK", "Cancel" in any case; false when unknown.
    static bool parseAnswer(const std::string& text, Answer& out);

private:
    MessageBoxService() = default;
    bool scripted_ = false;
    std::deque<Answer> queued_;
    std::vector<Record> history_;
};

} // namespace ocable::ui
