// The main window's menus "Ändern" and "Anordnen" drive the drawing's undo
// history and selection editing; runs off screen.
#include "app/MainWindow.h"
#include "app/MessageArea.h"
#include "document/VXDrawing.h"
#include "model/Group.h"
#include "platform/UiServices.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class MainWindowEditTest : public ::testing::Test {
protected:
    void Trigger(const char* name) {
        QAction* action = Window.findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }
    TVXDrawing& Doc() { return Window.Drawing(); }

    TMainWindow Window;
};

} // namespace

TEST_F(MainWindowEditTest, UndoRedoDeleteAndSelectRunThroughTheMenu) {
    Doc().Line(0, 0, 0, 10, 10, 1, 0, 0, 0, false);
    Doc().Line(0, 0, 10, 10, 0, 1, 0, 0, 0, false);
    ASSERT_EQ(Doc().FigureCount(), 2);
    Trigger("cmd21"); // Rückgängig
    EXPECT_EQ(Doc().FigureCount(), 1);
    Trigger("cmd22"); // Wiederrufen
    EXPECT_EQ(Doc().FigureCount(), 2);

    Trigger("cmd112"); // alles selektieren
    EXPECT_EQ(Doc().SelectedCount(), 2);
    Trigger("cmd26"); // Löschen
    EXPECT_EQ(Doc().FigureCount(), 0);
    Trigger("cmd21");
    EXPECT_EQ(Doc().FigureCount(), 2);

    Trigger("cmd38"); // gruppieren
    ASSERT_EQ(Doc().FigureCount(), 1);
    EXPECT_NE(dynamic_cast<TFigureGrp*>(Doc().GetFigure(0)), nullptr);
    Trigger("cmd39"); // Gruppe aufheben
    EXPECT_EQ(Doc().FigureCount(), 2);
    Trigger("cmd113"); // Auswahl aufheben
    EXPECT_EQ(Doc().SelectedCount(), 0);
}

TEST_F(MainWindowEditTest, WeldAndOrderFromTheArrangeMenu) {
    Doc().Line(0, 0, 0, 10, 0, 1, 0, 0, 0, true);
    Doc().Line(0, 10, 0, 10, 10, 1, 0, 0, 0, true);
    Doc().Line(0, 50, 50, 60, 60, 1, 0, 0, 0, false);
    TFigure* last = Doc().GetFigure(2);
    Trigger("cmd53"); // zu einer Polyline zusammenfügen
    ASSERT_EQ(Doc().FigureCount(), 2);
    EXPECT_EQ(Doc().GetFigure(1)->Class().Name, QStringLiteral("TPolyline"));
    Trigger("cmd41"); // nach hinten setzen
    EXPECT_EQ(Doc().GetFigure(0)->Class().Name, QStringLiteral("TPolyline"));
    EXPECT_EQ(Doc().GetFigure(1), last);
    Trigger("cmd21");
    Trigger("cmd21");
    EXPECT_EQ(Doc().FigureCount(), 3);
}

TEST(MainWindowMacro, PrintAndErrorsGoToTheMessageArea) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("gut.pas"));
    const QString bad = dir.filePath(QStringLiteral("schlecht.pas"));
    {
        QFile file(good);
        file.open(QIODevice::WriteOnly);
        file.write("begin Print('Hallo ', 'Welt'); PrintError('Achtung'); end.\n");
    }
    {
        QFile file(bad);
        file.open(QIODevice::WriteOnly);
        file.write("begin\n  y := 1;\nend.\n");
    }
    TScriptedUiServices ui;
    TUiServicesScope scope(ui);
    TMainWindow window;
    EXPECT_TRUE(window.RunMacro(good));
    EXPECT_EQ(window.Messages().Text(), QStringLiteral("Hallo Welt\nAchtung"));
    EXPECT_FALSE(window.RunMacro(bad));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0], QStringLiteral("Syntax error in  (2): \r\nVariable <Y> not defined."));
    EXPECT_TRUE(window.Messages().Text().endsWith(QStringLiteral("Variable <Y> not defined.")));
}
