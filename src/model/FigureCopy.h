#pragma once
// Direct copies of figures: everything the stored record carries plus the
// state a record does not hold (pre-rotation points, rotation centre, locks),
// without selection, handles, joins or region.

class TFigure;

void CopyFigureState(const TFigure& from, TFigure& to);
