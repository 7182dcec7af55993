#include "model/Ellipse.h"

#include "model/Bezier.h"
#include "model/ElpArc.h"
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
constexpr double Pi = std::numbers::pi;
constexpr TColor kHandleBlue = 0xFF0000;
constexpr TColor kHandleRed = 0x0000FF;
constexpr TColor kRotateGreen = 0x008000;
constexpr TColor kRubberGreen = 0x00FF00;
constexpr std::uint8_t kCentreHandleKind = 0;
constexpr std::uint8_t kAxisHandleKind = 8;
constexpr std::uint8_t kPlusShape = 2;
// Arrowhead size of curves, which have no arrow size fields.
constexpr double kArrowHalfWidth = 1.2;
constexpr double kArrowLength = 3.5;

constexpr std::uint8_t kTagBrushStyle = 90;
constexpr std::uint8_t kTagBrushColor = 20;
constexpr std::uint8_t kTagLegacyRadiusA = 21;
constexpr std::uint8_t kTagLegacyRadiusB = 22;
constexpr std::uint8_t kTagRadiusA = 220;
constexpr std::uint8_t kTagRadiusB = 221;

template <typename T> std::unique_ptr<T> As(std::unique_ptr<TFigure> figure) {
    return std::unique_ptr<T>(static_cast<T*>(figure.release()));
}

void AddHandle(TModPoint* handle, double size) {
    if (handle) handle->Size = size;
}
} // namespace

// --- class ---

const TFigureClass& TEllipse::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c = MakeFigureClass<TEllipse>(QStringLiteral("TEllipse"), static_cast<int>(TShapeKind::Custom));
        c.CreateRubber = &TEllipse::CreateEllipseRubber;
        c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
            return CommitEllipse(TEllipse::StaticClass(), document, layer, rubber);
        };
        return c;
    }();
    return cls;
}

const TFigureClass& TEllipse::Class() const { return StaticClass(); }

std::unique_ptr<TEllipse> TEllipse::Create(TLayer* layer, TFigureDocument* document, bool persistent,
                                           const TDoublePoint& centre, double radiusA, double radiusB, double angle,
                                           int penWidth, TColor penColor, int penStyle, TColor brushColor,
                                           int brushStyle) {
    std::unique_ptr<TEllipse> ellipse = As<TEllipse>(NewFigure(StaticClass(), layer, document, persistent));
    ellipse->FPenWidth = penWidth;
    ellipse->FPenColor = penColor;
    ellipse->FPenStyle = penStyle;
    ellipse->FBrushColor = brushColor;
    ellipse->FBrushStyle = brushStyle;
    ellipse->SetEllipse(centre, radiusA, radiusB, angle);
    ellipse->FOrgPoints = ellipse->FPoints;
    return ellipse;
}

void TEllipse::SetEllipse(const TDoublePoint& centre, double radiusA, double radiusB, double angle) {
    SetPoint(1, centre);
    FRadiusA = std::abs(radiusA);
    FRadiusB = std::abs(radiusB);
    FAngle = NormalAngle(angle);
    RebuildAxisPoint();
}

void TEllipse::RebuildAxisPoint() {
    SetPoint(2, AxisEndA());
    FreeRegion();
}

void TEllipse::SyncAngle() {
    const TDoublePoint c = Centre();
    const TDoublePoint p = GetPoint(2);
    if (p.X == c.X && p.Y == c.Y) return;
    // Point 2 where the angle puts it: nothing moved it (and re-measuring the
    // angle would only add rounding).
    const TDoublePoint expected = AxisEndA();
    if (p.X == expected.X && p.Y == expected.Y) return;
    FAngle = AngleOf(c, p);
}

TDoublePoint TEllipse::AxisEndA() const {
    const TDoublePoint c = Centre();
    return DoublePoint(c.X + FRadiusA * std::cos(FAngle), c.Y + FRadiusA * std::sin(FAngle));
}

