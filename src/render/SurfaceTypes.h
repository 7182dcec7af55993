#pragma once
// Types of the drawing surface: the tracking cursor shapes, mouse buttons and
// shift states of surface input, the state channel numbers the surface
// publishes, the page size table and the guide line.

#include "model/Enums.h"

#include <cstdint>

enum class TGuideTraces : std::uint8_t { gtNone, gtNinty, gtThirty, gtFortyFive, gtSixty };
template <> constexpr int EnumCount<TGuideTraces>() { return 5; }

enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
enum class TDragState : std::uint8_t { dsDragEnter, dsDragLeave, dsDragMove };

// Shift state of an input event: a set of these bits.
using TShiftState = unsigned;
namespace Shift {
constexpr TShiftState ssShift = 1;
constexpr TShiftState ssAlt = 2;
constexpr TShiftState ssCtrl = 4;
constexpr TShiftState ssLeft = 8;
constexpr TShiftState ssRight = 16;
constexpr TShiftState ssMiddle = 32;
constexpr TShiftState ssDouble = 64;
} // namespace Shift

// Command numbers of the state channels the surface publishes.
namespace SurfaceChannel {
constexpr int Grids = 134;
constexpr int RulerVisible = 135;
constexpr int GuidesVisible = 136;
constexpr int SnapToGrids = 137;
constexpr int SnapToGuides = 138;
constexpr int SnapToNearPoint = 139;
constexpr int GridColor = 140;
constexpr int GuideColor = 141;
constexpr int GuideTrace = 142;
constexpr int RulerSystem = 143;
constexpr int PageLayout = 147;
constexpr int PageOrient = 148;
constexpr int BackGround = 149;
constexpr int PageColor = 170;
constexpr int CenterGuide = 181;
constexpr int GridType = 186;
} // namespace SurfaceChannel

// Short and long side of a standard page in millimetres; zero for plCustom.
struct TPageSize {
    double Short = 0;
    double Long = 0;
};
TPageSize PageLayoutSize(TPageLayout layout);

// A guide line: Kind 1 is horizontal (at a y position), 0 vertical (at an x
// position); Position in millimetres.
class TGuideLine {
public:
    static constexpr std::uint8_t kVertical = 0;
    static constexpr std::uint8_t kHorizontal = 1;
    TGuideLine(std::uint8_t kind, double position) : Kind(kind), Position(position) {}
    std::uint8_t Kind = kVertical;
    double Position = 0;
};

// Mouse modes of the surface.
namespace SurfaceMode {
constexpr int None = 0;
constexpr int HScrollDrag = 3;
constexpr int VScrollDrag = 4;
constexpr int HorizontalGuide = 5;
constexpr int VerticalGuide = 6;
constexpr int Pan = 7;
constexpr int DetailMove = 9;
} // namespace SurfaceMode
