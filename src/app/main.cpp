// quellin: the KELDRA drawing program.
#include "app/DemoSheet.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Keldra"));
    const QStringList args = QGuiApplication::arguments();
    const QString target = args.size() > 1 ? args.at(1) : QDir::temp().filePath(QStringLiteral("keldra-beispiel.png"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!DrawDemoSheet().save(target, "PNG")) {
        err << QStringLiteral("Das Beispielblatt kann nicht nach \"%1\" geschrieben werden.").arg(target) << Qt::endl;
        return 1;
    }
    out << QStringLiteral("Beispielblatt gespeichert: %1").arg(QDir(target).absolutePath()) << Qt::endl;
    return 0;
}
