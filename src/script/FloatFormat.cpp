// FloatToStr: general format with 15 significant digits and "." as the
// decimal point, independent of the C locale (Qt sets LC_NUMERIC from the
// environment, so printf-style formatting cannot be used here).

#include "script/ScriptValue.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

std::string FloatToStr(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (value == 0.0) return "0"; // also for -0

    // Round to 15 significant digits: d.dddddddddddddde±X.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    if (res.ec != std::errc()) return "0";
    const std::string text(buf, res.ptr);

    std::string out;
    std::size_t pos = 0;
    if (text[pos] == '-') {
        out.push_back('-');
        ++pos;
    }
    std::string digits;
    for (; pos < text.size() && text[pos] != 'e'; ++pos)
        if (text[pos] != '.') digits.push_back(text[pos]);
    int exponent = 0;
    if (pos < text.size()) {
        ++pos; // 'e'
        bool negative = false;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            negative = text[pos] == '-';
            ++pos;
        }
        for (; pos < text.size(); ++pos)
            exponent = exponent * 10 + (text[pos] - '0');
        if (negative) exponent = -exponent;
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    if (exponent >= -5 && exponent <= 14) {
        if (exponent < 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += digits;
        } else {
            const auto intDigits = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= intDigits) {
                out += digits;
                out.append(intDigits - digits.size(), '0');
            } else {
                out += digits.substr(0, intDigits);
                out.push_back('.');
                out += digits.substr(intDigits);
            }
        }
        return out;
    }

    out.push_back(digits[0]);
    if (digits.size() > 1) {
        out.push_back('.');
        out += digits.substr(1);
    }
    out.push_back('E');
    out += std::to_string(exponent);
    return out;
}
