#include "model/DrawObjects.h"

#include "model/FigureDocument.h"
#include "model/FigureEngine.h"
#include "model/Geometry.h"
#include "model/Layer.h"
#include "model/ModPoint.h"
#include "model/TextHelpers.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
std::uint64_t gFigureChangeEpoch = 1;
int gRegionResets = 0;
} // namespace

std::uint64_t FigureChangeEpoch() { return gFigureChangeEpoch; }
void TFigure::NoteChange() { FChangeStamp = ++gFigureChangeEpoch; }
TRegionResetScope::TRegionResetScope() { ++gRegionResets; }
TRegionResetScope::~TRegionResetScope() { --gRegionResets; }

TFigure::TFigure(TLayer* layer, TFigureDocument* document, bool persistent)
    : FPersistent(persistent), FLayer(layer), FDrawing(document) {
    FHandle = reinterpret_cast<std::intptr_t>(this);
    if (document) {
        FVertZero = static_cast<std::uint8_t>(document->VerticalZero());
        FHorzZero = static_cast<std::uint8_t>(document->HorizontalZero());
    }
}

TFigure::~TFigure() {
    FreeHandles();
    FRegion.reset();
    // No figure may keep a reference to this one.
    if (FJoin1) BindJoin(1, nullptr);
    if (FJoin2) BindJoin(2, nullptr);
    const std::vector<TFigure*> joined = std::exchange(FJoinedLines, {});
    for (TFigure* line : joined) {
        if (line->FJoin1 == this) line->FJoin1 = nullptr;
        if (line->FJoin2 == this) line->FJoin2 = nullptr;
    }
    FDimensions.clear();
}

// --- points ---

TDoublePoint TFigure::GetPoint(int i) const {
    if (FPoints.empty()) return {};
    if (i < 1 || i > static_cast<int>(FPoints.size())) return FPoints.front();
    return FPoints[static_cast<std::size_t>(i - 1)];
}

bool TFigure::SetPoint(int i, const TDoublePoint& p) {
    if (i < 1 || i > kMaxFigurePoints) return false;
    NoteChange();
    while (static_cast<int>(FPoints.size()) < i) {
        FPoints.push_back({});
        if (FLoading) PointAdded();
    }
    FPoints[static_cast<std::size_t>(i - 1)] = p;
    return true;
}

TDoublePoint TFigure::GetOrgPoint(int i) const {
    if (i < 1 || i > static_cast<int>(FOrgPoints.size())) return {};
    return FOrgPoints[static_cast<std::size_t>(i - 1)];
}

bool TFigure::SetOrgPoint(int i, const TDoublePoint& p) {
    if (i < 1 || i > kMaxFigurePoints) return false;
    if (static_cast<int>(FOrgPoints.size()) < i) FOrgPoints.resize(static_cast<std::size_t>(i));
    FOrgPoints[static_cast<std::size_t>(i - 1)] = p;
    return true;
}

void TFigure::GetPoints(TDoublePointArr& points) const { GetPointsUpTo(points, FPointCount); }

void TFigure::GetPointsUpTo(TDoublePointArr& points, int n) const {
    const auto count = static_cast<std::size_t>(std::clamp(std::min(n, FPointCount), 0,
                                                           static_cast<int>(FPoints.size())));
    points.assign(FPoints.begin(), FPoints.begin() + static_cast<std::ptrdiff_t>(count));
}

void TFigure::ClearPoints() {
    FPoints.clear();
    FOrgPoints.clear();
    FPointCount = 0;
}

void TFigure::SyncPointArrays() {
    const auto n = static_cast<std::size_t>(FPointCount);
    FPoints.resize(n);
    FOrgPoints.resize(n);
}

void TFigure::SetPointCount(int count) {
    FPointCount = std::clamp(count, 0, kMaxFigurePoints);
    NoteChange();
}

// --- enumerations ---

TPenStyle TFigure::PenStyle() const {
    return static_cast<TPenStyle>(std::clamp(FPenStyle, 0, static_cast<int>(TPenStyle::psInsideFrame)));
}

TBrushStyle TFigure::BrushStyle() const {
    return static_cast<TBrushStyle>(std::clamp(FBrushStyle, 0, static_cast<int>(TBrushStyle::bsDiagCross)));
}

