// Editing the selection: moving, deleting, grouping, z-order, alignment,
// attributes, transformations and copies. Every operation records its undo
// step while the drawing records.
#include "document/VXDrawing.h"

#include "model/Arc.h"
#include "model/Group.h"
#include "model/Line.h"
#include "model/Polyline.h"
#include "model/Text.h"
#include "platform/UiServices.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
bool OnHiddenLayer(const TFigure* figure) {
    return figure->FLayer && !figure->FLayer->IsVisible();
}

struct TBox {
    double MaxX = 0, MaxY = 0, MinX = 0, MinY = 0;
    double CentreX() const { return (MaxX + MinX) / 2; }
    double CentreY() const { return (MaxY + MinY) / 2; }
};

TBox BoxOf(const TFigure* figure) {
    TBox box;
    figure->GetBounds(box.MaxX, box.MaxY, box.MinX, box.MinY);
    return box;
}

// Above this many new figures an array asks before it makes them.
constexpr long long kArrayAskLimit = 10000;
} // namespace

std::vector<TFigure*> TVXDrawing::EditableSelection() const {
    std::vector<TFigure*> result;
    for (const auto& figure : FFigures)
        if (figure->FSelected && !OnHiddenLayer(figure.get())) result.push_back(figure.get());
    return result;
}

// --- moving and deleting ---

void TVXDrawing::MoveSelection(double dx, double dy) {
    std::vector<TFigure*> figures;
    for (TFigure* figure : EditableSelection())
        if (!figure->FLockMove) figures.push_back(figure);
    if (figures.empty()) return;
    AddUndoAction(ModifyStepFor(figures));
    TBusyGuard guard(*this);
    // Lines moved with the figures they are bound to must not have their
    // bound ends moved a second time.
    for (TFigure* figure : figures)
        if (auto* line = dynamic_cast<TLine*>(figure)) line->FMoving = true;
    const std::uint64_t removals = FRemovals;
    for (TFigure* figure : figures) {
        if (!StillOwned(figure, removals)) continue;
        figure->Move(dx, dy);
        figure->FreeRegion();
        Fire(OnFigureMoved, this, figure, dx, dy);
    }
    for (TFigure* figure : figures)
        if (StillOwned(figure, removals))
            if (auto* line = dynamic_cast<TLine*>(figure)) line->FMoving = false;
    ++FListVersion;
    SetUpdated(true);
}

void TVXDrawing::RemoveSelection() {
    if (!FHasSelection) return;
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Delete);
    {
        TBusyGuard guard(*this);
        for (TFigure* figure : EditableSelection()) {
            if (IndexOfFigure(figure) < 0) continue;
            bool canDelete = true;
            Fire(OnBeforeDelete, this, figure, canDelete);
            if (!canDelete || IndexOfFigure(figure) < 0) continue;
            RemoveForUndo(figure, step.get());
            Fire(OnAfterDelete, this);
        }
    }
    CommitStep(std::move(step), true);
    FHasSelection = !SelectedFigures().empty();
    SetUpdated(true);
    RefreshSelection();
    Refresh();
}

// --- groups ---

std::intptr_t TVXDrawing::GroupSelection() {
    const std::vector<TFigure*> selected = EditableSelection();
    if (selected.empty()) return 0;
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Group);
    std::unique_ptr<TFigureGrp> group = TFigureGrp::Create(LayerAt(0), this, true);
    TFigure* anchor = nullptr;
    bool first = true;
    TLayer* layer = LayerAt(0);
    std::vector<std::unique_ptr<TFigure>> taken;
    std::vector<int> indexes;
    for (int i = FigureCount() - 1; i >= 0; --i) {
        TFigure* figure = GetFigure(i);
        if (std::find(selected.begin(), selected.end(), figure) == selected.end()) continue;
        if (first) {
            anchor = GetFigure(i + 1);
            first = false;
        }
        layer = figure->FLayer;
        indexes.push_back(i);
        taken.push_back(Unlist(figure, step ? &step->Joins : nullptr));
    }
    TFigureGrp* added = group.get();
    for (std::size_t k = taken.size(); k-- > 0;) {
        if (step) {
            StepHoldExtra(*step, taken[k].get());
            step->OldIndexes.push_back(indexes[k]);
        }
        added->Add(std::move(taken[k]));
    }
    added->FLayer = layer;
    added->RecalcBounds();
    Relist(std::move(group), anchor ? IndexOfFigure(anchor) : -1, true);
    if (step) {
        StepHold(*step, added);
        AddUndoAction(std::move(step));
    }
    SetUpdated(true);
    RefreshSelection();
    Refresh();
    return added->FHandle;
}

