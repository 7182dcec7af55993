// TPolyline: handles, handle dragging, the pop-up items and interactive
// creation; the freehand tool and the user-drawn polyline.
#include "model/Polyline.h"

#include "model/FigureDocument.h"
#include "model/FigureEngine.h"
#include "model/Geometry.h"
#include "model/Layer.h"
#include "model/ModPoint.h"
#include "model/PolylineGeometry.h"
#include "model/PopupMenu.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kDarkGreen = 0x008000;
constexpr TColor kGreen = 0x00FF00;
constexpr double kPolylineHandleSize = 2.0;
// Rubber points snap onto point 1 within this distance on both axes.
constexpr double kCloseSnap = 3.0;
// Tag of menu entries that only head a group of items.
constexpr int kHeaderTag = -1;

std::unique_ptr<TPolyline> AsPolyline(std::unique_ptr<TFigure> figure) {
    return std::unique_ptr<TPolyline>(static_cast<TPolyline*>(figure.release()));
}

void MakeRubberPen(TFigure& rubber) {
    rubber.FPenWidth = 1;
    rubber.FPenColor = kGreen;
    rubber.FPenStyle = static_cast<int>(TPenStyle::psDash);
    rubber.FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
}
} // namespace

// --- handles ---

void TPolyline::AddHandles() {
    SyncSegments();
    FAddingHandles = true;
    const auto add = [this](std::uint8_t kind, int index, const TDoublePoint& p, TColor color, std::uint8_t shape) {
        if (TModPoint* handle = NewHandle(kind, index, p.X, p.Y, color, shape)) handle->Size = kPolylineHandleSize;
    };
    const int n = FPointCount;
    for (int i = 1; i <= n; ++i) add(kNodeHandle, i, Node(i), kBlue, HandleShape::RotateArrow);
    // The last segment of an open polyline is not drawn and has no handles.
    for (int i = 1; i <= DrawnSegmentCount(); ++i) {
        const TPlSegment& segment = Seg(i);
        if (segment.IsBezier()) {
            add(kControlHandle, i * 10 + 2, segment.Ctrl1, kRed, HandleShape::Square);
            add(kControlHandle, i == n ? 11 : (i + 1) * 10 + 1, segment.Ctrl2, kRed, HandleShape::Square);
        } else if (segment.IsArc()) {
            add(kArcHandle, i, segment.Centre(), kDarkGreen, HandleShape::Square);
        }
    }
    FAddingHandles = false;
}

void TPolyline::PrepareHandle(TModPoint* handle) {
    if (FAddingHandles || !handle || handle->Figure != this) return;
    int segment = 0;
    switch (handle->Kind) {
    case kNodeHandle:
        handle->Color = kRed;
        segment = handle->Index;
        break;
    case kControlHandle:
        segment = handle->Index / 10;
        break;
    case kArcHandle:
        segment = handle->Index;
        break;
    default:
        break;
    }
    if (ValidSegment(segment)) FSegmentIndex = segment;
}

void TPolyline::UnprepareHandle(TModPoint* handle) {
    if (handle && handle->Figure == this && handle->Kind == kNodeHandle) handle->Color = kBlue;
}

void TPolyline::MapHandles(TFigureEngine& engine, bool alternate) {
    SyncSegments();
    const int current = FSegmentIndex;
    if (ValidSegment(current)) {
        engine.SetPenMode(TPenMode::pmCopy);
        if (current <= DrawnSegmentCount()) {
            engine.SetPen(kRed, 1, TPenStyle::psDot);
            engine.DrawLine(Node(current), Node(current + 1));
        }
        // The control lines of the current node.
        engine.SetPen(FDragging ? kGreen : DrawColor(false), 1, FDragging ? TPenStyle::psSolid : PenStyle());
        const int previous = Wrap(current - 1);
        if (Seg(previous).IsBezier() && previous <= DrawnSegmentCount())
            engine.DrawLine(Node(current), Seg(previous).Ctrl2);
        if (Seg(current).IsBezier() && current <= DrawnSegmentCount())
            engine.DrawLine(Node(current), Seg(current).Ctrl1);
    }
    // The radii of arc segments.
    bool penSet = false;
    for (int i = 1; i <= DrawnSegmentCount(); ++i) {
        const TPlSegment& segment = Seg(i);
        if (!segment.IsArc() || !FSelected) continue;
        if (!penSet) {
            engine.SetPen(kDarkGreen, 1, TPenStyle::psSolid);
            penSet = true;
        }
        engine.DrawLine(segment.Centre(), Node(i));
        engine.DrawLine(segment.Centre(), Node(i + 1));
    }
    // Control handles show only for the current node; all get their device positions.
    for (TModPoint* handle : FHandles)
        if (handle->Kind == kControlHandle) handle->Visible = handle->Index / 10 == current;
    TLine::MapHandles(engine, alternate);
}