TRowStyle TFigure::RowStyle() const {
    return FRowStyle < EnumCount<TRowStyle>() ? static_cast<TRowStyle>(FRowStyle) : TRowStyle::rsNone;
}

// --- simple slots ---

void TFigure::SetInCombined(bool flag) { FInCombined = flag; }
TDoublePoint TFigure::GetCorner1() const { return GetPoint(1); }
TDoublePoint TFigure::GetCorner2() const { return GetPoint(2); }
TDoublePoint TFigure::GetCorner3() const { return GetPoint(3); }
TDoublePoint TFigure::GetCorner4() const { return GetPoint(4); }
void TFigure::PointAdded() {}

void TFigure::Modified() {
    NoteChange();
    RebuildDimensionsIfAny();
    if (FDrawing) FDrawing->FigureModified(this);
}

void TFigure::ClearDimensions() { FDimensions.clear(); }
void TFigure::CreateDimensions() { ClearDimensions(); }
std::unique_ptr<TFigure> TFigure::CreateOffsetFigure(double) { return nullptr; }
QString TFigure::GetTypeName() const { return QStringLiteral("Figure"); }
bool TFigure::IsMetafile() const { return false; }
bool TFigure::IsPolyline() const { return false; }

void TFigure::Initialize() {
    FTagNumber = NewFigureTag();
    FFillBitmap = QImage();
    FFillBitmapBytes.clear();
    FFillParams = {};
    FUndoRefs = 0;
    FTag31 = 0;
}

void TFigure::MakeName() {
    FClassName = Class().Name;
    SetName(FClassName.mid(1) + QString::number(FHandle));
    MakeUniqueName();
}

void TFigure::MakeUniqueName() {
    if (!FDrawing || FLoading || !FDrawing->IsNameUsed(FName, this)) return;
    const QString stem = FClassName.mid(1);
    // The figure's own handle makes a fresh name unless an address was reused.
    const QString own = stem + QString::number(FHandle);
    if (!FDrawing->IsNameUsed(own, this)) {
        SetName(own);
        return;
    }
    for (int n = 1;; ++n) {
        const QString candidate = stem + QString::number(n);
        if (!FDrawing->IsNameUsed(candidate, this)) {
            SetName(candidate);
            return;
        }
    }
}

void TFigure::SetName(const QString& name) {
    FName = name;
    if (FDrawing) FDrawing->FigureRenamed(this);
}

void TFigure::Edit() {
    if (FDrawing) FDrawing->FigureEdit(this);
}

void TFigure::PrepareHandle(TModPoint*) {}
void TFigure::UnprepareHandle(TModPoint*) {}

bool TFigure::SnapToPoint(double& x, double& y) const {
    for (const TDoublePoint& p : FPoints) {
        if (std::abs(p.X - x) <= 3 && std::abs(p.Y - y) <= 3) {
            x = p.X;
            y = p.Y;
            return true;
        }
    }
    return false;
}

// --- bounds ---

void TFigure::PointBounds(int first, int last, double& maxX, double& maxY, double& minX, double& minY) const {
    maxX = maxY = -std::numeric_limits<double>::max();
    minX = minY = std::numeric_limits<double>::max();
    for (int i = first; i <= last; ++i) {
        const TDoublePoint p = GetPoint(i);
        maxX = std::max(maxX, p.X);
        maxY = std::max(maxY, p.Y);
        minX = std::min(minX, p.X);
        minY = std::min(minY, p.Y);
    }
}

void TFigure::GetBounds(double& maxX, double& maxY, double& minX, double& minY) const {
    switch (static_cast<TShapeKind>(ShapeKind())) {
    case TShapeKind::Line:
        PointBounds(1, 2, maxX, maxY, minX, minY);
        return;
    case TShapeKind::Quad:
        PointBounds(1, 4, maxX, maxY, minX, minY);
        return;
    case TShapeKind::Circle: {
        const TDoublePoint c = GetPoint(1);
        maxX = c.X + FRadius;
        maxY = c.Y + FRadius;
        minX = c.X - FRadius;
        minY = c.Y - FRadius;
        return;
    }
    default:
        PointBounds(1, std::max(1, std::min(FPointCount, static_cast<int>(FPoints.size()))), maxX, maxY, minX,
                    minY);
        return;
    }
}

