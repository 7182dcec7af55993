// Costs of the program's work on a large drawing: 100,000 mixed figures
// (lines, Bézier polylines, circles, arcs, texts) saved and loaded as a
// ".qld" file, repainted at fit-to-window into the surface's back buffer (with
// a plain QPainter loop over the same primitives as the yardstick), and
// searched by a point hit test.
#include "document/DrawingFile.h"
#include "document/VXDrawing.h"
#include "model/Polyline.h"
#include "platform/IniFile.h"
#include "platform/MemoryPolicy.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>
#include <cmath>
#include <memory>
#include <numbers>
#include <random>

namespace {

// KELDRA_BENCH_FIGURES changes the count (a multiple of 1,000).
const int kFigures = std::max(1'000, qEnvironmentVariableIntValue("KELDRA_BENCH_FIGURES") > 0
                                         ? qEnvironmentVariableIntValue("KELDRA_BENCH_FIGURES")
                                         : 100'000);
constexpr double kPage = 1000.0; // mm, square page
constexpr double kPi = std::numbers::pi;

// The same figures as geometry, for the plain QPainter loop.
struct TPrimitive {
    enum TKind { Line, Curve, Circle, Arc, Text } Kind = Line;
    std::vector<QPointF> Points; // mm
    double Radius = 0;
    double Start = 0;
    double Span = 0;
};

struct TBigDrawing {
    std::unique_ptr<TVXDrawing> Drawing = std::make_unique<TVXDrawing>();
    std::vector<TPrimitive> Primitives;
};

// The big drawing is made of moved clones of a 1,000-figure template drawing
// built through the document's creation operations; each clone gets a name
// of its own in the big drawing.
constexpr int kTemplateFigures = 1'000;

TBigDrawing& Big() {
    static TBigDrawing* big = [] {
        auto* b = new TBigDrawing;
        TVXDrawing& target = *b->Drawing;
        target.SetLocked(true);
        target.SetWorkWidth(kPage);
        target.SetWorkHeight(kPage);
        TVXDrawing& d = *new TVXDrawing; // lives as long as the big drawing

        d.SetLocked(true);
        d.SetWorkWidth(kPage);
        d.SetWorkHeight(kPage);
        std::mt19937 random(1234);
        std::uniform_real_distribution<double> pos(20, kPage - 20);
        std::uniform_real_distribution<double> size(1, 8);
        std::vector<TPrimitive> shapes;
        for (int i = 0; i < kTemplateFigures; ++i) {
            const double x = pos(random);
            const double y = pos(random);
            const double s = size(random);
            TPrimitive p;
            switch (i % 5) {
            case 0:
                d.Line(0, x, y, x + s, y + s / 2, 1, 0, 0, 0, false);
                p = {TPrimitive::Line, {QPointF(x, y), QPointF(x + s, y + s / 2)}};
                break;
            case 1: {
                const TDoublePointArr pts{DoublePoint(x, y), DoublePoint(x + s, y - s),
                                          DoublePoint(x + 2 * s, y + s), DoublePoint(x + 3 * s, y)};
                d.AddFigure(TPolyline::CreateBezierPolyline(pts, 1, &d, true, d.LayerAt(0), false,
                                                            TRowStyle::rsNone, 0, 1, 0, 0),
                            false, TInsertReason::irCreate);
                p = {
                    TPrimitive::Curve,
                    {QPointF(x, y), QPointF(x + s, y - s), QPointF(x + 2 * s, y + s), QPointF(x + 3 * s, y)}};
                break;
            }
            case 2:
                d.DrawCircle(0, x, y, s, 1, 0, 0, 1, 0, false);
                p = {TPrimitive::Circle, {QPointF(x, y)}, s};
                break;
            case 3:
                d.Arc(0, x, y, s, 0, kPi / 2, 1, 0, 0, 1, 0, 0, false);
                p = {TPrimitive::Arc, {QPointF(x, y)}, s, 0, 90};
                break;
            default:
                d.TextOut(0, x, y, 0, 3, 0, QStringLiteral("T%1").arg(i), QStringLiteral("Arial"), 0, 0,
                          false);
                p = {TPrimitive::Text, {QPointF(x, y)}, 3};
                break;
            }
            shapes.push_back(p);
        }
        b->Primitives = shapes;
        std::uniform_real_distribution<double> shift(-15, 15);
        for (int copy = 0; copy < kFigures / kTemplateFigures; ++copy) {
            const double dx = copy == 0 ? 0.0 : shift(random);
            const double dy = copy == 0 ? 0.0 : shift(random);
            for (int i = 0; i < kTemplateFigures; ++i) {
                std::unique_ptr<TFigure> clone = d.GetFigure(i)->Clone();
                clone->FDrawing = &target;
                clone->FLayer = target.LayerAt(0);
                clone->MakeUniqueName();
                clone->Move(dx, dy);
                target.AddFigure(std::move(clone), false, TInsertReason::irCreate);
                if (copy == 0) continue;
                TPrimitive p = shapes[static_cast<std::size_t>(i)];
                for (QPointF& point : p.Points)
                    point += QPointF(dx, dy);
                b->Primitives.push_back(p);
            }
        }
        target.SetLocked(false);
        target.resize(1200, 900);
        return b;
    }();
    return *big;
}

void BM_SaveDrawing(benchmark::State& state) {
    TVXDrawing& d = *Big().Drawing;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("gross.qld"));
    for (auto _ : state)
        benchmark::DoNotOptimize(d.SaveToFile(file));
    state.counters["bytes"] = static_cast<double>(QFileInfo(file).size());
    state.counters["figures"] = d.FigureCount();
}
BENCHMARK(BM_SaveDrawing)->Unit(benchmark::kMillisecond)->Iterations(2);

// The same save without the disk: the file and its sidecar built in memory.
void BM_EncodeDrawing(benchmark::State& state) {
    TVXDrawing& d = *Big().Drawing;
    for (auto _ : state)
        benchmark::DoNotOptimize(DrawingFile::Encode(d));
}
BENCHMARK(BM_EncodeDrawing)->Unit(benchmark::kMillisecond)->Iterations(2);

// The preview alone: the whole page drawn into a thumbnail.
void BM_RenderPreview(benchmark::State& state) {
    TVXDrawing& d = *Big().Drawing;
    for (auto _ : state)
        benchmark::DoNotOptimize(DrawingFile::RenderPreview(d));
}
BENCHMARK(BM_RenderPreview)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_LoadDrawing(benchmark::State& state) {
    // Reading the file and its ".pin" sidecar from disk, as File→Öffnen does.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("gross.qld"));
    Big().Drawing->SaveToFile(file);
    int loaded = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto target = std::make_unique<TVXDrawing>();
        target->SetLocked(true);
        state.ResumeTiming();
        benchmark::DoNotOptimize(target->LoadFromFile(file));
        state.PauseTiming();
        loaded = target->FigureCount();
        target.reset();
        state.ResumeTiming();
    }
    state.counters["figures"] = loaded;
}
BENCHMARK(BM_LoadDrawing)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_RepaintFitToWindow(benchmark::State& state) {
    TVXDrawing& d = *Big().Drawing;
    d.FitToWindow();
    QImage target;
    for (auto _ : state) {
        d.PaintTo(target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["zoom"] = d.ZoomScale();
}
BENCHMARK(BM_RepaintFitToWindow)->Unit(benchmark::kMillisecond)->Iterations(2);

// The same primitives with QPainter straight into an image of the same size
// and scale: the lower bound of what the engine's repaint costs.
void BM_PlainQPainterLoop(benchmark::State& state) {
    TVXDrawing& d = *Big().Drawing;
    d.FitToWindow();
    const double f = d.Factor();
    const QPointF origin(d.OriginX(), d.OriginY());
    QImage image(d.width(), d.height(), QImage::Format_RGB32);
    QFont font(QStringLiteral("Arial"));
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::NoBrush);
        const auto map = [&](const QPointF& p) { return origin + p * f; };
        for (const TPrimitive& p : Big().Primitives) {
            switch (p.Kind) {
            case TPrimitive::Line:
                painter.drawLine(map(p.Points[0]), map(p.Points[1]));
                break;
            case TPrimitive::Curve: {
                QPainterPath path(map(p.Points[0]));
                path.cubicTo(map(p.Points[1]), map(p.Points[2]), map(p.Points[3]));
                painter.drawPath(path);
                break;
            }
            case TPrimitive::Circle:
                painter.drawEllipse(map(p.Points[0]), p.Radius * f, p.Radius * f);
                break;
            case TPrimitive::Arc: {
                const QPointF c = map(p.Points[0]);
                const double r = p.Radius * f;
                painter.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), static_cast<int>(p.Start * 16),
                                static_cast<int>(p.Span * 16));
                break;
            }
            case TPrimitive::Text:
                font.setPixelSize(std::max(1, static_cast<int>(p.Radius * f)));
                painter.setFont(font);
                painter.drawText(map(p.Points[0]), QStringLiteral("T"));
                break;
            }
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PlainQPainterLoop)->Unit(benchmark::kMillisecond)->Iterations(2);

