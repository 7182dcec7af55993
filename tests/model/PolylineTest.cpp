// Polylines: construction, the segment operations, drawing, hit testing,
// bounds, transformations and joins.
#include "support/FakeDocument.h"

#include "model/Bezier.h"
#include "model/Geometry.h"
#include "model/Polyline.h"

#include <gtest/gtest.h>
#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

void ExpectPoint(const TDoublePoint& actual, double x, double y, double tolerance = 1e-9) {
    EXPECT_NEAR(actual.X, x, tolerance);
    EXPECT_NEAR(actual.Y, y, tolerance);
}

std::unique_ptr<TPolyline> MakePolyline(TFakeDocument* doc, const TDoublePointArr& points, bool closed,
                                        TBrushStyle brush = TBrushStyle::bsClear) {
    return TPolyline::Create(points, doc, true, doc ? doc->LayerAt(0) : nullptr, closed, TRowStyle::rsNone, 0x00FF00,
                             static_cast<int>(brush), 0, static_cast<int>(TPenStyle::psSolid), 1);
}

// A polyline with one Bézier arch from (0, 0) to (40, 0), then a straight piece to (60, 0).
std::unique_ptr<TPolyline> MakeArch(TFakeDocument* doc) {
    auto polyline = MakePolyline(doc, {DoublePoint(0, 0), DoublePoint(40, 0), DoublePoint(60, 0)}, false);
    polyline->SetSegmentKind(1, SegmentKind::Bezier);
    polyline->SetSegmentControls(1, DoublePoint(10, 20), DoublePoint(30, 20));
    return polyline;
}

class PolylineFixture : public testing::Test {
protected:
    TFakeDocument Doc;
    TRecordingEngine& Engine = Doc.EngineInstance;
};

} // namespace

// --- construction ---

TEST_F(PolylineFixture, CreateGivesOneStraightSegmentPerPoint) {
    auto p = MakePolyline(&Doc, {DoublePoint(1, 2), DoublePoint(3, 4), DoublePoint(5, 6)}, true);
    EXPECT_EQ(p->PointCount(), 3);
    ASSERT_EQ(p->FSegments.size(), 3u);
    for (const TPlSegment& s : p->FSegments) EXPECT_TRUE(s.IsStraight());
    EXPECT_TRUE(p->Closed());
    EXPECT_FALSE(p->FLoading);
    EXPECT_EQ(p->FOrgPoints, p->FPoints);
    EXPECT_EQ(p->GetTypeName(), "Polyline");
    EXPECT_TRUE(p->IsPolyline());
    EXPECT_EQ(p->FClassName, "TPolyline");
}

TEST_F(PolylineFixture, BezierPolylineTakesNodesAndControlsFromTheList) {
    const TDoublePointArr list = {DoublePoint(0, 0),  DoublePoint(1, 5),  DoublePoint(4, 5), DoublePoint(5, 0),
                                  DoublePoint(6, -5), DoublePoint(9, -5), DoublePoint(0, 0)};
    auto closed = TPolyline::CreateBezierPolyline(list, 1, &Doc, true, Doc.LayerAt(0), true, TRowStyle::rsNone, 0,
                                                  1, 0, 0);
    // The last node lies on the first: dropped; the closing segment carries its controls.
    ASSERT_EQ(closed->PointCount(), 2);
    EXPECT_EQ(closed->GetSegmentKind(1), SegmentKind::Bezier);
    EXPECT_EQ(closed->GetSegmentKind(2), SegmentKind::Bezier);
    ExpectPoint(closed->Segment(2)->Ctrl1, 6, -5);
    ExpectPoint(closed->Segment(2)->Ctrl2, 9, -5);

    auto open = TPolyline::CreateBezierPolyline(list, 1, &Doc, true, Doc.LayerAt(0), false, TRowStyle::rsNone, 0, 1,
                                                0, 0);
    ASSERT_EQ(open->PointCount(), 3);
    EXPECT_EQ(open->GetSegmentKind(3), SegmentKind::Straight);
}

