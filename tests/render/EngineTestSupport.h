#pragma once
// Helpers for the draw engine tests: a screen mapping at a known scale and a
// one-call render of engine primitives into an image.

#include "platform/CanvasTestSupport.h"
#include "render/DrawEngine.h"
#include "render/ScreenMapping.h"

#include <functional>

namespace enginetest {

using namespace canvastest;

// 4 pixels per millimetre at zoom 100 %, page corner at the image's origin.
inline TScreenMapping PlainMapping(int zoom = 100) {
    TScreenMapping mapping;
    mapping.ZoomScale = zoom;
    return mapping;
}

using TDrawFn = std::function<void(TVXDrawEngine& engine, TCanvas& canvas)>;

// Draws into `image` through an engine with `mapping` installed; the canvas
// is closed before the image is returned.
inline QImage RenderInto(QImage image, const TDrawFn& draw, const TScreenMapping& mapping = PlainMapping()) {
    {
        TQtCanvas canvas(&image);
        TVXDrawEngine engine;
        mapping.InstallInto(engine);
        engine.SetCanvas(&canvas);
        draw(engine, canvas);
    }
    return image;
}

inline QImage Render(int width, int height, const TDrawFn& draw, const TScreenMapping& mapping = PlainMapping()) {
    return RenderInto(MakeImage(width, height), draw, mapping);
}

// Pixels of the set inside the closed box.
inline TPixelSet Within(const TPixelSet& pixels, int minX, int minY, int maxX, int maxY) {
    TPixelSet inside;
    for (const auto& [x, y] : pixels)
        if (x >= minX && x <= maxX && y >= minY && y <= maxY) inside.insert({x, y});
    return inside;
}

} // namespace enginetest
