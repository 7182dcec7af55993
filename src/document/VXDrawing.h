#pragma once
// TVXDrawing: the drawing document on top of the drawing surface. It owns the
// figures in z-order, the layers (the first, "Base Layer", always exists), the
// selection and its handles, the pen patterns, the default attributes of new
// figures, the map scale and the state channels that tell the command
// framework what the selection looks like.

#include "document/DocumentEnums.h"
#include "document/FigureNameIndex.h"
#include "document/HitIndex.h"
#include "document/UndoAction.h"
#include "model/DrawObjects.h"
#include "model/FigureDocument.h"
#include "model/Layer.h"
#include "model/ModPoint.h"
#include "model/Pattern.h"
#include "platform/Stream.h"
#include "render/VXDrawBox.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

class QTimer;

// Anything the face collection hands to its handlers; owned by the document.
class TFace {
public:
    virtual ~TFace() = default;
};
using TFaceList = std::vector<std::unique_ptr<TFace>>;

// How many selected figures belong to each class; a class derived from
// another counts for both.
struct TSelectionCounts {
    int Pictures = 0;
    int Lines = 0;
    int Polylines = 0;
    int Arcs = 0;
    int Circles = 0;
    int Ellipses = 0;
    int Points = 0;
    int Groups = 0;
    int Rectangles = 0;
    int DimLines = 0;
    bool operator==(const TSelectionCounts&) const = default;
};

// Command numbers of the state channels the document publishes.
namespace DocChannel {
constexpr int FontColor = 91;
constexpr int PenColor = 92;
constexpr int BrushColor = 93;
constexpr int PenStyle = 94;
constexpr int BrushStyle = 95;
constexpr int RowStyle = 96;
constexpr int PenWidth = 97;
constexpr int FontName = 98;
constexpr int ArcStyle = 104;
constexpr int FontCharset = 125;
constexpr int TextSize = 126;
constexpr int Bold = 28;
constexpr int Italic = 29;
constexpr int Underline = 30;
constexpr int StrikeOut = 31;
constexpr int PolylineClosed = 56;
constexpr int PictureTransparent = 50;
constexpr int PictureClipped = 51;
constexpr int LineBounded = 52;
constexpr int InvertArc = 174;
constexpr int MirrorPictures = 175;
constexpr int WeldPolyline = 176;
constexpr int SegmentsKind = 177;
constexpr int Ungroup = 178;
constexpr int Group = 179;
constexpr int RulerMode = 185;
constexpr int Control = 128;
} // namespace DocChannel

// The Windows charset values by their index in the charset list.
extern const std::uint8_t kCharsetTable[18];
// The index of a charset value in the table; 0 for a value not in it.
int CharsetIndex(int charset);

class TVXDrawing : public TVXDrawBox, public TFigureDocument {
public:
    explicit TVXDrawing(QWidget* parent = nullptr);
    ~TVXDrawing() override;

    // The 39 figure class names a document registers, in order.
    static const QStringList& DocumentClassNames();
    // Adds a further figure class to the process-wide registry.
    void RegisterFigureClass(const TFigureClass& cls);

