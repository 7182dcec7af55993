// The views that draw the figures with another mapping (the oblique 3-D view
// and the detail window), the custom surface and key input.
#include "render/PaintBoxExt.h"
#include "render/VXDrawBox.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QCoreApplication>
#include <cmath>
#include <vector>

namespace {

class ViewBox : public TVXDrawBox {
public:
    std::vector<TDoublePoint> Seen;
    std::vector<std::pair<int, TShiftState>> Keys;
    int DocumentPaints = 0;
    void DoKeyStroke(int key, TShiftState shift) override { Keys.emplace_back(key, shift); }

protected:
    void DrawViewFigures() override { Seen.push_back(DrawEngine().ToDevice(DoublePoint(0, 100))); }
    void PaintDocument() override { ++DocumentPaints; }
};

TEST(SurfaceViews, IsometricViewDrawsTheFiguresThroughTheProjection) {
    ViewBox box;
    box.resize(640, 480); // 100 × 100 mm page at (135, 55)
    box.SetIsometric(true);
    box.Seen.clear();
    box.DocumentPaints = 0;
    QImage image;
    box.PaintTo(image);
    ASSERT_EQ(box.Seen.size(), 1u);
    EXPECT_EQ(box.DocumentPaints, 0);
    // The front-left corner stays on the front edge, shifted by the centring
    // offset (-cos 45° × H / 2, -(1 - sin 45°) × H / 2).
    const double dx = -std::sqrt(0.5) * 50;
    const double dy = -(1 - std::sqrt(0.5)) * 50;
    EXPECT_EQ(box.Seen[0].X, std::nearbyint(135 + 4 * dx));
    EXPECT_EQ(box.Seen[0].Y, std::nearbyint(55 + 4 * (100 + dy)));
    // Afterwards the engine has the page mapping again.
    const TDoublePoint page = box.DrawEngine().ToDevice(DoublePoint(0, 100));
    EXPECT_DOUBLE_EQ(page.X, 135);
    EXPECT_DOUBLE_EQ(page.Y, 455);
}

TEST(SurfaceViews, DetailWindowDrawsTheFiguresIntoTheInset) {
    ViewBox box;
    box.resize(640, 480);
    box.SetDetailWindow(true);
    box.SetDetailScale(200);
    box.SetDetailOffset({0, 90});
    box.Seen.clear();
    box.DocumentPaints = 0;
    QImage image;
    box.PaintTo(image);
    ASSERT_EQ(box.Seen.size(), 1u);
    EXPECT_EQ(box.DocumentPaints, 1);
    // Inset coordinates: (0 - 0) × 8, (100 - 90) × 8.
    EXPECT_DOUBLE_EQ(box.Seen[0].X, 0);
    EXPECT_DOUBLE_EQ(box.Seen[0].Y, 80);
    const TDoublePoint device = box.DetailToDevice(0, 100);
    EXPECT_DOUBLE_EQ(device.X, box.DetailRect().left());
    EXPECT_DOUBLE_EQ(device.Y, box.DetailRect().top() + 80);
}

TEST(SurfaceViews, CustomSurfaceGivesTheSizeLessTheMargin) {
    ViewBox box;
    box.resize(640, 480);
    QWidget other;
    other.resize(800, 600);
    box.SetCustomSurface(&other);
    box.SetSurfaceMargin(20);
    EXPECT_EQ(box.SurfaceWidth(), 780);
    EXPECT_EQ(box.SurfaceHeight(), 580);
    QImage image;
    box.PaintTo(image);
    EXPECT_EQ(image.size(), QSize(780, 580));
    box.SetCustomSurface(nullptr);
    EXPECT_EQ(box.SurfaceWidth(), 640);
}

TEST(SurfaceViews, KeysArriveAsVirtualKeyCodes) {
    ViewBox box;
    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QCoreApplication::sendEvent(&box, &a);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::ShiftModifier);
    QCoreApplication::sendEvent(&box, &del);
    QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
    QCoreApplication::sendEvent(&box, &f5);
    ASSERT_EQ(box.Keys.size(), 3u);
    EXPECT_EQ(box.Keys[0], std::make_pair(0x41, Shift::ssCtrl));
    EXPECT_EQ(box.Keys[1], std::make_pair(0x2E, Shift::ssShift));
    EXPECT_EQ(box.Keys[2], std::make_pair(0x74, TShiftState{0}));
}

TEST(SurfaceViews, KeyDownHandlerCanSwallowAKey) {
    ViewBox box;
    int seen = 0;
    box.OnKeyDown = [&](TVXPanel*, int& key, unsigned) {
        seen = key;
        key = 0;
    };
    QKeyEvent a(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QCoreApplication::sendEvent(&box, &a);
    EXPECT_EQ(seen, 0x25);
    EXPECT_TRUE(box.Keys.empty());
}

TEST(SurfaceViews, DragsReportTheirSourceKindAndSnappedWorldPoint) {
    ViewBox box;
    box.resize(640, 480);
    TPaintBoxExt libraryEntry;
    QWidget blockBox;
    blockBox.setObjectName(QStringLiteral("BlockBox"));
    QWidget other;
    EXPECT_EQ(box.DragSourceKind(box.PaintBox()), 3);
    EXPECT_EQ(box.DragSourceKind(&libraryEntry), 4);
    EXPECT_EQ(box.DragSourceKind(&blockBox), 4);
    EXPECT_EQ(box.DragSourceKind(&other), 0);
    EXPECT_EQ(box.DragSourceKind(nullptr), 0);

    box.SetSnapToGrids(true);
    std::vector<double> seen;
    box.OnSurfaceDragOver = [&](TVXDrawBox*, int kind, double x, double y, TDragState, bool& accept) {
        seen = {static_cast<double>(kind), x, y};
        accept = true;
    };
    bool accept = false;
    box.DoSurfaceDragOver(4, TDragState::dsDragMove, accept, 135 + 41, 55 + 79);
    EXPECT_TRUE(accept);
    EXPECT_EQ(seen, (std::vector<double>{4, 10, 20}));
    box.OnSurfaceDragDrop = [&](TVXDrawBox*, int kind, double x, double y) { seen = {static_cast<double>(kind), x, y}; };
    box.DoSurfaceDragDrop(3, 135 + 80, 55 + 120);
    EXPECT_EQ(seen, (std::vector<double>{3, 20, 30}));
}

} // namespace
