#include "DocumentFixture.h"

namespace {
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

bool AnyPixel(const QImage& image, const QRect& area, const QColor& color) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.valid(x, y) && image.pixelColor(x, y) == color) return true;
    return false;
}
} // namespace

TEST_F(DocumentTest, PaintsFiguresWithoutAShownWindow) {
    struct TCase {
        TVertZero Zero;
        int DeviceY; // of world y = 10 on the 400-pixel page
    };
    for (const TCase& c : {TCase{TVertZero::vzTop, 40}, TCase{TVertZero::vzBottom, 400 - 40}}) {
        SCOPED_TRACE(static_cast<int>(c.Zero));
        TVXDrawing doc;
        doc.resize(640, 480);
        doc.SetVerticalZero(c.Zero);
        doc.Line(0, 10, 10, 50, 10, 1, 0, 0x0000FF, 0, false);
        QImage image;
        doc.PaintTo(image);
        EXPECT_FALSE(doc.isVisible());
        ASSERT_EQ(image.size(), QSize(640, 480));
        const int y = doc.OriginY() + c.DeviceY;
        EXPECT_EQ(image.pixelColor(doc.OriginX() + 120, y), kRed);
        EXPECT_NE(image.pixelColor(doc.OriginX() + 120, y + 5), kRed);
        EXPECT_NE(image.pixelColor(doc.OriginX() + 20, y), kRed);
    }
}

TEST_F(DocumentTest, HiddenLayersAreNotPaintedAndGrayedOnesInSilver) {
    Doc.NewLayer(QStringLiteral("Hidden"));
    Doc.NewLayer(QStringLiteral("Grayed"));
    AddLine(1, 10, 10, 50, 10, 0x0000FF);
    AddLine(2, 10, 20, 50, 20, 0x0000FF);
    Doc.HideLayer(1);
    Doc.GrayLayer(2);
    QImage image;
    Doc.PaintTo(image);
    EXPECT_NE(image.pixelColor(Doc.OriginX() + 120, Doc.OriginY() + 40), kRed);
    EXPECT_EQ(image.pixelColor(Doc.OriginX() + 120, Doc.OriginY() + 80), QColor(0xC0, 0xC0, 0xC0));
}

TEST_F(DocumentTest, RangeCheckSkipsFiguresOutsideTheView) {
    for (const TDoublePoint& start : {DoublePoint(10, 10), DoublePoint(500, 500)}) {
        std::unique_ptr<TFigure> line = NewFigure(TUserLine::StaticClass(), Doc.LayerAt(0), &Doc);
        line->SetPointCount(2);
        line->SetPoint(1, start);
        line->SetPoint(2, DoublePoint(start.X + 40, start.Y));
        line->FPenWidth = 1;
        line->FPenColor = 0x0000FF;
        Doc.AddFigure(std::move(line), false, TInsertReason::irCreate);
    }
    std::vector<double> drawn;
    Doc.OnUserDraw = [&](TVXDrawing*, const QString&, TFigureEngine&, TFigure* figure, bool, bool&) {
        drawn.push_back(figure->GetPoint(1).X);
    };
    QImage image;
    Doc.PaintTo(image);
    EXPECT_EQ(drawn, (std::vector<double>{10, 500}));
    drawn.clear();
    Doc.SetRangeCheck(true);
    EXPECT_EQ(drawn, std::vector<double>{10});
    EXPECT_EQ(Doc.WorkBitmap().pixelColor(Doc.OriginX() + 120, Doc.OriginY() + 40), kRed);
}

TEST_F(DocumentTest, ReDrawSelectionRestoresTheBackgroundAndDrawsHandlesOnTop) {
    TFigure* line = AddLine(0, 10, 10, 50, 10, 0x0000FF);
    QImage image;
    Doc.PaintTo(image);
    const QImage background = Doc.BackgroundBitmap().copy();
    EXPECT_EQ(Doc.WorkBitmap(), background);

    Doc.SelectFigure(line);
    Doc.ReDrawSelection();
    ASSERT_EQ(Doc.ModPoints().Count(), 2);
    const TModPoint* handle = Doc.ModPoints().At(1);
    const QRect around(handle->DevX - 3, handle->DevY - 3, 7, 7);
    EXPECT_TRUE(AnyPixel(Doc.WorkBitmap(), around, kBlue));
    EXPECT_FALSE(AnyPixel(Doc.BackgroundBitmap(), around, kBlue));
    EXPECT_EQ(Doc.BackgroundBitmap(), background);
    EXPECT_EQ(Doc.WorkBitmap().pixelColor(Doc.OriginX() + 120, Doc.OriginY() + 40), kRed);

    Doc.DeSelectFigure(line);
    Doc.ReDrawSelection();
    EXPECT_EQ(Doc.WorkBitmap(), background);
}

TEST_F(DocumentTest, LockedDocumentDoesNotPaint) {
    QImage before;
    Doc.PaintTo(before);
    Doc.SetLocked(true);
    AddLine(0, 10, 10, 50, 10, 0x0000FF);
    QImage after;
    Doc.PaintTo(after);
    EXPECT_EQ(before, after);
}
