// Costs of the draw engine's Bézier path: a 100-piece curve drawn into a
// 1000 × 1000 image at zoom 100 %, as a steady repaint (the region already
// exists), with the region built afresh, and open with arrowheads.
#include "platform/QtCanvas.h"
#include "render/DrawEngine.h"
#include "render/ScreenMapping.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <cmath>
#include <memory>
#include <numbers>

namespace {

constexpr int kPieces = 100;

// A closed wavy ring about the centre of a 250 mm page (pixels 0..1000).
TDoublePointArr WavyRing() {
    TDoublePointArr points;
    const int count = 3 * kPieces + 1;
    for (int i = 0; i < count; ++i) {
        const double a = 2 * std::numbers::pi * (i % (count - 1)) / (count - 1);
        const double r = 90 + 20 * std::sin(7 * a) + ((i % 3) == 0 ? 0 : 6);
        points.push_back(DoublePoint(125 + r * std::cos(a), 125 + r * std::sin(a)));
    }
    return points;
}

QImage WhiteImage() {
    QImage image(1000, 1000, QImage::Format_RGB32);
    image.fill(0xFFFFFFFF);
    return image;
}

// The canvas is declared after the image, so it closes its painter first.
struct TBenchSurface {
    QImage Image = WhiteImage();
    std::unique_ptr<TQtCanvas> Canvas = std::make_unique<TQtCanvas>(&Image);
    TVXDrawEngine Engine;

    TBenchSurface() {
        TScreenMapping mapping;
        mapping.WorkWidth = 250;
        mapping.WorkHeight = 250;
        mapping.InstallInto(Engine);
        Engine.SetCanvas(Canvas.get());
    }
};

void BM_BezierPathClosedSteady(benchmark::State& state) {
    TBenchSurface surface;
    const TDoublePointArr points = WavyRing();
    TRegionSlot region;
    for (auto _ : state) {
        surface.Engine.DrawBezierPath(points, 2, 5, TRowStyle::rsNone, &region, nullptr, false, true,
                                      TBrushStyle::bsSolid, 0x40C040, TPenStyle::psSolid, 1, 0x000080);
        benchmark::DoNotOptimize(region.get());
    }
}
BENCHMARK(BM_BezierPathClosedSteady);

void BM_BezierPathClosedNewRegion(benchmark::State& state) {
    TBenchSurface surface;
    const TDoublePointArr points = WavyRing();
    for (auto _ : state) {
        TRegionSlot region;
        surface.Engine.DrawBezierPath(points, 2, 5, TRowStyle::rsNone, &region, nullptr, false, true,
                                      TBrushStyle::bsSolid, 0x40C040, TPenStyle::psSolid, 1, 0x000080);
        benchmark::DoNotOptimize(region.get());
    }
}
BENCHMARK(BM_BezierPathClosedNewRegion);

void BM_BezierPathOpenWithArrows(benchmark::State& state) {
    TBenchSurface surface;
    TDoublePointArr points = WavyRing();
    points.back() = DoublePoint(points.back().X + 5, points.back().Y + 5);
    for (auto _ : state)
        surface.Engine.DrawBezierPath(points, 2, 5, TRowStyle::rsBothSolid, nullptr, nullptr, false, false,
                                      TBrushStyle::bsClear, 0, TPenStyle::psSolid, 2, 0x000080);
    benchmark::DoNotOptimize(surface.Image.constBits());
}
BENCHMARK(BM_BezierPathOpenWithArrows);

} // namespace

BENCHMARK_MAIN();