TEST_F(PolylineFixture, LineConvertsThroughTheBezierPolyline) {
    RegisterFigureClass(TLine::StaticClass());
    auto line = TLine::Create(2, &Doc, true, Doc.LayerAt(0), TRowStyle::rsRightSolid, 0xFF, 0, 0, 0, 8, 0);
    std::unique_ptr<TFigure> converted = line->ConvertToBezier();
    auto* p = dynamic_cast<TPolyline*>(converted.get());
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->PointCount(), 2);
    EXPECT_EQ(p->GetSegmentKind(1), SegmentKind::Bezier);
    ExpectPoint(p->Segment(1)->Ctrl1, 2, 0);
    ExpectPoint(p->Segment(1)->Ctrl2, 6, 0);
    EXPECT_EQ(p->FPenWidth, 2);
    EXPECT_EQ(p->FPenColor, 0xFF);
    EXPECT_EQ(p->RowStyle(), TRowStyle::rsRightSolid);
    EXPECT_FALSE(p->Closed());
    EXPECT_EQ(p->ConvertToBezier(), nullptr);
}

// --- segment operations ---

TEST_F(PolylineFixture, AllBezierOnATriangleMakesEveryNodeSmooth) {
    auto p = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(40, 0), DoublePoint(10, 30)}, true);
    p->AllBezier();
    for (int i = 1; i <= 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(p->GetSegmentKind(i), SegmentKind::Bezier);
        TDoublePoint in, out;
        ASSERT_TRUE(p->GetNodeControls(i, in, out));
        const TDoublePoint node = p->GetPoint(i);
        const double cross = (in.X - node.X) * (out.Y - node.Y) - (in.Y - node.Y) * (out.X - node.X);
        const double dot = (in.X - node.X) * (out.X - node.X) + (in.Y - node.Y) * (out.Y - node.Y);
        EXPECT_NEAR(cross, 0, 1e-9);
        EXPECT_LT(dot, 0);
        EXPECT_TRUE(p->IsSmooth(i));
    }
    p->AllStraight();
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(p->GetSegmentKind(i), SegmentKind::Straight);
}

TEST_F(PolylineFixture, BezierDefaultsContinueANeighbouringBezier) {
    auto p = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(20, 5), DoublePoint(30, 0)},
                          false);
    p->SetSegmentKind(1, SegmentKind::Bezier);
    p->SetSegmentControls(1, DoublePoint(3, 4), DoublePoint(7, 3));
    p->SetSegmentKind(2, SegmentKind::Bezier);
    // The outgoing control of node 2 is segment 1's Ctrl2 turned by π about node 2.
    ExpectPoint(p->Segment(2)->Ctrl1, 13, -3);
}

TEST_F(PolylineFixture, SetSmoothTurnsTheIncomingControlOppositeTheOutgoing) {
    auto p = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(20, 0)}, false);
    p->AllBezier();
    p->SetCorner(2);
    EXPECT_FALSE(p->IsSmooth(2));
    p->SetNodeControls(2, DoublePoint(8, 5), DoublePoint(12, 1));
    p->SetSmooth(2);
    EXPECT_TRUE(p->IsSmooth(2));
    TDoublePoint in, out;
    p->GetNodeControls(2, in, out);
    ExpectPoint(out, 12, 1);
    ExpectPoint(in, 8, -1);
}

