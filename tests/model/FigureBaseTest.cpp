// Behaviour of the figure base: points, transforms, selection handles, joins,
// names, hit tests and the document events.
#include "support/FakeDocument.h"

#include "model/Geometry.h"
#include "model/PopupMenu.h"

#include <gtest/gtest.h>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

void ExpectNear(const TDoublePoint& a, const TDoublePoint& b) {
    EXPECT_NEAR(a.X, b.X, 1e-9);
    EXPECT_NEAR(a.Y, b.Y, 1e-9);
}

template <typename T> std::unique_ptr<T> Shape(TFigureDocument* doc, std::initializer_list<TDoublePoint> points) {
    auto f = MakeTestFigure<T>(doc, doc ? doc->LayerAt(0) : nullptr);
    int i = 0;
    for (const TDoublePoint& p : points) f->SetPoint(++i, p);
    f->SetPointCount(i);
    return f;
}

TEST(FigureBase, PointAccessIsOneBasedAndRefusesBadIndexes) {
    auto f = Shape<TTestPoints>(nullptr, {});
    EXPECT_EQ(f->GetPoint(1), TDoublePoint{});
    EXPECT_TRUE(f->SetPoint(3, DoublePoint(7, 8)));
    EXPECT_EQ(f->FPoints.size(), 3u);
    EXPECT_EQ(f->GetPoint(1), TDoublePoint{});
    f->SetPoint(1, DoublePoint(1, 1));
    struct TCase {
        int index;
        TDoublePoint expected;
    };
    for (const TCase& c : {TCase{1, DoublePoint(1, 1)}, TCase{3, DoublePoint(7, 8)}, TCase{4, DoublePoint(1, 1)},
                           TCase{0, DoublePoint(1, 1)}, TCase{-5, DoublePoint(1, 1)}}) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(f->GetPoint(c.index), c.expected);
    }
    EXPECT_FALSE(f->SetPoint(0, DoublePoint(9, 9)));
    EXPECT_FALSE(f->SetPoint(-1, DoublePoint(9, 9)));
    EXPECT_FALSE(f->SetPoint(kMaxFigurePoints + 1, DoublePoint(9, 9)));
    EXPECT_EQ(f->FPoints.size(), 3u);
    EXPECT_EQ(f->GetOrgPoint(10), TDoublePoint{});
}

TEST(FigureBase, RotatingTwiceStartsAnewFromTheCurrentPoints) {
    auto line = Shape<TTestLine>(nullptr, {DoublePoint(0, 0), DoublePoint(10, 0)});
    line->Rotate(DoublePoint(0, 0), kPi / 2);
    ExpectNear(line->GetPoint(2), DoublePoint(0, 10));
    line->Rotate(DoublePoint(0, 0), kPi / 2);
    ExpectNear(line->GetPoint(2), DoublePoint(-10, 0));
    EXPECT_DOUBLE_EQ(line->FRotAngle, kPi / 2);
}

TEST(FigureBase, RotationAccumulatesWhileUnchanged) {
    auto line = Shape<TTestLine>(nullptr, {DoublePoint(0, 0), DoublePoint(10, 0)});
    line->FChanged = false;
    line->Rotate(DoublePoint(0, 0), kPi / 4);
    line->Rotate(DoublePoint(0, 0), kPi / 4);
    EXPECT_DOUBLE_EQ(line->FRotAngle, kPi / 2);
    ExpectNear(line->GetPoint(2), DoublePoint(0, 10));
    ExpectNear(line->GetOrgPoint(2), DoublePoint(10, 0));
}

TEST(FigureBase, MoveMirrorAndScaleTouchBothPointArrays) {
    auto f = Shape<TTestCircle>(nullptr, {DoublePoint(10, 10)});
    f->FRadius = 2;
    f->FOrgPoints = f->FPoints;
    f->Move(5, -5);
    EXPECT_EQ(f->GetPoint(1), DoublePoint(15, 5));
    EXPECT_EQ(f->GetOrgPoint(1), DoublePoint(15, 5));
    EXPECT_EQ(f->FRotCentre, DoublePoint(5, -5));
    f->Scale(DoublePoint(0, 0), 2, 3);
    EXPECT_EQ(f->GetPoint(1), DoublePoint(30, 15));
    EXPECT_DOUBLE_EQ(f->FRadius, 6);
    f->Mirror(DoublePoint(0, 0), DoublePoint(0, 1));
    EXPECT_EQ(f->GetPoint(1), DoublePoint(-30, 15));
    EXPECT_EQ(f->GetOrgPoint(1), DoublePoint(-30, 15));
}

