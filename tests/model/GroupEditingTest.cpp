// Groups on the screen and under editing: transformations on the members,
// the bounds cache, handles and resizing drags, drawing (combined groups as
// one even-odd path) and hit testing.
#include "support/FakeDocument.h"

#include "model/Circle.h"
#include "model/Ellipse.h"
#include "model/Group.h"
#include "model/Line.h"
#include "model/Rectangle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

void ExpectNear(const TDoublePoint& actual, const TDoublePoint& expected, double eps = 1e-9) {
    EXPECT_NEAR(actual.X, expected.X, eps);
    EXPECT_NEAR(actual.Y, expected.Y, eps);
}

int CountCalls(const TRecordingEngine& engine, const QString& name) {
    return static_cast<int>(std::count(engine.Calls.begin(), engine.Calls.end(), name));
}

class GroupEditingTest : public ::testing::Test {
protected:
    TLayer* Layer(int i = 0) { return Doc.LayerAt(i); }
    std::unique_ptr<TRectangle> Rect(double x1, double y1, double x2, double y2, int layer = 0) {
        return TRectangle::Create(1, 0x000080, 0, 0x00FF00, static_cast<int>(TBrushStyle::bsSolid), &Doc, true,
                                  Layer(layer), x1, y1, x2, y2);
    }
    std::unique_ptr<TLine> Line(double x1, double y1, double x2, double y2) {
        return TLine::Create(1, &Doc, true, Layer(), TRowStyle::rsNone, 0, 0, x1, y1, x2, y2);
    }
    std::unique_ptr<TFigureGrp> Group() { return TFigureGrp::Create(Layer(), &Doc); }
    TModPoint* Handle(int index) {
        for (int i = 0; i < Doc.Handles.Count(); ++i)
            if (Doc.Handles.At(i)->Index == index) return Doc.Handles.At(i);
        return nullptr;
    }
    TDoubleRect Bounds(const TFigure& f) { return f.GetBoundsRect(); }

    TFakeDocument Doc{3};
};

// --- transformations ---

TEST_F(GroupEditingTest, TransformationsReachEveryMemberAndKeepTheCorners) {
    auto group = Group();
    group->Add(Line(0, 0, 10, 0));
    group->Add(Rect(0, 0, 10, 20));
    group->RecalcBounds();
    TFigure* line = group->Member(0);
    TFigure* rect = group->Member(1);

    group->Move(5, -2);
    ExpectNear(line->GetPoint(2), DoublePoint(15, -2));
    ExpectNear(rect->GetPoint(3), DoublePoint(15, 18));
    ExpectNear(group->GetPoint(1), DoublePoint(5, -2));
    ExpectNear(group->GetPoint(3), DoublePoint(15, 18));

    group->Rotate(DoublePoint(5, -2), std::numbers::pi / 2);
    ExpectNear(line->GetPoint(2), DoublePoint(5, 8));
    ExpectNear(group->GetPoint(1), DoublePoint(-15, -2));
    ExpectNear(group->GetPoint(3), DoublePoint(5, 8));

    group->Mirror(DoublePoint(0, 0), DoublePoint(0, 10)); // about the Y axis
    ExpectNear(line->GetPoint(2), DoublePoint(-5, 8));
    ExpectNear(group->GetPoint(1), DoublePoint(-5, -2));
    ExpectNear(group->GetPoint(3), DoublePoint(15, 8));

    group->Scale(DoublePoint(-5, -2), 2, 0.5);
    ExpectNear(line->GetPoint(2), DoublePoint(-5, 3));
    ExpectNear(group->GetPoint(3), DoublePoint(35, 3));

    group->SetAttribute(0, 0x00FF00);
    group->SetAttribute(1, 3);
    EXPECT_EQ(line->FPenColor, 0x00FF00);
    EXPECT_EQ(rect->FPenWidth, 3);
    EXPECT_EQ(group->FPenColor, 0x00FF00);
}