    // --- the figure's view of the document ---
    int LayerCount() const override;
    TLayer* LayerAt(int index) const override;
    int IndexOfLayer(const TLayer* layer) const override;
    TVertZero VerticalZero() const override { return TVXPanel::VerticalZero(); }
    THorzZero HorizontalZero() const override { return TVXPanel::HorizontalZero(); }
    double WorkWidth() const override { return TVXDrawBox::WorkWidth(); }
    double WorkHeight() const override { return TVXDrawBox::WorkHeight(); }
    TFigureEngine* Engine() const override;
    TModPoint* AddHandle(std::unique_ptr<TModPoint> handle) override;
    void RemoveHandle(TModPoint* handle) override;
    int NextSelectOrder() override;
    void SetHasSelection(bool value) override;
    bool IsNameUsed(const QString& name, const TFigure* except) const override;
    void FigureRenamed(TFigure* figure) override;
    TFigureDefaults Defaults() const override;
    int PatternCount() const override;
    const TPattern* PatternAt(int index) const override;
    QString UserFigureName() const override { return FUserFigureName; }
    void SetUserFigureName(const QString& name) { FUserFigureName = name; }
    TFigure* FigureAt(double x, double y, const TFigure* except) override;
    // The figures a point may hit, topmost first: from the bounds index in
    // large drawings, else every figure.
    std::vector<TFigure*> HitCandidates(double x, double y);
    // From this many figures on, point hit tests use the bounds index.
    static constexpr int kHitIndexMinFigures = 256;
    TFontSpec TextFont() const override { return FFont; }
    bool ReplaceFigure(TFigure* old, std::unique_ptr<TFigure> replacement) override;
    // VXDrawingGroups.cpp. The dissolved group is kept with the replaced
    // figures; it is left empty, so the members have one owner, the drawing.
    bool DissolveGroup(TFigureGrp* group) override;
    void FigureModified(TFigure* figure) override;
    void FigureEdit(TFigure* figure) override;
    bool UserDraw(TFigure* figure, const QString& customName, TFigureEngine& engine, bool grayed) override;
    std::optional<bool> UserHitTest(TFigure* figure, const QString& customName, double x, double y) override;

    // --- figures ---
    int FigureCount() const { return static_cast<int>(FFigures.size()); }
    TFigure* GetFigure(int index) const;
    int IndexOfFigure(const TFigure* figure) const;
    // Appends a figure on its layer: selected when asked, then OnObjectInserted
    // and Updated. Returns the figure.
    TFigure* AddFigure(std::unique_ptr<TFigure> figure, bool select, TInsertReason reason);
    // Removes a figure from the drawing and destroys it (no event).
    void DeleteFigure(TFigure* figure);

    // --- layers ---
    int NewLayer(const QString& name);
    int GetLayerNbr(const QString& name) const;
    bool DeleteLayer(const QString& name);
    bool DeleteLayerWithNbr(int index);
    void DeleteAllUserLayers();
    void ShowLayer(int index);
    void HideLayer(int index);
    void GrayLayer(int index);
    void ShowAllLayers();
    void HideAllLayers();
    void ExGrayLayer(int index);
    void ExHideLayer(int index);
    void MergeAllLayers();
    void MergeVisibleLayers();
    QString GetLayerName(int index) const;
    TLayer* GetLayerHandle(int index) const;
    bool GetLayerVisible(int index) const;
    bool GetLayerGrayed(int index) const;

    // --- selection ---
    bool HasSelection() const { return FHasSelection; }
    int SelectedCount() const { return static_cast<int>(FSelection.size()); }
    const std::vector<TFigure*>& Selection() const { return FSelection; }
    const TSelectionCounts& SelectionCounts() const { return FSelectionCounts; }
    bool SelectByPoint(int layer, bool add, double x, double y);
    bool SelectWithInArea(int layer, const TDoubleRect& rect, bool add);
    void SelectFigure(TFigure* figure);
    void DeSelectFigure(TFigure* figure);
    void SelectAll(int layer);
    void DeselectAll(int layer);
    void InvertSelection();
    void Reselect();
    void RefreshSelection();
    TFigure* GetSelectedHandle(int index) const;
    bool IsTextSelected() const;
    // (smallest x, largest y, largest x, smallest y); all zero without figures.
    TDoubleRect GetSelectionRect() const;
    TDoubleRect GetDrawingRect() const;
    // Largest x, largest y, smallest x, smallest y; false (values untouched)
    // when there is nothing to bound.
    bool GetSelectionBoundS(double& maxX, double& maxY, double& minX, double& minY) const;
    bool GetDrawingBounds(double& maxX, double& maxY, double& minX, double& minY) const;
    TFigure* FindFigureByName(const QString& name) const;
    TModPoint* HitTestModPoint(double x, double y) const;
    TModPoint* HitTestModPointInt(double x, double y) const;
    const THandleList& ModPoints() const { return FModPoints; }
    void LockSelectionToMove(bool flag);
    void LockSelectionToModify(bool flag);
    // Called after every selection change: status text, then OnSelectionChange.
    void SelectionChanged();
    // The status text the last selection change left ("TLine>Line…" or empty).
    QString StatusText() const { return FStatusText; }
    // The class name of the single selected figure, kept for the tools.
    QString SelectedClassName() const { return FSelectedClassName; }

