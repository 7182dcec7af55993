// Welding pieces into polylines, chaining lines, breaking and cutting the
// selection, and the Bézier conversions, with their undo steps.
#include "DocumentFixture.h"
#include "UndoTestSupport.h"

#include "document/DrawingFile.h"
#include "model/Arc.h"
#include "model/Bezier.h"
#include "model/Circle.h"
#include "model/ElpArc.h"
#include "model/Geometry.h"
#include "model/Group.h"
#include "model/Rectangle.h"

#include <array>
#include <chrono>
#include <cmath>
#include <numbers>

namespace {
constexpr double Pi = std::numbers::pi;

TFigure* AsFigure(std::intptr_t handle) {
    return reinterpret_cast<TFigure*>(handle);
}

void ExpectPoint(const TDoublePoint& actual, double x, double y, double tolerance = 1e-9) {
    EXPECT_NEAR(actual.X, x, tolerance);
    EXPECT_NEAR(actual.Y, y, tolerance);
}

std::vector<TDoublePoint> Nodes(const TFigure* figure) {
    std::vector<TDoublePoint> nodes;
    for (int i = 1; i <= figure->PointCount(); ++i) nodes.push_back(figure->GetPoint(i));
    return nodes;
}

// Dense samples of the curve a polyline draws.
std::vector<TDoublePoint> SamplePath(const TPolyline& polyline) {
    const TDoublePointArr path = polyline.BuildPath();
    std::vector<TDoublePoint> samples;
    constexpr int kSteps = 1000;
    for (std::size_t k = 0; k + 3 < path.size(); k += 3)
        for (int i = 0; i <= kSteps; ++i)
            samples.push_back(BezierStepPoint(path[k], path[k + 1], path[k + 2], path[k + 3], kSteps, i));
    return samples;
}

// Samples of the curve any figure with a Bézier form draws (a polyline is one).
std::vector<TDoublePoint> SampleFigure(TFigure* figure) {
    if (const auto* polyline = dynamic_cast<const TPolyline*>(figure)) return SamplePath(*polyline);
    std::unique_ptr<TFigure> form = figure->ConvertToBezier();
    const auto* polyline = dynamic_cast<const TPolyline*>(form.get());
    EXPECT_NE(polyline, nullptr);
    return polyline ? SamplePath(*polyline) : std::vector<TDoublePoint>{};
}

double DistanceToSamples(const TDoublePoint& p, const std::vector<TDoublePoint>& samples) {
    double best = 1e300;
    for (const TDoublePoint& q : samples) best = std::min(best, std::hypot(p.X - q.X, p.Y - q.Y));
    return best;
}

// Every sample of `a` lies on `b` and the other way round.
void ExpectSameCourse(const std::vector<TDoublePoint>& a, const std::vector<TDoublePoint>& b, double tolerance) {
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    double worstA = 0, worstB = 0;
    for (const TDoublePoint& p : a) worstA = std::max(worstA, DistanceToSamples(p, b));
    for (const TDoublePoint& p : b) worstB = std::max(worstB, DistanceToSamples(p, a));
    EXPECT_LT(worstA, tolerance);
    EXPECT_LT(worstB, tolerance);
}

std::vector<TFigure*> FiguresOf(const TVXDrawing& doc) {
    std::vector<TFigure*> figures;
    for (int i = 0; i < doc.FigureCount(); ++i) figures.push_back(doc.GetFigure(i));
    return figures;
}

class CuttingTest : public DocumentTest {
protected:
    TFigure* Circle(double cx, double cy, double r, bool select = true) {
        return AsFigure(Doc.DrawCircle(0, cx, cy, r, 1, 0, 0, 1, 0xFFFFFF, select));
    }
    TFigure* ArcFigure(double cx, double cy, double r, double start, double end, bool select = true) {
        return AsFigure(Doc.Arc(0, cx, cy, r, start, end, 1, 0, 0, 1, 0xFFFFFF, 0, select));
    }
    // An open polyline whose segments are set by the caller.
    TPolyline* Polyline(std::vector<TDoublePoint> nodes, bool select = true) {
        return static_cast<TPolyline*>(AddPolyline(0, std::move(nodes), select));
    }
};
} // namespace

// --- welding ---

