// Snapping of a world point: the document's near-point snap first, then per
// axis the nearest grid line and the nearest guide within 12 pixels.
#include "render/Grid.h"
#include "render/VXDrawBox.h"

#include <cmath>

namespace {
constexpr double kSnapPixels = 12.0;
} // namespace

void TVXDrawBox::Snap(double& x, double& y) {
    if (FToolIdx == 1 || FToolIdx == 7) return;
    if (FSnapToNearPoint) {
        double nx = x;
        double ny = y;
        if (SnapToNearPoint(nx, ny)) {
            x = nx;
            y = ny;
            return;
        }
    }
    const double tolerance = kSnapPixels / Factor();
    double gridBestX = tolerance;
    double gridBestY = tolerance;
    double gridX = x;
    double gridY = y;
    bool haveGridX = false;
    bool haveGridY = false;
    if (FSnapToGrids) {
        haveGridX = NearestGridPosition(x, FWorkWidth, FGridStep, FRulerSystem, gridBestX, gridX);
        haveGridY = NearestGridPosition(y, FWorkHeight, FGridStep, FRulerSystem, gridBestY, gridY);
    }
    double guideBestX = tolerance;
    double guideBestY = tolerance;
    double guideX = x;
    double guideY = y;
    bool haveGuideX = false;
    bool haveGuideY = false;
    if (FSnapToGuides) {
        for (const auto& guide : FGuides) {
            if (guide->Kind == TGuideLine::kVertical) {
                const double d = std::abs(guide->Position - x);
                if (d < guideBestX) {
                    guideBestX = d;
                    guideX = guide->Position;
                    haveGuideX = true;
                }
            } else {
                const double d = std::abs(guide->Position - y);
                if (d < guideBestY) {
                    guideBestY = d;
                    guideY = guide->Position;
                    haveGuideY = true;
                }
            }
        }
    }
    // A guide wins only when it is strictly nearer than the grid.
    if (haveGuideX && (!haveGridX || guideBestX < gridBestX))
        x = guideX;
    else if (haveGridX)
        x = gridX;
    if (haveGuideY && (!haveGridY || guideBestY < gridBestY))
        y = guideY;
    else if (haveGridY)
        y = gridY;
}
