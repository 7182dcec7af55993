// Mouse and wheel input of the surface: world coordinates of the hooks and
// events, the wheel zoom, middle-button double click, guide drags from the
// rulers, panning and scroll bar drags.
#include "render/PaintBoxExt.h"
#include "render/VXDrawBox.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>

namespace {

class HookBox : public TVXDrawBox {
public:
    std::vector<std::string> Calls;
    double X = 0, Y = 0;

protected:
    void SurfaceMouseDown(TMouseButton, TShiftState, double x, double y) override { Record("down", x, y); }
    void SurfaceMouseMove(TShiftState, double x, double y) override { Record("move", x, y); }
    void SurfaceMouseUp(TMouseButton, TShiftState, double x, double y) override { Record("up", x, y); }
    void SurfaceClick() override { Calls.push_back("click"); }

private:
    void Record(const char* what, double x, double y) {
        Calls.push_back(what);
        X = x;
        Y = y;
    }
};

struct SurfaceInput : ::testing::Test {
    HookBox Box;
    void SetUp() override { Box.resize(640, 480); } // page at (135, 55)
    void Wheel(int angle) {
        QWheelEvent event(QPointF(300, 200), QPointF(300, 200), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(Box.PaintBox(), &event);
    }
};

TEST_F(SurfaceInput, WheelTowardsTheUserZoomsIn) {
    Wheel(-120);
    EXPECT_EQ(Box.ZoomScale(), 110);
    Wheel(120);
    Wheel(120);
    EXPECT_EQ(Box.ZoomScale(), 90);
}

TEST_F(SurfaceInput, MiddleDoubleClickFitsTheWindow) {
    Box.SetZoomScale(300);
    QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(300, 200), QPointF(300, 200), Qt::MiddleButton,
                      Qt::MiddleButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Box.PaintBox(), &event);
    // round(450 / 400 × 100) - 1 = 111 (height limits).
    EXPECT_EQ(Box.ZoomScale(), 111);
}

TEST_F(SurfaceInput, PressMoveReleaseReachHooksAndEventsInSnappedWorldMillimetres) {
    Box.SetSnapToGrids(true);
    std::vector<std::string> events;
    Box.OnSurfaceMouseDown = [&](TVXDrawBox*, TMouseButton, TShiftState, double x, double y) {
        events.push_back("down " + std::to_string(x) + " " + std::to_string(y));
    };
    Box.OnSurfaceMove = [&](TVXDrawBox*, TShiftState, double x, double) {
        events.push_back("move " + std::to_string(x));
    };
    Box.OnSurfaceMouseUp = [&](TVXDrawBox*, TMouseButton, TShiftState, double, double) { events.push_back("up"); };
    // (135 + 41, 55 + 79) = (10.25, 19.75) mm → grid (10, 20).
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(176, 134), QPointF(176, 134), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Box.PaintBox(), &press);
    EXPECT_EQ(Box.X, 10.0);
    EXPECT_EQ(Box.Y, 20.0);
    Box.DoSurfaceMove(0, 255, 135); // 30 mm
    EXPECT_EQ(Box.X, 30.0);
    Box.DoSurfacePull(TMouseButton::mbLeft, 0, 255, 135);
    EXPECT_EQ(Box.Calls, (std::vector<std::string>{"down", "move", "click", "up"}));
    EXPECT_EQ(events, (std::vector<std::string>{"down 10.000000 20.000000", "move 30.000000", "up"}));
}

TEST_F(SurfaceInput, DraggingFromTheTopRulerCreatesAHorizontalGuide) {
    Box.DoSurfacePush(TMouseButton::mbLeft, 0, 200, 10);
    EXPECT_EQ(Box.MouseMode(), SurfaceMode::HorizontalGuide);
    Box.DoSurfaceMove(0, 200, 150);
    EXPECT_TRUE(Box.Dragging());
    Box.DoSurfaceMove(0, 200, 235);
    Box.DoSurfacePull(TMouseButton::mbLeft, 0, 200, 235);
    ASSERT_EQ(Box.GuideCount(), 1);
    EXPECT_EQ(Box.GuideAt(0).Kind, TGuideLine::kHorizontal);
    EXPECT_DOUBLE_EQ(Box.GuideAt(0).Position, 45.0); // (235 - 55) / 4
    EXPECT_TRUE(Box.Calls.empty());

    // The left ruler gives a vertical guide.
    Box.DoSurfacePush(TMouseButton::mbLeft, 0, 10, 200);
    Box.DoSurfaceMove(0, 175, 200);
    Box.DoSurfacePull(TMouseButton::mbLeft, 0, 175, 200);
    ASSERT_EQ(Box.GuideCount(), 2);
    EXPECT_EQ(Box.GuideAt(1).Kind, TGuideLine::kVertical);
    EXPECT_DOUBLE_EQ(Box.GuideAt(1).Position, 10.0);

    // A click on the ruler without moving creates nothing.
    Box.DoSurfacePush(TMouseButton::mbLeft, 0, 200, 10);
    Box.DoSurfacePull(TMouseButton::mbLeft, 0, 200, 10);
    EXPECT_EQ(Box.GuideCount(), 2);
}

