#include "model/PolylineGeometry.h"

#include "model/Bezier.h"
#include "model/Geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;
constexpr double TwoPi = 2 * std::numbers::pi;
// Parameters of a segment that still count as lying on it.
constexpr double ParamSlack = 1e-9;
// How far below a full turn a zero end angle is drawn.
constexpr double FullTurnGap = 1e-9;

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

double Length(const TDoublePoint& a, const TDoublePoint& b) { return std::hypot(b.X - a.X, b.Y - a.Y); }

// Angle in [0, 2π).
double Wrap(double a) {
    double r = std::fmod(a, TwoPi);
    if (r < 0) r += TwoPi;
    if (r >= TwoPi) r -= TwoPi;
    return r;
}

TDoublePoint Towards(const TDoublePoint& centre, const TDoublePoint& p, double radius) {
    const double len = Length(centre, p);
    if (len == 0) return OffsetX(centre, radius);
    return DoublePoint(centre.X + (p.X - centre.X) / len * radius, centre.Y + (p.Y - centre.Y) / len * radius);
}

// Unit normal to the left of the direction (dx, dy); (0, 0) for no direction.
TDoublePoint LeftNormal(double dx, double dy) {
    const double len = std::hypot(dx, dy);
    if (len == 0) return {};
    return DoublePoint(-dy / len, dx / len);
}

// Points where the infinite line through a and b meets the circle.
TDoublePointArr LineCircle(const TDoublePoint& a, const TDoublePoint& b, const TDoublePoint& centre, double r,
                           bool segmentOnly) {
    const double dx = b.X - a.X;
    const double dy = b.Y - a.Y;
    const double fx = a.X - centre.X;
    const double fy = a.Y - centre.Y;
    const double qa = dx * dx + dy * dy;
    if (qa == 0) return {};
    const double qb = 2 * (fx * dx + fy * dy);
    const double qc = fx * fx + fy * fy - r * r;
    double disc = qb * qb - 4 * qa * qc;
    // A line that only grazes the circle within rounding touches it once.
    if (disc < 0 && disc > -1e-12 * qb * qb) disc = 0;
    if (disc < 0) return {};
    const double root = std::sqrt(disc);
    TDoublePointArr result;
    for (double s : {(-qb - root) / (2 * qa), (-qb + root) / (2 * qa)}) {
        if (segmentOnly && (s < -ParamSlack || s > 1 + ParamSlack)) continue;
        const TDoublePoint p = DoublePoint(a.X + s * dx, a.Y + s * dy);
        if (!result.empty() && SamePoint(result.back(), p) && disc == 0) continue;
        result.push_back(p);
    }
    return result;
}

TDoublePointArr CircleCircle(const TDoublePoint& c1, double r1, const TDoublePoint& c2, double r2) {
    const double d = Length(c1, c2);
    if (d == 0 || d > r1 + r2 || d < std::abs(r1 - r2)) return {};
    const double a = (r1 * r1 - r2 * r2 + d * d) / (2 * d);
    const double h = std::sqrt(std::max(0.0, r1 * r1 - a * a));
    const double mx = c1.X + a * (c2.X - c1.X) / d;
    const double my = c1.Y + a * (c2.Y - c1.Y) / d;
    const double ox = -(c2.Y - c1.Y) / d * h;
    const double oy = (c2.X - c1.X) / d * h;
    return {DoublePoint(mx + ox, my + oy), DoublePoint(mx - ox, my - oy)};
}

bool LinesIntersect(const TDoublePoint& a, const TDoublePoint& b, const TDoublePoint& c, const TDoublePoint& d,
                    TDoublePoint& p) {
    const double rx = b.X - a.X, ry = b.Y - a.Y;
    const double sx = d.X - c.X, sy = d.Y - c.Y;
    const double denom = Cross(rx, ry, sx, sy);
    const double scale = std::hypot(rx, ry) * std::hypot(sx, sy);
    if (scale == 0 || std::abs(denom) <= 1e-9 * scale) return false;
    const double t = Cross(c.X - a.X, c.Y - a.Y, sx, sy) / denom;
    p = DoublePoint(a.X + t * rx, a.Y + t * ry);
    return true;
}

