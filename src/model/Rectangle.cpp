#include "model/Rectangle.h"

#include "model/FigureCopy.h"
#include "model/FigureDocument.h"
#include "model/FigureEngine.h"
#include "model/Geometry.h"
#include "model/Layer.h"
#include "model/Line.h"
#include "model/ModPoint.h"
#include "model/Pattern.h"
#include "model/Polyline.h"
#include "model/PolylineGeometry.h"

#include <algorithm>

namespace {
constexpr TColor kRubberGreen = 0x00FF00;

// Items after the base record.
constexpr std::uint8_t kTagBrushStyle = 90;
constexpr std::uint8_t kTagBrushColor = 20;
constexpr std::uint8_t kTagDimSide14 = 91;
constexpr std::uint8_t kTagDimSide32 = 92;
constexpr std::uint8_t kTagDimSide12 = 93;
constexpr std::uint8_t kTagDimSide34 = 94;

std::unique_ptr<TRectangle> AsRectangle(std::unique_ptr<TFigure> figure) {
    return std::unique_ptr<TRectangle>(static_cast<TRectangle*>(figure.release()));
}

TRectangleCorners CornersFrom(double x1, double y1, double x2, double y2) {
    return {DoublePoint(x1, y1), DoublePoint(x2, y1), DoublePoint(x2, y2), DoublePoint(x1, y2)};
}
} // namespace

// --- class ---

const TFigureClass& TRectangle::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c =
            MakeFigureClass<TRectangle>(QStringLiteral("TRectangle"), static_cast<int>(TShapeKind::Quad));
        c.CreateRubber = &TRectangle::CreateRectangleRubber;
        c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
            return CommitRectangle(TRectangle::StaticClass(), document, layer, rubber);
        };
        return c;
    }();
    return cls;
}

const TFigureClass& TRectangle::Class() const {
    return StaticClass();
}

std::unique_ptr<TRectangle> TRectangle::Create(int penWidth, TColor penColor, int penStyle, TColor brushColor,
                                               int brushStyle, TFigureDocument* document, bool persistent,
                                               TLayer* layer, double x1, double y1, double x2, double y2) {
    std::unique_ptr<TRectangle> rectangle =
        AsRectangle(NewFigure(StaticClass(), layer, document, persistent));
    rectangle->FPenWidth = penWidth;
    rectangle->FPenColor = penColor;
    rectangle->FPenStyle = penStyle;
    rectangle->FBrushColor = brushColor;
    rectangle->FBrushStyle = brushStyle;
    rectangle->SetCorners(CornersFrom(x1, y1, x2, y2));
    return rectangle;
}

void TRectangle::Initialize() {
    TFigure::Initialize();
    FPointCount = 4;
    FDimSide14 = false;
    FDimSide32 = true;
    FDimSide12 = true;
    FDimSide34 = false;
}

QString TRectangle::GetTypeName() const {
    return QStringLiteral("Rectangle");
}

TRectangleCorners TRectangle::Corners() const {
    return {GetCorner1(), GetCorner2(), GetCorner3(), GetCorner4()};
}

void TRectangle::SetCorners(const TRectangleCorners& corners) {
    for (int i = 0; i < 4; ++i)
        SetPoint(i + 1, corners[static_cast<std::size_t>(i)]);
    FOrgPoints = FPoints;
}

// --- drawing ---

TColor TRectangle::DrawPenColor(bool grayed) const {
    if (grayed) return TLayer::kGrayColor;
    if (FPenColor == kLayerColor) return FLayer ? FLayer->PenColor : 0;
    return FPenColor;
}

TColor TRectangle::DrawBrushColor(bool grayed) const {
    if (grayed) return TLayer::kGrayColor;
    if (FBrushColor == kLayerColor) return FLayer ? FLayer->BrushColor : 255;
    return FBrushColor;
}

