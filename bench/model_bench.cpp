// Costs of the drawing model's hot paths: curve hit tests and figure records.
#include "model/Bezier.h"
#include "model/DrawObjects.h"
#include "model/FigureClass.h"

#include <benchmark/benchmark.h>

namespace {

class TBenchFigure : public TFigure {
public:
    using TFigure::TFigure;
    static const TFigureClass& StaticClass() {
        static const TFigureClass cls = MakeFigureClass<TBenchFigure>(QStringLiteral("TBenchFigure"), 4);
        return cls;
    }
    const TFigureClass& Class() const override { return StaticClass(); }
};

void BM_HitPolyBezierMiss(benchmark::State& state) {
    TDoublePointArr points;
    for (int i = 0; i < state.range(0) * 3 + 1; ++i) points.push_back(DoublePoint(i, (i % 3) * 5.0));
    for (auto _ : state) benchmark::DoNotOptimize(HitPolyBezier(points, DoublePoint(-50, -50)));
}
BENCHMARK(BM_HitPolyBezierMiss)->Arg(1)->Arg(16)->Arg(256);

void BM_FigureRecordRoundTrip(benchmark::State& state) {
    RegisterFigureClass(TBenchFigure::StaticClass());
    auto figure = NewFigure(TBenchFigure::StaticClass(), nullptr, nullptr);
    for (int i = 1; i <= state.range(0); ++i) figure->SetPoint(i, DoublePoint(i, i * 2.0));
    figure->SetPointCount(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TMemoryStream stream;
        figure->SaveToStream(stream);
        stream.Seek(0);
        benchmark::DoNotOptimize(TFigure::CreateFromStream(stream, nullptr, nullptr, true));
    }
}
BENCHMARK(BM_FigureRecordRoundTrip)->Arg(2)->Arg(1000);

} // namespace

BENCHMARK_MAIN();
