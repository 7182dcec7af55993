// Block files: writing the selection, inserting, counting, and the refused
// names and overwrite question.

#include "DrawingFileTestSupport.h"

#include "document/BlockFile.h"
#include "model/Group.h"
#include "platform/UiServices.h"

#include <gtest/gtest.h>

namespace {

class BlockFileTest : public ::testing::Test {
protected:
    BlockFileTest() : Scope(Ui) {
        Doc.SetPageLayout(TPageLayout::plA4);
        Doc.SetPageOrient(TPageOrient::poPortrait);
        Doc.Line(0, 10, 10, 30, 10, 1, 0, 0, 0, true);
        Doc.DrawCircle(0, 20, 20, 5, 1, 0, 0, 1, 0, true);
        Doc.SelectAll(0);
    }
    QString Path(const QString& name) const { return Dir.filePath(name); }

    static void Centre(const TFigure* figure, double& x, double& y, double& w, double& h) {
        double maxX = 0, maxY = 0, minX = 0, minY = 0;
        figure->GetBounds(maxX, maxY, minX, minY);
        x = (minX + maxX) / 2;
        y = (minY + maxY) / 2;
        w = maxX - minX;
        h = maxY - minY;
    }

    QTemporaryDir Dir;
    TScriptedUiServices Ui;
    TUiServicesScope Scope;
    TVXDrawing Doc;
};

} // namespace

TEST_F(BlockFileTest, SelectionBlockRoundTripsAndIsCentredOnThePage) {
    ASSERT_EQ(Doc.SelectedCount(), 2);
    ASSERT_TRUE(Doc.MakeSelectionBlock(Path("Tür.qlb")));
    EXPECT_EQ(Doc.FigureCount(), 2); // the selection stays as it was
    const TBytes bytes = ReadAll(Path("Tür.qlb"));
    ASSERT_GT(bytes.size(), 7u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 7), std::string("TBlock\0", 7));

    TVXDrawing target;
    target.SetPageLayout(TPageLayout::plA4);
    target.SetPageOrient(TPageOrient::poPortrait);
    target.NewLayer("Zwei");
    int inserted = 0;
    target.OnObjectInserted = [&](TVXDrawing*, TInsertReason reason) {
        EXPECT_EQ(reason, TInsertReason::irCreate);
        ++inserted;
    };
    TFigure* block = target.InsertBlockwithFileName(7, Path("Tür.qlb"), -1, -1);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(inserted, 1);
    EXPECT_TRUE(target.Updated());
    EXPECT_TRUE(block->FSelected);
    EXPECT_TRUE(target.HasSelection());
    EXPECT_EQ(block->FLayer, target.LayerAt(0));
    EXPECT_EQ(block->FName, QString::fromUtf8("Tür") + QString::number(block->FHandle));
    double x = 0, y = 0, w = 0, h = 0;
    Centre(block, x, y, w, h);
    EXPECT_NEAR(x, 105.0, 1e-9);
    EXPECT_NEAR(y, 148.5, 1e-9);
    EXPECT_NEAR(w, 20.0, 1e-9);
    EXPECT_EQ(target.CountBlock(QString::fromUtf8("Tür")), 1);

    TFigure* second = target.InsertBlockwithFileName(1, Path("Tür.qlb"), 50, 60);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->FLayer, target.LayerAt(1));
    auto* members = dynamic_cast<TFigureGrp*>(second);
    ASSERT_NE(members, nullptr);
    for (int i = 0; i < members->Count(); ++i)
        EXPECT_EQ(members->Member(i)->FLayer, target.LayerAt(1));
    Centre(second, x, y, w, h);
    EXPECT_NEAR(x, 50.0, 1e-9);
    EXPECT_NEAR(y, 60.0, 1e-9);
    EXPECT_EQ(target.CountBlock(QString::fromUtf8("Tür")), 2);
    EXPECT_EQ(target.CountBlock("Tor"), 0);
}

TEST_F(BlockFileTest, InsertedBlockTakesTheDrawingsScale) {
    ASSERT_TRUE(Doc.MakeSelectionBlock(Path("Teil.qlb"))); // stored at 1:50
    TVXDrawing target;
    target.SetMapScale(100);
    ASSERT_TRUE(BlockAdjustScale());
    TFigure* block = target.InsertBlockwithFileName(0, Path("Teil.qlb"), 40, 40);
    ASSERT_NE(block, nullptr);
    double x = 0, y = 0, w = 0, h = 0;
    Centre(block, x, y, w, h);
    EXPECT_NEAR(w, 10.0, 1e-9);
    EXPECT_NEAR(x, 40.0, 1e-9);
}

TEST_F(BlockFileTest, FilesThatAreNotBlocksInsertNothing) {
    WriteAll(Path("linie.qlb"), {'T', 'L', 'i', 'n', 'e', 0});
    WriteAll(Path("kurz.qlb"), {'T', 'B', 'l', 'o', 'c', 'k', 0, 20});
    const QString files[] = {Path("linie.qlb"), Path("kurz.qlb"), Path("fehlt.qlb")};
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_EQ(Doc.InsertBlockwithFileName(0, file, -1, -1), nullptr);
        EXPECT_EQ(Doc.FigureCount(), 2);
    }
}

TEST_F(BlockFileTest, BadNamesAreRefusedAndOverwritingAsks) {
    const char* bad[] = {".qlb", "a\\b.qlb", "..x.qlb", "a\x01z.qlb", "   .qlb"};
    for (const char* name : bad) {
        SCOPED_TRACE(name);
        Ui.Reset();
        EXPECT_FALSE(Doc.MakeSelectionBlock(Path(name)));
        EXPECT_FALSE(QFile::exists(Path(name)));
        ASSERT_EQ(Ui.Messages().size(), 1u);
        EXPECT_TRUE(Ui.Messages()[0].startsWith("Ungültiger Blockname"));
    }
    EXPECT_TRUE(BlockFile::IsValidBlockName(QString::fromUtf8("Tür 2.a")));

    WriteAll(Path("alt.qlb"), {1, 2, 3});
    Ui.Reset();
    Ui.Answer(TAnswer::No);
    EXPECT_FALSE(Doc.MakeSelectionBlock(Path("alt.qlb")));
    EXPECT_EQ(Ui.Questions().size(), 1u);
    EXPECT_EQ(ReadAll(Path("alt.qlb")), (TBytes{1, 2, 3}));
    Ui.Answer(TAnswer::Yes);
    EXPECT_TRUE(Doc.MakeSelectionBlock(Path("alt.qlb")));
    EXPECT_EQ(ReadAll(Path("alt.qlb")).at(0), 'T');

    Doc.DeselectAll(0);
    Ui.Reset();
    EXPECT_FALSE(Doc.MakeSelectionBlock(Path("leer.qlb")));
    EXPECT_TRUE(Ui.Calls().empty());
    EXPECT_FALSE(QFile::exists(Path("leer.qlb")));
}
