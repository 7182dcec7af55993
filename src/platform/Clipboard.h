#pragma once
// The system clipboard for the drawing's own formats.
//
// The private figure format travels under its own MIME type with exactly the
// stored bytes; beside it a drawing offers an EMF flavour and a bitmap. All
// helpers do nothing when no clipboard is available (no GUI application).

#include <QByteArray>
#include <QImage>
#include <QString>

class TMemoryStream;

inline const QString kFigureMimeType = QStringLiteral("application/x-vexal-figure");
inline const QString kEmfMimeType = QStringLiteral("image/emf");

// True when a clipboard can be used by this process.
bool ClipboardAvailable();

// Empties the clipboard and puts the whole content of the stream on it under
// the MIME type. The stream's position is left alone.
void StreamToClipboard(TMemoryStream& stream, const QString& mimeType);

// Appends the clipboard's data of the MIME type to the stream and rewinds the
// stream to 0. Returns false (stream untouched) when there is no clipboard or
// the clipboard holds no data of that type.
bool ClipboardToStream(TMemoryStream& stream, const QString& mimeType);

// True when the clipboard holds data of the MIME type.
bool ClipboardHasFormat(const QString& mimeType);

// Several flavours of one copy; empty members are left out.
struct TClipboardFlavours {
    QByteArray Figures; // kFigureMimeType
    QByteArray Emf;     // kEmfMimeType
    QImage Bitmap;      // image data
};

// Empties the clipboard and puts all non-empty flavours on it at once.
void FlavoursToClipboard(const TClipboardFlavours& flavours);
