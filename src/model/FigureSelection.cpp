// Selection, handles and handle dragging of the figure base.
#include "model/DrawObjects.h"

#include "model/FigureDocument.h"
#include "model/FigureEngine.h"
#include "model/Geometry.h"
#include "model/Layer.h"
#include "model/ModPoint.h"

#include <cmath>

namespace {
constexpr TColor kHandleBlue = 0xFF0000;
constexpr TColor kRotateGreen = 0x008000;
constexpr TColor kCentreRed = 0x0000FF;
constexpr TColor kGrayedHandle = 0x808080;
constexpr TColor kGhostGreen = 0x00FF00;
} // namespace

TModPoint* TFigure::NewHandle(std::uint8_t kind, int index, double x, double y, TColor color,
                              std::uint8_t shape) {
    if (!FDrawing) return nullptr;
    auto handle = std::make_unique<TModPoint>();
    handle->Figure = this;
    handle->Kind = kind;
    handle->Index = index;
    handle->X = x;
    handle->Y = y;
    handle->Color = color;
    handle->Shape = shape;
    handle->Size = 3.0;
    TModPoint* added = FDrawing->AddHandle(std::move(handle));
    FHandles.push_back(added);
    PrepareHandle(added);
    return added;
}

void TFigure::FreeHandles() {
    for (TModPoint* handle : FHandles) {
        UnprepareHandle(handle);
        if (FDrawing) FDrawing->RemoveHandle(handle);
    }
    FHandles.clear();
}

void TFigure::CreateHandles() {
    if (FRotateSelection)
        AddRotateHandles();
    else
        AddHandles();
}

void TFigure::AddHandles() {
    switch (static_cast<TShapeKind>(ShapeKind())) {
    case TShapeKind::Line:
        for (int i = 1; i <= 2; ++i) {
            const TDoublePoint p = GetPoint(i);
            NewHandle(HandleKind::LinePoint, i, p.X, p.Y, kHandleBlue, HandleShape::Square);
        }
        break;
    case TShapeKind::Quad: {
        const TDoublePoint c[4] = {GetCorner1(), GetCorner2(), GetCorner3(), GetCorner4()};
        for (int i = 0; i < 4; ++i)
            NewHandle(HandleKind::Corner, 2 * i + 1, c[i].X, c[i].Y, kHandleBlue, HandleShape::Square);
        if (!FDiagonal)
            for (int i = 0; i < 4; ++i) {
                const TDoublePoint m = MidPoint(c[i], c[(i + 1) % 4]);
                NewHandle(HandleKind::Corner, 2 * i + 2, m.X, m.Y, kHandleBlue, HandleShape::Square);
            }
        break;
    }
    case TShapeKind::Circle: {
        const TDoublePoint c = GetPoint(1);
        const double r = FRadius;
        NewHandle(HandleKind::Radius, 0, c.X, c.Y + r, kHandleBlue, HandleShape::Square);
        NewHandle(HandleKind::Radius, 0, c.X, c.Y - r, kHandleBlue, HandleShape::Square);
        NewHandle(HandleKind::Radius, 0, c.X + r, c.Y, kHandleBlue, HandleShape::Square);
        NewHandle(HandleKind::Radius, 0, c.X - r, c.Y, kHandleBlue, HandleShape::Square);
        break;
    }
    default:
        break;
    }
}

void TFigure::AddRotateHandles() {
    double maxX, maxY, minX, minY;
    GetBounds(maxX, maxY, minX, minY);
    NewHandle(HandleKind::RotateCorner, 1, minX, minY, kRotateGreen, HandleShape::RotateArrow);
    NewHandle(HandleKind::RotateCorner, 2, maxX, minY, kRotateGreen, HandleShape::RotateArrow);
    NewHandle(HandleKind::RotateCorner, 3, maxX, maxY, kRotateGreen, HandleShape::RotateArrow);
    NewHandle(HandleKind::RotateCorner, 4, minX, maxY, kRotateGreen, HandleShape::RotateArrow);
    NewHandle(HandleKind::RotateCentre, 5, FRotCentre.X, FRotCentre.Y, kCentreRed, HandleShape::Cross);
}

void TFigure::Select() {
    if (FSelected) return;
    FSelected = true;
    FreeHandles();
    if (FDrawing) FSelectOrder = FDrawing->NextSelectOrder();
    CreateHandles();
    if (FDrawing) FDrawing->SetHasSelection(true);
}

void TFigure::Deselect() {
    if (!FSelected) return;
    FSelected = false;
    FSelectOrder = 0;
    FPrimarySelected = false;
    FreeHandles();
}

void TFigure::RefreshHandles() {
    if (!FSelected) return;
    FreeHandles();
    CreateHandles();
}

void TFigure::SelectAsRotate() {
    if (FSelected) Deselect();
    FRotateSelection = true;
    FRotCentre = GetCentre();
    Select();
}

