// TPolyline: construction, the segment operations, the path, drawing, hit
// testing, bounds and the transformations.
#include "model/Polyline.h"

#include "model/Bezier.h"
#include "model/FigureDocument.h"
#include "model/FigureEngine.h"
#include "model/Geometry.h"
#include "model/Layer.h"
#include "model/ModPoint.h"
#include "model/PolylineGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double Pi = std::numbers::pi;
constexpr TColor kCloseMarkGreen = 0x00FF00;
constexpr double kCloseMarkSize = 3.0;

std::unique_ptr<TPolyline> AsPolyline(std::unique_ptr<TFigure> figure) {
    return std::unique_ptr<TPolyline>(static_cast<TPolyline*>(figure.release()));
}
} // namespace

// --- class ---

const TFigureClass& TPolyline::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c =
            MakeFigureClass<TPolyline>(QStringLiteral("TPolyline"), static_cast<int>(TShapeKind::Line));
        c.CreateRubber = &TPolyline::CreatePolylineRubber;
        c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
            return CommitPolyline(TPolyline::StaticClass(), document, layer, rubber);
        };
        return c;
    }();
    return cls;
}

const TFigureClass& TPolyline::Class() const { return StaticClass(); }

std::unique_ptr<TPolyline> TPolyline::CreateOfClass(const TFigureClass& cls, const TDoublePointArr& points,
                                                    TFigureDocument* document, bool persistent, TLayer* layer,
                                                    bool closed) {
    if (static_cast<std::int64_t>(points.size()) > kMaxFigurePoints) return nullptr;
    std::unique_ptr<TPolyline> polyline = AsPolyline(NewFigure(cls, layer, document, persistent));
    // Every point added while loading gets its segment.
    polyline->FLoading = true;
    for (std::size_t k = 0; k < points.size(); ++k) polyline->SetPoint(static_cast<int>(k) + 1, points[k]);
    polyline->FLoading = false;
    polyline->FPointCount = static_cast<int>(points.size());
    polyline->FOrgPoints = polyline->FPoints;
    polyline->FClosed = closed;
    polyline->SyncSegments();
    return polyline;
}

std::unique_ptr<TPolyline> TPolyline::Create(const TDoublePointArr& points, TFigureDocument* document,
                                             bool persistent, TLayer* layer, bool closed, TRowStyle rowStyle,
                                             TColor brushColor, int brushStyle, TColor penColor, int penStyle,
                                             int penWidth) {
    std::unique_ptr<TPolyline> polyline = CreateOfClass(StaticClass(), points, document, persistent, layer, closed);
    if (!polyline) return nullptr;
    polyline->FRowStyle = static_cast<std::uint8_t>(rowStyle);
    polyline->FBrushColor = brushColor;
    polyline->FBrushStyle = brushStyle;
    polyline->FPenColor = penColor;
    polyline->FPenStyle = penStyle;
    polyline->FPenWidth = penWidth;
    return polyline;
}

std::unique_ptr<TPolyline> TPolyline::CreateBezierPolyline(const TDoublePointArr& points, int penWidth,
                                                           TFigureDocument* document, bool persistent,
                                                           TLayer* layer, bool closed, TRowStyle rowStyle,
                                                           TColor brushColor, int brushStyle, TColor penColor,
                                                           int penStyle) {
    TDoublePointArr nodes;
    for (std::size_t k = 0; k < points.size(); k += 3) nodes.push_back(points[k]);
    if (closed && nodes.size() > 1 && SamePoint(nodes.back(), nodes.front())) nodes.pop_back();
    std::unique_ptr<TPolyline> polyline = Create(nodes, document, persistent, layer, closed, rowStyle, brushColor,
                                                 brushStyle, penColor, penStyle, penWidth);
    if (!polyline) return nullptr;
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        // Only complete pieces of the list give a segment its controls.
        if (3 * k + 3 >= points.size()) break;
        TPlSegment& segment = polyline->FSegments[k];
        segment.Kind = SegmentKind::Bezier;
        segment.Ctrl1 = points[3 * k + 1];
        segment.Ctrl2 = points[3 * k + 2];
    }
    return polyline;
}

