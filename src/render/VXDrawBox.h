#pragma once
// TVXDrawBox: the drawing surface. It shows the page at a zoom factor with
// rulers, its own scroll bars, a grid, guide lines, a centre cross, a tracking
// cursor and a magnifying detail window; it keeps the page origin in pixels,
// the active layer, the draw engine with the page mapping, and the two bitmaps
// of the double-buffered paint: the working bitmap everything is painted into
// and the background copy the document keeps without selection marks.
// Mouse input arrives in logical pixels through the paint box child and is
// handed on in world millimetres after snapping.

#include "model/Enums.h"
#include "model/GeometryTypes.h"
#include "platform/Canvas.h"
#include "render/DrawEngine.h"
#include "render/ScreenMapping.h"
#include "render/SurfaceTypes.h"
#include "render/VXPanel.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TQtCanvas;
class TPaintBoxExt;
class QWheelEvent;

class TVXDrawBox : public TVXPanel {
public:
    static constexpr int kMinZoom = 1;
    static constexpr int kMaxZoom = 3000;
    static constexpr int kRulerSize = 30;
    static constexpr int kScrollBarSize = 15;

    explicit TVXDrawBox(QWidget* parent = nullptr);
    ~TVXDrawBox() override;

    // --- page and zoom ---
    // Zoom in percent, 1..3000; other values are ignored.
    int ZoomScale() const { return FZoomScale; }
    void SetZoomScale(int value);
    // Page size in millimetres; writing one sets plCustom and the orientation.
    virtual double WorkWidth() const { return FWorkWidth; }
    virtual double WorkHeight() const { return FWorkHeight; }
    void SetWorkWidth(double value);
    void SetWorkHeight(double value);
    TPageLayout PageLayout() const { return FPageLayout; }
    void SetPageLayout(TPageLayout value);
    TPageOrient PageOrient() const { return FPageOrient; }
    void SetPageOrient(TPageOrient value);
    TColor PageColor() const { return FPageColor; }
    void SetPageColor(TColor value);
    TColor BackGround() const { return FBackGround; }
    void SetBackGround(TColor value);
    bool DrawShadow() const { return FDrawShadow; }
    void SetDrawShadow(bool value);

    // --- grid, guides, rulers ---
    bool Grids() const { return FGrids; }
    void SetGrids(bool value);
    TGridType GridType() const { return FGridType; }
    void SetGridType(TGridType value);
    // Millimetres (metric) or sixteenths of an inch (inch).
    double GridStep() const { return FGridStep; }
    void SetGridStep(double value);
    TColor GridColor() const { return FGridColor; }
    void SetGridColor(TColor value);
    bool GuidesVisible() const { return FGuidesVisible; }
    void SetGuidesVisible(bool value);
    TColor GuideColor() const { return FGuideColor; }
    void SetGuideColor(TColor value);
    TGuideTraces GuideTrace() const { return FGuideTrace; }
    void SetGuideTrace(TGuideTraces value);
    bool CenterGuide() const { return FCenterGuide; }
    void SetCenterGuide(bool value);
    TColor RulerColor() const { return FRulerColor; }
    void SetRulerColor(TColor value);
    TRulerSystem RulerSystem() const { return FRulerSystem; }
    // Converts the grid step to the new system.
    void SetRulerSystem(TRulerSystem value);
    // Sets the system and keeps the grid step as it is (a loaded drawing
    // brings its own step).
    void SetRulerSystemKeepStep(TRulerSystem value);

    // --- snapping ---
    bool SnapToGrids() const { return FSnapToGrids; }
    void SetSnapToGrids(bool value);
    bool SnapToGuides() const { return FSnapToGuides; }
    void SetSnapToGuides(bool value);
    bool SnapToNearPointEnabled() const { return FSnapToNearPoint; }
    void SetSnapToNearPoint(bool value);
    // Snaps a world point: near point first, then grid and guides per axis.
    // Skipped while the tool kind is 1 or 7.
    void Snap(double& x, double& y);