TEST_F(CuttingTest, WeldOfThreeLinesGivesOneOpenPolyline) {
    Doc.SetDefaultPenColor(0x0000FF); // before anything is selected
    AddLine(0, 0, 0, 10, 0, 0, true);
    AddLine(0, 20, 0, 10, 0, 0, true);
    AddLine(0, 20, 0, 20, 10, 0, true);
    const std::intptr_t handle = Doc.WeldIntoPolyline();
    ASSERT_NE(handle, 0);
    ASSERT_EQ(Doc.FigureCount(), 1);
    auto* polyline = dynamic_cast<TPolyline*>(Doc.GetFigure(0));
    ASSERT_NE(polyline, nullptr);
    EXPECT_EQ(AsFigure(handle), polyline);
    EXPECT_FALSE(polyline->Closed());
    const std::vector<TDoublePoint> nodes = Nodes(polyline);
    ASSERT_EQ(nodes.size(), 4u);
    ExpectPoint(nodes[0], 0, 0);
    ExpectPoint(nodes[1], 10, 0);
    ExpectPoint(nodes[2], 20, 0);
    ExpectPoint(nodes[3], 20, 10);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(polyline->GetSegmentKind(i), SegmentKind::Straight);
    EXPECT_EQ(polyline->FPenColor, 0x0000FF);
    EXPECT_TRUE(polyline->FSelected);
    EXPECT_EQ(Doc.SelectedCount(), 1);
}

TEST_F(CuttingTest, WeldOfAClosedSquareGivesAClosedPolylineOfFourNodes) {
    AddLine(0, 0, 0, 10, 0, 0, true);
    AddLine(0, 10, 0, 10, 10, 0, true);
    AddLine(0, 0, 10, 10, 10, 0, true);
    AddLine(0, 0, 0, 0, 10, 0, true);
    ASSERT_NE(Doc.WeldIntoPolyline(), 0);
    ASSERT_EQ(Doc.FigureCount(), 1);
    auto* polyline = dynamic_cast<TPolyline*>(Doc.GetFigure(0));
    ASSERT_NE(polyline, nullptr);
    EXPECT_TRUE(polyline->Closed());
    const std::vector<TDoublePoint> nodes = Nodes(polyline);
    ASSERT_EQ(nodes.size(), 4u);
    ExpectPoint(nodes[0], 0, 0);
    ExpectPoint(nodes[1], 10, 0);
    ExpectPoint(nodes[2], 10, 10);
    ExpectPoint(nodes[3], 0, 10);
}

TEST_F(CuttingTest, WeldLeavesOtherSelectedFiguresInPlace) {
    TFigure* circle = Circle(50, 50, 5);
    AddLine(0, 0, 0, 10, 0, 0, true);
    AddLine(0, 20, 0, 10, 0, 0, true);
    TFigure* stray = AddLine(0, 100, 100, 110, 100, 0, true); // touches nothing
    const int circleOrder = circle->FSelectOrder;
    ASSERT_NE(Doc.WeldIntoPolyline(), 0);
    const std::vector<TFigure*> figures = FiguresOf(Doc);
    ASSERT_EQ(figures.size(), 3u);
    EXPECT_EQ(figures[0], circle);
    EXPECT_EQ(figures[1], stray);
    EXPECT_NE(dynamic_cast<TPolyline*>(figures[2]), nullptr);
    EXPECT_TRUE(circle->FSelected);
    EXPECT_EQ(circle->FSelectOrder, circleOrder);
    EXPECT_TRUE(stray->FSelected);
    EXPECT_EQ(Doc.SelectedCount(), 3);
}

