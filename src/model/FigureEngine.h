#pragma once
// The draw engine as the figures see it: the canvas of the current pass, the
// four conversion slots between world millimetres and device pixels, and the
// primitives figures draw with. The screen, printer and export engines
// implement the primitives; the conversions are installed per pass.

#include "model/Enums.h"
#include "model/GeometryTypes.h"
#include "platform/Canvas.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <functional>
#include <memory>

class TPattern;

// A region slot of a figure: a primitive that draws a closed shape fills an
// empty slot with the pixels it drew; a filled slot is left alone.
using TRegionSlot = std::unique_ptr<TDeviceRegion>;

// A font as text figures ask for it; heights and widths in world units.
struct TEngineFont {
    QString Name = QStringLiteral("Arial");
    TColor Color = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    std::uint8_t Charset = 1;
};

// Extents of a laid-out text in world units.
struct TTextExtent {
    double Width = 0;
    double Height = 0;
    // The font's average character width at this height (natural width).
    double AveCharWidth = 0;
};

class TFigureEngine {
public:
    using TConvertXY = std::function<void(double& x, double& y, double& z)>;
    using TConvertDim = std::function<void(double& d)>;

    TFigureEngine() = default;
    TFigureEngine(const TFigureEngine&) = delete;
    TFigureEngine& operator=(const TFigureEngine&) = delete;
    virtual ~TFigureEngine() = default;

    TCanvas* Canvas() const { return FCanvas; }
    void SetCanvas(TCanvas* canvas) { FCanvas = canvas; }

    // A slot left empty leaves its argument unchanged.
    void SetConversions(TConvertXY convertXY, TConvertDim convertDim, TConvertXY deConvertXY,
                        TConvertDim deConvertDim);

    void ConvertXY(double& x, double& y, double& z) const;
    void ConvertDim(double& d) const;
    void DeConvertXY(double& x, double& y, double& z) const;
    void DeConvertDim(double& d) const;

    // World point to device, unrounded / rounded to the nearest pixel (halves to even).
    TDoublePoint ToDevice(const TDoublePoint& p) const;
    QPoint ToPixel(const TDoublePoint& p) const;
    TDoublePoint ToWorld(double deviceX, double deviceY) const;
    double LengthToDevice(double d) const;
    double LengthToWorld(double d) const;

    // The pen the world-coordinate primitives below draw with.
    void SetPen(TColor color, int width, TPenStyle style);
    void SetBrush(TColor color, TBrushStyle style);

    // Copy or XOR for the following primitives.
    virtual void SetPenMode(TPenMode mode);

