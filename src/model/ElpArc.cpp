#include "model/ElpArc.h"

#include "model/Bezier.h"
#include "model/FigureCopy.h"
#include "model/FigureDocument.h"
#include "model/FigureEngine.h"
#include "model/Geometry.h"
#include "model/Line.h"
#include "model/ModPoint.h"
#include "model/RoundGeometry.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace {
constexpr double Pi = std::numbers::pi;
constexpr TColor kHandleBlue = 0xFF0000;
constexpr TColor kHandleRed = 0x0000FF;
constexpr TColor kRotateGreen = 0x008000;
constexpr TColor kRubberGreen = 0x00FF00;
constexpr std::uint8_t kCentreHandleKind = 0;
constexpr std::uint8_t kArcHandleKind = 8;
constexpr std::uint8_t kPlusShape = 2;
constexpr double kArrowHalfWidth = 1.2;
constexpr double kArrowLength = 3.5;

constexpr std::uint8_t kTagLegacyRadiusA = 21;
constexpr std::uint8_t kTagLegacyRadiusB = 22;
constexpr std::uint8_t kTagBrushStyle = 90;
constexpr std::uint8_t kTagArcStyle = 91;
constexpr std::uint8_t kTagBrushColor = 20;
constexpr std::uint8_t kTagStartAngle = 220;
constexpr std::uint8_t kTagEndAngle = 221;
constexpr std::uint8_t kTagRadiusA = 222;
constexpr std::uint8_t kTagRadiusB = 223;

template <typename T> std::unique_ptr<T> As(std::unique_ptr<TFigure> figure) {
    return std::unique_ptr<T>(static_cast<T*>(figure.release()));
}
} // namespace

// --- class ---

const TFigureClass& TElpArc::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c = MakeFigureClass<TElpArc>(QStringLiteral("TElpArc"), static_cast<int>(TShapeKind::Custom));
        c.CreateRubber = &TElpArc::CreateElpArcRubber;
        c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
            return CommitElpArc(TElpArc::StaticClass(), document, layer, rubber);
        };
        return c;
    }();
    return cls;
}

const TFigureClass& TElpArc::Class() const { return StaticClass(); }

std::unique_ptr<TElpArc> TElpArc::Create(TLayer* layer, TFigureDocument* document, bool persistent,
                                         const TDoublePoint& centre, double radiusA, double radiusB, double angle,
                                         double startAngle, double endAngle, TArcStyle style, int penWidth,
                                         TColor penColor, int penStyle, TColor brushColor, int brushStyle) {
    std::unique_ptr<TElpArc> arc = As<TElpArc>(NewFigure(StaticClass(), layer, document, persistent));
    arc->FPenWidth = penWidth;
    arc->FPenColor = penColor;
    arc->FPenStyle = penStyle;
    arc->FBrushColor = brushColor;
    arc->FBrushStyle = brushStyle;
    arc->FArcStyle = style;
    arc->SetElpArc(centre, radiusA, radiusB, angle, startAngle, endAngle);
    arc->FOrgPoints = arc->FPoints;
    return arc;
}

void TElpArc::SetElpArc(const TDoublePoint& centre, double radiusA, double radiusB, double angle, double startAngle,
                        double endAngle) {
    SetPoint(1, centre);
    FRadiusA = std::abs(radiusA);
    FRadiusB = std::abs(radiusB);
    FAngle = NormalAngle(angle);
    SetArcAngles(startAngle, endAngle);
}

void TElpArc::SyncAngle() {
    const TDoublePoint c = Centre();
    const TDoublePoint p = GetPoint(4);
    if (static_cast<int>(FPoints.size()) < 4 || (p.X == c.X && p.Y == c.Y)) return;
    // Point 4 where the angle puts it: nothing moved it.
    const TDoublePoint expected = AxisEndA();
    if (p.X == expected.X && p.Y == expected.Y) return;
    FAngle = AngleOf(c, p);
}

TDoublePoint TElpArc::AxisEndA() const {
    const TDoublePoint c = Centre();
    return DoublePoint(c.X + FRadiusA * std::cos(FAngle), c.Y + FRadiusA * std::sin(FAngle));
}

TDoublePoint TElpArc::AxisEndB() const {
    const TDoublePoint c = Centre();
    return DoublePoint(c.X - FRadiusB * std::sin(FAngle), c.Y + FRadiusB * std::cos(FAngle));
}

TDoublePoint TElpArc::AxisEndMinusA() const {
    const TDoublePoint c = Centre();
    return DoublePoint(c.X - FRadiusA * std::cos(FAngle), c.Y - FRadiusA * std::sin(FAngle));
}

