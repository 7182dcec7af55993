// World-to-device mappings: the screen mapping of the surface and the output
// mapping of the other passes, installed into a draw engine.
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

using namespace enginetest;

namespace {

TScreenMapping Mapping(int zoom, double width, double height, double ox, double oy, TVertZero v, THorzZero h) {
    TScreenMapping m;
    m.ZoomScale = zoom;
    m.WorkWidth = width;
    m.WorkHeight = height;
    m.OriginX = ox;
    m.OriginY = oy;
    m.VerticalZero = v;
    m.HorizontalZero = h;
    return m;
}

TDoublePoint Device(const TScreenMapping& m, double x, double y) {
    TVXDrawEngine engine;
    m.InstallInto(engine);
    return engine.ToDevice(DoublePoint(x, y));
}

} // namespace

TEST(ScreenMappingTest, ZoomHundredTopLeftIsFourPixelsPerMillimetre) {
    const TScreenMapping m = Mapping(100, 210, 297, 17, 23, TVertZero::vzTop, THorzZero::vzLeft);
    const TDoublePoint d = Device(m, 10, 20);
    EXPECT_DOUBLE_EQ(d.X, 17 + 40);
    EXPECT_DOUBLE_EQ(d.Y, 23 + 80);
    TVXDrawEngine engine;
    m.InstallInto(engine);
    EXPECT_DOUBLE_EQ(engine.LengthToDevice(2.5), 10.0);
    EXPECT_DOUBLE_EQ(engine.LengthToWorld(10.0), 2.5);
}

TEST(ScreenMappingTest, BottomZeroPutsWorldYUpFromThePageBottom) {
    const TScreenMapping m = Mapping(50, 100, 100, 30, 40, TVertZero::vzBottom, THorzZero::vzLeft);
    EXPECT_DOUBLE_EQ(m.Factor(), 2.0);
    EXPECT_DOUBLE_EQ(Device(m, 0, 0).Y, 40 + 200);
    EXPECT_DOUBLE_EQ(Device(m, 0, 100).Y, 40);
    EXPECT_DOUBLE_EQ(Device(m, 0, 25).Y, 40 + 150);
    EXPECT_DOUBLE_EQ(Device(m, 10, 0).X, 30 + 20);
}

TEST(ScreenMappingTest, RightZeroMeasuresFromTheRoundedPageWidth) {
    // F · W = 2 · 10.25 = 20.5 rounds to the even 20 pixels.
    const TScreenMapping m = Mapping(50, 10.25, 100, 5, 0, TVertZero::vzTop, THorzZero::vzRight);
    EXPECT_DOUBLE_EQ(m.PageWidthPixels(), 20.0);
    EXPECT_DOUBLE_EQ(Device(m, 0, 0).X, 5 + 20);
    EXPECT_DOUBLE_EQ(Device(m, 3, 0).X, 5 + 20 - 6);
    // 1.32 · 100.3 = 132.396 pixels high.
    const TScreenMapping odd = Mapping(33, 100.3, 100.3, 0, 0, TVertZero::vzBottom, THorzZero::vzRight);
    EXPECT_DOUBLE_EQ(odd.PageHeightPixels(), 132.0);
    EXPECT_DOUBLE_EQ(Device(odd, 0, 0).Y, 132.0);
}

TEST(ScreenMappingTest, DeConvertIsTheInverseForEveryZeroCornerAndZoom) {
    const std::array<TVertZero, 2> verticals{TVertZero::vzTop, TVertZero::vzBottom};
    const std::array<THorzZero, 2> horizontals{THorzZero::vzLeft, THorzZero::vzRight};
    const std::array<int, 5> zooms{1, 33, 100, 250, 3000};
    const std::array<TDoublePoint, 4> points{DoublePoint(0, 0), DoublePoint(10, 20), DoublePoint(-3.7, 123.456),
                                             DoublePoint(297.0, 0.001)};
    for (TVertZero v : verticals)
        for (THorzZero h : horizontals)
            for (int zoom : zooms) {
                const TScreenMapping m = Mapping(zoom, 210.3, 297.7, 35, -120, v, h);
                TVXDrawEngine engine;
                m.InstallInto(engine);
                for (const TDoublePoint& p : points) {
                    SCOPED_TRACE("zoom " + std::to_string(zoom) + " v " + std::to_string(int(v)) + " h " +
                                 std::to_string(int(h)) + " p " + std::to_string(p.X) + "," + std::to_string(p.Y));
                    const TDoublePoint d = engine.ToDevice(p);
                    const TDoublePoint w = engine.ToWorld(d.X, d.Y);
                    EXPECT_NEAR(w.X, p.X, 1e-9);
                    EXPECT_NEAR(w.Y, p.Y, 1e-9);
                    EXPECT_NEAR(engine.LengthToWorld(engine.LengthToDevice(p.Y)), p.Y, 1e-9);
                }
            }
}

TEST(OutputMappingTest, ScaleAndOffsetsWithFlippedAxes) {
    TOutputMapping m;
    m.Scale = 10;
    m.DeviceX = 5;
    m.DeviceY = 7;
    m.WorldX = 2;
    m.WorldY = 3;
    m.WorkWidth = 50;
    m.WorkHeight = 40;
    TVXDrawEngine engine;
    m.InstallInto(engine);
    TDoublePoint d = engine.ToDevice(DoublePoint(12, 13));
    EXPECT_DOUBLE_EQ(d.X, 105);
    EXPECT_DOUBLE_EQ(d.Y, 107);
    EXPECT_DOUBLE_EQ(engine.LengthToDevice(1.5), 15);

    m.HorizontalZero = THorzZero::vzRight;
    m.VerticalZero = TVertZero::vzBottom;
    m.InstallInto(engine);
    d = engine.ToDevice(DoublePoint(12, 13));
    EXPECT_DOUBLE_EQ(d.X, 10 * (38 - 2) + 5);
    EXPECT_DOUBLE_EQ(d.Y, 10 * (27 - 3) + 7);
    const TDoublePoint w = engine.ToWorld(d.X, d.Y);
    EXPECT_NEAR(w.X, 12, 1e-12);
    EXPECT_NEAR(w.Y, 13, 1e-12);
}

TEST(DrawEngineInstallTest, InstallSetsCanvasFlagsAndConversions) {
    QImage image = MakeImage(8, 8);
    QImage printBitmap = MakeImage(2, 2);
    TQtCanvas canvas(&image);
    TVXDrawEngine engine;
    EXPECT_FALSE(engine.Printing());
    engine.Install(
        &canvas, true, &printBitmap, [](double& d) { d /= 3; }, [](double& d) { d *= 3; },
        [](double& x, double& y, double&) { x -= 1, y -= 2; }, [](double& x, double& y, double&) { x += 1, y += 2; });
    EXPECT_EQ(engine.Canvas(), &canvas);
    EXPECT_TRUE(engine.Printing());
    EXPECT_EQ(engine.PrintBitmap(), &printBitmap);
    EXPECT_EQ(engine.ToDevice(DoublePoint(1, 1)), DoublePoint(2, 3));
    EXPECT_EQ(engine.ToWorld(2, 3), DoublePoint(1, 1));
    EXPECT_DOUBLE_EQ(engine.LengthToDevice(2), 6);
    EXPECT_DOUBLE_EQ(engine.LengthToWorld(6), 2);
}
