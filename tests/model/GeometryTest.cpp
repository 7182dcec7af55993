#include "model/Bezier.h"
#include "model/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

TDoublePoint P3(double x, double y, double z) { return TDoublePoint{x, y, z}; }

double Deg(double degrees) { return degrees * Pi / 180; }

// Table rows hold numbers: a test result as 1 or 0, a point list as its size.
double B(bool v) { return v ? 1 : 0; }
double Count(const T2DPointArray& points) { return static_cast<double>(points.size()); }

// The documented border cases of the helpers, one row each.
TEST(GeometryEdgeCases, DocumentedBorderValues) {
    const TDoublePoint c = DoublePoint(5, 5);
    const TDoublePoint q0 = DoublePoint(0, 0), q1 = DoublePoint(1, 2), q2 = DoublePoint(3, 4), q3 = DoublePoint(5, 0);
    const TDoublePoint beyond = BezierPoint(DoublePoint(1, 1), q1, q2, DoublePoint(7, 7), 1.0000001);
    const struct {
        const char* what;
        double actual;
        double expected;
    } cases[] = {
        {"SamePoint 0.019 apart", B(SamePoint(DoublePoint(1, 1), DoublePoint(1.019, 1.019))), 1},
        {"SamePoint 0.02 apart", B(SamePoint(DoublePoint(1, 1), DoublePoint(1.02, 1.02))), 0},
        {"SamePoint 0.02 apart in Y only", B(SamePoint(DoublePoint(1, 1), DoublePoint(1, 1.02))), 0},
        {"SamePoint ignores Z", B(SamePoint(P3(1, 1, 0), P3(1, 1, 50))), 1},
        {"SameDouble 0.0009", B(SameDouble(2, 2.0009)), 1},
        {"SameDouble 0.001", B(SameDouble(0, 0.001)), 0},
        {"AngleOf below the centre", AngleOf(c, DoublePoint(5, 1)), 3 * Pi / 2},
        {"AngleOf above the centre", AngleOf(c, DoublePoint(5, 9)), Pi / 2},
        {"AngleOf left of the centre", AngleOf(c, DoublePoint(1, 5)), Pi},
        {"AngleOf right of the centre", AngleOf(c, DoublePoint(9, 5)), 0},
        {"AngleOf the centre itself", AngleOf(c, c), 0},
        {"AngleOf first quadrant", AngleOf(c, DoublePoint(6, 6)), Pi / 4},
        {"AngleOf second quadrant", AngleOf(c, DoublePoint(4, 6)), 3 * Pi / 4},
        {"AngleOf third quadrant", AngleOf(c, DoublePoint(4, 4)), 5 * Pi / 4},
        {"AngleOf fourth quadrant", AngleOf(c, DoublePoint(6, 4)), 7 * Pi / 4},
        {"AngleOf 30 degrees", AngleOf(c, DoublePoint(5 + std::sqrt(3.0), 6)), Pi / 6},
        {"BezierPoint at t = 1.0000001: X", beyond.X, 0},
        {"BezierPoint at t = 1.0000001: Y", beyond.Y, 0},
        {"BezierPoint at t = -0.0000001: X", BezierPoint(DoublePoint(1, 1), q1, q2, q3, -0.0000001).X, 0},
        {"BezierPoint at t = NaN: X",
         BezierPoint(DoublePoint(1, 1), q1, q2, q3, std::numeric_limits<double>::quiet_NaN()).X, 0},
        {"BezierPoint at t = 1 is the end", BezierPoint(q0, q1, q2, q3, 1).X, 5},
        {"HitCircle at 1.04 r", B(HitCircle(10, c, DoublePoint(5 + 10.4, 5))), 1},
        {"HitCircle at 1.05 r", B(HitCircle(10, c, DoublePoint(5 + 10.5, 5))), 0},
        {"HitCircle at 0.95 r", B(HitCircle(10, c, DoublePoint(5, 5 - 9.5))), 1},
        {"HitCircle at 0.94 r", B(HitCircle(10, c, DoublePoint(5, 5 - 9.4))), 0},
        {"HitCircle with r = 0", B(HitCircle(0, c, c)), 0},
        {"HitEllipse with ry = 0", B(HitEllipse(0, 10, 0, c, DoublePoint(15, 5))), 0},
        {"quarter circle: points", Count(EllipseArcToBezier(0, Pi / 2, 10, 10, 0, 0, 0)), 4},
        {"half circle: points", Count(EllipseArcToBezier(0, Pi, 10, 10, 0, 0, 0)), 7},
        {"full turn 0 to 2pi: points", Count(EllipseArcToBezier(0, 2 * Pi, 10, 10, 0, 0, 0)), 13},
        {"full turn 2pi to 0: points", Count(EllipseArcToBezier(2 * Pi, 0, 10, 10, 0, 0, 0)), 13},
        {"quarter arc from 3 degrees: points",
         Count(EllipseArcToBezier(Deg(3), Deg(93), 10, 10, 0, 0, 0)), 4},
        {"quarter arc from 11 degrees: points",
         Count(EllipseArcToBezier(Deg(11), Deg(101), 10, 10, 0, 0, 0)), 4},
        {"quarter arc from 12 degrees: points",
         Count(EllipseArcToBezier(Deg(12), Deg(102), 10, 10, 0, 0, 0)), 4},
        {"quarter arc from 5 degrees: points", Count(EllipseArcToBezier(Deg(5), Deg(95), 10, 10, 0, 0, 0)), 4},
        {"quarter arc from 9 degrees: points", Count(EllipseArcToBezier(Deg(9), Deg(99), 10, 10, 0, 0, 0)), 4},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        EXPECT_NEAR(row.actual, row.expected, 1e-12);
    }
}

