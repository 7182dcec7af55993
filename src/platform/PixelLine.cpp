#include "platform/PixelLine.h"

#include <algorithm>
#include <cstdlib>

TPixelLineTracer::TPixelLineTracer(const QRect& visible, std::span<const int> dashes)
    : FVisible(visible), FDashes(dashes) {
    for (int length : FDashes) FPeriod += std::max(length, 0);
    if (FPeriod == 0) FDashes = {};
    if (FDashes.empty()) return;
    FDashLeft = std::max(FDashes[0], 0);
    while (FDashLeft == 0) {
        FDashIndex = (FDashIndex + 1) % FDashes.size();
        FDashLeft = std::max(FDashes[FDashIndex], 0);
    }
}

// Moves the dash rhythm on by a number of pixels.
void TPixelLineTracer::Advance(std::int64_t pixels) {
    if (FDashes.empty()) return;
    pixels %= FPeriod;
    while (pixels > 0) {
        const std::int64_t step = std::min(pixels, FDashLeft);
        FDashLeft -= step;
        pixels -= step;
        while (FDashLeft == 0) {
            FDashIndex = (FDashIndex + 1) % FDashes.size();
            FDashLeft = std::max(FDashes[FDashIndex], 0);
        }
    }
}

void TPixelLineTracer::AddSegment(QPoint a, QPoint b) {
    const std::int64_t dx = std::int64_t{b.x()} - a.x();
    const std::int64_t dy = std::int64_t{b.y()} - a.y();
    const std::int64_t adx = std::llabs(dx);
    const std::int64_t ady = std::llabs(dy);
    const std::int64_t steps = std::max(adx, ady);
    if (steps == 0) return;
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    const std::int64_t major = xMajor ? adx : ady;
    const std::int64_t minor = xMajor ? ady : adx;
    // The minor coordinate of step i is the exact one rounded to nearest,
    // halves moving on in the direction of travel.
    auto pixelAt = [&](std::int64_t i) {
        const std::int64_t offset = (2 * i * minor + major) / (2 * major);
        return QPoint(static_cast<int>(a.x() + (xMajor ? sx * i : sx * offset)),
                      static_cast<int>(a.y() + (xMajor ? sy * offset : sy * i)));
    };
    if (FDashes.empty()) {
        // QPainter's cosmetic pen with a flat cap leaves out the end with the
        // larger coordinate along the main axis (x when |dx| >= |dy|): that is
        // the last pixel of a segment running in the positive direction.
        // Other segments end on the pixel before their last one instead.
        const bool positive = xMajor ? dx > 0 : dy > 0;
        if (positive) FFlatLines.append(QLine(a, b));
        else FLines.append(QLine(a, pixelAt(steps - 1)));
        return;
    }

    // Only the steps whose major coordinate lies in the visible band are walked.
    const std::int64_t start = xMajor ? a.x() : a.y();
    const std::int64_t sMajor = xMajor ? sx : sy;
    const std::int64_t low = xMajor ? FVisible.left() : FVisible.top();
    const std::int64_t high = xMajor ? FVisible.right() : FVisible.bottom();
    std::int64_t first = 0;
    std::int64_t last = steps - 1;
    if (FVisible.isEmpty()) {
        first = steps;
    } else if (sMajor > 0) {
        first = std::max(first, low - start);
        last = std::min(last, high - start);
    } else {
        first = std::max(first, start - high);
        last = std::min(last, start - low);
    }
    if (first > last) {
        Advance(steps);
        return;
    }
    Advance(first);
    for (std::int64_t i = first; i <= last; ++i) {
        const QPoint pixel = pixelAt(i);
        if (FVisible.contains(pixel)) (InkNow() ? FInk : FGaps).append(pixel);
        Advance(1);
    }
    Advance(steps - 1 - last);
}

void TPixelLineTracer::AddPolyline(std::span<const QPoint> points) {
    for (std::size_t i = 1; i < points.size(); ++i) AddSegment(points[i - 1], points[i]);
}
