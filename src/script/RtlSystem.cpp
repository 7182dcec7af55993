// The "system" table: TObject's members, the string and variant routines of
// the System unit and the constant pi. RunMacro, RunForm, Print and
// PrintError belong to the engine and are registered there.
//
// Nothing here touches raw memory: MOVE copies characters of a string.

#include "platform/Cp1252.h"
#include "script/RtlDates.h"
#include "script/RtlObjects.h"
#include "script/RtlText.h"
#include "script/Runtime.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <numbers>
#include <string>

namespace {

// Variant type codes as VarType reports them.
constexpr std::int32_t varEmpty = 0x0000;
constexpr std::int32_t varSmallint = 0x0002;
constexpr std::int32_t varInteger = 0x0003;
constexpr std::int32_t varSingle = 0x0004;
constexpr std::int32_t varDouble = 0x0005;
constexpr std::int32_t varCurrency = 0x0006;
constexpr std::int32_t varDate = 0x0007;
constexpr std::int32_t varOleStr = 0x0008;
constexpr std::int32_t varBoolean = 0x000B;
constexpr std::int32_t varVariant = 0x000C;
constexpr std::int32_t varShortInt = 0x0010;
constexpr std::int32_t varByte = 0x0011;
constexpr std::int32_t varWord = 0x0012;
constexpr std::int32_t varLongWord = 0x0013;
constexpr std::int32_t varInt64 = 0x0014;
constexpr std::int32_t varString = 0x0100;
constexpr std::int32_t varArray = 0x2000;

// Sizes SetLength refuses (a script asking for more is broken).
constexpr std::int32_t MaxArrayLength = 1 << 24;

const char* const InvalidVarCast = "Invalid variant type conversion";
const char* const VarNotArray = "Variant is not an array";
const char* const VarArrayBounds = "Variant or safe array index out of bounds";

std::int32_t VarTypeOf(const TScriptValue& v) {
    switch (v.Kind()) {
    case TValueKind::Empty:
        return varEmpty;
    case TValueKind::Integer:
        return varInteger;
    case TValueKind::Real:
        return varDouble;
    case TValueKind::Boolean:
        return varBoolean;
    case TValueKind::String:
        return varString;
    case TValueKind::Array:
        return varArray | varVariant;
    }
    return varEmpty;
}

TScriptValue VarAsType(const TScriptValue& v, std::int32_t type) {
    switch (type) {
    case varEmpty:
        return TScriptValue();
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
        if (v.IsArray()) break;
        return TScriptValue::FromInt(v.AsInt());
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
        if (v.IsArray()) break;
        return TScriptValue::FromReal(v.AsReal());
    case varOleStr:
    case varString:
        if (v.IsArray()) break;
        return TScriptValue::FromString(v.AsString());
    case varBoolean:
        if (v.IsArray()) break;
        return TScriptValue::FromBool(v.AsBool());
    case varVariant:
        return v;
    case varArray | varVariant:
        if (v.IsArray()) return v;
        break;
    default:
        break;
    }
    throw EVariantError(InvalidVarCast);
}

TScriptValue VarToDateTime(const TScriptValue& v) {
    if (v.IsString()) {
        const std::string text = v.AsString();
        if (const std::optional<double> number = ScriptRtl::ParseReal(text))
            return TScriptValue::FromReal(*number);
        return TScriptValue::FromReal(ScriptRtl::StrToDate(text));
    }
    if (v.IsArray()) throw EVariantError(InvalidVarCast);
    return TScriptValue::FromReal(v.AsReal());
}

void CheckArrayDim(const TScriptValue& v, const TScriptValue& dim) {
    if (!v.IsArray()) throw EVariantError(VarNotArray);
    if (dim.AsInt() != 1) throw EVariantError(VarArrayBounds);
}

// The string argument, an empty value counting as the empty string.
std::string StringArg(const TScriptValue& v) {
    return v.AsString();
}

// Copy/Insert/Delete positions: 1-based; clamping as the System unit does.
std::string CopyOf(const std::string& s, std::int32_t index, std::int32_t count) {
    const std::int64_t length = static_cast<std::int64_t>(s.size());
    std::int64_t start = std::max<std::int64_t>(index, 1);
    if (start > length || count <= 0) return {};
    const std::int64_t n = std::min<std::int64_t>(count, length - start + 1);
    return s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(n));
}

