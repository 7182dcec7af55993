#pragma once
// Helpers for the pixel tests of the canvas: images, pixel sets and colours.

#include "platform/QtCanvas.h"

#include <QImage>
#include <QRandomGenerator>
#include <cstdint>
#include <set>
#include <utility>

namespace canvastest {

using TPixel = std::pair<int, int>; // (x, y)
using TPixelSet = std::set<TPixel>;

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kBlack = 0x000000;
constexpr TColor kWhiteColor = 0xFFFFFF;

inline QImage MakeImage(int width, int height, QRgb fill = kWhite) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

// A repeatable image of arbitrary colours.
inline QImage NoiseImage(int width, int height, quint32 seed = 7) {
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, 0xFF000000u | (random.generate() & 0xFFFFFFu));
    return image;
}

inline QRgb Raw(const QImage& image, int x, int y) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
}

inline QRgb Rgb(TColor color) { return 0xFF000000u | ColorToQColor(color).rgb(); }

// Pixels whose colour differs from the background.
inline TPixelSet Differing(const QImage& image, QRgb background = kWhite) {
    TPixelSet pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((Raw(image, x, y) | 0xFF000000u) != (background | 0xFF000000u)) pixels.insert({x, y});
    return pixels;
}

// Pixels that differ between two images of the same size.
inline TPixelSet Changed(const QImage& a, const QImage& b) {
    TPixelSet pixels;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (Raw(a, x, y) != Raw(b, x, y)) pixels.insert({x, y});
    return pixels;
}

inline TPixelSet WithColor(const QImage& image, TColor color) {
    TPixelSet pixels;
    const QRgb wanted = Rgb(color);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((Raw(image, x, y) | 0xFF000000u) == wanted) pixels.insert({x, y});
    return pixels;
}

struct TBox {
    int MinX = 0, MinY = 0, MaxX = -1, MaxY = -1;
};

inline TBox BoundsOf(const TPixelSet& pixels) {
    TBox box;
    bool first = true;
    for (const auto& [x, y] : pixels) {
        if (first) {
            box = {x, y, x, y};
            first = false;
            continue;
        }
        box.MinX = std::min(box.MinX, x);
        box.MinY = std::min(box.MinY, y);
        box.MaxX = std::max(box.MaxX, x);
        box.MaxY = std::max(box.MaxY, y);
    }
    return box;
}

inline TPenSpec SolidPen(TColor color, int width = 1) { return {color, width, TPenStyle::psSolid}; }
inline TBrushSpec SolidBrush(TColor color) { return {color, TBrushStyle::bsSolid}; }
inline TBrushSpec ClearBrush() { return {0, TBrushStyle::bsClear}; }

} // namespace canvastest
