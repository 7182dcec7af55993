#pragma once
// The drawing surface every figure and the draw engine draw through, shaped
// after a GDI device context: a current pen, brush and font, a pen mode,
// integer device coordinates, paths, clipping and a world transform.
//
// Backends: TQtCanvas draws with QPainter on images, widgets and printers;
// a metafile recorder can implement the same interface, so no caller ever
// touches QPainter itself.

#include "platform/DeviceRegion.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <cstdint>
#include <span>

// Colours are stored as 0x00BBGGRR: 0x0000FF is red.
using TColor = std::int32_t;

QColor ColorToQColor(TColor color);
TColor QColorToColor(const QColor& color);

enum class TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TBrushStyle : std::uint8_t {
    bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};
enum class TPenMode : std::uint8_t { pmCopy, pmXor, pmNotXor };

struct TPenSpec {
    TColor Color = 0;
    int Width = 1;
    TPenStyle Style = TPenStyle::psSolid;
    bool operator==(const TPenSpec&) const = default;
};

struct TBrushSpec {
    TColor Color = 0xFFFFFF;
    TBrushStyle Style = TBrushStyle::bsSolid;
    bool operator==(const TBrushSpec&) const = default;
};

// A logical font as GDI describes it.
struct TFontSpec {
    QString Name = QStringLiteral("Arial");
    // Positive: cell height (ascent + descent) in pixels; negative: character
    // height (cell height less the internal leading); 0: a default size.
    int Height = 0;
    // Average character width in pixels; 0 keeps the natural width.
    int Width = 0;
    // Angle of the base line in tenths of a degree, counter-clockwise on screen.
    int Escapement = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    std::uint8_t Charset = 1; // DEFAULT_CHARSET
    TColor Color = 0;
    bool operator==(const TFontSpec&) const = default;
};

struct TTextMetrics {
    int Height = 0; // cell height
    int Ascent = 0;
    int Descent = 0;
    int InternalLeading = 0;
    int ExternalLeading = 0;
    int AveCharWidth = 0;
};

// Affine world transform: x' = x·M11 + y·M21 + Dx, y' = x·M12 + y·M22 + Dy.
struct TXForm {
    double M11 = 1, M12 = 0, M21 = 0, M22 = 1, Dx = 0, Dy = 0;
    bool operator==(const TXForm&) const = default;
};

class TCanvas {
public:
    virtual ~TCanvas() = default;

    virtual void SetPen(const TPenSpec& pen) = 0;
    virtual TPenSpec Pen() const = 0;
    virtual void SetBrush(const TBrushSpec& brush) = 0;
    virtual TBrushSpec Brush() const = 0;
    virtual void SetFont(const TFontSpec& font) = 0;
    virtual TFontSpec Font() const = 0;
    // XOR and NOT-XOR apply to everything the pen, the brush and the font
    // put on the device, each pixel once per call; FillRect and the bitmaps
    // always copy.
    virtual void SetPenMode(TPenMode mode) = 0;
    virtual TPenMode PenMode() const = 0;
    // Extra pixels added after every character by TextOut.
    virtual void SetTextCharacterExtra(int pixels) = 0;
    virtual int TextCharacterExtra() const = 0;
    // Background mode and colour, as GDI's SetBkMode/SetBkColor: an opaque
    // background fills the text cell, the gaps of dashed one-pixel pens and
    // the gaps of hatched brushes with the background colour. A new canvas
    // starts transparent with a white background colour.
    virtual void SetBackgroundTransparent(bool transparent) = 0;
    virtual bool BackgroundTransparent() const = 0;
    virtual void SetBackgroundColor(TColor color) = 0;
    virtual TColor BackgroundColor() const = 0;

    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    virtual QPoint PenPosition() const = 0;
    virtual void Polyline(std::span<const QPoint> points) = 0;
    virtual void Polygon(std::span<const QPoint> points, TPolyFillMode mode = TPolyFillMode::Alternate) = 0;
    // Cubic Bézier pieces: 3n + 1 points.
    virtual void PolyBezier(std::span<const QPoint> points) = 0;
    // Shapes in a box whose right and bottom edge lie outside, as in GDI: a
    // one-pixel outline runs inside [left, right - 1] x [top, bottom - 1] and
    // the fill lies inside the outline (so without a pen the filled area is
    // one pixel narrower and lower than the box, again as in GDI).
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    // Counter-clockwise from the ray through (xStart, yStart) to the ray through (xEnd, yEnd).
    virtual void Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) = 0;
    virtual void Chord(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) = 0;
    virtual void Pie(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) = 0;
    virtual void FillRect(const TDeviceRect& rect, const TBrushSpec& brush) = 0;
    // Text anchored at the top-left of its cell, turned by the font's escapement.
    virtual void TextOut(int x, int y, const QString& text) = 0;
    // Size of the unrotated text in pixels, without the extra character spacing.
    virtual QSize TextExtent(const QString& text) = 0;
    virtual TTextMetrics TextMetrics() = 0;

    // Between BeginPath and EndPath the drawing calls add to the path instead of drawing.
    virtual void BeginPath() = 0;
    virtual void EndPath() = 0;
    virtual void AbortPath() = 0;
    virtual void StrokePath() = 0;
    virtual void FillPath() = 0;
    virtual void StrokeAndFillPath() = 0;
    // Turns the closed path into a region and discards the path.
    virtual TDeviceRegion PathToRegion() = 0;

    // nullptr removes the clip region.
    virtual void SelectClipRegion(const TDeviceRegion* region) = 0;
    virtual void IntersectClipRect(const TDeviceRect& rect) = 0;

    virtual void SetWorldTransform(const TXForm& xform) = 0;
    virtual void ResetWorldTransform() = 0;
    virtual TXForm WorldTransform() const = 0;

    virtual void DrawBitmap(int x, int y, const QImage& image) = 0;
    virtual void StretchBitmap(const TDeviceRect& dest, const QImage& image) = 0;

    // Pushes and pops pen, brush, font, modes, clip and transform.
    virtual void SaveState() = 0;
    virtual void RestoreState() = 0;
};
