#include "app/NumberFormat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

QString FormatNumber(double value) {
    if (!std::isfinite(value))
        return std::isnan(value) ? QStringLiteral("nan")
                                 : (value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf"));
    std::array<char, 400> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 4);
    std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
    if (text.find('.') != std::string_view::npos) {
        while (text.back() == '0')
            text.remove_suffix(1);
        if (text.back() == '.') text.remove_suffix(1);
    }
    if (text == "-0") text = "0";
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
