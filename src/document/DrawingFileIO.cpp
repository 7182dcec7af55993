// Saving and loading a drawing with its ".pin" sidecar: both files are built
// in memory first and committed through temporary files, and a load replaces
// the drawing only once the file has turned out to be one.

#include "document/DrawingFile.h"
#include "document/VXDrawing.h"
#include "platform/UiServices.h"

#include <future>
#include <optional>
#include <QFile>

namespace {

const QString kCaption = QStringLiteral("Zeichnung");

} // namespace

bool TVXDrawing::SaveToFile(const QString& fileName) {
    DrawingFile::TEncodedDrawing encoded = DrawingFile::Encode(*this);
    TMemoryStream stream(std::move(encoded.Bytes));
    const QString pinName = DrawingFile::PinFileName(fileName);
    try {
        stream.SaveToFile(fileName);
    } catch (const EStreamError& error) {
        UiServices().MessageBox(error.Message(), kCaption, TMessageKind::Error);
        return false;
    }
    if (encoded.Pin.IsEmpty()) {
        QFile::remove(pinName);
    } else {
        QString error;
        if (!encoded.Pin.Save(pinName, &error)) {
            QFile::remove(pinName); // an old sidecar would give the figures wrong attributes
            UiServices().MessageBox(
                QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2").arg(pinName, error), kCaption,
                TMessageKind::Error);
            FileName = fileName;
            return false;
        }
    }
    FileName = fileName;
    SetUpdated(false);
    ClearUndoList();
    return true;
}

bool TVXDrawing::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        UiServices().MessageBox(
            QStringLiteral("Die Datei \"%1\" kann nicht geöffnet werden: %2").arg(fileName, file.errorString()),
            kCaption, TMessageKind::Error);
        return false;
    }
    // The sidecar is read on a second thread while the drawing file is read.
    std::future<TIniFile> pinReader =
        std::async(std::launch::async, [pinName = DrawingFile::PinFileName(fileName)] { return TIniFile::Load(pinName); });
    const QByteArray content = file.readAll();
    file.close();
    const std::vector<std::uint8_t> bytes(content.begin(), content.end());
    std::optional<TIniFile> pin;
    const auto pinProvider = [&]() -> const TIniFile& {
        if (!pin) pin = pinReader.get();
        return *pin;
    };
    switch (DrawingFile::DecodeWithPinProvider(*this, bytes, pinProvider)) {
    case DrawingFile::TLoadResult::NotADrawing:
        UiServices().MessageBox(QStringLiteral("kein gültiges Stream Format"), QString(), TMessageKind::Information);
        return false;
    case DrawingFile::TLoadResult::Damaged:
        FileName.clear();
        ClearUndoList();
        SetUpdated(true);
        UiServices().MessageBox(
            QStringLiteral("Die Datei \"%1\" ist beschädigt; es wurde nur gelesen, was lesbar war.").arg(fileName),
            kCaption, TMessageKind::Warning);
        Refresh();
        return true;
    case DrawingFile::TLoadResult::Loaded:
        break;
    }
    FileName = fileName;
    ClearUndoList();
    SetUpdated(false);
    Refresh();
    return true;
}
