#include "DocumentFixture.h"

TEST_F(DocumentTest, SecondClickKeepsTheSelectionAndAddToggles) {
    TFigure* line = AddLine(0, 10, 10, 50, 10);
    int changes = 0;
    Doc.OnSelectionChange = [&](TVXDrawing*) { ++changes; };
    EXPECT_TRUE(Doc.SelectByPoint(0, false, 30, 10));
    EXPECT_TRUE(line->FSelected);
    EXPECT_EQ(Doc.SelectedCount(), 1);
    EXPECT_EQ(Doc.StatusText(), QStringLiteral("TLine>") + line->FName);
    EXPECT_EQ(changes, 1);

    EXPECT_TRUE(Doc.SelectByPoint(0, false, 30, 10));
    EXPECT_TRUE(line->FSelected);

    EXPECT_FALSE(Doc.SelectByPoint(0, true, 30, 10));
    EXPECT_FALSE(line->FSelected);
    EXPECT_FALSE(Doc.HasSelection());
    EXPECT_EQ(Doc.SelectedCount(), 0);
    EXPECT_EQ(Doc.StatusText(), QString());
}

TEST_F(DocumentTest, ClickSelection) {
    Doc.NewLayer(QStringLiteral("Hidden"));
    TFigure* back = AddLine(0, 10, 10, 50, 10);
    TFigure* front = AddLine(0, 10, 10, 50, 10);
    TFigure* hidden = AddLine(1, 10, 30, 50, 30);
    Doc.HideLayer(1);

    EXPECT_FALSE(Doc.SelectByPoint(2, false, 30, 10));
    EXPECT_FALSE(Doc.SelectByPoint(0, false, 30, 30));
    EXPECT_FALSE(hidden->FSelected);

    // The frontmost figure is hit.
    EXPECT_TRUE(Doc.SelectByPoint(0, false, 30, 10));
    EXPECT_TRUE(front->FSelected);
    EXPECT_FALSE(back->FSelected);

    // A click into the void without Add clears the selection.
    EXPECT_FALSE(Doc.SelectByPoint(0, false, 90, 90));
    EXPECT_FALSE(front->FSelected);
    EXPECT_FALSE(Doc.HasSelection());
}

TEST_F(DocumentTest, AreaSelectionSkipsHiddenLayers) {
    Doc.NewLayer(QStringLiteral("Hidden"));
    Doc.NewLayer(QStringLiteral("Grayed"));
    TFigure* a = AddLine(0, 10, 10, 20, 20);
    TFigure* hidden = AddLine(1, 12, 12, 18, 18);
    TFigure* grayed = AddVertex(2, 15, 15);
    TFigure* outside = AddLine(0, 10, 10, 90, 90);
    Doc.HideLayer(1);
    Doc.GrayLayer(2);
    std::vector<TFigure*> selectedEvents;
    Doc.OnFigureSelect = [&](TVXDrawing*, TFigure* f) { selectedEvents.push_back(f); };

    EXPECT_TRUE(Doc.SelectWithInArea(0, TDoubleRect{0, 0, 30, 30}, false));
    EXPECT_TRUE(a->FSelected);
    EXPECT_FALSE(hidden->FSelected);
    EXPECT_TRUE(grayed->FSelected);
    EXPECT_FALSE(outside->FSelected);
    EXPECT_EQ(selectedEvents, (std::vector<TFigure*>{a, grayed}));
    EXPECT_TRUE(a->FPrimarySelected);
    EXPECT_FALSE(grayed->FPrimarySelected);
    EXPECT_EQ(Doc.SelectedCount(), 2);

    // Corners in any order; a rectangle around nothing selects nothing.
    EXPECT_FALSE(Doc.SelectWithInArea(0, TDoubleRect{70, 70, 60, 60}, false));
    EXPECT_FALSE(Doc.HasSelection());
    EXPECT_TRUE(Doc.SelectWithInArea(2, TDoubleRect{30, 30, 0, 0}, true));
    EXPECT_TRUE(grayed->FSelected);
    EXPECT_FALSE(a->FSelected);
    EXPECT_FALSE(Doc.SelectWithInArea(3, TDoubleRect{0, 0, 30, 30}, true));
}

TEST_F(DocumentTest, InvertSelectionAndQueries) {
    TFigure* a = AddLine(0, 10, 20, 30, 40, 0, true);
    TFigure* b = AddVertex(0, -5, 70);
    Doc.InvertSelection();
    EXPECT_FALSE(a->FSelected);
    EXPECT_TRUE(b->FSelected);
    Doc.RefreshSelection();
    EXPECT_EQ(Doc.GetSelectedHandle(0), b);
    EXPECT_EQ(Doc.GetSelectedHandle(-1), nullptr);

    const TDoubleRect drawing = Doc.GetDrawingRect();
    EXPECT_DOUBLE_EQ(drawing.Left, -6);
    EXPECT_DOUBLE_EQ(drawing.Top, 71);
    EXPECT_DOUBLE_EQ(drawing.Right, 30);
    EXPECT_DOUBLE_EQ(drawing.Bottom, 20);
    EXPECT_EQ(Doc.FindFigureByName(a->FName), a);
    EXPECT_EQ(Doc.FindFigureByName(a->FName.toLower()), nullptr);
    EXPECT_TRUE(Doc.IsNameUsed(a->FName.toUpper(), nullptr));
    EXPECT_FALSE(Doc.IsNameUsed(a->FName, a));

    Doc.Clear(0, false);
    EXPECT_EQ(Doc.GetDrawingRect(), (TDoubleRect{0, 0, 0, 0}));
}

TEST_F(DocumentTest, HitTestModPointWithinThreePixels) {
    AddLine(0, 10, 10, 50, 10, 0, true);
    Doc.RefreshSelection();
    ASSERT_EQ(Doc.ModPoints().Count(), 2);
    // 3 pixels are 0.75 mm at zoom 100 %.
    EXPECT_EQ(Doc.HitTestModPoint(10.7, 10.7), Doc.ModPoints().At(0));
    EXPECT_EQ(Doc.HitTestModPointInt(50, 10), Doc.ModPoints().At(1));
    EXPECT_EQ(Doc.HitTestModPoint(10.8, 10), nullptr);
    Doc.SetZoomScale(200);
    EXPECT_EQ(Doc.HitTestModPoint(10.7, 10), nullptr);
}

TEST_F(DocumentTest, SelectionCountsByClassMembership) {
    AddLine(0, 0, 0, 10, 10, 0, true);
    AddPolyline(0, {DoublePoint(0, 0), DoublePoint(5, 5), DoublePoint(10, 0)}, true);
    AddVertex(0, 3, 3, true);
    AddVertex(0, 4, 4, false);
    Doc.RefreshSelection();
    TSelectionCounts expected;
    expected.Lines = 2;
    expected.Polylines = 1;
    expected.Points = 1;
    EXPECT_EQ(Doc.SelectionCounts(), expected);
    Doc.DeselectAll(0);
    Doc.RefreshSelection();
    EXPECT_EQ(Doc.SelectionCounts(), TSelectionCounts{});
}

TEST_F(DocumentTest, LockSelection) {
    TFigure* a = AddLine(0, 0, 0, 10, 10, 0, true);
    TFigure* b = AddLine(0, 0, 0, 10, 20);
    Doc.RefreshSelection();
    Doc.LockSelectionToMove(true);
    Doc.LockSelectionToModify(true);
    EXPECT_TRUE(a->FLockMove);
    EXPECT_TRUE(a->FLockModify);
    EXPECT_FALSE(b->FLockMove);
}
