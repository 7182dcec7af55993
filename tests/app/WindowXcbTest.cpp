// The program window on a real X server: ctest runs these under xvfb-run with
// QT_QPA_PLATFORM=xcb (test app_window_xcb); elsewhere they are skipped.
#include "app/MainWindow.h"
#include "document/VXDrawing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWheelEvent>
#include <QWindow>
#include <gtest/gtest.h>

#ifndef KELDRA_SAMPLES
#define KELDRA_SAMPLES ""
#endif

namespace {

void WaitFor(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Pixels inside `area` of the image that are neither white page nor background.
int MarkedPixels(const QImage& image, const QRect& area) {
    int marked = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++marked;
    return marked;
}

// A key typed into the focused widget the way the window system delivers it:
// shortcut override first, then the shortcut map.
void QTestLikeKey(QKeyCombination combination) {
    const Qt::Key key = combination.key();
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QWindow* window = target->window()->windowHandle();
    ASSERT_NE(window, nullptr);
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    // Through the window, so that shortcuts are matched as for real key presses.
    QApplication::sendEvent(window, &press);
    QApplication::sendEvent(window, &release);
    QApplication::processEvents();
}

class WindowXcb : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("KELDRA_WINDOW_TESTS") ||
            QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X server (ctest test app_window_xcb under xvfb-run)";
    }
};

TEST_F(WindowXcb, ShowsTheSampleZoomsWithTheWheelAndPaintsIt) {
    const QString sample = QStringLiteral(KELDRA_SAMPLES "/grundriss.qld");
    ASSERT_TRUE(QFileInfo::exists(sample)) << sample.toStdString();
    TMainWindow window;
    ASSERT_TRUE(window.OpenFile(sample));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("quellin – grundriss.qld"));
    TVXDrawing& drawing = window.Drawing();
    EXPECT_EQ(drawing.objectName(), QStringLiteral("Vexal1"));
    EXPECT_GT(drawing.FigureCount(), 10);
    window.resize(900, 700);
    window.show();
    WaitFor([&] { return window.windowHandle() && window.windowHandle()->isExposed(); }, 5000);
    ASSERT_TRUE(window.windowHandle()->isExposed());

    // The wheel turned towards the user over the page centre zooms in.
    const int before = drawing.ZoomScale();
    const QPointF centre(drawing.OriginX() + drawing.PageWidthPixels() / 2.0,
                         drawing.OriginY() + drawing.PageHeightPixels() / 2.0);
    QWheelEvent wheel(centre, drawing.mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&drawing, &wheel);
    WaitFor([&] { return drawing.ZoomScale() != before; }, 2000);
    EXPECT_GT(drawing.ZoomScale(), before);

    // What the X server shows: the page area holds the drawing's lines.
    drawing.repaint();
    WaitFor([] { return false; }, 300);
    QScreen* screen = window.windowHandle()->screen();
    ASSERT_NE(screen, nullptr);
    const QImage shot = screen->grabWindow(drawing.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(shot.isNull());
    const double ratio = shot.width() / static_cast<double>(std::max(1, drawing.width()));
    const QRect page(static_cast<int>(drawing.OriginX() * ratio), static_cast<int>(drawing.OriginY() * ratio),
                     static_cast<int>(drawing.PageWidthPixels() * ratio),
                     static_cast<int>(drawing.PageHeightPixels() * ratio));
    EXPECT_GT(MarkedPixels(shot, page), 500);
    // The widget's own picture agrees.
    const QImage grabbed = drawing.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(MarkedPixels(grabbed, page), 500);
}

TEST_F(WindowXcb, KeysZoomInOutAndBackToFullSize) {
    TMainWindow window;
    window.show();
    WaitFor([&] { return window.windowHandle() && window.windowHandle()->isExposed(); }, 5000);
    TVXDrawing& drawing = window.Drawing();
    window.activateWindow();
    drawing.setFocus();
    WaitFor([&] { return QApplication::focusWidget() != nullptr; }, 2000);
    struct Step {
        QKeyCombination Key;
        int Zoom;
    } const steps[] = {{QKeyCombination(Qt::Key_Plus), 110},  {QKeyCombination(Qt::Key_Plus), 120},
                       {QKeyCombination(Qt::Key_Minus), 110}, {QKeyCombination(Qt::Key_0), 100},
                       {QKeyCombination(Qt::Key_Minus), 90},  {Qt::CTRL | Qt::Key_Plus, 100}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.Zoom);
        QTestLikeKey(step.Key);
        EXPECT_EQ(drawing.ZoomScale(), step.Zoom);
    }
    // Page down scrolls once the page is larger than the window.
    drawing.SetZoomScale(400);
    WaitFor([] { return false; }, 100);
    ASSERT_TRUE(drawing.VScrollActive());
    const int top = drawing.VSCBarPosition();
    QTestLikeKey(QKeyCombination(Qt::Key_PageDown));
    EXPECT_GT(drawing.VSCBarPosition(), top);
}

} // namespace
