// Cutting polylines: crossings with a line, splitting at a point, the offset
// outline and the collected outline.
#include "support/FakeDocument.h"
#include "model/Pattern.h"

#include "model/Bezier.h"
#include "model/Geometry.h"
#include "model/Polyline.h"

#include <gtest/gtest.h>
#include <cmath>

namespace {

void ExpectPoint(const TDoublePoint& actual, const TDoublePoint& expected, double tolerance = 1e-9) {
    EXPECT_NEAR(actual.X, expected.X, tolerance);
    EXPECT_NEAR(actual.Y, expected.Y, tolerance);
}

const TDoublePoint A0 = DoublePoint(0, 0), A1 = DoublePoint(10, 20), A2 = DoublePoint(30, 20),
                   A3 = DoublePoint(40, 0);

TDoublePoint Arch(double t) { return BezierPoint(A0, A1, A2, A3, t); }

template <typename F> double Bisect(F f, double lo, double hi) {
    for (int i = 0; i < 200; ++i) {
        const double mid = (lo + hi) / 2;
        if ((f(mid) < 0) == (f(lo) < 0)) lo = mid;
        else hi = mid;
    }
    return (lo + hi) / 2;
}

// Takes ownership of the pieces a split appended.
std::vector<std::unique_ptr<TPolyline>> Own(std::vector<TFigure*>& list) {
    std::vector<std::unique_ptr<TPolyline>> pieces;
    for (TFigure* f : list) {
        auto* p = dynamic_cast<TPolyline*>(f);
        EXPECT_NE(p, nullptr);
        pieces.emplace_back(p);
    }
    list.clear();
    return pieces;
}

class PolylineCutting : public testing::Test {
protected:
    std::unique_ptr<TPolyline> Make(const TDoublePointArr& points, bool closed) {
        auto p = TPolyline::Create(points, &Doc, true, Doc.LayerAt(0), closed, TRowStyle::rsRightSolid, 0x445566,
                                   static_cast<int>(TBrushStyle::bsSolid), 0x112233, 2, 4);
        p->FArrowWidth = 2;
        return p;
    }
    // (0, 0) –Bézier arch– (40, 0) –straight– (60, 0).
    std::unique_ptr<TPolyline> MakeArch(bool closed = false) {
        auto p = Make({A0, A3, DoublePoint(60, 0)}, closed);
        p->SetSegmentKind(1, SegmentKind::Bezier);
        p->SetSegmentControls(1, A1, A2);
        return p;
    }
    void ExpectSameAttributes(const TPolyline& piece) {
        EXPECT_EQ(piece.FPenWidth, 4);
        EXPECT_EQ(piece.FPenColor, 0x112233);
        EXPECT_EQ(piece.FPenStyle, 2);
        EXPECT_EQ(piece.FBrushColor, 0x445566);
        EXPECT_EQ(piece.RowStyle(), TRowStyle::rsRightSolid);
        EXPECT_EQ(piece.FArrowWidth, 2);
        EXPECT_EQ(piece.FLayer, Doc.LayerAt(0));
        EXPECT_TRUE(piece.FPersistent);
        EXPECT_FALSE(piece.Closed());
        EXPECT_EQ(piece.FSegments.size(), static_cast<std::size_t>(piece.PointCount()));
    }
    TFakeDocument Doc;
};

} // namespace

TEST_F(PolylineCutting, IntersectLineFindsCrossingsOnEveryKindOfSegment) {
    auto p = MakeArch();
    TDoublePointArr points;
    // y = 10 crosses the arch twice (y(t) = 60 t (1 − t)); the straight piece lies below.
    ASSERT_TRUE(p->IntersectLine(DoublePoint(-5, 10), DoublePoint(70, 10), points));
    ASSERT_EQ(points.size(), 2u);
    ExpectPoint(points[0], Arch((1 - std::sqrt(1.0 / 3)) / 2));
    ExpectPoint(points[1], Arch((1 + std::sqrt(1.0 / 3)) / 2));

    // x = 10 crosses the arch once, where 30t + 30t² − 20t³ = 10.
    points.clear();
    ASSERT_TRUE(p->IntersectLine(DoublePoint(10, -5), DoublePoint(10, 30), points));
    ASSERT_EQ(points.size(), 1u);
    ExpectPoint(points[0], Arch(Bisect([](double t) { return 30 * t + 30 * t * t - 20 * t * t * t - 10; }, 0, 1)));

    // x = 50 crosses the straight piece.
    points.clear();
    ASSERT_TRUE(p->IntersectLine(DoublePoint(50, -5), DoublePoint(50, 5), points));
    ASSERT_EQ(points.size(), 1u);
    ExpectPoint(points[0], DoublePoint(50, 0));

    // A line through node 2 is reported once.
    points.clear();
    ASSERT_TRUE(p->IntersectLine(DoublePoint(40, -5), DoublePoint(40, 5), points));
    EXPECT_EQ(points.size(), 1u);

    points.clear();
    EXPECT_FALSE(p->IntersectLine(DoublePoint(-5, 30), DoublePoint(70, 30), points));
    EXPECT_TRUE(points.empty());
}

