#include "platform/gis/MapRenderer.h"

#include "platform/gis/GeometryOps.h"

#include "platform/gis/ChineseFonts.h"
#include "platform/gis/LabelPlacer.h"
#include "platform/gis/LinePatterns.h"
#include "platform/gis/Map.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_set>

namespace ocable::gis {

namespace {

using Slot = FeatureStore::Slot;

QColor toQColor(Color c, int alpha = 255) {
    return QColor(redOf(c), greenOf(c), blueOf(c), alpha);
}

// Map -> screen at one view, with the arithmetic hoisted out of the loops.
struct Transform {
    double k, ox, oy;
    explicit Transform(const Viewport& v)
        : k(1 / v.scale()), ox(v.size().width() / 2.0 - v.centerX() / v.scale()),
          oy(v.size().height() / 2.0 + v.centerY() / v.scale()) {}
    QPointF operator()(const Point& p) const { return {p.x * k + ox, oy - p.y * k}; }
};

QPen linePen(Color color, int width, int pattern) {
    QPen pen(toQColor(color), std::max(1, width));
    // One-pixel lines go through the painter's cosmetic stroker: several
    // times faster than the general one, antialiased and dashed all the same.
    pen.setCosmetic(width <= 1);
    const auto& dashes = linePattern(pattern).dashes;
    pen.setCapStyle(Qt::FlatCap);
    if (!dashes.empty()) {
        // Our dash lengths are pixels of a width-1 line; the pen counts in widths.
        QList<qreal> list(dashes.begin(), dashes.end());
        pen.setDashPattern(list);
    }
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

Qt::BrushStyle brushOf(int pattern) {
    switch (pattern) {
    case 2:
        return Qt::SolidPattern;
    case 3:
        return Qt::HorPattern;
    case 4:
        return Qt::VerPattern;
    case 5:
        return Qt::FDiagPattern;
    case 6:
        return Qt::BDiagPattern;
    case 7:
        return Qt::CrossPattern;
    case 8:
        return Qt::DiagCrossPattern;
    default:
        return Qt::NoBrush;
    }
}

QPainterPath regionPath(const FeatureStore& store, Slot s, const Transform& t) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (int i = 0; i < store.partCount(s); ++i) {
        auto ring = store.part(s, i);
        QPolygonF polygon;
        polygon.reserve(static_cast<qsizetype>(ring.size()));
        for (const auto& p : ring)
            polygon << t(p);
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    return path;
}

QPolygonF polyline(std::span<const Point> pts, const Transform& t) {
    QPolygonF out;
    out.reserve(static_cast<qsizetype>(pts.size()));
    for (const auto& p : pts)
        out << t(p);
    return out;
}

// A little less than the width the text will take: Chinese characters are
// about a font size wide, Latin letters and digits about half of it.
double guessedWidth(const std::string& text, double pixelSize) {
    double width = 0;
    for (unsigned char c : text) {
        if (c < 0x80)
            width += 0.45 * pixelSize;
        else if (c >= 0xE0) // the first byte of a three- or four-byte character
            width += 0.9 * pixelSize;
    }
    return width;
}

QFont labelFont(const LabelStyle& style) {
    QFont font(QString::fromStdString(style.FontName));
    // Points at 96 dots an inch, the same on every screen and in every picture.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(style.FontSize * 96.0 / 72.0))));
    font.setBold(style.Bold);
    return font;
}

// Where a label goes against its anchor: the text's top-left corner.
QPointF labelOrigin(QPointF anchor, double gap, double width, double height, int position, FeatureType type) {
    if (position == 0) position = type == FeatureType::Symbol ? 4 : 5;
    switch (position) {
    case 1:
        return {anchor.x() - width / 2, anchor.y() - gap - height};
    case 2:
        return {anchor.x() - width / 2, anchor.y() + gap};
    case 3:
        return {anchor.x() - gap - width, anchor.y() - height / 2};
    case 4:
        return {anchor.x() + gap, anchor.y() - height / 2};
    default:
        return {anchor.x() - width / 2, anchor.y() - height / 2};
    }
}

} // namespace

MapRenderer::MapRenderer() = default;
MapRenderer::~MapRenderer() = default;

QImage MapRenderer::renderImage(const Map& map, const RenderOptions& options) {
    QImage image(map.viewSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(options.background);
    QPainter painter(&image);
    render(map, painter, options);
    renderSelection(map, painter);
    return image;
}

void MapRenderer::render(const Map& map, QPainter& painter, const RenderOptions& options,
                         std::span<const std::uint32_t> leaveOut) {
    Filter filter;
    filter.leaveOut = leaveOut;
    drawLayers(map, painter, options, filter);
}

QRectF MapRenderer::renderFeatures(const Map& map, QPainter& painter, std::span<const std::uint32_t> ids,
                                   const RenderOptions& options) {
    QRectF touched;
    Filter filter;
    filter.only = ids;
    filter.onlyListed = true;
    filter.touched = &touched;
    drawLayers(map, painter, options, filter);
    return touched;
}

template <class Visit>
void MapRenderer::forEachDrawn(const FeatureStore& store, const Rectangle& area, const Filter& filter,
                               Visit&& visit) {
    if (filter.onlyListed) {
        for (std::uint32_t id : filter.only) {
            const Slot s = store.find(id);
            if (s != FeatureStore::kNone && isPlaceable(store.bounds(s)) && store.bounds(s).intersects(area))
                visit(s);
        }
        return;
    }
    const auto& out = filter.leaveOut;
    store.forEachIn(area, [&](Slot s) {
        if (!out.empty() && std::binary_search(out.begin(), out.end(), store.id(s))) return;
        visit(s);
    });
}

void MapRenderer::drawLayers(const Map& map, QPainter& painter, const RenderOptions& options,
                             const Filter& filter) {
    stats_ = {};
    symbols_.setFolder(map.symbolFolder());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, options.antialias);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const auto& layers = map.Layers();
    for (int i = layers.Count(); i >= 1; --i)
        if (layers.Item(i).Visible()) drawLayer(map, layers.Item(i), painter, filter);
    if (options.labels) {
        installChineseFontSubstitutions();
        LabelPlacer placer(map.viewSize());
        for (int i = 1; i <= layers.Count(); ++i)
            if (layers.Item(i).Visible() && layers.Item(i).AutoLabel())
                drawLabels(map, layers.Item(i), painter, placer, filter);
    }
    painter.restore();
}

void MapRenderer::drawSymbols(QPainter& painter, const Style& style, const std::vector<QPointF>& points,
                              QRectF* touched) {
    if (const QImage* image = style.SymbolBitmapName.empty()
                                  ? nullptr
                                  : symbols_.symbol(style.SymbolBitmapName, style.SymbolBitmapSize,
                                                    style.SymbolBitmapTransparent)) {
        const QPointF half(image->width() / 2.0, image->height() / 2.0);
        QPoint last(INT32_MIN, INT32_MIN);
        for (const QPointF& p : points) {
            // A crowded national view puts many stations on one pixel: draw it once.
            const QPoint at = (p - half).toPoint();
            if (at == last) continue;
            painter.drawImage(at, *image);
            if (touched) *touched |= QRectF(at, image->size()).adjusted(-1, -1, 1, 1);
            last = at;
        }
        return;
    }
    // No bitmap (or a missing file): a filled circle of the symbol colour,
    // drawn once into a small picture that is then copied like a bitmap.
    const QImage& dot = dotImage(style.SymbolColor, style.SymbolBitmapSize);
    const QPointF half(dot.width() / 2.0, dot.height() / 2.0);
    QPoint last(INT32_MIN, INT32_MIN);
    for (const QPointF& p : points) {
        const QPoint at = (p - half).toPoint();
        if (at == last) continue;
        painter.drawImage(at, dot);
        if (touched) *touched |= QRectF(at, dot.size()).adjusted(-1, -1, 1, 1);
        last = at;
    }
}

const QImage& MapRenderer::dotImage(Color color, int size) {
    auto& image = dots_[{color, size}];
    if (image.isNull()) {
        const double r = std::max(2.0, size / 3.0);
        const int side = static_cast<int>(std::ceil(2 * r + 2));
        image = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(QColor(255, 255, 255), 1));
        p.setBrush(toQColor(color));
        p.drawEllipse(QPointF(side / 2.0, side / 2.0), r, r);
    }
    return image;
}

void MapRenderer::drawSegments(QPainter& painter, const std::vector<QLineF>& lines, const Style& style) {
    const int width = std::max(1, style.LineWidth);
    if (width == 1 || width > kMaxStrandWidth) {
        painter.setPen(linePen(style.LineColor, width, style.LinePattern));
        painter.drawLines(lines.data(), static_cast<int>(lines.size()));
        return;
    }
    // A line of width 2 to 4 is drawn as that many one-pixel strands side by
    // side, a pixel apart: the painter's general stroker costs about ten
    // times as much per line, and a national network has thousands of wide
    // backbone segments. The strands' dashes are those of the wide line.
    QPen pen = linePen(style.LineColor, 1, style.LinePattern);
    if (const auto& dashes = linePattern(style.LinePattern).dashes; !dashes.empty()) {
        QList<qreal> scaled;
        for (double d : dashes)
            scaled << d * width;
        pen.setDashPattern(scaled);
    }
    painter.setPen(pen);
    strands_.resize(lines.size());
    for (int k = 0; k < width; ++k) {
        const double offset = k - (width - 1) / 2.0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const QLineF& l = lines[i];
            const double len = l.length();
            const QPointF n = len > 0 ? QPointF(-l.dy() / len, l.dx() / len) * offset : QPointF();
            strands_[i] = QLineF(l.p1() + n, l.p2() + n);
        }
        painter.drawLines(strands_.data(), static_cast<int>(strands_.size()));
    }
}