TDoublePoint TElpArc::PointAtAngle(double angle) const {
    return EllipsePoint(Centre(), FRadiusA, FRadiusB, FAngle, angle);
}

void TElpArc::UpdateArcPoints() {
    FAngle = NormalAngle(FAngle);
    SetPoint(4, AxisEndA());
    SetPoint(2, ArcEndPoint(FStartAngle));
    SetPoint(3, ArcEndPoint(FEndAngle));
}

TDoublePoint TElpArc::ArcEndPoint(double angle) const { return TruncPoint4(PointAtAngle(angle)); }

void TElpArc::TakeAnglesFromPoints() {
    const TDoublePoint c = Centre();
    FStartAngle = FrameAngle(c, FAngle, GetPoint(2));
    FEndAngle = FrameAngle(c, FAngle, GetPoint(3));
}

void TElpArc::Initialize() {
    TRoundArc::Initialize();
    FPointCount = 4;
    FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    FArcStyle = TArcStyle::asOpen;
    FStartAngle = 0;
    FEndAngle = 0;
    FRadiusA = 0;
    FRadiusB = 0;
}

QString TElpArc::GetTypeName() const { return QStringLiteral("ElpArc"); }

// --- drawing ---

TDoublePointArr TElpArc::BuildArcPath() const {
    return ArcBezierPath(Centre(), FStartAngle, FEndAngle, FRadiusA, FRadiusB, FAngle, FArcStyle);
}

void TElpArc::Draw(TFigureEngine& engine, bool grayed) {
    SyncAngle();
    PrepareArc();
    SyncArcPoints();
    if (!(FRadiusA > 0) && !(FRadiusB > 0)) return;
    // Pie and chord arcs are closed, and so is an open one that goes all the way round.
    const bool closed = FArcStyle != TArcStyle::asOpen || IsFullTurn();
    const TBrushStyle fill = closed ? RoundFillStyle(*this) : TBrushStyle::bsClear;
    engine.SetPenMode(FPersistent ? TPenMode::pmCopy : TPenMode::pmXor);
    engine.DrawBezierPath(BuildArcPath(), kArrowHalfWidth, kArrowLength, RowStyle(), &FRegion, nullptr, FInCombined,
                          closed, fill, RoundBrushColor(*this, grayed), PenStyle(), FPenWidth,
                          RoundPenColor(*this, grayed));
}

// --- geometry ---

bool TElpArc::HitTest(double x, double y) {
    SyncAngle();
    PrepareArc();
    if (TFigure::HitTest(x, y)) return true;
    const TDoublePoint c = Centre();
    const TDoublePoint p = DoublePoint(x, y);
    if (HitEllipse(FAngle, FRadiusA, FRadiusB, c, p) && ContainsAngle(FrameAngle(c, FAngle, p))) return true;
    // The straight edges of pie and chord arcs, tested in the ellipse's frame.
    if (FArcStyle != TArcStyle::asOpen && (FRadiusA > 0 || FRadiusB > 0) &&
        HitEllipseArc(c, FStartAngle, FEndAngle, FArcStyle, FRadiusA, FRadiusB, RotatePoint(c, p, -FAngle)))
        return true;
    if (RoundHasNoFill(*this) || (FArcStyle == TArcStyle::asOpen && !IsFullTurn())) return false;
    return HitRegion(x, y);
}

void TElpArc::GetBounds(double& maxX, double& maxY, double& minX, double& minY) const {
    const TDoubleRect b = ArcBounds(Centre(), FStartAngle, FEndAngle, FArcStyle, FRadiusA, FRadiusB, FAngle);
    maxX = b.Right;
    maxY = b.Bottom;
    minX = b.Left;
    minY = b.Top;
}

void TElpArc::Rotate(const TDoublePoint& centre, double angle) {
    SyncAngle();
    PrepareArc();
    // The frame turns with the figure; the angles in it stay.
    FChanged = true;
    TFigure::Rotate(centre, angle);
    FAngle += angle;
    ArcGeometryChanged();
}

void TElpArc::Mirror(const TDoublePoint& a, const TDoublePoint& b) {
    SyncAngle();
    PrepareArc();
    TFigure::Mirror(a, b);
    // The frame is mirrored: its angles change sign, and the arc is inverted
    // to keep running counter-clockwise.
    FAngle = 2 * MirrorAxisAngle(a, b) - FAngle;
    const double start = -FEndAngle;
    const double end = -FStartAngle;
    FStartAngle = start;
    FEndAngle = end;
    ArcGeometryChanged();
}