TEST(GeometryDistance, FlatAndSpatial) {
    EXPECT_DOUBLE_EQ(Distance(P3(0, 0, 0), P3(3, 4, 12), true), 5);
    EXPECT_DOUBLE_EQ(Distance(P3(0, 0, 0), P3(3, 4, 12), false), 13);
    // Z values within 0.001 count as equal, so the planar rules apply.
    EXPECT_DOUBLE_EQ(Distance(P3(0, 0, 0), P3(3, 4, 0.0005), false), 5);
    // Points that are the same in the plane are 0 apart unless Z counts.
    EXPECT_EQ(Distance(DoublePoint(1, 1), DoublePoint(1.01, 1.01), true), 0);
    EXPECT_DOUBLE_EQ(Distance(P3(1, 1, 0), P3(1, 1, 2), false), 2);
}

TEST(GeometryTransforms, RotateScaleAndShift) {
    const TDoublePoint r = RotatePoint(DoublePoint(1, 1), P3(3, 1, 7), Pi / 2);
    EXPECT_NEAR(r.X, 1, 1e-12);
    EXPECT_NEAR(r.Y, 3, 1e-12);
    EXPECT_EQ(r.Z, 7);

    const TDoublePoint s = ScalePoint(DoublePoint(1, 2), DoublePoint(3, 5), 2, 0.5);
    EXPECT_DOUBLE_EQ(s.X, 5);
    EXPECT_DOUBLE_EQ(s.Y, 3.5);
    // A factor of 1 keeps the coordinate bit for bit, even where
    // origin + (p − origin) would round differently.
    const TDoublePoint origin = DoublePoint(-73.127, -73.127);
    const TDoublePoint p = DoublePoint(69.487, 69.487);
    ASSERT_NE(origin.X + (p.X - origin.X) * 1, p.X);
    EXPECT_EQ(ScalePoint(origin, p, 1, 3).X, p.X);
    EXPECT_EQ(ScalePoint(origin, p, 3, 1).Y, p.Y);

    EXPECT_EQ(MidPoint(P3(0, 2, 4), P3(2, 4, 8)), P3(1, 3, 6));
    EXPECT_EQ(PointAlong(P3(0, 0, 3), DoublePoint(10, 20), 0.25), P3(2.5, 5, 3));
    EXPECT_EQ(PointAlong(DoublePoint(4, 4), DoublePoint(4, 4), 5), DoublePoint(4, 4));
    EXPECT_EQ(OffsetXY(OffsetY(OffsetX(DoublePoint(1, 1), 2), 3), -1, -1), DoublePoint(2, 3));
    // Each axis moves towards the target; a level axis stays.
    EXPECT_EQ(StepTowards(DoublePoint(5, 5), DoublePoint(0, 9), 1, -2), DoublePoint(4, 7));
    EXPECT_EQ(StepTowards(DoublePoint(5, 5), DoublePoint(5, 0), 1, 2), DoublePoint(5, 3));
    EXPECT_TRUE(InRange(5, 1, 3));
    EXPECT_TRUE(InRange(1, 5, 5));
    EXPECT_FALSE(InRange(1, 5, 5.0001));
}

