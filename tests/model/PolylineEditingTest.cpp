// Polylines in the editor: handles, handle drags, the pop-up items, the
// rubber band, the freehand tool and the user-drawn polyline.
#include "support/FakeDocument.h"

#include "model/Geometry.h"
#include "model/Polyline.h"
#include "model/PopupMenu.h"

#include <gtest/gtest.h>
#include <cmath>

namespace {

void ExpectPoint(const TDoublePoint& actual, double x, double y, double tolerance = 1e-9) {
    EXPECT_NEAR(actual.X, x, tolerance);
    EXPECT_NEAR(actual.Y, y, tolerance);
}

struct TMenuItem {
    QString Caption;
    int Tag;
    bool Checked;
    bool Enabled;
};

class TRecordingMenu : public TPopupMenuBuilder {
public:
    void AddItem(const QString& caption, int tag, bool checked, bool enabled) override {
        Items.push_back({caption, tag, checked, enabled});
    }
    const TMenuItem* Find(const QString& caption) const {
        for (const TMenuItem& item : Items)
            if (item.Caption == caption) return &item;
        return nullptr;
    }
    std::vector<TMenuItem> Items;
};

class PolylineEditing : public testing::Test {
protected:
    void SetUp() override {
        RegisterFigureClass(TPolyline::StaticClass());
        RegisterFigureClass(TFreeHand::StaticClass());
        RegisterFigureClass(TUserPolyline::StaticClass());
    }

    std::unique_ptr<TPolyline> Make(const TDoublePointArr& points, bool closed) {
        return TPolyline::Create(points, &Doc, true, Doc.LayerAt(0), closed, TRowStyle::rsNone, 0,
                                 static_cast<int>(TBrushStyle::bsClear), 0, 0, 1);
    }

    std::vector<TModPoint*> HandlesOfKind(const TFigure& f, int kind) const {
        std::vector<TModPoint*> result;
        for (TModPoint* h : f.FHandles)
            if (h->Kind == kind) result.push_back(h);
        return result;
    }

    TModPoint* Handle(const TFigure& f, int kind, int index) const {
        for (TModPoint* h : f.FHandles)
            if (h->Kind == kind && h->Index == index) return h;
        return nullptr;
    }

    TFakeDocument Doc;
};

} // namespace

// --- handles ---

TEST_F(PolylineEditing, HandlesOfNodesControlsAndArcs) {
    auto p = Make({DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(20, 10), DoublePoint(30, 0)}, false);
    p->SetSegmentKind(1, SegmentKind::Bezier);
    p->SetSegmentKind(2, SegmentKind::Arc);
    p->SetSegmentKind(4, SegmentKind::Bezier); // the closing segment of an open polyline
    p->Select();
    const auto nodes = HandlesOfKind(*p, TPolyline::kNodeHandle);
    ASSERT_EQ(nodes.size(), 4u);
    for (TModPoint* h : nodes) {
        EXPECT_EQ(h->Color, 0xFF0000);
        EXPECT_EQ(h->Shape, 1);
        EXPECT_EQ(h->Size, 2.0);
    }
    const auto controls = HandlesOfKind(*p, TPolyline::kControlHandle);
    ASSERT_EQ(controls.size(), 2u);
    ASSERT_NE(Handle(*p, TPolyline::kControlHandle, 12), nullptr);
    ASSERT_NE(Handle(*p, TPolyline::kControlHandle, 21), nullptr);
    EXPECT_EQ(Handle(*p, TPolyline::kControlHandle, 12)->X, p->Segment(1)->Ctrl1.X);
    EXPECT_EQ(Handle(*p, TPolyline::kControlHandle, 21)->Color, 0x0000FF);
    const auto arcs = HandlesOfKind(*p, TPolyline::kArcHandle);
    ASSERT_EQ(arcs.size(), 1u);
    EXPECT_EQ(arcs[0]->Index, 2);
    EXPECT_EQ(arcs[0]->Color, 0x008000);

    // Closed: the closing segment's incoming control belongs to node 1.
    p->Deselect();
    p->SetClosed(true);
    p->Select();
    EXPECT_NE(Handle(*p, TPolyline::kControlHandle, 42), nullptr);
    EXPECT_NE(Handle(*p, TPolyline::kControlHandle, 11), nullptr);
    // Selecting does not change the current segment.
    EXPECT_EQ(p->FSegmentIndex, 1);
}