void TVXDrawing::UngroupSelection() {
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Ungroup);
    {
        TBusyGuard guard(*this);
        const std::vector<TFigure*> selected = EditableSelection();
        for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
            auto* group = dynamic_cast<TFigureGrp*>(*it);
            if (!group || group->Combined()) continue;
            const int index = IndexOfFigure(group);
            if (index < 0) continue;
            std::unique_ptr<TFigure> owner = Unlist(group, step ? &step->Joins : nullptr);
            owner->FUndoIndex = index;
            group->Ungroup();
            std::vector<std::unique_ptr<TFigure>> members = group->TakeMembers();
            int at = index;
            int count = 0;
            for (std::unique_ptr<TFigure>& member : members) {
                if (!member) continue;
                if (step) StepHoldExtra(*step, member.get());
                Relist(std::move(member), at++, true);
                ++count;
            }
            if (step) {
                StepHold(*step, group);
                step->OldIndexes.push_back(count);
            }
            HoldOrDispose(std::move(owner));
        }
    }
    CommitStep(std::move(step), false);
    FHasSelection = !SelectedFigures().empty();
    SetUpdated(true);
    RefreshSelection();
    Refresh();
}

// --- z-order ---

void TVXDrawing::OrderSelection(int mode) {
    if (!FHasSelection) return;
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Order);
    if (step) step->Mode = mode >= 2 ? 1 : 0;
    auto note = [&step](TFigure* figure, int from, int to) {
        if (!step) return;
        StepHold(*step, figure);
        step->OldIndexes.push_back(from);
        step->NewIndexes.push_back(to);
    };
    auto editable = [](const TFigure* figure) { return figure->FSelected && !OnHiddenLayer(figure); };
    const int n = FigureCount();
    switch (mode) {
    case 0: { // to the back, keeping the selected figures' order
        int i = n - 1;
        for (int k = 0; k < n && i >= 0; ++k) {
            TFigure* figure = GetFigure(i);
            if (editable(figure)) {
                if (i != 0) {
                    MoveFigureTo(figure, 0);
                    note(figure, i, 0);
                } else {
                    --i;
                }
            } else {
                --i;
            }
        }
        break;
    }
    case 1: { // to the front
        int i = 0;
        for (int k = 0; k < n && i < n; ++k) {
            TFigure* figure = GetFigure(i);
            if (editable(figure) && i != n - 1) {
                MoveFigureTo(figure, n - 1);
                note(figure, i, n - 1);
            } else {
                ++i;
            }
        }
        break;
    }
    case 2: // one step back
        for (int i = 1; i < n; ++i) {
            TFigure* figure = GetFigure(i);
            if (!editable(figure)) continue;
            MoveFigureTo(figure, i - 1);
            note(figure, i, i - 1);
        }
        break;
    case 3: // one step forward
        for (int i = n - 2; i >= 0; --i) {
            TFigure* figure = GetFigure(i);
            if (!editable(figure)) continue;
            MoveFigureTo(figure, i + 1);
            note(figure, i, i + 1);
        }
        break;
    default:
        break;
    }
    CommitStep(std::move(step), false);
    Refresh();
    SetUpdated(true);
}

// --- alignment ---

