// The surface's published properties: page size and layout, colours, grid,
// guides, rulers, snapping, detail window. Each setter publishes its state
// channel and repaints.
#include "render/VXDrawBox.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
bool ValidSize(double value) {
    return std::isfinite(value) && value > 0;
}
} // namespace

void TVXDrawBox::ApplyWorkSize(double width, double height) {
    FWorkWidth = width;
    FWorkHeight = height;
    ReLocate();
    RefreshIfShown();
}

void TVXDrawBox::PublishPageState() {
    Publish(SurfaceChannel::PageLayout, static_cast<int>(FPageLayout));
    Publish(SurfaceChannel::PageOrient, static_cast<int>(FPageOrient));
}

void TVXDrawBox::SetWorkWidth(double value) {
    if (!ValidSize(value)) return;
    FPageLayout = TPageLayout::plCustom;
    FPageOrient = FWorkHeight > value ? TPageOrient::poPortrait : TPageOrient::poLandscape;
    PublishPageState();
    ApplyWorkSize(value, FWorkHeight);
}

void TVXDrawBox::SetWorkHeight(double value) {
    if (!ValidSize(value)) return;
    FPageLayout = TPageLayout::plCustom;
    FPageOrient = value > FWorkWidth ? TPageOrient::poPortrait : TPageOrient::poLandscape;
    PublishPageState();
    ApplyWorkSize(FWorkWidth, value);
}

void TVXDrawBox::SetPageLayout(TPageLayout value) {
    FPageLayout = value;
    Publish(SurfaceChannel::PageLayout, static_cast<int>(value));
    const TPageSize size = PageLayoutSize(value);
    if (size.Short <= 0) return;
    if (FPageOrient == TPageOrient::poPortrait)
        ApplyWorkSize(size.Short, size.Long);
    else
        ApplyWorkSize(size.Long, size.Short);
}

void TVXDrawBox::SetPageOrient(TPageOrient value) {
    FPageOrient = value;
    Publish(SurfaceChannel::PageOrient, static_cast<int>(value));
    const bool mismatch = value == TPageOrient::poPortrait ? FWorkWidth > FWorkHeight : FWorkWidth < FWorkHeight;
    if (mismatch) ApplyWorkSize(FWorkHeight, FWorkWidth);
}

void TVXDrawBox::SetPageColor(TColor value) {
    FPageColor = value;
    Publish(SurfaceChannel::PageColor, value);
    RefreshIfShown();
}

void TVXDrawBox::SetBackGround(TColor value) {
    FBackGround = value;
    Publish(SurfaceChannel::BackGround, value);
    RefreshIfShown();
}

void TVXDrawBox::SetDrawShadow(bool value) {
    FDrawShadow = value;
    RefreshIfShown();
}

void TVXDrawBox::SetGrids(bool value) {
    FGrids = value;
    Publish(SurfaceChannel::Grids, value ? 1 : 0);
    RefreshIfShown();
}

void TVXDrawBox::SetGridType(TGridType value) {
    FGridType = value;
    Publish(SurfaceChannel::GridType, static_cast<int>(value));
    RefreshIfShown();
}

void TVXDrawBox::SetGridStep(double value) {
    if (!ValidSize(value)) return;
    FGridStep = value;
    RefreshIfShown();
}

void TVXDrawBox::SetGridColor(TColor value) {
    FGridColor = value;
    Publish(SurfaceChannel::GridColor, value);
    RefreshIfShown();
}

void TVXDrawBox::SetGuidesVisible(bool value) {
    FGuidesVisible = value;
    Publish(SurfaceChannel::GuidesVisible, value ? 1 : 0);
    RefreshIfShown();
}

void TVXDrawBox::SetGuideColor(TColor value) {
    FGuideColor = value;
    Publish(SurfaceChannel::GuideColor, value);
    RefreshIfShown();
}

void TVXDrawBox::SetGuideTrace(TGuideTraces value) {
    EraseTrace();
    FGuideTrace = value;
    Publish(SurfaceChannel::GuideTrace, static_cast<int>(value));
}

void TVXDrawBox::SetCenterGuide(bool value) {
    FCenterGuide = value;
    Publish(SurfaceChannel::CenterGuide, value ? 1 : 0);
    RefreshIfShown();
}

void TVXDrawBox::SetRulerColor(TColor value) {
    FRulerColor = value;
    RefreshIfShown();
}

void TVXDrawBox::SetRulerSystem(TRulerSystem value) {
    if (value == FRulerSystem) return;
    FGridStep = value == TRulerSystem::rsWhitworth ? FGridStep * 8.0 / 10.0 : FGridStep * 10.0 / 8.0;
    SetRulerSystemKeepStep(value);
}

void TVXDrawBox::SetRulerSystemKeepStep(TRulerSystem value) {
    FRulerSystem = value;
    Publish(SurfaceChannel::RulerSystem, static_cast<int>(value));
    ReLocate();
    RefreshIfShown();
}

void TVXDrawBox::SetSnapToGrids(bool value) {
    FSnapToGrids = value;
    Publish(SurfaceChannel::SnapToGrids, value ? 1 : 0);
}

void TVXDrawBox::SetSnapToGuides(bool value) {
    FSnapToGuides = value;
    Publish(SurfaceChannel::SnapToGuides, value ? 1 : 0);
}

void TVXDrawBox::SetSnapToNearPoint(bool value) {
    FSnapToNearPoint = value;
    Publish(SurfaceChannel::SnapToNearPoint, value ? 1 : 0);
}

void TVXDrawBox::SetScrollBars(bool value) {
    FScrollBars = value;
    ReLocate();
    RefreshIfShown();
}

void TVXDrawBox::SetDetailWindow(bool value) {
    FDetailWindow = value;
    RefreshIfShown();
}

void TVXDrawBox::SetDetailWidth(int value) {
    FDetailWidth = std::max(1, value);
    RefreshIfShown();
}

void TVXDrawBox::SetDetailHeight(int value) {
    FDetailHeight = std::max(1, value);
    RefreshIfShown();
}

void TVXDrawBox::SetDetailScale(int value) {
    FDetailScale = std::clamp(value, 10, 3000);
    RefreshIfShown();
}

void TVXDrawBox::SetDetailStyle(TDetailStyle value) {
    FDetailStyle = value;
    RefreshIfShown();
}

void TVXDrawBox::SetIsometric(bool value) {
    FIsometric = value;
    RefreshIfShown();
}

void TVXDrawBox::SetDetailOffset(const TDoublePoint& offset) {
    FDetailOffset = offset;
}
