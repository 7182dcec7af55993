// Round figures: handles and their drags, ghosts, rubber bands and commits,
// the pop-up items of arcs, drawing through the engine and the user-drawn
// variants.
#include "RoundTestSupport.h"

#include "model/Geometry.h"
#include "model/ModPoint.h"
#include "model/PopupMenu.h"

#include <numbers>

using namespace round_test;

namespace {

constexpr double Pi = std::numbers::pi;
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kDarkGreen = 0x008000;

struct THandleSpec {
    int Kind;
    int Index;
    double X, Y;
    double Size;
    TColor Color;
    int Shape;
};

void ExpectHandles(const TFigure& figure, const std::vector<THandleSpec>& expected) {
    ASSERT_EQ(figure.FHandles.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "handle " << i);
        const TModPoint& h = *figure.FHandles[i];
        const THandleSpec& e = expected[i];
        EXPECT_EQ(h.Kind, e.Kind);
        EXPECT_EQ(h.Index, e.Index);
        EXPECT_NEAR(h.X, e.X, 1e-4);
        EXPECT_NEAR(h.Y, e.Y, 1e-4);
        EXPECT_DOUBLE_EQ(h.Size, e.Size);
        EXPECT_EQ(h.Color, e.Color);
        EXPECT_EQ(h.Shape, e.Shape);
    }
}

TModPoint* HandleWithIndex(const TFigure& figure, int index) {
    for (TModPoint* h : figure.FHandles)
        if (h->Index == index) return h;
    return nullptr;
}

// --- handles ---

TEST(RoundHandles, EveryClassShowsItsHandleTable) {
    TFakeDocument doc;
    TLayer* layer = doc.LayerAt(0);
    {
        SCOPED_TRACE("circle");
        auto circle = TCircle::Create(layer, &doc, true, DoublePoint(10, 10), 5);
        circle->Select();
        ExpectHandles(*circle, {{1, 0, 10, 15, 3, kBlue, 0},
                                {1, 0, 10, 5, 3, kBlue, 0},
                                {1, 0, 15, 10, 3, kBlue, 0},
                                {1, 0, 5, 10, 3, kBlue, 0}});
    }
    {
        SCOPED_TRACE("ellipse turned a quarter");
        auto ellipse = TEllipse::Create(layer, &doc, true, DoublePoint(0, 0), 10, 4, Pi / 2);
        ellipse->Select();
        ExpectHandles(*ellipse, {{0, 1, 0, 0, 3, kBlue, 2},
                                 {8, 2, 0, 10, 2, kRed, 0},
                                 {8, 3, -4, 0, 2, kRed, 0},
                                 {8, 4, 0, -10, 4, kDarkGreen, 1}});
    }
    {
        SCOPED_TRACE("arc wrapping through 0: the middle handle at angle 0");
        auto arc = TArc::Create(layer, &doc, true, DoublePoint(0, 0), 10, 3 * Pi / 2, Pi / 2);
        arc->Select();
        ExpectHandles(*arc, {{0, 1, 0, 0, 3, kBlue, 2},
                             {8, 2, 0, -10, 3, kBlue, 0},
                             {8, 3, 0, 10, 3, kBlue, 0},
                             {8, 4, 10, 0, 2, kRed, 1}});
    }
    {
        SCOPED_TRACE("elliptical arc");
        auto arc = TElpArc::Create(layer, &doc, true, DoublePoint(0, 0), 10, 5, 0, 0, Pi / 2);
        arc->Select();
        ExpectHandles(*arc, {{0, 1, 0, 0, 3, kBlue, 2},
                             {8, 2, 10, 0, 3, kBlue, 0},
                             {8, 3, 0, 5, 3, kBlue, 0},
                             {8, 4, -10, 0, 2, kRed, 0},
                             {8, 5, 0, 5, 2, kRed, 0},
                             {8, 6, 10, 0, 4, kDarkGreen, 1}});
    }
    {
        SCOPED_TRACE("without size: one handle");
        auto arc = TArc::Create(layer, &doc, true, DoublePoint(3, 4), 0, 0, 1);
        arc->Select();
        ExpectHandles(*arc, {{8, 4, 3, 4, 2, kRed, 1}});
        auto ellipse = TEllipse::Create(layer, &doc, true, DoublePoint(3, 4), 0, 0, 0);
        ellipse->Select();
        ExpectHandles(*ellipse, {{8, 4, 3, 4, 2, kRed, 1}});
        auto elp = TElpArc::Create(layer, &doc, true, DoublePoint(3, 4), 0, 0, 0, 0, 1);
        elp->Select();
        ExpectHandles(*elp, {{8, 4, 3, 4, 2, kRed, 1}});
    }
}

