#pragma once
// One step of the drawing's undo history: the figures an operation touched
// and what it takes to reverse it. The step never owns figures; figures out
// of the drawing that a step may bring back are kept by the document while
// their undo reference count (TFigure::FUndoRefs) is above zero.

#include <cstdint>
#include <memory>
#include <vector>

class TFigure;

enum class TUndoKind : std::uint8_t {
    Modify = 0,  // Figures; Before: their records before the change; After: after it (filled at the first undo)
    Insert = 1,  // Figures appended by the operation
    Delete = 2,  // Figures removed; each keeps its former index in FUndoIndex
    Order = 3,   // Figures moved in z-order; OldIndexes / NewIndexes; Mode 0 moves, 1 swaps
    Group = 4,   // Figures: the new group
    Ungroup = 5, // Figures: the dissolved groups
    Clip = 6,    // Figures: the picture; Extra: the clip figure
    Unclip = 7,  // Figures: the picture; Extra: the clip figure
    Replace = 8, // Figures: the new figures; Extra: the replaced figures
};

// The join of a line to another figure, as it was before the line or its
// target left the drawing, so that bringing them back restores it.
struct TUndoJoin {
    TFigure* Line = nullptr;
    TFigure* Target = nullptr;
    int End = 1; // 1: the line's first join, 2: its second
};

struct TUndoAction {
    explicit TUndoAction(TUndoKind kind) : ActionKind(kind) {}

    TUndoKind ActionKind;
    int Mode = 0;
    std::vector<TFigure*> Figures;
    // Modify: one figure record per entry of Figures.
    std::vector<std::vector<std::uint8_t>> Before;
    std::vector<std::vector<std::uint8_t>> After;
    // Modify: whether each figure (then its group members, depth first) still
    // had to lay itself out (a text's box follows from its font only then),
    // before and after the change.
    std::vector<std::vector<bool>> BeforeChanged;
    std::vector<std::vector<bool>> AfterChanged;
    // Order.
    std::vector<int> OldIndexes;
    std::vector<int> NewIndexes;
    // Replace: the replaced figures; clip and unclip: the clip figure.
    std::vector<TFigure*> Extra;
    // Joins released when figures of the step left the drawing.
    std::vector<TUndoJoin> Joins;
    // 0 none; 1: undoing this step also undoes the next older one; 2: redoing
    // it also redoes the next newer one.
    int Chain = 0;
};

using TUndoList = std::vector<std::unique_ptr<TUndoAction>>;