TEST_F(CuttingTest, WeldFollowsArcsAndReversedCurvedPolylines) {
    TFigure* line = AddLine(0, 0, 0, 10, 0, 0, true);
    // From (10, 0) counter-clockwise through (15, 5) to (10, 10).
    TFigure* arc = ArcFigure(10, 5, 5, 1.5 * Pi, 0.5 * Pi);
    // Drawn towards the weld: its last node meets the arc's end.
    TPolyline* curve = Polyline({DoublePoint(-5, 15), DoublePoint(0, 10), DoublePoint(10, 10)});
    curve->SetSegmentKind(1, SegmentKind::Bezier);
    curve->SetSegmentControls(1, DoublePoint(-5, 5), DoublePoint(-2, 12));
    curve->SetSegmentKind(2, SegmentKind::Arc);
    curve->SetSegmentControls(2, DoublePoint(5, 10), DoublePoint(5, 10)); // the lower half circle
    std::vector<TDoublePoint> expected = SampleFigure(line);
    for (const auto& samples : {SampleFigure(arc), SampleFigure(curve)})
        expected.insert(expected.end(), samples.begin(), samples.end());

    ASSERT_NE(Doc.WeldIntoPolyline(), 0);
    ASSERT_EQ(Doc.FigureCount(), 1);
    auto* welded = dynamic_cast<TPolyline*>(Doc.GetFigure(0));
    ASSERT_NE(welded, nullptr);
    const std::vector<TDoublePoint> nodes = Nodes(welded);
    ASSERT_EQ(nodes.size(), 5u);
    ExpectPoint(nodes[0], 0, 0);
    ExpectPoint(nodes[1], 10, 0, 1e-3);
    ExpectPoint(nodes[2], 10, 10, 1e-3);
    ExpectPoint(nodes[3], 0, 10);
    ExpectPoint(nodes[4], -5, 15);
    EXPECT_EQ(welded->GetSegmentKind(2), SegmentKind::Arc);
    EXPECT_EQ(welded->GetSegmentKind(3), SegmentKind::Arc);
    EXPECT_EQ(welded->GetSegmentKind(4), SegmentKind::Bezier);
    ExpectPoint(welded->Segment(4)->Ctrl1, -2, 12);
    ExpectPoint(welded->Segment(4)->Ctrl2, -5, 5);
    ExpectSameCourse(SamplePath(*welded), expected, 0.05);
}

TEST_F(CuttingTest, WeldFollowsAnEllipticArc) {
    AddLine(0, -20, 0, 0, 0, 0, true);
    TFigure* elliptic =
        AsFigure(Doc.ElpArc(0, 10, 0, 10, 5, 0, Pi, 0, 1, 0, 0, 1, 0xFFFFFF, 0, true));
    std::vector<TDoublePoint> expected = SampleFigure(Doc.GetFigure(0));
    const std::vector<TDoublePoint> arcSamples = SampleFigure(elliptic);
    expected.insert(expected.end(), arcSamples.begin(), arcSamples.end());
    ASSERT_NE(Doc.WeldIntoPolyline(), 0);
    ASSERT_EQ(Doc.FigureCount(), 1);
    auto* welded = dynamic_cast<TPolyline*>(Doc.GetFigure(0));
    ASSERT_NE(welded, nullptr);
    ExpectPoint(welded->GetPoint(1), -20, 0);
    ExpectSameCourse(SamplePath(*welded), expected, 0.05);
}

TEST_F(CuttingTest, WeldStartsAtAChainEndWhateverWasSelectedFirst) {
    TFigure* stray = AddLine(0, 100, 100, 110, 100, 0, true); // selected first, touches nothing
    AddLine(0, 20, 0, 10, 0, 0, true);
    AddLine(0, 0, 0, 10, 0, 0, true);
    ASSERT_NE(Doc.WeldIntoPolyline(), 0);
    ASSERT_EQ(Doc.FigureCount(), 2);
    EXPECT_EQ(Doc.GetFigure(0), stray);
    const std::vector<TDoublePoint> nodes = Nodes(Doc.GetFigure(1));
    ASSERT_EQ(nodes.size(), 3u);
    // From the free end of the first selected line of the chain.
    ExpectPoint(nodes[0], 20, 0);
    ExpectPoint(nodes[1], 10, 0);
    ExpectPoint(nodes[2], 0, 0);
}

TEST_F(CuttingTest, WeldOfPiecesThatDoNotTouchChangesNothing) {
    AddLine(0, 0, 0, 10, 0, 0, true);
    AddLine(0, 20, 0, 30, 0, 0, true);
    Circle(5, 5, 2);
    const TDrawingSnapshot before = Snapshot(Doc);
    const int steps = Doc.UndoStepCount();
    EXPECT_EQ(Doc.WeldIntoPolyline(), 0);
    EXPECT_EQ(Snapshot(Doc), before);
    EXPECT_EQ(Doc.UndoStepCount(), steps);
}

TEST_F(CuttingTest, WeldStopsAtABranchInsteadOfGivingUp) {
    // A Y: the chain runs along two arms; the third arm stays.
    AddLine(0, 0, 0, 10, 0, 0, true);
    AddLine(0, 10, 0, 20, 0, 0, true);
    TFigure* branch = AddLine(0, 10, 0, 10, 10, 0, true);
    ASSERT_NE(Doc.WeldIntoPolyline(), 0);
    ASSERT_EQ(Doc.FigureCount(), 2);
    EXPECT_EQ(Doc.GetFigure(0), branch);
    auto* welded = dynamic_cast<TPolyline*>(Doc.GetFigure(1));
    ASSERT_NE(welded, nullptr);
    EXPECT_EQ(welded->NodeCount(), 3);
}

