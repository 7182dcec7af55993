// Round figures: the arc angle test, offsets, Bézier conversion, cutting,
// scaling a circle into an ellipse, transformations of arcs that were never
// drawn, hit tests and bounds, and the half-circle spiral.
#include "RoundTestSupport.h"

#include "model/Geometry.h"
#include "model/Pattern.h"
#include "model/RoundGeometry.h"

#include <algorithm>
#include <numbers>

using namespace round_test;

namespace {

constexpr double Pi = std::numbers::pi;

// --- the arc angle test ---

TEST(RoundArcAngles, AngleTestFollowsTheRunningDirection) {
    struct TCase {
        double Start, End, Angle;
        bool On;
    };
    const TCase cases[] = {
        {3 * Pi / 2, Pi / 2, 0, true},      {3 * Pi / 2, Pi / 2, Pi, false}, // wraps through 0
        {Pi / 2, 3 * Pi / 2, Pi, true},     {Pi / 2, 3 * Pi / 2, 0, false},
        {1, 1, 4, true},                                                      // equal angles: a full turn
        {3 * Pi / 2, Pi / 2, 3 * Pi / 2, true}, {3 * Pi / 2, Pi / 2, Pi / 2, true}, // the ends belong to it
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Start << " → " << c.End << " at " << c.Angle);
        EXPECT_EQ(AngleOnArc(c.Start, c.End, c.Angle), c.On);
    }
    EXPECT_DOUBLE_EQ(MiddleAngle(0, Pi), Pi / 2);
    EXPECT_DOUBLE_EQ(MiddleAngle(3 * Pi / 2, Pi / 2), 2 * Pi);
    EXPECT_DOUBLE_EQ(NormalAngle(-Pi / 2), 3 * Pi / 2);
    EXPECT_DOUBLE_EQ(NormalAngle(2 * Pi), 0);
}

TEST(RoundArcAngles, InvertingTwiceRestoresTheArc) {
    auto arc = TArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 3 * Pi / 2, Pi / 2);
    EXPECT_TRUE(arc->ContainsAngle(0));
    EXPECT_FALSE(arc->ContainsAngle(Pi));
    const TDoublePoint start = arc->GetPoint(2), end = arc->GetPoint(3);
    arc->InvertArc();
    EXPECT_TRUE(arc->ContainsAngle(Pi));
    EXPECT_FALSE(arc->ContainsAngle(0));
    EXPECT_EQ(arc->GetPoint(2), end);
    arc->InvertArc();
    EXPECT_DOUBLE_EQ(arc->FStartAngle, 3 * Pi / 2);
    EXPECT_DOUBLE_EQ(arc->FEndAngle, Pi / 2);
    EXPECT_EQ(arc->GetPoint(2), start);
    EXPECT_EQ(arc->GetPoint(3), end);
}

// --- offsets ---

TEST(RoundOffset, DistanceShrinksOrGrowsByTheZeroCorner) {
    struct TCase {
        TVertZero Zero;
        double Distance;
        double Expected; // radius, or A (B is 4 less)
    };
    const TCase cases[] = {{TVertZero::vzTop, 2, 8}, {TVertZero::vzBottom, 2, 12}, {TVertZero::vzTop, -3, 13}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "zero " << static_cast<int>(c.Zero) << " d " << c.Distance);
        TFakeDocument doc;
        doc.VertZero = c.Zero;
        TLayer* layer = doc.LayerAt(0);
        auto circle = TCircle::Create(layer, &doc, true, DoublePoint(5, 5), 10, 2, 0xFF, 1, 0x00FF00, 0);
        auto offset = Own<TCircle>(circle->CreateOffsetFigure(c.Distance).release());
        ASSERT_NE(offset, nullptr);
        EXPECT_DOUBLE_EQ(offset->Radius(), c.Expected);
        EXPECT_EQ(offset->Centre(), circle->Centre());
        EXPECT_EQ(offset->FPenColor, 0xFF);
        EXPECT_EQ(offset->FBrushColor, 0x00FF00);
        EXPECT_TRUE(offset->FPersistent);

        auto ellipse = TEllipse::Create(layer, &doc, true, DoublePoint(0, 0), 10, 6, Pi / 4);
        auto e = Own<TEllipse>(ellipse->CreateOffsetFigure(c.Distance).release());
        ASSERT_NE(e, nullptr);
        EXPECT_DOUBLE_EQ(e->FRadiusA, c.Expected);
        EXPECT_DOUBLE_EQ(e->FRadiusB, c.Expected - 4);
        EXPECT_DOUBLE_EQ(e->FAngle, Pi / 4);

        auto arc = TArc::Create(layer, &doc, true, DoublePoint(0, 0), 10, 1, 2, TArcStyle::asPie);
        auto a = Own<TArc>(arc->CreateOffsetFigure(c.Distance).release());
        ASSERT_NE(a, nullptr);
        EXPECT_DOUBLE_EQ(a->Radius(), c.Expected);
        EXPECT_EQ(a->FArcStyle, TArcStyle::asPie);
        EXPECT_DOUBLE_EQ(a->FStartAngle, 1);

        auto elp = TElpArc::Create(layer, &doc, true, DoublePoint(0, 0), 10, 6, 0, 1, 2);
        auto ea = Own<TElpArc>(elp->CreateOffsetFigure(c.Distance).release());
        ASSERT_NE(ea, nullptr);
        EXPECT_DOUBLE_EQ(ea->FRadiusA, c.Expected);
        EXPECT_DOUBLE_EQ(ea->FRadiusB, c.Expected - 4);
    }
}

