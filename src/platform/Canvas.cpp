#include "platform/Canvas.h"

QColor ColorToQColor(TColor color) {
    const auto value = static_cast<std::uint32_t>(color);
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                  static_cast<int>((value >> 16) & 0xFFu));
}

TColor QColorToColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<TColor>(static_cast<std::uint32_t>(rgb.red()) | (static_cast<std::uint32_t>(rgb.green()) << 8) |
                               (static_cast<std::uint32_t>(rgb.blue()) << 16));
}