void TFigure::GetBounds2(double& maxX, double& maxY, double& minX, double& minY) const {
    GetBounds(maxX, maxY, minX, minY);
}

void TFigure::UnionBounds(double& maxX, double& maxY, double& minX, double& minY) const {
    double ax, ay, ix, iy;
    GetBounds(ax, ay, ix, iy);
    maxX = std::max(maxX, ax);
    maxY = std::max(maxY, ay);
    minX = std::min(minX, ix);
    minY = std::min(minY, iy);
}

bool TFigure::GetRegionBounds(double& maxX, double& maxY, double& minX, double& minY) const {
    if (!FDrawing || !FRegion || !FDrawing->Engine()) return false;
    const TDeviceRect box = FRegion->BoundingBox();
    const TFigureEngine& engine = *FDrawing->Engine();
    const TDoublePoint a = engine.ToWorld(box.Left, box.Top);
    const TDoublePoint b = engine.ToWorld(box.Right, box.Bottom);
    maxX = std::max(a.X, b.X);
    maxY = std::max(a.Y, b.Y);
    minX = std::min(a.X, b.X);
    minY = std::min(a.Y, b.Y);
    return true;
}

TDoubleRect TFigure::GetBoundsRect() const {
    double maxX, maxY, minX, minY;
    GetBounds(maxX, maxY, minX, minY);
    return TDoubleRect{minX, minY, maxX, maxY};
}