TEST(RoundOffset, NoFigureWhereARadiusWouldVanish) {
    TFakeDocument doc; // vzTop: a positive distance shrinks
    EXPECT_EQ(TCircle::Create(nullptr, &doc, true, DoublePoint(0, 0), 2)->CreateOffsetFigure(2), nullptr);
    EXPECT_EQ(TEllipse::Create(nullptr, &doc, true, DoublePoint(0, 0), 10, 2, 0)->CreateOffsetFigure(3), nullptr);
    EXPECT_EQ(TArc::Create(nullptr, &doc, true, DoublePoint(0, 0), 1, 0, 1)->CreateOffsetFigure(5), nullptr);
    EXPECT_EQ(TElpArc::Create(nullptr, &doc, true, DoublePoint(0, 0), 3, 9, 0, 0, 1)->CreateOffsetFigure(3), nullptr);
    EXPECT_EQ(THellical::Create(nullptr, &doc, true, 0, 0, 5, 0)->CreateOffsetFigure(1), nullptr);
}

// --- Bézier conversion ---

TEST(RoundBezier, CircleBecomesAClosedFourNodePolyline) {
    auto circle = TCircle::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 2, 0xFF, 0, 0x00FF00, 0);
    auto converted = circle->ConvertToBezier();
    auto* polyline = dynamic_cast<TPolyline*>(converted.get());
    ASSERT_NE(polyline, nullptr);
    EXPECT_TRUE(polyline->Closed());
    ASSERT_EQ(polyline->NodeCount(), 4);
    EXPECT_POINT_NEAR(polyline->GetPoint(1), 10, 0, 1e-9);
    EXPECT_POINT_NEAR(polyline->GetPoint(2), 0, 10, 1e-9);
    EXPECT_POINT_NEAR(polyline->GetPoint(3), -10, 0, 1e-9);
    EXPECT_POINT_NEAR(polyline->GetPoint(4), 0, -10, 1e-9);
    // Every segment a quarter circle: controls on the tangents, 0.5523·r out.
    const double k = 4.0 / 3.0 * std::tan(Pi / 8) * 10;
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(polyline->GetSegmentKind(i), 1);
    EXPECT_POINT_NEAR(polyline->Segment(1)->Ctrl1, 10, k, 1e-9);
    EXPECT_POINT_NEAR(polyline->Segment(1)->Ctrl2, k, 10, 1e-9);
    EXPECT_POINT_NEAR(polyline->Segment(4)->Ctrl2, 10, -k, 1e-9);
    EXPECT_EQ(polyline->FPenColor, 0xFF);
    EXPECT_EQ(polyline->FBrushStyle, 0);
    EXPECT_EQ(TCircle::Create(nullptr, nullptr, true, DoublePoint(0, 0), 0)->ConvertToBezier(), nullptr);
}

TEST(RoundBezier, EllipseAndArcsConvertAlongTheirCurves) {
    auto ellipse = TEllipse::Create(nullptr, nullptr, true, DoublePoint(5, 5), 10, 4, Pi / 2);
    auto e = ellipse->ConvertToBezier();
    auto* ep = dynamic_cast<TPolyline*>(e.get());
    ASSERT_NE(ep, nullptr);
    EXPECT_TRUE(ep->Closed());
    ASSERT_EQ(ep->NodeCount(), 4);
    EXPECT_POINT_NEAR(ep->GetPoint(1), 5, 15, 1e-9); // the A end, turned up
    EXPECT_POINT_NEAR(ep->GetPoint(2), 1, 5, 1e-9);

    auto arc = TArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 0, Pi);
    auto a = arc->ConvertToBezier();
    auto* ap = dynamic_cast<TPolyline*>(a.get());
    ASSERT_NE(ap, nullptr);
    EXPECT_FALSE(ap->Closed());
    EXPECT_POINT_NEAR(ap->FirstPoint(), 10, 0, 1e-9);
    EXPECT_POINT_NEAR(ap->LastPoint(), -10, 0, 1e-9);

    auto elp = TElpArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 5, 0, 0, Pi / 2);
    auto ea = elp->ConvertToBezier();
    auto* eap = dynamic_cast<TPolyline*>(ea.get());
    ASSERT_NE(eap, nullptr);
    EXPECT_POINT_NEAR(eap->FirstPoint(), 10, 0, 1e-9);
    EXPECT_POINT_NEAR(eap->LastPoint(), 0, 5, 1e-9);

    EXPECT_EQ(THellical::Create(nullptr, nullptr, true, 0, 0, 5, 0)->ConvertToBezier(), nullptr);
}