TEST_F(GroupEditingTest, UnevenScalingTurnsACircleIntoAnEllipseInPlace) {
    auto group = Group();
    group->Add(Line(0, 0, 1, 1));
    group->Add(TCircle::Create(Layer(1), &Doc, true, DoublePoint(10, 10), 5, 2, 0x112233, 0, 0x445566,
                               static_cast<int>(TBrushStyle::bsSolid)));
    group->Add(Line(0, 0, 2, 2));
    group->Scale(DoublePoint(0, 0), 2, 1);
    ASSERT_EQ(group->Count(), 3);
    auto* ellipse = dynamic_cast<TEllipse*>(group->Member(1));
    ASSERT_NE(ellipse, nullptr);
    EXPECT_NEAR(ellipse->FRadiusA, 10, 1e-9);
    EXPECT_NEAR(ellipse->FRadiusB, 5, 1e-9);
    ExpectNear(ellipse->Centre(), DoublePoint(20, 10));
    EXPECT_EQ(ellipse->FPenWidth, 2);
    EXPECT_EQ(ellipse->FPenColor, 0x112233);
    EXPECT_EQ(ellipse->FBrushColor, 0x445566);
    EXPECT_EQ(ellipse->FLayer, Layer(1));
    const TDoubleRect r = Bounds(*group);
    EXPECT_NEAR(r.Right, 30, 1e-9);

    // Even scaling keeps the circle.
    auto other = Group();
    other->Add(TCircle::Create(Layer(), &Doc, true, DoublePoint(0, 0), 5));
    other->Scale(DoublePoint(0, 0), 2, 2);
    auto* circle = dynamic_cast<TCircle*>(other->Member(0));
    ASSERT_NE(circle, nullptr);
    EXPECT_NEAR(circle->Radius(), 10, 1e-9);
}

// --- the bounds cache ---

TEST_F(GroupEditingTest, BoundsFollowTheMembersWhateverChangesThem) {
    auto group = Group();
    for (int i = 0; i < 5; ++i) group->Add(Line(i, 0, i + 1, 1)); // more than four: the cache answers
    EXPECT_EQ(Bounds(*group).Right, 5);
    EXPECT_TRUE(group->BoundsValid());

    group->Add(Line(0, 0, 50, 60));
    EXPECT_FALSE(group->BoundsValid());
    EXPECT_EQ(Bounds(*group).Right, 50);
    EXPECT_EQ(Bounds(*group).Bottom, 60);

    group->Move(1, 1);
    EXPECT_EQ(Bounds(*group).Right, 51);
    group->Scale(DoublePoint(1, 1), 2, 2);
    EXPECT_EQ(Bounds(*group).Right, 101);

    const std::vector<std::uint8_t> saved = [&] {
        TMemoryStream out;
        group->SaveToStream(out);
        return out.TakeData();
    }();
    group->Scale(DoublePoint(1, 1), 0.5, 0.5);
    EXPECT_EQ(Bounds(*group).Right, 51);
    group->SetReloadMode(true);
    TMemoryStream in(saved);
    ReadStr(in);
    group->LoadBase(in);
    EXPECT_EQ(Bounds(*group).Right, 101);

    group->ApplyZeroOrigin(TVertZero::vzBottom, THorzZero::vzLeft);
    EXPECT_EQ(Bounds(*group).Top, 210 - 121);
}

// --- handles and drags ---

TEST_F(GroupEditingTest, EightRedHandlesRoundTheBox) {
    auto group = Group();
    group->Add(Rect(0, 0, 10, 20));
    group->Select();
    ASSERT_EQ(Doc.Handles.Count(), 8);
    const TDoublePoint expected[8] = {DoublePoint(0, 0),   DoublePoint(5, 0),  DoublePoint(10, 0),
                                      DoublePoint(10, 10), DoublePoint(10, 20), DoublePoint(5, 20),
                                      DoublePoint(0, 20),  DoublePoint(0, 10)};
    for (int i = 1; i <= 8; ++i) {
        SCOPED_TRACE(i);
        TModPoint* h = Handle(i);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(h->Kind, 6);
        EXPECT_EQ(h->Color, 0x0000FF);
        EXPECT_EQ(h->Shape, 0);
        EXPECT_EQ(h->Size, 3.0);
        ExpectNear(DoublePoint(h->X, h->Y), expected[i - 1]);
    }
}

