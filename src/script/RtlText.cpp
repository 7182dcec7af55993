#include "script/RtlText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace ScriptRtl {
namespace {

// The unaccented letter a Latin-1 letter sorts with (0 for none), indexed
// from 0xC0.
constexpr char BaseLetters[64 + 1] = "AAAAAAACEEEEIIII"   // C0..CF
                                     "DNOOOOO\0OUUUUYTS"  // D0..DF (× and ß handled apart)
                                     "aaaaaaaceeeeiiii"   // E0..EF
                                     "dnooooo\0ouuuuyty"; // F0..FF

struct TSortKey {
    int Primary;   // letter without case and accent
    int Secondary; // accent
    int Tertiary;  // case: lower before upper
};

TSortKey KeyOf(unsigned char c) {
    unsigned char lower = LowerChar(c);
    int primary = lower;
    int secondary = 0;
    if (lower >= 0xE0 && lower != 0xF7) {
        const char base = BaseLetters[lower - 0xC0];
        if (base != 0) {
            primary = static_cast<unsigned char>(LowerChar(static_cast<unsigned char>(base)));
            secondary = lower;
        }
    } else if (lower == 0xDF) { // ß sorts as s
        primary = 's';
        secondary = 0xDF;
    } else if (lower == 0x9A) {
        primary = 's';
        secondary = lower;
    } else if (lower == 0x9E) {
        primary = 'z';
        secondary = lower;
    } else if (lower == 0x9C) {
        primary = 'o';
        secondary = lower;
    }
    // Letters sort after punctuation and digits; bytes that are no letters
    // keep their code order among themselves.
    if (primary >= 'a' && primary <= 'z') primary += 0x100;
    const int tertiary = (c != lower) ? 1 : 0;
    return {primary, secondary, tertiary};
}

int Sign(int v) {
    return (v > 0) - (v < 0);
}

int Compare(std::string_view a, std::string_view b, bool caseSensitive) {
    const std::size_t n = std::min(a.size(), b.size());
    int secondary = 0;
    int tertiary = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const TSortKey ka = KeyOf(static_cast<unsigned char>(a[i]));
        const TSortKey kb = KeyOf(static_cast<unsigned char>(b[i]));
        if (ka.Primary != kb.Primary) return Sign(ka.Primary - kb.Primary);
        if (secondary == 0) secondary = Sign(ka.Secondary - kb.Secondary);
        if (tertiary == 0) tertiary = Sign(ka.Tertiary - kb.Tertiary);
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    if (secondary != 0) return secondary;
    return caseSensitive ? tertiary : 0;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

unsigned char UpperChar(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
    switch (c) {
    case 0x9A:
        return 0x8A;
    case 0x9C:
        return 0x8C;
    case 0x9E:
        return 0x8E;
    case 0xFF:
        return 0x9F;
    default:
        return c;
    }
}

unsigned char LowerChar(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A:
        return 0x9A;
    case 0x8C:
        return 0x9C;
    case 0x8E:
        return 0x9E;
    case 0x9F:
        return 0xFF;
    default:
        return c;
    }
}

std::string AnsiUpperCase(std::string_view s) {
    std::string result(s);
    for (char& c : result)
        c = static_cast<char>(UpperChar(static_cast<unsigned char>(c)));
    return result;
}

std::string AnsiLowerCase(std::string_view s) {
    std::string result(s);
    for (char& c : result)
        c = static_cast<char>(LowerChar(static_cast<unsigned char>(c)));
    return result;
}

int AnsiCompareStr(std::string_view a, std::string_view b) {
    return Compare(a, b, true);
}

int AnsiCompareText(std::string_view a, std::string_view b) {
    return Compare(a, b, false);
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerChar(static_cast<unsigned char>(a[i])) != LowerChar(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string TrimLeft(std::string_view s) {
    std::size_t first = 0;
    while (first < s.size() && static_cast<unsigned char>(s[first]) <= ' ')
        ++first;
    return std::string(s.substr(first));
}

std::string TrimRight(std::string_view s) {
    std::size_t last = s.size();
    while (last > 0 && static_cast<unsigned char>(s[last - 1]) <= ' ')
        --last;
    return std::string(s.substr(0, last));
}

std::string Trim(std::string_view s) {
    return TrimRight(TrimLeft(s));
}

TValResult ParseVal(std::string_view s) {
    TValResult result;
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    const auto fail = [&](std::size_t at) {
        result.IsInteger = true;
        result.Integer = 0;
        result.Real = 0.0;
        result.Code = static_cast<std::int32_t>(at + 1);
        return result;
    };
    if (i >= s.size()) return fail(i);
    const std::size_t start = i;
    bool negative = false;
    if (s[i] == '+' || s[i] == '-') {
        negative = s[i] == '-';
        ++i;
    }
    if (i < s.size() && s[i] == '$') { // hexadecimal integer
        ++i;
        if (i >= s.size()) return fail(i);
        std::uint64_t value = 0;
        for (; i < s.size(); ++i) {
            const char c = s[i];
            int digit;
            if (IsDigit(c))
                digit = c - '0';
            else if (c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            else
                return fail(i);
            value = value * 16 + static_cast<std::uint64_t>(digit);
            if (value > 0xFFFFFFFFull) return fail(i);
        }
        std::uint32_t bits = static_cast<std::uint32_t>(value);
        if (negative) bits = 0u - bits;
        result.Integer = static_cast<std::int32_t>(bits);
        return result;
    }
    const std::size_t digitsStart = i;
    while (i < s.size() && IsDigit(s[i]))
        ++i;
    bool sawDigits = i > digitsStart;
    bool isReal = false;
    if (i < s.size() && s[i] == '.') {
        isReal = true;
        ++i;
        const std::size_t fracStart = i;
        while (i < s.size() && IsDigit(s[i]))
            ++i;
        sawDigits = sawDigits || i > fracStart;
    }
    if (!sawDigits) return fail(i);
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        isReal = true;
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        const std::size_t expStart = i;
        while (i < s.size() && IsDigit(s[i]))
            ++i;
        if (i == expStart) return fail(i);
    }
    if (i < s.size()) return fail(i);
    const std::string text(s.substr(start));
    if (!isReal) {
        errno = 0;
        const long long value = std::strtoll(text.c_str(), nullptr, 10);
        if (errno == 0 && value >= std::numeric_limits<std::int32_t>::min() &&
            value <= std::numeric_limits<std::int32_t>::max()) {
            result.Integer = static_cast<std::int32_t>(value);
            return result;
        }
    }
    result.IsInteger = false;
    // from_chars takes no leading '+' and ignores the C locale.
    std::string_view number(text);
    if (!number.empty() && number[0] == '+') number.remove_prefix(1);
    const auto parsed = std::from_chars(number.data(), number.data() + number.size(), result.Real);
    if (parsed.ec != std::errc() || !std::isfinite(result.Real)) return fail(start);
    return result;
}

std::optional<std::int32_t> ParseInteger(std::string_view s) {
    const TValResult v = ParseVal(s);
    if (v.Code != 0 || !v.IsInteger) return std::nullopt;
    return v.Integer;
}

std::optional<double> ParseReal(std::string_view s) {
    const std::string text = Trim(s);
    if (text.find('$') != std::string::npos) // hexadecimal is for integers only
        return std::nullopt;
    const TValResult v = ParseVal(text);
    if (v.Code != 0) return std::nullopt;
    return v.IsInteger ? static_cast<double>(v.Integer) : v.Real;
}

} // namespace ScriptRtl
