#include "model/Arc.h"

#include "model/Bezier.h"
#include "model/FigureCopy.h"
#include "model/FigureDocument.h"
#include "model/FigureEngine.h"
#include "model/Geometry.h"
#include "model/Line.h"
#include "model/ModPoint.h"
#include "model/PopupMenu.h"
#include "model/RoundGeometry.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace {
constexpr double Pi = std::numbers::pi;
constexpr TColor kHandleBlue = 0xFF0000;
constexpr TColor kHandleRed = 0x0000FF;
constexpr TColor kRubberGreen = 0x00FF00;
constexpr std::uint8_t kCentreHandleKind = 0;
constexpr std::uint8_t kArcHandleKind = 8;
constexpr std::uint8_t kPlusShape = 2;
constexpr double kArrowHalfWidth = 1.2;
constexpr double kArrowLength = 3.5;

constexpr std::uint8_t kTagBrushStyle = 90;
constexpr std::uint8_t kTagArcStyle = 91;
constexpr std::uint8_t kTagBrushColor = 20;
constexpr std::uint8_t kTagLegacyRadius = 21;
constexpr std::uint8_t kTagStartAngle = 220;
constexpr std::uint8_t kTagEndAngle = 221;
constexpr std::uint8_t kTagRadius = 222;

template <typename T> std::unique_ptr<T> As(std::unique_ptr<TFigure> figure) {
    return std::unique_ptr<T>(static_cast<T*>(figure.release()));
}
} // namespace

// --- TRoundArc ---

void TRoundArc::SetArcStyle(TArcStyle style) {
    FArcStyle = style;
    FreeRegion();
    FChanged = true;
}

void TRoundArc::SetArcAngles(double start, double end) {
    FStartAngle = start;
    FEndAngle = end;
    ArcGeometryChanged();
}

void TRoundArc::InvertArc() {
    std::swap(FStartAngle, FEndAngle);
    ArcGeometryChanged();
}

bool TRoundArc::ContainsAngle(double angle) const { return AngleOnArc(FStartAngle, FEndAngle, angle); }

double TRoundArc::MiddleArcAngle() const { return MiddleAngle(FStartAngle, FEndAngle); }

void TRoundArc::PrepareArc() {
    if (FStartAngle != 0 || FEndAngle != 0 || static_cast<int>(FPoints.size()) < 3) return;
    // Points the angles put there themselves say nothing new (and measuring
    // them again would add the rounding of their 4 decimals).
    const TDoublePoint expected = ArcEndPoint(0);
    const TDoublePoint start = GetPoint(2), end = GetPoint(3);
    if (start.X == expected.X && start.Y == expected.Y && end.X == expected.X && end.Y == expected.Y) return;
    TakeAnglesFromPoints();
}

void TRoundArc::SyncArcPoints() {
    FStartAngle = NormalAngle(FStartAngle);
    FEndAngle = NormalAngle(FEndAngle);
    UpdateArcPoints();
}

void TRoundArc::ArcGeometryChanged() {
    SyncArcPoints();
    FreeRegion();
    FChanged = true;
}

void TRoundArc::AddSizedHandle(std::uint8_t kind, int index, const TDoublePoint& p, double size, TColor color,
                               std::uint8_t shape) {
    if (TModPoint* handle = NewHandle(kind, index, p.X, p.Y, color, shape)) handle->Size = size;
}

bool TRoundArc::SetArcProperty(const TTaggedItem& item) {
    switch (item.Kind) {
    case TTagPayload::Byte:
        if (item.Tag == kTagBrushStyle) FBrushStyle = item.AsByte() == 0xFF ? -1 : item.AsByte();
        else if (item.Tag == kTagArcStyle) FArcStyle = ClampEnum<TArcStyle>(item.AsByte());
        else return false;
        return true;
    case TTagPayload::Int32:
        if (item.Tag != kTagBrushColor) return false;
        FBrushColor = item.AsInt();
        return true;
    case TTagPayload::Double:
        if (item.Tag == kTagStartAngle) FStartAngle = item.AsDouble();
        else if (item.Tag == kTagEndAngle) FEndAngle = item.AsDouble();
        else return false;
        return true;
    default:
        return false;
    }
}

void TRoundArc::AddPopupItems(TPopupMenuBuilder& menu, int& nextTag) {
    FPopupTag = nextTag;
    menu.AddItem(QStringLiteral("Bogen öffnen"), nextTag + 0, FArcStyle == TArcStyle::asOpen);
    menu.AddItem(QStringLiteral("Pie Arc"), nextTag + 1, FArcStyle == TArcStyle::asPie);
    menu.AddItem(QStringLiteral("fmChordArc"), nextTag + 2, FArcStyle == TArcStyle::asChord);
    menu.AddItem(QStringLiteral("Bogen invertieren"), nextTag + 3);
    nextTag += kPopupItemCount;
}

