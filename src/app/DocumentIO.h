#pragma once
// Reading and writing drawing and block files for the program. Every call
// returns an empty text on success, else a one-line German message; the
// message boxes the document would show while reading are caught and become
// that message.

#include <QString>

class TVXDrawing;

// Reads a ".qld" drawing into `drawing` (which is cleared first).
QString ReadDrawingFile(TVXDrawing& drawing, const QString& path);
// Writes `drawing` as a ".qld" drawing.
QString WriteDrawingFile(TVXDrawing& drawing, const QString& path);
// Writes all figures of `drawing` as a ".qlb" block file (one block holding them).
QString WriteBlockFile(TVXDrawing& drawing, const QString& path);
