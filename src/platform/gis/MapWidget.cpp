#include "platform/gis/MapWidget.h"

#include "platform/gis/ChineseFonts.h"
#include "platform/gis/KeyCodes.h"
#include "platform/gis/LayerControlDialog.h"
#include "platform/gis/SelectTools.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace ocable::gis {

namespace {

constexpr double kClickSlop = 3; // pixels a click may wander and still be a click
constexpr double kWheelStep = 1.25;

Qt::CursorShape cursorShape(int number) {
    switch (number) {
    case 0:
    case 1:
        return Qt::ArrowCursor;
    case 3:
        return Qt::IBeamCursor;
    case 5:
    case 18:
        return Qt::SizeAllCursor;
    case 11:
        return Qt::BusyCursor;
    case 12:
        return Qt::PointingHandCursor;
    case 13:
        return Qt::ForbiddenCursor;
    case 14:
        return Qt::OpenHandCursor;
    case 15:
        return Qt::ClosedHandCursor;
    case 16:
        return Qt::WhatsThisCursor;
    case 17:
        return Qt::UpArrowCursor;
    default:
        return Qt::CrossCursor;
    }
}

bool isClick(QPointF a, QPointF b) {
    return std::abs(a.x() - b.x()) <= kClickSlop && std::abs(a.y() - b.y()) <= kClickSlop;
}

} // namespace

MapWidget::MapWidget(QWidget* parent) : QWidget(parent), map_(new gis::Map(this)) {
    installChineseFontSubstitutions();
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    map_->setViewSize(size());
    auto redrawLayers = [this] { invalidatePicture(); };
    connect(map_, &Map::layersChanged, this, redrawLayers);
    connect(map_, &Map::featuresAdded, this, redrawLayers);
    connect(map_, &Map::featuresDeleted, this, redrawLayers);
    connect(map_, &Map::featuresUpdated, this,
            [this](const QString&, int, const std::vector<std::uint32_t>& ids) { featuresUpdated(ids); });
    connect(map_, &Map::layerRefreshed, this, redrawLayers);
    connect(map_, &Map::symbolFolderChanged, this, [this] {
        renderer_.symbols().clear();
        invalidatePicture();
    });
    connect(map_, &Map::selectionChanged, this, [this] { update(); });
    connect(map_, &Map::viewChanged, this, [this] {
        invalidatePicture();
        emit MapViewChanged();
    });
    connect(map_, &Map::toolChanged, this, [this] {
        endMove();
        polygon_.clear();
        dragging_ = false;
        updateCursor();
        update();
    });
    updateCursor();
}

MapWidget::~MapWidget() = default;

void MapWidget::setRenderOptions(const RenderOptions& options) {
    options_ = options;
    invalidatePicture();
}

void MapWidget::invalidatePicture() {
    pictureValid_ = false;
    update();
}

const QImage& MapWidget::layerPicture() {
    syncSize();
    if (!pictureValid_ || picture_.size() != map_->viewSize()) {
        picture_ = QImage(map_->viewSize(), QImage::Format_ARGB32_Premultiplied);
        picture_.fill(options_.background);
        {
            QPainter painter(&picture_);
            renderer_.render(*map_, painter, options_, moving_);
        }
        pictureValid_ = true;
        ++renderCount_;
        if (moving()) {
            still_ = picture_;
            movingArea_ = drawMovingFeatures();
        }
    }
    return picture_;
}

void MapWidget::beginMove(const std::vector<Feature>& features) {
    moving_.clear();
    for (const Feature& f : features)
        if (!f.isNull() && f.id() != 0) moving_.push_back(f.id());
    std::sort(moving_.begin(), moving_.end());
    moving_.erase(std::unique(moving_.begin(), moving_.end()), moving_.end());
    still_ = QImage();
    movingArea_ = stepArea_ = QRect();
    invalidatePicture();
}

void MapWidget::endMove() {
    if (!moving()) return;
    moving_.clear();
    still_ = QImage();
    movingArea_ = QRect();
    invalidatePicture();
}

QRect MapWidget::drawMovingFeatures() {
    QPainter painter(&picture_);
    const QRectF drawn = renderer_.renderFeatures(*map_, painter, moving_, options_);
    // The selection highlight, drawn over the picture, reaches a few pixels
    // past a symbol's bitmap or a line's width.
    constexpr int kHighlight = 8;
    if (drawn.isEmpty()) return QRect();
    return drawn.toAlignedRect().adjusted(-kHighlight, -kHighlight, kHighlight, kHighlight) & picture_.rect();
}

