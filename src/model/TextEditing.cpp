// Text figures: font changes, editing, creation, handles, handle drags and pop-up items.
#include "model/Text.h"

#include "model/FigureDocument.h"
#include "model/FigureEngine.h"
#include "model/Geometry.h"
#include "model/ModPoint.h"
#include "model/PopupMenu.h"
#include "model/RectangleFrame.h"
#include "platform/UiServices.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr TColor kSpacingRed = 0x0000FF;

// Bits of a font style set: bold, italic, underline, strike-out.
constexpr int kStyleBold = 1;
constexpr int kStyleItalic = 2;
constexpr int kStyleUnderline = 4;
constexpr int kStyleStrikeOut = 8;

double Dot(const TDoublePoint& v, double x, double y) { return v.X * x + v.Y * y; }

// The nearest integer of a number handed in as a double, or none.
bool RoundedInt(double v, int& result) {
    if (!std::isfinite(v)) return false;
    const double r = std::nearbyint(v);
    if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max()) return false;
    result = static_cast<int>(r);
    return true;
}
} // namespace

// --- font changes and editing ---

void TText::SetFontAttribute(int kind, const QString& text, bool flag, int value, double size) {
    NoteChange();
    int rounded = 0;
    switch (kind) {
    case 6:
        FText = text;
        break;
    case 7:
        FFont.Name = text;
        break;
    case 8:
        // A height that cannot be drawn is not taken.
        if (!(size > 0) || !std::isfinite(size)) return;
        FHeight = size;
        break;
    case 9:
        if (!RoundedInt(size, rounded)) return;
        FFont.Charset = static_cast<std::uint8_t>(std::clamp(rounded, 0, 255));
        break;
    case 10:
        if (!RoundedInt(size, rounded)) return;
        FFont.Color = rounded;
        FPenColor = rounded;
        return; // the layout does not depend on the colour
    case 11:
        FFont.Bold = (value & kStyleBold) != 0;
        FFont.Italic = (value & kStyleItalic) != 0;
        FFont.Underline = (value & kStyleUnderline) != 0;
        FFont.StrikeOut = (value & kStyleStrikeOut) != 0;
        break;
    case 12:
        FFont.Bold = flag;
        break;
    case 13:
        FFont.Italic = flag;
        break;
    case 14:
        FFont.Underline = flag;
        break;
    case 15:
        FFont.StrikeOut = flag;
        break;
    default:
        return;
    }
    FChanged = true;
}

void TText::Edit() {
    QString value = FText;
    if (!UiServices().InputText(QStringLiteral("Text-Werkzeug"), QStringLiteral("Neuen Text eingeben"), value)) return;
    FText = value;
    FChanged = true;
    FreeRegion();
}

std::unique_ptr<TFigure> TText::CommitText(bool striped, TFigureDocument* document, TLayer* layer,
                                           TFigure* rubber) {
    if (!rubber) return nullptr;
    QString value;
    const bool entered =
        striped ? UiServices().InputText(QStringLiteral("Striped Text Tool"), QStringLiteral("Enter Text"), value)
                : UiServices().InputText(QStringLiteral("Text-Werkzeug"), QStringLiteral("Text eingeben"), value);
    if (!entered) return nullptr;
    const TFontSpec font = document ? document->TextFont() : TFontSpec{};
    const TFigureDefaults defaults = document ? document->Defaults() : TFigureDefaults{};
    const TColor color = striped ? defaults.PenColor : font.Color;
    const TDoublePoint at = rubber->GetPoint(1);
    std::unique_ptr<TText> text;
    if (striped)
        text = TStripedText::Create(value, document, true, layer, color, font.Charset, font.Name, 0,
                                    defaults.TextHeight, at.X, at.Y);
    else
        text = TText::Create(value, document, true, layer, color, font.Charset, font.Name, 0, defaults.TextHeight,
                             at.X, at.Y);
    text->FFont.Bold = font.Bold;
    text->FFont.Italic = font.Italic;
    text->FFont.Underline = font.Underline;
    text->FFont.StrikeOut = font.StrikeOut;
    text->LayOutAtAnchor(); // again, with the style
    return text;
}

// --- handles ---

void TText::AddHandles() {
    TFigure::AddHandles();
    if (FDiagonal) {
        const TDoublePoint m = MidPoint(GetCorner2(), GetCorner3());
        NewHandle(HandleKind::Corner, kSpacingHandle, m.X, m.Y, kSpacingRed, kSpacingHandleShape);
        return;
    }
    for (TModPoint* handle : FHandles)
        if (handle->Index == kSpacingHandle) {
            handle->Color = kSpacingRed;
            handle->Shape = kSpacingHandleShape;
        }
}

std::unique_ptr<TFigure> TText::CreateGhost() const {
    // A temporary text draws only its box.
    std::unique_ptr<TFigure> ghost = NewFigure(TText::StaticClass(), nullptr, nullptr, false);
    auto* text = static_cast<TText*>(ghost.get());
    text->SetBox(Box());
    text->FAngle = FAngle;
    text->FDiagonal = FDiagonal;
    text->FRotCentre = FRotCentre;
    return ghost;
}

