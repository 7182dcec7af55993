// Device regions answer point tests as GDI regions do: a pixel belongs to the
// region when its centre lies inside, so the right and bottom edge stay out.
#include "platform/DeviceRegion.h"

#include <gtest/gtest.h>

#include <QPainterPath>
#include <array>

namespace {

const std::array<QPoint, 4> kSquare{{{10, 10}, {20, 10}, {20, 20}, {10, 20}}};
// A pentagram drawn in one stroke: its middle pentagon is wound twice.
const std::array<QPoint, 5> kStar{{{10, 60}, {40, 5}, {70, 60}, {5, 25}, {75, 25}}};

TEST(DeviceRegionTest, PolygonLeavesOutItsRightAndBottomEdge) {
    const TDeviceRegion region = TDeviceRegion::FromPolygon(kSquare);
    struct TCase {
        int X, Y;
        bool Inside;
    };
    const std::array<TCase, 10> cases{{
        {10, 10, true},
        {19, 10, true},
        {10, 19, true},
        {19, 19, true},
        {15, 15, true},
        {20, 15, false},
        {15, 20, false},
        {20, 20, false},
        {9, 15, false},
        {15, 9, false},
    }};
    for (const TCase& c : cases) EXPECT_EQ(region.Contains(c.X, c.Y), c.Inside) << c.X << "," << c.Y;
    EXPECT_EQ(region.BoundingBox(), (TDeviceRect{10, 10, 20, 20}));
}

TEST(DeviceRegionTest, TriangleHoldsThePixelsWhoseCentresAreInside) {
    const std::array<QPoint, 3> triangle{{{0, 0}, {30, 0}, {0, 15}}}; // hypotenuse x + 2y = 30
    const TDeviceRegion region = TDeviceRegion::FromPolygon(triangle);
    int count = 0;
    for (int y = -2; y < 20; ++y)
        for (int x = -2; x < 35; ++x) {
            const double cx = x + 0.5, cy = y + 0.5;
            const double side = cx + 2 * cy - 30; // never 0 at a pixel centre
            const bool inside = cx > 0 && cy > 0 && side < 0;
            EXPECT_EQ(region.Contains(x, y), inside) << x << "," << y;
            count += inside ? 1 : 0;
        }
    EXPECT_EQ(count, 225);
    // The box holds every pixel (the outermost ones are (28, 0) and (0, 14)).
    const TDeviceRect box = region.BoundingBox();
    EXPECT_EQ(box.Left, 0);
    EXPECT_EQ(box.Top, 0);
    EXPECT_GE(box.Right, 29);
    EXPECT_LE(box.Right, 30);
    EXPECT_GE(box.Bottom, 15);
    EXPECT_LE(box.Bottom, 16);
}

TEST(DeviceRegionTest, WindingAndAlternateDifferInTheMiddleOfAStar) {
    const TDeviceRegion winding = TDeviceRegion::FromPolygon(kStar, TPolyFillMode::Winding);
    const TDeviceRegion alternate = TDeviceRegion::FromPolygon(kStar, TPolyFillMode::Alternate);
    EXPECT_TRUE(winding.Contains(40, 35));
    EXPECT_FALSE(alternate.Contains(40, 35));
    // The points of the star belong to both.
    for (const QPoint& p : {QPoint(39, 8), QPoint(12, 26), QPoint(66, 26), QPoint(15, 54), QPoint(64, 54)}) {
        EXPECT_TRUE(winding.Contains(p.x(), p.y())) << p.x() << "," << p.y();
        EXPECT_TRUE(alternate.Contains(p.x(), p.y())) << p.x() << "," << p.y();
    }
    EXPECT_FALSE(winding.Contains(40, 55)); // between the two lower points
    EXPECT_EQ(winding.BoundingBox(), alternate.BoundingBox());
}

TEST(DeviceRegionTest, DefaultModeOfAPolygonRegionIsWinding) {
    EXPECT_TRUE(TDeviceRegion::FromPolygon(kStar).Contains(40, 35));
}

TEST(DeviceRegionTest, EllipseIsInscribedInItsBox) {
    const TDeviceRegion region = TDeviceRegion::FromEllipse({0, 0, 20, 10});
    EXPECT_TRUE(region.Contains(10, 5));
    EXPECT_TRUE(region.Contains(0, 4));
    EXPECT_TRUE(region.Contains(19, 4));
    EXPECT_TRUE(region.Contains(10, 0));
    EXPECT_TRUE(region.Contains(10, 9));
    EXPECT_FALSE(region.Contains(20, 4));
    EXPECT_FALSE(region.Contains(10, 10));
    EXPECT_FALSE(region.Contains(0, 0));
    EXPECT_FALSE(region.Contains(19, 9));
    EXPECT_FALSE(region.Contains(1, 1));
    EXPECT_EQ(region.BoundingBox(), (TDeviceRect{0, 0, 20, 10}));
    // Symmetric about the box's centre lines.
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            EXPECT_EQ(region.Contains(x, y), region.Contains(19 - x, y)) << x << "," << y;
            EXPECT_EQ(region.Contains(x, y), region.Contains(x, 9 - y)) << x << "," << y;
        }
}

