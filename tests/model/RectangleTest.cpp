// Rectangles: the stored record, handles and resizing drags, offsets, cutting,
// conversion, hit testing, drawing, interactive creation and the user-drawn
// variant.
#include "support/FakeDocument.h"

#include "model/Geometry.h"
#include "model/Pattern.h"
#include "model/Polyline.h"
#include "model/Rectangle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr double kDeg = std::numbers::pi / 180;
constexpr int kDiagCross = static_cast<int>(TBrushStyle::bsDiagCross);
constexpr int kClear = static_cast<int>(TBrushStyle::bsClear);
constexpr int kSolid = static_cast<int>(TBrushStyle::bsSolid);

void ExpectNear(const TDoublePoint& actual, const TDoublePoint& expected, double eps = 1e-9) {
    EXPECT_NEAR(actual.X, expected.X, eps);
    EXPECT_NEAR(actual.Y, expected.Y, eps);
}

double Length(const TDoublePoint& a, const TDoublePoint& b) {
    return std::hypot(b.X - a.X, b.Y - a.Y);
}

std::vector<std::uint8_t> Save(const TFigure& figure) {
    TMemoryStream out;
    figure.SaveToStream(out);
    return out.TakeData();
}

std::unique_ptr<TFigure> Load(const std::vector<std::uint8_t>& bytes, TFigureDocument* doc) {
    TMemoryStream in(bytes);
    return TFigure::CreateFromStream(in, doc ? doc->LayerAt(0) : nullptr, doc, true);
}

// The items after the base record's end marker.
std::vector<std::uint8_t> Tail(const std::vector<std::uint8_t>& record) {
    static const std::uint8_t marker[] = {180, 'B', 'a', 's', 'e', 'E', 'n', 'd', 0};
    const auto it = std::search(record.begin(), record.end(), marker, marker + sizeof marker);
    if (it == record.end()) return {};
    return {it + static_cast<std::ptrdiff_t>(sizeof marker), record.end()};
}

void RegisterClasses() {
    RegisterFigureClass(TRectangle::StaticClass());
    RegisterFigureClass(TUserRectangle::StaticClass());
    RegisterFigureClass(TPolyline::StaticClass());
}

std::unique_ptr<TRectangle> MakeRectangle(TFakeDocument* doc, double x1, double y1, double x2, double y2,
                                          int brushStyle = kClear) {
    return TRectangle::Create(1, 0x000080, static_cast<int>(TPenStyle::psSolid), 0x00FF00, brushStyle, doc,
                              true, doc ? doc->LayerAt(0) : nullptr, x1, y1, x2, y2);
}

// --- construction and record ---

TEST(RectangleBasics, CornersDefaultsAndNames) {
    TFakeDocument doc;
    auto r = MakeRectangle(&doc, 1, 2, 11, 22);
    EXPECT_EQ(r->ShapeKind(), 2);
    EXPECT_EQ(r->PointCount(), 4);
    EXPECT_EQ(r->GetPoint(1), DoublePoint(1, 2));
    EXPECT_EQ(r->GetPoint(2), DoublePoint(11, 2));
    EXPECT_EQ(r->GetPoint(3), DoublePoint(11, 22));
    EXPECT_EQ(r->GetPoint(4), DoublePoint(1, 22));
    EXPECT_EQ(r->FOrgPoints, r->FPoints);
    EXPECT_FALSE(r->FDimSide14);
    EXPECT_TRUE(r->FDimSide32);
    EXPECT_TRUE(r->FDimSide12);
    EXPECT_FALSE(r->FDimSide34);
    EXPECT_EQ(r->GetTypeName(), QStringLiteral("Rectangle"));
    EXPECT_TRUE(r->FName.startsWith(QStringLiteral("Rectangle")));
    auto u = NewFigure(TUserRectangle::StaticClass(), nullptr, nullptr);
    EXPECT_EQ(u->GetTypeName(), QStringLiteral("UserRectangle"));
    EXPECT_EQ(u->ShapeKind(), 2);
    double maxX, maxY, minX, minY;
    r->Rotate(DoublePoint(1, 2), 90 * kDeg);
    r->GetBounds(maxX, maxY, minX, minY);
    EXPECT_NEAR(maxX, 1, 1e-9);
    EXPECT_NEAR(minX, -19, 1e-9);
    EXPECT_NEAR(maxY, 12, 1e-9);
    EXPECT_NEAR(minY, 2, 1e-9);
}

