#include "model/Line.h"
#include "model/Pattern.h"

#include "model/FigureCopy.h"
#include "model/FigureDocument.h"
#include "model/FigureEngine.h"
#include "model/Geometry.h"
#include "model/Layer.h"
#include "model/ModPoint.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr TColor kRubberGreen = 0x00FF00;
constexpr TColor kJoinMarkRed = 0x0000FF;
constexpr double kJoinMarkSize = 3.0;
constexpr double kSnapPixels = 18.0;
constexpr double kFootMargin = 0.1;

std::unique_ptr<TLine> AsLine(std::unique_ptr<TFigure> figure) {
    return std::unique_ptr<TLine>(static_cast<TLine*>(figure.release()));
}

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }
} // namespace

// --- class ---

const TFigureClass& TLine::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c = MakeFigureClass<TLine>(QStringLiteral("TLine"), static_cast<int>(TShapeKind::Line));
        c.CreateRubber = &TLine::CreateLineRubber;
        c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
            return CommitLine(TLine::StaticClass(), document, layer, rubber);
        };
        return c;
    }();
    return cls;
}

const TFigureClass& TLine::Class() const { return StaticClass(); }

std::unique_ptr<TLine> TLine::Create(int penWidth, TFigureDocument* document, bool persistent, TLayer* layer,
                                     TRowStyle rowStyle, TColor penColor, int penStyle, double x1, double y1,
                                     double x2, double y2) {
    std::unique_ptr<TLine> line = AsLine(NewFigure(StaticClass(), layer, document, persistent));
    line->FPenWidth = penWidth;
    line->FRowStyle = static_cast<std::uint8_t>(rowStyle);
    line->FPenColor = penColor;
    line->FPenStyle = penStyle;
    line->SetPoint(1, DoublePoint(x1, y1));
    line->SetPoint(2, DoublePoint(x2, y2));
    line->FOrgPoints = line->FPoints;
    return line;
}

void TLine::Initialize() {
    TFigure::Initialize();
    FPointCount = 2;
    FJoin1 = nullptr;
    FJoin2 = nullptr;
    FMoving = false;
    FArrowWidth = 1.2;
    FArrowLength = 3.5;
}

QString TLine::GetTypeName() const { return QStringLiteral("Line"); }

// --- drawing ---

TColor TLine::DrawColor(bool grayed) const {
    if (grayed) return TLayer::kGrayColor;
    if (FPenColor == kLayerColor) return FLayer ? FLayer->PenColor : 0;
    return FPenColor;
}

void TLine::Draw(TFigureEngine& engine, bool grayed) {
    engine.SetPenMode(FPersistent ? TPenMode::pmCopy : TPenMode::pmXor);
    // The engine takes the tip of the "right" decoration first: the last point.
    engine.DrawRowEnds(DrawColor(grayed), FPenWidth, FArrowWidth, FArrowLength, RowStyle(), PenStyle(), LastPoint(),
                       FirstPoint(), &FRegion);
}

void TLine::DrawExtras(TFigureEngine& engine) {
    if (FJoin1) engine.DrawMarker(HandleShape::Square, kJoinMarkRed, false, kJoinMarkSize, FirstPoint());
    if (FJoin2) engine.DrawMarker(HandleShape::Square, kJoinMarkRed, false, kJoinMarkSize, LastPoint());
    TFigure::DrawExtras(engine);
}

// --- geometry ---

bool TLine::HitTest(double x, double y) {
    if (TFigure::HitTest(x, y)) return true;
    const TFigureEngine* engine = FDrawing ? FDrawing->Engine() : nullptr;
    const auto toDevice = [engine](const TDoublePoint& p) { return engine ? engine->ToDevice(p) : p; };
    return HitSegment(toDevice(FirstPoint()), toDevice(LastPoint()), toDevice(DoublePoint(x, y)), 2,
                      std::max(0, FPenWidth));
}

void TLine::GetBounds(double& maxX, double& maxY, double& minX, double& minY) const {
    PointBounds(1, 2, maxX, maxY, minX, minY);
}

