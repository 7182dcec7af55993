#pragma once
// TFigure: the base of every drawing object. It holds the point list, pen
// attributes, layer, selection state and handles, rotation state, joins to
// other figures, owned dimension figures and the stored base record; the
// figure classes override the virtual operations below.

#include "model/Enums.h"
#include "model/FigureClass.h"
#include "model/GeometryTypes.h"
#include "model/TaggedStream.h"
#include "platform/Canvas.h"
#include "platform/DeviceRegion.h"
#include "platform/Stream.h"

#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class TFigureDocument;
class TFigureEngine;
class TLayer;
class TModPoint;
class TPopupMenuBuilder;
struct TVectorObject;

// How a figure's fill picture is placed over its bounds.
struct TFillBitmapParams {
    int OffsetX = 0;
    int OffsetY = 0;
    int Width = 0;
    int Height = 0;
    std::uint8_t HAlign = 0;
    std::uint8_t VAlign = 0;
};

// Pen colour and brush colour value meaning "take the layer's colour".
constexpr TColor kLayerColor = -255;
// Largest point index a figure accepts.
constexpr int kMaxFigurePoints = 4'000'000;

// A counter that grows whenever some figure's geometry, region or attributes
// may have changed (points set, regions freed, attributes changed, a record
// read); the figure keeps the value of its last change (FChangeStamp).
// Caches of figure extents compare them with the value they were built at.
std::uint64_t FigureChangeEpoch();
// While one lives, freeing regions does not count as a change (the view
// mapping moved; the figures did not).
class TRegionResetScope {
public:
    TRegionResetScope();
    ~TRegionResetScope();
    TRegionResetScope(const TRegionResetScope&) = delete;
    TRegionResetScope& operator=(const TRegionResetScope&) = delete;
};

class TFigure {
public:
    TFigure(TLayer* layer, TFigureDocument* document, bool persistent);
    TFigure(const TFigure&) = delete;
    TFigure& operator=(const TFigure&) = delete;
    virtual ~TFigure();

    // The figure's class: name, shape kind and class-level operations.
    virtual const TFigureClass& Class() const = 0;
    int ShapeKind() const { return Class().ShapeKind; }