// FigureAt at points spread over the page (most of them hit nothing). The
// first hit test after a change builds the bounds index; that cost is
// measured on its own below.
void BM_PointHitTest(benchmark::State& state) {
    TVXDrawing& d = *Big().Drawing;
    d.FitToWindow();
    QImage target;
    d.PaintTo(target); // the regions of the current zoom exist, as on the screen
    d.FigureAt(0, 0, nullptr);
    std::mt19937 random(99);
    std::uniform_real_distribution<double> pos(0, kPage);
    int hits = 0;
    for (auto _ : state) {
        if (d.FigureAt(pos(random), pos(random), nullptr)) ++hits;
    }
    state.counters["hit share"] = benchmark::Counter(hits, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PointHitTest)->Unit(benchmark::kMicrosecond)->Iterations(2000);

// The first hit test after a figure moved: the index takes the change in.
void BM_PointHitTestAfterChange(benchmark::State& state) {
    TVXDrawing& d = *Big().Drawing;
    d.FitToWindow();
    QImage target;
    d.PaintTo(target);
    d.FigureAt(kPage / 2, kPage / 2, nullptr); // the index is built once
    TFigure* first = d.GetFigure(0);
    for (auto _ : state) {
        first->Move(0.001, 0);
        benchmark::DoNotOptimize(d.FigureAt(kPage / 2, kPage / 2, nullptr));
    }
}
BENCHMARK(BM_PointHitTestAfterChange)->Unit(benchmark::kMicrosecond)->Iterations(200);

} // namespace

int main(int argc, char** argv) {
    KeepFreedMemoryForReuse(); // as the program does
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