void TRoundArc::PopupItemClicked(int tag) {
    switch (tag - FPopupTag) {
    case 0: SetArcStyle(TArcStyle::asOpen); break;
    case 1: SetArcStyle(TArcStyle::asPie); break;
    case 2: SetArcStyle(TArcStyle::asChord); break;
    case 3: InvertArc(); break;
    default: break;
    }
}

// --- TArc: class ---

const TFigureClass& TArc::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c = MakeFigureClass<TArc>(QStringLiteral("TArc"), static_cast<int>(TShapeKind::Custom));
        c.CreateRubber = &TArc::CreateArcRubber;
        c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
            return CommitArc(TArc::StaticClass(), document, layer, rubber);
        };
        return c;
    }();
    return cls;
}

const TFigureClass& TArc::Class() const { return StaticClass(); }

std::unique_ptr<TArc> TArc::Create(TLayer* layer, TFigureDocument* document, bool persistent,
                                   const TDoublePoint& centre, double radius, double startAngle, double endAngle,
                                   TArcStyle style, int penWidth, TColor penColor, int penStyle, TColor brushColor,
                                   int brushStyle) {
    std::unique_ptr<TArc> arc = As<TArc>(NewFigure(StaticClass(), layer, document, persistent));
    arc->FPenWidth = penWidth;
    arc->FPenColor = penColor;
    arc->FPenStyle = penStyle;
    arc->FBrushColor = brushColor;
    arc->FBrushStyle = brushStyle;
    arc->FArcStyle = style;
    arc->SetArc(centre, radius, startAngle, endAngle);
    arc->FOrgPoints = arc->FPoints;
    return arc;
}

void TArc::SetArc(const TDoublePoint& centre, double radius, double startAngle, double endAngle) {
    SetPoint(1, centre);
    FRadius = std::abs(radius);
    SetArcAngles(startAngle, endAngle);
}

TDoublePoint TArc::ArcEndPoint(double angle) const {
    const double r = std::abs(FRadius);
    return TruncPoint4(EllipsePoint(Centre(), r, r, 0, angle));
}

void TArc::UpdateArcPoints() {
    SetPoint(2, ArcEndPoint(FStartAngle));
    SetPoint(3, ArcEndPoint(FEndAngle));
}

void TArc::TakeAnglesFromPoints() {
    const TDoublePoint c = Centre();
    FStartAngle = AngleOf(c, GetPoint(2));
    FEndAngle = AngleOf(c, GetPoint(3));
}

void TArc::Initialize() {
    TRoundArc::Initialize();
    FPointCount = 3;
    FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    FArcStyle = TArcStyle::asOpen;
    FStartAngle = 0;
    FEndAngle = 0;
}

QString TArc::GetTypeName() const { return QStringLiteral("Arc"); }

// --- drawing ---

TDoublePointArr TArc::BuildArcPath() const {
    const double r = std::abs(FRadius);
    return ArcBezierPath(Centre(), FStartAngle, FEndAngle, r, r, 0, FArcStyle);
}

void TArc::Draw(TFigureEngine& engine, bool grayed) {
    PrepareArc();
    // The drawn end points are the stored points 2 and 3.
    SyncArcPoints();
    if (!(FRadius != 0)) return;
    // Only pie and chord arcs are closed, and only they are filled.
    const bool closed = FArcStyle != TArcStyle::asOpen;
    const TBrushStyle fill = closed ? RoundFillStyle(*this) : TBrushStyle::bsClear;
    engine.SetPenMode(FPersistent ? TPenMode::pmCopy : TPenMode::pmXor);
    engine.DrawBezierPath(BuildArcPath(), kArrowHalfWidth, kArrowLength, RowStyle(), &FRegion, nullptr, FInCombined,
                          closed, fill, RoundBrushColor(*this, grayed), PenStyle(), FPenWidth,
                          RoundPenColor(*this, grayed));
}

// --- geometry ---