void TElpArc::Scale(const TDoublePoint& origin, double sx, double sy) {
    SyncAngle();
    PrepareArc();
    const TDoublePoint start = PointAtAngle(FStartAngle);
    const TDoublePoint end = PointAtAngle(FEndAngle);
    const bool full = IsFullTurn();
    const double cosA = std::cos(FAngle), sinA = std::sin(FAngle);
    TFigure::Scale(origin, sx, sy);
    // The semi-axes and the angle from the scaled axis directions, as an ellipse does.
    const double ax = sx * cosA, ay = sy * sinA;
    const double bx = -sx * sinA, by = sy * cosA;
    FRadiusA *= std::hypot(ax, ay);
    FRadiusB *= std::hypot(bx, by);
    if (ax != 0 || ay != 0) FAngle = NormalAngle(std::atan2(ay, ax));
    // The angles of the scaled end points in the new frame; a negative factor
    // mirrors the arc, which then runs the other way round.
    const TDoublePoint c = Centre();
    FStartAngle = FrameAngle(c, FAngle, ScalePoint(origin, start, sx, sy));
    FEndAngle = full ? FStartAngle : FrameAngle(c, FAngle, ScalePoint(origin, end, sx, sy));
    if (sx * sy < 0) std::swap(FStartAngle, FEndAngle);
    ArcGeometryChanged();
}

void TElpArc::ApplyZeroOrigin(TVertZero vertZero, THorzZero horzZero) {
    if (!FDrawing) return;
    SyncAngle();
    PrepareArc();
    const bool flipY = static_cast<std::uint8_t>(vertZero) != FVertZero;
    const bool flipX = static_cast<std::uint8_t>(horzZero) != FHorzZero;
    TFigure::ApplyZeroOrigin(vertZero, horzZero);
    // Either flip mirrors the frame: the axis turns, and the angles of the
    // frame change sign with the arc inverted.
    const auto mirrorFrame = [this] {
        const double start = -FEndAngle;
        const double end = -FStartAngle;
        FStartAngle = start;
        FEndAngle = end;
    };
    if (flipY) {
        FAngle = -FAngle;
        mirrorFrame();
    }
    if (flipX) {
        FAngle = Pi - FAngle;
        mirrorFrame();
    }
    ArcGeometryChanged();
}

// --- handles ---

void TElpArc::AddHandles() {
    SyncAngle();
    PrepareArc();
    SyncArcPoints();
    const TDoublePoint c = Centre();
    if (FRadiusA == 0 && FRadiusB == 0) {
        AddSizedHandle(kArcHandleKind, 4, DoublePoint(c.X + FRadiusA, c.Y), 2, kHandleRed, HandleShape::RotateArrow);
        return;
    }
    AddSizedHandle(kCentreHandleKind, 1, c, 3, kHandleBlue, kPlusShape);
    AddSizedHandle(kArcHandleKind, 2, GetPoint(2), 3, kHandleBlue, HandleShape::Square);
    AddSizedHandle(kArcHandleKind, 3, GetPoint(3), 3, kHandleBlue, HandleShape::Square);
    AddSizedHandle(kArcHandleKind, 4, AxisEndMinusA(), 2, kHandleRed, HandleShape::Square);
    AddSizedHandle(kArcHandleKind, 5, AxisEndB(), 2, kHandleRed, HandleShape::Square);
    AddSizedHandle(kArcHandleKind, 6, AxisEndA(), 4, kRotateGreen, HandleShape::RotateArrow);
}

void TElpArc::DragHandle(TElpArc& target, const TModPoint& handle, double x, double y, bool zeroSized) {
    if (handle.Kind != kArcHandleKind) return;
    const TDoublePoint c = target.Centre();
    const TDoublePoint mouse = DoublePoint(x, y);
    const double distance = std::hypot(x - c.X, y - c.Y);
    switch (handle.Index) {
    case 2: target.FStartAngle = FrameAngle(c, target.FAngle, mouse); break;
    case 3: target.FEndAngle = FrameAngle(c, target.FAngle, mouse); break;
    case 4:
        // The only handle of an arc without size gives it its size.
        target.FRadiusA = distance;
        if (zeroSized) target.FRadiusB = distance;
        break;
    case 5: target.FRadiusB = distance; break;
    case 6: target.FAngle = AngleOf(c, mouse); break;
    default: return;
    }
    target.ArcGeometryChanged();
}

