#pragma once
// Pure helpers on world points and rectangles: comparison, distances and
// angles, point transformations, rectangle tests and the hit tests of
// segments, circles and ellipses. None of them fails; degenerate input
// (coincident points, zero radii) gives the result documented here.

#include "model/GeometryTypes.h"

#include <QPoint>

// Points closer than 0.02 in X and in Y (Z ignored).
bool SamePoint(const TDoublePoint& a, const TDoublePoint& b);
// Values closer than 0.001.
bool SameDouble(double a, double b);
// min(a, b) <= v <= max(a, b).
bool InRange(double a, double b, double v);

// Planar distance; with Flat false and differing Z values the spatial one.
// Points that are the same (SamePoint) in the plane are 0 apart.
double Distance(const TDoublePoint& a, const TDoublePoint& b, bool Flat);
// Polar angle of p seen from centre, in [0, 2π); 0 for the centre itself.
double AngleOf(const TDoublePoint& centre, const TDoublePoint& p);

// p turned about centre by angle (radians, counter-clockwise).
TDoublePoint RotatePoint(const TDoublePoint& centre, const TDoublePoint& p, double angle);
// p scaled from origin; a factor of exactly 1 leaves that coordinate as it is.
TDoublePoint ScalePoint(const TDoublePoint& origin, const TDoublePoint& p, double sx, double sy);
// Reflection of p in the line through a and b (a and b must differ).
TDoublePoint MirrorPoint(const TDoublePoint& p, const TDoublePoint& a, const TDoublePoint& b);
// Mean of a and b in X, Y and Z.
TDoublePoint MidPoint(const TDoublePoint& a, const TDoublePoint& b);
// a + t·(b − a) in X and Y; Z is a's.
TDoublePoint PointAlong(const TDoublePoint& a, const TDoublePoint& b, double t);
// The point at distance d from a towards b; with Flat false and differing Z
// values the distance is measured in space.
TDoublePoint PointAtDistance(const TDoublePoint& a, const TDoublePoint& b, bool Flat, double d);

TDoublePoint OffsetX(const TDoublePoint& p, double d);
TDoublePoint OffsetY(const TDoublePoint& p, double d);
TDoublePoint OffsetXY(const TDoublePoint& p, double dx, double dy);
// p moved by |dx| and |dy|, each towards target; an axis on which p already
// lies level with target stays.
TDoublePoint StepTowards(const TDoublePoint& p, const TDoublePoint& target, double dx, double dy);

// Device pixel nearest to p (halves to even). Coordinates beyond ±2^30 are
// clamped to it and a NaN becomes 0, so the result is always usable.
QPoint RoundToPoint(const TDoublePoint& p);
// Each coordinate truncated towards zero to 4 decimals.
TDoublePoint TruncPoint4(const TDoublePoint& p);

// r.Left <= p.X <= r.Right and r.Top <= p.Y <= r.Bottom.
bool PointInDoubleRect(const TDoublePoint& p, const TDoubleRect& r);
// Normalised rectangle spanned by a and b, grown by margin on every side.
TDoubleRect RectOfPoints(const TDoublePoint& a, const TDoublePoint& b, double margin = 0);
// True when the rectangles share area or touch, a corner or an edge included.
bool RectsOverlap(const TDoubleRect& r1, const TDoubleRect& r2);

// True when p lies within tolerance + width of the segment a–b and inside the
// box of a and b grown by tolerance.
bool HitSegment(const TDoublePoint& a, const TDoublePoint& b, const TDoublePoint& p, double tolerance,
                double width);
// True when p lies on the circle: |p − centre|² / r² in (0.9, 1.1); false for r = 0.
bool HitCircle(double r, const TDoublePoint& centre, const TDoublePoint& p);
// True when p lies on the ellipse with semi-axes rx, ry turned by rotation:
// dx²/rx² + dy²/ry² in (0.9, 1.1) in the ellipse's frame; false when rx·ry = 0.
bool HitEllipse(double rotation, double rx, double ry, const TDoublePoint& centre, const TDoublePoint& p);