TEST(RoundBezier, VectorsOfCircleAndEllipse) {
    std::vector<TVectorObject> list;
    TCircle::Create(nullptr, nullptr, true, DoublePoint(10, 20), 3)->CollectVectors(list, DoublePoint(1, 2));
    TEllipse::Create(nullptr, nullptr, true, DoublePoint(5, 5), 8, 2, 0)->CollectVectors(list, DoublePoint(5, 0));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], (TVectorObject{TVectorObject::Circle, {DoublePoint(9, 18), DoublePoint(3, 0)}}));
    EXPECT_EQ(list[1], (TVectorObject{TVectorObject::Ellipse, {DoublePoint(0, 5), DoublePoint(8, 2)}}));
}

// --- cutting ---

TEST(RoundCutting, CrossingsWithACuttingSegment) {
    struct TCase {
        const char* Name;
        std::unique_ptr<TFigure> Figure;
        TDoublePoint A, B;
        TDoublePointArr Expected;
    };
    const double s = std::sqrt(75.0);
    std::vector<TCase> cases;
    cases.push_back({"circle, through", TCircle::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10),
                     DoublePoint(-20, 0), DoublePoint(20, 0), {DoublePoint(-10, 0), DoublePoint(10, 0)}});
    cases.push_back({"circle, one end inside", TCircle::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10),
                     DoublePoint(0, 0), DoublePoint(20, 0), {DoublePoint(10, 0)}});
    cases.push_back({"circle, tangent", TCircle::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10),
                     DoublePoint(-20, 10), DoublePoint(20, 10), {DoublePoint(0, 10)}});
    cases.push_back({"circle, missed", TCircle::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10),
                     DoublePoint(-20, 11), DoublePoint(20, 11), {}});
    cases.push_back({"ellipse turned upright", TEllipse::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 5, Pi / 2),
                     DoublePoint(-20, 0), DoublePoint(20, 0), {DoublePoint(-5, 0), DoublePoint(5, 0)}});
    cases.push_back({"arc, first quarter", TArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 0, Pi / 2),
                     DoublePoint(-20, 5), DoublePoint(20, 5), {DoublePoint(s, 5)}});
    cases.push_back({"elliptical arc, upper half",
                     TElpArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 5, 0, 0, Pi),
                     DoublePoint(0, -20), DoublePoint(0, 20), {DoublePoint(0, 5)}});
    for (TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDoublePointArr points;
        EXPECT_EQ(c.Figure->IntersectLine(c.A, c.B, points), !c.Expected.empty());
        ASSERT_EQ(points.size(), c.Expected.size());
        for (std::size_t i = 0; i < points.size(); ++i) EXPECT_POINT_NEAR(points[i], c.Expected[i].X, c.Expected[i].Y, 1e-9);
    }
}

TEST(RoundCutting, SplittingACircleGivesOneArcAllTheWayRound) {
    TFakeDocument doc;
    auto circle = TCircle::Create(doc.LayerAt(0), &doc, true, DoublePoint(0, 0), 10, 2, 0xFF, 0);
    std::vector<TFigure*> list;
    EXPECT_FALSE(circle->SplitAtPoint(DoublePoint(0, 5), list));
    const TDoublePoint p = DoublePoint(0, -10);
    ASSERT_TRUE(circle->SplitAtPoint(p, list));
    ASSERT_EQ(list.size(), 1u);
    auto arc = Own<TArc>(list[0]);
    ASSERT_NE(arc, nullptr);
    EXPECT_DOUBLE_EQ(arc->FStartAngle, 3 * Pi / 2);
    EXPECT_DOUBLE_EQ(arc->FEndAngle, 3 * Pi / 2);
    EXPECT_TRUE(arc->IsFullTurn());
    EXPECT_DOUBLE_EQ(arc->Radius(), 10);
    EXPECT_EQ(arc->FPenColor, 0xFF);
    EXPECT_EQ(arc->FArcStyle, TArcStyle::asOpen);
    EXPECT_POINT_NEAR(arc->GetPoint(2), 0, -10, 1e-4);

    // A user circle gives a user arc that keeps its custom name.
    auto user = NewFigure(TUserCircle::StaticClass(), nullptr, nullptr);
    static_cast<TCircle*>(user.get())->SetCircle(DoublePoint(0, 0), 10);
    user->FCName = QStringLiteral("Rad");
    std::vector<TFigure*> userList;
    ASSERT_TRUE(user->SplitAtPoint(DoublePoint(10, 0), userList));
    auto userArc = Own<TUserArc>(userList[0]);
    ASSERT_NE(userArc, nullptr);
    EXPECT_EQ(userArc->FCName, QStringLiteral("Rad"));
}