TEST(RectangleRecord, FillAndSideFlagsFollowTheBaseRecord) {
    TFakeDocument doc;
    auto r = MakeRectangle(&doc, 0, 0, 10, 20, kDiagCross);
    r->FBrushColor = 0x123456;
    r->FDimSide14 = true;
    r->FDimSide32 = false;
    r->FDimSide12 = false;
    r->FDimSide34 = true;
    EXPECT_EQ(Tail(Save(*r)),
              (std::vector<std::uint8_t>{90, 7, 20, 0x56, 0x34, 0x12, 0x00, 91, 1, 92, 0, 93, 0, 94, 1}));
    r->FBrushStyle = -1; // no brush: stored as 255
    r->FBrushColor = kLayerColor;
    r->FDimSide32 = true;
    r->FDimSide34 = false;
    EXPECT_EQ(Tail(Save(*r)),
              (std::vector<std::uint8_t>{90, 0xFF, 20, 0x01, 0xFF, 0xFF, 0xFF, 91, 1, 92, 1, 93, 0, 94, 0}));
}

TEST(RectangleRecord, ReadBackKeepsFillAndFlagsByteForByte) {
    RegisterClasses();
    TFakeDocument doc;
    struct TCase {
        const TFigureClass* Cls;
        int BrushStyle;
        TColor BrushColor;
        std::array<bool, 4> Flags; // 14, 32, 12, 34
    };
    const TCase cases[] = {
        {&TRectangle::StaticClass(), kDiagCross, 0x123456, {true, false, false, true}},
        {&TRectangle::StaticClass(), -1, kLayerColor, {false, true, true, false}},
        {&TUserRectangle::StaticClass(), kSolid, 0xFF, {true, true, false, false}},
    };
    for (const TCase& tc : cases) {
        SCOPED_TRACE(tc.Cls->Name.toStdString());
        auto f = NewFigure(*tc.Cls, doc.LayerAt(0), &doc);
        auto* r = static_cast<TRectangle*>(f.get());
        r->SetPoint(1, DoublePoint(1.5, 2));
        r->SetPoint(2, DoublePoint(11.5, 2));
        r->SetPoint(3, DoublePoint(11.5, 22.25));
        r->SetPoint(4, DoublePoint(1.5, 22.25));
        r->FPenWidth = 2;
        r->FPenColor = 0x0000FF;
        r->FPenStyle = 2;
        r->FBrushStyle = tc.BrushStyle;
        r->FBrushColor = tc.BrushColor;
        r->FDimSide14 = tc.Flags[0];
        r->FDimSide32 = tc.Flags[1];
        r->FDimSide12 = tc.Flags[2];
        r->FDimSide34 = tc.Flags[3];
        r->FDiagonal = true;
        r->FCName = QStringLiteral("Gehäuse");
        const auto bytes = Save(*r);
        auto loaded = Load(bytes, &doc);
        ASSERT_NE(loaded, nullptr);
        ASSERT_EQ(&loaded->Class(), tc.Cls);
        auto* back = static_cast<TRectangle*>(loaded.get());
        EXPECT_EQ(back->FBrushStyle, tc.BrushStyle);
        EXPECT_EQ(back->FBrushColor, tc.BrushColor);
        EXPECT_EQ((std::array{back->FDimSide14, back->FDimSide32, back->FDimSide12, back->FDimSide34}),
                  tc.Flags);
        EXPECT_EQ(back->FPoints, r->FPoints);
        EXPECT_TRUE(back->FDiagonal);
        EXPECT_EQ(back->FCName, QStringLiteral("Gehäuse"));
        EXPECT_EQ(Save(*back), bytes);
    }
}

// --- handles and dragging ---