std::array<TDoublePoint, 4> TText::DraggedBox(const TModPoint& handle, double x, double y) const {
    const std::array<TDoublePoint, 4> box = Box();
    const TTextFrame text = FrameFor(FDrawing ? FDrawing->Engine() : nullptr);
    // The box's own axes; the text's when a side has no length.
    const double width = Distance(box[0], box[1], true);
    const double height = Distance(box[0], box[3], true);
    const TDoublePoint along = width > 0 ? DoublePoint((box[1].X - box[0].X) / width, (box[1].Y - box[0].Y) / width)
                                         : text.Along;
    const TDoublePoint across =
        height > 0 ? DoublePoint((box[3].X - box[0].X) / height, (box[3].Y - box[0].Y) / height) : text.Across;

    if (handle.Index == kSpacingHandle) {
        // Only the length of the base line changes.
        const double length = std::max(0.0, width + Dot(along, x - handle.X, y - handle.Y));
        const TDoublePoint p2 = DoublePoint(box[0].X + along.X * length, box[0].Y + along.Y * length);
        const TDoublePoint p3 = DoublePoint(box[3].X + along.X * length, box[3].Y + along.Y * length);
        return {box[0], p2, p3, box[3]};
    }
    const TDoublePoint corners[4] = {box[0], box[1], box[2], box[3]};
    const TRectangleCorners dragged = DragRectangleCorners(corners, handle.Index, DoublePoint(x, y), FDiagonal);
    // The text starts at the corner that is first along and across, even when
    // the drag turned the box inside out.
    double minA = 0, maxA = 0, minC = 0, maxC = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const double a = Dot(along, dragged[i].X - box[0].X, dragged[i].Y - box[0].Y);
        const double c = Dot(across, dragged[i].X - box[0].X, dragged[i].Y - box[0].Y);
        if (i == 0 || a < minA) minA = a;
        if (i == 0 || a > maxA) maxA = a;
        if (i == 0 || c < minC) minC = c;
        if (i == 0 || c > maxC) maxC = c;
    }
    const auto at = [&](double a, double c) {
        return DoublePoint(box[0].X + along.X * a + across.X * c, box[0].Y + along.Y * a + across.Y * c);
    };
    return {at(minA, minC), at(maxA, minC), at(maxA, maxC), at(minA, maxC)};
}

void TText::GhostDrag(TModPoint* handle, double x, double y, TFigure* ghost) {
    if (!handle || !ghost || ghost == this) return;
    const std::array<TDoublePoint, 4> box = DraggedBox(*handle, x, y);
    for (int i = 0; i < 4; ++i) ghost->SetPoint(i + 1, box[static_cast<std::size_t>(i)]);
    ghost->FreeRegion();
}

void TText::FitTextToBox(double width, double height, double oldWidth) {
    if (!(height > 0) || !std::isfinite(height) || !std::isfinite(width)) return;
    FHeight = height;
    const TFigureEngine* engine = FDrawing ? FDrawing->Engine() : nullptr;
    const double gaps = FText.isEmpty() ? 0.0 : static_cast<double>(FText.size() - 1);
    const double glyphWidth = width - gaps * FSpacing;
    if (engine && !FText.isEmpty()) {
        // The natural extent at the new height says how far the characters
        // must be stretched to fill the width.
        const TTextExtent natural = engine->MeasureText(0, height, 0, FFont, FText);
        if (natural.Width > 0 && natural.AveCharWidth > 0 && glyphWidth > 0)
            FCharWidth = natural.AveCharWidth * glyphWidth / natural.Width;
    } else if (FCharWidth != 0 && oldWidth > 0 && width > 0) {
        FCharWidth *= width / oldWidth;
    }
}

void TText::ApplyDrag(TModPoint* handle, int, double x, double y, TFigure*) {
    if (!handle) return;
    const std::array<TDoublePoint, 4> before = Box();
    const std::array<TDoublePoint, 4> after = DraggedBox(*handle, x, y);
    const double oldWidth = Distance(before[0], before[1], true);
    const double newWidth = Distance(after[0], after[1], true);
    if (handle->Index == kSpacingHandle) {
        // The width gained or lost is shared by the gaps between the characters.
        const auto characters = FText.size();
        FSpacing = characters > 1 ? FSpacing + (newWidth - oldWidth) / static_cast<double>(characters - 1) : 0.0;
    } else {
        FitTextToBox(newWidth, Distance(after[0], after[3], true), oldWidth);
    }
    SetBox(after);
    FreeRegion();
    FChanged = true;
}

// --- pop-up items ---

void TText::AddPopupItems(TPopupMenuBuilder& menu, int& nextTag) {
    FPopupTag = nextTag;
    menu.AddItem(QStringLiteral("Aspect Ratio"), nextTag + kItemAspectRatio);
    menu.AddItem(QStringLiteral("Default Spacing"), nextTag + kItemDefaultSpacing);
    menu.AddItem(QStringLiteral("Aussenlinie"), nextTag + kItemOutline, FOutline);
    nextTag += 3;
}

void TText::PopupItemClicked(int tag) {
    switch (tag - FPopupTag) {
    case kItemAspectRatio:
        FCharWidth = 0;
        FResetRatio = true;
        break;
    case kItemDefaultSpacing:
        FSpacing = 0;
        break;
    case kItemOutline:
        FOutline = !FOutline;
        break;
    default:
        return;
    }
    FChanged = true;
    FreeRegion();
}
