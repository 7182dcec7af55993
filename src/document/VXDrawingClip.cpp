// The picture operations of the selection: clipping a picture to another
// figure of the drawing and giving the clip figure back, mirroring and
// transparency; each as an undo step.
#include "document/VXDrawing.h"

#include "model/PictureFeatures.h"
#include "platform/DeviceRegion.h"
#include "platform/UiServices.h"

namespace {

TPictureFeatures* AsPicture(TFigure* figure) {
    return dynamic_cast<TPictureFeatures*>(figure);
}

bool IsPicture(const TFigure* figure) {
    return dynamic_cast<const TPictureFeatures*>(figure) != nullptr;
}

bool HasHitRegion(const TFigure* figure) {
    return figure->FRegion && !figure->FRegion->IsEmpty();
}

} // namespace

void TVXDrawing::ClipSelBitmapToSelFigure() {
    const std::vector<TFigure*> selected = EditableSelection();
    TFigure* picture = nullptr;
    TFigure* clip = nullptr;
    if (selected.size() == 2) {
        for (int k = 0; k < 2 && !picture; ++k) {
            TFigure* candidate = selected[static_cast<std::size_t>(k)];
            TFigure* other = selected[static_cast<std::size_t>(1 - k)];
            TPictureFeatures* holder = AsPicture(candidate);
            // A picture already clipped keeps its clip figure: it would be lost.
            if (holder && !holder->ClipFigure() && !AsPicture(other) && HasHitRegion(other)) {
                picture = candidate;
                clip = other;
            }
        }
    }
    if (!picture) {
        UiServices().MessageBox(QStringLiteral("wähle ein Bild und eine Figure für das zuschneiden !"),
                                QStringLiteral("Zuschneiden"), TMessageKind::Error);
        return;
    }
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Clip);
    TUndoAction local(TUndoKind::Clip);
    TUndoAction& work = step ? *step : local;
    work.Figures.push_back(picture);
    work.Extra.push_back(clip);
    {
        TBusyGuard guard(*this);
        ClipStepPut(work);
    }
    FinishPictureStep(std::move(step));
}

void TVXDrawing::UnClipSelBitmap() {
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Unclip);
    TUndoAction local(TUndoKind::Unclip);
    TUndoAction& work = step ? *step : local;
    for (TFigure* figure : EditableSelection()) {
        TPictureFeatures* holder = AsPicture(figure);
        if (!holder || !holder->ClipFigure()) continue;
        work.Figures.push_back(figure);
        work.Extra.push_back(holder->ClipFigure());
    }
    if (work.Figures.empty()) return;
    {
        TBusyGuard guard(*this);
        ClipStepTake(work, false);
    }
    FinishPictureStep(std::move(step));
}

void TVXDrawing::FinishPictureStep(std::unique_ptr<TUndoAction> step) {
    if (step) {
        for (TFigure* figure : step->Figures)
            ++figure->FUndoRefs;
        for (TFigure* figure : step->Extra)
            ++figure->FUndoRefs;
        AddUndoAction(std::move(step));
    }
    SetUpdated(true);
    RefreshSelection();
    Refresh();
}

void TVXDrawing::ClipStepPut(TUndoAction& step) {
    for (std::size_t k = 0; k < step.Figures.size() && k < step.Extra.size(); ++k) {
        TPictureFeatures* holder = AsPicture(step.Figures[k]);
        TFigure* clip = step.Extra[k];
        const int index = IndexOfFigure(clip);
        if (!holder || holder->ClipFigure() || index < 0) continue;
        std::unique_ptr<TFigure> owner = Unlist(clip, &step.Joins);
        owner->FUndoIndex = index;
        owner->FDeleted = false;
        holder->SetClipFigure(std::move(owner));
    }
}

void TVXDrawing::ClipStepTake(TUndoAction& step, bool atFormerIndex) {
    // Back to front, so that figures taken out in list order come back at
    // their own places.
    for (std::size_t k = std::min(step.Figures.size(), step.Extra.size()); k-- > 0;) {
        TPictureFeatures* holder = AsPicture(step.Figures[k]);
        if (!holder || holder->ClipFigure() != step.Extra[k]) continue;
        std::unique_ptr<TFigure> owner = holder->TakeClipFigure();
        const int index = atFormerIndex ? owner->FUndoIndex : -1;
        Relist(std::move(owner), index, true);
    }
    RestoreJoins(step);
}

void TVXDrawing::KeepClipFigureAlive(TFigure* figure) {
    TPictureFeatures* holder = AsPicture(figure);
    if (!holder || !holder->ClipFigure() || holder->ClipFigure()->FUndoRefs <= 0) return;
    std::unique_ptr<TFigure> owner = holder->TakeClipFigure();
    owner->FDeleted = true;
    TFigure* key = owner.get();
    FHeld[key] = std::move(owner);
}

void TVXDrawing::FlipImagesOfSelection(int mode) {
    if (!FHasSelection) return;
    ChangeSelectedOfClass(IsPicture, [mode](TFigure* figure) {
        TPictureFeatures* picture = AsPicture(figure);
        if (!picture) return;
        if (mode == 1)
            picture->FlipHorizontal();
        else
            picture->FlipVertical();
    });
}

void TVXDrawing::setTransparentOfSelection(bool transparent) {
    if (!FHasSelection) return;
    ChangeSelectedOfClass(IsPicture, [transparent](TFigure* figure) {
        if (TPictureFeatures* picture = AsPicture(figure)) picture->SetTransparent(transparent);
    });
}
