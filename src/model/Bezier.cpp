#include "model/Bezier.h"

#include "model/Geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;
constexpr double TwoPi = 2 * std::numbers::pi;
// Samples per Bézier piece for hit tests and bounds: t = 0, 1/500, …, 1.
constexpr int BezierSamples = 500;
// Largest distance per axis at which a sample hits the test point.
constexpr double BezierHitTolerance = 0.3;
// Largest difference of two angles that still counts as the same direction:
// a few rounding steps of angles up to a few turns.
constexpr double FullTurnSlack = 1e-14;

// a turned into [−π, π). fmod is exact, so even huge angles land in range.
double NormaliseAngle(double a) {
    double r = std::fmod(a, TwoPi);
    if (r < -Pi) r += TwoPi;
    else if (r >= Pi) r -= TwoPi;
    // The additions above may round onto the excluded end.
    if (r >= Pi) r -= TwoPi;
    return r;
}

// Parameter of the ellipse point (rx·cos t, ry·sin t) that lies on the ray of
// the polar angle theta.
double ParametricAngle(double theta, double rx, double ry) {
    return std::atan2(std::sin(theta) * rx, std::cos(theta) * ry);
}

// The unit-circle point (x, y) scaled by the semi-axes, turned and moved.
T2DPoint PlaceOnEllipse(double x, double y, double rx, double ry, double cosR, double sinR, double cx, double cy) {
    const double ex = x * rx;
    const double ey = y * ry;
    return T2DPoint{cx + ex * cosR - ey * sinR, cy + ex * sinR + ey * cosR};
}

TDoublePointArr ToDoublePoints(const T2DPointArray& points) {
    TDoublePointArr result;
    result.reserve(points.size());
    for (const T2DPoint& q : points) result.push_back(DoublePoint(q.X, q.Y));
    return result;
}

} // namespace

TDoublePoint BezierPoint(const TDoublePoint& p0, const TDoublePoint& p1, const TDoublePoint& p2,
                         const TDoublePoint& p3, double t) {
    if (!(t >= 0 && t <= 1)) return DoublePoint(0, 0);
    // Basis matrix rows applied to the control points give the coefficients
    // of t³, t², t and 1.
    const auto eval = [t](double a0, double a1, double a2, double a3) {
        const double c3 = -a0 + 3 * a1 - 3 * a2 + a3;
        const double c2 = 3 * a0 - 6 * a1 + 3 * a2;
        const double c1 = -3 * a0 + 3 * a1;
        const double c0 = a0;
        return ((c3 * t + c2) * t + c1) * t + c0;
    };
    return DoublePoint(eval(p0.X, p1.X, p2.X, p3.X), eval(p0.Y, p1.Y, p2.Y, p3.Y));
}

TDoublePoint BezierStepPoint(const TDoublePoint& p0, const TDoublePoint& p1, const TDoublePoint& p2,
                             const TDoublePoint& p3, int steps, int i) {
    return BezierPoint(p0, p1, p2, p3, static_cast<double>(i) / static_cast<double>(steps));
}

bool HitBezier(const TDoublePoint& p0, const TDoublePoint& p1, const TDoublePoint& p2, const TDoublePoint& p3,
               const TDoublePoint& p) {
    // Every point of the curve lies inside its control points' hull, so a
    // point farther than the tolerance from their box cannot meet a sample.
    const auto outside = [](double a, double b, double c, double d, double v) {
        return v < std::min({a, b, c, d}) - BezierHitTolerance || v > std::max({a, b, c, d}) + BezierHitTolerance;
    };
    if (outside(p0.X, p1.X, p2.X, p3.X, p.X) || outside(p0.Y, p1.Y, p2.Y, p3.Y, p.Y)) return false;
    for (int i = 0; i <= BezierSamples; ++i) {
        const TDoublePoint q = BezierStepPoint(p0, p1, p2, p3, BezierSamples, i);
        if (std::abs(q.X - p.X) <= BezierHitTolerance && std::abs(q.Y - p.Y) <= BezierHitTolerance) return true;
    }
    return false;
}

bool HitPolyBezier(std::span<const TDoublePoint> points, const TDoublePoint& p) {
    // Only complete pieces: a trailing point or two without their piece are
    // never read.
    for (std::size_t k = 0; k + 3 < points.size(); k += 3) {
        if (HitBezier(points[k], points[k + 1], points[k + 2], points[k + 3], p)) return true;
    }
    return false;
}

void BezierBounds(const TDoublePoint& p0, const TDoublePoint& p1, const TDoublePoint& p2, const TDoublePoint& p3,
                  double& minX, double& minY, double& maxX, double& maxY) {
    minX = maxX = p0.X;
    minY = maxY = p0.Y;
    for (int i = 0; i <= BezierSamples; ++i) {
        const TDoublePoint q = BezierStepPoint(p0, p1, p2, p3, BezierSamples, i);
        minX = std::min(minX, q.X);
        maxX = std::max(maxX, q.X);
        minY = std::min(minY, q.Y);
        maxY = std::max(maxY, q.Y);
    }
}

