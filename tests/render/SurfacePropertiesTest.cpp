// Published properties of the drawing surface: defaults, the page size
// rules and the state channels each setter publishes.
#include "render/Rulers.h"
#include "render/VXDrawBox.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

TEST(SurfaceProperties, Defaults) {
    TVXDrawBox box;
    EXPECT_EQ(box.ZoomScale(), 100);
    EXPECT_EQ(box.PageLayout(), TPageLayout::plCustom);
    EXPECT_EQ(box.PageOrient(), TPageOrient::poPortrait);
    EXPECT_EQ(box.PageColor(), 0xFFFFFF);
    EXPECT_EQ(box.BackGround(), 0xFFFFFF);
    EXPECT_TRUE(box.DrawShadow());
    EXPECT_TRUE(box.Grids());
    EXPECT_EQ(box.GridType(), TGridType::grtLine);
    EXPECT_EQ(box.GridStep(), 5.0);
    EXPECT_EQ(box.GridColor(), 0xC0C0C0);
    EXPECT_TRUE(box.GuidesVisible());
    EXPECT_EQ(box.GuideColor(), 0x008000);
    EXPECT_EQ(box.GuideTrace(), TGuideTraces::gtNone);
    EXPECT_FALSE(box.CenterGuide());
    EXPECT_EQ(box.RulerColor(), 0xC0C0C0);
    EXPECT_EQ(box.RulerSystem(), TRulerSystem::rsMetric);
    EXPECT_FALSE(box.SnapToGrids());
    EXPECT_FALSE(box.SnapToGuides());
    EXPECT_FALSE(box.SnapToNearPointEnabled());
    EXPECT_TRUE(box.ScrollBars());
    EXPECT_FALSE(box.DetailWindow());
    EXPECT_EQ(box.DetailWidth(), 100);
    EXPECT_EQ(box.DetailHeight(), 100);
    EXPECT_EQ(box.DetailScale(), 100);
    EXPECT_EQ(box.DetailStyle(), TDetailStyle::dsZoom);
    EXPECT_FALSE(box.Isometric());
    EXPECT_EQ(box.IsoCoordZ(), 0.0);
    EXPECT_TRUE(box.RulerVisible());
    EXPECT_EQ(box.RulerOrigin(), QPoint(-5000, -5000));
}

TEST(SurfaceProperties, PageLayoutAndOrientation) {
    TVXDrawBox box;
    box.SetPageLayout(TPageLayout::plA4);
    EXPECT_EQ(box.WorkWidth(), 210.0);
    EXPECT_EQ(box.WorkHeight(), 297.0);
    box.SetPageOrient(TPageOrient::poLandscape);
    EXPECT_EQ(box.WorkWidth(), 297.0);
    EXPECT_EQ(box.WorkHeight(), 210.0);
    EXPECT_EQ(box.PageLayout(), TPageLayout::plA4);
    // A standard size in landscape puts the long side horizontally.
    box.SetPageLayout(TPageLayout::plLetter);
    EXPECT_EQ(box.WorkWidth(), 279.0);
    EXPECT_EQ(box.WorkHeight(), 215.0);
    // Writing the orientation it already has swaps nothing.
    box.SetPageOrient(TPageOrient::poLandscape);
    EXPECT_EQ(box.WorkWidth(), 279.0);
    // plCustom keeps the size.
    box.SetPageLayout(TPageLayout::plCustom);
    EXPECT_EQ(box.WorkWidth(), 279.0);
    EXPECT_EQ(box.WorkHeight(), 215.0);
}

