// Paths, clipping, the world transform, bitmaps and saved states of the
// QPainter canvas.
#include "CanvasTestSupport.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <array>
#include <cmath>

using namespace canvastest;

namespace {

const std::array<QPoint, 5> kStar{{{10, 60}, {40, 5}, {70, 60}, {5, 25}, {75, 25}}};

TEST(CanvasPathTest, DrawingCallsInsideAPathDrawNothingUntilStroked) {
    QImage image = MakeImage(80, 80);
    {
        TQtCanvas canvas(&image);
        canvas.SetBrush(SolidBrush(kRed));
        canvas.BeginPath();
        canvas.MoveTo(2, 2);
        canvas.LineTo(50, 2);
        canvas.Polygon(kStar);
        canvas.Rectangle(5, 5, 20, 20);
        canvas.Ellipse(30, 30, 60, 50);
        canvas.Arc(0, 0, 40, 40, 40, 20, 20, 0);
        canvas.EndPath();
        EXPECT_TRUE(Differing(image).empty());
        EXPECT_EQ(canvas.PenPosition(), QPoint(50, 2));
        canvas.StrokePath();
        EXPECT_FALSE(Differing(image).empty());
        // The path is used up.
        const QImage before = image;
        canvas.SetPen(SolidPen(kBlue));
        canvas.StrokePath();
        EXPECT_TRUE(Changed(image, before).empty());
    }
    EXPECT_TRUE(WithColor(image, kRed).empty()); // stroked only
}

// A path filled and stroked gives the same pixels as the shapes drawn directly.
TEST(CanvasPathTest, StrokeAndFillPathMatchesDirectDrawing) {
    struct TCase {
        const char* Name;
        void (*Draw)(TCanvas&);
    };
    const std::array<TCase, 4> cases{{
        {"polygon", [](TCanvas& c) { c.Polygon(kStar, TPolyFillMode::Winding); }},
        {"rectangle", [](TCanvas& c) { c.Rectangle(5, 7, 50, 33); }},
        {"pie", [](TCanvas& c) { c.Pie(0, 0, 70, 70, 70, 35, 0, 70); }},
        {"ellipse with dashed pen", [](TCanvas& c) {
             c.SetPen({kBlack, 1, TPenStyle::psDash});
             c.Ellipse(3, 3, 60, 40);
         }},
    }};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QImage direct = MakeImage(80, 80);
        QImage viaPath = MakeImage(80, 80);
        {
            TQtCanvas canvas(&direct);
            canvas.SetBrush(SolidBrush(kRed));
            c.Draw(canvas);
        }
        {
            TQtCanvas canvas(&viaPath);
            canvas.SetBrush(SolidBrush(kRed));
            canvas.BeginPath();
            c.Draw(canvas);
            canvas.EndPath();
            canvas.StrokeAndFillPath();
        }
        EXPECT_EQ(Changed(direct, viaPath).size(), 0u);
    }
}

TEST(CanvasPathTest, PathToRegionFollowsTheClosedPathAndUsesItUp) {
    QImage image = MakeImage(40, 40);
    TQtCanvas canvas(&image);
    canvas.BeginPath();
    canvas.MoveTo(10, 10);
    canvas.LineTo(30, 10);
    canvas.LineTo(30, 30);
    canvas.LineTo(10, 30);
    canvas.LineTo(10, 10);
    canvas.EndPath();
    const TDeviceRegion region = canvas.PathToRegion();
    EXPECT_TRUE(region.Contains(10, 10));
    EXPECT_TRUE(region.Contains(29, 29));
    EXPECT_FALSE(region.Contains(30, 20));
    EXPECT_FALSE(region.Contains(20, 30));
    EXPECT_FALSE(region.Contains(9, 20));
    EXPECT_EQ(region.BoundingBox(), (TDeviceRect{10, 10, 30, 30}));
    EXPECT_TRUE(canvas.PathToRegion().IsEmpty());
    EXPECT_TRUE(Differing(image).empty());
}

