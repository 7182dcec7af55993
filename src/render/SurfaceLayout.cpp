// Layout of the surface: page corner and size in pixels, centring, scroll
// ranges and positions, ruler tick level, and the zoom operations.
#include "render/Rulers.h"
#include "render/VXDrawBox.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace {
constexpr int kPageCornerWithRulers = 35;
constexpr int kPageCornerWithoutRulers = 5;
constexpr int kScrollExtra = 25;
constexpr int kZoomStep = 10;
constexpr int kSmallScrollChange = 10;

int Nearest(double v) {
    if (!std::isfinite(v)) return 0;
    v = std::clamp(v, -1e9, 1e9);
    return static_cast<int>(std::nearbyint(v));
}
} // namespace

void TVXDrawBox::ReLocate() {
    Layout(true);
}

void TVXDrawBox::Layout(bool force) {
    if (Locked()) return;
    const int oldValues[4] = {FOriginX, FOriginY, FPageWidth, FPageHeight};
    const double f = Factor();
    FPageWidth = Nearest(f * FWorkWidth);
    FPageHeight = Nearest(f * FWorkHeight);
    const bool rulers = RulerVisible();
    const int corner = rulers ? kPageCornerWithRulers : kPageCornerWithoutRulers;
    const int offset = rulers ? kRulerSize : 0;
    const int usableWidth = SurfaceWidth() - offset;
    const int usableHeight = SurfaceHeight() - offset;

    const auto axis = [&](int pagePixels, int usable, bool& active, int& range, int& page, int& pos, int& origin) {
        if (pagePixels < usable) {
            origin = (usable - pagePixels) / 2 + offset;
            active = false;
            range = page = pos = 0;
        } else if (FScrollBars) {
            active = true;
            range = pagePixels + kScrollExtra;
            page = std::max(0, usable);
            pos = std::clamp(pos, 0, std::max(0, range - page));
            origin = corner - pos;
        } else {
            active = false;
            range = page = pos = 0;
            origin = corner;
        }
    };
    axis(FPageWidth, usableWidth, FHScroll, FHRange, FHPage, FHPos, FOriginX);
    axis(FPageHeight, usableHeight, FVScroll, FVRange, FVPage, FVPos, FOriginY);
    SetRulerTickLevel(RulerTickLevelFor(f, FRulerSystem));

    const int newValues[4] = {FOriginX, FOriginY, FPageWidth, FPageHeight};
    // Regions hold device pixels: they go whenever the mapping may have moved.
    if (force || !std::equal(std::begin(oldValues), std::end(oldValues), std::begin(newValues)) ||
        FLayoutZoom != FZoomScale) {
        FLayoutZoom = FZoomScale;
        FreeAllRegions();
    }
    InstallPageMapping();
    FireScrollValues();
}

void TVXDrawBox::FireScrollValues() {
    if (FScrollEventsSuspended > 0 || !OnScrollValues) return;
    OnScrollValues(FHScroll ? FHRange : 0, FVScroll ? FVRange : 0, FHPos, FVPos, FHPage, FVPage,
                   kSmallScrollChange, std::max(FHPage, FVPage));
}

TDoubleRect TVXDrawBox::ZoomFocusRect() const {
    return {0, 0, FWorkWidth, FWorkHeight};
}

void TVXDrawBox::ApplyZoomFocus() {
    const TDoubleRect r = ZoomFocusRect();
    const double f = Factor();
    const double minX = std::min(r.Left, r.Right);
    const double maxX = std::max(r.Left, r.Right);
    const double minY = std::min(r.Top, r.Bottom);
    const double maxY = std::max(r.Top, r.Bottom);
    const double left = HorizontalZero() == THorzZero::vzRight ? FWorkWidth - maxX : minX;
    const double top = VerticalZero() == TVertZero::vzBottom ? FWorkHeight - maxY : minY;
    if (FHScroll)
        FHPos = std::clamp(Nearest(f * left - (SurfaceWidth() - f * (maxX - minX)) / 2), 0,
                           std::max(0, FHRange - FHPage));
    if (FVScroll)
        FVPos = std::clamp(Nearest(f * top - (SurfaceHeight() - f * (maxY - minY)) / 2), 0,
                           std::max(0, FVRange - FVPage));
    Layout(true);
}

void TVXDrawBox::SetZoomScale(int value) {
    if (value < kMinZoom || value > kMaxZoom || value == FZoomScale) return;
    FZoomScale = value;
    SuspendPainting();
    ++FScrollEventsSuspended;
    try {
        ReLocate();
        ApplyZoomFocus();
    } catch (...) {
        // The layout keeps what it reached; painting goes on.
    }
    --FScrollEventsSuspended;
    ResumePainting();
    FireScrollValues();
    Refresh();
    if (OnScaleChanged) OnScaleChanged(this);
}

void TVXDrawBox::ZoomIn() {
    SetZoomScale(FZoomScale + kZoomStep);
    if (OnZoomIn) OnZoomIn(this);
}

void TVXDrawBox::ZoomOut() {
    SetZoomScale(FZoomScale - kZoomStep);
    if (OnZoomOut) OnZoomOut(this);
}

void TVXDrawBox::ActualSize() {
    SetZoomScale(100);
    if (OnZoomActualSize) OnZoomActualSize(this);
}

