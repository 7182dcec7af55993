#include "RtlTestCall.h"

#include "script/ScriptErrors.h"

#include <cmath>

TEST(RtlSystem, CopyClampsLikeTheSystemUnit) {
    const struct {
        const char* S;
        std::int32_t Index, Count;
        const char* Expected;
    } cases[] = {
        {"Hello", 2, 3, "ell"}, {"Hello", 0, 2, "He"},
        {"Hello", -3, 2, "He"}, {"Hello", 4, 10, "lo"},
        {"Hello", 5, 1, "o"},   {"Hello", 6, 1, ""},
        {"Hello", 2, 0, ""},    {"Hello", 2, -1, ""},
        {"", 1, 1, ""},         {"Hello", 1, 2147483647, "Hello"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.S) + " " + std::to_string(c.Index) + " " + std::to_string(c.Count));
        EXPECT_EQ(CallNative("Copy", {Str(c.S), Int(c.Index), Int(c.Count)}).Result.AsString(), c.Expected);
    }
}

TEST(RtlSystem, PosInsertDelete) {
    const struct {
        const char* Sub;
        const char* S;
        std::int32_t Expected;
    } positions[] = {
        {"lo", "Hello", 4}, {"x", "Hello", 0}, {"", "Hello", 0}, {"H", "Hello", 1}, {"Hello!", "Hello", 0}};
    for (const auto& p : positions)
        EXPECT_EQ(CallNative("Pos", {Str(p.Sub), Str(p.S)}).Result.AsInt(), p.Expected) << p.Sub;

    const struct {
        const char* Source;
        const char* S;
        std::int32_t Index;
        const char* Expected;
    } inserts[] = {{"XY", "abc", 2, "aXYbc"},
                   {"XY", "abc", 0, "XYabc"},
                   {"XY", "abc", 4, "abcXY"},
                   {"XY", "abc", 99, "abcXY"},
                   {"XY", "", 1, "XY"}};
    for (const auto& i : inserts) {
        const TRtlCall call = CallNative("Insert", {Str(i.Source), Str(i.S), Int(i.Index)});
        EXPECT_EQ(call.Args[1].AsString(), i.Expected) << i.Index;
    }

    const struct {
        const char* S;
        std::int32_t Index, Count;
        const char* Expected;
    } deletes[] = {{"abcdef", 2, 3, "aef"},   {"abcdef", 0, 3, "abcdef"},  {"abcdef", 7, 1, "abcdef"},
                   {"abcdef", 5, 99, "abcd"}, {"abcdef", 2, -1, "abcdef"}, {"abcdef", 6, 1, "abcde"}};
    for (const auto& d : deletes) {
        const TRtlCall call = CallNative("Delete", {Str(d.S), Int(d.Index), Int(d.Count)});
        EXPECT_EQ(call.Args[0].AsString(), d.Expected) << d.Index << " " << d.Count;
    }
}