TEST_F(PolylineFixture, ArcDefaults) {
    // Two nodes: the neighbours coincide, so the directions are the same:
    // a half circle on the chord midpoint instead of a division by tan(0).
    auto two = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0)}, false);
    two->SetSegmentKind(1, SegmentKind::Arc);
    ASSERT_EQ(two->GetSegmentKind(1), SegmentKind::Arc);
    ExpectPoint(two->Segment(1)->Ctrl1, 5, 0);
    ExpectPoint(two->Segment(1)->Ctrl2, 5, 0);
    EXPECT_FALSE(two->Segment(1)->Inverted);

    // Parallel neighbour directions.
    auto parallel =
        MakePolyline(&Doc, {DoublePoint(-10, 0), DoublePoint(0, 0), DoublePoint(10, 10), DoublePoint(20, 10)}, false);
    parallel->SetSegmentKind(2, SegmentKind::Arc);
    ExpectPoint(parallel->Segment(2)->Ctrl1, 5, 5);

    // A tangent quarter circle.
    auto turn =
        MakePolyline(&Doc, {DoublePoint(-10, 0), DoublePoint(0, 0), DoublePoint(10, 10), DoublePoint(10, 20)}, false);
    turn->SetSegmentKind(2, SegmentKind::Arc);
    ExpectPoint(turn->Segment(2)->Ctrl1, 0, 10);

    // With the origin at the bottom the arc is inverted.
    Doc.VertZero = TVertZero::vzBottom;
    auto bottom = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0)}, false);
    bottom->SetSegmentKind(1, SegmentKind::Arc);
    EXPECT_TRUE(bottom->Segment(1)->Inverted);
    bottom->InvertArcSegment(1);
    EXPECT_FALSE(bottom->Segment(1)->Inverted);
}

TEST_F(PolylineFixture, InsertNodeSplitsTheChordOfAClosedPolyline) {
    auto p = MakePolyline(&Doc,
                          {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(20, 10), DoublePoint(10, 20),
                           DoublePoint(0, 10)},
                          true);
    p->InsertNode(3);
    ASSERT_EQ(p->PointCount(), 6);
    ASSERT_EQ(p->FSegments.size(), 6u);
    ASSERT_EQ(p->FOrgPoints.size(), 6u);
    ExpectPoint(p->GetPoint(3), 20, 10);
    ExpectPoint(p->GetPoint(4), 15, 15);
    ExpectPoint(p->GetPoint(5), 10, 20);
    ExpectPoint(p->GetPoint(6), 0, 10);
}

TEST_F(PolylineFixture, InsertNodeKeepsTheKindWithFreshControls) {
    auto p = MakeArch(&Doc);
    p->InsertNode(1);
    ASSERT_EQ(p->PointCount(), 4);
    ExpectPoint(p->GetPoint(2), 20, 0);
    EXPECT_EQ(p->GetSegmentKind(1), SegmentKind::Bezier);
    EXPECT_EQ(p->GetSegmentKind(2), SegmentKind::Bezier);
    // The new node is smooth: its two controls lie on one line through it.
    TDoublePoint in, out;
    p->GetNodeControls(2, in, out);
    EXPECT_NEAR((in.X - 20) * (out.Y - 0) - (in.Y - 0) * (out.X - 20), 0, 1e-9);
}

TEST_F(PolylineFixture, DivideSegmentAndDeleteNode) {
    auto p = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(30, 0)}, false);
    p->DeleteNode(1); // two nodes: nothing happens
    EXPECT_EQ(p->PointCount(), 2);
    p->DivideSegment(1, 3);
    ASSERT_EQ(p->PointCount(), 4);
    ExpectPoint(p->GetPoint(2), 10, 0);
    ExpectPoint(p->GetPoint(3), 20, 0);
    p->DeleteNode(2);
    ASSERT_EQ(p->PointCount(), 3);
    ASSERT_EQ(p->FSegments.size(), 3u);
    ExpectPoint(p->GetPoint(2), 20, 0);
}

