// The main window in a frame of its own, as a host shows it: its load and
// close around the network geoset, and which changes of activation it
// follows. Closing and opening again in one pass of the event loop is run
// end to end under the sanitizers (HostReopenTest).
#include "map/DrawingWindow.h" // with the fake host and the network layers
#include "platform/gis/GeosetStore.h"
#include "platform/ui/CheckTreeView.h"
#include "platform/ui/MdiEmbedding.h"
#include "platform/ui/PropertyGrid.h"
#include "resources/frmViewProperty.h"
#include "resources/frmWaiting.h"
#include "services/DemoFolders.h"
#include "shell/frmViewOcableMain.h"
#include "systemtree/frmViewResTree.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace ocable;
namespace fs = std::filesystem;

namespace {

// A host frame with one MDI area, the geosets in the application folder and
// a network of two stations.
struct MainWindowTest : ::testing::Test {
    fake::FakeHost host;
    QMainWindow frame;
    QMdiArea* area = new QMdiArea(&frame);

    void SetUp() override {
        frame.setCentralWidget(area);
        frame.resize(900, 600);
        ui::MdiEmbedding::setHostArea(area);
        test::addTwoStations(host);
    }
    void TearDown() override {
        if (frmViewOcableMain::loaded()) frmViewOcableMain::instance().close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        frmWaiting::unload();
        frmViewResTree::unload();
        frmViewProperty::unload();
        ui::MdiEmbedding::setHostArea(nullptr);
    }

    void writeGeosets(const char* folder = "Map") {
        hostapp::DemoFolders::writeGeosets(host.sysEnv->appDir / folder);
        host.folder.write("app/" + std::string(folder) + "/provinces.geojson",
                          R"({"type": "FeatureCollection", "features": []})");
    }
    fs::path savedGeoset() const { return host.sysEnv->mapDir / vocab::kNetworkGeoset; }
    auto errorsShown(const std::string& text) const {
        return std::ranges::count(host.message->shown, "error:" + text);
    }
    // Opens the view as the entry class does: load, draw, show maximised.
    frmViewOcableMain& open() {
        frmViewOcableMain& view = frmViewOcableMain::instance();
        EXPECT_TRUE(view.drawOcableNetMap(QString::fromUtf8(vocab::kRuleByArea),
                                          QString::fromUtf8(vocab::kScopeAll)));
        if (auto* sub = ui::MdiEmbedding::subWindowOf(&view)) sub->showMaximized();
        view.show();
        QCoreApplication::processEvents();
        return view;
    }
};

} // namespace

TEST_F(MainWindowTest, WithoutTheNetworkGeosetTheUserIsToldAndNothingIsSaved) {
    for (const bool garbled : {false, true}) {
        SCOPED_TRACE(garbled ? "unreadable geoset" : "missing geoset");
        host.message->shown.clear();
        if (garbled)
            host.folder.write("app/Map/" + std::string(vocab::kNetworkGeoset), "\x01\x02 not a geoset");
        frmViewOcableMain& view = frmViewOcableMain::instance();
        EXPECT_EQ(errorsShown("地图数据加载出错！"), 1);
        view.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        gis::GeosetStore::finishSaving();
        EXPECT_FALSE(fs::exists(savedGeoset()));
        host.install(); // the close released the services; the host starts the view anew
    }
}

// Geosets and legend are found in any letter case, and the close saves into
// the environment the view was given even when the host could make no other.
TEST_F(MainWindowTest, GeosetsAndLegendInAnyLetterCaseAndTheCloseSavesWithoutFactories) {
    writeGeosets("MAP");
    const fs::path legend = host.sysEnv->appDir / "icon" / "图例" / "图例-光缆网络分布图.BMP";
    fs::create_directories(legend.parent_path());
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString(legend.string()), "BMP"));
    mPubVar::registerServiceFactories({}); // a host that offers no service classes at all
    frmViewOcableMain& view = open();
    EXPECT_EQ(errorsShown("地图数据加载出错！"), 0);
    EXPECT_EQ(view.map1().Layers().Item(vocab::kLayerTerminal).featureCount() +
                  view.map1().Layers().Item(vocab::kLayerOtherStation).featureCount(),
              2);
    EXPECT_FALSE(view.imgLegend()->pixmap().isNull());
    EXPECT_GT(view.map2().Layers().Count(), 0);
    view.close();
    gis::GeosetStore::finishSaving(); // the map is written on a thread of its own
    EXPECT_TRUE(fs::exists(savedGeoset()));
    EXPECT_TRUE(mPubVar::gobjSysEnv.empty()); // released, not made anew
}

TEST_F(MainWindowTest, ActivationFollowsTheActiveViewNotTheApplicationFocus) {
    writeGeosets();
    frame.show();
    frmViewOcableMain& view = open();
    QMdiSubWindow* mine = ui::MdiEmbedding::subWindowOf(&view);
    ASSERT_NE(mine, nullptr);
    area->setActiveSubWindow(mine);
    QCoreApplication::processEvents();

    // What the operator did in the docked windows while the view was active.
    frmViewProperty::instance().addProperty("局站名称", "甲", "");
    ui::KeyedTree& mirrored = frmViewResTree::instance().TreeRes()->tree();
    ASSERT_TRUE(mirrored.Exists(vocab::kTreeRootKey));
    mirrored.node(vocab::kTreeRootKey).expanded = false;
    auto untouched = [&] {
        return frmViewProperty::instance().SUIProperty()->row("局站名称") != nullptr &&
               frmViewResTree::instance().TreeRes()->tree().Exists(vocab::kTreeRootKey) &&
               !frmViewResTree::instance().TreeRes()->tree().node(vocab::kTreeRootKey).expanded;
    };

    // The whole application loses the focus and gets it back: the frame
    // reports "no active window", then the view again.
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(area, &deactivate);
    emit area->subWindowActivated(nullptr);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(area, &activate);
    emit area->subWindowActivated(mine);
    QCoreApplication::processEvents();
    EXPECT_TRUE(untouched());

    // Another view of the host becomes active: this one lets go of the bands.
    auto* other = area->addSubWindow(new QWidget);
    other->show();
    area->setActiveSubWindow(other);
    QCoreApplication::processEvents();
    EXPECT_EQ(frmViewProperty::instance().SUIProperty()->row("局站名称"), nullptr);
    EXPECT_FALSE(frmViewResTree::instance().systemTabVisible());

    // And back: the tree window shows this view's tree again.
    area->setActiveSubWindow(mine);
    QCoreApplication::processEvents();
    EXPECT_TRUE(frmViewResTree::instance().systemTabVisible());
    EXPECT_TRUE(frmViewResTree::instance().TreeRes()->tree().node(vocab::kTreeRootKey).expanded);
}
