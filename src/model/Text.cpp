// Text figures: classes, layout, drawing, hit test, transforms and the stored record.
#include "model/Text.h"

#include "model/FigureCopy.h"
#include "model/FigureDocument.h"
#include "model/FigureEngine.h"
#include "model/Geometry.h"
#include "model/Layer.h"

#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr TColor kRubberGreen = 0x00FF00;

// Tags of the text record (after the base record).
constexpr std::uint8_t kTagLegacyHeight = 20; // int32, tenths
constexpr std::uint8_t kTagTextColor = 21;
constexpr std::uint8_t kTagBrushColor = 22;
constexpr std::uint8_t kTagBold = 90;
constexpr std::uint8_t kTagItalic = 91;
constexpr std::uint8_t kTagStrikeOut = 92;
constexpr std::uint8_t kTagUnderline = 93;
constexpr std::uint8_t kTagOutline = 94;
constexpr std::uint8_t kTagBrushStyle = 95;
constexpr std::uint8_t kTagText = 180;
constexpr std::uint8_t kTagFontName = 181;
constexpr std::uint8_t kTagLegacyRatio = 220; // double
constexpr std::uint8_t kTagHeight = 221;
constexpr std::uint8_t kTagSpacing = 222;
constexpr std::uint8_t kTagCharWidth = 223;
constexpr std::uint8_t kTagAngle = 224;

TDoublePoint Plus(const TDoublePoint& p, const TDoublePoint& v, double f) {
    return DoublePoint(p.X + v.X * f, p.Y + v.Y * f);
}

template <typename T> std::unique_ptr<T> As(std::unique_ptr<TFigure> figure) {
    return std::unique_ptr<T>(static_cast<T*>(figure.release()));
}
} // namespace

// --- classes ---

const TFigureClass& TText::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c = MakeFigureClass<TText>(QStringLiteral("TText"), static_cast<int>(TShapeKind::Quad));
        c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
            return CommitText(false, document, layer, rubber);
        };
        return c;
    }();
    return cls;
}

const TFigureClass& TText::Class() const { return StaticClass(); }

const TFigureClass& TStripedText::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c =
            MakeFigureClass<TStripedText>(QStringLiteral("TStripedText"), static_cast<int>(TShapeKind::Quad));
        c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
            return CommitText(true, document, layer, rubber);
        };
        return c;
    }();
    return cls;
}

const TFigureClass& TStripedText::Class() const { return StaticClass(); }

template <typename T>
std::unique_ptr<T> TText::CreateOf(const QString& text, TFigureDocument* document, bool persistent, TLayer* layer,
                                   TColor textColor, int charset, const QString& fontName, double charWidth,
                                   double height, double x, double y) {
    std::unique_ptr<T> figure = As<T>(NewFigure(T::StaticClass(), layer, document, persistent));
    figure->FText = text;
    figure->FFont.Name = fontName;
    figure->FFont.Color = textColor;
    figure->FFont.Charset = static_cast<std::uint8_t>(std::clamp(charset, 0, 255));
    figure->FPenColor = textColor;
    figure->FCharWidth = charWidth;
    figure->FHeight = height;
    const TDoublePoint anchor = DoublePoint(x, y);
    figure->SetBox({anchor, anchor, anchor, anchor});
    figure->LayOutAtAnchor();
    return figure;
}

std::unique_ptr<TText> TText::Create(const QString& text, TFigureDocument* document, bool persistent,
                                     TLayer* layer, TColor textColor, int charset, const QString& fontName,
                                     double charWidth, double height, double x, double y) {
    return CreateOf<TText>(text, document, persistent, layer, textColor, charset, fontName, charWidth, height, x, y);
}

std::unique_ptr<TStripedText> TStripedText::Create(const QString& text, TFigureDocument* document, bool persistent,
                                                   TLayer* layer, TColor textColor, int charset,
                                                   const QString& fontName, double charWidth, double height,
                                                   double x, double y) {
    return CreateOf<TStripedText>(text, document, persistent, layer, textColor, charset, fontName, charWidth, height,
                                  x, y);
}

void TText::Initialize() {
    TFigure::Initialize();
    FPointCount = 4;
    FFont = TEngineFont{};
    FAngle = 0;
    FCharWidth = 0;
    FSpacing = 0;
    FResetRatio = false;
    FOutline = false;
}

QString TText::GetTypeName() const { return QStringLiteral("Text"); }

void TStripedText::Initialize() {
    TText::Initialize();
    FOutline = true;
}

QString TStripedText::GetTypeName() const { return QStringLiteral("StripedText"); }

// --- layout ---

std::array<TDoublePoint, 4> TText::Box() const { return {GetPoint(1), GetPoint(2), GetPoint(3), GetPoint(4)}; }

