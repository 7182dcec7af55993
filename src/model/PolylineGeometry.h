#pragma once
// Curve geometry of polyline segments: default control points, circular arc
// segments, cubic Bézier subdivision and nearest points, crossings with a
// straight cutting line, and the pieces of an offset outline.
//
// An arc segment about a centre runs counter-clockwise from the polar angle
// of its start node to that of its end node; an inverted one runs the other
// way round (counter-clockwise from the end node's angle to the start node's).

#include "model/GeometryTypes.h"
#include "model/PolylineSegment.h"

#include <vector>

// The four points of one cubic Bézier piece.
struct TCubic {
    TDoublePoint P0;
    TDoublePoint P1;
    TDoublePoint P2;
    TDoublePoint P3;
};

// Three-point tangent rule for node b between neighbours a and c: the points a
// quarter of the way towards a and towards c, turned about b onto the line
// through b perpendicular to the bisector of the angle a–b–c. `in` lies on
// a's side, `out` on c's side.
void TangentControls(const TDoublePoint& a, const TDoublePoint& b, const TDoublePoint& c, TDoublePoint& in,
                     TDoublePoint& out);

// Default centre of an arc segment from `start` to `end`, chosen from the
// directions of the previous segment (prev → start) and of the next one
// (end → next): the arc continues both directions where one arc can. When the
// two directions are opposite or the same (no finite centre on that rule),
// the centre is the chord midpoint, a half circle.
TDoublePoint DefaultArcCentre(const TDoublePoint& prev, const TDoublePoint& start, const TDoublePoint& end,
                              const TDoublePoint& next);

// The polar angles the arc is drawn between, counter-clockwise from `from` to
// `to`; a zero `to` becomes a value just below a full turn.
void ArcAngles(const TDoublePoint& centre, const TDoublePoint& start, const TDoublePoint& end, bool inverted,
               double& from, double& to);
// True when the polar angle lies on the counter-clockwise sweep from `from` to `to`.
bool AngleInSweep(double angle, double from, double to);
// The poly-Bézier of an arc segment (its start point first); empty for a
// vanishing radius.
TDoublePointArr ArcSegmentBezier(const TDoublePoint& centre, const TDoublePoint& start, const TDoublePoint& end,
                                 bool inverted);
// Centre of the circle through three points; false when they are collinear.
bool CircleThrough(const TDoublePoint& a, const TDoublePoint& b, const TDoublePoint& c, TDoublePoint& centre);

// Cubic Bézier helpers.
TDoublePoint CubicPoint(const TCubic& c, double t);
TDoublePoint CubicDerivative(const TCubic& c, double t);
// Splits the curve at t (de Casteljau): `left` runs from P0 to the split point, `right` on to P3.
void SubdivideCubic(const TCubic& c, double t, TCubic& left, TCubic& right);
// Parameter of the curve point nearest to p, and its distance.
double NearestCubicParameter(const TCubic& c, const TDoublePoint& p, double& distance);
// Parameters in [0, 1], ascending, where the curve crosses the segment a–b.
std::vector<double> CubicSegmentCrossings(const TCubic& c, const TDoublePoint& a, const TDoublePoint& b);

// Straight helpers.
// Intersection of the segments a–b and c–d (ends included); false when they
// miss each other or are parallel.
bool SegmentsIntersect(const TDoublePoint& a, const TDoublePoint& b, const TDoublePoint& c, const TDoublePoint& d,
                       TDoublePoint& p);
// Distance of p from the segment a–b, and the parameter of the nearest point.
double DistanceToSegment(const TDoublePoint& a, const TDoublePoint& b, const TDoublePoint& p, double& t);

// Points where the arc segment meets the segment a–b.
TDoublePointArr ArcSegmentCrossings(const TDoublePoint& centre, const TDoublePoint& start, const TDoublePoint& end,
                                    bool inverted, const TDoublePoint& a, const TDoublePoint& b);
// True when p lies on the arc segment within `tolerance`.
bool PointOnArcSegment(const TDoublePoint& centre, const TDoublePoint& start, const TDoublePoint& end, bool inverted,
                       const TDoublePoint& p, double tolerance);

// One piece of an offset outline: straight or an arc about Centre.
struct TOffsetPiece {
    std::uint8_t Kind = SegmentKind::Straight;
    TDoublePoint Start;
    TDoublePoint End;
    TDoublePoint Centre;
    bool Inverted = false;
};

// The offset pieces of one segment at distance d to the left of its running
// direction: a parallel, a concentric arc, or straight pieces following the
// offset Bézier curve. Nothing for a segment of zero length.
std::vector<TOffsetPiece> OffsetSegment(const TPlSegment& segment, const TDoublePoint& start,
                                        const TDoublePoint& end, double d);
// Joins consecutive pieces (and the last to the first when closed) at the
// crossing of their extensions; where two pieces do not meet, a straight
// connecting piece is inserted.
std::vector<TOffsetPiece> JoinOffsetPieces(std::vector<TOffsetPiece> pieces, bool closed);
