// Arrowhead geometry and the pixels of row-style line ends.
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace enginetest;

namespace {

void ExpectPoint(const TDoublePoint& actual, double x, double y) {
    EXPECT_NEAR(actual.X, x, 1e-9);
    EXPECT_NEAR(actual.Y, y, 1e-9);
}

struct TArrowCase {
    const char* Name;
    TDoublePoint Tip;
    TDoublePoint From;
    double HalfWidth;
    double Length;
    TDoublePoint Corner1;
    TDoublePoint Corner2;
};

} // namespace

TEST(ArrowHeadTest, CornersBesideTheBaseCentre) {
    const double c30 = std::cos(std::numbers::pi / 6);
    const double s30 = std::sin(std::numbers::pi / 6);
    const TArrowCase cases[] = {
        {"towards +x", DoublePoint(10, 10), DoublePoint(20, 10), 2, 5, DoublePoint(15, 12), DoublePoint(15, 8)},
        {"towards -x", DoublePoint(10, 10), DoublePoint(0, 10), 2, 5, DoublePoint(5, 8), DoublePoint(5, 12)},
        {"towards +y", DoublePoint(10, 10), DoublePoint(10, 30), 1.2, 3.5, DoublePoint(8.8, 13.5),
         DoublePoint(11.2, 13.5)},
        {"towards -y", DoublePoint(10, 10), DoublePoint(10, -1), 1.2, 3.5, DoublePoint(11.2, 6.5),
         DoublePoint(8.8, 6.5)},
        // base centre (4·cos 30°, 4·sin 30°), corners ±1 along (−sin 30°, cos 30°)
        {"30 degrees", DoublePoint(0, 0), DoublePoint(10 * c30, 10 * s30), 1, 4,
         DoublePoint(4 * c30 - s30, 4 * s30 + c30), DoublePoint(4 * c30 + s30, 4 * s30 - c30)},
        {"neighbour nearer than the length", DoublePoint(1, 1), DoublePoint(2, 1), 3, 5, DoublePoint(6, 4),
         DoublePoint(6, -2)},
    };
    for (const TArrowCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto head = ArrowHead(c.HalfWidth, c.Length, c.Tip, c.From);
        ASSERT_TRUE(head.has_value());
        ExpectPoint((*head)[0], c.Corner1.X, c.Corner1.Y);
        EXPECT_EQ((*head)[1], c.Tip);
        ExpectPoint((*head)[2], c.Corner2.X, c.Corner2.Y);
    }
}

TEST(ArrowHeadTest, ZeroLengthSegmentHasNoHead) {
    EXPECT_FALSE(ArrowHead(2, 5, DoublePoint(3, 4), DoublePoint(3, 4)).has_value());
    EXPECT_FALSE(ArrowHead(2, 5, DoublePoint(3, 4), DoublePoint(std::nan(""), 4)).has_value());
}

// A horizontal line at y = 12.5 mm (pixel row 50) from x = 5 mm to 40 mm
// (pixels 20 to 160), arrows 2 mm wide each side and 5 mm long: the right
// head covers pixels 140..160, the left one 20..40.
class RowEndsPixelTest : public ::testing::Test {
protected:
    static constexpr TColor kPen = 0x0000C0;
    const TDoublePoint First = DoublePoint(5, 12.5);
    const TDoublePoint Last = DoublePoint(40, 12.5);

    QImage DrawLine(TRowStyle style, TRegionSlot* region = nullptr) {
        return Render(200, 100, [&](TVXDrawEngine& e, TCanvas&) {
            e.DrawRowEnds(kPen, 1, 2, 5, style, TPenStyle::psSolid, Last, First, region);
        });
    }
    // A pen pixel at (x, y) or one row above or below it.
    static bool InkNear(const QImage& image, int x, int y) {
        return !Within(WithColor(image, kPen), x, y - 1, x, y + 1).empty();
    }
    // Pen pixels more than one pixel away from the line's row.
    static TPixelSet OffLine(const QImage& image, int minX, int maxX) {
        TPixelSet off;
        for (const auto& p : Within(WithColor(image, kPen), minX, 0, maxX, 99))
            if (std::abs(p.second - 50) > 1) off.insert(p);
        return off;
    }
};

