#include "app/MainWindow.h"
#include "app/EditMenus.h"
#include "app/MacroBatch.h"
#include "app/MessageArea.h"

#include "app/DocumentIO.h"
#include "document/VXDrawing.h"
#include "platform/Cp1252.h"
#include "platform/UiServices.h"
#include "script/HalComp.h"
#include "script/ScriptErrors.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <algorithm>
#include <exception>

namespace {

const QString kFileFilter = QStringLiteral("KELDRA-Zeichnung (*.qld)");
const QString kErrorCaption = QStringLiteral("Fehler");
// Larger files are refused before they are read into memory.
constexpr qint64 kMaxDrawingSize = 1024LL * 1024 * 1024;

} // namespace

TMainWindow::TMainWindow(QWidget* parent) : QMainWindow(parent), FDrawing(new TVXDrawing(this)) {
    FDrawing->setObjectName(QStringLiteral("Vexal1"));
    FDrawing->setFocusPolicy(Qt::StrongFocus);
    setCentralWidget(FDrawing);
    FMessages = new TMessageArea(this);
    addDockWidget(Qt::BottomDockWidgetArea, FMessages);
    BuildMenus();
    resize(1000, 750);
    UpdateTitle();
    FDrawing->setFocus();
}

TMainWindow::~TMainWindow() = default;

void TMainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Datei"));
    QAction* open = file->addAction(QStringLiteral("Ö&ffnen…"), this, [this] { OpenWithDialog(); });
    open->setShortcut(QKeySequence::Open);
    open->setObjectName(QStringLiteral("actOpen"));
    QAction* save = file->addAction(QStringLiteral("&Speichern"), this, [this] { SaveCurrent(); });
    save->setShortcut(QKeySequence::Save);
    save->setObjectName(QStringLiteral("actSave"));
    QAction* saveAs = file->addAction(QStringLiteral("Speichern &unter…"), this, [this] { SaveAs(); });
    saveAs->setShortcut(QKeySequence::SaveAs);
    saveAs->setObjectName(QStringLiteral("actSaveAs"));
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("&Beenden"), this, [this] { close(); });
    quit->setShortcut(QKeySequence::Quit);

    BuildEditMenus(*menuBar(), *this, *FDrawing);
    QMenu* extras = menuBar()->addMenu(QStringLiteral("E&xtras"));
    QAction* macro =
        extras->addAction(QStringLiteral("&Makro ausführen…"), this, [this] { RunMacroWithDialog(); });
    macro->setObjectName(QStringLiteral("actRunMacro"));

    // Window shortcuts come before the surface's own key handling.
    QMenu* view = menuBar()->addMenu(QStringLiteral("&Ansicht"));
    QAction* in = view->addAction(QStringLiteral("Ver&größern"), this, [this] { FDrawing->ZoomIn(); });
    in->setShortcuts({QKeySequence(Qt::Key_Plus), QKeySequence(QKeySequence::ZoomIn)});
    QAction* out = view->addAction(QStringLiteral("Ver&kleinern"), this, [this] { FDrawing->ZoomOut(); });
    out->setShortcuts({QKeySequence(Qt::Key_Minus), QKeySequence(QKeySequence::ZoomOut)});
    QAction* actual =
        view->addAction(QStringLiteral("&Originalgröße"), this, [this] { FDrawing->ActualSize(); });
    actual->setShortcut(QKeySequence(Qt::Key_0));
    QAction* fit = view->addAction(QStringLiteral("Ganze &Seite"), this, [this] { FDrawing->FitToWindow(); });
    fit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    view->addSeparator();
    QAction* up = view->addAction(QStringLiteral("Seite nach oben"), this, [this] { ScrollPages(-1, true); });
    up->setShortcut(QKeySequence(Qt::Key_PageUp));
    QAction* down =
        view->addAction(QStringLiteral("Seite nach unten"), this, [this] { ScrollPages(1, true); });
    down->setShortcut(QKeySequence(Qt::Key_PageDown));
    QAction* left =
        view->addAction(QStringLiteral("Seite nach links"), this, [this] { ScrollPages(-1, false); });
    left->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    QAction* right =
        view->addAction(QStringLiteral("Seite nach rechts"), this, [this] { ScrollPages(1, false); });
    right->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
}

void TMainWindow::ScrollPages(int pages, bool vertical) {
    if (vertical) {
        FDrawing->SetVScrollPosition(
            FDrawing->VSCBarPosition() + pages * std::max(1, FDrawing->VScrollPage()), true);
    } else {
        FDrawing->SetHScrollPosition(
            FDrawing->HSCBarPosition() + pages * std::max(1, FDrawing->HScrollPage()), true);
    }
}

