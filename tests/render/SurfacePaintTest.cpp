// The surface's paint into its working bitmap: page, grid, rulers, guides,
// centre cross, tracking cursor and the detail window frame.
#include "render/Grid.h"
#include "render/VXDrawBox.h"

#include <gtest/gtest.h>

#include <QImage>
#include <vector>

namespace {

const QColor kGrid(0xC0, 0xC0, 0xC0);

struct SurfacePaint : ::testing::Test {
    TVXDrawBox Box;
    QImage Image;
    void SetUp() override { Box.resize(640, 480); } // 100 mm page at (135, 55), 400 px
    void Paint() { Box.PaintTo(Image); }
    // Columns of the row inside the page (edges excluded) with the colour.
    std::vector<int> ColumnsWith(int y, const QColor& color) const {
        std::vector<int> xs;
        for (int x = Box.OriginX() + 1; x < Box.OriginX() + Box.PageWidthPixels(); ++x)
            if (Image.pixelColor(x, y) == color) xs.push_back(x);
        return xs;
    }
    std::vector<int> RowsWith(int x, const QColor& color) const {
        std::vector<int> ys;
        for (int y = Box.OriginY() + 1; y < Box.OriginY() + Box.PageHeightPixels(); ++y)
            if (Image.pixelColor(x, y) == color) ys.push_back(y);
        return ys;
    }
};

TEST(GridPositions, CountsLeaveOutBothEdges) {
    EXPECT_EQ(GridLinePositions(100, 5, TRulerSystem::rsMetric).size(), 19u);
    EXPECT_EQ(GridLinePositions(102, 5, TRulerSystem::rsMetric).size(), 20u);
    // 4/16 inch = 6.35 mm: trunc(100 / 6.35) = 15.
    const auto inch = GridLinePositions(100, 4, TRulerSystem::rsWhitworth);
    ASSERT_EQ(inch.size(), 15u);
    EXPECT_DOUBLE_EQ(inch[0], 6.35);
    EXPECT_TRUE(GridLinePositions(100, 0, TRulerSystem::rsMetric).empty());
    EXPECT_TRUE(GridLinePositions(100, 200, TRulerSystem::rsMetric).empty());
}

TEST_F(SurfacePaint, LineGridHasNineteenLinesEachWayOnAHundredMillimetrePage) {
    Paint();
    const int between = Box.OriginY() + 10; // 2.5 mm: between horizontal lines
    const std::vector<int> columns = ColumnsWith(between, kGrid);
    ASSERT_EQ(columns.size(), 19u);
    for (std::size_t i = 0; i < columns.size(); ++i)
        EXPECT_EQ(columns[i], Box.OriginX() + 20 * static_cast<int>(i + 1));
    EXPECT_EQ(RowsWith(Box.OriginX() + 10, kGrid).size(), 19u);
    // The page outline and the shadow.
    EXPECT_EQ(Image.pixelColor(Box.OriginX(), between), QColor(Qt::black));
    EXPECT_EQ(Image.pixelColor(Box.OriginX() + 401, Box.OriginY() + 200), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(Image.pixelColor(Box.OriginX() + 401, Box.OriginY() + 2), QColor(Qt::white));
}

TEST_F(SurfacePaint, GridFollowsTheZeroSideAndCanBeSwitchedOff) {
    Box.SetGridStep(30); // lines at 30, 60, 90 mm from the zero side
    Box.SetHorizontalZero(THorzZero::vzRight);
    Paint();
    const std::vector<int> columns = ColumnsWith(Box.OriginY() + 10, kGrid);
    const int right = Box.OriginX() + Box.PageWidthPixels();
    EXPECT_EQ(columns, (std::vector<int>{right - 360, right - 240, right - 120}));
    Box.SetGrids(false);
    Paint();
    EXPECT_TRUE(ColumnsWith(Box.OriginY() + 10, kGrid).empty());
}

TEST_F(SurfacePaint, PointAndCrossGridsMarkEveryIntersection) {
    Box.SetGridStep(25); // 3 × 3 intersections
    Box.SetGridType(TGridType::grtPoint);
    Paint();
    int dots = 0;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j)
            dots += Image.pixelColor(Box.OriginX() + 100 * i, Box.OriginY() + 100 * j) == kGrid;
    EXPECT_EQ(dots, 9);
    EXPECT_EQ(Image.pixelColor(Box.OriginX() + 150, Box.OriginY() + 100), QColor(Qt::white));

    Box.SetGridType(TGridType::grtCross);
    Paint();
    // Arms of 2 mm = 8 pixels.
    EXPECT_EQ(Image.pixelColor(Box.OriginX() + 108, Box.OriginY() + 100), kGrid);
    EXPECT_EQ(Image.pixelColor(Box.OriginX() + 100, Box.OriginY() + 92), kGrid);
    EXPECT_EQ(Image.pixelColor(Box.OriginX() + 111, Box.OriginY() + 100), QColor(Qt::white));
}

TEST_F(SurfacePaint, RulersCarryTicksFromTheWorldZero) {
    Box.SetGrids(false);
    Paint();
    EXPECT_EQ(Box.RulerOrigin(), QPoint(Box.OriginX(), Box.OriginY()));
    // Zoom 100: level 3, a tick every 5 mm (20 px), every second one long.
    const QColor ruler(0xC0, 0xC0, 0xC0);
    EXPECT_EQ(Image.pixelColor(Box.OriginX() + 10, 28), ruler);
    for (int k = -5; k <= 20; ++k) {
        const int x = Box.OriginX() + 20 * k;
        if (x < 31 || x >= 640) continue;
        SCOPED_TRACE(k);
        EXPECT_EQ(Image.pixelColor(x, 28), QColor(Qt::black));
        EXPECT_EQ(Image.pixelColor(x, 13), k % 2 == 0 ? QColor(Qt::black) : ruler);
    }
    for (int k = -1; k <= 20; ++k) {
        const int y = Box.OriginY() + 20 * k;
        if (y < 31 || y >= 480) continue;
        SCOPED_TRACE(k);
        EXPECT_EQ(Image.pixelColor(28, y), QColor(Qt::black));
    }
    // The separating line and the band.
    EXPECT_EQ(Image.pixelColor(300, 30), QColor(Qt::black));
    EXPECT_EQ(Image.pixelColor(30, 300), QColor(Qt::black));
    // Labels put dark pixels beside the long ticks, above the short ones' reach.
    int ink = 0;
    for (int x = Box.OriginX() + 42; x < Box.OriginX() + 58; ++x)
        for (int y = 1; y < 10; ++y)
            ink += Image.pixelColor(x, y).lightness() < 128;
    EXPECT_GT(ink, 0);

    Box.SetRulerVisible(false);
    Paint();
    EXPECT_EQ(Image.pixelColor(Box.OriginX() + 20, 28), QColor(Qt::white));
}

TEST_F(SurfacePaint, GuidesAreXorLinesAcrossTheSurface) {
    Box.SetGrids(false);
    Box.AddGuide(TGuideLine::kHorizontal, 45);
    Box.AddGuide(TGuideLine::kVertical, 10);
    Paint();
    const QColor green(0, 0x80, 0);
    const int y = Box.OriginY() + 180;
    const int x = Box.OriginX() + 40;
    EXPECT_EQ(Image.pixelColor(Box.OriginX() + 200, y), green); // on the page
    EXPECT_EQ(Image.pixelColor(33, y), green);                  // beside it
    EXPECT_EQ(Image.pixelColor(x, 470), green);
    Box.SetGuidesVisible(false);
    Paint();
    EXPECT_EQ(Image.pixelColor(33, y), QColor(Qt::white));
    Box.SetGuidesVisible(true);
    Box.ClearGuides();
    EXPECT_EQ(Box.GuideCount(), 0);
}

TEST_F(SurfacePaint, CentreCrossIsDottedGreenThroughTheMiddle) {
    Box.SetGrids(false);
    Box.SetCenterGuide(true);
    Paint();
    const int cx = Box.OriginX() + 200;
    int green = 0, white = 0;
    for (int y = Box.OriginY() + 1; y < Box.OriginY() + 400; ++y) {
        const QColor c = Image.pixelColor(cx, y);
        green += c == QColor(0, 0x80, 0);
        white += c == QColor(Qt::white);
    }
    EXPECT_GT(green, 50);
    EXPECT_GT(white, 50); // dotted
}

TEST_F(SurfacePaint, TrackingCursorIsAnOverlayThatLeavesTheBitmapAlone) {
    Box.SetGuideTrace(TGuideTraces::gtNinty);
    Paint();
    const QImage before = Box.WorkBitmap().copy();
    Box.DoSurfaceMove(0, 300, 200);
    EXPECT_EQ(Box.WorkBitmap(), before);
    const QImage shown = Box.ShownImage();
    int changed = 0;
    for (int x = 0; x < 640; ++x)
        changed += shown.pixelColor(x, 200) != before.pixelColor(x, 200);
    EXPECT_GT(changed, 100);
    // XOR: the trace over white shows its complement, and moves with the mouse.
    Box.DoSurfaceMove(0, 310, 250);
    EXPECT_EQ(Box.ShownImage().pixelColor(5, 200), before.pixelColor(5, 200));
    Box.DoSurfaceLeave();
    EXPECT_EQ(Box.ShownImage(), before);

    // The default trace only marks the rulers.
    Box.SetGuideTrace(TGuideTraces::gtNone);
    Box.DoSurfaceMove(0, 300, 200);
    int marked = 0;
    for (int y = 0; y < 30; ++y)
        marked += Box.ShownImage().pixelColor(300, y) != before.pixelColor(300, y);
    EXPECT_GT(marked, 5);
    EXPECT_EQ(Box.ShownImage().pixelColor(300, 100), before.pixelColor(300, 100));
    // A repaint forgets the trace.
    Paint();
    EXPECT_EQ(Box.ShownImage(), Box.WorkBitmap());
}

TEST_F(SurfacePaint, DraggedGuideShowsAsAnXorLine) {
    Box.SetGrids(false);
    Paint();
    Box.DoSurfacePush(TMouseButton::mbLeft, 0, 10, 200); // left ruler: vertical guide
    Box.DoSurfaceMove(0, 200, 200);
    EXPECT_EQ(Box.ShownImage().pixelColor(200, 300), QColor(0, 0x80, 0));
    EXPECT_EQ(Box.WorkBitmap().pixelColor(200, 300), QColor(Qt::white));
    Box.DoSurfacePull(TMouseButton::mbLeft, 0, 200, 200);
    EXPECT_EQ(Box.WorkBitmap().pixelColor(200, 300), QColor(0, 0x80, 0)); // now a real guide
    EXPECT_EQ(Box.ShownImage(), Box.WorkBitmap());
}

TEST_F(SurfacePaint, DetailWindowSitsTopRightWithAFrame) {
    Box.SetDetailWindow(true);
    EXPECT_EQ(Box.DetailRect(), QRect(640 - 100 - 20, 20, 100, 100));
    Paint();
    EXPECT_EQ(Image.pixelColor(519, 60), QColor(Qt::black));
    EXPECT_EQ(Image.pixelColor(570, 70), QColor(Qt::white));
}

} // namespace
