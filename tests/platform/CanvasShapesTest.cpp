// Pixel rules of the QPainter canvas for lines and shapes: GDI's edge rules,
// the last pixel of a line, pen styles, hatch brushes, arcs.
#include "CanvasTestSupport.h"

#include "platform/DeviceRegion.h"

#include <gtest/gtest.h>

#include <QLineF>
#include <array>
#include <cmath>
#include <vector>

using namespace canvastest;

namespace {

class CanvasShapesTest : public ::testing::Test {
protected:
    QImage Image = MakeImage(64, 48);
};

TEST_F(CanvasShapesTest, RectangleOutlineAndFillLeaveOutRightAndBottomEdge) {
    {
        TQtCanvas canvas(&Image);
        canvas.SetPen(SolidPen(kBlack));
        canvas.SetBrush(SolidBrush(kRed));
        canvas.Rectangle(2, 3, 12, 9);
    }
    const TPixelSet outline = WithColor(Image, kBlack);
    const TPixelSet fill = WithColor(Image, kRed);
    TPixelSet expectedOutline;
    for (int x = 2; x <= 11; ++x) expectedOutline.insert({x, 3}), expectedOutline.insert({x, 8});
    for (int y = 3; y <= 8; ++y) expectedOutline.insert({2, y}), expectedOutline.insert({11, y});
    EXPECT_EQ(outline, expectedOutline);
    TPixelSet expectedFill;
    for (int y = 4; y <= 7; ++y)
        for (int x = 3; x <= 10; ++x) expectedFill.insert({x, y});
    EXPECT_EQ(fill, expectedFill);
}

TEST_F(CanvasShapesTest, RectangleWithoutPenIsOnePixelSmallerAsInGdi) {
    {
        TQtCanvas canvas(&Image);
        canvas.SetPen({kBlack, 1, TPenStyle::psClear});
        canvas.SetBrush(SolidBrush(kRed));
        canvas.Rectangle(2, 3, 12, 9);
    }
    const TBox box = BoundsOf(Differing(Image));
    EXPECT_EQ(box.MinX, 2);
    EXPECT_EQ(box.MinY, 3);
    EXPECT_EQ(box.MaxX, 10);
    EXPECT_EQ(box.MaxY, 7);
    EXPECT_EQ(Differing(Image).size(), 9u * 5u);
}

TEST_F(CanvasShapesTest, RectangleCornersGivenInAnyOrder) {
    QImage other = MakeImage(64, 48);
    {
        TQtCanvas a(&Image);
        a.Rectangle(2, 3, 12, 9);
        TQtCanvas b(&other);
        b.Rectangle(12, 9, 2, 3);
    }
    EXPECT_EQ(Differing(Image), Differing(other));
}

TEST_F(CanvasShapesTest, EllipseStaysInsideBoxLessRightAndBottomEdge) {
    struct TCase {
        int Left, Top, Right, Bottom;
    };
    const std::array<TCase, 4> cases{{{2, 2, 12, 10}, {5, 4, 40, 30}, {1, 1, 4, 4}, {10, 10, 11, 30}}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Left << "," << c.Top << "," << c.Right << "," << c.Bottom);
        QImage image = MakeImage(64, 48);
        {
            TQtCanvas canvas(&image);
            canvas.SetPen(SolidPen(kBlack));
            canvas.SetBrush(SolidBrush(kRed));
            canvas.Ellipse(c.Left, c.Top, c.Right, c.Bottom);
        }
        const TBox box = BoundsOf(Differing(image));
        EXPECT_EQ(box.MinX, c.Left);
        EXPECT_EQ(box.MinY, c.Top);
        EXPECT_EQ(box.MaxX, c.Right - 1);
        EXPECT_EQ(box.MaxY, c.Bottom - 1);
        // The fill never shows outside the outline: each row's outermost pixels are pen pixels.
        for (int y = box.MinY; y <= box.MaxY; ++y) {
            int first = -1, last = -1;
            for (int x = 0; x < image.width(); ++x)
                if ((Raw(image, x, y) & 0xFFFFFFu) != 0xFFFFFFu) {
                    if (first < 0) first = x;
                    last = x;
                }
            if (first < 0) continue;
            EXPECT_EQ(Raw(image, first, y), Rgb(kBlack)) << "row " << y;
            EXPECT_EQ(Raw(image, last, y), Rgb(kBlack)) << "row " << y;
        }
    }
}

