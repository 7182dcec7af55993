#pragma once
// A bounds index over a drawing's figures for point hit tests. Each figure is
// entered with a conservative world box: its bounds grown by the tolerances
// its hit test allows in world units (a share of its size for circles,
// ellipses and arcs, the Bézier and point-mark tolerances, arrowheads) and
// joined with the box of its device region. Tolerances in pixels (the segment
// slack and the pen width) are added to the point at look-up, at the scale of
// that moment. A point can only hit a figure whose box holds it, so testing
// just those figures, top first, gives the same answer as testing every
// figure.
//
// Figures changed since the index was built (FChangeStamp) and figures
// appended to the list are kept in a short list that every look-up tests;
// when that list grows long, or figures left or changed places (the list
// version), the index is built again.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TFigure;

class TFigureHitIndex {
public:
    using TFigureList = std::vector<std::unique_ptr<TFigure>>;

    // Brings the index up to date with the figure list.
    void Update(const TFigureList& figures, std::uint64_t listVersion);
    void Invalidate() { FBuilt = false; }
    // Indexes into the figure list of the figures whose box holds the point
    // grown by `slackPixels` at `pixelsPerMm` plus twice the largest pen
    // width, topmost first.
    void Candidates(double x, double y, double pixelsPerMm, std::vector<int>& out) const;
    // Figures the last Update had to enter anew (for tests and benchmarks).
    std::size_t PendingCount() const { return FPending.size(); }
    bool Built() const { return FBuilt; }

    static constexpr double kSlackPixels = 6.0;

private:
    struct TBox {
        double MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
    };
    static TBox Envelope(TFigure& figure);
    static std::uint64_t LatestChange(const TFigure& figure);
    void Build(const TFigureList& figures);
    bool Holds(int index, double x, double y, double grow) const;

    bool FBuilt = false;
    std::uint64_t FListVersion = 0;
    std::uint64_t FSyncedEpoch = 0;
    std::vector<TBox> FBoxes;
    std::vector<int> FPenWidths;
    int FMaxPenWidth = 0;
    // Grid over the boxes' union; a cell lists the figures whose box touches
    // it (FCellStart[c] … FCellStart[c + 1] in FCellItems).
    double FOriginX = 0, FOriginY = 0, FCellSize = 1;
    int FColumns = 0, FRows = 0;
    std::vector<std::uint32_t> FCellStart;
    std::vector<int> FCellItems;
    // Figures with boxes too large (or not finite) for the grid.
    std::vector<int> FAlways;
    // Figures whose grid entries are out of date: changed or appended.
    std::vector<int> FPending;
    std::vector<bool> FIsPending;
    // Groups: their members may change without the group's stamp.
    std::vector<int> FGroups;
};
