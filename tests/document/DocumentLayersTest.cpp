#include "DocumentFixture.h"

#include "platform/UiServices.h"

#include <QTimer>

TEST_F(DocumentTest, NewDocumentDefaults) {
    ASSERT_EQ(Doc.LayerCount(), 1);
    EXPECT_EQ(Doc.GetLayerName(0), QStringLiteral("Base Layer"));
    EXPECT_EQ(Doc.LayerAt(0)->Engine, Doc.Engine());
    EXPECT_EQ(Doc.FigureCount(), 0);
    EXPECT_EQ(Doc.SelectedCount(), 0);
    EXPECT_FALSE(Doc.HasSelection());
    EXPECT_EQ(Doc.MapScale(), 50);
    EXPECT_EQ(Doc.UndoCount(), 24);
    EXPECT_EQ(Doc.ActiveLayer(), 0);
    EXPECT_EQ(Doc.DefaultPenColor(), 0);
    EXPECT_EQ(Doc.DefaultBrushColor(), 0xFFFF);
    EXPECT_EQ(Doc.DefaultPenWidth(), 1);
    EXPECT_EQ(Doc.DefaultBrushStyle(), TBrushStyle::bsClear);
    EXPECT_EQ(Doc.DefaultTextHeight(), 8.0);
    EXPECT_EQ(Doc.RescaleToMap(), TMapRescale::rsNever);
    EXPECT_EQ(Doc.RulerMode(), TRulerMode::rmPage);
    EXPECT_TRUE(Doc.AutoSelect());
    EXPECT_TRUE(Doc.SaveWithPreview());
    EXPECT_TRUE(Doc.FigureGuides());
    EXPECT_FALSE(Doc.RangeCheck());
    EXPECT_FALSE(Doc.GetCustomStream().has_value());
    ASSERT_EQ(Doc.PatternCount(), 6);
    const QStringList names = {"Zig Zag", "Blume", "Sinus", "Buttons", "Rechteck", "MiniSinus"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Doc.PatternAt(i)->Name, names[i]);
    EXPECT_EQ(Doc.PatternAt(6), nullptr);
    ASSERT_NE(Doc.BlinkTimer(), nullptr);
    EXPECT_FALSE(Doc.BlinkTimer()->isActive());
    EXPECT_EQ(Doc.BlinkTimer()->interval(), 400);

    EXPECT_TRUE(Doc.RecordUndo());
    Doc.OnCustomUndo = [](TVXDrawing*, bool) {};
    EXPECT_FALSE(Doc.RecordUndo());
}

TEST_F(DocumentTest, RegistersTheExistingDocumentClassesInOrder) {
    EXPECT_EQ(TVXDrawing::DocumentClassNames().size(), 39);
    const QStringList expected = {"TLine",         "TPolyline", "TFreeHand",   "TVertex",
                                  "TCircleVertex", "TUserLine", "TUserVertex", "TUserPolyline"};
    QStringList registered;
    for (const TFigureClass* cls : RegisteredFigureClasses())
        if (expected.contains(cls->Name)) registered << cls->Name;
    EXPECT_EQ(registered, expected);
    for (const QString& name : expected)
        EXPECT_NE(FindFigureClass(name), nullptr) << name.toStdString();
}

TEST_F(DocumentTest, BaseLayerIsNeverDeleted) {
    Doc.NewLayer(QStringLiteral("A"));
    EXPECT_FALSE(Doc.DeleteLayerWithNbr(0));
    EXPECT_FALSE(Doc.DeleteLayer(QStringLiteral("Base Layer")));
    EXPECT_FALSE(Doc.DeleteLayerWithNbr(2));
    EXPECT_FALSE(Doc.DeleteLayerWithNbr(-1));
    EXPECT_FALSE(Doc.DeleteLayer(QStringLiteral("Missing")));
    Doc.DeleteAllUserLayers();
    ASSERT_EQ(Doc.LayerCount(), 1);
    EXPECT_EQ(Doc.GetLayerName(0), QStringLiteral("Base Layer"));
    Doc.MergeAllLayers();
    EXPECT_EQ(Doc.LayerCount(), 1);
}

TEST_F(DocumentTest, GetLayerNbrIsCaseSensitiveAndFindsTheFirst) {
    Doc.NewLayer(QStringLiteral("Walls"));
    Doc.NewLayer(QStringLiteral("walls"));
    Doc.NewLayer(QStringLiteral("Walls"));
    EXPECT_EQ(Doc.GetLayerNbr(QStringLiteral("Walls")), 1);
    EXPECT_EQ(Doc.GetLayerNbr(QStringLiteral("walls")), 2);
    EXPECT_EQ(Doc.GetLayerNbr(QStringLiteral("WALLS")), -1);
    EXPECT_EQ(Doc.GetLayerName(4), QString());
    EXPECT_EQ(Doc.GetLayerHandle(4), nullptr);
}