void TVXDrawing::AlignSelection(int vertical, int horizontal) {
    const std::vector<TFigure*> selected = EditableSelection();
    if (selected.size() < 2) return;
    TFigure* reference = selected.front();
    for (TFigure* figure : selected)
        if (figure->FPrimarySelected) {
            reference = figure;
            break;
        }
    AddUndoAction(ModifyStepFor(selected));
    TBusyGuard guard(*this);
    const std::size_t n = selected.size();

    // Distribution: the two extremes stay, the others take the nearest free
    // inner slot on whole millimetres.
    auto distribute = [&](bool alongX) {
        auto edge = [alongX](const TBox& box) { return alongX ? box.MaxX : box.MinY; };
        auto centre = [alongX](const TBox& box) { return alongX ? box.CentreX() : box.CentreY(); };
        std::size_t low = 0, high = 0;
        for (std::size_t i = 1; i < n; ++i) {
            if (edge(BoxOf(selected[i])) < edge(BoxOf(selected[low]))) low = i;
            if (edge(BoxOf(selected[i])) > edge(BoxOf(selected[high]))) high = i;
        }
        if (low == high) return;
        const double c0 = centre(BoxOf(selected[low]));
        const double c1 = centre(BoxOf(selected[high]));
        std::vector<double> places(n);
        for (std::size_t i = 0; i < n; ++i)
            places[i] = c0 + std::nearbyint(static_cast<double>(i) * (c1 - c0) / static_cast<double>(n - 1));
        std::vector<bool> used(n, false);
        for (std::size_t i = 0; i < n; ++i) {
            if (i == low || i == high) continue;
            const double c = centre(BoxOf(selected[i]));
            std::size_t best = 0;
            for (std::size_t s = 1; s + 1 < n; ++s) {
                if (used[s]) continue;
                if (best == 0 || std::abs(places[s] - c) < std::abs(places[best] - c)) best = s;
            }
            if (best == 0) continue;
            used[best] = true;
            const double d = places[best] - c;
            if (alongX)
                selected[i]->Move(d, 0);
            else
                selected[i]->Move(0, d);
            selected[i]->FreeRegion();
        }
    };
    if (horizontal == 4 && n > 2) distribute(false);
    if (vertical == 4 && n > 2) distribute(true);

    const bool topIsSmall = VerticalZero() == TVertZero::vzTop;
    const bool leftIsSmall = HorizontalZero() == THorzZero::vzLeft;
    const TBox ref = BoxOf(reference);
    for (TFigure* figure : selected) {
        if (figure == reference) continue;
        const TBox box = BoxOf(figure);
        double dx = 0, dy = 0;
        switch (vertical) {
        case 1: dy = topIsSmall ? ref.MinY - box.MinY : ref.MaxY - box.MaxY; break;
        case 2: dy = topIsSmall ? ref.MaxY - box.MaxY : ref.MinY - box.MinY; break;
        case 3: dy = ref.CentreY() - box.CentreY(); break;
        default: break;
        }
        switch (horizontal) {
        case 1: dx = leftIsSmall ? ref.MinX - box.MinX : ref.MaxX - box.MaxX; break;
        case 2: dx = leftIsSmall ? ref.MaxX - box.MaxX : ref.MinX - box.MinX; break;
        case 3: dx = ref.CentreX() - box.CentreX(); break;
        default: break;
        }
        if (dx != 0 || dy != 0) {
            figure->Move(dx, dy);
            figure->FreeRegion();
        }
    }
    ++FListVersion;
    SetUpdated(true);
    Refresh();
}

// --- attributes ---

void TVXDrawing::ModifyPenColor(TColor color) {
    RecordSelectionModify();
    SetDefaultPenColor(color);
}

void TVXDrawing::ModifyPenWidth(int width) {
    RecordSelectionModify();
    SetDefaultPenWidth(width);
}

void TVXDrawing::ModifyBrushColor(TColor color) {
    RecordSelectionModify();
    SetDefaultBrushColor(color);
}

void TVXDrawing::ModifyPenStyle(TPenStyle style) {
    RecordSelectionModify();
    SetDefaultPenStyle(style);
}

void TVXDrawing::ModifyBrushStyle(TBrushStyle style) {
    RecordSelectionModify();
    SetDefaultBrushStyle(style);
}

void TVXDrawing::ModifyRowStyle(TRowStyle style) {
    RecordSelectionModify();
    SetDefaultRowStyle(style);
}

void TVXDrawing::RecordSelectionModify() {
    if (!FHasSelection || !RecordUndo()) return;
    const std::vector<TFigure*> figures = EditableSelection();
    if (!figures.empty()) AddUndoAction(ModifyStepFor(figures));
}

// --- fonts ---

bool TVXDrawing::ModifySelectionFont(int kind, const QString& text, bool flag, int value, double size) {
    const std::vector<TFigure*> figures = EditableSelection();
    std::vector<TFigure*> texts;
    for (TFigure* figure : figures)
        if (dynamic_cast<TText*>(figure) || dynamic_cast<TFigureGrp*>(figure)) texts.push_back(figure);
    if (texts.empty()) return false;
    // The texts are recorded even when the value is the same: they lay
    // themselves out anew.
    std::unique_ptr<TUndoAction> step = ModifyStepFor(texts);
    {
        TBusyGuard guard(*this);
        const std::uint64_t removals = FRemovals;
        for (TFigure* figure : texts) {
            if (!StillOwned(figure, removals)) continue;
            figure->SetFontAttribute(kind, text, flag, value, size);
            figure->FreeRegion();
            Fire(OnFigureModify, this, figure);
        }
    }
    if (step) AddUndoAction(std::move(step));
    SetUpdated(true);
    Refresh();
    return true;
}

