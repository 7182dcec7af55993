#include "document/VXDrawing.h"

#include "model/FigureClass.h"
#include "model/FigureEngine.h"

#include <QTimer>
#include <algorithm>
#include <cstring>

TVXDrawing::TVXDrawing(QWidget* parent) : TVXDrawBox(parent) {
    RegisterDocumentClasses();
    FLayers.push_back(std::make_unique<TLayer>(QStringLiteral("Base Layer"), &DrawEngine()));
    KeepLayerCopiesCurrent();
    FPatterns = BuiltInPatterns();
    FBlinkTimer = new QTimer(this);
    FBlinkTimer->setInterval(400);
    QObject::connect(FBlinkTimer, &QTimer::timeout, this, [this] { BlinkTick(); });
    CreateChannels();
}

TVXDrawing::~TVXDrawing() {
    OnBeforeDelete = nullptr;
    FRecordUndo = false;
    FSelection.clear();
    FBlinkingHandles.clear();
    // Figures hand their handles back to this document while they go.
    FNames.Clear();
    while (!FFigures.empty())
        FFigures.pop_back();
    FUndoList.clear();
    FHeld.clear();
    FGraveyard.clear();
    FLayers.clear();
    FPatterns.clear();
    FDrawingStream.reset();
}

TVXDrawing::TBusyGuard::~TBusyGuard() {
    if (--FDrawing.FBusy == 0) FDrawing.FGraveyard.clear();
}

// --- the figure's view of the document ---

int TVXDrawing::LayerCount() const {
    return static_cast<int>(FLayers.size());
}

TLayer* TVXDrawing::LayerAt(int index) const {
    return ValidLayer(index) ? FLayers[index].get() : nullptr;
}

int TVXDrawing::IndexOfLayer(const TLayer* layer) const {
    for (int i = 0; i < LayerCount(); ++i)
        if (FLayers[i].get() == layer) return i;
    return -1;
}

TFigureEngine* TVXDrawing::Engine() const {
    return &DrawEngine();
}

TModPoint* TVXDrawing::AddHandle(std::unique_ptr<TModPoint> handle) {
    return FModPoints.Add(std::move(handle));
}

void TVXDrawing::RemoveHandle(TModPoint* handle) {
    std::erase(FBlinkingHandles, handle);
    FModPoints.Remove(handle);
}

int TVXDrawing::NextSelectOrder() {
    return ++FSelectCounter;
}

void TVXDrawing::SetHasSelection(bool value) {
    FHasSelection = value;
}

bool TVXDrawing::IsNameUsed(const QString& name, const TFigure* except) const {
    if (!FNames.Valid()) FNames.Rebuild(FFigures);
    return FNames.IsUsed(name, except);
}

void TVXDrawing::FigureRenamed(TFigure* figure) {
    FNames.Renamed(figure);
}

TFigureDefaults TVXDrawing::Defaults() const {
    return FDefaults;
}

int TVXDrawing::PatternCount() const {
    return static_cast<int>(FPatterns.size());
}

const TPattern* TVXDrawing::PatternAt(int index) const {
    return index >= 0 && index < PatternCount() ? FPatterns[static_cast<std::size_t>(index)].get() : nullptr;
}

std::vector<TFigure*> TVXDrawing::HitCandidates(double x, double y) {
    std::vector<TFigure*> result;
    // Small drawings and drawings whose figures the application hit-tests
    // itself are searched figure by figure.
    const TFigureEngine* engine = Engine();
    if (FigureCount() < kHitIndexMinFigures || OnUserHitTest || !engine) {
        result.reserve(FFigures.size());
        for (auto it = FFigures.rbegin(); it != FFigures.rend(); ++it) result.push_back(it->get());
        return result;
    }
    FHitIndex.Update(FFigures, FListVersion);
    std::vector<int> indexes;
    FHitIndex.Candidates(x, y, engine->LengthToDevice(1.0), indexes);
    result.reserve(indexes.size());
    for (int i : indexes) result.push_back(FFigures[static_cast<std::size_t>(i)].get());
    return result;
}

TFigure* TVXDrawing::FigureAt(double x, double y, const TFigure* except) {
    const std::uint64_t removals = FRemovals;
    for (TFigure* figure : HitCandidates(x, y)) {
        if (!StillOwned(figure, removals)) continue;
        if (figure == except || (figure->FLayer && !figure->FLayer->IsVisible())) continue;
        if (figure->HitTest(x, y) && StillOwned(figure, removals)) return figure;
    }
    return nullptr;
}

void TVXDrawing::FigureModified(TFigure* figure) {
    Fire(OnFigureModify, this, figure);
}

void TVXDrawing::FigureEdit(TFigure* figure) {
    Fire(OnFigureEdit, this, figure);
}

bool TVXDrawing::UserDraw(TFigure* figure, const QString& customName, TFigureEngine& engine, bool grayed) {
    bool drawed = false;
    Fire(OnUserDraw, this, customName, engine, figure, grayed, drawed);
    return drawed;
}