// Crossing of the extensions of two offset pieces nearest to `near`.
bool ExtendedCrossing(const TOffsetPiece& p, const TOffsetPiece& q, const TDoublePoint& near, TDoublePoint& x) {
    TDoublePointArr candidates;
    const bool pArc = p.Kind == SegmentKind::Arc;
    const bool qArc = q.Kind == SegmentKind::Arc;
    if (!pArc && !qArc) {
        TDoublePoint c;
        if (LinesIntersect(p.Start, p.End, q.Start, q.End, c)) candidates.push_back(c);
    } else if (pArc && qArc) {
        candidates = CircleCircle(p.Centre, Length(p.Centre, p.Start), q.Centre, Length(q.Centre, q.Start));
    } else {
        const TOffsetPiece& line = pArc ? q : p;
        const TOffsetPiece& arc = pArc ? p : q;
        candidates = LineCircle(line.Start, line.End, arc.Centre, Length(arc.Centre, arc.Start), false);
    }
    double best = std::numeric_limits<double>::max();
    for (const TDoublePoint& c : candidates) {
        const double d = Length(c, near);
        if (std::isfinite(d) && d < best) {
            best = d;
            x = c;
        }
    }
    return best < std::numeric_limits<double>::max();
}

TDoublePoint CubicTangent(const TCubic& c, double t) {
    TDoublePoint d = CubicDerivative(c, t);
    if (std::hypot(d.X, d.Y) > 1e-9) return d;
    const TDoublePoint a = CubicPoint(c, std::max(0.0, t - 1e-3));
    const TDoublePoint b = CubicPoint(c, std::min(1.0, t + 1e-3));
    d = DoublePoint(b.X - a.X, b.Y - a.Y);
    if (std::hypot(d.X, d.Y) > 1e-12) return d;
    return DoublePoint(c.P3.X - c.P0.X, c.P3.Y - c.P0.Y);
}

} // namespace

void TangentControls(const TDoublePoint& a, const TDoublePoint& b, const TDoublePoint& c, TDoublePoint& in,
                     TDoublePoint& out) {
    const TDoublePoint towardsA = PointAlong(b, a, 0.25);
    const TDoublePoint towardsC = PointAlong(b, c, 0.25);
    const double angleA = AngleOf(b, a);
    const double angleC = AngleOf(b, c);
    double theta = std::abs(angleC - angleA);
    if (theta > Pi) theta = TwoPi - theta;
    const double spread = (Pi - theta) / 2;
    // Both quarter points turn away from the bisector, each on its own side.
    const double side = std::sin(angleC - angleA) >= 0 ? 1.0 : -1.0;
    in = RotatePoint(b, towardsA, -side * spread);
    out = RotatePoint(b, towardsC, side * spread);
    in.Z = out.Z = 0;
}

TDoublePoint DefaultArcCentre(const TDoublePoint& prev, const TDoublePoint& start, const TDoublePoint& end,
                              const TDoublePoint& next) {
    const TDoublePoint mid = DoublePoint((start.X + end.X) / 2, (start.Y + end.Y) / 2);
    const double chord = Length(start, end);
    if (chord == 0) return mid;
    const double x = AngleOf(prev, start) - AngleOf(end, next);
    // Opposite directions: the half circle. The same direction (no turn, or a
    // full one) has no centre on the bisector either: tan(x / 2) vanishes.
    if (std::abs(x - Pi) < 0.001 || std::abs(x) < 0.001 || std::abs(std::abs(x) - TwoPi) < 0.001) return mid;
    const double h = (chord / 2) / std::tan(x / 2);
    if (!std::isfinite(h)) return mid;
    // Right-hand side of the direction start → end.
    const double nx = (end.Y - start.Y) / chord;
    const double ny = -(end.X - start.X) / chord;
    return DoublePoint(mid.X + h * nx, mid.Y + h * ny);
}

void ArcAngles(const TDoublePoint& centre, const TDoublePoint& start, const TDoublePoint& end, bool inverted,
               double& from, double& to) {
    from = AngleOf(centre, inverted ? end : start);
    to = AngleOf(centre, inverted ? start : end);
    if (to == 0) to = TwoPi - FullTurnGap;
}

bool AngleInSweep(double angle, double from, double to) {
    double sweep = Wrap(to - from);
    if (sweep == 0) sweep = TwoPi;
    const double rel = Wrap(angle - from);
    return rel <= sweep + 1e-9 || rel >= TwoPi - 1e-9;
}

TDoublePointArr ArcSegmentBezier(const TDoublePoint& centre, const TDoublePoint& start, const TDoublePoint& end,
                                 bool inverted) {
    const double r = Length(centre, start);
    if (!(r > 1e-12)) return {};
    double from = 0, to = 0;
    ArcAngles(centre, start, end, inverted, from, to);
    const T2DPointArray arc = EllipseArcToBezier(from, to, r, r, 0, centre.X, centre.Y);
    TDoublePointArr result;
    result.reserve(arc.size());
    for (const T2DPoint& q : arc) result.push_back(DoublePoint(q.X, q.Y));
    // An inverted arc is computed from the end node round to the start node.
    if (inverted) std::reverse(result.begin(), result.end());
    return result;
}

