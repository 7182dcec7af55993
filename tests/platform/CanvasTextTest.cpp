// Text on the QPainter canvas: GDI cell heights and metrics, the anchor at
// the top-left of the cell, escapement, width, extra spacing, background,
// and the Windows font names.
#include "CanvasTestSupport.h"

#include "platform/FontSubstitution.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <array>
#include <cmath>
#include <numbers>

using namespace canvastest;

namespace {

constexpr std::array<const char*, 4> kFonts{"Arial", "Times New Roman", "Courier New", "Tahoma"};

TFontSpec FontOf(const char* name, int height, TColor color = kBlack) {
    TFontSpec font;
    font.Name = QString::fromLatin1(name);
    font.Height = height;
    font.Color = color;
    return font;
}

int InkWidth(const QImage& image) {
    const TPixelSet ink = Differing(image);
    if (ink.empty()) return 0;
    const TBox box = BoundsOf(ink);
    return box.MaxX - box.MinX + 1;
}

TEST(FontSubstitutionTest, WindowsNamesMapToInstalledFamiliesCaseInsensitively) {
    struct TCase {
        const char* Windows;
        const char* Family;
        bool Bold;
    };
    const std::array<TCase, 8> cases{{
        {"Arial", "Liberation Sans", false},
        {"arial black", "DejaVu Sans", true},
        {"TAHOMA", "DejaVu Sans", false},
        {"MS Sans Serif", "Liberation Sans", false},
        {"Courier New", "Liberation Mono", false},
        {"Times New Roman", "Liberation Serif", false},
        {"Marlett", "DejaVu Sans", false},
        {"Wingdings", "Wingdings", false},
    }};
    const QStringList installed = QFontDatabase::families();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Windows);
        const TFontSubstitute substitute = LookupFontSubstitute(QString::fromLatin1(c.Windows));
        EXPECT_EQ(substitute.Family, QString::fromLatin1(c.Family));
        EXPECT_EQ(substitute.ForceBold, c.Bold);
        EXPECT_EQ(SubstituteFontFamily(QString::fromLatin1(c.Windows)), QString::fromLatin1(c.Family));
        if (QString::fromLatin1(c.Windows) != QString::fromLatin1(c.Family)) {
            EXPECT_TRUE(installed.contains(substitute.Family)) << "install fonts-liberation and fonts-dejavu-core";
        }
    }
}

TEST(FontSubstitutionTest, MarlettCharactersBecomeSymbols) {
    EXPECT_EQ(TranslateSymbolFontText("Marlett", "4"), QString(QChar(0x25B6)));
    EXPECT_EQ(TranslateSymbolFontText("marlett", "r3x"), QString::fromUtf16(u"\u2715\u25C0x"));
    EXPECT_EQ(TranslateSymbolFontText("Arial", "4r"), QStringLiteral("4r"));
}

TEST(CanvasTextTest, PositiveHeightIsTheCellHeight) {
    QImage image = MakeImage(8, 8);
    TQtCanvas canvas(&image);
    for (const char* name : kFonts) {
        for (int height = 8; height <= 80; ++height) {
            SCOPED_TRACE(testing::Message() << name << " " << height);
            canvas.SetFont(FontOf(name, height));
            const TTextMetrics metrics = canvas.TextMetrics();
            // Glyphs come in whole pixel sizes, so a few cell heights are out of reach by one pixel.
            EXPECT_LE(std::abs(metrics.Height - height), 1);
            EXPECT_EQ(metrics.Ascent + metrics.Descent, metrics.Height);
            EXPECT_GE(metrics.InternalLeading, 0);
            EXPECT_LT(metrics.InternalLeading, metrics.Height / 4 + 2);
            EXPECT_GT(metrics.AveCharWidth, 0);
        }
    }
    canvas.SetFont(FontOf("Arial", 20));
    EXPECT_EQ(canvas.TextMetrics().Height, 20);
    EXPECT_EQ(canvas.TextExtent("Hg").height(), 20);
}