    // --- virtual operations ---
    virtual void SetInCombined(bool flag);
    virtual TDoublePoint GetCorner1() const;
    virtual TDoublePoint GetCorner2() const;
    virtual TDoublePoint GetCorner3() const;
    virtual TDoublePoint GetCorner4() const;
    virtual void AddRotateHandles();
    virtual void PointAdded();
    virtual void Modified();
    virtual void ClearDimensions();
    virtual void CreateDimensions();
    virtual void AddHandles();
    virtual std::unique_ptr<TFigure> CreateOffsetFigure(double distance);
    virtual QString GetTypeName() const;
    virtual void ApplyZeroOrigin(TVertZero vertZero, THorzZero horzZero);
    virtual bool IsMetafile() const;
    virtual bool IsPolyline() const;
    virtual void Initialize();
    virtual void MakeName();
    virtual void Edit();
    virtual void PrepareHandle(TModPoint* handle);
    virtual void UnprepareHandle(TModPoint* handle);
    virtual bool SnapToPoint(double& x, double& y) const;
    virtual void GetBounds(double& maxX, double& maxY, double& minX, double& minY) const;
    virtual void GetBounds2(double& maxX, double& maxY, double& minX, double& minY) const;
    virtual void UnionBounds(double& maxX, double& maxY, double& minX, double& minY) const;
    virtual bool GetRegionBounds(double& maxX, double& maxY, double& minX, double& minY) const;
    virtual TDoubleRect GetBoundsRect() const;
    virtual void Move(double dx, double dy);
    virtual void Rotate(const TDoublePoint& centre, double angle);
    virtual void Mirror(const TDoublePoint& a, const TDoublePoint& b);
    virtual void Scale(const TDoublePoint& origin, double sx, double sy);
    virtual void SetAttribute(int kind, int value);
    virtual void SetFontAttribute(int kind, const QString& text, bool flag, int value, double size);
    virtual bool HitTest(double x, double y);
    virtual std::unique_ptr<TFigure> Clone() const;
    virtual void CopyBaseTo(TFigure& target) const;
    virtual void Draw(TFigureEngine& engine, bool grayed);
    virtual void DrawDimensions(TFigureEngine& engine, bool grayed);
    virtual void DrawNormal(TFigureEngine& engine);
    virtual void FreeRegion();
    virtual void Select();
    virtual void Deselect();
    virtual void RefreshHandles();
    virtual void SelectAsRotate();
    virtual void MapHandles(TFigureEngine& engine, bool alternate);
    virtual void DrawExtras(TFigureEngine& engine);
    virtual void DrawExtras2(TFigureEngine& engine);
    virtual bool RubberClick(int clickNo, double x, double y);
    virtual void RubberMove(int clickNo, double x, double y);
    virtual std::unique_ptr<TFigure> CreateGhost() const;
    virtual void GhostDrag(TModPoint* handle, double x, double y, TFigure* ghost);
    virtual void ApplyDrag(TModPoint* handle, int flags, double x, double y, TFigure* ghost);
    virtual void RotateDragStart(TModPoint* handle, double x, double y, std::unique_ptr<TFigure>& ghost);
    virtual void ApplyRotateDrag(TModPoint* handle, double x, double y, TFigure* ghost);
    virtual TDoublePoint FirstPoint() const;
    virtual TDoublePoint LastPoint() const;
    virtual void AddPopupItems(TPopupMenuBuilder& menu, int& nextTag);
    virtual void PopupItemClicked(int tag);
    virtual void SaveToStream(TStream& stream) const;
    virtual void ReadExtra(TStream& stream);
    virtual void SetProperty(const TTaggedItem& item);
    // Appends the figure's outline as vector objects, every point relative to origin.
    virtual void CollectVectors(std::vector<TVectorObject>& list, const TDoublePoint& origin);
    virtual std::unique_ptr<TFigure> ConvertToBezier();
    virtual bool CutByLine(const TDoublePoint& a, const TDoublePoint& b, std::vector<TFigure*>& list);
    // Cuts the figure at the points; the pieces are appended to list and belong
    // to the caller (the figure itself is never among them).
    virtual bool SplitAtPoints(const TDoublePointArr& points, std::vector<TFigure*>& list);
    virtual bool SplitAtPoint(const TDoublePoint& p, std::vector<TFigure*>& list);
    virtual bool IntersectLine(const TDoublePoint& a, const TDoublePoint& b, TDoublePointArr& points);
    virtual bool TouchesRect(const TDoubleRect& rect, bool& result);

    // Joins: the ends of lines and polylines bound to other figures.
    virtual bool CanJoin() const { return false; }
    virtual void SetJoin1(TFigure* target);
    virtual void SetJoin2(TFigure* target);
    virtual void Unbound();
    virtual void JoinedFigureMoved(TFigure* target, double dx, double dy);
    // A legacy record's integer device points (only polylines keep them).
    virtual void SetLegacyDevicePoints(std::vector<QPoint> points);

    // --- points (1-based) ---
    TDoublePoint GetPoint(int i) const;
    // Grows the point list with zero points up to i; false for an index below 1 or too large.
    bool SetPoint(int i, const TDoublePoint& p);
    TDoublePoint GetOrgPoint(int i) const;
    bool SetOrgPoint(int i, const TDoublePoint& p);
    void GetPoints(TDoublePointArr& points) const;
    void GetPointsUpTo(TDoublePointArr& points, int n) const;
    void ClearPoints();
    void SyncPointArrays();
    int PointCount() const { return FPointCount; }
    void SetPointCount(int count);

    // --- persistence ---
    // Reads one figure record (class name first); none for a class name that is
    // not registered. Raises EReadError for a damaged record.
    static std::unique_ptr<TFigure> CreateFromStream(TStream& stream, TLayer* layer, TFigureDocument* document,
                                                     bool persistent);
    void LoadBase(TStream& stream);

