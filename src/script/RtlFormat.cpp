#include "script/RtlFormat.h"

#include "script/RtlObjects.h"
#include "script/ScriptErrors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

namespace ScriptRtl {
namespace {

constexpr char DecimalSeparator = '.';
constexpr char ThousandSeparator = ',';
// The currency sign after the amount, as the German locale writes it (€ in
// Windows-1252).
constexpr const char* CurrencySuffix = " \x80";
// Widths beyond this are taken for a broken format rather than padded.
constexpr std::int32_t MaxWidth = 1 << 20;

// A decimal number: 0.Digits × 10^Exponent; zero has no digits.
struct TDecimal {
    bool Negative = false;
    std::string Digits;
    int Exponent = 0;
};

void StripTrailingZeros(TDecimal& d) {
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
    if (d.Digits.empty()) d.Exponent = 0;
}

// The value with `precision` significant digits (1 … 17).
TDecimal ToDecimal(double value, int precision) {
    TDecimal d;
    d.Negative = std::signbit(value);
    value = std::fabs(value);
    if (value == 0.0) return d;
    char buffer[64];
    const auto res =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, precision - 1);
    const std::string_view text(buffer, static_cast<std::size_t>(res.ptr - buffer));
    const std::size_t e = text.find('e');
    for (char c : text.substr(0, e))
        if (c != '.') d.Digits += c;
    int exponent = 0;
    std::string_view expText = text.substr(e + 1);
    if (!expText.empty() && expText[0] == '+') expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
    d.Exponent = exponent + 1;
    StripTrailingZeros(d);
    return d;
}

// Rounds (half away from zero) to `keep` leading digits.
void RoundDigits(TDecimal& d, int keep) {
    if (keep >= static_cast<int>(d.Digits.size())) return;
    if (keep < 0) {
        d.Digits.clear();
        d.Exponent = 0;
        return;
    }
    const bool up = d.Digits[static_cast<std::size_t>(keep)] >= '5';
    d.Digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.Digits[static_cast<std::size_t>(i)] == '9') {
            d.Digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.Digits[static_cast<std::size_t>(i)];
        } else {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exponent;
        }
    }
    StripTrailingZeros(d);
}

void RoundFraction(TDecimal& d, int fractionDigits) {
    RoundDigits(d, d.Exponent + fractionDigits);
}

char DigitAt(const TDecimal& d, int i) {
    return i >= 0 && i < static_cast<int>(d.Digits.size()) ? d.Digits[static_cast<std::size_t>(i)] : '0';
}

std::string GroupThousands(const std::string& digits) {
    std::string result;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) result += ThousandSeparator;
        result += digits[i];
    }
    return result;
}

// -ddd.ddd with `fraction` decimals, optionally grouped.
std::string FixedText(TDecimal d, int fraction, bool thousands) {
    RoundFraction(d, fraction);
    std::string integer;
    for (int i = 0; i < d.Exponent; ++i)
        integer += DigitAt(d, i);
    if (integer.empty()) integer.push_back('0');
    std::string result;
    if (d.Negative && !d.Digits.empty()) result.push_back('-');
    result += thousands ? GroupThousands(integer) : integer;
    if (fraction > 0) {
        result += DecimalSeparator;
        for (int i = 0; i < fraction; ++i)
            result += DigitAt(d, d.Exponent + i);
    }
    return result;
}

std::string ExponentDigits(int exponent, int minDigits, bool plusSign) {
    std::string text = std::to_string(std::abs(exponent));
    if (static_cast<int>(text.size()) < minDigits)
        text.insert(0, static_cast<std::size_t>(minDigits) - text.size(), '0');
    if (exponent < 0) return "-" + text;
    return plusSign ? "+" + text : text;
}

// -d.dddE+ddd with `precision` digits.
std::string ExponentText(TDecimal d, int precision, int minExponentDigits) {
    RoundDigits(d, precision);
    std::string result;
    if (d.Negative && !d.Digits.empty()) result.push_back('-');
    result += DigitAt(d, 0);
    if (precision > 1) {
        result += DecimalSeparator;
        for (int i = 1; i < precision; ++i)
            result += DigitAt(d, i);
    }
    result += 'E';
    result += ExponentDigits(d.Digits.empty() ? 0 : d.Exponent - 1, minExponentDigits, true);
    return result;
}

