// Draw engine primitives: polygons and their regions, circles, lines,
// control-point markers and fill pictures.
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace enginetest;

namespace {

constexpr TColor kPen = 0x202020;
constexpr TColor kFill = 0x00C000;

// A square of 10 mm at (5, 5) mm: pixels 20..60.
const TDoublePointArr kSquare{DoublePoint(5, 5), DoublePoint(15, 5), DoublePoint(15, 15), DoublePoint(5, 15)};

} // namespace

TEST(DrawEngineTest, WithoutCanvasEveryPrimitiveIsANoOp) {
    TVXDrawEngine engine;
    TRegionSlot region;
    engine.DrawLine(DoublePoint(0, 0), DoublePoint(1, 1));
    engine.DrawPolygon(kSquare, kPen, region, TBrushStyle::bsSolid, kFill, TPenStyle::psSolid, 1);
    engine.DrawBezierPath({DoublePoint(0, 0), DoublePoint(1, 0), DoublePoint(1, 1), DoublePoint(0, 0)}, 1, 1,
                          TRowStyle::rsBothSolid, &region, nullptr, false, true, TBrushStyle::bsSolid, kFill,
                          TPenStyle::psSolid, 1, kPen);
    engine.DrawMarker(0, kPen, true, 3, DoublePoint(1, 1));
    EXPECT_EQ(engine.DrawText(DoublePoint(1, 1), 0, 10, 0, TEngineFont{}, QStringLiteral("x"), 0), QSize());
    EXPECT_FALSE(region);
}

TEST(DrawEngineTest, DrawPolygonFillsAndCreatesItsRegionOnlyWhenTheSlotIsEmpty) {
    TRegionSlot region;
    QImage image = Render(100, 100, [&](TVXDrawEngine& e, TCanvas&) {
        e.DrawPolygon(kSquare, kPen, region, TBrushStyle::bsSolid, kFill, TPenStyle::psSolid, 1);
    });
    EXPECT_EQ(Raw(image, 40, 40), Rgb(kFill));
    EXPECT_EQ(Raw(image, 20, 40), Rgb(kPen));
    ASSERT_TRUE(region);
    EXPECT_EQ(region->BoundingBox(), (TDeviceRect{20, 20, 60, 60}));
    EXPECT_TRUE(region->Contains(40, 40));
    EXPECT_FALSE(region->Contains(60, 40));

    // A filled slot stays the same object with the same pixels, though the polygon moved.
    const TDeviceRegion* kept = region.get();
    const TDoublePointArr moved{DoublePoint(15, 15), DoublePoint(20, 15), DoublePoint(20, 20), DoublePoint(15, 20)};
    image = Render(100, 100, [&](TVXDrawEngine& e, TCanvas&) {
        e.DrawPolygon(moved, kPen, region, TBrushStyle::bsSolid, kFill, TPenStyle::psSolid, 1);
    });
    EXPECT_EQ(Raw(image, 70, 70), Rgb(kFill));
    EXPECT_EQ(region.get(), kept);
    EXPECT_EQ(region->BoundingBox(), (TDeviceRect{20, 20, 60, 60}));
}

TEST(DrawEngineTest, PolygonRegionUsesTheWindingRuleAndDrawsNothing) {
    // A pentagram: its centre lies inside by the winding rule, outside by alternate.
    const TDoublePointArr star{DoublePoint(2.5, 15), DoublePoint(10, 1.25), DoublePoint(17.5, 15),
                               DoublePoint(1.25, 6.25), DoublePoint(18.75, 6.25)};
    TDeviceRegion region;
    const QImage image = Render(100, 100, [&](TVXDrawEngine& e, TCanvas&) { region = e.PolygonRegion(star); });
    EXPECT_TRUE(Differing(image).empty());
    EXPECT_TRUE(region.Contains(40, 35));
    EXPECT_TRUE(region.Contains(40, 10));
    EXPECT_FALSE(region.Contains(5, 55));
}

