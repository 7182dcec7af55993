// Bézier paths: the closed, filled case with its region, open paths with
// arrowheads along the end tangents, and the outline of pattern pens.
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

constexpr TColor kPen = 0x000080;
constexpr TColor kFill = 0x40C040;

// A closed square of straight Bézier pieces, (10, 10)–(40, 40) mm = pixels 40..160.
TDoublePointArr Square() {
    const TDoublePoint a = DoublePoint(10, 10), b = DoublePoint(40, 10), c = DoublePoint(40, 40),
                       d = DoublePoint(10, 40);
    return {a, b, b, b, c, c, c, d, d, d, a, a, a};
}

struct TPathCall {
    TRowStyle RowStyle = TRowStyle::rsNone;
    bool Open = false;
    bool Closed = true;
    TBrushStyle Brush = TBrushStyle::bsSolid;
};

QImage DrawPath(const TDoublePointArr& points, const TPathCall& call, TRegionSlot* region) {
    return Render(200, 200, [&](TVXDrawEngine& e, TCanvas&) {
        e.DrawBezierPath(points, 2, 5, call.RowStyle, region, nullptr, call.Open, call.Closed, call.Brush, kFill,
                         TPenStyle::psSolid, 1, kPen);
    });
}

} // namespace

TEST(BezierPathTest, ClosedPathIsFilledAndGivesTheRegionOfItsInside) {
    TRegionSlot region;
    const QImage image = DrawPath(Square(), {}, &region);
    EXPECT_EQ(Raw(image, 100, 100), Rgb(kFill));
    EXPECT_EQ(Raw(image, 41, 41), Rgb(kFill));
    EXPECT_EQ(Raw(image, 40, 100), Rgb(kPen));
    EXPECT_EQ(Raw(image, 20, 20), kWhite);
    ASSERT_TRUE(region);
    EXPECT_TRUE(region->Contains(100, 100));
    EXPECT_TRUE(region->Contains(45, 155));
    EXPECT_FALSE(region->Contains(170, 100));
    EXPECT_FALSE(region->Contains(20, 20));

    // Drawn again with the slot filled: same region object.
    const TDeviceRegion* kept = region.get();
    DrawPath(Square(), {}, &region);
    EXPECT_EQ(region.get(), kept);
}

TEST(BezierPathTest, OpenOrUnclosedPathsAreNotFilledAndMakeNoRegion) {
    const struct {
        const char* Name;
        TPathCall Call;
    } cases[] = {
        {"closed but drawn open", {TRowStyle::rsNone, true, true, TBrushStyle::bsSolid}},
        {"not closed", {TRowStyle::rsNone, false, false, TBrushStyle::bsSolid}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TRegionSlot region;
        const QImage image = DrawPath(Square(), c.Call, &region);
        EXPECT_EQ(Raw(image, 100, 100), kWhite);
        EXPECT_EQ(Raw(image, 40, 100), Rgb(kPen));
        EXPECT_FALSE(region);
    }
}

TEST(BezierPathTest, ClearBrushStillGivesARegionOfTheInside) {
    TRegionSlot region;
    const QImage image = DrawPath(Square(), {TRowStyle::rsNone, false, true, TBrushStyle::bsClear}, &region);
    EXPECT_EQ(Raw(image, 100, 100), kWhite);
    EXPECT_EQ(Raw(image, 40, 100), Rgb(kPen));
    ASSERT_TRUE(region);
    EXPECT_TRUE(region->Contains(100, 100));
}

TEST(BezierPathTest, OpenPathGetsArrowheadsAlongItsEndTangents) {
    // Starts heading right from (10, 10) mm and ends heading straight down at (40, 40) mm.
    const TDoublePointArr curve{DoublePoint(10, 10), DoublePoint(30, 10), DoublePoint(40, 20), DoublePoint(40, 40)};
    const QImage image = DrawPath(curve, {TRowStyle::rsBothSolid, false, false, TBrushStyle::bsSolid}, nullptr);
    const TPixelSet ink = WithColor(image, kPen);
    // Right end: tip (160, 160) px pointing down, base 20 px above, 8 px either side.
    const TBox right = BoundsOf(Within(ink, 140, 138, 180, 199));
    EXPECT_NEAR(right.MinX, 152, 1);
    EXPECT_NEAR(right.MaxX, 168, 1);
    EXPECT_NEAR(right.MaxY, 160, 1);
    EXPECT_EQ(Raw(image, 164, 145), Rgb(kPen)); // filled beside the curve
    // Left end: tip (40, 40) px pointing left, base 20 px to its right.
    const TBox left = BoundsOf(Within(ink, 20, 20, 62, 60));
    EXPECT_NEAR(left.MinX, 40, 1);
    EXPECT_NEAR(left.MinY, 32, 1);
    EXPECT_NEAR(left.MaxY, 48, 1);
    EXPECT_EQ(Raw(image, 55, 45), Rgb(kPen));
}

TEST(BezierPathTest, LightEndsAreOpenAndOnlyOnTheirSide) {
    const TDoublePointArr line{DoublePoint(10, 25), DoublePoint(20, 25), DoublePoint(30, 25), DoublePoint(40, 25)};
    const QImage image = DrawPath(line, {TRowStyle::rsRightLight, false, false, TBrushStyle::bsSolid}, nullptr);
    TPixelSet off;
    for (const auto& p : WithColor(image, kPen))
        if (std::abs(p.second - 100) > 1) off.insert(p);
    EXPECT_FALSE(off.empty());
    EXPECT_GE(BoundsOf(off).MinX, 138); // only the right end
    EXPECT_EQ(Raw(image, 150, 97), kWhite); // open inside
    EXPECT_EQ(Raw(image, 150, 96), Rgb(kPen));
}