TDoublePoint TEllipse::AxisEndB() const {
    const TDoublePoint c = Centre();
    return DoublePoint(c.X - FRadiusB * std::sin(FAngle), c.Y + FRadiusB * std::cos(FAngle));
}

TDoublePoint TEllipse::AxisEndMinusA() const {
    const TDoublePoint c = Centre();
    return DoublePoint(c.X - FRadiusA * std::cos(FAngle), c.Y - FRadiusA * std::sin(FAngle));
}

void TEllipse::Initialize() {
    TFigure::Initialize();
    FPointCount = 2;
    FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    FRadiusA = 0;
    FRadiusB = 0;
}

QString TEllipse::GetTypeName() const { return QStringLiteral("Ellipse"); }

// --- drawing ---

void TEllipse::Draw(TFigureEngine& engine, bool grayed) {
    SyncAngle();
    if (!(FRadiusA > 0) && !(FRadiusB > 0)) return;
    const TDoublePoint c = Centre();
    TDoublePointArr points;
    for (const T2DPoint& q : EllipseArcToBezier(0, 2 * Pi, FRadiusA, FRadiusB, FAngle, c.X, c.Y))
        points.push_back(DoublePoint(q.X, q.Y));
    engine.SetPenMode(FPersistent ? TPenMode::pmCopy : TPenMode::pmXor);
    engine.DrawBezierPath(points, kArrowHalfWidth, kArrowLength, RowStyle(), &FRegion, nullptr, FInCombined, true,
                          RoundFillStyle(*this), RoundBrushColor(*this, grayed), PenStyle(), FPenWidth,
                          RoundPenColor(*this, grayed));
}

// --- geometry ---

bool TEllipse::HitTest(double x, double y) {
    SyncAngle();
    if (TFigure::HitTest(x, y)) return true;
    if (HitEllipse(FAngle, FRadiusA, FRadiusB, Centre(), DoublePoint(x, y))) return true;
    return !RoundHasNoFill(*this) && HitRegion(x, y);
}

void TEllipse::GetBounds(double& maxX, double& maxY, double& minX, double& minY) const {
    const TDoubleRect r = ArcBounds(Centre(), 0, 0, TArcStyle::asOpen, FRadiusA, FRadiusB, FAngle);
    maxX = r.Right;
    maxY = r.Bottom;
    minX = r.Left;
    minY = r.Top;
}

void TEllipse::Rotate(const TDoublePoint& centre, double angle) {
    SyncAngle();
    // Each rotation starts from the current points, so the axis turns by angle.
    FChanged = true;
    TFigure::Rotate(centre, angle);
    FAngle = NormalAngle(FAngle + angle);
    RebuildAxisPoint();
}

void TEllipse::Mirror(const TDoublePoint& a, const TDoublePoint& b) {
    SyncAngle();
    TFigure::Mirror(a, b);
    FAngle = NormalAngle(2 * MirrorAxisAngle(a, b) - FAngle);
    RebuildAxisPoint();
}

void TEllipse::Scale(const TDoublePoint& origin, double sx, double sy) {
    SyncAngle();
    const double cosA = std::cos(FAngle), sinA = std::sin(FAngle);
    TFigure::Scale(origin, sx, sy);
    // The axis directions scaled: their lengths scale the semi-axes, the A
    // direction gives the new angle.
    const double ax = sx * cosA, ay = sy * sinA;
    const double bx = -sx * sinA, by = sy * cosA;
    FRadiusA *= std::hypot(ax, ay);
    FRadiusB *= std::hypot(bx, by);
    if (ax != 0 || ay != 0) FAngle = NormalAngle(std::atan2(ay, ax));
    RebuildAxisPoint();
}

void TEllipse::ApplyZeroOrigin(TVertZero vertZero, THorzZero horzZero) {
    if (!FDrawing) return;
    SyncAngle();
    const bool flipY = static_cast<std::uint8_t>(vertZero) != FVertZero;
    const bool flipX = static_cast<std::uint8_t>(horzZero) != FHorzZero;
    TFigure::ApplyZeroOrigin(vertZero, horzZero);
    if (flipY) FAngle = -FAngle;
    if (flipX) FAngle = Pi - FAngle;
    FAngle = NormalAngle(FAngle);
    RebuildAxisPoint();
}