    // Common values of the selection (the default when they differ or none applies).
    TColor GetSlcPenColor() const;
    TColor GetSlcBrushColor() const;
    int GetSlcPenWidth() const;
    TPenStyle GetSlcPenStyle() const;
    TBrushStyle GetSlcBrushStyle() const;
    TRowStyle GetSlcRowStyle() const;
    bool GetSlcPolylineClosed() const;
    bool GetSlcLineBounded() const;
    TArcStyle GetSlcArcStyle() const;
    double GetSlcFontSize() const;
    // The font the selected texts share, attribute by attribute; the document's
    // Font where they differ or no text is selected.
    TFontSpec GetSlcFont() const;

    // --- editing used by the properties ---
    // Every figure scaled about the smallest corner of the drawing rectangle.
    void ScaleDrawing(double sx, double sy);
    void CloseSelectedPolyline();
    void OpenSelectedPolyline();
    void ArrangeArcStyleOfSelection(TArcStyle style);
    void Clear(int layer, bool undo);

    // --- creation; each returns the new figure's handle ---
    std::intptr_t Line(int layer, double x1, double y1, double x2, double y2, int penWidth, int penStyle,
                       TColor penColor, int rowStyle, bool select);
    std::intptr_t Vertex(int layer, double x, double y, bool select);
    // Fewer than two points create nothing and return −1.
    std::intptr_t PolyLine(int layer, std::span<const TDoublePoint> points, int penWidth, int penStyle,
                           TColor penColor, int rowStyle, int brushStyle, TColor brushColor, bool closed,
                           bool select);

    std::intptr_t DrawCircle(int layer, double cx, double cy, double radius, int penWidth, int penStyle,
                             TColor penColor, int brushStyle, TColor brushColor, bool select);
    std::intptr_t Ellipse(int layer, double cx, double cy, double a, double b, double angle, int penWidth,
                          int penStyle, TColor penColor, int brushStyle, TColor brushColor, bool select);
    std::intptr_t Arc(int layer, double cx, double cy, double radius, double startAngle, double endAngle,
                      int penWidth, int penStyle, TColor penColor, int brushStyle, TColor brushColor, int arcStyle,
                      bool select);
    std::intptr_t ElpArc(int layer, double cx, double cy, double a, double b, double angle, double startAngle,
                         double endAngle, int penWidth, int penStyle, TColor penColor, int brushStyle,
                         TColor brushColor, int arcStyle, bool select);
    std::intptr_t Rectangle(int layer, double x1, double y1, double x2, double y2, int penWidth, int penStyle,
                            TColor penColor, int brushStyle, TColor brushColor, bool select);
    // Ratio is the character width as a share of the height (0: natural width).
    std::intptr_t TextOut(int layer, double x, double y, double angle, double height, double ratio,
                          const QString& text, const QString& fontName, int charset, TColor color, bool select);

    // --- undo and redo (VXDrawingUndo.cpp) ---
    // Cuts the redo branch, puts the step first and trims the history to
    // UndoCount (chained steps leave together).
    void AddUndoAction(std::unique_ptr<TUndoAction> step);
    // A modify step for one figure, or (none) for every selected figure and
    // the lines joined to them.
    void RecordModify(TFigure* figure);
    void RecordInsert(TFigure* figure, int chain);
    void UnDo();
    void ReDo();
    void ClearUndoList();
    int UndoStepCount() const { return static_cast<int>(FUndoList.size()); }
    // How many of the newest steps are undone.
    int UndoPosition() const { return FUndoPos; }
    bool CanUndo() const { return FUndoPos < UndoStepCount(); }
    bool CanRedo() const { return FUndoPos > 0; }
    // Figures out of the drawing that steps still hold.
    int HeldFigureCount() const { return static_cast<int>(FHeld.size()); }

