// The surface's construction, mappings and full paint.
#include "render/VXDrawBox.h"

#include "platform/QtCanvas.h"
#include "platform/UiServices.h"
#include "render/PaintBoxExt.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

namespace {
constexpr TColor kShadowColor = 0x808080;
} // namespace

TPageSize PageLayoutSize(TPageLayout layout) {
    switch (layout) {
    case TPageLayout::plA0: return {841, 1189};
    case TPageLayout::plA1: return {594, 841};
    case TPageLayout::plA2: return {421, 594};
    case TPageLayout::plA3: return {297, 421};
    case TPageLayout::plA4: return {210, 297};
    case TPageLayout::plA5: return {148, 210};
    case TPageLayout::plA6: return {105, 148};
    case TPageLayout::plB4: return {250, 353};
    case TPageLayout::plB5: return {176, 250};
    case TPageLayout::plTabloid: return {279, 431};
    case TPageLayout::plLetter: return {215, 279};
    case TPageLayout::plCustom: break;
    }
    return {};
}

TVXDrawBox::TVXDrawBox(QWidget* parent) : TVXPanel(parent), FEngine(std::make_unique<TVXDrawEngine>()) {
    FPaintBox = new TPaintBoxExt(this);
    FPaintBox->Source = [this] { return ShownImage(); };
    FPaintBox->setGeometry(0, 0, width(), height());
    FPaintBox->OnMouseDown = [this](TMouseButton b, TShiftState s, int x, int y) { DoSurfacePush(b, s, x, y); };
    FPaintBox->OnMouseMove = [this](TShiftState s, int x, int y) { DoSurfaceMove(s, x, y); };
    FPaintBox->OnMouseUp = [this](TMouseButton b, TShiftState s, int x, int y) { DoSurfacePull(b, s, x, y); };
    FPaintBox->OnMouseLeave = [this] { DoSurfaceLeave(); };
    FPaintBox->OnDblClick = [this] { DoSurfaceDblClick(); };
    FPaintBox->OnMiddleDblClick = [this](int x, int y) { DoSurfaceMiddleDblClick(x, y); };
    FPaintBox->OnMouseWheel = [this](int delta, int x, int y) { DoSurfaceWheel(delta, x, y); };
    FPaintBox->OnDragOver = [this](QObject* source, TDragState state, bool& accept, int x, int y) {
        FLastDragSource = source;
        DoSurfaceDragOver(DragSourceKind(source), state, accept, x, y);
    };
    FPaintBox->OnDragDrop = [this](QObject* source, int x, int y) {
        FLastDragSource = source;
        DoSurfaceDragDrop(DragSourceKind(source), x, y);
    };
    setFocusPolicy(Qt::StrongFocus);
    CreateSurfaceChannels();
    ReLocate();
}

TVXDrawBox::~TVXDrawBox() {
    if (QWidget* custom = CustomSurface()) custom->removeEventFilter(this);
}

void TVXDrawBox::CreateSurfaceChannels() {
    const QString noText;
    const auto flag = [](bool value) { return value ? 1 : 0; };
    AddEventEngine(SurfaceChannel::Grids, flag(FGrids), 0, noText);
    AddEventEngine(SurfaceChannel::GridType, static_cast<int>(FGridType), 0, noText);
    AddEventEngine(SurfaceChannel::CenterGuide, flag(FCenterGuide), 0, noText);
    AddEventEngine(SurfaceChannel::GuidesVisible, flag(FGuidesVisible), 0, noText);
    AddEventEngine(SurfaceChannel::SnapToGrids, flag(FSnapToGrids), 0, noText);
    AddEventEngine(SurfaceChannel::SnapToGuides, flag(FSnapToGuides), 0, noText);
    AddEventEngine(SurfaceChannel::SnapToNearPoint, flag(FSnapToNearPoint), 0, noText);
    AddEventEngine(SurfaceChannel::GridColor, FGridColor, 0, noText);
    AddEventEngine(SurfaceChannel::GuideColor, FGuideColor, 0, noText);
    AddEventEngine(SurfaceChannel::BackGround, FBackGround, 0, noText);
    AddEventEngine(SurfaceChannel::PageColor, FPageColor, 0, noText);
    AddEventEngine(SurfaceChannel::GuideTrace, static_cast<int>(FGuideTrace), 0, noText);
    AddEventEngine(SurfaceChannel::PageLayout, static_cast<int>(FPageLayout), 0, noText);
    AddEventEngine(SurfaceChannel::PageOrient, static_cast<int>(FPageOrient), 0, noText);
    AddEventEngine(SurfaceChannel::RulerSystem, static_cast<int>(FRulerSystem), 0, noText);
}

