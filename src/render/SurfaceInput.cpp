// Mouse, wheel and key input of the surface, from the paint box or fed from
// outside in pixels: scroll bar and ruler drags, panning, the detail window,
// snapping and the hooks of the document and the tools.
#include "render/PaintBoxExt.h"
#include "render/VXDrawBox.h"

#include <QKeyEvent>
#include <QWheelEvent>
#include <algorithm>

namespace {
// Cursor numbers handed to OnCursorChange.
constexpr int kCursorDefault = 0;
constexpr int kCursorHSplit = -14;
constexpr int kCursorVSplit = -15;
constexpr int kCursorHand = -21;
constexpr int kDetailWheelStep = 10;

Qt::CursorShape ShapeOf(int cursor) {
    switch (cursor) {
    case kCursorHSplit: return Qt::SplitHCursor;
    case kCursorVSplit: return Qt::SplitVCursor;
    case kCursorHand: return Qt::OpenHandCursor;
    default: return Qt::ArrowCursor;
    }
}

// Windows virtual-key code of a Qt key; 0 when there is none.
int VirtualKeyOf(int key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab: return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    case Qt::Key_Plus: return 0x6B;
    case Qt::Key_Minus: return 0x6D;
    default: return 0;
    }
}
} // namespace

void TVXDrawBox::SetCursorKind(int cursor) {
    FPaintBox->setCursor(ShapeOf(cursor));
    if (OnCursorChange) OnCursorChange(this, cursor);
}

TDoublePoint TVXDrawBox::InputToWorld(int x, int y) const {
    if (PointInDetail(x, y)) return DetailToWorld(x, y);
    return DeviceToWorld(x, y);
}

void TVXDrawBox::DoSurfacePush(TMouseButton button, TShiftState shift, int x, int y) {
    FPressPos = FLastPos = QPoint(x, y);
    FDragging = false;
    FLastPressInDetail = PointInDetail(x, y);
    const bool panKeys = ((shift & Shift::ssCtrl) && (shift & Shift::ssShift)) || button == TMouseButton::mbMiddle;
    if (PointInHScroll(x, y)) {
        FMouseMode = SurfaceMode::HScrollDrag;
        BeginScrollDrag();
        return;
    }
    if (PointInVScroll(x, y)) {
        FMouseMode = SurfaceMode::VScrollDrag;
        BeginScrollDrag();
        return;
    }
    if (PointInHRuler(x, y)) {
        FMouseMode = SurfaceMode::HorizontalGuide;
        return;
    }
    if (PointInVRuler(x, y)) {
        FMouseMode = SurfaceMode::VerticalGuide;
        return;
    }
    if (FLastPressInDetail) {
        if (panKeys) {
            FMouseMode = SurfaceMode::DetailMove;
            FDetailDragStart = FDetailOffset;
            return;
        }
        const TDoublePoint w = DetailToWorld(x, y);
        if (OnSurfaceMouseDown) OnSurfaceMouseDown(this, button, shift, w.X, w.Y);
        SurfaceMouseDown(button, shift, w.X, w.Y);
        return;
    }
    if (panKeys) {
        FMouseMode = SurfaceMode::Pan;
        BeginScrollDrag();
        return;
    }
    FMouseMode = SurfaceMode::None;
    TDoublePoint w = DeviceToWorld(x, y);
    Snap(w.X, w.Y);
    SurfaceMouseDown(button, shift, w.X, w.Y);
    if (!FIsometric && OnSurfaceMouseDown) OnSurfaceMouseDown(this, button, shift, w.X, w.Y);
}

void TVXDrawBox::DoSurfaceMove(TShiftState shift, int x, int y) {
    const QPoint at(x, y);
    DrawTrace(at);
    if (FMouseMode != SurfaceMode::None) {
        if (!FDragging && at != FPressPos) {
            FDragging = true;
            switch (FMouseMode) {
            case SurfaceMode::HorizontalGuide: SetCursorKind(kCursorVSplit); break;
            case SurfaceMode::VerticalGuide: SetCursorKind(kCursorHSplit); break;
            case SurfaceMode::Pan:
            case SurfaceMode::DetailMove: SetCursorKind(kCursorHand); break;
            default: break;
            }
        }
        if (FDragging) {
            const QPoint delta = at - FPressPos;
            switch (FMouseMode) {
            case SurfaceMode::HScrollDrag: SetHScrollDelta(true, delta.x()); break;
            case SurfaceMode::VScrollDrag: SetVScrollDelta(true, delta.y()); break;
            case SurfaceMode::Pan: SetScrollPositions(FDragStartH - delta.x(), FDragStartV - delta.y()); break;
            case SurfaceMode::DetailMove: {
                const double f = TScreenMapping::BaseFactor * FDetailScale / 100.0;
                FDetailOffset = {FDetailDragStart.X - delta.x() / f, FDetailDragStart.Y - delta.y() / f};
                Refresh();
                break;
            }
            case SurfaceMode::HorizontalGuide:
            case SurfaceMode::VerticalGuide: DrawGuideDragLine(at); break;
            default: break;
            }
        }
        FLastPos = at;
        return;
    }
    FLastPos = at;
    TDoublePoint w = InputToWorld(x, y);
    Snap(w.X, w.Y);
    if (OnSurfaceMove) OnSurfaceMove(this, shift, w.X, w.Y);
    SurfaceMouseMove(shift, w.X, w.Y);
}

