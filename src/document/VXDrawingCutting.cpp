// Cutting, welding and converting the selection: welding touching pieces into
// one polyline, chaining lines into a polyline, breaking figures where lines
// cross them, cutting with a knife line and turning figures into their Bézier
// form. Figures on hidden layers are left alone.
#include "document/VXDrawing.h"

#include "model/Arc.h"
#include "model/ElpArc.h"
#include "model/Geometry.h"
#include "model/Group.h"
#include "model/Line.h"
#include "model/Polyline.h"
#include "model/Text.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <unordered_set>

namespace {

// A two-point line: a line that is not one of the polyline classes.
bool IsPlainLine(const TFigure* figure) {
    return dynamic_cast<const TLine*>(figure) != nullptr && !figure->IsPolyline();
}

// Pieces a figure hands over as raw pointers belong to the caller.
std::vector<std::unique_ptr<TFigure>> TakePieces(std::vector<TFigure*>& list, const TFigure* source) {
    std::vector<std::unique_ptr<TFigure>> pieces;
    for (TFigure* piece : list)
        if (piece && piece != source) pieces.emplace_back(piece);
    list.clear();
    return pieces;
}

// --- welding ---

enum class TWeldKind { Line, Polyline, Arc };

// One piece of a weld: the figure in the drawing and the shape that gives
// its course (an elliptic arc runs along its Bézier form).
struct TWeldPiece {
    TFigure* Source = nullptr;
    TFigure* Shape = nullptr;
    std::unique_ptr<TFigure> Temp;
    TWeldKind Kind = TWeldKind::Line;
    TDoublePoint First;
    TDoublePoint Last;
    // Runs from its last point to its first.
    bool Backwards = false;
};

// The piece a figure gives to a weld; none for a figure that cannot be part
// of a chain (other classes, closed outlines, pieces without length).
std::optional<TWeldPiece> WeldPieceOf(TFigure* figure) {
    TWeldPiece piece;
    piece.Source = figure;
    piece.Shape = figure;
    if (auto* polyline = dynamic_cast<TPolyline*>(figure)) {
        if (polyline->Closed() || polyline->NodeCount() < 2) return std::nullopt;
        piece.Kind = TWeldKind::Polyline;
        piece.First = polyline->GetPoint(1);
        piece.Last = polyline->GetPoint(polyline->NodeCount());
    } else if (IsPlainLine(figure)) {
        piece.Kind = TWeldKind::Line;
        piece.First = figure->GetPoint(1);
        piece.Last = figure->GetPoint(2);
    } else if (auto* arc = dynamic_cast<TArc*>(figure)) {
        if (arc->IsFullTurn() || !(std::abs(arc->Radius()) > 0)) return std::nullopt;
        piece.Kind = TWeldKind::Arc;
        piece.First = arc->GetPoint(2);
        piece.Last = arc->GetPoint(3);
    } else if (auto* elliptic = dynamic_cast<TElpArc*>(figure)) {
        if (elliptic->IsFullTurn()) return std::nullopt;
        std::unique_ptr<TFigure> form = elliptic->ConvertToBezier();
        auto* course = dynamic_cast<TPolyline*>(form.get());
        if (!course || course->NodeCount() < 2) return std::nullopt;
        piece.Kind = TWeldKind::Polyline;
        piece.Shape = course;
        piece.First = course->GetPoint(1);
        piece.Last = course->GetPoint(course->NodeCount());
        piece.Temp = std::move(form);
    } else {
        return std::nullopt;
    }
    if (SamePoint(piece.First, piece.Last)) return std::nullopt;
    return piece;
}

bool TouchesEnd(const TDoublePoint& p, const TWeldPiece& other) {
    return SamePoint(p, other.First) || SamePoint(p, other.Last);
}

// 1: a's first point touches an end of b; 2: its last point; 3: both.
int ContactCode(const TWeldPiece& a, const TWeldPiece& b) {
    return (TouchesEnd(a.First, b) ? 1 : 0) | (TouchesEnd(a.Last, b) ? 2 : 0);
}

TDoublePoint StartOf(const TWeldPiece& piece) { return piece.Backwards ? piece.Last : piece.First; }
TDoublePoint EndOf(const TWeldPiece& piece) { return piece.Backwards ? piece.First : piece.Last; }

// Appends the points a piece adds after its start and the segments leading
// to them.
void AppendWeldPiece(const TWeldPiece& piece, TDoublePointArr& nodes, std::vector<TPlSegment>& segments) {
    switch (piece.Kind) {
    case TWeldKind::Line:
        nodes.push_back(EndOf(piece));
        segments.push_back(TPlSegment{});
        break;
    case TWeldKind::Arc: {
        const auto* arc = static_cast<const TArc*>(piece.Shape);
        TPlSegment segment;
        segment.Kind = SegmentKind::Arc;
        segment.Ctrl1 = segment.Ctrl2 = arc->Centre();
        // The arc runs counter-clockwise from its first point to its last.
        segment.Inverted = piece.Backwards;
        nodes.push_back(EndOf(piece));
        segments.push_back(segment);
        break;
    }
    case TWeldKind::Polyline: {
        const auto* polyline = static_cast<const TPolyline*>(piece.Shape);
        const int n = polyline->NodeCount();
        const std::vector<TPlSegment>& source = polyline->Segments();
        const auto at = [&](int i) {
            return i >= 1 && static_cast<std::size_t>(i) <= source.size() ? source[static_cast<std::size_t>(i - 1)]
                                                                             : TPlSegment{};
        };
        if (!piece.Backwards) {
            for (int i = 1; i < n; ++i) {
                TPlSegment segment = at(i);
                segment.HasDimension = false;
                nodes.push_back(polyline->GetPoint(i + 1));
                segments.push_back(segment);
            }
        } else {
            for (int i = n - 1; i >= 1; --i) {
                // Segment i walked from node i + 1 back to node i.
                TPlSegment segment = at(i);
                std::swap(segment.Ctrl1, segment.Ctrl2);
                // An arc segment keeps its course only when it turns the
                // other way round between the swapped ends.
                if (segment.IsArc()) segment.Inverted = !segment.Inverted;
                segment.Smooth = at(i + 1).Smooth;
                segment.HasDimension = false;
                nodes.push_back(polyline->GetPoint(i));
                segments.push_back(segment);
            }
        }
        break;
    }
    }
}

// --- Bézier forms ---

// The Bézier form of a figure; none when it has none. Members of a group
// that have no Bézier form of their own keep their shape as copies.
std::unique_ptr<TFigure> BezierFormOf(TFigure* figure) {
    auto* group = dynamic_cast<TFigureGrp*>(figure);
    if (!group) return figure->ConvertToBezier();
    std::unique_ptr<TFigureGrp> converted = TFigureGrp::Create(group->FLayer, group->FDrawing, true);
    bool any = false;
    for (int i = 0; i < group->Count(); ++i) {
        TFigure* member = group->Member(i);
        std::unique_ptr<TFigure> form = BezierFormOf(member);
        if (form) {
            any = true;
            converted->Add(std::move(form));
        } else {
            converted->Add(member->Clone());
        }
    }
    if (!any || converted->Count() == 0) return nullptr;
    converted->FDiagonal = group->FDiagonal;
    converted->SetCombined(group->Combined());
    converted->RecalcBounds();
    return converted;
}

// --- breaking ---

// Bounds that keep breaking finite whatever the geometry.
constexpr int kMaxBreakRounds = 20000;
constexpr std::size_t kMaxBreakPieces = 50000;

} // namespace