void TText::SetBox(const std::array<TDoublePoint, 4>& box) {
    for (int i = 0; i < 4; ++i) SetPoint(i + 1, box[static_cast<std::size_t>(i)]);
    FPointCount = 4;
    FOrgPoints = FPoints;
    FRotAngle = 0;
}

void TText::AxisSigns(const TFigureEngine* engine, const TDoublePoint& at, int& xSign, int& ySign) {
    xSign = 1;
    ySign = 1;
    if (!engine) return;
    const TDoublePoint origin = engine->ToDevice(at);
    const TDoublePoint alongX = engine->ToDevice(OffsetX(at, 1));
    const TDoublePoint alongY = engine->ToDevice(OffsetY(at, 1));
    if (alongX.X < origin.X) xSign = -1;
    if (alongY.Y < origin.Y) ySign = -1;
}

TText::TTextFrame TText::FrameFor(const TFigureEngine* engine) const {
    int xs = 1, ys = 1;
    AxisSigns(engine, GetPoint(1), xs, ys);
    // The engine turns the text by the angle it is given, counter-clockwise
    // in a world whose Y grows with device Y; the frame is that turn seen in
    // world coordinates.
    const double b = ys > 0 ? FAngle : -FAngle;
    const double c = std::cos(b), s = std::sin(b);
    return {DoublePoint(xs * c, ys * s), DoublePoint(-xs * s, ys * c)};
}

double TText::EngineAngle(const TFigureEngine& engine) const {
    const TDoublePoint low = engine.ToDevice(DoublePoint(0, 0));
    const TDoublePoint high = engine.ToDevice(DoublePoint(0, 1));
    return high.Y > low.Y ? FAngle : -FAngle;
}

std::array<TDoublePoint, 4> TText::BoxFromExtents(const TFigureEngine* engine, double width, double height) const {
    const TTextFrame frame = FrameFor(engine);
    const TDoublePoint p1 = GetPoint(1);
    const TDoublePoint p2 = Plus(p1, frame.Along, width);
    return {p1, p2, Plus(p2, frame.Across, height), Plus(p1, frame.Across, height)};
}

void TText::LayOutAtAnchor() {
    const TFigureEngine* engine = FDrawing ? FDrawing->Engine() : nullptr;
    if (!engine) return;
    const TTextExtent extent = engine->MeasureText(FCharWidth, FHeight, FSpacing, FFont, FText);
    const double dx = FDrawing->HorizontalZero() == THorzZero::vzRight ? -extent.Width : extent.Width;
    const double dy = FDrawing->VerticalZero() == TVertZero::vzTop ? extent.Height : -extent.Height;
    const TDoublePoint p1 = GetPoint(1);
    SetBox({p1, OffsetX(p1, dx), OffsetXY(p1, dx, dy), OffsetY(p1, dy)});
    FLayoutWidth = extent.Width;
    FLayoutHeight = extent.Height;
    FreeRegion();
}

// --- drawing ---

TColor TText::TextColor(bool grayed) const {
    if (grayed) return TLayer::kGrayColor;
    if (FPenColor == kLayerColor) return FLayer ? FLayer->TextColor : 0;
    return FPenColor;
}

TColor TText::FillColor(bool grayed) const {
    if (grayed) return TLayer::kGrayColor;
    if (FBrushColor == kLayerColor) return FLayer ? FLayer->BrushColor : 255;
    return FBrushColor;
}

TEngineFont TText::DrawFont(bool grayed) const {
    TEngineFont font = FFont;
    font.Color = TextColor(grayed);
    return font;
}

QSize TText::DrawGlyphs(TFigureEngine& engine, const TEngineFont& font, double charWidth, double angle,
                        bool grayed) {
    const TDoublePoint anchor = GetPoint(1);
    if (FOutline && !FInCombined) {
        engine.SetPen(font.Color, std::max(1, FPenWidth), TPenStyle::psSolid);
        // A text without a fill of its own shows the bare outlines.
        const TBrushStyle brush = FBrushStyle < 0 ? TBrushStyle::bsClear : BrushStyle();
        return engine.DrawTextOutline(anchor, charWidth, FHeight, FSpacing, font, FText, angle, brush,
                                      FillColor(grayed));
    }
    return engine.DrawText(anchor, charWidth, FHeight, FSpacing, font, FText, angle);
}

QSize TStripedText::DrawGlyphs(TFigureEngine& engine, const TEngineFont& font, double charWidth, double angle,
                               bool) {
    engine.SetPen(font.Color, std::max(1, FPenWidth), PenStyle());
    // The stripes cover the box; a box still to be laid out is measured first.
    std::array<TDoublePoint, 4> box = Box();
    if (FChanged) {
        const TTextExtent extent = engine.MeasureText(charWidth, FHeight, FSpacing, font, FText);
        if (extent.Width > 0 && extent.Height > 0) box = BoxFromExtents(&engine, extent.Width, extent.Height);
    }
    return engine.DrawStripedText(GetPoint(1), charWidth, FHeight, FSpacing, font, FText, angle,
                                  TDoublePointArr(box.begin(), box.end()), kStripeStep);
}

