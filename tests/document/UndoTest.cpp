#include "DocumentFixture.h"
#include "UndoTestSupport.h"

#include "document/DrawingFile.h"
#include "model/Group.h"

#include <QTemporaryDir>

namespace {
TFigure* AsFigure(std::intptr_t handle) {
    return reinterpret_cast<TFigure*>(handle);
}
} // namespace

TEST_F(DocumentTest, UndoCountKeepsOnlyTheNewestSteps) {
    Doc.SetUndoCount(2);
    AddLine(0, 0, 0, 10, 0);
    AddLine(0, 0, 5, 10, 5);
    AddLine(0, 0, 9, 10, 9);
    EXPECT_EQ(Doc.UndoStepCount(), 2);
    Doc.UnDo();
    Doc.UnDo();
    Doc.UnDo(); // nothing left to undo
    EXPECT_EQ(Doc.FigureCount(), 1);
    EXPECT_EQ(Doc.UndoPosition(), 2);
    Doc.ReDo();
    Doc.ReDo();
    EXPECT_EQ(Doc.FigureCount(), 3);
    EXPECT_FALSE(Doc.CanRedo());
}

TEST_F(DocumentTest, NewStepAfterUndoCutsTheRedoBranch) {
    TFigure* first = AddLine(0, 0, 0, 10, 0);
    AddLine(0, 0, 5, 10, 5);
    AddLine(0, 0, 9, 10, 9);
    Doc.UnDo();
    Doc.UnDo();
    EXPECT_EQ(Doc.HeldFigureCount(), 2);
    TFigure* fourth = AddLine(0, 3, 3, 4, 4);
    EXPECT_EQ(Doc.UndoStepCount(), 2);
    EXPECT_EQ(Doc.HeldFigureCount(), 0); // the cut lines are freed
    Doc.ReDo();
    ASSERT_EQ(Doc.FigureCount(), 2);
    EXPECT_EQ(Doc.GetFigure(0), first);
    EXPECT_EQ(Doc.GetFigure(1), fourth);
    Doc.UnDo();
    Doc.UnDo();
    EXPECT_EQ(Doc.FigureCount(), 0);
    Doc.ReDo();
    Doc.ReDo();
    EXPECT_EQ(Doc.FigureCount(), 2);
}

TEST_F(DocumentTest, UndoingARemovalPutsTheSameFiguresBackInPlace) {
    std::vector<TFigure*> figures;
    for (int i = 0; i < 5; ++i) figures.push_back(AddLine(0, i, 0, i, 10));
    Doc.DeselectAll(0);
    const QString name1 = figures[1]->FName;
    const std::intptr_t handle3 = figures[3]->FHandle;
    Doc.SelectFigure(figures[1]);
    Doc.SelectFigure(figures[3]);
    const TDrawingSnapshot before = Snapshot(Doc);
    Doc.RemoveSelection();
    ASSERT_EQ(Doc.FigureCount(), 3);
    EXPECT_EQ(Doc.HeldFigureCount(), 2);
    Doc.UnDo();
    ASSERT_EQ(Doc.FigureCount(), 5);
    EXPECT_EQ(Doc.GetFigure(1), figures[1]);
    EXPECT_EQ(Doc.GetFigure(3), figures[3]);
    EXPECT_TRUE(figures[1]->FSelected);
    EXPECT_TRUE(figures[3]->FSelected);
    EXPECT_FALSE(figures[1]->FDeleted);
    EXPECT_EQ(figures[1]->FName, name1);
    EXPECT_EQ(figures[3]->FHandle, handle3);
    EXPECT_EQ(Doc.FindFigureByName(name1), figures[1]);
    EXPECT_EQ(Snapshot(Doc), before);
    EXPECT_EQ(Doc.SelectedCount(), 2);
    Doc.ReDo();
    EXPECT_EQ(Doc.FigureCount(), 3);
    EXPECT_EQ(Doc.HeldFigureCount(), 2);
}