// --- welding ---

std::intptr_t TVXDrawing::WeldIntoPolyline() {
    // In selection order, ties in drawing order. (Not stable_sort: its
    // temporary buffer trips the sanitizer's allocator check on this libstdc++.)
    std::vector<TFigure*> inDrawingOrder = EditableSelection();
    std::vector<std::size_t> order(inDrawingOrder.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const auto ka = inDrawingOrder[a]->FSelectOrder, kb = inDrawingOrder[b]->FSelectOrder;
        return ka != kb ? ka < kb : a < b;
    });
    std::vector<TFigure*> selected;
    selected.reserve(order.size());
    for (std::size_t k : order) selected.push_back(inDrawingOrder[k]);
    std::vector<TWeldPiece> candidates;
    for (TFigure* figure : selected)
        if (std::optional<TWeldPiece> piece = WeldPieceOf(figure)) candidates.push_back(std::move(*piece));
    if (candidates.size() < 2) return 0;

    // The start is an end of a chain; in a ring any piece will do. Pieces
    // that touch nothing are no start: they simply stay out of the weld.
    std::vector<int> sums(candidates.size(), 0);
    for (std::size_t k = 0; k < candidates.size(); ++k)
        for (std::size_t j = 0; j < candidates.size(); ++j)
            if (j != k) sums[k] += ContactCode(candidates[k], candidates[j]);
    auto startAt = std::find_if(sums.begin(), sums.end(), [](int sum) { return sum > 0 && sum < 3; });
    if (startAt == sums.end()) startAt = std::find_if(sums.begin(), sums.end(), [](int sum) { return sum > 0; });
    if (startAt == sums.end()) return 0;
    const auto start = static_cast<std::size_t>(startAt - sums.begin());

    std::vector<TWeldPiece> chain;
    chain.push_back(std::move(candidates[start]));
    candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(start));
    TDoublePoint startPoint;
    TDoublePoint freeEnd;
    bool closed = false;
    while (!candidates.empty() && !closed) {
        const TWeldPiece& last = chain.back();
        auto next = candidates.end();
        for (auto it = candidates.begin(); it != candidates.end(); ++it) {
            // Past the second piece a branch point is no way on: the next
            // piece must carry on from the free end.
            const bool touches = chain.size() == 1 ? ContactCode(last, *it) != 0 : TouchesEnd(freeEnd, *it);
            if (touches) {
                next = it;
                break;
            }
        }
        if (next == candidates.end()) break;
        TWeldPiece piece = std::move(*next);
        candidates.erase(next);
        if (chain.size() == 1) {
            TWeldPiece& first = chain.front();
            first.Backwards = TouchesEnd(first.First, piece);
            startPoint = StartOf(first);
            freeEnd = EndOf(first);
        }
        if (SamePoint(piece.First, freeEnd))
            piece.Backwards = false;
        else if (SamePoint(piece.Last, freeEnd))
            piece.Backwards = true;
        else
            return 0;
        freeEnd = EndOf(piece);
        chain.push_back(std::move(piece));
        closed = SamePoint(freeEnd, startPoint);
    }
    if (chain.size() < 2) return 0;

    TDoublePointArr nodes{startPoint};
    std::vector<TPlSegment> segments;
    for (const TWeldPiece& piece : chain) AppendWeldPiece(piece, nodes, segments);
    if (closed)
        nodes.pop_back(); // the last piece ends where the first began
    else
        segments.push_back(TPlSegment{});
    for (std::size_t k = 0; k < segments.size(); ++k) segments[k].Index = static_cast<int>(k) + 1;

    std::unique_ptr<TPolyline> polyline = TPolyline::Create(
        nodes, this, true, chain.front().Source->FLayer, closed, FDefaults.RowStyle, FDefaults.BrushColor,
        static_cast<int>(FDefaults.BrushStyle), FDefaults.PenColor, static_cast<int>(FDefaults.PenStyle),
        FDefaults.PenWidth);
    if (!polyline || polyline->Segments().size() != segments.size()) return 0;
    polyline->FSegments = std::move(segments);
    polyline->FreeRegion();

    // Only the welded pieces are deleted: the other selected figures step
    // aside while the selection is removed and are selected again after.
    struct TAside {
        TFigure* Figure;
        int SelectOrder;
        bool Primary;
    };
    std::vector<TAside> aside;
    for (TFigure* figure : SelectedFigures()) {
        const bool welded = std::any_of(chain.begin(), chain.end(),
                                        [figure](const TWeldPiece& piece) { return piece.Source == figure; });
        if (welded) continue;
        aside.push_back({figure, figure->FSelectOrder, figure->FPrimarySelected});
        figure->Deselect();
    }
    FHasSelection = true;
    const TUndoAction* newest = FUndoList.empty() ? nullptr : FUndoList.front().get();
    RemoveSelection();
    if (!FUndoList.empty() && FUndoList.front().get() != newest &&
        FUndoList.front()->ActionKind == TUndoKind::Delete)
        FUndoList.front()->Chain = 2; // redone together with the insertion that follows
    for (const TAside& entry : aside) {
        if (IndexOfFigure(entry.Figure) < 0) continue;
        entry.Figure->Select();
        entry.Figure->FSelectOrder = entry.SelectOrder;
        entry.Figure->FPrimarySelected = entry.Primary;
    }

    TFigure* added = AppendFigure(std::move(polyline), true);
    RecordInsert(added, 1);
    Fire(OnObjectInserted, this, TInsertReason::irCreate);
    FHasSelection = true;
    SetUpdated(true);
    RefreshSelection();
    Refresh();
    return added->FHandle;
}