TEST_F(CanvasShapesTest, EllipseUnderWorldShiftMatchesShiftedEllipse) {
    QImage shifted = MakeImage(64, 48);
    {
        TQtCanvas a(&Image);
        a.Ellipse(12, 8, 40, 30);
        TQtCanvas b(&shifted);
        b.SetWorldTransform({1, 0, 0, 1, 10, 5});
        b.Ellipse(2, 3, 30, 25);
    }
    EXPECT_EQ(Differing(Image), Differing(shifted));
}

TEST_F(CanvasShapesTest, LineToLeavesOutItsLastPixelInEveryDirection) {
    struct TCase {
        QPoint From, To;
    };
    const std::array<TCase, 6> cases{{{{1, 1}, {9, 1}},
                                      {{9, 5}, {1, 5}},
                                      {{20, 2}, {20, 12}},
                                      {{22, 12}, {22, 2}},
                                      {{30, 2}, {40, 7}},
                                      {{40, 20}, {30, 30}}}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.From.x() << "," << c.From.y() << ")->(" << c.To.x() << ","
                                        << c.To.y() << ")");
        QImage image = MakeImage(64, 48);
        {
            TQtCanvas canvas(&image);
            canvas.MoveTo(c.From.x(), c.From.y());
            canvas.LineTo(c.To.x(), c.To.y());
            EXPECT_EQ(canvas.PenPosition(), c.To);
        }
        const TPixelSet ink = Differing(image);
        const int steps = std::max(std::abs(c.To.x() - c.From.x()), std::abs(c.To.y() - c.From.y()));
        EXPECT_EQ(ink.size(), static_cast<std::size_t>(steps));
        EXPECT_TRUE(ink.count({c.From.x(), c.From.y()}));
        EXPECT_FALSE(ink.count({c.To.x(), c.To.y()}));
        // Every pixel lies within half a pixel of the mathematical line.
        const QLineF line(c.From, c.To);
        for (const auto& [x, y] : ink) {
            const double cross = (line.dx() * (y - c.From.y()) - line.dy() * (x - c.From.x())) / line.length();
            EXPECT_LE(std::abs(cross), 0.75) << x << "," << y;
        }
    }
}

TEST_F(CanvasShapesTest, ZeroLengthLineDrawsNothing) {
    {
        TQtCanvas canvas(&Image);
        canvas.MoveTo(5, 5);
        canvas.LineTo(5, 5);
    }
    EXPECT_TRUE(Differing(Image).empty());
}

TEST_F(CanvasShapesTest, PolylineLeavesOutOnlyTheFinalPixel) {
    const std::array<QPoint, 4> points{{{2, 2}, {20, 2}, {20, 15}, {5, 15}}};
    {
        TQtCanvas canvas(&Image);
        canvas.Polyline(points);
    }
    const TPixelSet ink = Differing(Image);
    EXPECT_EQ(ink.size(), 18u + 13u + 15u);
    EXPECT_TRUE(ink.count({20, 2}));
    EXPECT_TRUE(ink.count({20, 15}));
    EXPECT_FALSE(ink.count({5, 15}));
}

// Away from the edges the pixels of a filled polygon are exactly those the
// region of the same points holds; on axis-parallel edges both follow GDI.
TEST_F(CanvasShapesTest, PolygonFillCoversThePixelsOfItsRegion) {
    const std::vector<std::vector<QPoint>> polygons{
        {{10, 10}, {30, 10}, {30, 25}, {10, 25}},
        {{3, 2}, {50, 9}, {28, 44}},
        {{5, 40}, {20, 3}, {35, 40}, {2, 16}, {38, 16}},
        {{1, 1}, {60, 5}, {33, 20}, {58, 46}, {4, 30}},
    };
    for (TPolyFillMode mode : {TPolyFillMode::Alternate, TPolyFillMode::Winding}) {
        for (const auto& points : polygons) {
            SCOPED_TRACE(testing::Message() << "polygon of " << points.size() << " points, mode "
                                            << static_cast<int>(mode));
            QImage image = MakeImage(64, 48);
            {
                TQtCanvas canvas(&image);
                canvas.SetPen({kBlack, 1, TPenStyle::psClear});
                canvas.SetBrush(SolidBrush(kRed));
                canvas.Polygon(points, mode);
            }
            const TDeviceRegion region = TDeviceRegion::FromPolygon(points, mode);
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QPointF centre(x + 0.5, y + 0.5);
                    bool onEdge = false;
                    for (std::size_t i = 0; i < points.size(); ++i) {
                        const QPointF a = points[i];
                        const QPointF b = points[(i + 1) % points.size()];
                        const QLineF edge(a, b);
                        const double cross = edge.dx() * (centre.y() - a.y()) - edge.dy() * (centre.x() - a.x());
                        if (std::abs(cross) / edge.length() < 1e-3) onEdge = true;
                    }
                    if (onEdge) continue;
                    EXPECT_EQ((Raw(image, x, y) & 0xFFFFFFu) != 0xFFFFFFu, region.Contains(x, y)) << x << "," << y;
                }
            }
        }
    }
}