TEST_F(CuttingTest, WeldIsUndoneInOneCallAndRedoneInOne) {
    TFigure* circle = Circle(50, 50, 5);
    AddLine(0, 0, 0, 10, 0, 0, true);
    AddLine(0, 20, 0, 10, 0, 0, true);
    AddLine(0, 20, 0, 20, 10, 0, true);
    const TDrawingSnapshot before = Snapshot(Doc);
    const std::vector<std::uint8_t> fileBefore = DrawingFile::Encode(Doc).Bytes;
    const int steps = Doc.UndoStepCount();
    ASSERT_NE(Doc.WeldIntoPolyline(), 0);
    EXPECT_EQ(Doc.UndoStepCount(), steps + 2);
    const TDrawingSnapshot after = Snapshot(Doc);
    const std::vector<std::uint8_t> fileAfter = DrawingFile::Encode(Doc).Bytes;

    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), before) << SnapshotDiff(Snapshot(Doc), before);
    EXPECT_EQ(DrawingFile::Encode(Doc).Bytes, fileBefore);
    EXPECT_EQ(Doc.UndoPosition(), 2);
    EXPECT_TRUE(circle->FSelected);
    Doc.ReDo();
    EXPECT_EQ(Snapshot(Doc), after) << SnapshotDiff(Snapshot(Doc), after);
    EXPECT_EQ(DrawingFile::Encode(Doc).Bytes, fileAfter);
    EXPECT_EQ(Doc.UndoPosition(), 0);
    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), before);
}

TEST_F(CuttingTest, WeldSurvivesAHistoryOfOneStep) {
    Doc.SetUndoCount(1);
    AddLine(0, 0, 0, 10, 0, 0, true);
    AddLine(0, 10, 0, 10, 10, 0, true);
    const TDrawingSnapshot before = Snapshot(Doc);
    ASSERT_NE(Doc.WeldIntoPolyline(), 0);
    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), before);
}

// --- chaining lines ---

struct ChainCase {
    std::vector<std::array<double, 4>> Lines;
    std::vector<TDoublePoint> Expected;
};

TEST_F(CuttingTest, SelectedLinesBecomeOnePolylineInListOrder) {
    const std::vector<ChainCase> cases = {
        {{{0, 0, 10, 0}, {10, 0, 10, 5}}, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 5)}},
        {{{0, 0, 10, 0}, {10, 5, 20, 5}},
         {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 5), DoublePoint(20, 5)}},
        {{{5, 5, 0, 0}}, {DoublePoint(5, 5), DoublePoint(0, 0)}},
    };
    for (const ChainCase& c : cases) {
        TVXDrawing doc;
        TFigure* first = nullptr;
        for (const auto& l : c.Lines) {
            TFigure* line = AsFigure(doc.Line(0, l[0], l[1], l[2], l[3], 3, 2, 0x123456, 1, true));
            if (!first) first = line;
        }
        const TColor brush = doc.DefaultBrushColor();
        const int penStyle = first->FPenStyle;
        const std::uint8_t rowStyle = first->FRowStyle;
        const int steps = doc.UndoStepCount();
        const std::intptr_t handle = doc.MakeSelectedLinesPolyline();
        ASSERT_NE(handle, 0);
        ASSERT_EQ(doc.FigureCount(), 1);
        auto* polyline = dynamic_cast<TPolyline*>(doc.GetFigure(0));
        ASSERT_NE(polyline, nullptr);
        EXPECT_EQ(AsFigure(handle), polyline);
        EXPECT_FALSE(polyline->Closed());
        const std::vector<TDoublePoint> nodes = Nodes(polyline);
        ASSERT_EQ(nodes.size(), c.Expected.size());
        for (std::size_t k = 0; k < nodes.size(); ++k) ExpectPoint(nodes[k], c.Expected[k].X, c.Expected[k].Y);
        EXPECT_EQ(polyline->FPenColor, 0x123456);
        EXPECT_EQ(polyline->FPenWidth, 3);
        EXPECT_EQ(polyline->FPenStyle, penStyle);
        EXPECT_EQ(polyline->FRowStyle, rowStyle);
        EXPECT_EQ(polyline->FBrushColor, brush);
        EXPECT_TRUE(polyline->FSelected);
        EXPECT_EQ(doc.UndoStepCount(), steps); // nothing recorded
        // The lines' own insert steps may still be undone safely.
        doc.UnDo();
        EXPECT_EQ(doc.FigureCount(), 1);
    }
}

