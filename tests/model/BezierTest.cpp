#include "model/Bezier.h"
#include "model/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace {

constexpr double Pi = std::numbers::pi;

double Deg(double degrees) { return degrees * Pi / 180; }

TDoublePoint ToDouble(const T2DPoint& p) { return DoublePoint(p.X, p.Y); }

// Value of the ellipse equation at q (1 on the curve) in the frame of an
// ellipse with semi-axes rx, ry turned by rotation about (cx, cy).
double EllipseValue(const TDoublePoint& q, double rx, double ry, double rotation, double cx, double cy) {
    const TDoublePoint local = RotatePoint(DoublePoint(cx, cy), q, -rotation);
    const double dx = (local.X - cx) / rx;
    const double dy = (local.Y - cy) / ry;
    return dx * dx + dy * dy;
}

// Polar angle of q in the ellipse's frame, in [0, 2π).
double FrameAngle(const T2DPoint& q, double rotation, double cx, double cy) {
    const TDoublePoint centre = DoublePoint(cx, cy);
    return AngleOf(centre, RotatePoint(centre, ToDouble(q), -rotation));
}

double Wrap(double a) {
    double r = std::fmod(a, 2 * Pi);
    return r < 0 ? r + 2 * Pi : r;
}

TEST(BezierCurve, BasisFormMatchesBernstein) {
    const TDoublePoint p0 = DoublePoint(0, 0), p1 = DoublePoint(2, 6), p2 = DoublePoint(8, 6), p3 = DoublePoint(10, -2);
    for (double t : {0.0, 0.1, 0.25, 0.5, 0.8, 1.0}) {
        SCOPED_TRACE(t);
        const double u = 1 - t;
        const double bx = u * u * u * p0.X + 3 * u * u * t * p1.X + 3 * u * t * t * p2.X + t * t * t * p3.X;
        const double by = u * u * u * p0.Y + 3 * u * u * t * p1.Y + 3 * u * t * t * p2.Y + t * t * t * p3.Y;
        const TDoublePoint q = BezierPoint(p0, p1, p2, p3, t);
        EXPECT_NEAR(q.X, bx, 1e-12);
        EXPECT_NEAR(q.Y, by, 1e-12);
    }
    const TDoublePoint half = BezierStepPoint(p0, p1, p2, p3, 4, 2);
    EXPECT_NEAR(half.X, 5, 1e-12);
    EXPECT_NEAR(half.Y, 4.25, 1e-12);
    // No steps: t is undefined and the point is (0, 0).
    EXPECT_EQ(BezierStepPoint(p0, DoublePoint(1, 1), p2, p3, 0, 0), DoublePoint(0, 0));
    EXPECT_EQ(BezierStepPoint(p0, DoublePoint(1, 1), p2, p3, 3, 4), DoublePoint(0, 0));
}

TEST(BezierCurve, HitBezierTolerancePerAxis) {
    const TDoublePoint p0 = DoublePoint(0, 0), p1 = DoublePoint(3, 0), p2 = DoublePoint(6, 0), p3 = DoublePoint(10, 0);
    EXPECT_TRUE(HitBezier(p0, p1, p2, p3, DoublePoint(5, 0.29)));
    EXPECT_TRUE(HitBezier(p0, p1, p2, p3, DoublePoint(10.29, -0.29)));
    EXPECT_FALSE(HitBezier(p0, p1, p2, p3, DoublePoint(5, 0.31)));
    EXPECT_FALSE(HitBezier(p0, p1, p2, p3, DoublePoint(10.31, 0)));
    EXPECT_FALSE(HitBezier(p0, p1, p2, p3, DoublePoint(-0.31, 0)));
}

// Two pieces, then poison points that a reader running past the last complete
// piece would hit.
class HitPolyBezierTest : public ::testing::Test {
protected:
    const TDoublePoint Far = DoublePoint(100, 100);
    std::vector<TDoublePoint> Points = {DoublePoint(0, 0),  DoublePoint(3, 0),  DoublePoint(6, 0),  DoublePoint(10, 0),
                                        DoublePoint(10, 3), DoublePoint(10, 6), DoublePoint(10, 10), Far,
                                        Far,                Far};