TEST_F(CanvasShapesTest, PolygonOutlineRunsThroughTheVertexPixels) {
    const std::array<QPoint, 4> square{{{10, 10}, {20, 10}, {20, 20}, {10, 20}}};
    {
        TQtCanvas canvas(&Image);
        canvas.SetBrush(ClearBrush());
        canvas.Polygon(square);
    }
    const TPixelSet ink = Differing(Image);
    EXPECT_EQ(ink.size(), 40u);
    const TBox box = BoundsOf(ink);
    EXPECT_EQ(box.MinX, 10);
    EXPECT_EQ(box.MaxX, 20);
    EXPECT_EQ(box.MinY, 10);
    EXPECT_EQ(box.MaxY, 20);
}

TEST_F(CanvasShapesTest, DashedOnePixelPensFollowTheGdiRhythm) {
    struct TCase {
        TPenStyle Style;
        const char* Rhythm; // '#' ink, '.' gap, repeated
    };
    const std::array<TCase, 4> cases{{
        {TPenStyle::psDash, "##################......"},
        {TPenStyle::psDot, "###..."},
        {TPenStyle::psDashDot, "#########......###......"},
        {TPenStyle::psDashDotDot, "#########...###...###..."},
    }};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Rhythm);
        QImage image = MakeImage(64, 4);
        {
            TQtCanvas canvas(&image);
            canvas.SetPen({kBlack, 1, c.Style});
            canvas.MoveTo(0, 1);
            canvas.LineTo(60, 1);
            canvas.SetBackgroundTransparent(false);
            canvas.SetBackgroundColor(kBlue);
            canvas.MoveTo(0, 2);
            canvas.LineTo(60, 2);
        }
        const std::string rhythm = c.Rhythm;
        for (int x = 0; x < 60; ++x) {
            const bool ink = rhythm[static_cast<std::size_t>(x) % rhythm.size()] == '#';
            EXPECT_EQ(Raw(image, x, 1), ink ? Rgb(kBlack) : kWhite) << "x " << x;
            EXPECT_EQ(Raw(image, x, 2), ink ? Rgb(kBlack) : Rgb(kBlue)) << "x " << x;
        }
        EXPECT_EQ(Raw(image, 60, 1), kWhite);
    }
}

TEST_F(CanvasShapesTest, DashRhythmRunsOnAcrossTheCornersOfAPolyline) {
    const std::array<QPoint, 3> points{{{0, 5}, {10, 5}, {10, 40}}};
    {
        TQtCanvas canvas(&Image);
        canvas.SetPen({kBlack, 1, TPenStyle::psDash});
        canvas.Polyline(points);
    }
    // 18 ink pixels: 10 along the first segment, 8 down the second, then 6 gap pixels.
    for (int y = 5; y < 13; ++y) EXPECT_EQ(Raw(Image, 10, y), Rgb(kBlack)) << y;
    for (int y = 13; y < 19; ++y) EXPECT_EQ(Raw(Image, 10, y), kWhite) << y;
    EXPECT_EQ(Raw(Image, 10, 19), Rgb(kBlack));
}

TEST_F(CanvasShapesTest, WidePensAreSolidRoundAndCentredOnTheLine) {
    {
        TQtCanvas canvas(&Image);
        canvas.SetPen({kBlack, 3, TPenStyle::psDash}); // GDI draws wide styled pens solid
        canvas.MoveTo(10, 10);
        canvas.LineTo(40, 10);
    }
    for (int x = 12; x < 38; ++x) {
        EXPECT_EQ(Raw(Image, x, 8), kWhite) << x;
        EXPECT_EQ(Raw(Image, x, 9), Rgb(kBlack)) << x;
        EXPECT_EQ(Raw(Image, x, 10), Rgb(kBlack)) << x;
        EXPECT_EQ(Raw(Image, x, 11), Rgb(kBlack)) << x;
        EXPECT_EQ(Raw(Image, x, 12), kWhite) << x;
    }
    // Round caps reach past both ends.
    EXPECT_EQ(Raw(Image, 9, 10), Rgb(kBlack));
    EXPECT_EQ(Raw(Image, 40, 10), Rgb(kBlack));
}