TEST(GeometryMirror, VerticalHorizontalAndSlopedLines) {
    const struct {
        const char* what;
        TDoublePoint a, b, p, expected;
    } cases[] = {
        {"vertical line", DoublePoint(2, 0), DoublePoint(2, 5), DoublePoint(5, 1), DoublePoint(-1, 1)},
        {"horizontal line", DoublePoint(0, 3), DoublePoint(5, 3), DoublePoint(1, 5), DoublePoint(1, 1)},
        {"diagonal y = x", DoublePoint(0, 0), DoublePoint(1, 1), DoublePoint(3, 1), DoublePoint(1, 3)},
        {"slope 2 through (0, 1)", DoublePoint(0, 1), DoublePoint(1, 3), DoublePoint(0, 0), DoublePoint(-0.8, 0.4)},
        {"point on the line stays", DoublePoint(0, 1), DoublePoint(1, 3), DoublePoint(2, 5), DoublePoint(2, 5)},
        {"nearly vertical line", DoublePoint(0, 0), DoublePoint(1e-200, 1), DoublePoint(3, 0), DoublePoint(-3, 0)},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        const TDoublePoint m = MirrorPoint(row.p, row.a, row.b);
        EXPECT_NEAR(m.X, row.expected.X, 1e-12);
        EXPECT_NEAR(m.Y, row.expected.Y, 1e-12);
    }
    EXPECT_EQ(MirrorPoint(P3(5, 1, 9), DoublePoint(2, 0), DoublePoint(2, 5)).Z, 9);
}

TEST(GeometryPointAtDistance, PlanarAndSpatialSteps) {
    const struct {
        const char* what;
        TDoublePoint a, b;
        bool flat;
        double d;
        TDoublePoint expected;
    } cases[] = {
        {"flat, along 3-4-5", P3(0, 0, 0), P3(3, 4, 0), true, 10, P3(6, 8, 0)},
        {"flat, backwards", P3(1, 1, 0), P3(4, 5, 0), true, -5, P3(-2, -3, 0)},
        {"flat, same point gives a", P3(1, 1, 2), P3(1.01, 1.01, 9), true, 5, P3(1, 1, 2)},
        {"flat moves Z in proportion", P3(0, 0, 0), P3(3, 4, 10), true, 2.5, P3(1.5, 2, 5)},
        {"spatial, equal Z", P3(0, 0, 1), P3(3, 4, 1), false, 5, P3(3, 4, 1)},
        {"spatial, equal Z and coincident points", P3(2, 2, 1), P3(2, 2, 1), false, 5, P3(2, 2, 1)},
        {"spatial, straight up", P3(2, 2, 1), P3(2, 2, 9), false, 3, P3(2, 2, 4)},
        {"spatial, straight down", P3(2, 2, 9), P3(2, 2, 1), false, 3, P3(2, 2, 6)},
        {"spatial, slope 3-4-12", P3(0, 0, 0), P3(3, 4, 12), false, 13, P3(3, 4, 12)},
        {"spatial, slope 3-4-12 falling", P3(0, 0, 12), P3(6, 8, 12 - 24), false, 13, P3(3, 4, 0)},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        const TDoublePoint r = PointAtDistance(row.a, row.b, row.flat, row.d);
        EXPECT_NEAR(r.X, row.expected.X, 1e-12);
        EXPECT_NEAR(r.Y, row.expected.Y, 1e-12);
        EXPECT_NEAR(r.Z, row.expected.Z, 1e-12);
    }
}

TEST(GeometryRounding, RoundToPointAndTruncPoint4) {
    EXPECT_EQ(RoundToPoint(DoublePoint(2.5, 3.5)), QPoint(2, 4));
    EXPECT_EQ(RoundToPoint(DoublePoint(-2.5, -0.6)), QPoint(-2, -1));
    EXPECT_EQ(RoundToPoint(DoublePoint(std::numeric_limits<double>::quiet_NaN(), 1e300)), QPoint(0, 1 << 30));
    EXPECT_EQ(RoundToPoint(DoublePoint(-std::numeric_limits<double>::infinity(), 0)), QPoint(-(1 << 30), 0));

    EXPECT_EQ(TruncPoint4(P3(1.23456, -1.23456, 0.99999)), P3(1.2345, -1.2345, 0.9999));
    // 1.2345 · 10000 is 12344.999…98 in binary; the value must not lose its last decimal.
    EXPECT_EQ(TruncPoint4(P3(1.2345, -4.1111, 2)), P3(1.2345, -4.1111, 2));
    EXPECT_EQ(TruncPoint4(P3(0.00009, -0.00009, 1e20)), P3(0, 0, 1e20));
}