TEST(FigureBase, BoundsFollowTheShapeKind) {
    auto line = Shape<TTestLine>(nullptr, {DoublePoint(5, 1), DoublePoint(-2, 8)});
    EXPECT_EQ(line->GetBoundsRect(), (TDoubleRect{-2, 1, 5, 8}));
    auto circle = Shape<TTestCircle>(nullptr, {DoublePoint(10, 20)});
    circle->FRadius = 5;
    EXPECT_EQ(circle->GetBoundsRect(), (TDoubleRect{5, 15, 15, 25}));
    EXPECT_EQ(circle->GetCentre(), DoublePoint(10, 20));
    EXPECT_TRUE(circle->TouchesRectStrict(TDoubleRect{30, 40, 0, 0}));
    EXPECT_FALSE(circle->TouchesRectStrict(TDoubleRect{6, 0, 30, 40}));
    bool result = true;
    EXPECT_TRUE(circle->TouchesRect(TDoubleRect{14, 24, 40, 40}, result));
    EXPECT_FALSE(result);
    double maxX = -1e9, maxY = -1e9, minX = 1e9, minY = 1e9;
    line->UnionBounds(maxX, maxY, minX, minY);
    circle->UnionBounds(maxX, maxY, minX, minY);
    EXPECT_EQ((TDoubleRect{minX, minY, maxX, maxY}), (TDoubleRect{-2, 1, 15, 25}));
}

TEST(FigureBase, SnapTakesTheFirstPointWithinThreeUnits) {
    auto f = Shape<TTestPoints>(nullptr, {DoublePoint(0, 0), DoublePoint(10, 10), DoublePoint(11, 11)});
    double x = 12, y = 9;
    EXPECT_TRUE(f->SnapToPoint(x, y));
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 10);
    x = 20;
    y = 20;
    EXPECT_FALSE(f->SnapToPoint(x, y));
    EXPECT_EQ(x, 20);
}

TEST(FigureBase, ZeroOriginFlipsAgainstThePage) {
    TFakeDocument doc;
    doc.VertZero = TVertZero::vzTop;
    auto f = Shape<TTestLine>(&doc, {DoublePoint(10, 20), DoublePoint(30, 40)});
    f->ApplyZeroOrigin(TVertZero::vzBottom, THorzZero::vzRight);
    EXPECT_EQ(f->GetPoint(1), DoublePoint(297 - 10, 210 - 20));
    f->ApplyZeroOrigin(TVertZero::vzTop, THorzZero::vzLeft);
    EXPECT_EQ(f->GetPoint(1), DoublePoint(297 - 10, 210 - 20)); // the figure's own settings match
    auto loose = Shape<TTestLine>(nullptr, {DoublePoint(1, 2), DoublePoint(3, 4)});
    loose->ApplyZeroOrigin(TVertZero::vzTop, THorzZero::vzRight);
    EXPECT_EQ(loose->GetPoint(1), DoublePoint(1, 2));
}

TEST(FigureBase, SetAttributeByKind) {
    auto f = Shape<TTestLine>(nullptr, {});
    for (int kind = 0; kind <= 5; ++kind) f->SetAttribute(kind, kind + 1);
    f->SetAttribute(9, 100);
    EXPECT_EQ(f->FPenColor, 1);
    EXPECT_EQ(f->FPenWidth, 2);
    EXPECT_EQ(f->FBrushColor, 3);
    EXPECT_EQ(f->FPenStyle, 4);
    EXPECT_EQ(f->FBrushStyle, 5);
    EXPECT_EQ(f->FRowStyle, 6);
    f->FPenStyle = 77;
    f->FRowStyle = 200;
    EXPECT_EQ(f->PenStyle(), TPenStyle::psInsideFrame);
    EXPECT_EQ(f->RowStyle(), TRowStyle::rsNone);
}

// --- selection and handles ---

struct THandleSummary {
    int kind, index;
    double x, y;
    TColor color;
    int shape;
    bool operator==(const THandleSummary&) const = default;
};

std::vector<THandleSummary> Summary(const TFigure& f) {
    std::vector<THandleSummary> out;
    for (const TModPoint* h : f.FHandles) out.push_back({h->Kind, h->Index, h->X, h->Y, h->Color, h->Shape});
    return out;
}

