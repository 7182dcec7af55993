#include "model/Circle.h"

#include "model/Arc.h"
#include "model/Bezier.h"
#include "model/Ellipse.h"
#include "model/FigureCopy.h"
#include "model/FigureDocument.h"
#include "model/FigureEngine.h"
#include "model/Geometry.h"
#include "model/Line.h"
#include "model/ModPoint.h"
#include "model/Pattern.h"
#include "model/RoundGeometry.h"

#include <cmath>
#include <numbers>

namespace {
constexpr TColor kRubberGreen = 0x00FF00;
constexpr TColor kCentreMarkRed = 0x0000FF;
constexpr double kCentreMarkSize = 3.0;

constexpr std::uint8_t kTagBrushStyle = 90;
constexpr std::uint8_t kTagBrushColor = 20;
constexpr std::uint8_t kTagLegacyRadius = 21;
constexpr std::uint8_t kTagRadius = 220;

template <typename T> std::unique_ptr<T> As(std::unique_ptr<TFigure> figure) {
    return std::unique_ptr<T>(static_cast<T*>(figure.release()));
}
} // namespace

// --- class ---

const TFigureClass& TCircle::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c = MakeFigureClass<TCircle>(QStringLiteral("TCircle"), static_cast<int>(TShapeKind::Circle));
        c.CreateRubber = &TCircle::CreateCircleRubber;
        c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
            return CommitCircle(TCircle::StaticClass(), document, layer, rubber);
        };
        return c;
    }();
    return cls;
}

const TFigureClass& TCircle::Class() const { return StaticClass(); }

std::unique_ptr<TCircle> TCircle::Create(TLayer* layer, TFigureDocument* document, bool persistent,
                                         const TDoublePoint& centre, double radius, int penWidth, TColor penColor,
                                         int penStyle, TColor brushColor, int brushStyle) {
    std::unique_ptr<TCircle> circle = As<TCircle>(NewFigure(StaticClass(), layer, document, persistent));
    circle->FPenWidth = penWidth;
    circle->FPenColor = penColor;
    circle->FPenStyle = penStyle;
    circle->FBrushColor = brushColor;
    circle->FBrushStyle = brushStyle;
    circle->SetCircle(centre, radius);
    circle->FOrgPoints = circle->FPoints;
    return circle;
}

void TCircle::SetCircle(const TDoublePoint& centre, double radius) {
    SetPoint(1, centre);
    FRadius = std::abs(radius);
    FreeRegion();
}

void TCircle::Initialize() {
    TFigure::Initialize();
    FPointCount = 1;
    FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
}

QString TCircle::GetTypeName() const { return QStringLiteral("Circle"); }

const TFigureClass& TCircle::EllipseClass() const { return TEllipse::StaticClass(); }
const TFigureClass& TCircle::ArcClass() const { return TArc::StaticClass(); }

// --- drawing ---

void TCircle::Draw(TFigureEngine& engine, bool grayed) {
    // A circle without size draws nothing.
    if (!(FRadius != 0)) return;
    engine.SetPenMode(FPersistent ? TPenMode::pmCopy : TPenMode::pmXor);
    engine.PaintCircle(Centre(), std::abs(FRadius), RoundPenColor(*this, grayed), PenStyle(), FPenWidth,
                       RoundFillStyle(*this), RoundBrushColor(*this, grayed), FRegion);
}

void TCircle::DrawExtras(TFigureEngine& engine) {
    TFigure::DrawExtras(engine);
    engine.DrawMarker(HandleShape::Square, kCentreMarkRed, false, kCentreMarkSize, Centre());
}

// --- geometry ---

bool TCircle::HitTest(double x, double y) {
    if (FRegionHit && HitRegion(x, y)) return true;
    if (HitCircle(FRadius, Centre(), DoublePoint(x, y))) return true;
    return !RoundHasNoFill(*this) && HitRegion(x, y);
}

void TCircle::GetBounds(double& maxX, double& maxY, double& minX, double& minY) const {
    const TDoublePoint c = Centre();
    const double r = std::abs(FRadius);
    maxX = c.X + r;
    maxY = c.Y + r;
    minX = c.X - r;
    minY = c.Y - r;
}

