#include "platform/Bmp.h"

#include <QBuffer>
#include <QImageReader>
#include <cmath>
#include <cstring>

namespace Bmp {

namespace {
void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) { std::memcpy(&out[at], &v, 2); }
void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) { std::memcpy(&out[at], &v, 4); }
std::int32_t Get32(const std::vector<std::uint8_t>& in, std::size_t at) {
    std::int32_t v;
    std::memcpy(&v, &in[at], 4);
    return v;
}
std::uint16_t Get16(const std::vector<std::uint8_t>& in, std::size_t at) {
    std::uint16_t v;
    std::memcpy(&v, &in[at], 2);
    return v;
}
QImage Fail(QString* error, const QString& why) {
    if (error) *error = why;
    return {};
}
} // namespace

std::vector<std::uint8_t> Encode(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const auto width = static_cast<std::uint32_t>(image.width());
    const auto height = static_cast<std::uint32_t>(image.height());
    const std::uint32_t stride = (width * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = stride * height;
    std::vector<std::uint8_t> out(54 + pixelBytes, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<std::uint32_t>(out.size()));
    Put32(out, 10, 54);
    Put32(out, 14, 40);
    Put32(out, 18, width);
    Put32(out, 22, height);
    Put16(out, 26, 1);
    Put16(out, 28, 24);
    Put32(out, 34, pixelBytes);
    Put32(out, 38, static_cast<std::uint32_t>(std::max(0, image.dotsPerMeterX())));
    Put32(out, 42, static_cast<std::uint32_t>(std::max(0, image.dotsPerMeterY())));
    for (std::uint32_t y = 0; y < height; ++y) {
        const uchar* row = image.constScanLine(static_cast<int>(height - 1 - y));
        std::uint8_t* dest = &out[54 + static_cast<std::size_t>(y) * stride];
        for (std::uint32_t x = 0; x < width; ++x) {
            dest[x * 3 + 0] = row[x * 3 + 2];
            dest[x * 3 + 1] = row[x * 3 + 1];
            dest[x * 3 + 2] = row[x * 3 + 0];
        }
    }
    return out;
}

QImage Decode(const std::vector<std::uint8_t>& bytes, QString* error) {
    if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M')
        return Fail(error, QStringLiteral("Keine gültige Bitmap-Datei"));
    const std::uint32_t headerSize = static_cast<std::uint32_t>(Get32(bytes, 14));
    std::int64_t width = 0;
    std::int64_t height = 0;
    if (headerSize == 12) {
        width = Get16(bytes, 18);
        height = Get16(bytes, 20);
    } else {
        if (bytes.size() < 54) return Fail(error, QStringLiteral("Bitmap-Kopf unvollständig"));
        width = Get32(bytes, 18);
        height = std::abs(static_cast<std::int64_t>(Get32(bytes, 22)));
    }
    if (width <= 0 || height <= 0 || width * height > kMaxPixels)
        return Fail(error, QStringLiteral("Bitmap mit unzulässiger Größe %1 × %2").arg(width).arg(height));
    QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAllocationLimit(static_cast<int>(kMaxPixels * 4 / (1024 * 1024)) + 1);
    QImage image = reader.read();
    if (image.isNull()) return Fail(error, QStringLiteral("Bitmap nicht lesbar: %1").arg(reader.errorString()));
    return image;
}

} // namespace Bmp