void MapRenderer::drawLayer(const Map& map, const Layer& layer, QPainter& painter, const Filter& filter) {
    const FeatureStore& store = layer.store();
    if (store.size() == 0) return;
    const Viewport& view = map.viewport();
    const Transform t(view);
    // Symbols and wide lines reach beyond their coordinates: look a little
    // past the window's edge.
    const Rectangle area = view.bounds().expanded(40 * view.scale(), 40 * view.scale());
    buckets_.resize(std::max(buckets_.size(), store.styles().size()));
    for (auto& b : buckets_) {
        b.lines.clear();
        b.points.clear();
        b.shapes.clear();
    }
    // Past a line's width: the antialiased edge and the pen's rounding.
    auto touch = [&](const QRectF& r, double width) {
        const double pad = std::max(1.0, width) / 2 + 2;
        if (filter.touched) *filter.touched |= r.normalized().adjusted(-pad, -pad, pad, pad);
    };
    std::vector<Slot> regions;
    forEachDrawn(store, area, filter, [&](Slot s) {
        ++stats_.features;
        Bucket& b = buckets_[store.styleIndex(s)];
        switch (store.type(s)) {
        case FeatureType::Symbol:
            b.points.push_back(t(store.allPoints(s)[0]));
            break;
        case FeatureType::Line: {
            auto pts = store.allPoints(s);
            if (store.partCount(s) != 1 || pts.size() != 2) {
                b.shapes.push_back(s);
                break;
            }
            Point a = pts[0], z = pts[1];
            if ((!area.contains(a) || !area.contains(z)) && !clipSegment(a, z, area)) break;
            b.lines.emplace_back(t(a), t(z));
            touch(QRectF(b.lines.back().p1(), b.lines.back().p2()), store.style(s).LineWidth);
            break;
        }
        case FeatureType::Region:
            regions.push_back(s);
            break;
        }
    });

    for (Slot s : regions) {
        const Style& st = store.style(s);
        QPen pen = linePen(st.RegionBorderColor, st.RegionBorderWidth, st.RegionBorderPattern);
        if (st.RegionBorderWidth <= 0) pen = Qt::NoPen;
        painter.setPen(pen);
        const Qt::BrushStyle brush = brushOf(st.RegionPattern);
        painter.setBrush(brush == Qt::NoBrush ? QBrush() : QBrush(toQColor(st.RegionColor), brush));
        const QPainterPath path = regionPath(store, s, t);
        painter.drawPath(path);
        touch(path.boundingRect(), st.RegionBorderWidth);
    }
    painter.setBrush(Qt::NoBrush);
    const auto& styles = store.styles();
    for (std::size_t i = 0; i < styles.size(); ++i) {
        const Bucket& b = buckets_[i];
        if (b.lines.empty() && b.shapes.empty()) continue;
        if (!b.lines.empty()) drawSegments(painter, b.lines, styles[i]);
        painter.setPen(linePen(styles[i].LineColor, styles[i].LineWidth, styles[i].LinePattern));
        for (Slot s : b.shapes)
            for (int p = 0; p < store.partCount(s); ++p) {
                const QPolygonF line = polyline(store.part(s, p), t);
                painter.drawPolyline(line);
                touch(line.boundingRect(), styles[i].LineWidth);
            }
    }
    for (std::size_t i = 0; i < styles.size(); ++i)
        if (!buckets_[i].points.empty()) drawSymbols(painter, styles[i], buckets_[i].points, filter.touched);
}