TEST_F(DocumentTest, ModifyUndoneAndRedoneGivesTheModifiedRecord) {
    TFigure* line = AddLine(0, 0, 0, 10, 0, 0, true);
    AddLine(0, 5, 5, 6, 6);
    Doc.SelectFigure(line);
    const TDrawingSnapshot before = Snapshot(Doc);
    Doc.MoveSelection(3, 4);
    Doc.ModifyPenColor(0x00FF00);
    const TDrawingSnapshot after = Snapshot(Doc);
    ASSERT_NE(before, after);
    Doc.UnDo();
    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), before);
    Doc.ReDo();
    Doc.ReDo();
    EXPECT_EQ(Snapshot(Doc), after);
    EXPECT_EQ(line->GetPoint(1), DoublePoint(3, 4));
}

TEST_F(DocumentTest, ChainedStepsLeaveTheHistoryTogether) {
    Doc.SetUndoCount(1);
    TFigure* a = AsFigure(Doc.Vertex(0, 1, 1, false));
    TFigure* b = AsFigure(Doc.Vertex(0, 2, 2, false));
    Doc.RecordInsert(a, 2);
    Doc.RecordInsert(b, 1);
    EXPECT_EQ(Doc.UndoStepCount(), 2); // a pair is never cut in half
    Doc.UnDo();
    EXPECT_EQ(Doc.FigureCount(), 0);
    EXPECT_FALSE(Doc.CanUndo());
    Doc.ReDo();
    EXPECT_EQ(Doc.FigureCount(), 2);
    EXPECT_FALSE(Doc.CanRedo());
    AddLine(0, 0, 0, 1, 1);
    EXPECT_EQ(Doc.UndoStepCount(), 1); // the pair left as one unit
    Doc.UnDo();
    Doc.UnDo();
    EXPECT_EQ(Doc.FigureCount(), 2);
}

TEST_F(DocumentTest, CustomUndoReplacesTheHistory) {
    std::vector<bool> calls;
    Doc.OnCustomUndo = [&](TVXDrawing*, bool isRedo) { calls.push_back(isRedo); };
    EXPECT_FALSE(Doc.RecordUndo());
    AddLine(0, 0, 0, 1, 1);
    EXPECT_EQ(Doc.UndoStepCount(), 0);
    Doc.UnDo();
    Doc.ReDo();
    EXPECT_EQ(calls, (std::vector<bool>{false, true}));
    EXPECT_EQ(Doc.FigureCount(), 1);
}

TEST_F(DocumentTest, UndoEventsSurroundOneUndo) {
    AddLine(0, 0, 0, 1, 1);
    std::vector<int> events;
    Doc.OnBeforeUndo = [&](TVXDrawing* sender) { events.push_back(sender->FigureCount()); };
    Doc.OnAfterUndo = [&](TVXDrawing* sender) { events.push_back(10 + sender->FigureCount()); };
    Doc.UnDo();
    Doc.UnDo();
    EXPECT_EQ(events, (std::vector<int>{1, 10}));
}

TEST_F(DocumentTest, OnlyLineRecordsAmongTheCreationOperations) {
    Doc.Vertex(0, 1, 1, false);
    const std::vector<TDoublePoint> points = {DoublePoint(0, 0), DoublePoint(1, 1)};
    Doc.PolyLine(0, points, 1, 0, 0, 0, 1, 0, false, false);
    Doc.DrawCircle(0, 5, 5, 2, 1, 0, 0, 1, 0, false);
    EXPECT_EQ(Doc.UndoStepCount(), 0);
    AddLine(0, 0, 0, 1, 1);
    EXPECT_EQ(Doc.UndoStepCount(), 1);
}

TEST_F(DocumentTest, HistoryEndsWhereFiguresGoForGood) {
    Doc.NewLayer(QStringLiteral("A"));
    AddLine(1, 0, 0, 1, 1, 0, true);
    AddLine(0, 0, 0, 2, 2, 0, true);
    Doc.RemoveSelection();
    EXPECT_EQ(Doc.HeldFigureCount(), 2);
    // The held line of layer 1 would point at a destroyed layer.
    EXPECT_TRUE(Doc.DeleteLayerWithNbr(1));
    EXPECT_EQ(Doc.UndoStepCount(), 0);
    EXPECT_EQ(Doc.HeldFigureCount(), 0);

    AddLine(0, 0, 0, 1, 1);
    Doc.NewLayer(QStringLiteral("B"));
    AddLine(1, 0, 0, 3, 3, 0, true);
    Doc.RemoveSelection();
    Doc.MergeAllLayers();
    EXPECT_EQ(Doc.UndoStepCount(), 0);
    EXPECT_EQ(Doc.HeldFigureCount(), 0);

    AddLine(0, 0, 0, 1, 1);
    Doc.Clear(0, false);
    EXPECT_EQ(Doc.UndoStepCount(), 0);
    EXPECT_EQ(Doc.FigureCount(), 0);
}

