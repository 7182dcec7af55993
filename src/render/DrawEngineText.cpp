// Text primitives of the draw engine: figure texts and info texts.
#include "render/DrawEngine.h"

#include "model/Geometry.h"

#include <cmath>
#include <numbers>

namespace {

// Texts lower than this many pixels are not drawn.
constexpr double kMinTextPixels = 4.0;

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

} // namespace

QSize TVXDrawEngine::DrawText(const TDoublePoint& p, double width, double height, double spacing,
                              const TEngineFont& font, const QString& text, double angle) {
    TCanvas* c = Canvas();
    if (!c) return {};
    const double pixels = LengthToDevice(height);
    if (!(pixels >= kMinTextPixels)) return {};

    const TTextStateGuard guard(*c);
    TFontSpec spec;
    spec.Name = font.Name;
    spec.Height = NearestPixel(pixels);
    spec.Bold = font.Bold;
    spec.Italic = font.Italic;
    spec.Underline = font.Underline;
    spec.StrikeOut = font.StrikeOut;
    spec.Charset = font.Charset;
    spec.Color = font.Color;
    if (width != 0) spec.Width = std::abs(NearestPixel(LengthToDevice(width)));
    c->SetBackgroundTransparent(true);

    TDoublePoint anchor = ToDevice(p);
    if (angle != 0) {
        spec.Escapement = EscapementOf(angle);
        c->SetFont(spec);
        // A turned text hangs from a point one third of the internal leading
        // above the anchor, turned about the anchor with the text.
        const double lift = c->TextMetrics().InternalLeading / 3.0;
        anchor = RotatePoint(anchor, TDoublePoint{anchor.X, anchor.Y - lift, anchor.Z}, angle);
    } else {
        c->SetFont(spec);
    }
    if (spacing != 0) c->SetTextCharacterExtra(NearestPixel(LengthToDevice(spacing)));

    c->TextOut(NearestPixel(anchor.X), NearestPixel(anchor.Y), text);
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

TTextExtent TVXDrawEngine::MeasureText(double, double, double, const TEngineFont&, const QString&) const {
    return {};
}

QSize TVXDrawEngine::DrawTextOutline(const TDoublePoint&, double, double, double, const TEngineFont&, const QString&,
                                     double, TBrushStyle, TColor) {
    return {};
}

QSize TVXDrawEngine::DrawStripedText(const TDoublePoint&, double, double, double, const TEngineFont&,
                                     const QString&, double, const TDoublePointArr&, double) {
    return {};
}