void TVXDrawBox::Publish(int channel, int value) {
    if (TEventEngine* engine = FindEventEngine(channel)) engine->SetValue(value);
}

int TVXDrawBox::SurfaceWidth() const {
    if (QWidget* custom = CustomSurface()) {
        const QRect r = custom->rect();
        return r.isValid() ? std::max(1, r.width() - FSurfaceMargin) : 300;
    }
    return std::max(1, width());
}

int TVXDrawBox::SurfaceHeight() const {
    if (QWidget* custom = CustomSurface()) {
        const QRect r = custom->rect();
        return r.isValid() ? std::max(1, r.height() - FSurfaceMargin) : 300;
    }
    return std::max(1, height());
}

void TVXDrawBox::SetSurfaceMargin(int pixels) {
    FSurfaceMargin = std::max(0, pixels);
    ReLocate();
}

void TVXDrawBox::SetActiveLayer(int value) {
    if (value < 0 || value >= LayerCount()) {
        UiServices().MessageBox(QStringLiteral("Invalid Layer Number"), QStringLiteral("Fehler"),
                                TMessageKind::Error);
        return;
    }
    FActiveLayer = value;
}

void TVXDrawBox::SetToolState(int kind, const QString& className) {
    FToolIdx = kind;
    FToolInfo = className;
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

TDoublePoint TVXDrawBox::DeviceToWorld(double px, double py) const {
    double z = 0;
    PageMapping().DeConvertXY(px, py, z);
    return {px, py};
}

TDoublePoint TVXDrawBox::WorldToDevice(double x, double y) const {
    double z = 0;
    PageMapping().ConvertXY(x, y, z);
    return {x, y};
}

TDoubleRect TVXDrawBox::GetVisibleRect() const {
    const TDoublePoint a = DeviceToWorld(0, 0);
    const TDoublePoint b = DeviceToWorld(SurfaceWidth(), SurfaceHeight());
    return {a.X, a.Y, b.X, b.Y};
}

bool TVXDrawBox::PaintingEnabled() const {
    return !Locked() && FPaintSuspended == 0;
}

void TVXDrawBox::Refresh() {
    if (!PaintingEnabled()) return;
    FullPaint();
}

void TVXDrawBox::RefreshIfShown() {
    Refresh();
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

QRect TVXDrawBox::FigureClipRect() const {
    const int left = RulerVisible() ? kRulerSize + 1 : 0;
    const int top = RulerVisible() ? kRulerSize + 1 : 0;
    const int right = FVScroll ? SurfaceWidth() - kScrollBarSize : SurfaceWidth();
    const int bottom = FHScroll ? SurfaceHeight() - kScrollBarSize : SurfaceHeight();
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void TVXDrawBox::ApplyFigureClip(TCanvas& canvas) const {
    const QRect clip = FigureClipRect();
    QPainterPath area;
    area.addRect(QRectF(clip.left(), clip.top(), clip.width(), clip.height()));
    if (FDetailWindow) {
        const QRect d = DetailRect();
        QPainterPath detail;
        detail.addRect(QRectF(d.left(), d.top(), d.width() + 1, d.height() + 1));
        area = area.subtracted(detail);
    }
    const TDeviceRegion region = TDeviceRegion::FromPath(area);
    canvas.SelectClipRegion(&region);
}

void TVXDrawBox::FullPaint() {
    if (Locked()) return;
    try {
        Layout(false);
    } catch (const std::exception&) {
        // A failed layout keeps the previous one; painting goes on.
    }
    const TDoublePoint zero = WorldToDevice(0, 0);
    SetRulerOrigin(QPoint(static_cast<int>(std::nearbyint(zero.X)), static_cast<int>(std::nearbyint(zero.Y))));
    FWorkBitmap = QImage(SurfaceWidth(), SurfaceHeight(), QImage::Format_RGB32);
    FWorkBitmap.fill(ColorToQColor(FBackGround));
    FTracePos.reset();
    {
        TQtCanvas canvas(&FWorkBitmap);
        PaintScrollBars(canvas);
    }
    PaintPage();
    {
        // The rulers are part of the background the document keeps, and the
        // figures are clipped away from them, the scroll bars and the detail
        // window.
        TQtCanvas canvas(&FWorkBitmap);
        if (RulerVisible()) PaintRulers(canvas);
    }
    // The inset comes before the document so the background copy the
    // document keeps holds it too.
    PaintDetail();
    if (FIsometric)
        PaintIsometric();
    else
        PaintDocument();
    ShowWorkBitmap();
    AfterPaint();
}

void TVXDrawBox::PaintPage() {
    TQtCanvas canvas(&FWorkBitmap);
    const QRect clip = FigureClipRect();
    canvas.IntersectClipRect({clip.left(), clip.top(), clip.right() + 1, clip.bottom() + 1});
    const int left = FOriginX;
    const int top = FOriginY;
    const int right = FOriginX + FPageWidth;
    const int bottom = FOriginY + FPageHeight;
    canvas.SetPen({FBackGround == 0 ? 0xFFFFFF : 0, 1, TPenStyle::psSolid});
    canvas.SetBrush({FPageColor, TBrushStyle::bsSolid});
    canvas.Rectangle(left, top, right, bottom);
    if (OnBeforePaint) OnBeforePaint(this);
    if (FDrawShadow) {
        const int shadowStart = static_cast<int>(std::nearbyint(2.0 * Factor()));
        canvas.FillRect({right, top + shadowStart, right + 2, bottom + 2}, {kShadowColor, TBrushStyle::bsSolid});
        canvas.FillRect({left + shadowStart, bottom, right + 2, bottom + 2}, {kShadowColor, TBrushStyle::bsSolid});
    }
    if (FGrids) PaintGrid(canvas);
    if (FGuidesVisible) PaintGuides(canvas);
    if (FCenterGuide) PaintCenterCross(canvas);
}

void TVXDrawBox::PaintCenterCross(TCanvas& canvas) {
    canvas.SetPen({0x008000, 1, TPenStyle::psDot});
    canvas.SetBackgroundTransparent(true);
    const int cx = FOriginX + FPageWidth / 2;
    const int cy = FOriginY + FPageHeight / 2;
    canvas.MoveTo(cx, FOriginY + 1);
    canvas.LineTo(cx, FOriginY + FPageHeight - 1);
    canvas.MoveTo(FOriginX + 1, cy);
    canvas.LineTo(FOriginX + FPageWidth - 1, cy);
}

void TVXDrawBox::ShowWorkBitmap() {
    if (QWidget* custom = CustomSurface()) {
        custom->update();
        return;
    }
    if (isVisible()) FPaintBox->update();
}

void TVXDrawBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FPaintBox->setGeometry(0, 0, width(), height());
    ReLocate();
    Refresh();
}

void TVXDrawBox::CustomSurfaceChanged() {
    if (QWidget* custom = CustomSurface()) custom->installEventFilter(this);
    FPaintBox->setVisible(CustomSurface() == nullptr);
    ReLocate();
    Refresh();
}

bool TVXDrawBox::eventFilter(QObject* watched, QEvent* event) {
    QWidget* custom = CustomSurface();
    if (custom && watched == custom) {
        if (event->type() == QEvent::Paint) {
            QPainter painter(custom);
            const QImage image = ShownImage();
            if (!image.isNull()) painter.drawImage(0, 0, image);
            return true;
        }
        if (event->type() == QEvent::Resize) {
            ReLocate();
            Refresh();
        }
    }
    return TVXPanel::eventFilter(watched, event);
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
    box.ApplyFigureClip(*FCanvas);
    box.InstallPageMapping();
    box.FEngine->SetCanvas(FCanvas.get());
    FActive = true;
}

TVXDrawBox::TCanvasScope::~TCanvasScope() {
    if (FCanvas) FBox.FEngine->SetCanvas(nullptr);
}
