// Macros compiled and run end to end: the language's values, control flow
// and routines, the runner's life cycle and the engine's own natives.
#include "script/HalComp.h"
#include "script/Runtime.h"
#include "script/ScriptErrors.h"

#include "platform/UiServices.h"

#include <gtest/gtest.h>

namespace {

// Runs a program and returns the printed lines.
class EngineTest : public ::testing::Test {
protected:
    EngineTest() {
        TScriptRuntime::Instance().PrintSink = [this](const std::string& text) { Printed.push_back(text); };
    }
    ~EngineTest() override { TScriptRuntime::Instance().PrintSink = nullptr; }

    void Run(const std::string& source) {
        Component.SetScriptText(source);
        Component.Prepare();
        Component.Run();
    }
    TScriptValue Eval(const std::string& expression) {
        THalComp component;
        component.SetExpression(expression);
        return component.Evaluate();
    }
    std::string ErrorOf(const std::string& source) {
        try {
            Run(source);
        } catch (const EScriptError& error) {
            return error.what();
        }
        return {};
    }

    THalComp Component;
    std::vector<std::string> Printed;
};

} // namespace

TEST_F(EngineTest, ExpressionsFollowTheValueRules) {
    struct Case {
        const char* Expression;
        TValueKind Kind;
        const char* Text;
    } const cases[] = {
        {"'it''s'", TValueKind::String, "its"},
        {"#65#66", TValueKind::String, "AB"},
        {"'ab'#13#10'cd'", TValueKind::String, "ab\r\ncd"},
        {"\"say 'x'\"", TValueKind::String, "say 'x'"},
        {"$0FF", TValueKind::Integer, "255"},
        {"0xff", TValueKind::Integer, "255"},
        {"3.14", TValueKind::Real, "3.14"},
        {"7 / 2", TValueKind::Real, "3.5"},
        {"4 / 2", TValueKind::Real, "2"},
        {"1 = 1.0", TValueKind::Boolean, "False"},
        {"1 = 1", TValueKind::Boolean, "True"},
        {"'5' + 3", TValueKind::Real, "8"},
        {"'5' + '3'", TValueKind::String, "53"},
        {"True + 1", TValueKind::Integer, "0"},
        {"1 < 1.5", TValueKind::Boolean, "True"},
        {"2 + 3 * 4", TValueKind::Integer, "14"},
        {"(2 + 3) * 4", TValueKind::Integer, "20"},
        {"10 - 4 - 3", TValueKind::Integer, "3"},
        {"2 * 3 = 6", TValueKind::Boolean, "True"},
        {"1 shl 33", TValueKind::Integer, "2"},
        {"-7 div 2", TValueKind::Integer, "-3"},
        {"not True or True", TValueKind::Boolean, "True"},
        {"5 and 3 or 8", TValueKind::Integer, "9"},
        {"Nil", TValueKind::Integer, "0"},
        {"1 {one} + (* two *) 2 /* three */", TValueKind::Integer, "3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Expression);
        const TScriptValue value = Eval(c.Expression);
        EXPECT_EQ(value.Kind(), c.Kind);
        EXPECT_EQ(value.AsString(), c.Text);
    }
}

TEST_F(EngineTest, ForReevaluatesItsLimitAndLeavesTheVariableBeyondIt) {
    Run("var i, n, count: integer;\n"
        "begin\n"
        "  n := 3; count := 0;\n"
        "  for i := 1 to n do begin count := count + 1; if i = 1 then n := 5 end;\n"
        "  Print(IntToStr(i), ' ', IntToStr(count));\n"
        "  for i := 3 downto 1 do count := count - 1;\n"
        "  Print(IntToStr(i));\n"
        "end.");
    // The limit grew to 5 during the loop; afterwards i is the limit plus one.
    ASSERT_EQ(Printed.size(), 2u);
    EXPECT_EQ(Printed[0], "6 5");
    EXPECT_EQ(Printed[1], "0");
}

TEST_F(EngineTest, RoutinesWithVarParametersAndSharedRegisterRecursion) {
    Run("var a, b: integer;\n"
        "procedure Swap(var x, y: integer);\n"
        "var t: integer;\n"
        "begin t := x; x := y; y := t; end;\n"
        "function Fact(n: integer): integer;\n"
        "begin if n <= 1 then Result := 1 else Result := n * Fact(n - 1); end;\n"
        "procedure Down(n: integer);\n"
        "begin if n > 0 then begin Down(n - 1); Print('after ', IntToStr(n)) end; end;\n"
        "begin\n"
        "  a := 1; b := 2; Swap(a, b); Print(IntToStr(a), IntToStr(b));\n"
        "  Print(IntToStr(Fact(5)));\n"
        "  Down(2);\n"
        "end.");
    ASSERT_GE(Printed.size(), 2u);
    EXPECT_EQ(Printed[0], "21");
    // One register set per routine: the recursive call overwrites n before
    // the multiplication reads it, and Result is shared as well.
    EXPECT_NE(Printed[1], "120");
    // Down's parameter is 0 after the innermost call returned, for every level.
    ASSERT_EQ(Printed.size(), 4u);
    EXPECT_EQ(Printed[2], "after 0");
    EXPECT_EQ(Printed[3], "after 0");
}

TEST_F(EngineTest, TemporariesNeverShareRegistersWithGlobalsOrCallers) {
    Run("procedure P;\n"
        "var q: integer;\n"
        "begin q := 1 + 2 * 3; end;\n"
        "function F(x: integer): integer;\n"
        "begin Result := 2 * x; end;\n"
        "var g, z: integer;\n"
        "begin\n"
        "  g := 42; P; z := 1 + F(2);\n"
        "  Print(IntToStr(g), ' ', IntToStr(z));\n"
        "  z := F(1) + F(10);\n"
        "  Print(IntToStr(z));\n"
        "end.");
    ASSERT_EQ(Printed.size(), 2u);
    EXPECT_EQ(Printed[0], "42 5");
    EXPECT_EQ(Printed[1], "22");
}

TEST_F(EngineTest, RunTimeErrors) {
    struct Case {
        const char* Source;
        const char* Message;
    } const cases[] = {
        {"var a: integer; begin a := 0; a := 5 div a; end.", "Division by zero"},
        {"var a: integer; begin a := 0; a := 5 mod a; end.", "Division by zero"},
        {"var a: real; begin a := 0; a := 5 / a; end.", "Division by zero"},
        {"var a: integer; begin a := -2147483647 - 1; a := a div -1; end.", "Integer overflow"},
        {"begin Print('x = ', 5); end.", "Could not convert variant of type (String) into type (Double)"},
        {"var a: integer; begin a := 'abc' * 2; end.",
         "Could not convert variant of type (String) into type (Double)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Source);
        EXPECT_EQ(ErrorOf(c.Source), c.Message);
    }
}

TEST_F(EngineTest, AnUnchangedScriptKeepsItsGlobalsBetweenRuns) {
    Component.SetScriptText("var n: integer;\nbegin n := n + 1; Print(IntToStr(n)); end.");
    Component.Prepare();
    Component.Run();
    Component.Prepare();
    Component.Run();
    ASSERT_EQ(Printed.size(), 2u);
    EXPECT_EQ(Printed[1], "2");
    // A changed script starts afresh.
    Component.SetScriptText("var n: integer;\nbegin n := n + 1; Print(IntToStr(n)); end.");
    Component.Prepare();
    Component.Run();
    EXPECT_EQ(Printed.back(), "1");
}

TEST_F(EngineTest, ExpressionComponentAndTheSharedResult) {
    THalComp component;
    component.SetExpression("1+2");
    EXPECT_EQ(component.Script(), (std::vector<std::string>{"begin", "Result:=1+2;", "end."}));
    EXPECT_EQ(component.Evaluate().AsInt(), 3);
    component.SetExpression("4*2;");
    EXPECT_EQ(component.Script()[1], "Result:=4*2;");
    EXPECT_EQ(component.Evaluate().AsInt(), 8);

    // Inside a function, reading Result reads the process-wide variable while
    // assigning it sets the function's own result.
    TScriptRuntime::Instance().InternalResult() = TScriptValue::FromString("global");
    Run("function F: integer;\nbegin Result := 7; Print(Result); end;\n"
        "var x: integer;\nbegin F; end.");
    ASSERT_EQ(Printed.size(), 1u);
    EXPECT_EQ(Printed[0], "global");

    THalComp never;
    EXPECT_THROW(never.Run(), EScriptError);
}

TEST_F(EngineTest, PrintJoinsItsArgumentsStartingFromAnEmptyText) {
    Run("begin Print('a', 'b'); Print(['c', 'd']); Print('n' + IntToStr(3)); Print('1', 2); end.");
    // '1' + 2 adds numerically.
    EXPECT_EQ(Printed, (std::vector<std::string>{"ab", "cd", "n3", "3"}));
    // A number after an empty or non-numeric text cannot be added.
    EXPECT_EQ(ErrorOf("begin Print(5); end."),
              "Could not convert variant of type (String) into type (Double)");
}

TEST_F(EngineTest, RunMacroOfAMissingFileShowsTheMessageAndGivesEmpty) {
    TScriptedUiServices ui;
    TUiServicesScope scope(ui);
    const TScriptValue value = RunMacroFile("/nonexistent/keldra.pas");
    EXPECT_TRUE(value.IsEmpty());
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0], QStringLiteral("File /nonexistent/keldra.pas not found"));
}