bool PolyBezierBounds(std::span<const TDoublePoint> points, double& minX, double& minY, double& maxX,
                      double& maxY) {
    minX = minY = maxX = maxY = 0;
    bool any = false;
    for (std::size_t k = 0; k + 3 < points.size(); k += 3) {
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        BezierBounds(points[k], points[k + 1], points[k + 2], points[k + 3], x0, y0, x1, y1);
        if (!any) {
            minX = x0, minY = y0, maxX = x1, maxY = y1;
            any = true;
        } else {
            minX = std::min(minX, x0);
            minY = std::min(minY, y0);
            maxX = std::max(maxX, x1);
            maxY = std::max(maxY, y1);
        }
    }
    return any;
}

T2DPointArray EllipseArcToBezier(double startAngle, double endAngle, double rx, double ry, double rotation, double cx,
                                 double cy) {
    for (double v : {startAngle, endAngle, rx, ry, rotation, cx, cy}) {
        if (!std::isfinite(v)) return {};
    }
    double start = NormaliseAngle(startAngle);
    double end = NormaliseAngle(endAngle);
    // Equal angles mean a full turn. Decided on the polar angles, and angles
    // one turn apart count as equal when they differ only by the rounding of
    // that turn (0 and 2π on an ellipse, a + 2π and a); otherwise such an
    // arc would vanish as a sweep of almost nothing.
    const bool fullTurn = std::abs(std::remainder(end - start, TwoPi)) <= FullTurnSlack;
    if (rx != ry) {
        start = NormaliseAngle(ParametricAngle(start, rx, ry));
        end = NormaliseAngle(ParametricAngle(end, rx, ry));
    }
    double sweep = TwoPi;
    if (!fullTurn) {
        sweep = end - start;
        if (sweep < 0) sweep += TwoPi;
        sweep = std::min(sweep, TwoPi);
    }
    // The sweep lies in [0, 2π] here, so half is never negative.
    const double half = sweep / 2;
    // Each piece spans at most a quarter turn. The small allowance keeps a
    // sweep that misses a multiple of π/2 by rounding from taking an extra
    // piece; the sweep is at most 2π, so there are at most four pieces.
    const int n = std::clamp(static_cast<int>(std::ceil(half * 4 / Pi - 1e-9)), 1, 4);
    const double h = half / n;
    if (!(h >= 1e-12)) return {};

    const double cosH = std::cos(h);
    const double sinH = std::sin(h);
    const double k = 4.0 / 3.0 * std::tan(h / 2); // = 4·(1 − cos h) / (3·sin h)
    // One piece on the unit circle, symmetric about the X axis.
    const double unit[4][2] = {{cosH, -sinH}, {cosH + k * sinH, -sinH + k * cosH}, {cosH + k * sinH, sinH - k * cosH},
                               {cosH, sinH}};
    const double cosR = std::cos(rotation);
    const double sinR = std::sin(rotation);

    T2DPointArray result;
    result.reserve(static_cast<std::size_t>(3 * n + 1));
    for (int i = 0; i < n; ++i) {
        const double phi = start + (2 * i + 1) * h;
        const double c = std::cos(phi);
        const double s = std::sin(phi);
        for (int j = i == 0 ? 0 : 1; j < 4; ++j) {
            const double x = unit[j][0] * c - unit[j][1] * s;
            const double y = unit[j][0] * s + unit[j][1] * c;
            result.push_back(PlaceOnEllipse(x, y, rx, ry, cosR, sinR, cx, cy));
        }
    }
    return result;
}

bool HitEllipseArc(const TDoublePoint& centre, double startAngle, double endAngle, TArcStyle style, double rx,
                   double ry, const TDoublePoint& p) {
    if (startAngle == endAngle) {
        // The whole curve; a true ellipse is tested as an ellipse, not as a
        // circle of one of its radii.
        return rx == ry ? HitCircle(rx, centre, p) : HitEllipse(0, rx, ry, centre, p);
    }
    TDoublePointArr points = ToDoublePoints(EllipseArcToBezier(startAngle, endAngle, rx, ry, 0, centre.X, centre.Y));
    if (points.empty()) return false;
    const TDoublePoint first = points.front();
    const TDoublePoint last = points.back();
    const TDoublePoint c = DoublePoint(centre.X, centre.Y);
    // Straight closing pieces: each control point equals an end point.
    if (style == TArcStyle::asPie) points.insert(points.end(), {last, c, c, c, first, first});
    else if (style == TArcStyle::asChord) points.insert(points.end(), {last, first, first});
    return HitPolyBezier(points, p);
}

TDoubleRect ArcBounds(const TDoublePoint& centre, double startAngle, double endAngle, TArcStyle style, double rx,
                      double ry, double rotation) {
    const TDoublePointArr points =
        ToDoublePoints(EllipseArcToBezier(startAngle, endAngle, rx, ry, rotation, centre.X, centre.Y));
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    if (!PolyBezierBounds(points, minX, minY, maxX, maxY)) {
        // A vanishing sweep: the arc is the single point at the start angle.
        const double t = rx != ry ? ParametricAngle(startAngle, rx, ry) : startAngle;
        const T2DPoint q = PlaceOnEllipse(std::cos(t), std::sin(t), rx, ry, std::cos(rotation), std::sin(rotation),
                                          centre.X, centre.Y);
        minX = maxX = q.X;
        minY = maxY = q.Y;
    }
    // The chord joins the arc's own end points, which the samples hold.
    if (style == TArcStyle::asPie) {
        minX = std::min(minX, centre.X);
        maxX = std::max(maxX, centre.X);
        minY = std::min(minY, centre.Y);
        maxY = std::max(maxY, centre.Y);
    }
    return TDoubleRect{minX, minY, maxX, maxY};
}