bool TLine::SnapToPoint(double& x, double& y) const {
    const TFigureEngine* engine = FDrawing ? FDrawing->Engine() : nullptr;
    if (!engine) return TFigure::SnapToPoint(x, y);
    return SnapToPointScaled(x, y, engine->LengthToDevice(1.0));
}

bool TLine::SnapToPointScaled(double& x, double& y, double scale) const {
    if (TFigure::SnapToPoint(x, y)) return true;
    const TDoublePoint a = GetPoint(1);
    const TDoublePoint b = GetPoint(2);
    const double vx = b.X - a.X, vy = b.Y - a.Y;
    const double length2 = vx * vx + vy * vy;
    if (length2 == 0) return false;
    const double t = ((x - a.X) * vx + (y - a.Y) * vy) / length2;
    const TDoublePoint foot = DoublePoint(a.X + t * vx, a.Y + t * vy);
    const TDoubleRect box = RectOfPoints(a, b, kFootMargin);
    if (!PointInDoubleRect(foot, box)) return false;
    const double distance = std::hypot(x - foot.X, y - foot.Y);
    if (!(distance * scale < kSnapPixels)) return false;
    x = foot.X;
    y = foot.Y;
    return true;
}

// --- moving and joins ---
//
// While the document moves a selection it sets FMoving on the selected lines
// first. Each end must then move exactly once, whatever the order in which the
// line and the figures its ends are bound to are moved:
// - joined at both ends, the line never moves itself; its ends follow their
//   targets (the targets that do not move leave their end in place);
// - joined at one end (or none), the line moves itself; a notice from its
//   target that arrives before the line moved is ignored (FMoving is still
//   set), and one that arrives after it is ignored too when the target moves
//   with the same selection (remembered when the line moved).

namespace {
bool MovesWithSelection(const TFigure* target) { return target && target->FSelected && !target->FLockMove; }
} // namespace

void TLine::Move(double dx, double dy) {
    const bool withSelection = FMoving;
    FMoving = false;
    for (TJoinNotice& notice : FNotices) notice.Skip = false;
    if (FJoin1 && FJoin2) {
        for (TJoinNotice& notice : FNotices) notice.Received = false;
        return;
    }
    if (withSelection) {
        TFigure* const targets[2] = {FJoin1, FJoin2};
        for (int end = 0; end < 2; ++end) {
            TJoinNotice& notice = FNotices[end];
            // The target still has to move with this selection: its notice is not ours to follow.
            notice.Skip = MovesWithSelection(targets[end]) && !notice.Received;
            notice.Dx = dx;
            notice.Dy = dy;
        }
    }
    for (TJoinNotice& notice : FNotices) notice.Received = false;
    TFigure::Move(dx, dy);
}

void TLine::JoinedFigureMoved(TFigure* target, double dx, double dy) {
    if (!target || FPoints.empty()) return;
    bool move[2] = {FJoin1 == target, FJoin2 == target};
    if (!move[0] && !move[1]) return;
    if (FMoving && !(FJoin1 && FJoin2)) {
        // The line moves by itself with the selection.
        for (int end = 0; end < 2; ++end)
            if (move[end]) FNotices[end].Received = true;
        return;
    }
    for (int end = 0; end < 2; ++end) {
        TJoinNotice& notice = FNotices[end];
        if (!move[end] || !notice.Skip) continue;
        notice.Skip = false;
        if (notice.Dx == dx && notice.Dy == dy) move[end] = false;
    }
    if (move[0]) FPoints.front() = OffsetXY(FPoints.front(), dx, dy);
    if (move[1]) {
        const int last = std::clamp(FPointCount, 1, static_cast<int>(FPoints.size()));
        TDoublePoint& p = FPoints[static_cast<std::size_t>(last - 1)];
        p = OffsetXY(p, dx, dy);
    }
    if (move[0] || move[1]) {
        FChanged = true;
        FreeRegion();
        RebuildDimensionsIfAny();
    }
}