TEST(RoundCutting, KnifeThroughACircleGivesTwoArcs) {
    auto circle = TCircle::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10);
    std::vector<TFigure*> list;
    ASSERT_TRUE(circle->CutByLine(DoublePoint(-20, 0), DoublePoint(20, 0), list));
    ASSERT_EQ(list.size(), 2u);
    std::vector<std::unique_ptr<TArc>> arcs;
    for (TFigure* f : list) arcs.push_back(Own<TArc>(f));
    ASSERT_TRUE(arcs[0] && arcs[1]);
    // The halves: from π to 0 and from 0 to π, in either order.
    std::vector<std::pair<double, double>> angles = {{arcs[0]->FStartAngle, arcs[0]->FEndAngle},
                                                     {arcs[1]->FStartAngle, arcs[1]->FEndAngle}};
    std::sort(angles.begin(), angles.end());
    EXPECT_NEAR(angles[0].first, 0, 1e-12);
    EXPECT_NEAR(angles[0].second, Pi, 1e-12);
    EXPECT_NEAR(angles[1].first, Pi, 1e-12);
    EXPECT_NEAR(angles[1].second, 0, 1e-12);
}

TEST(RoundCutting, SplittingArcsAndEllipses) {
    auto arc = TArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 0, Pi, TArcStyle::asChord);
    std::vector<TFigure*> list;
    EXPECT_FALSE(arc->SplitAtPoint(DoublePoint(0, -10), list)); // on the circle, not on the arc
    EXPECT_FALSE(arc->SplitAtPoint(DoublePoint(10, 0), list));  // its own end
    ASSERT_TRUE(arc->SplitAtPoint(DoublePoint(0, 10), list));
    ASSERT_EQ(list.size(), 2u);
    auto first = Own<TArc>(list[0]);
    auto second = Own<TArc>(list[1]);
    EXPECT_DOUBLE_EQ(first->FStartAngle, 0);
    EXPECT_DOUBLE_EQ(first->FEndAngle, Pi / 2);
    EXPECT_DOUBLE_EQ(second->FStartAngle, Pi / 2);
    EXPECT_DOUBLE_EQ(second->FEndAngle, Pi);
    EXPECT_EQ(second->FArcStyle, TArcStyle::asChord);

    auto ellipse = TEllipse::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 5, Pi / 2);
    std::vector<TFigure*> pieces;
    ASSERT_TRUE(ellipse->SplitAtPoint(DoublePoint(-5, 0), pieces)); // the +B end of the upright ellipse
    ASSERT_EQ(pieces.size(), 1u);
    auto elp = Own<TElpArc>(pieces[0]);
    ASSERT_NE(elp, nullptr);
    EXPECT_NEAR(elp->FStartAngle, Pi / 2, 1e-12);
    EXPECT_TRUE(elp->IsFullTurn());
    EXPECT_NEAR(elp->FAngle, Pi / 2, 1e-12);
    EXPECT_POINT_NEAR(elp->GetPoint(2), -5, 0, 1e-4);

    std::vector<TFigure*> halves;
    ASSERT_TRUE(elp->SplitAtPoint(DoublePoint(5, 0), halves));
    ASSERT_EQ(halves.size(), 2u);
    auto h1 = Own<TElpArc>(halves[0]);
    auto h2 = Own<TElpArc>(halves[1]);
    EXPECT_NEAR(h1->FEndAngle, 3 * Pi / 2, 1e-12);
    EXPECT_NEAR(h2->FStartAngle, 3 * Pi / 2, 1e-12);
}

// --- scaling a circle ---

class RoundScaling : public testing::Test {
protected:
    TCircle* AddCircle(double radius) {
        auto circle = TCircle::Create(Doc.LayerAt(0), &Doc, true, DoublePoint(10, 10), radius, 2, 0xFF, 0, 0xAA, 0);
        TCircle* raw = circle.get();
        Doc.Owned.push_back(std::move(circle));
        Doc.Figures.push_back(raw);
        return raw;
    }
    TFakeDocument Doc;
};

