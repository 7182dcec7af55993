// The undo history of the drawing: recording steps, keeping the figures they
// need alive out of the drawing, and discarding steps.
#include "document/VXDrawing.h"

#include "model/Group.h"
#include "model/Polyline.h"
#include "model/TaggedStream.h"
#include "model/Text.h"

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

std::unique_ptr<TFigure> TVXDrawing::Unlist(TFigure* figure, std::vector<TUndoJoin>* joins) {
    if (IndexOfFigure(figure) < 0) return nullptr;
    if (joins) {
        if (figure->FJoin1) joins->push_back({figure, figure->FJoin1, 1});
        if (figure->FJoin2) joins->push_back({figure, figure->FJoin2, 2});
        for (TFigure* line : figure->FJoinedLines) {
            if (line->FJoin1 == figure) joins->push_back({line, figure, 1});
            if (line->FJoin2 == figure) joins->push_back({line, figure, 2});
        }
    }
    return TakeFigure(figure);
}

void TVXDrawing::HoldOrDispose(std::unique_ptr<TFigure> figure) {
    if (!figure) return;
    figure->FDeleted = true;
    if (figure->FUndoRefs > 0) {
        TFigure* key = figure.get();
        FHeld[key] = std::move(figure);
    } else {
        DisposeFigure(std::move(figure));
    }
}

