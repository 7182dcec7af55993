// Curve geometry of polyline segments: the tangent rule, arc defaults,
// Bézier subdivision, nearest points and crossings, arc crossings, offsets.
#include "model/Bezier.h"
#include "model/Geometry.h"
#include "model/PolylineGeometry.h"

#include <gtest/gtest.h>
#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

void ExpectPoint(const TDoublePoint& actual, double x, double y, double tolerance = 1e-9) {
    EXPECT_NEAR(actual.X, x, tolerance);
    EXPECT_NEAR(actual.Y, y, tolerance);
}

double Cross(const TDoublePoint& o, const TDoublePoint& a, const TDoublePoint& b) {
    return (a.X - o.X) * (b.Y - o.Y) - (a.Y - o.Y) * (b.X - o.X);
}

// Solves f(t) = 0 on [lo, hi] by bisection, independently of the code under test.
template <typename F> double Bisect(F f, double lo, double hi) {
    for (int i = 0; i < 200; ++i) {
        const double mid = (lo + hi) / 2;
        if ((f(mid) < 0) == (f(lo) < 0)) lo = mid;
        else hi = mid;
    }
    return (lo + hi) / 2;
}

const TCubic kArch{DoublePoint(0, 0), DoublePoint(10, 20), DoublePoint(30, 20), DoublePoint(40, 0)};

} // namespace

TEST(PolylineTangentRule, ControlsLieOnThePerpendicularToTheBisectorAtAQuarter) {
    struct TCase {
        TDoublePoint A, B, C;
    };
    const TCase cases[] = {
        {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 10)},   // right angle
        {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(20, 0)},    // straight through
        {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(0, 3)},     // sharp turn
        {DoublePoint(5, 5), DoublePoint(-3, 2), DoublePoint(-10, 12)},  // the other way round
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "B=(" << c.B.X << "," << c.B.Y << ")");
        TDoublePoint in, out;
        TangentControls(c.A, c.B, c.C, in, out);
        // A quarter of each neighbour distance from the node.
        EXPECT_NEAR(Distance(c.B, in, true), Distance(c.B, c.A, true) / 4, 1e-9);
        EXPECT_NEAR(Distance(c.B, out, true), Distance(c.B, c.C, true) / 4, 1e-9);
        // Both on one line through B, on opposite sides.
        EXPECT_NEAR(Cross(c.B, in, out), 0, 1e-9);
        EXPECT_LT((in.X - c.B.X) * (out.X - c.B.X) + (in.Y - c.B.Y) * (out.Y - c.B.Y), 0);
        // That line is perpendicular to the bisector of A–B–C.
        const double ua = Distance(c.B, c.A, true), uc = Distance(c.B, c.C, true);
        const double bx = (c.A.X - c.B.X) / ua + (c.C.X - c.B.X) / uc;
        const double by = (c.A.Y - c.B.Y) / ua + (c.C.Y - c.B.Y) / uc;
        EXPECT_NEAR(bx * (out.X - in.X) + by * (out.Y - in.Y), 0, 1e-9);
        // `out` on C's side of the bisector, `in` on A's.
        EXPECT_GT((out.X - c.B.X) * (c.C.X - c.B.X) + (out.Y - c.B.Y) * (c.C.Y - c.B.Y), -1e-9);
        EXPECT_GT((in.X - c.B.X) * (c.A.X - c.B.X) + (in.Y - c.B.Y) * (c.A.Y - c.B.Y), -1e-9);
    }
}

TEST(PolylineArcDefault, CentreFollowsTheNeighbourDirections) {
    // Heading +x into B, leaving C heading +y: the quarter circle about (0, 10)
    // is tangent to both.
    ExpectPoint(DefaultArcCentre(DoublePoint(-10, 0), DoublePoint(0, 0), DoublePoint(10, 10), DoublePoint(10, 20)),
                0, 10);
    // Opposite directions (x = π): the chord midpoint.
    ExpectPoint(DefaultArcCentre(DoublePoint(-10, 0), DoublePoint(0, 0), DoublePoint(0, 10), DoublePoint(-10, 10)),
                0, 5);
}