    // --- scroll bars, detail window, 3-D view ---
    bool ScrollBars() const { return FScrollBars; }
    void SetScrollBars(bool value);
    bool DetailWindow() const { return FDetailWindow; }
    void SetDetailWindow(bool value);
    int DetailWidth() const { return FDetailWidth; }
    void SetDetailWidth(int value);
    int DetailHeight() const { return FDetailHeight; }
    void SetDetailHeight(int value);
    // Percent, clamped to 10..3000.
    int DetailScale() const { return FDetailScale; }
    void SetDetailScale(int value);
    TDetailStyle DetailStyle() const { return FDetailStyle; }
    void SetDetailStyle(TDetailStyle value);
    bool Isometric() const { return FIsometric; }
    void SetIsometric(bool value);
    double IsoCoordZ() const { return FIsoCoordZ; }
    void SetIsoCoordZ(double value) { FIsoCoordZ = value; }
    // The detail window's rectangle in pixels and its world offset.
    QRect DetailRect() const;
    TDoublePoint DetailOffset() const { return FDetailOffset; }
    void SetDetailOffset(const TDoublePoint& offset);
    // Detail mapping: world ↔ pixels inside the detail window.
    TDoublePoint DetailToDevice(double x, double y, double z = 0) const;
    TDoublePoint DetailToWorld(double px, double py, double z = 0) const;
    // The oblique projection of a world point into page millimetres measured
    // from the page's top-left corner, and its inverse for a known z.
    TDoublePoint ProjectOblique(double x, double y, double z) const;
    TDoublePoint UnprojectOblique(double px, double py, double z) const;

    // --- guides ---
    int GuideCount() const { return static_cast<int>(FGuides.size()); }
    const TGuideLine& GuideAt(int index) const { return *FGuides[static_cast<std::size_t>(index)]; }
    TGuideLine* AddGuide(std::uint8_t kind, double position);
    // Destroys all guide lines and repaints.
    void ClearGuides();
    // Picks up the first guide within 6 pixels of a world point and starts
    // dragging it; true when one was picked up.
    bool CheckGuideLine(double x, double y);
    // Ends a guide drag at a device point; true when a drag was in progress.
    bool CheckForGuideDrop(int x, int y);

    // --- zoom ---
    void ZoomIn();
    void ZoomOut();
    void ActualSize();
    void FitToWindow();
    // Zooms so that the world rectangle fills the surface and centres it.
    void ZoomArea(const TDoubleRect& rect);

    // --- layout ---
    // Pixels per millimetre at the current zoom.
    double Factor() const { return TScreenMapping::BaseFactor * FZoomScale / 100.0; }
    // Pixel position of the page's top-left corner and the page size in pixels.
    int OriginX() const { return FOriginX; }
    int OriginY() const { return FOriginY; }
    int PageWidthPixels() const { return FPageWidth; }
    int PageHeightPixels() const { return FPageHeight; }
    // The size of the area painted into (the paint box, or the custom surface
    // less the margin).
    int SurfaceWidth() const;
    int SurfaceHeight() const;
    void SetSurfaceMargin(int pixels);
    // Scrolling: active flags, ranges, page sizes and positions in pixels.
    bool HScrollActive() const { return FHScroll; }
    bool VScrollActive() const { return FVScroll; }
    int HScrollRange() const { return FHRange; }
    int VScrollRange() const { return FVRange; }
    int HScrollPage() const { return FHPage; }
    int VScrollPage() const { return FVPage; }
    int HSCBarPosition() const { return FHPos; }
    int VSCBarPosition() const { return FVPos; }
    void SetScrollPositions(int h, int v);
    void SetHScrollPosition(int pos, bool repaint);
    void SetVScrollPosition(int pos, bool repaint);
    // Moves the position by a thumb movement of `delta` pixels from the
    // position at the start of the drag.
    void SetHScrollDelta(bool repaint, int delta);
    void SetVScrollDelta(bool repaint, int delta);
    // Remembers the scroll positions a thumb drag starts from.
    void BeginScrollDrag();
    // Hit tests in pixels.
    bool PointInHRuler(int x, int y) const;
    bool PointInVRuler(int x, int y) const;
    bool PointInHScroll(int x, int y) const;
    bool PointInVScroll(int x, int y) const;
    bool PointInDetail(int x, int y) const;
    QRect HScrollRect() const;
    QRect VScrollRect() const;
    // World coordinates of the device points (0, 0) and the surface's far corner.
    TDoubleRect GetVisibleRect() const;