TEST(CanvasPathTest, RegionOfAFilledPathHoldsThePixelsTheFillSets) {
    QImage image = MakeImage(80, 80);
    TDeviceRegion region;
    {
        TQtCanvas canvas(&image);
        canvas.SetPen({kBlack, 1, TPenStyle::psClear});
        canvas.SetBrush(SolidBrush(kRed));
        for (int pass = 0; pass < 2; ++pass) {
            canvas.BeginPath();
            canvas.Rectangle(5, 5, 40, 30);
            canvas.Polygon(kStar);
            canvas.EndPath();
            if (pass == 0) canvas.FillPath();
            else region = canvas.PathToRegion();
        }
    }
    int mismatches = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x)
            if (region.Contains(x, y) != (Raw(image, x, y) == Rgb(kRed))) ++mismatches;
    EXPECT_LE(mismatches, 8); // centres exactly on a slanted edge may go either way
    EXPECT_TRUE(region.Contains(5, 15));
    EXPECT_FALSE(region.Contains(4, 15));
    EXPECT_TRUE(region.Contains(38, 5));
    EXPECT_FALSE(region.Contains(39, 5));
    EXPECT_FALSE(region.Contains(38, 20)); // in both figures: the alternate rule leaves it out
    EXPECT_TRUE(region.Contains(68, 57));  // in the star's lower right point only
}

TEST(CanvasPathTest, AbortPathAndAnOpenPathDrawNothing) {
    QImage image = MakeImage(40, 40);
    {
        TQtCanvas canvas(&image);
        canvas.BeginPath();
        canvas.Rectangle(5, 5, 30, 30);
        canvas.StrokePath(); // still open
        canvas.AbortPath();
        canvas.StrokeAndFillPath();
        EXPECT_TRUE(canvas.PathToRegion().IsEmpty());
        canvas.EndPath(); // without BeginPath
        canvas.FillPath();
    }
    EXPECT_TRUE(Differing(image).empty());
}

TEST(CanvasPathTest, FillRectAndBitmapsDrawEvenInsideAPath) {
    QImage image = MakeImage(40, 40);
    {
        TQtCanvas canvas(&image);
        canvas.BeginPath();
        canvas.FillRect({0, 0, 5, 5}, SolidBrush(kRed));
        canvas.EndPath();
        EXPECT_TRUE(canvas.PathToRegion().IsEmpty());
    }
    EXPECT_EQ(WithColor(image, kRed).size(), 25u);
}

TEST(CanvasClipTest, ClipRegionRestrictsDrawingUntilRemoved) {
    QImage image = MakeImage(60, 60);
    const TDeviceRegion clip = TDeviceRegion::FromEllipse({10, 10, 50, 40});
    {
        TQtCanvas canvas(&image);
        canvas.SelectClipRegion(&clip);
        canvas.FillRect({0, 0, 60, 60}, SolidBrush(kRed));
        canvas.SetPen(SolidPen(kBlue));
        canvas.MoveTo(0, 25);
        canvas.LineTo(60, 25);
        canvas.SelectClipRegion(nullptr);
        canvas.MoveTo(0, 55);
        canvas.LineTo(60, 55);
    }
    int mismatches = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 60; ++x)
            if (clip.Contains(x, y) != ((Raw(image, x, y) & 0xFFFFFFu) != 0xFFFFFFu)) ++mismatches;
    EXPECT_LE(mismatches, 4);
    EXPECT_EQ(Raw(image, 10, 25), Rgb(kBlue));
    EXPECT_EQ(Raw(image, 9, 25), kWhite);
    EXPECT_EQ(Raw(image, 49, 25), Rgb(kBlue));
    EXPECT_EQ(Raw(image, 50, 25), kWhite);
    EXPECT_EQ(Raw(image, 0, 55), Rgb(kBlue));
    EXPECT_EQ(Raw(image, 59, 55), Rgb(kBlue));
}

TEST(CanvasClipTest, IntersectClipRectNarrowsTheClip) {
    QImage image = MakeImage(60, 60);
    {
        TQtCanvas canvas(&image);
        canvas.IntersectClipRect({5, 5, 40, 40});
        canvas.IntersectClipRect({20, 0, 60, 30});
        canvas.FillRect({0, 0, 60, 60}, SolidBrush(kRed));
    }
    const TPixelSet ink = Differing(image);
    EXPECT_EQ(ink.size(), 20u * 25u);
    const TBox box = BoundsOf(ink);
    EXPECT_EQ(box.MinX, 20);
    EXPECT_EQ(box.MaxX, 39);
    EXPECT_EQ(box.MinY, 5);
    EXPECT_EQ(box.MaxY, 29);
}

TEST(CanvasClipTest, EmptyClipRegionHidesEverything) {
    QImage image = MakeImage(20, 20);
    {
        TQtCanvas canvas(&image);
        const TDeviceRegion empty;
        canvas.SelectClipRegion(&empty);
        canvas.FillRect({0, 0, 20, 20}, SolidBrush(kRed));
        canvas.Rectangle(0, 0, 20, 20);
    }
    EXPECT_TRUE(Differing(image).empty());
}