std::intptr_t TVXDrawing::MakeSelectedLinesPolyline() {
    std::vector<TFigure*> lines;
    for (TFigure* figure : EditableSelection())
        if (IsPlainLine(figure) && figure->PointCount() >= 2) lines.push_back(figure);
    if (lines.empty()) return 0;
    TDoublePointArr points;
    for (TFigure* line : lines) {
        const TDoublePoint p1 = line->GetPoint(1);
        if (points.empty() || points.back().X != p1.X || points.back().Y != p1.Y) points.push_back(p1);
        points.push_back(line->GetPoint(2));
    }
    const TFigure* first = lines.front();
    std::unique_ptr<TPolyline> polyline = TPolyline::Create(
        points, this, true, first->FLayer, false, first->RowStyle(), FDefaults.BrushColor,
        static_cast<int>(FDefaults.BrushStyle), first->FPenColor, first->FPenStyle, first->FPenWidth);
    if (!polyline) return 0;
    polyline->FRowStyle = first->FRowStyle;
    TFigure* added = nullptr;
    {
        TBusyGuard guard(*this);
        // No step records this: steps of the history that still refer to a
        // line keep it alive out of the drawing.
        for (TFigure* line : lines) RemoveForUndo(line, nullptr);
        added = AppendFigure(std::move(polyline), true);
        Fire(OnObjectInserted, this, TInsertReason::irCreate);
    }
    FHasSelection = true;
    SetUpdated(true);
    RefreshSelection();
    Refresh();
    return added->FHandle;
}