TEST(PolylineArcDefault, SameDirectionsGiveAHalfCircleNotADivisionByZero) {
    struct TCase {
        const char* Name;
        TDoublePoint Prev, Start, End, Next;
    };
    const TCase cases[] = {
        {"parallel neighbours", DoublePoint(-10, 0), DoublePoint(0, 0), DoublePoint(10, 10), DoublePoint(20, 10)},
        // Two nodes: the neighbours wrap onto each other.
        {"two-node polyline", DoublePoint(10, 0), DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(0, 0)},
        {"all on one line", DoublePoint(-5, -5), DoublePoint(0, 0), DoublePoint(4, 4), DoublePoint(9, 9)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TDoublePoint centre = DefaultArcCentre(c.Prev, c.Start, c.End, c.Next);
        ASSERT_TRUE(std::isfinite(centre.X) && std::isfinite(centre.Y));
        ExpectPoint(centre, (c.Start.X + c.End.X) / 2, (c.Start.Y + c.End.Y) / 2);
    }
}

TEST(PolylineArcSegment, RunsCounterClockwiseUnlessInverted) {
    const TDoublePoint centre = DoublePoint(5, 0);
    const TDoublePoint start = DoublePoint(0, 0);
    const TDoublePoint end = DoublePoint(10, 0);
    // From angle π counter-clockwise to 0 (drawn as just below 2π): the half below the chord.
    const TDoublePointArr lower = ArcSegmentBezier(centre, start, end, false);
    ASSERT_EQ(lower.size(), 7u);
    ExpectPoint(lower.front(), 0, 0);
    ExpectPoint(lower.back(), 10, 0, 1e-6);
    ExpectPoint(lower[3], 5, -5, 1e-6);
    const TDoublePointArr upper = ArcSegmentBezier(centre, start, end, true);
    ASSERT_EQ(upper.size(), 7u);
    ExpectPoint(upper.front(), 0, 0, 1e-6);
    ExpectPoint(upper.back(), 10, 0);
    ExpectPoint(upper[3], 5, 5, 1e-6);
}

TEST(PolylineArcSegment, CrossingsOnlyOnTheArc) {
    const TDoublePoint centre = DoublePoint(5, 0);
    const TDoublePointArr lower =
        ArcSegmentCrossings(centre, DoublePoint(0, 0), DoublePoint(10, 0), false, DoublePoint(8, -10), DoublePoint(8, 10));
    ASSERT_EQ(lower.size(), 1u);
    ExpectPoint(lower[0], 8, -4);
    const TDoublePointArr upper =
        ArcSegmentCrossings(centre, DoublePoint(0, 0), DoublePoint(10, 0), true, DoublePoint(8, -10), DoublePoint(8, 10));
    ASSERT_EQ(upper.size(), 1u);
    ExpectPoint(upper[0], 8, 4);
    // The cutting line is a segment: one that stops short of the circle meets nothing.
    EXPECT_TRUE(ArcSegmentCrossings(centre, DoublePoint(0, 0), DoublePoint(10, 0), false, DoublePoint(8, -3),
                                    DoublePoint(8, 3))
                    .empty());
}

TEST(PolylineCubic, SubdivisionKeepsBothHalvesOnTheCurve) {
    for (double t : {0.1, 0.3, 0.5, 0.77}) {
        SCOPED_TRACE(t);
        TCubic left, right;
        SubdivideCubic(kArch, t, left, right);
        ExpectPoint(left.P3, CubicPoint(kArch, t).X, CubicPoint(kArch, t).Y);
        for (double s : {0.0, 0.25, 0.6, 1.0}) {
            const TDoublePoint a = CubicPoint(left, s);
            const TDoublePoint b = CubicPoint(kArch, t * s);
            ExpectPoint(a, b.X, b.Y);
            const TDoublePoint c = CubicPoint(right, s);
            const TDoublePoint d = CubicPoint(kArch, t + (1 - t) * s);
            ExpectPoint(c, d.X, d.Y);
        }
    }
}

TEST(PolylineCubic, NearestParameterFindsTheCurvePoint) {
    for (double t : {0.0, 0.13, 0.5, 0.9, 1.0}) {
        SCOPED_TRACE(t);
        double distance = 1;
        const double found = NearestCubicParameter(kArch, CubicPoint(kArch, t), distance);
        EXPECT_NEAR(found, t, 1e-6);
        EXPECT_LT(distance, 1e-6);
    }
}

TEST(PolylineCubic, CrossingsWithASegmentAreOnTheCurve) {
    // y(t) = 60 t (1 − t): the line y = 10 is crossed twice.
    const std::vector<double> twice = CubicSegmentCrossings(kArch, DoublePoint(-5, 10), DoublePoint(50, 10));
    ASSERT_EQ(twice.size(), 2u);
    EXPECT_NEAR(twice[0], (1 - std::sqrt(1.0 / 3)) / 2, 1e-9);
    EXPECT_NEAR(twice[1], (1 + std::sqrt(1.0 / 3)) / 2, 1e-9);
    // x(t) = 30t + 30t² − 20t³: the line x = 10 once.
    const std::vector<double> once = CubicSegmentCrossings(kArch, DoublePoint(10, -5), DoublePoint(10, 30));
    ASSERT_EQ(once.size(), 1u);
    const double expected = Bisect([](double t) { return 30 * t + 30 * t * t - 20 * t * t * t - 10; }, 0, 1);
    EXPECT_NEAR(once[0], expected, 1e-9);
    // Above the arch, and a cutting segment ending before the curve.
    EXPECT_TRUE(CubicSegmentCrossings(kArch, DoublePoint(-5, 16), DoublePoint(50, 16)).empty());
    EXPECT_TRUE(CubicSegmentCrossings(kArch, DoublePoint(10, 20), DoublePoint(10, 18)).empty());
}

TEST(PolylineCircle, ThroughThreePointsOrNone) {
    TDoublePoint centre;
    ASSERT_TRUE(CircleThrough(DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(5, 5), centre));
    ExpectPoint(centre, 5, 0);
    EXPECT_FALSE(CircleThrough(DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(5, 0), centre));
}

TEST(PolylineOffset, PiecesJoinAtTheirCrossingOrGetAConnector) {
    TPlSegment straight;
    // An L: the parallels meet inside the corner.
    std::vector<TOffsetPiece> pieces = OffsetSegment(straight, DoublePoint(0, 0), DoublePoint(10, 0), 1);
    const std::vector<TOffsetPiece> second = OffsetSegment(straight, DoublePoint(10, 0), DoublePoint(10, 10), 1);
    pieces.insert(pieces.end(), second.begin(), second.end());
    std::vector<TOffsetPiece> joined = JoinOffsetPieces(pieces, false);
    ASSERT_EQ(joined.size(), 2u);
    ExpectPoint(joined[0].Start, 0, 1);
    ExpectPoint(joined[0].End, 9, 1);
    ExpectPoint(joined[1].Start, 9, 1);
    ExpectPoint(joined[1].End, 9, 10);

    // Back along itself: the parallels never meet, a connector closes the gap.
    pieces = OffsetSegment(straight, DoublePoint(0, 0), DoublePoint(10, 0), 1);
    const std::vector<TOffsetPiece> back = OffsetSegment(straight, DoublePoint(10, 0), DoublePoint(0, 0), 1);
    pieces.insert(pieces.end(), back.begin(), back.end());
    joined = JoinOffsetPieces(pieces, false);
    ASSERT_EQ(joined.size(), 3u);
    ExpectPoint(joined[1].Start, 10, 1);
    ExpectPoint(joined[1].End, 10, -1);
}

TEST(PolylineOffset, ArcsBecomeConcentricAndBeziersFollowTheCurve) {
    TPlSegment arc;
    arc.Kind = SegmentKind::Arc;
    arc.Ctrl1 = arc.Ctrl2 = DoublePoint(5, 0);
    // Counter-clockwise: left is towards the centre.
    std::vector<TOffsetPiece> pieces = OffsetSegment(arc, DoublePoint(0, 0), DoublePoint(10, 0), 1);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].Kind, SegmentKind::Arc);
    ExpectPoint(pieces[0].Start, 1, 0);
    ExpectPoint(pieces[0].End, 9, 0);
    arc.Inverted = true;
    pieces = OffsetSegment(arc, DoublePoint(0, 0), DoublePoint(10, 0), 1);
    ASSERT_EQ(pieces.size(), 1u);
    ExpectPoint(pieces[0].Start, -1, 0);
    EXPECT_TRUE(pieces[0].Inverted);

    TPlSegment bezier;
    bezier.Kind = SegmentKind::Bezier;
    bezier.Ctrl1 = kArch.P1;
    bezier.Ctrl2 = kArch.P2;
    pieces = OffsetSegment(bezier, kArch.P0, kArch.P3, -2);
    ASSERT_GE(pieces.size(), 8u);
    // Every piece end lies 2 mm from the curve.
    for (const TOffsetPiece& piece : pieces) {
        double distance = 0;
        NearestCubicParameter(kArch, piece.End, distance);
        EXPECT_NEAR(distance, 2, 1e-6);
    }
}