TEST(CanvasTextTest, NegativeHeightIsTheCharacterHeight) {
    QImage image = MakeImage(8, 8);
    TQtCanvas canvas(&image);
    for (const char* name : kFonts) {
        SCOPED_TRACE(name);
        for (int height : {8, 16, 33}) {
            canvas.SetFont(FontOf(name, -height));
            const TTextMetrics metrics = canvas.TextMetrics();
            EXPECT_EQ(metrics.Height - metrics.InternalLeading, height);
            EXPECT_GT(metrics.InternalLeading, 0);
        }
    }
    canvas.SetFont(FontOf("Arial", 0));
    EXPECT_GT(canvas.TextMetrics().Height, 8);
}

TEST(CanvasTextTest, TextSitsInItsCellBelowAndRightOfTheAnchor) {
    QImage image = MakeImage(200, 60);
    TTextMetrics metrics;
    QSize extent;
    {
        TQtCanvas canvas(&image);
        canvas.SetFont(FontOf("Arial", 30, kRed));
        metrics = canvas.TextMetrics();
        extent = canvas.TextExtent("Hgy");
        canvas.TextOut(20, 10, "Hgy");
    }
    const TPixelSet ink = Differing(image);
    ASSERT_FALSE(ink.empty());
    EXPECT_EQ(WithColor(image, kRed), ink); // aliased: the text colour only
    const TBox box = BoundsOf(ink);
    EXPECT_GE(box.MinX, 20);
    EXPECT_LE(box.MaxX, 20 + extent.width());
    EXPECT_GE(box.MinY, 10);
    EXPECT_LE(box.MinY, 10 + metrics.InternalLeading + 2); // the top of the "H"
    EXPECT_GE(box.MaxY, 10 + metrics.Ascent + 2);         // descenders below the base line
    EXPECT_LT(box.MaxY, 10 + metrics.Height);
}

// Angle of the main axis of the ink, counter-clockwise on screen, in degrees.
double InkAxisAngle(const TPixelSet& ink) {
    double mx = 0, my = 0;
    for (const auto& [x, y] : ink) mx += x, my += y;
    mx /= static_cast<double>(ink.size());
    my /= static_cast<double>(ink.size());
    double sxx = 0, syy = 0, sxy = 0;
    for (const auto& [x, y] : ink) {
        const double dx = x - mx, dy = -(y - my);
        sxx += dx * dx;
        syy += dy * dy;
        sxy += dx * dy;
    }
    return 0.5 * std::atan2(2 * sxy, sxx - syy) * 180.0 / std::numbers::pi;
}

TEST(CanvasTextTest, EscapementTurnsTheBaseLineCounterClockwise) {
    const QString text = QStringLiteral("MMMMMMMMMMMM");
    QImage image = MakeImage(400, 300);
    QSize extent;
    {
        TQtCanvas canvas(&image);
        TFontSpec font = FontOf("Arial", 24);
        font.Escapement = 300;
        canvas.SetFont(font);
        extent = canvas.TextExtent(text);
        canvas.TextOut(30, 260, text);
    }
    const TPixelSet ink = Differing(image);
    ASSERT_GT(ink.size(), 500u);
    EXPECT_NEAR(InkAxisAngle(ink), 30.0, 3.0);
    // Nothing lies where the unturned text would run beyond its first letters.
    for (const auto& [x, y] : ink) EXPECT_FALSE(x > 30 + extent.width() / 3 && y >= 255) << x << "," << y;
    // The far end of the text lies up and to the right of the anchor along 30°.
    const TBox box = BoundsOf(ink);
    EXPECT_NEAR(box.MaxX, 30 + extent.width() * std::cos(std::numbers::pi / 6) + 24 * 0.5, 6);
    EXPECT_NEAR(box.MinY, 260 - extent.width() * 0.5, 6);
}