TEST_F(CanvasShapesTest, InsideFramePenStaysInsideTheBox) {
    for (int width : {2, 3, 4, 5, 8}) {
        SCOPED_TRACE(width);
        for (bool ellipse : {false, true}) {
            QImage image = MakeImage(64, 48);
            {
                TQtCanvas canvas(&image);
                canvas.SetPen({kBlack, width, TPenStyle::psInsideFrame});
                canvas.SetBrush(SolidBrush(kRed));
                if (ellipse) canvas.Ellipse(10, 8, 50, 40);
                else canvas.Rectangle(10, 8, 50, 40);
            }
            const TBox box = BoundsOf(Differing(image));
            EXPECT_EQ(box.MinX, 10);
            EXPECT_EQ(box.MinY, 8);
            EXPECT_EQ(box.MaxX, 49);
            EXPECT_EQ(box.MaxY, 39);
            if (!ellipse) {
                for (int x = 10; x < 10 + width; ++x) EXPECT_EQ(Raw(image, x, 24), Rgb(kBlack)) << x;
                EXPECT_EQ(Raw(image, 10 + width, 24), Rgb(kRed));
                for (int x = 50 - width; x < 50; ++x) EXPECT_EQ(Raw(image, x, 24), Rgb(kBlack)) << x;
                EXPECT_EQ(Raw(image, 49 - width, 24), Rgb(kRed));
            }
        }
    }
}

TEST_F(CanvasShapesTest, ClearPenAndClearBrushDrawNothing) {
    {
        TQtCanvas canvas(&Image);
        canvas.SetPen({kBlack, 1, TPenStyle::psClear});
        canvas.SetBrush(ClearBrush());
        canvas.Rectangle(2, 2, 30, 30);
        canvas.Ellipse(2, 2, 30, 30);
        canvas.MoveTo(0, 0);
        canvas.LineTo(40, 40);
        const std::array<QPoint, 3> triangle{{{1, 1}, {40, 5}, {20, 40}}};
        canvas.Polygon(triangle);
    }
    EXPECT_TRUE(Differing(Image).empty());
}

// Hatches repeat every 8 device pixels in the brush colour; the pixels
// between stay as they were on a transparent background.
TEST_F(CanvasShapesTest, HatchBrushesInkTheirLinesAndLeaveTheRestUntouched) {
    struct TCase {
        TBrushStyle Style;
        int InkPerRow; // ink pixels in each row of a 32-pixel-wide fill that is not entirely inked
        int RowsFull;  // rows entirely inked
        int StepX;       // an ink pixel at (x, y) implies one at (x + StepX, y + StepY)
        int StepY;
    };
    const std::array<TCase, 6> cases{{
        {TBrushStyle::bsHorizontal, 0, 4, 1, 0},
        {TBrushStyle::bsVertical, 4, 0, 0, 1},
        {TBrushStyle::bsFDiagonal, 4, 0, 1, 1},
        {TBrushStyle::bsBDiagonal, 4, 0, 1, -1},
        {TBrushStyle::bsCross, 4, 4, 0, 8},
        {TBrushStyle::bsDiagCross, 8, 0, 8, 0},
    }};
    const QImage noise = NoiseImage(40, 40);
    for (const TCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Style));
        QImage image = noise;
        {
            TQtCanvas canvas(&image);
            canvas.FillRect({0, 0, 32, 32}, {kBlack, c.Style});
        }
        int fullRows = 0;
        for (int y = 0; y < 32; ++y) {
            int ink = 0;
            for (int x = 0; x < 32; ++x) {
                const QRgb pixel = Raw(image, x, y);
                if (pixel == Rgb(kBlack)) {
                    ++ink;
                } else {
                    EXPECT_EQ(pixel, Raw(noise, x, y)) << x << "," << y;
                }
            }
            if (ink == 32) {
                ++fullRows;
            } else {
                EXPECT_EQ(ink, c.InkPerRow) << "row " << y;
            }
        }
        EXPECT_EQ(fullRows, c.RowsFull);
        for (int y = 8; y < 24; ++y) {
            for (int x = 8; x < 24; ++x) {
                if (Raw(image, x, y) == Rgb(kBlack)) {
                    EXPECT_EQ(Raw(image, x + c.StepX, y + c.StepY), Rgb(kBlack)) << x << "," << y;
                }
            }
        }
        for (int y = 0; y < 40; ++y)
            for (int x = 32; x < 40; ++x) EXPECT_EQ(Raw(image, x, y), Raw(noise, x, y));
    }
}

