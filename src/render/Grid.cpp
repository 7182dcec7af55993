// The grid: lines, dots or crosses at every grid position inside the page.
#include "render/Grid.h"

#include "platform/Canvas.h"
#include "render/VXDrawBox.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kSixteenth = 25.4 / 16;

// Number of grid lines along a side; none on the far edge.
long long GridLineCount(double extentMm, double gridStep, TRulerSystem system) {
    if (!(gridStep > 0) || !(extentMm > 0) || !std::isfinite(gridStep) || !std::isfinite(extentMm)) return 0;
    const double units = system == TRulerSystem::rsWhitworth ? extentMm / kSixteenth : extentMm;
    const double ratio = units / gridStep;
    if (ratio > 1e9) return 0;
    auto n = static_cast<long long>(std::trunc(ratio));
    if (static_cast<double>(n) * gridStep == units) --n;
    return std::max(0LL, n);
}
} // namespace

double GridSpacingMm(double gridStep, TRulerSystem system) {
    return system == TRulerSystem::rsWhitworth ? gridStep * kSixteenth : gridStep;
}

std::vector<double> GridLinePositions(double extentMm, double gridStep, TRulerSystem system, int limit) {
    const long long n = std::min<long long>(GridLineCount(extentMm, gridStep, system), limit);
    const double s = GridSpacingMm(gridStep, system);
    std::vector<double> positions;
    positions.reserve(static_cast<std::size_t>(std::max(0LL, n)));
    for (long long i = 1; i <= n; ++i)
        positions.push_back(static_cast<double>(i) * s);
    return positions;
}

bool NearestGridPosition(double value, double extentMm, double gridStep, TRulerSystem system, double& best,
                         double& position) {
    const long long n = GridLineCount(extentMm, gridStep, system);
    if (n <= 0 || !std::isfinite(value)) return false;
    const double s = GridSpacingMm(gridStep, system);
    const double nearest = std::nearbyint(value / s);
    bool found = false;
    for (double i = nearest - 1; i <= nearest + 1; i += 1) {
        if (i < 1 || i > static_cast<double>(n)) continue;
        const double candidate = i * s;
        const double distance = std::abs(candidate - value);
        if (distance < best) {
            best = distance;
            position = candidate;
            found = true;
        }
    }
    return found;
}

void TVXDrawBox::PaintGrid(TCanvas& canvas) {
    const std::vector<double> xs = GridLinePositions(FWorkWidth, FGridStep, FRulerSystem);
    const std::vector<double> ys = GridLinePositions(FWorkHeight, FGridStep, FRulerSystem);
    const int surfaceWidth = SurfaceWidth();
    const int surfaceHeight = SurfaceHeight();
    // Device columns and rows of the lines that can be seen.
    std::vector<int> columns;
    std::vector<int> rows;
    for (double x : xs) {
        const int px = static_cast<int>(std::nearbyint(WorldToDevice(x, 0).X));
        if (px > FOriginX && px < FOriginX + FPageWidth && px >= 0 && px < surfaceWidth) columns.push_back(px);
    }
    for (double y : ys) {
        const int py = static_cast<int>(std::nearbyint(WorldToDevice(0, y).Y));
        if (py > FOriginY && py < FOriginY + FPageHeight && py >= 0 && py < surfaceHeight) rows.push_back(py);
    }
    canvas.SetPenMode(TPenMode::pmCopy);
    canvas.SetPen({FGridColor, 1, TPenStyle::psSolid});
    const int top = std::max(FOriginY + 1, 0);
    const int bottom = std::min(FOriginY + FPageHeight, surfaceHeight);
    const int left = std::max(FOriginX + 1, 0);
    const int right = std::min(FOriginX + FPageWidth, surfaceWidth);
    switch (FGridType) {
    case TGridType::grtLine:
        for (int px : columns) {
            canvas.MoveTo(px, top);
            canvas.LineTo(px, bottom);
        }
        for (int py : rows) {
            canvas.MoveTo(left, py);
            canvas.LineTo(right, py);
        }
        break;
    case TGridType::grtPoint:
        canvas.SetBrush({FGridColor, TBrushStyle::bsSolid});
        for (int px : columns)
            for (int py : rows)
                canvas.Ellipse(px - 1, py - 1, px + 2, py + 2);
        break;
    case TGridType::grtCross: {
        const int arm = std::max(1, static_cast<int>(std::nearbyint(2.0 * Factor())));
        for (int px : columns)
            for (int py : rows) {
                canvas.MoveTo(px - arm, py);
                canvas.LineTo(px + arm + 1, py);
                canvas.MoveTo(px, py - arm);
                canvas.LineTo(px, py + arm + 1);
            }
        break;
    }
    }
}