TEST_F(SurfaceInput, AGuideIsPickedUpNearItAndDroppedElsewhere) {
    Box.AddGuide(TGuideLine::kHorizontal, 45);
    Box.AddGuide(TGuideLine::kVertical, 10);
    // 5 px away in y picks the horizontal guide; 6 px would not.
    EXPECT_FALSE(Box.CheckGuideLine(60, 45 + 6 / 4.0));
    EXPECT_TRUE(Box.CheckGuideLine(60, 45 + 5 / 4.0));
    EXPECT_EQ(Box.GuideCount(), 1);
    EXPECT_EQ(Box.MouseMode(), SurfaceMode::HorizontalGuide);
    EXPECT_TRUE(Box.CheckForGuideDrop(300, 255)); // y = 50 mm
    EXPECT_FALSE(Box.CheckForGuideDrop(300, 255));
    ASSERT_EQ(Box.GuideCount(), 2);
    EXPECT_EQ(Box.GuideAt(1).Kind, TGuideLine::kHorizontal);
    EXPECT_DOUBLE_EQ(Box.GuideAt(1).Position, 50.0);
}

TEST_F(SurfaceInput, CtrlShiftOrMiddleButtonPansThePage) {
    Box.SetZoomScale(400);
    Box.SetScrollPositions(400, 400);
    Box.DoSurfacePush(TMouseButton::mbLeft, Shift::ssCtrl | Shift::ssShift, 300, 300);
    EXPECT_EQ(Box.MouseMode(), SurfaceMode::Pan);
    Box.DoSurfaceMove(Shift::ssCtrl | Shift::ssShift, 250, 330);
    EXPECT_EQ(Box.HSCBarPosition(), 450);
    EXPECT_EQ(Box.VSCBarPosition(), 370);
    Box.DoSurfacePull(TMouseButton::mbLeft, 0, 250, 330);
    EXPECT_EQ(Box.MouseMode(), SurfaceMode::None);

    Box.DoSurfacePush(TMouseButton::mbMiddle, 0, 300, 300);
    Box.DoSurfaceMove(0, 310, 300);
    Box.DoSurfacePull(TMouseButton::mbMiddle, 0, 310, 300);
    EXPECT_EQ(Box.HSCBarPosition(), 440);
    EXPECT_TRUE(Box.Calls.empty());
}

TEST_F(SurfaceInput, ScrollBarThumbDrag) {
    Box.SetZoomScale(400);
    Box.SetScrollPositions(0, 0);
    const QRect bar = Box.HScrollRect();
    Box.DoSurfacePush(TMouseButton::mbLeft, 0, bar.left() + 5, bar.center().y());
    EXPECT_EQ(Box.MouseMode(), SurfaceMode::HScrollDrag);
    Box.DoSurfaceMove(0, bar.left() + 25, bar.center().y());
    EXPECT_EQ(Box.HSCBarPosition(), static_cast<int>(std::nearbyint(20.0 * Box.HScrollRange() / bar.width())));
    Box.DoSurfacePull(TMouseButton::mbLeft, 0, bar.left() + 25, bar.center().y());
}

TEST_F(SurfaceInput, DetailWindowConvertsWithItsOwnMappingAndTakesTheWheel) {
    Box.SetDetailWindow(true);
    Box.SetDetailOffset({20, 30});
    const QRect r = Box.DetailRect();
    Box.DoSurfacePush(TMouseButton::mbLeft, 0, r.left() + 40, r.top() + 20);
    EXPECT_DOUBLE_EQ(Box.X, 30.0); // 40 px / 4 + 20
    EXPECT_DOUBLE_EQ(Box.Y, 35.0); // below the ruler band
    Box.DoSurfacePull(TMouseButton::mbLeft, 0, r.left() + 40, r.top() + 20);
    const int zoom = Box.ZoomScale();
    Box.DoSurfaceWheel(-120, r.left() + 40, r.top() + 20);
    EXPECT_EQ(Box.DetailScale(), 110);
    EXPECT_EQ(Box.ZoomScale(), zoom);
    // The point under the mouse stays.
    const TDoublePoint w = Box.DetailToWorld(r.left() + 40, r.top() + 20);
    EXPECT_NEAR(w.X, 30.0, 1e-9);
    EXPECT_NEAR(w.Y, 35.0, 1e-9);
    Box.DoSurfaceMiddleDblClick(r.left() + 40, r.top() + 20);
    EXPECT_EQ(Box.DetailScale(), 100);
}

TEST(SurfaceProjection, ObliqueProjectionAndItsInverse) {
    TVXDrawBox box;
    box.SetWorkHeight(100);
    // The front edge y = H stays; depth runs up and to the right at 45°.
    const TDoublePoint front = box.ProjectOblique(10, 100, 0);
    EXPECT_DOUBLE_EQ(front.X, 10.0);
    EXPECT_DOUBLE_EQ(front.Y, 100.0);
    const TDoublePoint back = box.ProjectOblique(10, 0, 5);
    EXPECT_NEAR(back.X, 10 + 100 * std::sqrt(0.5), 1e-9);
    EXPECT_NEAR(back.Y, 100 - (5 + 100 * std::sqrt(0.5)), 1e-9);
    for (TVertZero v : {TVertZero::vzTop, TVertZero::vzBottom}) {
        box.SetVerticalZero(v);
        const TDoublePoint p = box.ProjectOblique(12, 34, 7);
        const TDoublePoint w = box.UnprojectOblique(p.X, p.Y, 7);
        EXPECT_NEAR(w.X, 12, 1e-9);
        EXPECT_NEAR(w.Y, 34, 1e-9);
    }
}

} // namespace