// Two shapes at different places share the hatch lines of the device.
TEST_F(CanvasShapesTest, HatchLinesAreAlignedToTheDevice) {
    {
        TQtCanvas canvas(&Image);
        canvas.SetPen({kBlack, 1, TPenStyle::psClear});
        canvas.SetBrush({kBlack, TBrushStyle::bsHorizontal});
        canvas.Rectangle(3, 5, 40, 41);
        canvas.Rectangle(43, 2, 60, 41);
    }
    std::vector<int> rowsLeft, rowsRight;
    for (int y = 0; y < 48; ++y) {
        if (Raw(Image, 20, y) == Rgb(kBlack)) rowsLeft.push_back(y);
        if (Raw(Image, 50, y) == Rgb(kBlack)) rowsRight.push_back(y);
    }
    ASSERT_EQ(rowsLeft.size(), 4u);
    for (std::size_t i = 1; i < rowsLeft.size(); ++i) EXPECT_EQ(rowsLeft[i] - rowsLeft[i - 1], 8);
    EXPECT_EQ(rowsRight, rowsLeft);
}

TEST_F(CanvasShapesTest, OpaqueBackgroundFillsTheGapsOfAHatch) {
    {
        TQtCanvas canvas(&Image);
        canvas.SetBackgroundTransparent(false);
        canvas.SetBackgroundColor(kBlue);
        canvas.FillRect({0, 0, 16, 16}, {kRed, TBrushStyle::bsCross});
    }
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb pixel = Raw(Image, x, y);
            EXPECT_TRUE(pixel == Rgb(kRed) || pixel == Rgb(kBlue)) << x << "," << y;
        }
    EXPECT_EQ(WithColor(Image, kRed).size(), 2u * 16u * 2u - 4u);
}

TEST_F(CanvasShapesTest, FillRectCoversTheRectLessRightAndBottomAndIgnoresXor) {
    QImage image = NoiseImage(20, 20);
    {
        TQtCanvas canvas(&image);
        canvas.SetPenMode(TPenMode::pmXor);
        canvas.FillRect({2, 3, 12, 9}, SolidBrush(kRed));
    }
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(Raw(image, x, y) == Rgb(kRed), x >= 2 && x < 12 && y >= 3 && y < 9) << x << "," << y;
}

// Arcs run counter-clockwise on screen from the start ray to the end ray.
TEST_F(CanvasShapesTest, PieAndChordTakeTheCounterClockwiseSideFromStartToEnd) {
    auto pie = [](int xs, int ys, int xe, int ye, bool chord) {
        QImage image = MakeImage(64, 48);
        TQtCanvas canvas(&image);
        canvas.SetPen(SolidPen(kBlack));
        canvas.SetBrush(SolidBrush(kRed));
        if (chord) canvas.Chord(0, 0, 41, 41, xs, ys, xe, ye);
        else canvas.Pie(0, 0, 41, 41, xs, ys, xe, ye);
        return image;
    };
    // Centre (20, 20); east is (40, 20), north (20, 0).
    const QImage eastToNorth = pie(40, 20, 20, 0, false);
    EXPECT_EQ(Raw(eastToNorth, 30, 10), Rgb(kRed));
    EXPECT_EQ(Raw(eastToNorth, 10, 10), kWhite);
    EXPECT_EQ(Raw(eastToNorth, 10, 30), kWhite);
    EXPECT_EQ(Raw(eastToNorth, 30, 30), kWhite);

    const QImage northToEast = pie(20, 0, 40, 20, false);
    EXPECT_EQ(Raw(northToEast, 30, 10), kWhite);
    EXPECT_EQ(Raw(northToEast, 10, 10), Rgb(kRed));
    EXPECT_EQ(Raw(northToEast, 10, 30), Rgb(kRed));
    EXPECT_EQ(Raw(northToEast, 30, 30), Rgb(kRed));

    // The radial points only give directions: far-away points on the same rays.
    const QImage farRays = pie(400, 20, 20, -300, false);
    EXPECT_EQ(Differing(farRays), Differing(eastToNorth));

    const QImage chord = pie(40, 20, 20, 0, true);
    EXPECT_EQ(Raw(chord, 33, 7), Rgb(kRed));
    EXPECT_EQ(Raw(chord, 24, 16), kWhite); // beyond the chord, towards the centre
    EXPECT_EQ(Raw(chord, 20, 20), kWhite);
}