bool CircleThrough(const TDoublePoint& a, const TDoublePoint& b, const TDoublePoint& c, TDoublePoint& centre) {
    const double det = 2 * (a.X * (b.Y - c.Y) + b.X * (c.Y - a.Y) + c.X * (a.Y - b.Y));
    const double scale = std::max({Length(a, b), Length(b, c), Length(a, c)});
    if (scale == 0 || std::abs(det) <= 1e-9 * scale * scale) return false;
    const double a2 = a.X * a.X + a.Y * a.Y;
    const double b2 = b.X * b.X + b.Y * b.Y;
    const double c2 = c.X * c.X + c.Y * c.Y;
    centre = DoublePoint((a2 * (b.Y - c.Y) + b2 * (c.Y - a.Y) + c2 * (a.Y - b.Y)) / det,
                         (a2 * (c.X - b.X) + b2 * (a.X - c.X) + c2 * (b.X - a.X)) / det);
    return std::isfinite(centre.X) && std::isfinite(centre.Y);
}

// --- cubic Bézier ---

TDoublePoint CubicPoint(const TCubic& c, double t) {
    return BezierPoint(c.P0, c.P1, c.P2, c.P3, std::clamp(t, 0.0, 1.0));
}

TDoublePoint CubicDerivative(const TCubic& c, double t) {
    const double u = 1 - t;
    const auto d = [&](double p0, double p1, double p2, double p3) {
        return 3 * u * u * (p1 - p0) + 6 * u * t * (p2 - p1) + 3 * t * t * (p3 - p2);
    };
    return DoublePoint(d(c.P0.X, c.P1.X, c.P2.X, c.P3.X), d(c.P0.Y, c.P1.Y, c.P2.Y, c.P3.Y));
}

void SubdivideCubic(const TCubic& c, double t, TCubic& left, TCubic& right) {
    const auto lerp = [t](const TDoublePoint& a, const TDoublePoint& b) {
        return DoublePoint(a.X + (b.X - a.X) * t, a.Y + (b.Y - a.Y) * t);
    };
    const TDoublePoint q0 = lerp(c.P0, c.P1);
    const TDoublePoint q1 = lerp(c.P1, c.P2);
    const TDoublePoint q2 = lerp(c.P2, c.P3);
    const TDoublePoint r0 = lerp(q0, q1);
    const TDoublePoint r1 = lerp(q1, q2);
    const TDoublePoint s = lerp(r0, r1);
    left = TCubic{c.P0, q0, r0, s};
    right = TCubic{s, r1, q2, c.P3};
}