// --- drags ---

TEST(RoundDrag, ArcHandlesSetAnglesAndRadius) {
    TFakeDocument doc;
    auto arc = TArc::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 10, 0, Pi / 2);
    arc->Select();
    auto ghost = arc->CreateGhost();
    ASSERT_NE(dynamic_cast<TArc*>(ghost.get()), nullptr);
    EXPECT_FALSE(ghost->FPersistent);
    TModPoint* start = HandleWithIndex(*arc, 2);
    arc->GhostDrag(start, 0, -7, ghost.get());
    EXPECT_DOUBLE_EQ(static_cast<TArc*>(ghost.get())->FStartAngle, 3 * Pi / 2);
    EXPECT_DOUBLE_EQ(arc->FStartAngle, 0); // only the ghost follows
    arc->ApplyDrag(start, 0, 0, -7, ghost.get());
    EXPECT_DOUBLE_EQ(arc->FStartAngle, 3 * Pi / 2);
    EXPECT_POINT_NEAR(arc->GetPoint(2), 0, -10, 1e-4);
    arc->ApplyDrag(HandleWithIndex(*arc, 3), 0, -5, 0, nullptr);
    EXPECT_DOUBLE_EQ(arc->FEndAngle, Pi);
    arc->ApplyDrag(HandleWithIndex(*arc, 4), 0, 3, 4, nullptr);
    EXPECT_DOUBLE_EQ(arc->Radius(), 5);
    EXPECT_POINT_NEAR(arc->GetPoint(3), -5, 0, 1e-4);
    EXPECT_TRUE(arc->FChanged);
}

TEST(RoundDrag, EllipseAxesAndRotation) {
    TFakeDocument doc;
    auto ellipse = TEllipse::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 10, 4, 0);
    ellipse->Select();
    auto ghost = ellipse->CreateGhost();
    ellipse->GhostDrag(HandleWithIndex(*ellipse, 4), 0, 8, ghost.get());
    // The −A end follows the mouse: the +A end points the other way.
    EXPECT_DOUBLE_EQ(static_cast<TEllipse*>(ghost.get())->FAngle, 3 * Pi / 2);
    EXPECT_DOUBLE_EQ(ellipse->FAngle, 0);
    ellipse->ApplyDrag(HandleWithIndex(*ellipse, 4), 0, 0, 8, ghost.get());
    EXPECT_DOUBLE_EQ(ellipse->FAngle, 3 * Pi / 2);
    EXPECT_POINT_NEAR(ellipse->GetPoint(2), 0, -10, 1e-9);
    EXPECT_POINT_NEAR(ellipse->AxisEndMinusA(), 0, 10, 1e-9);
    ellipse->ApplyDrag(HandleWithIndex(*ellipse, 2), 0, 6, 8, nullptr);
    EXPECT_DOUBLE_EQ(ellipse->FRadiusA, 10);
    ellipse->ApplyDrag(HandleWithIndex(*ellipse, 3), 0, 3, 0, nullptr);
    EXPECT_DOUBLE_EQ(ellipse->FRadiusB, 3);
    EXPECT_DOUBLE_EQ(ellipse->FAngle, 3 * Pi / 2);

    // The single handle of an ellipse without size gives it a size.
    auto dot = TEllipse::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 0, 0, 0);
    dot->Select();
    dot->ApplyDrag(HandleWithIndex(*dot, 4), 0, 0, 6, nullptr);
    EXPECT_DOUBLE_EQ(dot->FRadiusA, 6);
    EXPECT_DOUBLE_EQ(dot->FRadiusB, 6);
}

