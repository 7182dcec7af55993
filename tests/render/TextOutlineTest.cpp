// Text measuring, outlined text and striped text through the draw engine.
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace enginetest;

namespace {

constexpr TColor kInk = 0x800000;
constexpr TColor kFill = 0x00A000;
constexpr TColor kStripe = 0x0000C0;

TEngineFont InkFont(const QString& name = QStringLiteral("Arial")) {
    TEngineFont font;
    font.Name = name;
    font.Color = kInk;
    return font;
}

// Pixels of the set, grown by `reach` pixels in every direction.
TPixelSet Grown(const TPixelSet& pixels, int reach) {
    TPixelSet grown;
    for (const auto& [x, y] : pixels)
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx) grown.insert({x + dx, y + dy});
    return grown;
}

bool Contains(const TPixelSet& pixels, int x, int y) { return pixels.count({x, y}) != 0; }

} // namespace

TEST(MeasureTextTest, AgreesWithTheExtentDrawTextReturns) {
    struct TCase {
        int Zoom;
        double Width;
        const char* Font;
        bool Bold;
    };
    const QString text = QStringLiteral("Maße Ø 20° 5 €");
    for (const TCase& c : {TCase{100, 0, "Arial", false}, TCase{200, 0, "Arial", false},
                           TCase{100, 3.5, "Times New Roman", true}, TCase{200, 1.2, "Courier New", false}}) {
        SCOPED_TRACE(testing::Message() << c.Zoom << " " << c.Width << " " << c.Font);
        TEngineFont font = InkFont(QString::fromLatin1(c.Font));
        font.Bold = c.Bold;
        QSize drawn;
        TTextExtent withCanvas;
        Render(400, 200, [&](TVXDrawEngine& e, TCanvas&) {
            drawn = e.DrawText(DoublePoint(5, 5), c.Width, 6, 0, font, text, 0);
            withCanvas = e.MeasureText(c.Width, 6, 0, font, text);
        }, PlainMapping(c.Zoom));
        ASSERT_FALSE(drawn.isEmpty());
        const double factor = 4.0 * c.Zoom / 100.0;
        EXPECT_DOUBLE_EQ(withCanvas.Width, drawn.width() / factor);
        EXPECT_DOUBLE_EQ(withCanvas.Height, drawn.height() / factor);
        EXPECT_NEAR(withCanvas.Height, 6, 1 / factor);

        // The same without a canvas installed.
        TVXDrawEngine bare;
        PlainMapping(c.Zoom).InstallInto(bare);
        const TTextExtent measured = bare.MeasureText(c.Width, 6, 0, font, text);
        EXPECT_DOUBLE_EQ(measured.Width, withCanvas.Width);
        EXPECT_DOUBLE_EQ(measured.Height, withCanvas.Height);
        EXPECT_DOUBLE_EQ(measured.AveCharWidth, withCanvas.AveCharWidth);

        // Spacing lies between the characters: one gap fewer than characters.
        const TTextExtent spaced = bare.MeasureText(c.Width, 6, 0.5, font, text);
        EXPECT_NEAR(spaced.Width, measured.Width + 0.5 * (text.size() - 1), 1e-9);
        EXPECT_EQ(spaced.Height, measured.Height);
    }
}