    // --- tools ---
    int ToolIdx() const { return FToolIdx; }
    const QString& ToolInfo() const { return FToolInfo; }
    void SetToolState(int kind, const QString& className);

    // The layer new figures go to. Writing a number outside the layer list
    // shows "Invalid Layer Number" and changes nothing.
    int ActiveLayer() const { return FActiveLayer; }
    void SetActiveLayer(int value);
    // The number of layers the active layer is checked against.
    virtual int LayerCount() const { return 1; }

    TVXDrawEngine& DrawEngine() const { return *FEngine; }
    // The page mapping of the current layout.
    TScreenMapping PageMapping() const;
    // Installs the page mapping into the engine.
    void InstallPageMapping();
    // World millimetres of a device point and back with the page mapping.
    TDoublePoint DeviceToWorld(double px, double py) const;
    TDoublePoint WorldToDevice(double x, double y) const;

    QImage& WorkBitmap() { return FWorkBitmap; }
    QImage& BackgroundBitmap() { return FBackgroundBitmap; }
    // The working bitmap with the tracking cursor and a dragged guide line on
    // top: what the screen shows.
    QImage ShownImage() const;
    TPaintBoxExt* PaintBox() const { return FPaintBox; }

    // Re-runs the layout and frees the figures' device regions.
    void ReLocate();
    // Full repaint of the working bitmap; shown on the screen when visible.
    void Refresh() override;
    // Runs a full paint and copies the working bitmap into `target`; works
    // without a shown window.
    void PaintTo(QImage& target);
    // Copies the working bitmap to the screen when the control is showing.
    void ShowWorkBitmap();
    // True while painting is allowed (not locked, not suspended).
    bool PaintingEnabled() const;
    void SuspendPainting() { ++FPaintSuspended; }
    void ResumePainting() { --FPaintSuspended; }

    // --- input from outside, in pixels, as if it came from the paint box ---
    void DoSurfaceMove(TShiftState shift, int x, int y);
    void DoSurfacePush(TMouseButton button, TShiftState shift, int x, int y);
    void DoSurfacePull(TMouseButton button, TShiftState shift, int x, int y);
    void DoSurfaceClick();
    void DoSurfaceDblClick();
    void DoSurfaceLeave();
    void DoSurfaceDragDrop(int sourceKind, int x, int y);
    void DoSurfaceDragOver(int sourceKind, TDragState state, bool& accept, int x, int y);
    void DoSurfaceDragEnd(int x, int y);
    // The source kind of a drag: 3 from this surface, 4 from a paint box (a
    // block library entry), 0 otherwise. The last drag's source widget stays
    // readable (a "BlockBox" carries the block file in its tool tip).
    int DragSourceKind(const QObject* source) const;
    QObject* LastDragSource() const { return FLastDragSource; }
    // Wheel: delta > 0 is away from the user.
    void DoSurfaceWheel(int delta, int x, int y);
    void DoSurfaceMiddleDblClick(int x, int y);
    // The current mouse mode (SurfaceMode) and whether its drag has started.
    int MouseMode() const { return FMouseMode; }
    bool Dragging() const { return FDragging; }

