// Resizing and offsetting four-cornered figures in their own frame, also when
// they are turned.
#include "model/RectangleFrame.h"
#include "model/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kDeg = std::numbers::pi / 180;

void ExpectNear(const TDoublePoint& actual, const TDoublePoint& expected, double eps = 1e-9) {
    EXPECT_NEAR(actual.X, expected.X, eps);
    EXPECT_NEAR(actual.Y, expected.Y, eps);
}

double Length(const TDoublePoint& a, const TDoublePoint& b) {
    return std::hypot(b.X - a.X, b.Y - a.Y);
}

// Corners of the rectangle (x1, y1)–(x2, y2) turned about P4 by angle.
TRectangleCorners Turned(double x1, double y1, double x2, double y2, double angle) {
    const TDoublePoint p4 = DoublePoint(x1, y2);
    return {RotatePoint(p4, DoublePoint(x1, y1), angle), RotatePoint(p4, DoublePoint(x2, y1), angle),
            RotatePoint(p4, DoublePoint(x2, y2), angle), p4};
}

// The corners make a rectangle: opposite sides equal, neighbouring sides square.
void ExpectRectangle(const TRectangleCorners& c) {
    EXPECT_NEAR(Length(c[0], c[1]), Length(c[3], c[2]), 1e-9);
    EXPECT_NEAR(Length(c[1], c[2]), Length(c[0], c[3]), 1e-9);
    const double dot = (c[1].X - c[0].X) * (c[3].X - c[0].X) + (c[1].Y - c[0].Y) * (c[3].Y - c[0].Y);
    EXPECT_NEAR(dot, 0, 1e-9);
}

const double kAngles[] = {0.0, 30 * kDeg, -120 * kDeg};

TEST(RectangleFrame, TheFrameRunsAlongSideP4P3) {
    EXPECT_EQ(RectangleFrameAngle(Turned(0, 0, 10, 20, 0).data()), 0);
    EXPECT_NEAR(RectangleFrameAngle(Turned(0, 0, 10, 20, 30 * kDeg).data()), 30 * kDeg, 1e-12);
    // A vertical side P4→P3 gives π/2; a side without length gives 0.
    const TDoublePoint vertical[4] = {DoublePoint(5, 0), DoublePoint(5, 10), DoublePoint(0, 10),
                                      DoublePoint(0, 0)};
    EXPECT_NEAR(RectangleFrameAngle(vertical), std::numbers::pi / 2, 1e-12);
    const TDoublePoint flat[4] = {DoublePoint(0, 5), DoublePoint(0, 5), DoublePoint(0, 0), DoublePoint(0, 0)};
    EXPECT_EQ(RectangleFrameAngle(flat), 0);
}

TEST(RectangleFrame, CornerDragsKeepTheOppositeCornerAndTheShape) {
    for (double angle : kAngles) {
        for (int handle : {1, 3, 5, 7}) {
            SCOPED_TRACE(testing::Message() << "angle " << angle / kDeg << " handle " << handle);
            const TRectangleCorners c = Turned(0, 0, 10, 20, angle);
            const int corner = (handle - 1) / 2;
            const int opposite = (corner + 2) % 4;
            // A point off the rectangle's diagonal, in its own frame.
            const TDoublePoint dragged = RotatePoint(c[3], DoublePoint(13, 27), angle);
            const TRectangleCorners moved = DragRectangleCorners(c.data(), handle, dragged, false);
            EXPECT_EQ(moved[opposite], c[opposite]);
            ExpectNear(moved[corner], dragged);
            ExpectRectangle(moved);
            // Still turned by the same angle.
            const TDoublePoint side = DoublePoint(moved[1].X - moved[0].X, moved[1].Y - moved[0].Y);
            EXPECT_NEAR(std::sin(std::atan2(side.Y, side.X) - angle), 0, 1e-9);
        }
    }
}

TEST(RectangleFrame, DiagonalCornerDragsKeepTheRatio) {
    struct TCase {
        const char* Name;
        TDoublePoint Dragged; // P3 of the unturned 10 × 20 rectangle (0, 0)–(10, 20) dragged here
        TDoublePoint Expected;
    };
    // The fixed corner is P1 = (0, 0); the old size 10 × 20.
    const TCase cases[] = {
        {"wider decides", DoublePoint(15, 22), DoublePoint(15, 30)},         // +50 % against +10 %
        {"taller decides", DoublePoint(11, 30), DoublePoint(15, 30)},        // +10 % against +50 %
        {"shrinking", DoublePoint(5, 19), DoublePoint(5, 10)},               // −50 % against −5 %
        {"past the fixed corner", DoublePoint(-5, 20), DoublePoint(-5, 10)}, // −150 % decides, only X flips
    };
    for (double angle : kAngles) {
        for (const TCase& tc : cases) {
            SCOPED_TRACE(testing::Message() << tc.Name << " at " << angle / kDeg << "°");
            const TRectangleCorners c = Turned(0, 0, 10, 20, angle);
            const TDoublePoint p4 = c[3];
            const TDoublePoint dragged = RotatePoint(p4, tc.Dragged, angle);
            const TRectangleCorners moved = DragRectangleCorners(c.data(), 5, dragged, true);
            ExpectNear(moved[2], RotatePoint(p4, tc.Expected, angle));
            EXPECT_EQ(moved[0], c[0]);
            ExpectRectangle(moved);
            EXPECT_NEAR(Length(moved[0], moved[1]) / Length(moved[1], moved[2]), 0.5, 1e-9);
        }
    }
}