class RectangleDrag : public ::testing::Test {
protected:
    // Grabs the handle with this index, drags it to p through the ghost and applies it.
    void Drag(TRectangle& r, int index, const TDoublePoint& p) {
        r.Select();
        const auto it = std::find_if(r.FHandles.begin(), r.FHandles.end(),
                                     [index](const TModPoint* h) { return h->Index == index; });
        ASSERT_NE(it, r.FHandles.end());
        auto ghost = r.CreateGhost();
        ASSERT_NE(ghost, nullptr);
        EXPECT_FALSE(ghost->FPersistent);
        r.GhostDrag(*it, p.X, p.Y, ghost.get());
        r.ApplyDrag(*it, 0, p.X, p.Y, ghost.get());
        r.Deselect();
    }
    TFakeDocument Doc;
};

TEST_F(RectangleDrag, EightHandlesOrFourWithDiagonal) {
    auto r = MakeRectangle(&Doc, 0, 0, 10, 20);
    r->Select();
    ASSERT_EQ(r->FHandles.size(), 8u);
    const TDoublePoint expected[8] = {DoublePoint(0, 0),   DoublePoint(5, 0),   DoublePoint(10, 0),
                                      DoublePoint(10, 10), DoublePoint(10, 20), DoublePoint(5, 20),
                                      DoublePoint(0, 20),  DoublePoint(0, 10)};
    for (const TModPoint* h : r->FHandles) {
        ASSERT_GE(h->Index, 1);
        ASSERT_LE(h->Index, 8);
        EXPECT_EQ(DoublePoint(h->X, h->Y), expected[h->Index - 1]) << h->Index;
        EXPECT_EQ(h->Kind, HandleKind::Corner);
        EXPECT_EQ(h->Color, 0xFF0000);
        EXPECT_EQ(h->Shape, HandleShape::Square);
    }
    r->Deselect();
    r->FDiagonal = true;
    r->Select();
    ASSERT_EQ(r->FHandles.size(), 4u);
    for (const TModPoint* h : r->FHandles)
        EXPECT_EQ(h->Index % 2, 1);
}

TEST_F(RectangleDrag, DiagonalCornerDragKeepsTheRatioAlsoWhenTurned) {
    for (double angle : {0.0, 30 * kDeg}) {
        SCOPED_TRACE(angle / kDeg);
        auto r = MakeRectangle(&Doc, 0, 0, 10, 20);
        r->FDiagonal = true;
        const TDoublePoint pivot = r->GetPoint(4);
        r->Rotate(pivot, angle);
        // P3 pulled 50 % wider and 10 % taller in the rectangle's own frame.
        Drag(*r, 5, RotatePoint(pivot, DoublePoint(15, 22), angle));
        ExpectNear(r->GetPoint(3), RotatePoint(pivot, DoublePoint(15, 30), angle));
        ExpectNear(r->GetPoint(1), RotatePoint(pivot, DoublePoint(0, 0), angle));
        EXPECT_NEAR(Length(r->GetPoint(1), r->GetPoint(2)), 15, 1e-9);
        EXPECT_NEAR(Length(r->GetPoint(2), r->GetPoint(3)), 30, 1e-9);
        EXPECT_TRUE(r->FChanged);
        EXPECT_EQ(r->FRegion.get(), nullptr);
    }
}

TEST_F(RectangleDrag, SideDragMovesOnlyThatSide) {
    auto r = MakeRectangle(&Doc, 0, 0, 10, 20);
    r->Draw(Doc.EngineInstance, false);
    ASSERT_NE(r->FRegion.get(), nullptr);
    // The right side (P2–P3) pulled to x = 14; the Y of the mouse does not matter.
    Drag(*r, 4, DoublePoint(14, 3));
    EXPECT_EQ(r->FPoints, (TDoublePointArr{DoublePoint(0, 0), DoublePoint(14, 0), DoublePoint(14, 20),
                                           DoublePoint(0, 20)}));
    EXPECT_EQ(r->FRegion.get(), nullptr);
    Drag(*r, 2, DoublePoint(7, -5));
    EXPECT_EQ(r->FPoints, (TDoublePointArr{DoublePoint(0, -5), DoublePoint(14, -5), DoublePoint(14, 20),
                                           DoublePoint(0, 20)}));
    // A plain corner drag: the corner goes where the mouse is, the opposite one stays.
    Drag(*r, 7, DoublePoint(-3, 25));
    EXPECT_EQ(r->FPoints, (TDoublePointArr{DoublePoint(-3, -5), DoublePoint(14, -5), DoublePoint(14, 25),
                                           DoublePoint(-3, 25)}));
}