TEST_F(PolylineEditing, MapHandlesShowsControlsOfTheCurrentNodeOnly) {
    auto p = Make({DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(20, 10)}, true);
    p->AllBezier();
    p->Select();
    p->FSegmentIndex = 2;
    TRecordingEngine& engine = Doc.EngineInstance;
    p->MapHandles(engine, false);
    for (TModPoint* h : HandlesOfKind(*p, TPolyline::kControlHandle)) {
        SCOPED_TRACE(h->Index);
        EXPECT_EQ(h->Visible, h->Index / 10 == 2);
        // Every handle has its device position.
        const QPoint d = engine.ToPixel(DoublePoint(h->X, h->Y));
        EXPECT_EQ(h->DevX, d.x());
        EXPECT_EQ(h->DevY, d.y());
    }
    // The current segment's line and the two control lines of node 2.
    EXPECT_EQ(std::count(engine.Calls.begin(), engine.Calls.end(), QStringLiteral("DrawLine")), 3);
    // Markers: three nodes and the two visible controls.
    EXPECT_EQ(engine.Markers.size(), 5u);
}

TEST_F(PolylineEditing, GrabbingAHandleMakesItsNodeCurrent) {
    auto p = Make({DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(20, 10)}, false);
    p->Select();
    TModPoint* node3 = Handle(*p, TPolyline::kNodeHandle, 3);
    ASSERT_NE(node3, nullptr);
    p->PrepareHandle(node3);
    EXPECT_EQ(p->FSegmentIndex, 3);
    EXPECT_EQ(node3->Color, 0x0000FF);
    p->UnprepareHandle(node3);
    EXPECT_EQ(node3->Color, 0xFF0000);
}

// --- dragging ---

TEST_F(PolylineEditing, NodeDragMovesItsControlsAndRecentresArcs) {
    auto p = Make({DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(20, 0), DoublePoint(30, 0)}, false);
    p->SetSegmentKind(1, SegmentKind::Bezier);
    p->SetSegmentKind(2, SegmentKind::Bezier);
    p->SetSegmentKind(3, SegmentKind::Arc);
    p->InvertArcSegment(3);
    const TPlSegment s1 = *p->Segment(1);
    const TPlSegment s2 = *p->Segment(2);
    p->Select();
    TModPoint* node2 = Handle(*p, TPolyline::kNodeHandle, 2);
    ASSERT_NE(node2, nullptr);

    // The ghost follows; the figure stays until the drag is applied.
    std::unique_ptr<TFigure> ghost = p->CreateGhost();
    auto* g = dynamic_cast<TPolyline*>(ghost.get());
    ASSERT_NE(g, nullptr);
    EXPECT_FALSE(g->FPersistent);
    p->GhostDrag(node2, 13, 4, g);
    ExpectPoint(g->GetPoint(2), 13, 4);
    ExpectPoint(p->GetPoint(2), 10, 0);
    EXPECT_TRUE(p->FDragging);

    p->ApplyDrag(node2, 0, 13, 4, g);
    EXPECT_FALSE(p->FDragging);
    ExpectPoint(p->GetPoint(2), 13, 4);
    ExpectPoint(p->Segment(1)->Ctrl2, s1.Ctrl2.X + 3, s1.Ctrl2.Y + 4);
    ExpectPoint(p->Segment(2)->Ctrl1, s2.Ctrl1.X + 3, s2.Ctrl1.Y + 4);
    ExpectPoint(p->Segment(1)->Ctrl1, s1.Ctrl1.X, s1.Ctrl1.Y);

    // Node 3 starts the arc: its centre is the default one again, its direction kept.
    TModPoint* node3 = Handle(*p, TPolyline::kNodeHandle, 3);
    p->ApplyDrag(node3, 0, 20, 6, nullptr);
    const TDoublePoint c = p->Segment(3)->Ctrl1;
    EXPECT_NEAR(Distance(c, p->GetPoint(3), true), Distance(c, p->GetPoint(4), true), 1e-9);
    EXPECT_EQ(p->Segment(3)->Ctrl2, c);
    EXPECT_TRUE(p->Segment(3)->Inverted);
}