std::unique_ptr<TFigure> TElpArc::CreateGhost() const {
    std::unique_ptr<TElpArc> ghost = As<TElpArc>(NewFigure(TElpArc::StaticClass(), nullptr, nullptr, false));
    ghost->FArcStyle = FArcStyle;
    ghost->SetElpArc(Centre(), FRadiusA, FRadiusB, FAngle, FStartAngle, FEndAngle);
    ghost->FPenWidth = 1;
    ghost->FPenColor = kRubberGreen;
    ghost->FPenStyle = static_cast<int>(TPenStyle::psSolid);
    ghost->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    ghost->FRotCentre = FRotCentre;
    return ghost;
}

void TElpArc::GhostDrag(TModPoint* handle, double x, double y, TFigure* ghost) {
    auto* target = dynamic_cast<TElpArc*>(ghost);
    if (!handle || !target || ghost == this) return;
    DragHandle(*target, *handle, x, y, FRadiusA == 0 && FRadiusB == 0);
}

void TElpArc::ApplyDrag(TModPoint* handle, int, double x, double y, TFigure*) {
    if (!handle) return;
    SyncAngle();
    PrepareArc();
    DragHandle(*this, *handle, x, y, FRadiusA == 0 && FRadiusB == 0);
    FreeRegion();
    FChanged = true;
}

// --- derived figures ---

std::unique_ptr<TElpArc> TElpArc::SameKindOfArc() const {
    std::unique_ptr<TElpArc> arc = As<TElpArc>(NewFigure(Class(), FLayer, FDrawing, true));
    CopyRoundAttributes(*this, *arc);
    arc->FArcStyle = FArcStyle;
    return arc;
}

std::unique_ptr<TFigure> TElpArc::CreateOffsetFigure(double distance) {
    SyncAngle();
    PrepareArc();
    const double s = FVertZero == static_cast<std::uint8_t>(TVertZero::vzTop) ? distance : -distance;
    const double a = FRadiusA - s, b = FRadiusB - s;
    if (!(a > 0) || !(b > 0)) return nullptr;
    std::unique_ptr<TElpArc> arc = SameKindOfArc();
    arc->SetElpArc(Centre(), a, b, FAngle, FStartAngle, FEndAngle);
    arc->FOrgPoints = arc->FPoints;
    return arc;
}

std::unique_ptr<TFigure> TElpArc::ConvertToBezier() {
    SyncAngle();
    PrepareArc();
    if (!(FRadiusA > 0) && !(FRadiusB > 0)) return nullptr;
    const TDoublePointArr points =
        ArcBezierPath(Centre(), FStartAngle, FEndAngle, FRadiusA, FRadiusB, FAngle, TArcStyle::asOpen);
    if (points.empty()) return nullptr;
    return MakeBezierPolyline(points, *this, false);
}

bool TElpArc::IntersectLine(const TDoublePoint& a, const TDoublePoint& b, TDoublePointArr& points) {
    SyncAngle();
    PrepareArc();
    const TDoublePoint c = Centre();
    bool found = false;
    for (const TDoublePoint& p : SegmentEllipseCrossings(c, FRadiusA, FRadiusB, FAngle, a, b)) {
        if (!ContainsAngle(FrameAngle(c, FAngle, p))) continue;
        points.push_back(p);
        found = true;
    }
    return found;
}

bool TElpArc::SplitAtPoint(const TDoublePoint& p, std::vector<TFigure*>& list) {
    SyncAngle();
    PrepareArc();
    SyncArcPoints();
    const TDoublePoint c = Centre();
    if (!(FRadiusA > 0) || !(FRadiusB > 0)) return false;
    if (!PointOnEllipse(c, FRadiusA, FRadiusB, FAngle, p, kRoundSplitTolerance)) return false;
    const double angle = FrameAngle(c, FAngle, p);
    if (!ContainsAngle(angle)) return false;
    if (SamePoint(p, GetPoint(2)) || SamePoint(p, GetPoint(3))) return false;
    std::unique_ptr<TElpArc> first = SameKindOfArc();
    first->SetElpArc(c, FRadiusA, FRadiusB, FAngle, FStartAngle, angle);
    first->FOrgPoints = first->FPoints;
    std::unique_ptr<TElpArc> second = SameKindOfArc();
    second->SetElpArc(c, FRadiusA, FRadiusB, FAngle, angle, FEndAngle);
    second->FOrgPoints = second->FPoints;
    list.push_back(first.release());
    list.push_back(second.release());
    return true;
}