void MapWidget::featuresUpdated(const std::vector<std::uint32_t>& ids) {
    const bool onlyMoving = moving() && pictureValid_ && !ids.empty() &&
                            std::all_of(ids.begin(), ids.end(), [this](std::uint32_t id) {
                                return std::binary_search(moving_.begin(), moving_.end(), id);
                            });
    if (!onlyMoving) {
        invalidatePicture();
        return;
    }
    // Put back what lay under the moving features, then draw them where they
    // are now; the screen needs only the two places.
    const QRect before = movingArea_;
    if (!before.isEmpty()) {
        QPainter painter(&picture_);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(before, still_, before);
    }
    movingArea_ = drawMovingFeatures();
    stepArea_ = before | movingArea_;
    if (!stepArea_.isEmpty()) update(stepArea_);
}

bool MapWidget::showLayerControlDialog() {
    LayerControlDialog dialog(*map_, this);
    return dialog.exec() == QDialog::Accepted;
}

void MapWidget::updateCursor() {
    switch (map_->CurrentTool()) {
    case tools::Pan:
        setCursor(dragging_ ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
        return;
    case tools::Select:
        setCursor(Qt::ArrowCursor);
        return;
    case tools::ZoomIn:
    case tools::ZoomOut:
    case tools::RadiusSelect:
    case tools::RectSelect:
    case tools::PolygonSelect:
        setCursor(Qt::CrossCursor);
        return;
    default:
        if (auto custom = map_->customTool(map_->CurrentTool()))
            setCursor(cursorShape(custom->cursor));
        else
            setCursor(Qt::ArrowCursor);
    }
}

// ---- painting ----------------------------------------------------------

void MapWidget::paintEvent(QPaintEvent* event) {
    const QImage& picture = layerPicture();
    QPainter painter(this);
    const bool panning = dragging_ && map_->CurrentTool() == tools::Pan;
    const QPointF offset = panning ? lastAt_ - pressAt_ : QPointF();
    if (panning) {
        painter.fillRect(rect(), options_.background);
        painter.drawImage(offset, picture);
    } else {
        painter.drawImage(event->rect(), picture, event->rect());
    }
    painter.translate(offset);
    renderer_.renderSelection(*map_, painter);
    painter.resetTransform();
    drawRubberBand(painter);
}

void MapWidget::drawRubberBand(QPainter& painter) const {
    const int tool = map_->CurrentTool();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor(0, 90, 255), 1, Qt::DashLine));
    painter.setBrush(QColor(0, 170, 255, 40));
    if (dragging_ && (tool == tools::ZoomIn || tool == tools::RectSelect)) {
        painter.drawRect(QRectF(pressAt_, lastAt_).normalized());
    } else if (dragging_ && tool == tools::RadiusSelect) {
        const double r = std::hypot(lastAt_.x() - pressAt_.x(), lastAt_.y() - pressAt_.y());
        painter.drawEllipse(pressAt_, r, r);
    } else if (tool == tools::PolygonSelect && !polygon_.isEmpty()) {
        QPolygonF open = polygon_;
        open << lastAt_;
        painter.drawPolygon(open);
    }
}

void MapWidget::resizeEvent(QResizeEvent*) {
    syncSize();
}

// ---- tools -------------------------------------------------------------

void MapWidget::press(int button, int shift, QPointF pixel) {
    syncSize();
    buttons_ |= button;
    lastAt_ = pixel;
    if (button == 1) {
        pressAt_ = pixel;
        switch (map_->CurrentTool()) {
        case tools::Select:
            selectAt(*map_, pixel, shift & 1);
            break;
        case tools::Pan:
        case tools::ZoomIn:
        case tools::RadiusSelect:
        case tools::RectSelect:
            dragging_ = true;
            updateCursor();
            break;
        case tools::PolygonSelect:
            polygon_ << pixel;
            update();
            break;
        default:
            break;
        }
    }
    emit MouseDown(button, shift, pixel.x(), pixel.y());
}

void MapWidget::move(int buttons, int shift, QPointF pixel) {
    lastAt_ = pixel;
    if (dragging_ || !polygon_.isEmpty()) update();
    emit MouseMove(buttons, shift, pixel.x(), pixel.y());
}