    std::span<const TDoublePoint> First(std::size_t count) const { return std::span(Points).first(count); }
};

TEST_F(HitPolyBezierTest, CompletePiecesOnly) {
    EXPECT_FALSE(HitPolyBezier({}, DoublePoint(0, 0)));
    EXPECT_FALSE(HitPolyBezier(First(3), DoublePoint(0, 0)));
    EXPECT_TRUE(HitPolyBezier(First(4), DoublePoint(5, 0)));
    EXPECT_FALSE(HitPolyBezier(First(4), DoublePoint(10, 5)));
    EXPECT_TRUE(HitPolyBezier(First(7), DoublePoint(10, 5)));
    EXPECT_FALSE(HitPolyBezier(First(7), Far));
    // With 5 and 6 points only the first piece counts; the dangling points
    // (and whatever lies behind them) are never read.
    for (std::size_t count : {5u, 6u}) {
        SCOPED_TRACE(count);
        EXPECT_TRUE(HitPolyBezier(First(count), DoublePoint(5, 0)));
        EXPECT_FALSE(HitPolyBezier(First(count), DoublePoint(10, 5)));
        EXPECT_FALSE(HitPolyBezier(First(count), Far));
    }
}

TEST_F(HitPolyBezierTest, ExactlySizedVectors) {
    // Separate allocations with nothing behind them, for the address sanitizer.
    for (std::size_t count : {4u, 5u, 6u, 7u}) {
        SCOPED_TRACE(count);
        const std::vector<TDoublePoint> exact(Points.begin(), Points.begin() + static_cast<std::ptrdiff_t>(count));
        EXPECT_FALSE(HitPolyBezier(exact, DoublePoint(50, 50)));
        EXPECT_EQ(HitPolyBezier(exact, DoublePoint(10, 5)), count == 7);
    }
}

TEST(BezierBoundsTest, SampledExtremes) {
    double minX = -1, minY = -1, maxX = -1, maxY = -1;
    BezierBounds(DoublePoint(0, 0), DoublePoint(0, 10), DoublePoint(10, 10), DoublePoint(10, 0), minX, minY, maxX,
                 maxY);
    EXPECT_DOUBLE_EQ(minX, 0);
    EXPECT_DOUBLE_EQ(minY, 0);
    EXPECT_DOUBLE_EQ(maxX, 10);
    EXPECT_DOUBLE_EQ(maxY, 7.5); // the top of the curve, reached at t = 0.5

    const std::vector<TDoublePoint> poly = {DoublePoint(0, 0),  DoublePoint(0, 10),  DoublePoint(10, 10),
                                            DoublePoint(10, 0), DoublePoint(10, -10), DoublePoint(20, -10),
                                            DoublePoint(20, 0), DoublePoint(50, 50)};
    ASSERT_TRUE(PolyBezierBounds(poly, minX, minY, maxX, maxY));
    EXPECT_DOUBLE_EQ(minX, 0);
    EXPECT_DOUBLE_EQ(minY, -7.5);
    EXPECT_DOUBLE_EQ(maxX, 20);
    EXPECT_DOUBLE_EQ(maxY, 7.5);

    EXPECT_FALSE(PolyBezierBounds(std::span(poly).first(3), minX, minY, maxX, maxY));
    EXPECT_EQ(minX, 0);
    EXPECT_EQ(maxY, 0);
}

struct ArcCase {
    const char* what;
    double start, end, rx, ry, rotation, cx, cy;
    std::size_t points;
};