// The shortest of fixed or scientific with `precision` significant digits.
std::string GeneralText(TDecimal d, int precision, int minExponentDigits) {
    RoundDigits(d, precision);
    if (d.Digits.empty()) return "0";
    std::string result = d.Negative ? "-" : "";
    const int count = static_cast<int>(d.Digits.size());
    if (d.Exponent > precision || d.Exponent < -4) {
        result += d.Digits[0];
        if (count > 1) {
            result += DecimalSeparator;
            result.append(d.Digits, 1);
        }
        result += 'E';
        result += ExponentDigits(d.Exponent - 1, minExponentDigits, false);
        return result;
    }
    if (d.Exponent <= 0) {
        result += '0';
        result += DecimalSeparator;
        result.append(static_cast<std::size_t>(-d.Exponent), '0');
        result += d.Digits;
        return result;
    }
    for (int i = 0; i < d.Exponent; ++i)
        result += DigitAt(d, i);
    if (count > d.Exponent) {
        result += DecimalSeparator;
        result.append(d.Digits, static_cast<std::size_t>(d.Exponent));
    }
    return result;
}

// --- Format ---

class TFormatter {
public:
    TFormatter(std::string_view format, const TScriptValue& args) : FFormat(format), FArgs(args) {
        if (args.IsArray()) {
            const std::int32_t high = args.HighBound();
            FCount = std::max<std::int32_t>(0, std::min(args.Item(args.LowBound()).AsInt(), high));
        }
    }

    std::string Run() {
        std::string out;
        std::size_t i = 0;
        while (i < FFormat.size()) {
            const char c = FFormat[i++];
            if (c != '%') {
                out += c;
                continue;
            }
            if (i < FFormat.size() && FFormat[i] == '%') {
                out += '%';
                ++i;
                continue;
            }
            out += Conversion(i);
        }
        return out;
    }

private:
    [[noreturn]] void Fail() const {
        throw EScriptError(Message("Format '%s' invalid or incompatible with argument", FFormat));
    }

    const TScriptValue& NextArg() {
        if (FNext < 0 || FNext >= FCount) Fail();
        return FArgs.Item(FArgs.LowBound() + 1 + FNext++);
    }

    // Digits or '*' (the next argument, which must be an integer).
    std::optional<std::int32_t> Number(std::size_t& i) {
        if (i < FFormat.size() && FFormat[i] == '*') {
            ++i;
            const TScriptValue& arg = NextArg();
            if (arg.Kind() != TValueKind::Integer) Fail();
            return arg.AsInt();
        }
        if (i >= FFormat.size() || FFormat[i] < '0' || FFormat[i] > '9') return std::nullopt;
        std::int32_t value = 0;
        while (i < FFormat.size() && FFormat[i] >= '0' && FFormat[i] <= '9') {
            if (value > 100000) Fail();
            value = value * 10 + (FFormat[i++] - '0');
        }
        return value;
    }

    std::string Conversion(std::size_t& i) {
        std::optional<std::int32_t> first = Number(i);
        if (first && i < FFormat.size() && FFormat[i] == ':') {
            FNext = *first;
            ++i;
            first.reset();
        }
        bool left = false;
        if (!first && i < FFormat.size() && FFormat[i] == '-') {
            left = true;
            ++i;
        }
        if (!first) first = Number(i);
        const std::int32_t width = first.value_or(0);
        if (width > MaxWidth) Fail();
        std::optional<std::int32_t> precision;
        if (i < FFormat.size() && FFormat[i] == '.') {
            ++i;
            precision = Number(i).value_or(0);
        }
        if (i >= FFormat.size()) Fail();
        const char type =
            static_cast<char>(FFormat[i] >= 'A' && FFormat[i] <= 'Z' ? FFormat[i] + 32 : FFormat[i]);
        ++i;
        std::string text = Convert(type, precision, NextArg());
        if (width > static_cast<std::int32_t>(text.size())) {
            const std::string pad(static_cast<std::size_t>(width) - text.size(), ' ');
            text = left ? text + pad : pad + text;
        }
        return text;
    }