void TText::Draw(TFigureEngine& engine, bool grayed) {
    const std::array<TDoublePoint, 4> box = Box();
    if (!FPersistent) {
        // Feedback while creating or dragging: only the box.
        engine.SetPenMode(TPenMode::pmXor);
        engine.SetPen(kRubberGreen, 1, TPenStyle::psDash);
        engine.DrawPolyline({box[0], box[1], box[2], box[3], box[0]});
        return;
    }
    engine.SetPenMode(TPenMode::pmCopy);
    if (!FText.isEmpty()) {
        const double charWidth = FResetRatio ? 0.0 : FCharWidth;
        if (FResetRatio) {
            FCharWidth = 0;
            FResetRatio = false;
        }
        const QSize extent = DrawGlyphs(engine, DrawFont(grayed), charWidth, EngineAngle(engine), grayed);
        const double gaps = static_cast<double>(FText.size() - 1);
        const double width = std::max(0.0, engine.LengthToWorld(extent.width()) + gaps * FSpacing);
        const double height = engine.LengthToWorld(extent.height());
        // A text too small to be drawn at this scale keeps the box it has.
        if (width > 0 && height > 0) {
            FLayoutWidth = width;
            FLayoutHeight = height;
            if (FChanged) {
                SetBox(BoxFromExtents(&engine, width, height));
                FChanged = false;
                FreeRegion();
            }
        }
    }
    if (!FRegion) {
        const std::array<TDoublePoint, 4> laid = Box();
        FRegion = std::make_unique<TDeviceRegion>(engine.PolygonRegion(TDoublePointArr(laid.begin(), laid.end())));
    }
}

// --- geometry ---

bool TText::HitTest(double x, double y) {
    if (TFigure::HitTest(x, y)) return true;
    const TFigureEngine* engine = FDrawing ? FDrawing->Engine() : nullptr;
    if (FRegion && engine) return HitRegion(x, y);
    const std::array<TDoublePoint, 4> box = Box();
    if (engine) {
        const TDeviceRegion region = engine->PolygonRegion(TDoublePointArr(box.begin(), box.end()));
        const QPoint d = engine->ToPixel(DoublePoint(x, y));
        return region.Contains(d.x(), d.y());
    }
    QPolygonF polygon;
    for (const TDoublePoint& p : box) polygon << QPointF(p.X, p.Y);
    return polygon.containsPoint(QPointF(x, y), Qt::WindingFill);
}

void TText::GetBounds(double& maxX, double& maxY, double& minX, double& minY) const {
    PointBounds(1, 4, maxX, maxY, minX, minY);
}

void TText::Rotate(const TDoublePoint& centre, double angle) {
    TFigure::Rotate(centre, angle);
    FAngle += angle;
}

void TText::Mirror(const TDoublePoint& a, const TDoublePoint& b) {
    TFigure::Mirror(a, b);
    // Glyphs are never mirrored: the text runs along the mirrored base line,
    // and when the mirrored box lies on the other side of it than the text
    // hangs, the anchor moves to the corner that keeps the text in the box.
    const std::array<TDoublePoint, 4> box = Box();
    const double length = Distance(box[0], box[1], true);
    if (length > 0) {
        const TFigureEngine* engine = FDrawing ? FDrawing->Engine() : nullptr;
        int xs = 1, ys = 1;
        AxisSigns(engine, box[0], xs, ys);
        const double ux = (box[1].X - box[0].X) / length, uy = (box[1].Y - box[0].Y) / length;
        FAngle = std::atan2(uy, xs * ux);
        const TTextFrame frame = FrameFor(engine);
        const double across = (box[3].X - box[0].X) * frame.Across.X + (box[3].Y - box[0].Y) * frame.Across.Y;
        if (across < 0) {
            for (TDoublePointArr* points : {&FPoints, &FOrgPoints})
                if (points->size() >= 4) {
                    std::swap((*points)[0], (*points)[3]);
                    std::swap((*points)[1], (*points)[2]);
                }
        }
    }
    FChanged = true;
    FreeRegion();
}

void TText::Scale(const TDoublePoint& origin, double sx, double sy) {
    const std::array<TDoublePoint, 4> before = Box();
    TFigure::Scale(origin, sx, sy);
    const std::array<TDoublePoint, 4> after = Box();
    FitTextToBox(Distance(after[0], after[1], true), Distance(after[0], after[3], true),
                 Distance(before[0], before[1], true));
    FChanged = true;
    FreeRegion();
}