    // --- events ---
    std::function<void(TVXDrawBox* sender)> OnBeforePaint;
    std::function<void(TVXDrawBox* sender)> OnScaleChanged;
    std::function<void(TVXDrawBox* sender, TShiftState shift, double x, double y)> OnSurfaceMove;
    std::function<void(TVXDrawBox* sender, TMouseButton button, TShiftState shift, double x, double y)>
        OnSurfaceMouseDown;
    std::function<void(TVXDrawBox* sender, TMouseButton button, TShiftState shift, double x, double y)>
        OnSurfaceMouseUp;
    std::function<void(TVXDrawBox* sender)> OnSurfaceLeave;
    std::function<void(TVXDrawBox* sender)> OnSurfaceClick;
    std::function<void(TVXDrawBox* sender)> OnSurfaceDblClick;
    std::function<void(TVXDrawBox* sender, int sourceKind, double x, double y)> OnSurfaceDragDrop;
    std::function<void(TVXDrawBox* sender, int sourceKind, double x, double y, TDragState state, bool& accept)>
        OnSurfaceDragOver;
    std::function<void(TVXDrawBox* sender, double x, double y)> OnSurfaceEndDrag;
    std::function<void(TVXDrawBox* sender)> OnSurfaceStartDrag;
    std::function<void(int hMax, int vMax, int hPos, int vPos, int hPage, int vPage, int sChange, int lChange)>
        OnScrollValues;
    std::function<void(TVXDrawBox* sender, int cursor)> OnCursorChange;

    // Keys as (Windows virtual-key code, shift state).
    virtual void DoKeyStroke(int /*key*/, TShiftState /*shift*/) {}

protected:
    // While it lives, the engine draws into the working bitmap with the page
    // mapping; nested scopes share the outer canvas.
    class TCanvasScope {
    public:
        explicit TCanvasScope(TVXDrawBox& box);
        ~TCanvasScope();
        TCanvasScope(const TCanvasScope&) = delete;
        TCanvasScope& operator=(const TCanvasScope&) = delete;
        // False when there is nothing to draw into.
        bool Active() const { return FActive; }

    private:
        TVXDrawBox& FBox;
        std::unique_ptr<TQtCanvas> FCanvas;
        bool FActive = false;
    };

    // --- hooks for the document and the tools (world coordinates) ---
    virtual void SurfaceMouseDown(TMouseButton, TShiftState, double, double) {}
    virtual void SurfaceMouseMove(TShiftState, double, double) {}
    virtual void SurfaceMouseUp(TMouseButton, TShiftState, double, double) {}
    virtual void SurfaceDragDrop(int /*sourceKind*/, double, double) {}
    virtual void SurfaceDragOver(int /*sourceKind*/, TDragState, bool& /*accept*/, double, double) {}
    virtual void SurfaceEndDrag(double, double) {}
    virtual void SurfaceStartDrag() {}
    virtual void SurfaceClick() {}
    virtual void SurfaceDblClick() {}
    virtual void SurfaceLeave() {}
    // The document's near-point snap; true when it snapped.
    virtual bool SnapToNearPoint(double& /*x*/, double& /*y*/) { return false; }
    // The rectangle the zoom keeps in view: selection, drawing or the page.
    virtual TDoubleRect ZoomFocusRect() const;
    // Draws the figures with whatever mapping and canvas the engine holds
    // (detail window and 3-D view).
    virtual void DrawViewFigures() {}
    // Ruler labels in world units at the map scale (1 : RulerMapScale).
    virtual bool RulerWorldMode() const { return false; }
    virtual int RulerMapScale() const { return 1; }

    // Makes the working bitmap match the surface size (contents are kept when
    // the size did not change).
    void EnsureWorkBitmap();
    // The full paint, unless locked.
    void FullPaint();
    // Hooks of the paint for the document: after page, before rulers; and after
    // everything.
    virtual void PaintDocument() {}
    virtual void AfterPaint() {}
    // Frees every figure's device region; called before every layout change.
    virtual void FreeAllRegions() {}

    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void ZeroChanged() override;
    void CustomSurfaceChanged() override;

private:
    friend class TPaintBoxExt;

