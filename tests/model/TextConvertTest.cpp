// Texts converted to Bézier outlines: one closed polyline per glyph contour,
// gathered in a combined group that lies inside the text's box.
#include "support/FakeDocument.h"

#include "model/Group.h"
#include "model/Polyline.h"
#include "model/Text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class TextConvertTest : public ::testing::Test {
protected:
    std::unique_ptr<TText> MakeText(const QString& s, double x = 10, double y = 20) {
        return TText::Create(s, &Doc, true, Doc.LayerAt(0), 0x112233, 0, QStringLiteral("Arial"), 0, 8, x, y);
    }
    TFakeDocument Doc;
};

TEST_F(TextConvertTest, GlyphContoursBecomeClosedPolylinesInACombinedGroup) {
    struct TCase {
        const char* Text;
        int Contours;
    };
    // "O" has an outer and an inner contour, "I" one, "OI" three.
    for (const TCase& c : {TCase{"O", 2}, TCase{"I", 1}, TCase{"OI", 3}}) {
        SCOPED_TRACE(c.Text);
        auto text = MakeText(QString::fromLatin1(c.Text));
        std::unique_ptr<TFigure> converted = text->ConvertToBezier();
        auto* group = dynamic_cast<TFigureGrp*>(converted.get());
        ASSERT_NE(group, nullptr);
        EXPECT_TRUE(group->Combined());
        ASSERT_EQ(group->Count(), c.Contours);
        for (int i = 0; i < group->Count(); ++i) {
            auto* polyline = dynamic_cast<TPolyline*>(group->Member(i));
            ASSERT_NE(polyline, nullptr);
            EXPECT_TRUE(polyline->Closed());
            EXPECT_GE(polyline->NodeCount(), 2);
            EXPECT_EQ(polyline->FPenColor, 0x112233);
            EXPECT_EQ(polyline->FBrushColor, 0x112233);
            EXPECT_EQ(polyline->FLayer, Doc.LayerAt(0));
        }
        // The glyphs lie in the cell below and to the right of the anchor.
        const TDoubleRect r = group->GetBoundsRect();
        EXPECT_TRUE(std::isfinite(r.Left) && std::isfinite(r.Bottom));
        EXPECT_GT(r.Left, 9.5);
        EXPECT_GT(r.Top, 20);
        EXPECT_LT(r.Bottom, 28.01);
        EXPECT_GT(r.Bottom - r.Top, 4); // a capital fills most of the 8 mm cell
    }
}

TEST_F(TextConvertTest, TurnedTextTurnsItsOutlinesAndEmptyTextGivesNothing) {
    auto plain = MakeText(QStringLiteral("I"));
    auto turned = MakeText(QStringLiteral("I"));
    turned->FAngle = std::acos(-1.0) / 2; // a quarter turn
    std::unique_ptr<TFigure> a = plain->ConvertToBezier();
    std::unique_ptr<TFigure> b = turned->ConvertToBezier();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    const TDoubleRect ra = a->GetBoundsRect(), rb = b->GetBoundsRect();
    // Width and height change places.
    EXPECT_NEAR(ra.Right - ra.Left, rb.Bottom - rb.Top, 1e-6);
    EXPECT_NEAR(ra.Bottom - ra.Top, rb.Right - rb.Left, 1e-6);

    EXPECT_EQ(MakeText(QString())->ConvertToBezier(), nullptr);
}

} // namespace