void TVXDrawing::RemoveForUndo(TFigure* figure, TUndoAction* step) {
    const int index = IndexOfFigure(figure);
    if (index < 0) return;
    std::unique_ptr<TFigure> owner = Unlist(figure, step ? &step->Joins : nullptr);
    owner->FDeleted = true;
    owner->FUndoIndex = index;
    if (step) StepHold(*step, figure);
    // Without a step, older steps may still refer to it.
    HoldOrDispose(std::move(owner));
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

TFigure* TVXDrawing::Relist(std::unique_ptr<TFigure> figure, int index, bool select) {
    TFigure* added = figure.get();
    added->FDeleted = false;
    FNames.Add(added);
    ++FListVersion;
    if (index < 0 || index >= FigureCount())
        FFigures.push_back(std::move(figure));
    else
        FFigures.insert(FFigures.begin() + index, std::move(figure));
    if (select) {
        added->Select();
        FHasSelection = true;
    }
    SetUpdated(true);
    return added;
}

TFigure* TVXDrawing::RelistHeld(TFigure* figure, int index, bool select) {
    const auto it = FHeld.find(figure);
    if (it == FHeld.end()) return nullptr;
    std::unique_ptr<TFigure> owner = std::move(it->second);
    FHeld.erase(it);
    return Relist(std::move(owner), index, select);
}

void TVXDrawing::ReleaseHeld(std::span<TFigure* const> figures) {
    // Every count goes down before anything is freed: freeing a picture frees
    // the figure it is clipped to, which may be on the same list.
    for (TFigure* figure : figures) --figure->FUndoRefs;
    for (TFigure* figure : figures) {
        const auto it = FHeld.find(figure); // no look into figures that may be gone
        if (it == FHeld.end() || it->first->FUndoRefs > 0) continue;
        std::unique_ptr<TFigure> owner = std::move(it->second);
        FHeld.erase(it);
        DisposeFigure(std::move(owner));
    }
}

void TVXDrawing::RestoreJoins(TUndoAction& step) {
    // Only joins whose both figures are back in the drawing are renewed.
    for (const TUndoJoin& join : step.Joins) {
        if (IndexOfFigure(join.Line) < 0 || IndexOfFigure(join.Target) < 0) continue;
        if (join.End == 1)
            join.Line->SetJoin1(join.Target);
        else
            join.Line->SetJoin2(join.Target);
    }
    step.Joins.clear();
}

void TVXDrawing::Regroup(TFigureGrp& group, std::span<TFigure* const> members, TUndoAction& step) {
    for (TFigure* member : members) {
        std::unique_ptr<TFigure> owner = Unlist(member, &step.Joins);
        if (owner) group.Add(std::move(owner));
    }
    group.SetUngrouped(false);
    group.RecalcBounds();
    RelistHeld(&group, group.FUndoIndex, true);
}

void TVXDrawing::MoveFigureTo(TFigure* figure, int index) {
    const int from = IndexOfFigure(figure);
    if (from < 0) return;
    index = std::clamp(index, 0, FigureCount() - 1);
    if (from == index) return;
    std::unique_ptr<TFigure> owner = std::move(FFigures[static_cast<std::size_t>(from)]);
    FFigures.erase(FFigures.begin() + from);
    FFigures.insert(FFigures.begin() + index, std::move(owner));
    ++FListVersion;
}

namespace {
// The layout flags of a figure and its members, depth first.
void CollectChanged(const TFigure* figure, std::vector<bool>& flags) {
    flags.push_back(figure->FChanged);
    if (const auto* group = dynamic_cast<const TFigureGrp*>(figure))
        for (int i = 0; i < group->Count(); ++i) CollectChanged(group->Member(i), flags);
}

void ApplyChanged(TFigure* figure, const std::vector<bool>& flags, std::size_t& next) {
    if (next < flags.size()) figure->FChanged = flags[next];
    ++next;
    if (auto* group = dynamic_cast<TFigureGrp*>(figure))
        for (int i = 0; i < group->Count(); ++i) ApplyChanged(group->Member(i), flags, next);
}

// A group's corners are a cache of its members' box. Reading a record works
// them out again from the members, while the record holds them as they were
// (they may lag behind a member's last-bit change): they are put back as
// recorded, for member groups too.
void RestoreGroupCorners(TFigure* figure, const std::vector<std::uint8_t>& record) {
    auto* group = dynamic_cast<TFigureGrp*>(figure);
    if (!group) return;
    constexpr std::uint8_t kTagPoints = 152;
    constexpr std::uint8_t kTagMember = 150;
    TMemoryStream stream(record);
    ReadStr(stream); // class name
    ReadStr(stream); // figure name
    TTaggedItem item;
    std::vector<TDoublePoint> corners;
    std::vector<std::vector<std::uint8_t>> members;
    bool pointsRead = false;
    while (ReadTaggedItem(stream, item)) {
        if (item.Kind != TTagPayload::Blob) continue;
        if (item.Tag == kTagPoints && !pointsRead) {
            pointsRead = true;
            TMemoryStream points(item.Data);
            while (points.Position() + 16 <= points.Size()) {
                const double x = points.ReadDouble();
                const double y = points.ReadDouble();
                corners.push_back(DoublePoint(x, y));
            }
        } else if (item.Tag == kTagMember && pointsRead) {
            members.push_back(item.Data);
        }
    }
    for (std::size_t i = 0; i < corners.size() && i < 4; ++i) group->SetPoint(static_cast<int>(i) + 1, corners[i]);
    for (std::size_t i = 0; i < members.size() && static_cast<int>(i) < group->Count(); ++i)
        RestoreGroupCorners(group->Member(static_cast<int>(i)), members[i]);
}

// A record leaves out what is at its default (flags that are off, no Bézier
// segments, no fill picture, no dimensions): a figure read again starts from
// the defaults, and so do the members of a group.
void ResetForReload(TFigure* figure) {
    figure->ClearDimensions();
    figure->FHasDimensions = false;
    figure->FCustomStream.reset();
    figure->FFillBitmapBytes.clear();
    figure->FFillBitmap = QImage();
    if (auto* text = dynamic_cast<TText*>(figure)) {
        text->FFont.Bold = false;
        text->FFont.Italic = false;
        text->FFont.Underline = false;
        text->FFont.StrikeOut = false;
        text->FOutline = false;
    }
    if (auto* polyline = dynamic_cast<TPolyline*>(figure)) {
        polyline->AllStraight();
        polyline->SetPattern(nullptr);
    }
    if (auto* group = dynamic_cast<TFigureGrp*>(figure)) {
        group->SetCombined(false);
        for (int i = 0; i < group->Count(); ++i) ResetForReload(group->Member(i));
    }
}

std::vector<bool> ChangedFlags(const TFigure* figure) {
    std::vector<bool> flags;
    CollectChanged(figure, flags);
    return flags;
}
} // namespace

void TVXDrawing::ReloadFigure(TFigure* figure, const std::vector<std::uint8_t>& record,
                              const std::vector<bool>& changed) {
    if (!figure || record.empty()) return;
    TMemoryStream stream(record);
    ReadStr(stream); // the class name: the figure keeps its class
    auto* group = dynamic_cast<TFigureGrp*>(figure);
    if (group) group->SetReloadMode(true);
    const bool selected = figure->FSelected;
    figure->FLoading = true;
    ResetForReload(figure);
    try {
        figure->LoadBase(stream);
    } catch (...) {
        figure->FLoading = false;
        if (group) group->SetReloadMode(false);
        throw;
    }
    if (figure->FHasDimensions) figure->CreateDimensions();
    figure->FLoading = false;
    if (group) {
        group->SetReloadMode(false);
        RestoreGroupCorners(group, record);
    }
    // A figure that was laid out when its record was taken holds its laid-out
    // box in the record; laying it out again could change what it writes.
    std::size_t next = 0;
    ApplyChanged(figure, changed, next);
    figure->FreeRegion();
    if (selected) figure->RefreshHandles();
}

// --- steps ---

std::vector<TFigure*> TVXDrawing::StepFigures(TUndoAction& step) {
    std::vector<TFigure*> figures = std::move(step.Figures);
    figures.insert(figures.end(), step.Extra.begin(), step.Extra.end());
    step.Figures.clear();
    step.Extra.clear();
    return figures;
}

void TVXDrawing::DiscardStep(TUndoAction& step) {
    const std::vector<TFigure*> figures = StepFigures(step);
    ReleaseHeld(figures);
}

void TVXDrawing::AddUndoAction(std::unique_ptr<TUndoAction> step) {
    if (!step) return;
    // A new step starts a new branch: the undone steps go, oldest first.
    while (FUndoPos > 0) {
        --FUndoPos;
        std::unique_ptr<TUndoAction> gone = std::move(FUndoList[static_cast<std::size_t>(FUndoPos)]);
        FUndoList.erase(FUndoList.begin() + FUndoPos);
        DiscardStep(*gone);
    }
// GCC 12 at -O3 sees a null dereference inside vector::insert of a
// unique_ptr that cannot happen (the step is checked above).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnull-dereference"
    FUndoList.insert(FUndoList.begin(), std::move(step));
#pragma GCC diagnostic pop
    FUndoPos = 0;
    if (FUndoCount <= 0) return;
    while (UndoStepCount() > FUndoCount) {
        // Chained steps leave together: the oldest unit is the oldest step
        // plus every newer step that redo chains to it.
        std::size_t unit = 1;
        while (unit < FUndoList.size() && FUndoList[FUndoList.size() - unit]->Chain == 2) ++unit;
        if (unit >= FUndoList.size()) break; // the newest unit always stays
        for (std::size_t i = 0; i < unit; ++i) {
            std::unique_ptr<TUndoAction> gone = std::move(FUndoList.back());
            FUndoList.pop_back();
            DiscardStep(*gone);
        }
    }
}

void TVXDrawing::ClearUndoList() {
    TUndoList steps = std::move(FUndoList);
    FUndoList.clear();
    FUndoPos = 0;
    std::vector<TFigure*> figures;
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        std::vector<TFigure*> more = StepFigures(**it);
        figures.insert(figures.end(), more.begin(), more.end());
    }
    ReleaseHeld(figures);
    // Whatever no step holds any more is freed.
    std::vector<std::unique_ptr<TFigure>> unheld;
    for (auto it = FHeld.begin(); it != FHeld.end();) {
        if (it->first->FUndoRefs <= 0) {
            unheld.push_back(std::move(it->second));
            it = FHeld.erase(it);
        } else {
            ++it;
        }
    }
    for (std::unique_ptr<TFigure>& owner : unheld) DisposeFigure(std::move(owner));
}