// Point count, every point on the curve, the ends on the rays of the given
// polar angles and the pieces running counter-clockwise.
TEST(EllipseArcToBezierTest, PiecesLieOnTheCurve) {
    const ArcCase cases[] = {
        {"quarter circle", 0, Pi / 2, 10, 10, 0, 0, 0, 4},
        {"half circle", 0, Pi, 10, 10, 0, 0, 0, 7},
        {"full circle", 0, 2 * Pi, 10, 10, 0, 3, 4, 13},
        {"quarter from 3 degrees", Deg(3), Deg(93), 10, 10, 0, 0, 0, 4},
        {"quarter from 11 degrees", Deg(11), Deg(101), 10, 10, 0, 0, 0, 4},
        {"quarter from 12 degrees", Deg(12), Deg(102), 10, 10, 0, 0, 0, 4},
        {"just over a quarter", 0, Pi / 2 + 0.01, 10, 10, 0, 0, 0, 7},
        {"through zero", Deg(350), Deg(10), 5, 5, 0, 1, 1, 4},
        {"end below start", Deg(100), Deg(80), 5, 5, 0, 0, 0, 13},
        {"negative angles", -Pi / 2, -Pi / 4, 5, 5, 0, 0, 0, 4},
        {"angles past a full turn", 9 * Pi / 2, 5 * Pi, 5, 5, 0, 0, 0, 4},
        {"ellipse, 20 to 70 degrees", Deg(20), Deg(70), 10, 4, 0, 0, 0, 4},
        {"ellipse, 30 to 250 degrees", Deg(30), Deg(250), 10, 4, 0, 2, -3, 10},
        {"turned ellipse", Deg(-40), Deg(200), 3, 8, 0.7, 10, 20, 10},
        {"ellipse full turn 0 to 2pi", 0, 2 * Pi, 10, 4, 0, 0, 0, 13},
        {"ellipse full turn 2pi to 0", 2 * Pi, 0, 10, 4, 0.3, 0, 0, 13},
    };
    for (const ArcCase& c : cases) {
        SCOPED_TRACE(c.what);
        const T2DPointArray arc = EllipseArcToBezier(c.start, c.end, c.rx, c.ry, c.rotation, c.cx, c.cy);
        ASSERT_EQ(arc.size(), c.points);
        double previous = -1;
        double travelled = 0;
        for (std::size_t k = 0; k + 3 < arc.size(); k += 3) {
            SCOPED_TRACE(k);
            const TDoublePoint mid =
                BezierPoint(ToDouble(arc[k]), ToDouble(arc[k + 1]), ToDouble(arc[k + 2]), ToDouble(arc[k + 3]), 0.5);
            EXPECT_NEAR(EllipseValue(ToDouble(arc[k]), c.rx, c.ry, c.rotation, c.cx, c.cy), 1, 1e-9);
            EXPECT_NEAR(EllipseValue(ToDouble(arc[k + 3]), c.rx, c.ry, c.rotation, c.cx, c.cy), 1, 1e-9);
            EXPECT_NEAR(EllipseValue(mid, c.rx, c.ry, c.rotation, c.cx, c.cy), 1, 1e-3);
            // Counter-clockwise: the angle grows from piece to piece.
            const double a0 = FrameAngle(arc[k], c.rotation, c.cx, c.cy);
            const double a1 = FrameAngle(arc[k + 3], c.rotation, c.cx, c.cy);
            const double step = Wrap(a1 - a0);
            EXPECT_GT(step, 0);
            EXPECT_LT(step, Pi);
            travelled += step;
            previous = a1;
        }
        const bool full = Wrap(c.start) == Wrap(c.end) || std::abs(c.end - c.start) == 2 * Pi;
        EXPECT_NEAR(travelled, full ? 2 * Pi : Wrap(c.end - c.start), 1e-9);
        EXPECT_NEAR(Wrap(FrameAngle(arc.front(), c.rotation, c.cx, c.cy) - Wrap(c.start) + 1e-10), 1e-10, 1e-9);
        EXPECT_NEAR(Wrap(previous - Wrap(c.end) + 1e-10), 1e-10, 1e-9);
    }
}