bool TArc::HitTest(double x, double y) {
    PrepareArc();
    if (TFigure::HitTest(x, y)) return true;
    const TDoublePoint c = Centre();
    const TDoublePoint p = DoublePoint(x, y);
    const double r = std::abs(FRadius);
    if (HitCircle(r, c, p) && ContainsAngle(AngleOf(c, p))) return true;
    // The straight edges of pie and chord arcs.
    if (FArcStyle != TArcStyle::asOpen && r > 0 && HitEllipseArc(c, FStartAngle, FEndAngle, FArcStyle, r, r, p))
        return true;
    if (RoundHasNoFill(*this) || (FArcStyle == TArcStyle::asOpen && !IsFullTurn())) return false;
    return HitRegion(x, y);
}

void TArc::GetBounds(double& maxX, double& maxY, double& minX, double& minY) const {
    const double r = std::abs(FRadius);
    const TDoubleRect b = ArcBounds(Centre(), FStartAngle, FEndAngle, FArcStyle, r, r);
    maxX = b.Right;
    maxY = b.Bottom;
    minX = b.Left;
    minY = b.Top;
}

void TArc::Rotate(const TDoublePoint& centre, double angle) {
    PrepareArc();
    // Each rotation starts from the current points, so the angles turn by angle.
    FChanged = true;
    TFigure::Rotate(centre, angle);
    FStartAngle += angle;
    FEndAngle += angle;
    ArcGeometryChanged();
}

void TArc::Mirror(const TDoublePoint& a, const TDoublePoint& b) {
    PrepareArc();
    TFigure::Mirror(a, b);
    // The mirrored angles, then inverted: the arc keeps running counter-clockwise.
    const double axis = 2 * MirrorAxisAngle(a, b);
    const double start = axis - FEndAngle;
    const double end = axis - FStartAngle;
    FStartAngle = start;
    FEndAngle = end;
    ArcGeometryChanged();
}

void TArc::Scale(const TDoublePoint& origin, double sx, double sy) {
    PrepareArc();
    const TDoublePoint c = Centre();
    const double r = std::abs(FRadius);
    const TDoublePoint start = EllipsePoint(c, r, r, 0, FStartAngle);
    const TDoublePoint end = EllipsePoint(c, r, r, 0, FEndAngle);
    const bool full = IsFullTurn();
    TFigure::Scale(origin, sx, sy);
    FRadius = std::abs(FRadius);
    // The angles of the scaled end points; a negative factor mirrors the arc,
    // which then runs the other way round.
    const TDoublePoint centre = Centre();
    FStartAngle = AngleOf(centre, ScalePoint(origin, start, sx, sy));
    FEndAngle = full ? FStartAngle : AngleOf(centre, ScalePoint(origin, end, sx, sy));
    if (sx * sy < 0) std::swap(FStartAngle, FEndAngle);
    ArcGeometryChanged();
}

void TArc::ApplyZeroOrigin(TVertZero vertZero, THorzZero horzZero) {
    if (!FDrawing) return;
    PrepareArc();
    const bool flipY = static_cast<std::uint8_t>(vertZero) != FVertZero;
    const bool flipX = static_cast<std::uint8_t>(horzZero) != FHorzZero;
    TFigure::ApplyZeroOrigin(vertZero, horzZero);
    if (flipY) {
        FStartAngle = 2 * Pi - FStartAngle;
        FEndAngle = 2 * Pi - FEndAngle;
        std::swap(FStartAngle, FEndAngle);
    }
    if (flipX) {
        FStartAngle = Pi - FStartAngle;
        FEndAngle = Pi - FEndAngle;
        std::swap(FStartAngle, FEndAngle);
    }
    ArcGeometryChanged();
}

// --- handles ---

void TArc::AddHandles() {
    PrepareArc();
    SyncArcPoints();
    const TDoublePoint c = Centre();
    const double r = std::abs(FRadius);
    if (r == 0) {
        AddSizedHandle(kArcHandleKind, 4, DoublePoint(c.X + r, c.Y), 2, kHandleRed, HandleShape::RotateArrow);
        return;
    }
    AddSizedHandle(kCentreHandleKind, 1, c, 3, kHandleBlue, kPlusShape);
    AddSizedHandle(kArcHandleKind, 2, GetPoint(2), 3, kHandleBlue, HandleShape::Square);
    AddSizedHandle(kArcHandleKind, 3, GetPoint(3), 3, kHandleBlue, HandleShape::Square);
    AddSizedHandle(kArcHandleKind, 4, EllipsePoint(c, r, r, 0, MiddleArcAngle()), 2, kHandleRed,
                   HandleShape::RotateArrow);
}