void TVXDrawing::ModifyFontName(const QString& name) {
    if (!ModifySelectionFont(7, name, false, 0, 0)) FFont.Name = name;
}

void TVXDrawing::ModifyFontBold(bool flag) {
    if (!ModifySelectionFont(12, QString(), flag, 0, 0)) FFont.Bold = flag;
}

void TVXDrawing::ModifyFontItalic(bool flag) {
    if (!ModifySelectionFont(13, QString(), flag, 0, 0)) FFont.Italic = flag;
}

void TVXDrawing::ModifyFontUnderline(bool flag) {
    if (!ModifySelectionFont(14, QString(), flag, 0, 0)) FFont.Underline = flag;
}

void TVXDrawing::ModifyFontStrike(bool flag) {
    if (!ModifySelectionFont(15, QString(), flag, 0, 0)) FFont.StrikeOut = flag;
}

void TVXDrawing::ModifyFontCharset(int index) {
    if (index < 0 || index >= 18) return;
    const int charset = kCharsetTable[index];
    if (!ModifySelectionFont(9, QString(), false, charset, charset))
        FFont.Charset = static_cast<std::uint8_t>(charset);
}

void TVXDrawing::ModifyFontColor(TColor color) {
    if (!ModifySelectionFont(10, QString(), false, color, color)) FFont.Color = color;
}

void TVXDrawing::ModifyFontSize(double height) {
    RecordSelectionModify();
    SetDefaultTextHeight(height);
}

// --- transformations ---

void TVXDrawing::RotateSelection(const TDoublePoint& centre, double angle) {
    const std::vector<TFigure*> figures = EditableSelection();
    if (figures.empty()) return;
    AddUndoAction(ModifyStepFor(figures));
    TBusyGuard guard(*this);
    const std::uint64_t removals = FRemovals;
    for (TFigure* figure : figures) {
        if (!StillOwned(figure, removals)) continue;
        figure->Rotate(centre, angle);
        figure->FreeRegion();
    }
    ++FListVersion;
    SetUpdated(true);
    RefreshSelection();
    Refresh();
}

void TVXDrawing::MirrorSelection(const TDoublePoint& p1, const TDoublePoint& p2, bool copy) {
    if (EditableSelection().empty()) return;
    if (copy)
        DuplicateSelection(0, 0);
    else
        RecordSelectionModify();
    TBusyGuard guard(*this);
    const std::uint64_t removals = FRemovals;
    for (TFigure* figure : EditableSelection()) {
        if (!StillOwned(figure, removals)) continue;
        figure->Mirror(p1, p2);
        figure->FreeRegion();
    }
    ++FListVersion;
    SetUpdated(true);
    RefreshSelection();
    Refresh();
}

void TVXDrawing::ScaleSelection(const TDoublePoint& centre, double sx, double sy) {
    const std::vector<TFigure*> figures = EditableSelection();
    if (figures.empty()) return;
    // Scaling is not recorded; figures replaced on the way (a circle scaled
    // unevenly) are kept with the drawing rather than with a step.
    const bool recording = FRecordUndo;
    FRecordUndo = false;
    {
        TBusyGuard guard(*this);
        const std::uint64_t removals = FRemovals;
        for (TFigure* figure : figures) {
            if (!StillOwned(figure, removals)) continue;
            figure->Scale(centre, sx, sy);
            if (StillOwned(figure, removals)) figure->FreeRegion();
        }
    }
    FRecordUndo = recording;
    ++FListVersion;
    SetUpdated(true);
    RefreshSelection();
    Refresh();
}

// --- copies ---

void TVXDrawing::AppendCopies(const std::vector<TFigure*>& sources, TUndoAction* step,
                              const std::function<void(TFigure&)>& place) {
    for (TFigure* source : sources) {
        std::unique_ptr<TFigure> copy = source->Clone();
        if (!copy) continue;
        place(*copy);
        TFigure* added = AppendFigure(std::move(copy), false);
        if (step) StepHold(*step, added);
    }
}

void TVXDrawing::DuplicateSelection(double dx, double dy) {
    const std::vector<TFigure*> sources = EditableSelection();
    if (sources.empty()) return;
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Insert);
    for (TFigure* figure : SelectedFigures()) figure->Deselect();
    FSelection.clear();
    TBusyGuard guard(*this);
    for (TFigure* source : sources) {
        std::unique_ptr<TFigure> copy = source->Clone();
        if (!copy) continue;
        copy->Move(dx, dy);
        TFigure* added = AppendFigure(std::move(copy), true);
        if (step) StepHold(*step, added);
        Fire(OnObjectInserted, this, TInsertReason::irCreate);
    }
    FHasSelection = true;
    CommitStep(std::move(step), true);
    RefreshSelection();
    Refresh();
}

