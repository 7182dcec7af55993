#pragma once
// The pixels a one-pixel GDI pen sets along device polylines: every segment
// runs from its first pixel up to, not including, its last one, so the
// segments of a chain meet without setting a pixel twice and a closed outline
// sets each corner once. Styled pens step through their dash rhythm pixel by
// pixel along the whole chain.

#include <QLine>
#include <QList>
#include <QPoint>
#include <QRect>
#include <cstdint>
#include <span>

class TPixelLineTracer {
public:
    // Only pixels of styled pens inside the visible rectangle are collected;
    // the dash rhythm still counts the pixels outside, so what shows does not
    // depend on it. An empty dash pattern is a solid pen.
    TPixelLineTracer(const QRect& visible, std::span<const int> dashes);

    // The pixels from a up to, not including, b; nothing when a == b.
    void AddSegment(QPoint a, QPoint b);
    // The segments through the points in order; a closed outline repeats
    // its first point at the end.
    void AddPolyline(std::span<const QPoint> points);
    // Moves the dash rhythm on over a piece of line that lies far outside.
    void Skip(std::int64_t pixels) { Advance(pixels); }

    // A solid pen's segments as lines for QPainter's cosmetic one-pixel pen:
    // FlatLines are drawn with a flat cap (which leaves out their last
    // pixel), Lines with a square cap (which keeps both end pixels; they end
    // on the pixel before the segment's last one).
    const QList<QLine>& FlatLines() const { return FFlatLines; }
    const QList<QLine>& Lines() const { return FLines; }
    // Single pixels of a styled pen in the pen colour and the gap pixels
    // that an opaque background fills.
    const QList<QPoint>& Ink() const { return FInk; }
    const QList<QPoint>& Gaps() const { return FGaps; }

private:
    void Advance(std::int64_t pixels);
    bool InkNow() const { return FDashes.empty() || FDashIndex % 2 == 0; }

    QRect FVisible;
    std::span<const int> FDashes;
    std::int64_t FPeriod = 0;
    std::size_t FDashIndex = 0;
    std::int64_t FDashLeft = 0;
    QList<QLine> FFlatLines;
    QList<QLine> FLines;
    QList<QPoint> FInk;
    QList<QPoint> FGaps;
};
