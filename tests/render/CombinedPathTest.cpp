// Combined groups through the real engine: the members end up in one path
// that is filled by the alternate rule, so overlaps become holes, in the
// picture and in the group's hit area alike.
#include "EngineTestSupport.h"

#include "model/Ellipse.h"
#include "model/Group.h"
#include "model/Rectangle.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

constexpr TColor kPen = 0x000080;
constexpr TColor kFill = 0x40C040;

std::unique_ptr<TRectangle> FilledRect(double x1, double y1, double x2, double y2) {
    return TRectangle::Create(1, kPen, 0, kFill, static_cast<int>(TBrushStyle::bsSolid), nullptr, true, nullptr,
                              x1, y1, x2, y2);
}

} // namespace

TEST(CombinedPathTest, OverlapOfTwoFilledMembersIsAHole) {
    // Millimetres at 4 pixels each: (5, 5)–(25, 25) and (15, 15)–(35, 35).
    auto group = TFigureGrp::Create(nullptr, nullptr);
    group->Add(FilledRect(5, 5, 25, 25));
    group->Add(FilledRect(15, 15, 35, 35));
    group->SetCombined(true);
    const QImage image = Render(160, 160, [&](TVXDrawEngine& e, TCanvas&) { group->Draw(e, false); });
    EXPECT_EQ(Raw(image, 40, 40), Rgb(kFill));    // only the first
    EXPECT_EQ(Raw(image, 120, 120), Rgb(kFill));  // only the second
    EXPECT_EQ(Raw(image, 80, 80), kWhite);        // both: the hole
    EXPECT_EQ(Raw(image, 20, 20), Rgb(kPen));     // the outline
    EXPECT_EQ(Raw(image, 130, 30), kWhite);       // outside both
    ASSERT_NE(group->FRegion, nullptr);
    EXPECT_TRUE(group->FRegion->Contains(40, 40));
    EXPECT_TRUE(group->FRegion->Contains(120, 120));
    EXPECT_FALSE(group->FRegion->Contains(80, 80));
    EXPECT_FALSE(group->FRegion->Contains(130, 30));
}

TEST(CombinedPathTest, CurvedMembersJoinThePathInsteadOfFillingOnTheirOwn) {
    auto group = TFigureGrp::Create(nullptr, nullptr);
    group->Add(FilledRect(5, 5, 35, 35));
    group->Add(TEllipse::Create(nullptr, nullptr, true, DoublePoint(20, 20), 5, 5, 0, 1, kPen, 0, 0x0000FF,
                                static_cast<int>(TBrushStyle::bsSolid)));
    group->SetCombined(true);
    const QImage image = Render(160, 160, [&](TVXDrawEngine& e, TCanvas&) { group->Draw(e, false); });
    // The circle cuts a hole into the square and is not filled in its own colour.
    EXPECT_EQ(Raw(image, 80, 80), kWhite);
    EXPECT_EQ(Raw(image, 30, 30), Rgb(kFill));
    EXPECT_TRUE(WithColor(image, 0x0000FF).empty());
}

TEST(CombinedPathTest, PlainGroupDrawsEachMemberOnItsOwn) {
    auto group = TFigureGrp::Create(nullptr, nullptr);
    group->Add(FilledRect(5, 5, 25, 25));
    group->Add(FilledRect(15, 15, 35, 35));
    const QImage image = Render(160, 160, [&](TVXDrawEngine& e, TCanvas&) { group->Draw(e, false); });
    EXPECT_EQ(Raw(image, 80, 80), Rgb(kFill));
    EXPECT_EQ(group->FRegion, nullptr);
}
