// Layout of the drawing surface: page corner, centring, scroll ranges, zoom
// focus, FitToWindow, ZoomArea and the scroll position setters.
#include "render/VXDrawBox.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct SurfaceLayout : ::testing::Test {
    TVXDrawBox Box;
    void SetUp() override { Box.resize(1000, 800); }
};

TEST_F(SurfaceLayout, A4AtActualSizeIsCentredHorizontallyAndScrollsVertically) {
    Box.SetPageLayout(TPageLayout::plA4);
    ASSERT_EQ(Box.ZoomScale(), 100);
    EXPECT_EQ(Box.PageWidthPixels(), 840);
    EXPECT_EQ(Box.PageHeightPixels(), 1188);
    // (970 - 840) div 2 + 30
    EXPECT_EQ(Box.OriginX(), 95);
    EXPECT_FALSE(Box.HScrollActive());
    EXPECT_EQ(Box.HScrollRange(), 0);
    // 1188 pixels do not fit into 770: range PW + 25, page = usable height.
    EXPECT_TRUE(Box.VScrollActive());
    EXPECT_EQ(Box.VScrollRange(), 1213);
    EXPECT_EQ(Box.VScrollPage(), 770);
    EXPECT_EQ(Box.OriginY(), 35 - Box.VSCBarPosition());
}

TEST_F(SurfaceLayout, WithoutRulersTheCornerIsFiveAndTheWholeSurfaceIsUsable) {
    Box.SetPageLayout(TPageLayout::plA4);
    Box.SetRulerVisible(false);
    Box.ReLocate();
    EXPECT_EQ(Box.OriginX(), (1000 - 840) / 2);
    Box.SetVScrollPosition(0, false);
    EXPECT_EQ(Box.OriginY(), 5);
    EXPECT_EQ(Box.VScrollPage(), 800);
}

TEST_F(SurfaceLayout, WithoutScrollBarsALargePageStartsAtTheCorner) {
    Box.SetScrollBars(false);
    Box.SetZoomScale(400);
    EXPECT_FALSE(Box.HScrollActive());
    EXPECT_FALSE(Box.VScrollActive());
    EXPECT_EQ(Box.OriginX(), 35);
    EXPECT_EQ(Box.OriginY(), 35);
}

TEST_F(SurfaceLayout, ZoomKeepsThePageCentredOnTheFocus) {
    Box.resize(640, 480);
    int scaleChanged = 0;
    Box.OnScaleChanged = [&](TVXDrawBox*) { ++scaleChanged; };
    Box.SetZoomScale(400);
    EXPECT_EQ(scaleChanged, 1);
    // Whole page 1600 × 1600 pixels: F·0 - (640 - 1600)/2 = 480; (480 - 1600)/2 → 560.
    EXPECT_EQ(Box.HSCBarPosition(), 480);
    EXPECT_EQ(Box.VSCBarPosition(), 560);
    EXPECT_EQ(Box.OriginX(), 35 - 480);
    EXPECT_EQ(Box.OriginY(), 35 - 560);
    for (int bad : {0, 3001}) {
        Box.SetZoomScale(bad);
        EXPECT_EQ(Box.ZoomScale(), 400) << bad;
    }
    EXPECT_EQ(scaleChanged, 1);
}

TEST_F(SurfaceLayout, ZoomStepsAndTheirEvents) {
    int in = 0, out = 0, actual = 0;
    Box.OnZoomIn = [&](TVXPanel*) { ++in; };
    Box.OnZoomOut = [&](TVXPanel*) { ++out; };
    Box.OnZoomActualSize = [&](TVXPanel*) { ++actual; };
    Box.ZoomIn();
    EXPECT_EQ(Box.ZoomScale(), 110);
    Box.ZoomOut();
    Box.ZoomOut();
    EXPECT_EQ(Box.ZoomScale(), 90);
    Box.ActualSize();
    EXPECT_EQ(Box.ZoomScale(), 100);
    EXPECT_EQ(in, 1);
    EXPECT_EQ(out, 2);
    EXPECT_EQ(actual, 1);
}

TEST_F(SurfaceLayout, FitToWindowTakesTheSmallerOfBothFits) {
    Box.SetPageLayout(TPageLayout::plA4);
    int fired = 0;
    Box.OnZoomFitToWindow = [&](TVXPanel*) { ++fired; };
    Box.FitToWindow();
    // x: round(970 / 840 × 100) - 1 = 114; y: round(770 / 1188 × 100) - 1 = 64.
    EXPECT_EQ(Box.ZoomScale(), 64);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(Box.HScrollActive());
    EXPECT_FALSE(Box.VScrollActive());
}

struct ZoomAreaCase {
    TVertZero Vertical;
    THorzZero Horizontal;
    TDoubleRect Rect;
    int Zoom;
    int HPos;
    int VPos;
};

