#pragma once
// Cubic Bézier curves and elliptical arcs: evaluation, hit tests, sampled
// bounds and the conversion of an elliptical arc into Bézier pieces.
// A poly-Bézier is a list of 3n + 1 points: the start, then two control
// points and an end point per piece.

#include "model/Enums.h"
#include "model/GeometryTypes.h"

#include <span>

// Point of the cubic Bézier at t in [0, 1]; (0, 0) for any other t.
TDoublePoint BezierPoint(const TDoublePoint& p0, const TDoublePoint& p1, const TDoublePoint& p2,
                         const TDoublePoint& p3, double t);
// BezierPoint at t = i / steps.
TDoublePoint BezierStepPoint(const TDoublePoint& p0, const TDoublePoint& p1, const TDoublePoint& p2,
                             const TDoublePoint& p3, int steps, int i);

// True when one of 501 samples of the curve lies within 0.3 of p on both axes.
bool HitBezier(const TDoublePoint& p0, const TDoublePoint& p1, const TDoublePoint& p2, const TDoublePoint& p3,
               const TDoublePoint& p);
// HitBezier over the complete pieces of a poly-Bézier; points after the last
// complete piece are ignored, fewer than 4 points give false.
bool HitPolyBezier(std::span<const TDoublePoint> points, const TDoublePoint& p);

// Extremes of 501 samples of the curve.
void BezierBounds(const TDoublePoint& p0, const TDoublePoint& p1, const TDoublePoint& p2, const TDoublePoint& p3,
                  double& minX, double& minY, double& maxX, double& maxY);
// Extremes over the complete pieces of a poly-Bézier. False, with all four
// values 0, when there is no complete piece.
bool PolyBezierBounds(std::span<const TDoublePoint> points, double& minX, double& minY, double& maxX,
                      double& maxY);

// Poly-Bézier of the arc of the ellipse with semi-axes rx, ry, turned by
// rotation and centred on (cx, cy), running counter-clockwise from the polar
// angle startAngle to endAngle (equal angles: a full turn). At most four
// pieces (13 points); empty for a vanishing sweep or non-finite input.
T2DPointArray EllipseArcToBezier(double startAngle, double endAngle, double rx, double ry, double rotation, double cx,
                                 double cy);

// True when p lies on the outline of the arc (closed through the centre for
// asPie, by the chord for asChord); equal angles test the whole ellipse.
bool HitEllipseArc(const TDoublePoint& centre, double startAngle, double endAngle, TArcStyle style, double rx,
                   double ry, const TDoublePoint& p);
// Normalised bounds of the sampled arc, the centre included for asPie.
TDoubleRect ArcBounds(const TDoublePoint& centre, double startAngle, double endAngle, TArcStyle style, double rx,
                      double ry, double rotation = 0);
