// Guide lines: XOR lines across the surface, picked up near the mouse and
// dropped where the mouse is released.
#include "platform/Canvas.h"
#include "render/VXDrawBox.h"

#include <cmath>
#include <cstdlib>

namespace {
constexpr double kPickPixels = 6.0;
} // namespace

TGuideLine* TVXDrawBox::AddGuide(std::uint8_t kind, double position) {
    if (!std::isfinite(position)) return nullptr;
    FGuides.push_back(std::make_unique<TGuideLine>(kind ? TGuideLine::kHorizontal : TGuideLine::kVertical, position));
    return FGuides.back().get();
}

void TVXDrawBox::ClearGuides() {
    FGuides.clear();
    Refresh();
}

void TVXDrawBox::PaintGuides(TCanvas& canvas) {
    if (FGuides.empty()) return;
    // The canvas is clipped to the area between the rulers and the scroll bars.
    canvas.SetPenMode(TPenMode::pmXor);
    canvas.SetPen({FGuideColor ^ FBackGround, 1, TPenStyle::psSolid});
    const int width = SurfaceWidth();
    const int height = SurfaceHeight();
    for (const auto& guide : FGuides) {
        if (guide->Kind == TGuideLine::kHorizontal) {
            const int y = static_cast<int>(std::nearbyint(WorldToDevice(0, guide->Position).Y));
            canvas.MoveTo(0, y);
            canvas.LineTo(width, y);
        } else {
            const int x = static_cast<int>(std::nearbyint(WorldToDevice(guide->Position, 0).X));
            canvas.MoveTo(x, 0);
            canvas.LineTo(x, height);
        }
    }
    canvas.SetPenMode(TPenMode::pmCopy);
}

bool TVXDrawBox::CheckGuideLine(double x, double y) {
    const TDoublePoint at = WorldToDevice(x, y);
    for (auto it = FGuides.begin(); it != FGuides.end(); ++it) {
        const TGuideLine& guide = **it;
        const bool horizontal = guide.Kind == TGuideLine::kHorizontal;
        const double device = horizontal ? WorldToDevice(0, guide.Position).Y : WorldToDevice(guide.Position, 0).X;
        if (std::abs(device - (horizontal ? at.Y : at.X)) < kPickPixels) {
            FGuides.erase(it);
            FMouseMode = horizontal ? SurfaceMode::HorizontalGuide : SurfaceMode::VerticalGuide;
            FDragging = true;
            Refresh();
            DrawGuideDragLine(QPoint(static_cast<int>(std::nearbyint(at.X)), static_cast<int>(std::nearbyint(at.Y))));
            return true;
        }
    }
    return false;
}

bool TVXDrawBox::CheckForGuideDrop(int x, int y) {
    if (FMouseMode != SurfaceMode::HorizontalGuide && FMouseMode != SurfaceMode::VerticalGuide) return false;
    const TDoublePoint world = DeviceToWorld(x, y);
    if (FMouseMode == SurfaceMode::HorizontalGuide)
        AddGuide(TGuideLine::kHorizontal, world.Y);
    else
        AddGuide(TGuideLine::kVertical, world.X);
    FMouseMode = SurfaceMode::None;
    FDragging = false;
    FGuideDragPos.reset();
    return true;
}