void TCircle::Scale(const TDoublePoint& origin, double sx, double sy) {
    if (std::abs(sx) != std::abs(sy) && FDrawing) {
        // Uneven factors make an ellipse of it, in the circle's place.
        std::unique_ptr<TEllipse> ellipse = As<TEllipse>(NewFigure(EllipseClass(), FLayer, FDrawing, true));
        CopyRoundAttributes(*this, *ellipse);
        const double r = std::abs(FRadius);
        ellipse->SetEllipse(Centre(), r, r, 0);
        ellipse->FOrgPoints = ellipse->FPoints;
        ellipse->Scale(origin, sx, sy);
        // The document keeps this circle alive for undo; nothing here may change it.
        if (FDrawing->ReplaceFigure(this, std::move(ellipse))) return;
    }
    TFigure::Scale(origin, sx, sy);
    FRadius = std::abs(FRadius);
}

std::unique_ptr<TFigure> TCircle::CreateOffsetFigure(double distance) {
    const double s = FVertZero == static_cast<std::uint8_t>(TVertZero::vzTop) ? distance : -distance;
    const double radius = std::abs(FRadius) - s;
    if (!(radius > 0)) return nullptr;
    std::unique_ptr<TCircle> circle = As<TCircle>(NewFigure(Class(), FLayer, FDrawing, true));
    CopyRoundAttributes(*this, *circle);
    circle->SetCircle(Centre(), radius);
    circle->FOrgPoints = circle->FPoints;
    return circle;
}

std::unique_ptr<TFigure> TCircle::ConvertToBezier() {
    const double r = std::abs(FRadius);
    if (!(r > 0)) return nullptr;
    const TDoublePoint c = Centre();
    TDoublePointArr points;
    for (const T2DPoint& q : EllipseArcToBezier(2 * std::numbers::pi, 0, r, r, 0, c.X, c.Y))
        points.push_back(DoublePoint(q.X, q.Y));
    return MakeBezierPolyline(points, *this, true);
}

void TCircle::CollectVectors(std::vector<TVectorObject>& list, const TDoublePoint& origin) {
    const TDoublePoint c = Centre();
    list.push_back(
        {TVectorObject::Circle, {DoublePoint(c.X - origin.X, c.Y - origin.Y), DoublePoint(std::abs(FRadius), 0)}});
}

bool TCircle::IntersectLine(const TDoublePoint& a, const TDoublePoint& b, TDoublePointArr& points) {
    const double r = std::abs(FRadius);
    const TDoublePointArr crossings = SegmentEllipseCrossings(Centre(), r, r, 0, a, b);
    points.insert(points.end(), crossings.begin(), crossings.end());
    return !crossings.empty();
}

bool TCircle::SplitAtPoint(const TDoublePoint& p, std::vector<TFigure*>& list) {
    const double r = std::abs(FRadius);
    const TDoublePoint c = Centre();
    if (!(r > 0) || !PointOnEllipse(c, r, r, 0, p, kRoundSplitTolerance)) return false;
    // One arc from p all the way round to p.
    const double angle = AngleOf(c, p);
    std::unique_ptr<TArc> arc = As<TArc>(NewFigure(ArcClass(), FLayer, FDrawing, true));
    CopyRoundAttributes(*this, *arc);
    arc->FArcStyle = TArcStyle::asOpen;
    arc->SetArc(c, r, angle, angle);
    arc->FOrgPoints = arc->FPoints;
    list.push_back(arc.release());
    return true;
}

std::unique_ptr<TFigure> TCircle::Clone() const {
    std::unique_ptr<TFigure> copy = NewFigure(Class(), FLayer, FDrawing, true);
    CopyFigureState(*this, *copy);
    return copy;
}

// --- dragging ---

std::unique_ptr<TFigure> TCircle::CreateGhost() const {
    std::unique_ptr<TCircle> ghost = As<TCircle>(NewFigure(TCircle::StaticClass(), nullptr, nullptr, false));
    ghost->SetCircle(Centre(), FRadius);
    ghost->FPenWidth = 1;
    ghost->FPenColor = kRubberGreen;
    ghost->FPenStyle = static_cast<int>(TPenStyle::psSolid);
    ghost->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    ghost->FRotCentre = FRotCentre;
    return ghost;
}

void TCircle::ApplyDrag(TModPoint* handle, int, double x, double y, TFigure* ghost) {
    if (!handle) return;
    // The ghost followed the mouse with its radius (base GhostDrag).
    FRadius = ghost ? std::abs(ghost->FRadius) : std::hypot(x - Centre().X, y - Centre().Y);
    FreeRegion();
    FChanged = true;
}

