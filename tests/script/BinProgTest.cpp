// The program image and the register machine, with images built by hand.
#include "script/BinProg.h"
#include "script/Compiler.h"
#include "script/ScriptErrors.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

TInstruction I(std::int32_t op, std::int32_t a = 0, std::int32_t b = 0) {
    return {a, b, op};
}

std::unique_ptr<TBinProg> Load(TProgramImage image) {
    return std::make_unique<TBinProg>(std::move(image));
}

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EScriptError& error) {
        return error.what();
    }
    return {};
}

// A compiled program run once fused and once plain; both runs must take
// the same number of steps.
struct TBothWays {
    explicit TBothWays(const char* source)
        : Image(THalCompiler(source).Compile()), Fused(Image, TScriptRuntime::Instance(), true),
          Plain(Image, TScriptRuntime::Instance(), false) {
        Fused.Run();
        Plain.Run();
        EXPECT_EQ(Fused.StepsRun(), Plain.StepsRun());
    }
    TProgramImage Image;
    TBinProg Fused;
    TBinProg Plain;
};

} // namespace

TEST(ProgramImage, WritesTheLayoutByteForByte) {
    TProgramImage image;
    image.Constants = {TScriptValue::FromInt(-2), TScriptValue::FromReal(1.5), TScriptValue::FromString("ab"),
                       TScriptValue::FromBool(true)};
    image.Labels = {3};
    image.Code = {I(opLDC, 0, 0), I(opJMP, 0), I(opSTOP)};
    const std::vector<std::uint8_t> expected = {
        4, 0,    0,    0,                                     // constants
        1, 0xFE, 0xFF, 0xFF, 0xFF,                            // integer −2
        2, 0,    0,    0,    0,    0, 0, 0xF8, 0x3F,          // real 1.5
        3, 2,    'a',  'b',                                   // string
        4, 1,                                                 // boolean
        1, 0,    0,    0,    3,    0, 0, 0,                   // one label at 3
        3, 0,    0,    0,                                     // three instructions: a, b, code
        0, 0,    0,    0,    0,    0, 0, 0,    23,   0, 0, 0, //
        0, 0,    0,    0,    0,    0, 0, 0,    19,   0, 0, 0, //
        0, 0,    0,    0,    0,    0, 0, 0,    26,   0, 0, 0,
    };
    const std::vector<std::uint8_t> bytes = WriteImage(image);
    EXPECT_EQ(bytes, expected);
    const TProgramImage back = ReadImage(bytes);
    ASSERT_EQ(back.Constants.size(), 4u);
    EXPECT_EQ(back.Constants[0].Kind(), TValueKind::Integer);
    EXPECT_EQ(back.Constants[0].IntField(), -2);
    EXPECT_EQ(back.Constants[1].AsReal(), 1.5);
    EXPECT_EQ(back.Constants[2].StringRef(), "ab");
    EXPECT_EQ(back.Constants[3].Kind(), TValueKind::Boolean);
    EXPECT_EQ(back.Labels, image.Labels);
    EXPECT_EQ(back.Code, image.Code);
}

TEST(ProgramImage, DamagedImagesAreRefused) {
    const std::vector<std::uint8_t> good =
        WriteImage(TProgramImage{{TScriptValue::FromInt(1)}, {}, {I(opSTOP)}});
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        const std::vector<std::uint8_t> truncated(good.begin(),
                                                  good.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_THROW(ReadImage(truncated), ECompilerError) << "cut at " << cut;
    }
    std::vector<std::uint8_t> wrongKind = good;
    wrongKind[4] = 5;
    EXPECT_EQ(ErrorOf([&] { ReadImage(wrongKind); }), "Unknown reader type");
    std::vector<std::uint8_t> hugeCount = good;
    hugeCount[3] = 0x7F;
    EXPECT_THROW(ReadImage(hugeCount), ECompilerError);

    EXPECT_EQ(ErrorOf([] {
                  WriteImage(TProgramImage{{TScriptValue()}, {}, {}});
              }),
              "Unknown variable type during writing program");
}