TEST(RtlSystem, LengthSetLengthStrMoveUpCase) {
    EXPECT_EQ(CallNative("Length", {Str("abc")}).Result.AsInt(), 3);
    EXPECT_EQ(CallNative("Length", {TScriptValue()}).Result.AsInt(), 0);
    EXPECT_EQ(CallNative("Length", {TScriptValue::NewArray(0, 4)}).Result.AsInt(), 5);

    EXPECT_EQ(CallNative("SetLength", {Str("abcdef"), Int(2)}).Args[0].AsString(), "ab");
    EXPECT_EQ(CallNative("SetLength", {Str("ab"), Int(4)}).Args[0].AsString().size(), 4u);
    EXPECT_EQ(CallNative("SetLength", {Str("ab"), Int(-1)}).Args[0].AsString(), "");
    EXPECT_EQ(ErrorOf([] { CallNative("SetLength", {Str("ab"), Int(2147483647)}); }), "Out of memory");
    EXPECT_EQ(ErrorOf([] {
                  CallNative("SetLength", {TScriptValue::NewArray(5, 5), Int(2147483647)});
              }),
              "Out of memory");
    TScriptValue array = TScriptValue::NewArray(1, 2);
    array.SetItem(1, Int(10));
    const TScriptValue grown = CallNative("SetLength", {array, Int(4)}).Args[0];
    EXPECT_EQ(grown.LowBound(), 1);
    EXPECT_EQ(grown.HighBound(), 4);
    EXPECT_EQ(grown.Item(1).AsInt(), 10);

    EXPECT_EQ(CallNative("Str", {Int(-42), Str("")}).Args[1].AsString(), "-42");
    EXPECT_EQ(CallNative("Str", {Real(1.5), Str("")}).Args[1].AsString(), "1.5");

    const struct {
        const char* Source;
        const char* Dest;
        std::int32_t Count;
        const char* Expected;
    } moves[] = {{"XYZ", "abcdef", 2, "XYcdef"},
                 {"XYZ", "a", 3, "XYZ"},
                 {"XYZ", "abc", 10, "XYZ"},
                 {"XYZ", "abc", -4, "abc"}};
    for (const auto& m : moves)
        EXPECT_EQ(CallNative("MOVE", {Str(m.Source), Str(m.Dest), Int(m.Count)}).Args[1].AsString(),
                  m.Expected);

    EXPECT_EQ(CallNative("UPCASE", {Str("q")}).Result.AsString(), "Q");
    EXPECT_EQ(CallNative("UPCASE", {Str("\xE4")}).Result.AsString(), "\xE4");
    EXPECT_EQ(CallNative("IORESULT", {}).Result.AsInt(), 0);
    EXPECT_EQ(CallNative("PARAMCOUNT", {}).Result.Kind(), TValueKind::Integer);
    EXPECT_EQ(CallNative("PARAMSTR", {Int(1000)}).Result.AsString(), "");
    EXPECT_EQ(CallNative("TEXTSTART", {}).Result.AsString(), "");
}

TEST(RtlSystem, VariantRoutines) {
    const struct {
        TScriptValue Value;
        std::int32_t Type;
    } types[] = {{TScriptValue(), 0}, {Int(1), 3},
                 {Real(1.0), 5},      {TScriptValue::FromBool(true), 11},
                 {Str("s"), 0x100},   {TScriptValue::NewArray(0, 1), 0x200C}};
    for (const auto& t : types)
        EXPECT_EQ(CallNative("VARTYPE", {t.Value}).Result.AsInt(), t.Type);

    EXPECT_EQ(CallNative("VARASTYPE", {Str("12"), Int(3)}).Result.Kind(), TValueKind::Integer);
    EXPECT_EQ(CallNative("VARASTYPE", {Int(12), Int(0x100)}).Result.AsString(), "12");
    EXPECT_EQ(CallNative("VARASTYPE", {Int(2), Int(5)}).Result.Kind(), TValueKind::Real);
    EXPECT_EQ(ErrorOf([] { CallNative("VARASTYPE", {Int(2), Int(1)}); }), "Invalid variant type conversion");

    EXPECT_TRUE(CallNative("VARISEMPTY", {TScriptValue()}).Result.AsBool());
    EXPECT_FALSE(CallNative("VARISEMPTY", {Int(0)}).Result.AsBool());
    EXPECT_FALSE(CallNative("VARISNULL", {TScriptValue()}).Result.AsBool());
    EXPECT_EQ(CallNative("VARTOSTR", {Int(5)}).Result.AsString(), "5");
    EXPECT_TRUE(CallNative("VARCLEAR", {Int(5)}).Args[0].IsEmpty());
    EXPECT_EQ(CallNative("VARCOPY", {Int(1), Str("x")}).Args[0].AsString(), "x");
    EXPECT_EQ(CallNative("VARTODATETIME", {Str("01.01.2000")}).Result.AsReal(), 36526.0);
    EXPECT_EQ(CallNative("VARFROMDATETIME", {Real(36526.5)}).Result.AsReal(), 36526.5);

    const TScriptValue array = CallNative("VARARRAYOF", {ArrayArg({Int(7), Str("b"), Real(2.5)})}).Result;
    ASSERT_TRUE(array.IsArray());
    EXPECT_EQ(array.LowBound(), 0);
    EXPECT_EQ(array.HighBound(), 2);
    EXPECT_EQ(array.Item(0).AsInt(), 7);
    EXPECT_EQ(array.Item(2).AsReal(), 2.5);
    EXPECT_EQ(CallNative("VARARRAYDIMCOUNT", {array}).Result.AsInt(), 1);
    EXPECT_EQ(CallNative("VARARRAYDIMCOUNT", {Int(1)}).Result.AsInt(), 0);
    EXPECT_EQ(CallNative("VARARRAYLOWBOUND", {array, Int(1)}).Result.AsInt(), 0);
    EXPECT_EQ(CallNative("VARARRAYHIGHBOUND", {array, Int(1)}).Result.AsInt(), 2);
    EXPECT_EQ(ErrorOf([&] {
                  CallNative("VARARRAYHIGHBOUND", {array, Int(2)});
              }),
              "Variant or safe array index out of bounds");
    EXPECT_EQ(ErrorOf([] { CallNative("VARARRAYLOWBOUND", {Int(3), Int(1)}); }), "Variant is not an array");
    EXPECT_TRUE(CallNative("VARISARRAY", {array}).Result.AsBool());
    EXPECT_FALSE(CallNative("VARISARRAY", {Str("x")}).Result.AsBool());
    EXPECT_EQ(CallNative("VARARRAYREF", {array}).Result.HighBound(), 2);
    EXPECT_EQ(CallNative("Length", {CallNative("VARARRAYOF", {ArrayArg({})}).Result}).Result.AsInt(), 0);
}