TEST_F(PolylineFixture, SegmentNumbersOutsideTheRangeAreIgnored) {
    auto p = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 10)}, false);
    p->SetSegmentKind(2, SegmentKind::Bezier);
    const std::vector<TPlSegment> before = p->FSegments;
    const TDoublePointArr points = p->FPoints;
    for (int i : {0, -1, 4, 1000}) {
        SCOPED_TRACE(i);
        p->SetSegmentKind(i, SegmentKind::Arc);
        p->SetSegmentControls(i, DoublePoint(1, 1), DoublePoint(2, 2));
        p->SetNodeControls(i, DoublePoint(1, 1), DoublePoint(2, 2));
        p->SetCorner(i);
        p->SetSmooth(i);
        p->InvertArcSegment(i);
        p->InsertNode(i);
        p->DeleteNode(i);
        p->DivideSegment(i, 3);
        p->ToggleSegmentDimension(i);
        EXPECT_EQ(p->GetSegmentKind(i), SegmentKind::Straight);
        EXPECT_FALSE(p->IsSmooth(i));
        TDoublePoint in, out;
        EXPECT_FALSE(p->GetNodeControls(i, in, out));
        EXPECT_EQ(p->Segment(i), nullptr);
    }
    EXPECT_EQ(p->FPoints, points);
    ASSERT_EQ(p->FSegments.size(), before.size());
    for (std::size_t k = 0; k < before.size(); ++k) {
        EXPECT_EQ(p->FSegments[k].Kind, before[k].Kind);
        EXPECT_EQ(p->FSegments[k].Ctrl1, before[k].Ctrl1);
        EXPECT_EQ(p->FSegments[k].Ctrl2, before[k].Ctrl2);
        EXPECT_EQ(p->FSegments[k].Smooth, before[k].Smooth);
        EXPECT_EQ(p->FSegments[k].Inverted, before[k].Inverted);
    }
    p->SetSegmentKind(1, 3); // not a kind
    EXPECT_EQ(p->GetSegmentKind(1), SegmentKind::Straight);
}

TEST_F(PolylineFixture, PointsAddedFromOutsideGetTheirSegments) {
    auto p = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0)}, true);
    // The base point access grows the point list without the loading hook.
    p->SetPoint(3, DoublePoint(10, 10));
    p->SetPointCount(3);
    TDoublePoint in, out;
    EXPECT_FALSE(p->GetNodeControls(1, in, out)); // not read out of step
    p->SetSegmentKind(3, SegmentKind::Bezier);
    ASSERT_EQ(p->FSegments.size(), 3u);
    EXPECT_EQ(p->GetSegmentKind(3), SegmentKind::Bezier);
    EXPECT_TRUE(p->GetNodeControls(1, in, out));
    p->SetPointCount(2);
    EXPECT_TRUE(p->HitTest(5, 0));
    EXPECT_EQ(p->FSegments.size(), 2u);
}

// --- path and drawing ---

TEST_F(PolylineFixture, BuildPathGivesThreePointsPerDrawnSegment) {
    auto p = MakeArch(&Doc);
    bool firstStraight = true, lastStraight = false;
    TDoublePoint a, b, c, d;
    TDoublePointArr points;
    p->BuildPath(points, firstStraight, lastStraight, a, b, c, d);
    const TDoublePointArr expected = {DoublePoint(0, 0),  DoublePoint(10, 20), DoublePoint(30, 20),
                                      DoublePoint(40, 0), DoublePoint(40, 0),  DoublePoint(60, 0),
                                      DoublePoint(60, 0)};
    EXPECT_EQ(points, expected);
    EXPECT_FALSE(firstStraight);
    EXPECT_TRUE(lastStraight);
    ExpectPoint(c, 40, 0);
    ExpectPoint(d, 60, 0);

    // Closed: the closing segment too; a zero-length segment is left out.
    auto closed = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 0)}, true);
    EXPECT_EQ(closed->BuildPath().size(), 7u);
}

TEST_F(PolylineFixture, DrawStraightPolylinesAsPolylineOrPolygon) {
    auto open = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 10)}, false);
    open->Draw(Engine, false);
    ASSERT_EQ(Engine.Calls.size(), 1u);
    EXPECT_EQ(Engine.Calls[0], "DrawPolylineRowEnds");

    auto closed = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 10)}, true,
                               TBrushStyle::bsSolid);
    Engine.Calls.clear();
    closed->Draw(Engine, false);
    ASSERT_EQ(Engine.Calls.size(), 1u);
    EXPECT_EQ(Engine.Calls[0], "DrawPolygon");
    EXPECT_NE(closed->FRegion, nullptr);
}

