#pragma once
// The fixed patterns of GDI's stock pen and brush styles: the dash rhythm of
// one-pixel styled pens and the 8 × 8 hatch brushes, both aligned to device
// pixels.

#include "platform/Canvas.h"

#include <QImage>
#include <optional>
#include <span>

// Alternating on and off lengths in pixels of a one-pixel pen, starting with
// ink; empty for the solid styles (and psClear).
std::span<const int> CosmeticDashPattern(TPenStyle style);

// Whether the hatch of the style inks the device pixel (x, y); the pattern
// repeats every 8 pixels in both directions from the device origin. False
// for bsSolid and bsClear.
bool HatchInks(TBrushStyle style, int x, int y);

// One 8 × 8 tile of the hatch (Format_ARGB32_Premultiplied): ink pixels in
// the ink colour, the others in the background colour or fully transparent.
QImage HatchTile(TBrushStyle style, const QColor& ink, const std::optional<QColor>& background);