TEST(CanvasTextTest, EscapementOf90DegreesRunsUpwards) {
    QImage image = MakeImage(100, 200);
    QSize extent;
    {
        TQtCanvas canvas(&image);
        TFontSpec font = FontOf("Arial", 20);
        font.Escapement = 900;
        canvas.SetFont(font);
        extent = canvas.TextExtent("Senkrecht");
        canvas.TextOut(40, 180, "Senkrecht");
    }
    const TBox box = BoundsOf(Differing(image));
    EXPECT_GE(box.MinX, 40);
    EXPECT_LT(box.MaxX, 40 + 20);
    EXPECT_LE(box.MaxY, 180);
    EXPECT_GE(box.MinY, 180 - extent.width() - 1);
    EXPECT_LT(box.MinY, 180 - extent.width() + 8);
}

TEST(CanvasTextTest, ExtraSpacingWidensTheInkButNotTheExtent) {
    QImage plain = MakeImage(200, 40);
    QImage spaced = MakeImage(200, 40);
    QSize plainExtent, spacedExtent;
    {
        TQtCanvas canvas(&plain);
        canvas.SetFont(FontOf("Arial", 20));
        plainExtent = canvas.TextExtent("IIIII");
        canvas.TextOut(5, 5, "IIIII");
    }
    {
        TQtCanvas canvas(&spaced);
        canvas.SetFont(FontOf("Arial", 20));
        canvas.SetTextCharacterExtra(6);
        EXPECT_EQ(canvas.TextCharacterExtra(), 6);
        spacedExtent = canvas.TextExtent("IIIII");
        canvas.TextOut(5, 5, "IIIII");
    }
    EXPECT_EQ(spacedExtent, plainExtent);
    EXPECT_EQ(InkWidth(spaced) - InkWidth(plain), 4 * 6);
    EXPECT_EQ(BoundsOf(Differing(spaced)).MinX, BoundsOf(Differing(plain)).MinX);
}

TEST(CanvasTextTest, WidthStretchesTheText) {
    QImage natural = MakeImage(400, 40);
    QImage wide = MakeImage(400, 40);
    TTextMetrics naturalMetrics, wideMetrics;
    QSize naturalExtent, wideExtent;
    const QString text = QStringLiteral("Breite Schrift");
    {
        TQtCanvas canvas(&natural);
        canvas.SetFont(FontOf("Arial", 20));
        naturalMetrics = canvas.TextMetrics();
        naturalExtent = canvas.TextExtent(text);
        canvas.TextOut(5, 5, text);
    }
    {
        TQtCanvas canvas(&wide);
        TFontSpec font = FontOf("Arial", 20);
        font.Width = 2 * naturalMetrics.AveCharWidth;
        canvas.SetFont(font);
        wideMetrics = canvas.TextMetrics();
        wideExtent = canvas.TextExtent(text);
        canvas.TextOut(5, 5, text);
    }
    EXPECT_EQ(wideMetrics.AveCharWidth, 2 * naturalMetrics.AveCharWidth);
    EXPECT_EQ(wideMetrics.Height, naturalMetrics.Height);
    EXPECT_NEAR(wideExtent.width(), 2.0 * naturalExtent.width(), 0.1 * naturalExtent.width());
    EXPECT_NEAR(InkWidth(wide), 2.0 * InkWidth(natural), 0.1 * InkWidth(natural));
    EXPECT_EQ(BoundsOf(Differing(wide)).MinY, BoundsOf(Differing(natural)).MinY);
}