void TVXDrawBox::DoSurfacePull(TMouseButton button, TShiftState shift, int x, int y) {
    if (FMouseMode == SurfaceMode::HorizontalGuide || FMouseMode == SurfaceMode::VerticalGuide) {
        if (FDragging) {
            CheckForGuideDrop(x, y);
            Refresh();
        }
        FMouseMode = SurfaceMode::None;
        FDragging = false;
        SetCursorKind(kCursorDefault);
        return;
    }
    if (FMouseMode != SurfaceMode::None) {
        const bool dragged = FDragging;
        FMouseMode = SurfaceMode::None;
        FDragging = false;
        if (dragged) {
            SetCursorKind(kCursorDefault);
            Refresh();
        }
        return;
    }
    if (button == TMouseButton::mbLeft) DoSurfaceClick();
    TDoublePoint w = InputToWorld(x, y);
    Snap(w.X, w.Y);
    if (OnSurfaceMouseUp) OnSurfaceMouseUp(this, button, shift, w.X, w.Y);
    SurfaceMouseUp(button, shift, w.X, w.Y);
}

void TVXDrawBox::DoSurfaceClick() {
    if (OnSurfaceClick) OnSurfaceClick(this);
    SurfaceClick();
}

void TVXDrawBox::DoSurfaceDblClick() {
    if (OnSurfaceDblClick) OnSurfaceDblClick(this);
    SurfaceDblClick();
}

void TVXDrawBox::DoSurfaceLeave() {
    EraseTrace();
    if (OnSurfaceLeave) OnSurfaceLeave(this);
    SurfaceLeave();
}

int TVXDrawBox::DragSourceKind(const QObject* source) const {
    if (!source) return 0;
    if (source == FPaintBox || source == this) return 3;
    if (dynamic_cast<const TPaintBoxExt*>(source) || source->objectName() == QStringLiteral("BlockBox")) return 4;
    return 0;
}

void TVXDrawBox::DoSurfaceDragDrop(int sourceKind, int x, int y) {
    TDoublePoint w = InputToWorld(x, y);
    Snap(w.X, w.Y);
    if (OnSurfaceDragDrop) OnSurfaceDragDrop(this, sourceKind, w.X, w.Y);
    SurfaceDragDrop(sourceKind, w.X, w.Y);
}

void TVXDrawBox::DoSurfaceDragOver(int sourceKind, TDragState state, bool& accept, int x, int y) {
    TDoublePoint w = InputToWorld(x, y);
    Snap(w.X, w.Y);
    if (OnSurfaceDragOver) OnSurfaceDragOver(this, sourceKind, w.X, w.Y, state, accept);
    SurfaceDragOver(sourceKind, state, accept, w.X, w.Y);
}

void TVXDrawBox::DoSurfaceDragEnd(int x, int y) {
    const TDoublePoint w = InputToWorld(x, y);
    if (OnSurfaceEndDrag) OnSurfaceEndDrag(this, w.X, w.Y);
    SurfaceEndDrag(w.X, w.Y);
}

void TVXDrawBox::DoSurfaceWheel(int delta, int x, int y) {
    if (delta == 0) return;
    const bool towardsUser = delta < 0;
    if (FLastPressInDetail && FDetailWindow) {
        // Keep the point under the mouse where it is.
        const QRect r = DetailRect();
        const double oldFactor = TScreenMapping::BaseFactor * FDetailScale / 100.0;
        const TDoublePoint inset{(x - r.left()) / oldFactor + FDetailOffset.X,
                                 (y - r.top()) / oldFactor + FDetailOffset.Y};
        FDetailScale = std::clamp(FDetailScale + (towardsUser ? kDetailWheelStep : -kDetailWheelStep), 10, 3000);
        const double newFactor = TScreenMapping::BaseFactor * FDetailScale / 100.0;
        FDetailOffset = {inset.X - (x - r.left()) / newFactor, inset.Y - (y - r.top()) / newFactor};
        Refresh();
        return;
    }
    if (towardsUser)
        ZoomIn();
    else
        ZoomOut();
}

void TVXDrawBox::DoSurfaceMiddleDblClick(int /*x*/, int /*y*/) {
    if (FLastPressInDetail && FDetailWindow)
        SetDetailScale(100);
    else
        FitToWindow();
}

void TVXDrawBox::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    DoSurfaceWheel(delta, static_cast<int>(event->position().x()), static_cast<int>(event->position().y()));
    event->accept();
}

void TVXDrawBox::keyPressEvent(QKeyEvent* event) {
    int key = VirtualKeyOf(event->key());
    if (key == 0) {
        TVXPanel::keyPressEvent(event);
        return;
    }
    const TShiftState shift = TPaintBoxExt::ShiftOf(event->modifiers(), Qt::NoButton);
    if (OnKeyDown) OnKeyDown(this, key, shift);
    if (key != 0) DoKeyStroke(key, shift);
    event->accept();
}

void TVXDrawBox::keyReleaseEvent(QKeyEvent* event) {
    int key = VirtualKeyOf(event->key());
    if (key == 0) {
        TVXPanel::keyReleaseEvent(event);
        return;
    }
    if (OnKeyUp) OnKeyUp(this, key, TPaintBoxExt::ShiftOf(event->modifiers(), Qt::NoButton));
    event->accept();
}
