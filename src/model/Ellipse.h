#pragma once
// TEllipse: an ellipse about point 1 with the semi-axes FRadiusA (along its
// own X direction) and FRadiusB, turned by FAngle; point 2 is the end of the A
// axis. TUserEllipse: the same, drawn and hit-tested by the application first.
//
// FAngle and point 2 are kept in step by every transformation; a caller that
// moves point 2 itself turns the ellipse, since drawing, hit testing and the
// conversions take FAngle from the direction centre → point 2 again (an
// ellipse whose point 2 lies on the centre keeps its angle).

#include "model/DrawObjects.h"

#include <memory>

class TModPoint;

class TEllipse : public TFigure {
public:
    using TFigure::TFigure;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    // A named, initialised ellipse; point 2 is derived.
    static std::unique_ptr<TEllipse> Create(TLayer* layer, TFigureDocument* document, bool persistent,
                                            const TDoublePoint& centre, double radiusA, double radiusB, double angle,
                                            int penWidth = 1, TColor penColor = 0, int penStyle = 0,
                                            TColor brushColor = 0xFFFFFF,
                                            int brushStyle = static_cast<int>(TBrushStyle::bsClear));

    TDoublePoint Centre() const { return GetPoint(1); }
    // Centre, semi-axes (by their size) and angle; point 2 follows.
    void SetEllipse(const TDoublePoint& centre, double radiusA, double radiusB, double angle);
    // FAngle from the direction centre → point 2, unless they coincide.
    void SyncAngle();
    // Ends of the axes: centre + A, centre + B (a quarter turn on), centre − A.
    TDoublePoint AxisEndA() const;
    TDoublePoint AxisEndB() const;
    TDoublePoint AxisEndMinusA() const;

    void Initialize() override;
    QString GetTypeName() const override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    bool HitTest(double x, double y) override;
    void GetBounds(double& maxX, double& maxY, double& minX, double& minY) const override;
    void Rotate(const TDoublePoint& centre, double angle) override;
    void Mirror(const TDoublePoint& a, const TDoublePoint& b) override;
    void Scale(const TDoublePoint& origin, double sx, double sy) override;
    void ApplyZeroOrigin(TVertZero vertZero, THorzZero horzZero) override;
    void AddHandles() override;
    std::unique_ptr<TFigure> CreateGhost() const override;
    void GhostDrag(TModPoint* handle, double x, double y, TFigure* ghost) override;
    void ApplyDrag(TModPoint* handle, int flags, double x, double y, TFigure* ghost) override;
    std::unique_ptr<TFigure> CreateOffsetFigure(double distance) override;
    std::unique_ptr<TFigure> ConvertToBezier() override;
    void CollectVectors(std::vector<TVectorObject>& list, const TDoublePoint& origin) override;
    bool IntersectLine(const TDoublePoint& a, const TDoublePoint& b, TDoublePointArr& points) override;
    bool SplitAtPoint(const TDoublePoint& p, std::vector<TFigure*>& list) override;
    std::unique_ptr<TFigure> Clone() const override;
    void SetProperty(const TTaggedItem& item) override;
    void ReadExtra(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;
    bool RubberClick(int clickNo, double x, double y) override;
    void RubberMove(int clickNo, double x, double y) override;

    double FRadiusA = 0;
    double FRadiusB = 0;

protected:
    // Point 2 from the centre, FRadiusA and FAngle.
    void RebuildAxisPoint();
    // What dragging the handle to (x, y) does to target (this ellipse or its
    // ghost); `zeroSized` tells that the handle is the single one of an
    // ellipse without size.
    static void DragHandle(TEllipse& target, const TModPoint& handle, double x, double y, bool zeroSized);

    static std::unique_ptr<TFigure> CreateEllipseRubber(const TFigureClass& cls, double x, double y);
    static std::unique_ptr<TFigure> CommitEllipse(const TFigureClass& cls, TFigureDocument* document, TLayer* layer,
                                                  TFigure* rubber);
};

class TUserEllipse : public TEllipse {
public:
    using TEllipse::TEllipse;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    QString GetTypeName() const override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    bool HitTest(double x, double y) override;
};
