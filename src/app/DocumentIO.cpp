#include "app/DocumentIO.h"

#include "document/DrawingFile.h"
#include "document/VXDrawing.h"
#include "platform/IniFile.h"
#include "platform/UiServices.h"

#include <QFile>
#include <QFileInfo>
#include <exception>
#include <vector>

namespace {

// Larger inputs are refused before they are read into memory.
constexpr qint64 kMaxDrawingSize = 1024LL * 1024 * 1024;

QString OneLine(QString text) {
    return text.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '))
        .trimmed();
}

// Runs a document operation that reports through message boxes; the first
// message becomes the result when the operation failed or said anything.
template <typename TOperation> QString Captured(const QString& fallback, TOperation operation) {
    TScriptedUiServices capture;
    TUiServicesScope scope(capture);
    bool ok = false;
    try {
        ok = operation();
    } catch (const std::exception& e) {
        return OneLine(QStringLiteral("%1 %2").arg(fallback, QString::fromUtf8(e.what())));
    }
    const std::vector<QString> messages = capture.Messages();
    if (!messages.empty()) return OneLine(messages.front());
    return ok ? QString() : fallback;
}

} // namespace

QString ReadDrawingFile(TVXDrawing& drawing, const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return QStringLiteral("Die Datei \"%1\" wurde nicht gefunden.").arg(path);
    if (info.size() > kMaxDrawingSize) return QStringLiteral("Die Datei \"%1\" ist zu groß.").arg(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2").arg(path, file.errorString());
    const QByteArray content = file.readAll();
    file.close();
    const std::vector<std::uint8_t> bytes(content.begin(), content.end());
    const TIniFile pin = TIniFile::Load(DrawingFile::PinFileName(path));
    TScriptedUiServices capture;
    TUiServicesScope scope(capture);
    DrawingFile::TLoadResult result = DrawingFile::TLoadResult::Damaged;
    try {
        result = DrawingFile::Decode(drawing, bytes, pin);
    } catch (const std::exception&) {
        result = DrawingFile::TLoadResult::Damaged;
    }
    switch (result) {
    case DrawingFile::TLoadResult::NotADrawing:
        return QStringLiteral("Die Datei \"%1\" ist keine Zeichnung (kein gültiges Stream Format).")
            .arg(path);
    case DrawingFile::TLoadResult::Damaged:
        return QStringLiteral("Die Datei \"%1\" ist beschädigt.").arg(path);
    case DrawingFile::TLoadResult::Loaded:
        break;
    }
    drawing.FileName = path;
    drawing.SetUpdated(false);
    return {};
}

QString WriteDrawingFile(TVXDrawing& drawing, const QString& path) {
    return Captured(QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden.").arg(path),
                    [&] { return drawing.SaveToFile(path); });
}

QString WriteBlockFile(TVXDrawing& drawing, const QString& path) {
    if (drawing.FigureCount() == 0)
        return QStringLiteral("Die Zeichnung enthält keine Figuren; es wurde kein Block geschrieben.");
    drawing.SelectAll(0);
    return Captured(QStringLiteral("Der Block \"%1\" kann nicht geschrieben werden.").arg(path),
                    [&] { return drawing.MakeSelectionBlock(path); });
}