TEST_F(CuttingTest, ChainingWithoutASelectedLineDoesNothing) {
    Polyline({DoublePoint(0, 0), DoublePoint(10, 0)});
    Circle(5, 5, 1);
    const TDrawingSnapshot before = Snapshot(Doc);
    EXPECT_EQ(Doc.MakeSelectedLinesPolyline(), 0);
    EXPECT_EQ(Snapshot(Doc), before);
}

// --- knife ---

TEST_F(CuttingTest, KnifeCutsACurvedPolylineWherePiecesMeet) {
    TPolyline* curve = Polyline({DoublePoint(0, 0), DoublePoint(40, 0), DoublePoint(40, -10)});
    curve->SetSegmentKind(1, SegmentKind::Bezier);
    curve->SetSegmentControls(1, DoublePoint(10, 20), DoublePoint(30, 20));
    TFigure* untouched = AddLine(0, 100, 0, 110, 0, 0, true);
    const std::vector<TDoublePoint> original = SamplePath(*curve);
    const TDrawingSnapshot before = Snapshot(Doc);

    Doc.KnifeSelection(DoublePoint(20, -50), DoublePoint(20, 50));
    ASSERT_EQ(Doc.FigureCount(), 3);
    EXPECT_EQ(Doc.GetFigure(0), untouched);
    auto* a = dynamic_cast<TPolyline*>(Doc.GetFigure(1));
    auto* b = dynamic_cast<TPolyline*>(Doc.GetFigure(2));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(a->FSelected);
    EXPECT_TRUE(b->FSelected);
    // The arch is cut at its top, x = 20, y = 15.
    ExpectPoint(a->GetPoint(1), 0, 0);
    ExpectPoint(a->GetPoint(a->NodeCount()), 20, 15, 1e-6);
    ExpectPoint(b->GetPoint(1), 20, 15, 1e-6);
    ExpectPoint(b->GetPoint(b->NodeCount()), 40, -10);
    EXPECT_EQ(a->GetSegmentKind(1), SegmentKind::Bezier);
    std::vector<TDoublePoint> pieces = SamplePath(*a);
    const std::vector<TDoublePoint> second = SamplePath(*b);
    pieces.insert(pieces.end(), second.begin(), second.end());
    ExpectSameCourse(pieces, original, 0.05);

    const TDrawingSnapshot after = Snapshot(Doc);
    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), before) << SnapshotDiff(Snapshot(Doc), before);
    Doc.ReDo();
    EXPECT_EQ(Snapshot(Doc), after) << SnapshotDiff(Snapshot(Doc), after);
}

TEST_F(CuttingTest, KnifeCutsLinesCirclesAndRectanglesAndSkipsWhatItMisses) {
    AddLine(0, 0, 0, 20, 0, 0, true);                                  // 2 pieces
    Circle(10, 10, 5);                                                  // 2 arcs
    Doc.Rectangle(0, 0, 20, 20, 30, 1, 0, 0, 1, 0xFFFFFF, true);        // 2 outlines
    TFigure* missed = AddLine(0, 50, 0, 60, 0, 0, true);
    TFigure* unselected = AddLine(0, 0, 2, 20, 2, 0, false);
    const TDrawingSnapshot before = Snapshot(Doc);
    Doc.KnifeSelection(DoublePoint(10, -10), DoublePoint(10, 40));
    ASSERT_EQ(Doc.FigureCount(), 8);
    EXPECT_EQ(Doc.GetFigure(0), missed);
    EXPECT_EQ(Doc.GetFigure(1), unselected);
    int lines = 0, arcs = 0, polylines = 0;
    for (int i = 2; i < 8; ++i) {
        TFigure* piece = Doc.GetFigure(i);
        EXPECT_TRUE(piece->FSelected);
        if (dynamic_cast<TArc*>(piece)) ++arcs;
        else if (piece->IsPolyline()) ++polylines;
        else if (dynamic_cast<TLine*>(piece)) ++lines;
    }
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(arcs, 2);
    EXPECT_EQ(polylines, 2);
    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), before) << SnapshotDiff(Snapshot(Doc), before);
}