TEST_F(SurfaceLayout, ZoomAreaZoomsAndCentresTheRectangle) {
    // 50 × 25 mm: zx = 965 / 200, zy = 765 / 100 → round(482.5) = 482 (halves
    // to even), F = 19.28; positions round(F·left - (1000 - 50·F)/2) and
    // round(F·top - (800 - 25·F)/2).
    const ZoomAreaCase cases[] = {
        {TVertZero::vzTop, THorzZero::vzLeft, {10, 20, 60, 45}, 482, 175, 227},
        {TVertZero::vzTop, THorzZero::vzLeft, {60, 45, 10, 20}, 482, 175, 227},
        // Measured from the bottom edge: top = 100 - 45.
        {TVertZero::vzBottom, THorzZero::vzLeft, {10, 20, 60, 45}, 482, 175, 901},
        // Measured from the right edge: left = 100 - 60.
        {TVertZero::vzTop, THorzZero::vzRight, {10, 20, 60, 45}, 482, 753, 227},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.HPos + c.VPos * 1000);
        TVXDrawBox box;
        box.resize(1000, 800);
        box.SetVerticalZero(c.Vertical);
        box.SetHorizontalZero(c.Horizontal);
        int fired = 0;
        box.OnZoomArea = [&](TVXPanel*) { ++fired; };
        box.ZoomArea(c.Rect);
        EXPECT_EQ(box.ZoomScale(), c.Zoom);
        EXPECT_EQ(box.HSCBarPosition(), c.HPos);
        EXPECT_EQ(box.VSCBarPosition(), c.VPos);
        EXPECT_EQ(fired, 1);
    }
}

TEST_F(SurfaceLayout, ZoomAreaOfATinyOrEmptyRectangle) {
    Box.ZoomArea({10, 10, 10.001, 10.001});
    EXPECT_EQ(Box.ZoomScale(), 3000);
    Box.ZoomArea({20, 20, 20, 20});
    EXPECT_EQ(Box.ZoomScale(), 3000);
}

TEST_F(SurfaceLayout, ScrollPositionsAreClampedAndMoveThePage) {
    Box.SetZoomScale(400); // 1600 px page: range 1625; pages 970 and 770
    Box.SetScrollPositions(-5, 100000);
    EXPECT_EQ(Box.HSCBarPosition(), 0);
    EXPECT_EQ(Box.VSCBarPosition(), 1625 - 770);
    EXPECT_EQ(Box.OriginX(), 35);
    EXPECT_EQ(Box.OriginY(), 35 - 855);
    Box.SetHScrollPosition(100, false);
    EXPECT_EQ(Box.OriginX(), -65);

    std::vector<int> values;
    Box.OnScrollValues = [&](int hMax, int vMax, int hPos, int vPos, int hPage, int vPage, int, int) {
        values = {hMax, vMax, hPos, vPos, hPage, vPage};
    };
    Box.SetVScrollPosition(10, false);
    EXPECT_EQ(values, (std::vector<int>{1625, 1625, 100, 10, 970, 770}));
}

TEST_F(SurfaceLayout, ThumbDeltasScaleByRangeOverTrackAndMoveAtLeastOnePixel) {
    Box.SetZoomScale(400);
    Box.SetScrollPositions(100, 100);
    Box.BeginScrollDrag();
    const int track = Box.HScrollRect().width();
    ASSERT_GT(track, 0);
    Box.SetHScrollDelta(false, 10);
    EXPECT_EQ(Box.HSCBarPosition(), 100 + static_cast<int>(std::nearbyint(10.0 * 1625 / track)));
    // From the start of the drag, not from the last position.
    Box.SetHScrollDelta(false, 0);
    EXPECT_EQ(Box.HSCBarPosition(), 100);

    Box.SetVScrollDelta(false, -10);
    EXPECT_EQ(Box.VSCBarPosition(), 100 - static_cast<int>(std::nearbyint(10.0 * 1625 / Box.VScrollRect().height())));
}

TEST_F(SurfaceLayout, HitTestsOfRulersAndScrollBars) {
    Box.SetZoomScale(400);
    EXPECT_TRUE(Box.PointInHRuler(500, 10));
    EXPECT_FALSE(Box.PointInHRuler(10, 10)); // the corner square
    EXPECT_TRUE(Box.PointInVRuler(10, 500));
    EXPECT_TRUE(Box.PointInHScroll(500, 795));
    EXPECT_TRUE(Box.PointInVScroll(995, 400));
    EXPECT_FALSE(Box.PointInHScroll(500, 400));
    Box.SetRulerVisible(false);
    EXPECT_FALSE(Box.PointInHRuler(500, 10));
}

TEST_F(SurfaceLayout, VisibleRectIsTheWorldOfTheSurfaceCorners) {
    Box.resize(640, 480); // 100 mm page at (135, 55)
    const TDoubleRect r = Box.GetVisibleRect();
    EXPECT_DOUBLE_EQ(r.Left, -135 / 4.0);
    EXPECT_DOUBLE_EQ(r.Top, -55 / 4.0);
    EXPECT_DOUBLE_EQ(r.Right, (640 - 135) / 4.0);
    EXPECT_DOUBLE_EQ(r.Bottom, (480 - 55) / 4.0);
}

} // namespace
