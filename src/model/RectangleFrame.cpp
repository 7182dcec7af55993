#include "model/RectangleFrame.h"

#include "model/Geometry.h"
#include "model/PolylineGeometry.h"

#include <cmath>

namespace {

// Corner indexes (0-based): P1 0, P2 1, P3 2, P4 3. The sides P1–P2 and
// P3–P4 run along the frame's X axis, P2–P3 and P4–P1 across it.
constexpr int kOrigin = 3;

struct TFrame {
    TDoublePoint Origin;
    double Angle = 0;

    TDoublePoint ToFrame(const TDoublePoint& p) const {
        const TDoublePoint q = RotatePoint(Origin, p, -Angle);
        return DoublePoint(q.X - Origin.X, q.Y - Origin.Y);
    }
    TDoublePoint ToWorld(const TDoublePoint& q) const {
        return RotatePoint(Origin, DoublePoint(Origin.X + q.X, Origin.Y + q.Y), Angle);
    }
};

TFrame FrameOf(const TDoublePoint corners[4]) {
    return {corners[kOrigin], RectangleFrameAngle(corners)};
}

// Width w and height h measured from the fixed corner, scaled by the factor of
// the larger relative change; each keeps the sign of the dragged offset.
void KeepProportions(double oldW, double oldH, double& w, double& h) {
    if (oldW == 0 || oldH == 0) return; // no ratio to keep: the corner follows the mouse
    const double rx = w / oldW;
    const double ry = h / oldH;
    const double factor = std::abs(rx - 1) >= std::abs(ry - 1) ? std::abs(rx) : std::abs(ry);
    w = oldW * factor * (rx < 0 ? -1 : 1);
    h = oldH * factor * (ry < 0 ? -1 : 1);
}

} // namespace

double RectangleFrameAngle(const TDoublePoint corners[4]) {
    const TDoublePoint& p4 = corners[3];
    const TDoublePoint& p3 = corners[2];
    return std::atan2(p3.Y - p4.Y, p3.X - p4.X);
}

TRectangleCorners DragRectangleCorners(const TDoublePoint corners[4], int handleIndex, TDoublePoint dragged,
                                       bool diagonal) {
    TRectangleCorners result = {corners[0], corners[1], corners[2], corners[3]};
    if (handleIndex < 1 || handleIndex > 8) return result;
    const TFrame frame = FrameOf(corners);
    TRectangleCorners f;
    for (int i = 0; i < 4; ++i)
        f[static_cast<std::size_t>(i)] = frame.ToFrame(corners[i]);
    const TRectangleCorners before = f;
    const TDoublePoint d = frame.ToFrame(dragged);

    if (handleIndex % 2 == 1) {
        const auto corner = static_cast<std::size_t>((handleIndex - 1) / 2);
        const TDoublePoint fixed = f[(corner + 2) % 4];
        double w = d.X - fixed.X;
        double h = d.Y - fixed.Y;
        if (diagonal) KeepProportions(f[corner].X - fixed.X, f[corner].Y - fixed.Y, w, h);
        f[corner] = DoublePoint(fixed.X + w, fixed.Y + h);
        // The neighbour on the same side along X shares the dragged corner's Y,
        // the neighbour across shares its X.
        f[corner ^ 1] = DoublePoint(fixed.X, fixed.Y + h);
        f[3 - corner] = DoublePoint(fixed.X + w, fixed.Y);
    } else {
        const int side = handleIndex / 2; // 1 … 4
        const auto a = static_cast<std::size_t>(side - 1);
        const auto b = static_cast<std::size_t>(side % 4);
        if (side % 2 == 1) {
            f[a].Y = d.Y;
            f[b].Y = d.Y;
        } else {
            f[a].X = d.X;
            f[b].X = d.X;
        }
    }
    // Corners that did not move keep their exact coordinates.
    for (std::size_t i = 0; i < 4; ++i)
        if (!(f[i] == before[i])) result[i] = frame.ToWorld(f[i]);
    return result;
}

std::optional<TRectangleCorners> OffsetRectangleCorners(const TDoublePoint corners[4], double d) {
    const TFrame frame = FrameOf(corners);
    TRectangleCorners f;
    for (int i = 0; i < 4; ++i)
        f[static_cast<std::size_t>(i)] = frame.ToFrame(corners[i]);
    const double width = std::hypot(corners[2].X - corners[3].X, corners[2].Y - corners[3].Y);
    const double height = std::hypot(corners[0].X - corners[3].X, corners[0].Y - corners[3].Y);
    if (!(width + 2 * d > 0) || !(height + 2 * d > 0)) return std::nullopt;
    // P2 and P3 lie on the +X side of the frame; P1 and P2 on the side of P1.
    const double up = f[0].Y < f[3].Y ? -1 : 1;
    f[0] = OffsetXY(f[0], -d, up * d);
    f[1] = OffsetXY(f[1], d, up * d);
    f[2] = OffsetXY(f[2], d, -up * d);
    f[3] = OffsetXY(f[3], -d, -up * d);
    TRectangleCorners result;
    for (std::size_t i = 0; i < 4; ++i)
        result[i] = frame.ToWorld(f[i]);
    return result;
}

int RectangleSideAt(const TDoublePoint corners[4], const TDoublePoint& p, double tolerance,
                    TDoublePoint& foot) {
    for (int side = 1; side <= 4; ++side) {
        const TDoublePoint& a = corners[side - 1];
        const TDoublePoint& b = corners[side % 4];
        double t = 0;
        if (DistanceToSegment(a, b, p, t) > tolerance) continue;
        foot = PointAlong(a, b, t);
        return side;
    }
    return 0;
}