TEST_F(PolylineCutting, IntersectLineWithAnArcKeepsOnlyCrossingsOnTheArc) {
    auto p = Make({DoublePoint(0, 0), DoublePoint(10, 0)}, false);
    p->SetSegmentKind(1, SegmentKind::Arc); // the half below the chord, centre (5, 0)
    TDoublePointArr points;
    ASSERT_TRUE(p->IntersectLine(DoublePoint(8, -10), DoublePoint(8, 10), points));
    ASSERT_EQ(points.size(), 1u);
    ExpectPoint(points[0], DoublePoint(8, -4));
    p->InvertArcSegment(1);
    points.clear();
    ASSERT_TRUE(p->IntersectLine(DoublePoint(8, -10), DoublePoint(8, 10), points));
    ASSERT_EQ(points.size(), 1u);
    ExpectPoint(points[0], DoublePoint(8, 4));
}

TEST_F(PolylineCutting, SplittingAnOpenPolylineOnABezierSubdividesTheCurve) {
    auto p = MakeArch();
    const double t = 0.3;
    std::vector<TFigure*> list;
    ASSERT_TRUE(p->SplitAtPoint(Arch(t), list));
    const auto pieces = Own(list);
    ASSERT_EQ(pieces.size(), 2u);
    const TPolyline& first = *pieces[0];
    const TPolyline& second = *pieces[1];
    ExpectSameAttributes(first);
    ExpectSameAttributes(second);

    ASSERT_EQ(first.PointCount(), 2);
    ExpectPoint(first.GetPoint(1), A0);
    ExpectPoint(first.GetPoint(2), Arch(t));
    ASSERT_EQ(first.GetSegmentKind(1), SegmentKind::Bezier);
    ASSERT_EQ(second.PointCount(), 3);
    ExpectPoint(second.GetPoint(1), Arch(t));
    ExpectPoint(second.GetPoint(2), A3);
    ExpectPoint(second.GetPoint(3), DoublePoint(60, 0));
    ASSERT_EQ(second.GetSegmentKind(1), SegmentKind::Bezier);
    EXPECT_EQ(second.GetSegmentKind(2), SegmentKind::Straight);

    // Both halves run along the original curve.
    const TPlSegment& s1 = *first.Segment(1);
    const TPlSegment& s2 = *second.Segment(1);
    for (double s : {0.0, 0.2, 0.5, 0.8, 1.0}) {
        SCOPED_TRACE(s);
        ExpectPoint(BezierPoint(first.GetPoint(1), s1.Ctrl1, s1.Ctrl2, first.GetPoint(2), s), Arch(t * s));
        ExpectPoint(BezierPoint(second.GetPoint(1), s2.Ctrl1, s2.Ctrl2, second.GetPoint(2), s),
                    Arch(t + (1 - t) * s));
    }
}

TEST_F(PolylineCutting, SplittingAClosedPolylineOpensItAtThePoint) {
    auto p = Make({DoublePoint(0, 0), DoublePoint(20, 0), DoublePoint(20, 20), DoublePoint(0, 20)}, true);
    p->SetSegmentKind(3, SegmentKind::Arc);
    std::vector<TFigure*> list;
    ASSERT_TRUE(p->SplitAtPoint(DoublePoint(20, 5), list));
    const auto pieces = Own(list);
    ASSERT_EQ(pieces.size(), 1u);
    const TPolyline& open = *pieces[0];
    ExpectSameAttributes(open);
    const TDoublePointArr expected = {DoublePoint(20, 5), DoublePoint(20, 20), DoublePoint(0, 20), DoublePoint(0, 0),
                                      DoublePoint(20, 0), DoublePoint(20, 5)};
    ASSERT_EQ(open.PointCount(), 6);
    for (int i = 1; i <= 6; ++i) ExpectPoint(open.GetPoint(i), expected[static_cast<std::size_t>(i - 1)]);
    // The arc (old segment 3) is carried over with its centre.
    EXPECT_EQ(open.GetSegmentKind(2), SegmentKind::Arc);
    EXPECT_EQ(open.Segment(2)->Ctrl1, p->Segment(3)->Ctrl1);
    EXPECT_EQ(open.GetSegmentKind(1), SegmentKind::Straight);
    EXPECT_EQ(open.GetSegmentKind(5), SegmentKind::Straight);

    // Through a node: it starts and ends there.
    ASSERT_TRUE(p->SplitAtPoint(DoublePoint(20, 20), list));
    const auto atNode = Own(list);
    ASSERT_EQ(atNode.size(), 1u);
    ASSERT_EQ(atNode[0]->PointCount(), 5);
    ExpectPoint(atNode[0]->GetPoint(1), DoublePoint(20, 20));
    ExpectPoint(atNode[0]->GetPoint(5), DoublePoint(20, 20));
    EXPECT_EQ(atNode[0]->GetSegmentKind(1), SegmentKind::Arc);
}

