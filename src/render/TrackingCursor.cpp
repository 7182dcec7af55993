// The tracking cursor and the line of a guide being dragged: XOR overlays
// drawn over the working bitmap when it is shown, so that repaints and the
// document's overlay redraws never leave stale traces behind.
#include "platform/QtCanvas.h"
#include "render/VXDrawBox.h"

#include <cmath>
#include <numbers>

namespace {
constexpr TColor kTraceColor = 0x00FFFF;

void SlopedLines(TCanvas& canvas, QPoint at, double degrees, int width) {
    const double t = std::tan(degrees * std::numbers::pi / 180.0);
    for (double sign : {1.0, -1.0}) {
        const double y0 = at.y() + sign * t * at.x();
        const double y1 = at.y() - sign * t * (width - at.x());
        canvas.MoveTo(0, static_cast<int>(std::nearbyint(y0)));
        canvas.LineTo(width, static_cast<int>(std::nearbyint(y1)));
    }
}
} // namespace

void TVXDrawBox::DrawTrace(QPoint at) {
    FTracePos = at;
    ShowWorkBitmap();
}

void TVXDrawBox::EraseTrace() {
    if (!FTracePos) return;
    FTracePos.reset();
    ShowWorkBitmap();
}

void TVXDrawBox::DrawGuideDragLine(QPoint at) {
    FGuideDragPos = at;
    ShowWorkBitmap();
}

QImage TVXDrawBox::ShownImage() const {
    if ((!FTracePos && !FGuideDragPos) || FWorkBitmap.isNull()) return FWorkBitmap;
    QImage image = FWorkBitmap.copy();
    try {
        TQtCanvas canvas(&image);
        canvas.SetPenMode(TPenMode::pmXor);
        canvas.SetBackgroundTransparent(true);
        const int width = image.width();
        const int height = image.height();
        if (FGuideDragPos) {
            canvas.SetPen({FGuideColor ^ FBackGround, 1, TPenStyle::psSolid});
            if (FMouseMode == SurfaceMode::HorizontalGuide) {
                canvas.MoveTo(0, FGuideDragPos->y());
                canvas.LineTo(width, FGuideDragPos->y());
            } else {
                canvas.MoveTo(FGuideDragPos->x(), 0);
                canvas.LineTo(FGuideDragPos->x(), height);
            }
        }
        if (FTracePos) {
            const QPoint p = *FTracePos;
            canvas.SetPen({kTraceColor, 1, TPenStyle::psDot});
            switch (FGuideTrace) {
            case TGuideTraces::gtNone:
                if (!RulerVisible()) break;
                canvas.MoveTo(p.x(), 0);
                canvas.LineTo(p.x(), kRulerSize);
                canvas.MoveTo(0, p.y());
                canvas.LineTo(kRulerSize, p.y());
                break;
            case TGuideTraces::gtNinty:
                canvas.MoveTo(0, p.y());
                canvas.LineTo(width, p.y());
                canvas.MoveTo(p.x(), 0);
                canvas.LineTo(p.x(), height);
                break;
            case TGuideTraces::gtThirty: SlopedLines(canvas, p, 30, width); break;
            case TGuideTraces::gtFortyFive: SlopedLines(canvas, p, 45, width); break;
            case TGuideTraces::gtSixty: SlopedLines(canvas, p, 60, width); break;
            }
        }
    } catch (const std::exception&) {
        // The overlays are decoration: a failure shows the plain bitmap.
        return FWorkBitmap;
    }
    return image;
}
