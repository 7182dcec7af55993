#pragma once
// The drawing file (".qld"): magic, version and named sections ("Preview",
// "Document", "Layers", "Figures", "Joins", "Custom Stream"), and its ".pin"
// sidecar with the figures' attribute lines. TVXDrawing::SaveToFile and
// LoadFromFile use these; the open dialog uses ReadPreview.

#include "platform/IniFile.h"

#include <functional>
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

class TVXDrawing;
class TStream;

namespace DrawingFile {

inline constexpr std::array<std::uint8_t, 8> kMagic{0x7B, 0x7D, 0xD4, 0xEA, 0x4C, 0x41, 0xA9, 0xD6};
inline constexpr std::uint16_t kVersion = 290;
// The preview fits a box of this many pixels.
inline constexpr double kPreviewWidth = 85.0;
inline constexpr double kPreviewHeight = 100.0;
// The key of a ".pin" section that names the figure's class.
inline constexpr char kClassKey[] = "Name_C";

// The sidecar of a drawing: the path with its extension replaced by ".pin"
// ("my.dir/plan" → "my.dir/plan.pin", "a/plan.qld" → "a/plan.pin").
QString PinFileName(const QString& drawingFileName);

struct TEncodedDrawing {
    std::vector<std::uint8_t> Bytes;
    TIniFile Pin;
};
// Builds the file and its sidecar in memory; fires OnObjectSaved per figure.
TEncodedDrawing Encode(TVXDrawing& drawing);

// The page drawn at s = min(85 / WorkWidth, 100 / WorkHeight) pixels per mm.
QImage RenderPreview(TVXDrawing& drawing);

// The preview of a drawing file: a null image unless the first section is "Preview".
QImage ReadPreview(const std::vector<std::uint8_t>& bytes);
QImage ReadPreview(const QString& fileName);

// What reading a drawing found.
enum class TLoadResult { Loaded, Damaged, NotADrawing };
// Reads a drawing from bytes into the drawing (the sidecar supplies the
// attributes). NotADrawing leaves the drawing untouched; Damaged loads what
// could be read. No message is shown.
TLoadResult Decode(TVXDrawing& drawing, const std::vector<std::uint8_t>& bytes, const TIniFile& pin);
// The same with the sidecar asked for only when the figures need it (so it
// can be read meanwhile).
using TPinProvider = std::function<const TIniFile&()>;
TLoadResult DecodeWithPinProvider(TVXDrawing& drawing, const std::vector<std::uint8_t>& bytes,
                                  const TPinProvider& pin);

} // namespace DrawingFile