TEST(DeviceRegionTest, UnionHoldsBothPartsAndNothingBetween) {
    TDeviceRegion region = TDeviceRegion::FromRect({0, 0, 10, 10});
    region.Unite(TDeviceRegion::FromEllipse({20, 0, 30, 10}));
    EXPECT_TRUE(region.Contains(5, 5));
    EXPECT_TRUE(region.Contains(25, 5));
    EXPECT_FALSE(region.Contains(15, 5));
    EXPECT_FALSE(region.Contains(10, 5));
    EXPECT_EQ(region.BoundingBox(), (TDeviceRect{0, 0, 30, 10}));

    TDeviceRegion empty;
    empty.Unite(TDeviceRegion::FromRect({3, 4, 5, 6}));
    EXPECT_EQ(empty.BoundingBox(), (TDeviceRect{3, 4, 5, 6}));
    empty.Unite(TDeviceRegion());
    EXPECT_EQ(empty.BoundingBox(), (TDeviceRect{3, 4, 5, 6}));
}

TEST(DeviceRegionTest, UnionOfOverlappingWindingStarsKeepsTheirMiddles) {
    TDeviceRegion region = TDeviceRegion::FromPolygon(kStar, TPolyFillMode::Winding);
    region.Unite(TDeviceRegion::FromRect({100, 100, 110, 110}));
    EXPECT_TRUE(region.Contains(40, 35));
    EXPECT_TRUE(region.Contains(105, 105));
}

TEST(DeviceRegionTest, OffsetMovesEveryPixel) {
    TDeviceRegion region = TDeviceRegion::FromPolygon(kSquare);
    region.Offset(5, -3);
    EXPECT_TRUE(region.Contains(15, 7));
    EXPECT_FALSE(region.Contains(14, 7));
    EXPECT_FALSE(region.Contains(25, 10));
    EXPECT_EQ(region.BoundingBox(), (TDeviceRect{15, 7, 25, 17}));
}

TEST(DeviceRegionTest, ClosedPathRegionFollowsItsFillRule) {
    QPainterPath path;
    path.addRect(0, 0, 30, 30);
    path.addRect(10, 10, 10, 10);
    const TDeviceRegion alternate = TDeviceRegion::FromPath(path); // odd-even: a frame
    EXPECT_TRUE(alternate.Contains(5, 5));
    EXPECT_FALSE(alternate.Contains(15, 15));
    path.setFillRule(Qt::WindingFill);
    const TDeviceRegion winding = TDeviceRegion::FromPath(path);
    EXPECT_TRUE(winding.Contains(15, 15));
    EXPECT_EQ(winding.BoundingBox(), (TDeviceRect{0, 0, 30, 30}));
}

TEST(DeviceRegionTest, DegenerateShapesGiveEmptyRegions) {
    const std::array<QPoint, 2> line{{{0, 0}, {10, 10}}};
    const std::array<QPoint, 3> flat{{{0, 0}, {10, 0}, {20, 0}}};
    for (const TDeviceRegion& region :
         {TDeviceRegion(), TDeviceRegion::FromPolygon(line), TDeviceRegion::FromPolygon(flat),
          TDeviceRegion::FromRect({5, 5, 5, 10}), TDeviceRegion::FromRect({10, 10, 5, 5}),
          TDeviceRegion::FromEllipse({0, 0, 0, 0})}) {
        EXPECT_TRUE(region.IsEmpty());
        EXPECT_FALSE(region.Contains(0, 0));
        EXPECT_FALSE(region.Contains(5, 5));
        EXPECT_TRUE(region.BoundingBox().IsEmpty());
    }
}

} // namespace
