#pragma once
// TPaintBoxExt: the paint box child of the drawing surface. It shows the
// surface's working bitmap and hands mouse input on in logical pixels; beyond
// a plain paint box it reports the mouse leaving, middle-button double clicks
// and the mouse wheel.

#include "render/SurfaceTypes.h"

#include <QWidget>
#include <functional>

#include <QImage>

class TPaintBoxExt : public QWidget {
public:
    explicit TPaintBoxExt(QWidget* parent = nullptr);

    // The image shown; none paints nothing.
    std::function<QImage()> Source;

    std::function<void(TMouseButton button, TShiftState shift, int x, int y)> OnMouseDown;
    std::function<void(TShiftState shift, int x, int y)> OnMouseMove;
    std::function<void(TMouseButton button, TShiftState shift, int x, int y)> OnMouseUp;
    std::function<void()> OnMouseLeave;
    std::function<void()> OnDblClick;
    std::function<void(int x, int y)> OnMiddleDblClick;
    // Delta > 0: the wheel turned away from the user.
    std::function<void(int delta, int x, int y)> OnMouseWheel;

    // Drag and drop over the paint box: the source widget of the drag (none
    // for drags from other programs), the state and the point.
    std::function<void(QObject* source, TDragState state, bool& accept, int x, int y)> OnDragOver;
    std::function<void(QObject* source, int x, int y)> OnDragDrop;

    // Shift state of Qt modifiers and buttons.
    static TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
