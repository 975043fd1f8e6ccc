#include "platform/ui/MessageBoxService.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using Box = ocable::ui::MessageBoxService;

// Scripted boxes (queued answers in order, the record of what was asked) are
// shown by the host's runs: MapInteractionTest answers a station move No and
// then Yes and reads both boxes back. Here a box a person sees.
TEST(MessageBoxService, AShownBoxIsPlainTextAndAnswersWithTheButtonPressedOrEscapeAsCancel) {
    Box& box = Box::instance();
    box.setScripted(false);
    const std::string text = "局站“<b>x</b><img src=/etc/passwd>”删除？";
    QLabel* label = nullptr;
    const auto press = [&](Qt::Key key) {
        QTimer::singleShot(0, [&, key] {
            auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!shown) return;
            label = shown->findChild<QLabel*>("qt_msgbox_label");
            // Station names go into message texts: markup must show as written.
            if (label) {
                EXPECT_EQ(label->textFormat(), Qt::PlainText);
                EXPECT_EQ(label->text().toStdString(), text);
            }
            QTest::keyClick(shown, key);
        });
    };
    press(Qt::Key_Return);
    EXPECT_EQ(box.show(text, "删除确认", Box::Buttons::YesNo, Box::Icon::Question, Box::Answer::No),
              Box::Answer::No)
        << "Return takes the default button";
    EXPECT_NE(label, nullptr);
    press(Qt::Key_Escape);
    EXPECT_EQ(box.show(text, "", Box::Buttons::OKCancel, Box::Icon::Question, Box::Answer::OK),
              Box::Answer::Cancel);
    box.setScripted(true);
    EXPECT_FALSE(box.history().back().scripted);
    box.clearHistory();
}