    // --- editing the selection (VXDrawingEditing.cpp) ---
    void MoveSelection(double dx, double dy);
    void RemoveSelection();
    std::intptr_t GroupSelection();
    void UngroupSelection();
    void OrderSelection(int mode);
    void AlignSelection(int vertical, int horizontal);
    void ModifyPenColor(TColor color);
    void ModifyPenWidth(int width);
    void ModifyBrushColor(TColor color);
    void ModifyPenStyle(TPenStyle style);
    void ModifyBrushStyle(TBrushStyle style);
    void ModifyRowStyle(TRowStyle style);
    void ModifyFontName(const QString& name);
    void ModifyFontBold(bool flag);
    void ModifyFontItalic(bool flag);
    void ModifyFontUnderline(bool flag);
    void ModifyFontStrike(bool flag);
    void ModifyFontCharset(int index);
    void ModifyFontColor(TColor color);
    void ModifyFontSize(double height);
    void RotateSelection(const TDoublePoint& centre, double angle);
    void MirrorSelection(const TDoublePoint& p1, const TDoublePoint& p2, bool copy);
    void ScaleSelection(const TDoublePoint& centre, double sx, double sy);
    void DuplicateSelection(double dx, double dy);
    void CollectFaces();
    const TFaceList& Faces() const { return FFaces; }
    void AddDimensionsToSelection();
    void RemoveDimensionsOfSelection();
    void InvertArcsOfSelection();
    void ConvertPLToBezier();
    void ConvertPLToPolyline();
    void BoundSelectedLine();
    void BoundLinePoint(TFigure* figure, int index, const TDoublePoint& point);
    void BoundLineToFigures(TFigure* line, TFigure* figure1, TFigure* figure2);
    void BoundLineByText(const QString& text, int which);
    void BoundPLineByText(const QString& text, int which);
    void UnBoundLine();
    void OffSetSelection(double distance);
    void ArrayRectSelection(int columns, int rows, double dx, double dy);
    void ArrayPolarSelection(const TDoublePoint& centre, double angle);

    // --- cutting, welding and converting (VXDrawingCutting.cpp) ---
    std::intptr_t WeldIntoPolyline();
    std::intptr_t MakeSelectedLinesPolyline();
    void InterBreakSelection();
    void KnifeSelection(const TDoublePoint& p1, const TDoublePoint& p2);
    // Exactly one selected picture and one other figure with a hit region:
    // the figure leaves the list and becomes the picture's clip figure.
    void ClipSelBitmapToSelFigure();
    // Every selected picture mirrored horizontally (mode 1) or vertically
    // (any other mode), or its transparent drawing switched; one modify step.
    void FlipImagesOfSelection(int mode);
    void setTransparentOfSelection(bool transparent);
    // Every selected clipped picture gives its clip figure back to the list.
    void UnClipSelBitmap();
    void DuplicateSelectionAsBezier(double dx, double dy);
    void ConvertSelectionToBezier();

    // --- custom data ---
    // The bytes of the drawing's custom stream; none when absent.
    std::optional<QByteArray> GetCustomStream() const;
    // A size ≤ 0 removes the stream.
    void SetCustomStream(int size, const void* source);
    std::optional<QByteArray> GetFigureCustomStream(const TFigure* figure) const;
    void SetFigureCustomStream(TFigure* figure, int size, const void* source);

