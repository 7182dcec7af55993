// The draw engine: installation, lines, polygons, circles, markers and fill
// pictures. Row-style ends and Bézier paths are in RowEnds.cpp, text in
// DrawEngineText.cpp.
#include "render/DrawEngine.h"

#include "model/Geometry.h"

#include <algorithm>
#include <cmath>

namespace {

int Nearest(double v) { return TVXDrawEngine::NearestPixel(v); }

// The box of a circle of radius r about (x, y), rounded at the call.
TDeviceRect CircleBox(double x, double y, double r) {
    return {Nearest(x - r), Nearest(y - r), Nearest(x + r), Nearest(y + r)};
}

} // namespace

void TVXDrawEngine::Install(TCanvas* canvas, bool printing, QImage* printBitmap, TConvertDim deConvertDim,
                            TConvertDim convertDim, TConvertXY deConvertXY, TConvertXY convertXY) {
    SetCanvas(canvas);
    FPrinting = printing;
    FPrintBitmap = printBitmap;
    SetConversions(std::move(convertXY), std::move(convertDim), std::move(deConvertXY), std::move(deConvertDim));
}

int TVXDrawEngine::NearestPixel(double v) {
    constexpr double limit = 1 << 30;
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::nearbyint(std::clamp(v, -limit, limit)));
}

QPoint TVXDrawEngine::Pixel(const TDoublePoint& p) const { return RoundToPoint(ToDevice(p)); }

std::vector<QPoint> TVXDrawEngine::ToPixels(const TDoublePointArr& points) const {
    std::vector<QPoint> pixels;
    pixels.reserve(points.size());
    for (const TDoublePoint& p : points) pixels.push_back(Pixel(p));
    return pixels;
}

// ---------------------------------------------------------------------------
// Lines and polygons

void TVXDrawEngine::MoveTo(const TDoublePoint& p) {
    if (TCanvas* c = Canvas()) {
        const QPoint d = Pixel(p);
        c->MoveTo(d.x(), d.y());
    }
}

void TVXDrawEngine::LineTo(const TDoublePoint& p) {
    if (TCanvas* c = Canvas()) {
        const QPoint d = Pixel(p);
        c->LineTo(d.x(), d.y());
    }
}

void TVXDrawEngine::DrawLine(const TDoublePoint& p1, const TDoublePoint& p2) {
    MoveTo(p1);
    LineTo(p2);
}

void TVXDrawEngine::DrawTriangle(const TDoublePoint& p1, const TDoublePoint& p2, const TDoublePoint& p3,
                                 TRegionSlot* region) {
    TCanvas* c = Canvas();
    if (!c) return;
    const std::array<QPoint, 3> corners{Pixel(p1), Pixel(p2), Pixel(p3)};
    c->Polygon(corners);
    if (region && !*region && !FSkipRegions)
        *region = std::make_unique<TDeviceRegion>(TDeviceRegion::FromPolygon(corners, TPolyFillMode::Winding));
}

TDeviceRegion TVXDrawEngine::PolygonRegion(const TDoublePointArr& points) const {
    const std::vector<QPoint> pixels = ToPixels(points);
    return TDeviceRegion::FromPolygon(pixels, TPolyFillMode::Winding);
}

void TVXDrawEngine::DrawPolygon(const TDoublePointArr& points, TColor penColor, TRegionSlot& region,
                                TBrushStyle brushStyle, TColor brushColor, TPenStyle penStyle, int penWidth) {
    TCanvas* c = Canvas();
    if (!c) return;
    SetPen(penColor, penWidth, penStyle);
    SetBrush(brushColor, brushStyle);
    const std::vector<QPoint> pixels = ToPixels(points);
    c->Polygon(pixels);
    if (!region && !FSkipRegions)
        region = std::make_unique<TDeviceRegion>(TDeviceRegion::FromPolygon(pixels, TPolyFillMode::Winding));
}

void TVXDrawEngine::DrawPolyline(const TDoublePointArr& points) {
    TCanvas* c = Canvas();
    if (!c) return;
    const std::vector<QPoint> pixels = ToPixels(points);
    c->Polyline(pixels);
}

// ---------------------------------------------------------------------------
// Boxes and circles

void TVXDrawEngine::DrawEllipseBox(double x1, double y1, double x2, double y2) {
    if (TCanvas* c = Canvas()) c->Ellipse(Nearest(x1), Nearest(y1), Nearest(x2), Nearest(y2));
}

void TVXDrawEngine::DrawRectangleBox(double x1, double y1, double x2, double y2) {
    if (TCanvas* c = Canvas()) c->Rectangle(Nearest(x1), Nearest(y1), Nearest(x2), Nearest(y2));
}

void TVXDrawEngine::PaintCircle(const TDoublePoint& centre, double radius, TColor penColor, TPenStyle penStyle,
                                int penWidth, TBrushStyle brushStyle, TColor brushColor, TRegionSlot& region) {
    TCanvas* c = Canvas();
    if (!c) return;
    SetPen(penColor, penWidth, penStyle);
    SetBrush(brushColor, brushStyle);
    const TDoublePoint d = ToDevice(centre);
    const TDeviceRect box = CircleBox(d.X, d.Y, std::abs(LengthToDevice(radius)));
    c->Ellipse(box.Left, box.Top, box.Right, box.Bottom);
    if (!region && !FSkipRegions) region = std::make_unique<TDeviceRegion>(TDeviceRegion::FromEllipse(box));
}