void TArc::DragHandle(TArc& target, const TModPoint& handle, double x, double y) {
    if (handle.Kind != kArcHandleKind) return;
    const TDoublePoint c = target.Centre();
    const TDoublePoint mouse = DoublePoint(x, y);
    switch (handle.Index) {
    case 2: target.FStartAngle = AngleOf(c, mouse); break;
    case 3: target.FEndAngle = AngleOf(c, mouse); break;
    case 4: target.FRadius = std::hypot(x - c.X, y - c.Y); break;
    default: return;
    }
    target.ArcGeometryChanged();
}

std::unique_ptr<TFigure> TArc::CreateGhost() const {
    std::unique_ptr<TArc> ghost = As<TArc>(NewFigure(TArc::StaticClass(), nullptr, nullptr, false));
    ghost->FArcStyle = FArcStyle;
    ghost->SetArc(Centre(), FRadius, FStartAngle, FEndAngle);
    ghost->FPenWidth = 1;
    ghost->FPenColor = kRubberGreen;
    ghost->FPenStyle = static_cast<int>(TPenStyle::psSolid);
    ghost->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    ghost->FRotCentre = FRotCentre;
    return ghost;
}

void TArc::GhostDrag(TModPoint* handle, double x, double y, TFigure* ghost) {
    auto* target = dynamic_cast<TArc*>(ghost);
    if (!handle || !target || ghost == this) return;
    DragHandle(*target, *handle, x, y);
}

void TArc::ApplyDrag(TModPoint* handle, int, double x, double y, TFigure*) {
    if (!handle) return;
    PrepareArc();
    DragHandle(*this, *handle, x, y);
    FreeRegion();
    FChanged = true;
}

// --- derived figures ---

std::unique_ptr<TArc> TArc::SameKindOfArc() const {
    std::unique_ptr<TArc> arc = As<TArc>(NewFigure(Class(), FLayer, FDrawing, true));
    CopyRoundAttributes(*this, *arc);
    arc->FArcStyle = FArcStyle;
    return arc;
}

std::unique_ptr<TFigure> TArc::CreateOffsetFigure(double distance) {
    PrepareArc();
    const double s = FVertZero == static_cast<std::uint8_t>(TVertZero::vzTop) ? distance : -distance;
    const double radius = std::abs(FRadius) - s;
    if (!(radius > 0)) return nullptr;
    std::unique_ptr<TArc> arc = SameKindOfArc();
    arc->SetArc(Centre(), radius, FStartAngle, FEndAngle);
    arc->FOrgPoints = arc->FPoints;
    return arc;
}

std::unique_ptr<TFigure> TArc::ConvertToBezier() {
    PrepareArc();
    const double r = std::abs(FRadius);
    if (!(r > 0)) return nullptr;
    const TDoublePointArr points = ArcBezierPath(Centre(), FStartAngle, FEndAngle, r, r, 0, TArcStyle::asOpen);
    if (points.empty()) return nullptr;
    return MakeBezierPolyline(points, *this, false);
}

bool TArc::IntersectLine(const TDoublePoint& a, const TDoublePoint& b, TDoublePointArr& points) {
    PrepareArc();
    const TDoublePoint c = Centre();
    const double r = std::abs(FRadius);
    bool found = false;
    for (const TDoublePoint& p : SegmentEllipseCrossings(c, r, r, 0, a, b)) {
        if (!ContainsAngle(AngleOf(c, p))) continue;
        points.push_back(p);
        found = true;
    }
    return found;
}

bool TArc::SplitAtPoint(const TDoublePoint& p, std::vector<TFigure*>& list) {
    PrepareArc();
    SyncArcPoints();
    const TDoublePoint c = Centre();
    const double r = std::abs(FRadius);
    if (!(r > 0) || !PointOnEllipse(c, r, r, 0, p, kRoundSplitTolerance)) return false;
    const double angle = AngleOf(c, p);
    if (!ContainsAngle(angle)) return false;
    // A cut at an end would leave a piece without length.
    if (SamePoint(p, GetPoint(2)) || SamePoint(p, GetPoint(3))) return false;
    std::unique_ptr<TArc> first = SameKindOfArc();
    first->SetArc(c, r, FStartAngle, angle);
    first->FOrgPoints = first->FPoints;
    std::unique_ptr<TArc> second = SameKindOfArc();
    second->SetArc(c, r, angle, FEndAngle);
    second->FOrgPoints = second->FPoints;
    list.push_back(first.release());
    list.push_back(second.release());
    return true;
}

std::unique_ptr<TFigure> TArc::Clone() const {
    std::unique_ptr<TArc> copy = As<TArc>(NewFigure(Class(), FLayer, FDrawing, true));
    CopyFigureState(*this, *copy);
    copy->FArcStyle = FArcStyle;
    copy->FStartAngle = FStartAngle;
    copy->FEndAngle = FEndAngle;
    return copy;
}

