#pragma once
// Geometry of four-cornered figures (rectangles, text boxes, pictures) in
// their own frame: corners P1 … P4 in order around the figure, the frame's
// origin at P4 and its X axis along the side P4→P3. A figure turned by any
// angle keeps its shape in this frame, so resizing works on its own sides.
//
// Handle numbers follow the selection handles of such figures: corners
// P1, P2, P3, P4 are 1, 3, 5, 7; the midpoints of the sides P1–P2, P2–P3,
// P3–P4, P4–P1 are 2, 4, 6, 8.

#include "model/GeometryTypes.h"

#include <array>
#include <optional>

using TRectangleCorners = std::array<TDoublePoint, 4>;

// Direction of the side P4→P3 (radians; 0 when it points along +X, also for
// a side without length).
double RectangleFrameAngle(const TDoublePoint corners[4]);

// The corners after dragging handle `handleIndex` (1 … 8) to `dragged`.
// A corner handle moves that corner to the dragged point and the two
// neighbouring corners with it, the opposite corner staying where it is;
// with `diagonal` the width and height change by the same factor: of the two
// relative changes the larger one decides, and each direction keeps the side
// of the fixed corner the dragged point lies on. A side handle moves only that
// side, across it. Other handle numbers leave the corners as they are.
TRectangleCorners DragRectangleCorners(const TDoublePoint corners[4], int handleIndex, TDoublePoint dragged,
                                       bool diagonal);

// The corners with every side moved outwards by d (inwards for negative d);
// none when a side would end up without length or turned inside out.
std::optional<TRectangleCorners> OffsetRectangleCorners(const TDoublePoint corners[4], double d);

// The first side (1 for P1–P2 … 4 for P4–P1) that p lies on within
// `tolerance`, and the nearest point of that side; 0 when p is on no side.
int RectangleSideAt(const TDoublePoint corners[4], const TDoublePoint& p, double tolerance,
                    TDoublePoint& foot);
