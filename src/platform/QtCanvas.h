#pragma once
// The canvas drawing through a QPainter: on a QImage, on a widget's back
// buffer or on a QPrinter. Antialiasing stays off, so the pixels are those
// the GDI rules give and drawing twice in XOR mode restores every pixel.
//
// Device pixel model: the integer point (x, y) names the pixel (x, y). A
// one-pixel pen sets the pixels through the points (each segment without its
// last pixel); a fill sets the pixels whose centres (x + 0.5, y + 0.5) lie
// inside the outline, as TDeviceRegion counts them. One-pixel lines are traced
// by the canvas itself on raster devices; on other devices (printers) they
// are drawn as cosmetic QPainter lines.

#include "platform/Canvas.h"

#include <QFont>
#include <QPainterPath>
#include <QTransform>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPaintDevice;
class QPainter;

class TQtCanvas : public TCanvas {
public:
    // Opens a painter of its own on the device for the canvas's lifetime.
    explicit TQtCanvas(QPaintDevice* device);
    // Draws through the caller's painter; its coordinates at hand-over are
    // the canvas's device pixels, and its state is restored when the canvas
    // goes.
    explicit TQtCanvas(QPainter* painter);
    ~TQtCanvas() override;
    TQtCanvas(const TQtCanvas&) = delete;
    TQtCanvas& operator=(const TQtCanvas&) = delete;

    QPainter* Painter() const { return FPainter; }

    void SetPen(const TPenSpec& pen) override { FState.Pen = pen; }
    TPenSpec Pen() const override { return FState.Pen; }
    void SetBrush(const TBrushSpec& brush) override { FState.Brush = brush; }
    TBrushSpec Brush() const override { return FState.Brush; }
    void SetFont(const TFontSpec& font) override { FState.Font = font; }
    TFontSpec Font() const override { return FState.Font; }
    void SetPenMode(TPenMode mode) override { FState.Mode = mode; }
    TPenMode PenMode() const override { return FState.Mode; }
    void SetTextCharacterExtra(int pixels) override { FState.CharExtra = pixels; }
    int TextCharacterExtra() const override { return FState.CharExtra; }
    void SetBackgroundTransparent(bool transparent) override { FState.BackgroundTransparent = transparent; }
    bool BackgroundTransparent() const override { return FState.BackgroundTransparent; }
    void SetBackgroundColor(TColor color) override { FState.BackgroundColor = color; }
    TColor BackgroundColor() const override { return FState.BackgroundColor; }

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    QPoint PenPosition() const override { return FState.Position; }
    void Polyline(std::span<const QPoint> points) override;
    void Polygon(std::span<const QPoint> points, TPolyFillMode mode = TPolyFillMode::Alternate) override;
    void PolyBezier(std::span<const QPoint> points) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) override;
    void Chord(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) override;
    void Pie(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) override;
    void FillRect(const TDeviceRect& rect, const TBrushSpec& brush) override;
    void TextOut(int x, int y, const QString& text) override;
    QSize TextExtent(const QString& text) override;
    TTextMetrics TextMetrics() override;

    void BeginPath() override;
    void EndPath() override;
    void AbortPath() override;
    void StrokePath() override;
    void FillPath() override;
    void StrokeAndFillPath() override;
    TDeviceRegion PathToRegion() override;

    void SelectClipRegion(const TDeviceRegion* region) override;
    void IntersectClipRect(const TDeviceRect& rect) override;

    // A singular transform is refused and the previous one kept, as in GDI.
    void SetWorldTransform(const TXForm& xform) override;
    void ResetWorldTransform() override;
    TXForm WorldTransform() const override { return FState.World; }

    void DrawBitmap(int x, int y, const QImage& image) override;
    // A negative width or height mirrors the picture, as StretchBlt does.
    void StretchBitmap(const TDeviceRect& dest, const QImage& image) override;

    void SaveState() override;
    void RestoreState() override;

private:
    struct TState {
        TPenSpec Pen;
        TBrushSpec Brush;
        TFontSpec Font;
        TPenMode Mode = TPenMode::pmCopy;
        int CharExtra = 0;
        bool BackgroundTransparent = true;
        TColor BackgroundColor = 0xFFFFFF;
        QPoint Position;
        TXForm World;
    };
    // A font made from a TFontSpec with the metrics GDI would report.
    struct TResolvedFont {
        TFontSpec Key;
        QFont Font;
        double ScaleX = 1.0; // horizontal stretch for a given average width
        TTextMetrics Metrics;
    };
    // Draws onto a painter; toTarget maps canvas device pixels to its coordinates.
    using TDrawFn = std::function<void(QPainter& painter, const QTransform& toTarget)>;
    enum class TFill { None, Brush };
    enum class TArcClosing { Open, Chord, Pie };

    void Begin();
    QTransform World() const;
    QRect VisibleArea() const;
    bool PenVisible() const;
    bool CosmeticPen() const;
    double PenMargin() const;
    QBrush MakeBrush(const TBrushSpec& brush) const;
    void Paint(const QRectF& bounds, const TDrawFn& draw, bool eachPixelOnce = false);
    bool StrokeSetsEachPixelOnce(const QPainterPath& path) const;
    void FillDevicePath(QPainter& painter, const QTransform& toTarget, const QPainterPath& path,
                        const TBrushSpec& brush) const;
    void StrokeDevicePath(QPainter& painter, const QTransform& toTarget, const QPainterPath& path,
                          const QRect& visible) const;
    // Records the shape into the open path, or fills and strokes it.
    void DrawShape(const QPainterPath& logical, TFill fill);
    void AppendToPath(const QPainterPath& device);
    QRectF BoxFor(int left, int top, int right, int bottom) const;
    QPainterPath ArcPath(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd,
                         TArcClosing closing) const;
    void DrawPath(bool stroke, bool fill);
    const TResolvedFont& ResolvedFont();
    QTransform TextTransform(int x, int y, const TResolvedFont& font) const;

    std::unique_ptr<QPainter> FOwnPainter;
    QPainter* FPainter = nullptr;
    bool FActive = false;
    bool FRaster = false;
    QTransform FBase;
    TState FState;
    std::vector<TState> FSaved;
    bool FPathOpen = false;
    bool FPathReady = false;
    QPainterPath FPath;
    std::optional<TResolvedFont> FFontCache;
};