    std::string Convert(char type, std::optional<std::int32_t> precision, const TScriptValue& arg) {
        switch (type) {
        case 'd':
        case 'u':
        case 'x': {
            if (arg.Kind() != TValueKind::Integer) Fail();
            const std::int32_t value = arg.AsInt();
            std::string digits;
            bool negative = false;
            if (type == 'd') {
                negative = value < 0;
                const std::int64_t magnitude = std::llabs(static_cast<std::int64_t>(value));
                digits = std::to_string(magnitude);
            } else if (type == 'u') {
                digits = std::to_string(static_cast<std::uint32_t>(value));
            } else {
                digits = IntToHex(value, 0);
            }
            const std::size_t minDigits =
                static_cast<std::size_t>(std::clamp(precision.value_or(0), 0, 1000));
            if (digits.size() < minDigits) digits.insert(0, minDigits - digits.size(), '0');
            return negative ? "-" + digits : digits;
        }
        case 'p':
            if (arg.Kind() != TValueKind::Integer && arg.Kind() != TValueKind::Empty) Fail();
            return IntToHex(arg.IntField(), 8);
        case 's': {
            if (arg.IsArray()) Fail();
            std::string text = arg.AsString();
            if (precision && *precision >= 0 && static_cast<std::size_t>(*precision) < text.size())
                text.resize(static_cast<std::size_t>(*precision));
            return text;
        }
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm': {
            if (arg.Kind() != TValueKind::Real && arg.Kind() != TValueKind::Integer) Fail();
            const double value = arg.AsReal();
            if (std::isnan(value)) return "NAN";
            if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
            return FloatConversion(type, precision, value);
        }
        default:
            Fail();
        }
    }

    static std::string FloatConversion(char type, std::optional<std::int32_t> precision, double value) {
        switch (type) {
        case 'e': {
            const int digits = std::clamp(precision.value_or(15), 2, 18);
            return ExponentText(ToDecimal(value, std::min(digits, 17)), digits, 3);
        }
        case 'g': {
            const int digits = std::clamp(precision.value_or(15), 1, 18);
            return GeneralText(ToDecimal(value, std::min(std::max(digits, 15), 17)), digits, 3);
        }
        default: {
            const int decimals = std::clamp(precision.value_or(2), 0, 18);
            const TDecimal d = ToDecimal(value, 15);
            if (d.Exponent > 18) // too large for fixed notation
                return ExponentText(d, 15, 3);
            std::string text = FixedText(d, decimals, type != 'f');
            if (type == 'm') text += CurrencySuffix;
            return text;
        }
        }
    }

    std::string_view FFormat;
    const TScriptValue& FArgs;
    std::int32_t FCount = 0;
    std::int32_t FNext = 0;
};

// --- FormatFloat ---

std::vector<std::string_view> SplitSections(std::string_view format) {
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    char quote = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';' && sections.size() < 2) {
            sections.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(format.substr(start));
    return sections;
}