std::unique_ptr<TFigure> MakeBezierPolyline(const TDoublePointArr& polyBezierPoints, const TFigure& attributesFrom,
                                            bool closed) {
    // A figure without a brush gives a polyline with a clear one.
    const int brushStyle =
        attributesFrom.FBrushStyle < 0 ? static_cast<int>(TBrushStyle::bsClear) : attributesFrom.FBrushStyle;
    std::unique_ptr<TPolyline> polyline = TPolyline::CreateBezierPolyline(
        polyBezierPoints, attributesFrom.FPenWidth, attributesFrom.FDrawing, true, attributesFrom.FLayer, closed,
        attributesFrom.RowStyle(), attributesFrom.FBrushColor, brushStyle, attributesFrom.FPenColor,
        attributesFrom.FPenStyle);
    if (!polyline) return nullptr;
    polyline->FRowStyle = attributesFrom.FRowStyle;
    if (const auto* line = dynamic_cast<const TLine*>(&attributesFrom)) {
        polyline->FArrowWidth = line->FArrowWidth;
        polyline->FArrowLength = line->FArrowLength;
    }
    return polyline;
}

void TPolyline::Initialize() {
    TLine::Initialize();
    FPointCount = 0;
    FSegmentIndex = 1;
    FPattern.reset();
    FSegments.clear();
    FClosed = false;
}

QString TPolyline::GetTypeName() const { return QStringLiteral("Polyline"); }

void TPolyline::PointAdded() {
    TPlSegment segment;
    segment.Index = static_cast<int>(FSegments.size()) + 1;
    FSegments.push_back(segment);
}

// --- nodes and segments ---

int TPolyline::Wrap(int i) const {
    const int n = std::max(FPointCount, 1);
    int r = (i - 1) % n;
    if (r < 0) r += n;
    return r + 1;
}

TDoublePoint TPolyline::Node(int i) const { return FPointCount > 0 ? GetPoint(Wrap(i)) : TDoublePoint{}; }

int TPolyline::DrawnSegmentCount() const {
    if (FPointCount <= 0) return 0;
    return FClosed ? FPointCount : FPointCount - 1;
}

const TPlSegment* TPolyline::Segment(int i) const {
    return ValidSegment(i) ? &FSegments[static_cast<std::size_t>(i - 1)] : nullptr;
}

void TPolyline::SyncSegments() {
    FPointCount = std::clamp(FPointCount, 0, static_cast<int>(FPoints.size()));
    const auto n = static_cast<std::size_t>(FPointCount);
    if (FPoints.size() > n) FPoints.resize(n);
    if (FSegments.size() > n) FSegments.resize(n);
    while (FSegments.size() < n) PointAdded();
}

void TPolyline::AppendNode(const TDoublePoint& p) {
    SyncSegments();
    SetPoint(FPointCount + 1, p);
    FPointCount += 1;
    SyncSegments();
}

void TPolyline::SetClosed(bool closed) {
    FClosed = closed;
    FreeRegion();
    FChanged = true;
}

void TPolyline::ComputeBezierControls(int i) {
    TPlSegment& segment = Seg(i);
    const TPlSegment& previous = Seg(i - 1);
    const TPlSegment& next = Seg(i + 1);
    TDoublePoint in, out;
    if (previous.IsBezier() && &previous != &segment) {
        segment.Ctrl1 = RotatePoint(Node(i), previous.Ctrl2, Pi);
    } else {
        TangentControls(Node(i - 1), Node(i), Node(i + 1), in, out);
        segment.Ctrl1 = out;
    }
    if (next.IsBezier() && &next != &segment) {
        segment.Ctrl2 = RotatePoint(Node(i + 1), next.Ctrl1, Pi);
    } else {
        TangentControls(Node(i), Node(i + 1), Node(i + 2), in, out);
        segment.Ctrl2 = in;
    }
    segment.Ctrl1.Z = segment.Ctrl2.Z = 0;
}

void TPolyline::ComputeArcCentre(int i) {
    TPlSegment& segment = Seg(i);
    segment.Ctrl1 = segment.Ctrl2 = DefaultArcCentre(Node(i - 1), Node(i), Node(i + 1), Node(i + 2));
}