// --- handles ---

void TEllipse::AddHandles() {
    SyncAngle();
    const TDoublePoint c = Centre();
    if (FRadiusA == 0 && FRadiusB == 0) {
        AddHandle(NewHandle(kAxisHandleKind, 4, c.X + FRadiusA, c.Y, kHandleRed, HandleShape::RotateArrow), 2);
        return;
    }
    const TDoublePoint a = AxisEndA(), b = AxisEndB(), minusA = AxisEndMinusA();
    AddHandle(NewHandle(kCentreHandleKind, 1, c.X, c.Y, kHandleBlue, kPlusShape), 3);
    AddHandle(NewHandle(kAxisHandleKind, 2, a.X, a.Y, kHandleRed, HandleShape::Square), 2);
    AddHandle(NewHandle(kAxisHandleKind, 3, b.X, b.Y, kHandleRed, HandleShape::Square), 2);
    AddHandle(NewHandle(kAxisHandleKind, 4, minusA.X, minusA.Y, kRotateGreen, HandleShape::RotateArrow), 4);
}

void TEllipse::DragHandle(TEllipse& target, const TModPoint& handle, double x, double y, bool zeroSized) {
    if (handle.Kind != kAxisHandleKind) return;
    const TDoublePoint c = target.Centre();
    const double distance = std::hypot(x - c.X, y - c.Y);
    switch (handle.Index) {
    case 2:
        target.FRadiusA = distance;
        break;
    case 3:
        target.FRadiusB = distance;
        break;
    case 4:
        if (zeroSized) {
            // The only handle of an ellipse without size gives it its size.
            target.FRadiusA = target.FRadiusB = distance;
        } else {
            // The −A end follows the mouse.
            target.FAngle = NormalAngle(AngleOf(c, DoublePoint(x, y)) + Pi);
        }
        break;
    default:
        return;
    }
    target.RebuildAxisPoint();
}

std::unique_ptr<TFigure> TEllipse::CreateGhost() const {
    std::unique_ptr<TEllipse> ghost = As<TEllipse>(NewFigure(TEllipse::StaticClass(), nullptr, nullptr, false));
    ghost->SetEllipse(Centre(), FRadiusA, FRadiusB, FAngle);
    ghost->FPenWidth = 1;
    ghost->FPenColor = kRubberGreen;
    ghost->FPenStyle = static_cast<int>(TPenStyle::psSolid);
    ghost->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    ghost->FRotCentre = FRotCentre;
    return ghost;
}

void TEllipse::GhostDrag(TModPoint* handle, double x, double y, TFigure* ghost) {
    auto* target = dynamic_cast<TEllipse*>(ghost);
    if (!handle || !target || ghost == this) return;
    DragHandle(*target, *handle, x, y, FRadiusA == 0 && FRadiusB == 0);
}

void TEllipse::ApplyDrag(TModPoint* handle, int, double x, double y, TFigure*) {
    if (!handle) return;
    SyncAngle();
    DragHandle(*this, *handle, x, y, FRadiusA == 0 && FRadiusB == 0);
    FreeRegion();
    FChanged = true;
}

// --- derived figures ---

std::unique_ptr<TFigure> TEllipse::CreateOffsetFigure(double distance) {
    SyncAngle();
    const double s = FVertZero == static_cast<std::uint8_t>(TVertZero::vzTop) ? distance : -distance;
    const double a = FRadiusA - s, b = FRadiusB - s;
    if (!(a > 0) || !(b > 0)) return nullptr;
    std::unique_ptr<TEllipse> ellipse = As<TEllipse>(NewFigure(Class(), FLayer, FDrawing, true));
    CopyRoundAttributes(*this, *ellipse);
    ellipse->SetEllipse(Centre(), a, b, FAngle);
    ellipse->FOrgPoints = ellipse->FPoints;
    return ellipse;
}