TEST(RectangleFrame, DiagonalDragOfAFlatRectangleFollowsTheMouse) {
    const TDoublePoint c[4] = {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 0), DoublePoint(0, 0)};
    const TRectangleCorners moved = DragRectangleCorners(c, 5, DoublePoint(12, 4), true);
    EXPECT_EQ(moved[2], DoublePoint(12, 4));
    EXPECT_EQ(moved[0], c[0]);
}

TEST(RectangleFrame, SideDragsMoveOnlyThatSideAcrossItself) {
    for (double angle : kAngles) {
        for (int handle : {2, 4, 6, 8}) {
            SCOPED_TRACE(testing::Message() << "angle " << angle / kDeg << " handle " << handle);
            const TRectangleCorners c = Turned(0, 0, 10, 20, angle);
            const int a = handle / 2 - 1;
            const int b = (handle / 2) % 4;
            // The side's midpoint pulled 3 outwards and 4 along the side.
            const TDoublePoint mid = DoublePoint((c[a].X + c[b].X) / 2, (c[a].Y + c[b].Y) / 2);
            const TDoublePoint centre = DoublePoint((c[0].X + c[2].X) / 2, (c[0].Y + c[2].Y) / 2);
            const double out = Length(centre, mid);
            const TDoublePoint across = DoublePoint((mid.X - centre.X) / out, (mid.Y - centre.Y) / out);
            const double along = Length(c[a], c[b]);
            const TDoublePoint dir = DoublePoint((c[b].X - c[a].X) / along, (c[b].Y - c[a].Y) / along);
            const TDoublePoint dragged =
                DoublePoint(mid.X + 3 * across.X + 4 * dir.X, mid.Y + 3 * across.Y + 4 * dir.Y);
            const TRectangleCorners moved = DragRectangleCorners(c.data(), handle, dragged, false);
            for (int i = 0; i < 4; ++i) {
                if (i == a || i == b)
                    ExpectNear(moved[i], DoublePoint(c[i].X + 3 * across.X, c[i].Y + 3 * across.Y));
                else
                    EXPECT_EQ(moved[i], c[i]);
            }
        }
    }
}

TEST(RectangleFrame, UnknownHandlesChangeNothing) {
    const TRectangleCorners c = Turned(0, 0, 10, 20, 30 * kDeg);
    for (int handle : {0, 9, -1})
        EXPECT_EQ(DragRectangleCorners(c.data(), handle, DoublePoint(50, 50), false), c);
}

TEST(RectangleFrame, OffsetMovesEverySideOutwardsAroundTheSameCentre) {
    struct TCase {
        double D;
        double Width, Height; // 0 when no figure is expected
    };
    const TCase cases[] = {{2, 14, 24}, {-2, 6, 16}, {-4.9, 0.2, 10.2}, {-5, 0, 0}, {-6, 0, 0}};
    for (double angle : kAngles) {
        for (const TCase& tc : cases) {
            SCOPED_TRACE(testing::Message() << "d " << tc.D << " at " << angle / kDeg << "°");
            const TRectangleCorners c = Turned(0, 0, 10, 20, angle);
            const auto moved = OffsetRectangleCorners(c.data(), tc.D);
            if (tc.Width == 0) {
                EXPECT_FALSE(moved.has_value());
                continue;
            }
            ASSERT_TRUE(moved.has_value());
            const TRectangleCorners& m = *moved;
            EXPECT_NEAR(Length(m[0], m[1]), tc.Width, 1e-9);
            EXPECT_NEAR(Length(m[1], m[2]), tc.Height, 1e-9);
            ExpectRectangle(m);
            ExpectNear(MidPoint(m[0], m[2]), MidPoint(c[0], c[2]));
            // Corners keep their places around the rectangle.
            EXPECT_NEAR(Length(m[3], c[3]), std::abs(tc.D) * std::sqrt(2.0), 1e-9);
        }
    }
}

TEST(RectangleFrame, OffsetWorksWhicheverWayTheCornersRun) {
    // P1 below P4 in the frame (the corners run the other way round).
    const TDoublePoint c[4] = {DoublePoint(0, 20), DoublePoint(10, 20), DoublePoint(10, 0),
                               DoublePoint(0, 0)};
    const auto moved = OffsetRectangleCorners(c, 2);
    ASSERT_TRUE(moved.has_value());
    ExpectNear((*moved)[0], DoublePoint(-2, 22));
    ExpectNear((*moved)[2], DoublePoint(12, -2));
}

TEST(RectangleFrame, SideAtFindsTheFirstSideWithinTheTolerance) {
    const TRectangleCorners c = Turned(0, 0, 10, 20, 0);
    TDoublePoint foot;
    EXPECT_EQ(RectangleSideAt(c.data(), DoublePoint(4, 0.03), 0.05, foot), 1);
    EXPECT_EQ(foot, DoublePoint(4, 0));
    EXPECT_EQ(RectangleSideAt(c.data(), DoublePoint(10, 7), 0.05, foot), 2);
    EXPECT_EQ(RectangleSideAt(c.data(), DoublePoint(3, 20), 0.05, foot), 3);
    EXPECT_EQ(RectangleSideAt(c.data(), DoublePoint(0, 5), 0.05, foot), 4);
    // A corner belongs to the first side that reaches it.
    EXPECT_EQ(RectangleSideAt(c.data(), DoublePoint(10, 0), 0.05, foot), 1);
    EXPECT_EQ(RectangleSideAt(c.data(), DoublePoint(5, 10), 0.05, foot), 0);
    EXPECT_EQ(RectangleSideAt(c.data(), DoublePoint(5, 0.06), 0.05, foot), 0);
}

} // namespace
