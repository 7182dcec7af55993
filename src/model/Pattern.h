#pragma once
// Pen patterns: a small vector motif (path and/or objects) repeated along the
// outline of a polyline, with its stored record and the built-in patterns.
// The engine lays the motif along a path (TFigureEngine::DrawPatternAlong).

#include "model/GeometryTypes.h"
#include "platform/Stream.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

// One step of a motif path, drawn from the previous point.
struct TVectorSegment {
    enum : std::uint8_t { Line = 0, Bezier = 1 };

    std::uint8_t Kind = Line;
    TDoublePoint EndPoint;
    // Only for Bézier steps.
    TDoublePoint Control1;
    TDoublePoint Control2;

    bool operator==(const TVectorSegment&) const = default;
};

// One drawing primitive of a motif or of a collected outline.
struct TVectorObject {
    enum : std::uint8_t {
        Line = 0,     // 2 points
        Bezier = 1,   // start, control 1, control 2, end
        Ellipse = 2,  // centre, then (rx, ry)
        Circle = 3,   // centre, then (r, 0)
        Polyline = 4, // n points, open
        Polygon = 5,  // n points, closed
        Point = 6     // 1 point
    };

    std::uint8_t Kind = Line;
    TDoublePointArr Points;

    bool operator==(const TVectorObject&) const = default;
};

// A motif: a path starting at (0, 0), objects, or both.
class TVector {
public:
    // A shift across the motif applied to the first pen position.
    double Offset = 0;
    std::vector<TVectorSegment> Segments;
    std::vector<TVectorObject> Objects;

    void AddLine(const TDoublePoint& p);
    void AddBezier(const TDoublePoint& c1, const TDoublePoint& c2, const TDoublePoint& p);
    void AddObject(TVectorObject object);
    std::unique_ptr<TVector> Copy() const;

    // The vector record: Offset, segment count and segments, object count and objects.
    void Write(TStream& stream) const;
    // Raises EReadError for a record that is cut short or announces more than it holds.
    void Read(TStream& stream);

    bool operator==(const TVector&) const = default;
};

class TPattern {
public:
    TPattern();
    TPattern(const QString& name, double length, double gap);

    QString Name;
    // World units between two repetitions.
    double Gap = 0;
    // World units of one motif in X.
    double Length = 0;
    // Never null.
    std::unique_ptr<TVector> Vector;

    // Length + Gap; a pattern whose step is not positive draws nothing.
    double Step() const { return Length + Gap; }

    std::unique_ptr<TPattern> Copy() const;

    // The pattern record (format marker 100).
    void Write(TStream& stream) const;
    // Reads a pattern record, or an older one (any other first int32) from
    // the same position; raises EReadError for a damaged record.
    static std::unique_ptr<TPattern> Read(TStream& stream);

    bool operator==(const TPattern& other) const;
};

// The six patterns every document starts with, in menu order.
std::vector<std::unique_ptr<TPattern>> BuiltInPatterns();

