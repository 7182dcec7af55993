// Point markers: drawing, hit box, bounds, handles, records, rubber and the
// user-drawn variant.
#include "support/FakeDocument.h"
#include "model/Pattern.h"

#include "model/Geometry.h"
#include "model/Vertex.h"
#include "platform/QtCanvas.h"

#include <QImage>
#include <algorithm>
#include <array>
#include <gtest/gtest.h>

namespace {

// Records lines and circles with the pen they are drawn with.
class TMarkerEngine : public TRecordingEngine {
public:
    TMarkerEngine() : FImage(16, 16, QImage::Format_RGB32), FCanvas(&FImage) { SetCanvas(&FCanvas); }

    struct TStroke {
        TDoublePoint A, B;
        TColor Color;
        int Width;
    };
    struct TCircle {
        TDoublePoint Centre;
        double Radius;
        TColor Color;
    };
    void DrawLine(const TDoublePoint& a, const TDoublePoint& b) override {
        const TPenSpec pen = Canvas()->Pen();
        Strokes.push_back({a, b, pen.Color, pen.Width});
    }
    void PaintCircle(const TDoublePoint& centre, double radius, TColor color, TPenStyle, int, TBrushStyle, TColor,
                     TRegionSlot& region) override {
        Circles.push_back({centre, radius, color});
        const QPoint c = ToPixel(centre);
        const int r = static_cast<int>(LengthToDevice(radius));
        if (!region) region = std::make_unique<TDeviceRegion>(TDeviceRegion::FromEllipse({c.x() - r, c.y() - r, c.x() + r, c.y() + r}));
    }
    void SetPenMode(TPenMode mode) override { Modes.push_back(mode); }

    std::vector<TStroke> Strokes;
    std::vector<TCircle> Circles;
    std::vector<TPenMode> Modes;

private:
    QImage FImage;
    TQtCanvas FCanvas;
};

// Strokes as unordered pairs of end points, for comparison.
std::vector<std::array<double, 4>> Normalised(const std::vector<TMarkerEngine::TStroke>& strokes) {
    std::vector<std::array<double, 4>> out;
    for (const auto& s : strokes) {
        std::array<double, 4> e{s.A.X, s.A.Y, s.B.X, s.B.Y};
        if (std::make_pair(s.B.X, s.B.Y) < std::make_pair(s.A.X, s.A.Y)) e = {s.B.X, s.B.Y, s.A.X, s.A.Y};
        out.push_back(e);
    }
    std::sort(out.begin(), out.end());
    return out;
}

TEST(Vertex, StarOfHalfSizeOneInRedOrSilver) {
    TFakeDocument doc;
    auto v = TVertex::Create(doc.LayerAt(0), &doc, true, 5, 7);
    v->FPenColor = 0x00FF00; // the star keeps its own colour
    v->FPenWidth = 4;
    TMarkerEngine engine;
    v->Draw(engine, false);
    ASSERT_EQ(engine.Strokes.size(), 4u);
    const std::vector<std::array<double, 4>> expected = {
        {4, 6, 6, 8}, {4, 7, 6, 7}, {4, 8, 6, 6}, {5, 6, 5, 8}};
    EXPECT_EQ(Normalised(engine.Strokes), expected);
    for (const auto& s : engine.Strokes) {
        EXPECT_EQ(s.Color, 0x0000FF);
        EXPECT_EQ(s.Width, 1);
    }
    engine.Strokes.clear();
    v->Draw(engine, true);
    for (const auto& s : engine.Strokes) EXPECT_EQ(s.Color, 0xC0C0C0);
    v->FPersistent = false;
    v->Draw(engine, false);
    EXPECT_EQ(engine.Modes, (std::vector<TPenMode>{TPenMode::pmCopy, TPenMode::pmCopy, TPenMode::pmXor}));
}

TEST(Vertex, HitBoxBoundsHandleAndVectors) {
    TFakeDocument doc;
    auto v = TVertex::Create(doc.LayerAt(0), &doc, true, 5, 7);
    EXPECT_EQ(v->GetTypeName(), QStringLiteral("Vertex"));
    EXPECT_EQ(v->PointCount(), 1);
    EXPECT_EQ(v->ShapeKind(), 0);
    EXPECT_TRUE(v->HitTest(5.9, 6.1));
    EXPECT_FALSE(v->HitTest(6, 7));  // the box is open
    EXPECT_FALSE(v->HitTest(5, 8.5));
    EXPECT_EQ(v->GetBoundsRect(), (TDoubleRect{4, 6, 6, 8}));

    v->Select();
    ASSERT_EQ(v->FHandles.size(), 1u);
    const TModPoint* h = v->FHandles[0];
    EXPECT_EQ(h->Kind, 0);
    EXPECT_EQ(h->Index, 1);
    EXPECT_EQ(h->Shape, 2);
    EXPECT_EQ(h->Color, 0xFF0000);
    EXPECT_EQ(DoublePoint(h->X, h->Y), DoublePoint(5, 7));

    std::vector<TVectorObject> list;
    v->CollectVectors(list, DoublePoint(1, 1));
    EXPECT_EQ(list, (std::vector<TVectorObject>{{TVectorObject::Point, {DoublePoint(4, 6)}}}));
}

TEST(CircleVertex, CircleWithCrossHairsHitAnywhereInside) {
    TFakeDocument doc;
    doc.LayerAt(0)->PenColor = 0x00AA00;
    auto v = TCircleVertex::Create(doc.LayerAt(0), &doc, true, 10, 10);
    EXPECT_EQ(v->GetTypeName(), QStringLiteral("CircleVertex"));
    EXPECT_EQ(v->FRadius, 4.0);
    EXPECT_EQ(v->FPenColor, 0x0000FF);
    EXPECT_TRUE(v->FRegionHit);
    EXPECT_EQ(v->GetBoundsRect(), (TDoubleRect{5, 5, 15, 15}));

    TMarkerEngine engine;
    v->Draw(engine, false);
    ASSERT_EQ(engine.Circles.size(), 1u);
    EXPECT_EQ(engine.Circles[0].Centre, DoublePoint(10, 10));
    EXPECT_EQ(engine.Circles[0].Radius, 4.0);
    EXPECT_EQ(engine.Circles[0].Color, 0x0000FF);
    const std::vector<std::array<double, 4>> hairs = {
        {5, 10, 9, 10}, {10, 5, 10, 9}, {10, 11, 10, 15}, {11, 10, 15, 10}};
    EXPECT_EQ(Normalised(engine.Strokes), hairs);

    // Inside the drawn circle, away from the hit box of the point itself.
    doc.EngineInstance.Calls.clear();
    v->FreeRegion();
    EXPECT_FALSE(v->HitTest(12.5, 10)); // not drawn yet: no region
    v->Draw(engine, false);
    EXPECT_TRUE(v->HitTest(12.5, 10));
    EXPECT_TRUE(v->HitTest(10.5, 10.5));
    EXPECT_FALSE(v->HitTest(14.5, 14.5));

    v->FPenColor = kLayerColor;
    engine.Circles.clear();
    v->Draw(engine, false);
    v->Draw(engine, true);
    EXPECT_EQ(engine.Circles[0].Color, 0x00AA00);
    EXPECT_EQ(engine.Circles[1].Color, 0xC0C0C0);

    v->Select();
    ASSERT_EQ(v->FHandles.size(), 1u);
    EXPECT_EQ(v->FHandles[0]->Shape, 0);
}

TEST(PointRubber, FirstClickCompletesAndCommitMakesItPersistent) {
    TFakeDocument doc;
    for (const TFigureClass* cls : {&TVertex::StaticClass(), &TCircleVertex::StaticClass()}) {
        SCOPED_TRACE(cls->Name.toStdString());
        auto rubber = CreateRubber(*cls, 3, 4);
        ASSERT_NE(rubber, nullptr);
        EXPECT_EQ(&rubber->Class(), cls);
        EXPECT_FALSE(rubber->FPersistent);
        EXPECT_TRUE(rubber->RubberClick(1, 3, 4));
        auto point = CommitRubber(*cls, &doc, doc.LayerAt(0), rubber.get());
        ASSERT_NE(point, nullptr);
        EXPECT_EQ(&point->Class(), cls);
        EXPECT_TRUE(point->FPersistent);
        EXPECT_EQ(point->FDrawing, &doc);
        EXPECT_EQ(point->FLayer, doc.LayerAt(0));
        EXPECT_EQ(point->GetPoint(1), DoublePoint(3, 4));
    }
}

TEST(UserVertex, TheApplicationDrawsAndHitTestsFirst) {
    TFakeDocument doc;
    doc.UserName = QStringLiteral("Valve");
    auto rubber = CreateRubber(TUserVertex::StaticClass(), 2, 2);
    ASSERT_TRUE(rubber->RubberClick(1, 2, 2));
    auto v = CommitRubber(TUserVertex::StaticClass(), &doc, doc.LayerAt(0), rubber.get());
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->FCName, QStringLiteral("Valve"));
    EXPECT_EQ(v->GetTypeName(), QStringLiteral("UserVertext"));