TEST(MeasureTextTest, NaturalCharacterWidthAndDegenerateInput) {
    TVXDrawEngine engine;
    PlainMapping().InstallInto(engine);
    const TTextExtent natural = engine.MeasureText(0, 10, 0, InkFont(), QStringLiteral("xxxxxxxxxx"));
    ASSERT_GT(natural.AveCharWidth, 0);
    // A stretched text reports the natural average width, and stretching to
    // twice that width doubles the text's width (within the pixel rounding).
    const TTextExtent wide = engine.MeasureText(2 * natural.AveCharWidth, 10, 0, InkFont(), QStringLiteral("xxxxxxxxxx"));
    EXPECT_DOUBLE_EQ(wide.AveCharWidth, natural.AveCharWidth);
    EXPECT_NEAR(wide.Width / natural.Width, 2.0, 0.1);

    // Too low for a pixel, not a number, empty: nothing to lay out, no failure.
    EXPECT_EQ(engine.MeasureText(0, 0.05, 0, InkFont(), QStringLiteral("abc")).Width, 0);
    EXPECT_EQ(engine.MeasureText(0, std::nan(""), 0, InkFont(), QStringLiteral("abc")).Height, 0);
    const TTextExtent empty = engine.MeasureText(0, 5, 1, InkFont(), QString());
    EXPECT_EQ(empty.Width, 0);
    EXPECT_NEAR(empty.Height, 5, 0.25);
    // Below the drawing limit a text is still measured.
    EXPECT_GT(engine.MeasureText(0, 0.9, 0, InkFont(), QStringLiteral("abc")).Width, 0);
}

TEST(TextOutlineTest, GlyphInteriorsTakeTheBrushAndTheOutlineThePen) {
    const auto draw = [](TBrushStyle brush, double angle) {
        return Render(300, 300, [&](TVXDrawEngine& e, TCanvas&) {
            e.SetPen(kInk, 1, TPenStyle::psSolid);
            e.DrawTextOutline(DoublePoint(10, 10), 0, 25, 0, InkFont(), QStringLiteral("HI"), angle, brush, kFill);
        });
    };
    const QImage filled = draw(TBrushStyle::bsSolid, 0);
    const TPixelSet pen = WithColor(filled, kInk);
    const TPixelSet fill = WithColor(filled, kFill);
    ASSERT_FALSE(pen.empty());
    ASSERT_FALSE(fill.empty());
    EXPECT_EQ(Differing(filled).size(), pen.size() + fill.size());
    // Every filled pixel lies inside the outline's bounds and is surrounded
    // by the outline: the stem of the "I" is filled across its middle.
    const TBox outline = BoundsOf(pen);
    const TBox inside = BoundsOf(fill);
    EXPECT_GT(inside.MinX, outline.MinX);
    EXPECT_LT(inside.MaxX, outline.MaxX);
    EXPECT_GT(inside.MinY, outline.MinY);
    EXPECT_LT(inside.MaxY, outline.MaxY);

    // The same glyphs as plain text cover the outline and its fill.
    const QImage plain = Render(300, 300, [&](TVXDrawEngine& e, TCanvas&) {
        e.DrawText(DoublePoint(10, 10), 0, 25, 0, InkFont(), QStringLiteral("HI"), 0);
    });
    const TPixelSet glyphs = Grown(WithColor(plain, kInk), 1);
    for (const TPixel& p : fill) ASSERT_TRUE(Contains(glyphs, p.first, p.second));

    // A clear brush leaves the interiors alone.
    const QImage hollow = draw(TBrushStyle::bsClear, 0);
    EXPECT_TRUE(WithColor(hollow, kFill).empty());
    EXPECT_EQ(WithColor(hollow, kInk), pen);

    // Turned by 30°: the same anchor and angle rules as plain text.
    const double angle = std::numbers::pi / 6;
    const QImage turned = draw(TBrushStyle::bsSolid, angle);
    const QImage turnedPlain = Render(300, 300, [&](TVXDrawEngine& e, TCanvas&) {
        e.DrawText(DoublePoint(10, 10), 0, 25, 0, InkFont(), QStringLiteral("HI"), angle);
    });
    const TBox a = BoundsOf(Differing(turned));
    const TBox b = BoundsOf(WithColor(turnedPlain, kInk));
    EXPECT_NEAR(a.MinX, b.MinX, 2);
    EXPECT_NEAR(a.MaxX, b.MaxX, 2);
    EXPECT_NEAR(a.MinY, b.MinY, 2);
    EXPECT_NEAR(a.MaxY, b.MaxY, 2);
}

