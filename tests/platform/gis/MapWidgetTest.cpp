#include "GisTestData.h"

#include "platform/gis/LayerControlDialog.h"
#include "platform/gis/MapWidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace ocable::gis;
using Action = MapWidget::MouseAction;
using gistest::selectedCodes;

namespace {

// Whether the screen shows what a full drawing of the map gives: the
// partial repaints as they landed, not the widget painted anew.
bool screenShowsFullDrawing(MapWidget& widget) {
    QApplication::processEvents();
    const QImage screen = widget.screen()->grabWindow(widget.winId()).toImage();
    return screen.convertToFormat(QImage::Format_RGB32) ==
           MapRenderer().renderImage(widget.map()).convertToFormat(QImage::Format_RGB32);
}

// An 800 x 600 map widget showing 99..103 E, 29..32 N (0.005 degree a
// pixel) with the station layer on top of the cable layer:
//   S1 (100,30) --C1-- S2 (101,30) --C2-- S3 (102,31)
class MapWidgetTest : public testing::Test {
protected:
    void SetUp() override {
        widget.resize(800, 600);
        widget.show();
        QApplication::processEvents(); // exposed: repaint() paints from now on
        gistest::stationLayer(map());
        gistest::cableLayer(map(), 2);
        map().setBounds({99, 29, 103, 32});
    }
    Map& map() { return widget.map(); }
    Layer& stations() { return map().Layers().Item("站点"); }
    Layer& cables() { return map().Layers().Item("线路"); }
    QPointF at(double x, double y) { return map().mapToScreen({x, y}); }
    void click(QPointF p, int shift = 0) {
        widget.injectMouse(Action::Down, 1, shift, p);
        widget.injectMouse(Action::Up, 1, shift, p);
    }
    void drag(QPointF from, QPointF to, int shift = 0) {
        widget.injectMouse(Action::Down, 1, shift, from);
        widget.injectMouse(Action::Move, 1, shift, (from + to) / 2);
        widget.injectMouse(Action::Move, 1, shift, to);
        widget.injectMouse(Action::Up, 1, shift, to);
    }

    MapWidget widget;
    using Codes = std::vector<std::string>;
};

} // namespace

TEST_F(MapWidgetTest, ClickSelectsTheSymbolUnderItAlone) {
    map().setCurrentTool(tools::Select);
    // S2 sits on the ends of C1 and C2: the symbol, in the upper layer, wins.
    click(at(101, 30) + QPointF(3, -2));
    EXPECT_EQ(selectedCodes(stations()), Codes{"S2"});
    EXPECT_EQ(selectedCodes(cables()), Codes{});
    // Halfway along C1 only the cable is near.
    click(at(100.5, 30) + QPointF(0, 3));
    EXPECT_EQ(selectedCodes(stations()), Codes{});
    EXPECT_EQ(selectedCodes(cables()), Codes{"C1"});
    // Shift adds; a click on nothing clears everything.
    click(at(102, 31), 1);
    EXPECT_EQ(selectedCodes(stations()), Codes{"S3"});
    EXPECT_EQ(selectedCodes(cables()), Codes{"C1"});
    click(at(99.5, 31.5));
    EXPECT_EQ(stations().Selection().Count() + cables().Selection().Count(), 0);
    // A layer that cannot be selected is passed over.
    stations().setSelectable(false);
    click(at(101, 30));
    EXPECT_EQ(selectedCodes(stations()), Codes{});
    EXPECT_EQ(cables().Selection().Count(), 1);
}

// The owner's handlers read the selection the click made, at the press;
// under a custom point tool the mouse is the owner's alone: nothing is
// selected or zoomed.
TEST_F(MapWidgetTest, OwnerHearsOfTheMouseAfterTheSelectionExists) {
    std::vector<std::string> heard;
    auto hear = [&](const std::string& what) {
        return [&, what](int b, int s, double x, double y) {
            heard.push_back(what + " " + std::to_string(b) + " " + std::to_string(s) + " " +
                            std::to_string(int(x)) + "," + std::to_string(int(y)) + " selected " +
                            std::to_string(stations().Selection().Count()));
        };
    };
    QObject::connect(&widget, &MapWidget::MouseDown, hear("down"));
    QObject::connect(&widget, &MapWidget::MouseUp, hear("up"));
    QObject::connect(&widget, &MapWidget::MouseMove, hear("move"));
    click(at(100, 30), 2);
    widget.injectMouse(Action::Move, 0, 0, {10, 10});
    EXPECT_EQ(heard, (Codes{"down 1 2 200,400 selected 1", "up 1 2 200,400 selected 1",
                            "move 0 0 10,10 selected 1"}));

    stations().Selection().ClearSelection();
    map().CreateCustomTool(10, ToolType::Point, 18);
    map().setCurrentTool(10);
    EXPECT_EQ(widget.cursor().shape(), Qt::SizeAllCursor);
    const double zoom = map().Zoom();
    heard.clear();
    drag(at(101, 30), at(101, 31));
    EXPECT_EQ(heard, (Codes{"down 1 0 400,400 selected 0", "move 1 0 400,300 selected 0",
                            "move 1 0 400,200 selected 0", "up 1 0 400,200 selected 0"}));
    EXPECT_EQ(map().Zoom(), zoom);
}