void TPolyline::SetSegmentKind(int i, int kind) {
    SyncSegments();
    if (!ValidSegment(i) || kind < SegmentKind::Straight || kind > SegmentKind::Arc) return;
    TPlSegment& segment = Seg(i);
    segment.Kind = static_cast<std::uint8_t>(kind);
    if (kind == SegmentKind::Bezier) {
        ComputeBezierControls(i);
    } else if (kind == SegmentKind::Arc) {
        ComputeArcCentre(i);
        if (FVertZero == static_cast<std::uint8_t>(TVertZero::vzBottom)) segment.Inverted = true;
    }
    FreeRegion();
    FChanged = true;
}

int TPolyline::GetSegmentKind(int i) const { return ValidSegment(i) ? Seg(i).Kind : SegmentKind::Straight; }

bool TPolyline::GetNodeControls(int i, TDoublePoint& in, TDoublePoint& out) const {
    if (!ValidSegment(i)) return false;
    in = Seg(i - 1).Ctrl2;
    out = Seg(i).Ctrl1;
    return true;
}

void TPolyline::SetNodeControls(int i, const TDoublePoint& in, const TDoublePoint& out) {
    SyncSegments();
    if (!ValidSegment(i)) return;
    Seg(i - 1).Ctrl2 = in;
    Seg(i).Ctrl1 = out;
    FreeRegion();
    FChanged = true;
}

void TPolyline::SetSegmentControls(int i, const TDoublePoint& ctrl1, const TDoublePoint& ctrl2) {
    SyncSegments();
    if (!ValidSegment(i)) return;
    Seg(i).Ctrl1 = ctrl1;
    Seg(i).Ctrl2 = ctrl2;
    FreeRegion();
    FChanged = true;
}

void TPolyline::SetCorner(int i) {
    SyncSegments();
    if (ValidSegment(i)) Seg(i).Smooth = false;
}

void TPolyline::SetSmooth(int i) {
    SyncSegments();
    if (!ValidSegment(i)) return;
    Seg(i).Smooth = true;
    Seg(i - 1).Ctrl2 = RotatePoint(Node(i), Seg(i).Ctrl1, Pi);
    Seg(i - 1).Ctrl2.Z = 0;
    FreeRegion();
    FChanged = true;
}

void TPolyline::InvertArcSegment(int i) {
    SyncSegments();
    if (!ValidSegment(i)) return;
    Seg(i).Inverted = !Seg(i).Inverted;
    FreeRegion();
    FChanged = true;
}

bool TPolyline::IsSmooth(int i) const { return ValidSegment(i) && Seg(i).Smooth; }

void TPolyline::AllBezier() {
    SyncSegments();
    for (int i = 1; i <= FPointCount; ++i) SetSegmentKind(i, SegmentKind::Bezier);
}

void TPolyline::AllStraight() {
    SyncSegments();
    for (int i = 1; i <= FPointCount; ++i) SetSegmentKind(i, SegmentKind::Straight);
}

void TPolyline::InsertNode(int i) { DivideSegment(i, 2); }

void TPolyline::DivideSegment(int i, int n) {
    SyncSegments();
    if (!ValidSegment(i) || n < 2 || n > kMaxFigurePoints - FPointCount) return;
    const TDoublePoint start = Node(i);
    const TDoublePoint end = Node(i + 1);
    const bool orgInStep = FOrgPoints.size() == FPoints.size();
    const TDoublePoint orgStart = orgInStep ? FOrgPoints[static_cast<std::size_t>(i - 1)] : TDoublePoint{};
    const TDoublePoint orgEnd = orgInStep ? FOrgPoints[static_cast<std::size_t>(Wrap(i + 1) - 1)] : TDoublePoint{};
    const TPlSegment old = Seg(i);
    const auto at = static_cast<std::ptrdiff_t>(i);
    for (int k = n - 1; k >= 1; --k) {
        const double t = static_cast<double>(k) / n;
        FPoints.insert(FPoints.begin() + at, PointAlong(start, end, t));
        if (orgInStep) FOrgPoints.insert(FOrgPoints.begin() + at, PointAlong(orgStart, orgEnd, t));
        TPlSegment piece = old;
        piece.Index = i + k;
        piece.HasDimension = false;
        FSegments.insert(FSegments.begin() + at, piece);
    }
    FPointCount += n - 1;
    // Every piece takes the old kind with its own default controls.
    for (int k = 0; k < n; ++k) Seg(i + k).Kind = SegmentKind::Straight;
    if (old.Kind != SegmentKind::Straight)
        for (int k = 0; k < n; ++k) SetSegmentKind(i + k, old.Kind);
    FreeRegion();
    FChanged = true;
}