// A sweep of whole quarter turns must not gain a piece from rounding.
TEST(EllipseArcToBezierTest, WholeQuartersFromEveryDegree) {
    for (int d = -360; d < 360; ++d) {
        SCOPED_TRACE(d);
        EXPECT_EQ(EllipseArcToBezier(Deg(d), Deg(d + 90), 10, 10, 0, 0, 0).size(), 4u);
        EXPECT_EQ(EllipseArcToBezier(Deg(d), Deg(d + 180), 10, 10, 0, 0, 0).size(), 7u);
        EXPECT_EQ(EllipseArcToBezier(Deg(d), Deg(d + 270), 10, 10, 0, 0, 0).size(), 10u);
        EXPECT_EQ(EllipseArcToBezier(Deg(d), Deg(d + 360), 10, 10, 0, 0, 0).size(), 13u);
        EXPECT_EQ(EllipseArcToBezier(Deg(d + 360), Deg(d), 10, 10, 0, 0, 0).size(), 13u);
    }
}

TEST(EllipseArcToBezierTest, DegenerateAndHostileInput) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(EllipseArcToBezier(1, 1 + 1e-13, 10, 10, 0, 0, 0).empty());
    EXPECT_TRUE(EllipseArcToBezier(nan, 1, 10, 10, 0, 0, 0).empty());
    EXPECT_TRUE(EllipseArcToBezier(0, inf, 10, 10, 0, 0, 0).empty());
    EXPECT_TRUE(EllipseArcToBezier(0, 1, nan, 10, 0, 0, 0).empty());
    EXPECT_TRUE(EllipseArcToBezier(0, 1, 10, -inf, 0, 0, 0).empty());
    EXPECT_TRUE(EllipseArcToBezier(0, 1, 10, 10, nan, 0, 0).empty());
    EXPECT_TRUE(EllipseArcToBezier(0, 1, 10, 10, 0, inf, 0).empty());
    EXPECT_TRUE(EllipseArcToBezier(0, 1, 10, 10, 0, 0, nan).empty());
    // Huge angles still come out as at most one full turn.
    for (const auto& [start, end] : {std::pair{1e300, -1e300}, {-1e18, 3e17}, {1e15 + 0.5, 0.25}, {1e300, 1e300}}) {
        SCOPED_TRACE(start);
        const T2DPointArray arc = EllipseArcToBezier(start, end, 10, 7, 0, 0, 0);
        EXPECT_LE(arc.size(), 13u);
        for (std::size_t k = 0; k < arc.size(); k += 3) EXPECT_NEAR(EllipseValue(ToDouble(arc[k]), 10, 7, 0, 0, 0), 1, 1e-9);
    }
    EXPECT_EQ(EllipseArcToBezier(1e300, 1e300, 10, 10, 0, 0, 0).size(), 13u);
    // Zero radii collapse onto the centre without failing.
    for (const T2DPoint& q : EllipseArcToBezier(0, Pi, 0, 0, 0, 4, 5)) EXPECT_EQ(q, (T2DPoint{4, 5}));
}