TEST_F(PolylineFixture, DrawCurvesAndPatternsAsABezierPath) {
    auto p = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 10)}, true,
                          TBrushStyle::bsSolid);
    p->SetSegmentKind(2, SegmentKind::Bezier);
    p->Draw(Engine, false);
    ASSERT_EQ(Engine.Calls.size(), 1u);
    EXPECT_EQ(Engine.Calls[0], "DrawBezierPath");
    EXPECT_EQ(Engine.LastBezierPath.Points, p->BuildPath());
    EXPECT_TRUE(Engine.LastBezierPath.Closed);
    EXPECT_FALSE(Engine.LastBezierPath.Open); // filled

    // A clear brush is not filled; a straight polyline with a pattern also takes the path.
    auto patterned = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 10)}, true);
    const TPattern pattern(QStringLiteral("Zig Zag"), 4, 0);
    patterned->SetPattern(&pattern);
    Engine.Calls.clear();
    patterned->Draw(Engine, false);
    ASSERT_EQ(Engine.Calls.size(), 1u);
    EXPECT_EQ(Engine.Calls[0], "DrawBezierPath");
    EXPECT_TRUE(Engine.LastBezierPath.Open);
    ASSERT_NE(Engine.LastBezierPath.Pattern, nullptr);
    EXPECT_NE(Engine.LastBezierPath.Pattern, &pattern); // the polyline's own copy
    EXPECT_EQ(Engine.LastBezierPath.Pattern->Name, "Zig Zag");
    patterned->SetPattern(nullptr);
    EXPECT_EQ(patterned->Pattern(), nullptr);
}

TEST_F(PolylineFixture, SelectedPolylineShowsItsPatternOutline) {
    auto p = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0)}, false);
    const TPattern pattern(QStringLiteral("Zig Zag"), 4, 0);
    p->DrawExtras(Engine);
    p->SetPattern(&pattern);
    p->DrawExtras(Engine);
    EXPECT_TRUE(Engine.Calls.empty());
    p->Select();
    p->DrawExtras(Engine);
    EXPECT_EQ(Engine.Calls, std::vector<QString>{QStringLiteral("DrawPatternAlong")});
}

// --- hit testing and bounds ---

TEST_F(PolylineFixture, ClosedPolylineIsHitInsideOnlyWithABrush) {
    const TDoublePointArr square = {DoublePoint(10, 10), DoublePoint(50, 10), DoublePoint(50, 50),
                                    DoublePoint(10, 50)};
    struct TCase {
        TBrushStyle Brush;
        bool InsideHit;
    };
    for (const TCase& c : {TCase{TBrushStyle::bsClear, false}, TCase{TBrushStyle::bsSolid, true}}) {
        SCOPED_TRACE(static_cast<int>(c.Brush));
        auto p = MakePolyline(&Doc, square, true, c.Brush);
        p->Draw(Engine, false); // the engine gives the region
        ASSERT_NE(p->FRegion, nullptr);
        EXPECT_EQ(p->HitTest(30, 30), c.InsideHit);
        EXPECT_TRUE(p->HitTest(30, 10.2));
        EXPECT_TRUE(p->HitTest(10, 30));
        EXPECT_FALSE(p->HitTest(70, 30));
    }
}

TEST_F(PolylineFixture, OpenPolylineIsNotHitOnItsClosingSegment) {
    auto p = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(20, 0), DoublePoint(20, 20)}, false);
    EXPECT_TRUE(p->HitTest(20, 10));
    EXPECT_EQ(p->FSegmentIndex, 2);
    EXPECT_FALSE(p->HitTest(10, 10));
    p->SetClosed(true);
    EXPECT_TRUE(p->HitTest(10, 10));
    EXPECT_EQ(p->FSegmentIndex, 3);
}

