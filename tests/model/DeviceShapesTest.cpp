#include "model/DeviceShapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double Pi = std::numbers::pi;

// Distance of the pixel centre (x + 0.5, y + 0.5) along and across the
// segment a–b, measured from a.
struct SegmentFrame {
    double along = 0;
    double across = 0;
};

SegmentFrame FrameOf(QPoint a, QPoint b, int x, int y) {
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double len = std::hypot(dx, dy);
    const double ux = len > 0 ? dx / len : 1, uy = len > 0 ? dy / len : 0;
    const double px = x + 0.5 - a.x(), py = y + 0.5 - a.y();
    return SegmentFrame{px * ux + py * uy, std::abs(-px * uy + py * ux)};
}

TEST(LineRegionTest, HorizontalSegment) {
    const QPoint a(10, 10), b(50, 10);
    const TDeviceRegion region = LineRegion(a, b);
    for (int x = 10; x <= 50; ++x) EXPECT_TRUE(region.Contains(x, 10)) << x;
    // 2 pixels to each side and beyond each end (the right and bottom edge
    // of a polygon region are left out, so the last pixel is b.X + 1).
    EXPECT_TRUE(region.Contains(8, 10));
    EXPECT_TRUE(region.Contains(51, 10));
    EXPECT_TRUE(region.Contains(30, 8));
    EXPECT_TRUE(region.Contains(30, 11));
    EXPECT_FALSE(region.Contains(7, 10));
    EXPECT_FALSE(region.Contains(53, 10));
    EXPECT_FALSE(region.Contains(30, 6));
    EXPECT_FALSE(region.Contains(30, 14));
    EXPECT_EQ(region.BoundingBox(), (TDeviceRect{8, 8, 52, 12}));
    // The same outline from the other end.
    EXPECT_EQ(LineRegion(b, a).BoundingBox(), (TDeviceRect{8, 8, 52, 12}));
}

