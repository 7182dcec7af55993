#pragma once
// Geometry shared by the round figures (circles, ellipses, circular and
// elliptical arcs, the half-circle spiral): angles, points on ellipses,
// the arc angle test, the Bézier path of an arc with its closing pieces,
// crossings with a cutting segment, and the colours a round figure draws with.
//
// Angles of an ellipse are polar angles in the ellipse's own frame: the
// direction seen from the centre after turning the point back by the
// ellipse's rotation. On a circle they are plain polar angles.

#include "model/Enums.h"
#include "model/GeometryTypes.h"
#include "platform/Canvas.h"

class TFigure;

// The angle turned into [0, 2π); a value that is not finite stays as it is.
double NormalAngle(double a);

// The arc angle test: with start < end the angle lies on the arc when it is in
// [start, end]; with end < start (the arc wraps through 0) when it is not
// strictly inside (end, start); always when start = end (a full turn).
bool AngleOnArc(double start, double end, double angle);

// The angle half-way along the counter-clockwise arc from start to end:
// (start + end) / 2 when end ≥ start, else start + (end + 2π − start) / 2.
double MiddleAngle(double start, double end);

// The point of the ellipse (semi-axes rx, ry, turned by rotation about
// centre) on the ray of the polar angle theta of its own frame. It is the
// point the Bézier pieces of EllipseArcToBezier start or end at.
TDoublePoint EllipsePoint(const TDoublePoint& centre, double rx, double ry, double rotation, double theta);

// The polar angle of p in the frame of an ellipse turned by rotation, in [0, 2π).
double FrameAngle(const TDoublePoint& centre, double rotation, const TDoublePoint& p);

// The poly-Bézier list of the arc from start to end (polar angles of the
// ellipse's frame; equal angles: a full turn) followed by the straight
// closing pieces of the style: asPie adds (last, centre, centre, centre,
// first, first), asChord (last, first, first). Empty for a vanishing sweep.
TDoublePointArr ArcBezierPath(const TDoublePoint& centre, double start, double end, double rx, double ry,
                              double rotation, TArcStyle style);

// Points where the segment a–b meets the ellipse (a circle when rx = ry):
// none, one (a tangent or one end inside) or two, in order from a. None for
// a semi-axis that is not positive or a segment without length.
TDoublePointArr SegmentEllipseCrossings(const TDoublePoint& centre, double rx, double ry, double rotation,
                                        const TDoublePoint& a, const TDoublePoint& b);

// True when p lies within `tolerance` of the ellipse's outline (measured
// along the ray from the centre).
bool PointOnEllipse(const TDoublePoint& centre, double rx, double ry, double rotation, const TDoublePoint& p,
                    double tolerance);

// The direction of the mirror line through a and b as MirrorPoint uses it
// (a vertical line when a and b share their X, a horizontal one when they
// share their Y).
double MirrorAxisAngle(const TDoublePoint& a, const TDoublePoint& b);

// How far a cut point may lie from a round outline and still split it.
constexpr double kRoundSplitTolerance = 0.05;

// The colours a figure draws with: −255 takes the layer's colour, grayed
// figures draw in silver.
TColor RoundPenColor(const TFigure& figure, bool grayed);
TColor RoundBrushColor(const TFigure& figure, bool grayed);
// The brush a figure fills with; a figure without a brush (−1) fills nothing.
TBrushStyle RoundFillStyle(const TFigure& figure);
// Copies what a figure derived from a round figure takes over: layer, pen,
// brush, row style, zero settings and the custom name.
void CopyRoundAttributes(const TFigure& from, TFigure& to);
// True when the figure's interior is not filled (and so not hit-testable).
bool RoundHasNoFill(const TFigure& figure);