void TPolyline::DeleteNode(int i) {
    SyncSegments();
    if (FPointCount <= 2 || !ValidSegment(i)) return;
    const auto at = static_cast<std::ptrdiff_t>(i - 1);
    if (FOrgPoints.size() == FPoints.size()) FOrgPoints.erase(FOrgPoints.begin() + at);
    FPoints.erase(FPoints.begin() + at);
    FSegments.erase(FSegments.begin() + at);
    FPointCount -= 1;
    FSegmentIndex = std::clamp(FSegmentIndex, 1, FPointCount);
    FreeRegion();
    FChanged = true;
}

void TPolyline::ToggleSegmentDimension(int i) {
    SyncSegments();
    if (!ValidSegment(i)) return;
    Seg(i).HasDimension = !Seg(i).HasDimension;
    CreateDimensions();
}

void TPolyline::SetPattern(const TPattern* pattern) {
    FPattern = pattern ? pattern->Copy() : nullptr;
    FreeRegion();
}

// --- path and drawing ---

void TPolyline::BuildPath(TDoublePointArr& points, bool& firstStraight, bool& lastStraight, TDoublePoint& firstStart,
                          TDoublePoint& firstEnd, TDoublePoint& lastStart, TDoublePoint& lastEnd) const {
    points.clear();
    firstStraight = lastStraight = false;
    if (FPointCount <= 0 || FSegments.size() < static_cast<std::size_t>(FPointCount)) return;
    points.push_back(Node(1));
    bool first = true;
    const int count = DrawnSegmentCount();
    for (int i = 1; i <= count; ++i) {
        const TDoublePoint start = Node(i);
        const TDoublePoint end = Node(i + 1);
        if (SamePoint(start, end)) continue;
        const TPlSegment& segment = Seg(i);
        if (first) {
            firstStraight = segment.IsStraight();
            firstStart = start;
            firstEnd = end;
            first = false;
        }
        lastStraight = segment.IsStraight();
        lastStart = start;
        lastEnd = end;
        if (segment.IsBezier()) {
            points.insert(points.end(), {segment.Ctrl1, segment.Ctrl2, end});
            continue;
        }
        if (segment.IsArc()) {
            TDoublePointArr arc = ArcSegmentBezier(segment.Centre(), start, end, segment.Inverted);
            if (arc.size() >= 4) {
                // The path goes on from the end node itself.
                arc.back() = end;
                points.insert(points.end(), arc.begin() + 1, arc.end());
                continue;
            }
        }
        points.insert(points.end(), {start, end, end});
    }
}

TDoublePointArr TPolyline::BuildPath() const {
    TDoublePointArr points;
    bool firstStraight = false, lastStraight = false;
    TDoublePoint a, b, c, d;
    BuildPath(points, firstStraight, lastStraight, a, b, c, d);
    return points;
}

TColor TPolyline::DrawBrushColor(bool grayed) const {
    if (grayed) return TLayer::kGrayColor;
    if (FBrushColor == kLayerColor) return FLayer ? FLayer->BrushColor : 255;
    return FBrushColor;
}

