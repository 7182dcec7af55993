// What the surface asks of the document for zooming and the extra views.
#include "document/VXDrawing.h"

TDoubleRect TVXDrawing::ZoomFocusRect() const {
    double maxX = 0, maxY = 0, minX = 0, minY = 0;
    if (!FSelection.empty() && GetSelectionBoundS(maxX, maxY, minX, minY)) return {minX, minY, maxX, maxY};
    if (GetDrawingBounds(maxX, maxY, minX, minY)) return {minX, minY, maxX, maxY};
    return TVXDrawBox::ZoomFocusRect();
}

void TVXDrawing::DrawViewFigures() { DrawFigures(false); }