QStringList ProgramArguments() {
    return QCoreApplication::instance() != nullptr ? QCoreApplication::arguments() : QStringList();
}

void RegisterTObject(TScriptRuntime& rt) {
    const auto live = [](const TNativeCall& c) -> TScriptObject& {
        return TScriptObjectTable::Instance().Get(c.Self);
    };
    // Free of nil does nothing; freeing a dead object raises.
    rt.RegisterProc("TOBJECT.FREE", [](TNativeCall& c) {
        if (c.Self != 0) ScriptRtl::Free(c.Self);
    });
    rt.RegisterProc("TOBJECT.CLEANUPINSTANCE", [live](TNativeCall& c) { (void)live(c); });
    rt.RegisterFunc("TOBJECT.CLASSNAME", [live](TNativeCall& c) {
        c.Result = TScriptValue::FromString(live(c).ScriptClassName());
    });
    rt.RegisterFunc("TOBJECT.CLASSNAMEIS",
                    [live](TNativeCall& c) {
                        c.Result = TScriptValue::FromBool(
                            ScriptRtl::SameText(live(c).ScriptClassName(), c.Args[0].AsString()));
                    },
                    {pkValue});
    // Scripts cannot allocate instances themselves, so no size is reported.
    rt.RegisterFunc("TOBJECT.INSTANCESIZE", [live](TNativeCall& c) {
        (void)live(c);
        c.Result = TScriptValue::FromInt(0);
    });
    // No script object handles messages: the message is left as it is.
    rt.RegisterProc("TOBJECT.DISPATCH", [live](TNativeCall& c) { (void)live(c); }, {pkByRef});
    rt.RegisterProc("TOBJECT.DEFAULTHANDLER", [live](TNativeCall& c) { (void)live(c); }, {pkByRef});
}