TEST_F(CuttingTest, KnifeThatCutsNothingRecordsNothing) {
    AddLine(0, 0, 0, 10, 0, 0, true);
    const TDrawingSnapshot before = Snapshot(Doc);
    const int steps = Doc.UndoStepCount();
    Doc.KnifeSelection(DoublePoint(50, -10), DoublePoint(50, 10));
    Doc.KnifeSelection(DoublePoint(5, 0), DoublePoint(5, 0));   // no length
    Doc.KnifeSelection(DoublePoint(10, -5), DoublePoint(10, 5)); // through the end point
    EXPECT_EQ(Snapshot(Doc), before);
    EXPECT_EQ(Doc.UndoStepCount(), steps);
}

// --- breaking ---

TEST_F(CuttingTest, InterBreakSplitsTwoCrossingLinesIntoFour) {
    AddLine(0, 0, 0, 10, 10, 0, true);
    AddLine(0, 0, 10, 10, 0, 0, true);
    const TDrawingSnapshot before = Snapshot(Doc);
    Doc.InterBreakSelection();
    ASSERT_EQ(Doc.FigureCount(), 4);
    for (TFigure* piece : FiguresOf(Doc)) {
        ASSERT_TRUE(dynamic_cast<TLine*>(piece) && !piece->IsPolyline());
        EXPECT_TRUE(piece->FSelected);
        const bool atCrossing = SamePoint(piece->GetPoint(1), DoublePoint(5, 5)) ||
                                SamePoint(piece->GetPoint(2), DoublePoint(5, 5));
        EXPECT_TRUE(atCrossing);
    }
    const TDrawingSnapshot after = Snapshot(Doc);
    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), before) << SnapshotDiff(Snapshot(Doc), before);
    Doc.ReDo();
    EXPECT_EQ(Snapshot(Doc), after) << SnapshotDiff(Snapshot(Doc), after);
}

struct BreakCase {
    const char* Name;
    std::vector<std::array<double, 4>> Lines;
    int Expected;
};

TEST_F(CuttingTest, InterBreakOfTouchingAndCoincidentLinesEnds) {
    const std::vector<BreakCase> cases = {
        {"end to end", {{0, 0, 10, 0}, {10, 0, 10, 10}}, 2},
        {"end on the middle", {{0, 0, 10, 0}, {5, 0, 5, 10}}, 3},
        {"end just past the middle", {{0, 0, 10, 0}, {5, -0.01, 5, 10}}, 3},
        {"end just short of the middle", {{0, 0, 10, 0}, {5, 0.01, 5, 10}}, 2},
        {"coincident", {{0, 0, 10, 0}, {0, 0, 10, 0}}, 2},
        {"coincident reversed", {{0, 0, 10, 0}, {10, 0, 0, 0}}, 2},
        {"overlapping", {{0, 0, 10, 0}, {5, 0, 15, 0}}, 2},
        {"three through one point", {{0, 0, 10, 10}, {0, 10, 10, 0}, {5, 0, 5, 10}}, 6},
        {"crossing near an end", {{0, 0, 10, 0}, {0.01, -5, 0.01, 5}}, 3},
        {"without length", {{3, 3, 3, 3}, {0, 3, 10, 3}}, 2},
    };
    for (const BreakCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TVXDrawing doc;
        for (const auto& l : c.Lines) doc.Line(0, l[0], l[1], l[2], l[3], 1, 0, 0, 0, true);
        const auto start = std::chrono::steady_clock::now();
        doc.InterBreakSelection();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(doc.FigureCount(), c.Expected);
    }
}

TEST_F(CuttingTest, InterBreakOfAGridEnds) {
    // Ten horizontal and ten vertical lines: every line is cut ten times.
    for (int i = 0; i < 10; ++i) {
        AddLine(0, -1, i, 10, i, 0, true);
        AddLine(0, i + 0.5, -1, i + 0.5, 10, 0, true);
    }
    Doc.InterBreakSelection();
    EXPECT_EQ(Doc.FigureCount(), 20 * 11);
}