TEST(HitEllipseArcTest, OpenPieAndChord) {
    const TDoublePoint c = DoublePoint(20, 30);
    const double r = 10;
    const TDoublePoint onArc = DoublePoint(20 + r * std::cos(Pi / 4), 30 + r * std::sin(Pi / 4));
    const TDoublePoint chordMid = DoublePoint(25, 35);
    const TDoublePoint onRadius = DoublePoint(26, 30);
    const TDoublePoint offArc = DoublePoint(20 - r * std::cos(Pi / 4), 30 - r * std::sin(Pi / 4));
    const struct {
        TArcStyle style;
        const char* what;
        bool arc, centre, chord, radius;
    } cases[] = {
        {TArcStyle::asOpen, "open", true, false, false, false},
        {TArcStyle::asPie, "pie", true, true, false, true},
        {TArcStyle::asChord, "chord", true, false, true, false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(HitEllipseArc(c, 0, Pi / 2, row.style, r, r, onArc), row.arc);
        EXPECT_EQ(HitEllipseArc(c, 0, Pi / 2, row.style, r, r, c), row.centre);
        EXPECT_EQ(HitEllipseArc(c, 0, Pi / 2, row.style, r, r, chordMid), row.chord);
        EXPECT_EQ(HitEllipseArc(c, 0, Pi / 2, row.style, r, r, onRadius), row.radius);
        EXPECT_FALSE(HitEllipseArc(c, 0, Pi / 2, row.style, r, r, offArc));
        // Equal angles: the whole circle.
        EXPECT_TRUE(HitEllipseArc(c, 1, 1, row.style, r, r, offArc));
        EXPECT_FALSE(HitEllipseArc(c, 1, 1, row.style, r, r, c));
    }
    // The complementary arc (end below start) runs the long way round.
    EXPECT_TRUE(HitEllipseArc(c, Pi / 2, 0, TArcStyle::asOpen, r, r, offArc));
    EXPECT_FALSE(HitEllipseArc(c, Pi / 2, 0, TArcStyle::asOpen, r, r, onArc));
}

TEST(HitEllipseArcTest, EllipseUsesBothRadii) {
    const TDoublePoint c = DoublePoint(0, 0);
    // Arc from the polar angle 0 to 90 degrees ends on the minor axis.
    EXPECT_TRUE(HitEllipseArc(c, 0, Pi / 2, TArcStyle::asOpen, 10, 4, DoublePoint(0, 4)));
    EXPECT_TRUE(HitEllipseArc(c, 0, Pi / 2, TArcStyle::asOpen, 10, 4, DoublePoint(10, 0)));
    EXPECT_FALSE(HitEllipseArc(c, 0, Pi / 2, TArcStyle::asOpen, 10, 4, DoublePoint(0, 10)));
    // Equal angles test the whole ellipse, not a circle of one radius.
    EXPECT_TRUE(HitEllipseArc(c, 2, 2, TArcStyle::asOpen, 10, 4, DoublePoint(0, -4)));
    EXPECT_FALSE(HitEllipseArc(c, 2, 2, TArcStyle::asOpen, 10, 4, DoublePoint(0, -10)));
    EXPECT_FALSE(HitEllipseArc(c, 0, std::numeric_limits<double>::quiet_NaN(), TArcStyle::asPie, 10, 4, c));
}

TEST(ArcBoundsTest, StylesAndRotation) {
    const TDoublePoint c = DoublePoint(0, 0);
    const double s = 10 * std::sin(Deg(30)), l = 10 * std::cos(Deg(30));
    const struct {
        const char* what;
        double start, end, rx, ry, rotation;
        TArcStyle style;
        TDoubleRect expected;
        double tolerance;
    } cases[] = {
        {"open 30 to 60 degrees", Deg(30), Deg(60), 10, 10, 0, TArcStyle::asOpen, {s, s, l, l}, 1e-9},
        {"chord 30 to 60 degrees", Deg(30), Deg(60), 10, 10, 0, TArcStyle::asChord, {s, s, l, l}, 1e-9},
        {"pie 30 to 60 degrees", Deg(30), Deg(60), 10, 10, 0, TArcStyle::asPie, {0, 0, l, l}, 1e-9},
        {"open across 90 degrees", Deg(60), Deg(120), 10, 10, 0, TArcStyle::asOpen, {-s, l, s, 10}, 1e-9},
        {"whole ellipse", 0, 2 * Pi, 10, 4, 0, TArcStyle::asOpen, {-10, -4, 10, 4}, 1e-9},
        {"whole ellipse turned", 0, 2 * Pi, 10, 4, Pi / 2, TArcStyle::asOpen, {-4, -10, 4, 10}, 1e-9},
        {"vanishing sweep pie", 0, 1e-13, 10, 10, 0, TArcStyle::asPie, {0, 0, 10, 0}, 1e-9},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        const TDoubleRect b = ArcBounds(c, row.start, row.end, row.style, row.rx, row.ry, row.rotation);
        EXPECT_NEAR(b.Left, row.expected.Left, row.tolerance);
        EXPECT_NEAR(b.Top, row.expected.Top, row.tolerance);
        EXPECT_NEAR(b.Right, row.expected.Right, row.tolerance);
        EXPECT_NEAR(b.Bottom, row.expected.Bottom, row.tolerance);
    }
}

} // namespace