    // --- files (DrawingFileIO.cpp, BlockFile.cpp) ---
    // Builds the drawing and its ".pin" sidecar in memory and commits both
    // through temporary files; a failure is reported and changes nothing.
    bool SaveToFile(const QString& fileName);
    // The page alone as a picture at this many pixels per millimetre: page
    // colour and the figures of visible layers (grayed ones gray), without
    // grid, guides or frame. The surface's own drawing state comes back.
    QImage RenderPageImage(double pixelsPerMm);
    // Parses into fresh layers and figures and swaps them in only when the
    // file is a drawing; a damaged file loads what could be read.
    bool LoadFromFile(const QString& fileName);
    // Writes the selection as a block file; false when nothing was written.
    bool MakeSelectionBlock(const QString& fileName);
    TFigure* InsertBlockwithFileName(int layer, const QString& fileName, double x, double y);
    int CountBlock(const QString& name) const;
    void SetBlockInfo(TFigure* figure, const QString& text);

    // --- painting ---
    void Draw();
    void DrawFigures(bool rangeCheck);
    void DrawSelectedFigures();
    void DrawSelectionPoints();
    void DrawFigureGuides();
    void ReDrawSelection();
    void RedrawHandles();
    void Refresh() override;
    void ManualRefresh();
    void FreeAllRegions() override;

    // --- blinking control points ---
    QTimer* BlinkTimer() const { return FBlinkTimer; }
    void SetHandleBlinking(TModPoint* handle, bool blinking);
    // One timer period: toggles the blinking handles and redraws them.
    void BlinkTick();

    // --- properties ---
    TColor DefaultPenColor() const { return FDefaults.PenColor; }
    void SetDefaultPenColor(TColor value);
    TColor DefaultBrushColor() const { return FDefaults.BrushColor; }
    void SetDefaultBrushColor(TColor value);
    int DefaultPenWidth() const { return FDefaults.PenWidth; }
    void SetDefaultPenWidth(int value);
    TPenStyle DefaultPenStyle() const { return FDefaults.PenStyle; }
    void SetDefaultPenStyle(TPenStyle value);
    TBrushStyle DefaultBrushStyle() const { return FDefaults.BrushStyle; }
    void SetDefaultBrushStyle(TBrushStyle value);
    TRowStyle DefaultRowStyle() const { return FDefaults.RowStyle; }
    void SetDefaultRowStyle(TRowStyle value);
    double DefaultTextHeight() const { return FDefaults.TextHeight; }
    void SetDefaultTextHeight(double value);
    double DefaultTextRatio() const { return FDefaultTextRatio; }
    void SetDefaultTextRatio(double value) { FDefaultTextRatio = value; }
    bool DefaultPLineClosed() const { return FDefaults.PLineClosed; }
    void SetDefaultPLineClosed(bool value);
    TArcStyle DefaultArcStyle() const { return FDefaults.ArcStyle; }
    void SetDefaultArcStyle(TArcStyle value);
    int MapScale() const override { return FMapScale; }
    void SetMapScale(int value);
    TMapRescale RescaleToMap() const { return FRescaleToMap; }
    void SetRescaleToMap(TMapRescale value) { FRescaleToMap = value; }
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool value) { FAutoSelect = value; }
    const TFontSpec& Font() const { return FFont; }
    void SetFont(const TFontSpec& font) { FFont = font; }
    bool KeyCommands() const { return FKeyCommands; }
    void SetKeyCommands(bool value) { FKeyCommands = value; }
    // Reads false while OnCustomUndo is assigned.
    bool RecordUndo() const { return FRecordUndo && !OnCustomUndo; }
    void SetRecordUndo(bool value) { FRecordUndo = value; }
    int UndoCount() const { return FUndoCount; }
    void SetUndoCount(int value) { FUndoCount = value; }
    QString DefaultPictureFolder() const { return FDefaultPictureFolder; }
    void SetDefaultPictureFolder(const QString& value) { FDefaultPictureFolder = value; }
    bool SaveWithPreview() const { return FSaveWithPreview; }
    void SetSaveWithPreview(bool value) { FSaveWithPreview = value; }
    TRulerMode RulerMode() const { return FRulerMode; }
    void SetRulerMode(TRulerMode value);
    bool ZoomRect() const { return FZoomRect; }
    void SetZoomRect(bool value) { FZoomRect = value; }
    bool RangeCheck() const { return FRangeCheck; }
    void SetRangeCheck(bool value);
    bool AutoTilePrint() const { return FAutoTilePrint; }
    void SetAutoTilePrint(bool value) { FAutoTilePrint = value; }
    bool FigureGuides() const { return FFigureGuides; }
    void SetFigureGuides(bool value);
    QString FileName;

    // --- events ---
    std::function<void(TVXDrawing* sender)> OnSelectionChange;
    std::function<void(TVXDrawing* sender, TInsertReason reason)> OnObjectInserted;
    std::function<void(TVXDrawing* sender, TFigure* figure, TInsertState& insertState)> BeforeFigureInsert;
    std::function<void(TVXDrawing* sender, TFigure* figure, double dx, double dy)> OnFigureMoved;
    std::function<void(TVXDrawing* sender, TFigure* figure)> OnFigureModify;
    std::function<void(TVXDrawing* sender, TFigure* figure)> OnFigureSelect;
    std::function<void(TVXDrawing* sender, TFigure* figure, bool& canDelete)> OnBeforeDelete;
    std::function<void(TVXDrawing* sender)> OnAfterDelete;
    std::function<void(TVXDrawing* sender)> OnBeforeUndo;
    std::function<void(TVXDrawing* sender)> OnAfterUndo;
    std::function<bool(TVXDrawing* sender, TFigure* snapFigure, double& x, double& y)> OnSnapToFigure;
    std::function<void(TVXDrawing* sender)> OnSurfacePaint;
    std::function<void(TVXDrawing* sender)> OnMapScaleChanged;
    std::function<void(TVXDrawing* sender, const QString& customName, TFigureEngine& engine, TFigure* figure,
                       bool isGrayed, bool& drawed)>
        OnUserDraw;
    std::function<void(TVXDrawing* sender, const QString& customName, TFigure* figure, double x, double y,
                       bool& test, bool& tested)>
        OnUserHitTest;
    std::function<void(TVXDrawing* sender)> OnBeforeClear;
    std::function<void(TVXDrawing* sender, TFaceList& faces)> OnCollectFaces;
    std::function<void(TVXDrawing* sender, TFigure* figure, TFaceList& faces)> OnCollectFigureFaces;
    std::function<void(TVXDrawing* sender, TFigure* figure)> OnObjectSaved;
    std::function<void(TVXDrawing* sender, TFigure* figure)> OnFigureEdit;
    std::function<void(TVXDrawing* sender, bool isRedo)> OnCustomUndo;
    std::function<void(TVXDrawing* sender, TFigure* figure)> OnBeforeModify;
    std::function<void(TVXDrawing* sender, TFigure* figure)> OnBeforeMove;
    std::function<void(TVXDrawing* sender, double& dx, double& dy)> OnBeforeMoveAll;
    std::function<void(TVXDrawing* sender, double dx, double dy)> OnAfterMoveAll;