TEST(CanvasTransformTest, WorldTransformTurnsAndMovesTheDrawing) {
    QImage image = MakeImage(80, 80);
    {
        TQtCanvas canvas(&image);
        // 90° on screen: (x, y) -> (50 - y, 10 + x)
        canvas.SetWorldTransform({0, 1, -1, 0, 50, 10});
        EXPECT_EQ(canvas.WorldTransform(), (TXForm{0, 1, -1, 0, 50, 10}));
        canvas.MoveTo(0, 0);
        canvas.LineTo(20, 0);
        canvas.SetPen({kBlack, 1, TPenStyle::psClear});
        canvas.SetBrush(SolidBrush(kRed));
        canvas.Rectangle(0, 10, 20, 30);
    }
    for (int y = 10; y < 30; ++y) EXPECT_EQ(Raw(image, 50, y), Rgb(kBlack)) << y;
    EXPECT_EQ(Raw(image, 50, 30), kWhite);
    // The rectangle [0, 19) x [10, 29) turns into x in (21, 40], y in [10, 29).
    const TBox box = BoundsOf(WithColor(image, kRed));
    EXPECT_EQ(box.MinX, 21);
    EXPECT_EQ(box.MaxX, 39);
    EXPECT_EQ(box.MinY, 10);
    EXPECT_EQ(box.MaxY, 28);
}

TEST(CanvasTransformTest, RotationAsSetDCRotationUsesIt) {
    // A pure rotation by 30° (M11 = cos, M12 = sin, M21 = -sin, M22 = cos).
    const double a = std::acos(-1.0) / 6;
    QImage image = MakeImage(120, 120);
    {
        TQtCanvas canvas(&image);
        canvas.SetWorldTransform({std::cos(a), std::sin(a), -std::sin(a), std::cos(a), 0, 0});
        canvas.MoveTo(0, 0);
        canvas.LineTo(100, 0);
        canvas.ResetWorldTransform();
        EXPECT_EQ(canvas.WorldTransform(), TXForm{});
    }
    // x' = x cos a, y' = x sin a: the line runs down and to the right on screen.
    EXPECT_EQ(Raw(image, 0, 0), Rgb(kBlack));
    EXPECT_TRUE(Raw(image, 43, 25) == Rgb(kBlack) || Raw(image, 43, 24) == Rgb(kBlack)); // y = 24.7
    EXPECT_EQ(Raw(image, 86, 49), Rgb(kBlack));
    EXPECT_EQ(Raw(image, 87, 50), kWhite); // (86.6, 50) rounded: the last pixel
    EXPECT_EQ(Differing(image).size(), 87u);
}

TEST(CanvasTransformTest, SingularTransformIsRefused) {
    QImage image = MakeImage(10, 10);
    TQtCanvas canvas(&image);
    canvas.SetWorldTransform({2, 0, 0, 2, 1, 1});
    canvas.SetWorldTransform({1, 2, 2, 4, 0, 0});
    EXPECT_EQ(canvas.WorldTransform(), (TXForm{2, 0, 0, 2, 1, 1}));
}

TEST(CanvasStateTest, RestoreStateBringsBackPenBrushFontModesClipAndTransform) {
    QImage image = MakeImage(40, 40);
    {
        TQtCanvas canvas(&image);
        canvas.SetPen(SolidPen(kRed, 3));
        canvas.SetBrush({kBlue, TBrushStyle::bsCross});
        canvas.SetFont({.Name = "Tahoma", .Height = 12});
        canvas.SetPenMode(TPenMode::pmXor);
        canvas.SetTextCharacterExtra(2);
        canvas.MoveTo(4, 5);
        canvas.SaveState();
        canvas.SetPen(SolidPen(kBlack));
        canvas.SetBrush(ClearBrush());
        canvas.SetFont({.Name = "Arial", .Height = 30});
        canvas.SetPenMode(TPenMode::pmCopy);
        canvas.SetTextCharacterExtra(0);
        canvas.SetBackgroundTransparent(false);
        canvas.SetWorldTransform({1, 0, 0, 1, 5, 5});
        canvas.IntersectClipRect({0, 0, 2, 2});
        canvas.MoveTo(30, 30);
        canvas.RestoreState();
        EXPECT_EQ(canvas.Pen(), SolidPen(kRed, 3));
        EXPECT_EQ(canvas.Brush(), (TBrushSpec{kBlue, TBrushStyle::bsCross}));
        EXPECT_EQ(canvas.Font().Name, QStringLiteral("Tahoma"));
        EXPECT_EQ(canvas.PenMode(), TPenMode::pmXor);
        EXPECT_EQ(canvas.TextCharacterExtra(), 2);
        EXPECT_TRUE(canvas.BackgroundTransparent());
        EXPECT_EQ(canvas.WorldTransform(), TXForm{});
        EXPECT_EQ(canvas.PenPosition(), QPoint(4, 5));
        canvas.RestoreState(); // unbalanced: ignored
        canvas.SetPenMode(TPenMode::pmCopy);
        canvas.FillRect({0, 0, 40, 40}, SolidBrush(kRed)); // the clip is gone again
    }
    EXPECT_EQ(WithColor(image, kRed).size(), 1600u);
}