// --- cutting ---

void TVXDrawing::KnifeSelection(const TDoublePoint& p1, const TDoublePoint& p2) {
    if (SamePoint(p1, p2)) return; // a knife without length cuts nothing
    const std::vector<TFigure*> selected = EditableSelection();
    if (selected.empty()) return;
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Replace);
    std::vector<std::unique_ptr<TFigure>> pieces;
    {
        TBusyGuard guard(*this);
        for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
            TFigure* figure = *it;
            if (IndexOfFigure(figure) < 0) continue;
            std::vector<TFigure*> list;
            const bool cut = figure->CutByLine(p1, p2, list);
            std::vector<std::unique_ptr<TFigure>> made = TakePieces(list, figure);
            if (!cut || made.empty()) continue;
            for (auto& piece : made) pieces.push_back(std::move(piece));
            RemoveForUndo(figure, step.get());
            if (step) {
                // A replaced figure, not a new one.
                step->Figures.pop_back();
                step->Extra.push_back(figure);
            }
        }
        for (auto& piece : pieces) {
            TFigure* added = AppendFigure(std::move(piece), true);
            if (step) StepHold(*step, added);
        }
    }
    if (pieces.empty()) return;
    CommitStep(std::move(step), false);
    FHasSelection = !SelectedFigures().empty();
    SetUpdated(true);
    RefreshSelection();
    Refresh();
}

