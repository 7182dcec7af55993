#pragma once
// Calls a registered native routine directly, the way the interpreter does.

#include "script/Runtime.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

struct TRtlCall {
    TArgumentArray Args{};
    TScriptValue Result;
};

inline TRtlCall CallNative(std::string_view name, std::initializer_list<TScriptValue> args, std::int32_t self = 0)
{
    TScriptRuntime& rt = TScriptRuntime::Instance();
    const auto index = rt.FindNative(name);
    if (!index)
        throw std::logic_error("no native " + std::string(name));
    const TFunListItem& item = rt.Native(*index);
    TRtlCall call;
    std::size_t i = 0;
    for (const TScriptValue& arg : args)
        call.Args[i++] = arg;
    TNativeCall native{self, item.ShortName, call.Args, call.Result};
    item.Routine(native);
    return call;
}

inline TScriptValue Str(std::string_view s)
{
    return TScriptValue::FromString(s);
}

inline TScriptValue Int(std::int32_t v)
{
    return TScriptValue::FromInt(v);
}

inline TScriptValue Real(double v)
{
    return TScriptValue::FromReal(v);
}

// An array argument as the compiler builds it: element 0 the count.
inline TScriptValue ArrayArg(std::initializer_list<TScriptValue> values)
{
    TScriptValue array = TScriptValue::NewArray(0, static_cast<std::int32_t>(values.size()));
    array.SetItem(0, TScriptValue::FromInt(static_cast<std::int32_t>(values.size())));
    std::int32_t i = 1;
    for (const TScriptValue& v : values)
        array.SetItem(i++, v);
    return array;
}

// The text of the EScriptError the callable raises ("" when none).
template <typename F> std::string ErrorOf(F&& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}