void TFigure::MapHandles(TFigureEngine& engine, bool alternate) {
    const bool alt = alternate || FAltHandles;
    const bool grayed = FLayer && FLayer->IsGrayed();
    for (TModPoint* handle : FHandles) {
        if (handle->Hidden && !FAltHandles) continue;
        const TDoublePoint p = DoublePoint(handle->X, handle->Y);
        if (handle->Visible)
            engine.DrawMarker(handle->Shape, grayed ? kGrayedHandle : handle->Color, false, handle->Size, p);
        const QPoint d = engine.ToPixel(p);
        if (alt) {
            handle->AltDevX = d.x();
            handle->AltDevY = d.y();
        } else {
            handle->DevX = d.x();
            handle->DevY = d.y();
        }
    }
}

// --- ghosts and dragging ---

std::unique_ptr<TFigure> TFigure::CreateGhost() const {
    const int kind = ShapeKind();
    std::unique_ptr<TFigure> ghost = NewSimpleFigure(kind);
    if (!ghost) return nullptr;
    switch (static_cast<TShapeKind>(kind)) {
    case TShapeKind::Line:
        ghost->SetPointCount(2);
        ghost->SetPoint(1, GetPoint(1));
        ghost->SetPoint(2, GetPoint(2));
        break;
    case TShapeKind::Quad:
        ghost->SetPointCount(4);
        ghost->SetPoint(1, GetCorner1());
        ghost->SetPoint(2, GetCorner2());
        ghost->SetPoint(3, GetCorner3());
        ghost->SetPoint(4, GetCorner4());
        ghost->FDiagonal = FDiagonal;
        break;
    case TShapeKind::Circle:
        ghost->SetPointCount(1);
        ghost->SetPoint(1, GetPoint(1));
        ghost->FRadius = FRadius;
        break;
    default:
        ghost->ClearPoints();
        for (int i = 1; i <= FPointCount; ++i) ghost->SetPoint(i, GetPoint(i));
        ghost->SetPointCount(FPointCount);
        break;
    }
    ghost->FPenWidth = 1;
    ghost->FPenColor = kGhostGreen;
    ghost->FPenStyle = static_cast<int>(TPenStyle::psSolid);
    ghost->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    ghost->FRotCentre = FRotCentre;
    return ghost;
}

void TFigure::GhostDrag(TModPoint* handle, double x, double y, TFigure* ghost) {
    if (!handle || !ghost || ghost == this) return;
    switch (static_cast<TShapeKind>(ShapeKind())) {
    case TShapeKind::Circle:
        ghost->FRadius = Distance(ghost->GetPoint(1), DoublePoint(x, y), true);
        break;
    case TShapeKind::Quad:
        if (handle->Index % 2 == 1) ghost->SetPoint((handle->Index + 1) / 2, DoublePoint(x, y));
        break;
    default:
        if (handle->Index >= 1 && handle->Index <= ghost->PointCount())
            ghost->SetPoint(handle->Index, DoublePoint(x, y));
        break;
    }
    ghost->FreeRegion();
}

void TFigure::ApplyDrag(TModPoint* handle, int, double x, double y, TFigure* ghost) {
    if (!handle) return;
    switch (static_cast<TShapeKind>(ShapeKind())) {
    case TShapeKind::Line:
    case TShapeKind::PointList:
        if (handle->Index >= 1 && handle->Index <= FPointCount)
            SetPoint(handle->Index, OffsetXY(GetPoint(handle->Index), x - handle->X, y - handle->Y));
        break;
    case TShapeKind::Quad:
        if (ghost)
            for (int i = 1; i <= 4; ++i) SetPoint(i, ghost->GetPoint(i));
        break;
    case TShapeKind::Circle:
        if (ghost) FRadius = ghost->FRadius;
        break;
    case TShapeKind::Custom:
        break;
    }
    FreeRegion();
    FChanged = true;
}

void TFigure::RotateDragStart(TModPoint* handle, double x, double y, std::unique_ptr<TFigure>& ghost) {
    if (!handle) return;
    if (handle->Index == 5) {
        if (ghost) ghost->FRotCentre = DoublePoint(x, y);
        return;
    }
    const double difference = AngleOf(FRotCentre, DoublePoint(x, y)) -
                              AngleOf(FRotCentre, DoublePoint(handle->X, handle->Y));
    ghost = CreateGhost();
    if (ghost) ghost->Rotate(FRotCentre, difference);
}

void TFigure::ApplyRotateDrag(TModPoint* handle, double x, double y, TFigure* ghost) {
    if (!handle) return;
    if (handle->Index == 5) {
        FRotCentre = ghost ? ghost->FRotCentre : DoublePoint(x, y);
    } else {
        const double difference = AngleOf(FRotCentre, DoublePoint(x, y)) -
                                  AngleOf(FRotCentre, DoublePoint(handle->X, handle->Y));
        Rotate(FRotCentre, difference);
    }
    RefreshHandles();
}