TEST(FigureSelection, HandlesByShapeKind) {
    TFakeDocument doc;
    auto line = Shape<TTestLine>(&doc, {DoublePoint(0, 0), DoublePoint(10, 5)});
    line->Select();
    EXPECT_EQ(Summary(*line), (std::vector<THandleSummary>{{2, 1, 0, 0, 0xFF0000, 0}, {2, 2, 10, 5, 0xFF0000, 0}}));

    auto quad = Shape<TTestQuad>(&doc, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 4), DoublePoint(0, 4)});
    quad->Select();
    ASSERT_EQ(quad->FHandles.size(), 8u);
    EXPECT_EQ(Summary(*quad)[1], (THandleSummary{4, 3, 10, 0, 0xFF0000, 0}));
    EXPECT_EQ(Summary(*quad)[4], (THandleSummary{4, 2, 5, 0, 0xFF0000, 0}));
    quad->Deselect();
    quad->FDiagonal = true;
    quad->Select();
    EXPECT_EQ(quad->FHandles.size(), 4u);

    auto circle = Shape<TTestCircle>(&doc, {DoublePoint(5, 5)});
    circle->FRadius = 2;
    circle->Select();
    EXPECT_EQ(Summary(*circle), (std::vector<THandleSummary>{{1, 0, 5, 7, 0xFF0000, 0},
                                                             {1, 0, 5, 3, 0xFF0000, 0},
                                                             {1, 0, 7, 5, 0xFF0000, 0},
                                                             {1, 0, 3, 5, 0xFF0000, 0}}));
    EXPECT_EQ(doc.Handles.Count(), 2 + 4 + 4);
    EXPECT_TRUE(doc.HasSelection);
}

TEST(FigureSelection, SelectOrderDeselectAndRefresh) {
    TFakeDocument doc;
    auto a = Shape<TTestLine>(&doc, {DoublePoint(0, 0), DoublePoint(1, 1)});
    auto b = Shape<TTestLine>(&doc, {DoublePoint(0, 0), DoublePoint(1, 1)});
    a->Select();
    a->Select(); // already selected: nothing changes
    b->Select();
    EXPECT_EQ(a->FSelectOrder, 1);
    EXPECT_EQ(b->FSelectOrder, 2);
    EXPECT_EQ(doc.Handles.Count(), 4);
    a->FPrimarySelected = true;
    a->Deselect();
    EXPECT_FALSE(a->FSelected);
    EXPECT_FALSE(a->FPrimarySelected);
    EXPECT_EQ(a->FSelectOrder, 0);
    EXPECT_TRUE(a->FHandles.empty());
    EXPECT_EQ(doc.Handles.Count(), 2);
    b->SetPoint(2, DoublePoint(4, 4));
    b->RefreshHandles();
    EXPECT_EQ(b->FHandles[1]->X, 4);
    EXPECT_EQ(doc.Handles.Count(), 2);
    b.reset(); // destroying a selected figure frees its handles
    EXPECT_EQ(doc.Handles.Count(), 0);
}

TEST(FigureSelection, RotationSelectionShowsCornersAndCentre) {
    TFakeDocument doc;
    auto quad = Shape<TTestQuad>(&doc, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 4), DoublePoint(0, 4)});
    quad->SelectAsRotate();
    EXPECT_EQ(Summary(*quad), (std::vector<THandleSummary>{{15, 1, 0, 0, 0x008000, 1},
                                                           {15, 2, 10, 0, 0x008000, 1},
                                                           {15, 3, 10, 4, 0x008000, 1},
                                                           {15, 4, 0, 4, 0x008000, 1},
                                                           {16, 5, 5, 2, 0x0000FF, 5}}));
}

TEST(FigureSelection, MapHandlesDrawsMarkersAndStoresDevicePositions) {
    TFakeDocument doc;
    auto line = Shape<TTestLine>(&doc, {DoublePoint(1, 2), DoublePoint(10, 5)});
    line->Select();
    line->FHandles[1]->Visible = false;
    TRecordingEngine engine(4.0, 100, 50);
    line->MapHandles(engine, false);
    ASSERT_EQ(engine.Markers.size(), 1u);
    EXPECT_EQ(engine.Markers[0].Color, 0xFF0000);
    EXPECT_EQ(engine.Markers[0].HalfSize, 3.0);
    EXPECT_EQ(line->FHandles[0]->DevX, 104);
    EXPECT_EQ(line->FHandles[0]->DevY, 58);
    EXPECT_EQ(line->FHandles[1]->DevX, 140);
    EXPECT_TRUE(line->FHandles[1]->HitDevice(141, 71, 2));
    line->MapHandles(engine, true);
    EXPECT_EQ(line->FHandles[0]->AltDevX, 104);

    doc.LayerAt(0)->State = TLayerState::Grayed;
    engine.Markers.clear();
    line->MapHandles(engine, false);
    EXPECT_EQ(engine.Markers[0].Color, 0x808080);
}

