// A filled, turned rectangle painted by the drawing: its hatch stays inside
// the outline at every zoom.
#include "DocumentFixture.h"

#include "model/Geometry.h"
#include "model/Rectangle.h"

#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr QRgb kRed = 0xFF0000; // stored as 0x0000FF
constexpr QRgb kBlue = 0x0000FF;
constexpr TColor kStoredRed = 0x0000FF;
constexpr TColor kStoredBlue = 0xFF0000;

struct TView {
    int Zoom;
    TVertZero Vert;
};

class RectangleRender : public ::testing::TestWithParam<TView> {
protected:
    void SetUp() override {
        Doc.resize(1300, 1000); // the whole page fits at 200 %
        Doc.SetWorkWidth(120);
        Doc.SetWorkHeight(90);
        Doc.SetVerticalZero(GetParam().Vert);
        Doc.SetZoomScale(GetParam().Zoom);
    }
    TVXDrawing Doc;
};

// Distance of a pixel centre from the outline of a device polygon.
double DistanceToOutline(const QPolygonF& polygon, const QPointF& p) {
    double best = 1e300;
    for (int i = 0; i < polygon.size(); ++i) {
        const QPointF a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        const QPointF ab = b - a;
        const double len2 = QPointF::dotProduct(ab, ab);
        const double t = len2 == 0 ? 0 : std::clamp(QPointF::dotProduct(p - a, ab) / len2, 0.0, 1.0);
        const QPointF foot = a + t * ab;
        best = std::min(best, std::hypot(p.x() - foot.x(), p.y() - foot.y()));
    }
    return best;
}

TEST_P(RectangleRender, DiagonalHatchFillsTheTurnedRectangleAndNothingElse) {
    SCOPED_TRACE(testing::Message() << "zoom " << GetParam().Zoom);
    auto rectangle = TRectangle::Create(1, kStoredBlue, static_cast<int>(TPenStyle::psSolid), kStoredRed,
                                        static_cast<int>(TBrushStyle::bsDiagCross), &Doc, true,
                                        Doc.LayerAt(0), 30, 25, 80, 55);
    rectangle->Rotate(DoublePoint(55, 40), 30 * std::numbers::pi / 180);
    TRectangle* r = rectangle.get();
    Doc.AddFigure(std::move(rectangle), false, TInsertReason::irCreate);
    QImage image;
    Doc.PaintTo(image);

    QPolygonF outline;
    for (const TDoublePoint& c : r->Corners()) {
        const TDoublePoint d = Doc.Engine()->ToDevice(c);
        outline << QPointF(d.X, d.Y);
    }
    int inside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != kRed) continue;
            const QPointF p(x, y);
            const bool in = outline.containsPoint(p, Qt::OddEvenFill);
            ASSERT_TRUE(in || DistanceToOutline(outline, p) < 1.5)
                << "hatch ink outside at " << x << ", " << y;
            ++inside;
        }
    }
    // The hatch is spread over the whole interior: every small window around
    // points across the rectangle (in its own frame) holds some of it.
    const TRectangleCorners c = r->Corners();
    for (double u : {0.15, 0.5, 0.85}) {
        for (double v : {0.15, 0.5, 0.85}) {
            const TDoublePoint along = PointAlong(c[0], c[1], u);
            const TDoublePoint world =
                DoublePoint(along.X + v * (c[3].X - c[0].X), along.Y + v * (c[3].Y - c[0].Y));
            const QPoint centre = Doc.Engine()->ToPixel(world);
            bool found = false;
            for (int dy = -5; dy <= 5 && !found; ++dy)
                for (int dx = -5; dx <= 5 && !found; ++dx)
                    found = (image.pixel(centre.x() + dx, centre.y() + dy) & 0xFFFFFF) == kRed;
            EXPECT_TRUE(found) << "no hatch near u " << u << " v " << v;
        }
    }
    EXPECT_GT(inside, 0);
    // The outline in the pen colour runs through the middle of every side.
    for (std::size_t i = 0; i < 4; ++i) {
        const QPoint mid = Doc.Engine()->ToPixel(MidPoint(c[i], c[(i + 1) % 4]));
        bool found = false;
        for (int dy = -1; dy <= 1 && !found; ++dy)
            for (int dx = -1; dx <= 1 && !found; ++dx)
                found = (image.pixel(mid.x() + dx, mid.y() + dy) & 0xFFFFFF) == kBlue;
        EXPECT_TRUE(found) << "no outline on side " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Zooms, RectangleRender,
                         ::testing::Values(TView{100, TVertZero::vzTop}, TView{200, TVertZero::vzTop},
                                           TView{100, TVertZero::vzBottom}, TView{200, TVertZero::vzBottom}));

} // namespace