void TVXDrawing::OffSetSelection(double distance) {
    const std::vector<TFigure*> sources = EditableSelection();
    if (sources.empty()) return;
    const double d = VerticalZero() == TVertZero::vzBottom ? -distance : distance;
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Insert);
    for (TFigure* figure : SelectedFigures()) figure->Deselect();
    FSelection.clear();
    TBusyGuard guard(*this);
    for (TFigure* source : sources) {
        std::unique_ptr<TFigure> offset = source->CreateOffsetFigure(d);
        if (!offset) continue;
        TFigure* added = AppendFigure(std::move(offset), true);
        if (step) StepHold(*step, added);
        Fire(OnObjectInserted, this, TInsertReason::irCreate);
    }
    FHasSelection = true;
    CommitStep(std::move(step), true);
    RefreshSelection();
    Refresh();
}

namespace {
// Asks before an array makes very many figures; true to go on.
bool ArrayMayProceed(long long copies) {
    if (copies <= kArrayAskLimit) return true;
    const QString text = QStringLiteral("Die Anordnung erzeugt %1 Kopien. Fortfahren?").arg(copies);
    return UiServices().Question(text, QStringLiteral("Anordnung"), TQuestionButtons::YesNo) == TAnswer::Yes;
}
} // namespace

void TVXDrawing::ArrayRectSelection(int columns, int rows, double dx, double dy) {
    const std::vector<TFigure*> sources = EditableSelection();
    if (sources.empty() || columns < 1 || rows < 1) return;
    const long long copies =
        (static_cast<long long>(columns) * rows - 1) * static_cast<long long>(sources.size());
    if (copies <= 0 || !ArrayMayProceed(copies)) return;
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Insert);
    {
        TBusyGuard guard(*this);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                if (r == 0 && c == 0) continue;
                AppendCopies(sources, step.get(), [&](TFigure& copy) { copy.Move(c * dx, r * dy); });
            }
    }
    CommitStep(std::move(step), true);
    Fire(OnObjectInserted, this, TInsertReason::irCreate);
    SetUpdated(true);
    RefreshSelection();
    Refresh();
}

void TVXDrawing::ArrayPolarSelection(const TDoublePoint& centre, double angle) {
    const std::vector<TFigure*> sources = EditableSelection();
    if (sources.empty() || !std::isfinite(angle) || angle == 0) return;
    const double steps = std::nearbyint(2 * std::numbers::pi / std::abs(angle));
    if (steps < 2) return;
    const long long copies = (static_cast<long long>(steps) - 1) * static_cast<long long>(sources.size());
    if (!ArrayMayProceed(copies)) return;
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Insert);
    {
        TBusyGuard guard(*this);
        for (long long k = 1; k < static_cast<long long>(steps); ++k)
            AppendCopies(sources, step.get(),
                         [&](TFigure& copy) { copy.Rotate(centre, static_cast<double>(k) * angle); });
    }
    CommitStep(std::move(step), true);
    Fire(OnObjectInserted, this, TInsertReason::irCreate);
    SetUpdated(true);
    RefreshSelection();
    Refresh();
}

// --- faces ---

void TVXDrawing::CollectFaces() {
    FFaces.clear();
    TBusyGuard guard(*this);
    const std::uint64_t removals = FRemovals;
    for (TFigure* figure : std::vector<TFigure*>([this] {
             std::vector<TFigure*> all;
             for (const auto& f : FFigures) all.push_back(f.get());
             return all;
         }())) {
        if (!StillOwned(figure, removals)) continue;
        if (OnHiddenLayer(figure) && !dynamic_cast<TFigureGrp*>(figure)) continue;
        Fire(OnCollectFigureFaces, this, figure, FFaces);
    }
    Fire(OnCollectFaces, this, FFaces);
}

// --- per-class operations ---

void TVXDrawing::AddDimensionsToSelection() {
    const std::vector<TFigure*> figures = EditableSelection();
    if (figures.empty()) return;
    AddUndoAction(ModifyStepFor(figures));
    for (TFigure* figure : figures) {
        figure->CreateDimensions();
        figure->FHasDimensions = !figure->FDimensions.empty();
    }
    SetUpdated(true);
    Refresh();
}