TEST_F(RoundScaling, UnevenFactorsReplaceTheCircleByAnEllipseInItsPlace) {
    auto line = TLine::Create(1, &Doc, true, Doc.LayerAt(0), TRowStyle::rsNone, 0, 0, 0, 0, 1, 1);
    Doc.Figures.push_back(line.get());
    Doc.Owned.push_back(std::move(line));
    TCircle* circle = AddCircle(10);
    TFigure* figure = circle;
    figure->Scale(DoublePoint(10, 10), 2, 1);
    ASSERT_EQ(Doc.Owned.size(), 2u);
    auto* ellipse = dynamic_cast<TEllipse*>(Doc.Owned[1].get());
    ASSERT_NE(ellipse, nullptr);
    EXPECT_EQ(Doc.Figures[1], ellipse);
    EXPECT_DOUBLE_EQ(ellipse->FRadiusA, 20);
    EXPECT_DOUBLE_EQ(ellipse->FRadiusB, 10);
    EXPECT_DOUBLE_EQ(ellipse->FAngle, 0);
    EXPECT_EQ(ellipse->Centre(), DoublePoint(10, 10));
    EXPECT_EQ(ellipse->FPenColor, 0xFF);
    EXPECT_EQ(ellipse->FBrushColor, 0xAA);
    EXPECT_EQ(ellipse->FDrawing, &Doc);
    // The circle lives on, unchanged, for undo.
    ASSERT_EQ(Doc.Disposed.size(), 1u);
    EXPECT_EQ(Doc.Disposed[0].get(), circle);
    EXPECT_DOUBLE_EQ(circle->Radius(), 10);
}

TEST_F(RoundScaling, EvenFactorsAndRefusedReplacementsScaleTheRadius) {
    TCircle* circle = AddCircle(10);
    circle->Scale(DoublePoint(0, 0), 2, 2);
    EXPECT_DOUBLE_EQ(circle->Radius(), 20);
    EXPECT_EQ(circle->Centre(), DoublePoint(20, 20));
    circle->Scale(DoublePoint(0, 0), -1, 1); // a mirror: still a circle
    EXPECT_DOUBLE_EQ(circle->Radius(), 20);
    EXPECT_TRUE(Doc.Disposed.empty());

    // Not in the document's list: the document refuses, the base scaling applies.
    auto loose = TCircle::Create(Doc.LayerAt(0), &Doc, true, DoublePoint(0, 0), 10);
    loose->Scale(DoublePoint(0, 0), 2, 3);
    EXPECT_DOUBLE_EQ(loose->Radius(), 30);
    // Without a document likewise.
    auto free = TCircle::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10);
    free->Scale(DoublePoint(0, 0), 3, 0.5);
    EXPECT_DOUBLE_EQ(free->Radius(), 5);
}

TEST_F(RoundScaling, UserCircleBecomesAUserEllipse) {
    auto user = NewFigure(TUserCircle::StaticClass(), Doc.LayerAt(0), &Doc);
    static_cast<TCircle*>(user.get())->SetCircle(DoublePoint(0, 0), 4);
    user->FCName = QStringLiteral("Nabe");
    TFigure* raw = user.get();
    Doc.Owned.push_back(std::move(user));
    raw->Scale(DoublePoint(0, 0), 1, 2);
    auto* ellipse = dynamic_cast<TUserEllipse*>(Doc.Owned[0].get());
    ASSERT_NE(ellipse, nullptr);
    EXPECT_EQ(ellipse->FCName, QStringLiteral("Nabe"));
    EXPECT_DOUBLE_EQ(ellipse->FRadiusA, 4);
    EXPECT_DOUBLE_EQ(ellipse->FRadiusB, 8);
}

// --- transformations without a draw ---

struct TArcMove {
    const char* Name;
    void (*Apply)(TFigure& figure);
    TDoublePoint Start, End; // where points 2 and 3 must be afterwards
};

TEST(RoundTransform, ArcEndPointsFollowEveryTransformationWithoutADraw) {
    // Centre (10, 0), radius 5, from (15, 0) to (10, 5).
    const TArcMove moves[] = {
        {"rotate a quarter turn about the origin",
         [](TFigure& f) { f.Rotate(DoublePoint(0, 0), Pi / 2); }, DoublePoint(0, 15), DoublePoint(-5, 10)},
        {"rotate twice", [](TFigure& f) { f.Rotate(DoublePoint(0, 0), Pi / 2); f.Rotate(DoublePoint(0, 0), Pi / 2); },
         DoublePoint(-15, 0), DoublePoint(-10, -5)},
        {"mirror in the X axis", [](TFigure& f) { f.Mirror(DoublePoint(0, 0), DoublePoint(1, 0)); },
         DoublePoint(10, -5), DoublePoint(15, 0)},
        {"mirror in a diagonal", [](TFigure& f) { f.Mirror(DoublePoint(0, 0), DoublePoint(1, 1)); },
         DoublePoint(5, 10), DoublePoint(0, 15)},
        {"scale by 2", [](TFigure& f) { f.Scale(DoublePoint(0, 0), 2, 2); }, DoublePoint(30, 0), DoublePoint(20, 10)},
        {"scale by (−1, 1)", [](TFigure& f) { f.Scale(DoublePoint(0, 0), -1, 1); }, DoublePoint(-10, 5),
         DoublePoint(-15, 0)},
        {"move", [](TFigure& f) { f.Move(1, 2); }, DoublePoint(16, 2), DoublePoint(11, 7)},
    };
    for (const TArcMove& m : moves) {
        SCOPED_TRACE(m.Name);
        auto arc = TArc::Create(nullptr, nullptr, true, DoublePoint(10, 0), 5, 0, Pi / 2);
        m.Apply(*arc);
        EXPECT_POINT_NEAR(arc->GetPoint(2), m.Start.X, m.Start.Y, 1e-4);
        EXPECT_POINT_NEAR(arc->GetPoint(3), m.End.X, m.End.Y, 1e-4);
        const TDoublePoint c = arc->Centre();
        EXPECT_NEAR(AngleOf(c, m.Start), arc->FStartAngle, 1e-9);
        EXPECT_NEAR(AngleOf(c, m.End), arc->FEndAngle, 1e-9);
        EXPECT_GE(arc->FStartAngle, 0);
        EXPECT_LT(arc->FStartAngle, 2 * Pi);
        // The path drawn from the angles ends on the points.
        const TDoublePointArr path = arc->BuildArcPath();
        EXPECT_POINT_NEAR(path.front(), m.Start.X, m.Start.Y, 1e-4);
        EXPECT_POINT_NEAR(path.back(), m.End.X, m.End.Y, 1e-4);
    }
}

