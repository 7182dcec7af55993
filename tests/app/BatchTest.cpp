// The batch mode: number format, the listing, page rendering and the real
// program's behaviour on bad input.
#include "app/BatchCommands.h"
#include "app/NumberFormat.h"
#include "app/QuellinProcess.h"
#include "document/VXDrawing.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

TEST(NumberFormat, CLocaleFourDecimalsNoTrailingZeros) {
    struct Case {
        double Value;
        const char* Text;
    } const cases[] = {
        {0, "0"},        {-0.0, "0"},        {210, "210"},          {297.5, "297.5"},
        {1.25, "1.25"},  {0.1 + 0.2, "0.3"}, {1.23456, "1.2346"},   {-12.00004, "-12"},
        {-0.00004, "0"}, {1e7, "10000000"},  {-3.14159, "-3.1416"}, {2.99999, "3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Value);
        EXPECT_EQ(FormatNumber(c.Value).toStdString(), c.Text);
    }
}

// A small drawing whose listing is known line by line.
class ListingTest : public ::testing::Test {
protected:
    ListingTest() {
        Doc.SetWorkWidth(210);
        Doc.SetWorkHeight(148.5);
        const int walls = Doc.NewLayer(QStringLiteral("Wände"));
        const int notes = Doc.NewLayer(QStringLiteral("Notiz \"A\""));
        Doc.HideLayer(notes);
        Doc.GrayLayer(walls);
        Doc.Line(walls, 10, 20.5, 110.25, 20.5, 1, 0, 0, 0, false);
        const std::vector<TDoublePoint> points{DoublePoint(1.0 / 3, 2), DoublePoint(5, 6),
                                               DoublePoint(7, 8.12345)};
        Doc.PolyLine(0, points, 1, 0, 0, 0, 1, 0, false, false);
        Doc.DrawCircle(walls, 50, 60, 12.5, 1, 0, 0, 1, 0, false);
        Doc.TextOut(notes, 5, 5, 0, 4, 0, QStringLiteral("Größe"), QStringLiteral("Arial"), 0, 0, false);
    }
    QString Listing() {
        QString text;
        QTextStream out(&text);
        ListDrawing(Doc, out);
        return text;
    }
    TVXDrawing Doc;
};

TEST_F(ListingTest, PageLayersAndFiguresInZOrder) {
    const QStringList lines = Listing().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 9) << Listing().toStdString();
    EXPECT_EQ(lines[0].toStdString(), "page 210 x 148.5 mm");
    EXPECT_EQ(lines[1].toStdString(), "layer 0 \"Base Layer\" visible");
    EXPECT_EQ(lines[2].toStdString(), "layer 1 \"Wände\" grayed");
    EXPECT_EQ(lines[3].toStdString(), "layer 2 \"Notiz \\\"A\\\"\" hidden");
    const auto figureLine = [&](int i) { return lines[4 + i].toStdString(); };
    EXPECT_EQ(figureLine(0), "figure 0 TLine \"" + Doc.GetFigure(0)->FName.toStdString() +
                                 "\" layer 1 points (10,20.5) (110.25,20.5)");
    EXPECT_EQ(figureLine(1), "figure 1 TPolyline \"" + Doc.GetFigure(1)->FName.toStdString() +
                                 "\" layer 0 points (0.3333,2) (5,6) (7,8.1235)");
    EXPECT_EQ(figureLine(2).rfind("figure 2 TCircle \"", 0), 0u) << figureLine(2);
    EXPECT_NE(figureLine(2).find("\" layer 1 points (50,60)"), std::string::npos) << figureLine(2);
    EXPECT_EQ(figureLine(3).rfind("figure 3 TText \"", 0), 0u) << figureLine(3);
    EXPECT_NE(figureLine(3).find("\" layer 2 points (5,5)"), std::string::npos) << figureLine(3);
    EXPECT_TRUE(lines[8].isEmpty());
}

TEST_F(ListingTest, NamesAreUtf8) {
    Doc.GetFigure(0)->FName = QStringLiteral("Maß ä");
    QByteArray bytes;
    {
        QTextStream out(&bytes);
        out.setEncoding(QStringConverter::Utf8);
        ListDrawing(Doc, out);
    }
    EXPECT_NE(bytes.indexOf("\"Ma\xC3\x9F \xC3\xA4\""), -1) << bytes.toStdString();
    EXPECT_NE(bytes.indexOf("\"W\xC3\xA4nde\""), -1);
}

TEST_F(ListingTest, PageRenderedAtFullSizeShowsTheFigures) {
    const QImage page = RenderPage(Doc);
    EXPECT_EQ(page.size(), QSize(840, 594));
    // The circle's rightmost point (62.5 mm, 60 mm) at 4 px/mm, drawn grayed.
    int marked = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if ((page.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++marked;
    EXPECT_GT(marked, 200);
    bool nearCircle = false;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            nearCircle |= (page.pixel(250 + dx, 240 + dy) & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_TRUE(nearCircle);
}

TEST_F(ListingTest, ExportToPictures) {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("blatt.png"));
    const QString bmp = dir.filePath(QStringLiteral("blatt.bmp"));
    ASSERT_EQ(ExportDrawing(Doc, png).toStdString(), "");
    ASSERT_EQ(ExportDrawing(Doc, bmp).toStdString(), "");
    const QImage fromPng(png);
    EXPECT_EQ(fromPng.size(), QSize(840, 594));
    QFile file(bmp);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(2), QByteArray("BM"));
    EXPECT_EQ(QImage(bmp).convertToFormat(QImage::Format_RGB32),
              fromPng.convertToFormat(QImage::Format_RGB32));
    EXPECT_FALSE(ExportDrawing(Doc, dir.filePath(QStringLiteral("blatt.svg"))).isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("blatt.svg"))));
}