TEST_F(GroupEditingTest, HandleDragsScaleTheGroupAboutTheOppositeSide) {
    struct TCase {
        int Handle;
        double X, Y;
        TDoubleRect Expected;
    };
    // The group spans (0, 0) – (10, 20).
    const TCase cases[] = {
        {4, 30, 10, {0, 0, 30, 20}},   // right side: (3, 1) about X = 0
        {8, -10, 10, {-10, 0, 10, 20}}, // left side: (2, 1) about X = 10
        {6, 5, 40, {0, 0, 10, 40}},     // bottom: (1, 2) about Y = 0
        {2, 5, 10, {0, 10, 10, 20}},    // top: (1, 0.5) about Y = 20
        {5, 20, 30, {0, 0, 20, 30}},    // bottom right corner
        {1, -10, -20, {-10, -20, 10, 20}},
        {4, 10, 15, {0, 0, 10, 20}},    // no change: nothing is scaled
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Handle);
        auto group = Group();
        group->Add(Rect(0, 0, 10, 20));
        group->Add(Line(0, 0, 10, 20));
        group->Select();
        TModPoint* h = Handle(c.Handle);
        ASSERT_NE(h, nullptr);
        std::unique_ptr<TFigure> ghost = group->CreateGhost();
        group->GhostDrag(h, c.X, c.Y, ghost.get());
        group->ApplyDrag(h, 0, c.X, c.Y, ghost.get());
        const TDoubleRect r = Bounds(*group);
        EXPECT_NEAR(r.Left, c.Expected.Left, 1e-9);
        EXPECT_NEAR(r.Top, c.Expected.Top, 1e-9);
        EXPECT_NEAR(r.Right, c.Expected.Right, 1e-9);
        EXPECT_NEAR(r.Bottom, c.Expected.Bottom, 1e-9);
        // The members are scaled, not just the box.
        ExpectNear(group->Member(1)->GetPoint(2), DoublePoint(c.Expected.Right, c.Expected.Bottom));
        group->Deselect();
    }
}

TEST_F(GroupEditingTest, GhostIsADashedGreenRectangleOnTheBoxKeepingTheRatio) {
    auto group = Group();
    group->Add(Rect(0, 0, 10, 20));
    group->FDiagonal = true;
    group->Select();
    std::unique_ptr<TFigure> ghost = group->CreateGhost();
    ASSERT_NE(dynamic_cast<TRectangle*>(ghost.get()), nullptr);
    EXPECT_EQ(ghost->FPenColor, 0x00FF00);
    EXPECT_EQ(ghost->FPenStyle, static_cast<int>(TPenStyle::psDash));
    EXPECT_FALSE(ghost->FPersistent);
    EXPECT_EQ(ghost->FDrawing, nullptr);
    EXPECT_TRUE(ghost->FDiagonal);
    // Keep Ratio: dragging the corner keeps width : height at 1 : 2.
    TModPoint* h = Handle(5);
    group->GhostDrag(h, 20, 25, ghost.get());
    group->ApplyDrag(h, 0, 20, 25, ghost.get());
    const TDoubleRect r = Bounds(*group);
    EXPECT_NEAR((r.Bottom - r.Top) / (r.Right - r.Left), 2, 1e-9);
    EXPECT_GT(r.Right, 10);
}

TEST_F(GroupEditingTest, DraggingAFlatGroupNeverProducesNaN) {
    for (bool keepRatio : {false, true}) {
        for (int index = 1; index <= 8; ++index) {
            SCOPED_TRACE(testing::Message() << "ratio " << keepRatio << " handle " << index);
            auto group = Group();
            group->Add(Line(0, 5, 10, 5)); // no height
            group->Add(Line(0, 5, 10, 5));
            group->FDiagonal = keepRatio;
            group->Select();
            TModPoint* h = Handle(index);
            ASSERT_NE(h, nullptr);
            std::unique_ptr<TFigure> ghost = group->CreateGhost();
            group->GhostDrag(h, 20, 30, ghost.get());
            group->ApplyDrag(h, 0, 20, 30, ghost.get());
            group->ApplyDrag(h, 0, 25, 35, nullptr);
            for (int m = 0; m < group->Count(); ++m)
                for (int p = 1; p <= 2; ++p) {
                    EXPECT_TRUE(std::isfinite(group->Member(m)->GetPoint(p).X));
                    EXPECT_TRUE(std::isfinite(group->Member(m)->GetPoint(p).Y));
                    EXPECT_EQ(group->Member(m)->GetPoint(p).Y, 5); // the flat side cannot grow
                }
            group->Deselect();
        }
    }
}

// --- drawing and hit testing ---

TEST_F(GroupEditingTest, MembersDrawByTheirLayers) {
    auto group = Group();
    group->Add(Rect(0, 0, 10, 10, 0));
    group->Add(Rect(0, 0, 10, 10, 1));
    group->Add(Rect(0, 0, 10, 10, 2));
    Layer(1)->State = TLayerState::Hidden;
    Layer(2)->State = TLayerState::Grayed;
    TRecordingEngine engine;
    class TColourEngine : public TRecordingEngine {
    public:
        void DrawPolygon(const TDoublePointArr& points, TColor penColor, TRegionSlot& region, TBrushStyle style,
                         TColor brushColor, TPenStyle penStyle, int width) override {
            PenColors.push_back(penColor);
            TRecordingEngine::DrawPolygon(points, penColor, region, style, brushColor, penStyle, width);
        }
        std::vector<TColor> PenColors;
    } colours;
    group->Draw(colours, true); // the group's own flag is not used
    EXPECT_EQ(colours.PenColors, (std::vector<TColor>{0x000080, TLayer::kGrayColor}));
    EXPECT_EQ(CountCalls(colours, QStringLiteral("BeginCombinedPath")), 0);
}

