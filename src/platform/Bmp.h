#pragma once
// Windows bitmap files, as the program stores pictures inside its own files.
// The writer produces the classic layout byte for byte (14-byte file header,
// 40-byte info header, 24 bits per pixel, bottom-up rows padded to 4 bytes),
// which Qt's own BMP writer does not guarantee; the reader refuses files whose
// pixel data would exceed a sane size before allocating anything.

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

namespace Bmp {

std::vector<std::uint8_t> Encode(const QImage& image);
// An empty image when the bytes are not a readable bitmap; then error says why.
QImage Decode(const std::vector<std::uint8_t>& bytes, QString* error = nullptr);

// Largest width × height accepted when reading.
constexpr std::int64_t kMaxPixels = 100'000'000;

} // namespace Bmp