std::unique_ptr<TUndoAction> TVXDrawing::ModifyStepFor(const std::vector<TFigure*>& figures) {
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Modify);
    if (!step) return nullptr;
    std::vector<TFigure*> all;
    for (TFigure* figure : figures) {
        if (std::find(all.begin(), all.end(), figure) == all.end()) all.push_back(figure);
        // Lines bound to the figure move their ends with it.
        for (TFigure* line : figure->FJoinedLines)
            if (std::find(all.begin(), all.end(), line) == all.end()) all.push_back(line);
    }
    for (TFigure* figure : all) {
        TMemoryStream stream;
        figure->SaveToStream(stream);
        StepHold(*step, figure);
        step->Before.push_back(stream.TakeData());
        step->BeforeChanged.push_back(ChangedFlags(figure));
    }
    return step;
}

void TVXDrawing::RecordModify(TFigure* figure) {
    if (!RecordUndo()) return;
    std::vector<TFigure*> figures;
    if (figure)
        figures.push_back(figure);
    else
        figures = SelectedFigures();
    AddUndoAction(ModifyStepFor(figures));
}

void TVXDrawing::RecordInsert(TFigure* figure, int chain) {
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Insert);
    if (!step || !figure) return;
    StepHold(*step, figure);
    step->Chain = chain;
    AddUndoAction(std::move(step));
}