TEST(SurfaceProperties, WritingTheSizeMakesTheLayoutCustomAndSetsTheOrientation) {
    TVXDrawBox box;
    box.SetWorkWidth(150);
    EXPECT_EQ(box.PageLayout(), TPageLayout::plCustom);
    EXPECT_EQ(box.PageOrient(), TPageOrient::poLandscape);
    EXPECT_EQ(box.PageWidthPixels(), 600);
    box.SetPageLayout(TPageLayout::plA5);
    box.SetWorkHeight(500);
    EXPECT_EQ(box.PageLayout(), TPageLayout::plCustom);
    EXPECT_EQ(box.PageOrient(), TPageOrient::poPortrait);
    // Nonsense sizes are refused.
    box.SetWorkWidth(0);
    box.SetWorkHeight(-3);
    box.SetWorkWidth(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(box.WorkHeight(), 500.0);
    EXPECT_GT(box.WorkWidth(), 0.0);
}

TEST(SurfaceProperties, RulerSystemConvertsTheGridStepUnlessAskedNotTo) {
    TVXDrawBox box;
    box.SetRulerSystem(TRulerSystem::rsWhitworth);
    EXPECT_DOUBLE_EQ(box.GridStep(), 4.0);
    box.SetRulerSystem(TRulerSystem::rsWhitworth);
    EXPECT_DOUBLE_EQ(box.GridStep(), 4.0);
    box.SetRulerSystem(TRulerSystem::rsMetric);
    EXPECT_DOUBLE_EQ(box.GridStep(), 5.0);
    // A loaded inch drawing brings its own step.
    box.SetGridStep(8);
    box.SetRulerSystemKeepStep(TRulerSystem::rsWhitworth);
    EXPECT_EQ(box.RulerSystem(), TRulerSystem::rsWhitworth);
    EXPECT_DOUBLE_EQ(box.GridStep(), 8.0);
    EXPECT_EQ(box.FindEventEngine(143)->Numval, 1);
}

TEST(SurfaceProperties, DetailScaleIsClamped) {
    TVXDrawBox box;
    box.SetDetailScale(5);
    EXPECT_EQ(box.DetailScale(), 10);
    box.SetDetailScale(5000);
    EXPECT_EQ(box.DetailScale(), 3000);
}

TEST(SurfaceProperties, ChannelsExistAndFollowTheirProperties) {
    TVXDrawBox box;
    for (int id : {134, 135, 136, 137, 138, 139, 140, 141, 142, 143, 147, 148, 149, 170, 181, 186})
        EXPECT_NE(box.FindEventEngine(id), nullptr) << id;
    EXPECT_EQ(box.FindEventEngine(134)->Numval, 1);
    EXPECT_EQ(box.FindEventEngine(148)->Numval, static_cast<int>(TPageOrient::poPortrait));

    struct Case {
        int Channel;
        std::function<void(TVXDrawBox&)> Set;
        int Expected;
    };
    const Case cases[] = {
        {134, [](TVXDrawBox& b) { b.SetGrids(false); }, 0},
        {186, [](TVXDrawBox& b) { b.SetGridType(TGridType::grtCross); }, 2},
        {181, [](TVXDrawBox& b) { b.SetCenterGuide(true); }, 1},
        {136, [](TVXDrawBox& b) { b.SetGuidesVisible(false); }, 0},
        {137, [](TVXDrawBox& b) { b.SetSnapToGrids(true); }, 1},
        {138, [](TVXDrawBox& b) { b.SetSnapToGuides(true); }, 1},
        {139, [](TVXDrawBox& b) { b.SetSnapToNearPoint(true); }, 1},
        {140, [](TVXDrawBox& b) { b.SetGridColor(0x123456); }, 0x123456},
        {141, [](TVXDrawBox& b) { b.SetGuideColor(0x0000FF); }, 0x0000FF},
        {149, [](TVXDrawBox& b) { b.SetBackGround(0x808080); }, 0x808080},
        {170, [](TVXDrawBox& b) { b.SetPageColor(0x00FFFF); }, 0x00FFFF},
        {142, [](TVXDrawBox& b) { b.SetGuideTrace(TGuideTraces::gtSixty); }, 4},
        {147, [](TVXDrawBox& b) { b.SetPageLayout(TPageLayout::plA3); }, 3},
        {148, [](TVXDrawBox& b) { b.SetPageOrient(TPageOrient::poLandscape); }, 0},
        {147, [](TVXDrawBox& b) { b.SetWorkWidth(123); }, static_cast<int>(TPageLayout::plCustom)},
        {143, [](TVXDrawBox& b) { b.SetRulerSystem(TRulerSystem::rsWhitworth); }, 1},
        {135, [](TVXDrawBox& b) { b.SetRulerVisible(false); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Channel);
        TVXDrawBox fresh;
        std::vector<int> seen;
        fresh.Subscribe(c.Channel, nullptr,
                        [&](QObject*, int, int numVal, const QString&, double, bool) { seen.push_back(numVal); });
        c.Set(fresh);
        ASSERT_GE(seen.size(), 2u); // once at subscription, then the change
        EXPECT_EQ(seen.back(), c.Expected);
    }
}

TEST(SurfaceProperties, RulerTickLevelsFollowTheZoom) {
    struct Case {
        double Factor;
        TRulerSystem System;
        int Level;
    };
    const Case cases[] = {
        {40.1, TRulerSystem::rsMetric, 0},  {40.0, TRulerSystem::rsMetric, 1},
        {24.1, TRulerSystem::rsMetric, 1},  {12.1, TRulerSystem::rsMetric, 2},
        {12.0, TRulerSystem::rsMetric, 3},  {4.0, TRulerSystem::rsMetric, 3},
        {2.4, TRulerSystem::rsMetric, 4},   {1.2, TRulerSystem::rsMetric, 5},
        // inch: p = F × 25.4 pixels per inch
        {61.0, TRulerSystem::rsWhitworth, 0}, {60.0, TRulerSystem::rsWhitworth, 1},
        {8.0, TRulerSystem::rsWhitworth, 2},  {4.0, TRulerSystem::rsWhitworth, 3},
        {0.5, TRulerSystem::rsWhitworth, 4},  {0.4, TRulerSystem::rsWhitworth, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Factor);
        EXPECT_EQ(RulerTickLevelFor(c.Factor, c.System), c.Level);
    }
    TVXDrawBox box;
    box.resize(400, 400);
    box.ReLocate();
    EXPECT_EQ(box.RulerTickLevel(), 3);
    box.SetZoomScale(1100); // F = 44
    EXPECT_EQ(box.RulerTickLevel(), 0);
}

TEST(SurfaceProperties, RulerUnitsAndLabelFactors) {
    struct Case {
        int Level;
        TRulerSystem System;
        bool World;
        int MapScale;
        const char* Unit;
        double Factor;
    };
    const Case cases[] = {
        {0, TRulerSystem::rsMetric, false, 1, "mm", 1},
        {2, TRulerSystem::rsMetric, false, 1, "cm", 1},
        {0, TRulerSystem::rsMetric, true, 50, "cm", 5},
        {0, TRulerSystem::rsMetric, true, 1000, "M", 1},
        {2, TRulerSystem::rsMetric, true, 200, "M", 2},
        {5, TRulerSystem::rsMetric, true, 200, "M", 20},
        {0, TRulerSystem::rsWhitworth, false, 1, "Inch/16", 1},
        {1, TRulerSystem::rsWhitworth, false, 1, "Inch", 1},
        {3, TRulerSystem::rsWhitworth, false, 1, "inch", 1},
        {0, TRulerSystem::rsWhitworth, true, 96, "Inch", 6},
        {0, TRulerSystem::rsWhitworth, true, 960, "Feet", 5},
        {2, TRulerSystem::rsWhitworth, true, 24, "Feet", 2},
        {3, TRulerSystem::rsWhitworth, true, 24, "feet", 2},
        {4, TRulerSystem::rsWhitworth, true, 24, "feet", 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("%1 %2").arg(c.Level).arg(c.Unit).toStdString());
        const TRulerScale scale = RulerScaleFor(c.Level, c.System, c.World, c.MapScale);
        EXPECT_EQ(scale.Unit, QString::fromLatin1(c.Unit));
        EXPECT_DOUBLE_EQ(scale.LabelFactor, c.Factor);
    }
    EXPECT_DOUBLE_EQ(RulerScaleFor(3, TRulerSystem::rsMetric, false, 1).TickMm, 5.0);
    EXPECT_DOUBLE_EQ(RulerScaleFor(0, TRulerSystem::rsWhitworth, false, 1).TickMm, 25.4 / 128);
}

} // namespace