std::unique_ptr<TFigure> TElpArc::Clone() const {
    std::unique_ptr<TElpArc> copy = As<TElpArc>(NewFigure(Class(), FLayer, FDrawing, true));
    CopyFigureState(*this, *copy);
    copy->FArcStyle = FArcStyle;
    copy->FStartAngle = FStartAngle;
    copy->FEndAngle = FEndAngle;
    copy->FRadiusA = FRadiusA;
    copy->FRadiusB = FRadiusB;
    return copy;
}

// --- persistence ---

void TElpArc::SetProperty(const TTaggedItem& item) {
    if (SetArcProperty(item)) return;
    if (item.Kind == TTagPayload::Int32) {
        if (item.Tag == kTagLegacyRadiusA) FRadiusA = item.AsInt() / 10.0;
        else if (item.Tag == kTagLegacyRadiusB) FRadiusB = item.AsInt() / 10.0;
    } else if (item.Kind == TTagPayload::Double) {
        if (item.Tag == kTagRadiusA) FRadiusA = item.AsDouble();
        else if (item.Tag == kTagRadiusB) FRadiusB = item.AsDouble();
    }
}

void TElpArc::ReadExtra(TStream& stream) {
    TFigure::ReadExtra(stream);
    SyncAngle();
    SetPointCount(4);
    PrepareArc();
    FRadiusA = std::abs(FRadiusA);
    FRadiusB = std::abs(FRadiusB);
    ArcGeometryChanged();
}

void TElpArc::SaveToStream(TStream& stream) const {
    TFigure::SaveToStream(stream);
    WriteTaggedByte(kTagBrushStyle, stream, static_cast<std::uint8_t>(FBrushStyle));
    WriteTaggedByte(kTagArcStyle, stream, static_cast<std::uint8_t>(FArcStyle));
    WriteTaggedInt(kTagBrushColor, stream, FBrushColor);
    WriteTaggedDouble(kTagRadiusA, stream, FRadiusA);
    WriteTaggedDouble(kTagRadiusB, stream, FRadiusB);
    WriteTaggedDouble(kTagStartAngle, stream, FStartAngle);
    WriteTaggedDouble(kTagEndAngle, stream, FEndAngle);
}

// --- interactive creation ---

std::unique_ptr<TFigure> TElpArc::CreateElpArcRubber(const TFigureClass&, double x, double y) {
    std::unique_ptr<TElpArc> rubber = As<TElpArc>(NewFigure(TElpArc::StaticClass(), nullptr, nullptr, false));
    rubber->SetElpArc(DoublePoint(x, y), kRubberRadius, kRubberRadius, 0, 0, 0);
    rubber->FPenWidth = 1;
    rubber->FPenColor = kRubberGreen;
    rubber->FPenStyle = static_cast<int>(TPenStyle::psDash);
    rubber->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    return rubber;
}

std::unique_ptr<TFigure> TElpArc::CommitElpArc(const TFigureClass& cls, TFigureDocument* document, TLayer* layer,
                                               TFigure* rubber) {
    const auto* source = dynamic_cast<const TElpArc*>(rubber);
    if (!source) return nullptr;
    const TFigureDefaults defaults = document ? document->Defaults() : TFigureDefaults{};
    std::unique_ptr<TElpArc> arc = As<TElpArc>(NewFigure(cls, layer, document, true));
    arc->FArcStyle = defaults.ArcStyle;
    arc->SetElpArc(source->Centre(), source->FRadiusA, source->FRadiusB, source->FAngle, source->FStartAngle,
                   source->FEndAngle);
    arc->FOrgPoints = arc->FPoints;
    arc->FPenWidth = defaults.PenWidth;
    arc->FPenColor = defaults.PenColor;
    arc->FPenStyle = static_cast<int>(defaults.PenStyle);
    arc->FBrushColor = defaults.BrushColor;
    arc->FBrushStyle = static_cast<int>(defaults.BrushStyle);
    return arc;
}

void TElpArc::RubberMove(int clickNo, double x, double y) {
    const TDoublePoint c = Centre();
    const double distance = std::hypot(x - c.X, y - c.Y);
    const double angle = FrameAngle(c, FAngle, DoublePoint(x, y));
    switch (clickNo) {
    case 1: FRadiusA = FRadiusB = distance; break;
    case 2:
        FRadiusB = distance;
        FStartAngle = FEndAngle = angle;
        break;
    case 3: FEndAngle = angle; break;
    default: return;
    }
    ArcGeometryChanged();
}

bool TElpArc::RubberClick(int clickNo, double x, double y) {
    if (clickNo < 2) return false;
    RubberMove(clickNo - 1, x, y);
    return clickNo >= 4;
}