TEST_F(RectangleDrag, ApplyWithoutAGhostComputesTheDragItself) {
    auto r = MakeRectangle(&Doc, 0, 0, 10, 20);
    r->Select();
    TModPoint* corner = r->FHandles.front();
    ASSERT_EQ(corner->Index, 1);
    r->ApplyDrag(corner, 0, -2, -4, nullptr);
    EXPECT_EQ(r->GetPoint(1), DoublePoint(-2, -4));
    EXPECT_EQ(r->GetPoint(3), DoublePoint(10, 20));
}

// --- offsets, conversion, cutting ---

TEST(RectangleOffset, OutwardsInATopZeroDrawingInwardsInABottomZeroOne) {
    struct TCase {
        TVertZero Zero;
        double D;
        double Width, Height; // 0: no figure
    };
    const TCase cases[] = {
        {TVertZero::vzTop, 2, 14, 24}, {TVertZero::vzBottom, 2, 6, 16}, {TVertZero::vzTop, -2, 6, 16},
        {TVertZero::vzTop, -6, 0, 0},  {TVertZero::vzBottom, 6, 0, 0},  {TVertZero::vzBottom, -5, 20, 30},
    };
    for (const TCase& tc : cases) {
        SCOPED_TRACE(testing::Message() << (tc.Zero == TVertZero::vzTop ? "top " : "bottom ") << tc.D);
        TFakeDocument doc;
        doc.VertZero = tc.Zero;
        auto r = MakeRectangle(&doc, 0, 0, 10, 20, kDiagCross);
        r->FDimSide14 = true;
        r->FCName = QStringLiteral("x");
        auto offset = r->CreateOffsetFigure(tc.D);
        if (tc.Width == 0) {
            EXPECT_EQ(offset, nullptr);
            continue;
        }
        ASSERT_NE(offset, nullptr);
        ASSERT_EQ(&offset->Class(), &TRectangle::StaticClass());
        auto* o = static_cast<TRectangle*>(offset.get());
        const TRectangleCorners c = o->Corners();
        EXPECT_NEAR(Length(c[0], c[1]), tc.Width, 1e-9);
        EXPECT_NEAR(Length(c[1], c[2]), tc.Height, 1e-9);
        ExpectNear(MidPoint(c[0], c[2]), DoublePoint(5, 10));
        EXPECT_TRUE(o->FPersistent);
        EXPECT_EQ(o->FBrushStyle, kDiagCross);
        EXPECT_EQ(o->FBrushColor, 0x00FF00);
        EXPECT_EQ(o->FPenColor, 0x000080);
        EXPECT_TRUE(o->FDimSide14);
        EXPECT_EQ(o->FCName, QStringLiteral("x"));
        EXPECT_EQ(o->FOrgPoints, o->FPoints);
        EXPECT_EQ(o->FLayer, doc.LayerAt(0));
    }
}

TEST(RectangleBezier, AClosedPolylineOfFourStraightBezierSegments) {
    TFakeDocument doc;
    auto r = MakeRectangle(&doc, 0, 0, 9, 6, kDiagCross);
    r->Rotate(DoublePoint(0, 0), 30 * kDeg);
    auto converted = r->ConvertToBezier();
    ASSERT_NE(converted, nullptr);
    auto* poly = dynamic_cast<TPolyline*>(converted.get());
    ASSERT_NE(poly, nullptr);
    EXPECT_TRUE(poly->Closed());
    ASSERT_EQ(poly->NodeCount(), 4);
    for (int i = 1; i <= 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(poly->GetPoint(i), r->GetPoint(i));
        const TPlSegment* s = poly->Segment(i);
        ASSERT_NE(s, nullptr);
        EXPECT_TRUE(s->IsBezier());
        const TDoublePoint a = r->GetPoint(i), b = r->GetPoint(i % 4 + 1);
        ExpectNear(s->Ctrl1, PointAlong(a, b, 1.0 / 3));
        ExpectNear(s->Ctrl2, PointAlong(a, b, 2.0 / 3));
    }
    EXPECT_EQ(poly->FBrushStyle, kDiagCross);
    EXPECT_EQ(poly->FBrushColor, 0x00FF00);
    EXPECT_EQ(poly->FPenColor, 0x000080);
    EXPECT_EQ(poly->FLayer, doc.LayerAt(0));
}

