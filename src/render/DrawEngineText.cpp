// Text primitives of the draw engine: figure texts and info texts.
#include "render/DrawEngine.h"

#include "model/Geometry.h"
#include "platform/QtCanvas.h"

#include <QImage>
#include <algorithm>

#include <cmath>
#include <numbers>

namespace {

// Texts lower than this many pixels are not drawn.
constexpr double kMinTextPixels = 4.0;
// The most stripes a striped text is filled with.
constexpr double kMaxStripes = 100000.0;

// Escapement in tenths of a degree for a world angle in radians, taken into
// one turn so that any finite angle gives a valid value.
int EscapementOf(double angle) {
    if (!std::isfinite(angle)) return 0;
    const double tenths = std::nearbyint(-angle * 1800.0 / std::numbers::pi);
    return static_cast<int>(std::fmod(tenths, 3600.0));
}

// The canvas state a text call changes, put back when the call ends.
class TTextStateGuard {
public:
    explicit TTextStateGuard(TCanvas& canvas)
        : FCanvas(canvas), FFont(canvas.Font()), FExtra(canvas.TextCharacterExtra()),
          FTransparent(canvas.BackgroundTransparent()) {}
    ~TTextStateGuard() {
        FCanvas.SetTextCharacterExtra(FExtra);
        FCanvas.SetFont(FFont);
        FCanvas.SetBackgroundTransparent(FTransparent);
    }
    TTextStateGuard(const TTextStateGuard&) = delete;
    TTextStateGuard& operator=(const TTextStateGuard&) = delete;

private:
    TCanvas& FCanvas;
    TFontSpec FFont;
    int FExtra;
    bool FTransparent;
};


// The canvas font of a figure text: cell height and average width in pixels.
TFontSpec TextFontSpec(const TVXDrawEngine& engine, double width, double height, const TEngineFont& font) {
    TFontSpec spec;
    spec.Name = font.Name;
    spec.Height = TVXDrawEngine::NearestPixel(engine.LengthToDevice(height));
    spec.Bold = font.Bold;
    spec.Italic = font.Italic;
    spec.Underline = font.Underline;
    spec.StrikeOut = font.StrikeOut;
    spec.Charset = font.Charset;
    spec.Color = font.Color;
    if (width != 0) spec.Width = std::abs(TVXDrawEngine::NearestPixel(engine.LengthToDevice(width)));
    return spec;
}

bool TextIsDrawn(const TVXDrawEngine& engine, double height) {
    return engine.LengthToDevice(height) >= kMinTextPixels;
}

// Selects the text's font, spacing and transparent background on the canvas
// and returns the device anchor the text is put out at. A turned text hangs
// from a point one third of the internal leading above the anchor, turned
// about the anchor with the text.
QPoint PrepareText(const TVXDrawEngine& engine, TCanvas& c, const TDoublePoint& p, double width, double height,
                   double spacing, const TEngineFont& font, double angle) {
    TFontSpec spec = TextFontSpec(engine, width, height, font);
    c.SetBackgroundTransparent(true);
    TDoublePoint anchor = engine.ToDevice(p);
    if (angle != 0) {
        spec.Escapement = EscapementOf(angle);
        c.SetFont(spec);
        const double lift = c.TextMetrics().InternalLeading / 3.0;
        anchor = RotatePoint(anchor, TDoublePoint{anchor.X, anchor.Y - lift, anchor.Z}, angle);
    } else {
        c.SetFont(spec);
    }
    if (spacing != 0) c.SetTextCharacterExtra(TVXDrawEngine::NearestPixel(engine.LengthToDevice(spacing)));
    return {TVXDrawEngine::NearestPixel(anchor.X), TVXDrawEngine::NearestPixel(anchor.Y)};
}

} // namespace

QSize TVXDrawEngine::DrawText(const TDoublePoint& p, double width, double height, double spacing,
                              const TEngineFont& font, const QString& text, double angle) {
    TCanvas* c = Canvas();
    if (!c || !TextIsDrawn(*this, height)) return {};
    const TTextStateGuard guard(*c);
    const QPoint anchor = PrepareText(*this, *c, p, width, height, spacing, font, angle);
    c->TextOut(anchor.x(), anchor.y(), text);
    return c->TextExtent(text);
}

void TVXDrawEngine::DrawInfoText(const TDoublePoint& p, TColor color, double height, const QString& fontName,
                                 const QString& text) {
    TCanvas* c = Canvas();
    if (!c) return;
    const double pixels = LengthToDevice(height);
    if (!(pixels >= kMinTextPixels)) return;

    const TTextStateGuard guard(*c);
    TFontSpec spec;
    spec.Name = fontName;
    spec.Height = NearestPixel(pixels);
    spec.Color = color;
    c->SetFont(spec);
    c->SetBackgroundTransparent(true);
    c->SetTextCharacterExtra(0);
    const QSize extent = c->TextExtent(text);
    const TDoublePoint centre = ToDevice(p);
    c->TextOut(NearestPixel(centre.X - extent.width() / 2.0), NearestPixel(centre.Y - extent.height() / 2.0), text);
}

