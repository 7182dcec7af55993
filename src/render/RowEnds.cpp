// Arrowheads at the ends of lines, polylines and Bézier paths, and the
// Bézier path primitive itself.
#include "render/DrawEngine.h"

#include "model/Bezier.h"

#include <cmath>

namespace {

bool HasRightHead(TRowStyle style) {
    return style == TRowStyle::rsRightSolid || style == TRowStyle::rsBothSolid ||
           style == TRowStyle::rsRightLight || style == TRowStyle::rsBothLight;
}

bool HasLeftHead(TRowStyle style) {
    return style == TRowStyle::rsLeftSolid || style == TRowStyle::rsBothSolid || style == TRowStyle::rsLeftLight ||
           style == TRowStyle::rsBothLight;
}

bool SolidHeads(TRowStyle style) {
    return style == TRowStyle::rsRightSolid || style == TRowStyle::rsLeftSolid || style == TRowStyle::rsBothSolid;
}

// Parameters of the curve points that give the direction of the end arrows.
constexpr double kStartNeighbourT = 5.0 / 500.0;
constexpr double kEndNeighbourT = 495.0 / 500.0;

} // namespace

std::optional<std::array<TDoublePoint, 3>> ArrowHead(double halfWidth, double length, const TDoublePoint& tip,
                                                     const TDoublePoint& from) {
    const double dx = from.X - tip.X;
    const double dy = from.Y - tip.Y;
    const double distance = std::hypot(dx, dy);
    if (!(distance > 0) || !std::isfinite(distance)) return std::nullopt;
    // Unit direction from the tip towards the neighbour; exactly (±1, 0) or
    // (0, ±1) for an axis-parallel segment. The corners are the construction
    // along +X turned by the segment's angle: (length, ±halfWidth) rotated.
    const double ux = dx / distance;
    const double uy = dy / distance;
    const double baseX = tip.X + length * ux;
    const double baseY = tip.Y + length * uy;
    const double nx = -uy * halfWidth;
    const double ny = ux * halfWidth;
    return std::array<TDoublePoint, 3>{TDoublePoint{baseX + nx, baseY + ny, tip.Z}, tip,
                                       TDoublePoint{baseX - nx, baseY - ny, tip.Z}};
}

void TVXDrawEngine::DrawHeads(TRowStyle rowStyle, const TDoublePoint& rightTip, const TDoublePoint& rightFrom,
                              const TDoublePoint& leftTip, const TDoublePoint& leftFrom, double halfWidth,
                              double length, TRegionSlot* region) {
    TCanvas* c = Canvas();
    if (!c) return;
    const bool solid = SolidHeads(rowStyle);
    const auto head = [&](const TDoublePoint& tip, const TDoublePoint& from) {
        const auto corners = ArrowHead(halfWidth, length, tip, from);
        if (!corners) return;
        if (solid) {
            DrawTriangle((*corners)[0], (*corners)[1], (*corners)[2], region);
        } else {
            const std::array<QPoint, 3> stroke{Pixel((*corners)[0]), Pixel((*corners)[1]), Pixel((*corners)[2])};
            c->Polyline(stroke);
        }
    };
    if (HasRightHead(rowStyle)) head(rightTip, rightFrom);
    if (HasLeftHead(rowStyle)) head(leftTip, leftFrom);
}

void TVXDrawEngine::DrawRowEnds(TColor penColor, int penWidth, double halfWidth, double length, TRowStyle rowStyle,
                                TPenStyle penStyle, const TDoublePoint& p1, const TDoublePoint& p2,
                                TRegionSlot* region) {
    if (!Canvas()) return;
    SetPen(penColor, penWidth, TPenStyle::psSolid);
    SetBrush(penColor, TBrushStyle::bsSolid);
    DrawHeads(rowStyle, p1, p2, p2, p1, halfWidth, length, region);
    SetBrush(penColor, TBrushStyle::bsClear);
    SetPen(penColor, penWidth, penStyle);
    DrawLine(p2, p1);
}

void TVXDrawEngine::DrawPolylineRowEnds(const TDoublePointArr& points, TColor penColor, TRowStyle rowStyle,
                                        TPenStyle penStyle, int penWidth) {
    if (!Canvas()) return;
    const std::size_t n = points.size();
    if (n >= 2 && rowStyle != TRowStyle::rsNone) {
        SetPen(penColor, penWidth, TPenStyle::psSolid);
        SetBrush(penColor, TBrushStyle::bsSolid);
        DrawHeads(rowStyle, points[n - 1], points[n - 2], points[0], points[1], PolylineArrowHalfWidth,
                  PolylineArrowLength, nullptr);
    }
    SetBrush(penColor, TBrushStyle::bsClear);
    SetPen(penColor, penWidth, penStyle);
    DrawPolyline(points);
}

void TVXDrawEngine::DrawBezierPath(const TDoublePointArr& points, double halfWidth, double length,
                                   TRowStyle rowStyle, TRegionSlot* region, const TPattern* pattern, bool open,
                                   bool closed, TBrushStyle brushStyle, TColor brushColor, TPenStyle penStyle,
                                   int penWidth, TColor penColor) {
    TCanvas* c = Canvas();
    if (!c) return;
    SetPen(penColor, penWidth, penStyle);
    SetBrush(brushColor, TBrushStyle::bsClear);
    const std::vector<QPoint> pixels = ToPixels(points);
    const bool filled = closed && !open;

    if (filled) c->BeginPath();
    if (pattern) DrawPatternAlong(points, *pattern);
    else c->PolyBezier(pixels);

    const std::size_t pieces = points.empty() ? 0 : (points.size() - 1) / 3;
    if (pieces > 0 && rowStyle != TRowStyle::rsNone) {
        const bool solid = SolidHeads(rowStyle);
        if (HasLeftHead(rowStyle)) {
            const TDoublePoint& tip = points[0];
            const TDoublePoint from = BezierPoint(points[0], points[1], points[2], points[3], kStartNeighbourT);
            DrawRowEnds(penColor, penWidth, halfWidth, length, solid ? TRowStyle::rsLeftSolid : TRowStyle::rsLeftLight,
                        penStyle, from, tip, nullptr);
        }
        if (HasRightHead(rowStyle)) {
            const std::size_t last = 3 * (pieces - 1);
            const TDoublePoint& tip = points[last + 3];
            const TDoublePoint from =
                BezierPoint(points[last], points[last + 1], points[last + 2], points[last + 3], kEndNeighbourT);
            DrawRowEnds(penColor, penWidth, halfWidth, length,
                        solid ? TRowStyle::rsRightSolid : TRowStyle::rsRightLight, penStyle, tip, from, nullptr);
        }
    }

    if (!filled) return;
    c->EndPath();
    SetBrush(brushColor, brushStyle);
    c->StrokeAndFillPath();
    if (region && !*region && !FSkipRegions) {
        c->BeginPath();
        c->PolyBezier(pixels);
        c->EndPath();
        *region = std::make_unique<TDeviceRegion>(c->PathToRegion());
    }
}

void TVXDrawEngine::DrawPatternAlong(const TDoublePointArr& points, const TPattern&) {
    // Pen patterns are drawn as the plain outline of the curve with the
    // current pen for now; the pattern's motifs are not laid along it yet.
    TCanvas* c = Canvas();
    if (!c) return;
    const std::vector<QPoint> pixels = ToPixels(points);
    c->PolyBezier(pixels);
}