// --- persistence ---

void TCircle::SetProperty(const TTaggedItem& item) {
    switch (item.Kind) {
    case TTagPayload::Byte:
        if (item.Tag == kTagBrushStyle) FBrushStyle = item.AsByte() == 0xFF ? -1 : item.AsByte();
        break;
    case TTagPayload::Int32:
        if (item.Tag == kTagBrushColor) FBrushColor = item.AsInt();
        else if (item.Tag == kTagLegacyRadius) FRadius = item.AsInt() / 10.0;
        break;
    case TTagPayload::Double:
        if (item.Tag == kTagRadius) FRadius = item.AsDouble();
        break;
    default:
        break;
    }
}

void TCircle::SaveToStream(TStream& stream) const {
    TFigure::SaveToStream(stream);
    WriteTaggedByte(kTagBrushStyle, stream, static_cast<std::uint8_t>(FBrushStyle));
    WriteTaggedInt(kTagBrushColor, stream, FBrushColor);
    WriteTaggedDouble(kTagRadius, stream, FRadius);
}

// --- interactive creation ---

std::unique_ptr<TFigure> TCircle::CreateCircleRubber(const TFigureClass&, double x, double y) {
    std::unique_ptr<TCircle> rubber = As<TCircle>(NewFigure(TCircle::StaticClass(), nullptr, nullptr, false));
    rubber->SetCircle(DoublePoint(x, y), 0);
    rubber->FPenWidth = 1;
    rubber->FPenColor = kRubberGreen;
    rubber->FPenStyle = static_cast<int>(TPenStyle::psDash);
    rubber->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    return rubber;
}

std::unique_ptr<TFigure> TCircle::CommitCircle(const TFigureClass& cls, TFigureDocument* document, TLayer* layer,
                                               TFigure* rubber) {
    if (!rubber) return nullptr;
    const TFigureDefaults defaults = document ? document->Defaults() : TFigureDefaults{};
    std::unique_ptr<TCircle> circle = As<TCircle>(NewFigure(cls, layer, document, true));
    circle->SetCircle(rubber->GetPoint(1), rubber->FRadius);
    circle->FOrgPoints = circle->FPoints;
    circle->FPenWidth = defaults.PenWidth;
    circle->FPenColor = defaults.PenColor;
    circle->FPenStyle = static_cast<int>(defaults.PenStyle);
    circle->FBrushColor = defaults.BrushColor;
    circle->FBrushStyle = static_cast<int>(defaults.BrushStyle);
    return circle;
}

void TCircle::RubberMove(int clickNo, double x, double y) {
    if (clickNo != 1) return;
    FRadius = std::hypot(x - Centre().X, y - Centre().Y);
    FreeRegion();
}

bool TCircle::RubberClick(int clickNo, double x, double y) {
    if (clickNo < 2) return false;
    FRadius = std::hypot(x - Centre().X, y - Centre().Y);
    FreeRegion();
    return true;
}

// --- user-drawn circle ---

const TFigureClass& TUserCircle::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c =
            MakeFigureClass<TUserCircle>(QStringLiteral("TUserCircle"), static_cast<int>(TShapeKind::Circle));
        c.CreateRubber = &TCircle::CreateCircleRubber;
        c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
            std::unique_ptr<TFigure> circle = CommitCircle(TUserCircle::StaticClass(), document, layer, rubber);
            if (circle && document) circle->FCName = document->UserFigureName();
            return circle;
        };
        return c;
    }();
    return cls;
}

const TFigureClass& TUserCircle::Class() const { return StaticClass(); }

QString TUserCircle::GetTypeName() const { return QStringLiteral("UserCircle"); }

const TFigureClass& TUserCircle::EllipseClass() const { return TUserEllipse::StaticClass(); }
const TFigureClass& TUserCircle::ArcClass() const { return TUserArc::StaticClass(); }

void TUserCircle::Draw(TFigureEngine& engine, bool grayed) {
    if (!OfferUserDraw(engine, grayed)) TCircle::Draw(engine, grayed);
}

bool TUserCircle::HitTest(double x, double y) {
    if (const std::optional<bool> decided = OfferUserHitTest(x, y)) return *decided;
    return TCircle::HitTest(x, y);
}
