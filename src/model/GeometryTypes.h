#pragma once
// World-coordinate value types of the drawing model. World coordinates are
// millimetres; angles are radians, counter-clockwise positive.

#include <QString>
#include <vector>

struct TDoublePoint {
    double X = 0;
    double Y = 0;
    double Z = 0; // stays 0 in the 2D model
    bool operator==(const TDoublePoint&) const = default;
};

inline TDoublePoint DoublePoint(double x, double y) { return TDoublePoint{x, y, 0}; }

using TDoublePointArr = std::vector<TDoublePoint>;

struct T2DPoint {
    double X = 0;
    double Y = 0;
    bool operator==(const T2DPoint&) const = default;
};

using T2DPointArray = std::vector<T2DPoint>;

// Top is the smaller Y of a normalised rectangle.
struct TDoubleRect {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
    bool operator==(const TDoubleRect&) const = default;
};

using TStringArray = std::vector<QString>;