TEST_F(CuttingTest, InterBreakCutsCurvesAlongALine) {
    Circle(10, 0, 5);
    TPolyline* curve = Polyline({DoublePoint(0, -10), DoublePoint(20, -10)});
    curve->SetSegmentKind(1, SegmentKind::Bezier);
    curve->SetSegmentControls(1, DoublePoint(5, 30), DoublePoint(15, 30));
    AddLine(0, -10, 0, 30, 0, 0, true);
    const TDrawingSnapshot before = Snapshot(Doc);
    Doc.InterBreakSelection();
    // The circle in two arcs, the curve in three pieces, the line in five.
    int arcs = 0, polylines = 0, lines = 0;
    for (TFigure* piece : FiguresOf(Doc)) {
        if (dynamic_cast<TArc*>(piece)) ++arcs;
        else if (piece->IsPolyline()) ++polylines;
        else if (dynamic_cast<TLine*>(piece)) ++lines;
    }
    EXPECT_EQ(arcs, 2);
    EXPECT_EQ(polylines, 3);
    EXPECT_EQ(lines, 5);
    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), before) << SnapshotDiff(Snapshot(Doc), before);
}

// --- hidden layers ---

TEST_F(CuttingTest, FiguresOnHiddenLayersAreNotChanged) {
    const int hidden = Doc.NewLayer(QStringLiteral("Verborgen"));
    TFigure* a = AddLine(hidden, 0, 0, 10, 10);
    TFigure* b = AddLine(hidden, 0, 10, 10, 0);
    TFigure* c = AddLine(hidden, 10, 0, 20, 0);
    Doc.HideLayer(hidden);
    for (TFigure* figure : {a, b, c}) Doc.SelectFigure(figure);
    const TDrawingSnapshot before = Snapshot(Doc);
    Doc.InterBreakSelection();
    Doc.KnifeSelection(DoublePoint(5, -10), DoublePoint(5, 20));
    EXPECT_EQ(Doc.WeldIntoPolyline(), 0);
    EXPECT_EQ(Doc.MakeSelectedLinesPolyline(), 0);
    Doc.ConvertSelectionToBezier();
    Doc.DuplicateSelectionAsBezier(1, 1);
    EXPECT_EQ(Snapshot(Doc), before);
}

// --- Bézier conversions ---

TEST_F(CuttingTest, ConvertSelectionToBezierReplacesEachFigure) {
    TFigure* line = AddLine(0, 0, 0, 10, 0, 0, true);
    TFigure* circle = Circle(20, 20, 5);
    TPolyline* polyline = Polyline({DoublePoint(0, 30), DoublePoint(10, 30)}); // already one
    const std::vector<TDoublePoint> lineCourse = SampleFigure(line);
    const std::vector<TDoublePoint> circleCourse = SampleFigure(circle);
    const TDrawingSnapshot before = Snapshot(Doc);
    Doc.ConvertSelectionToBezier();
    ASSERT_EQ(Doc.FigureCount(), 3);
    EXPECT_EQ(Doc.GetFigure(0), polyline);
    auto* fromLine = dynamic_cast<TPolyline*>(Doc.GetFigure(1));
    auto* fromCircle = dynamic_cast<TPolyline*>(Doc.GetFigure(2));
    ASSERT_NE(fromLine, nullptr);
    ASSERT_NE(fromCircle, nullptr);
    EXPECT_EQ(fromLine->GetSegmentKind(1), SegmentKind::Bezier);
    EXPECT_TRUE(fromCircle->Closed());
    EXPECT_TRUE(fromLine->FSelected);
    EXPECT_TRUE(fromCircle->FSelected);
    ExpectSameCourse(SamplePath(*fromLine), lineCourse, 0.05);
    ExpectSameCourse(SamplePath(*fromCircle), circleCourse, 0.05);
    const TDrawingSnapshot after = Snapshot(Doc);
    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), before) << SnapshotDiff(Snapshot(Doc), before);
    Doc.ReDo();
    EXPECT_EQ(Snapshot(Doc), after) << SnapshotDiff(Snapshot(Doc), after);
}

TEST_F(CuttingTest, ConvertingAGroupKeepsMembersWithoutABezierForm) {
    AddLine(0, 0, 0, 10, 0, 0, true);
    Polyline({DoublePoint(0, 5), DoublePoint(10, 5), DoublePoint(10, 15)});
    auto* group = dynamic_cast<TFigureGrp*>(AsFigure(Doc.GroupSelection()));
    ASSERT_NE(group, nullptr);
    Doc.ConvertSelectionToBezier();
    ASSERT_EQ(Doc.FigureCount(), 1);
    auto* converted = dynamic_cast<TFigureGrp*>(Doc.GetFigure(0));
    ASSERT_NE(converted, nullptr);
    EXPECT_NE(converted, group);
    ASSERT_EQ(converted->Count(), 2);
    auto* fromLine = dynamic_cast<TPolyline*>(converted->Member(0));
    auto* kept = dynamic_cast<TPolyline*>(converted->Member(1));
    ASSERT_NE(fromLine, nullptr);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(fromLine->GetSegmentKind(1), SegmentKind::Bezier);
    EXPECT_EQ(kept->NodeCount(), 3);
    ExpectPoint(kept->GetPoint(3), 10, 15);
}

