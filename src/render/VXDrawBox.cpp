#include "render/VXDrawBox.h"

#include "platform/QtCanvas.h"
#include "platform/UiServices.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace {
constexpr int kRulerSize = 30;
constexpr int kPageCornerWithRulers = 35;
constexpr int kPageCornerWithoutRulers = 5;
constexpr TColor kShadowColor = 0x808080;
} // namespace

TVXDrawBox::TVXDrawBox(QWidget* parent) : TVXPanel(parent), FEngine(std::make_unique<TVXDrawEngine>()) {
    ReLocate();
}

TVXDrawBox::~TVXDrawBox() = default;

void TVXDrawBox::SetZoomScale(int value) {
    if (value < kMinZoom || value > kMaxZoom || value == FZoomScale) return;
    FZoomScale = value;
    ReLocate();
    Refresh();
    if (OnScaleChanged) OnScaleChanged(this);
}

void TVXDrawBox::SetWorkWidth(double value) {
    if (!(value > 0) || value == FWorkWidth) return;
    FWorkWidth = value;
    ReLocate();
    Refresh();
}

void TVXDrawBox::SetWorkHeight(double value) {
    if (!(value > 0) || value == FWorkHeight) return;
    FWorkHeight = value;
    ReLocate();
    Refresh();
}

void TVXDrawBox::SetPageColor(TColor value) {
    FPageColor = value;
    Refresh();
}

void TVXDrawBox::SetBackGround(TColor value) {
    FBackGround = value;
    Refresh();
}

void TVXDrawBox::SetDrawShadow(bool value) {
    FDrawShadow = value;
    Refresh();
}

int TVXDrawBox::SurfaceWidth() const {
    return std::max(1, width());
}

int TVXDrawBox::SurfaceHeight() const {
    return std::max(1, height());
}

void TVXDrawBox::SetActiveLayer(int value) {
    if (value < 0 || value >= LayerCount()) {
        UiServices().MessageBox(QStringLiteral("Invalid Layer Number"), QStringLiteral("Fehler"),
                                TMessageKind::Error);
        return;
    }
    FActiveLayer = value;
}

TScreenMapping TVXDrawBox::PageMapping() const {
    TScreenMapping mapping;
    mapping.ZoomScale = FZoomScale;
    mapping.WorkWidth = FWorkWidth;
    mapping.WorkHeight = FWorkHeight;
    mapping.OriginX = FOriginX;
    mapping.OriginY = FOriginY;
    mapping.VerticalZero = VerticalZero();
    mapping.HorizontalZero = HorizontalZero();
    return mapping;
}

void TVXDrawBox::InstallPageMapping() {
    PageMapping().InstallInto(*FEngine);
}

void TVXDrawBox::ReLocate() {
    Layout(true);
}

void TVXDrawBox::Layout(bool force) {
    const int oldValues[4] = {FOriginX, FOriginY, FPageWidth, FPageHeight};
    const double f = Factor();
    FPageWidth = static_cast<int>(std::nearbyint(f * FWorkWidth));
    FPageHeight = static_cast<int>(std::nearbyint(f * FWorkHeight));
    const bool rulers = RulerVisible();
    const int corner = rulers ? kPageCornerWithRulers : kPageCornerWithoutRulers;
    const int usableWidth = SurfaceWidth() - (rulers ? kRulerSize : 0);
    const int usableHeight = SurfaceHeight() - (rulers ? kRulerSize : 0);
    // A page smaller than the usable area is centred; a larger one starts at
    // the corner (scrolling starts at position 0).
    FOriginX = FPageWidth < usableWidth ? (usableWidth - FPageWidth) / 2 + (rulers ? kRulerSize : 0) : corner;
    FOriginY =
        FPageHeight < usableHeight ? (usableHeight - FPageHeight) / 2 + (rulers ? kRulerSize : 0) : corner;
    const int newValues[4] = {FOriginX, FOriginY, FPageWidth, FPageHeight};
    // Regions hold device pixels: they go whenever the mapping may have moved.
    if (force || !std::equal(std::begin(oldValues), std::end(oldValues), std::begin(newValues)) ||
        FLayoutZoom != FZoomScale) {
        FLayoutZoom = FZoomScale;
        FreeAllRegions();
    }
    InstallPageMapping();
}

bool TVXDrawBox::PaintingEnabled() const {
    return !Locked() && FPaintSuspended == 0;
}

void TVXDrawBox::Refresh() {
    if (!PaintingEnabled()) return;
    FullPaint();
}

void TVXDrawBox::PaintTo(QImage& target) {
    FullPaint();
    target = FWorkBitmap.copy();
}

void TVXDrawBox::EnsureWorkBitmap() {
    const QSize size(SurfaceWidth(), SurfaceHeight());
    if (FWorkBitmap.size() != size || FWorkBitmap.format() != QImage::Format_RGB32) {
        FWorkBitmap = QImage(size, QImage::Format_RGB32);
        FWorkBitmap.fill(ColorToQColor(FBackGround));
    }
}

void TVXDrawBox::FullPaint() {
    if (Locked()) return;
    Layout(false);
    FWorkBitmap = QImage(SurfaceWidth(), SurfaceHeight(), QImage::Format_RGB32);
    FWorkBitmap.fill(ColorToQColor(FBackGround));
    PaintPage();
    if (OnBeforePaint) OnBeforePaint(this);
    PaintDocument();
    ShowWorkBitmap();
    AfterPaint();
}

void TVXDrawBox::PaintPage() {
    TQtCanvas canvas(&FWorkBitmap);
    const int left = FOriginX;
    const int top = FOriginY;
    const int right = FOriginX + FPageWidth;
    const int bottom = FOriginY + FPageHeight;
    canvas.SetPen({FBackGround == 0 ? 0xFFFFFF : 0, 1, TPenStyle::psSolid});
    canvas.SetBrush({FPageColor, TBrushStyle::bsSolid});
    canvas.Rectangle(left, top, right, bottom);
    if (FDrawShadow) {
        const int shadowStart = static_cast<int>(std::nearbyint(2.0 * Factor()));
        canvas.FillRect({right + 1, top + shadowStart, right + 3, bottom + 3},
                        {kShadowColor, TBrushStyle::bsSolid});
        canvas.FillRect({left + shadowStart, bottom + 1, right + 3, bottom + 3},
                        {kShadowColor, TBrushStyle::bsSolid});
    }
}

void TVXDrawBox::ShowWorkBitmap() {
    if (isVisible()) update();
}

void TVXDrawBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (FWorkBitmap.isNull())
        painter.fillRect(event->rect(), ColorToQColor(FBackGround));
    else
        painter.drawImage(event->rect(), FWorkBitmap, event->rect());
}

void TVXDrawBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ReLocate();
    Refresh();
}

void TVXDrawBox::ZeroChanged() {
    InstallPageMapping();
    Refresh();
}

TVXDrawBox::TCanvasScope::TCanvasScope(TVXDrawBox& box) : FBox(box) {
    if (box.FEngine->Canvas()) {
        FActive = true;
        return;
    }
    box.EnsureWorkBitmap();
    if (box.FWorkBitmap.isNull()) return;
    FCanvas = std::make_unique<TQtCanvas>(&box.FWorkBitmap);
    box.InstallPageMapping();
    box.FEngine->SetCanvas(FCanvas.get());
    FActive = true;
}

TVXDrawBox::TCanvasScope::~TCanvasScope() {
    if (FCanvas) FBox.FEngine->SetCanvas(nullptr);
}
