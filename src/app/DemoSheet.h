#pragma once
// A sample sheet drawn through the canvas: the program's output until the main
// window exists.

#include <QImage>

// Draws the sample sheet on an A4 landscape page at 4 pixels per millimetre.
QImage DrawDemoSheet();