TEST(RoundDrag, EllipticalArcHandles) {
    TFakeDocument doc;
    auto arc = TElpArc::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 10, 5, 0, 0, Pi / 2);
    arc->Select();
    arc->ApplyDrag(HandleWithIndex(*arc, 6), 0, 0, 3, nullptr); // rotation
    EXPECT_DOUBLE_EQ(arc->FAngle, Pi / 2);
    EXPECT_POINT_NEAR(arc->GetPoint(2), 0, 10, 1e-4);
    arc->ApplyDrag(HandleWithIndex(*arc, 2), 0, 1, 0, nullptr); // angle in the turned frame
    EXPECT_NEAR(arc->FStartAngle, 3 * Pi / 2, 1e-12);
    arc->ApplyDrag(HandleWithIndex(*arc, 4), 0, 0, -12, nullptr);
    EXPECT_DOUBLE_EQ(arc->FRadiusA, 12);
    arc->ApplyDrag(HandleWithIndex(*arc, 5), 0, -2, 0, nullptr);
    EXPECT_DOUBLE_EQ(arc->FRadiusB, 2);
}

TEST(RoundDrag, CircleTakesTheGhostsRadius) {
    TFakeDocument doc;
    auto circle = TCircle::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 5);
    circle->Select();
    auto ghost = circle->CreateGhost();
    ASSERT_NE(dynamic_cast<TCircle*>(ghost.get()), nullptr);
    circle->GhostDrag(circle->FHandles[0], 0, 9, ghost.get());
    EXPECT_DOUBLE_EQ(ghost->FRadius, 9);
    EXPECT_DOUBLE_EQ(circle->Radius(), 5);
    circle->ApplyDrag(circle->FHandles[0], 0, 0, 9, ghost.get());
    EXPECT_DOUBLE_EQ(circle->Radius(), 9);
}

TEST(RoundDrag, RotationHandlesTurnAnArc) {
    TFakeDocument doc;
    auto arc = TArc::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 10, 0, Pi / 2);
    arc->SelectAsRotate();
    std::unique_ptr<TFigure> ghost;
    TModPoint* corner = nullptr;
    for (TModPoint* h : arc->FHandles)
        if (h->Kind == HandleKind::RotateCorner) corner = h;
    ASSERT_NE(corner, nullptr);
    const TDoublePoint centre = arc->FRotCentre;
    const TDoublePoint target = RotatePoint(centre, DoublePoint(corner->X, corner->Y), Pi / 2);
    arc->RotateDragStart(corner, target.X, target.Y, ghost);
    ASSERT_NE(dynamic_cast<TArc*>(ghost.get()), nullptr);
    EXPECT_NEAR(static_cast<TArc*>(ghost.get())->FStartAngle, Pi / 2, 1e-9);
    arc->ApplyRotateDrag(corner, target.X, target.Y, ghost.get());
    EXPECT_NEAR(arc->FStartAngle, Pi / 2, 1e-9);
    EXPECT_NEAR(arc->FEndAngle, Pi, 1e-9);
}

// --- rubber bands and commits ---

