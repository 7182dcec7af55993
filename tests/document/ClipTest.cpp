// Clipping a picture to a figure of the drawing and giving the figure back,
// with undo, redo and the history letting go of both.
#include "DocumentFixture.h"
#include "UndoTestSupport.h"

#include "model/PictureFeatures.h"
#include "model/Rectangle.h"
#include "platform/UiServices.h"

namespace {

// A rectangle that can be clipped like a picture.
class TClippedBox : public TRectangle, public TPictureFeatures {
public:
    using TRectangle::TRectangle;
    TFigure* ClipFigure() const override { return FClip.get(); }
    void SetClipFigure(std::unique_ptr<TFigure> figure) override { FClip = std::move(figure); }
    std::unique_ptr<TFigure> TakeClipFigure() override { return std::move(FClip); }
    void FlipHorizontal() override { ++FlipsH; }
    void FlipVertical() override { ++FlipsV; }
    bool Transparent() const override { return FTransparent; }
    void SetTransparent(bool transparent) override { FTransparent = transparent; }
    int FlipsH = 0;
    int FlipsV = 0;
    bool FTransparent = false;
    void Place(double x1, double y1, double x2, double y2) {
        SetCorners({DoublePoint(x1, y1), DoublePoint(x2, y1), DoublePoint(x2, y2), DoublePoint(x1, y2)});
    }

private:
    std::unique_ptr<TFigure> FClip;
};

const QString kRefusal = QStringLiteral("wähle ein Bild und eine Figure für das zuschneiden !");

class ClipTest : public DocumentTest {
protected:
    TFigure* AddPicture(double x1, double y1, double x2, double y2, bool select, int layer = 0) {
        auto picture = std::make_unique<TClippedBox>(Doc.LayerAt(layer), &Doc, true);
        picture->Initialize();
        picture->Place(x1, y1, x2, y2);
        return Doc.AddFigure(std::move(picture), select, TInsertReason::irCreate);
    }
    TFigure* AddBox(double x1, double y1, double x2, double y2, bool select) {
        return reinterpret_cast<TFigure*>(Doc.Rectangle(0, x1, y1, x2, y2, 1, 0, 0, 0, 0xFF, select));
    }
    static TPictureFeatures* Holder(TFigure* figure) { return dynamic_cast<TPictureFeatures*>(figure); }

    TScriptedUiServices Ui;
    TUiServicesScope Scope{Ui};
};

} // namespace

TEST_F(ClipTest, ClipTakesTheFigureIntoThePictureAndUndoPutsTheSameObjectBack) {
    AddLine(0, 0, 0, 5, 5);
    TFigure* picture = AddPicture(10, 10, 60, 40, true);
    TFigure* box = AddBox(20, 15, 40, 30, true);
    AddLine(0, 5, 5, 9, 9);
    Doc.Draw(); // regions come from drawing
    Doc.ClearUndoList();
    const TDrawingSnapshot before = Snapshot(Doc);

    Doc.ClipSelBitmapToSelFigure();
    EXPECT_TRUE(Ui.Messages().empty());
    EXPECT_EQ(Holder(picture)->ClipFigure(), box);
    EXPECT_EQ(Doc.FigureCount(), 3);
    EXPECT_LT(Doc.IndexOfFigure(box), 0);
    EXPECT_EQ(Doc.UndoStepCount(), 1);

    Doc.UnDo();
    EXPECT_EQ(Holder(picture)->ClipFigure(), nullptr);
    EXPECT_EQ(Snapshot(Doc), before) << SnapshotDiff(Snapshot(Doc), before);
    EXPECT_TRUE(box->FSelected);

    Doc.ReDo();
    EXPECT_EQ(Holder(picture)->ClipFigure(), box);
    EXPECT_EQ(Doc.FigureCount(), 3);
}