    // --- non-virtual helpers ---
    bool HitRegion(double x, double y) const;
    bool TouchesRectStrict(const TDoubleRect& rect) const;
    TDoublePoint GetCentre() const;
    bool SplitAtPointsBase(const TDoublePointArr& points, std::vector<TFigure*>& list);
    // Gives the figure a name no other figure of its document has (ignoring case).
    void MakeUniqueName();
    // Records a change of geometry, region or attributes (FChangeStamp).
    void NoteChange();
    // Renames the figure and tells its document.
    void SetName(const QString& name);

    // --- state ---
    bool FLockModify = false;
    bool FLockMove = false;
    bool FDiagonal = false;
    bool FInCombined = false;
    TDoublePointArr FOrgPoints;
    TDoublePointArr FPoints;
    std::vector<TModPoint*> FHandles;
    int FPopupTag = 0;
    bool FLegacyPoints = false;
    bool FLoading = false;
    bool FHasDimensions = false;
    QString FCName;
    QString FName;
    QString FClassName;
    double FRotAngle = 0;
    TDoublePoint FRotCentre;
    bool FPersistent = true;
    bool FChanged = true;
    std::uint64_t FChangeStamp = 0;
    bool FSelected = false;
    bool FPrimarySelected = false;
    int FSegmentIndex = 1;
    bool FDeleted = false;
    double FRadius = 0;
    bool FRotateSelection = false;
    std::uint8_t FVertZero = 0;
    std::uint8_t FHorzZero = 0;
    QImage FFillBitmap;
    // The stored bytes of the fill picture, written back unchanged.
    std::vector<std::uint8_t> FFillBitmapBytes;
    TFillBitmapParams FFillParams;
    int FUndoRefs = 0;
    std::vector<TFigure*> FJoinedLines;
    int FSelectOrder = 0;
    int FUndoIndex = 0;
    bool FAltHandles = false;
    std::vector<std::unique_ptr<TFigure>> FDimensions;
    std::intptr_t FHandle = 0;
    std::int32_t FTagNumber = 0;
    std::int32_t FTag31 = 0;
    TLayer* FLayer = nullptr;
    TFigureDocument* FDrawing = nullptr;
    std::int32_t FPenWidth = -1;
    TColor FPenColor = -1;
    std::int32_t FPenStyle = -1;
    QStringList FAttributes;
    std::uint8_t FRowStyle = 255;
    double FAngle = 0;
    TColor FBrushColor = -1;
    std::int32_t FBrushStyle = -1;
    int FPointCount = 0;
    std::unique_ptr<TDeviceRegion> FRegion;
    std::int32_t FTag30 = 0;
    std::unique_ptr<TMemoryStream> FCustomStream;
    QString FInfo;
    bool FRegionHit = false;
    bool FShowInfo = false;
    // The bound ends of a joining figure.
    TFigure* FJoin1 = nullptr;
    TFigure* FJoin2 = nullptr;

    // Clamped views of stored enumeration values.
    TPenStyle PenStyle() const;
    TBrushStyle BrushStyle() const;
    TRowStyle RowStyle() const;
    bool IsClearBrush() const { return FBrushStyle == static_cast<int>(TBrushStyle::bsClear); }

protected:
    // Creates a handle through the document; none without a document.
    TModPoint* NewHandle(std::uint8_t kind, int index, double x, double y, TColor color, std::uint8_t shape);
    void FreeHandles();
    void CreateHandles();
    // The user-drawn classes offer drawing and hit testing to the document
    // first: true when the document drew the figure (in copy mode), a value
    // when it decided the hit test.
    bool OfferUserDraw(TFigureEngine& engine, bool grayed);
    std::optional<bool> OfferUserHitTest(double x, double y);
    // Bounds of the points as stored, whatever the shape kind.
    void PointBounds(int first, int last, double& maxX, double& maxY, double& minX, double& minY) const;
    void RebuildDimensionsIfAny();
    // Binds or unbinds one end (1 or 2) to a target figure.
    void BindJoin(int end, TFigure* target);

private:
    void SetFillBitmapBytes(std::vector<std::uint8_t> bytes);
};
