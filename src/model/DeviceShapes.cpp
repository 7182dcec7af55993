#include "model/DeviceShapes.h"

#include "model/Geometry.h"

#include <array>
#include <cmath>

namespace {

TDoublePoint ToDouble(QPoint p) { return DoublePoint(p.x(), p.y()); }

} // namespace

TDeviceRegion LineRegion(QPoint a, QPoint b) {
    // Build the outline with the segment lying along +X from a, then turn it back.
    const TDoublePoint da = ToDouble(a);
    const double angle = AngleOf(da, ToDouble(b));
    const TDoublePoint flatB = RotatePoint(da, ToDouble(b), -angle);
    const std::array<TDoublePoint, 4> corners = {
        DoublePoint(da.X - 2, da.Y - 2), DoublePoint(da.X - 2, da.Y + 2), DoublePoint(flatB.X + 2, flatB.Y + 2),
        DoublePoint(flatB.X + 2, flatB.Y - 2)};
    std::array<QPoint, 4> polygon;
    for (std::size_t i = 0; i < corners.size(); ++i) polygon[i] = RoundToPoint(RotatePoint(da, corners[i], angle));
    return TDeviceRegion::FromPolygon(polygon, TPolyFillMode::Winding);
}

TDeviceRegion RotatedRectRegion(QPoint origin, double angle, double width, double height) {
    const TDoublePoint o = ToDouble(origin);
    const std::array<TDoublePoint, 4> corners = {o, OffsetX(o, width), OffsetXY(o, width, height), OffsetY(o, height)};
    std::array<QPoint, 4> polygon;
    for (std::size_t i = 0; i < corners.size(); ++i) polygon[i] = RoundToPoint(RotatePoint(o, corners[i], angle));
    return TDeviceRegion::FromPolygon(polygon, TPolyFillMode::Winding);
}

void SetDCRotation(TCanvas& dc, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    dc.SetWorldTransform(TXForm{c, s, -s, c, 0, 0});
}

void ResetDCRotation(TCanvas& dc) { dc.ResetWorldTransform(); }