void TVXDrawing::CommitStep(std::unique_ptr<TUndoAction> step, bool keepEmpty) {
    if (!step) return;
    if (step->Figures.empty() && !keepEmpty) return;
    AddUndoAction(std::move(step));
}

void TVXDrawing::UndoStep(TUndoAction& step) {
    switch (step.ActionKind) {
    case TUndoKind::Modify: {
        if (step.After.empty()) {
            for (TFigure* figure : step.Figures) {
                TMemoryStream stream;
                figure->SaveToStream(stream);
                step.After.push_back(stream.TakeData());
                step.AfterChanged.push_back(ChangedFlags(figure));
            }
        }
        for (std::size_t i = 0; i < step.Figures.size() && i < step.Before.size(); ++i)
            ReloadFigure(step.Figures[i], step.Before[i], i < step.BeforeChanged.size() ? step.BeforeChanged[i] : std::vector<bool>{});
        break;
    }
    case TUndoKind::Insert:
        for (auto it = step.Figures.rbegin(); it != step.Figures.rend(); ++it) {
            std::unique_ptr<TFigure> owner = Unlist(*it, &step.Joins);
            HoldOrDispose(std::move(owner));
        }
        break;
    case TUndoKind::Delete:
        for (auto it = step.Figures.rbegin(); it != step.Figures.rend(); ++it)
            RelistHeld(*it, (*it)->FUndoIndex, true);
        RestoreJoins(step);
        break;
    case TUndoKind::Order:
        for (std::size_t i = step.Figures.size(); i-- > 0;)
            if (i < step.OldIndexes.size()) MoveFigureTo(step.Figures[i], step.OldIndexes[i]);
        break;
    case TUndoKind::Group:
        // Extra: the members in list order; OldIndexes: where each stood.
        for (TFigure* figure : step.Figures) {
            auto* group = dynamic_cast<TFigureGrp*>(figure);
            const int index = IndexOfFigure(group);
            if (!group || index < 0) continue;
            std::unique_ptr<TFigure> owner = Unlist(group, &step.Joins);
            owner->FUndoIndex = index;
            group->Ungroup();
            std::vector<std::unique_ptr<TFigure>> members = group->TakeMembers();
            for (std::unique_ptr<TFigure>& member : members) {
                if (!member) continue;
                const auto at = std::find(step.Extra.begin(), step.Extra.end(), member.get());
                const std::size_t k = static_cast<std::size_t>(at - step.Extra.begin());
                if (at == step.Extra.end()) StepHoldExtra(step, member.get());
                Relist(std::move(member), k < step.OldIndexes.size() ? step.OldIndexes[k] : -1, true);
            }
            HoldOrDispose(std::move(owner));
        }
        RestoreJoins(step);
        break;
    case TUndoKind::Ungroup:
        // Members are kept per group in Extra, in group order, behind the
        // group's member count in OldIndexes.
        {
            std::size_t first = step.Extra.size();
            for (std::size_t g = step.Figures.size(); g-- > 0;) {
                auto* group = dynamic_cast<TFigureGrp*>(step.Figures[g]);
                const std::size_t count = g < step.OldIndexes.size() ? static_cast<std::size_t>(step.OldIndexes[g]) : 0;
                first -= count;
                if (!group || FHeld.find(group) == FHeld.end()) continue;
                Regroup(*group, std::span<TFigure* const>(step.Extra).subspan(first, count), step);
            }
        }
        RestoreJoins(step);
        break;
    case TUndoKind::Replace:
        for (auto it = step.Figures.rbegin(); it != step.Figures.rend(); ++it)
            HoldOrDispose(Unlist(*it, &step.Joins));
        for (auto it = step.Extra.rbegin(); it != step.Extra.rend(); ++it)
            RelistHeld(*it, (*it)->FUndoIndex, true);
        RestoreJoins(step);
        break;
    case TUndoKind::Clip:
        ClipStepTake(step, true);
        break;
    case TUndoKind::Unclip:
        ClipStepPut(step);
        break;
    }
}