TEST(RoundRubber, CircleEllipseArcAndEllipticalArcClickByClick) {
    TFakeDocument doc;
    doc.DefaultAttributes.PenWidth = 4;
    doc.DefaultAttributes.PenColor = 0x112233;
    doc.DefaultAttributes.PenStyle = TPenStyle::psDot;
    doc.DefaultAttributes.BrushColor = 0x445566;
    doc.DefaultAttributes.BrushStyle = TBrushStyle::bsHorizontal;
    doc.DefaultAttributes.ArcStyle = TArcStyle::asPie;
    TLayer* layer = doc.LayerAt(0);
    const auto expectDefaults = [](const TFigure& f) {
        EXPECT_TRUE(f.FPersistent);
        EXPECT_EQ(f.FPenWidth, 4);
        EXPECT_EQ(f.FPenColor, 0x112233);
        EXPECT_EQ(f.FPenStyle, static_cast<int>(TPenStyle::psDot));
        EXPECT_EQ(f.FBrushColor, 0x445566);
        EXPECT_EQ(f.FBrushStyle, static_cast<int>(TBrushStyle::bsHorizontal));
    };
    {
        SCOPED_TRACE("circle: two clicks");
        auto rubber = CreateRubber(TCircle::StaticClass(), 10, 10);
        ASSERT_NE(rubber, nullptr);
        EXPECT_FALSE(rubber->FPersistent);
        EXPECT_EQ(rubber->FPenColor, 0x00FF00);
        rubber->RubberMove(1, 13, 14);
        EXPECT_DOUBLE_EQ(rubber->FRadius, 5);
        EXPECT_TRUE(rubber->RubberClick(2, 10, 16));
        auto circle = CommitRubber(TCircle::StaticClass(), &doc, layer, rubber.get());
        ASSERT_NE(As<TCircle>(circle), nullptr);
        EXPECT_DOUBLE_EQ(circle->FRadius, 6);
        EXPECT_EQ(circle->GetPoint(1), DoublePoint(10, 10));
        expectDefaults(*circle);
    }
    {
        SCOPED_TRACE("ellipse: three clicks");
        auto rubber = CreateRubber(TEllipse::StaticClass(), 0, 0);
        auto* r = As<TEllipse>(rubber);
        ASSERT_NE(r, nullptr);
        rubber->RubberMove(1, 3, 4);
        EXPECT_DOUBLE_EQ(r->FRadiusA, 5);
        EXPECT_DOUBLE_EQ(r->FRadiusB, 5);
        EXPECT_FALSE(rubber->RubberClick(2, 8, 0));
        EXPECT_DOUBLE_EQ(r->FRadiusA, 8);
        rubber->RubberMove(2, 0, 2);
        EXPECT_DOUBLE_EQ(r->FRadiusA, 8);
        EXPECT_DOUBLE_EQ(r->FRadiusB, 2);
        EXPECT_TRUE(rubber->RubberClick(3, 0, 3));
        auto ellipse = CommitRubber(TEllipse::StaticClass(), &doc, layer, rubber.get());
        auto* e = As<TEllipse>(ellipse);
        ASSERT_NE(e, nullptr);
        EXPECT_DOUBLE_EQ(e->FRadiusA, 8);
        EXPECT_DOUBLE_EQ(e->FRadiusB, 3);
        EXPECT_DOUBLE_EQ(e->FAngle, 0);
        expectDefaults(*e);
    }
    {
        SCOPED_TRACE("arc: three clicks, the document's arc style");
        auto rubber = CreateRubber(TArc::StaticClass(), 0, 0);
        auto* r = As<TArc>(rubber);
        ASSERT_NE(r, nullptr);
        rubber->RubberMove(1, 0, 5);
        EXPECT_DOUBLE_EQ(r->Radius(), 5);
        EXPECT_DOUBLE_EQ(r->FStartAngle, Pi / 2);
        EXPECT_DOUBLE_EQ(r->FEndAngle, Pi / 2);
        EXPECT_FALSE(rubber->RubberClick(2, 10, 0));
        EXPECT_DOUBLE_EQ(r->FStartAngle, 0);
        rubber->RubberMove(2, -1, 0);
        EXPECT_DOUBLE_EQ(r->FEndAngle, Pi);
        EXPECT_DOUBLE_EQ(r->Radius(), 10);
        EXPECT_TRUE(rubber->RubberClick(3, 0, -3));
        auto arc = CommitRubber(TArc::StaticClass(), &doc, layer, rubber.get());
        auto* a = As<TArc>(arc);
        ASSERT_NE(a, nullptr);
        EXPECT_DOUBLE_EQ(a->FStartAngle, 0);
        EXPECT_DOUBLE_EQ(a->FEndAngle, 3 * Pi / 2);
        EXPECT_EQ(a->FArcStyle, TArcStyle::asPie);
        expectDefaults(*a);
    }
    {
        SCOPED_TRACE("elliptical arc: four clicks");
        auto rubber = CreateRubber(TElpArc::StaticClass(), 0, 0);
        auto* r = As<TElpArc>(rubber);
        ASSERT_NE(r, nullptr);
        EXPECT_DOUBLE_EQ(r->FRadiusA, 0.1);
        EXPECT_DOUBLE_EQ(r->FRadiusB, 0.1);
        EXPECT_FALSE(rubber->RubberClick(2, 10, 0));
        EXPECT_DOUBLE_EQ(r->FRadiusA, 10);
        EXPECT_DOUBLE_EQ(r->FRadiusB, 10);
        EXPECT_FALSE(rubber->RubberClick(3, 0, 4));
        EXPECT_DOUBLE_EQ(r->FRadiusB, 4);
        EXPECT_DOUBLE_EQ(r->FStartAngle, Pi / 2);
        EXPECT_DOUBLE_EQ(r->FEndAngle, Pi / 2);
        rubber->RubberMove(3, -2, 0);
        EXPECT_DOUBLE_EQ(r->FEndAngle, Pi);
        EXPECT_TRUE(rubber->RubberClick(4, 0, -1));
        auto arc = CommitRubber(TElpArc::StaticClass(), &doc, layer, rubber.get());
        auto* a = As<TElpArc>(arc);
        ASSERT_NE(a, nullptr);
        EXPECT_DOUBLE_EQ(a->FRadiusA, 10);
        EXPECT_DOUBLE_EQ(a->FRadiusB, 4);
        EXPECT_DOUBLE_EQ(a->FStartAngle, Pi / 2);
        EXPECT_DOUBLE_EQ(a->FEndAngle, 3 * Pi / 2);
        EXPECT_EQ(a->FArcStyle, TArcStyle::asPie);
        expectDefaults(*a);
    }
    {
        SCOPED_TRACE("spiral: two clicks like a line");
        auto rubber = CreateRubber(THellical::StaticClass(), 1, 1);
        ASSERT_NE(As<THellical>(rubber), nullptr);
        rubber->RubberMove(1, 4, 5);
        EXPECT_EQ(rubber->GetPoint(2), DoublePoint(4, 5));
        EXPECT_TRUE(rubber->RubberClick(2, 6, 1));
        auto spiral = CommitRubber(THellical::StaticClass(), &doc, layer, rubber.get());
        ASSERT_NE(As<THellical>(spiral), nullptr);
        EXPECT_EQ(spiral->GetPoint(2), DoublePoint(6, 1));
        EXPECT_EQ(spiral->FPenWidth, 4);
        EXPECT_EQ(spiral->FPenColor, 0x112233);
    }
}