void TRectangle::Draw(TFigureEngine& engine, bool grayed) {
    engine.SetPenMode(FPersistent ? TPenMode::pmCopy : TPenMode::pmXor);
    const TRectangleCorners c = Corners();
    engine.DrawPolygon(TDoublePointArr(c.begin(), c.end()), DrawPenColor(grayed), FRegion, BrushStyle(),
                       DrawBrushColor(grayed), PenStyle(), FPenWidth);
}

// --- derived figures ---

std::unique_ptr<TRectangle> TRectangle::NewLike(const TRectangleCorners& corners) const {
    std::unique_ptr<TRectangle> piece = AsRectangle(NewFigure(Class(), FLayer, FDrawing, true));
    CopyBaseTo(*piece);
    piece->FBrushColor = FBrushColor;
    piece->FBrushStyle = FBrushStyle;
    piece->FDiagonal = FDiagonal;
    piece->FCName = FCName;
    piece->FDimSide14 = FDimSide14;
    piece->FDimSide32 = FDimSide32;
    piece->FDimSide12 = FDimSide12;
    piece->FDimSide34 = FDimSide34;
    piece->FPointCount = 4;
    piece->FPoints.clear();
    piece->SetCorners(corners);
    piece->FRotAngle = 0;
    return piece;
}

std::unique_ptr<TFigure> TRectangle::CreateOffsetFigure(double distance) {
    // Outwards is measured for a Y axis pointing down the page; a drawing with
    // its vertical zero at the bottom turns it round.
    const double d = FVertZero == static_cast<std::uint8_t>(TVertZero::vzBottom) ? -distance : distance;
    const TRectangleCorners c = Corners();
    const std::optional<TRectangleCorners> moved = OffsetRectangleCorners(c.data(), d);
    if (!moved) return nullptr;
    return NewLike(*moved);
}

std::unique_ptr<TFigure> TRectangle::ConvertToBezier() {
    const TRectangleCorners c = Corners();
    TDoublePointArr points;
    for (std::size_t i = 0; i < 4; ++i) {
        const TDoublePoint& a = c[i];
        const TDoublePoint& b = c[(i + 1) % 4];
        points.push_back(a);
        points.push_back(PointAlong(a, b, 1.0 / 3));
        points.push_back(PointAlong(a, b, 2.0 / 3));
    }
    points.push_back(c[0]);
    return MakeBezierPolyline(points, *this, true);
}

std::unique_ptr<TFigure> TRectangle::Clone() const {
    std::unique_ptr<TRectangle> copy = AsRectangle(NewFigure(Class(), FLayer, FDrawing, true));
    CopyFigureState(*this, *copy);
    copy->FDimSide14 = FDimSide14;
    copy->FDimSide32 = FDimSide32;
    copy->FDimSide12 = FDimSide12;
    copy->FDimSide34 = FDimSide34;
    if (copy->FHasDimensions) copy->CreateDimensions();
    return copy;
}

bool TRectangle::SplitAtPoint(const TDoublePoint& p, std::vector<TFigure*>& list) {
    const TRectangleCorners c = Corners();
    TDoublePoint q;
    const int side = RectangleSideAt(c.data(), p, kSplitTolerance, q);
    if (side == 0) return false;
    // From the cut round the corners after it back to the cut; a cut through a
    // corner does not repeat that corner.
    TDoublePointArr nodes = {q};
    for (int k = 0; k < 4; ++k) {
        const TDoublePoint& corner = c[static_cast<std::size_t>((side + k) % 4)];
        if (!SamePoint(corner, nodes.back())) nodes.push_back(corner);
    }
    if (SamePoint(nodes.back(), q)) nodes.pop_back();
    nodes.push_back(q);
    std::unique_ptr<TPolyline> outline =
        TPolyline::Create(nodes, FDrawing, true, FLayer, false, TRowStyle::rsNone, FBrushColor, FBrushStyle,
                          FPenColor, FPenStyle, FPenWidth);
    if (!outline) return false;
    outline->FCName = FCName;
    list.push_back(outline.release());
    return true;
}