// --- derived figures ---

void TLine::CopyLineTo(TLine& target) const {
    CopyFigureState(*this, target);
    target.FArrowWidth = FArrowWidth;
    target.FArrowLength = FArrowLength;
}

std::unique_ptr<TFigure> TLine::Clone() const {
    std::unique_ptr<TLine> copy = AsLine(NewFigure(Class(), FLayer, FDrawing, true));
    CopyLineTo(*copy);
    if (copy->FHasDimensions) copy->CreateDimensions();
    return copy;
}

std::unique_ptr<TLine> TLine::PieceBetween(const TDoublePoint& a, const TDoublePoint& b) const {
    std::unique_ptr<TLine> piece = AsLine(NewFigure(Class(), FLayer, FDrawing, true));
    CopyBaseTo(*piece);
    piece->FRowStyle = FRowStyle;
    piece->FArrowWidth = FArrowWidth;
    piece->FArrowLength = FArrowLength;
    piece->FCName = FCName;
    piece->FPointCount = 2;
    piece->FPoints = {a, b};
    piece->FOrgPoints = piece->FPoints;
    piece->FRotAngle = 0;
    return piece;
}

std::unique_ptr<TFigure> TLine::CreateOffsetFigure(double distance) {
    const TDoublePoint a = GetPoint(1);
    const TDoublePoint b = GetPoint(2);
    const double length = std::hypot(b.X - a.X, b.Y - a.Y);
    if (length == 0) return nullptr; // no direction to offset along
    // The left-hand normal of the direction 1 → 2 (counter-clockwise).
    const double nx = -(b.Y - a.Y) / length * distance;
    const double ny = (b.X - a.X) / length * distance;
    return PieceBetween(OffsetXY(a, nx, ny), OffsetXY(b, nx, ny));
}

std::unique_ptr<TFigure> TLine::ConvertToBezier() {
    const TDoublePoint a = GetPoint(1);
    const TDoublePoint b = GetPoint(2);
    const TDoublePointArr points = {a, PointAlong(a, b, 0.25), PointAlong(a, b, 0.75), b};
    return MakeBezierPolyline(points, *this, false);
}

bool TLine::SplitAtPoint(const TDoublePoint& p, std::vector<TFigure*>& list) {
    const TDoublePoint a = GetPoint(1);
    const TDoublePoint b = GetPoint(2);
    // A cut through an end point would leave a piece without length.
    if (SamePoint(p, a) || SamePoint(p, b)) return false;
    if (!HitTest(p.X, p.Y)) return false;
    list.push_back(PieceBetween(a, p).release());
    list.push_back(PieceBetween(p, b).release());
    return true;
}

bool TLine::IntersectLine(const TDoublePoint& a, const TDoublePoint& b, TDoublePointArr& points) {
    const TDoublePoint p = GetPoint(1);
    const TDoublePoint q = GetPoint(2);
    const double rx = q.X - p.X, ry = q.Y - p.Y;
    const double sx = b.X - a.X, sy = b.Y - a.Y;
    const double denominator = Cross(rx, ry, sx, sy);
    if (denominator == 0) return false; // parallel or degenerate
    const double wx = a.X - p.X, wy = a.Y - p.Y;
    const double t = Cross(wx, wy, sx, sy) / denominator;
    const double u = Cross(wx, wy, rx, ry) / denominator;
    constexpr double eps = 1e-9;
    if (t < -eps || t > 1 + eps || u < -eps || u > 1 + eps) return false;
    points.push_back(DoublePoint(p.X + t * rx, p.Y + t * ry));
    return true;
}

void TLine::CollectVectors(std::vector<TVectorObject>& list, const TDoublePoint& origin) {
    const TDoublePoint a = GetPoint(1);
    const TDoublePoint b = GetPoint(2);
    list.push_back({TVectorObject::Line,
                    {DoublePoint(a.X - origin.X, a.Y - origin.Y), DoublePoint(b.X - origin.X, b.Y - origin.Y)}});
}

// --- persistence ---