std::unique_ptr<TFigure> TEllipse::ConvertToBezier() {
    SyncAngle();
    if (!(FRadiusA > 0) && !(FRadiusB > 0)) return nullptr;
    const TDoublePoint c = Centre();
    TDoublePointArr points;
    for (const T2DPoint& q : EllipseArcToBezier(2 * Pi, 0, FRadiusA, FRadiusB, FAngle, c.X, c.Y))
        points.push_back(DoublePoint(q.X, q.Y));
    return MakeBezierPolyline(points, *this, true);
}

void TEllipse::CollectVectors(std::vector<TVectorObject>& list, const TDoublePoint& origin) {
    const TDoublePoint c = Centre();
    list.push_back({TVectorObject::Ellipse,
                    {DoublePoint(c.X - origin.X, c.Y - origin.Y), DoublePoint(FRadiusA, FRadiusB)}});
}

bool TEllipse::IntersectLine(const TDoublePoint& a, const TDoublePoint& b, TDoublePointArr& points) {
    SyncAngle();
    const TDoublePointArr crossings = SegmentEllipseCrossings(Centre(), FRadiusA, FRadiusB, FAngle, a, b);
    points.insert(points.end(), crossings.begin(), crossings.end());
    return !crossings.empty();
}

bool TEllipse::SplitAtPoint(const TDoublePoint& p, std::vector<TFigure*>& list) {
    SyncAngle();
    const TDoublePoint c = Centre();
    if (!(FRadiusA > 0) || !(FRadiusB > 0)) return false;
    if (!PointOnEllipse(c, FRadiusA, FRadiusB, FAngle, p, kRoundSplitTolerance)) return false;
    // One elliptical arc from p all the way round to p.
    const double angle = FrameAngle(c, FAngle, p);
    std::unique_ptr<TElpArc> arc = As<TElpArc>(NewFigure(TElpArc::StaticClass(), FLayer, FDrawing, true));
    CopyRoundAttributes(*this, *arc);
    arc->FArcStyle = TArcStyle::asOpen;
    arc->SetElpArc(c, FRadiusA, FRadiusB, FAngle, angle, angle);
    arc->FOrgPoints = arc->FPoints;
    list.push_back(arc.release());
    return true;
}

std::unique_ptr<TFigure> TEllipse::Clone() const {
    std::unique_ptr<TEllipse> copy = As<TEllipse>(NewFigure(Class(), FLayer, FDrawing, true));
    CopyFigureState(*this, *copy);
    copy->FRadiusA = FRadiusA;
    copy->FRadiusB = FRadiusB;
    return copy;
}

// --- persistence ---

void TEllipse::SetProperty(const TTaggedItem& item) {
    switch (item.Kind) {
    case TTagPayload::Byte:
        if (item.Tag == kTagBrushStyle) FBrushStyle = item.AsByte() == 0xFF ? -1 : item.AsByte();
        break;
    case TTagPayload::Int32:
        if (item.Tag == kTagBrushColor) FBrushColor = item.AsInt();
        else if (item.Tag == kTagLegacyRadiusA) FRadiusA = item.AsInt() / 10.0;
        else if (item.Tag == kTagLegacyRadiusB) FRadiusB = item.AsInt() / 10.0;
        break;
    case TTagPayload::Double:
        if (item.Tag == kTagRadiusA) FRadiusA = item.AsDouble();
        else if (item.Tag == kTagRadiusB) FRadiusB = item.AsDouble();
        break;
    default:
        break;
    }
}

void TEllipse::ReadExtra(TStream& stream) {
    TFigure::ReadExtra(stream);
    if (FPointCount != 2) {
        // An older layout (three points): centre and the A axis end, rebuilt
        // from the centre, FRadiusA and the stored angle.
        SetPointCount(2);
        FPoints.resize(2);
        RebuildAxisPoint();
    } else {
        SyncAngle();
    }
}