void RegisterStringRoutines(TScriptRuntime& rt) {
    rt.RegisterProc("SetLength",
                    [](TNativeCall& c) {
                        const std::int32_t n = std::max<std::int32_t>(0, c.Args[1].AsInt());
                        if (c.Args[0].IsArray()
                                ? n > MaxArrayLength
                                : static_cast<std::size_t>(n) > TScriptValue::MaxStringLength())
                            throw EScriptError("Out of memory");
                        if (c.Args[0].IsArray()) {
                            const TScriptValue& old = c.Args[0];
                            const std::int32_t low = old.LowBound();
                            std::int32_t high = 0;
                            if (__builtin_add_overflow(low, n - 1, &high))
                                throw EScriptError("Out of memory");
                            TScriptValue resized = TScriptValue::NewArray(low, high);
                            for (std::int32_t i = low; i <= std::min(high, old.HighBound()); ++i)
                                resized.SetItem(i, old.Item(i));
                            c.Args[0] = resized;
                            return;
                        }
                        std::string s = StringArg(c.Args[0]);
                        s.resize(static_cast<std::size_t>(n), ' ');
                        c.Args[0] = TScriptValue::FromString(s);
                    },
                    {pkByRef, pkValue});
    rt.RegisterFunc("Length",
                    [](TNativeCall& c) {
                        const TScriptValue& v = c.Args[0];
                        if (v.IsArray())
                            c.Result = TScriptValue::FromInt(v.HighBound() - v.LowBound() + 1);
                        else
                            c.Result = TScriptValue::FromInt(static_cast<std::int32_t>(StringArg(v).size()));
                    },
                    {pkValue});
    rt.RegisterProc("Insert",
                    [](TNativeCall& c) {
                        const std::string source = StringArg(c.Args[0]);
                        std::string s = StringArg(c.Args[1]);
                        const std::int32_t index = c.Args[2].AsInt();
                        const std::size_t at = static_cast<std::size_t>(
                            std::clamp<std::int64_t>(index, 1, static_cast<std::int64_t>(s.size()) + 1) - 1);
                        s.insert(at, source);
                        c.Args[1] = TScriptValue::FromString(s);
                    },
                    {pkValue, pkByRef, pkValue});
    rt.RegisterFunc("Pos",
                    [](TNativeCall& c) {
                        const std::string sub = StringArg(c.Args[0]);
                        const std::string s = StringArg(c.Args[1]);
                        const std::size_t at = sub.empty() ? std::string::npos : s.find(sub);
                        c.Result = TScriptValue::FromInt(
                            at == std::string::npos ? 0 : static_cast<std::int32_t>(at) + 1);
                    },
                    {pkValue, pkValue});
    rt.RegisterFunc("Copy",
                    [](TNativeCall& c) {
                        c.Result = TScriptValue::FromString(
                            CopyOf(StringArg(c.Args[0]), c.Args[1].AsInt(), c.Args[2].AsInt()));
                    },
                    {pkValue, pkValue, pkValue});
    rt.RegisterProc("Delete",
                    [](TNativeCall& c) {
                        std::string s = StringArg(c.Args[0]);
                        const std::int32_t index = c.Args[1].AsInt();
                        const std::int32_t count = c.Args[2].AsInt();
                        const std::int64_t length = static_cast<std::int64_t>(s.size());
                        if (index >= 1 && index <= length && count > 0) {
                            const std::int64_t n = std::min<std::int64_t>(count, length - index + 1);
                            s.erase(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(n));
                        }
                        c.Args[0] = TScriptValue::FromString(s);
                    },
                    {pkByRef, pkValue, pkValue});
    rt.RegisterProc("Str", [](TNativeCall& c) { c.Args[1] = TScriptValue::FromString(c.Args[0].AsString()); },
                    {pkValue, pkByRef});
    rt.RegisterFunc("IORESULT", [](TNativeCall& c) { c.Result = TScriptValue::FromInt(0); });
    // MOVE(source, var dest, count): the first count characters of the
    // source overwrite the start of dest, which grows when it is shorter.
    rt.RegisterProc("MOVE",
                    [](TNativeCall& c) {
                        const std::string source = StringArg(c.Args[0]);
                        std::string dest = StringArg(c.Args[1]);
                        const std::int32_t count = c.Args[2].AsInt();
                        const std::size_t n =
                            count <= 0
                                ? 0
                                : std::min<std::size_t>(static_cast<std::size_t>(count), source.size());
                        if (dest.size() < n) dest.resize(n, ' ');
                        dest.replace(0, n, source, 0, n);
                        c.Args[1] = TScriptValue::FromString(dest);
                    },
                    {pkValue, pkByRef, pkValue});
    rt.RegisterFunc("PARAMCOUNT", [](TNativeCall& c) {
        const auto count = ProgramArguments().size();
        c.Result = TScriptValue::FromInt(count > 0 ? static_cast<std::int32_t>(count - 1) : 0);
    });
    rt.RegisterFunc("PARAMSTR",
                    [](TNativeCall& c) {
                        const QStringList arguments = ProgramArguments();
                        const std::int32_t i = c.Args[0].AsInt();
                        c.Result = TScriptValue::FromString(
                            i >= 0 && i < arguments.size() ? Cp1252::Encode(arguments[i]) : std::string());
                    },
                    {pkValue});
    // Scripts have no random numbers to seed; kept for old macros.
    rt.RegisterProc("RANDOMIZE", [](TNativeCall&) {});
    rt.RegisterFunc("UPCASE",
                    [](TNativeCall& c) {
                        std::string s = StringArg(c.Args[0]);
                        if (s.size() > 1) s.resize(1);
                        if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 32);
                        c.Result = TScriptValue::FromString(s);
                    },
                    {pkValue});
    // Strings are copied on write, so every string is already unique.
    rt.RegisterProc("UNIQUESTRING", [](TNativeCall&) {}, {pkByRef});
    // FPOWER10 is listed without arguments; with nothing to scale it gives 0.
    rt.RegisterFunc("FPOWER10", [](TNativeCall& c) { c.Result = TScriptValue::FromInt(0); });
    rt.RegisterFunc("TEXTSTART", [](TNativeCall& c) { c.Result = TScriptValue::FromString(""); });
}