void TLine::SetProperty(const TTaggedItem& item) {
    if (item.Kind != TTagPayload::Double) return;
    if (item.Tag == 220) FArrowWidth = item.AsDouble();
    else if (item.Tag == 221) FArrowLength = item.AsDouble();
}

void TLine::SaveToStream(TStream& stream) const {
    TFigure::SaveToStream(stream);
    WriteTaggedDouble(220, stream, FArrowWidth);
    WriteTaggedDouble(221, stream, FArrowLength);
}

// --- interactive creation and dragging ---

std::unique_ptr<TFigure> TLine::CreateLineRubber(const TFigureClass&, double x, double y) {
    std::unique_ptr<TLine> rubber = AsLine(NewFigure(TLine::StaticClass(), nullptr, nullptr, false));
    rubber->SetPoint(1, DoublePoint(x, y));
    rubber->SetPoint(2, DoublePoint(x, y));
    rubber->FPenWidth = 1;
    rubber->FPenColor = kRubberGreen;
    rubber->FPenStyle = static_cast<int>(TPenStyle::psDash);
    rubber->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    return rubber;
}

std::unique_ptr<TFigure> TLine::CommitLine(const TFigureClass& cls, TFigureDocument* document, TLayer* layer,
                                           TFigure* rubber) {
    if (!rubber) return nullptr;
    const TFigureDefaults defaults = document ? document->Defaults() : TFigureDefaults{};
    std::unique_ptr<TLine> line = AsLine(NewFigure(cls, layer, document, true));
    line->SetPoint(1, rubber->GetPoint(1));
    line->SetPoint(2, rubber->GetPoint(2));
    line->FOrgPoints = line->FPoints;
    line->FPenWidth = defaults.PenWidth;
    line->FRowStyle = static_cast<std::uint8_t>(defaults.RowStyle);
    line->FPenColor = defaults.PenColor;
    line->FPenStyle = static_cast<int>(defaults.PenStyle);
    return line;
}

void TLine::RubberMove(int clickNo, double x, double y) {
    if (clickNo == 1) {
        SetPoint(2, DoublePoint(x, y));
        FreeRegion();
    }
}

bool TLine::RubberClick(int clickNo, double x, double y) {
    if (clickNo < 2) return false;
    SetPoint(2, DoublePoint(x, y));
    FreeRegion();
    return true;
}

void TLine::BindEndAt(int end, double x, double y) {
    if (!FDrawing) return;
    if (TFigure* target = FDrawing->FigureAt(x, y, this)) {
        if (end == 1) SetJoin1(target);
        else SetJoin2(target);
    }
}

void TLine::ApplyDrag(TModPoint* handle, int flags, double x, double y, TFigure* ghost) {
    TFigure::ApplyDrag(handle, flags, x, y, ghost);
    if (!handle || (flags & kBindFlags) != kBindFlags) return;
    if (handle->Index == 1) BindEndAt(1, x, y);
    else if (handle->Index == FPointCount) BindEndAt(2, x, y);
}

// --- user-drawn line ---

const TFigureClass& TUserLine::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c = MakeFigureClass<TUserLine>(QStringLiteral("TUserLine"), static_cast<int>(TShapeKind::Line));
        c.CreateRubber = &TLine::CreateLineRubber;
        c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
            std::unique_ptr<TFigure> line = CommitLine(TUserLine::StaticClass(), document, layer, rubber);
            if (line && document) line->FCName = document->UserFigureName();
            return line;
        };
        return c;
    }();
    return cls;
}

const TFigureClass& TUserLine::Class() const { return StaticClass(); }

QString TUserLine::GetTypeName() const { return QStringLiteral("UserLine"); }

void TUserLine::Draw(TFigureEngine& engine, bool grayed) {
    if (!OfferUserDraw(engine, grayed)) TLine::Draw(engine, grayed);
}

bool TUserLine::HitTest(double x, double y) {
    if (const std::optional<bool> decided = OfferUserHitTest(x, y)) return *decided;
    return TLine::HitTest(x, y);
}
