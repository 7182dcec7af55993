// The round figures, rectangles and texts inside the document: creation
// operations, registration, selection counts and the channels they feed.
#include "DocumentFixture.h"

#include "model/Arc.h"
#include "model/Circle.h"
#include "model/Ellipse.h"
#include "model/ElpArc.h"
#include "model/Rectangle.h"
#include "model/Text.h"

#include <numbers>

namespace {

template <typename T> T* As(std::intptr_t handle) {
    return dynamic_cast<T*>(reinterpret_cast<TFigure*>(handle));
}

TEST_F(DocumentTest, RegistersTheFigureClassesThatExist) {
    for (const char* name : {"TLine", "THellical", "TPolyline", "TFreeHand", "TEllipse", "TArc", "TElpArc", "TCircle",
                             "TRectangle", "TVertex", "TCircleVertex", "TText", "TUserRectangle", "TUserLine",
                             "TUserVertex", "TUserCircle", "TUserArc", "TUserEllipse", "TUserPolyline"}) {
        SCOPED_TRACE(name);
        const TFigureClass* cls = FindFigureClass(QString::fromLatin1(name));
        ASSERT_NE(cls, nullptr);
        EXPECT_EQ(cls->Name, QString::fromLatin1(name));
    }
}

TEST_F(DocumentTest, CreationOperationsForShapesAndText) {
    const int beyond = Doc.LayerCount();
    auto* circle = As<TCircle>(Doc.DrawCircle(beyond, 10, 20, 5, 2, 0, 0x0000FF, 0, 0xFFFF, false));
    ASSERT_NE(circle, nullptr);
    EXPECT_EQ(circle->FLayer, Doc.LayerAt(0));
    EXPECT_EQ(circle->FRadius, 5);
    EXPECT_EQ(circle->GetPoint(1), DoublePoint(10, 20));

    auto* ellipse = As<TEllipse>(Doc.Ellipse(0, 50, 50, 20, 10, 0.5, 1, 0, 0, 1, 0, false));
    ASSERT_NE(ellipse, nullptr);
    EXPECT_EQ(ellipse->FRadiusA, 20);
    EXPECT_EQ(ellipse->FRadiusB, 10);

    auto* arc = As<TArc>(Doc.Arc(0, 0, 0, 10, 0, std::numbers::pi / 2, 1, 0, 0, 1, 0,
                                 static_cast<int>(TArcStyle::asPie), true));
    ASSERT_NE(arc, nullptr);
    EXPECT_EQ(arc->ArcStyle(), TArcStyle::asPie);
    EXPECT_TRUE(arc->FSelected);

    auto* elpArc = As<TElpArc>(Doc.ElpArc(0, 0, 0, 20, 10, 0, 0, 1, 1, 0, 0, 1, 0, 9, false));
    ASSERT_NE(elpArc, nullptr);
    EXPECT_EQ(elpArc->ArcStyle(), TArcStyle::asChord); // out-of-range style clamped

    auto* rect = As<TRectangle>(Doc.Rectangle(0, 0, 0, 10, 20, 1, 0, 0, 0, 0x00FF00, false));
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->GetPoint(3), DoublePoint(10, 20));

    auto* text = As<TText>(
        Doc.TextOut(0, 5, 5, 0, 6, 0.5, QStringLiteral("Maße"), QStringLiteral("Arial"), 0, 0x0000FF, false));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->FText, QStringLiteral("Maße"));
    EXPECT_EQ(text->FHeight, 6);
    EXPECT_EQ(text->FCharWidth, 3);
    EXPECT_EQ(Doc.FigureCount(), 6);
    EXPECT_TRUE(Doc.Updated());
}

