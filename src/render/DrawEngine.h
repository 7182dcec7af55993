#pragma once
// The draw engine every figure draws itself through. Whoever draws installs
// a canvas and the four conversion functions first (Install), then asks the
// figures to draw; the primitives convert world points at the drawing call,
// round them to the nearest pixel (halves to even) and draw through the
// canvas of the current pass only.
//
// Primitives that draw a closed shape and are given an empty region slot
// store the device region of what they drew there; a filled slot is left as
// it is, so a steady repaint builds no regions.

#include "model/FigureEngine.h"

#include <array>
#include <optional>

// The three corners of an arrowhead: base corner 1, tip, base corner 2. The
// tip is the end point itself, the base centre lies `length` from the tip
// towards `from`, and the corners lie `halfWidth` either side of it, corner 1
// to the left of the direction tip → from (counter-clockwise from it). A
// segment of zero length has no arrowhead.
std::optional<std::array<TDoublePoint, 3>> ArrowHead(double halfWidth, double length, const TDoublePoint& tip,
                                                     const TDoublePoint& from);

class TVXDrawEngine : public TFigureEngine {
public:
    // The arrow size of polyline ends, in millimetres.
    static constexpr double PolylineArrowHalfWidth = 3.0;
    static constexpr double PolylineArrowLength = 5.0;

    TVXDrawEngine() = default;

    // Prepares a pass: target canvas, printer flag, the intermediate bitmap
    // pictures use when printing (none: nullptr; not owned) and the four
    // conversion functions.
    void Install(TCanvas* canvas, bool printing, QImage* printBitmap, TConvertDim deConvertDim,
                 TConvertDim convertDim, TConvertXY deConvertXY, TConvertXY convertXY);

    bool Printing() const { return FPrinting; }
    // Drawing only for a picture (a thumbnail, say): figures keep no hit
    // regions from it.
    void SetSkipRegions(bool skip) { FSkipRegions = skip; }
    bool SkipRegions() const { return FSkipRegions; }
    QImage* PrintBitmap() const { return FPrintBitmap; }

    void MoveTo(const TDoublePoint& p) override;
    void LineTo(const TDoublePoint& p) override;
    void DrawLine(const TDoublePoint& p1, const TDoublePoint& p2) override;
    void DrawTriangle(const TDoublePoint& p1, const TDoublePoint& p2, const TDoublePoint& p3,
                      TRegionSlot* region = nullptr) override;
    TDeviceRegion PolygonRegion(const TDoublePointArr& points) const override;
    void DrawPolygon(const TDoublePointArr& points, TColor penColor, TRegionSlot& region, TBrushStyle brushStyle,
                     TColor brushColor, TPenStyle penStyle, int penWidth) override;
    void DrawPolyline(const TDoublePointArr& points) override;
    void DrawEllipseBox(double x1, double y1, double x2, double y2) override;
    void DrawRectangleBox(double x1, double y1, double x2, double y2) override;
    void PaintCircle(const TDoublePoint& centre, double radius, TColor penColor, TPenStyle penStyle, int penWidth,
                     TBrushStyle brushStyle, TColor brushColor, TRegionSlot& region) override;
    void DrawDot(double x, double y, double radius, TColor penColor) override;
    void DrawRowEnds(TColor penColor, int penWidth, double halfWidth, double length, TRowStyle rowStyle,
                     TPenStyle penStyle, const TDoublePoint& p1, const TDoublePoint& p2,
                     TRegionSlot* region = nullptr) override;
    void DrawPolylineRowEnds(const TDoublePointArr& points, TColor penColor, TRowStyle rowStyle, TPenStyle penStyle,
                             int penWidth) override;
    void DrawBezierPath(const TDoublePointArr& points, double halfWidth, double length, TRowStyle rowStyle,
                        TRegionSlot* region, const TPattern* pattern, bool open, bool closed, TBrushStyle brushStyle,
                        TColor brushColor, TPenStyle penStyle, int penWidth, TColor penColor) override;
    void DrawPatternAlong(const TDoublePointArr& points, const TPattern& pattern) override;
    void DrawMarker(int shape, TColor color, bool xorMode, double halfSize, const TDoublePoint& p) override;
    TTextExtent MeasureText(double width, double height, double spacing, const TEngineFont& font,
                            const QString& text) const override;
    QSize DrawTextOutline(const TDoublePoint& p, double width, double height, double spacing,
                          const TEngineFont& font, const QString& text, double angle, TBrushStyle brushStyle,
                          TColor brushColor) override;
    QSize DrawStripedText(const TDoublePoint& p, double width, double height, double spacing,
                          const TEngineFont& font, const QString& text, double angle, const TDoublePointArr& box,
                          double stripeStep) override;
    QSize DrawText(const TDoublePoint& p, double width, double height, double spacing, const TEngineFont& font,
                   const QString& text, double angle) override;
    void DrawInfoText(const TDoublePoint& p, TColor color, double height, const QString& fontName,
                      const QString& text) override;
    void DrawFillBitmap(const TDoubleRect& rect, int vAlign, const QImage& bitmap, int hAlign, double offsetX,
                        double offsetY) override;
    void BeginCombinedPath() override;
    void EndCombinedPath(TColor penColor, int penWidth, TPenStyle penStyle, TBrushStyle brushStyle,
                         TColor brushColor) override;
    TDeviceRegion EndCombinedPathRegion() override;

    // A device coordinate rounded to the nearest pixel (halves to even);
    // beyond ±2^30 it is clamped, a NaN gives 0.
    static int NearestPixel(double v);

protected:
    // World points to device pixels (nearest, halves to even).
    std::vector<QPoint> ToPixels(const TDoublePointArr& points) const;
    QPoint Pixel(const TDoublePoint& p) const;

private:
    // The arrowheads of a row style; the tip of the right end is `rightTip`.
    void DrawHeads(TRowStyle rowStyle, const TDoublePoint& rightTip, const TDoublePoint& rightFrom,
                   const TDoublePoint& leftTip, const TDoublePoint& leftFrom, double halfWidth, double length,
                   TRegionSlot* region);
    void DrawMarkerShape(TCanvas& canvas, int shape, int x, int y, double h);

    bool FPrinting = false;
    bool FSkipRegions = false;
    QImage* FPrintBitmap = nullptr;
};