TEST(GeometryRects, RectOfPointsAndPointInRect) {
    const TDoubleRect r = RectOfPoints(DoublePoint(5, 1), DoublePoint(1, 4), 0.5);
    EXPECT_EQ(r, (TDoubleRect{0.5, 0.5, 5.5, 4.5}));
    EXPECT_TRUE(PointInDoubleRect(DoublePoint(0.5, 4.5), r));
    EXPECT_TRUE(PointInDoubleRect(DoublePoint(5.5, 0.5), r));
    EXPECT_FALSE(PointInDoubleRect(DoublePoint(5.51, 2), r));
    EXPECT_FALSE(PointInDoubleRect(DoublePoint(2, 0.49), r));
}

TEST(GeometryRects, RectsOverlap) {
    const TDoubleRect base{0, 0, 10, 10};
    const struct {
        const char* what;
        TDoubleRect other;
        bool expected;
    } cases[] = {
        {"shared area", {5, 5, 15, 15}, true},
        {"contained", {2, 2, 3, 3}, true},
        {"containing", {-5, -5, 20, 20}, true},
        {"cross shape, no corner inside the other", {3, -5, 6, 15}, true},
        {"corners touch", {10, 10, 20, 20}, true},
        {"edges touch", {10, 2, 20, 4}, true},
        {"apart in X", {10.01, 0, 20, 10}, false},
        {"apart in Y", {0, -5, 10, -0.01}, false},
        {"diagonal neighbour", {10.5, 10.5, 20, 20}, false},
        {"given right to left", {15, 15, 5, 5}, true},
        {"zero-width rectangle crossing", {5, -5, 5, 15}, true},
        {"point inside", {4, 4, 4, 4}, true},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(RectsOverlap(base, row.other), row.expected);
        EXPECT_EQ(RectsOverlap(row.other, base), row.expected);
    }
}

TEST(GeometryHitSegment, ReachAndMarginBox) {
    const struct {
        const char* what;
        TDoublePoint a, b, p;
        double tolerance, width;
        bool expected;
    } cases[] = {
        {"coincident ends, within reach", DoublePoint(5, 5), DoublePoint(5, 5), DoublePoint(9, 1), 2, 2, true},
        {"coincident ends, beyond reach", DoublePoint(5, 5), DoublePoint(5, 5), DoublePoint(9.1, 5), 2, 2, false},
        {"on the segment", DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(5, 0), 2, 0, true},
        {"horizontal, at the tolerance", DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(5, 2), 2, 3, true},
        // The width widens the reach but not the box, so a horizontal segment
        // is hit only within the tolerance.
        {"horizontal, beyond the box", DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(5, 2.5), 2, 3, false},
        {"beyond the end within the box", DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(11.5, 0), 2, 3, true},
        {"beyond the end outside the box", DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(12.5, 0), 2, 3, false},
        {"diagonal, width adds reach", DoublePoint(0, 0), DoublePoint(10, 10), DoublePoint(8, 2), 2, 3, true},
        {"diagonal, beyond the reach", DoublePoint(0, 0), DoublePoint(10, 10), DoublePoint(9, 1), 2, 3, false},
        {"diagonal, tolerance only", DoublePoint(0, 0), DoublePoint(10, 10), DoublePoint(6, 4), 1.5, 0, true},
        {"diagonal, just outside", DoublePoint(0, 0), DoublePoint(10, 10), DoublePoint(6.1, 3.9), 1.5, 0, false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(HitSegment(row.a, row.b, row.p, row.tolerance, row.width), row.expected);
        EXPECT_EQ(HitSegment(row.b, row.a, row.p, row.tolerance, row.width), row.expected);
    }
}

TEST(GeometryHitEllipse, TurnedEllipse) {
    const TDoublePoint c = DoublePoint(10, 20);
    // Semi-axis 10 along X, 5 along Y, then turned a quarter turn.
    EXPECT_TRUE(HitEllipse(0, 10, 5, c, DoublePoint(20, 20)));
    EXPECT_TRUE(HitEllipse(0, 10, 5, c, DoublePoint(10, 15)));
    EXPECT_FALSE(HitEllipse(0, 10, 5, c, DoublePoint(10, 30)));
    EXPECT_TRUE(HitEllipse(Pi / 2, 10, 5, c, DoublePoint(10, 30)));
    EXPECT_TRUE(HitEllipse(Pi / 2, 10, 5, c, DoublePoint(5, 20)));
    EXPECT_FALSE(HitEllipse(Pi / 2, 10, 5, c, DoublePoint(20, 20)));
    EXPECT_FALSE(HitEllipse(Pi / 2, 10, 5, c, c));
}

} // namespace