    // --- primitives; world points are converted and rounded at the drawing call ---
    virtual void MoveTo(const TDoublePoint& p) = 0;
    virtual void LineTo(const TDoublePoint& p) = 0;
    virtual void DrawLine(const TDoublePoint& p1, const TDoublePoint& p2) = 0;
    // Filled with the current pen and brush; fills an empty region slot when one is given.
    virtual void DrawTriangle(const TDoublePoint& p1, const TDoublePoint& p2, const TDoublePoint& p3,
                              TRegionSlot* region = nullptr) = 0;
    virtual TDeviceRegion PolygonRegion(const TDoublePointArr& points) const = 0;
    virtual void DrawPolygon(const TDoublePointArr& points, TColor penColor, TRegionSlot& region,
                             TBrushStyle brushStyle, TColor brushColor, TPenStyle penStyle, int penWidth) = 0;
    virtual void DrawPolyline(const TDoublePointArr& points) = 0;
    // Shapes in a device box that is already converted.
    virtual void DrawEllipseBox(double x1, double y1, double x2, double y2) = 0;
    virtual void DrawRectangleBox(double x1, double y1, double x2, double y2) = 0;
    virtual void PaintCircle(const TDoublePoint& centre, double radius, TColor penColor, TPenStyle penStyle,
                             int penWidth, TBrushStyle brushStyle, TColor brushColor, TRegionSlot& region) = 0;
    // A small filled circle in device coordinates.
    virtual void DrawDot(double x, double y, double radius, TColor penColor) = 0;
    // The segment P2–P1 with arrowheads; right decorations have their tip at P1.
    virtual void DrawRowEnds(TColor penColor, int penWidth, double halfWidth, double length, TRowStyle rowStyle,
                             TPenStyle penStyle, const TDoublePoint& p1, const TDoublePoint& p2,
                             TRegionSlot* region = nullptr) = 0;
    virtual void DrawPolylineRowEnds(const TDoublePointArr& points, TColor penColor, TRowStyle rowStyle,
                                     TPenStyle penStyle, int penWidth) = 0;
    // A poly-Bézier list (start point, then three points per piece), with row-style
    // ends, an optional pen pattern, and a fill when closed and not drawn open.
    virtual void DrawBezierPath(const TDoublePointArr& points, double halfWidth, double length, TRowStyle rowStyle,
                                TRegionSlot* region, const TPattern* pattern, bool open, bool closed,
                                TBrushStyle brushStyle, TColor brushColor, TPenStyle penStyle, int penWidth,
                                TColor penColor) = 0;
    // Lays a pen pattern along a poly-Bézier list with the current pen.
    virtual void DrawPatternAlong(const TDoublePointArr& points, const TPattern& pattern) = 0;
    // A selection handle marker of the given shape at a world point.
    virtual void DrawMarker(int shape, TColor color, bool xorMode, double halfSize, const TDoublePoint& p) = 0;
    // Text at a world anchor; sizes in world units, angle in radians. Returns the
    // device extent of the text; nothing is drawn below 4 pixels of height.
    virtual QSize DrawText(const TDoublePoint& p, double width, double height, double spacing,
                           const TEngineFont& font, const QString& text, double angle) = 0;
    // The extents DrawText would lay the text out with; works without a canvas.
    virtual TTextExtent MeasureText(double width, double height, double spacing, const TEngineFont& font,
                                    const QString& text) const = 0;
    // The glyph outlines as a path, stroked with the current pen and filled with the brush.
    virtual QSize DrawTextOutline(const TDoublePoint& p, double width, double height, double spacing,
                                  const TEngineFont& font, const QString& text, double angle, TBrushStyle brushStyle,
                                  TColor brushColor) = 0;
    // The glyph outlines as the clip region, filled with horizontal strokes `stripeStep`
    // world units apart across the box (world corners), in the current pen.
    virtual QSize DrawStripedText(const TDoublePoint& p, double width, double height, double spacing,
                                  const TEngineFont& font, const QString& text, double angle,
                                  const TDoublePointArr& box, double stripeStep) = 0;
    // A figure's info text centred on p; nothing below 4 pixels of height.
    virtual void DrawInfoText(const TDoublePoint& p, TColor color, double height, const QString& fontName,
                              const QString& text) = 0;
    // A figure's fill picture placed inside the world rectangle.
    virtual void DrawFillBitmap(const TDoubleRect& rect, int vAlign, const QImage& bitmap, int hAlign,
                                double offsetX, double offsetY) = 0;

    // Combined groups: between BeginCombinedPath and one of the two end calls
    // the closed outlines the members draw (members of a combined group draw
    // their curves open, without a fill of their own) are gathered in one
    // path instead of being drawn.
    virtual void BeginCombinedPath() = 0;
    // Ends the path, then strokes it with the pen and fills it with the brush
    // by the alternate (even-odd) rule, so that overlapping outlines cut holes.
    virtual void EndCombinedPath(TColor penColor, int penWidth, TPenStyle penStyle, TBrushStyle brushStyle,
                                 TColor brushColor) = 0;
    // Ends the path without drawing it and returns its inside (even-odd) in
    // device pixels; empty without a canvas.
    virtual TDeviceRegion EndCombinedPathRegion() = 0;

private:
    TCanvas* FCanvas = nullptr;
    TConvertXY FConvertXY;
    TConvertDim FConvertDim;
    TConvertXY FDeConvertXY;
    TConvertDim FDeConvertDim;
};
