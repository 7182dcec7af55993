#pragma once
// THellical: a spiral of half circles between point 1 and point 2. With d the
// distance of the two points, the spiral makes four half-turns: half circles
// of the radii (d + 2i·d) / 2 (i = 0 … 3) about the point half-way between
// the two points on the side turned clockwise from the direction 1 → 2, and
// half circles of the radii i·d (i = 1 … 3) about point 1 on the other side,
// joined into one curve that starts at point 1.
//
// It is created like a line (two clicks, the document's pen defaults) and
// stores only the base record. It is hit only on the straight line between
// its points (the base test of a two-point figure); it has no offset figure
// and no Bézier conversion; copies are made through its record.

#include "model/DrawObjects.h"

#include <memory>

class THellical : public TFigure {
public:
    using TFigure::TFigure;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    // A named, initialised spiral from (x1, y1) to (x2, y2).
    static std::unique_ptr<THellical> Create(TLayer* layer, TFigureDocument* document, bool persistent, double x1,
                                             double y1, double x2, double y2, int penWidth = 1, TColor penColor = 0,
                                             int penStyle = 0);

    // Number of half-turns.
    static constexpr int kHalfTurns = 4;

    // The spiral as one poly-Bézier list; empty when the points coincide.
    TDoublePointArr BuildSpiralPath() const;

    void Initialize() override;
    QString GetTypeName() const override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    // The extent of the drawn spiral (the points themselves when they coincide).
    void GetBounds(double& maxX, double& maxY, double& minX, double& minY) const override;
    bool RubberClick(int clickNo, double x, double y) override;
    void RubberMove(int clickNo, double x, double y) override;

protected:
    static std::unique_ptr<TFigure> CreateSpiralRubber(const TFigureClass& cls, double x, double y);
    static std::unique_ptr<TFigure> CommitSpiral(TFigureDocument* document, TLayer* layer, TFigure* rubber);
};
