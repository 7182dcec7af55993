#include "DocumentFixture.h"

#include <QEventLoop>
#include <QTimer>

TEST_F(DocumentTest, EventsFireOnceAndOnlyWhenAssigned) {
    // Unassigned events are skipped.
    AddLine(0, 10, 10, 50, 10);
    Doc.SelectByPoint(0, false, 30, 10);
    Doc.Clear(0, false);

    int inserted = 0, selected = 0, changes = 0, beforeClear = 0, afterDelete = 0, painted = 0;
    Doc.OnObjectInserted = [&](TVXDrawing* sender, TInsertReason) {
        EXPECT_EQ(sender, &Doc);
        ++inserted;
    };
    Doc.OnFigureSelect = [&](TVXDrawing*, TFigure*) { ++selected; };
    Doc.OnSelectionChange = [&](TVXDrawing*) { ++changes; };
    Doc.OnBeforeClear = [&](TVXDrawing*) { ++beforeClear; };
    Doc.OnAfterDelete = [&](TVXDrawing*) { ++afterDelete; };
    Doc.OnSurfacePaint = [&](TVXDrawing*) { ++painted; };
    AddLine(0, 10, 10, 50, 10);
    AddVertex(0, 70, 70);
    EXPECT_EQ(inserted, 2);
    EXPECT_TRUE(Doc.SelectByPoint(0, false, 30, 10));
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(changes, 1);
    painted = 0;
    changes = 0;
    Doc.Clear(0, false);
    EXPECT_EQ(beforeClear, 1);
    EXPECT_EQ(afterDelete, 2);
    EXPECT_EQ(painted, 1);
    EXPECT_EQ(changes, 1);
}

TEST_F(DocumentTest, HandlersThatDeleteFiguresDoNotBreakTheLoops) {
    Doc.NewLayer(QStringLiteral("A"));
    for (int i = 0; i < 4; ++i)
        AddLine(1, 10, 10 + i, 20, 10 + i);
    for (int i = 0; i < 3; ++i)
        AddVertex(0, 5, 5 + i);
    int afterDelete = 0;
    // Each deletion removes one more figure of the doomed layer and one of the base layer.
    Doc.OnAfterDelete = [&](TVXDrawing* doc) {
        ++afterDelete;
        for (int i = 0; i < doc->FigureCount(); ++i)
            if (doc->GetFigure(i)->FLayer == doc->LayerAt(1)) {
                doc->DeleteFigure(doc->GetFigure(i));
                break;
            }
        if (doc->FigureCount() > 0 && doc->GetFigure(0)->FLayer == doc->LayerAt(0))
            doc->DeleteFigure(doc->GetFigure(0));
    };
    EXPECT_TRUE(Doc.DeleteLayerWithNbr(1));
    // Two deletions by the loop, two more by the handler, and one base-layer point.
    EXPECT_EQ(afterDelete, 2);
    EXPECT_EQ(Doc.LayerCount(), 1);
    EXPECT_EQ(Doc.FigureCount(), 2);

    // Clearing from inside the clear handler.
    for (int i = 0; i < 5; ++i)
        AddLine(0, 10, 10 + i, 20, 10 + i, 0, true);
    afterDelete = 0;
    Doc.OnAfterDelete = [&](TVXDrawing* doc) {
        ++afterDelete;
        if (afterDelete == 1) doc->Clear(0, false);
    };
    Doc.Clear(0, false);
    EXPECT_EQ(Doc.FigureCount(), 0);
    EXPECT_EQ(Doc.SelectedCount(), 0);
    EXPECT_EQ(Doc.ModPoints().Count(), 0);

    // A selection handler that deletes the figure it is told about and the next one.
    for (int i = 0; i < 4; ++i)
        AddLine(0, 10, 10 + i, 20, 10 + i);
    Doc.OnFigureSelect = [&](TVXDrawing* doc, TFigure* figure) {
        const int index = doc->IndexOfFigure(figure);
        if (index + 1 < doc->FigureCount()) doc->DeleteFigure(doc->GetFigure(index + 1));
        doc->DeleteFigure(figure);
    };
    EXPECT_FALSE(Doc.SelectWithInArea(0, TDoubleRect{0, 0, 50, 50}, false));
    EXPECT_EQ(Doc.FigureCount(), 0);
    EXPECT_EQ(Doc.ModPoints().Count(), 0);
}

TEST_F(DocumentTest, ModifyHandlerDeletingTheSelection) {
    for (int i = 0; i < 3; ++i)
        AddLine(0, 10, 10 + i, 20, 10 + i, 0, true);
    Doc.RefreshSelection();
    int modified = 0;
    Doc.OnFigureModify = [&](TVXDrawing* doc, TFigure*) {
        ++modified;
        doc->Clear(0, false);
    };
    Doc.SetDefaultPenColor(0x0000FF);
    EXPECT_EQ(modified, 1);
    EXPECT_EQ(Doc.FigureCount(), 0);
}

TEST_F(DocumentTest, BlinkTimerTogglesAndRepaintsWithoutSelectionEvents) {
    AddLine(0, 10, 10, 50, 10, 0, true);
    QImage image;
    Doc.PaintTo(image);
    ASSERT_EQ(Doc.ModPoints().Count(), 2);
    TModPoint* handle = Doc.ModPoints().At(0);
    Doc.SetHandleBlinking(handle, true);
    int changes = 0;
    Doc.OnSelectionChange = [&](TVXDrawing*) { ++changes; };
    const QColor blue(0, 0, 255);
    const QPoint at(handle->DevX, handle->DevY);
    ASSERT_EQ(Doc.WorkBitmap().pixelColor(at), blue);

    Doc.BlinkTick();
    EXPECT_FALSE(handle->Visible);
    EXPECT_NE(Doc.WorkBitmap().pixelColor(at), blue);
    Doc.BlinkTick();
    EXPECT_TRUE(handle->Visible);
    EXPECT_EQ(Doc.WorkBitmap().pixelColor(at), blue);
    EXPECT_EQ(changes, 0);

    // The real timer does the same.
    Doc.BlinkTimer()->start();
    QEventLoop loop;
    QTimer::singleShot(450, &loop, &QEventLoop::quit);
    loop.exec();
    Doc.BlinkTimer()->stop();
    EXPECT_FALSE(handle->Visible);
    EXPECT_EQ(changes, 0);
}
