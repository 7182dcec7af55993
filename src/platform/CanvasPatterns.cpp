#include "platform/CanvasPatterns.h"

#include <array>

namespace {

constexpr std::array<int, 2> kDash{18, 6};
constexpr std::array<int, 2> kDot{3, 3};
constexpr std::array<int, 4> kDashDot{9, 6, 3, 6};
constexpr std::array<int, 6> kDashDotDot{9, 3, 3, 3, 3, 3};

int Mod8(int value) { return value & 7; }

} // namespace

std::span<const int> CosmeticDashPattern(TPenStyle style) {
    switch (style) {
    case TPenStyle::psDash: return kDash;
    case TPenStyle::psDot: return kDot;
    case TPenStyle::psDashDot: return kDashDot;
    case TPenStyle::psDashDotDot: return kDashDotDot;
    case TPenStyle::psSolid:
    case TPenStyle::psClear:
    case TPenStyle::psInsideFrame: break;
    }
    return {};
}

bool HatchInks(TBrushStyle style, int x, int y) {
    const bool row = Mod8(y) == 0;
    const bool column = Mod8(x) == 0;
    const bool falling = Mod8(x - y) == 0; // "\" : down to the right
    const bool rising = Mod8(x + y) == 7;  // "/" : up to the right
    switch (style) {
    case TBrushStyle::bsHorizontal: return row;
    case TBrushStyle::bsVertical: return column;
    case TBrushStyle::bsFDiagonal: return falling;
    case TBrushStyle::bsBDiagonal: return rising;
    case TBrushStyle::bsCross: return row || column;
    case TBrushStyle::bsDiagCross: return falling || rising;
    case TBrushStyle::bsSolid:
    case TBrushStyle::bsClear: break;
    }
    return false;
}

QImage HatchTile(TBrushStyle style, const QColor& ink, const std::optional<QColor>& background) {
    QImage tile(8, 8, QImage::Format_ARGB32_Premultiplied);
    const QRgb inkPixel = qPremultiply(ink.rgba());
    const QRgb gapPixel = background ? qPremultiply(background->rgba()) : QRgb{0};
    for (int y = 0; y < 8; ++y) {
        auto* line = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (int x = 0; x < 8; ++x) line[x] = HatchInks(style, x, y) ? inkPixel : gapPixel;
    }
    return tile;
}