void TVXDrawing::RemoveDimensionsOfSelection() {
    const std::vector<TFigure*> figures = EditableSelection();
    if (figures.empty()) return;
    AddUndoAction(ModifyStepFor(figures));
    for (TFigure* figure : figures) {
        figure->ClearDimensions();
        figure->FHasDimensions = false;
    }
    SetUpdated(true);
    Refresh();
}

void TVXDrawing::ChangeSelectedOfClass(const std::function<bool(const TFigure*)>& accepts,
                                       const std::function<void(TFigure*)>& change) {
    std::vector<TFigure*> figures;
    for (TFigure* figure : EditableSelection())
        if (accepts(figure)) figures.push_back(figure);
    if (figures.empty()) return;
    AddUndoAction(ModifyStepFor(figures));
    for (TFigure* figure : figures) {
        change(figure);
        figure->FreeRegion();
    }
    SetUpdated(true);
    Refresh();
}

void TVXDrawing::InvertArcsOfSelection() {
    if (!FHasSelection) return;
    ChangeSelectedOfClass([](const TFigure* f) { return dynamic_cast<const TArc*>(f) != nullptr; },
                          [](TFigure* f) { static_cast<TArc*>(f)->InvertArc(); });
}

void TVXDrawing::ConvertPLToBezier() {
    ChangeSelectedOfClass([](const TFigure* f) { return dynamic_cast<const TPolyline*>(f) != nullptr; },
                          [](TFigure* f) { static_cast<TPolyline*>(f)->AllBezier(); });
}

void TVXDrawing::ConvertPLToPolyline() {
    ChangeSelectedOfClass([](const TFigure* f) { return dynamic_cast<const TPolyline*>(f) != nullptr; },
                          [](TFigure* f) { static_cast<TPolyline*>(f)->AllStraight(); });
}

// --- binding lines to figures ---

void TVXDrawing::BoundSelectedLine() {
    for (TFigure* figure : SelectedFigures()) {
        if (!dynamic_cast<TLine*>(figure) || figure->FPointCount < 2) continue;
        BoundLinePoint(figure, 1, figure->FirstPoint());
        BoundLinePoint(figure, figure->FPointCount, figure->LastPoint());
    }
    Refresh();
    SetUpdated(true);
}

void TVXDrawing::BoundLinePoint(TFigure* figure, int index, const TDoublePoint& point) {
    if (!figure || IndexOfFigure(figure) < 0 || !dynamic_cast<TLine*>(figure)) return;
    const int last = figure->FPointCount;
    std::vector<TFigure*> all;
    for (const auto& f : FFigures) all.push_back(f.get());
    const std::uint64_t removals = FRemovals;
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        TFigure* other = *it;
        if (other == figure || !StillOwned(other, removals) || !StillOwned(figure, removals)) continue;
        if (!other->HitTest(point.X, point.Y)) continue;
        if (index == 1)
            figure->SetJoin1(other);
        else if (index == last)
            figure->SetJoin2(other);
    }
    Refresh();
    SetUpdated(true);
}

void TVXDrawing::BoundLineToFigures(TFigure* line, TFigure* figure1, TFigure* figure2) {
    if (!line || !dynamic_cast<TLine*>(line) || IndexOfFigure(line) < 0) return;
    // Only figures of this drawing can be bound.
    if (figure1 && IndexOfFigure(figure1) < 0) figure1 = nullptr;
    if (figure2 && IndexOfFigure(figure2) < 0) figure2 = nullptr;
    line->SetJoin1(figure1 == line ? nullptr : figure1);
    line->SetJoin2(figure2 == line ? nullptr : figure2);
    Refresh();
    SetUpdated(true);
}

void TVXDrawing::BoundLineByText(const QString& text, int which) {
    const QStringList names = text.split(QLatin1Char(','));
    if (names.size() != 2) return;
    TFigure* first = FindFigureByName(names[0]);
    TFigure* second = FindFigureByName(names[1]);
    if (!first || !second || first == second || !dynamic_cast<TLine*>(first)) return;
    if (which == 1)
        first->SetJoin1(second);
    else if (which == 2)
        first->SetJoin2(second);
    SetUpdated(true);
}

void TVXDrawing::BoundPLineByText(const QString& text, int which) {
    BoundLineByText(text, which);
}

void TVXDrawing::UnBoundLine() {
    for (TFigure* figure : SelectedFigures())
        if (dynamic_cast<TLine*>(figure)) figure->Unbound();
    Refresh();
    SetUpdated(true);
}