void TVXDrawing::InterBreakSelection() {
    std::vector<TFigure*> working = EditableSelection();
    if (working.empty()) return;
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Replace);

    // Pieces stay alive until the end, so that no address is seen twice.
    std::vector<std::unique_ptr<TFigure>> owned;
    std::unordered_set<const TFigure*> replacedSet;
    std::vector<TFigure*> replaced;
    std::unordered_set<const TFigure*> hasCut;
    const auto isOwned = [&](const TFigure* figure) {
        return std::any_of(owned.begin(), owned.end(), [figure](const auto& p) { return p.get() == figure; });
    };
    const auto markReplaced = [&](TFigure* figure) {
        if (replacedSet.insert(figure).second) replaced.push_back(figure);
    };

    for (int round = 0; round < kMaxBreakRounds && owned.size() < kMaxBreakPieces; ++round) {
        const auto cutterAt = std::find_if(working.begin(), working.end(), [&](const TFigure* figure) {
            return IsPlainLine(figure) && !hasCut.count(figure);
        });
        if (cutterAt == working.end()) break;
        TFigure* cutter = *cutterAt;
        const TDoublePoint a = cutter->GetPoint(1);
        const TDoublePoint b = cutter->GetPoint(2);
        hasCut.insert(cutter);
        if (SamePoint(a, b)) continue; // no length, no direction to cut along

        TDoublePointArr crossings;
        std::vector<TFigure*> leaving;
        std::vector<TFigure*> joining;
        const std::vector<TFigure*> others = working;
        for (TFigure* figure : others) {
            if (figure == cutter) continue;
            std::vector<TFigure*> list;
            const bool cut = figure->CutByLine(a, b, list);
            std::vector<std::unique_ptr<TFigure>> made = TakePieces(list, figure);
            if (!cut || made.empty()) continue;
            TDoublePointArr points;
            figure->IntersectLine(a, b, points);
            for (const TDoublePoint& p : points) {
                // Crossings at the cutter's own ends do not split it, and a
                // crossing reported twice splits it once.
                if (SamePoint(p, a) || SamePoint(p, b)) continue;
                if (std::any_of(crossings.begin(), crossings.end(),
                                [&p](const TDoublePoint& q) { return SamePoint(p, q); }))
                    continue;
                crossings.push_back(p);
            }
            markReplaced(figure);
            leaving.push_back(figure);
            for (auto& piece : made) {
                // A line piece without length has nothing left to cut.
                if (IsPlainLine(piece.get()) && SamePoint(piece->GetPoint(1), piece->GetPoint(2)))
                    hasCut.insert(piece.get());
                joining.push_back(piece.get());
                owned.push_back(std::move(piece));
            }
        }
        if (!crossings.empty()) {
            std::vector<TFigure*> list;
            const bool split = cutter->SplitAtPoints(crossings, list);
            std::vector<std::unique_ptr<TFigure>> made = TakePieces(list, cutter);
            if (split && !made.empty()) {
                markReplaced(cutter);
                leaving.push_back(cutter);
                for (auto& piece : made) {
                    hasCut.insert(piece.get());
                    joining.push_back(piece.get());
                    owned.push_back(std::move(piece));
                }
            }
        }
        std::erase_if(working, [&](const TFigure* figure) {
            return std::find(leaving.begin(), leaving.end(), figure) != leaving.end();
        });
        working.insert(working.end(), joining.begin(), joining.end());
    }

    bool changed = false;
    {
        TBusyGuard guard(*this);
        for (auto it = replaced.rbegin(); it != replaced.rend(); ++it) {
            TFigure* figure = *it;
            if (isOwned(figure)) continue; // an intermediate piece, freed below
            if (IndexOfFigure(figure) < 0) continue;
            RemoveForUndo(figure, step.get());
            if (step) {
                step->Figures.pop_back();
                step->Extra.push_back(figure);
            }
            changed = true;
        }
        for (auto& piece : owned) {
            if (replacedSet.count(piece.get())) continue;
            TFigure* added = AppendFigure(std::move(piece), true);
            if (step) StepHold(*step, added);
            changed = true;
        }
    }
    owned.clear();
    if (!changed) return;
    CommitStep(std::move(step), false);
    FHasSelection = !SelectedFigures().empty();
    SetUpdated(true);
    RefreshSelection();
    Refresh();
}