TEST(RoundTransform, EllipticalArcFrameFollowsTheTransformation) {
    // Centre (0, 0), A 10, B 5, angle 0, from (10, 0) to (0, 5).
    const TArcMove moves[] = {
        {"rotate a quarter turn", [](TFigure& f) { f.Rotate(DoublePoint(0, 0), Pi / 2); }, DoublePoint(0, 10),
         DoublePoint(-5, 0)},
        {"mirror in the Y axis", [](TFigure& f) { f.Mirror(DoublePoint(0, 0), DoublePoint(0, 1)); },
         DoublePoint(0, 5), DoublePoint(-10, 0)},
        {"scale by (2, 3)", [](TFigure& f) { f.Scale(DoublePoint(0, 0), 2, 3); }, DoublePoint(20, 0),
         DoublePoint(0, 15)},
        {"scale by (1, −1)", [](TFigure& f) { f.Scale(DoublePoint(0, 0), 1, -1); }, DoublePoint(0, -5),
         DoublePoint(10, 0)},
    };
    for (const TArcMove& m : moves) {
        SCOPED_TRACE(m.Name);
        auto arc = TElpArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 5, 0, 0, Pi / 2);
        m.Apply(*arc);
        EXPECT_POINT_NEAR(arc->GetPoint(2), m.Start.X, m.Start.Y, 1e-4);
        EXPECT_POINT_NEAR(arc->GetPoint(3), m.End.X, m.End.Y, 1e-4);
        EXPECT_POINT_NEAR(arc->GetPoint(4), arc->AxisEndA().X, arc->AxisEndA().Y, 1e-12);
        const TDoublePointArr path = arc->BuildArcPath();
        EXPECT_POINT_NEAR(path.front(), m.Start.X, m.Start.Y, 1e-4);
        EXPECT_POINT_NEAR(path.back(), m.End.X, m.End.Y, 1e-4);
    }
}

TEST(RoundTransform, ZeroCornerChangesFlipArcsAndEllipses) {
    TFakeDocument doc; // page 297 × 210, figures made with vzTop / vzLeft
    auto arc = TArc::Create(doc.LayerAt(0), &doc, true, DoublePoint(10, 20), 5, 0, Pi / 2);
    arc->ApplyZeroOrigin(TVertZero::vzBottom, THorzZero::vzLeft);
    EXPECT_POINT_NEAR(arc->Centre(), 10, 190, 1e-12);
    EXPECT_POINT_NEAR(arc->GetPoint(2), 10, 185, 1e-4);
    EXPECT_POINT_NEAR(arc->GetPoint(3), 15, 190, 1e-4);
    EXPECT_NEAR(arc->FStartAngle, 3 * Pi / 2, 1e-12);
    EXPECT_NEAR(arc->FEndAngle, 0, 1e-12);

    auto arc2 = TArc::Create(doc.LayerAt(0), &doc, true, DoublePoint(10, 20), 5, 0, Pi / 2);
    arc2->ApplyZeroOrigin(TVertZero::vzTop, THorzZero::vzRight);
    EXPECT_POINT_NEAR(arc2->GetPoint(2), 287, 25, 1e-4);
    EXPECT_POINT_NEAR(arc2->GetPoint(3), 282, 20, 1e-4);

    // The elliptical arc's frame is mirrored by either flip.
    auto elp = TElpArc::Create(doc.LayerAt(0), &doc, true, DoublePoint(50, 50), 10, 5, 0, 0, Pi / 2);
    elp->ApplyZeroOrigin(TVertZero::vzTop, THorzZero::vzRight);
    EXPECT_POINT_NEAR(elp->Centre(), 247, 50, 1e-12);
    EXPECT_POINT_NEAR(elp->GetPoint(2), 247, 55, 1e-4);
    EXPECT_POINT_NEAR(elp->GetPoint(3), 237, 50, 1e-4);

    auto ellipse = TEllipse::Create(doc.LayerAt(0), &doc, true, DoublePoint(50, 50), 10, 5, Pi / 6);
    ellipse->ApplyZeroOrigin(TVertZero::vzBottom, THorzZero::vzLeft);
    EXPECT_NEAR(ellipse->FAngle, 2 * Pi - Pi / 6, 1e-12);
    EXPECT_POINT_NEAR(ellipse->GetPoint(2), 50 + 10 * std::cos(Pi / 6), 160 - 10 * std::sin(Pi / 6), 1e-9);
}

