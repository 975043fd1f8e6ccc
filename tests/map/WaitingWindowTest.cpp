#include "resources/frmWaiting.h"
#include "support/FakeHost.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <gtest/gtest.h>

using namespace ocable;

// The text shows only when the picture is missing, and the window stays
// above the application's window only.
TEST(WaitingWindowTest, ShowsTheTextOnlyWithoutPictureAndStaysAboveTheApplicationOnly) {
    fake::FakeHost host;
    frmWaiting::unload();
    {
        frmWaiting& w = frmWaiting::instance();
        EXPECT_FALSE(w.Label1()->isHidden());
        EXPECT_EQ(w.Label1()->text(), "请稍候...");
        frmWaiting::unload();
        EXPECT_FALSE(frmWaiting::loaded());
    }
    // The host's folder says "Icon"; the window asks for "icon".
    std::filesystem::create_directories(host.sysEnv->appDir / "Icon");
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(
        picture.save(QString::fromStdString((host.sysEnv->appDir / "Icon" / "waiting.bmp").string()), "BMP"));
    QWidget frame;
    frame.show();
    frame.activateWindow();
    QApplication::setActiveWindow(&frame);
    frmWaiting& w = frmWaiting::instance();
    EXPECT_TRUE(w.Label1()->isHidden());
    EXPECT_FALSE(w.picture()->pixmap().isNull());
    w.showAndPaint();
    EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(w.windowType(), Qt::Tool);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.parentWidget(), &frame); // owned, so above the frame and below other programs
    frmWaiting::unload();
}