TEST_F(PolylineEditing, ControlDragTurnsTheOppositeControlOfASmoothNode) {
    auto p = Make({DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(20, 0)}, false);
    p->SetSegmentKind(1, SegmentKind::Bezier);
    p->SetSegmentKind(2, SegmentKind::Bezier);
    p->SetNodeControls(2, DoublePoint(7, 0), DoublePoint(14, 0));
    p->Select();
    // Drag node 2's outgoing control from (14, 0) up to (10, 4): a quarter turn.
    TModPoint* out = Handle(*p, TPolyline::kControlHandle, 22);
    ASSERT_NE(out, nullptr);
    p->ApplyDrag(out, 0, 10, 4, nullptr);
    TDoublePoint in, outPoint;
    p->GetNodeControls(2, in, outPoint);
    ExpectPoint(outPoint, 10, 4);
    ExpectPoint(in, 10, -3); // turned by the same angle, its length kept

    // A corner node leaves the opposite control alone.
    p->SetCorner(2);
    p->RefreshHandles();
    TModPoint* incoming = Handle(*p, TPolyline::kControlHandle, 21);
    ASSERT_NE(incoming, nullptr);
    p->ApplyDrag(incoming, 0, incoming->X - 1, incoming->Y, nullptr);
    p->GetNodeControls(2, in, outPoint);
    ExpectPoint(in, 9, -3);
    ExpectPoint(outPoint, 10, 4);
}

TEST_F(PolylineEditing, ArcDragBendsTheArcThroughTheDraggedPoint) {
    auto p = Make({DoublePoint(0, 0), DoublePoint(10, 0)}, false);
    p->SetSegmentKind(1, SegmentKind::Arc);
    p->Select();
    TModPoint* centre = Handle(*p, TPolyline::kArcHandle, 1);
    ASSERT_NE(centre, nullptr);
    for (const TDoublePoint& q : {DoublePoint(5, 2), DoublePoint(3, -4), DoublePoint(12, 3)}) {
        SCOPED_TRACE(testing::Message() << q.X << "," << q.Y);
        p->ApplyDrag(centre, 0, q.X, q.Y, nullptr);
        const TDoublePoint c = p->Segment(1)->Ctrl1;
        const double r = Distance(c, DoublePoint(0, 0), true);
        EXPECT_NEAR(Distance(c, DoublePoint(10, 0), true), r, 1e-9);
        EXPECT_NEAR(Distance(c, q, true), r, 1e-9);
        // The drawn arc passes through the point.
        EXPECT_TRUE(p->HitTest(q.X, q.Y));
    }
    // A point on the chord's line gives no circle: nothing changes.
    const TPlSegment before = *p->Segment(1);
    p->ApplyDrag(centre, 0, 5, 0, nullptr);
    EXPECT_EQ(p->Segment(1)->Ctrl1, before.Ctrl1);
}

TEST_F(PolylineEditing, DraggedEndBindsToTheFigureUnderIt) {
    auto target = MakeTestFigure<TTestQuad>(&Doc);
    target->SetPointCount(4);
    target->SetPoint(1, DoublePoint(40, 40));
    target->SetPoint(2, DoublePoint(60, 40));
    target->SetPoint(3, DoublePoint(60, 60));
    target->SetPoint(4, DoublePoint(40, 60));
    Doc.Figures.push_back(target.get());
    auto p = Make({DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(20, 0)}, false);
    p->Select();
    // Without both binding flags nothing is bound.
    p->ApplyDrag(Handle(*p, TPolyline::kNodeHandle, 3), 1, 40, 50, nullptr);
    EXPECT_EQ(p->FJoin2, nullptr);
    p->RefreshHandles();
    p->ApplyDrag(Handle(*p, TPolyline::kNodeHandle, 3), TLine::kBindFlags, 40, 50, nullptr);
    EXPECT_EQ(p->FJoin2, target.get());
    p->Unbound();
    Doc.Figures.clear();
}

// --- pop-up items ---

