// Text through the draw engine: the pixel height limit, the turned text, the
// returned extent, width and spacing, and the canvas state left behind.
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace enginetest;

namespace {

constexpr TColor kInk = 0x800000;
const QString kText = QStringLiteral("HHHHHH");

TEngineFont InkFont() {
    TEngineFont font;
    font.Color = kInk;
    return font;
}

struct TTextResult {
    QImage Image;
    QSize Extent;
};

// Anchor (25, 25) mm = pixel (100, 100); height 5 mm = 20 px.
TTextResult Draw(double angle, double width = 0, double spacing = 0, double height = 5) {
    TTextResult result;
    result.Image = Render(200, 200, [&](TVXDrawEngine& e, TCanvas&) {
        result.Extent = e.DrawText(DoublePoint(25, 25), width, height, spacing, InkFont(), kText, angle);
    });
    return result;
}

} // namespace

TEST(DrawTextTest, HorizontalTextRunsRightAndDownFromTheAnchor) {
    const TTextResult r = Draw(0);
    const TPixelSet ink = WithColor(r.Image, kInk);
    ASSERT_FALSE(ink.empty());
    const TBox box = BoundsOf(ink);
    EXPECT_GT(box.MaxX - box.MinX, 2 * (box.MaxY - box.MinY));
    EXPECT_GE(box.MinX, 100);
    EXPECT_GE(box.MinY, 100);
    EXPECT_LE(box.MaxY, 120);
    EXPECT_NEAR(r.Extent.height(), 20, 1);
    EXPECT_NEAR(r.Extent.width(), box.MaxX - box.MinX + 1, 4);
}

TEST(DrawTextTest, QuarterTurnWithTopZeroRunsDownTheScreen) {
    // With y growing downwards a counter-clockwise world angle of 90° points
    // down the screen: escapement −900.
    const TTextResult flat = Draw(0);
    const TTextResult r = Draw(std::numbers::pi / 2);
    const TPixelSet ink = WithColor(r.Image, kInk);
    ASSERT_FALSE(ink.empty());
    const TBox box = BoundsOf(ink);
    EXPECT_GT(box.MaxY - box.MinY, 2 * (box.MaxX - box.MinX));
    EXPECT_GE(box.MinY, 99);        // below the anchor
    EXPECT_LE(box.MaxX, 100 + 3);   // the glyph tops face +x; the anchor is lifted by a third of the leading
    EXPECT_GE(box.MinX, 100 - 21);
    // The extent is that of the unturned text.
    EXPECT_EQ(r.Extent, flat.Extent);
}

TEST(DrawTextTest, BelowFourPixelsNothingIsDrawn) {
    const TTextResult r = Draw(0, 0, 0, 0.9); // 3.6 px at zoom 100 %
    EXPECT_TRUE(Differing(r.Image).empty());
    EXPECT_EQ(r.Extent, QSize());
    const TTextResult four = Draw(0, 0, 0, 1.0); // exactly 4 px is drawn
    EXPECT_FALSE(Differing(four.Image).empty());
}

TEST(DrawTextTest, SpacingWidensTheInkButNotTheExtent) {
    const TTextResult plain = Draw(0);
    const TTextResult spaced = Draw(0, 0, 1.0); // 4 px after every character
    const int plainWidth = BoundsOf(WithColor(plain.Image, kInk)).MaxX - BoundsOf(WithColor(plain.Image, kInk)).MinX;
    const int spacedWidth =
        BoundsOf(WithColor(spaced.Image, kInk)).MaxX - BoundsOf(WithColor(spaced.Image, kInk)).MinX;
    EXPECT_NEAR(spacedWidth - plainWidth, 5 * 4, 2);
    EXPECT_EQ(spaced.Extent, plain.Extent);
}

TEST(DrawTextTest, CharacterWidthStretchesTheText) {
    const TTextResult plain = Draw(0);
    const TTextResult wide = Draw(0, 5.0); // 20 px average character width
    EXPECT_GT(wide.Extent.width(), plain.Extent.width() + 20);
    EXPECT_EQ(wide.Extent.height(), plain.Extent.height());
}

TEST(DrawTextTest, CanvasFontSpacingAndBackgroundAreRestored) {
    QImage image = MakeImage(200, 200);
    TQtCanvas canvas(&image);
    TFontSpec before;
    before.Name = QStringLiteral("Courier New");
    before.Height = 13;
    canvas.SetFont(before);
    canvas.SetTextCharacterExtra(2);
    canvas.SetBackgroundTransparent(false);
    TVXDrawEngine engine;
    PlainMapping().InstallInto(engine);
    engine.SetCanvas(&canvas);
    engine.DrawText(DoublePoint(25, 25), 2, 5, 1, InkFont(), kText, 0.3);
    EXPECT_EQ(canvas.Font(), before);
    EXPECT_EQ(canvas.TextCharacterExtra(), 2);
    EXPECT_FALSE(canvas.BackgroundTransparent());
}

TEST(DrawInfoTextTest, CentredOnThePointAndSkippedWhenTooSmall) {
    const QImage image = Render(200, 200, [&](TVXDrawEngine& e, TCanvas&) {
        e.DrawInfoText(DoublePoint(25, 25), kInk, 5, QStringLiteral("Arial"), kText);
    });
    const TBox box = BoundsOf(WithColor(image, kInk));
    EXPECT_NEAR((box.MinX + box.MaxX) / 2.0, 100, 3);
    EXPECT_NEAR((box.MinY + box.MaxY) / 2.0, 100, 4);

    const QImage small = Render(200, 200, [&](TVXDrawEngine& e, TCanvas&) {
        e.DrawInfoText(DoublePoint(25, 25), kInk, 0.9, QStringLiteral("Arial"), kText);
    });
    EXPECT_TRUE(Differing(small).empty());
}
