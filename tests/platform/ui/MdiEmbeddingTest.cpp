#include "platform/ui/MdiEmbedding.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <gtest/gtest.h>

#include <memory>

using ocable::ui::MdiEmbedding;

TEST(MdiEmbedding, ModeTwoMakesASubWindowOfTheHostAreaThatGoesWithItsView) {
    QWidget loose;
    EXPECT_EQ(MdiEmbedding::embed(&loose, 2), nullptr) << "no host area yet";
    auto area = std::make_unique<QMdiArea>();
    area->show();
    MdiEmbedding::setHostArea(area.get());
    for (int mode : {0, 1, 3})
        EXPECT_EQ(MdiEmbedding::embed(&loose, mode), nullptr);
    EXPECT_TRUE(loose.isWindow());

    auto* view = new QWidget;
    view->setWindowTitle("光缆网络分布图");
    auto* child = new QWidget(view);
    QPointer<QMdiSubWindow> sub = MdiEmbedding::embed(view, 2);
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->widget(), view);
    EXPECT_EQ(sub->windowTitle(), "光缆网络分布图");
    EXPECT_EQ(MdiEmbedding::subWindowOf(child), sub);
    EXPECT_EQ(MdiEmbedding::embed(view, 2), sub);
    EXPECT_EQ(area->subWindowList().size(), 1);

    // The view deletes itself after an accepted close; no empty frame stays behind.
    delete view;
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(sub);
    EXPECT_TRUE(area->subWindowList().isEmpty());
    // A frame the host deletes takes its view along and leaves nothing to tidy.
    QPointer<QWidget> second = new QWidget;
    delete MdiEmbedding::embed(second, 2);
    EXPECT_FALSE(second);
    QApplication::processEvents();

    area.reset();
    EXPECT_EQ(MdiEmbedding::hostArea(), nullptr);
}
