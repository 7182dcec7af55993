// Creating figures programmatically (plug-ins, scripts, import) and clearing
// the drawing.
#include "document/VXDrawing.h"

#include "model/Arc.h"
#include "model/Circle.h"
#include "model/Ellipse.h"
#include "model/ElpArc.h"
#include "model/Line.h"
#include "model/Polyline.h"
#include "model/Rectangle.h"
#include "model/Text.h"
#include "model/Vertex.h"

#include <cmath>

std::intptr_t TVXDrawing::Line(int layer, double x1, double y1, double x2, double y2, int penWidth,
                               int penStyle, TColor penColor, int rowStyle, bool select) {
    if (!ValidLayer(layer)) layer = 0;
    std::unique_ptr<TLine> line =
        TLine::Create(penWidth, this, true, LayerAt(layer), ClampEnum<TRowStyle>(rowStyle), penColor,
                      penStyle, x1, y1, x2, y2);
    TFigure* added = AddFigure(std::move(line), select, TInsertReason::irCreate);
    RecordInsert(added, 0);
    return added->FHandle;
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

std::intptr_t TVXDrawing::DrawCircle(int layer, double cx, double cy, double radius, int penWidth, int penStyle,
                                     TColor penColor, int brushStyle, TColor brushColor, bool select) {
    if (!ValidLayer(layer)) layer = 0;
    auto circle = TCircle::Create(LayerAt(layer), this, true, DoublePoint(cx, cy), radius, penWidth, penColor,
                                  penStyle, brushColor, brushStyle);
    return AddFigure(std::move(circle), select, TInsertReason::irCreate)->FHandle;
}

std::intptr_t TVXDrawing::Ellipse(int layer, double cx, double cy, double a, double b, double angle, int penWidth,
                                  int penStyle, TColor penColor, int brushStyle, TColor brushColor, bool select) {
    if (!ValidLayer(layer)) layer = 0;
    auto ellipse = TEllipse::Create(LayerAt(layer), this, true, DoublePoint(cx, cy), a, b, angle, penWidth,
                                    penColor, penStyle, brushColor, brushStyle);
    return AddFigure(std::move(ellipse), select, TInsertReason::irCreate)->FHandle;
}

std::intptr_t TVXDrawing::Arc(int layer, double cx, double cy, double radius, double startAngle, double endAngle,
                              int penWidth, int penStyle, TColor penColor, int brushStyle, TColor brushColor,
                              int arcStyle, bool select) {
    if (!ValidLayer(layer)) layer = 0;
    auto arc = TArc::Create(LayerAt(layer), this, true, DoublePoint(cx, cy), radius, startAngle, endAngle,
                            ClampEnum<TArcStyle>(arcStyle), penWidth, penColor, penStyle, brushColor, brushStyle);
    return AddFigure(std::move(arc), select, TInsertReason::irCreate)->FHandle;
}

std::intptr_t TVXDrawing::ElpArc(int layer, double cx, double cy, double a, double b, double angle,
                                 double startAngle, double endAngle, int penWidth, int penStyle, TColor penColor,
                                 int brushStyle, TColor brushColor, int arcStyle, bool select) {
    if (!ValidLayer(layer)) layer = 0;
    auto arc = TElpArc::Create(LayerAt(layer), this, true, DoublePoint(cx, cy), a, b, angle, startAngle, endAngle,
                               ClampEnum<TArcStyle>(arcStyle), penWidth, penColor, penStyle, brushColor,
                               brushStyle);
    return AddFigure(std::move(arc), select, TInsertReason::irCreate)->FHandle;
}

std::intptr_t TVXDrawing::Rectangle(int layer, double x1, double y1, double x2, double y2, int penWidth,
                                    int penStyle, TColor penColor, int brushStyle, TColor brushColor, bool select) {
    if (!ValidLayer(layer)) layer = 0;
    std::unique_ptr<TRectangle> rectangle = TRectangle::Create(penWidth, penColor, penStyle, brushColor, brushStyle,
                                                               this, true, LayerAt(layer), x1, y1, x2, y2);
    return AddFigure(std::move(rectangle), select, TInsertReason::irCreate)->FHandle;
}

std::intptr_t TVXDrawing::TextOut(int layer, double x, double y, double angle, double height, double ratio,
                                  const QString& text, const QString& fontName, int charset, TColor color,
                                  bool select) {
    if (!ValidLayer(layer)) layer = 0;
    const double charWidth = ratio > 0 && std::isfinite(ratio) ? ratio * height : 0;
    std::unique_ptr<TText> figure =
        TText::Create(text, this, true, LayerAt(layer), color, charset, fontName, charWidth, height, x, y);
    if (angle != 0 && std::isfinite(angle)) figure->Rotate(DoublePoint(x, y), angle);
    return AddFigure(std::move(figure), select, TInsertReason::irCreate)->FHandle;
}

void TVXDrawing::Clear(int layer, bool undo) {
    Fire(OnBeforeClear, this);
    if (!ValidLayer(layer)) return;
    TBusyGuard guard(*this);
    std::unique_ptr<TUndoAction> step = undo ? BeginUndoStep(TUndoKind::Delete) : nullptr;
    // Clearing for good ends the history: no step may refer to freed figures.
    if (!undo) ClearUndoList();
    const TLayer* onLayer = layer > 0 ? LayerAt(layer) : nullptr;
    std::vector<TFigure*> doomed;
    for (const auto& figure : FFigures)
        if (!onLayer || figure->FLayer == onLayer) doomed.push_back(figure.get());
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
        if (IndexOfFigure(*it) < 0) continue;
        RemoveForUndo(*it, step.get());
        Fire(OnAfterDelete, this);
    }
    if (step) AddUndoAction(std::move(step));
    if (SelectedFigures().empty()) FHasSelection = false;
    Refresh();
    SetUpdated(true);
}