TEST_F(EngineTest, StringListMembersFromAScript) {
    Run("var l: TStringList; i: integer;\n"
        "begin\n"
        "  l := TStringList.Create;\n"
        "  l.Add('b'); l.Add('a'); i := l.Add('c');\n"
        "  l.Strings[0] := 'B';\n"
        "  l.Sorted := True;\n"
        "  Print(IntToStr(l.Count), ' ', IntToStr(i), ' ', l.Strings[0], IntToStr(l.IndexOf('c')));\n"
        "  Print(l.CommaText);\n"
        "  l.Free;\n"
        "end.");
    ASSERT_EQ(Printed.size(), 2u);
    EXPECT_EQ(Printed[0], "3 2 a2"); // sorted ignoring case
    EXPECT_EQ(Printed[1], "a,B,c");
}

TEST_F(EngineTest, FusedAndPlainRunsOfCompiledProgramsAgree) {
    const char* sources[] = {
        "var i, s: integer; x: real; t: string;\n"
        "begin s := 0; x := 0; t := '';\n"
        "  for i := 1 to 50 do begin s := s + i mod 7; x := x + i * 0.5; t := t + 'x' end;\n"
        "  while s > 3 do s := s div 2;\n"
        "  repeat i := i - 3 until i < 10;\n"
        "  if (s >= 1) and (x <> 2) then t := t + 'y' else t := 'n';\n"
        "end.",
        "var a, b, c: integer;\n"
        "function F(x: integer): integer; begin Result := x * 2 + 1; end;\n"
        "procedure P(var v: integer); begin v := v - F(v) end;\n"
        "begin a := 3; b := F(a) + F(F(1)); P(b); c := 1 shl 4 xor 5; end.",
    };
    for (const char* source : sources) {
        SCOPED_TRACE(source);
        THalCompiler compiler(source);
        const TProgramImage image = compiler.Compile();
        TBinProg fused(image, TScriptRuntime::Instance(), true);
        TBinProg plain(image, TScriptRuntime::Instance(), false);
        fused.Run();
        plain.Run();
        for (int k = 0; k < kRegisterCount; ++k) {
            EXPECT_EQ(fused.Register(k).Kind(), plain.Register(k).Kind()) << k;
            EXPECT_EQ(fused.Register(k).AsString(), plain.Register(k).AsString()) << k;
        }
    }
}
