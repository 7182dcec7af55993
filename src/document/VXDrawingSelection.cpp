// Selecting and deselecting figures, and the queries on the selection.
#include "document/VXDrawing.h"

#include "model/Text.h"

#include "model/FigureEngine.h"

#include <algorithm>
#include <limits>

namespace {
bool OnHiddenLayer(const TFigure* figure) {
    return figure->FLayer && !figure->FLayer->IsVisible();
}
} // namespace

bool TVXDrawing::SelectByPoint(int layer, bool add, double x, double y) {
    if (!ValidLayer(layer)) return false;
    TBusyGuard guard(*this);
    const TLayer* onLayer = layer > 0 ? LayerAt(layer) : nullptr;
    const std::vector<TFigure*> candidates = HitCandidates(x, y); // topmost first
    const std::uint64_t removals = FRemovals;
    TFigure* hit = nullptr;
    for (auto it = candidates.begin(); it != candidates.end() && !hit; ++it) {
        TFigure* figure = *it;
        if (!StillOwned(figure, removals) || OnHiddenLayer(figure)) continue;
        if (onLayer && figure->FLayer != onLayer) continue;
        if (figure->HitTest(x, y) && StillOwned(figure, removals)) hit = figure;
    }
    if (!hit) {
        if (!add && FHasSelection) {
            DeselectAll(0);
            SelectionChanged();
        }
        return false;
    }
    if (hit->FSelected) {
        if (add) {
            hit->Deselect();
            if (SelectedFigures().empty()) FHasSelection = false;
            ReDrawSelection();
            SelectionChanged();
            return false;
        }
        if (hit->IsPolyline()) {
            hit->RefreshHandles();
            ReDrawSelection();
            SelectionChanged();
        }
        return true;
    }
    if (!add && FHasSelection) DeselectAll(layer);
    hit->FRotateSelection = false;
    hit->Select();
    Fire(OnFigureSelect, this, hit);
    FHasSelection = !SelectedFigures().empty();
    ReDrawSelection();
    SelectionChanged();
    return true;
}

bool TVXDrawing::SelectWithInArea(int layer, const TDoubleRect& rect, bool add) {
    TBusyGuard guard(*this);
    if (!add && FHasSelection) {
        DeselectAll(layer);
        ReDrawSelection();
        SelectionChanged();
    }
    if (!ValidLayer(layer)) return false;
    const TLayer* onLayer = layer > 0 ? LayerAt(layer) : nullptr;
    std::vector<TFigure*> candidates;
    for (const auto& figure : FFigures)
        if (!figure->FSelected && !OnHiddenLayer(figure.get()) && (!onLayer || figure->FLayer == onLayer))
            candidates.push_back(figure.get());
    const std::uint64_t removals = FRemovals;
    bool selected = false;
    {
        TCanvasScope canvas(*this);
        for (TFigure* figure : candidates) {
            // A handler may have removed, hidden or moved figures meanwhile.
            if (!StillOwned(figure, removals) || figure->FSelected || OnHiddenLayer(figure)) continue;
            if (!figure->TouchesRectStrict(rect)) continue;
            const bool first = !FHasSelection;
            figure->FRotateSelection = false;
            figure->Select();
            Fire(OnFigureSelect, this, figure);
            if (!StillOwned(figure, removals) || !figure->FSelected) continue;
            if (canvas.Active()) figure->MapHandles(DrawEngine(), false);
            if (first) figure->FPrimarySelected = true;
            FHasSelection = true;
            selected = true;
        }
    }
    if (!selected) return false;
    ReDrawSelection();
    SelectionChanged();
    return true;
}

void TVXDrawing::SelectFigure(TFigure* figure) {
    if (IndexOfFigure(figure) < 0) return;
    figure->Select();
    FHasSelection = true;
}

void TVXDrawing::DeSelectFigure(TFigure* figure) {
    if (IndexOfFigure(figure) < 0) return;
    figure->Deselect();
    if (SelectedFigures().empty()) FHasSelection = false;
}

void TVXDrawing::SelectAll(int layer) {
    if (!ValidLayer(layer)) return;
    const TLayer* onLayer = layer > 0 ? LayerAt(layer) : nullptr;
    for (const auto& figure : FFigures) {
        if (figure->FSelected || OnHiddenLayer(figure.get())) continue;
        if (onLayer && figure->FLayer != onLayer) continue;
        figure->Select();
        FHasSelection = true;
    }
    ReDrawSelection();
    SelectionChanged();
}