TEST(CanvasStateTest, PathSurvivesSaveAndRestore) {
    QImage image = MakeImage(40, 40);
    TQtCanvas canvas(&image);
    canvas.BeginPath();
    canvas.SaveState();
    canvas.Rectangle(0, 0, 10, 10);
    canvas.RestoreState();
    canvas.EndPath();
    EXPECT_FALSE(canvas.PathToRegion().IsEmpty());
}

TEST(CanvasBitmapTest, DrawBitmapCopiesUnscaledWhateverThePenMode) {
    QImage picture(3, 2, QImage::Format_RGB32);
    const std::array<QRgb, 6> colours{0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0, 0xFFD0E0F0, 0xFF010203};
    for (int i = 0; i < 6; ++i) picture.setPixel(i % 3, i / 3, colours[static_cast<std::size_t>(i)]);
    QImage image = MakeImage(20, 20);
    {
        TQtCanvas canvas(&image);
        canvas.SetPenMode(TPenMode::pmXor);
        canvas.DrawBitmap(5, 6, picture);
    }
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Raw(image, 5 + i % 3, 6 + i / 3), colours[static_cast<std::size_t>(i)]);
    EXPECT_EQ(Differing(image).size(), 6u);
}

TEST(CanvasBitmapTest, StretchBitmapScalesAndMirrors) {
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.setPixel(0, 0, 0xFFFF0000);
    picture.setPixel(1, 0, 0xFF00FF00);
    picture.setPixel(0, 1, 0xFF0000FF);
    picture.setPixel(1, 1, 0xFF000000);
    QImage image = MakeImage(30, 30);
    {
        TQtCanvas canvas(&image);
        canvas.StretchBitmap({2, 2, 10, 10}, picture);
        canvas.StretchBitmap({28, 12, 20, 20}, picture); // negative width: mirrored left to right
    }
    EXPECT_EQ(Raw(image, 2, 2), 0xFFFF0000u);
    EXPECT_EQ(Raw(image, 5, 5), 0xFFFF0000u);
    EXPECT_EQ(Raw(image, 6, 2), 0xFF00FF00u);
    EXPECT_EQ(Raw(image, 9, 9), 0xFF000000u);
    EXPECT_EQ(Raw(image, 10, 10), kWhite);
    EXPECT_EQ(Raw(image, 20, 12), 0xFF00FF00u);
    EXPECT_EQ(Raw(image, 27, 12), 0xFFFF0000u);
    EXPECT_EQ(Differing(image).size(), 64u + 64u);
}

TEST(CanvasPainterTest, CanvasOnACallersPainterLeavesItsStateAsItWas) {
    QImage image = MakeImage(40, 40);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(10, 10);
    {
        TQtCanvas canvas(&painter);
        canvas.SetPenMode(TPenMode::pmXor);
        canvas.SetPen(SolidPen(kWhiteColor));
        canvas.SaveState();
        canvas.IntersectClipRect({0, 0, 5, 5});
        canvas.MoveTo(0, 0);
        canvas.LineTo(20, 0);
    }
    EXPECT_TRUE(painter.testRenderHint(QPainter::Antialiasing));
    EXPECT_EQ(painter.transform(), QTransform::fromTranslate(10, 10));
    EXPECT_FALSE(painter.hasClipping());
    EXPECT_EQ(painter.compositionMode(), QPainter::CompositionMode_SourceOver);
    painter.end();
    // Drawn in the painter's coordinates, clipped to five pixels.
    const TPixelSet ink = Differing(image);
    EXPECT_EQ(ink.size(), 5u);
    EXPECT_TRUE(ink.count({10, 10}));
    EXPECT_TRUE(ink.count({14, 10}));
}

TEST(CanvasPainterTest, InactiveDeviceDrawsNothingAndDoesNotCrash) {
    QImage null;
    TQtCanvas canvas(&null);
    canvas.Rectangle(0, 0, 10, 10);
    canvas.TextOut(0, 0, "x");
    canvas.SetFont({.Name = "Arial", .Height = 20});
    EXPECT_GT(canvas.TextMetrics().Height, 0);
    canvas.SaveState();
    canvas.RestoreState();
}

} // namespace