void TPolyline::Draw(TFigureEngine& engine, bool grayed) {
    SyncSegments();
    if (FPointCount <= 0) return;
    engine.SetPenMode(FPersistent ? TPenMode::pmCopy : TPenMode::pmXor);
    const TColor penColor = DrawColor(grayed);
    const TColor brushColor = DrawBrushColor(grayed);
    bool straight = true;
    for (int i = 1; i <= DrawnSegmentCount(); ++i) straight = straight && Seg(i).IsStraight();
    if (straight && !FPattern) {
        TDoublePointArr points;
        GetPoints(points);
        if (FClosed)
            engine.DrawPolygon(points, penColor, FRegion, BrushStyle(), brushColor, PenStyle(), FPenWidth);
        else
            engine.DrawPolylineRowEnds(points, penColor, RowStyle(), PenStyle(), FPenWidth);
    } else {
        const TDoublePointArr points = BuildPath();
        const bool fill = FClosed && FPersistent && !IsClearBrush();
        engine.DrawBezierPath(points, FArrowWidth, FArrowLength, RowStyle(), &FRegion, FPattern.get(), !fill,
                              FClosed, BrushStyle(), brushColor, PenStyle(), FPenWidth, penColor);
    }
    // A rubber band whose mouse point sits on point 1 is closed by the next click.
    if (!FPersistent && FPointCount >= 4 && SamePoint(LastPoint(), FirstPoint()))
        engine.DrawMarker(HandleShape::Square, kCloseMarkGreen, true, kCloseMarkSize, FirstPoint());
}

void TPolyline::DrawExtras(TFigureEngine& engine) {
    TLine::DrawExtras(engine);
    if (FPersistent && FSelected && FPattern) {
        engine.SetPen(0x0000FF, std::max(1, FPenWidth), TPenStyle::psSolid);
        engine.DrawPatternAlong(BuildPath(), *FPattern);
    }
}

// --- hit testing and bounds ---

bool TPolyline::HitTest(double x, double y) {
    SyncSegments();
    if (FClosed && !IsClearBrush() && HitRegion(x, y)) return true;
    const TFigureEngine* engine = FDrawing ? FDrawing->Engine() : nullptr;
    const auto toDevice = [engine](const TDoublePoint& p) { return engine ? engine->ToDevice(p) : p; };
    const TDoublePoint p = DoublePoint(x, y);
    const TDoublePoint devicePoint = toDevice(p);
    const double width = std::max(0, FPenWidth);
    for (int i = 1; i <= DrawnSegmentCount(); ++i) {
        const TDoublePoint start = Node(i);
        const TDoublePoint end = Node(i + 1);
        const TPlSegment& segment = Seg(i);
        bool hit = false;
        if (segment.IsBezier()) {
            hit = HitBezier(start, segment.Ctrl1, segment.Ctrl2, end, p);
        } else if (segment.IsArc()) {
            const TDoublePoint centre = segment.Centre();
            const double r = std::hypot(start.X - centre.X, start.Y - centre.Y);
            double from = 0, to = 0;
            ArcAngles(centre, start, end, segment.Inverted, from, to);
            hit = r > 0 && HitEllipseArc(centre, from, to, TArcStyle::asOpen, r, r, p);
        } else {
            hit = HitSegment(toDevice(start), toDevice(end), devicePoint, 2, width);
        }
        if (hit) {
            FSegmentIndex = i;
            return true;
        }
    }
    return false;
}

void TPolyline::GetBounds(double& maxX, double& maxY, double& minX, double& minY) const {
    if (FPointCount <= 0) {
        maxX = maxY = minX = minY = 0;
        return;
    }
    PointBounds(1, FPointCount, maxX, maxY, minX, minY);
    if (FSegments.size() < static_cast<std::size_t>(FPointCount)) return;
    const auto widen = [&](double x0, double y0, double x1, double y1) {
        minX = std::min({minX, x0, x1});
        maxX = std::max({maxX, x0, x1});
        minY = std::min({minY, y0, y1});
        maxY = std::max({maxY, y0, y1});
    };
    for (int i = 1; i <= DrawnSegmentCount(); ++i) {
        const TDoublePoint start = Node(i);
        const TDoublePoint end = Node(i + 1);
        const TPlSegment& segment = Seg(i);
        if (segment.IsBezier()) {
            double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
            BezierBounds(start, segment.Ctrl1, segment.Ctrl2, end, x0, y0, x1, y1);
            widen(x0, y0, x1, y1);
        } else if (segment.IsArc() && !SamePoint(start, end)) {
            const TDoublePoint centre = segment.Centre();
            const double r = std::hypot(start.X - centre.X, start.Y - centre.Y);
            if (!(r > 0)) continue;
            double from = 0, to = 0;
            ArcAngles(centre, start, end, segment.Inverted, from, to);
            const TDoubleRect box = ArcBounds(centre, from, to, TArcStyle::asOpen, r, r);
            widen(box.Left, box.Top, box.Right, box.Bottom);
        }
    }
}