void TVXDrawing::DeselectAll(int layer) {
    if (!FHasSelection || !ValidLayer(layer)) return;
    FHasSelection = false;
    const TLayer* onLayer = layer > 0 ? LayerAt(layer) : nullptr;
    for (const auto& figure : FFigures) {
        if (!figure->FSelected) continue;
        if (!onLayer || figure->FLayer == onLayer)
            figure->Deselect();
        else
            FHasSelection = true;
    }
    ReDrawSelection();
}

void TVXDrawing::InvertSelection() {
    if (!FHasSelection) return;
    bool any = false;
    for (const auto& figure : FFigures) {
        if (figure->FSelected) {
            figure->Deselect();
        } else {
            figure->Select();
            any = true;
        }
    }
    FHasSelection = any;
    ReDrawSelection();
    SelectionChanged();
}

void TVXDrawing::Reselect() {
    for (TFigure* figure : SelectedFigures())
        figure->RefreshHandles();
}

TFigure* TVXDrawing::GetSelectedHandle(int index) const {
    return index >= 0 && index < SelectedCount() ? FSelection[static_cast<std::size_t>(index)] : nullptr;
}

bool TVXDrawing::IsTextSelected() const {
    return std::any_of(FSelection.begin(), FSelection.end(),
                       [](const TFigure* f) { return dynamic_cast<const TText*>(f) != nullptr; });
}

namespace {
// Running extremes of a set of figures; false when the set is empty.
template <typename TRange>
bool UnionOf(const TRange& figures, double& maxX, double& maxY, double& minX, double& minY) {
    bool any = false;
    double ax = std::numeric_limits<double>::lowest(), ay = ax;
    double ix = std::numeric_limits<double>::max(), iy = ix;
    for (const auto& figure : figures) {
        figure->UnionBounds(ax, ay, ix, iy);
        any = true;
    }
    if (!any) return false;
    maxX = ax;
    maxY = ay;
    minX = ix;
    minY = iy;
    return true;
}
} // namespace

bool TVXDrawing::GetSelectionBoundS(double& maxX, double& maxY, double& minX, double& minY) const {
    return UnionOf(FSelection, maxX, maxY, minX, minY);
}

bool TVXDrawing::GetDrawingBounds(double& maxX, double& maxY, double& minX, double& minY) const {
    return UnionOf(FFigures, maxX, maxY, minX, minY);
}

TDoubleRect TVXDrawing::GetSelectionRect() const {
    double maxX = 0, maxY = 0, minX = 0, minY = 0;
    GetSelectionBoundS(maxX, maxY, minX, minY);
    return {minX, maxY, maxX, minY};
}

TDoubleRect TVXDrawing::GetDrawingRect() const {
    double maxX = 0, maxY = 0, minX = 0, minY = 0;
    GetDrawingBounds(maxX, maxY, minX, minY);
    return {minX, maxY, maxX, minY};
}

TFigure* TVXDrawing::FindFigureByName(const QString& name) const {
    for (const auto& figure : FFigures)
        if (figure->FName == name) return figure.get();
    return nullptr;
}

TModPoint* TVXDrawing::HitTestModPoint(double x, double y) const {
    const double tolerance = DrawEngine().LengthToWorld(3.0);
    for (int i = 0; i < FModPoints.Count(); ++i)
        if (FModPoints.At(i)->HitWorld(x, y, tolerance)) return FModPoints.At(i);
    return nullptr;
}

TModPoint* TVXDrawing::HitTestModPointInt(double x, double y) const {
    return HitTestModPoint(x, y);
}

void TVXDrawing::LockSelectionToMove(bool flag) {
    for (TFigure* figure : FSelection)
        figure->FLockMove = flag;
}

void TVXDrawing::LockSelectionToModify(bool flag) {
    for (TFigure* figure : FSelection)
        figure->FLockModify = flag;
}

void TVXDrawing::SelectionChanged() {
    if (FSelection.size() == 1) {
        const TFigure* figure = FSelection.front();
        FSelectedClassName = figure->FClassName;
        FStatusText = figure->FClassName + QLatin1Char('>') + figure->FName;
    } else {
        FStatusText.clear();
    }
    if (FBlinkRepaint || !OnSelectionChange) return;
    SuspendPainting();
    Fire(OnSelectionChange, this);
    ResumePainting();
}
