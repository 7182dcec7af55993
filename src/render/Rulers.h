#pragma once
// Ruler arithmetic: the tick level a zoom factor gives, and per level the
// tick spacing, the ticks per labelled tick, the label factor and the unit
// shown in the corner.

#include "model/Enums.h"

#include <QString>

// 0 (finest) .. 5 (coarsest) for `factor` pixels per millimetre.
int RulerTickLevelFor(double factor, TRulerSystem system);

struct TRulerScale {
    double TickMm = 1;     // page distance between neighbouring ticks
    int TicksPerLabel = 10; // every this many ticks a labelled one
    double LabelFactor = 1; // the labelled tick's count is multiplied by this
    QString Unit;           // shown in the corner
};

// `worldMode` labels world units at `mapScale` (1 : mapScale).
TRulerScale RulerScaleFor(int level, TRulerSystem system, bool worldMode, int mapScale);

// Length in pixels of tick `index` (counted from the origin).
int RulerTickLength(int index, int ticksPerLabel);