bool IsExponentAt(std::string_view s, std::size_t i) {
    return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

// Formats the magnitude of the value by one section; `negative` asks for a
// leading minus sign (dropped when the shown digits are all zero).
std::string FormatSection(std::string_view section, double magnitude, bool negative) {
    // Pass 1: the layout of the placeholders.
    int intPlaceholders = 0, intMinimum = 0, fracMinimum = 0, fracMaximum = 0, expMinimum = 0;
    bool thousands = false, scientific = false, pointSeen = false, expPlus = false;
    bool zeroBeforePoint = false;
    {
        char quote = 0;
        for (std::size_t i = 0; i < section.size(); ++i) {
            const char c = section[i];
            if (quote != 0) {
                if (c == quote) quote = 0;
                continue;
            }
            if (c == '"' || c == '\'') {
                quote = c;
            } else if (scientific) {
                continue;
            } else if (c == '0' || c == '#') {
                if (!pointSeen) {
                    ++intPlaceholders;
                    if (c == '0') zeroBeforePoint = true;
                    if (zeroBeforePoint) ++intMinimum;
                } else {
                    ++fracMaximum;
                    if (c == '0') fracMinimum = fracMaximum;
                }
            } else if (c == '.' && !pointSeen) {
                pointSeen = true;
            } else if (c == ',') {
                thousands = true;
            } else if (IsExponentAt(section, i)) {
                scientific = true;
                expPlus = section[i + 1] == '+';
                for (std::size_t j = i + 2; j < section.size() && (section[j] == '0' || section[j] == '#');
                     ++j)
                    if (section[j] == '0') ++expMinimum;
            }
        }
    }

    // The digits to show.
    TDecimal d = ToDecimal(magnitude, 15);
    std::string intDigits, fracDigits, exponentText;
    if (scientific) {
        const int intCount = std::max(1, intPlaceholders);
        RoundDigits(d, intCount + fracMaximum);
        for (int i = 0; i < intCount; ++i)
            intDigits += DigitAt(d, i);
        for (int i = 0; i < fracMaximum; ++i)
            fracDigits += DigitAt(d, intCount + i);
        const int exponent = d.Digits.empty() ? 0 : d.Exponent - intCount;
        exponentText = ExponentDigits(exponent, expMinimum, expPlus);
    } else {
        RoundFraction(d, fracMaximum);
        for (int i = 0; i < d.Exponent; ++i)
            intDigits += DigitAt(d, i);
        for (int i = 0; i < fracMaximum; ++i)
            fracDigits += DigitAt(d, d.Exponent + i);
        if (static_cast<int>(intDigits.size()) < intMinimum)
            intDigits.insert(0, static_cast<std::size_t>(intMinimum) - intDigits.size(), '0');
    }
    while (static_cast<int>(fracDigits.size()) > fracMinimum && fracDigits.back() == '0')
        fracDigits.pop_back();
    const bool allZero = d.Digits.empty();

    // Pass 2: placeholders receive the digits, everything else is copied.
    std::string out = (negative && !allZero) ? "-" : "";
    const int offset = static_cast<int>(intDigits.size()) - intPlaceholders;
    const auto emitInt = [&](int index) {
        out += intDigits[static_cast<std::size_t>(index)];
        const int remaining = static_cast<int>(intDigits.size()) - 1 - index;
        if (thousands && !scientific && remaining > 0 && remaining % 3 == 0) out += ThousandSeparator;
    };
    int intIndex = 0, fracIndex = 0;
    bool inFraction = false;
    char quote = 0;
    for (std::size_t i = 0; i < section.size(); ++i) {
        const char c = section[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
            else
                out += c;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '0' || c == '#') {
            if (!inFraction) {
                if (intIndex == 0)
                    for (int k = 0; k < offset; ++k)
                        emitInt(k);
                const int index = offset + intIndex;
                if (index >= 0) emitInt(index);
                ++intIndex;
            } else {
                if (fracIndex < static_cast<int>(fracDigits.size()))
                    out += fracDigits[static_cast<std::size_t>(fracIndex)];
                ++fracIndex;
            }
        } else if (c == '.' && !inFraction) {
            inFraction = true;
            if (intPlaceholders == 0)
                for (int k = 0; k < static_cast<int>(intDigits.size()); ++k)
                    emitInt(k);
            if (!fracDigits.empty()) out += DecimalSeparator;
        } else if (c == ',') {
            // the thousands flag, not shown itself
        } else if (IsExponentAt(section, i)) {
            out += c;
            out += exponentText;
            std::size_t j = i + 2;
            while (j < section.size() && (section[j] == '0' || section[j] == '#'))
                ++j;
            i = j - 1;
            inFraction = true;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::string Format(std::string_view format, const TScriptValue& args) {
    return TFormatter(format, args).Run();
}

std::string FormatFloat(std::string_view format, double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    const std::vector<std::string_view> sections = SplitSections(format);
    if (format.empty()) return FloatToStr(value);
    const auto present = [&](std::size_t i) { return i < sections.size() && !sections[i].empty(); };
    if (value == 0.0 && present(2)) return FormatSection(sections[2], 0.0, false);
    if (value < 0.0 && present(1)) return FormatSection(sections[1], -value, false);
    return FormatSection(sections[0], std::fabs(value), value < 0.0);
}

std::string IntToHex(std::int32_t value, std::int32_t digits) {
    static const char hex[] = "0123456789ABCDEF";
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    std::string text;
    do {
        text.insert(text.begin(), hex[bits & 15u]);
        bits >>= 4;
    } while (bits != 0);
    const std::size_t minimum = static_cast<std::size_t>(std::clamp(digits, 0, 1000));
    if (text.size() < minimum) text.insert(0, minimum - text.size(), '0');
    return text;
}

} // namespace ScriptRtl
