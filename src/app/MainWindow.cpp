#include "app/MainWindow.h"

#include "app/DocumentIO.h"
#include "document/VXDrawing.h"
#include "platform/UiServices.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <algorithm>

namespace {

const QString kFileFilter = QStringLiteral("Zeichnungen (*.qld)");

} // namespace

TMainWindow::TMainWindow(QWidget* parent) : QMainWindow(parent), FDrawing(new TVXDrawing(this)) {
    FDrawing->setObjectName(QStringLiteral("Vexal1"));
    FDrawing->setFocusPolicy(Qt::StrongFocus);
    setCentralWidget(FDrawing);
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
    QAction* save = file->addAction(QStringLiteral("&Speichern"), this, [this] { SaveCurrent(); });
    save->setShortcut(QKeySequence::Save);
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("&Beenden"), this, [this] { close(); });
    quit->setShortcut(QKeySequence::Quit);

    // Window shortcuts come before the surface's own key handling.
    QMenu* view = menuBar()->addMenu(QStringLiteral("&Ansicht"));
    QAction* in = view->addAction(QStringLiteral("Ver&größern"), this, [this] { FDrawing->ZoomIn(); });
    in->setShortcuts({QKeySequence(Qt::Key_Plus), QKeySequence(QKeySequence::ZoomIn)});
    QAction* out = view->addAction(QStringLiteral("Ver&kleinern"), this, [this] { FDrawing->ZoomOut(); });
    out->setShortcuts({QKeySequence(Qt::Key_Minus), QKeySequence(QKeySequence::ZoomOut)});
    QAction* actual = view->addAction(QStringLiteral("&Originalgröße"), this, [this] { FDrawing->ActualSize(); });
    actual->setShortcut(QKeySequence(Qt::Key_0));
    QAction* fit = view->addAction(QStringLiteral("Ganze &Seite"), this, [this] { FDrawing->FitToWindow(); });
    fit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    view->addSeparator();
    QAction* up = view->addAction(QStringLiteral("Seite nach oben"), this, [this] { ScrollPages(-1, true); });
    up->setShortcut(QKeySequence(Qt::Key_PageUp));
    QAction* down = view->addAction(QStringLiteral("Seite nach unten"), this, [this] { ScrollPages(1, true); });
    down->setShortcut(QKeySequence(Qt::Key_PageDown));
    QAction* left = view->addAction(QStringLiteral("Seite nach links"), this, [this] { ScrollPages(-1, false); });
    left->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    QAction* right = view->addAction(QStringLiteral("Seite nach rechts"), this, [this] { ScrollPages(1, false); });
    right->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
}

void TMainWindow::ScrollPages(int pages, bool vertical) {
    if (vertical) {
        FDrawing->SetVScrollPosition(FDrawing->VSCBarPosition() + pages * std::max(1, FDrawing->VScrollPage()), true);
    } else {
        FDrawing->SetHScrollPosition(FDrawing->HSCBarPosition() + pages * std::max(1, FDrawing->HScrollPage()), true);
    }
}

bool TMainWindow::OpenFile(const QString& path) {
    const QString error = ReadDrawingFile(*FDrawing, path);
    if (!error.isEmpty()) {
        FDrawing->FileName.clear();
        UpdateTitle();
        UiServices().MessageBox(error, QStringLiteral("Fehler"), TMessageKind::Error);
        return false;
    }
    FDrawing->FileName = path;
    FDrawing->SetUpdated(false);
    UpdateTitle();
    FDrawing->Refresh();
    return true;
}

bool TMainWindow::SaveFile(const QString& path) {
    const QString error = WriteDrawingFile(*FDrawing, path);
    if (!error.isEmpty()) {
        UiServices().MessageBox(error, QStringLiteral("Fehler"), TMessageKind::Error);
        return false;
    }
    FDrawing->FileName = path;
    FDrawing->SetUpdated(false);
    UpdateTitle();
    return true;
}

void TMainWindow::OpenWithDialog() {
    const QString path = UiServices().OpenFileName(QStringLiteral("Zeichnung öffnen"), kFileFilter, QString());
    if (!path.isEmpty()) OpenFile(path);
}

void TMainWindow::SaveCurrent() {
    QString path = FDrawing->FileName;
    if (path.isEmpty()) {
        path = UiServices().SaveFileName(QStringLiteral("Zeichnung speichern"), kFileFilter, QString());
        if (path.isEmpty()) return;
        if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".qld");
    }
    SaveFile(path);
}

void TMainWindow::UpdateTitle() {
    const QString name = FDrawing->FileName.isEmpty() ? QStringLiteral("Unbenannt") : QFileInfo(FDrawing->FileName).fileName();
    setWindowTitle(QStringLiteral("quellin – %1").arg(name));
}

void TMainWindow::closeEvent(QCloseEvent* event) {
    if (FDrawing->Updated()) {
        const QString name = FDrawing->FileName.isEmpty() ? QStringLiteral("Unbenannt") : QFileInfo(FDrawing->FileName).fileName();
        const TAnswer answer = UiServices().Question(
            QStringLiteral("Möchten Sie die Änderungen in  %1 vor dem Beenden speichern?").arg(name),
            QStringLiteral("quellin"), TQuestionButtons::YesNoCancel);
        if (answer == TAnswer::Cancel) {
            event->ignore();
            return;
        }
        if (answer == TAnswer::Yes) {
            SaveCurrent();
            if (FDrawing->Updated()) {
                event->ignore();
                return;
            }
        }
    }
    event->accept();
}
