// The "system utilities" table: conversions between numbers, dates and
// texts. Dates are reals counting days since 1899-12-30 (RtlDates.h).

#include "script/RtlDates.h"
#include "script/RtlFormat.h"
#include "script/RtlObjects.h"
#include "script/RtlText.h"
#include "script/Runtime.h"

#include <string>

using ScriptRtl::Message;

namespace {

TScriptValue Text(const std::string& s) {
    return TScriptValue::FromString(s);
}

} // namespace

void RegisterSysUtilsTable(TScriptRuntime& runtime) {
    TScriptRuntime& rt = runtime;
    const std::vector<std::uint8_t> one{pkValue};
    const std::vector<std::uint8_t> two{pkValue, pkValue};

    rt.RegisterFunc(
        "IntToHex",
        [](TNativeCall& c) { c.Result = Text(ScriptRtl::IntToHex(c.Args[0].AsInt(), c.Args[1].AsInt())); },
        two);
    rt.RegisterFunc(
        "IntToStr", [](TNativeCall& c) { c.Result = Text(std::to_string(c.Args[0].AsInt())); }, one);
    rt.RegisterFunc(
        "Format", [](TNativeCall& c) { c.Result = Text(ScriptRtl::Format(c.Args[0].AsString(), c.Args[1])); },
        {pkValue, pkArray});
    rt.RegisterFunc(
        "AnsiUpperCase",
        [](TNativeCall& c) { c.Result = Text(ScriptRtl::AnsiUpperCase(c.Args[0].AsString())); }, one);
    rt.RegisterFunc(
        "AnsiLowerCase",
        [](TNativeCall& c) { c.Result = Text(ScriptRtl::AnsiLowerCase(c.Args[0].AsString())); }, one);
    rt.RegisterFunc(
        "FloatToStr", [](TNativeCall& c) { c.Result = Text(FloatToStr(c.Args[0].AsReal())); }, one);
    rt.RegisterFunc(
        "AnsiCompareStr",
        [](TNativeCall& c) {
            c.Result =
                TScriptValue::FromInt(ScriptRtl::AnsiCompareStr(c.Args[0].AsString(), c.Args[1].AsString()));
        },
        two);
    rt.RegisterFunc(
        "AnsiCompareText",
        [](TNativeCall& c) {
            c.Result =
                TScriptValue::FromInt(ScriptRtl::AnsiCompareText(c.Args[0].AsString(), c.Args[1].AsString()));
        },
        two);
    rt.RegisterFunc(
        "Trim", [](TNativeCall& c) { c.Result = Text(ScriptRtl::Trim(c.Args[0].AsString())); }, one);
    rt.RegisterFunc(
        "TrimLeft", [](TNativeCall& c) { c.Result = Text(ScriptRtl::TrimLeft(c.Args[0].AsString())); }, one);
    rt.RegisterFunc(
        "TrimRight", [](TNativeCall& c) { c.Result = Text(ScriptRtl::TrimRight(c.Args[0].AsString())); },
        one);
    // Val(s, var value, var code): an integer when the text is one, else a real.
    rt.RegisterProc("Val",
                    [](TNativeCall& c) {
                        const ScriptRtl::TValResult v = ScriptRtl::ParseVal(c.Args[0].AsString());
                        c.Args[1] =
                            v.IsInteger ? TScriptValue::FromInt(v.Integer) : TScriptValue::FromReal(v.Real);
                        c.Args[2] = TScriptValue::FromInt(v.Code);
                    },
                    {pkValue, pkByRef, pkByRef});
    rt.RegisterFunc("Date", [](TNativeCall& c) { c.Result = TScriptValue::FromReal(ScriptRtl::Today()); });
    rt.RegisterFunc("Time",
                    [](TNativeCall& c) { c.Result = TScriptValue::FromReal(ScriptRtl::CurrentTime()); });
    rt.RegisterFunc("Now", [](TNativeCall& c) { c.Result = TScriptValue::FromReal(ScriptRtl::Now()); });
    rt.RegisterFunc(
        "StrToDate",
        [](TNativeCall& c) { c.Result = TScriptValue::FromReal(ScriptRtl::StrToDate(c.Args[0].AsString())); },
        one);
    rt.RegisterFunc(
        "DateToStr", [](TNativeCall& c) { c.Result = Text(ScriptRtl::DateToStr(c.Args[0].AsReal())); }, one);
    rt.RegisterProc("DecodeDate",
                    [](TNativeCall& c) {
                        const ScriptRtl::TDateParts parts = ScriptRtl::DecodeDate(c.Args[0].AsReal());
                        c.Args[1] = TScriptValue::FromInt(parts.Year);
                        c.Args[2] = TScriptValue::FromInt(parts.Month);
                        c.Args[3] = TScriptValue::FromInt(parts.Day);
                    },
                    {pkValue, pkByRef, pkByRef, pkByRef});
    rt.RegisterFunc("EncodeDate",
                    [](TNativeCall& c) {
                        c.Result = TScriptValue::FromReal(
                            ScriptRtl::EncodeDate(c.Args[0].AsInt(), c.Args[1].AsInt(), c.Args[2].AsInt()));
                    },
                    {pkValue, pkValue, pkValue});
    rt.RegisterFunc(
        "FormatDateTime",
        [](TNativeCall& c) {
            c.Result = Text(ScriptRtl::FormatDateTime(c.Args[0].AsString(), c.Args[1].AsReal()));
        },
        two);
    rt.RegisterFunc(
        "StrToInt",
        [](TNativeCall& c) {
            const std::string s = c.Args[0].AsString();
            const std::optional<std::int32_t> value = ScriptRtl::ParseInteger(s);
            if (!value) throw EScriptError(Message("'%s' is not a valid integer value", s));
            c.Result = TScriptValue::FromInt(*value);
        },
        one);
    rt.RegisterFunc(
        "StrToFloat",
        [](TNativeCall& c) {
            const std::string s = c.Args[0].AsString();
            const std::optional<double> value = ScriptRtl::ParseReal(s);
            if (!value) throw EScriptError(Message("'%s' is not a valid floating point value", s));
            c.Result = TScriptValue::FromReal(*value);
        },
        one);
    rt.RegisterFunc(
        "FormatFloat",
        [](TNativeCall& c) {
            c.Result = Text(ScriptRtl::FormatFloat(c.Args[0].AsString(), c.Args[1].AsReal()));
        },
        two);
}
