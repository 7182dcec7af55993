#pragma once
// TCircle: a circle about point 1 with the radius FRadius, outlined with the
// pen and filled with the brush; TUserCircle: the same, drawn and hit-tested
// by the application first.

#include "model/DrawObjects.h"

#include <memory>

class TCircle : public TFigure {
public:
    using TFigure::TFigure;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    // A named, initialised circle.
    static std::unique_ptr<TCircle> Create(TLayer* layer, TFigureDocument* document, bool persistent,
                                           const TDoublePoint& centre, double radius, int penWidth = 1,
                                           TColor penColor = 0, int penStyle = 0, TColor brushColor = 0xFFFFFF,
                                           int brushStyle = static_cast<int>(TBrushStyle::bsClear));

    TDoublePoint Centre() const { return GetPoint(1); }
    double Radius() const { return FRadius; }
    // Centre and radius (a negative radius counts by its size).
    void SetCircle(const TDoublePoint& centre, double radius);

    void Initialize() override;
    QString GetTypeName() const override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    // The base extras, then a red marker at the centre.
    void DrawExtras(TFigureEngine& engine) override;
    bool HitTest(double x, double y) override;
    void GetBounds(double& maxX, double& maxY, double& minX, double& minY) const override;
    // Even factors scale the radius; uneven ones put an ellipse in the circle's
    // place in its document (the circle itself stays unchanged for undo).
    void Scale(const TDoublePoint& origin, double sx, double sy) override;
    std::unique_ptr<TFigure> CreateOffsetFigure(double distance) override;
    std::unique_ptr<TFigure> ConvertToBezier() override;
    void CollectVectors(std::vector<TVectorObject>& list, const TDoublePoint& origin) override;
    bool IntersectLine(const TDoublePoint& a, const TDoublePoint& b, TDoublePointArr& points) override;
    bool SplitAtPoint(const TDoublePoint& p, std::vector<TFigure*>& list) override;
    std::unique_ptr<TFigure> Clone() const override;
    std::unique_ptr<TFigure> CreateGhost() const override;
    void ApplyDrag(TModPoint* handle, int flags, double x, double y, TFigure* ghost) override;
    void SetProperty(const TTaggedItem& item) override;
    void SaveToStream(TStream& stream) const override;
    bool RubberClick(int clickNo, double x, double y) override;
    void RubberMove(int clickNo, double x, double y) override;

protected:
    // The classes a circle turns into: the ellipse of an uneven scaling and
    // the arc of a split.
    virtual const TFigureClass& EllipseClass() const;
    virtual const TFigureClass& ArcClass() const;

    static std::unique_ptr<TFigure> CreateCircleRubber(const TFigureClass& cls, double x, double y);
    static std::unique_ptr<TFigure> CommitCircle(const TFigureClass& cls, TFigureDocument* document, TLayer* layer,
                                                 TFigure* rubber);
};

class TUserCircle : public TCircle {
public:
    using TCircle::TCircle;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    QString GetTypeName() const override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    bool HitTest(double x, double y) override;

protected:
    const TFigureClass& EllipseClass() const override;
    const TFigureClass& ArcClass() const override;
};