    TMarkerEngine engine;
    doc.UserDrawResult = true;
    v->Draw(engine, false);
    EXPECT_TRUE(engine.Strokes.empty());
    doc.UserDrawResult = false;
    v->Draw(engine, false);
    EXPECT_EQ(engine.Strokes.size(), 4u);
    ASSERT_EQ(doc.UserDrawCalls.size(), 2u);
    EXPECT_EQ(doc.UserDrawCalls[0].second, QStringLiteral("Valve"));

    EXPECT_TRUE(v->HitTest(2.5, 2.5));
    doc.UserHitTestResult = false;
    EXPECT_FALSE(v->HitTest(2.5, 2.5));
    doc.UserHitTestResult = true;
    EXPECT_TRUE(v->HitTest(40, 40));

    auto copy = v->Clone();
    EXPECT_EQ(&copy->Class(), &TUserVertex::StaticClass());
    EXPECT_EQ(copy->FCName, QStringLiteral("Valve"));
    EXPECT_EQ(copy->GetPoint(1), DoublePoint(2, 2));
}

TEST(CircleVertex, CloneIsADirectCopy) {
    TFakeDocument doc;
    auto v = TCircleVertex::Create(doc.LayerAt(0), &doc, true, 1, 2);
    v->FRadius = 7.5;
    v->FTagNumber = 42;
    v->FInfo = QStringLiteral("i");
    auto copy = v->Clone();
    EXPECT_EQ(&copy->Class(), &TCircleVertex::StaticClass());
    EXPECT_EQ(copy->FRadius, 7.5);
    EXPECT_EQ(copy->FTagNumber, 42);
    EXPECT_EQ(copy->FName, v->FName);
    EXPECT_EQ(copy->FInfo, QStringLiteral("i"));
    EXPECT_TRUE(copy->FRegionHit);
    EXPECT_EQ(copy->GetBoundsRect(), v->GetBoundsRect());
}

} // namespace
