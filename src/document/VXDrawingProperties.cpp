// Document properties whose writing does more than store: the default
// attributes (which change the selection instead when there is one), the map
// scale and the switches that repaint.
#include "document/VXDrawing.h"

#include "model/Arc.h"
#include "model/Polyline.h"
#include "platform/UiServices.h"

void TVXDrawing::ModifyAttribute(int kind, int value, const std::function<void()>& storeDefault, int channel,
                                 int channelValue) {
    if (SelectedFigures().empty()) {
        storeDefault();
        if (TEventEngine* engine = Channel(channel)) engine->SetValue(channelValue);
        SetUpdated(true);
        return;
    }
    if (!FHasSelection) return;
    // Figures of hidden layers are left alone.
    const std::vector<TFigure*> selected = EditableSelection();
    TBusyGuard guard(*this);
    const std::uint64_t removals = FRemovals;
    for (TFigure* figure : selected) {
        if (!StillOwned(figure, removals)) continue;
        figure->SetAttribute(kind, value);
        figure->FreeRegion();
        Fire(OnFigureModify, this, figure);
    }
    Refresh();
    SetUpdated(true);
}

void TVXDrawing::SetDefaultPenColor(TColor value) {
    ModifyAttribute(
        0, value, [&] { FDefaults.PenColor = value; }, DocChannel::PenColor, value);
}

void TVXDrawing::SetDefaultPenWidth(int value) {
    ModifyAttribute(
        1, value, [&] { FDefaults.PenWidth = value; }, DocChannel::PenWidth, value - 1);
}

void TVXDrawing::SetDefaultBrushColor(TColor value) {
    ModifyAttribute(
        2, value, [&] { FDefaults.BrushColor = value; }, DocChannel::BrushColor, value);
}

void TVXDrawing::SetDefaultPenStyle(TPenStyle value) {
    ModifyAttribute(
        3, static_cast<int>(value), [&] { FDefaults.PenStyle = value; }, DocChannel::PenStyle,
        static_cast<int>(value));
}

void TVXDrawing::SetDefaultBrushStyle(TBrushStyle value) {
    ModifyAttribute(
        4, static_cast<int>(value), [&] { FDefaults.BrushStyle = value; }, DocChannel::BrushStyle,
        static_cast<int>(value));
}

void TVXDrawing::SetDefaultRowStyle(TRowStyle value) {
    ModifyAttribute(
        5, static_cast<int>(value), [&] { FDefaults.RowStyle = value; }, DocChannel::RowStyle,
        static_cast<int>(value));
}

void TVXDrawing::SetDefaultTextHeight(double value) {
    FDefaults.TextHeight = value;
    const std::vector<TFigure*> selected = SelectedFigures();
    if (FHasSelection && !selected.empty()) {
        TBusyGuard guard(*this);
        const std::uint64_t removals = FRemovals;
        for (TFigure* figure : EditableSelection()) {
            if (!StillOwned(figure, removals)) continue;
            figure->SetFontAttribute(8, QString(), false, 0, value);
            Fire(OnFigureModify, this, figure);
        }
        Refresh();
    } else if (TEventEngine* channel = Channel(DocChannel::TextSize)) {
        channel->SetDouble(value > 0 ? value : 80.0);
    }
    SetUpdated(true);
}

void TVXDrawing::CloseSelectedPolyline() {
    std::vector<TFigure*> polylines;
    for (TFigure* figure : EditableSelection())
        if (dynamic_cast<TPolyline*>(figure)) polylines.push_back(figure);
    if (!polylines.empty()) AddUndoAction(ModifyStepFor(polylines));
    bool any = false;
    for (TFigure* figure : polylines) {
        static_cast<TPolyline*>(figure)->SetClosed(true);
        figure->FreeRegion();
        any = true;
    }
    if (!any) FDefaults.PLineClosed = true;
    Refresh();
    SetUpdated(true);
}