// --- dragging ---

std::unique_ptr<TFigure> TPolyline::CreateGhost() const {
    std::unique_ptr<TPolyline> ghost = AsPolyline(NewFigure(TPolyline::StaticClass(), FLayer, nullptr, false));
    CopyGeometryTo(*ghost);
    ghost->FPenWidth = 1;
    ghost->FPenColor = kGreen;
    ghost->FPenStyle = static_cast<int>(TPenStyle::psSolid);
    ghost->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    ghost->FRowStyle = static_cast<std::uint8_t>(TRowStyle::rsNone);
    ghost->FRotCentre = FRotCentre;
    return ghost;
}

void TPolyline::DragHandle(int kind, int index, const TDoublePoint& from, const TDoublePoint& to) {
    SyncSegments();
    const double dx = to.X - from.X;
    const double dy = to.Y - from.Y;
    switch (kind) {
    case kNodeHandle:
    case HandleKind::Corner: {
        if (!ValidSegment(index)) return;
        TDoublePoint& node = FPoints[static_cast<std::size_t>(index - 1)];
        node = OffsetXY(node, dx, dy);
        TPlSegment& outgoing = Seg(index);
        TPlSegment& incoming = Seg(index - 1);
        if (outgoing.IsBezier()) outgoing.Ctrl1 = OffsetXY(outgoing.Ctrl1, dx, dy);
        if (incoming.IsBezier()) incoming.Ctrl2 = OffsetXY(incoming.Ctrl2, dx, dy);
        // Adjacent arcs get their default centres again; their direction stays.
        if (incoming.IsArc()) ComputeArcCentre(index - 1);
        if (outgoing.IsArc()) ComputeArcCentre(index);
        break;
    }
    case kControlHandle: {
        const int n = index / 10;
        const int side = index % 10;
        if (!ValidSegment(n) || (side != 1 && side != 2)) return;
        const TDoublePoint node = Node(n);
        TPlSegment& incoming = Seg(n - 1);
        TPlSegment& outgoing = Seg(n);
        TDoublePoint& dragged = side == 1 ? incoming.Ctrl2 : outgoing.Ctrl1;
        const TPlSegment& other = side == 1 ? outgoing : incoming;
        TDoublePoint& opposite = side == 1 ? outgoing.Ctrl1 : incoming.Ctrl2;
        const TDoublePoint old = dragged;
        dragged = OffsetXY(dragged, dx, dy);
        if (outgoing.Smooth && other.IsBezier() && &incoming != &outgoing)
            opposite = RotatePoint(node, opposite, AngleOf(node, dragged) - AngleOf(node, old));
        break;
    }
    case kArcHandle: {
        if (!ValidSegment(index) || !Seg(index).IsArc()) return;
        const TDoublePoint start = Node(index);
        const TDoublePoint end = Node(index + 1);
        TDoublePoint centre;
        // A point on the chord's line gives no circle: the arc stays as it is.
        if (!CircleThrough(start, end, to, centre)) return;
        TPlSegment& segment = Seg(index);
        segment.Ctrl1 = segment.Ctrl2 = centre;
        double a = 0, b = 0;
        ArcAngles(centre, start, end, false, a, b);
        segment.Inverted = !AngleInSweep(AngleOf(centre, to), a, b);
        break;
    }
    default:
        return;
    }
    FreeRegion();
    FChanged = true;
}

void TPolyline::GhostDrag(TModPoint* handle, double x, double y, TFigure* ghost) {
    auto* polyline = dynamic_cast<TPolyline*>(ghost);
    if (!handle || !polyline || polyline == this) return;
    FDragging = true;
    CopyGeometryTo(*polyline);
    polyline->DragHandle(handle->Kind, handle->Index, DoublePoint(handle->X, handle->Y), DoublePoint(x, y));
}

void TPolyline::ApplyDrag(TModPoint* handle, int flags, double x, double y, TFigure*) {
    if (!handle) return;
    FDragging = false;
    const int kind = handle->Kind;
    const int index = handle->Index;
    DragHandle(kind, index, DoublePoint(handle->X, handle->Y), DoublePoint(x, y));
    FreeRegion();
    FChanged = true;
    if (kind != kNodeHandle || (flags & kBindFlags) != kBindFlags) return;
    if (index == 1) BindEndAt(1, x, y);
    else if (index == FPointCount) BindEndAt(2, x, y);
}

// --- pop-up items ---