TEST(DrawEngineTest, DrawTriangleFillsAnEmptySlotWithTheCurrentPenAndBrush) {
    TRegionSlot region;
    const QImage image = Render(100, 100, [&](TVXDrawEngine& e, TCanvas&) {
        e.SetPen(kPen, 1, TPenStyle::psSolid);
        e.SetBrush(kFill, TBrushStyle::bsSolid);
        e.DrawTriangle(DoublePoint(2.5, 2.5), DoublePoint(22.5, 2.5), DoublePoint(2.5, 22.5), &region);
    });
    EXPECT_EQ(Raw(image, 20, 20), Rgb(kFill));
    EXPECT_EQ(Raw(image, 60, 60), kWhite);
    ASSERT_TRUE(region);
    EXPECT_TRUE(region->Contains(20, 20));
    EXPECT_FALSE(region->Contains(60, 60));
}

TEST(DrawEngineTest, LinesRoundAtTheCallWithHalvesToEven) {
    // 0.625 mm = 2.5 px → 2; 1.875 mm = 7.5 px → 8
    const QImage image = Render(40, 40, [&](TVXDrawEngine& e, TCanvas&) {
        e.SetPen(kPen, 1, TPenStyle::psSolid);
        e.DrawLine(DoublePoint(0.625, 1.875), DoublePoint(5.625, 1.875));
    });
    const TBox box = BoundsOf(WithColor(image, kPen));
    EXPECT_EQ(box.MinX, 2);
    EXPECT_EQ(box.MaxX, 21); // the end pixel (22) is left out
    EXPECT_EQ(box.MinY, 8);
    EXPECT_EQ(box.MaxY, 8);
}

TEST(DrawEngineTest, PaintCircleUsesTheConvertedRadiusAndMakesAnEllipticRegion) {
    TRegionSlot region;
    const QImage image = Render(100, 100, [&](TVXDrawEngine& e, TCanvas&) {
        e.PaintCircle(DoublePoint(12.5, 12.5), 5, kPen, TPenStyle::psSolid, 1, TBrushStyle::bsSolid, kFill, region);
    });
    const TBox box = BoundsOf(Differing(image));
    EXPECT_EQ(box.MinX, 30);
    EXPECT_EQ(box.MaxX, 69);
    EXPECT_EQ(Raw(image, 50, 50), Rgb(kFill));
    EXPECT_EQ(Raw(image, 32, 32), kWhite); // outside the round
    ASSERT_TRUE(region);
    EXPECT_TRUE(region->Contains(50, 50));
    EXPECT_FALSE(region->Contains(32, 32));
    EXPECT_EQ(region->BoundingBox(), (TDeviceRect{30, 30, 70, 70}));
}

TEST(DrawEngineTest, MarkersInXorModeVanishWhenDrawnTwice) {
    const QImage original = NoiseImage(60, 60);
    for (int shape : {0, 1, 2, 3, 4, 5, 6, 8}) {
        SCOPED_TRACE("shape " + std::to_string(shape));
        TPenMode after = TPenMode::pmCopy;
        QImage once;
        const QImage twice = RenderInto(original, [&](TVXDrawEngine& e, TCanvas& c) {
            c.SetPenMode(TPenMode::pmNotXor);
            e.DrawMarker(shape, 0x3080F0, true, 4, DoublePoint(7.5, 7.5));
            after = c.PenMode();
        });
        EXPECT_EQ(after, TPenMode::pmNotXor);
        EXPECT_FALSE(Changed(original, twice).empty());
        const QImage restored = RenderInto(twice, [&](TVXDrawEngine& e, TCanvas&) {
            e.DrawMarker(shape, 0x3080F0, true, 4, DoublePoint(7.5, 7.5));
        });
        EXPECT_TRUE(Changed(original, restored).empty());
    }
}

