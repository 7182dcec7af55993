// Saving and loading never lose the previous file or the current drawing.

#include "DrawingFileTestSupport.h"

#include "platform/UiServices.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

class DrawingFileMendTest : public ::testing::Test {
protected:
    DrawingFileMendTest() : Scope(Ui) {
        Doc.SetSaveWithPreview(false);
        Doc.Line(0, 1, 1, 20, 20, 1, 0, 0, 0, false);
        Doc.FileName = "vorher.qld";
    }
    QString Path(const QString& name) const { return Dir.filePath(name); }

    QTemporaryDir Dir;
    TScriptedUiServices Ui;
    TUiServicesScope Scope;
    TVXDrawing Doc;
};

} // namespace

TEST_F(DrawingFileMendTest, FailedSaveReportsAndKeepsEverything) {
    const QString targets[] = {Path("fehlt/plan.qld"), Path("ordner.qld")};
    ASSERT_TRUE(QDir(Dir.path()).mkdir("ordner.qld")); // a folder cannot be replaced by a file
    WriteAll(Path("ordner.pin"), {'[', 'a', ']'});
    for (const QString& target : targets) {
        SCOPED_TRACE(target.toStdString());
        Ui.Reset();
        ASSERT_TRUE(Doc.Updated());
        EXPECT_FALSE(Doc.SaveToFile(target));
        ASSERT_EQ(Ui.Calls().size(), 1u);
        EXPECT_EQ(Ui.Calls()[0].MessageKind, TMessageKind::Error);
        EXPECT_TRUE(Ui.Messages()[0].contains("kann nicht geschrieben werden"));
        EXPECT_TRUE(Doc.Updated());
        EXPECT_EQ(Doc.FileName, "vorher.qld");
        EXPECT_EQ(Doc.FigureCount(), 1);
    }
    EXPECT_EQ(ReadAll(Path("ordner.pin")), (TBytes{'[', 'a', ']'}));
}

TEST_F(DrawingFileMendTest, SuccessfulSaveReplacesFileAndClearsOldSidecar) {
    WriteAll(Path("plan.qld"), {1, 2, 3});
    WriteAll(Path("plan.pin"), {'[', 'x', ']'});
    TVXDrawing empty;
    empty.SetSaveWithPreview(false);
    empty.SetUpdated(true);
    ASSERT_TRUE(empty.SaveToFile(Path("plan.qld")));
    EXPECT_FALSE(empty.Updated());
    EXPECT_EQ(empty.FileName, Path("plan.qld"));
    EXPECT_EQ(ReadAll(Path("plan.qld")), DrawingFile::Encode(empty).Bytes);
    EXPECT_FALSE(QFile::exists(Path("plan.pin")));
    EXPECT_TRUE(QDir(Dir.path()).entryList(QDir::Files) == QStringList({"plan.qld"})); // no temporary left
    EXPECT_TRUE(Ui.Calls().empty());
}

TEST_F(DrawingFileMendTest, WrongMagicKeepsTheCurrentDrawing) {
    WriteAll(Path("fremd.qld"), {'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(Doc.LoadFromFile(Path("fremd.qld")));
    EXPECT_EQ(Ui.Messages(), std::vector<QString>({"kein gültiges Stream Format"}));
    EXPECT_EQ(Doc.FigureCount(), 1);
    EXPECT_EQ(Doc.FileName, "vorher.qld");
    EXPECT_TRUE(Doc.Updated());

    Ui.Reset();
    EXPECT_FALSE(Doc.LoadFromFile(Path("gibt-es-nicht.qld")));
    ASSERT_EQ(Ui.Messages().size(), 1u);
    EXPECT_TRUE(Ui.Messages()[0].contains("kann nicht geöffnet werden"));
    EXPECT_EQ(Doc.FigureCount(), 1);
}

TEST_F(DrawingFileMendTest, DamagedFileLoadsWhatItCanUnnamedAndModified) {
    TVXDrawing source;
    source.SetSaveWithPreview(false);
    source.NewLayer("Zwei");
    source.Line(1, 0, 0, 5, 5, 1, 0, 0, 0, false);
    source.Line(0, 0, 0, 7, 7, 1, 0, 0, 0, false);
    TBytes bytes = DrawingFile::Encode(source).Bytes;
    bytes.resize(bytes.size() - 20); // into the second figure record
    WriteAll(Path("kaputt.qld"), bytes);
    int inserted = 0;
    Doc.OnObjectInserted = [&](TVXDrawing*, TInsertReason reason) {
        EXPECT_EQ(reason, TInsertReason::irLoad);
        ++inserted;
    };
    EXPECT_TRUE(Doc.LoadFromFile(Path("kaputt.qld")));
    EXPECT_EQ(inserted, 1);
    ASSERT_EQ(Doc.FigureCount(), 1);
    EXPECT_EQ(Doc.GetFigure(0)->FLayer, Doc.LayerAt(1));
    EXPECT_EQ(Doc.LayerCount(), 2);
    EXPECT_TRUE(Doc.FileName.isEmpty());
    EXPECT_TRUE(Doc.Updated());
    ASSERT_EQ(Ui.Calls().size(), 1u);
    EXPECT_EQ(Ui.Calls()[0].MessageKind, TMessageKind::Warning);
}

TEST_F(DrawingFileMendTest, LoadingReplacesFiguresLayersAndGuides) {
    Doc.NewLayer("Alt");
    Doc.SetActiveLayer(1);
    Doc.AddGuide(1, 5);
    Doc.SetCustomStream(2, "xy");
    TVXDrawing source;
    source.SetSaveWithPreview(false);
    source.Line(0, 0, 0, 5, 5, 1, 0, 0, 0, false);
    source.Line(0, 0, 0, 6, 6, 1, 0, 0, 0, false);
    int saved = 0;
    source.OnObjectSaved = [&](TVXDrawing*, TFigure*) { ++saved; };
    ASSERT_TRUE(source.SaveToFile(Path("neu.qld")));
    EXPECT_EQ(saved, 2);
    ASSERT_TRUE(Doc.LoadFromFile(Path("neu.qld")));
    EXPECT_EQ(Doc.FigureCount(), 2);
    EXPECT_EQ(Doc.LayerCount(), 1);
    EXPECT_EQ(Doc.ActiveLayer(), 0);
    EXPECT_EQ(Doc.GuideCount(), 0);
    EXPECT_FALSE(Doc.GetCustomStream().has_value());
    EXPECT_EQ(Doc.GetFigure(0)->FLayer, Doc.LayerAt(0));
}

TEST(DrawingFilePin, SidecarNameReplacesOnlyTheExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"my.dir/plan", "my.dir/plan.pin"},
        {"a/plan.qld", "a/plan.pin"},
        {"x.y/p.v2.qld", "x.y/p.v2.pin"},
        {"plan.QLD", "plan.pin"},
        {"/abs/.hidden", "/abs/.hidden.pin"},
    };
    for (const auto& [in, out] : cases) {
        SCOPED_TRACE(in);
        EXPECT_EQ(DrawingFile::PinFileName(in), QString(out));
    }
}