void TVXDrawing::OpenSelectedPolyline() {
    std::vector<TFigure*> polylines;
    for (TFigure* figure : EditableSelection())
        if (dynamic_cast<TPolyline*>(figure)) polylines.push_back(figure);
    if (!polylines.empty()) AddUndoAction(ModifyStepFor(polylines));
    bool any = false;
    for (TFigure* figure : polylines) {
        static_cast<TPolyline*>(figure)->SetClosed(false);
        figure->FreeRegion();
        any = true;
    }
    if (!any) FDefaults.PLineClosed = false;
    Refresh();
    SetUpdated(true);
}

void TVXDrawing::SetDefaultPLineClosed(bool value) {
    if (value)
        CloseSelectedPolyline();
    else
        OpenSelectedPolyline();
}

void TVXDrawing::ArrangeArcStyleOfSelection(TArcStyle style) {
    FDefaults.ArcStyle = style;
    std::vector<TFigure*> arcs;
    for (TFigure* figure : EditableSelection())
        if (dynamic_cast<TRoundArc*>(figure)) arcs.push_back(figure);
    if (!arcs.empty()) AddUndoAction(ModifyStepFor(arcs));
    for (TFigure* figure : arcs) {
        static_cast<TRoundArc*>(figure)->SetArcStyle(style);
        figure->FreeRegion();
    }
    if (TEventEngine* channel = Channel(DocChannel::ArcStyle)) channel->SetValue(static_cast<int>(style));
    SetUpdated(true);
}

void TVXDrawing::SetDefaultArcStyle(TArcStyle value) {
    ArrangeArcStyleOfSelection(value);
}

void TVXDrawing::ScaleDrawing(double sx, double sy) {
    double maxX = 0, maxY = 0, minX = 0, minY = 0;
    if (!GetDrawingBounds(maxX, maxY, minX, minY)) return;
    const TDoublePoint origin = DoublePoint(minX, minY);
    // A figure may replace itself while scaling (an unevenly scaled circle
    // becomes an ellipse), so walk a snapshot of the list.
    std::vector<TFigure*> figures;
    for (const auto& figure : FFigures) figures.push_back(figure.get());
    // Scaling the drawing is not recorded, nor are the replacements it makes.
    const bool recording = FRecordUndo;
    FRecordUndo = false;
    for (TFigure* figure : figures)
        figure->Scale(origin, sx, sy);
    FRecordUndo = recording;
    SetUpdated(true);
}

void TVXDrawing::SetMapScale(int value) {
    // A scale is a positive denominator: 0 (and anything below) means 1:1.
    if (value < 1) value = 1;
    if (value == FMapScale) return;
    const int old = FMapScale;
    FMapScale = value;
    Fire(OnMapScaleChanged, this);
    if (!FFigures.empty()) {
        const double factor = static_cast<double>(old) / value;
        switch (FRescaleToMap) {
        case TMapRescale::rsAlways:
            ScaleDrawing(factor, factor);
            break;
        case TMapRescale::rsAskUser:
            if (UiServices().Question(QStringLiteral("Soll die Zeichnung dem Maßstab angepasst werden?"),
                                      QStringLiteral("Maßstab"), TQuestionButtons::YesNo) == TAnswer::Yes)
                ScaleDrawing(factor, factor);
            break;
        case TMapRescale::rsNever:
            break;
        }
    }
    Refresh();
    SetUpdated(true);
}

void TVXDrawing::SetRulerMode(TRulerMode value) {
    FRulerMode = value;
    if (TEventEngine* channel = Channel(DocChannel::RulerMode)) channel->SetValue(static_cast<int>(value));
    Refresh();
}

void TVXDrawing::SetRangeCheck(bool value) {
    FRangeCheck = value;
    Refresh();
}

void TVXDrawing::SetFigureGuides(bool value) {
    FFigureGuides = value;
    Refresh();
}
