#pragma once
// TRectangle: a four-cornered figure that may be turned, filled and carry
// dimensions along its sides; TUserRectangle: the same, drawn and hit-tested
// by the application first.
//
// Points 1 … 4 are the corners in order around the rectangle; a rectangle
// from (x1, y1) to (x2, y2) has P1 = (x1, y1), P2 = (x2, y1), P3 = (x2, y2),
// P4 = (x1, y2). Selection handles, bounds and the hit test are the base
// operations of four-cornered figures; handle drags resize the rectangle in
// its own frame (model/RectangleFrame.h).

#include "model/DrawObjects.h"
#include "model/RectangleFrame.h"

#include <memory>

class TRectangle : public TFigure {
public:
    using TFigure::TFigure;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    // A named, initialised rectangle from (x1, y1) to (x2, y2).
    static std::unique_ptr<TRectangle> Create(int penWidth, TColor penColor, int penStyle, TColor brushColor,
                                              int brushStyle, TFigureDocument* document, bool persistent,
                                              TLayer* layer, double x1, double y1, double x2, double y2);

    // The four corners (GetCorner1 … GetCorner4).
    TRectangleCorners Corners() const;

    void Initialize() override;
    QString GetTypeName() const override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    // Sides moved outwards by d (inwards for negative d; the other way round
    // in a drawing whose vertical zero was at the bottom); none when a side
    // would end up without length.
    std::unique_ptr<TFigure> CreateOffsetFigure(double distance) override;
    // A closed Bézier polyline of four straight segments.
    std::unique_ptr<TFigure> ConvertToBezier() override;
    std::unique_ptr<TFigure> Clone() const override;
    // A point on a side opens the outline there: one open polyline from the
    // point round all corners back to it.
    bool SplitAtPoint(const TDoublePoint& p, std::vector<TFigure*>& list) override;
    bool IntersectLine(const TDoublePoint& a, const TDoublePoint& b, TDoublePointArr& points) override;
    void CollectVectors(std::vector<TVectorObject>& list, const TDoublePoint& origin) override;
    void SetProperty(const TTaggedItem& item) override;
    void SaveToStream(TStream& stream) const override;
    bool RubberClick(int clickNo, double x, double y) override;
    void RubberMove(int clickNo, double x, double y) override;
    std::unique_ptr<TFigure> CreateGhost() const override;
    void GhostDrag(TModPoint* handle, double x, double y, TFigure* ghost) override;
    void ApplyDrag(TModPoint* handle, int flags, double x, double y, TFigure* ghost) override;

    // Dimensions shown along the sides P1–P4, P3–P2, P1–P2 and P3–P4.
    bool FDimSide14 = false;
    bool FDimSide32 = true;
    bool FDimSide12 = true;
    bool FDimSide34 = false;

    // How far a point may lie from a side and still split it (world units).
    static constexpr double kSplitTolerance = 0.05;

protected:
    // Colours as drawn: the layer's for −255, silver when grayed.
    TColor DrawPenColor(bool grayed) const;
    TColor DrawBrushColor(bool grayed) const;
    // A new persistent figure of this class with the same attributes and the given corners.
    std::unique_ptr<TRectangle> NewLike(const TRectangleCorners& corners) const;
    void SetCorners(const TRectangleCorners& corners);

    // Class-level operations shared with TUserRectangle.
    static std::unique_ptr<TFigure> CreateRectangleRubber(const TFigureClass& cls, double x, double y);
    static std::unique_ptr<TFigure> CommitRectangle(const TFigureClass& cls, TFigureDocument* document,
                                                    TLayer* layer, TFigure* rubber);
};

class TUserRectangle : public TRectangle {
public:
    using TRectangle::TRectangle;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    QString GetTypeName() const override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    bool HitTest(double x, double y) override;
};