// The extent of the text as DrawText lays it out, in world units, with the
// extra spacing between the characters added to the width (world spacing
// times the gaps, so the box does not depend on the zoom's pixel rounding).
// Measured with the canvas of the pass, or without one on a small image with
// the same font rules. Unlike DrawText it also measures texts lower than four
// pixels; a text lower than one pixel has no extent.
TTextExtent TVXDrawEngine::MeasureText(double width, double height, double spacing, const TEngineFont& font,
                                       const QString& text) const {
    const TFontSpec spec = TextFontSpec(*this, width, height, font);
    if (!(LengthToDevice(height) >= 0.5) || spec.Height < 1) return {};

    QSize extent;
    int aveCharWidth = 0;
    const auto measure = [&](TCanvas& c) {
        const TTextStateGuard guard(c);
        c.SetFont(spec);
        extent = c.TextExtent(text);
        TFontSpec natural = spec;
        natural.Width = 0;
        c.SetFont(natural);
        aveCharWidth = c.TextMetrics().AveCharWidth;
    };
    if (TCanvas* c = Canvas()) {
        measure(*c);
    } else {
        QImage scratch(1, 1, QImage::Format_RGB32);
        TQtCanvas canvas(&scratch);
        measure(canvas);
    }

    TTextExtent result;
    const double gaps = text.isEmpty() ? 0.0 : static_cast<double>(text.size() - 1);
    result.Width = std::max(0.0, LengthToWorld(extent.width()) + gaps * spacing);
    result.Height = LengthToWorld(extent.height());
    result.AveCharWidth = LengthToWorld(aveCharWidth);
    return result;
}

QSize TVXDrawEngine::DrawTextOutline(const TDoublePoint& p, double width, double height, double spacing,
                                     const TEngineFont& font, const QString& text, double angle,
                                     TBrushStyle brushStyle, TColor brushColor) {
    TCanvas* c = Canvas();
    if (!c || !TextIsDrawn(*this, height)) return {};
    const TTextStateGuard guard(*c);
    const TBrushSpec brush = c->Brush();
    const QPoint anchor = PrepareText(*this, *c, p, width, height, spacing, font, angle);
    c->SetBrush({brushColor, brushStyle});
    c->BeginPath();
    c->TextOut(anchor.x(), anchor.y(), text);
    c->EndPath();
    c->StrokeAndFillPath();
    c->SetBrush(brush);
    return c->TextExtent(text);
}

QSize TVXDrawEngine::DrawStripedText(const TDoublePoint& p, double width, double height, double spacing,
                                     const TEngineFont& font, const QString& text, double angle,
                                     const TDoublePointArr& box, double stripeStep) {
    TCanvas* c = Canvas();
    if (!c || !TextIsDrawn(*this, height)) return {};
    const TTextStateGuard guard(*c);
    const QPoint anchor = PrepareText(*this, *c, p, width, height, spacing, font, angle);
    c->BeginPath();
    c->TextOut(anchor.x(), anchor.y(), text);
    c->EndPath();
    const TDeviceRegion glyphs = c->PathToRegion();
    const QSize extent = c->TextExtent(text);
    if (box.empty() || glyphs.IsEmpty() || !(stripeStep > 0) || !std::isfinite(stripeStep)) return extent;

    double minX = box.front().X, maxX = minX, minY = box.front().Y, maxY = minY;
    for (const TDoublePoint& q : box) {
        minX = std::min(minX, q.X);
        maxX = std::max(maxX, q.X);
        minY = std::min(minY, q.Y);
        maxY = std::max(maxY, q.Y);
    }
    if (!std::isfinite(maxX - minX) || !std::isfinite(maxY - minY)) return extent;
    // Stripes closer than a pixel, or more of them than any device shows,
    // would only paint the same rows again.
    double step = std::max(stripeStep, LengthToWorld(1.0));
    if (!(step > 0)) step = stripeStep;
    const double rows = (maxY - minY) / step;
    if (!(rows <= kMaxStripes)) step = (maxY - minY) / kMaxStripes;

    c->SaveState();
    c->SelectClipRegion(&glyphs);
    const int count = static_cast<int>(std::floor((maxY - minY) / step + 1e-9));
    for (int i = 0; i <= count; ++i) {
        const double y = minY + i * step;
        DrawLine(DoublePoint(minX, y), DoublePoint(maxX, y));
    }
    c->RestoreState();
    return extent;
}
