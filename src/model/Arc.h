#pragma once
// Circular arcs. TRoundArc holds what circular and elliptical arcs share: the
// arc style, the start and end angles, inversion, the angle test and the
// pop-up items. TArc: the arc of the circle about point 1 with the radius
// FRadius, points 2 and 3 its start and end points; TUserArc: the same, drawn
// and hit-tested by the application first.
//
// The arc runs counter-clockwise from FStartAngle to FEndAngle; equal angles
// are a full turn. The angles are kept in [0, 2π), and points 2 and 3 are
// rebuilt from the centre, the radii and the angles after every change of
// the geometry (each coordinate truncated to 4 decimals), so an arc that was
// never drawn transforms correctly. Only when both angles are exactly 0 are
// they taken from points 2 and 3 (records and callers that set only points).

#include "model/DrawObjects.h"
#include "model/Enums.h"

#include <memory>

class TModPoint;

class TRoundArc : public TFigure {
public:
    using TFigure::TFigure;

    TArcStyle ArcStyle() const { return FArcStyle; }
    void SetArcStyle(TArcStyle style);
    double StartAngle() const { return FStartAngle; }
    double EndAngle() const { return FEndAngle; }
    // Both angles (normalised); points 2 and 3 follow.
    void SetArcAngles(double start, double end);
    // Swaps the angles: the complementary arc.
    void InvertArc();
    bool IsFullTurn() const { return FStartAngle == FEndAngle; }
    // The arc angle test for an angle of the arc's frame.
    bool ContainsAngle(double angle) const;
    // The angle half-way along the arc.
    double MiddleArcAngle() const;

    // "Bogen öffnen", "Pie Arc", "fmChordArc" (the current style checked) and
    // "Bogen invertieren".
    void AddPopupItems(TPopupMenuBuilder& menu, int& nextTag) override;
    void PopupItemClicked(int tag) override;

    // Points 2 and 3 (and the axis point of an elliptical arc) from the
    // centre, the radii and the angles.
    virtual void UpdateArcPoints() = 0;

    TArcStyle FArcStyle = TArcStyle::asOpen;
    double FStartAngle = 0;
    double FEndAngle = 0;

    static constexpr int kPopupItemCount = 4;

protected:
    // When both angles are exactly 0 and points 2 and 3 are not where those
    // angles put them, takes the angles from the points.
    void PrepareArc();
    virtual void TakeAnglesFromPoints() = 0;
    // Where point 2 or 3 lies for an angle (truncated to 4 decimals).
    virtual TDoublePoint ArcEndPoint(double angle) const = 0;
    // Normalises the angles, rebuilds the points and frees the region.
    void ArcGeometryChanged();
    // The same without touching the region (before drawing).
    void SyncArcPoints();
    // Adds a handle with a size of its own.
    void AddSizedHandle(std::uint8_t kind, int index, const TDoublePoint& p, double size, TColor color,
                        std::uint8_t shape);
    // Reads the items both arc records share; false for any other item.
    bool SetArcProperty(const TTaggedItem& item);
};

class TArc : public TRoundArc {
public:
    using TRoundArc::TRoundArc;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    // A named, initialised arc; points 2 and 3 are derived.
    static std::unique_ptr<TArc> Create(TLayer* layer, TFigureDocument* document, bool persistent,
                                        const TDoublePoint& centre, double radius, double startAngle, double endAngle,
                                        TArcStyle style = TArcStyle::asOpen, int penWidth = 1, TColor penColor = 0,
                                        int penStyle = 0, TColor brushColor = 0xFFFFFF,
                                        int brushStyle = static_cast<int>(TBrushStyle::bsClear));

    TDoublePoint Centre() const { return GetPoint(1); }
    double Radius() const { return FRadius; }
    // Centre, radius (by its size) and angles; points 2 and 3 follow.
    void SetArc(const TDoublePoint& centre, double radius, double startAngle, double endAngle);

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

protected:
    void TakeAnglesFromPoints() override;
    TDoublePoint ArcEndPoint(double angle) const override;
    static void DragHandle(TArc& target, const TModPoint& handle, double x, double y);
    // A new persistent arc of the same class and attributes.
    std::unique_ptr<TArc> SameKindOfArc() const;

    static std::unique_ptr<TFigure> CreateArcRubber(const TFigureClass& cls, double x, double y);
    static std::unique_ptr<TFigure> CommitArc(const TFigureClass& cls, TFigureDocument* document, TLayer* layer,
                                              TFigure* rubber);
};

class TUserArc : public TArc {
public:
    using TArc::TArc;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    QString GetTypeName() const override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    bool HitTest(double x, double y) override;
};
