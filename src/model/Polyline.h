#pragma once
// TPolyline: a chain of segments (straight, cubic Bézier or circular arc),
// open or closed, optionally filled and optionally drawn with a pen pattern.
// TFreeHand is the freehand tool (its strokes become polylines);
// TUserPolyline is drawn and hit-tested by the application first.
//
// Nodes are the figure's points (1-based). Segment i runs from node i to
// node i + 1; the last one runs back to node 1 and is drawn only when the
// polyline is closed. There is always one segment per node.

#include "model/Line.h"
#include "model/Pattern.h"
#include "model/PolylineSegment.h"

#include <QPoint>
#include <memory>
#include <vector>

class TPolyline : public TLine {
public:
    using TLine::TLine;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    // A named, initialised polyline through the points with straight segments.
    static std::unique_ptr<TPolyline> Create(const TDoublePointArr& points, TFigureDocument* document,
                                             bool persistent, TLayer* layer, bool closed, TRowStyle rowStyle,
                                             TColor brushColor, int brushStyle, TColor penColor, int penStyle,
                                             int penWidth);
    // A Bézier polyline from a poly-Bézier list: a node at every third point
    // (0, 3, 6, …), the two points between two nodes their segment's controls.
    // When closed, a last node on the first one is dropped.
    static std::unique_ptr<TPolyline> CreateBezierPolyline(const TDoublePointArr& points, int penWidth,
                                                           TFigureDocument* document, bool persistent,
                                                           TLayer* layer, bool closed, TRowStyle rowStyle,
                                                           TColor brushColor, int brushStyle, TColor penColor,
                                                           int penStyle);

    // --- nodes and segments ---
    int NodeCount() const { return FPointCount; }
    // Segments that are drawn: all of them when closed, all but the last when open.
    int DrawnSegmentCount() const;
    // Segment i (1-based); none outside 1 … FPointCount.
    const TPlSegment* Segment(int i) const;
    const std::vector<TPlSegment>& Segments() const { return FSegments; }
    bool Closed() const { return FClosed; }
    const TPattern* Pattern() const { return FPattern.get(); }

    // --- polyline operations; segment numbers outside 1 … FPointCount are ignored ---
    void SetClosed(bool closed);
    // 0 straight, 1 Bézier (default control points), 2 arc (default centre).
    void SetSegmentKind(int i, int kind);
    // The kind of segment i; 0 outside the range.
    int GetSegmentKind(int i) const;
    // Incoming and outgoing control points of node i; false outside the range.
    bool GetNodeControls(int i, TDoublePoint& in, TDoublePoint& out) const;
    void SetNodeControls(int i, const TDoublePoint& in, const TDoublePoint& out);
    void SetSegmentControls(int i, const TDoublePoint& ctrl1, const TDoublePoint& ctrl2);
    void SetCorner(int i);
    // Smooth, and the incoming control of node i becomes its outgoing one turned by π.
    void SetSmooth(int i);
    void InvertArcSegment(int i);
    bool IsSmooth(int i) const;
    void AllBezier();
    void AllStraight();
    // A new node at the chord midpoint of segment i; both halves keep the kind.
    void InsertNode(int i);
    // Only with more than 2 nodes.
    void DeleteNode(int i);
    // n − 1 new nodes evenly spaced along the chord of segment i.
    void DivideSegment(int i, int n);
    void ToggleSegmentDimension(int i);
    // Keeps a copy of the pattern; none clears it.
    void SetPattern(const TPattern* pattern);

    // The outline as one poly-Bézier list (first node, then three points per
    // segment drawn), and whether the first and last segments drawn are
    // straight, with their end points (for the arrowheads).
    void BuildPath(TDoublePointArr& points, bool& firstStraight, bool& lastStraight, TDoublePoint& firstStart,
                   TDoublePoint& firstEnd, TDoublePoint& lastStart, TDoublePoint& lastEnd) const;
    TDoublePointArr BuildPath() const;

    // --- virtual operations ---
    void Initialize() override;
    QString GetTypeName() const override;
    bool IsPolyline() const override { return true; }
    void PointAdded() override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    void DrawExtras(TFigureEngine& engine) override;
    void AddHandles() override;
    void PrepareHandle(TModPoint* handle) override;
    void UnprepareHandle(TModPoint* handle) override;
    void MapHandles(TFigureEngine& engine, bool alternate) override;
    bool HitTest(double x, double y) override;
    void GetBounds(double& maxX, double& maxY, double& minX, double& minY) const override;
    void Move(double dx, double dy) override;
    void Rotate(const TDoublePoint& centre, double angle) override;
    void Mirror(const TDoublePoint& a, const TDoublePoint& b) override;
    void Scale(const TDoublePoint& origin, double sx, double sy) override;
    void ApplyZeroOrigin(TVertZero vertZero, THorzZero horzZero) override;
    std::unique_ptr<TFigure> CreateOffsetFigure(double distance) override;
    std::unique_ptr<TFigure> ConvertToBezier() override;
    std::unique_ptr<TFigure> Clone() const override;
    bool CutByLine(const TDoublePoint& a, const TDoublePoint& b, std::vector<TFigure*>& list) override;
    bool SplitAtPoint(const TDoublePoint& p, std::vector<TFigure*>& list) override;
    bool IntersectLine(const TDoublePoint& a, const TDoublePoint& b, TDoublePointArr& points) override;
    void CollectVectors(std::vector<TVectorObject>& list, const TDoublePoint& origin) override;
    void AddPopupItems(TPopupMenuBuilder& menu, int& nextTag) override;
    void PopupItemClicked(int tag) override;
    void SaveToStream(TStream& stream) const override;
    void ReadExtra(TStream& stream) override;
    void SetProperty(const TTaggedItem& item) override;
    void SetLegacyDevicePoints(std::vector<QPoint> points) override;
    std::unique_ptr<TFigure> CreateGhost() const override;
    void GhostDrag(TModPoint* handle, double x, double y, TFigure* ghost) override;
    void ApplyDrag(TModPoint* handle, int flags, double x, double y, TFigure* ghost) override;
    bool RubberClick(int clickNo, double x, double y) override;
    void RubberMove(int clickNo, double x, double y) override;

