// Groups and the drawing: dissolving a group into the figure list.
#include "document/VXDrawing.h"

#include "model/Group.h"

bool TVXDrawing::DissolveGroup(TFigureGrp* group) {
    if (!group || IndexOfFigure(group) < 0) return false;
    TBusyGuard guard(*this);
    // Out of the list first (deselected, joins to it released), kept for undo.
    std::unique_ptr<TFigure> owner = TakeFigure(group);
    group->Ungroup();
    // The group hands its members over; from here the drawing alone owns them.
    std::vector<std::unique_ptr<TFigure>> members = group->TakeMembers();
    FReplaced.push_back(std::move(owner));
    int appended = 0;
    for (std::unique_ptr<TFigure>& member : members) {
        if (!member) continue;
        TFigure* figure = member.get();
        FNames.Add(figure);
        FFigures.push_back(std::move(member));
        figure->Select();
        ++appended;
    }
    FHasSelection = !SelectedFigures().empty();
    Fire(OnAfterDelete, this);
    for (int i = 0; i < appended; ++i) Fire(OnObjectInserted, this, TInsertReason::irCreate);
    SetUpdated(true);
    RefreshSelection();
    Refresh();
    return true;
}