void TVXDrawEngine::DrawDot(double x, double y, double radius, TColor penColor) {
    TCanvas* c = Canvas();
    if (!c) return;
    SetPen(penColor, 1, TPenStyle::psSolid);
    SetBrush(penColor, TBrushStyle::bsSolid);
    const TDeviceRect box = CircleBox(x, y, std::abs(radius));
    c->Ellipse(box.Left, box.Top, box.Right, box.Bottom);
}

// ---------------------------------------------------------------------------
// Control-point markers

void TVXDrawEngine::DrawMarker(int shape, TColor color, bool xorMode, double halfSize, const TDoublePoint& p) {
    TCanvas* c = Canvas();
    if (!c) return;
    const TPenMode previous = c->PenMode();
    c->SetPenMode(xorMode ? TPenMode::pmXor : TPenMode::pmCopy);
    c->SetPen({color, 1, TPenStyle::psSolid});
    c->SetBrush({color, TBrushStyle::bsSolid});
    const QPoint d = Pixel(p);
    DrawMarkerShape(*c, shape, d.x(), d.y(), halfSize);
    c->SetPenMode(previous);
}

void TVXDrawEngine::DrawMarkerShape(TCanvas& c, int shape, int x, int y, double h) {
    const auto circle = [&](double r) {
        const TDeviceRect box = CircleBox(x, y, r);
        c.Ellipse(box.Left, box.Top, box.Right, box.Bottom);
    };
    const auto stroke = [&](double x1, double y1, double x2, double y2) {
        c.MoveTo(Nearest(x1), Nearest(y1));
        c.LineTo(Nearest(x2), Nearest(y2));
    };
    switch (shape) {
    case 0: {
        const TDeviceRect box = CircleBox(x, y, h);
        c.Rectangle(box.Left, box.Top, box.Right, box.Bottom);
        break;
    }
    case 1:
        circle(h + 1);
        break;
    case 2:
        stroke(x - h, y, x + h, y);
        stroke(x, y - h, x, y + h);
        break;
    case 3:
        stroke(x - h, y - h, x + h, y + h);
        stroke(x + h, y - h, x - h, y + h);
        break;
    case 4: {
        const std::array<QPoint, 4> outline{QPoint(Nearest(x + h), Nearest(y - h + 3)),
                                            QPoint(Nearest(x - h), Nearest(y - h + 3)),
                                            QPoint(x, Nearest(y + h + 3)),
                                            QPoint(Nearest(x + h), Nearest(y - h + 3))};
        c.Polyline(outline);
        break;
    }
    case 5: {
        circle(h);
        const TBrushSpec brush = c.Brush();
        c.SetBrush({brush.Color, TBrushStyle::bsClear});
        circle(h + 3);
        c.SetBrush(brush);
        break;
    }
    case 6:
        c.SetBrush({c.Brush().Color, TBrushStyle::bsClear});
        circle(h + 1);
        break;
    case 8:
        DrawMarkerShape(c, 2, x, y, h);
        DrawMarkerShape(c, 6, x, y, h / 2);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Fill pictures

void TVXDrawEngine::DrawFillBitmap(const TDoubleRect& rect, int vAlign, const QImage& bitmap, int hAlign,
                                   double offsetX, double offsetY) {
    TCanvas* c = Canvas();
    if (!c || bitmap.isNull()) return;
    const QPoint a = Pixel(DoublePoint(rect.Left, rect.Top));
    const QPoint b = Pixel(DoublePoint(rect.Right, rect.Bottom));
    const double left = std::min(a.x(), b.x());
    const double right = std::max(a.x(), b.x());
    const double top = std::min(a.y(), b.y());
    const double bottom = std::max(a.y(), b.y());
    const double dx = LengthToDevice(offsetX);
    const double dy = LengthToDevice(offsetY);
    const double w = bitmap.width();
    const double h = bitmap.height();

    double x = left + dx;
    if (hAlign == 1) x = right - w - dx;
    else if (hAlign == 2) x = (left + right - w) / 2 - dx;
    double y = top + dy;
    if (vAlign == 1) y = bottom - h - dy;
    else if (vAlign == 2) y = (top + bottom - h) / 2 - dy;
    c->DrawBitmap(Nearest(x), Nearest(y), bitmap);
}

// ---------------------------------------------------------------------------
// Combined groups: one path for all members, filled by the alternate rule
// (a canvas path starts with the alternate fill rule and keeps it).

void TVXDrawEngine::BeginCombinedPath() {
    if (TCanvas* c = Canvas()) c->BeginPath();
}

void TVXDrawEngine::EndCombinedPath(TColor penColor, int penWidth, TPenStyle penStyle, TBrushStyle brushStyle,
                                    TColor brushColor) {
    TCanvas* c = Canvas();
    if (!c) return;
    c->EndPath();
    SetPen(penColor, penWidth, penStyle);
    SetBrush(brushColor, brushStyle);
    c->StrokeAndFillPath();
}

TDeviceRegion TVXDrawEngine::EndCombinedPathRegion() {
    TCanvas* c = Canvas();
    if (!c) return {};
    c->EndPath();
    return c->PathToRegion();
}