TEST_F(GroupEditingTest, CombinedGroupFillsOnePathEvenOddAndIsHitOnlyInsideIt) {
    auto group = Group();
    auto first = Rect(0, 0, 20, 20);
    first->FPenColor = kLayerColor;
    Layer()->PenColor = 0x0A0B0C;
    group->Add(std::move(first));
    group->Add(Rect(10, 10, 30, 30));
    group->SetCombined(true);
    TRecordingEngine& engine = Doc.EngineInstance;
    group->Draw(engine, false);
    EXPECT_EQ(CountCalls(engine, QStringLiteral("BeginCombinedPath")), 2); // the drawing and the hit area
    EXPECT_EQ(CountCalls(engine, QStringLiteral("EndCombinedPath")), 1);
    EXPECT_EQ(CountCalls(engine, QStringLiteral("EndCombinedPathRegion")), 1);
    ASSERT_EQ(engine.CombinedFills.size(), 1u);
    EXPECT_EQ(engine.CombinedFills[0].PenColor, 0x0A0B0C); // the first member's, by its layer
    EXPECT_EQ(engine.CombinedFills[0].BrushColor, 0x00FF00);
    EXPECT_EQ(engine.CombinedFills[0].BrushStyle, TBrushStyle::bsSolid);
    // The order: the path opens before the members draw and ends after them.
    EXPECT_EQ(engine.Calls.front(), QStringLiteral("BeginCombinedPath"));
    EXPECT_EQ(engine.Calls[3], QStringLiteral("EndCombinedPath"));

    EXPECT_TRUE(group->HitTest(5, 5));
    EXPECT_TRUE(group->HitTest(25, 25));
    EXPECT_FALSE(group->HitTest(15, 15)); // the hole where the two overlap
    EXPECT_FALSE(group->HitTest(25, 5));

    // A second draw keeps the hit area and draws only once.
    engine.Calls.clear();
    group->Draw(engine, false);
    EXPECT_EQ(CountCalls(engine, QStringLiteral("BeginCombinedPath")), 1);

    // Not combined: any member is hit, the overlap too.
    group->SetCombined(false);
    group->Draw(engine, false); // the members' own hit areas
    EXPECT_TRUE(group->HitTest(15, 15));
    EXPECT_FALSE(group->HitTest(25, 5));
}

TEST_F(GroupEditingTest, GroupCombinedInsideACombinedGroupOpensNoPathOfItsOwn) {
    auto outer = Group();
    auto inner = Group();
    inner->Add(Rect(0, 0, 10, 10));
    TFigureGrp* innerRef = inner.get();
    outer->Add(std::move(inner));
    outer->Add(Rect(5, 5, 15, 15));
    outer->SetCombined(true);
    innerRef->SetCombined(true); // set afterwards, e.g. through the plug-in interface
    TRecordingEngine& engine = Doc.EngineInstance;
    outer->Draw(engine, false);
    EXPECT_EQ(CountCalls(engine, QStringLiteral("BeginCombinedPath")), 2);
    EXPECT_EQ(CountCalls(engine, QStringLiteral("EndCombinedPath")), 1);
    EXPECT_EQ(CountCalls(engine, QStringLiteral("DrawPolygon")), 4);
    // The inner rectangle is part of the outer shape.
    EXPECT_TRUE(outer->HitTest(2, 2));
    EXPECT_FALSE(outer->HitTest(7, 7));
}

TEST_F(GroupEditingTest, EmptyCombinedGroupDrawsNothing) {
    auto group = Group();
    group->SetCombined(true);
    TRecordingEngine engine;
    group->Draw(engine, false);
    EXPECT_TRUE(engine.Calls.empty());
    EXPECT_FALSE(group->HitTest(0, 0));
    double maxX, maxY, minX, minY;
    group->GetBounds(maxX, maxY, minX, minY);
    EXPECT_EQ(maxX, 0);
    EXPECT_EQ(minY, 0);
}

} // namespace
