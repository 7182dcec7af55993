// Groups on the screen: drawing, hit testing, handles and resizing by handles.
#include "model/Group.h"

#include "model/FigureEngine.h"
#include "model/Geometry.h"
#include "model/Layer.h"
#include "model/ModPoint.h"
#include "model/Rectangle.h"

#include <cmath>

namespace {
constexpr TColor kGhostGreen = 0x00FF00;

// A colour as the member stores it, with "by layer" resolved.
TColor ResolveColor(TColor color, const TLayer* layer, bool brush) {
    if (color != kLayerColor) return color;
    if (!layer) return brush ? 255 : 0;
    return brush ? layer->BrushColor : layer->PenColor;
}

// The scale factor that moves one edge of [low, high] to a new place while the
// other stays; 1 when the extent is empty or the result is not a number.
double EdgeFactor(double newExtent, double oldExtent) {
    if (oldExtent == 0) return 1;
    const double factor = newExtent / oldExtent;
    return std::isfinite(factor) ? factor : 1;
}
} // namespace

// --- drawing ---

void TFigureGrp::DrawMembers(TFigureEngine& engine) {
    for (const auto& member : FMembers) {
        const TLayer* layer = member->FLayer;
        if (layer && !layer->IsVisible()) continue;
        member->Draw(engine, layer && layer->IsGrayed());
    }
}

void TFigureGrp::Draw(TFigureEngine& engine, bool) {
    // Inside a combined group the members go into the outer group's path.
    if (!FCombined || FInCombined) {
        DrawMembers(engine);
        return;
    }
    // An empty combined group has no shape to fill.
    if (FMembers.empty()) return;
    engine.BeginCombinedPath();
    DrawMembers(engine);
    const TFigure& first = *FMembers.front();
    engine.SetPenMode(FPersistent ? TPenMode::pmCopy : TPenMode::pmXor);
    engine.EndCombinedPath(ResolveColor(first.FPenColor, first.FLayer, false), first.FPenWidth, first.PenStyle(),
                           first.BrushStyle(), ResolveColor(first.FBrushColor, first.FLayer, true));
    if (!FRegion) {
        engine.BeginCombinedPath();
        DrawMembers(engine);
        FRegion = std::make_unique<TDeviceRegion>(engine.EndCombinedPathRegion());
    }
}

void TFigureGrp::DrawDimensions(TFigureEngine& engine, bool grayed) {
    for (const auto& member : FMembers) member->DrawDimensions(engine, grayed);
}

void TFigureGrp::DrawExtras(TFigureEngine& engine) {
    TFigure::DrawExtras(engine);
    if (FCombined) return;
    for (const auto& member : FMembers)
        if (!member->FLayer || member->FLayer->IsVisible()) member->DrawExtras(engine);
}

// --- hit testing ---

bool TFigureGrp::HitTest(double x, double y) {
    if (TFigure::HitTest(x, y)) return true;
    if (FCombined && !FInCombined) return HitRegion(x, y);
    for (const auto& member : FMembers)
        if (member->HitTest(x, y)) return true;
    return false;
}

// --- handles ---

void TFigureGrp::AddHandles() {
    double maxX, maxY, minX, minY;
    GetBounds(maxX, maxY, minX, minY);
    const double midX = (minX + maxX) / 2;
    const double midY = (minY + maxY) / 2;
    const TDoublePoint positions[8] = {DoublePoint(minX, minY), DoublePoint(midX, minY), DoublePoint(maxX, minY),
                                       DoublePoint(maxX, midY), DoublePoint(maxX, maxY), DoublePoint(midX, maxY),
                                       DoublePoint(minX, maxY), DoublePoint(minX, midY)};
    for (int i = 0; i < 8; ++i)
        NewHandle(kHandleKind, i + 1, positions[i].X, positions[i].Y, kHandleRed, HandleShape::Square);
    StoreBounds(maxX, maxY, minX, minY);
}

std::unique_ptr<TFigure> TFigureGrp::CreateGhost() const {
    double maxX, maxY, minX, minY;
    GetBounds(maxX, maxY, minX, minY);
    std::unique_ptr<TRectangle> ghost =
        TRectangle::Create(1, kGhostGreen, static_cast<int>(TPenStyle::psDash), 0xFFFFFF,
                           static_cast<int>(TBrushStyle::bsClear), nullptr, false, nullptr, minX, minY, maxX, maxY);
    ghost->FDiagonal = FDiagonal;
    ghost->FRotCentre = FRotCentre;
    return ghost;
}

void TFigureGrp::GhostDrag(TModPoint* handle, double x, double y, TFigure* ghost) {
    if (!handle || !ghost) return;
    // The ghost follows the rectangle rules, always from the group's own box.
    const std::unique_ptr<TFigure> frame = CreateGhost();
    frame->GhostDrag(handle, x, y, ghost);
}

void TFigureGrp::ApplyDrag(TModPoint* handle, int, double x, double y, TFigure* ghost) {
    if (!handle) return;
    std::unique_ptr<TFigure> ownGhost;
    if (!ghost) {
        ownGhost = CreateGhost();
        GhostDrag(handle, x, y, ownGhost.get());
        ghost = ownGhost.get();
    }
    double right, bottom, left, top;
    GetBounds(right, bottom, left, top);
    const int index = handle->Index;
    TDoublePoint origin = DoublePoint(handle->X, handle->Y);
    double sx = 1;
    double sy = 1;
    bool xChanged = false;
    bool yChanged = false;
    // A box without width (or height) cannot be stretched along that side.
    if (index == 3 || index == 4 || index == 5) {
        const double newRight = ghost->GetPoint(2).X;
        sx = EdgeFactor(newRight - left, right - left);
        origin.X = left;
        xChanged = newRight != right && sx != 1;
    } else if (index == 1 || index == 7 || index == 8) {
        const double newLeft = ghost->GetPoint(1).X;
        sx = EdgeFactor(right - newLeft, right - left);
        origin.X = right;
        xChanged = newLeft != left && sx != 1;
    }
    if (index == 1 || index == 2 || index == 3) {
        const double newTop = ghost->GetPoint(1).Y;
        sy = EdgeFactor(bottom - newTop, bottom - top);
        origin.Y = bottom;
        yChanged = newTop != top && sy != 1;
    } else if (index == 5 || index == 6 || index == 7) {
        const double newBottom = ghost->GetPoint(3).Y;
        sy = EdgeFactor(newBottom - top, bottom - top);
        origin.Y = top;
        yChanged = newBottom != bottom && sy != 1;
    }
    if (xChanged && yChanged) Scale(origin, sx, sy);
    else if (yChanged) Scale(origin, 1, sy);
    else if (xChanged) Scale(origin, sx, 1);
    FreeRegion();
    FChanged = true;
}