TEST_F(DocumentTest, DeletingTheActiveLayerDestroysOnlyItsFigures) {
    Doc.NewLayer(QStringLiteral("A"));
    Doc.NewLayer(QStringLiteral("B"));
    AddLine(0, 0, 0, 10, 10);
    AddLine(1, 0, 0, 20, 10);
    AddVertex(1, 5, 5);
    AddLine(2, 0, 0, 30, 10);
    AddLine(1, 0, 0, 40, 10);
    Doc.SetActiveLayer(1);
    int afterDelete = 0;
    Doc.OnAfterDelete = [&](TVXDrawing*) { ++afterDelete; };
    Doc.SetUpdated(false);
    EXPECT_TRUE(Doc.DeleteLayerWithNbr(1));
    EXPECT_EQ(afterDelete, 3);
    EXPECT_EQ(Doc.ActiveLayer(), 0);
    EXPECT_TRUE(Doc.Updated());
    ASSERT_EQ(Doc.LayerCount(), 2);
    EXPECT_EQ(Doc.GetLayerName(1), QStringLiteral("B"));
    EXPECT_EQ(Doc.FigureCount(), 2);
    EXPECT_EQ(CountOnLayer(0), 1);
    EXPECT_EQ(CountOnLayer(1), 1);
}

TEST_F(DocumentTest, ActiveLayerStaysOnItsLayerWhenALowerLayerGoes) {
    Doc.NewLayer(QStringLiteral("A"));
    Doc.NewLayer(QStringLiteral("B"));
    Doc.SetActiveLayer(2);
    EXPECT_TRUE(Doc.DeleteLayerWithNbr(1));
    EXPECT_EQ(Doc.ActiveLayer(), 1);
    EXPECT_EQ(Doc.GetLayerName(Doc.ActiveLayer()), QStringLiteral("B"));
}

TEST_F(DocumentTest, WritingAnInvalidActiveLayerShowsTheMessage) {
    TScriptedUiServices ui;
    TUiServicesScope scope(ui);
    Doc.NewLayer(QStringLiteral("A"));
    Doc.SetActiveLayer(1);
    Doc.SetActiveLayer(2);
    EXPECT_EQ(Doc.ActiveLayer(), 1);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0], QStringLiteral("Invalid Layer Number"));
    EXPECT_EQ(ui.Calls()[0].MessageKind, TMessageKind::Error);
}

TEST_F(DocumentTest, LayerStates) {
    Doc.NewLayer(QStringLiteral("A"));
    Doc.HideLayer(1);
    Doc.GrayLayer(1);
    EXPECT_FALSE(Doc.GetLayerVisible(1));
    EXPECT_FALSE(Doc.GetLayerGrayed(1));
    Doc.ShowLayer(1);
    Doc.GrayLayer(1);
    EXPECT_TRUE(Doc.GetLayerVisible(1));
    EXPECT_TRUE(Doc.GetLayerGrayed(1));
    Doc.GrayLayer(7);
    Doc.HideLayer(-1);

    Doc.NewLayer(QStringLiteral("B"));
    Doc.ShowAllLayers();
    Doc.ExGrayLayer(2);
    EXPECT_TRUE(Doc.GetLayerGrayed(0));
    EXPECT_TRUE(Doc.GetLayerGrayed(1));
    EXPECT_FALSE(Doc.GetLayerGrayed(2));
    EXPECT_TRUE(Doc.GetLayerVisible(2));
    Doc.ExHideLayer(1);
    EXPECT_FALSE(Doc.GetLayerVisible(0));
    EXPECT_TRUE(Doc.GetLayerVisible(1));
    EXPECT_FALSE(Doc.GetLayerGrayed(1));
    EXPECT_FALSE(Doc.GetLayerVisible(2));
    Doc.HideAllLayers();
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(Doc.GetLayerVisible(i));
}

TEST_F(DocumentTest, HidingALayerDeselectsItsFigures) {
    Doc.NewLayer(QStringLiteral("A"));
    TFigure* a = AddLine(1, 0, 0, 10, 10, 0, true);
    TFigure* b = AddLine(0, 0, 0, 10, 20, 0, true);
    Doc.HideLayer(1);
    EXPECT_FALSE(a->FSelected);
    EXPECT_TRUE(b->FSelected);
    EXPECT_TRUE(Doc.HasSelection());
    Doc.HideLayer(0);
    EXPECT_FALSE(Doc.HasSelection());
}