bool TRectangle::IntersectLine(const TDoublePoint& a, const TDoublePoint& b, TDoublePointArr& points) {
    const TRectangleCorners c = Corners();
    bool found = false;
    TDoublePointArr crossings;
    for (std::size_t i = 0; i < 4; ++i) {
        TDoublePoint p;
        if (!SegmentsIntersect(a, b, c[i], c[(i + 1) % 4], p)) continue;
        // A line through a corner meets both sides there: one crossing.
        if (std::any_of(crossings.begin(), crossings.end(),
                        [&p](const TDoublePoint& q) { return SamePoint(p, q); }))
            continue;
        crossings.push_back(p);
        points.push_back(p);
        found = true;
    }
    return found;
}

void TRectangle::CollectVectors(std::vector<TVectorObject>& list, const TDoublePoint& origin) {
    TVectorObject polygon;
    polygon.Kind = TVectorObject::Polygon;
    for (const TDoublePoint& p : Corners())
        polygon.Points.push_back(DoublePoint(p.X - origin.X, p.Y - origin.Y));
    list.push_back(std::move(polygon));
}

// --- persistence ---

void TRectangle::SetProperty(const TTaggedItem& item) {
    if (item.Kind == TTagPayload::Int32) {
        if (item.Tag == kTagBrushColor) FBrushColor = item.AsInt();
        return;
    }
    if (item.Kind != TTagPayload::Byte) return;
    const std::uint8_t value = item.AsByte();
    switch (item.Tag) {
    case kTagBrushStyle:
        FBrushStyle = value == 0xFF ? -1 : value;
        break;
    case kTagDimSide14:
        FDimSide14 = value != 0;
        break;
    case kTagDimSide32:
        FDimSide32 = value != 0;
        break;
    case kTagDimSide12:
        FDimSide12 = value != 0;
        break;
    case kTagDimSide34:
        FDimSide34 = value != 0;
        break;
    default:
        break;
    }
}

void TRectangle::SaveToStream(TStream& stream) const {
    TFigure::SaveToStream(stream);
    WriteTaggedByte(kTagBrushStyle, stream, static_cast<std::uint8_t>(FBrushStyle));
    WriteTaggedInt(kTagBrushColor, stream, FBrushColor);
    WriteTaggedByte(kTagDimSide14, stream, FDimSide14 ? 1 : 0);
    WriteTaggedByte(kTagDimSide32, stream, FDimSide32 ? 1 : 0);
    WriteTaggedByte(kTagDimSide12, stream, FDimSide12 ? 1 : 0);
    WriteTaggedByte(kTagDimSide34, stream, FDimSide34 ? 1 : 0);
}

// --- interactive creation ---

std::unique_ptr<TFigure> TRectangle::CreateRectangleRubber(const TFigureClass&, double x, double y) {
    std::unique_ptr<TRectangle> rubber =
        AsRectangle(NewFigure(TRectangle::StaticClass(), nullptr, nullptr, false));
    rubber->SetCorners(CornersFrom(x, y, x, y));
    rubber->FPenWidth = 1;
    rubber->FPenColor = kRubberGreen;
    rubber->FPenStyle = static_cast<int>(TPenStyle::psDash);
    rubber->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    return rubber;
}

std::unique_ptr<TFigure> TRectangle::CommitRectangle(const TFigureClass& cls, TFigureDocument* document,
                                                     TLayer* layer, TFigure* rubber) {
    if (!rubber) return nullptr;
    const TFigureDefaults defaults = document ? document->Defaults() : TFigureDefaults{};
    const TDoublePoint a = rubber->GetPoint(1);
    const TDoublePoint b = rubber->GetPoint(3);
    std::unique_ptr<TRectangle> rectangle = AsRectangle(NewFigure(cls, layer, document, true));
    rectangle->SetCorners(CornersFrom(a.X, a.Y, b.X, b.Y));
    rectangle->FPenWidth = defaults.PenWidth;
    rectangle->FPenColor = defaults.PenColor;
    rectangle->FPenStyle = static_cast<int>(defaults.PenStyle);
    rectangle->FBrushColor = defaults.BrushColor;
    rectangle->FBrushStyle = static_cast<int>(defaults.BrushStyle);
    return rectangle;
}