TEST_F(MapWidgetTest, AreaToolsSelectWhatTheyCover) {
    map().setCurrentTool(tools::RectSelect);
    // From above-left of S1 to below-right of S2: S1, S2 and C1 lie inside.
    drag(at(99.9, 30.2), at(101.1, 29.8));
    EXPECT_EQ(selectedCodes(stations()), (Codes{"S1", "S2"}));
    EXPECT_EQ(selectedCodes(cables()), Codes{"C1"});
    drag(at(101.9, 31.1), at(102.1, 30.9), 1); // Shift adds S3
    EXPECT_EQ(selectedCodes(stations()), (Codes{"S1", "S2", "S3"}));

    map().setCurrentTool(tools::RadiusSelect);
    drag(at(102, 31), at(102, 31) + QPointF(30, 0)); // 0.15 degree round S3
    EXPECT_EQ(selectedCodes(stations()), Codes{"S3"});
    EXPECT_EQ(selectedCodes(cables()), Codes{});

    map().setCurrentTool(tools::PolygonSelect);
    for (auto p : {at(99.8, 29.8), at(101.3, 29.8), at(101.3, 30.3), at(99.8, 30.3)})
        click(p);
    // As the mouse sends it: the last click's press, then the double click there.
    widget.injectMouse(Action::DoubleClick, 1, 0, at(99.8, 30.3));
    EXPECT_EQ(selectedCodes(stations()), (Codes{"S1", "S2"}));
    EXPECT_EQ(selectedCodes(cables()), Codes{"C1"});
}

TEST_F(MapWidgetTest, PanningMovesTheKeptPictureAndDrawsOnceOnRelease) {
    map().setCurrentTool(tools::Pan);
    widget.layerPicture();
    const int before = widget.renderCount();
    int viewChanges = 0;
    QObject::connect(&widget, &MapWidget::MapViewChanged, [&] { ++viewChanges; });
    const QImage still = widget.grab().toImage();
    widget.injectMouse(Action::Down, 1, 0, {400, 300});
    for (int x = 410; x <= 500; x += 10) {
        widget.injectMouse(Action::Move, 1, 0, {double(x), 300});
        widget.repaint();
    }
    EXPECT_EQ(widget.renderCount(), before);
    // The kept picture follows the mouse: S2's symbol, drawn at (400, 400), is now 100 pixels right.
    const QImage moved = widget.grab().toImage();
    EXPECT_EQ(moved.pixel(500, 400), still.pixel(400, 400));
    EXPECT_NE(moved.pixel(500, 400), qRgb(255, 255, 255));
    EXPECT_EQ(viewChanges, 0);
    widget.injectMouse(Action::Up, 1, 0, {500, 320});
    widget.repaint();
    EXPECT_EQ(widget.renderCount(), before + 1);
    EXPECT_EQ(viewChanges, 1);
    EXPECT_NEAR(map().CenterX(), 101 - 100 * 0.005, 1e-9); // dragged right: the map moved east
    EXPECT_NEAR(map().CenterY(), 30.5 + 20 * 0.005, 1e-9);
}

TEST_F(MapWidgetTest, ZoomToolsAndTheWheel) {
    map().setCurrentTool(tools::ZoomIn);
    click(at(100, 30));
    EXPECT_NEAR(map().CenterX(), 100, 1e-9);
    EXPECT_NEAR(map().Zoom(), 2, 1e-9);
    drag(at(99.9, 30.1), at(100.3, 29.9)); // a box 0.4 wide
    EXPECT_NEAR(map().Zoom(), 0.4, 1e-9);
    EXPECT_NEAR(map().CenterX(), 100.1, 1e-9);
    map().setCurrentTool(tools::ZoomOut);
    click(at(100, 30));
    EXPECT_NEAR(map().Zoom(), 0.8, 1e-9);
    const QPointF cursor(600, 100);
    const Point under = map().screenToMap(cursor);
    widget.injectWheel(2, cursor);
    EXPECT_NEAR(map().Zoom(), 0.8 / 1.5625, 1e-9);
    // The map point under the cursor stays there.
    EXPECT_NEAR(map().screenToMap(cursor).x, under.x, 1e-9);
    EXPECT_NEAR(map().screenToMap(cursor).y, under.y, 1e-9);
}

