#pragma once
// TLine: a straight two-point line with arrowheads at its ends (row style)
// whose ends can be bound to other figures; TUserLine: the same, drawn and
// hit-tested by the application first.

#include "model/DrawObjects.h"
#include "model/Enums.h"

#include <memory>

class TLine : public TFigure {
public:
    using TFigure::TFigure;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    // A named, initialised line from (x1, y1) to (x2, y2).
    static std::unique_ptr<TLine> Create(int penWidth, TFigureDocument* document, bool persistent, TLayer* layer,
                                         TRowStyle rowStyle, TColor penColor, int penStyle, double x1, double y1,
                                         double x2, double y2);

    bool CanJoin() const override { return true; }

    void Initialize() override;
    QString GetTypeName() const override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    bool HitTest(double x, double y) override;
    void GetBounds(double& maxX, double& maxY, double& minX, double& minY) const override;
    void Move(double dx, double dy) override;
    void JoinedFigureMoved(TFigure* target, double dx, double dy) override;
    void DrawExtras(TFigureEngine& engine) override;
    // The scaled snap with the document's current pixels per millimetre; only
    // the end points without a document.
    bool SnapToPoint(double& x, double& y) const override;
    // End points within 3 mm, else the foot of the perpendicular when it lies on
    // the line and is closer than 18 pixels at `scale` pixels per world unit.
    virtual bool SnapToPointScaled(double& x, double& y, double scale) const;
    std::unique_ptr<TFigure> CreateOffsetFigure(double distance) override;
    std::unique_ptr<TFigure> ConvertToBezier() override;
    std::unique_ptr<TFigure> Clone() const override;
    bool SplitAtPoint(const TDoublePoint& p, std::vector<TFigure*>& list) override;
    bool IntersectLine(const TDoublePoint& a, const TDoublePoint& b, TDoublePointArr& points) override;
    void CollectVectors(std::vector<TVectorObject>& list, const TDoublePoint& origin) override;
    void SetProperty(const TTaggedItem& item) override;
    void SaveToStream(TStream& stream) const override;
    bool RubberClick(int clickNo, double x, double y) override;
    void RubberMove(int clickNo, double x, double y) override;
    void ApplyDrag(TModPoint* handle, int flags, double x, double y, TFigure* ghost) override;

    // Set by the document on selected lines just before the selection moves;
    // cleared by Move.
    bool FMoving = false;
    // Half-width and length of an arrowhead.
    double FArrowWidth = 1.2;
    double FArrowLength = 3.5;

    // Flags of ApplyDrag that ask to bind a dragged end to the figure under it.
    static constexpr int kBindFlags = 1 | 4;

protected:
    // Pen colour as drawn: the layer's for −255, silver when grayed.
    TColor DrawColor(bool grayed) const;
    // Copies what a direct copy of a line carries (base attributes, both point
    // arrays, rotation state, arrow sizes, name, tag number, info, custom name).
    void CopyLineTo(TLine& target) const;
    // A new persistent line of the same class and attributes between a and b.
    std::unique_ptr<TLine> PieceBetween(const TDoublePoint& a, const TDoublePoint& b) const;
    // Binds end 1 or 2 of the line to the document's figure at (x, y), if any.
    void BindEndAt(int end, double x, double y);

    // Class-level operations shared with TUserLine.
    static std::unique_ptr<TFigure> CreateLineRubber(const TFigureClass& cls, double x, double y);
    static std::unique_ptr<TFigure> CommitLine(const TFigureClass& cls, TFigureDocument* document, TLayer* layer,
                                               TFigure* rubber);

    // What one end knows about its target during a selection move.
    struct TJoinNotice {
        // The target reported its move while the line had not moved yet.
        bool Received = false;
        // The line moved with the selection before its target: the target's
        // notice of the same offset is not followed.
        bool Skip = false;
        double Dx = 0;
        double Dy = 0;
    };
    TJoinNotice FNotices[2];
};

class TUserLine : public TLine {
public:
    using TLine::TLine;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    QString GetTypeName() const override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    bool HitTest(double x, double y) override;
};

// A Bézier polyline built from a poly-Bézier point list (a node at every third
// point, the two points between nodes the controls) with the pen and layer of
// `attributesFrom`. Provided by the polyline module; lines convert through it.
std::unique_ptr<TFigure> MakeBezierPolyline(const TDoublePointArr& polyBezierPoints, const TFigure& attributesFrom,
                                            bool closed);