TEST(ProgramImage, ImagesThatCannotRunAreRefusedBeforeRunning) {
    struct Case {
        const char* name;
        TProgramImage image;
    };
    const std::size_t print = *TScriptRuntime::Instance().FindNative("Print");
    const std::vector<Case> cases = {
        {"register 1001", {{}, {}, {I(opMOV, 1001, 0), I(opSTOP)}}},
        {"negative register", {{}, {}, {I(opINC, -1), I(opSTOP)}}},
        {"label beyond the table", {{}, {0}, {I(opJMP, 1), I(opSTOP)}}},
        {"label address beyond the code", {{}, {7}, {I(opJMP, 0), I(opSTOP)}}},
        {"constant beyond the pool", {{TScriptValue::FromInt(1)}, {}, {I(opLDC, 0, 1), I(opSTOP)}}},
        {"unknown native", {{}, {}, {I(opCALLN, 0, 1 << 30), I(opSTOP)}}},
        {"native without its carrier", {{}, {}, {I(opCALLN, 0, static_cast<std::int32_t>(print))}}},
        {"argument register out of range",
         {{}, {}, {I(opCALLN, 0, static_cast<std::int32_t>(print)), I(5000), I(opSTOP)}}},
        {"unknown provider", {{}, {}, {I(opDYNGET, 0, 1 << 30), I(opCARRIER, 1), I(opSTOP)}}},
        {"array store without carrier", {{}, {}, {I(opARRPUT, 0, 1)}}},
        {"array literal longer than the code", {{}, {}, {I(opARRNEW, 1, 61697), I(opSTOP)}}},
        {"jump onto a carrier", {{}, {2}, {I(opJMP, 0), I(opDYNGET, 0, 0), I(opCARRIER, 1), I(opSTOP)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(Load(c.image), ECompilerError);
    }
}

TEST(BinProg, RunsAHandBuiltProgram) {
    // r0 := 2; r1 := 3; r0 := r0 + r1; r2 := r0 = 5.0 (False: integer vs real); stop
    TProgramImage image{{TScriptValue::FromInt(2), TScriptValue::FromInt(3), TScriptValue::FromReal(5.0)},
                        {},
                        {I(opLDC, 0, 0), I(opLDC, 1, 1), I(opADD, 0, 1), I(opMOV, 2, 0), I(opLDC, 3, 2),
                         I(opEQ, 2, 3), I(opSTOP)}};
    auto program = TBinProg::FromBytes(WriteImage(image));
    EXPECT_EQ(program->Register(500).Kind(), TValueKind::Integer); // unset registers read as integer 0
    EXPECT_EQ(program->Register(500).IntField(), 0);
    program->Run();
    EXPECT_EQ(program->Register(0).IntField(), 5);
    EXPECT_EQ(program->Register(2).Kind(), TValueKind::Boolean);
    EXPECT_FALSE(program->Register(2).AsBool());
}

TEST(BinProg, ConditionalJumpsAndArrays) {
    // JF on 0 jumps (r5 stays 0), JF on 1 does not (r6 becomes 1).
    TProgramImage image{{TScriptValue::FromInt(0), TScriptValue::FromInt(1), TScriptValue::FromInt(3),
                         TScriptValue::FromString("x")},
                        {3, 6},
                        {I(opLDC, 0, 0), I(opJF, 0, 0), I(opINC, 5), I(opLDC, 1, 1), I(opJF, 1, 1),
                         I(opINC, 6),
                         // r7 := array 0..3; r7[0] := 3; r7[2] := 'x'
                         I(opARRNEW, 7, 3), I(opLDC, 8, 2), I(opARRPUT, 0, 8), I(0, 7), I(opLDC, 9, 3),
                         I(opARRPUT, 2, 9), I(0, 7), I(opSTOP)}};
    auto program = Load(image);
    program->Run();
    EXPECT_EQ(program->Register(5).IntField(), 0);
    EXPECT_EQ(program->Register(6).IntField(), 1);
    const TScriptValue& array = program->Register(7);
    ASSERT_TRUE(array.IsArray());
    EXPECT_EQ(array.LowBound(), 0);
    EXPECT_EQ(array.HighBound(), 3);
    EXPECT_EQ(array.Item(0).IntField(), 3);
    EXPECT_EQ(array.Item(2).StringRef(), "x");
}

TEST(BinProg, RegistersKeepTheirValuesBetweenRuns) {
    auto program = Load({{}, {}, {I(opINC, 0), I(opSTOP)}});
    program->Run();
    program->Run();
    program->Run();
    EXPECT_EQ(program->Register(0).IntField(), 3);
}

TEST(BinProg, CallsNestAndRecursionStopsAtTheStackLimit) {
    // main: CALL sub; STOP. sub: INC r0; RET.
    auto program = Load({{}, {2}, {I(opCALL, 0), I(opSTOP), I(opINC, 0), I(opRET)}});
    program->Run();
    EXPECT_EQ(program->Register(0).IntField(), 1);
    // A routine calling itself for ever.
    auto endless = Load({{}, {0}, {I(opINC, 0), I(opCALL, 0)}});
    EXPECT_EQ(ErrorOf([&] { endless->Run(); }), "Stack overflow: calls nested too deeply");
    EXPECT_EQ(endless->Register(0).IntField(), kReturnStackSize + 1);
    // A final RET with an empty stack ends a run started at a routine.
    program->RunFrom(2);
    EXPECT_EQ(program->Register(0).IntField(), 2);
}

TEST(BinProg, InvalidCodesFailWhenReached) {
    for (std::int32_t op : {21, 22, 24, 25, 27, 28, 31, 33, 35, 41, 43, 53, 1000, -1}) {
        auto program = Load({{}, {}, {I(op), I(opSTOP)}});
        EXPECT_EQ(ErrorOf([&] { program->Run(); }), "Invalid opcode") << op;
    }
    auto offTheEnd = Load({{}, {}, {I(opINC, 0)}});
    EXPECT_EQ(ErrorOf([&] { offTheEnd->Run(); }), "Program counter out of range");
}

TEST(BinProg, EndlessLoopsStopOnTheStepLimitOrWhenCancelled) {
    auto program = Load({{}, {0}, {I(opINC, 0), I(opJMP, 0)}});
    program->MaxSteps = 1'000'000;
    EXPECT_EQ(ErrorOf([&] { program->Run(); }), "Macro stopped after too many steps");
    EXPECT_GE(program->StepsRun(), 1'000'000);
    EXPECT_LT(program->StepsRun(), 1'000'000 + 70'000);

    std::atomic<bool> cancel{true};
    auto cancelled = Load({{}, {0}, {I(opINC, 0), I(opJMP, 0)}});
    cancelled->CancelFlag = &cancel;
    EXPECT_EQ(ErrorOf([&] { cancelled->Run(); }), "Macro cancelled");
    EXPECT_LE(cancelled->StepsRun(), 100'000);
}

TEST(BinProg, CompiledLoopsRunFusedAsTheyRunPlain) {
    // Counting loops, assignments of the form x := x op (y op K), while
    // loops and calls: every register and the step count must agree.
    const char* const sources[] = {
        "var i, s: integer;\nbegin\n  s := 0;\n  for i := 1 to 1000 do s := s + i mod 7;\nend.",
        "var i: integer; x: real;\nbegin\n  x := 0.0;\n  for i := 1 to 1000 do x := x + i * 0.5;\nend.",
        "var i, j: integer; t: string;\nbegin\n  i := 0; t := '';\n  while i < 50 do begin\n"
        "    j := j + i * 3; i := i + 1; t := t + 'ab';\n  end;\n  for i := 10 downto 1 do j := j - i div "
        "2;\nend.",
        "var k, s: integer;\nfunction F(x: integer): integer;\nbegin\n  Result := x * 2 + 1;\nend;\n"
        "begin\n  for k := 1 to 100 do s := s + F(k) mod 5;\nend.",
        "var j, n, c: integer; t: string;\nbegin\n  n := 40; t := 'a';\n  while j < n do begin\n"
        "    if t = 'a' then c := c + 1 else c := c - 1;\n    if c > 3 then t := 'b' else t := 'a';\n"
        "    j := j + 1\n  end;\nend.",
        "var k, d: integer;\nprocedure Down(n: integer);\nbegin\n  d := d + 1;\n  if n > 0 then Down(n - "
        "1);\nend;\n"
        "begin\n  for k := 1 to 20 do Down(30);\nend.",
        // Sums past the integer range, products, texts and reals through
        // the fused assignments, with and without an addition last.
        "var i, a, b, c: integer; x, y: real; t: string;\nbegin\n  a := 3; b := 2147483000; t := 'x'; y := "
        "1.5;\n"
        "  for i := 1 to 30 do begin\n    a := a + b; c := a * b; b := b + i * 100; x := y * i;\n"
        "    y := y - x / 7; t := t + 'z'; c := c - 1; x := x + 0.25\n  end;\nend.",
    };
    for (const char* source : sources) {
        SCOPED_TRACE(source);
        TBothWays both(source);
        TBinProg& fused = both.Fused;
        TBinProg& plain = both.Plain;
        for (int k = 0; k < kRegisterCount; ++k) {
            ASSERT_EQ(fused.Register(k).Kind(), plain.Register(k).Kind()) << k;
            ASSERT_EQ(fused.Register(k).AsString(), plain.Register(k).AsString()) << k;
        }
    }
}

TEST(BinProg, CompiledMethodCallsRunFusedAsTheyRunPlain) {
    // A sieve over a string list: method calls, property reads and writes.
    // The loads of a call's arguments, the jump back to a while loop's test
    // and a loop limit computed from a variable run fused with the call.
    const char* const source =
        "var l: TStringList; i, j, c, n: integer;\nbegin\n  l := TStringList.Create; n := 100;\n"
        "  for i := 0 to n - 1 do l.Add('1');\n  i := 2;\n  while i * i < n do begin\n"
        "    if l.Strings[i] = '1' then begin j := i * i;\n"
        "      while j < n do begin l.Strings[j] := '0'; j := j + i end end;\n    i := i + 1\n  end;\n"
        "  c := 0;\n  for i := 2 to n - 1 do if l.Strings[i] = '1' then c := c + 1;\n"
        "  if l.Strings[3] <> '0' then c := c + 1000;\n  l.Free;\nend.";
    TBothWays both(source);
    EXPECT_EQ(both.Fused.Register(3).IntField(), 1025); // c: the primes below 100, and 3 is one
    for (int k = 0; k < kRegisterCount; ++k) {
        ASSERT_EQ(both.Fused.Register(k).Kind(), both.Plain.Register(k).Kind()) << k;
        ASSERT_EQ(both.Fused.Register(k).AsString(), both.Plain.Register(k).AsString()) << k;
    }
}

TEST(BinProg, AStringDoublingInALoopEndsAsOutOfMemory) {
    // r0 := 'ab'; loop: r0 := r0 + r0; jump loop
    auto program =
        Load({{TScriptValue::FromString("ab")}, {1}, {I(opLDC, 0, 0), I(opADD, 0, 0), I(opJMP, 0)}});
    const std::size_t limit = TScriptValue::MaxStringLength();
    TScriptValue::SetMaxStringLength(1 << 20);
    EXPECT_EQ(ErrorOf([&] { program->Run(); }), "Out of memory");
    TScriptValue::SetMaxStringLength(limit);
    EXPECT_EQ(program->Register(0).StringRef().size(), std::size_t{1} << 20); // the last text that fit
    EXPECT_EQ(limit, std::size_t{1} << 28);
    // Building a value from longer text fails the same way.
    EXPECT_EQ(ErrorOf([] { (void)TScriptValue::FromString(std::string((std::size_t{1} << 28) + 1, 'x')); }),
              "Out of memory");
}

TEST(BinProg, NativeCallsPassArgumentsAndWriteBackVarParameters) {
    TScriptRuntime& runtime = TScriptRuntime::Instance();
    runtime.RegisterFunc("TESTBIN_SUMANDBUMP",
                         [](TNativeCall& call) {
                             // Four arguments: a + b + c into the result, d (by reference) incremented.
                             call.Result = TScriptValue::FromInt(call.Args[0].AsInt() + call.Args[1].AsInt() +
                                                                 call.Args[2].AsInt());
                             call.Args[3] = TScriptValue::FromInt(call.Args[3].AsInt() + 1);
                         },
                         {pkValue, pkValue, pkValue, pkByRef});
    const auto entry = static_cast<std::int32_t>(*runtime.FindNative("testbin_sumandbump"));
    TProgramImage image{
        {TScriptValue::FromInt(1), TScriptValue::FromInt(10), TScriptValue::FromInt(100)},
        {},
        {I(opLDC, 1, 0), I(opLDC, 2, 1), I(opLDC, 3, 2), I(opCALLN, 9, entry), I(1, 2, 3), I(4), I(opSTOP)}};
    auto program = Load(image);
    program->Run();
    EXPECT_EQ(program->Register(9).IntField(), 111);
    EXPECT_EQ(program->Register(4).IntField(), 1);
    EXPECT_EQ(program->Register(1).IntField(), 1); // value parameters are not written back
}

TEST(BinProg, DynamicVariablesGoThroughTheirProvider) {
    // __InternalVar is provider 0; Result is its id 0.
    TProgramImage image{
        {TScriptValue::FromString("done")},
        {},
        {I(opLDC, 4, 0), I(opDYNSET, 0, 0), I(opCARRIER, 4), I(opDYNGET, 0, 0), I(opCARRIER, 5), I(opSTOP)}};
    auto program = Load(image);
    program->Run();
    EXPECT_EQ(TScriptRuntime::Instance().InternalResult().StringRef(), "done");
    EXPECT_EQ(program->Register(5).StringRef(), "done");
}

TEST(BinProg, FusedInstructionsHaveTheEffectsOfTheOriginals) {
    // Jumps land between the parts of every fused group; both ways of running
    // must leave the same registers.
    const TProgramImage image{
        {TScriptValue::FromInt(7), TScriptValue::FromInt(3), TScriptValue::FromReal(0.5),
         TScriptValue::FromInt(0)},
        {2, 5, 9, 17, 4},
        {
            I(opLDC, 10, 0), I(opJMP, 0),                      //  0: r10 := 7, on to label 0 (2)
            I(opLDC, 11, 1), I(opMOV, 12, 11),                 //  2: LDC+MOV
            I(opMOV, 13, 10), I(opMOV, 14, 13),                //  4: MOV+MOV
            I(opLDC, 15, 2), I(opADD, 14, 15),                 //  6: LDC+op, integer plus real
            I(opJMP, 2), I(opMOV, 16, 12),                     //  8: on to label 2 (9), a MOV+MOV start
            I(opMOV, 17, 16), I(opLT, 17, 10), I(opJF, 17, 3), // 10: MOV+CMP+JF, 3 < 7: no jump
            I(opINC, 18),                                      // 13
            I(opMOV, 19, 10), I(opLE, 19, 11), I(opJF, 19, 3), // 14: 7 <= 3 is false: to label 3 (17)
            I(opSTOP),                                         // 17
        }};
    TBinProg fused(image, TScriptRuntime::Instance(), true);
    TBinProg plain(image, TScriptRuntime::Instance(), false);
    fused.Run();
    plain.Run();
    for (int k = 0; k < kRegisterCount; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(fused.Register(k).Kind(), plain.Register(k).Kind());
        EXPECT_EQ(fused.Register(k).AsString(), plain.Register(k).AsString());
    }
    EXPECT_EQ(fused.Register(12).IntField(), 3);
    EXPECT_EQ(fused.Register(14).AsString(), "7.5");
    EXPECT_EQ(fused.Register(18).IntField(), 1);
    EXPECT_FALSE(fused.Register(19).AsBool());
    // Our own fused codes in an image are no instructions.
    for (std::int32_t op = 100; op < 128; ++op) {
        auto program = Load({{}, {}, {I(op), I(opSTOP)}});
        EXPECT_EQ(ErrorOf([&] { program->Run(); }), "Invalid opcode") << op;
    }
}