double NearestCubicParameter(const TCubic& c, const TDoublePoint& p, double& distance) {
    constexpr int Samples = 256;
    const auto dist = [&](double t) { return Length(CubicPoint(c, t), p); };
    int best = 0;
    double bestDistance = dist(0);
    for (int i = 1; i <= Samples; ++i) {
        const double d = dist(static_cast<double>(i) / Samples);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    // Golden-section search in the neighbourhood of the best sample.
    double lo = std::max(0.0, static_cast<double>(best - 1) / Samples);
    double hi = std::min(1.0, static_cast<double>(best + 1) / Samples);
    const double g = (std::sqrt(5.0) - 1) / 2;
    double x1 = hi - g * (hi - lo), x2 = lo + g * (hi - lo);
    double f1 = dist(x1), f2 = dist(x2);
    for (int k = 0; k < 100 && hi - lo > 1e-15; ++k) {
        if (f1 < f2) {
            hi = x2;
            x2 = x1;
            f2 = f1;
            x1 = hi - g * (hi - lo);
            f1 = dist(x1);
        } else {
            lo = x1;
            x1 = x2;
            f1 = f2;
            x2 = lo + g * (hi - lo);
            f2 = dist(x2);
        }
    }
    double t = (lo + hi) / 2;
    double d = dist(t);
    if (bestDistance < d) {
        t = static_cast<double>(best) / Samples;
        d = bestDistance;
    }
    distance = d;
    return t;
}

std::vector<double> CubicSegmentCrossings(const TCubic& c, const TDoublePoint& a, const TDoublePoint& b) {
    const double dx = b.X - a.X;
    const double dy = b.Y - a.Y;
    const double len2 = dx * dx + dy * dy;
    if (len2 == 0) return {};
    // Signed distance (scaled) of the curve from the line as a cubic in t.
    const double nx = -dy, ny = dx;
    const auto coeff = [&](double p0, double p1, double p2, double p3, int k) {
        switch (k) {
        case 3: return -p0 + 3 * p1 - 3 * p2 + p3;
        case 2: return 3 * p0 - 6 * p1 + 3 * p2;
        case 1: return -3 * p0 + 3 * p1;
        default: return p0;
        }
    };
    double poly[4];
    for (int k = 0; k < 4; ++k)
        poly[k] = nx * coeff(c.P0.X, c.P1.X, c.P2.X, c.P3.X, k) + ny * coeff(c.P0.Y, c.P1.Y, c.P2.Y, c.P3.Y, k);
    poly[0] -= nx * a.X + ny * a.Y;
    const auto f = [&](double t) { return ((poly[3] * t + poly[2]) * t + poly[1]) * t + poly[0]; };

    // Monotone pieces between the turning points of f.
    std::vector<double> breaks{0.0};
    const double qa = 3 * poly[3], qb = 2 * poly[2], qc = poly[1];
    std::vector<double> turns;
    if (qa != 0) {
        const double disc = qb * qb - 4 * qa * qc;
        if (disc >= 0) {
            const double root = std::sqrt(disc);
            turns = {(-qb - root) / (2 * qa), (-qb + root) / (2 * qa)};
        }
    } else if (qb != 0) {
        turns = {-qc / qb};
    }
    std::sort(turns.begin(), turns.end());
    for (double t : turns)
        if (t > 0 && t < 1) breaks.push_back(t);
    breaks.push_back(1.0);

    std::vector<double> roots;
    const auto add = [&roots](double t) {
        if (roots.empty() || std::abs(roots.back() - t) > 1e-9) roots.push_back(t);
    };
    for (std::size_t i = 0; i + 1 < breaks.size(); ++i) {
        double lo = breaks[i], hi = breaks[i + 1];
        double flo = f(lo);
        const double fhi = f(hi);
        if (flo == 0) {
            add(lo);
            continue;
        }
        if (flo * fhi >= 0) continue;
        for (int k = 0; k < 200 && hi - lo > 1e-16; ++k) {
            const double mid = (lo + hi) / 2;
            const double fm = f(mid);
            if (fm == 0) {
                lo = hi = mid;
                break;
            }
            if ((fm < 0) == (flo < 0)) {
                lo = mid;
                flo = fm;
            } else {
                hi = mid;
            }
        }
        add((lo + hi) / 2);
    }
    if (f(1.0) == 0) add(1.0);

    std::vector<double> result;
    for (double t : roots) {
        const TDoublePoint q = CubicPoint(c, t);
        const double s = ((q.X - a.X) * dx + (q.Y - a.Y) * dy) / len2;
        if (s >= -ParamSlack && s <= 1 + ParamSlack) result.push_back(t);
    }
    return result;
}

// --- straight ---

bool SegmentsIntersect(const TDoublePoint& a, const TDoublePoint& b, const TDoublePoint& c, const TDoublePoint& d,
                       TDoublePoint& p) {
    const double rx = b.X - a.X, ry = b.Y - a.Y;
    const double sx = d.X - c.X, sy = d.Y - c.Y;
    const double denom = Cross(rx, ry, sx, sy);
    const double scale = std::hypot(rx, ry) * std::hypot(sx, sy);
    if (scale == 0 || std::abs(denom) <= 1e-12 * scale) return false;
    const double t = Cross(c.X - a.X, c.Y - a.Y, sx, sy) / denom;
    const double u = Cross(c.X - a.X, c.Y - a.Y, rx, ry) / denom;
    if (t < -ParamSlack || t > 1 + ParamSlack || u < -ParamSlack || u > 1 + ParamSlack) return false;
    p = DoublePoint(a.X + t * rx, a.Y + t * ry);
    return true;
}

double DistanceToSegment(const TDoublePoint& a, const TDoublePoint& b, const TDoublePoint& p, double& t) {
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double len2 = dx * dx + dy * dy;
    t = len2 == 0 ? 0 : std::clamp(((p.X - a.X) * dx + (p.Y - a.Y) * dy) / len2, 0.0, 1.0);
    return std::hypot(a.X + t * dx - p.X, a.Y + t * dy - p.Y);
}

// --- arcs ---

TDoublePointArr ArcSegmentCrossings(const TDoublePoint& centre, const TDoublePoint& start, const TDoublePoint& end,
                                    bool inverted, const TDoublePoint& a, const TDoublePoint& b) {
    const double r = Length(centre, start);
    if (!(r > 1e-12)) return {};
    double from = 0, to = 0;
    ArcAngles(centre, start, end, inverted, from, to);
    TDoublePointArr result;
    for (const TDoublePoint& p : LineCircle(a, b, centre, r, true))
        if (AngleInSweep(AngleOf(centre, p), from, to)) result.push_back(p);
    return result;
}

bool PointOnArcSegment(const TDoublePoint& centre, const TDoublePoint& start, const TDoublePoint& end, bool inverted,
                       const TDoublePoint& p, double tolerance) {
    const double r = Length(centre, start);
    if (Length(p, start) <= tolerance || Length(p, end) <= tolerance) return true;
    if (!(r > 1e-12) || std::abs(Length(centre, p) - r) > tolerance) return false;
    double from = 0, to = 0;
    ArcAngles(centre, start, end, inverted, from, to);
    return AngleInSweep(AngleOf(centre, p), from, to);
}

// --- offsets ---

std::vector<TOffsetPiece> OffsetSegment(const TPlSegment& segment, const TDoublePoint& start,
                                        const TDoublePoint& end, double d) {
    if (SamePoint(start, end)) return {};
    std::vector<TOffsetPiece> pieces;
    const auto straight = [&pieces](const TDoublePoint& a, const TDoublePoint& b) {
        TOffsetPiece piece;
        piece.Start = a;
        piece.End = b;
        pieces.push_back(piece);
    };
    if (segment.IsArc() && Length(segment.Ctrl1, start) > 1e-9 && Length(segment.Ctrl1, end) > 1e-9) {
        const TDoublePoint centre = segment.Ctrl1;
        const double r = Length(centre, start);
        // Left of a counter-clockwise run is towards the centre.
        const double radius = segment.Inverted ? r + d : r - d;
        const TDoublePoint a = Towards(centre, start, radius);
        const TDoublePoint b = Towards(centre, end, radius);
        if (radius > 1e-9) {
            TOffsetPiece piece;
            piece.Kind = SegmentKind::Arc;
            piece.Start = a;
            piece.End = b;
            piece.Centre = centre;
            piece.Inverted = segment.Inverted;
            pieces.push_back(piece);
        } else {
            // The arc shrinks to nothing or turns inside out: only its chord remains.
            straight(a, b);
        }
        return pieces;
    }
    if (segment.IsBezier()) {
        const TCubic c{start, segment.Ctrl1, segment.Ctrl2, end};
        const double hull = Length(start, segment.Ctrl1) + Length(segment.Ctrl1, segment.Ctrl2) +
                            Length(segment.Ctrl2, end);
        const int n = std::clamp(static_cast<int>(std::ceil(hull / 2.0)), 8, 64);
        TDoublePointArr points;
        for (int i = 0; i <= n; ++i) {
            const double t = static_cast<double>(i) / n;
            const TDoublePoint q = CubicPoint(c, t);
            const TDoublePoint tangent = CubicTangent(c, t);
            const TDoublePoint normal = LeftNormal(tangent.X, tangent.Y);
            points.push_back(DoublePoint(q.X + d * normal.X, q.Y + d * normal.Y));
        }
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            if (!SamePoint(points[i], points[i + 1])) straight(points[i], points[i + 1]);
        return pieces;
    }
    const TDoublePoint normal = LeftNormal(end.X - start.X, end.Y - start.Y);
    straight(OffsetXY(start, d * normal.X, d * normal.Y), OffsetXY(end, d * normal.X, d * normal.Y));
    return pieces;
}

std::vector<TOffsetPiece> JoinOffsetPieces(std::vector<TOffsetPiece> pieces, bool closed) {
    const std::size_t count = pieces.size();
    if (count == 0) return pieces;
    std::vector<bool> connector(count, false);
    const std::size_t joins = closed ? count : count - 1;
    for (std::size_t k = 0; k < joins; ++k) {
        TOffsetPiece& p = pieces[k];
        TOffsetPiece& q = pieces[(k + 1) % count];
        if (SamePoint(p.End, q.Start)) {
            q.Start = p.End;
            continue;
        }
        TDoublePoint x;
        if (count > 1 && ExtendedCrossing(p, q, MidPoint(p.End, q.Start), x)) {
            p.End = x;
            q.Start = x;
        } else {
            connector[k] = true;
        }
    }
    std::vector<TOffsetPiece> result;
    result.reserve(count * 2);
    for (std::size_t k = 0; k < count; ++k) {
        result.push_back(pieces[k]);
        if (connector[k]) {
            TOffsetPiece link;
            link.Start = pieces[k].End;
            link.End = pieces[(k + 1) % count].Start;
            result.push_back(link);
        }
    }
    return result;
}
