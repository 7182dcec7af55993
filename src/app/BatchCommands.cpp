#include "app/BatchCommands.h"
#include "app/MacroBatch.h"

#include "app/DocumentIO.h"
#include "app/NumberFormat.h"
#include "document/VXDrawing.h"
#include "model/FigureClass.h"
#include "model/Layer.h"
#include "platform/Bmp.h"
#include "platform/QtCanvas.h"
#include "render/DrawEngine.h"
#include "render/ScreenMapping.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const char* kListOption = "--list";
const char* kConvertOption = "--convert";

QString Quoted(const QString& text) {
    QString result = text;
    result.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + result + QLatin1Char('"');
}

QString LayerState(const TLayer& layer) {
    switch (layer.State) {
    case TLayerState::Hidden:
        return QStringLiteral("hidden");
    case TLayerState::Grayed:
        return QStringLiteral("grayed");
    case TLayerState::Visible:
        break;
    }
    return QStringLiteral("visible");
}

QString WriteImage(const QImage& image, const QString& path, bool bmp) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Die Datei \"%1\" kann nicht angelegt werden.").arg(path);
    bool ok = false;
    if (bmp) {
        const std::vector<std::uint8_t> bytes = Bmp::Encode(image);
        ok = file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) ==
             static_cast<qint64>(bytes.size());
    } else {
        ok = image.save(&file, "PNG");
    }
    if (!ok || !file.commit()) {
        file.cancelWriting();
        return QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden.").arg(path);
    }
    return {};
}

// Puts the drawing's engine back on its own canvas and the page mapping.
int Fail(QTextStream& err, const QString& message) {
    err << message << Qt::endl;
    return 1;
}

QString Usage() {
    return QStringLiteral("Aufruf: quellin --list DATEI | quellin --convert EINGABE AUSGABE");
}

} // namespace

bool IsBatchCommand(int argc, char** argv) {
    return argc > 1 && (std::strcmp(argv[1], kListOption) == 0 || std::strcmp(argv[1], kConvertOption) == 0 ||
                        IsMacroCommand(QString::fromLocal8Bit(argv[1])));
}

void ListDrawing(const TVXDrawing& drawing, QTextStream& out) {
    out << "page " << FormatNumber(drawing.WorkWidth()) << " x " << FormatNumber(drawing.WorkHeight())
        << " mm\n";
    for (int i = 0; i < drawing.LayerCount(); ++i) {
        const TLayer* layer = drawing.LayerAt(i);
        out << "layer " << i << ' ' << Quoted(layer->Name()) << ' ' << LayerState(*layer) << '\n';
    }
    for (int i = 0; i < drawing.FigureCount(); ++i) {
        const TFigure* figure = drawing.GetFigure(i);
        out << "figure " << i << ' ' << figure->Class().Name << ' ' << Quoted(figure->FName) << " layer "
            << drawing.IndexOfLayer(figure->FLayer) << " points";
        for (int p = 1; p <= figure->PointCount(); ++p) {
            const TDoublePoint pt = figure->GetPoint(p);
            out << " (" << FormatNumber(pt.X) << ',' << FormatNumber(pt.Y) << ')';
        }
        out << '\n';
    }
    out.flush();
}

QImage RenderPage(TVXDrawing& drawing) {
    return drawing.RenderPageImage(TScreenMapping::BaseFactor);
}

QString ExportDrawing(TVXDrawing& drawing, const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("qld")) return WriteDrawingFile(drawing, path);
    if (suffix == QLatin1String("qlb")) return WriteBlockFile(drawing, path);
    if (suffix == QLatin1String("png") || suffix == QLatin1String("bmp"))
        return WriteImage(RenderPage(drawing), path, suffix == QLatin1String("bmp"));
    return QStringLiteral(
               "Das Ausgabeformat \"%1\" wird nicht unterstützt (erlaubt: .qld, .qlb, .png, .bmp).")
        .arg(suffix.isEmpty() ? path : QLatin1Char('.') + suffix);
}

int RunBatch(const QStringList& args, QTextStream& out, QTextStream& err) {
    const QString command = args.value(1);
    if (IsMacroCommand(command)) return RunMacroBatch(args, out, err);
    TVXDrawing drawing;
    drawing.setObjectName(QStringLiteral("Vexal1"));
    if (command == QLatin1String(kListOption)) {
        if (args.size() != 3) return Fail(err, Usage());
        if (const QString error = ReadDrawingFile(drawing, args.at(2)); !error.isEmpty())
            return Fail(err, error);
        ListDrawing(drawing, out);
        return 0;
    }
    if (command == QLatin1String(kConvertOption)) {
        if (args.size() != 4) return Fail(err, Usage());
        const QString suffix = QFileInfo(args.at(3)).suffix().toLower();
        static const QStringList kFormats{QStringLiteral("qld"), QStringLiteral("qlb"), QStringLiteral("png"),
                                          QStringLiteral("bmp")};
        if (!kFormats.contains(suffix)) return Fail(err, ExportDrawing(drawing, args.at(3)));
        if (const QString error = ReadDrawingFile(drawing, args.at(2)); !error.isEmpty())
            return Fail(err, error);
        if (const QString error = ExportDrawing(drawing, args.at(3)); !error.isEmpty())
            return Fail(err, error);
        return 0;
    }
    return Fail(err, Usage());
}