protected:
    void PaintDocument() override;
    void AfterPaint() override;
    void ZeroChanged() override;
    // The surface's hooks into the document: the zoom keeps the selection (or
    // the drawing, or the page) in view; the detail window and the 3-D view
    // draw the figures; rulers label world units at the map scale.
    TDoubleRect ZoomFocusRect() const override;
    void DrawViewFigures() override;
    bool RulerWorldMode() const override { return FRulerMode == TRulerMode::rmWorld; }
    int RulerMapScale() const override { return FMapScale; }

private:
    friend class TDrawingFileAccess;
    // While one lives, removed figures are kept alive (though out of the
    // drawing) so that loops and handlers never touch freed figures.
    class TBusyGuard {
    public:
        explicit TBusyGuard(TVXDrawing& drawing) : FDrawing(drawing) { ++FDrawing.FBusy; }
        ~TBusyGuard();
        TBusyGuard(const TBusyGuard&) = delete;
        TBusyGuard& operator=(const TBusyGuard&) = delete;

    private:
        TVXDrawing& FDrawing;
    };

    template <typename TEvent, typename... TArgs> void Fire(const TEvent& event, TArgs&&... args) {
        if (!event) return;
        TBusyGuard guard(*this);
        event(std::forward<TArgs>(args)...);
    }

    // A modify step for the selected figures the test accepts (hidden layers
    // left out), then the change on each; nothing when none is accepted.
    void ChangeSelectedOfClass(const std::function<bool(const TFigure*)>& accepts,
                               const std::function<void(TFigure*)>& change);
    // --- undo building blocks (VXDrawingUndo.cpp) ---
    // A new step, or none while nothing is recorded.
    std::unique_ptr<TUndoAction> BeginUndoStep(TUndoKind kind) const;
    // The step holds the figure: its FUndoRefs go up (insert, delete and
    // replace steps; Extra for the replaced figures of a replace step).
    static void StepHold(TUndoAction& step, TFigure* figure);
    static void StepHoldExtra(TUndoAction& step, TFigure* figure);
    // Takes a figure out of the drawing for good or for undo: deselected,
    // marked deleted, its index kept in FUndoIndex and its joins (both ways)
    // noted in the step. With a step the figure is held by it (kept alive out
    // of the drawing); without one it is freed.
    void RemoveForUndo(TFigure* figure, TUndoAction* step);
    // Appends without events (the caller fires what the operation fires).
    TFigure* AppendFigure(std::unique_ptr<TFigure> figure, bool select);
    // The steps let go of the figures; those out of the drawing that no step
    // holds any more are freed.
    void ReleaseHeld(std::span<TFigure* const> figures);
    // Empties the step's figure lists into one.
    static std::vector<TFigure*> StepFigures(TUndoAction& step);
    // Lets go of everything a step holds.
    void DiscardStep(TUndoAction& step);
    void UndoStep(TUndoAction& step);
    void RedoStep(TUndoAction& step);
    // Reads a stored record into the figure in place (the figure keeps its
    // identity; a group refills its members).
    void ReloadFigure(TFigure* figure, const std::vector<std::uint8_t>& record, const std::vector<bool>& changed);
    // Takes a figure out of the list; its joins (both ways) are noted first.
    std::unique_ptr<TFigure> Unlist(TFigure* figure, std::vector<TUndoJoin>* joins);
    // Puts a taken figure into the list at index (appended when out of range).
    TFigure* Relist(std::unique_ptr<TFigure> figure, int index, bool select);
    // A figure a step holds moves from FHeld back into the list.
    TFigure* RelistHeld(TFigure* figure, int index, bool select);
    // A taken figure is kept while steps hold it, else freed.
    void HoldOrDispose(std::unique_ptr<TFigure> figure);
    void RestoreJoins(TUndoAction& step);
    // The members leave the drawing for the held group, which comes back at
    // its former index, selected.
    void Regroup(TFigureGrp& group, std::span<TFigure* const> members, TUndoAction& step);
    // Clip and unclip steps: picture k of the step takes its clip figure out
    // of the list, or gives it back (at `index`, appended when negative).
    void ClipStepPut(TUndoAction& step);
    void ClipStepTake(TUndoAction& step, bool atFormerIndex);
    // The step (none while nothing records) holds its pictures and clip
    // figures and joins the history; the drawing is repainted.
    void FinishPictureStep(std::unique_ptr<TUndoAction> step);
    // A figure freed while a step still needs the figure it clips keeps that one.
    void KeepClipFigureAlive(TFigure* figure);
    void MoveFigureTo(TFigure* figure, int index);
    // The selected figures (list order) that may be edited: not on a hidden layer.
    std::vector<TFigure*> EditableSelection() const;
    // Hands a step over (an empty one only when keepEmpty).
    void CommitStep(std::unique_ptr<TUndoAction> step, bool keepEmpty);
    std::unique_ptr<TUndoAction> ModifyStepFor(const std::vector<TFigure*>& figures);
    // A modify step for the editable selection, when there is one.
    void RecordSelectionModify();
    // Applies a font change to the selected figures; false when none took it.
    bool ModifySelectionFont(int kind, const QString& text, bool flag, int value, double size);
    // Clones of the selection; with the step they are held by it.
    void AppendCopies(const std::vector<TFigure*>& sources, TUndoAction* step,
                      const std::function<void(TFigure&)>& place);

    void RegisterDocumentClasses();
    void CreateChannels();
    void PublishSelectionState();
    void CountSelection();
    // The figures whose selected flag is set, in figure-list order.
    std::vector<TFigure*> SelectedFigures() const;
    std::vector<TFigure*> FiguresOnLayer(const TLayer* layer) const;
    // True when the figure is still part of the drawing; cheap while nothing
    // was removed since `removals` was read.
    bool StillOwned(const TFigure* figure, std::uint64_t removals) const;
    // Takes a figure out of the drawing: deselected, out of the selection, its
    // joins and the joins to it released. Returns the owner.
    std::unique_ptr<TFigure> TakeFigure(TFigure* figure);
    // Frees a taken figure now, or when the outermost busy guard ends.
    void DisposeFigure(std::unique_ptr<TFigure> figure);
    bool ValidLayer(int index) const { return index >= 0 && index < LayerCount(); }
    // Destroys layer `index` (its figures must be gone or moved) and keeps the
    // active layer on the same layer object where it survives.
    void RemoveLayerAt(int index);
    void KeepLayerCopiesCurrent();
    // Applies a change-attribute kind to the selection, or stores the default.
    void ModifyAttribute(int kind, int value, const std::function<void()>& storeDefault, int channel,
                         int channelValue);
    void DrawFigure(TFigure& figure, TFigureEngine& engine, bool grayed);
    TDoubleRect VisibleWorldRect() const;
    // Working bitmap := background copy.
    void RestoreBackground();
    TEventEngine* Channel(int id) const { return FindEventEngine(id); }

    std::vector<std::unique_ptr<TLayer>> FLayers;
    // Declared before the figures: figures hand their handles back when destroyed.
    THandleList FModPoints;
    std::vector<std::unique_ptr<TFigure>> FFigures;
    mutable TFigureNameIndex FNames;
    TFigureHitIndex FHitIndex;
    // Grows whenever figures enter, leave or change places in the list.
    std::uint64_t FListVersion = 0;
    std::vector<std::unique_ptr<TFigure>> FGraveyard;
    // Figures replaced by others while nothing records them (a circle scaled
    // unevenly becomes an ellipse): out of the drawing, freed with the drawing.
    std::vector<std::unique_ptr<TFigure>> FReplaced;
    std::vector<TFigure*> FSelection;
    bool FHasSelection = false;
    std::vector<std::unique_ptr<TPattern>> FPatterns;
    std::unique_ptr<TMemoryStream> FDrawingStream;
    TSelectionCounts FSelectionCounts;
    QTimer* FBlinkTimer = nullptr;
    std::vector<TModPoint*> FBlinkingHandles;
    bool FBlinkRepaint = false;
    int FSelectCounter = 0;
    std::uint64_t FRemovals = 0;
    int FBusy = 0;
    TFaceList FFaces;
    QString FStatusText;
    QString FSelectedClassName;
    QString FUserFigureName;

    TFigureDefaults FDefaults;
    double FDefaultTextRatio = 0.0;
    int FMapScale = 50;
    TMapRescale FRescaleToMap = TMapRescale::rsNever;
    bool FAutoSelect = true;
    TFontSpec FFont;
    bool FKeyCommands = true;
    bool FRecordUndo = true;
    int FUndoCount = 24;
    // Newest step first; FUndoPos of them are undone.
    TUndoList FUndoList;
    int FUndoPos = 0;
    // Figures out of the drawing kept alive for the steps that hold them.
    std::unordered_map<TFigure*, std::unique_ptr<TFigure>> FHeld;
    QString FDefaultPictureFolder;
    bool FSaveWithPreview = true;
    TRulerMode FRulerMode = TRulerMode::rmPage;
    bool FZoomRect = false;
    bool FRangeCheck = false;
    bool FAutoTilePrint = true;
    bool FFigureGuides = true;
};