TEST_F(MapWidgetTest, BatchedEditsAreDrawnOnce) {
    widget.layerPicture();
    const int before = widget.renderCount();
    stations().BeginAccess(AccessMode::ReadWrite);
    for (int i = 0; i < 100; ++i) {
        stations().AddFeature(FeatureFactory::CreateSymbol({100 + i * 0.01, 31}, Style()));
        QApplication::processEvents(); // a caller letting its waiting window paint
        widget.repaint();
    }
    EXPECT_EQ(widget.renderCount(), before);
    stations().EndAccess();
    widget.repaint();
    EXPECT_EQ(widget.renderCount(), before + 1);
    // A selection change only redraws the highlight.
    stations().Selection().Add(stations().AllFeatures());
    widget.repaint();
    EXPECT_EQ(widget.renderCount(), before + 1);
}

TEST_F(MapWidgetTest, KeysArriveAsVirtualKeyCodesWithTheShiftState) {
    std::vector<std::pair<int, int>> keys;
    QObject::connect(&widget, &MapWidget::KeyDown,
                     [&](int key, int shift) { keys.emplace_back(key, shift); });
    for (auto [key, modifiers] : std::initializer_list<std::pair<int, Qt::KeyboardModifiers>>{
             {Qt::Key_F3, Qt::NoModifier},
             {Qt::Key_F, Qt::ControlModifier},
             {Qt::Key_W, Qt::ShiftModifier},
             {Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier},
             {Qt::Key_Left, Qt::AltModifier}}) {
        QKeyEvent e(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(&widget, &e);
    }
    EXPECT_EQ(keys, (std::vector<std::pair<int, int>>{{114, 0}, {70, 2}, {87, 1}, {70, 3}, {37, 4}}));
}

TEST_F(MapWidgetTest, LayerControlDialogAppliesOnlyOnOk) {
    {
        LayerControlDialog dialog(map());
        dialog.table()->item(0, LayerControlDialog::VisibleColumn)->setCheckState(Qt::Unchecked);
        dialog.reject();
    }
    EXPECT_TRUE(stations().Visible());
    LayerControlDialog dialog(map());
    dialog.table()->item(0, LayerControlDialog::VisibleColumn)->setCheckState(Qt::Unchecked);
    dialog.table()->item(1, LayerControlDialog::LabelColumn)->setCheckState(Qt::Checked);
    dialog.table()->setCurrentCell(0, 0);
    dialog.moveCurrent(+1);
    dialog.accept();
    EXPECT_EQ(map().Layers().Item(1).Name(), "线路");
    EXPECT_FALSE(stations().Visible());
    EXPECT_TRUE(cables().AutoLabel());
}

// With labels on, S3, selected, is dragged up and left in five steps as the
// station mover drags it, away from everything else, so that a full drawing
// puts nothing over it and the pictures must agree pixel for pixel.
TEST_F(MapWidgetTest, DragStepsRepaintOnlyTheMovedStationAndLeaveNoTrace) {
    stations().setAutoLabel(true);
    Feature s3 = stations().Search("StationCode = \"S3\"").Item(1);
    stations().Selection().Add(s3);

    widget.beginMove({s3});
    QApplication::processEvents(); // the layers drawn once, without S3
    const int renders = widget.renderCount();
    for (int step = 1; step <= 5; ++step) {
        const QPointF before = map().mapToScreen(s3.Point());
        s3.setPoint({102 - 0.1 * step, 31 + 0.05 * step});
        s3.Update();
        const QRect area = widget.moveStepArea();
        EXPECT_TRUE(area.contains(before.toPoint()) &&
                    area.contains(map().mapToScreen(s3.Point()).toPoint()));
        // The symbol, its label and its highlight, where it was and where it is.
        EXPECT_LT(area.width() * area.height(), 120 * 60) << "step " << step;
    }
    EXPECT_EQ(widget.renderCount(), renders);
    EXPECT_TRUE(screenShowsFullDrawing(widget));

    // The drop: the layers drawn again as a whole, the station among the others.
    map().setCurrentTool(tools::Pan);
    EXPECT_FALSE(widget.moving());
    EXPECT_TRUE(screenShowsFullDrawing(widget));
    EXPECT_EQ(widget.renderCount(), renders + 1);
    // Another feature's update in the same layer is no move step: all is drawn again.
    widget.beginMove({s3});
    QApplication::processEvents();
    Feature s1 = stations().Search("StationCode = \"S1\"").Item(1);
    s1.Offset(0.2, 0);
    s1.Update();
    EXPECT_TRUE(screenShowsFullDrawing(widget));
    EXPECT_EQ(widget.renderCount(), renders + 3);
}
