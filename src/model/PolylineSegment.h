#pragma once
// One segment of a polyline: the piece from node i to node i + 1 (the last
// one runs back to node 1 and is drawn only when the polyline is closed).
// A segment is straight, a cubic Bézier with two control points, or a
// circular arc about a centre.

#include "model/GeometryTypes.h"

#include <cstdint>

namespace SegmentKind {
constexpr std::uint8_t Straight = 0;
constexpr std::uint8_t Bezier = 1;
constexpr std::uint8_t Arc = 2;
} // namespace SegmentKind

struct TPlSegment {
    // Position of the segment when it was created.
    int Index = 0;
    std::uint8_t Kind = SegmentKind::Straight;
    // Bézier: control point next to the start node; arc: the centre.
    TDoublePoint Ctrl1;
    // Bézier: control point next to the end node; arc: the centre again.
    TDoublePoint Ctrl2;
    // The node at the segment's start is smooth: turning one of its control
    // points turns the opposite one with it.
    bool Smooth = true;
    // Arc only: the arc runs the other way round between the same end points.
    bool Inverted = false;
    // Working end points used while offsetting and splitting.
    TDoublePoint StartPt;
    TDoublePoint EndPt;
    // A dimension line is shown for this segment.
    bool HasDimension = false;

    bool IsStraight() const { return Kind == SegmentKind::Straight; }
    bool IsBezier() const { return Kind == SegmentKind::Bezier; }
    bool IsArc() const { return Kind == SegmentKind::Arc; }
    TDoublePoint Centre() const { return Ctrl1; }
};