TEST_F(DocumentTest, ClearWithUndoComesBack) {
    AddLine(0, 0, 0, 1, 1);
    AddLine(0, 0, 0, 2, 2);
    Doc.ClearUndoList();
    const TDrawingSnapshot before = Snapshot(Doc);
    Doc.Clear(0, true);
    EXPECT_EQ(Doc.FigureCount(), 0);
    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), before);
}

TEST_F(DocumentTest, SavingAndLoadingEndTheHistory) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("a.vxd"));
    AddLine(0, 0, 0, 1, 1, 0, true);
    Doc.RemoveSelection();
    AddLine(0, 0, 0, 2, 2);
    ASSERT_TRUE(Doc.SaveToFile(name));
    EXPECT_EQ(Doc.UndoStepCount(), 0);
    EXPECT_EQ(Doc.HeldFigureCount(), 0);
    AddLine(0, 0, 0, 3, 3);
    ASSERT_TRUE(Doc.LoadFromFile(name));
    EXPECT_EQ(Doc.UndoStepCount(), 0);
    EXPECT_EQ(Doc.FigureCount(), 1);
}

TEST_F(DocumentTest, FiguresOfHiddenLayersAreNotEdited) {
    Doc.NewLayer(QStringLiteral("A"));
    TFigure* hidden = AddLine(1, 0, 0, 10, 0);
    TFigure* shown = AddLine(0, 0, 0, 10, 0);
    Doc.HideLayer(1);
    hidden->Select();
    shown->Select();
    Doc.RefreshSelection();
    const TDrawingSnapshot before = Snapshot(Doc);
    Doc.MoveSelection(5, 5);
    EXPECT_EQ(hidden->GetPoint(1), DoublePoint(0, 0));
    EXPECT_EQ(shown->GetPoint(1), DoublePoint(5, 5));
    Doc.ModifyPenColor(0x0000FF);
    EXPECT_NE(hidden->FPenColor, 0x0000FF);
    EXPECT_EQ(shown->FPenColor, 0x0000FF);
    hidden->Select();
    Doc.RefreshSelection();
    Doc.RemoveSelection();
    ASSERT_EQ(Doc.FigureCount(), 1);
    EXPECT_EQ(Doc.GetFigure(0), hidden);
    Doc.UnDo();
    Doc.UnDo();
    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), before);
}

TEST_F(DocumentTest, DissolvingAGroupIsUndoneAsOneStep) {
    AddLine(0, 0, 0, 10, 0, 0, true);
    AddLine(0, 0, 5, 10, 5, 0, true);
    auto* group = dynamic_cast<TFigureGrp*>(AsFigure(Doc.GroupSelection()));
    ASSERT_NE(group, nullptr);
    const TDrawingSnapshot grouped = Snapshot(Doc);
    ASSERT_TRUE(Doc.DissolveGroup(group));
    EXPECT_EQ(Doc.FigureCount(), 2);
    const TDrawingSnapshot dissolved = Snapshot(Doc);
    Doc.UnDo();
    EXPECT_EQ(Snapshot(Doc), grouped);
    Doc.ReDo();
    EXPECT_EQ(Snapshot(Doc), dissolved);
    Doc.UnDo();
    Doc.UnDo();
    EXPECT_EQ(Doc.FigureCount(), 2);
}

TEST_F(DocumentTest, JoinsReleasedByARemovalComeBackWithUndo) {
    TFigure* circle = AsFigure(Doc.DrawCircle(0, 20, 0, 5, 1, 0, 0, 1, 0, false));
    TFigure* line = AddLine(0, 0, 0, 15, 0);
    Doc.BoundLineToFigures(line, nullptr, circle);
    ASSERT_EQ(line->FJoin2, circle);
    Doc.DeselectAll(0);
    Doc.SelectFigure(circle);
    Doc.RemoveSelection();
    EXPECT_EQ(line->FJoin2, nullptr);
    Doc.UnDo();
    EXPECT_EQ(line->FJoin2, circle);
}