// --- Bézier conversions ---

void TVXDrawing::DuplicateSelectionAsBezier(double dx, double dy) {
    const std::vector<TFigure*> sources = EditableSelection();
    if (sources.empty()) return;
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Insert);
    for (TFigure* figure : SelectedFigures()) figure->Deselect();
    FSelection.clear();
    {
        TBusyGuard guard(*this);
        const auto append = [&](std::unique_ptr<TFigure> figure) {
            TFigure* added = AppendFigure(std::move(figure), true);
            if (step) StepHold(*step, added);
            Fire(OnObjectInserted, this, TInsertReason::irCreate);
        };
        for (TFigure* source : sources) {
            std::unique_ptr<TFigure> form = BezierFormOf(source);
            if (!form) continue;
            form->Move(dx, dy);
            auto* outlines = dynamic_cast<TFigureGrp*>(form.get());
            if (outlines && dynamic_cast<TText*>(source)) {
                // A text's outlines become figures of their own.
                outlines->Ungroup();
                for (std::unique_ptr<TFigure>& member : outlines->TakeMembers())
                    if (member) append(std::move(member));
            } else {
                append(std::move(form));
            }
        }
    }
    FHasSelection = true;
    CommitStep(std::move(step), false);
    SetUpdated(true);
    RefreshSelection();
    Refresh();
}

void TVXDrawing::ConvertSelectionToBezier() {
    const std::vector<TFigure*> sources = EditableSelection();
    if (sources.empty()) return;
    std::unique_ptr<TUndoAction> step = BeginUndoStep(TUndoKind::Replace);
    bool changed = false;
    {
        TBusyGuard guard(*this);
        const auto append = [&](std::unique_ptr<TFigure> figure) {
            TFigure* added = AppendFigure(std::move(figure), true);
            if (step) StepHold(*step, added);
        };
        for (TFigure* source : sources) {
            if (IndexOfFigure(source) < 0) continue;
            std::unique_ptr<TFigure> form = BezierFormOf(source);
            if (!form) continue;
            source->Deselect();
            auto* outlines = dynamic_cast<TFigureGrp*>(form.get());
            if (outlines && !dynamic_cast<TFigureGrp*>(source)) {
                outlines->Ungroup();
                for (std::unique_ptr<TFigure>& member : outlines->TakeMembers())
                    if (member) append(std::move(member));
            } else {
                append(std::move(form));
            }
            RemoveForUndo(source, step.get());
            if (step) {
                step->Figures.pop_back();
                step->Extra.push_back(source);
            }
            changed = true;
        }
    }
    if (!changed) return;
    CommitStep(std::move(step), false);
    FHasSelection = !SelectedFigures().empty();
    SetUpdated(true);
    RefreshSelection();
    Refresh();
}
