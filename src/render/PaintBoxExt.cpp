#include "render/PaintBoxExt.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QImage>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace {
TMouseButton ButtonOf(Qt::MouseButton button) {
    if (button == Qt::RightButton) return TMouseButton::mbRight;
    if (button == Qt::MiddleButton) return TMouseButton::mbMiddle;
    return TMouseButton::mbLeft;
}
int Coord(double v) {
    return static_cast<int>(std::floor(v));
}
} // namespace

TPaintBoxExt::TPaintBoxExt(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAcceptDrops(true);
}

TShiftState TPaintBoxExt::ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= Shift::ssShift;
    if (modifiers & Qt::AltModifier) shift |= Shift::ssAlt;
    if (modifiers & Qt::ControlModifier) shift |= Shift::ssCtrl;
    if (buttons & Qt::LeftButton) shift |= Shift::ssLeft;
    if (buttons & Qt::RightButton) shift |= Shift::ssRight;
    if (buttons & Qt::MiddleButton) shift |= Shift::ssMiddle;
    return shift;
}

void TPaintBoxExt::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!Source) return;
    const QImage image = Source();
    if (!image.isNull()) painter.drawImage(event->rect(), image, event->rect());
}

void TPaintBoxExt::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown)
        OnMouseDown(ButtonOf(event->button()), ShiftOf(event->modifiers(), event->buttons()),
                    Coord(event->position().x()), Coord(event->position().y()));
}

void TPaintBoxExt::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove)
        OnMouseMove(ShiftOf(event->modifiers(), event->buttons()), Coord(event->position().x()),
                    Coord(event->position().y()));
}

void TPaintBoxExt::mouseReleaseEvent(QMouseEvent* event) {
    if (OnMouseUp)
        OnMouseUp(ButtonOf(event->button()), ShiftOf(event->modifiers(), event->buttons()),
                  Coord(event->position().x()), Coord(event->position().y()));
}

void TPaintBoxExt::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        if (OnMiddleDblClick) OnMiddleDblClick(Coord(event->position().x()), Coord(event->position().y()));
        return;
    }
    if (OnDblClick) OnDblClick();
}

void TPaintBoxExt::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    if (OnMouseWheel) OnMouseWheel(delta, Coord(event->position().x()), Coord(event->position().y()));
    event->accept();
}

void TPaintBoxExt::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (OnMouseLeave) OnMouseLeave();
}

void TPaintBoxExt::dragEnterEvent(QDragEnterEvent* event) {
    bool accept = false;
    const QPoint at = event->position().toPoint();
    if (OnDragOver) OnDragOver(event->source(), TDragState::dsDragEnter, accept, at.x(), at.y());
    if (accept)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TPaintBoxExt::dragMoveEvent(QDragMoveEvent* event) {
    bool accept = false;
    const QPoint at = event->position().toPoint();
    if (OnDragOver) OnDragOver(event->source(), TDragState::dsDragMove, accept, at.x(), at.y());
    if (accept)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TPaintBoxExt::dragLeaveEvent(QDragLeaveEvent* event) {
    bool accept = false;
    const QPoint at = mapFromGlobal(QCursor::pos());
    if (OnDragOver) OnDragOver(nullptr, TDragState::dsDragLeave, accept, at.x(), at.y());
    event->accept();
}

void TPaintBoxExt::dropEvent(QDropEvent* event) {
    const QPoint at = event->position().toPoint();
    if (OnDragDrop) OnDragDrop(event->source(), at.x(), at.y());
    event->acceptProposedAction();
}
