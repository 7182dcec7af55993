// The canvas on devices that are not raster images (printers, PDF, recorded
// pictures): one-pixel lines go through QPainter's cosmetic pens there.
#include "CanvasTestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QTemporaryDir>
#include <array>

using namespace canvastest;

namespace {

void DrawSample(TCanvas& canvas) {
    canvas.SetPen(SolidPen(kBlack));
    canvas.SetBrush(SolidBrush(kRed));
    canvas.Rectangle(5, 5, 40, 30);
    canvas.MoveTo(5, 40);
    canvas.LineTo(60, 40);
    canvas.SetPen({kBlue, 1, TPenStyle::psDash});
    canvas.MoveTo(5, 45);
    canvas.LineTo(60, 45);
}

TEST(CanvasDeviceTest, RecordedPictureReplaysAsTheImageDraws) {
    QImage direct = MakeImage(70, 60);
    {
        TQtCanvas canvas(&direct);
        DrawSample(canvas);
    }
    QPicture picture;
    {
        TQtCanvas canvas(&picture);
        DrawSample(canvas);
    }
    QImage replayed = MakeImage(70, 60);
    {
        QPainter painter(&replayed);
        painter.drawPicture(0, 0, picture);
    }
    EXPECT_EQ(WithColor(replayed, kRed), WithColor(direct, kRed));
    EXPECT_EQ(WithColor(replayed, kBlack), WithColor(direct, kBlack));
    EXPECT_EQ(WithColor(replayed, kBlue), WithColor(direct, kBlue));
}

TEST(CanvasDeviceTest, EveryCallWorksOnAPdfWriter) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString fileName = folder.filePath("canvas.pdf");
    {
        QPdfWriter writer(fileName);
        TQtCanvas canvas(&writer);
        DrawSample(canvas);
        canvas.SetBrush({kBlue, TBrushStyle::bsDiagCross});
        canvas.SetBackgroundTransparent(false);
        canvas.Ellipse(100, 100, 400, 300);
        canvas.SetFont({.Name = "Arial", .Height = 60, .Escapement = 450});
        canvas.TextOut(500, 500, "PDF");
        canvas.SetPenMode(TPenMode::pmXor);
        const std::array<QPoint, 4> bezier{{{0, 0}, {100, 300}, {300, 0}, {400, 400}}};
        canvas.PolyBezier(bezier);
        canvas.BeginPath();
        canvas.Pie(0, 0, 300, 300, 300, 150, 150, 0);
        canvas.EndPath();
        canvas.StrokeAndFillPath();
        const TDeviceRegion clip = TDeviceRegion::FromEllipse({0, 0, 1000, 1000});
        canvas.SelectClipRegion(&clip);
        canvas.DrawBitmap(10, 10, MakeImage(20, 20, 0xFF00FF00));
    }
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF"));
    EXPECT_GT(file.size(), 500);
}

} // namespace
