// Groups and the drawing: dissolving a group into the figure list.
#include "document/VXDrawing.h"

#include "model/Group.h"

bool TVXDrawing::DissolveGroup(TFigureGrp* group) {
    const int index = IndexOfFigure(group);
    if (!group || index < 0) return false;
    TBusyGuard guard(*this);
    // The step keeps the dissolved group; without one it is kept with the
    // replaced figures (its caller may still be running on it).
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Ungroup);
    if (step) step->Mode = 1; // the members are appended
    // Out of the list first (deselected, joins to it released).
    std::unique_ptr<TFigure> owner = Unlist(group, step ? &step->Joins : nullptr);
    owner->FUndoIndex = index;
    group->Ungroup();
    // The group hands its members over; from here the drawing alone owns them.
    std::vector<std::unique_ptr<TFigure>> members = group->TakeMembers();
    int appended = 0;
    for (std::unique_ptr<TFigure>& member : members) {
        if (!member) continue;
        if (step) StepHoldExtra(*step, member.get());
        TFigure* figure = member.get();
        FNames.Add(figure);
        FFigures.push_back(std::move(member));
        figure->Select();
        ++appended;
    }
    if (step) {
        StepHold(*step, group);
        step->OldIndexes.push_back(appended);
        HoldOrDispose(std::move(owner));
        AddUndoAction(std::move(step));
    } else {
        owner->FDeleted = true;
        FReplaced.push_back(std::move(owner));
    }
    ++FListVersion;
    FHasSelection = !SelectedFigures().empty();
    Fire(OnAfterDelete, this);
    for (int i = 0; i < appended; ++i) Fire(OnObjectInserted, this, TInsertReason::irCreate);
    SetUpdated(true);
    RefreshSelection();
    Refresh();
    return true;
}