TEST_F(PolylineEditing, PopupItemsWithTheirTagsAndChecks) {
    Doc.Patterns = BuiltInPatterns();
    auto p = Make({DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(20, 10)}, true);
    p->SetSegmentKind(2, SegmentKind::Arc);
    p->FSegmentIndex = 2;
    TRecordingMenu menu;
    int nextTag = 100;
    p->AddPopupItems(menu, nextTag);
    EXPECT_EQ(p->FPopupTag, 100);
    EXPECT_EQ(nextTag, 100 + 16 + 6);

    struct TExpected {
        const char* Caption;
        int Tag; // relative; −1: a heading
        bool Checked;
    };
    const TExpected expected[] = {
        {"alles runden", 0, false},
        {"alles gerade", 1, false},
        {"Figur öffnen", 2, false},
        {"Kontrolllinie", -1, false},
        {"Tangente", 5, true},
        {"Broken Legs", 6, false},
        {"Knoten einfügen", 7, false},
        {"Knoten löschen", 8, false},
        {"Segment", -1, false},
        {"Linear", 9, false},
        {"rund", 10, false},
        {"Bogen", 11, true},
        {"", -1, false},
        {"Bogensegment invertieren", 12, false},
        {"Bemaßungslinie", 15, false},
        {"Segment durch 3 teilen", 14, false},
        {"Stift Pattern", -1, false},
        {"keine Pattern", 13, true},
        {"Zig Zag", 16, false},
        {"Blume", 17, false},
        {"Sinus", 18, false},
        {"Buttons", 19, false},
        {"Rechteck", 20, false},
        {"MiniSinus", 21, false},
    };
    ASSERT_EQ(menu.Items.size(), std::size(expected));
    for (std::size_t k = 0; k < menu.Items.size(); ++k) {
        SCOPED_TRACE(expected[k].Caption);
        EXPECT_EQ(menu.Items[k].Caption, QString::fromUtf8(expected[k].Caption));
        if (expected[k].Tag >= 0) {
            EXPECT_EQ(menu.Items[k].Tag, 100 + expected[k].Tag);
            EXPECT_TRUE(menu.Items[k].Enabled);
        } else {
            EXPECT_LT(menu.Items[k].Tag, 0);
        }
        EXPECT_EQ(menu.Items[k].Checked, expected[k].Checked);
    }

    // An open polyline offers closing; a straight segment has no invert item.
    p->SetClosed(false);
    p->SetSegmentKind(2, SegmentKind::Straight);
    TRecordingMenu open;
    p->AddPopupItems(open, nextTag);
    EXPECT_NE(open.Find(QStringLiteral("Figur schließen")), nullptr);
    EXPECT_EQ(open.Find(QStringLiteral("Figur öffnen")), nullptr);
    EXPECT_EQ(open.Find(QStringLiteral("Bogensegment invertieren")), nullptr);
    EXPECT_TRUE(open.Find(QStringLiteral("Linear"))->Checked);
}

TEST_F(PolylineEditing, PopupClicksActOnTheCurrentSegment) {
    Doc.Patterns = BuiltInPatterns();
    auto p = Make({DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(20, 10)}, false);
    TRecordingMenu menu;
    int nextTag = 40;
    p->AddPopupItems(menu, nextTag);
    p->FSegmentIndex = 2;

    p->PopupItemClicked(40 + 10); // rund
    EXPECT_EQ(p->GetSegmentKind(2), SegmentKind::Bezier);
    p->PopupItemClicked(40 + 7); // Knoten einfügen
    EXPECT_EQ(p->PointCount(), 4);
    ExpectPoint(p->GetPoint(3), 15, 5);
    EXPECT_EQ(p->FSegmentIndex, 3);
    p->PopupItemClicked(40 + 8); // Knoten löschen
    EXPECT_EQ(p->PointCount(), 3);
    EXPECT_EQ(p->FSegmentIndex, 2);
    p->PopupItemClicked(40 + 14); // Segment durch 3 teilen
    EXPECT_EQ(p->PointCount(), 5);
    EXPECT_EQ(p->FSegmentIndex, 3);
    p->PopupItemClicked(40 + 3);
    EXPECT_TRUE(p->Closed());
    p->PopupItemClicked(40 + 0);
    for (int i = 1; i <= p->PointCount(); ++i) EXPECT_EQ(p->GetSegmentKind(i), SegmentKind::Bezier);
    p->PopupItemClicked(40 + 6);
    EXPECT_FALSE(p->IsSmooth(3));
    p->PopupItemClicked(40 + 16 + 4); // the fifth pattern
    ASSERT_NE(p->Pattern(), nullptr);
    EXPECT_EQ(p->Pattern()->Name, "Rechteck");
    p->PopupItemClicked(40 + 13);
    EXPECT_EQ(p->Pattern(), nullptr);
    p->PopupItemClicked(40 + 15);
    EXPECT_TRUE(p->Segment(3)->HasDimension);
    // Deleting stops at three nodes... and at the node before the first wraps to the last.
    p->FSegmentIndex = 1;
    p->PopupItemClicked(40 + 8);
    EXPECT_EQ(p->PointCount(), 4);
    EXPECT_EQ(p->FSegmentIndex, 4);
}

