// Round figures painted by a drawing: pie and chord arcs, a turned ellipse
// and hatched fills land on the pixels the mapping says.
#include "DocumentFixture.h"

#include "document/DocumentEnums.h"
#include "model/Arc.h"
#include "model/Circle.h"
#include "model/ElpArc.h"
#include "model/Ellipse.h"

#include <numbers>
#include <set>

namespace {

constexpr double Pi = std::numbers::pi;
constexpr TColor kPenRed = 0x0000FF;     // drawn as 0xFF0000
constexpr QRgb kRed = 0xFF0000;
constexpr TColor kBrushGreen = 0x00FF00; // drawn as 0x00FF00
constexpr QRgb kGreen = 0x00FF00;

bool InkAt(const QImage& image, QPoint p, QRgb color, int reach = 1) {
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (image.valid(p.x() + dx, p.y() + dy) && (image.pixel(p.x() + dx, p.y() + dy) & 0xFFFFFF) == color)
                return true;
    return false;
}

class RoundRender : public DocumentTest {
protected:
    template <typename T> T* Add(std::unique_ptr<T> figure) {
        T* raw = figure.get();
        Doc.AddFigure(std::move(figure), false, TInsertReason::irCreate);
        return raw;
    }
    QPoint Pixel(double x, double y) const { return Doc.Engine()->ToPixel(DoublePoint(x, y)); }
    QImage Paint() {
        QImage image;
        Doc.PaintTo(image);
        return image;
    }
};

TEST_F(RoundRender, PieEdgesMeetAtTheCentreAndAChordClosesTheArc) {
    TLayer* layer = Doc.LayerAt(0);
    Add(TArc::Create(layer, &Doc, true, DoublePoint(40, 40), 20, 0, Pi / 2, TArcStyle::asPie, 1, kPenRed));
    Add(TArc::Create(layer, &Doc, true, DoublePoint(100, 40), 20, 0, Pi / 2, TArcStyle::asChord, 1, kPenRed));
    Add(TArc::Create(layer, &Doc, true, DoublePoint(40, 90), 20, 0, Pi / 2, TArcStyle::asOpen, 1, kPenRed));
    const QImage image = Paint();
    // Pie: the centre and a point on each radius are inked.
    EXPECT_TRUE(InkAt(image, Pixel(40, 40), kRed));
    EXPECT_TRUE(InkAt(image, Pixel(50, 40), kRed));
    EXPECT_TRUE(InkAt(image, Pixel(40, 50), kRed));
    // Chord: the middle of the straight edge, but not the centre.
    EXPECT_TRUE(InkAt(image, Pixel(110, 50), kRed));
    EXPECT_FALSE(InkAt(image, Pixel(100, 40), kRed, 2));
    // Every arc: a point half-way along the curve.
    const double c = 20 * std::cos(Pi / 4);
    EXPECT_TRUE(InkAt(image, Pixel(40 + c, 40 + c), kRed));
    EXPECT_TRUE(InkAt(image, Pixel(100 + c, 40 + c), kRed));
    // The open arc has neither its centre nor a chord.
    EXPECT_TRUE(InkAt(image, Pixel(40 + c, 90 + c), kRed));
    EXPECT_FALSE(InkAt(image, Pixel(40, 90), kRed, 2));
    EXPECT_FALSE(InkAt(image, Pixel(50, 100), kRed, 2));
}

TEST_F(RoundRender, TurnedEllipseInksTheEndsOfItsTurnedAxes) {
    auto* ellipse = Add(TEllipse::Create(Doc.LayerAt(0), &Doc, true, DoublePoint(70, 60), 40, 10, Pi / 6, 1, kPenRed));
    const QImage image = Paint();
    const TDoublePoint a = ellipse->AxisEndA(), minusA = ellipse->AxisEndMinusA(), b = ellipse->AxisEndB();
    EXPECT_TRUE(InkAt(image, Pixel(a.X, a.Y), kRed));
    EXPECT_TRUE(InkAt(image, Pixel(minusA.X, minusA.Y), kRed));
    EXPECT_TRUE(InkAt(image, Pixel(b.X, b.Y), kRed));
    // Where the unturned ellipse would end, and its centre, stay blank.
    EXPECT_FALSE(InkAt(image, Pixel(110, 60), kRed, 2));
    EXPECT_FALSE(InkAt(image, Pixel(70, 60), kRed, 2));
}

// Rows (or columns) of the line through `from` in direction (dx, dy) that
// carry the colour, over `count` pixels.
std::vector<int> InkedSteps(const QImage& image, QPoint from, int dx, int dy, int count, QRgb color) {
    std::vector<int> steps;
    for (int i = 0; i < count; ++i) {
        const QPoint p(from.x() + i * dx, from.y() + i * dy);
        if (image.valid(p) && (image.pixel(p) & 0xFFFFFF) == color) steps.push_back(i);
    }
    return steps;
}

void ExpectEveryEighth(const std::vector<int>& steps, int count) {
    ASSERT_GE(steps.size(), static_cast<std::size_t>(count / 8 - 1));
    for (std::size_t i = 1; i < steps.size(); ++i) EXPECT_EQ(steps[i] - steps[i - 1], 8);
}

TEST_F(RoundRender, HatchedEllipsesAreHatchedInsideOnly) {
    const int horizontal = static_cast<int>(TBrushStyle::bsHorizontal);
    const int cross = static_cast<int>(TBrushStyle::bsCross);
    // Centres 40 mm apart; semi-axes 15 and 10 mm (60 and 40 pixels).
    Add(TEllipse::Create(Doc.LayerAt(0), &Doc, true, DoublePoint(30, 40), 15, 10, 0, 1, kPenRed, 0, kBrushGreen,
                         horizontal));
    Add(TEllipse::Create(Doc.LayerAt(0), &Doc, true, DoublePoint(80, 40), 15, 10, 0, 1, kPenRed, 0, kBrushGreen,
                         cross));
    const QImage image = Paint();
    {
        SCOPED_TRACE("horizontal hatch");
        // Down the middle, 30 pixels either side of the centre: a line every 8 rows.
        const QPoint top = Pixel(30, 40) - QPoint(0, 30);
        ExpectEveryEighth(InkedSteps(image, top, 0, 1, 61, kGreen), 61);
        // Across the middle: all green (one hatch row) or none; never a vertical line.
        const std::vector<int> across = InkedSteps(image, Pixel(30, 40) + QPoint(-50, 1), 1, 0, 101, kGreen);
        EXPECT_TRUE(across.empty() || across.size() == 101u);
    }
    {
        SCOPED_TRACE("cross hatch");
        const QPoint centre = Pixel(80, 40);
        // A row and a column between the hatch lines show the other direction every 8 pixels.
        for (int offset = 0; offset < 8; ++offset) {
            const std::vector<int> row = InkedSteps(image, centre + QPoint(-40, offset), 1, 0, 81, kGreen);
            if (row.size() == 81u) continue; // this row is a hatch line itself
            ExpectEveryEighth(row, 81);
            break;
        }
        const std::vector<int> column = InkedSteps(image, centre + QPoint(3, -30), 0, 1, 61, kGreen);
        EXPECT_GE(column.size(), 7u);
    }
    // Outside both ellipses: no hatch at all, also within their boxes' corners.
    for (const TDoublePoint& p : {DoublePoint(16, 27), DoublePoint(44, 53), DoublePoint(66, 27), DoublePoint(94, 53),
                                  DoublePoint(55, 40)}) {
        const QPoint d = Pixel(p.X, p.Y);
        EXPECT_TRUE(InkedSteps(image, d - QPoint(4, 4), 1, 1, 9, kGreen).empty()) << p.X << ", " << p.Y;
        EXPECT_FALSE(InkAt(image, d, kGreen, 3)) << p.X << ", " << p.Y;
    }
}

TEST_F(RoundRender, CircleAndEllipticalArcOnThePage) {
    Add(TCircle::Create(Doc.LayerAt(0), &Doc, true, DoublePoint(40, 40), 15, 1, kPenRed));
    Add(TElpArc::Create(Doc.LayerAt(0), &Doc, true, DoublePoint(100, 40), 20, 8, Pi / 2, 0, Pi, TArcStyle::asPie, 1,
                        kPenRed));
    const QImage image = Paint();
    EXPECT_TRUE(InkAt(image, Pixel(55, 40), kRed));
    EXPECT_TRUE(InkAt(image, Pixel(40, 25), kRed));
    // The centre carries the circle's mark (a 3-pixel square), the space around it is blank.
    EXPECT_TRUE(InkAt(image, Pixel(40, 40), kRed, 0));
    EXPECT_FALSE(InkAt(image, Pixel(47, 40), kRed, 2));
    // The upright elliptical arc: from its top (100, 60) over the left (92, 40) to its bottom.
    EXPECT_TRUE(InkAt(image, Pixel(100, 60), kRed));
    EXPECT_TRUE(InkAt(image, Pixel(92, 40), kRed));
    EXPECT_FALSE(InkAt(image, Pixel(108, 40), kRed, 2));
    EXPECT_TRUE(InkAt(image, Pixel(100, 40), kRed)); // the pie's centre
}

} // namespace
