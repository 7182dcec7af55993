#pragma once
// TElpArc: an arc of the ellipse about point 1 with the semi-axes FRadiusA and
// FRadiusB turned by FAngle. Points 2 and 3 are its start and end points,
// point 4 the end of the A axis. The angles are polar angles in the
// ellipse's own frame (see RoundGeometry.h) and obey the rules of TRoundArc.

#include "model/Arc.h"

#include <memory>

class TElpArc : public TRoundArc {
public:
    using TRoundArc::TRoundArc;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    // A named, initialised elliptical arc; points 2 to 4 are derived.
    static std::unique_ptr<TElpArc> Create(TLayer* layer, TFigureDocument* document, bool persistent,
                                           const TDoublePoint& centre, double radiusA, double radiusB, double angle,
                                           double startAngle, double endAngle, TArcStyle style = TArcStyle::asOpen,
                                           int penWidth = 1, TColor penColor = 0, int penStyle = 0,
                                           TColor brushColor = 0xFFFFFF,
                                           int brushStyle = static_cast<int>(TBrushStyle::bsClear));

    TDoublePoint Centre() const { return GetPoint(1); }
    // Centre, semi-axes (by their size), rotation and angles; points 2 to 4 follow.
    void SetElpArc(const TDoublePoint& centre, double radiusA, double radiusB, double angle, double startAngle,
                   double endAngle);
    // FAngle from the direction centre → point 4, unless they coincide.
    void SyncAngle();
    TDoublePoint AxisEndA() const;
    TDoublePoint AxisEndB() const;
    TDoublePoint AxisEndMinusA() const;
    // The point of the arc's ellipse at an angle of its frame.
    TDoublePoint PointAtAngle(double angle) const;

    void UpdateArcPoints() override;

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
    bool IntersectLine(const TDoublePoint& a, const TDoublePoint& b, TDoublePointArr& points) override;
    bool SplitAtPoint(const TDoublePoint& p, std::vector<TFigure*>& list) override;
    std::unique_ptr<TFigure> Clone() const override;
    void SetProperty(const TTaggedItem& item) override;
    void ReadExtra(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;
    bool RubberClick(int clickNo, double x, double y) override;
    void RubberMove(int clickNo, double x, double y) override;

    // The path the arc is drawn with: the arc's Bézier pieces and the closing
    // pieces of its style.
    TDoublePointArr BuildArcPath() const;

    double FRadiusA = 0;
    double FRadiusB = 0;

    // Initial semi-axes of the rubber band.
    static constexpr double kRubberRadius = 0.1;

protected:
    void TakeAnglesFromPoints() override;
    TDoublePoint ArcEndPoint(double angle) const override;
    static void DragHandle(TElpArc& target, const TModPoint& handle, double x, double y, bool zeroSized);
    std::unique_ptr<TElpArc> SameKindOfArc() const;

    static std::unique_ptr<TFigure> CreateElpArcRubber(const TFigureClass& cls, double x, double y);
    static std::unique_ptr<TFigure> CommitElpArc(const TFigureClass& cls, TFigureDocument* document, TLayer* layer,
                                                 TFigure* rubber);
};
