// Fuzz target: arbitrary bytes read as a drawing file into a fresh drawing.
// Whatever loads must leave the base layer, and a drawing that loaded must
// write back stably (save → load → save gives the same bytes).
#include "document/DrawingFile.h"
#include "document/VXDrawing.h"

#include <QApplication>
#include <cstdlib>

namespace {

QApplication& Application() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_drawing_file";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

std::vector<std::uint8_t> Save(TVXDrawing& drawing) {
    drawing.SetSaveWithPreview(false);
    return DrawingFile::Encode(drawing).Bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QApplication& app = Application();
    (void)app;
    const std::vector<std::uint8_t> bytes(data, data + size);
    TVXDrawing drawing;
    const DrawingFile::TLoadResult result = DrawingFile::Decode(drawing, bytes, TIniFile());
    if (drawing.LayerCount() < 1) std::abort();
    if (result == DrawingFile::TLoadResult::NotADrawing) return 0;
    const std::vector<std::uint8_t> first = Save(drawing);
    TVXDrawing again;
    if (DrawingFile::Decode(again, first, TIniFile()) != DrawingFile::TLoadResult::Loaded) std::abort();
    if (Save(again) != first) std::abort();
    return 0;
}
