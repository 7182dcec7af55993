// Creating figures programmatically (plug-ins, scripts, import) and clearing
// the drawing.
#include "document/VXDrawing.h"

#include "model/Line.h"
#include "model/Polyline.h"
#include "model/Vertex.h"

std::intptr_t TVXDrawing::Line(int layer, double x1, double y1, double x2, double y2, int penWidth,
                               int penStyle, TColor penColor, int rowStyle, bool select) {
    if (!ValidLayer(layer)) layer = 0;
    std::unique_ptr<TLine> line =
        TLine::Create(penWidth, this, true, LayerAt(layer), ClampEnum<TRowStyle>(rowStyle), penColor,
                      penStyle, x1, y1, x2, y2);
    return AddFigure(std::move(line), select, TInsertReason::irCreate)->FHandle;
}

std::intptr_t TVXDrawing::Vertex(int layer, double x, double y, bool select) {
    if (!ValidLayer(layer)) layer = 0;
    std::unique_ptr<TVertex> vertex = TVertex::Create(LayerAt(layer), this, true, x, y);
    return AddFigure(std::move(vertex), select, TInsertReason::irCreate)->FHandle;
}

std::intptr_t TVXDrawing::PolyLine(int layer, std::span<const TDoublePoint> points, int penWidth,
                                   int penStyle, TColor penColor, int rowStyle, int brushStyle,
                                   TColor brushColor, bool closed, bool select) {
    if (points.size() < 2) return -1;
    if (!ValidLayer(layer)) layer = 0;
    const TDoublePointArr nodes(points.begin(), points.end());
    std::unique_ptr<TPolyline> polyline =
        TPolyline::Create(nodes, this, true, LayerAt(layer), closed, ClampEnum<TRowStyle>(rowStyle),
                          brushColor, brushStyle, penColor, penStyle, penWidth);
    return AddFigure(std::move(polyline), select, TInsertReason::irCreate)->FHandle;
}

void TVXDrawing::Clear(int layer, bool /*undo*/) {
    Fire(OnBeforeClear, this);
    if (!ValidLayer(layer)) return;
    TBusyGuard guard(*this);
    const TLayer* onLayer = layer > 0 ? LayerAt(layer) : nullptr;
    std::vector<TFigure*> doomed;
    for (const auto& figure : FFigures)
        if (!onLayer || figure->FLayer == onLayer) doomed.push_back(figure.get());
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
        std::unique_ptr<TFigure> figure = TakeFigure(*it);
        if (!figure) continue;
        figure->FDeleted = true;
        DisposeFigure(std::move(figure));
        Fire(OnAfterDelete, this);
    }
    if (SelectedFigures().empty()) FHasSelection = false;
    Refresh();
    SetUpdated(true);
}
