// The rulers: a band along the top and the left edge with ticks from the
// world zero in both directions, labels and the unit in the corner.
#include "render/Rulers.h"

#include "platform/Canvas.h"
#include "render/VXDrawBox.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {
constexpr int kCorner = 31;   // no ticks within the corner square
constexpr int kMaxTicks = 20000;
constexpr double kInch = 25.4;

constexpr std::array<double, 6> kMetricTickMm = {0.1, 0.5, 1, 5, 10, 100};
constexpr std::array<int, 6> kMetricPerLabel = {10, 20, 10, 2, 10, 1};
constexpr std::array<double, 6> kInchTick = {1.0 / 128, 1.0 / 32, 1.0 / 16, 0.5, 1, 10};
constexpr std::array<int, 6> kInchPerLabel = {8, 32, 16, 2, 10, 1};
} // namespace

int RulerTickLevelFor(double factor, TRulerSystem system) {
    if (system == TRulerSystem::rsWhitworth) {
        const double p = factor * kInch;
        if (p / 128 > 12) return 0;
        if (p / 32 > 12) return 1;
        if (p / 16 > 12) return 2;
        if (p / 2 > 12) return 3;
        if (p > 12) return 4;
        return 5;
    }
    if (factor > 40) return 0;
    if (factor > 24) return 1;
    if (factor > 12) return 2;
    if (factor > 2.4) return 3;
    if (factor > 1.2) return 4;
    return 5;
}

TRulerScale RulerScaleFor(int level, TRulerSystem system, bool worldMode, int mapScale) {
    level = std::clamp(level, 0, 5);
    const auto i = static_cast<std::size_t>(level);
    const double scale = mapScale;
    TRulerScale result;
    if (system == TRulerSystem::rsMetric) {
        result.TickMm = kMetricTickMm[i];
        result.TicksPerLabel = kMetricPerLabel[i];
        if (!worldMode) {
            result.Unit = level == 0 ? QStringLiteral("mm") : QStringLiteral("cm");
            // Levels 4 and 5 label every 10 cm.
            result.LabelFactor = level >= 4 ? 10 : 1;
        } else if (level == 0) {
            result.Unit = mapScale < 500 ? QStringLiteral("cm") : QStringLiteral("M");
            result.LabelFactor = mapScale < 500 ? scale / 10 : scale / 1000;
        } else {
            result.Unit = QStringLiteral("M");
            result.LabelFactor = level <= 3 ? scale / 100 : scale / 10;
        }
        return result;
    }
    result.TickMm = kInchTick[i] * kInch;
    result.TicksPerLabel = kInchPerLabel[i];
    if (!worldMode) {
        result.Unit = level == 0 ? QStringLiteral("Inch/16") : level <= 2 ? QStringLiteral("Inch") : QStringLiteral("inch");
        result.LabelFactor = level >= 4 ? 10 : 1;
    } else if (level == 0) {
        result.Unit = mapScale < 500 ? QStringLiteral("Inch") : QStringLiteral("Feet");
        result.LabelFactor = mapScale < 500 ? scale / 16 : scale / 192;
    } else {
        result.Unit = level <= 2 ? QStringLiteral("Feet") : QStringLiteral("feet");
        result.LabelFactor = level >= 4 ? scale / 12 * 10 : scale / 12;
    }
    return result;
}

int RulerTickLength(int index, int ticksPerLabel) {
    const int k = std::abs(index);
    if (ticksPerLabel <= 1 || k % ticksPerLabel == 0) return 20;
    if (ticksPerLabel % 2 == 0 && k % (ticksPerLabel / 2) == 0) return 15;
    if (ticksPerLabel % 10 == 0 && k % (ticksPerLabel / 10) == 0) return 10;
    return 5;
}

void TVXDrawBox::PaintRulers(TCanvas& canvas) {
    const int width = SurfaceWidth();
    const int height = SurfaceHeight();
    canvas.FillRect({0, 0, width, kRulerSize}, {FRulerColor, TBrushStyle::bsSolid});
    canvas.FillRect({0, 0, kRulerSize, height}, {FRulerColor, TBrushStyle::bsSolid});
    canvas.SetPen({0, 1, TPenStyle::psSolid});
    canvas.SetPenMode(TPenMode::pmCopy);
    canvas.MoveTo(kRulerSize, kRulerSize);
    canvas.LineTo(width, kRulerSize);
    canvas.MoveTo(kRulerSize, kRulerSize);
    canvas.LineTo(kRulerSize, height);

    TFontSpec font;
    font.Name = QStringLiteral("Tahoma");
    font.Height = -9; // 7 pt at 96 dpi
    font.Color = 0;
    canvas.SetFont(font);
    canvas.SetBackgroundTransparent(true);

    const TRulerScale scale = RulerScaleFor(RulerTickLevel(), FRulerSystem, RulerWorldMode(), RulerMapScale());
    const double step = scale.TickMm * Factor();
    const auto label = [&](int index, int sign) {
        if (index == 0) return QStringLiteral("0");
        const double count = static_cast<double>(index / scale.TicksPerLabel) * sign;
        return QString::number(count * scale.LabelFactor, 'f', 1);
    };
    const auto ticks = [&](int origin, int extent, const auto& draw) {
        if (!(step > 0)) return;
        const int first = static_cast<int>(std::ceil((kCorner - origin) / step));
        const int last = static_cast<int>(std::floor((extent - 1 - origin) / step));
        if (last - first > kMaxTicks) return;
        for (int k = first; k <= last; ++k) {
            const int at = origin + static_cast<int>(std::nearbyint(k * step));
            if (at < kCorner) continue;
            draw(k, at);
        }
    };
    const int xSign = HorizontalZero() == THorzZero::vzRight ? -1 : 1;
    const int ySign = VerticalZero() == TVertZero::vzBottom ? -1 : 1;
    ticks(RulerOrigin().x(), width, [&](int k, int x) {
        const int length = RulerTickLength(k, scale.TicksPerLabel);
        canvas.MoveTo(x, kRulerSize);
        canvas.LineTo(x, kRulerSize - length);
        if (length == 20) canvas.TextOut(x + 2, 2, label(k, xSign));
    });
    ticks(RulerOrigin().y(), height, [&](int k, int y) {
        const int length = RulerTickLength(k, scale.TicksPerLabel);
        canvas.MoveTo(kRulerSize, y);
        canvas.LineTo(kRulerSize - length, y);
        if (length == 20) canvas.TextOut(2, y + 2, label(k, ySign));
    });
    canvas.FillRect({0, 0, kRulerSize, kRulerSize}, {FRulerColor, TBrushStyle::bsSolid});
    canvas.TextOut(10, 2, scale.Unit);
}