TEST_F(PolylineFixture, BezierSegmentsAreHitWithinAWorldToleranceOf03mm) {
    auto p = MakeArch(&Doc);
    // The top of the arch is (20, 15); the curve never rises above it.
    EXPECT_TRUE(p->HitTest(20, 15.29));
    EXPECT_EQ(p->FSegmentIndex, 1);
    EXPECT_FALSE(p->HitTest(20, 15.31));
    // A point of the curve, off by 0.29 in x.
    const TDoublePoint q = BezierPoint(DoublePoint(0, 0), DoublePoint(10, 20), DoublePoint(30, 20),
                                       DoublePoint(40, 0), 0.37);
    EXPECT_TRUE(p->HitTest(q.X + 0.29, q.Y));
}

TEST_F(PolylineFixture, ArcSegmentsAreHitOnlyOnTheArc) {
    auto p = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0)}, false);
    p->SetSegmentKind(1, SegmentKind::Arc);
    EXPECT_TRUE(p->HitTest(5, -5));
    EXPECT_FALSE(p->HitTest(5, 5));
    p->InvertArcSegment(1);
    EXPECT_TRUE(p->HitTest(5, 5));
    EXPECT_FALSE(p->HitTest(5, -5));
}

TEST_F(PolylineFixture, BoundsIncludeTheCurves) {
    auto p = MakeArch(&Doc);
    double maxX, maxY, minX, minY;
    p->GetBounds(maxX, maxY, minX, minY);
    EXPECT_DOUBLE_EQ(minX, 0);
    EXPECT_DOUBLE_EQ(maxX, 60);
    EXPECT_DOUBLE_EQ(minY, 0);
    EXPECT_NEAR(maxY, 15, 1e-9);

    auto arc = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0)}, false);
    arc->SetSegmentKind(1, SegmentKind::Arc);
    arc->GetBounds(maxX, maxY, minX, minY);
    EXPECT_NEAR(minY, -5, 1e-9);
    EXPECT_NEAR(maxY, 0, 1e-9);
}

// --- transformations ---

TEST_F(PolylineFixture, TransformationsCarryTheControlPoints) {
    auto p = MakeArch(&Doc);
    p->Move(1, 2);
    ExpectPoint(p->GetPoint(1), 1, 2);
    ExpectPoint(p->Segment(1)->Ctrl1, 11, 22);
    ExpectPoint(p->Segment(1)->Ctrl2, 31, 22);

    p->Rotate(DoublePoint(1, 2), Pi / 2);
    ExpectPoint(p->GetPoint(2), 1, 42);
    ExpectPoint(p->Segment(1)->Ctrl1, -19, 12);

    p->Scale(DoublePoint(1, 2), 2, 1);
    ExpectPoint(p->Segment(1)->Ctrl1, -39, 12);

    EXPECT_FALSE(p->Segment(2)->Inverted);
    p->Mirror(DoublePoint(0, 0), DoublePoint(0, 1));
    ExpectPoint(p->Segment(1)->Ctrl1, 39, 12);
    for (const TPlSegment& s : p->FSegments) EXPECT_TRUE(s.Inverted);
}

TEST_F(PolylineFixture, ZeroOriginFlipsControlsAndArcDirections) {
    auto p = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(20, 0)}, false);
    p->SetSegmentKind(1, SegmentKind::Arc);
    p->SetSegmentKind(2, SegmentKind::Bezier);
    p->SetSegmentControls(2, DoublePoint(12, 3), DoublePoint(18, 4));
    // Only the vertical origin changes: one flip.
    p->ApplyZeroOrigin(TVertZero::vzBottom, THorzZero::vzLeft);
    ExpectPoint(p->Segment(2)->Ctrl1, 12, 210 - 3);
    ExpectPoint(p->Segment(1)->Ctrl1, 5, 210);
    EXPECT_TRUE(p->Segment(1)->Inverted);
    EXPECT_FALSE(p->Segment(2)->Inverted);
    // The arc still bulges to the same side of its (flipped) chord as drawn before: y grows away from it.
    EXPECT_TRUE(p->HitTest(5, 215));
    // Both axes flip (the recorded origin stays): the two toggles cancel.
    p->ApplyZeroOrigin(TVertZero::vzBottom, THorzZero::vzRight);
    EXPECT_TRUE(p->Segment(1)->Inverted);
    ExpectPoint(p->Segment(1)->Ctrl1, 297 - 5, 0);
}