TEST(StripedTextTest, InkOnlyInsideTheGlyphsAndInStripeRows) {
    // Anchor (10, 10) mm = (40, 40) px; 20 mm = 80 px high; stripes 1 mm = 4 px apart.
    const QString text = QStringLiteral("HOW");
    TTextExtent extent;
    const QImage striped = Render(400, 200, [&](TVXDrawEngine& e, TCanvas& c) {
        extent = e.MeasureText(0, 20, 0, InkFont(), text);
        const TDoublePointArr box = {DoublePoint(10, 10), DoublePoint(10 + extent.Width, 10),
                                     DoublePoint(10 + extent.Width, 30), DoublePoint(10, 30)};
        e.SetPen(kStripe, 1, TPenStyle::psSolid);
        const QSize drawn = e.DrawStripedText(DoublePoint(10, 10), 0, 20, 0, InkFont(), text, 0, box, 1.0);
        EXPECT_DOUBLE_EQ(drawn.width() / 4.0, extent.Width);
        // The clip is gone afterwards: a line outside the glyphs is drawn.
        e.SetPen(kInk, 1, TPenStyle::psSolid);
        e.DrawLine(DoublePoint(1, 45), DoublePoint(90, 45));
        EXPECT_EQ(c.TextCharacterExtra(), 0);
    });
    const TPixelSet stripes = WithColor(striped, kStripe);
    ASSERT_FALSE(stripes.empty());
    EXPECT_FALSE(WithColor(striped, kInk).empty());
    EXPECT_TRUE(WithColor(striped, kInk).count({200, 180}) == 1);

    const QImage plain = Render(400, 200, [&](TVXDrawEngine& e, TCanvas&) {
        e.DrawText(DoublePoint(10, 10), 0, 20, 0, InkFont(), text, 0);
    });
    const TPixelSet glyphs = Grown(WithColor(plain, kInk), 1);
    std::set<int> rows;
    for (const auto& [x, y] : stripes) {
        ASSERT_TRUE(Contains(glyphs, x, y)) << x << "," << y;
        rows.insert(y);
    }
    // Rows every 4 pixels from the top of the box (pixel 40), and enough of
    // them to cross the capitals.
    for (int y : rows) EXPECT_EQ((y - 40) % 4, 0) << y;
    EXPECT_GE(rows.size(), 10u);
    // Inside a stripe row the glyph's stem is inked across.
    const TBox inkBox = BoundsOf(stripes);
    EXPECT_GE(inkBox.MinY, 40);
    EXPECT_LE(inkBox.MaxY, 120);
}

TEST(StripedTextTest, NoStepOrNoBoxDrawsNoStripesAndLowTextNothing) {
    for (double step : {0.0, -1.0, std::nan("")}) {
        SCOPED_TRACE(step);
        const QImage image = Render(200, 100, [&](TVXDrawEngine& e, TCanvas&) {
            e.SetPen(kStripe, 1, TPenStyle::psSolid);
            e.DrawStripedText(DoublePoint(5, 5), 0, 10, 0, InkFont(), QStringLiteral("H"), 0,
                              {DoublePoint(5, 5), DoublePoint(15, 5), DoublePoint(15, 15), DoublePoint(5, 15)}, step);
        });
        EXPECT_TRUE(Differing(image).empty());
    }
    const QImage low = Render(200, 100, [&](TVXDrawEngine& e, TCanvas&) {
        e.SetPen(kStripe, 1, TPenStyle::psSolid);
        const QSize drawn = e.DrawStripedText(DoublePoint(5, 5), 0, 0.9, 0, InkFont(), QStringLiteral("H"), 0,
                                              {DoublePoint(5, 5), DoublePoint(15, 5)}, 0.1);
        EXPECT_EQ(drawn, QSize());
    });
    EXPECT_TRUE(Differing(low).empty());
}
