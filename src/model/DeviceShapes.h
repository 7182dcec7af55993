#pragma once
// Device-pixel shapes of the figures' hit areas and the rotation of a canvas.

#include "platform/Canvas.h"
#include "platform/DeviceRegion.h"

#include <QPoint>

// Region (winding fill) around the segment a–b: 2 pixels to each side and
// 2 pixels beyond each end.
TDeviceRegion LineRegion(QPoint a, QPoint b);
// Region of the rectangle width × height with its corner at origin, turned
// by angle (radians) about origin.
TDeviceRegion RotatedRectRegion(QPoint origin, double angle, double width, double height);

// Gives the canvas a pure rotation by angle as its world transform.
void SetDCRotation(TCanvas& dc, double angle);
// Returns the canvas to the identity transform.
void ResetDCRotation(TCanvas& dc);