void TVXDrawBox::FitToWindow() {
    const int offset = RulerVisible() ? kRulerSize : 0;
    const double usableWidth = SurfaceWidth() - offset;
    const double usableHeight = SurfaceHeight() - offset;
    const int zx = Nearest(usableWidth / (TScreenMapping::BaseFactor * FWorkWidth) * 100) - 1;
    const int zy = Nearest(usableHeight / (TScreenMapping::BaseFactor * FWorkHeight) * 100) - 1;
    SetZoomScale(std::min(zx, zy));
    if (OnZoomFitToWindow) OnZoomFitToWindow(this);
}

void TVXDrawBox::ZoomArea(const TDoubleRect& rect) {
    const double width = std::abs(rect.Right - rect.Left);
    const double height = std::abs(rect.Bottom - rect.Top);
    if (!std::isfinite(width) || !std::isfinite(height) || (width <= 0 && height <= 0)) return;
    constexpr double kNone = std::numeric_limits<double>::max();
    const double zx = width > 0 ? (SurfaceWidth() - 35.0) / (TScreenMapping::BaseFactor * width) : kNone;
    const double zy = height > 0 ? (SurfaceHeight() - 35.0) / (TScreenMapping::BaseFactor * height) : kNone;
    // An area too small for the largest zoom gets the largest zoom.
    const int zoom = std::clamp(Nearest(std::min(100.0 * std::min(zx, zy), 1e6)), kMinZoom, kMaxZoom);
    SuspendPainting();
    SetZoomScale(zoom);
    const double f = Factor();
    const double minX = std::min(rect.Left, rect.Right);
    const double maxX = std::max(rect.Left, rect.Right);
    const double minY = std::min(rect.Top, rect.Bottom);
    const double maxY = std::max(rect.Top, rect.Bottom);
    const double left = HorizontalZero() == THorzZero::vzRight ? FWorkWidth - maxX : minX;
    const double top = VerticalZero() == TVertZero::vzBottom ? FWorkHeight - maxY : minY;
    SetScrollPositions(Nearest(f * left - (SurfaceWidth() - width * f) / 2),
                       Nearest(f * top - (SurfaceHeight() - height * f) / 2));
    ResumePainting();
    Refresh();
    if (OnZoomArea) OnZoomArea(this);
}

void TVXDrawBox::ScrollChanged(bool repaint) {
    Layout(true);
    if (repaint) Refresh();
}

void TVXDrawBox::SetScrollPositions(int h, int v) {
    FHPos = FHScroll ? std::clamp(h, 0, std::max(0, FHRange - FHPage)) : 0;
    FVPos = FVScroll ? std::clamp(v, 0, std::max(0, FVRange - FVPage)) : 0;
    ScrollChanged(true);
}

void TVXDrawBox::SetHScrollPosition(int pos, bool repaint) {
    FHPos = FHScroll ? std::clamp(pos, 0, std::max(0, FHRange - FHPage)) : 0;
    ScrollChanged(repaint);
}

void TVXDrawBox::SetVScrollPosition(int pos, bool repaint) {
    FVPos = FVScroll ? std::clamp(pos, 0, std::max(0, FVRange - FVPage)) : 0;
    ScrollChanged(repaint);
}

void TVXDrawBox::BeginScrollDrag() {
    FDragStartH = FHPos;
    FDragStartV = FVPos;
}

namespace {
int ThumbMove(int delta, int range, int track) {
    if (delta == 0 || track <= 0) return 0;
    const int move = Nearest(static_cast<double>(delta) * range / track);
    if (move == 0) return delta > 0 ? 1 : -1;
    return move;
}
} // namespace

void TVXDrawBox::SetHScrollDelta(bool repaint, int delta) {
    SetHScrollPosition(FDragStartH + ThumbMove(delta, FHRange, HScrollRect().width()), repaint);
}

void TVXDrawBox::SetVScrollDelta(bool repaint, int delta) {
    SetVScrollPosition(FDragStartV + ThumbMove(delta, FVRange, VScrollRect().height()), repaint);
}

QRect TVXDrawBox::HScrollRect() const {
    if (!FHScroll) return {};
    const int left = RulerVisible() ? kRulerSize : 0;
    const int right = SurfaceWidth() - (FVScroll ? kScrollBarSize : 0);
    return QRect(left, SurfaceHeight() - kScrollBarSize, std::max(0, right - left), kScrollBarSize);
}

QRect TVXDrawBox::VScrollRect() const {
    if (!FVScroll) return {};
    const int top = RulerVisible() ? kRulerSize : 0;
    const int bottom = SurfaceHeight() - (FHScroll ? kScrollBarSize : 0);
    return QRect(SurfaceWidth() - kScrollBarSize, top, kScrollBarSize, std::max(0, bottom - top));
}

bool TVXDrawBox::PointInHRuler(int x, int y) const {
    return RulerVisible() && y >= 0 && y < kRulerSize && x >= kRulerSize && x < SurfaceWidth();
}

bool TVXDrawBox::PointInVRuler(int x, int y) const {
    return RulerVisible() && x >= 0 && x < kRulerSize && y >= kRulerSize && y < SurfaceHeight();
}

bool TVXDrawBox::PointInHScroll(int x, int y) const {
    return FHScroll && HScrollRect().contains(x, y);
}

bool TVXDrawBox::PointInVScroll(int x, int y) const {
    return FVScroll && VScrollRect().contains(x, y);
}