std::optional<bool> TVXDrawing::UserHitTest(TFigure* figure, const QString& customName, double x, double y) {
    bool test = false;
    bool tested = false;
    Fire(OnUserHitTest, this, customName, figure, x, y, test, tested);
    if (tested) return test;
    return std::nullopt;
}

// --- figures ---

TFigure* TVXDrawing::GetFigure(int index) const {
    return index >= 0 && index < FigureCount() ? FFigures[static_cast<std::size_t>(index)].get() : nullptr;
}

int TVXDrawing::IndexOfFigure(const TFigure* figure) const {
    for (int i = 0; i < FigureCount(); ++i)
        if (FFigures[static_cast<std::size_t>(i)].get() == figure) return i;
    return -1;
}

bool TVXDrawing::StillOwned(const TFigure* figure, std::uint64_t removals) const {
    return removals == FRemovals || IndexOfFigure(figure) >= 0;
}

TFigure* TVXDrawing::AddFigure(std::unique_ptr<TFigure> figure, bool select, TInsertReason reason) {
    if (!figure) return nullptr;
    TFigure* added = figure.get();
    FNames.Add(added);
    FFigures.push_back(std::move(figure)); // appended figures reach the hit index without a rebuild
    if (select) {
        added->Select();
        FHasSelection = true;
    }
    Fire(OnObjectInserted, this, reason);
    SetUpdated(true);
    return added;
}

std::unique_ptr<TFigure> TVXDrawing::TakeFigure(TFigure* figure) {
    const int index = IndexOfFigure(figure);
    if (index < 0) return nullptr;
    figure->Deselect();
    std::erase(FSelection, figure);
    // No figure may stay bound to one that leaves the drawing.
    figure->Unbound();
    const std::vector<TFigure*> joined = figure->FJoinedLines;
    for (TFigure* line : joined) {
        if (line->FJoin1 == figure) line->SetJoin1(nullptr);
        if (line->FJoin2 == figure) line->SetJoin2(nullptr);
    }
    FNames.Remove(figure);
    ++FListVersion;
    std::unique_ptr<TFigure> owner = std::move(FFigures[static_cast<std::size_t>(index)]);
    FFigures.erase(FFigures.begin() + index);
    ++FRemovals;
    return owner;
}

void TVXDrawing::DisposeFigure(std::unique_ptr<TFigure> figure) {
    if (!figure) return;
    KeepClipFigureAlive(figure.get());
    if (FBusy > 0)
        FGraveyard.push_back(std::move(figure));
    else
        figure.reset();
}

bool TVXDrawing::ReplaceFigure(TFigure* old, std::unique_ptr<TFigure> replacement) {
    const int index = IndexOfFigure(old);
    if (index < 0 || !replacement) return false;
    const bool selected = old->FSelected;
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Replace);
    std::unique_ptr<TFigure> owner = Unlist(old, step ? &step->Joins : nullptr);
    owner->FDeleted = true;
    owner->FUndoIndex = index;
    if (step) {
        // The step keeps the replaced figure (its caller may still be running on it).
        StepHoldExtra(*step, old);
        HoldOrDispose(std::move(owner));
    } else {
        FReplaced.push_back(std::move(owner));
    }
    TFigure* added = replacement.get();
    FNames.Add(added);
    ++FListVersion;
    FFigures.insert(FFigures.begin() + index, std::move(replacement));
    if (selected) added->Select();
    if (step) {
        StepHold(*step, added);
        AddUndoAction(std::move(step));
    }
    SetUpdated(true);
    return true;
}

void TVXDrawing::DeleteFigure(TFigure* figure) {
    if (IndexOfFigure(figure) < 0) return;
    // Steps of the history that still refer to it keep it alive.
    RemoveForUndo(figure, nullptr);
    SetUpdated(true);
}

std::vector<TFigure*> TVXDrawing::SelectedFigures() const {
    std::vector<TFigure*> result;
    for (const auto& figure : FFigures)
        if (figure->FSelected) result.push_back(figure.get());
    return result;
}

std::vector<TFigure*> TVXDrawing::FiguresOnLayer(const TLayer* layer) const {
    std::vector<TFigure*> result;
    for (const auto& figure : FFigures)
        if (figure->FLayer == layer) result.push_back(figure.get());
    return result;
}

// --- custom data ---

std::optional<QByteArray> TVXDrawing::GetCustomStream() const {
    if (!FDrawingStream) return std::nullopt;
    const auto& bytes = FDrawingStream->Data();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

void TVXDrawing::SetCustomStream(int size, const void* source) {
    if (size <= 0 || !source) {
        FDrawingStream.reset();
        return;
    }
    FDrawingStream = std::make_unique<TMemoryStream>(source, static_cast<std::size_t>(size));
}

std::optional<QByteArray> TVXDrawing::GetFigureCustomStream(const TFigure* figure) const {
    if (!figure || !figure->FCustomStream) return std::nullopt;
    const auto& bytes = figure->FCustomStream->Data();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

void TVXDrawing::SetFigureCustomStream(TFigure* figure, int size, const void* source) {
    if (!figure) return;
    if (size <= 0 || !source)
        figure->FCustomStream.reset();
    else
        figure->FCustomStream = std::make_unique<TMemoryStream>(source, static_cast<std::size_t>(size));
}
