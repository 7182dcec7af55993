#include "DocumentFixture.h"

#include "model/Layer.h"

TEST_F(DocumentTest, CreationOperations) {
    Doc.NewLayer(QStringLiteral("A"));
    std::vector<TInsertReason> inserted;
    Doc.OnObjectInserted = [&](TVXDrawing*, TInsertReason reason) { inserted.push_back(reason); };
    Doc.SetUpdated(false);

    const std::intptr_t handle = Doc.Line(Doc.LayerCount(), 1, 2, 3, 4, 2, 1, 0x0000FF, 1, true);
    ASSERT_EQ(Doc.FigureCount(), 1);
    TFigure* line = Doc.GetFigure(0);
    EXPECT_EQ(handle, line->FHandle);
    EXPECT_EQ(line->FLayer, Doc.LayerAt(0));
    EXPECT_EQ(line->FPenColor, 0x0000FF);
    EXPECT_EQ(line->FPenWidth, 2);
    EXPECT_EQ(line->FPenStyle, 1);
    EXPECT_EQ(line->FRowStyle, 1);
    EXPECT_EQ(line->GetPoint(2), DoublePoint(3, 4));
    EXPECT_TRUE(line->FSelected);
    EXPECT_TRUE(Doc.HasSelection());
    EXPECT_TRUE(Doc.Updated());

    const std::intptr_t vertex = Doc.Vertex(1, 5, 6, false);
    EXPECT_EQ(reinterpret_cast<TFigure*>(vertex)->FLayer, Doc.LayerAt(1));
    EXPECT_FALSE(reinterpret_cast<TFigure*>(vertex)->FSelected);
    const std::intptr_t onBase = Doc.Vertex(-3, 5, 6, false);
    EXPECT_EQ(onBase, Doc.GetFigure(2)->FHandle);
    EXPECT_EQ(Doc.GetFigure(2)->FLayer, Doc.LayerAt(0));

    const std::vector<TDoublePoint> one = {DoublePoint(1, 1)};
    EXPECT_EQ(Doc.PolyLine(0, one, 1, 0, 0, 0, 1, 0, false, true), -1);
    EXPECT_EQ(Doc.PolyLine(0, {}, 1, 0, 0, 0, 1, 0, false, true), -1);
    EXPECT_EQ(Doc.FigureCount(), 3);

    const std::vector<TDoublePoint> three = {DoublePoint(0, 0), DoublePoint(10, 0), DoublePoint(10, 10)};
    const std::intptr_t poly = Doc.PolyLine(1, three, 1, 0, 0x00FF00, 0, 0, 0x123456, true, false);
    auto* polyline = dynamic_cast<TPolyline*>(reinterpret_cast<TFigure*>(poly));
    ASSERT_NE(polyline, nullptr);
    EXPECT_TRUE(polyline->Closed());
    EXPECT_EQ(polyline->PointCount(), 3);
    EXPECT_EQ(polyline->FBrushColor, 0x123456);

    EXPECT_EQ(inserted, std::vector<TInsertReason>(4, TInsertReason::irCreate));
}

TEST_F(DocumentTest, CustomStreams) {
    const char bytes[] = {1, 2, 3, 0, 5};
    Doc.SetCustomStream(5, bytes);
    ASSERT_TRUE(Doc.GetCustomStream().has_value());
    EXPECT_EQ(*Doc.GetCustomStream(), QByteArray(bytes, 5));
    Doc.SetCustomStream(0, bytes);
    EXPECT_FALSE(Doc.GetCustomStream().has_value());
    Doc.SetCustomStream(-1, bytes);
    EXPECT_FALSE(Doc.GetCustomStream().has_value());

    TFigure* line = AddLine(0, 0, 0, 1, 1);
    EXPECT_FALSE(Doc.GetFigureCustomStream(line).has_value());
    Doc.SetFigureCustomStream(line, 3, bytes);
    EXPECT_EQ(*Doc.GetFigureCustomStream(line), QByteArray(bytes, 3));
    Doc.SetFigureCustomStream(line, 0, nullptr);
    EXPECT_FALSE(Doc.GetFigureCustomStream(line).has_value());
    EXPECT_FALSE(Doc.GetFigureCustomStream(nullptr).has_value());
}

TEST_F(DocumentTest, FigureDocumentServices) {
    Doc.NewLayer(QStringLiteral("Hidden"));
    TFigure* back = AddLine(0, 10, 10, 50, 10);
    TFigure* front = AddLine(1, 10, 10, 50, 10);
    EXPECT_EQ(Doc.FigureAt(30, 10, nullptr), front);
    Doc.HideLayer(1);
    EXPECT_EQ(Doc.FigureAt(30, 10, nullptr), back);
    EXPECT_EQ(Doc.FigureAt(30, 10, back), nullptr);
    EXPECT_EQ(Doc.IndexOfLayer(Doc.LayerAt(1)), 1);
    EXPECT_EQ(Doc.IndexOfLayer(nullptr), -1);
    const int first = Doc.NextSelectOrder();
    EXPECT_GT(Doc.NextSelectOrder(), first);

    Doc.SetVerticalZero(TVertZero::vzBottom);
    EXPECT_EQ(Doc.LayerAt(1)->VertZero, static_cast<std::uint8_t>(TVertZero::vzBottom));
    TFigure* later = AddVertex(0, 1, 1);
    EXPECT_EQ(later->FVertZero, static_cast<std::uint8_t>(TVertZero::vzBottom));

    std::vector<TFigure*> modified;
    std::vector<TFigure*> edited;
    Doc.OnFigureModify = [&](TVXDrawing*, TFigure* f) { modified.push_back(f); };
    Doc.OnFigureEdit = [&](TVXDrawing*, TFigure* f) { edited.push_back(f); };
    back->Modified();
    back->Edit();
    EXPECT_EQ(modified, std::vector<TFigure*>{back});
    EXPECT_EQ(edited, std::vector<TFigure*>{back});

    EXPECT_FALSE(Doc.UserHitTest(back, "X", 0, 0).has_value());
    Doc.OnUserHitTest = [](TVXDrawing*, const QString& name, TFigure*, double, double, bool& test,
                           bool& tested) {
        tested = name == QLatin1String("Mine");
        test = true;
    };
    EXPECT_EQ(Doc.UserHitTest(back, "Mine", 0, 0), std::optional<bool>(true));
    EXPECT_FALSE(Doc.UserHitTest(back, "Other", 0, 0).has_value());
    EXPECT_FALSE(Doc.UserDraw(back, "Mine", Doc.DrawEngine(), false));
    Doc.OnUserDraw = [](TVXDrawing*, const QString&, TFigureEngine&, TFigure*, bool grayed, bool& drawed) {
        drawed = grayed;
    };
    EXPECT_TRUE(Doc.UserDraw(back, "Mine", Doc.DrawEngine(), true));
}