TDoublePoint TFigure::GetCentre() const {
    const TDoubleRect r = GetBoundsRect();
    return DoublePoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

bool TFigure::TouchesRectStrict(const TDoubleRect& rect) const {
    const TDoubleRect b = GetBoundsRect();
    const double left = std::min(rect.Left, rect.Right), right = std::max(rect.Left, rect.Right);
    const double top = std::min(rect.Top, rect.Bottom), bottom = std::max(rect.Top, rect.Bottom);
    return std::min(b.Left, b.Right) >= left && std::max(b.Left, b.Right) <= right &&
           std::min(b.Top, b.Bottom) >= top && std::max(b.Top, b.Bottom) <= bottom;
}

bool TFigure::TouchesRect(const TDoubleRect& rect, bool& result) {
    result = false;
    return RectsOverlap(rect, GetBoundsRect());
}

// --- transformations ---

void TFigure::RebuildDimensionsIfAny() {
    if (!FDimensions.empty() || FHasDimensions) CreateDimensions();
}

void TFigure::Move(double dx, double dy) {
    for (TDoublePoint& p : FPoints) p = OffsetXY(p, dx, dy);
    for (TDoublePoint& p : FOrgPoints) p = OffsetXY(p, dx, dy);
    FRotCentre = OffsetXY(FRotCentre, dx, dy);
    FreeRegion();
    const std::vector<TFigure*> joined = FJoinedLines;
    for (TFigure* line : joined) line->JoinedFigureMoved(this, dx, dy);
    RebuildDimensionsIfAny();
}

void TFigure::Rotate(const TDoublePoint& centre, double angle) {
    if (FChanged || centre.X != FRotCentre.X || centre.Y != FRotCentre.Y || FOrgPoints.size() != FPoints.size()) {
        FRotAngle = 0;
        FOrgPoints = FPoints;
        FRotCentre = centre;
    }
    FRotAngle += angle;
    const std::size_t n = std::min(FPoints.size(), FOrgPoints.size());
    for (std::size_t i = 0; i < n; ++i) FPoints[i] = RotatePoint(FRotCentre, FOrgPoints[i], FRotAngle);
    RebuildDimensionsIfAny();
    FreeRegion();
}

void TFigure::Mirror(const TDoublePoint& a, const TDoublePoint& b) {
    for (TDoublePoint& p : FPoints) p = MirrorPoint(p, a, b);
    for (TDoublePoint& p : FOrgPoints) p = MirrorPoint(p, a, b);
    RebuildDimensionsIfAny();
    FreeRegion();
}

void TFigure::Scale(const TDoublePoint& origin, double sx, double sy) {
    for (TDoublePoint& p : FPoints) p = ScalePoint(origin, p, sx, sy);
    for (TDoublePoint& p : FOrgPoints) p = ScalePoint(origin, p, sx, sy);
    FRadius *= sy;
    RebuildDimensionsIfAny();
    FreeRegion();
}

void TFigure::ApplyZeroOrigin(TVertZero vertZero, THorzZero horzZero) {
    if (!FDrawing) return;
    const double height = FDrawing->WorkHeight();
    const double width = FDrawing->WorkWidth();
    const bool flipY = static_cast<std::uint8_t>(vertZero) != FVertZero;
    const bool flipX = static_cast<std::uint8_t>(horzZero) != FHorzZero;
    for (TDoublePointArr* points : {&FPoints, &FOrgPoints}) {
        for (TDoublePoint& p : *points) {
            if (flipY) p.Y = height - p.Y;
            if (flipX) p.X = width - p.X;
        }
    }
}

void TFigure::SetAttribute(int kind, int value) {
    NoteChange();
    switch (kind) {
    case 0:
        FPenColor = value;
        break;
    case 1:
        FPenWidth = value;
        break;
    case 2:
        FBrushColor = value;
        break;
    case 3:
        FPenStyle = value;
        break;
    case 4:
        FBrushStyle = value;
        break;
    case 5:
        FRowStyle = static_cast<std::uint8_t>(value);
        break;
    default:
        break;
    }
}

void TFigure::SetFontAttribute(int, const QString&, bool, int, double) {}

// --- hit testing ---

bool TFigure::HitRegion(double x, double y) const {
    if (!FDrawing || !FRegion || !FDrawing->Engine()) return false;
    const QPoint d = FDrawing->Engine()->ToPixel(DoublePoint(x, y));
    return FRegion->Contains(d.x(), d.y());
}

bool TFigure::HitTest(double x, double y) {
    const TFigureEngine* engine = FDrawing ? FDrawing->Engine() : nullptr;
    const auto toDevice = [engine](const TDoublePoint& p) { return engine ? engine->ToDevice(p) : p; };
    const TDoublePoint point = toDevice(DoublePoint(x, y));
    const TDoublePoint corners[4] = {toDevice(GetCorner1()), toDevice(GetCorner2()), toDevice(GetCorner3()),
                                     toDevice(GetCorner4())};
    if (FRegionHit && HitRegion(x, y)) return true;
    const double width = std::max(0, FPenWidth);
    switch (static_cast<TShapeKind>(ShapeKind())) {
    case TShapeKind::Line:
        return HitSegment(corners[0], corners[1], point, 2, width);
    case TShapeKind::Quad:
        for (int i = 0; i < 4; ++i)
            if (HitSegment(corners[i], corners[(i + 1) % 4], point, 2, width)) return true;
        return !IsClearBrush() && HitRegion(x, y);
    case TShapeKind::Circle: {
        const TDoublePoint c = GetPoint(1);
        if (HitCircle(FRadius, c, DoublePoint(x, y))) return true;
        return !IsClearBrush() && HitRegion(x, y);
    }
    default:
        return false;
    }
}

// --- drawing ---

bool TFigure::OfferUserDraw(TFigureEngine& engine, bool grayed) {
    if (!FDrawing) return false;
    engine.SetPenMode(TPenMode::pmCopy);
    return FDrawing->UserDraw(this, FCName, engine, grayed);
}

std::optional<bool> TFigure::OfferUserHitTest(double x, double y) {
    return FDrawing ? FDrawing->UserHitTest(this, FCName, x, y) : std::nullopt;
}

void TFigure::Draw(TFigureEngine&, bool) {}

void TFigure::DrawDimensions(TFigureEngine& engine, bool grayed) {
    for (const auto& dimension : FDimensions) dimension->Draw(engine, grayed);
}

void TFigure::DrawNormal(TFigureEngine& engine) { Draw(engine, false); }

void TFigure::FreeRegion() {
    FRegion.reset();
    if (gRegionResets == 0) NoteChange();
}

void TFigure::DrawExtras(TFigureEngine& engine) {
    if (!FFillBitmap.isNull())
        engine.DrawFillBitmap(GetBoundsRect(), FFillParams.VAlign, FFillBitmap, FFillParams.HAlign,
                              FFillParams.OffsetX, FFillParams.OffsetY);
    if (FShowInfo && !FInfo.isEmpty()) {
        const TDoubleRect r = GetBoundsRect();
        const TColor color = FLayer ? FLayer->TextColor : 0;
        engine.DrawInfoText(DoublePoint((r.Left + r.Right) / 2, r.Bottom + 3), color, 4, QStringLiteral("Tahoma"),
                            FInfo);
    }
}

void TFigure::DrawExtras2(TFigureEngine& engine) { DrawExtras(engine); }

// --- operations the figure classes provide ---

bool TFigure::RubberClick(int, double, double) { return false; }
void TFigure::RubberMove(int, double, double) {}
TDoublePoint TFigure::FirstPoint() const { return GetPoint(1); }
TDoublePoint TFigure::LastPoint() const { return GetPoint(FPointCount); }
void TFigure::AddPopupItems(TPopupMenuBuilder&, int& nextTag) { FPopupTag = nextTag; }
void TFigure::PopupItemClicked(int) {}
void TFigure::CollectVectors(std::vector<TVectorObject>&, const TDoublePoint&) {}
std::unique_ptr<TFigure> TFigure::ConvertToBezier() { return nullptr; }
bool TFigure::SplitAtPoint(const TDoublePoint&, std::vector<TFigure*>&) { return false; }
bool TFigure::IntersectLine(const TDoublePoint&, const TDoublePoint&, TDoublePointArr&) { return false; }
void TFigure::SetLegacyDevicePoints(std::vector<QPoint>) {}

bool TFigure::CutByLine(const TDoublePoint& a, const TDoublePoint& b, std::vector<TFigure*>& list) {
    TDoublePointArr points;
    if (!IntersectLine(a, b, points)) return false;
    return SplitAtPoints(points, list);
}

bool TFigure::SplitAtPoints(const TDoublePointArr& points, std::vector<TFigure*>& list) {
    return SplitAtPointsBase(points, list);
}

bool TFigure::SplitAtPointsBase(const TDoublePointArr& points, std::vector<TFigure*>& list) {
    list.push_back(this);
    // The pieces this call makes belong to the caller once they are in the list;
    // a piece that is cut again is replaced by its own pieces and freed.
    std::vector<TFigure*> made;
    bool split = false;
    for (const TDoublePoint& p : points) {
        // Pieces made by this cut are appended; only those already there are asked.
        const std::vector<TFigure*> current = list;
        for (TFigure* figure : current) {
            const std::size_t before = list.size();
            if (figure->SplitAtPoint(p, list)) {
                made.insert(made.end(), list.begin() + static_cast<std::ptrdiff_t>(before), list.end());
                list.erase(std::find(list.begin(), list.end(), figure));
                if (const auto own = std::find(made.begin(), made.end(), figure); own != made.end()) {
                    made.erase(own);
                    delete figure;
                }
                split = true;
            }
        }
    }
    if (const auto self = std::find(list.begin(), list.end(), this); self != list.end()) list.erase(self);
    return split;
}

// --- joins ---

void TFigure::BindJoin(int end, TFigure* target) {
    TFigure*& slot = end == 1 ? FJoin1 : FJoin2;
    if (slot == target) return;
    if (slot) {
        TFigure* old = slot;
        slot = nullptr;
        // The old target keeps the line only while its other end is still bound to it.
        if (FJoin1 != old && FJoin2 != old) std::erase(old->FJoinedLines, this);
    }
    slot = target;
    if (target && std::find(target->FJoinedLines.begin(), target->FJoinedLines.end(), this) ==
                      target->FJoinedLines.end())
        target->FJoinedLines.push_back(this);
}

void TFigure::SetJoin1(TFigure* target) {
    if (CanJoin() && target != this) BindJoin(1, target);
}

void TFigure::SetJoin2(TFigure* target) {
    if (CanJoin() && target != this) BindJoin(2, target);
}

void TFigure::Unbound() {
    BindJoin(1, nullptr);
    BindJoin(2, nullptr);
}

void TFigure::JoinedFigureMoved(TFigure* target, double dx, double dy) {
    if (FPoints.empty()) return;
    if (FJoin1 == target) FPoints.front() = OffsetXY(FPoints.front(), dx, dy);
    if (FJoin2 == target) {
        const int last = std::clamp(FPointCount, 1, static_cast<int>(FPoints.size()));
        FPoints[static_cast<std::size_t>(last - 1)] = OffsetXY(FPoints[static_cast<std::size_t>(last - 1)], dx, dy);
    }
    FreeRegion();
}
