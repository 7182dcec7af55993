// The document's part of the paint: figures into the working bitmap, the
// background copy, the selection overlay and the figures' extras.
#include "document/VXDrawing.h"

#include "model/FigureEngine.h"
#include "model/Geometry.h"
#include "platform/QtCanvas.h"
#include "render/ScreenMapping.h"

#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
bool OnHiddenLayer(const TFigure* figure) {
    return figure->FLayer && !figure->FLayer->IsVisible();
}
bool OnGrayedLayer(const TFigure* figure) {
    return figure->FLayer && figure->FLayer->IsGrayed();
}
} // namespace

void TVXDrawing::PaintDocument() {
    TBusyGuard guard(*this);
    Draw();
    BackgroundBitmap() = WorkBitmap().copy();
    RefreshSelection();
    DrawFigureGuides();
}

QImage TVXDrawing::RenderPageImage(double pixelsPerMm) {
    const int width = std::max(1, static_cast<int>(std::nearbyint(WorkWidth() * pixelsPerMm)));
    const int height = std::max(1, static_cast<int>(std::nearbyint(WorkHeight() * pixelsPerMm)));
    QImage image(width, height, QImage::Format_RGB32);
    const TColor page = PageColor();
    image.fill(QColor(page & 0xFF, (page >> 8) & 0xFF, (page >> 16) & 0xFF));

    TOutputMapping mapping;
    mapping.Scale = pixelsPerMm;
    mapping.WorkWidth = WorkWidth();
    mapping.WorkHeight = WorkHeight();
    mapping.VerticalZero = VerticalZero();
    mapping.HorizontalZero = HorizontalZero();
    TVXDrawEngine& engine = DrawEngine();
    // Whatever happens while drawing, the engine goes back to the screen and
    // no figure keeps a region measured in the picture's pixels.
    struct TRestore {
        TVXDrawing& Drawing;
        TCanvas* Canvas;
        ~TRestore() {
            Drawing.DrawEngine().SetSkipRegions(false);
            Drawing.DrawEngine().SetCanvas(Canvas);
            Drawing.FreeAllRegions();
            Drawing.InstallPageMapping();
        }
    };
    {
        TRestore restore{*this, engine.Canvas()};
        TQtCanvas canvas(&image);
        FreeAllRegions();
        mapping.InstallInto(engine);
        engine.SetCanvas(&canvas);
        engine.SetSkipRegions(true); // the picture is not hit-tested
        TBusyGuard guard(*this);
        std::vector<TFigure*> figures;
        figures.reserve(FFigures.size());
        for (const auto& figure : FFigures) figures.push_back(figure.get());
        const std::uint64_t removals = FRemovals;
        for (TFigure* figure : figures) {
            if (!StillOwned(figure, removals) || OnHiddenLayer(figure)) continue;
            DrawFigure(*figure, engine, OnGrayedLayer(figure));
        }
        engine.SetCanvas(nullptr); // before the picture's painter ends
    }
    return image;
}

void TVXDrawing::AfterPaint() {
    Fire(OnSurfacePaint, this);
}

void TVXDrawing::Draw() {
    TCanvasScope canvas(*this);
    if (!canvas.Active()) return;
    DrawFigures(FRangeCheck);
}

TDoubleRect TVXDrawing::VisibleWorldRect() const {
    const TDoublePoint a = DrawEngine().ToWorld(0, 0);
    const TDoublePoint b = DrawEngine().ToWorld(SurfaceWidth(), SurfaceHeight());
    return RectOfPoints(a, b);
}

void TVXDrawing::DrawFigure(TFigure& figure, TFigureEngine& engine, bool grayed) {
    figure.Draw(engine, grayed);
    figure.DrawDimensions(engine, grayed);
}

void TVXDrawing::DrawFigures(bool rangeCheck) {
    TCanvasScope canvas(*this);
    if (!canvas.Active()) return;
    TBusyGuard guard(*this);
    const TDoubleRect visible = VisibleWorldRect();
    std::vector<TFigure*> figures;
    for (const auto& figure : FFigures)
        figures.push_back(figure.get());
    const std::uint64_t removals = FRemovals;
    for (TFigure* figure : figures) {
        if (!StillOwned(figure, removals) || OnHiddenLayer(figure)) continue;
        if (rangeCheck && !RectsOverlap(visible, figure->GetBoundsRect())) continue;
        DrawFigure(*figure, DrawEngine(), OnGrayedLayer(figure));
    }
}

void TVXDrawing::DrawSelectedFigures() {
    TCanvasScope canvas(*this);
    if (!canvas.Active()) return;
    TBusyGuard guard(*this);
    const std::vector<TFigure*> figures = SelectedFigures();
    const std::uint64_t removals = FRemovals;
    for (TFigure* figure : figures) {
        if (!StillOwned(figure, removals) || OnHiddenLayer(figure)) continue;
        DrawFigure(*figure, DrawEngine(), OnGrayedLayer(figure));
    }
}

void TVXDrawing::DrawSelectionPoints() {
    TCanvasScope canvas(*this);
    if (!canvas.Active()) return;
    for (TFigure* figure : SelectedFigures())
        if (!OnHiddenLayer(figure)) figure->MapHandles(DrawEngine(), false);
}

void TVXDrawing::DrawFigureGuides() {
    if (!FFigureGuides) return;
    TCanvasScope canvas(*this);
    if (!canvas.Active()) return;
    for (const auto& figure : FFigures)
        if (!OnHiddenLayer(figure.get())) figure->DrawExtras(DrawEngine());
}

void TVXDrawing::RestoreBackground() {
    const QImage& background = BackgroundBitmap();
    QImage& work = WorkBitmap();
    if (background.isNull()) return;
    if (background.size() == work.size() && background.format() == work.format()) {
        // In place: a painter may be open on the working bitmap.
        for (int y = 0; y < work.height(); ++y)
            std::memcpy(work.scanLine(y), background.constScanLine(y),
                        static_cast<std::size_t>(work.bytesPerLine()));
    } else if (!DrawEngine().Canvas()) {
        work = background.copy();
    }
}

void TVXDrawing::ReDrawSelection() {
    RestoreBackground();
    RefreshSelection();
    DrawFigureGuides();
    ShowWorkBitmap();
}

void TVXDrawing::RedrawHandles() {
    RestoreBackground();
    DrawSelectionPoints();
    DrawFigureGuides();
    ShowWorkBitmap();
    SelectionChanged();
}

void TVXDrawing::Refresh() {
    if (PaintingEnabled()) FullPaint();
    SelectionChanged();
}

void TVXDrawing::ManualRefresh() {
    FullPaint();
}

void TVXDrawing::FreeAllRegions() {
    // The mapping moved, not the figures: extents cached in world units stay.
    TRegionResetScope mappingOnly;
    for (const auto& figure : FFigures)
        figure->FreeRegion();
}

void TVXDrawing::SetHandleBlinking(TModPoint* handle, bool blinking) {
    if (!handle) return;
    const bool known =
        std::find(FBlinkingHandles.begin(), FBlinkingHandles.end(), handle) != FBlinkingHandles.end();
    if (blinking && !known) {
        for (int i = 0; i < FModPoints.Count(); ++i)
            if (FModPoints.At(i) == handle) FBlinkingHandles.push_back(handle);
    } else if (!blinking && known) {
        std::erase(FBlinkingHandles, handle);
        handle->Visible = true;
    }
}

void TVXDrawing::BlinkTick() {
    for (TModPoint* handle : FBlinkingHandles)
        handle->Visible = !handle->Visible;
    FBlinkRepaint = true;
    RedrawHandles();
    FBlinkRepaint = false;
}