TEST(RectangleCut, SplitOpensTheOutlineAtThePoint) {
    TFakeDocument doc;
    auto r = MakeRectangle(&doc, 0, 0, 10, 20);
    struct TCase {
        TDoublePoint P;
        TDoublePointArr Nodes; // empty: no split
    };
    const TCase cases[] = {
        {DoublePoint(10, 5),
         {DoublePoint(10, 5), DoublePoint(10, 20), DoublePoint(0, 20), DoublePoint(0, 0), DoublePoint(10, 0),
          DoublePoint(10, 5)}},
        {DoublePoint(4, 0.02), // within the tolerance: cut on the side itself
         {DoublePoint(4, 0), DoublePoint(10, 0), DoublePoint(10, 20), DoublePoint(0, 20), DoublePoint(0, 0),
          DoublePoint(4, 0)}},
        {DoublePoint(10, 0), // a corner is not repeated
         {DoublePoint(10, 0), DoublePoint(10, 20), DoublePoint(0, 20), DoublePoint(0, 0),
          DoublePoint(10, 0)}},
        {DoublePoint(5, 10), {}},
        {DoublePoint(4, 0.1), {}},
    };
    for (const TCase& tc : cases) {
        SCOPED_TRACE(testing::Message() << tc.P.X << ", " << tc.P.Y);
        std::vector<TFigure*> list;
        const bool split = r->SplitAtPoint(tc.P, list);
        std::vector<std::unique_ptr<TFigure>> owned(list.begin(), list.end());
        if (tc.Nodes.empty()) {
            EXPECT_FALSE(split);
            EXPECT_TRUE(list.empty());
            continue;
        }
        ASSERT_TRUE(split);
        ASSERT_EQ(list.size(), 1u);
        auto* poly = dynamic_cast<TPolyline*>(list[0]);
        ASSERT_NE(poly, nullptr);
        EXPECT_FALSE(poly->Closed());
        TDoublePointArr nodes;
        poly->GetPoints(nodes);
        ASSERT_EQ(nodes.size(), tc.Nodes.size());
        for (std::size_t i = 0; i < nodes.size(); ++i)
            ExpectNear(nodes[i], tc.Nodes[i]);
        EXPECT_EQ(poly->FPenColor, 0x000080);
        EXPECT_EQ(poly->FLayer, doc.LayerAt(0));
    }
}

TEST(RectangleCut, SplitAtPointsCutsTheOutlineInTwo) {
    RegisterClasses();
    TFakeDocument doc;
    auto r = MakeRectangle(&doc, 0, 0, 10, 20);
    std::vector<TFigure*> list;
    ASSERT_TRUE(r->SplitAtPoints({DoublePoint(10, 5), DoublePoint(0, 5)}, list));
    std::vector<std::unique_ptr<TFigure>> owned(list.begin(), list.end());
    ASSERT_EQ(list.size(), 2u);
    double total = 0;
    for (TFigure* piece : list) {
        TDoublePointArr nodes;
        piece->GetPoints(nodes);
        for (std::size_t i = 1; i < nodes.size(); ++i)
            total += Length(nodes[i - 1], nodes[i]);
    }
    EXPECT_NEAR(total, 60, 1e-9);
}