TEST_F(DocumentTest, SelectionCountsAndArcStyleChannel) {
    Doc.DrawCircle(0, 10, 10, 5, 1, 0, 0, 1, 0, true);
    Doc.Ellipse(0, 30, 30, 8, 4, 0, 1, 0, 0, 1, 0, true);
    Doc.Arc(0, 50, 50, 5, 0, 1, 1, 0, 0, 1, 0, static_cast<int>(TArcStyle::asChord), true);
    Doc.ElpArc(0, 70, 70, 8, 4, 0, 0, 1, 1, 0, 0, 1, 0, static_cast<int>(TArcStyle::asChord), true);
    Doc.Rectangle(0, 0, 0, 10, 10, 1, 0, 0, 1, 0, true);
    Doc.RefreshSelection();
    const TSelectionCounts& counts = Doc.SelectionCounts();
    EXPECT_EQ(counts.Circles, 1);
    EXPECT_EQ(counts.Ellipses, 1);
    EXPECT_EQ(counts.Arcs, 1);
    EXPECT_EQ(counts.Rectangles, 1);
    EXPECT_EQ(Doc.FindEventEngine(104)->Numval, static_cast<int>(TArcStyle::asChord));
    EXPECT_TRUE(Doc.FindEventEngine(174)->CEnable);

    Doc.SetDefaultArcStyle(TArcStyle::asPie);
    Doc.RefreshSelection();
    EXPECT_EQ(Doc.FindEventEngine(104)->Numval, static_cast<int>(TArcStyle::asPie));
    for (int i = 0; i < Doc.FigureCount(); ++i) {
        if (auto* arc = dynamic_cast<TRoundArc*>(Doc.GetFigure(i))) {
            EXPECT_EQ(arc->ArcStyle(), TArcStyle::asPie);
        }
    }
}

TEST_F(DocumentTest, TextChannelsFollowTheSelectedTexts) {
    Doc.SetDefaultTextHeight(8);
    auto add = [this](double height, const char* font, bool select) {
        return As<TText>(Doc.TextOut(0, 10, 10 + height, 0, height, 0, QStringLiteral("Ab"),
                                     QString::fromLatin1(font), 0, 0x0000FF, select));
    };
    TText* a = add(5, "Arial", true);
    TText* b = add(7, "Arial", true);
    a->FFont.Bold = true;
    b->FFont.Bold = true;
    Doc.RefreshSelection();
    EXPECT_TRUE(Doc.IsTextSelected());
    EXPECT_EQ(Doc.FindEventEngine(126)->DblVal, 8.0); // heights differ: the default
    EXPECT_EQ(Doc.FindEventEngine(98)->StrVal, QStringLiteral("Arial"));
    EXPECT_EQ(Doc.FindEventEngine(28)->Numval, 1);
    EXPECT_EQ(Doc.FindEventEngine(91)->Numval, 0x0000FF);
    b->FHeight = 5;
    Doc.RefreshSelection();
    EXPECT_EQ(Doc.FindEventEngine(126)->DblVal, 5.0);
    Doc.DeselectAll(0);
    Doc.RefreshSelection();
    EXPECT_FALSE(Doc.IsTextSelected());
    EXPECT_EQ(Doc.FindEventEngine(28)->Numval, 0);
}

TEST_F(DocumentTest, UnevenMapRescaleReplacesCirclesByEllipsesInPlace) {
    AddLine(0, 0, 0, 100, 0);
    auto* circle = As<TCircle>(Doc.DrawCircle(0, 50, 50, 10, 1, 0, 0, 1, 0, false));
    AddLine(0, 0, 100, 100, 100);
    ASSERT_EQ(Doc.IndexOfFigure(circle), 1);
    Doc.ScaleDrawing(2, 1);
    auto* ellipse = dynamic_cast<TEllipse*>(Doc.GetFigure(1));
    ASSERT_NE(ellipse, nullptr);
    EXPECT_NEAR(ellipse->FRadiusA, 20, 1e-9);
    EXPECT_NEAR(ellipse->FRadiusB, 10, 1e-9);
    EXPECT_EQ(Doc.FigureCount(), 3);
    EXPECT_EQ(Doc.IndexOfFigure(circle), -1);
    EXPECT_EQ(circle->FRadius, 10); // the old circle is kept unchanged for undo
}

} // namespace
