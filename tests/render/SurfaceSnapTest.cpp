// Snapping of world points: near point, grid and guides in their order.
#include "render/VXDrawBox.h"

#include <gtest/gtest.h>

namespace {

class NearPointBox : public TVXDrawBox {
public:
    bool Snaps = false;
    int Asked = 0;
    using TVXDrawBox::SetToolState;

protected:
    bool SnapToNearPoint(double& x, double& y) override {
        ++Asked;
        if (!Snaps) return false;
        x = 77;
        y = 88;
        return true;
    }
};

struct SurfaceSnap : ::testing::Test {
    NearPointBox Box;
    void SetUp() override {
        Box.resize(640, 480);
        Box.AddGuide(TGuideLine::kVertical, 10.25);
        Box.AddGuide(TGuideLine::kHorizontal, 40.5);
    }
    std::pair<double, double> Snapped(double x, double y) {
        Box.Snap(x, y);
        return {x, y};
    }
};

TEST_F(SurfaceSnap, GuideStrictlyNearerThanTheGridWins) {
    Box.SetSnapToGrids(true);
    Box.SetSnapToGuides(true);
    // Tolerance at zoom 100: 12 px = 3 mm.
    EXPECT_EQ(Snapped(10.2, 51).first, 10.25);
    EXPECT_EQ(Snapped(10.2, 51).second, 50.0);
    EXPECT_EQ(Snapped(10.2, 40.0).second, 40.0); // grid 40 nearer than guide 40.5
    // Equally near: the grid keeps it.
    Box.AddGuide(TGuideLine::kVertical, 20.5);
    EXPECT_EQ(Snapped(20.25, 0).first, 20.0);
}

TEST_F(SurfaceSnap, EachSwitchAlone) {
    Box.SetSnapToGrids(true);
    EXPECT_EQ(Snapped(10.2, 51), std::make_pair(10.0, 50.0));
    Box.SetSnapToGrids(false);
    Box.SetSnapToGuides(true);
    EXPECT_EQ(Snapped(12.5, 42), std::make_pair(10.25, 40.5));
    Box.SetSnapToGuides(false);
    EXPECT_EQ(Snapped(10.2, 51), std::make_pair(10.2, 51.0));
}

TEST_F(SurfaceSnap, NothingWithinTwelvePixelsLeavesThePoint) {
    Box.SetSnapToGrids(true);
    Box.SetSnapToGuides(true);
    Box.SetZoomScale(400); // 12 px = 0.75 mm
    EXPECT_EQ(Snapped(13, 51.5), std::make_pair(13.0, 51.5));
    EXPECT_EQ(Snapped(10.5, 49.5), std::make_pair(10.25, 50.0));
    // Outside the page there are no grid lines, and none on its edges.
    EXPECT_EQ(Snapped(100.2, -0.2), std::make_pair(100.2, -0.2));
}

TEST_F(SurfaceSnap, NearPointComesFirstAndEndsTheSnap) {
    Box.SetSnapToGrids(true);
    Box.SetSnapToNearPoint(true);
    EXPECT_EQ(Snapped(10.2, 51), std::make_pair(10.0, 50.0));
    EXPECT_EQ(Box.Asked, 1);
    Box.Snaps = true;
    EXPECT_EQ(Snapped(10.2, 51), std::make_pair(77.0, 88.0));
    Box.SetSnapToNearPoint(false);
    EXPECT_EQ(Snapped(10.2, 51), std::make_pair(10.0, 50.0));
    EXPECT_EQ(Box.Asked, 2);
}

TEST_F(SurfaceSnap, SkippedForToolKindsOneAndSeven) {
    Box.SetSnapToGrids(true);
    for (int kind : {1, 7}) {
        Box.SetToolState(kind, QString());
        EXPECT_EQ(Snapped(10.2, 51), std::make_pair(10.2, 51.0)) << kind;
    }
    Box.SetToolState(2, QStringLiteral("TLine"));
    EXPECT_EQ(Snapped(10.2, 51), std::make_pair(10.0, 50.0));
}

TEST_F(SurfaceSnap, InchGridSnapsToSixteenths) {
    Box.SetRulerSystem(TRulerSystem::rsWhitworth); // step 4/16 inch = 6.35 mm
    Box.SetSnapToGrids(true);
    EXPECT_DOUBLE_EQ(Snapped(13, 20).first, 12.7);
}

} // namespace