// --- transformations ---

void TPolyline::Move(double dx, double dy) {
    const bool joinedAtBothEnds = FJoin1 && FJoin2;
    // The line's move: the notice bookkeeping of the joins, and all nodes
    // unless both ends are bound (they follow their targets then).
    TLine::Move(dx, dy);
    if (joinedAtBothEnds) {
        const int n = std::min(FPointCount, static_cast<int>(FPoints.size()));
        for (int i = 2; i < n; ++i) {
            FPoints[static_cast<std::size_t>(i - 1)] = OffsetXY(FPoints[static_cast<std::size_t>(i - 1)], dx, dy);
            if (FOrgPoints.size() == FPoints.size())
                FOrgPoints[static_cast<std::size_t>(i - 1)] =
                    OffsetXY(FOrgPoints[static_cast<std::size_t>(i - 1)], dx, dy);
        }
        FreeRegion();
        const std::vector<TFigure*> joined = FJoinedLines;
        for (TFigure* line : joined) line->JoinedFigureMoved(this, dx, dy);
        RebuildDimensionsIfAny();
    }
    for (TPlSegment& segment : FSegments) {
        segment.Ctrl1 = OffsetXY(segment.Ctrl1, dx, dy);
        segment.Ctrl2 = OffsetXY(segment.Ctrl2, dx, dy);
    }
}

void TPolyline::Rotate(const TDoublePoint& centre, double angle) {
    TLine::Rotate(centre, angle);
    for (TPlSegment& segment : FSegments) {
        segment.Ctrl1 = RotatePoint(centre, segment.Ctrl1, angle);
        segment.Ctrl2 = RotatePoint(centre, segment.Ctrl2, angle);
    }
}

void TPolyline::Mirror(const TDoublePoint& a, const TDoublePoint& b) {
    TLine::Mirror(a, b);
    for (TPlSegment& segment : FSegments) {
        segment.Ctrl1 = MirrorPoint(segment.Ctrl1, a, b);
        segment.Ctrl2 = MirrorPoint(segment.Ctrl2, a, b);
        segment.Inverted = !segment.Inverted;
    }
}

void TPolyline::Scale(const TDoublePoint& origin, double sx, double sy) {
    TLine::Scale(origin, sx, sy);
    for (TPlSegment& segment : FSegments) {
        segment.Ctrl1 = ScalePoint(origin, segment.Ctrl1, sx, sy);
        segment.Ctrl2 = ScalePoint(origin, segment.Ctrl2, sx, sy);
    }
}

void TPolyline::ApplyZeroOrigin(TVertZero vertZero, THorzZero horzZero) {
    TLine::ApplyZeroOrigin(vertZero, horzZero);
    if (!FDrawing) return;
    const bool flipY = static_cast<std::uint8_t>(vertZero) != FVertZero;
    const bool flipX = static_cast<std::uint8_t>(horzZero) != FHorzZero;
    const double height = FDrawing->WorkHeight();
    const double width = FDrawing->WorkWidth();
    for (TPlSegment& segment : FSegments) {
        for (TDoublePoint* p : {&segment.Ctrl1, &segment.Ctrl2}) {
            if (flipY) p->Y = height - p->Y;
            if (flipX) p->X = width - p->X;
        }
        // Each flipped axis reverses the turning sense of an arc.
        if (segment.IsArc()) {
            if (flipY) segment.Inverted = !segment.Inverted;
            if (flipX) segment.Inverted = !segment.Inverted;
        }
    }
}

std::unique_ptr<TFigure> TPolyline::ConvertToBezier() { return nullptr; }