TEST(RtlSystem, RegistrationShapes) {
    TScriptRuntime& rt = TScriptRuntime::Instance();
    const struct {
        const char* Name;
        std::uint8_t Kind;
        std::vector<std::uint8_t> Params;
    } entries[] = {
        {"TOBJECT.FREE", ekProcedure, {}},
        {"TOBJECT.CLASSNAMEIS", ekFunction, {pkValue}},
        {"TOBJECT.DISPATCH", ekProcedure, {pkByRef}},
        {"SETLENGTH", ekProcedure, {pkByRef, pkValue}},
        {"INSERT", ekProcedure, {pkValue, pkByRef, pkValue}},
        {"DELETE", ekProcedure, {pkByRef, pkValue, pkValue}},
        {"STR", ekProcedure, {pkValue, pkByRef}},
        {"MOVE", ekProcedure, {pkValue, pkByRef, pkValue}},
        {"VARCOPY", ekProcedure, {pkByRef, pkValue}},
        {"VARARRAYOF", ekFunction, {pkArray}},
        {"FPOWER10", ekFunction, {}},
        {"FORMAT", ekFunction, {pkValue, pkArray}},
        {"VAL", ekProcedure, {pkValue, pkByRef, pkByRef}},
        {"DECODEDATE", ekProcedure, {pkValue, pkByRef, pkByRef, pkByRef}},
        {"TSTRINGS.ADD", ekFunction, {pkValue}},
        {"TSTRINGLIST.FIND", ekFunction, {pkValue, pkByRef}},
        {"TSTRINGLIST.CREATE", ekFunction, {}},
    };
    for (const auto& e : entries) {
        SCOPED_TRACE(e.Name);
        const auto index = rt.FindNative(e.Name);
        ASSERT_TRUE(index);
        const TFunListItem& item = rt.Native(*index);
        EXPECT_EQ(item.Kind, e.Kind);
        std::vector<std::uint8_t> params = item.ParamKinds;
        if (params.size() == 1 && params[0] == 2) params.clear();
        EXPECT_EQ(params, e.Params);
    }
    const auto pi = rt.FindConst("PI");
    ASSERT_TRUE(pi);
    EXPECT_EQ(FloatToStr(rt.Const(*pi).AsReal()), "3.14159265358979");
}