TEST(RoundRubber, UserVariantsKeepTheDocumentsUserFigureName) {
    TFakeDocument doc;
    doc.UserName = QStringLiteral("Schraube");
    for (const TFigureClass* cls : {&TUserCircle::StaticClass(), &TUserEllipse::StaticClass(), &TUserArc::StaticClass()}) {
        SCOPED_TRACE(cls->Name.toStdString());
        auto rubber = CreateRubber(*cls, 0, 0);
        ASSERT_NE(rubber, nullptr);
        for (int click = 2; click <= 3; ++click)
            if (rubber->RubberClick(click, 5, click)) break;
        auto figure = CommitRubber(*cls, &doc, doc.LayerAt(0), rubber.get());
        ASSERT_NE(figure, nullptr);
        EXPECT_EQ(&figure->Class(), cls);
        EXPECT_EQ(figure->FCName, QStringLiteral("Schraube"));
    }
}

// --- pop-up items ---

class TRecordingMenu : public TPopupMenuBuilder {
public:
    struct TItem {
        QString Caption;
        int Tag;
        bool Checked;
    };
    void AddItem(const QString& caption, int tag, bool checked, bool) override { Items.push_back({caption, tag, checked}); }
    std::vector<TItem> Items;
};

TEST(RoundPopup, ArcItemsSetTheStyleAndInvert) {
    for (bool elliptic : {false, true}) {
        SCOPED_TRACE(elliptic ? "TElpArc" : "TArc");
        std::unique_ptr<TRoundArc> arc;
        if (elliptic) arc = TElpArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 5, 0, 0, 1, TArcStyle::asChord);
        else arc = TArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 0, 1, TArcStyle::asChord);
        TRecordingMenu menu;
        int nextTag = 40;
        arc->AddPopupItems(menu, nextTag);
        EXPECT_EQ(nextTag, 44);
        ASSERT_EQ(menu.Items.size(), 4u);
        const char* captions[] = {"Bogen öffnen", "Pie Arc", "fmChordArc", "Bogen invertieren"};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(menu.Items[static_cast<std::size_t>(i)].Caption, QString::fromUtf8(captions[i]));
            EXPECT_EQ(menu.Items[static_cast<std::size_t>(i)].Tag, 40 + i);
            EXPECT_EQ(menu.Items[static_cast<std::size_t>(i)].Checked, i == 2);
        }
        arc->PopupItemClicked(41);
        EXPECT_EQ(arc->ArcStyle(), TArcStyle::asPie);
        arc->PopupItemClicked(40);
        EXPECT_EQ(arc->ArcStyle(), TArcStyle::asOpen);
        arc->PopupItemClicked(43);
        EXPECT_DOUBLE_EQ(arc->StartAngle(), 1);
        EXPECT_DOUBLE_EQ(arc->EndAngle(), 0);
        arc->PopupItemClicked(42);
        EXPECT_EQ(arc->ArcStyle(), TArcStyle::asChord);
    }
}