// --- rubber band ---

TEST_F(PolylineEditing, FourthClickNearPointOneClosesAndCompletesTheRubber) {
    Doc.DefaultAttributes.PenWidth = 3;
    Doc.DefaultAttributes.PenColor = 0x112233;
    Doc.DefaultAttributes.BrushStyle = TBrushStyle::bsSolid;
    Doc.DefaultAttributes.BrushColor = 0x445566;
    Doc.DefaultAttributes.RowStyle = TRowStyle::rsBothSolid;
    std::unique_ptr<TFigure> rubber = CreateRubber(TPolyline::StaticClass(), 10, 10);
    ASSERT_NE(rubber, nullptr);
    EXPECT_FALSE(rubber->FPersistent);
    EXPECT_EQ(rubber->FPenColor, 0x00FF00);
    EXPECT_EQ(rubber->FPenStyle, static_cast<int>(TPenStyle::psDash));
    EXPECT_EQ(rubber->PointCount(), 2);
    rubber->RubberMove(1, 30, 10);
    EXPECT_FALSE(rubber->RubberClick(2, 30, 10));
    rubber->RubberMove(2, 30, 30);
    EXPECT_FALSE(rubber->RubberClick(3, 30, 30));
    // Near point 1: the mouse point snaps onto it and the close marker shows.
    rubber->RubberMove(3, 12.9, 7.1);
    ExpectPoint(rubber->LastPoint(), 10, 10);
    Doc.EngineInstance.Markers.clear();
    rubber->Draw(Doc.EngineInstance, false);
    ASSERT_EQ(Doc.EngineInstance.Markers.size(), 1u);
    EXPECT_EQ(Doc.EngineInstance.Markers[0].Color, 0x00FF00);
    EXPECT_TRUE(rubber->RubberClick(4, 12.9, 7.1));

    std::unique_ptr<TFigure> result = CommitRubber(TPolyline::StaticClass(), &Doc, Doc.LayerAt(0), rubber.get());
    auto* p = dynamic_cast<TPolyline*>(result.get());
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->FPersistent);
    EXPECT_TRUE(p->Closed());
    ASSERT_EQ(p->PointCount(), 3);
    ExpectPoint(p->GetPoint(1), 10, 10);
    ExpectPoint(p->GetPoint(2), 30, 10);
    ExpectPoint(p->GetPoint(3), 30, 30);
    EXPECT_EQ(p->FSegments.size(), 3u);
    EXPECT_EQ(p->FPenWidth, 3);
    EXPECT_EQ(p->FPenColor, 0x112233);
    EXPECT_EQ(p->FBrushStyle, static_cast<int>(TBrushStyle::bsSolid));
    EXPECT_EQ(p->FBrushColor, 0x445566);
    EXPECT_EQ(p->RowStyle(), TRowStyle::rsBothSolid);
    EXPECT_EQ(p->FLayer, Doc.LayerAt(0));
}

TEST_F(PolylineEditing, RubberClosesOnlyFromTheThirdPointOnAndWithin3mm) {
    std::unique_ptr<TFigure> rubber = CreateRubber(TPolyline::StaticClass(), 0, 0);
    // Click 2 on point 1 does not close.
    EXPECT_FALSE(rubber->RubberClick(2, 1, 1));
    EXPECT_FALSE(rubber->RubberClick(3, 20, 0));
    // 3.5 mm off on one axis: no snap.
    EXPECT_FALSE(rubber->RubberClick(4, 3.5, 0));
    EXPECT_TRUE(rubber->RubberClick(5, 3, -3));
    std::unique_ptr<TFigure> result = CommitRubber(TPolyline::StaticClass(), &Doc, Doc.LayerAt(0), rubber.get());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->PointCount(), 4);
}