TEST(RectangleCut, IntersectLineMeetsEachSideOnce) {
    TFakeDocument doc;
    auto r = MakeRectangle(&doc, 0, 0, 10, 20);
    r->Rotate(DoublePoint(0, 0), 30 * kDeg);
    const TRectangleCorners c = r->Corners();
    struct TCase {
        const char* Name;
        TDoublePoint A, B;
        TDoublePointArr Expected;
    };
    const TDoublePoint m12 = MidPoint(c[0], c[1]), m34 = MidPoint(c[2], c[3]);
    const TDoublePoint m23 = MidPoint(c[1], c[2]);
    // Lines reaching a little beyond the points they should meet.
    const auto beyond = [](const TDoublePoint& from, const TDoublePoint& to) {
        return PointAlong(from, to, 1.1);
    };
    const TCase cases[] = {
        {"across the middle", beyond(m34, m12), beyond(m12, m34), {m12, m34}},
        {"through two corners", beyond(c[2], c[0]), beyond(c[0], c[2]), {c[0], c[2]}},
        {"ending inside", m23, MidPoint(c[0], c[2]), {m23}},
        {"missing", DoublePoint(-50, -50), DoublePoint(-40, -60), {}},
    };
    for (const TCase& tc : cases) {
        SCOPED_TRACE(tc.Name);
        TDoublePointArr points = {DoublePoint(99, 99)}; // kept: crossings are appended
        EXPECT_EQ(r->IntersectLine(tc.A, tc.B, points), !tc.Expected.empty());
        ASSERT_EQ(points.size(), tc.Expected.size() + 1);
        for (const TDoublePoint& e : tc.Expected)
            EXPECT_TRUE(std::any_of(points.begin() + 1, points.end(),
                                    [&e](const TDoublePoint& p) { return Length(p, e) < 1e-9; }));
    }
}

TEST(RectangleVectors, OneClosedPolygonRelativeToTheOrigin) {
    auto r = MakeRectangle(nullptr, 1, 2, 11, 22);
    std::vector<TVectorObject> list;
    r->CollectVectors(list, DoublePoint(1, 1));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Kind, TVectorObject::Polygon);
    EXPECT_EQ(list[0].Points, (TDoublePointArr{DoublePoint(0, 1), DoublePoint(10, 1), DoublePoint(10, 21),
                                               DoublePoint(0, 21)}));
}

TEST(RectangleClone, ADirectCopyWithFillFlagsAndRotationState) {
    TFakeDocument doc;
    auto r = MakeRectangle(&doc, 0, 0, 10, 20, kDiagCross);
    r->FDimSide34 = true;
    r->FDimSide12 = false;
    r->Rotate(DoublePoint(5, 5), 0.25);
    auto copy = r->Clone();
    ASSERT_EQ(&copy->Class(), &TRectangle::StaticClass());
    auto* c = static_cast<TRectangle*>(copy.get());
    EXPECT_EQ(c->FPoints, r->FPoints);
    EXPECT_EQ(c->FOrgPoints, r->FOrgPoints);
    EXPECT_EQ(c->FRotAngle, r->FRotAngle);
    EXPECT_EQ(c->FBrushStyle, kDiagCross);
    EXPECT_TRUE(c->FDimSide34);
    EXPECT_FALSE(c->FDimSide12);
    EXPECT_EQ(Save(*c), Save(*r));
}

// --- hit testing and drawing ---

TEST(RectangleHitTest, ClearBrushOnlyTheOutlineFilledAlsoInside) {
    TFakeDocument doc; // 4 px per mm
    auto r = MakeRectangle(&doc, 10, 10, 30, 20);
    r->Draw(doc.EngineInstance, false);
    ASSERT_NE(r->FRegion.get(), nullptr);
    struct TProbe {
        TDoublePoint P;
        bool Clear, Solid;
    };
    const TProbe probes[] = {
        {DoublePoint(20, 10), true, true},     // on a side
        {DoublePoint(30.45, 15), true, true},  // 1.8 px off the side
        {DoublePoint(20, 9.55), true, true},   // 1.8 px above the top side
        {DoublePoint(20, 9.2), false, false},  // 3.2 px off
        {DoublePoint(30.6, 15), false, false}, // 2.4 px off
        {DoublePoint(20, 15), false, true},    // inside
        {DoublePoint(40, 40), false, false},
    };
    for (const TProbe& p : probes) {
        SCOPED_TRACE(testing::Message() << p.P.X << ", " << p.P.Y);
        r->FBrushStyle = kClear;
        EXPECT_EQ(r->HitTest(p.P.X, p.P.Y), p.Clear);
        r->FBrushStyle = kDiagCross;
        EXPECT_EQ(r->HitTest(p.P.X, p.P.Y), p.Solid);
    }
    // Without a drawn region only the outline counts.
    r->FreeRegion();
    EXPECT_FALSE(r->HitTest(20, 15));
}