// --- drawing ---

TEST(RoundDraw, CurvesGoThroughTheBezierPathAndCirclesThroughPaintCircle) {
    TFakeDocument doc;
    TRecordingEngine& engine = doc.EngineInstance;
    auto circle = TCircle::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 5);
    circle->Draw(engine, false);
    EXPECT_EQ(engine.Calls, std::vector<QString>{QStringLiteral("PaintCircle")});

    engine.Calls.clear();
    auto ellipse = TEllipse::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 10, 5, 0);
    ellipse->SetInCombined(true);
    ellipse->Draw(engine, false);
    ASSERT_EQ(engine.Calls, std::vector<QString>{QStringLiteral("DrawBezierPath")});
    EXPECT_TRUE(engine.LastBezierPath.Closed);
    EXPECT_TRUE(engine.LastBezierPath.Open); // drawn open inside a combined group
    EXPECT_EQ(engine.LastBezierPath.Pattern, nullptr);
    EXPECT_EQ(engine.LastBezierPath.Points.size(), 13u);

    auto open = TArc::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 10, 0, Pi / 2);
    open->Draw(engine, false);
    EXPECT_FALSE(engine.LastBezierPath.Closed);
    EXPECT_FALSE(engine.LastBezierPath.Open);
    EXPECT_EQ(engine.LastBezierPath.Points.size(), 4u);

    auto pie = TArc::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 10, 0, Pi / 2, TArcStyle::asPie);
    pie->Draw(engine, false);
    const TDoublePointArr& p = engine.LastBezierPath.Points;
    ASSERT_EQ(p.size(), 10u);
    EXPECT_TRUE(engine.LastBezierPath.Closed);
    EXPECT_EQ(p[4], p[3]);
    for (int i = 5; i <= 7; ++i) EXPECT_EQ(p[static_cast<std::size_t>(i)], DoublePoint(0, 0));
    EXPECT_EQ(p[8], p[0]);
    EXPECT_EQ(p[9], p[0]);

    auto chord = TElpArc::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 10, 5, 0, 0, Pi, TArcStyle::asChord);
    chord->Draw(engine, false);
    ASSERT_EQ(engine.LastBezierPath.Points.size(), 10u);
    EXPECT_EQ(engine.LastBezierPath.Points.back(), engine.LastBezierPath.Points.front());

    // An open elliptical arc all the way round is closed (and so filled).
    auto full = TElpArc::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 10, 5, 0, 1, 1);
    full->Draw(engine, false);
    EXPECT_TRUE(engine.LastBezierPath.Closed);

    // The arc's end points are its points 2 and 3, also when a caller moved them.
    pie->SetPoint(2, DoublePoint(99, 99));
    pie->Draw(engine, false);
    EXPECT_POINT_NEAR(pie->GetPoint(2), 10, 0, 1e-4);
    EXPECT_POINT_NEAR(engine.LastBezierPath.Points.front(), 10, 0, 1e-9);

    engine.Calls.clear();
    auto spiral = THellical::Create(doc.LayerAt(0), &doc, true, 0, 0, 2, 0);
    spiral->Draw(engine, false);
    ASSERT_EQ(engine.Calls, std::vector<QString>{QStringLiteral("DrawBezierPath")});
    EXPECT_EQ(engine.LastBezierPath.Points, spiral->BuildSpiralPath());
    EXPECT_FALSE(engine.LastBezierPath.Closed);

    engine.Calls.clear();
    TCircle::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 0)->Draw(engine, false);
    TEllipse::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 0, 0, 0)->Draw(engine, false);
    EXPECT_TRUE(engine.Calls.empty());
}