TEST_F(ClipTest, WrongSelectionsAreRefusedWithTheMessageAndChangeNothing) {
    struct Case {
        const char* name;
        std::function<void()> build;
    };
    const std::vector<Case> cases = {
        {"a picture alone", [this] { AddPicture(0, 0, 10, 10, true); }},
        {"two pictures",
         [this] {
             AddPicture(0, 0, 10, 10, true);
             AddPicture(2, 2, 8, 8, true);
         }},
        {"two boxes",
         [this] {
             AddBox(0, 0, 10, 10, true);
             AddBox(2, 2, 8, 8, true);
         }},
        {"three figures",
         [this] {
             AddPicture(0, 0, 10, 10, true);
             AddBox(2, 2, 8, 8, true);
             AddBox(3, 3, 7, 7, true);
         }},
        {"a figure never drawn",
         [this] {
             AddPicture(0, 0, 10, 10, true);
             Doc.Draw();
             AddBox(2, 2, 8, 8, true);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Doc.Clear(-1, false);
        Doc.ClearUndoList();
        Ui.Reset();
        c.build();
        if (std::string(c.name) != "a figure never drawn") Doc.Draw();
        const TDrawingSnapshot before = Snapshot(Doc);
        Doc.ClipSelBitmapToSelFigure();
        ASSERT_EQ(Ui.Messages().size(), 1u);
        EXPECT_EQ(Ui.Messages()[0], kRefusal);
        EXPECT_EQ(Snapshot(Doc), before);
        EXPECT_EQ(Doc.UndoStepCount(), 0);
    }
}

TEST_F(ClipTest, AClippedPictureKeepsItsClipFigureWhenClippedOnceMore) {
    TFigure* picture = AddPicture(0, 0, 50, 50, true);
    TFigure* first = AddBox(5, 5, 20, 20, true);
    Doc.Draw();
    Doc.ClipSelBitmapToSelFigure();
    AddBox(25, 25, 40, 40, true);
    picture->Select();
    Doc.Draw();
    Doc.ClipSelBitmapToSelFigure();
    ASSERT_EQ(Ui.Messages().size(), 1u);
    EXPECT_EQ(Ui.Messages()[0], kRefusal);
    EXPECT_EQ(Holder(picture)->ClipFigure(), first);
}

TEST_F(ClipTest, UnclipAppendsTheClipFigureSelectedAndUndoClipsAgain) {
    TFigure* picture = AddPicture(10, 10, 60, 40, true);
    TFigure* box = AddBox(20, 15, 40, 30, true);
    AddLine(0, 0, 0, 5, 5);
    Doc.Draw();
    Doc.ClearUndoList();
    Doc.ClipSelBitmapToSelFigure();
    Doc.DeselectAll(-1);
    picture->Select();
    const TDrawingSnapshot clipped = Snapshot(Doc);

    Doc.UnClipSelBitmap();
    EXPECT_EQ(Holder(picture)->ClipFigure(), nullptr);
    ASSERT_EQ(Doc.FigureCount(), 3);
    EXPECT_EQ(Doc.GetFigure(2), box); // appended, not at its old place
    EXPECT_TRUE(box->FSelected);
    EXPECT_EQ(Doc.UndoStepCount(), 2);

    Doc.UnDo();
    EXPECT_EQ(Holder(picture)->ClipFigure(), box);
    EXPECT_EQ(Snapshot(Doc), clipped);
    Doc.ReDo();
    EXPECT_EQ(Doc.GetFigure(2), box);

    // Nothing clipped in the selection: no step.
    Doc.UnClipSelBitmap();
    EXPECT_EQ(Doc.UndoStepCount(), 2);
}

// The history lets go of pictures and clip figures in every order without
// touching a freed figure (this runs under ASan in CI).
TEST_F(ClipTest, DiscardingTheHistoryFreesPictureAndClipFigureOnce) {
    for (int variant = 0; variant < 4; ++variant) {
        SCOPED_TRACE(variant);
        Doc.Clear(-1, false);
        Doc.ClearUndoList();
        Doc.SetUndoCount(24);
        TFigure* picture = AddPicture(10, 10, 60, 40, true);
        TFigure* box = AddBox(20, 15, 40, 30, true);
        Doc.Draw();
        Doc.ClipSelBitmapToSelFigure();
        Doc.DeselectAll(-1);
        picture->Select();
        Doc.UnClipSelBitmap();
        Doc.UnDo(); // the box is in the picture again; the unclip step waits for redo
        switch (variant) {
        case 0: // the picture leaves the drawing without a step, then the history goes
            Doc.SetRecordUndo(false);
            Doc.RemoveSelection();
            Doc.SetRecordUndo(true);
            Doc.ClearUndoList();
            break;
        case 1: // a new step cuts the unclip off, then trimming drops the clip
            Doc.RemoveSelection();
            Doc.SetUndoCount(1);
            AddLine(0, 0, 0, 1, 1);
            Doc.RecordInsert(Doc.GetFigure(Doc.FigureCount() - 1), 0);
            break;
        case 2: // undo everything, then a new step drops both
            Doc.UnDo();
            EXPECT_EQ(Doc.IndexOfFigure(box), Doc.FigureCount() - 1);
            Doc.RecordInsert(AddLine(0, 0, 0, 1, 1), 0);
            break;
        case 3: // the drawing is destroyed with everything held
            Doc.RemoveSelection();
            break;
        }
        EXPECT_GE(Doc.HeldFigureCount(), 0);
    }
}

TEST_F(ClipTest, FlipsAndTransparencyActOnSelectedPicturesOfVisibleLayersOnly) {
    auto* shown = static_cast<TClippedBox*>(AddPicture(0, 0, 10, 10, true));
    auto* other = static_cast<TClippedBox*>(AddPicture(20, 0, 30, 10, false));
    const int hiddenLayer = Doc.NewLayer(QStringLiteral("verborgen"));
    auto* hidden = static_cast<TClippedBox*>(AddPicture(40, 0, 50, 10, true, hiddenLayer));
    Doc.HideLayer(hiddenLayer);
    AddBox(0, 20, 10, 30, true);
    Doc.ClearUndoList();

    Doc.FlipImagesOfSelection(1);
    Doc.FlipImagesOfSelection(0);
    Doc.FlipImagesOfSelection(7);
    Doc.setTransparentOfSelection(true);
    EXPECT_EQ(shown->FlipsH, 1);
    EXPECT_EQ(shown->FlipsV, 2);
    EXPECT_TRUE(shown->FTransparent);
    EXPECT_EQ(other->FlipsH + other->FlipsV, 0);
    EXPECT_EQ(hidden->FlipsH + hidden->FlipsV, 0);
    EXPECT_FALSE(hidden->FTransparent);
    EXPECT_EQ(Doc.UndoStepCount(), 4);

    // Nothing selected: nothing happens and nothing is recorded.
    Doc.DeselectAll(0);
    Doc.FlipImagesOfSelection(1);
    EXPECT_EQ(shown->FlipsH, 1);
    EXPECT_EQ(Doc.UndoStepCount(), 4);
}