// The exported page is the drawing only: the surface's page frame, shadow,
// grid, guide lines, centre cross and selection marks stay out, whatever the
// view shows, and the view is left as it was.
TEST(PageRender, OnlyTheFiguresOnThePageColour) {
    TVXDrawing doc;
    doc.resize(500, 400);
    doc.SetWorkWidth(210);
    doc.SetWorkHeight(297);
    doc.SetPageColor(0x00FFFF); // yellow (blue, green, red from the low byte)
    doc.SetGrids(true);
    doc.SetDrawShadow(true);
    doc.SetCenterGuide(true);
    doc.SetGuidesVisible(true);
    doc.AddGuide(TGuideLine::kHorizontal, 100);
    doc.AddGuide(TGuideLine::kVertical, 50);
    doc.SetZoomScale(50);
    // Across the page 10 mm below the top, selected, in red.
    doc.Line(0, 0, 10, 210, 10, 1, 0, 0x0000FF, 0, true);
    doc.Refresh();

    const QImage page = RenderPage(doc);
    ASSERT_EQ(page.size(), QSize(840, 1188));
    const QRgb paper = qRgb(255, 255, 0);
    int stray = 0;
    int onLine = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb pixel = page.pixel(x, y) | 0xFF000000;
            if (std::abs(y - 40) <= 2)
                onLine += pixel == qRgb(255, 0, 0);
            else if (pixel != paper)
                ++stray;
        }
    EXPECT_EQ(stray, 0);
    EXPECT_GE(onLine, 840);
    // The line reaches both page edges: no frame drawn over it.
    EXPECT_EQ(page.pixel(0, 40) | 0xFF000000, qRgb(255, 0, 0));
    EXPECT_EQ(page.pixel(839, 40) | 0xFF000000, qRgb(255, 0, 0));

    EXPECT_EQ(doc.ZoomScale(), 50);
    EXPECT_TRUE(doc.Grids());
    EXPECT_TRUE(doc.DrawShadow());
    EXPECT_TRUE(doc.GetFigure(0)->FSelected);
}

TEST(PageRender, ZeroAtTheBottomRightFlipsThePicture) {
    TVXDrawing doc;
    doc.SetWorkWidth(100);
    doc.SetWorkHeight(50);
    doc.SetVerticalZero(TVertZero::vzBottom);
    doc.SetHorizontalZero(THorzZero::vzRight);
    // A short line 5 mm from the zero corner, 10 mm long in x.
    doc.Line(0, 5, 5, 15, 5, 1, 0, 0, 0, false);
    const QImage page = RenderPage(doc);
    ASSERT_EQ(page.size(), QSize(400, 200));
    // Device: x from 400 − 4·15 = 340 to 380, y = 200 − 20 = 180.
    EXPECT_NE(page.pixel(360, 180) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(page.pixel(40, 20) & 0xFFFFFF, 0xFFFFFFu);
}

// Runs the real program; the display is taken away so batch mode must not need one.
TEST(QuellinBatch, BadInputGivesOneGermanLineAndWritesNothing) {
    QTemporaryDir dir;
    const QString damaged = dir.filePath(QStringLiteral("kaputt.qld"));
    {
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("das ist keine Zeichnung, nur Text.\n");
    }
    const QString truncated = dir.filePath(QStringLiteral("abgeschnitten.qld"));
    {
        // The magic, the version and a section count, then nothing.
        QFile file(truncated);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromHex("7B7DD4EA4C41A9D6220104"));
    }
    const QString missing = dir.filePath(QStringLiteral("fehlt.qld"));
    struct Case {
        const char* Name;
        QStringList Args;
        QString Output;
    } const cases[] = {
        {"list damaged", {QStringLiteral("--list"), damaged}, {}},
        {"list truncated", {QStringLiteral("--list"), truncated}, {}},
        {"list missing", {QStringLiteral("--list"), missing}, {}},
        {"convert damaged to png",
         {QStringLiteral("--convert"), damaged, dir.filePath("a.png")},
         dir.filePath("a.png")},
        {"convert truncated to qld",
         {QStringLiteral("--convert"), truncated, dir.filePath("b.qld")},
         dir.filePath("b.qld")},
        {"convert missing to bmp",
         {QStringLiteral("--convert"), missing, dir.filePath("c.bmp")},
         dir.filePath("c.bmp")},
        {"convert to unknown format",
         {QStringLiteral("--convert"), damaged, dir.filePath("d.svg")},
         dir.filePath("d.svg")},
        {"convert without output", {QStringLiteral("--convert"), damaged}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunQuellin(c.Args);
        EXPECT_EQ(run.Status, 1);
        EXPECT_TRUE(run.Out.isEmpty()) << run.Out.toStdString();
        const QString message = QString::fromUtf8(run.Err);
        EXPECT_TRUE(message.endsWith(QLatin1Char('\n'))) << run.Err.toStdString();
        EXPECT_EQ(message.count(QLatin1Char('\n')), 1) << run.Err.toStdString();
        EXPECT_GT(message.size(), 10);
        if (!c.Output.isEmpty()) {
            EXPECT_FALSE(QFile::exists(c.Output));
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

} // namespace
