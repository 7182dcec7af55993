// Texts turned into their glyph outlines: a combined group of closed Bézier
// polylines, one per glyph contour, so that the counters of letters like "O"
// stay holes.
#include "model/Text.h"

#include "model/FigureDocument.h"
#include "model/Geometry.h"
#include "model/Group.h"
#include "model/Polyline.h"
#include "platform/FontSubstitution.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainterPath>

#include <cmath>

namespace {
// The outlines are taken at this character height and scaled to the text.
constexpr int kReferencePixels = 256;

// One contour as a poly-Bézier list: the start point, then three points per piece.
using TContour = TDoublePointArr;

void CloseContour(TContour& contour, std::vector<TContour>& contours) {
    if (contour.size() < 4) {
        contour.clear();
        return;
    }
    const TDoublePoint first = contour.front();
    const TDoublePoint last = contour.back();
    if (!SamePoint(first, last)) {
        contour.push_back(PointAlong(last, first, 1.0 / 3));
        contour.push_back(PointAlong(last, first, 2.0 / 3));
        contour.push_back(first);
    }
    contours.push_back(std::move(contour));
    contour.clear();
}
} // namespace

std::unique_ptr<TFigure> TText::ConvertToBezier() {
    if (FText.isEmpty() || !(FHeight > 0) || !std::isfinite(FHeight)) return nullptr;

    // The font as the canvas resolves it: the stand-in family, cell height = FHeight.
    const TFontSubstitute substitute = LookupFontSubstitute(FFont.Name);
    QFont font(substitute.Family);
    font.setKerning(false);
    font.setWeight(substitute.ForceBold ? QFont::Black : FFont.Bold ? QFont::Bold : QFont::Normal);
    font.setItalic(FFont.Italic);
    font.setPixelSize(kReferencePixels);
    const QFontMetricsF metrics(font);
    const double cell = metrics.ascent() + metrics.descent();
    if (!(cell > 0)) return nullptr;
    const double scaleY = FHeight / cell;
    double scaleX = scaleY;
    const double natural = metrics.averageCharWidth();
    if (FCharWidth != 0 && natural > 0 && std::isfinite(FCharWidth)) scaleX = std::abs(FCharWidth) / natural;
    if (FSpacing != 0 && std::isfinite(FSpacing)) font.setLetterSpacing(QFont::AbsoluteSpacing, FSpacing / scaleX);

    QPainterPath glyphs;
    glyphs.addText(0, metrics.ascent(), font, TranslateSymbolFontText(FFont.Name, FText));

    // Reference units to world: along the text from the anchor, across it
    // towards the glyph bottoms.
    const TTextFrame frame = FrameFor(FDrawing ? FDrawing->Engine() : nullptr);
    const TDoublePoint anchor = GetPoint(1);
    const auto toWorld = [&](double u, double v) {
        return DoublePoint(anchor.X + frame.Along.X * u * scaleX + frame.Across.X * v * scaleY,
                           anchor.Y + frame.Along.Y * u * scaleX + frame.Across.Y * v * scaleY);
    };

    std::vector<TContour> contours;
    TContour contour;
    const int count = glyphs.elementCount();
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element e = glyphs.elementAt(i);
        const TDoublePoint p = toWorld(e.x, e.y);
        if (e.isMoveTo()) {
            CloseContour(contour, contours);
            contour.push_back(p);
        } else if (e.isLineTo()) {
            if (contour.empty()) contour.push_back(p);
            const TDoublePoint from = contour.back();
            contour.push_back(PointAlong(from, p, 1.0 / 3));
            contour.push_back(PointAlong(from, p, 2.0 / 3));
            contour.push_back(p);
        } else if (e.isCurveTo() && i + 2 < count) {
            if (contour.empty()) contour.push_back(p);
            const QPainterPath::Element c2 = glyphs.elementAt(i + 1);
            const QPainterPath::Element end = glyphs.elementAt(i + 2);
            contour.push_back(p);
            contour.push_back(toWorld(c2.x, c2.y));
            contour.push_back(toWorld(end.x, end.y));
            i += 2;
        }
    }
    CloseContour(contour, contours);
    if (contours.empty()) return nullptr;

    // Plain texts are filled in the text colour; outlined ones keep their fill.
    const int penWidth = std::max(1, FPenWidth);
    const TColor brushColor = FOutline ? FBrushColor : FPenColor;
    const int brushStyle = FOutline ? (FBrushStyle < 0 ? static_cast<int>(TBrushStyle::bsClear) : FBrushStyle)
                                    : static_cast<int>(TBrushStyle::bsSolid);
    std::unique_ptr<TFigureGrp> group = TFigureGrp::Create(FLayer, FDrawing, true);
    for (const TContour& points : contours)
        group->Add(TPolyline::CreateBezierPolyline(points, penWidth, FDrawing, true, FLayer, true, TRowStyle::rsNone,
                                                   brushColor, brushStyle, FPenColor,
                                                   static_cast<int>(TPenStyle::psSolid)));
    if (group->Count() == 0) return nullptr;
    group->SetCombined(true);
    group->RecalcBounds();
    return group;
}
