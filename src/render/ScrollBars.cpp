// The surface's own scroll bars: 15 pixels thick along the bottom and the
// right edge, a track and a thumb sized by page and range.
#include "platform/Canvas.h"
#include "render/VXDrawBox.h"

#include <algorithm>

namespace {
constexpr TColor kTrackColor = 0xE8E8E8;
constexpr TColor kThumbColor = 0xA0A0A0;
constexpr int kMinThumb = 10;

void PaintBar(TCanvas& canvas, const QRect& r, bool horizontal, int range, int page, int pos) {
    canvas.FillRect({r.left(), r.top(), r.right() + 1, r.bottom() + 1}, {kTrackColor, TBrushStyle::bsSolid});
    const int track = horizontal ? r.width() : r.height();
    if (range <= 0 || track <= 0) return;
    const int length = std::clamp(track * page / range, kMinThumb, track);
    const int start = std::clamp(track * pos / range, 0, track - length);
    if (horizontal)
        canvas.FillRect({r.left() + start, r.top() + 2, r.left() + start + length, r.bottom() - 1},
                        {kThumbColor, TBrushStyle::bsSolid});
    else
        canvas.FillRect({r.left() + 2, r.top() + start, r.right() - 1, r.top() + start + length},
                        {kThumbColor, TBrushStyle::bsSolid});
}
} // namespace

void TVXDrawBox::PaintScrollBars(TCanvas& canvas) {
    if (FHScroll) PaintBar(canvas, HScrollRect(), true, FHRange, FHPage, FHPos);
    if (FVScroll) PaintBar(canvas, VScrollRect(), false, FVRange, FVPage, FVPos);
    if (FHScroll && FVScroll)
        canvas.FillRect({SurfaceWidth() - kScrollBarSize, SurfaceHeight() - kScrollBarSize, SurfaceWidth(),
                         SurfaceHeight()},
                        {kTrackColor, TBrushStyle::bsSolid});
}