void TPolyline::AddPopupItems(TPopupMenuBuilder& menu, int& nextTag) {
    SyncSegments();
    FPopupTag = nextTag;
    const int t = nextTag;
    const int current = FSegmentIndex;
    const bool smooth = IsSmooth(current);
    const int kind = GetSegmentKind(current);
    menu.AddItem(QStringLiteral("alles runden"), t + 0);
    menu.AddItem(QStringLiteral("alles gerade"), t + 1);
    if (FClosed) menu.AddItem(QStringLiteral("Figur öffnen"), t + 2);
    else menu.AddItem(QStringLiteral("Figur schließen"), t + 3);
    menu.BeginSubMenu(QStringLiteral("Kontrolllinie"));
    menu.AddItem(QStringLiteral("Tangente"), t + 5, smooth);
    menu.AddItem(QStringLiteral("Broken Legs"), t + 6, !smooth);
    menu.AddItem(QStringLiteral("Knoten einfügen"), t + 7);
    menu.AddItem(QStringLiteral("Knoten löschen"), t + 8);
    menu.EndSubMenu();
    menu.BeginSubMenu(QStringLiteral("Segment"));
    menu.AddItem(QStringLiteral("Linear"), t + 9, kind == SegmentKind::Straight);
    menu.AddItem(QStringLiteral("rund"), t + 10, kind == SegmentKind::Bezier);
    menu.AddItem(QStringLiteral("Bogen"), t + 11, kind == SegmentKind::Arc);
    if (kind == SegmentKind::Arc) {
        menu.AddItem(QString(), kHeaderTag);
        menu.AddItem(QStringLiteral("Bogensegment invertieren"), t + 12);
    }
    const TPlSegment* segment = Segment(current);
    menu.AddItem(QStringLiteral("Bemaßungslinie"), t + 15, segment && segment->HasDimension);
    menu.AddItem(QStringLiteral("Segment durch 3 teilen"), t + 14);
    menu.EndSubMenu();
    menu.BeginSubMenu(QStringLiteral("Stift Pattern"));
    menu.AddItem(QStringLiteral("keine Pattern"), t + 13, !FPattern);
    const int patterns = FDrawing ? std::max(0, FDrawing->PatternCount()) : 0;
    for (int k = 0; k < patterns; ++k) {
        const TPattern* pattern = FDrawing->PatternAt(k);
        if (!pattern) continue;
        menu.AddItem(pattern->Name, t + kPopupItemCount + k, FPattern && *FPattern == *pattern);
    }
    menu.EndSubMenu();
    nextTag += kPopupItemCount + patterns;
}

void TPolyline::PopupItemClicked(int tag) {
    SyncSegments();
    const int current = FSegmentIndex;
    const auto next = [this](int i) { return i + 1 > FPointCount ? 1 : i + 1; };
    switch (tag - FPopupTag) {
    case 0: AllBezier(); break;
    case 1: AllStraight(); break;
    case 2: SetClosed(false); break;
    case 3: SetClosed(true); break;
    case 5: SetSmooth(current); break;
    case 6: SetCorner(current); break;
    case 7:
        if (!ValidSegment(current)) break;
        InsertNode(current);
        FSegmentIndex = next(current);
        break;
    case 8:
        if (FPointCount < 3 || !ValidSegment(current)) break;
        DeleteNode(current);
        FSegmentIndex = current > 1 ? current - 1 : FPointCount;
        break;
    case 9:
    case 10:
    case 11: SetSegmentKind(current, tag - FPopupTag - 9); break;
    case 12: InvertArcSegment(current); break;
    case 13: SetPattern(nullptr); break;
    case 14:
        if (!ValidSegment(current)) break;
        DivideSegment(current, 3);
        FSegmentIndex = next(current);
        break;
    case 15: ToggleSegmentDimension(current); break;
    default: {
        const int k = tag - FPopupTag - kPopupItemCount;
        if (FDrawing && k >= 0 && k < FDrawing->PatternCount())
            if (const TPattern* pattern = FDrawing->PatternAt(k)) SetPattern(pattern);
        break;
    }
    }
    FreeRegion();
    RefreshHandles();
}

// --- interactive creation ---

std::unique_ptr<TFigure> TPolyline::CreatePolylineRubber(const TFigureClass& cls, double x, double y) {
    std::unique_ptr<TPolyline> rubber = AsPolyline(NewFigure(cls, nullptr, nullptr, false));
    rubber->AppendNode(DoublePoint(x, y));
    rubber->AppendNode(DoublePoint(x, y));
    MakeRubberPen(*rubber);
    return rubber;
}

bool TPolyline::SnapToFirst(double& x, double& y) const {
    if (FPointCount < 1) return false;
    const TDoublePoint first = GetPoint(1);
    if (std::abs(first.X - x) > kCloseSnap || std::abs(first.Y - y) > kCloseSnap) return false;
    x = first.X;
    y = first.Y;
    return true;
}