TEST(RoundTransform, EllipseTurnsScalesAndMirrorsItsAxes) {
    auto ellipse = TEllipse::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 4, 0);
    ellipse->Rotate(DoublePoint(0, 0), Pi / 3);
    EXPECT_NEAR(ellipse->FAngle, Pi / 3, 1e-12);
    EXPECT_POINT_NEAR(ellipse->GetPoint(2), 5, 10 * std::sin(Pi / 3), 1e-9);
    ellipse->Mirror(DoublePoint(0, 0), DoublePoint(1, 0));
    EXPECT_NEAR(ellipse->FAngle, 2 * Pi - Pi / 3, 1e-12);
    auto upright = TEllipse::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 4, Pi / 2);
    upright->Scale(DoublePoint(0, 0), 3, 2);
    EXPECT_NEAR(upright->FRadiusA, 20, 1e-9);
    EXPECT_NEAR(upright->FRadiusB, 12, 1e-9);
    EXPECT_NEAR(upright->FAngle, Pi / 2, 1e-12);
    // A caller that moves point 2 turns the ellipse.
    upright->SetPoint(2, DoublePoint(-20, 0));
    EXPECT_TRUE(upright->HitTest(-20, 0));
    EXPECT_NEAR(upright->FAngle, Pi, 1e-12);
}

// --- hit tests and bounds ---

TEST(RoundHitTest, OutlinesArcsAndFills) {
    struct TCase {
        const char* Name;
        std::unique_ptr<TFigure> Figure;
        TDoublePoint P;
        bool Hit;
    };
    const double c30 = std::cos(Pi / 6), s30 = std::sin(Pi / 6);
    std::vector<TCase> cases;
    cases.push_back({"circle outline", TCircle::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10),
                     DoublePoint(0, 10.2), true});
    cases.push_back({"circle inside, clear brush", TCircle::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10),
                     DoublePoint(1, 1), false});
    cases.push_back({"zero circle", TCircle::Create(nullptr, nullptr, true, DoublePoint(0, 0), 0), DoublePoint(0, 0),
                     false});
    cases.push_back({"turned ellipse, major end",
                     TEllipse::Create(nullptr, nullptr, true, DoublePoint(0, 0), 20, 5, Pi / 6),
                     DoublePoint(20 * c30, 20 * s30), true});
    cases.push_back({"turned ellipse, unturned end",
                     TEllipse::Create(nullptr, nullptr, true, DoublePoint(0, 0), 20, 5, Pi / 6), DoublePoint(20, 0),
                     false});
    cases.push_back({"arc on its run", TArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 3 * Pi / 2, Pi / 2),
                     DoublePoint(10, 0), true});
    cases.push_back({"arc off its run", TArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 3 * Pi / 2, Pi / 2),
                     DoublePoint(-10, 0), false});
    cases.push_back({"pie edge with clear brush",
                     TArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 0, Pi / 2, TArcStyle::asPie),
                     DoublePoint(5, 0), true});
    cases.push_back({"chord with clear brush",
                     TArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 0, Pi / 2, TArcStyle::asChord),
                     DoublePoint(5, 5), true});
    cases.push_back({"elliptical arc in its frame",
                     TElpArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 5, Pi / 2, 0, Pi / 2),
                     DoublePoint(-5, 0), true});
    cases.push_back({"elliptical arc, other half",
                     TElpArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 5, Pi / 2, 0, Pi / 2),
                     DoublePoint(5, 0), false});
    cases.push_back({"spiral: only the line between its points",
                     THellical::Create(nullptr, nullptr, true, 0, 0, 10, 0), DoublePoint(5, 0), true});
    cases.push_back({"spiral: not its curve", THellical::Create(nullptr, nullptr, true, 0, 0, 10, 0),
                     DoublePoint(5, -5), false});
    for (TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Figure->HitTest(c.P.X, c.P.Y), c.Hit);
    }
}

