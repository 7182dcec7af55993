// The undo history of the drawing: recording steps, keeping the figures they
// need alive out of the drawing, and discarding steps.
#include "document/VXDrawing.h"

#include "model/Group.h"

#include <algorithm>

std::unique_ptr<TUndoAction> TVXDrawing::BeginUndoStep(TUndoKind kind) const {
    if (!RecordUndo()) return nullptr;
    return std::make_unique<TUndoAction>(kind);
}

void TVXDrawing::StepHold(TUndoAction& step, TFigure* figure) {
    step.Figures.push_back(figure);
    ++figure->FUndoRefs;
}

void TVXDrawing::StepHoldExtra(TUndoAction& step, TFigure* figure) {
    step.Extra.push_back(figure);
    ++figure->FUndoRefs;
}

void TVXDrawing::RemoveForUndo(TFigure* figure, TUndoAction* step) {
    const int index = IndexOfFigure(figure);
    if (index < 0) return;
    if (step) {
        // The joins TakeFigure releases come back with the figure.
        if (figure->FJoin1) step->Joins.push_back({figure, figure->FJoin1, 1});
        if (figure->FJoin2) step->Joins.push_back({figure, figure->FJoin2, 2});
        for (TFigure* line : figure->FJoinedLines) {
            if (line->FJoin1 == figure) step->Joins.push_back({line, figure, 1});
            if (line->FJoin2 == figure) step->Joins.push_back({line, figure, 2});
        }
    }
    std::unique_ptr<TFigure> owner = TakeFigure(figure);
    owner->FDeleted = true;
    owner->FUndoIndex = index;
    if (step) {
        StepHold(*step, figure);
        FHeld.emplace(figure, std::move(owner));
    } else if (owner->FUndoRefs > 0) {
        // Older steps still refer to it.
        FHeld.emplace(figure, std::move(owner));
    } else {
        DisposeFigure(std::move(owner));
    }
}

TFigure* TVXDrawing::AppendFigure(std::unique_ptr<TFigure> figure, bool select) {
    TFigure* added = figure.get();
    added->FDeleted = false;
    FNames.Add(added);
    FFigures.push_back(std::move(figure));
    if (select) {
        added->Select();
        FHasSelection = true;
    }
    SetUpdated(true);
    return added;
}

void TVXDrawing::ReleaseHeld(TFigure* figure) {
    if (!figure || --figure->FUndoRefs > 0) return;
    const auto it = FHeld.find(figure);
    if (it == FHeld.end()) return; // still in the drawing
    std::unique_ptr<TFigure> owner = std::move(it->second);
    FHeld.erase(it);
    DisposeFigure(std::move(owner));
}
