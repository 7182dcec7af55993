#include "document/HitIndex.h"

#include "model/DrawObjects.h"
#include "model/Group.h"
#include "model/Line.h"

#include <algorithm>
#include <cmath>

namespace {

// World slack every figure gets: the Bézier sample tolerance, the point mark
// and a default arrowhead.
constexpr double kWorldSlack = 0.3 + 1.0 + 3.5;
// Ring tests accept |p − c|² / r² up to 1.1, so up to 5 % of a radius beyond
// the curve: a tenth of the figure's size covers it.
constexpr double kShareOfSize = 0.1;
// A figure spanning more cells than this is tested for every point.
constexpr long kMaxCellsPerFigure = 256;

bool Finite(double minX, double minY, double maxX, double maxY) {
    return std::isfinite(minX) && std::isfinite(minY) && std::isfinite(maxX) && std::isfinite(maxY) &&
           minX <= maxX && minY <= maxY;
}

} // namespace

std::uint64_t TFigureHitIndex::LatestChange(const TFigure& figure) {
    std::uint64_t latest = figure.FChangeStamp;
    if (const auto* group = dynamic_cast<const TFigureGrp*>(&figure))
        for (int i = 0; i < group->Count(); ++i) latest = std::max(latest, LatestChange(*group->Member(i)));
    return latest;
}

TFigureHitIndex::TBox TFigureHitIndex::Envelope(TFigure& figure) {
    double maxX = 0, maxY = 0, minX = 0, minY = 0;
    figure.GetBounds(maxX, maxY, minX, minY);
    double arrow = 0;
    if (const auto* line = dynamic_cast<const TLine*>(&figure))
        arrow = std::max(std::abs(line->FArrowWidth), std::abs(line->FArrowLength));
    const double size = std::max(maxX - minX, maxY - minY);
    const double grow = kWorldSlack + arrow + kShareOfSize * std::abs(size);
    TBox box{minX - grow, minY - grow, maxX + grow, maxY + grow};
    double rMaxX = 0, rMaxY = 0, rMinX = 0, rMinY = 0;
    if (figure.GetRegionBounds(rMaxX, rMaxY, rMinX, rMinY)) {
        box.MinX = std::min(box.MinX, rMinX);
        box.MinY = std::min(box.MinY, rMinY);
        box.MaxX = std::max(box.MaxX, rMaxX);
        box.MaxY = std::max(box.MaxY, rMaxY);
    }
    // Members are hit with their own tolerances and regions.
    if (auto* group = dynamic_cast<TFigureGrp*>(&figure)) {
        for (int i = 0; i < group->Count(); ++i) {
            const TBox member = Envelope(*group->Member(i));
            box.MinX = std::min(box.MinX, member.MinX);
            box.MinY = std::min(box.MinY, member.MinY);
            box.MaxX = std::max(box.MaxX, member.MaxX);
            box.MaxY = std::max(box.MaxY, member.MaxY);
        }
    }
    if (!Finite(box.MinX, box.MinY, box.MaxX, box.MaxY)) {
        const double inf = std::numeric_limits<double>::infinity();
        box = {-inf, -inf, inf, inf}; // holds every point
    }
    return box;
}

void TFigureHitIndex::Build(const TFigureList& figures) {
    FBuilt = true;
    FSyncedEpoch = FigureChangeEpoch();
    FBoxes.clear();
    FPenWidths.clear();
    FAlways.clear();
    FPending.clear();
    FGroups.clear();
    FIsPending.assign(figures.size(), false);
    FCellStart.clear();
    FCellItems.clear();
    FMaxPenWidth = 0;
    FBoxes.reserve(figures.size());
    FPenWidths.reserve(figures.size());
    for (std::size_t i = 0; i < figures.size(); ++i) {
        TFigure& figure = *figures[i];
        FBoxes.push_back(Envelope(figure));
        FPenWidths.push_back(std::max(0, figure.FPenWidth));
        FMaxPenWidth = std::max(FMaxPenWidth, FPenWidths.back());
        if (dynamic_cast<const TFigureGrp*>(&figure)) FGroups.push_back(static_cast<int>(i));
    }

    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool any = false;
    for (const TBox& b : FBoxes) {
        if (!std::isfinite(b.MinX) || !std::isfinite(b.MaxX) || !std::isfinite(b.MinY) || !std::isfinite(b.MaxY))
            continue;
        minX = any ? std::min(minX, b.MinX) : b.MinX;
        minY = any ? std::min(minY, b.MinY) : b.MinY;
        maxX = any ? std::max(maxX, b.MaxX) : b.MaxX;
        maxY = any ? std::max(maxY, b.MaxY) : b.MaxY;
        any = true;
    }
    const double width = std::max(maxX - minX, 1e-6);
    const double height = std::max(maxY - minY, 1e-6);
    // About four figures per cell, at most 1024 cells a side.
    const double cells = std::max(1.0, static_cast<double>(FBoxes.size()) / 4.0);
    FCellSize = std::max(std::sqrt(width * height / cells), std::max(width, height) / 1024.0);
    FOriginX = minX;
    FOriginY = minY;
    FColumns = std::clamp(static_cast<int>(std::ceil(width / FCellSize)), 1, 1024);
    FRows = std::clamp(static_cast<int>(std::ceil(height / FCellSize)), 1, 1024);

    struct TSpan {
        int X0 = 0, Y0 = 0, X1 = -1, Y1 = -1;
    };
    std::vector<TSpan> spans(FBoxes.size());
    const auto column = [&](double x) {
        return std::clamp(static_cast<int>(std::floor((x - FOriginX) / FCellSize)), 0, FColumns - 1);
    };
    const auto row = [&](double y) {
        return std::clamp(static_cast<int>(std::floor((y - FOriginY) / FCellSize)), 0, FRows - 1);
    };
    const std::size_t cellCount = static_cast<std::size_t>(FColumns) * static_cast<std::size_t>(FRows);
    std::vector<std::uint32_t> counts(cellCount + 1, 0);
    for (std::size_t i = 0; i < FBoxes.size(); ++i) {
        const TBox& b = FBoxes[i];
        if (!any || !std::isfinite(b.MinX) || !std::isfinite(b.MaxX) || !std::isfinite(b.MinY) ||
            !std::isfinite(b.MaxY)) {
            FAlways.push_back(static_cast<int>(i));
            continue;
        }
        const TSpan span{column(b.MinX), row(b.MinY), column(b.MaxX), row(b.MaxY)};
        const long area = static_cast<long>(span.X1 - span.X0 + 1) * (span.Y1 - span.Y0 + 1);
        if (area > kMaxCellsPerFigure) {
            FAlways.push_back(static_cast<int>(i));
            continue;
        }
        spans[i] = span;
        for (int y = span.Y0; y <= span.Y1; ++y)
            for (int x = span.X0; x <= span.X1; ++x)
                ++counts[static_cast<std::size_t>(y) * static_cast<std::size_t>(FColumns) +
                         static_cast<std::size_t>(x) + 1];
    }
    for (std::size_t c = 1; c <= cellCount; ++c) counts[c] += counts[c - 1];
    FCellStart = counts;
    FCellItems.resize(counts[cellCount]);
    for (std::size_t i = 0; i < FBoxes.size(); ++i) {
        const TSpan& span = spans[i];
        for (int y = span.Y0; y <= span.Y1; ++y)
            for (int x = span.X0; x <= span.X1; ++x)
                FCellItems[counts[static_cast<std::size_t>(y) * static_cast<std::size_t>(FColumns) +
                                  static_cast<std::size_t>(x)]++] = static_cast<int>(i);
    }
}