class TPolygonEngine : public TRecordingEngine {
public:
    struct TCall {
        TDoublePointArr Points;
        TColor Pen;
        TBrushStyle Brush;
        TColor BrushColor;
        TPenStyle Style;
        int Width;
    };
    void DrawPolygon(const TDoublePointArr& points, TColor penColor, TRegionSlot& region,
                     TBrushStyle brushStyle, TColor brushColor, TPenStyle penStyle, int penWidth) override {
        Polygons.push_back({points, penColor, brushStyle, brushColor, penStyle, penWidth});
        TRecordingEngine::DrawPolygon(points, penColor, region, brushStyle, brushColor, penStyle, penWidth);
    }
    void SetPenMode(TPenMode mode) override { Modes.push_back(mode); }
    std::vector<TCall> Polygons;
    std::vector<TPenMode> Modes;
};

TEST(RectangleDraw, OneClosedPolygonWithResolvedColours) {
    TFakeDocument doc;
    doc.LayerAt(0)->PenColor = 0x445566;
    doc.LayerAt(0)->BrushColor = 0x778899;
    auto r = TRectangle::Create(3, kLayerColor, static_cast<int>(TPenStyle::psDot), kLayerColor, kDiagCross,
                                &doc, true, doc.LayerAt(0), 1, 2, 5, 7);
    TPolygonEngine engine;
    r->Draw(engine, false);
    r->Draw(engine, true);
    r->FPersistent = false;
    r->FPenColor = 0x10;
    r->FBrushColor = 0x20;
    r->Draw(engine, false);
    ASSERT_EQ(engine.Polygons.size(), 3u);
    const auto& p = engine.Polygons[0];
    EXPECT_EQ(p.Points,
              (TDoublePointArr{DoublePoint(1, 2), DoublePoint(5, 2), DoublePoint(5, 7), DoublePoint(1, 7)}));
    EXPECT_EQ(p.Pen, 0x445566);
    EXPECT_EQ(p.BrushColor, 0x778899);
    EXPECT_EQ(p.Brush, TBrushStyle::bsDiagCross);
    EXPECT_EQ(p.Style, TPenStyle::psDot);
    EXPECT_EQ(p.Width, 3);
    EXPECT_EQ(engine.Polygons[1].Pen, 0xC0C0C0);
    EXPECT_EQ(engine.Polygons[1].BrushColor, 0xC0C0C0);
    EXPECT_EQ(engine.Polygons[2].Pen, 0x10);
    EXPECT_EQ(engine.Polygons[2].BrushColor, 0x20);
    EXPECT_EQ(engine.Modes, (std::vector<TPenMode>{TPenMode::pmCopy, TPenMode::pmCopy, TPenMode::pmXor}));
    EXPECT_NE(r->FRegion.get(), nullptr);
}

// --- interactive creation and the user-drawn variant ---

