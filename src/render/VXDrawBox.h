#pragma once
// TVXDrawBox: the drawing surface. It shows the page at a zoom factor, keeps
// the page origin in pixels, the active layer, the draw engine with the page
// mapping, and the two bitmaps of the double-buffered paint: the working
// bitmap everything is painted into and the background copy the document
// keeps without selection marks.

#include "model/Enums.h"
#include "platform/Canvas.h"
#include "render/DrawEngine.h"
#include "render/ScreenMapping.h"
#include "render/VXPanel.h"

#include <QImage>
#include <functional>
#include <memory>

class TQtCanvas;

class TVXDrawBox : public TVXPanel {
public:
    static constexpr int kMinZoom = 1;
    static constexpr int kMaxZoom = 3000;

    explicit TVXDrawBox(QWidget* parent = nullptr);
    ~TVXDrawBox() override;

    // Zoom in percent, 1..3000; other values are ignored.
    int ZoomScale() const { return FZoomScale; }
    void SetZoomScale(int value);
    // Page size in millimetres.
    virtual double WorkWidth() const { return FWorkWidth; }
    virtual double WorkHeight() const { return FWorkHeight; }
    void SetWorkWidth(double value);
    void SetWorkHeight(double value);
    TColor PageColor() const { return FPageColor; }
    void SetPageColor(TColor value);
    TColor BackGround() const { return FBackGround; }
    void SetBackGround(TColor value);
    bool DrawShadow() const { return FDrawShadow; }
    void SetDrawShadow(bool value);

    // Pixels per millimetre at the current zoom.
    double Factor() const { return TScreenMapping::BaseFactor * FZoomScale / 100.0; }
    // Pixel position of the page's top-left corner and the page size in pixels.
    int OriginX() const { return FOriginX; }
    int OriginY() const { return FOriginY; }
    int PageWidthPixels() const { return FPageWidth; }
    int PageHeightPixels() const { return FPageHeight; }
    // The size of the area painted into.
    int SurfaceWidth() const;
    int SurfaceHeight() const;

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

    QImage& WorkBitmap() { return FWorkBitmap; }
    QImage& BackgroundBitmap() { return FBackgroundBitmap; }

    // Re-runs the layout (page size in pixels, page origin) and frees the
    // figures' device regions.
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

    // Fired after the page is filled, before the document draws.
    std::function<void(TVXDrawBox* sender)> OnBeforePaint;
    // Fired after every zoom change.
    std::function<void(TVXDrawBox* sender)> OnScaleChanged;

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

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void ZeroChanged() override;

private:
    void PaintPage();
    // The layout; regions are freed when forced or when the mapping changed.
    void Layout(bool force);

    std::unique_ptr<TVXDrawEngine> FEngine;
    int FZoomScale = 100;
    double FWorkWidth = 100.0;
    double FWorkHeight = 100.0;
    TColor FPageColor = 0xFFFFFF;
    TColor FBackGround = 0xFFFFFF;
    bool FDrawShadow = true;
    int FActiveLayer = 0;
    int FOriginX = 35;
    int FOriginY = 35;
    int FPageWidth = 400;
    int FPageHeight = 400;
    int FPaintSuspended = 0;
    int FLayoutZoom = 100;
    QImage FWorkBitmap;
    QImage FBackgroundBitmap;
};