TEST(RoundHitTest, FilledFiguresAreHitInsideTheirRegion) {
    TFakeDocument doc;
    const int solid = static_cast<int>(TBrushStyle::bsSolid);
    auto circle = TCircle::Create(doc.LayerAt(0), &doc, true, DoublePoint(20, 20), 10, 1, 0, 0, 0xFF, solid);
    TRegionSlot region = std::make_unique<TDeviceRegion>(TDeviceRegion::FromEllipse({40, 40, 120, 120}));
    circle->FRegion = std::move(region);
    EXPECT_TRUE(circle->HitTest(20, 20));
    circle->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    EXPECT_FALSE(circle->HitTest(20, 20));

    // An open arc never uses its region, a full-turn open elliptical arc does.
    auto arc = TArc::Create(doc.LayerAt(0), &doc, true, DoublePoint(20, 20), 10, 0, 1, TArcStyle::asOpen, 1, 0, 0,
                            0xFF, solid);
    arc->FRegion = std::make_unique<TDeviceRegion>(TDeviceRegion::FromEllipse({40, 40, 120, 120}));
    EXPECT_FALSE(arc->HitTest(20, 20));
    arc->FArcStyle = TArcStyle::asPie;
    EXPECT_TRUE(arc->HitTest(20, 20));
    auto elp = TElpArc::Create(doc.LayerAt(0), &doc, true, DoublePoint(20, 20), 10, 10, 0, 1, 1, TArcStyle::asOpen, 1,
                               0, 0, 0xFF, solid);
    elp->FRegion = std::make_unique<TDeviceRegion>(TDeviceRegion::FromEllipse({40, 40, 120, 120}));
    EXPECT_TRUE(elp->HitTest(20, 20));
}

TEST(RoundBounds, BoundsOfTheDrawnCurves) {
    const auto bounds = [](const TFigure& f) { return f.GetBoundsRect(); };
    const auto expectRect = [](const TDoubleRect& r, double l, double t, double rr, double b) {
        EXPECT_NEAR(r.Left, l, 0.01);
        EXPECT_NEAR(r.Top, t, 0.01);
        EXPECT_NEAR(r.Right, rr, 0.01);
        EXPECT_NEAR(r.Bottom, b, 0.01);
    };
    expectRect(bounds(*TCircle::Create(nullptr, nullptr, true, DoublePoint(5, 5), 2)), 3, 3, 7, 7);
    expectRect(bounds(*TEllipse::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 5, Pi / 2)), -5, -10, 5, 10);
    expectRect(bounds(*TArc::Create(nullptr, nullptr, true, DoublePoint(10, 10), 10, Pi / 4, 3 * Pi / 4)),
               10 - 10 * std::cos(Pi / 4), 10 + 10 * std::sin(Pi / 4), 10 + 10 * std::cos(Pi / 4), 20);
    expectRect(bounds(*TArc::Create(nullptr, nullptr, true, DoublePoint(10, 10), 10, Pi / 4, 3 * Pi / 4,
                                    TArcStyle::asPie)),
               10 - 10 * std::cos(Pi / 4), 10, 10 + 10 * std::cos(Pi / 4), 20);
    expectRect(bounds(*TElpArc::Create(nullptr, nullptr, true, DoublePoint(0, 0), 10, 5, Pi / 2, 0, Pi)), -5, -10, 0,
               10);
    // The spiral reaches 3.5 d about its middle below the axis, 3 d about point 1 above it.
    expectRect(bounds(*THellical::Create(nullptr, nullptr, true, 0, 0, 2, 0)), -6, -7, 8, 6);
}

// --- the spiral ---

TEST(RoundSpiral, HalfCirclesJoinIntoOneCurveFromPointOne) {
    auto spiral = THellical::Create(nullptr, nullptr, true, 0, 0, 2, 0);
    const TDoublePointArr path = spiral->BuildSpiralPath();
    ASSERT_EQ((path.size() - 1) % 3, 0u);
    EXPECT_POINT_NEAR(path.front(), 0, 0, 1e-9);
    // Seven half circles of two pieces each.
    EXPECT_EQ((path.size() - 1) / 3, 14u);
    // Half circle ends on the axis: 2 (after the first), −2, 4, −4, 6, −6, 8.
    const double ends[] = {2, -2, 4, -4, 6, -6, 8};
    for (int k = 0; k < 7; ++k) EXPECT_POINT_NEAR(path[static_cast<std::size_t>(6 * (k + 1))], ends[k], 0, 1e-9);
    // The first half circle runs below the axis, the second above it.
    EXPECT_POINT_NEAR(path[3], 1, -1, 1e-9);
    EXPECT_POINT_NEAR(path[9], 0, 2, 1e-9);
    // Turned with the direction of its points.
    auto upright = THellical::Create(nullptr, nullptr, true, 0, 0, 0, 2);
    EXPECT_POINT_NEAR(upright->BuildSpiralPath()[3], 1, 1, 1e-9);
    EXPECT_TRUE(THellical::Create(nullptr, nullptr, true, 1, 1, 1, 1)->BuildSpiralPath().empty());
}

} // namespace