TEST_F(PolylineCutting, SplittingAnArcKeepsItsCentreInBothHalves) {
    auto p = Make({DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 10)}, false);
    p->SetSegmentKind(1, SegmentKind::Arc);
    p->SetSegmentControls(1, DoublePoint(5, 0), DoublePoint(5, 0));
    p->InvertArcSegment(1);
    std::vector<TFigure*> list;
    ASSERT_TRUE(p->SplitAtPoint(DoublePoint(8, 4), list));
    const auto pieces = Own(list);
    ASSERT_EQ(pieces.size(), 2u);
    for (const auto& piece : pieces) {
        ASSERT_EQ(piece->GetSegmentKind(1), SegmentKind::Arc);
        EXPECT_EQ(piece->Segment(1)->Ctrl1, DoublePoint(5, 0));
        EXPECT_TRUE(piece->Segment(1)->Inverted);
    }
    // The first half runs over the top of the circle, through (5, 5).
    EXPECT_TRUE(pieces[0]->HitTest(5, 5));
    EXPECT_FALSE(pieces[1]->HitTest(5, 5));
    EXPECT_EQ(pieces[1]->PointCount(), 3);
}

TEST_F(PolylineCutting, PointsOffTheFigureOrAtAnOpenEndDoNotSplit) {
    auto p = MakeArch();
    std::vector<TFigure*> list;
    EXPECT_FALSE(p->SplitAtPoint(DoublePoint(20, 5), list));
    EXPECT_FALSE(p->SplitAtPoint(A0, list));
    EXPECT_FALSE(p->SplitAtPoint(DoublePoint(60, 0), list));
    EXPECT_TRUE(list.empty());
    // An inner node splits into two pieces sharing it.
    ASSERT_TRUE(p->SplitAtPoint(A3, list));
    const auto pieces = Own(list);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0]->PointCount(), 2);
    EXPECT_EQ(pieces[1]->PointCount(), 2);
    EXPECT_EQ(pieces[0]->GetSegmentKind(1), SegmentKind::Bezier);
}

TEST_F(PolylineCutting, CutByLineSplitsAtTheCrossingAndRemembersTheKnife) {
    auto p = MakeArch();
    std::vector<TFigure*> list;
    ASSERT_TRUE(p->CutByLine(DoublePoint(10, -5), DoublePoint(10, 30), list));
    EXPECT_EQ(p->FKnifeA, DoublePoint(10, -5));
    EXPECT_EQ(p->FKnifeB, DoublePoint(10, 30));
    const auto pieces = Own(list);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_NEAR(pieces[0]->LastPoint().X, 10, 1e-6);
}

TEST_F(PolylineCutting, OffsetFigureJoinsTheParallelPieces) {
    auto p = Make({DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 10)}, false);
    std::unique_ptr<TFigure> offset = p->CreateOffsetFigure(1);
    auto* o = dynamic_cast<TPolyline*>(offset.get());
    ASSERT_NE(o, nullptr);
    ExpectSameAttributes(*o);
    ASSERT_EQ(o->PointCount(), 3);
    ExpectPoint(o->GetPoint(1), DoublePoint(0, 1));
    ExpectPoint(o->GetPoint(2), DoublePoint(9, 1));
    ExpectPoint(o->GetPoint(3), DoublePoint(9, 10));

    // A closed square grows outwards for a negative distance (counter-clockwise, left is inside).
    auto square = Make({DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 10), DoublePoint(0, 10)}, true);
    std::unique_ptr<TFigure> grown = square->CreateOffsetFigure(-2);
    ASSERT_NE(grown, nullptr);
    ASSERT_EQ(grown->PointCount(), 4);
    ExpectPoint(grown->GetPoint(1), DoublePoint(-2, -2));
    ExpectPoint(grown->GetPoint(3), DoublePoint(12, 12));
    EXPECT_TRUE(static_cast<TPolyline*>(grown.get())->Closed());

    // An arc stays an arc about the same centre.
    auto arc = Make({DoublePoint(0, 0), DoublePoint(10, 0)}, false);
    arc->SetSegmentKind(1, SegmentKind::Arc);
    std::unique_ptr<TFigure> inner = arc->CreateOffsetFigure(1);
    auto* a = dynamic_cast<TPolyline*>(inner.get());
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->GetSegmentKind(1), SegmentKind::Arc);
    EXPECT_EQ(a->Segment(1)->Ctrl1, DoublePoint(5, 0));
    ExpectPoint(a->GetPoint(1), DoublePoint(1, 0));
    ExpectPoint(a->GetPoint(2), DoublePoint(9, 0));
}

TEST_F(PolylineCutting, CollectVectorsGivesTheNodesRelativeToTheOrigin) {
    auto p = Make({DoublePoint(10, 10), DoublePoint(20, 10), DoublePoint(20, 30)}, false);
    std::vector<TVectorObject> list;
    p->CollectVectors(list, DoublePoint(10, 5));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (TVectorObject{TVectorObject::Polyline,
                                      {DoublePoint(0, 5), DoublePoint(10, 5), DoublePoint(10, 25)}}));
    p->SetClosed(true);
    list.clear();
    p->CollectVectors(list, DoublePoint(0, 0));
    EXPECT_EQ(list[0].Kind, TVectorObject::Polygon);
    EXPECT_EQ(list[0].Points.size(), 3u);
}