TEST_F(DocumentTest, MergeVisibleLayersKeepsHiddenLayersAndTheTarget) {
    Doc.NewLayer(QStringLiteral("One"));
    Doc.NewLayer(QStringLiteral("Two"));
    TFigure* onZero = AddLine(0, 0, 0, 1, 1);
    TFigure* onOne = AddLine(1, 0, 0, 2, 2);
    TFigure* onTwo = AddLine(2, 0, 0, 3, 3);
    TFigure* alsoOnTwo = AddVertex(2, 3, 3);
    Doc.HideLayer(0);
    Doc.GrayLayer(2);
    TLayer* base = Doc.LayerAt(0);
    TLayer* one = Doc.LayerAt(1);
    Doc.MergeVisibleLayers();
    ASSERT_EQ(Doc.LayerCount(), 2);
    EXPECT_EQ(Doc.LayerAt(0), base);
    EXPECT_EQ(Doc.LayerAt(1), one);
    EXPECT_FALSE(Doc.GetLayerVisible(0));
    EXPECT_EQ(onZero->FLayer, base);
    EXPECT_EQ(onOne->FLayer, one);
    EXPECT_EQ(onTwo->FLayer, one);
    EXPECT_EQ(alsoOnTwo->FLayer, one);

    Doc.HideAllLayers();
    Doc.MergeVisibleLayers();
    EXPECT_EQ(Doc.LayerCount(), 2);
}

TEST_F(DocumentTest, MergeAllLayersMovesEveryFigureToTheBase) {
    Doc.NewLayer(QStringLiteral("One"));
    Doc.NewLayer(QStringLiteral("Two"));
    Doc.SetActiveLayer(2);
    AddLine(1, 0, 0, 2, 2);
    AddLine(2, 0, 0, 3, 3);
    Doc.MergeAllLayers();
    EXPECT_EQ(Doc.LayerCount(), 1);
    EXPECT_EQ(Doc.ActiveLayer(), 0);
    EXPECT_EQ(CountOnLayer(0), 2);
}

TEST_F(DocumentTest, LayerZeroMeansEveryLayer) {
    Doc.NewLayer(QStringLiteral("One"));
    Doc.NewLayer(QStringLiteral("Two"));
    TFigure* a = AddLine(0, 0, 0, 1, 1);
    TFigure* b = AddLine(1, 0, 0, 2, 2);
    TFigure* c = AddLine(2, 0, 0, 3, 3);
    Doc.HideLayer(2);
    Doc.SelectAll(0);
    EXPECT_TRUE(a->FSelected);
    EXPECT_TRUE(b->FSelected);
    EXPECT_FALSE(c->FSelected);
    EXPECT_EQ(Doc.SelectedCount(), 2);

    Doc.DeselectAll(1);
    EXPECT_TRUE(a->FSelected);
    EXPECT_FALSE(b->FSelected);
    EXPECT_TRUE(Doc.HasSelection());
    Doc.DeselectAll(0);
    EXPECT_FALSE(a->FSelected);
    EXPECT_FALSE(Doc.HasSelection());

    Doc.ShowLayer(2);
    Doc.SelectAll(2);
    EXPECT_TRUE(c->FSelected);
    EXPECT_FALSE(a->FSelected);

    Doc.Clear(2, false);
    EXPECT_EQ(Doc.FigureCount(), 2);
    EXPECT_EQ(Doc.SelectedCount(), 0);
    EXPECT_FALSE(Doc.HasSelection());
    Doc.Clear(5, false);
    EXPECT_EQ(Doc.FigureCount(), 2);
    Doc.Clear(0, false);
    EXPECT_EQ(Doc.FigureCount(), 0);
    EXPECT_EQ(Doc.ModPoints().Count(), 0);
}

TEST_F(DocumentTest, DeletingALayerLeavesNoReferenceToItsFigures) {
    Doc.NewLayer(QStringLiteral("Doomed"));
    auto* line = static_cast<TLine*>(AddLine(0, 0, 0, 50, 50, 0, true));
    TFigure* target = AddLine(1, 50, 50, 80, 50, 0, true);
    AddVertex(1, 0, 0, true);
    TFigure* anchor = AddVertex(0, 90, 90);
    auto* doomedLine = static_cast<TLine*>(AddLine(1, 90, 90, 60, 60));
    line->SetJoin2(target);
    doomedLine->SetJoin1(anchor);
    ASSERT_EQ(anchor->FJoinedLines.size(), 1u);
    Doc.RefreshSelection();
    ASSERT_EQ(Doc.SelectedCount(), 3);
    ASSERT_EQ(line->FJoin2, target);
    const int handlesBefore = Doc.ModPoints().Count();

    EXPECT_TRUE(Doc.DeleteLayerWithNbr(1));
    EXPECT_EQ(line->FJoin2, nullptr);
    EXPECT_EQ(Doc.SelectedCount(), 1);
    EXPECT_EQ(Doc.GetSelectedHandle(0), line);
    EXPECT_EQ(Doc.GetSelectedHandle(1), nullptr);
    EXPECT_LT(Doc.ModPoints().Count(), handlesBefore);
    for (int i = 0; i < Doc.ModPoints().Count(); ++i)
        EXPECT_EQ(Doc.ModPoints().At(i)->Figure, line);
    EXPECT_TRUE(anchor->FJoinedLines.empty());
    // Moving must not reach a freed figure through a join.
    line->Move(1, 1);
    anchor->Move(1, 1);
}