TEST_F(CanvasShapesTest, ArcDrawsOnlyItsQuarterAndEqualRaysGiveTheWholeEllipse) {
    {
        TQtCanvas canvas(&Image);
        canvas.Arc(0, 0, 41, 41, 40, 20, 20, 0);
    }
    const TPixelSet ink = Differing(Image);
    ASSERT_FALSE(ink.empty());
    for (const auto& [x, y] : ink) {
        EXPECT_GE(x, 20);
        EXPECT_LE(y, 20);
    }
    QImage full = MakeImage(64, 48);
    {
        TQtCanvas canvas(&full);
        canvas.Arc(0, 0, 41, 41, 40, 20, 40, 20);
    }
    const TBox fullBox = BoundsOf(Differing(full));
    EXPECT_EQ(fullBox.MinX, 0);
    EXPECT_EQ(fullBox.MaxX, 40);
    EXPECT_EQ(fullBox.MinY, 0);
    EXPECT_EQ(fullBox.MaxY, 40);
}

TEST_F(CanvasShapesTest, PolyBezierFollowsTheCurve) {
    const std::array<QPoint, 4> points{{{0, 30}, {10, 6}, {50, 6}, {60, 30}}};
    {
        TQtCanvas canvas(&Image);
        canvas.PolyBezier(points);
    }
    const TPixelSet ink = Differing(Image);
    const TBox box = BoundsOf(ink);
    EXPECT_EQ(box.MinX, 0);
    EXPECT_GE(box.MaxX, 59);
    EXPECT_LE(box.MaxX, 60);
    EXPECT_EQ(box.MinY, 12); // y(1/2) = 30 - 0.75 * 24
    EXPECT_EQ(box.MaxY, 30);
    EXPECT_TRUE(ink.count({30, 12}));
    EXPECT_FALSE(ink.count({60, 30})); // the last pixel is left out, as for lines
}

TEST_F(CanvasShapesTest, FarAwayEndPointsKeepTheLineDirection) {
    {
        TQtCanvas canvas(&Image);
        canvas.MoveTo(-2000000000, 10);
        canvas.LineTo(2000000000, 10);
        canvas.MoveTo(0, 0);
        canvas.LineTo(2000000000, 1000000000);
        canvas.SetPen({kBlack, 1, TPenStyle::psDot});
        canvas.MoveTo(-2000000000, 40);
        canvas.LineTo(2000000000, 40);
    }
    for (int x = 0; x < 64; ++x) EXPECT_EQ(Raw(Image, x, 10), Rgb(kBlack)) << x;
    for (int x = 0; x < 40; x += 2) EXPECT_EQ(Raw(Image, x, x / 2), Rgb(kBlack)) << x;
    int dots = 0;
    for (int x = 0; x < 64; ++x) dots += Raw(Image, x, 40) == Rgb(kBlack) ? 1 : 0;
    EXPECT_GE(dots, 30);
    EXPECT_LE(dots, 34);
}

TEST_F(CanvasShapesTest, HugeShapesAreClippedToTheDevice) {
    {
        TQtCanvas canvas(&Image);
        canvas.SetBrush(SolidBrush(kRed));
        canvas.Ellipse(-1000000, -1000000, 1000000, 1000000);
        canvas.SetPen(SolidPen(kBlue, 7));
        canvas.Rectangle(-100000000, 20, 100000000, 100000000);
    }
    EXPECT_EQ(Raw(Image, 30, 10), Rgb(kRed));
    EXPECT_EQ(Raw(Image, 30, 20), Rgb(kBlue));
    EXPECT_EQ(Raw(Image, 30, 30), Rgb(kRed));
}

TEST(CanvasColorTest, ColorsAreStoredAsBlueGreenRedWithTheTopByteIgnored) {
    EXPECT_EQ(ColorToQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ColorToQColor(0x00FF00), QColor(0, 255, 0));
    EXPECT_EQ(ColorToQColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ColorToQColor(static_cast<TColor>(0x7F123456)), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(ColorToQColor(-255), QColor(0x01, 0xFF, 0xFF));
    EXPECT_EQ(QColorToColor(QColor(0x56, 0x34, 0x12)), 0x123456);
    EXPECT_EQ(QColorToColor(QColor(0x56, 0x34, 0x12, 0x10)), 0x123456);
    EXPECT_EQ(QColorToColor(ColorToQColor(0xC0C0C0)), 0xC0C0C0);
}

} // namespace
