#include "model/Geometry.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

// Squared planar distance.
double Dist2(const TDoublePoint& a, const TDoublePoint& b) {
    const double dx = b.X - a.X;
    const double dy = b.Y - a.Y;
    return dx * dx + dy * dy;
}

// Nearest device coordinate, kept well inside the int range.
int RoundCoord(double v) {
    constexpr double Limit = 1073741824.0; // 2^30
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::nearbyint(std::clamp(v, -Limit, Limit)));
}

// v truncated to 4 decimals. A product that misses an integer only by its
// own rounding error counts as that integer, so 1.2345 stays 1.2345.
double Trunc4(double v) {
    const double scaled = v * 10000.0;
    // Beyond 2^52 a double has no fraction left to cut (and NaN stays NaN).
    if (!(std::abs(scaled) < 4503599627370496.0)) return v;
    const double nearest = std::nearbyint(scaled);
    if (std::abs(scaled - nearest) <= 4 * DBL_EPSILON * std::abs(scaled)) return nearest / 10000.0;
    return std::trunc(scaled) / 10000.0;
}

} // namespace

bool SamePoint(const TDoublePoint& a, const TDoublePoint& b) {
    return std::abs(a.X - b.X) < 0.02 && std::abs(a.Y - b.Y) < 0.02;
}

bool SameDouble(double a, double b) { return std::abs(a - b) < 0.001; }

bool InRange(double a, double b, double v) { return std::min(a, b) <= v && v <= std::max(a, b); }

double Distance(const TDoublePoint& a, const TDoublePoint& b, bool Flat) {
    if (!Flat && !SameDouble(a.Z, b.Z)) {
        const double dz = b.Z - a.Z;
        return std::sqrt(Dist2(a, b) + dz * dz);
    }
    if (SamePoint(a, b)) return 0;
    return std::hypot(b.X - a.X, b.Y - a.Y);
}

double AngleOf(const TDoublePoint& centre, const TDoublePoint& p) {
    const double dx = p.X - centre.X;
    const double dy = p.Y - centre.Y;
    if (dx == 0 && dy == 0) return 0;
    if (dx == 0) return p.Y > centre.Y ? Pi / 2 : 3 * Pi / 2;
    if (dy == 0) return p.X > centre.X ? 0 : Pi;
    const double h = std::atan(std::abs(dy) / std::abs(dx));
    if (dx > 0 && dy > 0) return h;
    if (dx < 0 && dy > 0) return Pi - h;
    if (dx < 0 && dy < 0) return Pi + h;
    return 2 * Pi - h;
}

TDoublePoint RotatePoint(const TDoublePoint& centre, const TDoublePoint& p, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double dx = p.X - centre.X;
    const double dy = p.Y - centre.Y;
    return TDoublePoint{centre.X + dx * c - dy * s, centre.Y + dx * s + dy * c, p.Z};
}

TDoublePoint ScalePoint(const TDoublePoint& origin, const TDoublePoint& p, double sx, double sy) {
    TDoublePoint r = p;
    if (sx != 1) r.X = origin.X + (p.X - origin.X) * sx;
    if (sy != 1) r.Y = origin.Y + (p.Y - origin.Y) * sy;
    return r;
}

TDoublePoint MirrorPoint(const TDoublePoint& p, const TDoublePoint& a, const TDoublePoint& b) {
    if (a.X == b.X) return TDoublePoint{2 * a.X - p.X, p.Y, p.Z};
    if (a.Y == b.Y) return TDoublePoint{p.X, 2 * a.Y - p.Y, p.Z};
    // Foot of the perpendicular from p onto the line, by projection (the same
    // point as intersecting the line with its normal through p, without
    // dividing by a slope that may be tiny).
    const double ux = b.X - a.X;
    const double uy = b.Y - a.Y;
    const double t = ((p.X - a.X) * ux + (p.Y - a.Y) * uy) / (ux * ux + uy * uy);
    const double fx = a.X + t * ux;
    const double fy = a.Y + t * uy;
    return TDoublePoint{2 * fx - p.X, 2 * fy - p.Y, p.Z};
}

TDoublePoint MidPoint(const TDoublePoint& a, const TDoublePoint& b) {
    return TDoublePoint{(a.X + b.X) / 2, (a.Y + b.Y) / 2, (a.Z + b.Z) / 2};
}

TDoublePoint PointAlong(const TDoublePoint& a, const TDoublePoint& b, double t) {
    if (a.X == b.X && a.Y == b.Y) return a;
    return TDoublePoint{a.X + t * (b.X - a.X), a.Y + t * (b.Y - a.Y), a.Z};
}