TEST(FigureSelection, HandleHitTests) {
    TModPoint h;
    h.X = 10;
    h.Y = 10;
    EXPECT_TRUE(h.HitWorld(10.7, 9.3, 0.75));
    EXPECT_FALSE(h.HitWorld(10.8, 10, 0.75));
    h.Hidden = true;
    EXPECT_FALSE(h.HitWorld(10, 10, 0.75));
}

TEST(FigureSelection, DraggingALinePointMovesItByTheOffset) {
    TFakeDocument doc;
    auto line = Shape<TTestLine>(&doc, {DoublePoint(0, 0), DoublePoint(10, 0)});
    line->Select();
    TModPoint* end = line->FHandles[1];
    line->ApplyDrag(end, 0, 12, 3, nullptr);
    EXPECT_EQ(line->GetPoint(2), DoublePoint(12, 3));
    EXPECT_TRUE(line->FChanged);
}

TEST(FigureSelection, RotationDragTurnsAboutTheCentre) {
    TFakeDocument doc;
    auto line = Shape<TTestLine>(&doc, {DoublePoint(-5, 0), DoublePoint(5, 0)});
    line->SelectAsRotate();
    TModPoint* corner = line->FHandles[2]; // (5, 0): bounds corner (maxX, maxY)
    ASSERT_EQ(corner->Index, 3);
    line->ApplyRotateDrag(corner, 0, 5, nullptr); // from angle 0 to π/2 about (0, 0)
    ExpectNear(line->GetPoint(2), DoublePoint(0, 5));
    TModPoint* centre = line->FHandles[4];
    ASSERT_EQ(centre->Index, 5);
    line->ApplyRotateDrag(centre, 3, 4, nullptr);
    EXPECT_EQ(line->FRotCentre, DoublePoint(3, 4));
}

// --- hit tests ---

TEST(FigureHitTest, LineQuadAndCircle) {
    TFakeDocument doc; // 4 pixels per millimetre
    auto line = Shape<TTestLine>(&doc, {DoublePoint(0, 0), DoublePoint(10, 0)});
    line->FPenWidth = 1;
    EXPECT_TRUE(line->HitTest(5, 0.45));  // 1.8 px off
    // The pen width widens the reach, but the box around the segment grows by
    // the 2-pixel tolerance only: 2.4 px off an axis-parallel line is a miss.
    EXPECT_FALSE(line->HitTest(5, 0.6));
    auto diagonal = Shape<TTestLine>(&doc, {DoublePoint(0, 0), DoublePoint(10, 10)});
    diagonal->FPenWidth = 1;
    EXPECT_TRUE(diagonal->HitTest(5 + 0.5, 5 - 0.5));   // 2.83 px off, within 2 + 1
    EXPECT_FALSE(diagonal->HitTest(5 + 0.6, 5 - 0.6));  // 3.39 px off
    EXPECT_FALSE(line->HitTest(11, 0));   // beyond the end

    auto quad = Shape<TTestQuad>(&doc, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 10), DoublePoint(0, 10)});
    quad->FPenWidth = 0;
    quad->FBrushStyle = static_cast<int>(TBrushStyle::bsClear);
    EXPECT_TRUE(quad->HitTest(10.2, 5));
    EXPECT_FALSE(quad->HitTest(5, 5));
    const QPoint corners[] = {{0, 0}, {40, 0}, {40, 40}, {0, 40}};
    quad->FRegion = std::make_unique<TDeviceRegion>(TDeviceRegion::FromPolygon(corners));
    EXPECT_FALSE(quad->HitTest(5, 5)); // a clear brush is not hit inside
    quad->FBrushStyle = static_cast<int>(TBrushStyle::bsSolid);
    EXPECT_TRUE(quad->HitTest(5, 5));
    quad->FreeRegion();
    EXPECT_FALSE(quad->HitTest(5, 5));

    auto circle = Shape<TTestCircle>(&doc, {DoublePoint(0, 0)});
    circle->FRadius = 10;
    EXPECT_TRUE(circle->HitTest(10.4, 0));
    EXPECT_FALSE(circle->HitTest(10.5, 0));
    circle->FRadius = 0;
    EXPECT_FALSE(circle->HitTest(0, 0));
}