void MapRenderer::drawLabels(const Map& map, const Layer& layer, QPainter& painter, LabelPlacer& placer,
                             const Filter& filter) {
    const FeatureStore& store = layer.store();
    const LabelStyle& ls = layer.LabelStyle();
    const int column = ls.Column - 1;
    if (store.size() == 0 || column < 0 || column >= static_cast<int>(store.columnCount())) return;
    const Viewport& view = map.viewport();
    const Transform t(view);
    const QFont font = labelFont(ls);
    const double pixelSize = font.pixelSize();
    const QFontMetricsF metrics(font);
    const double height = metrics.height();
    const QColor textColor = toQColor(ls.TextColor);
    const QColor haloColor(255, 255, 255, 220);
    painter.setFont(font);
    std::unordered_set<std::string> shown;

    forEachDrawn(store, view.bounds(), filter, [&](Slot s) {
        const std::string& text = store.value(s, static_cast<std::size_t>(column));
        if (text.empty()) return;
        const FeatureType type = store.type(s);
        QPointF anchor;
        double gap = 2;
        if (type == FeatureType::Symbol) {
            anchor = t(store.allPoints(s)[0]);
            gap = store.style(s).SymbolBitmapSize / 2.0 + 2;
        } else if (type == FeatureType::Line) {
            auto pts = store.part(s, 0);
            const std::size_t mid = pts.size() / 2;
            anchor = pts.size() % 2 == 0 ? (t(pts[mid - 1]) + t(pts[mid])) / 2 : t(pts[mid]);
        } else {
            const Rectangle b = store.bounds(s);
            anchor = t({b.CenterX(), b.CenterY()});
        }
        // Cheap test first: a covered anchor rules the label out before any measuring.
        if (!ls.Overlap && !placer.pointFree(labelOrigin(anchor, gap, 0, 0, ls.Position, type))) return;
        if (!ls.Duplicate && shown.count(text)) return;
        // Second cheap test, on a width guessed from the text: in a crowded
        // view nearly every label fails here, before the font is asked.
        if (!ls.Overlap) {
            const double guess = guessedWidth(text, pixelSize);
            if (!placer.isFree(QRectF(labelOrigin(anchor, gap, guess, height, ls.Position, type),
                                      QSizeF(guess, height))))
                return;
        }
        // Shaped once: measured, then drawn five times for the halo from the same glyphs.
        QTextLayout layout(QString::fromStdString(text), font);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        const double width = line.naturalTextWidth();
        const QPointF origin = labelOrigin(anchor, gap, width, height, ls.Position, type);
        const QRectF box(origin, QSizeF(width, height));
        if (ls.Overlap)
            placer.occupy(box);
        else if (!placer.tryPlace(box.adjusted(-2, -1, 2, 1)))
            return;
        const QList<QGlyphRun> runs = layout.glyphRuns();
        if (ls.Halo) {
            painter.setPen(haloColor);
            for (const QPointF d : {QPointF(-1, -1), QPointF(1, -1), QPointF(-1, 1), QPointF(1, 1)})
                for (const QGlyphRun& run : runs)
                    painter.drawGlyphRun(origin + d, run);
        }
        painter.setPen(textColor);
        for (const QGlyphRun& run : runs)
            painter.drawGlyphRun(origin, run);
        if (!ls.Duplicate) shown.insert(text);
        if (filter.touched) *filter.touched |= box.adjusted(-2, -2, 2, 2); // the halo's pixel and rounding
        ++stats_.labels;
    });
}

