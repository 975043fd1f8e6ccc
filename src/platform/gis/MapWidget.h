#pragma once

#include "platform/gis/Map.h"
#include "platform/gis/MapRenderer.h"

#include <QImage>
#include <QPolygonF>
#include <QWidget>

#include <cstdint>
#include <vector>

class QPainter;

namespace ocable::gis {

// The map on screen: draws its Map (which it owns) and runs the map tools.
//
// Tools (Map::setCurrentTool): 1001 pan by dragging; 1003 zoom in, a click
// halving the width around the clicked point, a dragged box fitting the
// box; 1004 zoom out, a click doubling the width; 1007 select the feature
// nearest the click (within 4 pixels of its drawn shape), Shift adding;
// 1008, 1009, 1010 select what lies entirely within a dragged circle, a
// dragged rectangle, or a polygon clicked point by point and closed with a
// double click (Escape drops it); custom point tools do nothing themselves.
// The wheel zooms around the cursor with any tool.
//
// After the tool has done its work the owner hears of it: MouseDown,
// MouseMove and MouseUp (button 1 left, 2 right, 4 middle; shift 1 Shift,
// 2 Ctrl, 4 Alt; x, y in pixels), KeyDown (a Windows virtual-key code and
// the shift state) and MapViewChanged. So a selection made by a click
// already exists when MouseDown and MouseUp arrive.
//
// The picture of the layers is kept: dragging with the pan tool moves the
// kept picture and the layers are drawn again once, on release; a change of
// the selection only redraws the highlight. While the owner drags features
// (beginMove) the layers are drawn once without them; an update of those
// features alone then repaints only where they were and where they are.
//
// Cursor numbers of custom tools: 0 and 1 arrow, 2 cross, 3 I-beam, 5 and
// 18 four-way move, 11 busy, 12 pointing hand, 13 forbidden, 14 open hand,
// 15 closed hand, 16 what's-this, 17 up arrow; others a cross.
class MapWidget : public QWidget {
    Q_OBJECT
public:
    enum class MouseAction { Down, Move, Up, DoubleClick };

    explicit MapWidget(QWidget* parent = nullptr);
    ~MapWidget() override;

    // The map's window size follows the widget's, also before it is shown.
    gis::Map& map() {
        syncSize();
        return *map_;
    }
    const gis::Map& map() const { return *map_; }
    MapRenderer& renderer() { return renderer_; }
    void setRenderOptions(const RenderOptions& options);

    // The map's layer control dialog: visibility, automatic labels, order.
    // Returns true when the user applied changes.
    bool showLayerControlDialog();

    // Events as if they came from the mouse or the keyboard, for automation
    // and tests; they run the current tool and reach the owner like real ones.
    void injectMouse(MouseAction action, int button, int shift, QPointF pixel);
    void injectMouseAtMap(MouseAction action, int button, int shift, const Point& at);
    void injectKey(int virtualKey, int shift);
    void injectWheel(int steps, QPointF pixel); // steps > 0 zoom in

    // The owner is about to move these features with the mouse. Until
    // endMove, or until the current tool changes, every other feature stays
    // in a kept picture, and an update of the moving features alone draws
    // just them over it. The end draws the layers again as a whole, so that
    // the moved features take their places among the others.
    void beginMove(const std::vector<Feature>& features);
    void endMove();
    bool moving() const { return !moving_.empty(); }
    // The rectangle the last move step repainted (empty before any).
    QRect moveStepArea() const { return stepArea_; }

    // How many times the layers were drawn; a pan drag does not draw them,
    // nor does a step of a move.
    int renderCount() const { return renderCount_; }
    // The kept picture of the layers (without selection), drawn when needed.
    const QImage& layerPicture();

signals:
    void MouseDown(int button, int shift, double x, double y);
    void MouseMove(int button, int shift, double x, double y);
    void MouseUp(int button, int shift, double x, double y);
    void KeyDown(int keyCode, int shift);
    void MapViewChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void syncSize() { map_->setViewSize(size()); }
    void press(int button, int shift, QPointF pixel);
    void move(int buttons, int shift, QPointF pixel);
    void release(int button, int shift, QPointF pixel);
    void doubleClick(int button, int shift, QPointF pixel);
    void invalidatePicture();
    void featuresUpdated(const std::vector<std::uint32_t>& ids);
    QRect drawMovingFeatures();
    void updateCursor();
    void drawRubberBand(QPainter& painter) const;

    gis::Map* map_;
    MapRenderer renderer_;
    RenderOptions options_;
    QImage picture_;
    bool pictureValid_ = false;
    int renderCount_ = 0;

    std::vector<std::uint32_t> moving_; // ids of the features being moved, in increasing order
    QImage still_;                      // the layers without them
    QRect movingArea_;                  // where they are drawn on picture_
    QRect stepArea_;

    int buttons_ = 0;       // buttons held down
    bool dragging_ = false; // a tool drag in progress (pan, box, circle)
    QPointF pressAt_;
    QPointF lastAt_;
    QPolygonF polygon_; // tool 1010 vertices so far
};

} // namespace ocable::gis