TEST(CanvasTextTest, OpaqueBackgroundFillsExactlyTheCell) {
    QImage image = MakeImage(200, 50);
    QSize extent;
    {
        TQtCanvas canvas(&image);
        canvas.SetFont(FontOf("Arial", 20));
        canvas.SetBackgroundTransparent(false);
        EXPECT_FALSE(canvas.BackgroundTransparent());
        canvas.SetBackgroundColor(kBlue);
        EXPECT_EQ(canvas.BackgroundColor(), kBlue);
        extent = canvas.TextExtent("Text");
        canvas.TextOut(10, 12, "Text");
    }
    EXPECT_EQ(BoundsOf(Differing(image)).MinX, 10);
    EXPECT_EQ(BoundsOf(Differing(image)).MinY, 12);
    EXPECT_EQ(BoundsOf(Differing(image)).MaxY, 12 + extent.height() - 1);
    EXPECT_NEAR(BoundsOf(Differing(image)).MaxX, 10 + extent.width() - 1, 1);
    for (int y = 12; y < 12 + extent.height(); ++y)
        for (int x = 10; x < 10 + extent.width() - 1; ++x) {
            const QRgb pixel = Raw(image, x, y);
            EXPECT_TRUE(pixel == Rgb(kBlue) || pixel == Rgb(kBlack)) << x << "," << y;
        }
}

TEST(CanvasTextTest, UnderlineStrikeOutAndBoldAddInk) {
    auto inkOf = [](bool bold, bool underline, bool strikeOut) {
        QImage image = MakeImage(200, 40);
        TQtCanvas canvas(&image);
        TFontSpec font = FontOf("Arial", 24);
        font.Bold = bold;
        font.Underline = underline;
        font.StrikeOut = strikeOut;
        canvas.SetFont(font);
        canvas.TextOut(5, 5, "mmmm");
        return Differing(image);
    };
    const TPixelSet plain = inkOf(false, false, false);
    const TPixelSet bold = inkOf(true, false, false);
    const TPixelSet underlined = inkOf(false, true, false);
    const TPixelSet struck = inkOf(false, false, true);
    EXPECT_GT(bold.size(), plain.size() + plain.size() / 5);
    EXPECT_GT(BoundsOf(underlined).MaxY, BoundsOf(plain).MaxY);
    EXPECT_GT(struck.size(), plain.size());
    EXPECT_EQ(BoundsOf(struck).MaxY, BoundsOf(plain).MaxY);
}

TEST(CanvasTextTest, TextInAPathBecomesGlyphOutlines) {
    QImage image = MakeImage(200, 50);
    TDeviceRegion region;
    {
        TQtCanvas canvas(&image);
        canvas.SetFont(FontOf("Arial", 30));
        canvas.BeginPath();
        canvas.TextOut(10, 10, "Umriss");
        canvas.EndPath();
        EXPECT_TRUE(Differing(image).empty());
        region = canvas.PathToRegion();
    }
    ASSERT_FALSE(region.IsEmpty());
    const TDeviceRect box = region.BoundingBox();
    EXPECT_GE(box.Left, 10);
    EXPECT_GE(box.Top, 10);
    EXPECT_LE(box.Bottom, 40);
    QImage drawn = MakeImage(200, 50);
    {
        TQtCanvas canvas(&drawn);
        canvas.SetFont(FontOf("Arial", 30));
        canvas.TextOut(10, 10, "Umriss");
    }
    int agree = 0, total = 0;
    for (int y = 10; y < 40; ++y)
        for (int x = 10; x < 120; ++x) {
            ++total;
            if (region.Contains(x, y) == ((Raw(drawn, x, y) & 0xFFFFFFu) != 0xFFFFFFu)) ++agree;
        }
    // The outlines are unhinted, the drawn glyphs hinted: they agree but for edge pixels.
    EXPECT_GT(agree, total * 85 / 100);
    const TBox drawnBox = BoundsOf(Differing(drawn));
    EXPECT_NEAR(box.Left, drawnBox.MinX, 2);
    EXPECT_NEAR(box.Right - 1, drawnBox.MaxX, 2);
    EXPECT_NEAR(box.Top, drawnBox.MinY, 2);
    EXPECT_NEAR(box.Bottom - 1, drawnBox.MaxY, 2);
}

} // namespace
