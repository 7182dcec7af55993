#include "platform/Clipboard.h"

#include "platform/Stream.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

QClipboard* SystemClipboard() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;
    return QGuiApplication::clipboard();
}

void Replace(QClipboard* clipboard, QMimeData* data) {
    clipboard->clear();
    clipboard->setMimeData(data); // the clipboard takes ownership
}

} // namespace

bool ClipboardAvailable() { return SystemClipboard() != nullptr; }

void StreamToClipboard(TMemoryStream& stream, const QString& mimeType) {
    QClipboard* clipboard = SystemClipboard();
    if (clipboard == nullptr) return;
    const std::vector<std::uint8_t>& bytes = stream.Data();
    auto* data = new QMimeData;
    data->setData(mimeType, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                       static_cast<qsizetype>(bytes.size())));
    Replace(clipboard, data);
}

bool ClipboardToStream(TMemoryStream& stream, const QString& mimeType) {
    QClipboard* clipboard = SystemClipboard();
    if (clipboard == nullptr) return false;
    const QMimeData* data = clipboard->mimeData();
    if (data == nullptr || !data->hasFormat(mimeType)) return false;
    const QByteArray bytes = data->data(mimeType);
    stream.Seek(stream.Size());
    stream.Write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    stream.Seek(0);
    return true;
}

bool ClipboardHasFormat(const QString& mimeType) {
    QClipboard* clipboard = SystemClipboard();
    if (clipboard == nullptr) return false;
    const QMimeData* data = clipboard->mimeData();
    return data != nullptr && data->hasFormat(mimeType);
}

void FlavoursToClipboard(const TClipboardFlavours& flavours) {
    QClipboard* clipboard = SystemClipboard();
    if (clipboard == nullptr) return;
    auto* data = new QMimeData;
    if (!flavours.Figures.isEmpty()) data->setData(kFigureMimeType, flavours.Figures);
    if (!flavours.Emf.isEmpty()) data->setData(kEmfMimeType, flavours.Emf);
    if (!flavours.Bitmap.isNull()) data->setImageData(flavours.Bitmap);
    Replace(clipboard, data);
}