TEST_F(CuttingTest, DuplicateSelectionAsBezierAddsMovedCopies) {
    TFigure* line = AddLine(0, 0, 0, 10, 0, 0, true);
    TFigure* circle = Circle(20, 20, 5);
    const TDrawingSnapshot before = Snapshot(Doc);
    const int steps = Doc.UndoStepCount();
    Doc.DuplicateSelectionAsBezier(5, 7);
    ASSERT_EQ(Doc.FigureCount(), 4);
    EXPECT_EQ(Doc.UndoStepCount(), steps + 1);
    EXPECT_FALSE(line->FSelected);
    EXPECT_FALSE(circle->FSelected);
    auto* lineCopy = dynamic_cast<TPolyline*>(Doc.GetFigure(2));
    auto* circleCopy = dynamic_cast<TPolyline*>(Doc.GetFigure(3));
    ASSERT_NE(lineCopy, nullptr);
    ASSERT_NE(circleCopy, nullptr);
    EXPECT_TRUE(lineCopy->FSelected);
    EXPECT_TRUE(circleCopy->FSelected);
    ExpectPoint(lineCopy->GetPoint(1), 5, 7);
    ExpectPoint(lineCopy->GetPoint(lineCopy->NodeCount()), 15, 7);
    Doc.UnDo();
    ASSERT_EQ(Doc.FigureCount(), 2);
    EXPECT_EQ(Doc.GetFigure(0), line);
    EXPECT_EQ(Doc.GetFigure(1), circle);
    EXPECT_EQ(Snapshot(Doc), before);
    Doc.ReDo();
    EXPECT_EQ(Doc.FigureCount(), 4);
}

TEST_F(CuttingTest, OperationsWithoutRecordingLeaveNoSteps) {
    Doc.SetRecordUndo(false);
    AddLine(0, 0, 0, 10, 10, 0, true);
    AddLine(0, 0, 10, 10, 0, 0, true);
    Doc.InterBreakSelection();
    EXPECT_EQ(Doc.FigureCount(), 4);
    Doc.KnifeSelection(DoublePoint(0, 2), DoublePoint(10, 2));
    EXPECT_EQ(Doc.FigureCount(), 6);
    Doc.ConvertSelectionToBezier();
    EXPECT_EQ(Doc.FigureCount(), 6);
    EXPECT_EQ(Doc.UndoStepCount(), 0);
    EXPECT_EQ(Doc.HeldFigureCount(), 0);
}

TEST_F(CuttingTest, TextOutlinesBecomeFiguresOfTheirOwn) {
    TFigure* text = AsFigure(
        Doc.TextOut(0, 0, 0, 0, 10, 0, QStringLiteral("Hallo"), QStringLiteral("Arial"), 1, 0, true));
    if (!text->ConvertToBezier()) GTEST_SKIP() << "no outlines for this font here";
    const TDrawingSnapshot before = Snapshot(Doc);

    Doc.DuplicateSelectionAsBezier(0, 20);
    ASSERT_GT(Doc.FigureCount(), 2);
    EXPECT_EQ(Doc.GetFigure(0), text);
    EXPECT_FALSE(text->FSelected);
    const int copies = Doc.FigureCount() - 1;
    for (int i = 1; i < Doc.FigureCount(); ++i) {
        EXPECT_TRUE(Doc.GetFigure(i)->IsPolyline());
        EXPECT_EQ(dynamic_cast<TFigureGrp*>(Doc.GetFigure(i)), nullptr);
    }
    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), before) << SnapshotDiff(Snapshot(Doc), before);

    Doc.SelectFigure(text);
    Doc.ConvertSelectionToBezier();
    ASSERT_EQ(Doc.FigureCount(), copies);
    for (TFigure* outline : FiguresOf(Doc)) {
        EXPECT_TRUE(outline->IsPolyline());
        EXPECT_TRUE(outline->FSelected);
    }
    Doc.UnDo();
    ASSERT_EQ(Doc.FigureCount(), 1);
    EXPECT_EQ(Doc.GetFigure(0), text);
    EXPECT_EQ(Snapshot(Doc), before) << SnapshotDiff(Snapshot(Doc), before);
}
