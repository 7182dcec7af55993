#pragma once
// Text helpers of the run-time library. All texts are Windows-1252 bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ScriptRtl {

// Case mapping of the Windows-1252 letters (ASCII, the Latin-1 letters,
// Š/š, Œ/œ, Ž/ž, Ÿ/ÿ); ß and µ have no upper-case form.
unsigned char UpperChar(unsigned char c);
unsigned char LowerChar(unsigned char c);
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);
// Comparisons in dictionary order: accented letters sort next to their base
// letter, case decides only between otherwise equal texts (lower case
// first). Results are −1, 0 or 1.
int AnsiCompareStr(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);

// Removal of the characters up to and including the space.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// Val: leading blanks are skipped; decimal or $hex integers, reals with "."
// and an optional exponent. Code is 0 on success, else the 1-based position
// of the first character that does not fit.
struct TValResult {
    bool IsInteger = true;
    std::int32_t Integer = 0;
    double Real = 0.0;
    std::int32_t Code = 0;
};
TValResult ParseVal(std::string_view s);
// The integer of a text (StrToInt); nullopt when it is none.
std::optional<std::int32_t> ParseInteger(std::string_view s);
// The real number of a text with "." (StrToFloat); blanks around it are
// allowed; nullopt when it is none.
std::optional<double> ParseReal(std::string_view s);

} // namespace ScriptRtl