void TFigureHitIndex::Update(const TFigureList& figures, std::uint64_t listVersion) {
    if (!FBuilt || listVersion != FListVersion || figures.size() < FBoxes.size()) {
        FListVersion = listVersion;
        Build(figures);
        return;
    }
    const std::uint64_t epoch = FigureChangeEpoch();
    if (epoch == FSyncedEpoch && figures.size() == FBoxes.size()) return;
    const auto pend = [&](std::size_t i) {
        TFigure& figure = *figures[i];
        FBoxes[i] = Envelope(figure);
        FPenWidths[i] = std::max(0, figure.FPenWidth);
        FMaxPenWidth = std::max(FMaxPenWidth, FPenWidths[i]);
        if (!FIsPending[i]) {
            FIsPending[i] = true;
            FPending.push_back(static_cast<int>(i));
        }
    };
    if (epoch != FSyncedEpoch) {
        for (std::size_t i = 0; i < FBoxes.size(); ++i)
            if (figures[i]->FChangeStamp > FSyncedEpoch) pend(i);
        for (int g : FGroups) {
            const auto i = static_cast<std::size_t>(g);
            if (LatestChange(*figures[i]) > FSyncedEpoch) pend(i);
        }
    }
    for (std::size_t i = FBoxes.size(); i < figures.size(); ++i) {
        FBoxes.emplace_back();
        FPenWidths.push_back(0);
        FIsPending.push_back(false);
        if (dynamic_cast<const TFigureGrp*>(figures[i].get())) FGroups.push_back(static_cast<int>(i));
        pend(i);
    }
    FSyncedEpoch = epoch;
    // A long list of figures tested one by one costs more than a new grid.
    if (FPending.size() > std::max<std::size_t>(512, figures.size() / 16)) Build(figures);
}

bool TFigureHitIndex::Holds(int index, double x, double y, double grow) const {
    const TBox& b = FBoxes[static_cast<std::size_t>(index)];
    return x >= b.MinX - grow && x <= b.MaxX + grow && y >= b.MinY - grow && y <= b.MaxY + grow;
}

void TFigureHitIndex::Candidates(double x, double y, double pixelsPerMm, std::vector<int>& out) const {
    out.clear();
    // Pixel tolerances, as world lengths at the current scale.
    const double grow = (kSlackPixels + 2.0 * FMaxPenWidth) / std::max(pixelsPerMm, 1e-9);
    for (int i : FAlways)
        if (!FIsPending[static_cast<std::size_t>(i)] && Holds(i, x, y, grow)) out.push_back(i);
    for (int i : FPending)
        if (Holds(i, x, y, grow)) out.push_back(i);
    if (FColumns > 0) {
        // Every cell the grown point touches.
        const auto column = [&](double v) {
            return std::clamp(static_cast<int>(std::floor((v - FOriginX) / FCellSize)), -1, FColumns);
        };
        const auto row = [&](double v) {
            return std::clamp(static_cast<int>(std::floor((v - FOriginY) / FCellSize)), -1, FRows);
        };
        const int x0 = std::max(column(x - grow), 0), x1 = std::min(column(x + grow), FColumns - 1);
        const int y0 = std::max(row(y - grow), 0), y1 = std::min(row(y + grow), FRows - 1);
        for (int cy = y0; cy <= y1; ++cy)
            for (int cx = x0; cx <= x1; ++cx) {
                const std::size_t cell =
                    static_cast<std::size_t>(cy) * static_cast<std::size_t>(FColumns) + static_cast<std::size_t>(cx);
                for (std::uint32_t k = FCellStart[cell]; k < FCellStart[cell + 1]; ++k) {
                    const int i = FCellItems[k];
                    if (!FIsPending[static_cast<std::size_t>(i)] && Holds(i, x, y, grow)) out.push_back(i);
                }
            }
    }
    std::sort(out.begin(), out.end(), std::greater<>());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}
