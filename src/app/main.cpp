// quellin: the KELDRA drawing program.
//   quellin [FILE.qld]          opens the drawing in the program window
//   quellin --list FILE         batch: prints the drawing (no window, no display needed)
//   quellin --convert IN OUT    batch: converts to .qld, .qlb, .png or .bmp
//   quellin --macro FILE        batch: compiles and runs a macro (Print to standard output)
//   quellin --eval EXPRESSION   batch: prints the value of an expression
//   quellin --demo FILE.png     draws the canvas sample sheet into a PNG file
#include "app/BatchCommands.h"
#include "app/DemoSheet.h"
#include "app/MainWindow.h"
#include "platform/MemoryPolicy.h"
#include "platform/UiServices.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

namespace {

// Batch output is for other programs: stderr carries the one-line error and
// nothing else, so Qt's own notes (missing runtime folder, fonts) are dropped.
void BatchMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) QTextStream(stderr) << message << Qt::endl;
}

} // namespace

int main(int argc, char** argv) {
    KeepFreedMemoryForReuse();
    const bool batch = IsBatchCommand(argc, argv);
    // Batch commands never open a window: they draw off screen, with or without a display.
    if (batch) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(BatchMessageHandler);
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Keldra"));
    QApplication::setApplicationName(QStringLiteral("Keldra"));
    const QStringList args = QApplication::arguments();
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);

    if (batch) return RunBatch(args, out, err);

    if (args.value(1) == QLatin1String("--demo")) {
        const QString target =
            args.size() > 2 ? args.at(2) : QDir::temp().filePath(QStringLiteral("keldra-beispiel.png"));
        if (!DrawDemoSheet().save(target, "PNG")) {
            err << QStringLiteral("Das Beispielblatt kann nicht nach \"%1\" geschrieben werden.").arg(target)
                << Qt::endl;
            return 1;
        }
        out << QStringLiteral("Beispielblatt gespeichert: %1").arg(QDir(target).absolutePath()) << Qt::endl;
        return 0;
    }

    TQtUiServices dialogs;
    TUiServicesScope dialogScope(dialogs);
    TMainWindow window;
    dialogs.SetOwner(&window);
    window.show();
    if (args.size() > 1) window.OpenFile(args.at(1));
    return QApplication::exec();
}