    // Page size table and orientation rules.
    void ApplyWorkSize(double width, double height);
    void PublishPageState();
    void CreateSurfaceChannels();
    void Publish(int channel, int value);
    void RefreshIfShown();

    // Layout (SurfaceLayout.cpp).
    void Layout(bool force);
    void ApplyZoomFocus();
    void FireScrollValues();
    void ScrollChanged(bool repaint);

    // Painting pieces.
    void PaintPage();
    void PaintGrid(TCanvas& canvas);
    void PaintGuides(TCanvas& canvas);
    void PaintCenterCross(TCanvas& canvas);
    void PaintRulers(TCanvas& canvas);
    void PaintScrollBars(TCanvas& canvas);
    void PaintDetail();
    void PaintIsometric();
    void DrawTrace(QPoint at);
    void EraseTrace();
    void DrawGuideDragLine(QPoint at);
    // Clip of figure drawing: right of and below the rulers, above and left of
    // the scroll bars.
    QRect FigureClipRect() const;
    void ApplyFigureClip(TCanvas& canvas) const;

    // Input (SurfaceInput.cpp).
    TDoublePoint InputToWorld(int x, int y) const;
    void SetCursorKind(int cursor);

    std::unique_ptr<TVXDrawEngine> FEngine;
    TPaintBoxExt* FPaintBox = nullptr;
    int FZoomScale = 100;
    double FWorkWidth = 100.0;
    double FWorkHeight = 100.0;
    TPageLayout FPageLayout = TPageLayout::plCustom;
    TPageOrient FPageOrient = TPageOrient::poPortrait;
    TColor FPageColor = 0xFFFFFF;
    TColor FBackGround = 0xFFFFFF;
    bool FDrawShadow = true;
    bool FGrids = true;
    TGridType FGridType = TGridType::grtLine;
    double FGridStep = 5.0;
    TColor FGridColor = 0xC0C0C0;
    bool FGuidesVisible = true;
    TColor FGuideColor = 0x008000;
    TGuideTraces FGuideTrace = TGuideTraces::gtNone;
    bool FCenterGuide = false;
    TColor FRulerColor = 0xC0C0C0;
    TRulerSystem FRulerSystem = TRulerSystem::rsMetric;
    bool FSnapToGrids = false;
    bool FSnapToGuides = false;
    bool FSnapToNearPoint = false;
    bool FScrollBars = true;
    bool FDetailWindow = false;
    int FDetailWidth = 100;
    int FDetailHeight = 100;
    int FDetailScale = 100;
    TDetailStyle FDetailStyle = TDetailStyle::dsZoom;
    bool FIsometric = false;
    double FIsoCoordZ = 0;
    TDoublePoint FDetailOffset{0, 0};
    std::vector<std::unique_ptr<TGuideLine>> FGuides;

    int FActiveLayer = 0;
    int FToolIdx = 0;
    QString FToolInfo;
    int FOriginX = 35;
    int FOriginY = 35;
    int FPageWidth = 400;
    int FPageHeight = 400;
    bool FHScroll = false;
    bool FVScroll = false;
    int FHRange = 0;
    int FVRange = 0;
    int FHPage = 0;
    int FVPage = 0;
    int FHPos = 0;
    int FVPos = 0;
    int FDragStartH = 0;
    int FDragStartV = 0;
    int FSurfaceMargin = 0;
    int FPaintSuspended = 0;
    int FScrollEventsSuspended = 0;
    int FLayoutZoom = 100;
    QImage FWorkBitmap;
    QImage FBackgroundBitmap;

    // Input state.
    int FMouseMode = SurfaceMode::None;
    bool FDragging = false;
    QPoint FPressPos;
    QPoint FLastPos;
    bool FLastPressInDetail = false;
    std::optional<QPoint> FTracePos;
    std::optional<QPoint> FGuideDragPos;
    TDoublePoint FDetailDragStart{0, 0};
    QObject* FLastDragSource = nullptr;
};
