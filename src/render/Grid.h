#pragma once
// Grid arithmetic: the spacing in millimetres and the positions of the grid
// lines along one page side, measured from the zero side.

#include "model/Enums.h"

#include <vector>

// Grid spacing in millimetres: the step in mm (metric) or sixteenths of an inch.
double GridSpacingMm(double gridStep, TRulerSystem system);
// Positions i × spacing (i = 1..n) along a side of `extentMm`; none on either
// edge. Capped at `limit` lines.
std::vector<double> GridLinePositions(double extentMm, double gridStep, TRulerSystem system, int limit = 100000);
// The grid position nearest to `value` closer than `best`; `best` is lowered
// to the distance found. True when one was found.
bool NearestGridPosition(double value, double extentMm, double gridStep, TRulerSystem system, double& best,
                         double& position);