TEST_F(RowEndsPixelTest, RightSolidFillsATriangleAtTheLastPointOnly) {
    TRegionSlot region;
    const QImage image = DrawLine(TRowStyle::rsRightSolid, &region);
    EXPECT_TRUE(OffLine(image, 0, 120).empty());
    const TPixelSet head = OffLine(image, 130, 170);
    EXPECT_GT(head.size(), 100u); // a 20 × 16 pixel triangle, filled
    EXPECT_EQ(Raw(image, 150, 47), Rgb(kPen));
    EXPECT_EQ(Raw(image, 145, 44), Rgb(kPen));
    const TBox box = BoundsOf(head);
    EXPECT_GE(box.MinX, 139);
    EXPECT_LE(box.MaxX, 160);
    EXPECT_GE(box.MinY, 41);
    EXPECT_LE(box.MaxY, 58);
    // the segment itself runs between the two end points
    for (int x = 21; x < 160; x += 10) EXPECT_EQ(Raw(image, x, 50), Rgb(kPen)) << x;
    ASSERT_TRUE(region);
    EXPECT_TRUE(region->Contains(150, 47));
    EXPECT_FALSE(region->Contains(30, 47));
}

TEST_F(RowEndsPixelTest, LeftLightDrawsAnOpenHeadAtTheFirstPointOnly) {
    TRegionSlot region;
    const QImage image = DrawLine(TRowStyle::rsLeftLight, &region);
    EXPECT_TRUE(OffLine(image, 60, 199).empty());
    EXPECT_FALSE(OffLine(image, 15, 45).empty());
    // the strokes from the corners (40, 42) and (40, 58) to the tip (20, 50)
    EXPECT_TRUE(InkNear(image, 30, 46));
    EXPECT_TRUE(InkNear(image, 30, 54));
    // open: the inside of the head stays white
    EXPECT_EQ(Raw(image, 35, 47), kWhite);
    EXPECT_EQ(Raw(image, 35, 53), kWhite);
    EXPECT_FALSE(region); // light heads make no region
}

TEST_F(RowEndsPixelTest, BothSolidFillsBothEnds) {
    const QImage image = DrawLine(TRowStyle::rsBothSolid);
    EXPECT_GT(OffLine(image, 15, 45).size(), 100u);
    EXPECT_GT(OffLine(image, 135, 165).size(), 100u);
    EXPECT_TRUE(OffLine(image, 50, 130).empty());
}

TEST_F(RowEndsPixelTest, NoneDrawsOnlyTheSegmentInThePenStyle) {
    const QImage image = Render(200, 100, [&](TVXDrawEngine& e, TCanvas&) {
        e.DrawRowEnds(kPen, 1, 2, 5, TRowStyle::rsNone, TPenStyle::psDash, Last, First);
    });
    EXPECT_TRUE(OffLine(image, 0, 199).empty());
    const TPixelSet line = WithColor(image, kPen);
    EXPECT_GT(line.size(), 40u);
    EXPECT_LT(line.size(), 140u); // dashed: gaps along the 140 pixels
}

TEST_F(RowEndsPixelTest, ZeroLengthLineDrawsNoHead) {
    TRegionSlot region;
    const QImage image = Render(200, 100, [&](TVXDrawEngine& e, TCanvas&) {
        e.DrawRowEnds(kPen, 1, 2, 5, TRowStyle::rsBothSolid, TPenStyle::psSolid, First, First, &region);
    });
    EXPECT_LE(Differing(image).size(), 1u);
    EXPECT_FALSE(region);
}

TEST(PolylineRowEndsTest, FixedHeadsAtTheEndsAlongTheEndSegments) {
    // An L: down from (10, 5) to (10, 20), then right to (40, 20) (pixels).
    const TDoublePointArr points{DoublePoint(10, 5), DoublePoint(10, 20), DoublePoint(40, 20)};
    const TColor pen = 0x008000;
    const QImage image = Render(200, 120, [&](TVXDrawEngine& e, TCanvas&) {
        e.DrawPolylineRowEnds(points, pen, TRowStyle::rsBothSolid, TPenStyle::psSolid, 1);
    });
    const TPixelSet ink = WithColor(image, pen);
    // right head: tip (160, 80), base at x = 140, corners 12 pixels either side
    TPixelSet rightHead;
    for (const auto& p : Within(ink, 130, 60, 199, 119))
        if (std::abs(p.second - 80) > 1) rightHead.insert(p);
    const TBox right = BoundsOf(rightHead);
    EXPECT_LE(right.MaxX, 160);
    EXPECT_NEAR(right.MinX, 140, 1);
    EXPECT_NEAR(right.MinY, 68, 1);
    EXPECT_NEAR(right.MaxY, 92, 1);
    // left head: tip (40, 20) pointing up, base at y = 40
    const TBox left = BoundsOf(Within(ink, 0, 0, 100, 45));
    EXPECT_NEAR(left.MinX, 28, 1);
    EXPECT_NEAR(left.MaxX, 52, 1);
    EXPECT_NEAR(left.MinY, 20, 1);
    EXPECT_EQ(Raw(image, 40, 35), Rgb(pen));
    EXPECT_EQ(Raw(image, 45, 38), Rgb(pen)); // filled beside the line
}