    // --- state ---
    bool FDragging = false;
    bool FClosed = false;
    TDoublePoint FKnifeA;
    TDoublePoint FKnifeB;
    bool FKnifeFlag = false;
    std::unique_ptr<TPattern> FPattern;
    std::vector<TPlSegment> FSegments;
    // Integer device points of an old record (tag 151 of the base record).
    std::vector<QPoint> FDevPoints;

    // Handle kinds of a polyline.
    static constexpr std::uint8_t kNodeHandle = 3;
    static constexpr std::uint8_t kControlHandle = 12;
    static constexpr std::uint8_t kArcHandle = 14;
    // Pop-up items (relative to FPopupTag) before the document's patterns.
    static constexpr int kPopupItemCount = 16;

protected:
    // Node i with the index wrapped into 1 … n.
    TDoublePoint Node(int i) const;
    int Wrap(int i) const;
    // Segment i exists and the segment list is in step with the nodes.
    bool ValidSegment(int i) const {
        return i >= 1 && i <= FPointCount && FSegments.size() >= static_cast<std::size_t>(FPointCount) &&
               FPoints.size() >= static_cast<std::size_t>(FPointCount);
    }
    TPlSegment& Seg(int i) { return FSegments[static_cast<std::size_t>(Wrap(i) - 1)]; }
    const TPlSegment& Seg(int i) const { return FSegments[static_cast<std::size_t>(Wrap(i) - 1)]; }
    // Keeps points and segments in step with FPointCount.
    void SyncSegments();
    void AppendNode(const TDoublePoint& p);
    // Default control points of Bézier segment i / default centre of arc segment i.
    void ComputeBezierControls(int i);
    void ComputeArcCentre(int i);
    // Brush colour as drawn: the layer's for −255, silver when grayed.
    TColor DrawBrushColor(bool grayed) const;
    // Copies everything a direct copy carries.
    void CopyPolylineTo(TPolyline& target) const;
    // Copies nodes, segments and the closed flag (what a drag changes).
    void CopyGeometryTo(TPolyline& target) const;
    // A new persistent figure of this class with the same attributes and no nodes.
    std::unique_ptr<TPolyline> NewPieceLike() const;
    // Gives the polyline these nodes and segments.
    void SetGeometry(const TDoublePointArr& nodes, const std::vector<TPlSegment>& segments, bool closed);
    // Applies a handle drag from `from` to `to`.
    void DragHandle(int kind, int index, const TDoublePoint& from, const TDoublePoint& to);
    // Snaps a rubber point onto node 1 when within 3 mm of it on both axes.
    bool SnapToFirst(double& x, double& y) const;

    static std::unique_ptr<TFigure> CreatePolylineRubber(const TFigureClass& cls, double x, double y);
    // Makes a persistent figure of class `target` from a finished rubber band.
    static std::unique_ptr<TFigure> CommitPolyline(const TFigureClass& target, TFigureDocument* document,
                                                   TLayer* layer, TFigure* rubber);
    // A figure of `cls` through the points with straight segments.
    static std::unique_ptr<TPolyline> CreateOfClass(const TFigureClass& cls, const TDoublePointArr& points,
                                                    TFigureDocument* document, bool persistent, TLayer* layer,
                                                    bool closed);

private:
    void ReadSegmentBlob(const std::vector<std::uint8_t>& data);
    void ReadLegacyFlags(const std::vector<std::uint8_t>& data);
    // Set while AddHandles creates handles, so PrepareHandle does not pick a node.
    bool FAddingHandles = false;
};

// The freehand tool: every mouse move adds a point; the stroke becomes a TPolyline.
class TFreeHand : public TPolyline {
public:
    using TPolyline::TPolyline;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    QString GetTypeName() const override;
    bool RubberClick(int clickNo, double x, double y) override;
    void RubberMove(int clickNo, double x, double y) override;
};

class TUserPolyline : public TPolyline {
public:
    using TPolyline::TPolyline;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    QString GetTypeName() const override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    bool HitTest(double x, double y) override;
};