// --- joins ---

TEST_F(PolylineFixture, JoinedAtBothEndsMovesOnlyInnerNodesAndControls) {
    auto a = MakeTestFigure<TTestQuad>(&Doc);
    auto b = MakeTestFigure<TTestQuad>(&Doc);
    auto p = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(20, 0)}, false);
    p->AllBezier();
    const TPlSegment before = *p->Segment(1);
    p->SetJoin1(a.get());
    p->SetJoin2(b.get());
    p->Move(5, 5);
    ExpectPoint(p->GetPoint(1), 0, 0);
    ExpectPoint(p->GetPoint(2), 15, 5);
    ExpectPoint(p->GetPoint(3), 20, 0);
    ExpectPoint(p->Segment(1)->Ctrl1, before.Ctrl1.X + 5, before.Ctrl1.Y + 5);

    // Joined at one end: everything moves.
    p->SetJoin2(nullptr);
    p->Move(1, 0);
    ExpectPoint(p->GetPoint(1), 1, 0);
    ExpectPoint(p->GetPoint(3), 21, 0);
    // The bound end follows its target.
    a->Move(0, 3);
    ExpectPoint(p->GetPoint(1), 1, 3);
}

TEST_F(PolylineFixture, UnboundAlsoLeavesTheTargetsLists) {
    auto a = MakeTestFigure<TTestQuad>(&Doc);
    auto b = MakeTestFigure<TTestQuad>(&Doc);
    auto p = MakePolyline(&Doc, {DoublePoint(0, 0), DoublePoint(10, 0)}, false);
    p->SetJoin1(a.get());
    p->SetJoin2(b.get());
    ASSERT_EQ(a->FJoinedLines.size(), 1u);
    ASSERT_EQ(b->FJoinedLines.size(), 1u);
    p->Unbound();
    EXPECT_EQ(p->FJoin1, nullptr);
    EXPECT_EQ(p->FJoin2, nullptr);
    EXPECT_TRUE(a->FJoinedLines.empty());
    EXPECT_TRUE(b->FJoinedLines.empty());
    // No target calls the freed polyline afterwards.
    p.reset();
    a->Move(1, 1);
    b->Move(1, 1);
}

TEST_F(PolylineFixture, CloneIsADirectCopyWithItsOwnPattern) {
    auto p = MakeArch(&Doc);
    p->SetSegmentKind(2, SegmentKind::Arc);
    p->InvertArcSegment(2);
    const TPattern pattern(QStringLiteral("Blume"), 3, 0);
    p->SetPattern(&pattern);
    p->FArrowWidth = 2.5;
    p->Rotate(DoublePoint(0, 0), 0.25);
    std::unique_ptr<TFigure> copy = p->Clone();
    auto* c = dynamic_cast<TPolyline*>(copy.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->FPoints, p->FPoints);
    EXPECT_EQ(c->FOrgPoints, p->FOrgPoints);
    EXPECT_EQ(c->FRotAngle, p->FRotAngle);
    EXPECT_EQ(c->FArrowWidth, 2.5);
    ASSERT_EQ(c->FSegments.size(), p->FSegments.size());
    for (std::size_t k = 0; k < c->FSegments.size(); ++k) {
        EXPECT_EQ(c->FSegments[k].Kind, p->FSegments[k].Kind);
        EXPECT_EQ(c->FSegments[k].Ctrl1, p->FSegments[k].Ctrl1);
        EXPECT_EQ(c->FSegments[k].Inverted, p->FSegments[k].Inverted);
    }
    ASSERT_NE(c->Pattern(), nullptr);
    EXPECT_NE(c->Pattern(), p->Pattern());
    EXPECT_EQ(*c->Pattern(), *p->Pattern());
}