TEST(RectangleRubber, RubberFollowsTheMouseAndCommitTakesTheDocumentDefaults) {
    TFakeDocument doc;
    doc.DefaultAttributes.PenColor = 0x123456;
    doc.DefaultAttributes.PenWidth = 3;
    doc.DefaultAttributes.PenStyle = TPenStyle::psDot;
    doc.DefaultAttributes.BrushColor = 0x654321;
    doc.DefaultAttributes.BrushStyle = TBrushStyle::bsCross;

    auto rubber = CreateRubber(TRectangle::StaticClass(), 1, 2);
    ASSERT_NE(rubber, nullptr);
    EXPECT_EQ(&rubber->Class(), &TRectangle::StaticClass());
    EXPECT_FALSE(rubber->FPersistent);
    EXPECT_EQ(rubber->FDrawing, nullptr);
    EXPECT_EQ(rubber->FPenColor, 0x00FF00);
    EXPECT_EQ(rubber->PenStyle(), TPenStyle::psDash);
    EXPECT_TRUE(rubber->IsClearBrush());
    EXPECT_EQ(rubber->FPoints, TDoublePointArr(4, DoublePoint(1, 2)));

    rubber->RubberMove(1, 5, 6);
    EXPECT_EQ(rubber->FPoints,
              (TDoublePointArr{DoublePoint(1, 2), DoublePoint(5, 2), DoublePoint(5, 6), DoublePoint(1, 6)}));
    EXPECT_TRUE(rubber->RubberClick(2, 7, -8));
    EXPECT_EQ(rubber->FPoints, (TDoublePointArr{DoublePoint(1, 2), DoublePoint(7, 2), DoublePoint(7, -8),
                                                DoublePoint(1, -8)}));

    auto figure = CommitRubber(TRectangle::StaticClass(), &doc, doc.LayerAt(0), rubber.get());
    ASSERT_NE(figure, nullptr);
    EXPECT_EQ(&figure->Class(), &TRectangle::StaticClass());
    EXPECT_TRUE(figure->FPersistent);
    EXPECT_EQ(figure->FDrawing, &doc);
    EXPECT_EQ(figure->FLayer, doc.LayerAt(0));
    EXPECT_EQ(figure->FPoints, rubber->FPoints);
    EXPECT_EQ(figure->FPenColor, 0x123456);
    EXPECT_EQ(figure->FPenWidth, 3);
    EXPECT_EQ(figure->PenStyle(), TPenStyle::psDot);
    EXPECT_EQ(figure->FBrushColor, 0x654321);
    EXPECT_EQ(figure->BrushStyle(), TBrushStyle::bsCross);
    EXPECT_EQ(CommitRubber(TRectangle::StaticClass(), &doc, doc.LayerAt(0), nullptr), nullptr);
}

TEST(UserRectangle, TheApplicationDrawsAndHitTestsFirst) {
    TFakeDocument doc;
    doc.UserName = QStringLiteral("Schrank");
    auto rubber = CreateRubber(TUserRectangle::StaticClass(), 0, 0);
    ASSERT_NE(rubber, nullptr);
    ASSERT_TRUE(rubber->RubberClick(2, 10, 10));
    auto figure = CommitRubber(TUserRectangle::StaticClass(), &doc, doc.LayerAt(0), rubber.get());
    ASSERT_NE(figure, nullptr);
    EXPECT_EQ(&figure->Class(), &TUserRectangle::StaticClass());
    EXPECT_EQ(figure->FCName, QStringLiteral("Schrank"));

    TPolygonEngine engine;
    doc.UserDrawResult = true;
    figure->Draw(engine, false);
    EXPECT_TRUE(engine.Polygons.empty());
    EXPECT_EQ(engine.Modes, (std::vector<TPenMode>{TPenMode::pmCopy}));
    ASSERT_EQ(doc.UserDrawCalls.size(), 1u);
    EXPECT_EQ(doc.UserDrawCalls[0], std::make_pair(figure.get(), QStringLiteral("Schrank")));
    doc.UserDrawResult = false;
    figure->Draw(engine, false);
    EXPECT_EQ(engine.Polygons.size(), 1u);

    EXPECT_TRUE(figure->HitTest(5, 0));
    doc.UserHitTestResult = false;
    EXPECT_FALSE(figure->HitTest(5, 0));
    doc.UserHitTestResult = true;
    EXPECT_TRUE(figure->HitTest(50, 50));
    EXPECT_EQ(doc.UserHitTestCalls.size(), 3u);

    auto copy = figure->Clone();
    EXPECT_EQ(&copy->Class(), &TUserRectangle::StaticClass());
    EXPECT_EQ(copy->FCName, QStringLiteral("Schrank"));
    auto offset = figure->CreateOffsetFigure(1);
    ASSERT_NE(offset, nullptr);
    EXPECT_EQ(&offset->Class(), &TUserRectangle::StaticClass());
}

} // namespace
