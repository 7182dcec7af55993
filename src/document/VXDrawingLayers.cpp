// Layer operations of the drawing. Layer numbers index the layer list; the
// base layer 0 is never deleted.
#include "document/VXDrawing.h"

void TVXDrawing::KeepLayerCopiesCurrent() {
    for (const auto& layer : FLayers) {
        layer->Engine = &DrawEngine();
        layer->VertZero = static_cast<std::uint8_t>(VerticalZero());
        layer->HorzZero = static_cast<std::uint8_t>(HorizontalZero());
    }
}

void TVXDrawing::ZeroChanged() {
    KeepLayerCopiesCurrent();
    TVXDrawBox::ZeroChanged();
}

int TVXDrawing::NewLayer(const QString& name) {
    FLayers.push_back(std::make_unique<TLayer>(name, &DrawEngine()));
    KeepLayerCopiesCurrent();
    SetUpdated(true);
    return LayerCount() - 1;
}

int TVXDrawing::GetLayerNbr(const QString& name) const {
    for (int i = 0; i < LayerCount(); ++i)
        if (FLayers[static_cast<std::size_t>(i)]->Name() == name) return i;
    return -1;
}

bool TVXDrawing::DeleteLayer(const QString& name) {
    const int index = GetLayerNbr(name);
    return index >= 0 && DeleteLayerWithNbr(index);
}

void TVXDrawing::RemoveLayerAt(int index) {
    TLayer* active = LayerAt(ActiveLayer());
    FLayers.erase(FLayers.begin() + index);
    const int kept = IndexOfLayer(active);
    if (kept != ActiveLayer()) SetActiveLayer(kept >= 0 ? kept : 0);
}

bool TVXDrawing::DeleteLayerWithNbr(int index) {
    if (index <= 0 || index >= LayerCount()) return false;
    // Figures the history keeps out of the drawing may lie on the layer.
    ClearUndoList();
    if (ActiveLayer() == index) SetActiveLayer(0);
    TBusyGuard guard(*this);
    const TLayer* layer = FLayers[static_cast<std::size_t>(index)].get();
    std::vector<TFigure*> doomed = FiguresOnLayer(layer);
    // From the back of the figure list to the front, one event per figure; a
    // handler may remove figures itself, which are then skipped.
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
        std::unique_ptr<TFigure> figure = TakeFigure(*it);
        if (!figure) continue;
        figure->FDeleted = true;
        DisposeFigure(std::move(figure));
        Fire(OnAfterDelete, this);
    }
    // A handler may have put figures onto the layer meanwhile: none may keep it.
    for (TFigure* figure : FiguresOnLayer(layer))
        DisposeFigure(TakeFigure(figure));
    const int current = IndexOfLayer(layer);
    if (current > 0) RemoveLayerAt(current);
    Refresh();
    SetUpdated(true);
    return true;
}

void TVXDrawing::DeleteAllUserLayers() {
    for (int i = LayerCount() - 1; i >= 1; --i)
        DeleteLayerWithNbr(i);
}

void TVXDrawing::ShowLayer(int index) {
    if (!ValidLayer(index)) return;
    FLayers[static_cast<std::size_t>(index)]->State = TLayerState::Visible;
    Refresh();
    SetUpdated(true);
}

void TVXDrawing::HideLayer(int index) {
    if (!ValidLayer(index)) return;
    TLayer* layer = FLayers[static_cast<std::size_t>(index)].get();
    for (TFigure* figure : FiguresOnLayer(layer))
        figure->Deselect();
    layer->State = TLayerState::Hidden;
    if (SelectedFigures().empty()) FHasSelection = false;
    Refresh();
    SetUpdated(true);
}

void TVXDrawing::GrayLayer(int index) {
    if (!ValidLayer(index)) return;
    TLayer* layer = FLayers[static_cast<std::size_t>(index)].get();
    if (layer->State == TLayerState::Hidden) return;
    layer->State = TLayerState::Grayed;
    Refresh();
    SetUpdated(true);
}

void TVXDrawing::ShowAllLayers() {
    for (const auto& layer : FLayers)
        layer->State = TLayerState::Visible;
    Refresh();
    SetUpdated(true);
}

void TVXDrawing::HideAllLayers() {
    for (const auto& figure : FFigures)
        figure->Deselect();
    FHasSelection = false;
    for (const auto& layer : FLayers)
        layer->State = TLayerState::Hidden;
    Refresh();
    SetUpdated(true);
}

void TVXDrawing::ExGrayLayer(int index) {
    if (!ValidLayer(index)) return;
    for (const auto& layer : FLayers)
        if (layer->State == TLayerState::Visible) layer->State = TLayerState::Grayed;
    FLayers[static_cast<std::size_t>(index)]->State = TLayerState::Visible;
    Refresh();
    SetUpdated(true);
}

void TVXDrawing::ExHideLayer(int index) {
    if (!ValidLayer(index)) return;
    for (const auto& figure : FFigures)
        if (figure->FLayer != FLayers[static_cast<std::size_t>(index)].get()) figure->Deselect();
    if (SelectedFigures().empty()) FHasSelection = false;
    for (const auto& layer : FLayers)
        layer->State = TLayerState::Hidden;
    FLayers[static_cast<std::size_t>(index)]->State = TLayerState::Visible;
    Refresh();
    SetUpdated(true);
}

void TVXDrawing::MergeAllLayers() {
    ClearUndoList();
    TLayer* base = FLayers.front().get();
    for (const auto& figure : FFigures)
        figure->FLayer = base;
    while (LayerCount() > 1)
        RemoveLayerAt(LayerCount() - 1);
    Refresh();
    SetUpdated(true);
}

void TVXDrawing::MergeVisibleLayers() {
    int target = -1;
    for (int i = 0; i < LayerCount() && target < 0; ++i)
        if (FLayers[static_cast<std::size_t>(i)]->IsVisible()) target = i;
    if (target < 0) return;
    ClearUndoList();
    TLayer* targetLayer = FLayers[static_cast<std::size_t>(target)].get();
    for (const auto& figure : FFigures)
        if (figure->FLayer && figure->FLayer->IsVisible()) figure->FLayer = targetLayer;
    for (int i = LayerCount() - 1; i >= 0; --i) {
        const TLayer* layer = FLayers[static_cast<std::size_t>(i)].get();
        if (layer != targetLayer && layer->IsVisible()) RemoveLayerAt(i);
    }
    Refresh();
    SetUpdated(true);
}

QString TVXDrawing::GetLayerName(int index) const {
    const TLayer* layer = LayerAt(index);
    return layer ? layer->Name() : QString();
}

TLayer* TVXDrawing::GetLayerHandle(int index) const {
    return LayerAt(index);
}

bool TVXDrawing::GetLayerVisible(int index) const {
    const TLayer* layer = LayerAt(index);
    return layer && layer->IsVisible();
}

bool TVXDrawing::GetLayerGrayed(int index) const {
    const TLayer* layer = LayerAt(index);
    return layer && layer->IsGrayed();
}