void TRectangle::RubberMove(int clickNo, double x, double y) {
    if (clickNo != 1) return;
    const TDoublePoint first = GetPoint(1);
    SetCorners(CornersFrom(first.X, first.Y, x, y));
    FreeRegion();
}

bool TRectangle::RubberClick(int clickNo, double x, double y) {
    if (clickNo < 2) return false;
    const TDoublePoint first = GetPoint(1);
    SetCorners(CornersFrom(first.X, first.Y, x, y));
    FreeRegion();
    return true;
}

// --- handle dragging ---

std::unique_ptr<TFigure> TRectangle::CreateGhost() const {
    // The ghost is a plain rectangle whatever class this is.
    std::unique_ptr<TRectangle> ghost =
        AsRectangle(NewFigure(TRectangle::StaticClass(), nullptr, nullptr, false));
    ghost->SetCorners(Corners());
    ghost->FDiagonal = FDiagonal;
    ghost->FPenWidth = 1;
    ghost->FPenColor = kRubberGreen;
    ghost->FPenStyle = static_cast<int>(TPenStyle::psSolid);
    ghost->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    ghost->FRotCentre = FRotCentre;
    return ghost;
}

void TRectangle::GhostDrag(TModPoint* handle, double x, double y, TFigure* ghost) {
    if (!handle || !ghost || ghost == this) return;
    const TRectangleCorners c = Corners();
    const TRectangleCorners moved =
        DragRectangleCorners(c.data(), handle->Index, DoublePoint(x, y), FDiagonal);
    for (int i = 0; i < 4; ++i)
        ghost->SetPoint(i + 1, moved[static_cast<std::size_t>(i)]);
    ghost->FreeRegion();
}

void TRectangle::ApplyDrag(TModPoint* handle, int, double x, double y, TFigure* ghost) {
    if (!handle) return;
    TRectangleCorners moved;
    if (ghost) {
        for (int i = 0; i < 4; ++i)
            moved[static_cast<std::size_t>(i)] = ghost->GetPoint(i + 1);
    } else {
        const TRectangleCorners c = Corners();
        moved = DragRectangleCorners(c.data(), handle->Index, DoublePoint(x, y), FDiagonal);
    }
    for (int i = 0; i < 4; ++i)
        SetPoint(i + 1, moved[static_cast<std::size_t>(i)]);
    FreeRegion();
    FChanged = true;
}

// --- user-drawn rectangle ---

const TFigureClass& TUserRectangle::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c = MakeFigureClass<TUserRectangle>(QStringLiteral("TUserRectangle"),
                                                         static_cast<int>(TShapeKind::Quad));
        c.CreateRubber = &TRectangle::CreateRectangleRubber;
        c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
            std::unique_ptr<TFigure> rectangle =
                CommitRectangle(TUserRectangle::StaticClass(), document, layer, rubber);
            if (rectangle && document) rectangle->FCName = document->UserFigureName();
            return rectangle;
        };
        return c;
    }();
    return cls;
}

const TFigureClass& TUserRectangle::Class() const {
    return StaticClass();
}

QString TUserRectangle::GetTypeName() const {
    return QStringLiteral("UserRectangle");
}

void TUserRectangle::Draw(TFigureEngine& engine, bool grayed) {
    if (!OfferUserDraw(engine, grayed)) TRectangle::Draw(engine, grayed);
}

bool TUserRectangle::HitTest(double x, double y) {
    if (const std::optional<bool> decided = OfferUserHitTest(x, y)) return *decided;
    return TRectangle::HitTest(x, y);
}