// --- copies ---

void TText::CopyTextTo(TText& target) const {
    CopyFigureState(*this, target);
    target.FText = FText;
    target.FFont = FFont;
    target.FHeight = FHeight;
    target.FCharWidth = FCharWidth;
    target.FSpacing = FSpacing;
    target.FResetRatio = FResetRatio;
    target.FLayoutWidth = FLayoutWidth;
    target.FLayoutHeight = FLayoutHeight;
    target.FOutline = FOutline;
    target.FBrushColor = FBrushColor;
    target.FBrushStyle = FBrushStyle;
    target.FChanged = FChanged;
}

std::unique_ptr<TFigure> TText::Clone() const {
    std::unique_ptr<TText> copy = As<TText>(NewFigure(Class(), FLayer, FDrawing, true));
    CopyTextTo(*copy);
    return copy;
}

// --- persistence ---

void TText::SaveToStream(TStream& stream) const {
    TFigure::SaveToStream(stream);
    WriteTaggedStr(kTagText, stream, FText);
    WriteTaggedStr(kTagFontName, stream, FFont.Name);
    WriteTaggedInt(kTagTextColor, stream, FPenColor);
    WriteTaggedInt(kTagBrushColor, stream, FBrushColor);
    WriteTaggedDouble(kTagHeight, stream, FHeight);
    WriteTaggedDouble(kTagSpacing, stream, FSpacing);
    WriteTaggedDouble(kTagCharWidth, stream, FCharWidth);
    WriteTaggedDouble(kTagAngle, stream, FAngle);
    if (FFont.Bold) WriteTaggedByte(kTagBold, stream, 1);
    if (FFont.Italic) WriteTaggedByte(kTagItalic, stream, 1);
    if (FFont.StrikeOut) WriteTaggedByte(kTagStrikeOut, stream, 1);
    if (FFont.Underline) WriteTaggedByte(kTagUnderline, stream, 1);
    if (FOutline) WriteTaggedByte(kTagOutline, stream, 1);
    WriteTaggedByte(kTagBrushStyle, stream, static_cast<std::uint8_t>(FBrushStyle));
}

void TText::SetProperty(const TTaggedItem& item) {
    switch (item.Kind) {
    case TTagPayload::String:
        if (item.Tag == kTagText) FText = item.AsString();
        else if (item.Tag == kTagFontName) FFont.Name = item.AsString();
        break;
    case TTagPayload::Int32:
        if (item.Tag == kTagTextColor) {
            FPenColor = item.AsInt();
            FFont.Color = FPenColor;
        } else if (item.Tag == kTagBrushColor) {
            FBrushColor = item.AsInt();
        } else if (item.Tag == kTagLegacyHeight) {
            FHeight = item.AsInt() / 10.0;
        }
        break;
    case TTagPayload::Double:
        if (item.Tag == kTagHeight) {
            FHeight = item.AsDouble();
        } else if (item.Tag == kTagSpacing) {
            FSpacing = item.AsDouble();
        } else if (item.Tag == kTagCharWidth) {
            FCharWidth = item.AsDouble();
            FHasCharWidthTag = true;
        } else if (item.Tag == kTagAngle) {
            FAngle = item.AsDouble();
        } else if (item.Tag == kTagLegacyRatio) {
            FLegacyRatio = item.AsDouble();
            FHasLegacyRatio = true;
        }
        break;
    case TTagPayload::Byte: {
        const std::uint8_t b = item.AsByte();
        if (item.Tag == kTagBold) FFont.Bold = b != 0;
        else if (item.Tag == kTagItalic) FFont.Italic = b != 0;
        else if (item.Tag == kTagStrikeOut) FFont.StrikeOut = b != 0;
        else if (item.Tag == kTagUnderline) FFont.Underline = b != 0;
        else if (item.Tag == kTagOutline) FOutline = b != 0;
        else if (item.Tag == kTagBrushStyle) FBrushStyle = b == 255 ? -1 : b; // 255: the stored "none"
        break;
    }
    default:
        break;
    }
}

void TText::ReadExtra(TStream& stream) {
    FHasLegacyRatio = false;
    FHasCharWidthTag = false;
    // The record alone says whether the glyphs are outlined (a striped text
    // starts with the flag set), so that what was read is written back.
    FOutline = false;
    TFigure::ReadExtra(stream);
    // The older ratio is relative to the height, which may come after it; a
    // record that also holds the width itself keeps that.
    if (FHasLegacyRatio && !FHasCharWidthTag)
        FCharWidth = FLegacyRatio >= 0 ? FLegacyRatio * FHeight : -FLegacyRatio;
    FHasLegacyRatio = false;
    FChanged = true;
}