TEST(FigureHitTest, RegionHitAcceptsAnyPointOfTheRegionFirst) {
    TFakeDocument doc;
    auto line = Shape<TTestLine>(&doc, {DoublePoint(0, 0), DoublePoint(1, 0)});
    line->FRegion = std::make_unique<TDeviceRegion>(TDeviceRegion::FromRect({80, 80, 120, 120}));
    EXPECT_FALSE(line->HitTest(25, 25));
    line->FRegionHit = true;
    EXPECT_TRUE(line->HitTest(25, 25));
    double maxX, maxY, minX, minY;
    ASSERT_TRUE(line->GetRegionBounds(maxX, maxY, minX, minY));
    EXPECT_EQ((TDoubleRect{minX, minY, maxX, maxY}), (TDoubleRect{20, 20, 30, 30}));
}

// --- joins ---

TEST(FigureJoins, JoinedEndsFollowAndReferencesNeverDangle) {
    TFakeDocument doc;
    auto rect = Shape<TTestQuad>(&doc, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 10), DoublePoint(0, 10)});
    auto line = Shape<TTestLine>(&doc, {DoublePoint(10, 5), DoublePoint(30, 5)});
    line->SetJoin1(rect.get());
    line->SetJoin1(rect.get()); // the same target again changes nothing
    EXPECT_EQ(rect->FJoinedLines, (std::vector<TFigure*>{line.get()}));
    rect->Move(2, 3);
    EXPECT_EQ(line->GetPoint(1), DoublePoint(12, 8));
    EXPECT_EQ(line->GetPoint(2), DoublePoint(30, 5));

    line->SetJoin2(rect.get());
    line->SetJoin1(nullptr); // the other end still holds the line on the target
    EXPECT_EQ(rect->FJoinedLines.size(), 1u);
    rect.reset();
    EXPECT_EQ(line->FJoin1, nullptr);
    EXPECT_EQ(line->FJoin2, nullptr);

    auto target = Shape<TTestCircle>(&doc, {DoublePoint(0, 0)});
    auto joined = Shape<TTestLine>(&doc, {DoublePoint(0, 0), DoublePoint(1, 1)});
    joined->SetJoin2(target.get());
    joined.reset();
    EXPECT_TRUE(target->FJoinedLines.empty());
    target->Move(1, 1); // must not touch the freed line
}

TEST(FigureJoins, FiguresThatCannotJoinIgnoreJoins) {
    auto circle = Shape<TTestCircle>(nullptr, {DoublePoint(0, 0)});
    auto other = Shape<TTestCircle>(nullptr, {DoublePoint(0, 0)});
    circle->SetJoin1(other.get());
    EXPECT_TRUE(other->FJoinedLines.empty());
}

// --- names, events and extras ---

TEST(FigureNames, NamesComeFromTheClassAndAreUniqueInTheDocument) {
    TFakeDocument doc;
    auto a = Shape<TTestLine>(&doc, {});
    auto b = Shape<TTestLine>(&doc, {});
    EXPECT_TRUE(a->FName.startsWith(QStringLiteral("TestShape1")));
    EXPECT_NE(a->FName, b->FName);
    EXPECT_EQ(a->FClassName, QStringLiteral("TTestShape1"));

    doc.Figures.push_back(a.get());
    b->FName = a->FName.toUpper();
    b->MakeUniqueName();
    EXPECT_NE(b->FName.compare(a->FName, Qt::CaseInsensitive), 0);
    // A taken name gives way to the name made of the figure's handle …
    const QString own = QStringLiteral("TestShape1") + QString::number(b->FHandle);
    doc.TakenNames = {QStringLiteral("testshape11")};
    b->FName = QStringLiteral("TestShape11");
    b->MakeUniqueName();
    EXPECT_EQ(b->FName, own);
    // … and, when that is taken too, to the first free counter.
    doc.TakenNames = {QStringLiteral("testshape11"), QStringLiteral("TESTSHAPE12"), own.toLower()};
    b->FName = QStringLiteral("TestShape11");
    b->MakeUniqueName();
    EXPECT_EQ(b->FName, QStringLiteral("TestShape13"));
}