void TEllipse::SaveToStream(TStream& stream) const {
    TFigure::SaveToStream(stream);
    WriteTaggedByte(kTagBrushStyle, stream, static_cast<std::uint8_t>(FBrushStyle));
    WriteTaggedInt(kTagBrushColor, stream, FBrushColor);
    WriteTaggedDouble(kTagRadiusA, stream, FRadiusA);
    WriteTaggedDouble(kTagRadiusB, stream, FRadiusB);
}

// --- interactive creation ---

std::unique_ptr<TFigure> TEllipse::CreateEllipseRubber(const TFigureClass&, double x, double y) {
    std::unique_ptr<TEllipse> rubber = As<TEllipse>(NewFigure(TEllipse::StaticClass(), nullptr, nullptr, false));
    rubber->SetEllipse(DoublePoint(x, y), 0, 0, 0);
    rubber->FPenWidth = 1;
    rubber->FPenColor = kRubberGreen;
    rubber->FPenStyle = static_cast<int>(TPenStyle::psDash);
    rubber->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    return rubber;
}

std::unique_ptr<TFigure> TEllipse::CommitEllipse(const TFigureClass& cls, TFigureDocument* document, TLayer* layer,
                                                 TFigure* rubber) {
    const auto* source = dynamic_cast<const TEllipse*>(rubber);
    if (!source) return nullptr;
    const TFigureDefaults defaults = document ? document->Defaults() : TFigureDefaults{};
    std::unique_ptr<TEllipse> ellipse = As<TEllipse>(NewFigure(cls, layer, document, true));
    ellipse->SetEllipse(source->Centre(), source->FRadiusA, source->FRadiusB, source->FAngle);
    ellipse->FOrgPoints = ellipse->FPoints;
    ellipse->FPenWidth = defaults.PenWidth;
    ellipse->FPenColor = defaults.PenColor;
    ellipse->FPenStyle = static_cast<int>(defaults.PenStyle);
    ellipse->FBrushColor = defaults.BrushColor;
    ellipse->FBrushStyle = static_cast<int>(defaults.BrushStyle);
    return ellipse;
}

void TEllipse::RubberMove(int clickNo, double x, double y) {
    const double distance = std::hypot(x - Centre().X, y - Centre().Y);
    if (clickNo == 1) FRadiusA = FRadiusB = distance;
    else if (clickNo == 2) FRadiusB = distance;
    else return;
    RebuildAxisPoint();
}

bool TEllipse::RubberClick(int clickNo, double x, double y) {
    const double distance = std::hypot(x - Centre().X, y - Centre().Y);
    if (clickNo == 2) {
        FRadiusA = FRadiusB = distance;
        RebuildAxisPoint();
        return false;
    }
    if (clickNo < 3) return false;
    FRadiusB = distance;
    RebuildAxisPoint();
    return true;
}

// --- user-drawn ellipse ---

const TFigureClass& TUserEllipse::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c =
            MakeFigureClass<TUserEllipse>(QStringLiteral("TUserEllipse"), static_cast<int>(TShapeKind::Custom));
        c.CreateRubber = &TEllipse::CreateEllipseRubber;
        c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
            std::unique_ptr<TFigure> ellipse = CommitEllipse(TUserEllipse::StaticClass(), document, layer, rubber);
            if (ellipse && document) ellipse->FCName = document->UserFigureName();
            return ellipse;
        };
        return c;
    }();
    return cls;
}

const TFigureClass& TUserEllipse::Class() const { return StaticClass(); }

QString TUserEllipse::GetTypeName() const { return QStringLiteral("UserEllipse"); }

void TUserEllipse::Draw(TFigureEngine& engine, bool grayed) {
    if (!OfferUserDraw(engine, grayed)) TEllipse::Draw(engine, grayed);
}

bool TUserEllipse::HitTest(double x, double y) {
    if (const std::optional<bool> decided = OfferUserHitTest(x, y)) return *decided;
    return TEllipse::HitTest(x, y);
}