TEST(DrawEngineTest, MarkerShapesInCopyMode) {
    constexpr TColor kMark = 0x0000FF;
    struct TCase {
        int Shape;
        TPixel Inked;   // a pixel of the marker colour
        TPixel Blank;   // a pixel left white
        TBox Bounds;    // of all inked pixels
    };
    // At (30, 30) with half size 4.
    const TCase cases[] = {
        {0, {26, 26}, {34, 30}, {26, 26, 33, 33}},
        {1, {30, 30}, {25, 25}, {25, 25, 34, 34}},
        {2, {26, 30}, {28, 28}, {26, 26, 33, 33}},
        {3, {27, 27}, {30, 27}, {26, 26, 33, 33}},
        {5, {30, 30}, {35, 30}, {23, 23, 36, 36}},
        {6, {25, 30}, {30, 30}, {25, 25, 34, 34}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE("shape " + std::to_string(c.Shape));
        TPenMode after = TPenMode::pmXor;
        const QImage image = Render(60, 60, [&](TVXDrawEngine& e, TCanvas& canvas) {
            canvas.SetPenMode(TPenMode::pmXor);
            e.DrawMarker(c.Shape, kMark, false, 4, DoublePoint(7.5, 7.5));
            after = canvas.PenMode();
        });
        EXPECT_EQ(after, TPenMode::pmXor);
        const TPixelSet ink = WithColor(image, kMark);
        EXPECT_EQ(ink.size(), Differing(image).size()); // copy mode: only the marker colour
        EXPECT_TRUE(ink.count(c.Inked));
        EXPECT_FALSE(ink.count(c.Blank));
        const TBox box = BoundsOf(ink);
        EXPECT_NEAR(box.MinX, c.Bounds.MinX, 1);
        EXPECT_NEAR(box.MinY, c.Bounds.MinY, 1);
        EXPECT_NEAR(box.MaxX, c.Bounds.MaxX, 1);
        EXPECT_NEAR(box.MaxY, c.Bounds.MaxY, 1);
    }
    // An unknown shape draws nothing.
    const QImage none = Render(60, 60, [&](TVXDrawEngine& e, TCanvas&) {
        e.DrawMarker(7, kMark, false, 4, DoublePoint(7.5, 7.5));
    });
    EXPECT_TRUE(Differing(none).empty());
}

TEST(DrawEngineTest, FillBitmapPlacement) {
    // Rectangle (10, 10)–(40, 30) mm = pixels (40, 40)–(160, 120); picture 20 × 10; offsets 1 mm = 4 px.
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Rgb(kFill));
    const int xs[] = {40 + 4, 160 - 20 - 4, (40 + 160 - 20) / 2 - 4};
    const int ys[] = {40 + 4, 120 - 10 - 4, (40 + 120 - 10) / 2 - 4};
    for (int v = 0; v < 3; ++v)
        for (int h = 0; h < 3; ++h) {
            SCOPED_TRACE("vAlign " + std::to_string(v) + " hAlign " + std::to_string(h));
            const QImage image = Render(200, 160, [&](TVXDrawEngine& e, TCanvas&) {
                e.DrawFillBitmap(TDoubleRect{10, 10, 40, 30}, v, picture, h, 1, 1);
            });
            const TBox box = BoundsOf(WithColor(image, kFill));
            EXPECT_EQ(box.MinX, xs[h]);
            EXPECT_EQ(box.MinY, ys[v]);
            EXPECT_EQ(box.MaxX, xs[h] + 19);
            EXPECT_EQ(box.MaxY, ys[v] + 9);
        }
}

TEST(DrawEngineTest, FillBitmapTopIsTheUpperDeviceEdgeWithBottomZero) {
    // vzBottom, 40 mm page: world y 10..30 is device 120..40, so "top" is still pixel 40.
    TScreenMapping mapping = PlainMapping();
    mapping.WorkHeight = 40;
    mapping.VerticalZero = TVertZero::vzBottom;
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Rgb(kFill));
    const QImage image = Render(
        200, 160,
        [&](TVXDrawEngine& e, TCanvas&) { e.DrawFillBitmap(TDoubleRect{10, 10, 40, 30}, 0, picture, 0, 0, 0); },
        mapping);
    const TBox box = BoundsOf(WithColor(image, kFill));
    EXPECT_EQ(box.MinX, 40);
    EXPECT_EQ(box.MinY, 40);
}