TEST(FigureEvents, ModifiedAndEditReachTheDocument) {
    TFakeDocument doc;
    auto f = Shape<TTestLine>(&doc, {});
    f->Modified();
    f->Edit();
    EXPECT_EQ(doc.ModifiedEvents, (std::vector<TFigure*>{f.get()}));
    EXPECT_EQ(doc.EditEvents, (std::vector<TFigure*>{f.get()}));
    auto loose = Shape<TTestLine>(nullptr, {});
    loose->Modified(); // no document: nothing to tell
}

TEST(FigureExtras, InfoTextAndFillPicture) {
    TFakeDocument doc;
    auto f = Shape<TTestQuad>(&doc, {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 6), DoublePoint(0, 6)});
    TRecordingEngine engine;
    f->FInfo = QStringLiteral("Hinweis");
    f->DrawExtras(engine);
    EXPECT_TRUE(engine.InfoTexts.empty());
    f->FShowInfo = true;
    f->FFillBitmap = QImage(2, 2, QImage::Format_RGB32);
    f->DrawExtras2(engine);
    ASSERT_EQ(engine.InfoTexts.size(), 1u);
    EXPECT_EQ(engine.InfoTexts[0].P, DoublePoint(5, 9));
    EXPECT_EQ(engine.InfoTexts[0].Height, 4);
    EXPECT_EQ(engine.InfoTexts[0].FontName, QStringLiteral("Tahoma"));
    ASSERT_EQ(engine.FillBitmaps.size(), 1u);
    EXPECT_EQ(engine.FillBitmaps[0].first, (TDoubleRect{0, 0, 10, 6}));
}

// A figure that splits at x = 5 into two halves, for the cutting protocol.
class TSplitting : public TTestPoints {
public:
    using TTestPoints::TTestPoints;
    bool SplitAtPoint(const TDoublePoint& p, std::vector<TFigure*>& list) override {
        const TDoubleRect b = GetBoundsRect();
        if (p.X <= b.Left || p.X >= b.Right) return false;
        for (auto [l, r] : {std::pair{b.Left, p.X}, std::pair{p.X, b.Right}}) {
            auto piece = std::make_unique<TSplitting>(nullptr, nullptr, false);
            piece->SetPoint(1, DoublePoint(l, 0));
            piece->SetPoint(2, DoublePoint(r, 0));
            piece->SetPointCount(2);
            list.push_back(piece.release());
            ++Alive;
        }
        return true;
    }
    ~TSplitting() override { --Alive; }
    static int Alive;
};
int TSplitting::Alive = 0;

TEST(FigureCutting, SplitAtPointsLeavesOnlyThePieces) {
    TSplitting f(nullptr, nullptr, false);
    ++TSplitting::Alive;
    f.SetPoint(1, DoublePoint(0, 0));
    f.SetPoint(2, DoublePoint(10, 0));
    f.SetPointCount(2);
    std::vector<TFigure*> list;
    EXPECT_TRUE(f.SplitAtPoints({DoublePoint(5, 0), DoublePoint(8, 0)}, list));
    ASSERT_EQ(list.size(), 3u);
    std::vector<TDoubleRect> bounds;
    for (TFigure* piece : list) bounds.push_back(piece->GetBoundsRect());
    EXPECT_EQ(bounds, (std::vector<TDoubleRect>{{0, 0, 5, 0}, {5, 0, 8, 0}, {8, 0, 10, 0}}));
    // The piece (5, 10) that was cut again was freed: the figure and three pieces live.
    EXPECT_EQ(TSplitting::Alive, 4);
    for (TFigure* piece : list) delete piece;
    list.clear();
    EXPECT_FALSE(f.SplitAtPoints({DoublePoint(50, 0)}, list));
    EXPECT_TRUE(list.empty());
}

TEST(FigurePopup, BaseRemembersItsFirstTagAndAddsNothing) {
    struct TRecorder : TPopupMenuBuilder {
        void AddItem(const QString&, int, bool, bool) override { ++Items; }
        int Items = 0;
    } menu;
    auto f = Shape<TTestLine>(nullptr, {});
    int next = 40;
    f->AddPopupItems(menu, next);
    EXPECT_EQ(f->FPopupTag, 40);
    EXPECT_EQ(next, 40);
    EXPECT_EQ(menu.Items, 0);
}

} // namespace