TEST(LineRegionTest, EveryPixelAroundSlopedSegments) {
    // Rounding the corners moves the outline by at most √2/2 pixel, so pixels
    // well inside the 2-pixel band are in and pixels 4 pixels off are out.
    const struct {
        QPoint a, b;
    } cases[] = {
        {{10, 10}, {50, 40}}, {{50, 40}, {10, 10}}, {{20, 60}, {60, 15}}, {{30, 5}, {30, 45}}, {{40, 20}, {5, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a.x() << "," << c.a.y() << " - " << c.b.x() << "," << c.b.y());
        const TDeviceRegion region = LineRegion(c.a, c.b);
        const double len = std::hypot(c.b.x() - c.a.x(), c.b.y() - c.a.y());
        int inside = 0;
        for (int y = 0; y < 70; ++y) {
            for (int x = 0; x < 70; ++x) {
                const SegmentFrame f = FrameOf(c.a, c.b, x, y);
                if (f.across <= 1.25 && f.along >= -1.25 && f.along <= len + 1.25) {
                    EXPECT_TRUE(region.Contains(x, y)) << x << "," << y;
                    ++inside;
                }
                if (f.across >= 4 || f.along <= -4 || f.along >= len + 4) {
                    EXPECT_FALSE(region.Contains(x, y)) << x << "," << y;
                }
            }
        }
        EXPECT_GT(inside, static_cast<int>(len));
    }
}

TEST(LineRegionTest, SinglePointGivesSmallSquare) {
    const TDeviceRegion region = LineRegion(QPoint(5, 5), QPoint(5, 5));
    EXPECT_EQ(region.BoundingBox(), (TDeviceRect{3, 3, 7, 7}));
    EXPECT_TRUE(region.Contains(5, 5));
}

TEST(RotatedRectRegionTest, TurnsAboutTheOrigin) {
    const QPoint origin(100, 100);
    EXPECT_EQ(RotatedRectRegion(origin, 0, 20, 10).BoundingBox(), (TDeviceRect{100, 100, 120, 110}));
    // A quarter turn takes the width along +Y and the height along −X.
    const TDeviceRegion quarter = RotatedRectRegion(origin, Pi / 2, 20, 10);
    EXPECT_EQ(quarter.BoundingBox(), (TDeviceRect{90, 100, 100, 120}));
    EXPECT_TRUE(quarter.Contains(95, 110));
    EXPECT_FALSE(quarter.Contains(105, 105));

    const TDeviceRegion diagonal = RotatedRectRegion(origin, Pi / 4, 20, 20);
    // The square turned by 45 degrees stands on its corner at the origin.
    EXPECT_TRUE(diagonal.Contains(100, 110));
    EXPECT_TRUE(diagonal.Contains(100, 125));
    EXPECT_FALSE(diagonal.Contains(110, 102));
    EXPECT_FALSE(diagonal.Contains(90, 102));
    EXPECT_EQ(diagonal.BoundingBox(), (TDeviceRect{86, 100, 114, 128}));
}

// Records the world transforms it is given; every other call does nothing.
class RecordingCanvas : public TCanvas {
public:
    std::vector<TXForm> Transforms;
    int Resets = 0;

    void SetPen(const TPenSpec&) override {}
    TPenSpec Pen() const override { return {}; }
    void SetBrush(const TBrushSpec&) override {}
    TBrushSpec Brush() const override { return {}; }
    void SetFont(const TFontSpec&) override {}
    TFontSpec Font() const override { return {}; }
    void SetPenMode(TPenMode) override {}
    TPenMode PenMode() const override { return TPenMode::pmCopy; }
    void SetTextCharacterExtra(int) override {}
    int TextCharacterExtra() const override { return 0; }
    void SetBackgroundTransparent(bool) override {}
    bool BackgroundTransparent() const override { return true; }
    void SetBackgroundColor(TColor) override {}
    TColor BackgroundColor() const override { return 0xFFFFFF; }
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
    QPoint PenPosition() const override { return {}; }
    void Polyline(std::span<const QPoint>) override {}
    void Polygon(std::span<const QPoint>, TPolyFillMode) override {}
    void PolyBezier(std::span<const QPoint>) override {}
    void Rectangle(int, int, int, int) override {}
    void Ellipse(int, int, int, int) override {}
    void Arc(int, int, int, int, int, int, int, int) override {}
    void Chord(int, int, int, int, int, int, int, int) override {}
    void Pie(int, int, int, int, int, int, int, int) override {}
    void FillRect(const TDeviceRect&, const TBrushSpec&) override {}
    void TextOut(int, int, const QString&) override {}
    QSize TextExtent(const QString&) override { return {}; }
    TTextMetrics TextMetrics() override { return {}; }
    void BeginPath() override {}
    void EndPath() override {}
    void AbortPath() override {}
    void StrokePath() override {}
    void FillPath() override {}
    void StrokeAndFillPath() override {}
    TDeviceRegion PathToRegion() override { return {}; }
    void SelectClipRegion(const TDeviceRegion*) override {}
    void IntersectClipRect(const TDeviceRect&) override {}
    void SetWorldTransform(const TXForm& xform) override { Transforms.push_back(xform); }
    void ResetWorldTransform() override { ++Resets; }
    TXForm WorldTransform() const override { return Transforms.empty() ? TXForm{} : Transforms.back(); }
    void DrawBitmap(int, int, const QImage&) override {}
    void StretchBitmap(const TDeviceRect&, const QImage&) override {}
    void SaveState() override {}
    void RestoreState() override {}
};

TEST(DCRotationTest, PureRotationAndReset) {
    RecordingCanvas canvas;
    SetDCRotation(canvas, Pi / 6);
    ASSERT_EQ(canvas.Transforms.size(), 1u);
    const TXForm& x = canvas.Transforms.front();
    EXPECT_DOUBLE_EQ(x.M11, std::cos(Pi / 6));
    EXPECT_DOUBLE_EQ(x.M12, 0.5);
    EXPECT_DOUBLE_EQ(x.M21, -0.5);
    EXPECT_DOUBLE_EQ(x.M22, std::cos(Pi / 6));
    EXPECT_EQ(x.Dx, 0);
    EXPECT_EQ(x.Dy, 0);
    // The transform maps (1, 0) onto the ray of the angle.
    EXPECT_NEAR(1 * x.M11 + 0 * x.M21, std::cos(Pi / 6), 1e-15);
    EXPECT_NEAR(1 * x.M12 + 0 * x.M22, std::sin(Pi / 6), 1e-15);
    EXPECT_EQ(canvas.Resets, 0);

    ResetDCRotation(canvas);
    EXPECT_EQ(canvas.Resets, 1);
    EXPECT_EQ(canvas.Transforms.size(), 1u);
}

} // namespace
