#pragma once
// Number formatting of the run-time library: Format, FormatFloat and
// IntToHex as Delphi documents them, always with "." as decimal point and
// "," as thousands separator.

#include "script/ScriptValue.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ScriptRtl {

// `args` is an array value as an array argument arrives: element 0 holds
// the count, elements 1 … count the values. %d %u %x want integers, %e %f
// %g %n %m integers or reals, %p an integer or object, %s any value but an
// array. Anything else raises
// "Format '%s' invalid or incompatible with argument".
std::string Format(std::string_view format, const TScriptValue& args);
std::string FormatFloat(std::string_view format, double value);
std::string IntToHex(std::int32_t value, std::int32_t digits);

} // namespace ScriptRtl