void MapWidget::release(int button, int shift, QPointF pixel) {
    buttons_ &= ~button;
    lastAt_ = pixel;
    if (button == 1 && dragging_) {
        dragging_ = false;
        const bool click = isClick(pressAt_, pixel);
        const bool add = shift & 1;
        switch (map_->CurrentTool()) {
        case tools::Pan: {
            const double scale = map_->viewport().scale();
            const QPointF d = pixel - pressAt_;
            map_->setCenter(map_->CenterX() - d.x() * scale, map_->CenterY() + d.y() * scale);
            update();
            break;
        }
        case tools::ZoomIn:
            if (click) {
                Viewport v = map_->viewport();
                const Point at = map_->screenToMap(pixel);
                v.setCenter(at.x, at.y);
                v.setScale(v.scale() / 2);
                map_->setViewport(v);
            } else {
                const Point a = map_->screenToMap(pressAt_), b = map_->screenToMap(pixel);
                map_->setBounds(Rectangle(a.x, a.y, b.x, b.y));
            }
            break;
        case tools::RectSelect:
            if (click)
                selectAt(*map_, pixel, add);
            else
                selectInRectangle(*map_, QRectF(pressAt_, pixel), add);
            break;
        case tools::RadiusSelect:
            if (click)
                selectAt(*map_, pixel, add);
            else
                selectInCircle(*map_, pressAt_,
                               std::hypot(pixel.x() - pressAt_.x(), pixel.y() - pressAt_.y()), add);
            break;
        default:
            break;
        }
        updateCursor();
        update();
    } else if (button == 1 && map_->CurrentTool() == tools::ZoomOut) {
        Viewport v = map_->viewport();
        const Point at = map_->screenToMap(pixel);
        v.setCenter(at.x, at.y);
        v.setScale(v.scale() * 2);
        map_->setViewport(v);
    }
    emit MouseUp(button, shift, pixel.x(), pixel.y());
}

void MapWidget::doubleClick(int button, int shift, QPointF pixel) {
    if (button == 1 && map_->CurrentTool() == tools::PolygonSelect) {
        // The double click's own press already added its vertex.
        if (polygon_.size() >= 3) selectInPolygon(*map_, polygon_, shift & 1);
        polygon_.clear();
        update();
        emit MouseDown(button, shift, pixel.x(), pixel.y());
        return;
    }
    press(button, shift, pixel);
}

// ---- Qt events and injection -------------------------------------------

void MapWidget::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    press(buttonsOf(e->button()), shiftStateOf(e->modifiers()), e->position());
}

void MapWidget::mouseMoveEvent(QMouseEvent* e) {
    move(buttonsOf(e->buttons()), shiftStateOf(e->modifiers()), e->position());
}

void MapWidget::mouseReleaseEvent(QMouseEvent* e) {
    release(buttonsOf(e->button()), shiftStateOf(e->modifiers()), e->position());
}

void MapWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    doubleClick(buttonsOf(e->button()), shiftStateOf(e->modifiers()), e->position());
}

void MapWidget::wheelEvent(QWheelEvent* e) {
    const double steps = e->angleDelta().y() / 120.0;
    if (steps != 0) map_->zoomAt(std::pow(kWheelStep, steps), e->position());
    e->accept();
}

void MapWidget::keyPressEvent(QKeyEvent* e) {
    if (const int vk = virtualKeyOf(e->key())) injectKey(vk, shiftStateOf(e->modifiers()));
}

void MapWidget::injectMouse(MouseAction action, int button, int shift, QPointF pixel) {
    switch (action) {
    case MouseAction::Down:
        press(button, shift, pixel);
        break;
    case MouseAction::Move:
        move(button, shift, pixel);
        break;
    case MouseAction::Up:
        release(button, shift, pixel);
        break;
    case MouseAction::DoubleClick:
        doubleClick(button, shift, pixel);
        break;
    }
}

void MapWidget::injectMouseAtMap(MouseAction action, int button, int shift, const Point& at) {
    injectMouse(action, button, shift, map_->mapToScreen(at));
}

void MapWidget::injectKey(int virtualKey, int shift) {
    constexpr int kEscape = 27;
    if (virtualKey == kEscape && (!polygon_.isEmpty() || dragging_)) {
        polygon_.clear();
        dragging_ = false;
        updateCursor();
        update();
    }
    emit KeyDown(virtualKey, shift);
}

void MapWidget::injectWheel(int steps, QPointF pixel) {
    syncSize();
    map_->zoomAt(std::pow(kWheelStep, steps), pixel);
}

} // namespace ocable::gis
