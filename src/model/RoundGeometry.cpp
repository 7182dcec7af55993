#include "model/RoundGeometry.h"

#include "model/Bezier.h"
#include "model/DrawObjects.h"
#include "model/Geometry.h"
#include "model/Layer.h"

#include <cmath>
#include <numbers>

namespace {
constexpr double TwoPi = 2 * std::numbers::pi;
// Parameters this far outside [0, 1] still count as on the segment.
constexpr double kSegmentSlack = 1e-9;
} // namespace

double NormalAngle(double a) {
    if (!std::isfinite(a)) return a;
    double r = std::fmod(a, TwoPi);
    if (r < 0) r += TwoPi;
    // The addition may round onto 2π itself.
    if (r >= TwoPi) r = 0;
    return r;
}

bool AngleOnArc(double start, double end, double angle) {
    if (start == end) return true;
    if (end > start) return InRange(start, end, angle);
    return angle >= start || angle <= end;
}

double MiddleAngle(double start, double end) {
    if (end >= start) return (start + end) / 2;
    return start + (end + TwoPi - start) / 2;
}

TDoublePoint EllipsePoint(const TDoublePoint& centre, double rx, double ry, double rotation, double theta) {
    // The parameter of the ellipse point on the ray of theta (as the Bézier
    // conversion computes it).
    const double t = rx != ry ? std::atan2(std::sin(theta) * rx, std::cos(theta) * ry) : theta;
    const double ex = rx * std::cos(t);
    const double ey = ry * std::sin(t);
    const double c = std::cos(rotation);
    const double s = std::sin(rotation);
    return DoublePoint(centre.X + ex * c - ey * s, centre.Y + ex * s + ey * c);
}

double FrameAngle(const TDoublePoint& centre, double rotation, const TDoublePoint& p) {
    if (rotation == 0) return AngleOf(centre, p);
    return AngleOf(centre, RotatePoint(centre, p, -rotation));
}

TDoublePointArr ArcBezierPath(const TDoublePoint& centre, double start, double end, double rx, double ry,
                              double rotation, TArcStyle style) {
    const T2DPointArray curve = EllipseArcToBezier(start, end, rx, ry, rotation, centre.X, centre.Y);
    TDoublePointArr points;
    points.reserve(curve.size() + 6);
    for (const T2DPoint& q : curve) points.push_back(DoublePoint(q.X, q.Y));
    if (points.empty()) return points;
    const TDoublePoint first = points.front();
    const TDoublePoint last = points.back();
    const TDoublePoint c = DoublePoint(centre.X, centre.Y);
    if (style == TArcStyle::asPie) points.insert(points.end(), {last, c, c, c, first, first});
    else if (style == TArcStyle::asChord) points.insert(points.end(), {last, first, first});
    return points;
}

TDoublePointArr SegmentEllipseCrossings(const TDoublePoint& centre, double rx, double ry, double rotation,
                                        const TDoublePoint& a, const TDoublePoint& b) {
    if (!(rx > 0) || !(ry > 0)) return {};
    // Both ends in the ellipse's frame, relative to its centre.
    const TDoublePoint fa = RotatePoint(centre, a, -rotation);
    const TDoublePoint fb = RotatePoint(centre, b, -rotation);
    const double ax = fa.X - centre.X, ay = fa.Y - centre.Y;
    const double dx = fb.X - fa.X, dy = fb.Y - fa.Y;
    const double rx2 = rx * rx, ry2 = ry * ry;
    const double qa = dx * dx / rx2 + dy * dy / ry2;
    if (!(qa > 0)) return {};
    const double qb = 2 * (ax * dx / rx2 + ay * dy / ry2);
    const double qc = ax * ax / rx2 + ay * ay / ry2 - 1;
    const double discriminant = qb * qb - 4 * qa * qc;
    if (!(discriminant >= 0)) return {};
    const double root = std::sqrt(discriminant);
    double ts[2] = {(-qb - root) / (2 * qa), (-qb + root) / (2 * qa)};
    const int count = root == 0 ? 1 : 2;
    TDoublePointArr points;
    for (int i = 0; i < count; ++i) {
        const double t = ts[i];
        if (t < -kSegmentSlack || t > 1 + kSegmentSlack) continue;
        points.push_back(DoublePoint(a.X + t * (b.X - a.X), a.Y + t * (b.Y - a.Y)));
    }
    return points;
}

bool PointOnEllipse(const TDoublePoint& centre, double rx, double ry, double rotation, const TDoublePoint& p,
                    double tolerance) {
    const TDoublePoint f = RotatePoint(centre, p, -rotation);
    const double x = f.X - centre.X, y = f.Y - centre.Y;
    const double distance = std::hypot(x, y);
    if (rx == ry) return std::abs(distance - std::abs(rx)) <= tolerance;
    const TDoublePoint onRay = EllipsePoint(DoublePoint(0, 0), rx, ry, 0, std::atan2(y, x));
    return std::abs(distance - std::hypot(onRay.X, onRay.Y)) <= tolerance;
}

double MirrorAxisAngle(const TDoublePoint& a, const TDoublePoint& b) {
    if (a.X == b.X) return std::numbers::pi / 2;
    if (a.Y == b.Y) return 0;
    return AngleOf(a, b);
}

void CopyRoundAttributes(const TFigure& from, TFigure& to) {
    to.FLayer = from.FLayer;
    to.FPenWidth = from.FPenWidth;
    to.FPenColor = from.FPenColor;
    to.FPenStyle = from.FPenStyle;
    to.FBrushColor = from.FBrushColor;
    to.FBrushStyle = from.FBrushStyle;
    to.FRowStyle = from.FRowStyle;
    to.FVertZero = from.FVertZero;
    to.FHorzZero = from.FHorzZero;
    to.FCName = from.FCName;
}

TColor RoundPenColor(const TFigure& figure, bool grayed) {
    if (grayed) return TLayer::kGrayColor;
    if (figure.FPenColor == kLayerColor) return figure.FLayer ? figure.FLayer->PenColor : 0;
    return figure.FPenColor;
}

TColor RoundBrushColor(const TFigure& figure, bool grayed) {
    if (grayed) return TLayer::kGrayColor;
    if (figure.FBrushColor == kLayerColor) return figure.FLayer ? figure.FLayer->BrushColor : 255;
    return figure.FBrushColor;
}

TBrushStyle RoundFillStyle(const TFigure& figure) {
    return figure.FBrushStyle < 0 ? TBrushStyle::bsClear : figure.BrushStyle();
}

bool RoundHasNoFill(const TFigure& figure) { return RoundFillStyle(figure) == TBrushStyle::bsClear; }