void TVXDrawing::RedoStep(TUndoAction& step) {
    switch (step.ActionKind) {
    case TUndoKind::Modify:
        for (std::size_t i = 0; i < step.Figures.size() && i < step.After.size(); ++i)
            ReloadFigure(step.Figures[i], step.After[i], i < step.AfterChanged.size() ? step.AfterChanged[i] : std::vector<bool>{});
        break;
    case TUndoKind::Insert:
        for (TFigure* figure : step.Figures) RelistHeld(figure, -1, true);
        RestoreJoins(step);
        break;
    case TUndoKind::Delete:
        for (TFigure* figure : step.Figures) {
            const int index = IndexOfFigure(figure);
            if (index < 0) continue;
            std::unique_ptr<TFigure> owner = Unlist(figure, &step.Joins);
            owner->FUndoIndex = index;
            HoldOrDispose(std::move(owner));
        }
        break;
    case TUndoKind::Order:
        for (std::size_t i = 0; i < step.Figures.size() && i < step.NewIndexes.size(); ++i)
            MoveFigureTo(step.Figures[i], step.NewIndexes[i]);
        break;
    case TUndoKind::Group:
        for (TFigure* figure : step.Figures) {
            auto* group = dynamic_cast<TFigureGrp*>(figure);
            if (!group || FHeld.find(group) == FHeld.end()) continue;
            step.OldIndexes.assign(step.Extra.size(), -1);
            for (std::size_t k = 0; k < step.Extra.size(); ++k) step.OldIndexes[k] = IndexOfFigure(step.Extra[k]);
            Regroup(*group, step.Extra, step);
        }
        RestoreJoins(step);
        break;
    case TUndoKind::Ungroup: {
        for (std::size_t g = 0; g < step.Figures.size(); ++g) {
            auto* group = dynamic_cast<TFigureGrp*>(step.Figures[g]);
            const int index = IndexOfFigure(group);
            if (!group || index < 0) continue;
            std::unique_ptr<TFigure> owner = Unlist(group, &step.Joins);
            owner->FUndoIndex = index;
            group->Ungroup();
            std::vector<std::unique_ptr<TFigure>> members = group->TakeMembers();
            int at = index;
            for (std::unique_ptr<TFigure>& member : members)
                if (member) Relist(std::move(member), step.Mode == 1 ? -1 : at++, true);
            HoldOrDispose(std::move(owner));
        }
        RestoreJoins(step);
        break;
    }
    case TUndoKind::Replace:
        for (TFigure* figure : step.Figures) RelistHeld(figure, -1, true);
        for (TFigure* figure : step.Extra) {
            const int index = IndexOfFigure(figure);
            if (index < 0) continue;
            std::unique_ptr<TFigure> owner = Unlist(figure, &step.Joins);
            owner->FUndoIndex = index;
            HoldOrDispose(std::move(owner));
        }
        RestoreJoins(step);
        break;
    case TUndoKind::Clip:
        ClipStepPut(step);
        break;
    case TUndoKind::Unclip:
        ClipStepTake(step, false);
        break;
    }
}

void TVXDrawing::UnDo() {
    if (OnCustomUndo) {
        Fire(OnCustomUndo, this, false);
        return;
    }
    if (FUndoPos >= UndoStepCount()) return;
    Fire(OnBeforeUndo, this);
    {
        TBusyGuard guard(*this);
        for (;;) {
            TUndoAction& step = *FUndoList[static_cast<std::size_t>(FUndoPos)];
            UndoStep(step);
            ++FUndoPos;
            if (step.Chain != 1 || FUndoPos >= UndoStepCount()) break;
        }
        FHasSelection = !SelectedFigures().empty();
        std::erase_if(FSelection, [this](TFigure* f) { return IndexOfFigure(f) < 0; });
        SetUpdated(true);
    }
    Fire(OnAfterUndo, this);
    RefreshSelection();
    Refresh();
}

void TVXDrawing::ReDo() {
    if (OnCustomUndo) {
        Fire(OnCustomUndo, this, true);
        return;
    }
    if (FUndoPos <= 0 || FUndoList.empty()) return;
    {
        TBusyGuard guard(*this);
        for (;;) {
            --FUndoPos;
            TUndoAction& step = *FUndoList[static_cast<std::size_t>(FUndoPos)];
            RedoStep(step);
            if (step.Chain != 2 || FUndoPos <= 0) break;
        }
        FHasSelection = !SelectedFigures().empty();
        SetUpdated(true);
    }
    RefreshSelection();
    Refresh();
}
