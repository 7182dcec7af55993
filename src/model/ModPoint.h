#pragma once
// Selection handles: the small markers a selected figure shows at its points,
// corners and rotation centre, which the user grabs to reshape it.

#include "platform/Canvas.h"

#include <cstdint>
#include <memory>
#include <vector>

class TFigure;

// What dragging a handle does. Figure classes add further kinds of their own.
namespace HandleKind {
constexpr std::uint8_t Radius = 1;         // radius of a circle
constexpr std::uint8_t LinePoint = 2;      // an end point of a line
constexpr std::uint8_t Corner = 4;         // corner or side of a rectangle-like figure
constexpr std::uint8_t RotateCorner = 15;  // turns the figure
constexpr std::uint8_t RotateCentre = 16;  // moves the centre of rotation
} // namespace HandleKind

// Marker shapes understood by the draw engine.
namespace HandleShape {
constexpr std::uint8_t Square = 0;
constexpr std::uint8_t RotateArrow = 1;
constexpr std::uint8_t Cross = 5;
} // namespace HandleShape

class TModPoint {
public:
    double X = 0;
    double Y = 0;
    int Index = 0;
    std::uint8_t Kind = 0;
    std::uint8_t Shape = HandleShape::Square;
    TFigure* Figure = nullptr;
    TColor Color = 0xFF0000;
    double Size = 3.0;
    int DevX = 0;
    int DevY = 0;
    int AltDevX = 0;
    int AltDevY = 0;
    bool Hidden = false;
    bool Visible = true;

    // World hit test with a tolerance in world units.
    bool HitWorld(double x, double y, double tolerance) const;
    // Device hit test against the device position (or the alternate one).
    bool HitDevice(int x, int y, int tolerance, bool alternate = false) const;
};

// The handles of all selected figures of a document, owned here; figures keep
// plain references to theirs.
class THandleList {
public:
    TModPoint* Add(std::unique_ptr<TModPoint> handle);
    // Removes and frees the handle; unknown handles are ignored.
    void Remove(TModPoint* handle);
    void Clear() { FHandles.clear(); }
    int Count() const { return static_cast<int>(FHandles.size()); }
    TModPoint* At(int i) const { return FHandles[static_cast<std::size_t>(i)].get(); }
    // The last handle hit in world coordinates, or none.
    TModPoint* HitTest(double x, double y, double tolerance) const;
    TModPoint* HitTestDevice(int x, int y, int tolerance, bool alternate = false) const;

private:
    std::vector<std::unique_ptr<TModPoint>> FHandles;
};
