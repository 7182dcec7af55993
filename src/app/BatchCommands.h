#pragma once
// The batch mode of quellin: commands that work without a display and never
// create a window.
//   quellin --list FILE        prints page, layers and figures
//   quellin --convert IN OUT   writes IN as .qld, .qlb, .png or .bmp (by OUT's extension)
// Failures print one German line on stderr and give exit status 1; nothing
// is written then.

#include <QImage>
#include <QString>
#include <QStringList>

class QTextStream;
class TVXDrawing;

// True when the arguments (argv[1]) ask for a batch command; decided before
// the application object exists so that the platform can be chosen.
bool IsBatchCommand(int argc, char** argv);

// Runs a batch command; `args` are the application's arguments including the
// program name. Returns the exit status.
int RunBatch(const QStringList& args, QTextStream& out, QTextStream& err);

// The listing of --list.
void ListDrawing(const TVXDrawing& drawing, QTextStream& out);

// The whole page as a bitmap at 4 pixels per millimetre (100 % zoom):
// nearest(4 × WorkWidth) × nearest(4 × WorkHeight) pixels in the page colour
// with every figure that is not on a hidden layer (grayed layers gray). Only
// the drawing itself: no page frame or shadow, grid, guide lines, rulers,
// selection marks or figure guides. The drawing's view is left as it was.
QImage RenderPage(TVXDrawing& drawing);

// Writes the drawing to `path` in the format its extension names; an empty
// text on success, else the German message.
QString ExportDrawing(TVXDrawing& drawing, const QString& path);
