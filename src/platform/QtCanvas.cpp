#include "platform/QtCanvas.h"

#include "platform/CanvasPatterns.h"
#include "platform/FontSubstitution.h"
#include "platform/PixelLine.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <numbers>

namespace {

// Device coordinates beyond this are clamped before they become integers.
constexpr double kCoordinateLimit = 1 << 30;
// Character height of a font whose height is left at 0.
constexpr int kDefaultCharacterHeight = 12;
constexpr int kMaxPixelSize = 32767;

QPoint RoundToPixel(const QPointF& p) {
    if (!std::isfinite(p.x()) || !std::isfinite(p.y())) return {};
    const double x = std::clamp(std::nearbyint(p.x()), -kCoordinateLimit, kCoordinateLimit);
    const double y = std::clamp(std::nearbyint(p.y()), -kCoordinateLimit, kCoordinateLimit);
    return {static_cast<int>(x), static_cast<int>(y)};
}

// Cuts the segment a-b down to the part inside the box (Liang-Barsky);
// false when nothing of it is inside.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& box) {
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double t0 = 0, t1 = 1;
    const std::array<std::pair<double, double>, 4> sides{{{-dx, a.x() - box.left()},
                                                          {dx, box.right() - a.x()},
                                                          {-dy, a.y() - box.top()},
                                                          {dy, box.bottom() - a.y()}}};
    for (const auto& [p, q] : sides) {
        if (p == 0) {
            if (q < 0) return false;
            continue;
        }
        const double t = q / p;
        if (p < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const QPointF start = a;
    a = start + QPointF(dx, dy) * t0;
    b = start + QPointF(dx, dy) * t1;
    return true;
}

std::int64_t PixelSteps(const QPointF& a, const QPointF& b) {
    const double steps = std::max(std::abs(b.x() - a.x()), std::abs(b.y() - a.y()));
    return static_cast<std::int64_t>(std::min(std::nearbyint(steps), 1e15));
}

// Traces the segments of a device polyline. Segments reaching far beyond the
// visible area are cut to a guard box around it first, so their pixel
// coordinates stay small and their direction stays true; the dash rhythm
// still counts the pixels cut away.
void TracePolyline(TPixelLineTracer& tracer, const QPolygonF& polygon, const QRect& visible) {
    constexpr int kGuard = 1 << 12;
    const QRectF guard = QRectF(visible).adjusted(-kGuard, -kGuard, kGuard, kGuard);
    for (qsizetype i = 1; i < polygon.size(); ++i) {
        QPointF a = polygon[i - 1];
        QPointF b = polygon[i];
        if (guard.contains(a) && guard.contains(b)) {
            tracer.AddSegment(RoundToPixel(a), RoundToPixel(b));
            continue;
        }
        const QPointF from = a;
        const QPointF to = b;
        if (!ClipSegment(a, b, guard)) {
            tracer.Skip(PixelSteps(from, to));
            continue;
        }
        tracer.Skip(PixelSteps(from, a));
        tracer.AddSegment(RoundToPixel(a), RoundToPixel(b));
        tracer.Skip(PixelSteps(b, to));
    }
}

void DrawPixels(QPainter& painter, const QList<QPoint>& pixels, const QColor& color) {
    if (pixels.isEmpty()) return;
    painter.setPen(QPen(color, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPoints(pixels.constData(), static_cast<int>(pixels.size()));
}

void NormaliseBox(int& left, int& top, int& right, int& bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
}

// Angle in degrees, counter-clockwise on screen, of the point where the ray
// from the centre of the box through p meets the ellipse inscribed in the
// box, expressed as the ellipse's parameter (the angle QPainterPath::arcTo
// takes).
double ArcParameter(const QRectF& box, const QPointF& p) {
    const QPointF c = box.center();
    const double dx = p.x() - c.x();
    const double dy = c.y() - p.y();
    const double rx = box.width() / 2;
    const double ry = box.height() / 2;
    if (dx == 0 && dy == 0) return 0;
    const double t = (rx > 0 && ry > 0) ? std::atan2(dy * rx, dx * ry) : std::atan2(dy, dx);
    return t * 180.0 / std::numbers::pi;
}

QPainterPath PathFromPoints(std::span<const QPoint> points, bool close) {
    QPainterPath path;
    if (points.empty()) return path;
    path.moveTo(points.front());
    for (std::size_t i = 1; i < points.size(); ++i) path.lineTo(points[i]);
    if (close) path.closeSubpath();
    return path;
}

} // namespace

TQtCanvas::TQtCanvas(QPaintDevice* device) {
    if (device) FOwnPainter = std::make_unique<QPainter>(device);
    else FOwnPainter = std::make_unique<QPainter>();
    FPainter = FOwnPainter.get();
    Begin();
}

TQtCanvas::TQtCanvas(QPainter* painter) : FPainter(painter) { Begin(); }

void TQtCanvas::Begin() {
    FActive = FPainter && FPainter->isActive();
    if (!FActive) return;
    FPainter->save();
    FPainter->setRenderHint(QPainter::Antialiasing, false);
    FPainter->setRenderHint(QPainter::TextAntialiasing, false);
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    FBase = FPainter->worldTransform();
    const QPaintEngine* engine = FPainter->paintEngine();
    FRaster = engine && engine->type() == QPaintEngine::Raster;
}

TQtCanvas::~TQtCanvas() {
    if (!FActive) return;
    for (std::size_t i = 0; i < FSaved.size(); ++i) FPainter->restore();
    FPainter->restore();
    if (FOwnPainter) FOwnPainter->end();
}

// ---------------------------------------------------------------------------
// State helpers

QTransform TQtCanvas::World() const {
    const TXForm& x = FState.World;
    return {x.M11, x.M12, x.M21, x.M22, x.Dx, x.Dy};
}

// The device pixels that drawing can reach: the device less the clip.
QRect TQtCanvas::VisibleArea() const {
    const QPaintDevice* device = FPainter->device();
    const QRect deviceRect(0, 0, device->width(), device->height());
    QRect area = FBase.isIdentity() ? deviceRect : FBase.inverted().mapRect(QRectF(deviceRect)).toAlignedRect();
    if (FPainter->hasClipping()) {
        FPainter->setTransform(FBase);
        area &= FPainter->clipBoundingRect().toAlignedRect();
    }
    return area;
}

bool TQtCanvas::PenVisible() const { return FState.Pen.Style != TPenStyle::psClear; }

bool TQtCanvas::CosmeticPen() const { return FState.Pen.Width <= 1; }

double TQtCanvas::PenMargin() const {
    if (CosmeticPen()) return 2;
    const double scale = std::sqrt(std::abs(World().determinant()));
    return FState.Pen.Width * scale + 2;
}

QBrush TQtCanvas::MakeBrush(const TBrushSpec& brush) const {
    switch (brush.Style) {
    case TBrushStyle::bsSolid: return QBrush(ColorToQColor(brush.Color));
    case TBrushStyle::bsClear: return QBrush(Qt::NoBrush);
    default: break;
    }
    std::optional<QColor> background;
    if (!FState.BackgroundTransparent) background = ColorToQColor(FState.BackgroundColor);
    return QBrush(HatchTile(brush.Style, ColorToQColor(brush.Color), background));
}

// Copy mode draws straight onto the device. The XOR modes draw the call into
// a transparent layer first and then combine the layer with the device, so
// that each pixel is combined once however often the pen and the brush
// cover it; transparent layer pixels leave the device untouched.
void TQtCanvas::Paint(const QRectF& bounds, const TDrawFn& draw, bool eachPixelOnce) {
    if (FState.Mode == TPenMode::pmCopy) {
        FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        draw(*FPainter, FBase);
        return;
    }
    if (eachPixelOnce) {
        // Straight one-pixel lines set each pixel once by themselves.
        FPainter->setCompositionMode(FState.Mode == TPenMode::pmXor ? QPainter::RasterOp_SourceXorDestination
                                                                     : QPainter::RasterOp_NotSourceXorDestination);
        draw(*FPainter, FBase);
        FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    const QRect area = bounds.toAlignedRect().adjusted(-2, -2, 2, 2) & VisibleArea();
    if (area.isEmpty()) return;
    QImage layer(area.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter layerPainter(&layer);
        layerPainter.setRenderHint(QPainter::Antialiasing, false);
        layerPainter.setRenderHint(QPainter::TextAntialiasing, false);
        layerPainter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        draw(layerPainter, QTransform::fromTranslate(-area.left(), -area.top()));
    }
    if (FState.Mode == TPenMode::pmNotXor) {
        // not (ink xor device) = (not ink) xor device
        for (int y = 0; y < layer.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(layer.scanLine(y));
            for (int x = 0; x < layer.width(); ++x)
                if (qAlpha(line[x]) != 0) line[x] ^= 0x00FFFFFFu;
        }
    }
    FPainter->setTransform(FBase);
    FPainter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    FPainter->drawImage(area.topLeft(), layer);
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// Whether stroking the path alone sets each pixel once, so that the XOR
// modes can draw straight onto the device: a solid one-pixel pen traced
// along straight segments (crossings are combined twice, as in GDI).
bool TQtCanvas::StrokeSetsEachPixelOnce(const QPainterPath& path) const {
    if (!FRaster || !CosmeticPen() || !CosmeticDashPattern(FState.Pen.Style).empty()) return false;
    for (int i = 0; i < path.elementCount(); ++i)
        if (path.elementAt(i).isCurveTo()) return false;
    return true;
}

void TQtCanvas::FillDevicePath(QPainter& painter, const QTransform& toTarget, const QPainterPath& path,
                               const TBrushSpec& brush) const {
    if (brush.Style == TBrushStyle::bsClear) return;
    painter.setTransform(toTarget);
    painter.fillPath(path, MakeBrush(brush));
}

void TQtCanvas::StrokeDevicePath(QPainter& painter, const QTransform& toTarget, const QPainterPath& path,
                                 const QRect& visible) const {
    const TPenSpec& pen = FState.Pen;
    const QColor color = ColorToQColor(pen.Color);
    painter.setTransform(toTarget);
    painter.setBrush(Qt::NoBrush);
    if (!CosmeticPen()) {
        // A wide pen is centred on the pixels of its points, as the one-pixel
        // pen: the outline moves to the pixel centres before it is widened.
        const double width = pen.Width * std::sqrt(std::abs(World().determinant()));
        painter.setTransform(QTransform::fromTranslate(0.5, 0.5) * toTarget);
        painter.strokePath(path, QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        return;
    }
    const std::span<const int> dashes = CosmeticDashPattern(pen.Style);
    const bool opaqueGaps = !dashes.empty() && !FState.BackgroundTransparent;
    const QColor background = ColorToQColor(FState.BackgroundColor);
    if (FRaster) {
        TPixelLineTracer tracer(visible, dashes);
        for (const QPolygonF& polygon : path.toSubpathPolygons()) TracePolyline(tracer, polygon, visible);
        if (!tracer.FlatLines().isEmpty()) {
            painter.setPen(QPen(color, 0, Qt::SolidLine, Qt::FlatCap));
            painter.drawLines(tracer.FlatLines().constData(), static_cast<int>(tracer.FlatLines().size()));
        }
        if (!tracer.Lines().isEmpty()) {
            painter.setPen(QPen(color, 0, Qt::SolidLine, Qt::SquareCap));
            painter.drawLines(tracer.Lines().constData(), static_cast<int>(tracer.Lines().size()));
        }
        DrawPixels(painter, tracer.Ink(), color);
        if (opaqueGaps) DrawPixels(painter, tracer.Gaps(), background);
        return;
    }
    if (opaqueGaps) painter.strokePath(path, QPen(background, 0, Qt::SolidLine, Qt::FlatCap));
    QPen cosmetic(color, 0, Qt::SolidLine, Qt::FlatCap);
    if (!dashes.empty()) cosmetic.setDashPattern(QList<qreal>(dashes.begin(), dashes.end()));
    painter.strokePath(path, cosmetic);
}

void TQtCanvas::AppendToPath(const QPainterPath& device) {
    const Qt::FillRule rule = FPath.fillRule();
    FPath.addPath(device);
    FPath.setFillRule(rule);
}

void TQtCanvas::DrawShape(const QPainterPath& logical, TFill fill) {
    if (!FActive) return;
    QPainterPath device = World().map(logical);
    device.setFillRule(logical.fillRule());
    if (FPathOpen) {
        AppendToPath(device);
        return;
    }
    const bool filled = fill == TFill::Brush && FState.Brush.Style != TBrushStyle::bsClear;
    const bool stroked = PenVisible();
    if (!filled && !stroked) return;
    const double margin = PenMargin();
    const QRect visible = VisibleArea();
    Paint(
        device.boundingRect().adjusted(-margin, -margin, margin, margin),
        [&](QPainter& painter, const QTransform& toTarget) {
            if (filled) FillDevicePath(painter, toTarget, device, FState.Brush);
            if (stroked) StrokeDevicePath(painter, toTarget, device, visible);
        },
        !filled && StrokeSetsEachPixelOnce(device));
}

// The outline box of a box shape: right and bottom pulled in by one pixel, and
// for a wide inside-frame pen further in so that the pen stays in the box.
QRectF TQtCanvas::BoxFor(int left, int top, int right, int bottom) const {
    NormaliseBox(left, top, right, bottom);
    double l = left, t = top, r = right - 1, b = bottom - 1;
    if (FState.Pen.Style == TPenStyle::psInsideFrame && !CosmeticPen()) {
        // The pen's outer edge then runs along the outer edges of the box's pixels.
        const double inset = (FState.Pen.Width - 1) / 2.0;
        l += inset;
        t += inset;
        r -= inset;
        b -= inset;
        if (r < l) l = r = (l + r) / 2;
        if (b < t) t = b = (t + b) / 2;
    }
    return {QPointF(l, t), QPointF(r, b)};
}

QPainterPath TQtCanvas::ArcPath(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd,
                                TArcClosing closing) const {
    const QRectF box = BoxFor(left, top, right, bottom);
    const double start = ArcParameter(box, QPointF(xStart, yStart));
    const double end = ArcParameter(box, QPointF(xEnd, yEnd));
    double sweep = std::fmod(end - start, 360.0);
    if (sweep <= 0) sweep += 360.0;
    QPainterPath path;
    if (closing == TArcClosing::Pie) {
        path.moveTo(box.center());
        path.arcTo(box, start, sweep);
        path.closeSubpath();
    } else {
        path.arcMoveTo(box, start);
        path.arcTo(box, start, sweep);
        if (closing == TArcClosing::Chord) path.closeSubpath();
    }
    return path;
}

// ---------------------------------------------------------------------------
// Lines and shapes

void TQtCanvas::MoveTo(int x, int y) {
    FState.Position = {x, y};
    if (FActive && FPathOpen) FPath.moveTo(World().map(QPointF(x, y)));
}

void TQtCanvas::LineTo(int x, int y) {
    const QPoint from = FState.Position;
    FState.Position = {x, y};
    if (!FActive) return;
    if (FPathOpen) {
        const QPointF start = World().map(QPointF(from));
        if (FPath.elementCount() == 0 || FPath.currentPosition() != start) FPath.moveTo(start);
        FPath.lineTo(World().map(QPointF(x, y)));
        return;
    }
    const std::array<QPoint, 2> points{from, QPoint(x, y)};
    DrawShape(PathFromPoints(points, false), TFill::None);
}

void TQtCanvas::Polyline(std::span<const QPoint> points) {
    if (points.size() < 2) return;
    DrawShape(PathFromPoints(points, false), TFill::None);
}

void TQtCanvas::Polygon(std::span<const QPoint> points, TPolyFillMode mode) {
    if (points.size() < 2) return;
    QPainterPath path = PathFromPoints(points, true);
    const Qt::FillRule rule = mode == TPolyFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill;
    path.setFillRule(rule);
    if (FPathOpen) FPath.setFillRule(rule);
    DrawShape(path, TFill::Brush);
}

void TQtCanvas::PolyBezier(std::span<const QPoint> points) {
    if (points.size() < 4) return;
    QPainterPath path;
    path.moveTo(points.front());
    for (std::size_t i = 1; i + 2 < points.size(); i += 3) path.cubicTo(points[i], points[i + 1], points[i + 2]);
    DrawShape(path, TFill::None);
}

void TQtCanvas::Rectangle(int left, int top, int right, int bottom) {
    NormaliseBox(left, top, right, bottom);
    if (right <= left || bottom <= top) return;
    const QRectF box = BoxFor(left, top, right, bottom);
    QPainterPath path;
    path.moveTo(box.topLeft());
    path.lineTo(box.topRight());
    path.lineTo(box.bottomRight());
    path.lineTo(box.bottomLeft());
    path.closeSubpath();
    DrawShape(path, TFill::Brush);
}

void TQtCanvas::Ellipse(int left, int top, int right, int bottom) {
    if (!FActive) return;
    NormaliseBox(left, top, right, bottom);
    if (right <= left || bottom <= top) return;
    const QRectF box = BoxFor(left, top, right, bottom);
    const QTransform world = World();
    const bool plainPen = CosmeticPen() &&
                          (FState.Pen.Style == TPenStyle::psSolid || FState.Pen.Style == TPenStyle::psInsideFrame);
    const bool integralShift = world.type() <= QTransform::TxTranslate && world.dx() == std::floor(world.dx()) &&
                               world.dy() == std::floor(world.dy());
    if (FPathOpen || !FRaster || !plainPen || !integralShift || FBase.type() > QTransform::TxTranslate) {
        QPainterPath path;
        path.addEllipse(box);
        DrawShape(path, TFill::Brush);
        return;
    }
    // Qt's own aliased ellipse: symmetric, its fill exactly inside the outline.
    const QRectF device = world.mapRect(box);
    const bool filled = FState.Brush.Style != TBrushStyle::bsClear;
    Paint(device.adjusted(-2, -2, 2, 2), [&](QPainter& painter, const QTransform& toTarget) {
        painter.setTransform(toTarget);
        painter.setPen(QPen(ColorToQColor(FState.Pen.Color), 0));
        painter.setBrush(filled ? MakeBrush(FState.Brush) : QBrush(Qt::NoBrush));
        painter.drawEllipse(device);
    });
}

void TQtCanvas::Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) {
    DrawShape(ArcPath(left, top, right, bottom, xStart, yStart, xEnd, yEnd, TArcClosing::Open), TFill::None);
}

void TQtCanvas::Chord(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) {
    DrawShape(ArcPath(left, top, right, bottom, xStart, yStart, xEnd, yEnd, TArcClosing::Chord), TFill::Brush);
}

void TQtCanvas::Pie(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) {
    DrawShape(ArcPath(left, top, right, bottom, xStart, yStart, xEnd, yEnd, TArcClosing::Pie), TFill::Brush);
}

// Always copies, whatever the pen mode, and is never part of a path.
void TQtCanvas::FillRect(const TDeviceRect& rect, const TBrushSpec& brush) {
    if (!FActive || rect.IsEmpty() || brush.Style == TBrushStyle::bsClear) return;
    QPainterPath path;
    path.addRect(QRectF(QPointF(rect.Left, rect.Top), QPointF(rect.Right, rect.Bottom)));
    const QPainterPath device = World().map(path);
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    FillDevicePath(*FPainter, FBase, device, brush);
}

// ---------------------------------------------------------------------------
// Text

const TQtCanvas::TResolvedFont& TQtCanvas::ResolvedFont() {
    TFontSpec key = FState.Font;
    key.Color = 0;
    key.Escapement = 0;
    if (FFontCache && FFontCache->Key == key) return *FFontCache;

    const TFontSubstitute substitute = LookupFontSubstitute(key.Name);
    QFont font(substitute.Family);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setKerning(false);
    font.setWeight(substitute.ForceBold ? QFont::Black : key.Bold ? QFont::Bold : QFont::Normal);
    font.setItalic(key.Italic);
    font.setUnderline(key.Underline);
    font.setStrikeOut(key.StrikeOut);

    QPaintDevice* device = FActive ? FPainter->device() : nullptr;
    auto cellHeight = [&](int pixelSize) {
        font.setPixelSize(pixelSize);
        const QFontMetrics metrics(font, device);
        return metrics.ascent() + metrics.descent();
    };

    int pixelSize = kDefaultCharacterHeight;
    if (key.Height < 0) {
        pixelSize = std::clamp(-key.Height, 1, kMaxPixelSize);
    } else if (key.Height > 0) {
        // The character height whose cell height comes nearest the one asked for.
        const int wanted = std::min(key.Height, kMaxPixelSize);
        const double ratio = cellHeight(256) / 256.0;
        const double ideal = wanted / (ratio > 0 ? ratio : 1.0);
        const int guess = std::clamp(static_cast<int>(std::nearbyint(ideal)), 1, kMaxPixelSize);
        int best = guess;
        double bestScore = -1;
        for (int size = std::max(1, guess - 3); size <= std::min(kMaxPixelSize, guess + 3); ++size) {
            const double score = std::abs(cellHeight(size) - wanted) * 1000.0 + std::abs(size - ideal);
            if (bestScore < 0 || score < bestScore) {
                bestScore = score;
                best = size;
            }
        }
        pixelSize = best;
    }
    font.setPixelSize(pixelSize);
    const QFontMetricsF metrics(font, device);

    TResolvedFont resolved;
    resolved.Key = key;
    resolved.Font = font;
    TTextMetrics& m = resolved.Metrics;
    const QFontMetrics cell(font, device);
    m.Ascent = cell.ascent();
    m.Descent = cell.descent();
    m.Height = m.Ascent + m.Descent;
    m.InternalLeading = std::max(0, m.Height - pixelSize);
    m.ExternalLeading = std::max(0, static_cast<int>(std::nearbyint(metrics.leading())));
    const double natural = metrics.averageCharWidth();
    if (key.Width > 0 && natural > 0) {
        resolved.ScaleX = key.Width / natural;
        m.AveCharWidth = key.Width;
    } else {
        m.AveCharWidth = static_cast<int>(std::nearbyint(natural));
    }
    FFontCache = resolved;
    return *FFontCache;
}

// Text space to canvas logical space: origin at the top-left of the cell,
// turned counter-clockwise on screen by the escapement, stretched to the
// average character width.
QTransform TQtCanvas::TextTransform(int x, int y, const TResolvedFont& font) const {
    QTransform transform;
    transform.translate(x, y);
    transform.rotate(-FState.Font.Escapement / 10.0);
    transform.scale(font.ScaleX, 1.0);
    return transform;
}

void TQtCanvas::TextOut(int x, int y, const QString& text) {
    if (!FActive || text.isEmpty()) return;
    const TResolvedFont& resolved = ResolvedFont();
    const QString shown = TranslateSymbolFontText(FState.Font.Name, text);
    QFont font = resolved.Font;
    const double extra = FState.CharExtra / resolved.ScaleX;
    if (FState.CharExtra != 0) font.setLetterSpacing(QFont::AbsoluteSpacing, extra);
    const QTransform toCanvas = TextTransform(x, y, resolved) * World();
    const double baseline = resolved.Metrics.Ascent;

    if (FPathOpen) {
        QPainterPath glyphs;
        glyphs.addText(QPointF(0, baseline), font, shown);
        AppendToPath(toCanvas.map(glyphs));
        return;
    }
    const double advance = QFontMetricsF(resolved.Font, FPainter->device()).horizontalAdvance(shown) +
                           extra * static_cast<double>(shown.size());
    const QRectF cell(0, 0, advance, resolved.Metrics.Height);
    const double margin = resolved.Metrics.Height;
    const QColor textColor = ColorToQColor(FState.Font.Color);
    const bool opaque = !FState.BackgroundTransparent;
    const QColor background = ColorToQColor(FState.BackgroundColor);
    Paint(toCanvas.mapRect(cell.adjusted(-margin, -margin, margin, margin)),
          [&](QPainter& painter, const QTransform& toTarget) {
              painter.setTransform(toCanvas * toTarget);
              if (opaque) painter.fillRect(cell, background);
              painter.setFont(font);
              painter.setPen(QPen(textColor, 0));
              painter.setBrush(Qt::NoBrush);
              painter.drawText(QPointF(0, baseline), shown);
          });
}

QSize TQtCanvas::TextExtent(const QString& text) {
    const TResolvedFont& resolved = ResolvedFont();
    const QString shown = TranslateSymbolFontText(FState.Font.Name, text);
    const double advance =
        QFontMetricsF(resolved.Font, FActive ? FPainter->device() : nullptr).horizontalAdvance(shown);
    return {static_cast<int>(std::nearbyint(advance * resolved.ScaleX)), resolved.Metrics.Height};
}

TTextMetrics TQtCanvas::TextMetrics() { return ResolvedFont().Metrics; }

// ---------------------------------------------------------------------------
// Paths

void TQtCanvas::BeginPath() {
    FPath = QPainterPath();
    FPathOpen = true;
    FPathReady = false;
}

void TQtCanvas::EndPath() {
    if (!FPathOpen) return;
    FPathOpen = false;
    FPathReady = true;
}

void TQtCanvas::AbortPath() {
    FPath = QPainterPath();
    FPathOpen = false;
    FPathReady = false;
}

void TQtCanvas::DrawPath(bool stroke, bool fill) {
    if (FPathOpen || !FPathReady) return;
    const QPainterPath path = FPath;
    AbortPath();
    if (!FActive) return;
    const bool filled = fill && FState.Brush.Style != TBrushStyle::bsClear;
    const bool stroked = stroke && PenVisible();
    if (!filled && !stroked) return;
    const double margin = PenMargin();
    const QRect visible = VisibleArea();
    Paint(
        path.boundingRect().adjusted(-margin, -margin, margin, margin),
        [&](QPainter& painter, const QTransform& toTarget) {
            if (filled) FillDevicePath(painter, toTarget, path, FState.Brush);
            if (stroked) StrokeDevicePath(painter, toTarget, path, visible);
        },
        !filled && StrokeSetsEachPixelOnce(path));
}

void TQtCanvas::StrokePath() { DrawPath(true, false); }
void TQtCanvas::FillPath() { DrawPath(false, true); }
void TQtCanvas::StrokeAndFillPath() { DrawPath(true, true); }

TDeviceRegion TQtCanvas::PathToRegion() {
    if (FPathOpen || !FPathReady) return {};
    const TDeviceRegion region = TDeviceRegion::FromPath(FPath);
    AbortPath();
    return region;
}

// ---------------------------------------------------------------------------
// Clipping, transform, bitmaps, saved states

void TQtCanvas::SelectClipRegion(const TDeviceRegion* region) {
    if (!FActive) return;
    FPainter->setTransform(FBase);
    if (!region) FPainter->setClipping(false);
    else FPainter->setClipPath(region->Path(), Qt::ReplaceClip);
}

void TQtCanvas::IntersectClipRect(const TDeviceRect& rect) {
    if (!FActive) return;
    const Qt::ClipOperation operation = FPainter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip;
    const QTransform world = World();
    FPainter->setTransform(FBase);
    if (rect.IsEmpty()) {
        FPainter->setClipRect(QRect(), operation == Qt::ReplaceClip ? Qt::ReplaceClip : Qt::IntersectClip);
        return;
    }
    const QRectF box(QPointF(rect.Left, rect.Top), QPointF(rect.Right, rect.Bottom));
    if (world.isIdentity() && std::abs(box.width()) < INT_MAX && std::abs(box.height()) < INT_MAX) {
        FPainter->setClipRect(box.toRect(), operation);
        return;
    }
    QPainterPath path;
    path.addRect(box);
    FPainter->setClipPath(world.map(path), operation);
}

void TQtCanvas::SetWorldTransform(const TXForm& xform) {
    const double determinant = xform.M11 * xform.M22 - xform.M12 * xform.M21;
    if (!std::isfinite(determinant) || determinant == 0 || !std::isfinite(xform.Dx) || !std::isfinite(xform.Dy))
        return;
    FState.World = xform;
}

void TQtCanvas::ResetWorldTransform() { FState.World = TXForm{}; }

void TQtCanvas::DrawBitmap(int x, int y, const QImage& image) {
    if (!FActive || image.isNull()) return;
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    FPainter->setTransform(World() * FBase);
    FPainter->drawImage(QPointF(x, y), image);
}

void TQtCanvas::StretchBitmap(const TDeviceRect& dest, const QImage& image) {
    if (!FActive || image.isNull() || dest.Left == dest.Right || dest.Top == dest.Bottom) return;
    const bool mirrorX = dest.Right < dest.Left;
    const bool mirrorY = dest.Bottom < dest.Top;
    const QImage shown = (mirrorX || mirrorY) ? image.mirrored(mirrorX, mirrorY) : image;
    const QRectF target =
        QRectF(QPointF(dest.Left, dest.Top), QPointF(dest.Right, dest.Bottom)).normalized();
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    FPainter->setTransform(World() * FBase);
    FPainter->drawImage(target, shown);
}

void TQtCanvas::SaveState() {
    FSaved.push_back(FState);
    if (FActive) FPainter->save();
}

void TQtCanvas::RestoreState() {
    if (FSaved.empty()) return;
    FState = FSaved.back();
    FSaved.pop_back();
    if (FActive) FPainter->restore();
}