void RegisterVariantRoutines(TScriptRuntime& rt) {
    const std::vector<std::uint8_t> one{pkValue};
    const std::vector<std::uint8_t> two{pkValue, pkValue};

    rt.RegisterProc("VARCLEAR", [](TNativeCall& c) { c.Args[0] = TScriptValue(); }, {pkByRef});
    rt.RegisterProc("VARCOPY", [](TNativeCall& c) { c.Args[0] = c.Args[1]; }, {pkByRef, pkValue});
    rt.RegisterFunc(
        "VARTYPE", [](TNativeCall& c) { c.Result = TScriptValue::FromInt(VarTypeOf(c.Args[0])); }, one);
    rt.RegisterFunc(
        "VARASTYPE", [](TNativeCall& c) { c.Result = VarAsType(c.Args[0], c.Args[1].AsInt()); }, two);
    rt.RegisterFunc(
        "VARISEMPTY", [](TNativeCall& c) { c.Result = TScriptValue::FromBool(c.Args[0].IsEmpty()); }, one);
    // There is no Null value.
    rt.RegisterFunc(
        "VARISNULL", [](TNativeCall& c) { c.Result = TScriptValue::FromBool(false); }, one);
    rt.RegisterFunc(
        "VARTOSTR", [](TNativeCall& c) { c.Result = TScriptValue::FromString(c.Args[0].AsString()); }, one);
    rt.RegisterFunc(
        "VARFROMDATETIME", [](TNativeCall& c) { c.Result = TScriptValue::FromReal(c.Args[0].AsReal()); },
        one);
    rt.RegisterFunc(
        "VARTODATETIME", [](TNativeCall& c) { c.Result = VarToDateTime(c.Args[0]); }, one);
    // VARARRAYOF([a, b, …]): the elements with bounds 0 … n−1.
    rt.RegisterFunc("VARARRAYOF",
                    [](TNativeCall& c) {
                        const TScriptValue& source = c.Args[0];
                        if (!source.IsArray()) throw EVariantError(VarNotArray);
                        const std::int32_t low = source.LowBound();
                        const std::int32_t count =
                            std::clamp(source.Item(low).AsInt(), 0, source.HighBound() - low);
                        TScriptValue result = TScriptValue::NewArray(0, count - 1);
                        for (std::int32_t i = 0; i < count; ++i)
                            result.SetItem(i, source.Item(low + 1 + i));
                        c.Result = result;
                    },
                    {pkArray});
    rt.RegisterFunc(
        "VARARRAYDIMCOUNT",
        [](TNativeCall& c) { c.Result = TScriptValue::FromInt(c.Args[0].IsArray() ? 1 : 0); }, one);
    rt.RegisterFunc(
        "VARARRAYLOWBOUND",
        [](TNativeCall& c) {
            CheckArrayDim(c.Args[0], c.Args[1]);
            c.Result = TScriptValue::FromInt(c.Args[0].LowBound());
        },
        two);
    rt.RegisterFunc(
        "VARARRAYHIGHBOUND",
        [](TNativeCall& c) {
            CheckArrayDim(c.Args[0], c.Args[1]);
            c.Result = TScriptValue::FromInt(c.Args[0].HighBound());
        },
        two);
    rt.RegisterFunc(
        "VARARRAYREF",
        [](TNativeCall& c) {
            if (!c.Args[0].IsArray()) throw EVariantError(VarNotArray);
            c.Result = c.Args[0];
        },
        one);
    rt.RegisterFunc(
        "VARISARRAY", [](TNativeCall& c) { c.Result = TScriptValue::FromBool(c.Args[0].IsArray()); }, one);
}

} // namespace

void RegisterSystemTable(TScriptRuntime& runtime) {
    RegisterTObject(runtime);
    RegisterStringRoutines(runtime);
    RegisterVariantRoutines(runtime);
    runtime.RegisterConst("pi", TScriptValue::FromReal(std::numbers::pi));
    if (!runtime.IsClass("TOBJECT")) runtime.RegisterClass("TOBJECT", "");
}