TEST(RoundDraw, CircleMarksItsCentreAmongTheExtras) {
    TFakeDocument doc;
    auto circle = TCircle::Create(doc.LayerAt(0), &doc, true, DoublePoint(3, 4), 5);
    circle->DrawExtras(doc.EngineInstance);
    ASSERT_EQ(doc.EngineInstance.Markers.size(), 1u);
    EXPECT_EQ(doc.EngineInstance.Markers[0].Color, kRed);
    EXPECT_DOUBLE_EQ(doc.EngineInstance.Markers[0].HalfSize, 3);
    EXPECT_EQ(doc.EngineInstance.Markers[0].P, DoublePoint(3, 4));
}

// --- user-drawn variants ---

TEST(RoundUser, DrawingAndHitTestingAreOfferedToTheDocumentFirst) {
    TFakeDocument doc;
    std::vector<std::unique_ptr<TFigure>> figures;
    for (const TFigureClass* cls : {&TUserCircle::StaticClass(), &TUserEllipse::StaticClass(), &TUserArc::StaticClass()})
        figures.push_back(NewFigure(*cls, doc.LayerAt(0), &doc));
    static_cast<TCircle*>(figures[0].get())->SetCircle(DoublePoint(0, 0), 5);
    static_cast<TEllipse*>(figures[1].get())->SetEllipse(DoublePoint(0, 0), 5, 5, 0);
    static_cast<TArc*>(figures[2].get())->SetArc(DoublePoint(0, 0), 5, 0, Pi);
    const QString names[] = {QStringLiteral("UserCircle"), QStringLiteral("UserEllipse"), QStringLiteral("UserArc")};
    for (std::size_t i = 0; i < figures.size(); ++i) {
        TFigure& f = *figures[i];
        SCOPED_TRACE(names[i].toStdString());
        EXPECT_EQ(f.GetTypeName(), names[i]);
        f.FCName = QStringLiteral("Custom");
        doc.EngineInstance.Calls.clear();
        doc.UserDrawResult = true;
        f.Draw(doc.EngineInstance, false);
        EXPECT_TRUE(doc.EngineInstance.Calls.empty());
        ASSERT_FALSE(doc.UserDrawCalls.empty());
        EXPECT_EQ(doc.UserDrawCalls.back(), std::make_pair(&f, QStringLiteral("Custom")));
        doc.UserDrawResult = false;
        f.Draw(doc.EngineInstance, false);
        EXPECT_FALSE(doc.EngineInstance.Calls.empty());

        doc.UserHitTestResult = true;
        EXPECT_TRUE(f.HitTest(100, 100));
        doc.UserHitTestResult = false;
        EXPECT_FALSE(f.HitTest(5, 0));
        doc.UserHitTestResult.reset();
        EXPECT_TRUE(f.HitTest(5, 0));
        EXPECT_FALSE(f.HitTest(100, 100));
    }
}

TEST(RoundTypeNames, EveryClassNamesItsType) {
    EXPECT_EQ(TCircle::Create(nullptr, nullptr, true, DoublePoint(0, 0), 1)->GetTypeName(), QStringLiteral("Circle"));
    EXPECT_EQ(TEllipse::Create(nullptr, nullptr, true, DoublePoint(0, 0), 1, 1, 0)->GetTypeName(),
              QStringLiteral("Ellipse"));
    EXPECT_EQ(TArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 1, 0, 1)->GetTypeName(), QStringLiteral("Arc"));
    EXPECT_EQ(TElpArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 1, 1, 0, 0, 1)->GetTypeName(),
              QStringLiteral("ElpArc"));
    EXPECT_EQ(TCircle::StaticClass().ShapeKind, 3);
    EXPECT_EQ(TEllipse::StaticClass().ShapeKind, 0);
    EXPECT_EQ(THellical::StaticClass().ShapeKind, 1);
}

} // namespace