TEST_F(PolylineEditing, CommitNeedsTwoNodesAndHonoursTheClosedDefault) {
    std::unique_ptr<TFigure> rubber = CreateRubber(TPolyline::StaticClass(), 0, 0);
    EXPECT_EQ(CommitRubber(TPolyline::StaticClass(), &Doc, Doc.LayerAt(0), rubber.get()), nullptr);
    rubber->RubberClick(2, 10, 0);
    EXPECT_EQ(CommitRubber(TPolyline::StaticClass(), &Doc, Doc.LayerAt(0), rubber.get()), nullptr);
    rubber->RubberClick(3, 10, 10);
    Doc.DefaultAttributes.PLineClosed = true;
    std::unique_ptr<TFigure> result = CommitRubber(TPolyline::StaticClass(), &Doc, Doc.LayerAt(0), rubber.get());
    auto* p = dynamic_cast<TPolyline*>(result.get());
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->PointCount(), 2);
    EXPECT_TRUE(p->Closed());
}

TEST_F(PolylineEditing, FreehandStrokeIsCommittedAsAPolyline) {
    std::unique_ptr<TFigure> rubber = CreateRubber(TFreeHand::StaticClass(), 0, 0);
    ASSERT_NE(rubber, nullptr);
    EXPECT_EQ(rubber->GetTypeName(), "FreeHand");
    EXPECT_EQ(rubber->PointCount(), 1);
    for (int k = 1; k <= 5; ++k) rubber->RubberMove(1, k, k * k);
    EXPECT_EQ(rubber->PointCount(), 6);
    EXPECT_FALSE(rubber->RubberClick(1, 5, 25));
    EXPECT_TRUE(rubber->RubberClick(2, 5, 25));
    std::unique_ptr<TFigure> result = CommitRubber(TFreeHand::StaticClass(), &Doc, Doc.LayerAt(0), rubber.get());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->GetTypeName(), "Polyline");
    EXPECT_EQ(result->Class().Name, "TPolyline");
    EXPECT_EQ(result->PointCount(), 4);
    ExpectPoint(result->GetPoint(4), 3, 9);
}

TEST_F(PolylineEditing, UserPolylineAsksTheDocumentFirst) {
    Doc.UserName = QStringLiteral("Ventil");
    std::unique_ptr<TFigure> rubber = CreateRubber(TUserPolyline::StaticClass(), 0, 0);
    rubber->RubberClick(2, 10, 0);
    rubber->RubberClick(3, 10, 10);
    rubber->RubberClick(4, 0, 10);
    std::unique_ptr<TFigure> figure = CommitRubber(TUserPolyline::StaticClass(), &Doc, Doc.LayerAt(0), rubber.get());
    ASSERT_NE(figure, nullptr);
    EXPECT_EQ(figure->Class().Name, "TUserPolyline");
    EXPECT_EQ(figure->GetTypeName(), "UserPolyline");
    EXPECT_EQ(figure->FCName, "Ventil");

    TRecordingEngine& engine = Doc.EngineInstance;
    Doc.UserDrawResult = true;
    figure->Draw(engine, false);
    EXPECT_TRUE(engine.Calls.empty());
    ASSERT_EQ(Doc.UserDrawCalls.size(), 1u);
    EXPECT_EQ(Doc.UserDrawCalls[0].second, "Ventil");
    Doc.UserDrawResult = false;
    figure->Draw(engine, false);
    EXPECT_EQ(engine.Calls, std::vector<QString>{QStringLiteral("DrawPolylineRowEnds")});

    Doc.UserHitTestResult = true;
    EXPECT_TRUE(figure->HitTest(100, 100));
    Doc.UserHitTestResult = false;
    EXPECT_FALSE(figure->HitTest(5, 0));
    Doc.UserHitTestResult.reset();
    EXPECT_TRUE(figure->HitTest(5, 0));

    std::unique_ptr<TFigure> copy = figure->Clone();
    EXPECT_EQ(copy->FCName, "Ventil");
    EXPECT_EQ(copy->Class().Name, "TUserPolyline");
}