TDoublePoint PointAtDistance(const TDoublePoint& a, const TDoublePoint& b, bool Flat, double d) {
    if (Flat && SamePoint(a, b)) return a;
    const double planar = std::hypot(b.X - a.X, b.Y - a.Y);
    if (Flat || SameDouble(a.Z, b.Z)) {
        if (planar == 0) return a; // no direction to move in
        const double f = d / planar;
        return TDoublePoint{a.X + f * (b.X - a.X), a.Y + f * (b.Y - a.Y), a.Z + f * (b.Z - a.Z)};
    }
    const double zSign = b.Z > a.Z ? 1.0 : -1.0;
    if (SamePoint(a, b)) return TDoublePoint{a.X, a.Y, a.Z + zSign * d};
    const double slope = std::atan(std::abs(b.Z - a.Z) / planar);
    const double f = d * std::cos(slope) / planar;
    return TDoublePoint{a.X + f * (b.X - a.X), a.Y + f * (b.Y - a.Y), a.Z + zSign * d * std::sin(slope)};
}

TDoublePoint OffsetX(const TDoublePoint& p, double d) { return TDoublePoint{p.X + d, p.Y, p.Z}; }

TDoublePoint OffsetY(const TDoublePoint& p, double d) { return TDoublePoint{p.X, p.Y + d, p.Z}; }

TDoublePoint OffsetXY(const TDoublePoint& p, double dx, double dy) { return TDoublePoint{p.X + dx, p.Y + dy, p.Z}; }

TDoublePoint StepTowards(const TDoublePoint& p, const TDoublePoint& target, double dx, double dy) {
    TDoublePoint r = p;
    if (target.X > p.X) r.X += std::abs(dx);
    else if (target.X < p.X) r.X -= std::abs(dx);
    if (target.Y > p.Y) r.Y += std::abs(dy);
    else if (target.Y < p.Y) r.Y -= std::abs(dy);
    return r;
}

QPoint RoundToPoint(const TDoublePoint& p) { return QPoint(RoundCoord(p.X), RoundCoord(p.Y)); }

TDoublePoint TruncPoint4(const TDoublePoint& p) { return TDoublePoint{Trunc4(p.X), Trunc4(p.Y), Trunc4(p.Z)}; }

bool PointInDoubleRect(const TDoublePoint& p, const TDoubleRect& r) {
    return r.Left <= p.X && p.X <= r.Right && r.Top <= p.Y && p.Y <= r.Bottom;
}

TDoubleRect RectOfPoints(const TDoublePoint& a, const TDoublePoint& b, double margin) {
    return TDoubleRect{std::min(a.X, b.X) - margin, std::min(a.Y, b.Y) - margin, std::max(a.X, b.X) + margin,
                       std::max(a.Y, b.Y) + margin};
}

// Shared area or a corner of one inside the other comes to the same as
// closed intervals meeting on both axes; that also lets a rectangle of zero
// width (the bounds of a vertical line) overlap a rectangle it crosses.
bool RectsOverlap(const TDoubleRect& r1, const TDoubleRect& r2) {
    const double l1 = std::min(r1.Left, r1.Right), h1 = std::max(r1.Left, r1.Right);
    const double t1 = std::min(r1.Top, r1.Bottom), b1 = std::max(r1.Top, r1.Bottom);
    const double l2 = std::min(r2.Left, r2.Right), h2 = std::max(r2.Left, r2.Right);
    const double t2 = std::min(r2.Top, r2.Bottom), b2 = std::max(r2.Top, r2.Bottom);
    return l1 <= h2 && l2 <= h1 && t1 <= b2 && t2 <= b1;
}

bool HitSegment(const TDoublePoint& a, const TDoublePoint& b, const TDoublePoint& p, double tolerance,
                double width) {
    const double reach = tolerance + width;
    if (a.X == b.X && a.Y == b.Y) return std::abs(p.X - a.X) <= reach && std::abs(p.Y - a.Y) <= reach;
    const double L = Dist2(a, b);
    const double A = Dist2(a, p);
    const double B = Dist2(b, p);
    const double k = L - A - B;
    const double h2 = std::abs(4 * A * B - k * k) / (4 * L);
    return reach * reach >= h2 && PointInDoubleRect(p, RectOfPoints(a, b, tolerance));
}

bool HitCircle(double r, const TDoublePoint& centre, const TDoublePoint& p) {
    if (r == 0) return false;
    const double q = Dist2(centre, p) / (r * r);
    return q > 0.9 && q < 1.1;
}

bool HitEllipse(double rotation, double rx, double ry, const TDoublePoint& centre, const TDoublePoint& p) {
    if (rx * ry == 0) return false;
    const TDoublePoint local = RotatePoint(centre, p, -rotation);
    const double dx = local.X - centre.X;
    const double dy = local.Y - centre.Y;
    const double q = dx * dx / (rx * rx) + dy * dy / (ry * ry);
    return q > 0.9 && q < 1.1;
}