void MapRenderer::renderSelection(const Map& map, QPainter& painter) {
    const Viewport& view = map.viewport();
    const Transform t(view);
    const QColor halo(0, 170, 255, 140);
    const QColor core(0, 90, 255);
    const Rectangle area = view.bounds().expanded(40 * view.scale(), 40 * view.scale());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const auto& layers = map.Layers();
    for (int i = layers.Count(); i >= 1; --i) {
        const Layer& layer = layers.Item(i);
        if (!layer.Visible() || layer.Selection().Count() == 0) continue;
        const FeatureStore& store = layer.store();
        for (std::uint32_t id : layer.Selection().ids()) {
            const Slot s = store.find(id);
            // A feature found by its code may have no place on the map;
            // its NaN or infinite pixels must not reach the painter.
            if (s == FeatureStore::kNone || !isPlaceable(store.bounds(s))) continue;
            const Style& st = store.style(s);
            switch (store.type(s)) {
            case FeatureType::Symbol: {
                const QPointF p = t(store.allPoints(s)[0]);
                const double half = std::max(5, st.SymbolBitmapSize / 2 + 3);
                painter.setPen(QPen(core, 2));
                painter.setBrush(QColor(0, 170, 255, 60));
                painter.drawRect(QRectF(p.x() - half, p.y() - half, 2 * half, 2 * half));
                break;
            }
            case FeatureType::Line:
                for (int p = 0; p < store.partCount(s); ++p) {
                    QPolygonF line;
                    auto pts = store.part(s, p);
                    if (pts.size() == 2) {
                        // Cut to the window like the drawn line, for the same reason.
                        Point a = pts[0], z = pts[1];
                        if (!clipSegment(a, z, area)) continue;
                        line << t(a) << t(z);
                    } else {
                        line = polyline(pts, t);
                    }
                    painter.setPen(QPen(halo, st.LineWidth + 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                    painter.drawPolyline(line);
                    painter.setPen(QPen(core, std::max(2, st.LineWidth), Qt::SolidLine, Qt::RoundCap));
                    painter.drawPolyline(line);
                }
                break;
            case FeatureType::Region:
                painter.setPen(QPen(core, 3));
                painter.setBrush(QColor(0, 170, 255, 50));
                painter.drawPath(regionPath(store, s, t));
                break;
            }
        }
    }
    painter.restore();
}

} // namespace ocable::gis