// --- persistence ---

void TArc::SetProperty(const TTaggedItem& item) {
    if (SetArcProperty(item)) return;
    if (item.Kind == TTagPayload::Int32 && item.Tag == kTagLegacyRadius) FRadius = item.AsInt() / 10.0;
    else if (item.Kind == TTagPayload::Double && item.Tag == kTagRadius) FRadius = item.AsDouble();
}

void TArc::ReadExtra(TStream& stream) {
    TFigure::ReadExtra(stream);
    SetPointCount(3);
    PrepareArc();
    FRadius = std::abs(FRadius);
    ArcGeometryChanged();
}

void TArc::SaveToStream(TStream& stream) const {
    TFigure::SaveToStream(stream);
    WriteTaggedByte(kTagBrushStyle, stream, static_cast<std::uint8_t>(FBrushStyle));
    WriteTaggedByte(kTagArcStyle, stream, static_cast<std::uint8_t>(FArcStyle));
    WriteTaggedInt(kTagBrushColor, stream, FBrushColor);
    WriteTaggedDouble(kTagRadius, stream, FRadius);
    WriteTaggedDouble(kTagStartAngle, stream, FStartAngle);
    WriteTaggedDouble(kTagEndAngle, stream, FEndAngle);
}

// --- interactive creation ---

std::unique_ptr<TFigure> TArc::CreateArcRubber(const TFigureClass&, double x, double y) {
    std::unique_ptr<TArc> rubber = As<TArc>(NewFigure(TArc::StaticClass(), nullptr, nullptr, false));
    rubber->SetArc(DoublePoint(x, y), 0, 0, 0);
    rubber->FPenWidth = 1;
    rubber->FPenColor = kRubberGreen;
    rubber->FPenStyle = static_cast<int>(TPenStyle::psDash);
    rubber->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    return rubber;
}

std::unique_ptr<TFigure> TArc::CommitArc(const TFigureClass& cls, TFigureDocument* document, TLayer* layer,
                                         TFigure* rubber) {
    const auto* source = dynamic_cast<const TArc*>(rubber);
    if (!source) return nullptr;
    const TFigureDefaults defaults = document ? document->Defaults() : TFigureDefaults{};
    std::unique_ptr<TArc> arc = As<TArc>(NewFigure(cls, layer, document, true));
    arc->FArcStyle = defaults.ArcStyle;
    arc->SetArc(source->Centre(), source->FRadius, source->FStartAngle, source->FEndAngle);
    arc->FOrgPoints = arc->FPoints;
    arc->FPenWidth = defaults.PenWidth;
    arc->FPenColor = defaults.PenColor;
    arc->FPenStyle = static_cast<int>(defaults.PenStyle);
    arc->FBrushColor = defaults.BrushColor;
    arc->FBrushStyle = static_cast<int>(defaults.BrushStyle);
    return arc;
}

void TArc::RubberMove(int clickNo, double x, double y) {
    const TDoublePoint c = Centre();
    const double angle = AngleOf(c, DoublePoint(x, y));
    if (clickNo == 1) {
        FRadius = std::hypot(x - c.X, y - c.Y);
        FStartAngle = FEndAngle = angle;
    } else if (clickNo == 2) {
        FEndAngle = angle;
    } else {
        return;
    }
    ArcGeometryChanged();
}

bool TArc::RubberClick(int clickNo, double x, double y) {
    if (clickNo < 2) return false;
    RubberMove(clickNo - 1, x, y);
    return clickNo >= 3;
}

// --- user-drawn arc ---

const TFigureClass& TUserArc::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c = MakeFigureClass<TUserArc>(QStringLiteral("TUserArc"), static_cast<int>(TShapeKind::Custom));
        c.CreateRubber = &TArc::CreateArcRubber;
        c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
            std::unique_ptr<TFigure> arc = CommitArc(TUserArc::StaticClass(), document, layer, rubber);
            if (arc && document) arc->FCName = document->UserFigureName();
            return arc;
        };
        return c;
    }();
    return cls;
}

const TFigureClass& TUserArc::Class() const { return StaticClass(); }

QString TUserArc::GetTypeName() const { return QStringLiteral("UserArc"); }

void TUserArc::Draw(TFigureEngine& engine, bool grayed) {
    if (!OfferUserDraw(engine, grayed)) TArc::Draw(engine, grayed);
}

bool TUserArc::HitTest(double x, double y) {
    if (const std::optional<bool> decided = OfferUserHitTest(x, y)) return *decided;
    return TArc::HitTest(x, y);
}
