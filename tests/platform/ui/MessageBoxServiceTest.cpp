#include "platform/ui/MessageBoxService.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using Box = ocable::ui::MessageBoxService;

TEST(MessageBoxService, ScriptedBoxesTakeQueuedAnswersInOrderThenTheirDefaultAndAreRecorded) {
    Box& box = Box::instance();
    box.setScripted(true);
    box.clearHistory();
    box.queueAnswer(Box::Answer::No);
    box.queueAnswer(Box::Answer::Yes);
    const auto ask = [&](Box::Answer def) {
        return box.show("是否需要保存？", "提示", Box::Buttons::YesNo, Box::Icon::Question, def);
    };
    EXPECT_EQ(ask(Box::Answer::Yes), Box::Answer::No);
    EXPECT_EQ(ask(Box::Answer::No), Box::Answer::Yes);
    EXPECT_EQ(ask(Box::Answer::Yes), Box::Answer::Yes);

    ASSERT_EQ(box.history().size(), 3u);
    const auto& first = box.history()[0];
    EXPECT_EQ(first.request.text + "|" + first.request.title, "是否需要保存？|提示");
    EXPECT_EQ(first.request.buttons, Box::Buttons::YesNo);
    EXPECT_EQ(first.request.icon, Box::Icon::Question);
    EXPECT_EQ(first.answer, Box::Answer::No);
    EXPECT_TRUE(first.scripted);
    box.clearHistory();
}

TEST(MessageBoxService, AShownBoxAnswersWithTheButtonPressedAndEscapeAsCancel) {
    Box& box = Box::instance();
    box.setScripted(false);
    const auto press = [](Qt::Key key) {
        QTimer::singleShot(0, [key] {
            if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                QTest::keyClick(shown, key);
        });
    };
    press(Qt::Key_Return);
    EXPECT_EQ(box.show("删除？", "删除确认", Box::Buttons::YesNo, Box::Icon::Question, Box::Answer::No),
              Box::Answer::No)
        << "Return takes the default button";
    press(Qt::Key_Escape);
    EXPECT_EQ(box.show("显示？", "", Box::Buttons::OKCancel, Box::Icon::Question, Box::Answer::OK),
              Box::Answer::Cancel);
    box.setScripted(true);
    EXPECT_FALSE(box.history().back().scripted);
    box.clearHistory();
}

// Station names go into message texts: a name that looks like markup shows
// as written, not as bold text or a picture.
TEST(MessageBoxService, TextsAreShownAsPlainText) {
    Box& box = Box::instance();
    box.setScripted(false);
    const std::string text = "局站“<b>x</b><img src=/etc/passwd>”不存在！";
    QString shownText;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!shown) return;
        if (auto* label = shown->findChild<QLabel*>("qt_msgbox_label")) {
            shownText = label->text();
            format = label->textFormat();
        }
        QTest::keyClick(shown, Qt::Key_Return);
    });
    box.show(text, "提示", Box::Buttons::OK, Box::Icon::Information, Box::Answer::OK);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shownText.toStdString(), text);
    box.setScripted(true);
    box.clearHistory();
}
