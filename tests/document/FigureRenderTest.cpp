// Figures drawn through the document's engine at several zoom levels and with
// every zero corner land where the mapping says.
#include "DocumentFixture.h"

#include "model/Bezier.h"
#include "model/ModPoint.h"
#include "platform/QtCanvas.h"

namespace {

struct TView {
    int Zoom;
    TVertZero Vert;
    THorzZero Horz;
};

std::vector<TView> Views() {
    std::vector<TView> views;
    for (int zoom : {50, 100, 200})
        for (TVertZero v : {TVertZero::vzTop, TVertZero::vzBottom})
            for (THorzZero h : {THorzZero::vzLeft, THorzZero::vzRight}) views.push_back({zoom, v, h});
    return views;
}

QString Describe(const TView& v) {
    return QStringLiteral("zoom %1 %2 %3")
        .arg(v.Zoom)
        .arg(v.Vert == TVertZero::vzTop ? "top" : "bottom")
        .arg(v.Horz == THorzZero::vzLeft ? "left" : "right");
}

// True when a pixel of the colour lies within `reach` pixels of p.
bool InkNear(const QImage& image, QPoint p, QRgb color, int reach = 1) {
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (image.valid(p.x() + dx, p.y() + dy) && (image.pixel(p.x() + dx, p.y() + dy) & 0xFFFFFF) == color)
                return true;
    return false;
}

constexpr QRgb kRed = 0xFF0000;   // stored as 0x0000FF

class FigureRender : public ::testing::TestWithParam<TView> {
protected:
    void SetUp() override {
        const TView view = GetParam();
        Doc.resize(1300, 1000); // the whole page fits at 200 %
        Doc.SetWorkWidth(120);
        Doc.SetWorkHeight(90);
        Doc.SetVerticalZero(view.Vert);
        Doc.SetHorizontalZero(view.Horz);
        Doc.SetZoomScale(view.Zoom);
    }
    QPoint Pixel(const TDoublePoint& p) const { return Doc.Engine()->ToPixel(p); }
    TVXDrawing Doc;
};

TEST_P(FigureRender, ArrowHeadsSitOnTheConvertedEnds) {
    SCOPED_TRACE(Describe(GetParam()).toStdString());
    auto* line = reinterpret_cast<TLine*>(
        Doc.Line(0, 10, 10, 80, 50, 1, 0, 0x0000FF, static_cast<int>(TRowStyle::rsBothSolid), false));
    // Heads big enough to be seen at 50 %.
    line->FArrowWidth = 4;
    line->FArrowLength = 10;
    QImage image;
    Doc.PaintTo(image);
    const TDoublePoint a = DoublePoint(10, 10), b = DoublePoint(80, 50);
    EXPECT_TRUE(InkNear(image, Pixel(a), kRed));
    EXPECT_TRUE(InkNear(image, Pixel(b), kRed));
    // The heads are filled: a point inside each head, 40 % of its length back
    // from the tip, is inked; the same distance beside the line is not.
    const double len = std::hypot(b.X - a.X, b.Y - a.Y);
    const TDoublePoint dir = DoublePoint((b.X - a.X) / len, (b.Y - a.Y) / len);
    const TDoublePoint nearTip = DoublePoint(b.X - dir.X * 4 + dir.Y * 1, b.Y - dir.Y * 4 - dir.X * 1);
    EXPECT_TRUE(InkNear(image, Pixel(nearTip), kRed, 0));
    const TDoublePoint beside = DoublePoint((a.X + b.X) / 2 + dir.Y * 3, (a.Y + b.Y) / 2 - dir.X * 3);
    EXPECT_FALSE(InkNear(image, Pixel(beside), kRed, 0));
}

TEST_P(FigureRender, BezierPolylinePassesThroughItsCurvePoints) {
    SCOPED_TRACE(Describe(GetParam()).toStdString());
    auto* poly = reinterpret_cast<TPolyline*>(Doc.PolyLine(
        0, std::vector<TDoublePoint>{DoublePoint(10, 60), DoublePoint(60, 20), DoublePoint(110, 70)}, 1, 0, 0x0000FF,
        0, 1, 0, false, false));
    poly->AllBezier();
    QImage image;
    Doc.PaintTo(image);
    for (int segment = 1; segment <= 2; ++segment) {
        TDoublePoint in, out;
        poly->GetNodeControls(segment, in, out);
        TDoublePoint nextIn, nextOut;
        poly->GetNodeControls(segment + 1, nextIn, nextOut);
        for (double t : {0.25, 0.5, 0.75}) {
            const TDoublePoint p = BezierPoint(poly->GetPoint(segment), out, nextIn, poly->GetPoint(segment + 1), t);
            EXPECT_TRUE(InkNear(image, Pixel(p), kRed)) << "segment " << segment << " t " << t;
        }
    }
}

TEST_P(FigureRender, HandleMarkersAreDrawnAtTheirDevicePositions) {
    SCOPED_TRACE(Describe(GetParam()).toStdString());
    auto* line = reinterpret_cast<TLine*>(Doc.Line(0, 20, 20, 70, 30, 1, 0, 0, 0, true));
    QImage image;
    Doc.PaintTo(image);
    ASSERT_EQ(line->FHandles.size(), 2u);
    for (const TModPoint* h : line->FHandles) {
        const QPoint expected = Pixel(DoublePoint(h->X, h->Y));
        EXPECT_EQ(QPoint(h->DevX, h->DevY), expected);
        EXPECT_TRUE(InkNear(image, expected, 0x0000FF, 0)); // blue square
    }
}

TEST_P(FigureRender, MappingRoundTripsThroughTheDocumentEngine) {
    const TFigureEngine& engine = *Doc.Engine();
    for (const TDoublePoint& p : {DoublePoint(0, 0), DoublePoint(12.5, 80.25), DoublePoint(120, 90)}) {
        const TDoublePoint d = engine.ToDevice(p);
        const TDoublePoint back = engine.ToWorld(d.X, d.Y);
        EXPECT_NEAR(back.X, p.X, 1e-9);
        EXPECT_NEAR(back.Y, p.Y, 1e-9);
    }
}

TEST_P(FigureRender, TemporaryFiguresDrawInXorAndVanishWhenDrawnTwice) {
    SCOPED_TRACE(Describe(GetParam()).toStdString());
    QImage before;
    Doc.PaintTo(before);
    QImage image = before.copy();
    TQtCanvas canvas(&image);
    TFigureEngine& engine = *Doc.Engine();
    TCanvas* old = engine.Canvas();
    engine.SetCanvas(&canvas);
    std::unique_ptr<TFigure> rubber = CreateRubber(TLine::StaticClass(), 10, 10);
    ASSERT_NE(rubber, nullptr);
    rubber->RubberMove(1, 90, 60);
    rubber->Draw(engine, false);
    EXPECT_NE(image, before);
    rubber->Draw(engine, false);
    engine.SetCanvas(old);
    EXPECT_EQ(image, before);
}

INSTANTIATE_TEST_SUITE_P(ZoomsAndCorners, FigureRender, ::testing::ValuesIn(Views()));

} // namespace