void TPolyline::RubberMove(int clickNo, double x, double y) {
    SyncSegments();
    // The point after the clicked ones follows the mouse.
    if (clickNo < 1 || clickNo > FPointCount) return;
    SnapToFirst(x, y);
    if (clickNo + 1 > FPointCount) AppendNode(DoublePoint(x, y));
    else SetPoint(clickNo + 1, DoublePoint(x, y));
    FreeRegion();
}

bool TPolyline::RubberClick(int clickNo, double x, double y) {
    SyncSegments();
    const bool snapped = SnapToFirst(x, y);
    if (clickNo <= 1 || clickNo > FPointCount + 1) return false;
    const TDoublePoint p = DoublePoint(x, y);
    if (clickNo > FPointCount) AppendNode(p);
    else SetPoint(clickNo, p);
    FPointCount = clickNo;
    SyncSegments();
    // The new last point follows the mouse.
    AppendNode(p);
    FreeRegion();
    if (snapped && clickNo > 2) {
        FClosed = true;
        return true;
    }
    return false;
}

std::unique_ptr<TFigure> TPolyline::CommitPolyline(const TFigureClass& target, TFigureDocument* document,
                                                   TLayer* layer, TFigure* rubber) {
    if (!rubber) return nullptr;
    TDoublePointArr points;
    rubber->GetPoints(points);
    // The last two rubber points are the mouse's; a polyline needs two nodes more.
    if (points.size() < 4) return nullptr;
    points.resize(points.size() - 2);
    const auto* polyline = dynamic_cast<const TPolyline*>(rubber);
    const TFigureDefaults defaults = document ? document->Defaults() : TFigureDefaults{};
    const bool closed = (polyline && polyline->FClosed) || defaults.PLineClosed;
    std::unique_ptr<TPolyline> result = CreateOfClass(target, points, document, true, layer, closed);
    if (!result) return nullptr;
    result->FPenWidth = defaults.PenWidth;
    result->FPenColor = defaults.PenColor;
    result->FPenStyle = static_cast<int>(defaults.PenStyle);
    result->FBrushColor = defaults.BrushColor;
    result->FBrushStyle = static_cast<int>(defaults.BrushStyle);
    result->FRowStyle = static_cast<std::uint8_t>(defaults.RowStyle);
    return result;
}

// --- freehand ---

const TFigureClass& TFreeHand::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c =
            MakeFigureClass<TFreeHand>(QStringLiteral("TFreeHand"), static_cast<int>(TShapeKind::Line));
        c.CreateRubber = [](const TFigureClass& rubberClass, double x, double y) -> std::unique_ptr<TFigure> {
            std::unique_ptr<TFigure> figure = NewFigure(rubberClass, nullptr, nullptr, false);
            auto* rubber = static_cast<TFreeHand*>(figure.get());
            rubber->AppendNode(DoublePoint(x, y));
            MakeRubberPen(*rubber);
            return figure;
        };
        c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
            return CommitPolyline(TPolyline::StaticClass(), document, layer, rubber);
        };
        return c;
    }();
    return cls;
}

const TFigureClass& TFreeHand::Class() const { return StaticClass(); }

QString TFreeHand::GetTypeName() const { return QStringLiteral("FreeHand"); }

bool TFreeHand::RubberClick(int clickNo, double, double) { return clickNo >= 2; }

void TFreeHand::RubberMove(int, double x, double y) {
    if (FPointCount >= kMaxFigurePoints) return;
    AppendNode(DoublePoint(x, y));
    FreeRegion();
}

// --- user-drawn polyline ---

const TFigureClass& TUserPolyline::StaticClass() {
    static const TFigureClass cls = [] {
        TFigureClass c =
            MakeFigureClass<TUserPolyline>(QStringLiteral("TUserPolyline"), static_cast<int>(TShapeKind::Line));
        c.CreateRubber = &TPolyline::CreatePolylineRubber;
        c.Commit = [](TFigureDocument* document, TLayer* layer, TFigure* rubber) {
            std::unique_ptr<TFigure> polyline = CommitPolyline(TUserPolyline::StaticClass(), document, layer, rubber);
            if (polyline && document) polyline->FCName = document->UserFigureName();
            return polyline;
        };
        return c;
    }();
    return cls;
}

const TFigureClass& TUserPolyline::Class() const { return StaticClass(); }

QString TUserPolyline::GetTypeName() const { return QStringLiteral("UserPolyline"); }

void TUserPolyline::Draw(TFigureEngine& engine, bool grayed) {
    if (!OfferUserDraw(engine, grayed)) TPolyline::Draw(engine, grayed);
}

bool TUserPolyline::HitTest(double x, double y) {
    if (const std::optional<bool> decided = OfferUserHitTest(x, y)) return *decided;
    return TPolyline::HitTest(x, y);
}