bool TMainWindow::OpenFile(const QString& path) {
    const QFileInfo info(path);
    QString error;
    if (!info.exists() || !info.isFile())
        error = QStringLiteral("Die Datei \"%1\" wurde nicht gefunden.").arg(path);
    else if (info.size() > kMaxDrawingSize)
        error = QStringLiteral("Die Datei \"%1\" ist zu groß.").arg(path);
    if (!error.isEmpty()) {
        UiServices().MessageBox(error, kErrorCaption, TMessageKind::Error);
        return false;
    }
    // The document shows its own messages: "kein gültiges Stream Format"
    // (drawing untouched) and the warning about a damaged file (what was
    // readable is loaded, unnamed and modified).
    bool loaded = false;
    try {
        loaded = FDrawing->LoadFromFile(path);
    } catch (const std::exception& e) {
        UiServices().MessageBox(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                                    .arg(path, QString::fromUtf8(e.what())),
                                kErrorCaption, TMessageKind::Error);
        loaded = false;
    }
    UpdateTitle();
    return loaded;
}

bool TMainWindow::SaveFile(const QString& path) {
    const QString name = FDrawing->FileName;
    const bool updated = FDrawing->Updated();
    const QString error = WriteDrawingFile(*FDrawing, path);
    if (!error.isEmpty()) {
        // A half-finished save (the drawing written, its sidecar not) must not
        // rename the drawing or mark it saved.
        FDrawing->FileName = name;
        FDrawing->SetUpdated(updated);
        UiServices().MessageBox(error, kErrorCaption, TMessageKind::Error);
        UpdateTitle();
        return false;
    }
    FDrawing->FileName = path;
    FDrawing->SetUpdated(false);
    UpdateTitle();
    return true;
}

bool TMainWindow::RunMacroWithDialog() {
    const QString path = UiServices().OpenFileName(
        QStringLiteral("Makro ausführen"), QStringLiteral("Makros (*.pas *.txt);;Alle Dateien (*)"), {});
    return !path.isEmpty() && RunMacro(path);
}

bool TMainWindow::RunMacro(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        UiServices().MessageBox(QStringLiteral("Die Makrodatei %1 kann nicht gelesen werden.").arg(path),
                                QStringLiteral("Makro"), TMessageKind::Error);
        return false;
    }
    THalComp component;
    component.SetScriptText(MacroSourceFromBytes(file.readAll()));
    try {
        component.Evaluate();
    } catch (const EScriptError& error) {
        const QString message = Cp1252::Decode(error.what());
        FMessages->AddError(message);
        UiServices().MessageBox(message, QStringLiteral("Makro"), TMessageKind::Error);
        return false;
    }
    return true;
}

bool TMainWindow::OpenWithDialog() {
    if (!SettleChanges(QStringLiteral(
            "Möchten Sie die Änderungen in %1 vor dem Öffnen einer anderen Zeichnung speichern?")))
        return false;
    const QString folder =
        FDrawing->FileName.isEmpty() ? QString() : QFileInfo(FDrawing->FileName).absolutePath();
    const QString path =
        UiServices().OpenFileName(QStringLiteral("KELDRA-Zeichnung öffnen"), kFileFilter, folder);
    if (path.isEmpty()) return false;
    return OpenFile(path);
}

bool TMainWindow::SaveCurrent() {
    if (FDrawing->FileName.isEmpty()) return SaveAs();
    return SaveFile(FDrawing->FileName);
}

bool TMainWindow::SaveAs() {
    const QString folder =
        FDrawing->FileName.isEmpty() ? QString() : QFileInfo(FDrawing->FileName).absolutePath();
    QString path =
        UiServices().SaveFileName(QStringLiteral("KELDRA-Zeichnung speichern"), kFileFilter, folder);
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".qld");
    return SaveFile(path);
}

void TMainWindow::UpdateTitle() {
    const QString name =
        FDrawing->FileName.isEmpty() ? QStringLiteral("Unbenannt") : QFileInfo(FDrawing->FileName).fileName();
    setWindowTitle(QStringLiteral("quellin – %1").arg(name));
}

bool TMainWindow::SettleChanges(const QString& questionTemplate) {
    if (!FDrawing->Updated()) return true;
    const QString name =
        FDrawing->FileName.isEmpty() ? QStringLiteral("Unbenannt") : QFileInfo(FDrawing->FileName).fileName();
    const TAnswer answer = UiServices().Question(questionTemplate.arg(name), QStringLiteral("quellin"),
                                                 TQuestionButtons::YesNoCancel);
    if (answer == TAnswer::Cancel) return false;
    // A failed or cancelled save keeps the drawing.
    if (answer == TAnswer::Yes) return SaveCurrent() && !FDrawing->Updated();
    return true;
}

void TMainWindow::closeEvent(QCloseEvent* event) {
    if (!SettleChanges(QStringLiteral("Möchten Sie die Änderungen in  %1 vor dem Beenden speichern?"))) {
        event->ignore();
        return;
    }
    event->accept();
}
