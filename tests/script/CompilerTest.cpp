// The compiler: code shapes of every construct, member binding, and the
// full texts of its errors.

#include "script/Compiler.h"
#include "script/BinProg.h"
#include "script/Runtime.h"
#include "script/ScriptErrors.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

TScriptRuntime& Rt() {
    static TScriptRuntime& runtime = []() -> TScriptRuntime& {
        TScriptRuntime& r = TScriptRuntime::Instance();
        auto nothing = [](TNativeCall&) {};
        r.RegisterFunc("TESTCOMP_F1",
                       [](TNativeCall& c) { c.Result = TScriptValue::FromInt(c.Args[0].AsInt() * 10); },
                       {pkValue});
        r.RegisterProc("TESTCOMP_P4",
                       [](TNativeCall& c) { c.Args[1] = TScriptValue::FromInt(c.Args[0].AsInt() + 1); },
                       {pkValue, pkByRef, pkValue, pkValue});
        r.RegisterProc("TESTCOMP_ARR", nothing, {pkArray});
        r.RegisterProc("TESTCOMP_ARR2", nothing, {pkValue, pkArray});
        r.RegisterFunc("TESTCOMP_NOARG", [](TNativeCall& c) { c.Result = TScriptValue::FromInt(5); });
        r.RegisterProc("TESTCOMP_PROC", nothing);
        r.RegisterFunc("TESTCOMP_ODD", nothing, {7});
        r.RegisterClass("TESTCOMP_TBASE", "TOBJECT");
        r.RegisterClass("TESTCOMP_TMY", "TESTCOMP_TBASE");
        r.RegisterFunc("TESTCOMP_TBASE.FOO", nothing, {pkValue});
        r.RegisterProp("TESTCOMP_TBASE.SIZE", nothing, nothing);
        r.RegisterProp("TESTCOMP_TBASE.NAME", nothing);
        r.RegisterIndexedProp("TESTCOMP_TMY.ITEMS", 1, nothing, nothing);
        r.RegisterProp("TESTCOMP_GLOBAL", nothing, nothing);
        TDynaVarItem provider;
        provider.Name = "TESTCOMP_PROVIDER";
        provider.NameToId = [](const std::string& name) { return name == "TESTCOMP_V" ? 7 : -1; };
        provider.Get = [](std::int32_t) { return TScriptValue::FromInt(0); };
        provider.Set = [](std::int32_t, const TScriptValue&) {};
        r.RegisterDynaVars(std::move(provider));
        return r;
    }();
    return runtime;
}

std::size_t Fn(const char* name) {
    return *Rt().FindNative(name);
}
std::string N(const char* name) {
    return std::to_string(Fn(name));
}
std::string Provider() {
    return std::to_string(Rt().FindDynaVar("TESTCOMP_V", nullptr)->first);
}

TProgramImage Compile(const std::string& source, const THostObjects* objects = nullptr) {
    Rt();
    THalCompiler compiler(source, nullptr, objects);
    return compiler.Compile();
}

std::string ErrorOf(const std::string& source, const THostObjects* objects = nullptr) {
    try {
        Compile(source, objects);
    } catch (const ECompilerError& e) {
        return e.what();
    }
    return "(compiled)";
}

std::string Syntax(int line, const std::string& message) {
    return "Syntax error in  (" + std::to_string(line) + "): \r\n" + message + ".";
}

// One line per instruction: mnemonic and operands; carriers as CAR (one
// register) or ARG (three argument registers).
std::vector<std::string> Listing(const TProgramImage& image) {
    static const std::map<int, const char*> names = {
        {0, "ADD"},  {1, "SUB"},    {2, "MUL"},    {3, "IDIV"},    {4, "MOD"},     {5, "DIVR"},
        {6, "SHL"},  {7, "SHR"},    {8, "NOT"},    {9, "OR"},      {10, "XOR"},    {11, "AND"},
        {12, "GE"},  {13, "EQ"},    {14, "LE"},    {15, "NE"},     {16, "GT"},     {17, "LT"},
        {18, "NEG"}, {19, "JMP"},   {20, "JF"},    {23, "LDC"},    {26, "STOP"},   {29, "INC"},
        {30, "DEC"}, {42, "CALLN"}, {44, "SELFC"}, {45, "DYNGET"}, {46, "DYNSET"}, {47, "SELFR"},
        {48, "MOV"}, {49, "CALL"},  {50, "RET"},   {51, "ARRNEW"}, {52, "ARRPUT"}};
    std::vector<std::string> lines;
    const auto& code = image.Code;
    for (std::size_t k = 0; k < code.size(); ++k) {
        const TInstruction& in = code[k];
        const auto it = names.find(in.Op);
        std::string line = it == names.end() ? "?" + std::to_string(in.Op) : it->second;
        switch (in.Op) {
        case opSTOP:
        case opRET:
            break;
        case opJMP:
        case opCALL:
        case opNOT:
        case opNEG:
        case opINC:
        case opDEC:
        case opSELFC:
        case opSELFR:
            line += " " + std::to_string(in.A);
            break;
        default:
            line += " " + std::to_string(in.A) + "," + std::to_string(in.B);
        }
        lines.push_back(line);
        if (in.Op == opDYNGET || in.Op == opDYNSET || in.Op == opARRPUT) {
            ++k;
            lines.push_back("CAR " + std::to_string(code[k].A) + (code[k].B != 0 ? "?" : "") +
                            ((in.Op == opARRPUT ? 0 : opCARRIER) == code[k].Op ? "" : "!"));
        } else if (in.Op == opCALLN) {
            const int n = Rt().Native(static_cast<std::size_t>(in.B)).ParamCount();
            for (int c = 0; c < (n + 2) / 3; ++c) {
                ++k;
                lines.push_back("ARG " + std::to_string(code[k].Op) + "," + std::to_string(code[k].A) + "," +
                                std::to_string(code[k].B));
            }
        }
    }
    return lines;
}

using TLines = std::vector<std::string>;

} // namespace

TEST(Compiler, CodeShapes) {
    struct TCase {
        const char* Name;
        std::string Source;
        TLines Code;
        std::vector<std::int32_t> Labels;
    };
    const std::vector<TCase> cases = {
        {"assignment",
         "var x: Integer; begin x := 1 + 2 end.",
         {"JMP 0", "LDC 1000,0", "LDC 999,1", "ADD 1000,999", "MOV 0,1000", "STOP"},
         {1}},
        {"empty program", "end.", {"JMP 0", "STOP"}, {1}},
        {"header and empty block", "program P; begin end.", {"JMP 0", "STOP"}, {1}},
        {"precedence",
         "var x: Integer; begin x := 1 - 2 * 3 end.",
         {"JMP 0", "LDC 1000,0", "LDC 999,1", "LDC 998,2", "MUL 999,998", "SUB 1000,999", "MOV 0,1000",
          "STOP"},
         {1}},
        {"operators",
         "var x: Integer; begin x := (x div 2 mod 3 and 4 shl 1 shr 1 / 2) or x xor -x end.",
         {"JMP 0",        "MOV 1000,0",    "LDC 999,0", "IDIV 1000,999", "LDC 999,1", "MOD 1000,999",
          "LDC 999,2",    "AND 1000,999",  "LDC 999,3", "SHL 1000,999",  "LDC 999,4", "SHR 1000,999",
          "LDC 999,5",    "DIVR 1000,999", "MOV 999,0", "OR 1000,999",   "MOV 999,0", "NEG 999",
          "XOR 1000,999", "MOV 0,1000",    "STOP"},
         {1}},
        {"relations",
         "var b: Boolean; begin b := 1 <> 2; b := 1 <= 2; b := 1 >= 2; b := not (1 < 2) end.",
         {"JMP 0", "LDC 1000,0", "LDC 999,1", "NE 1000,999", "MOV 0,1000", "LDC 1000,2", "LDC 999,3",
          "LE 1000,999", "MOV 0,1000", "LDC 1000,4", "LDC 999,5", "GE 1000,999", "MOV 0,1000", "LDC 1000,6",
          "LDC 999,7", "LT 1000,999", "NOT 1000", "MOV 0,1000", "STOP"},
         {1}},
        {"if else",
         "var x: Integer; begin if x > 1 then x := 2 else x := 3 end.",
         {"JMP 0", "MOV 1000,0", "LDC 999,0", "GT 1000,999", "JF 1000,1", "LDC 1000,1", "MOV 0,1000", "JMP 2",
          "LDC 1000,2", "MOV 0,1000", "STOP"},
         {1, 8, 10}},
        {"if without else",
         "var x: Integer; begin if x = 1 then x := 2; x := 3 end.",
         {"JMP 0", "MOV 1000,0", "LDC 999,0", "EQ 1000,999", "JF 1000,1", "LDC 1000,1", "MOV 0,1000",
          "LDC 1000,2", "MOV 0,1000", "STOP"},
         {1, 7}},
        {"while",
         "var i: Integer; begin while i < 3 do i := i + 1 end.",
         {"JMP 0", "MOV 1000,0", "LDC 999,0", "LT 1000,999", "JF 1000,2", "MOV 1000,0", "LDC 999,1",
          "ADD 1000,999", "MOV 0,1000", "JMP 1", "STOP"},
         {1, 1, 10}},
        {"repeat",
         "var i: Integer; begin repeat i := i + 1 until i = 3 end.",
         {"JMP 0", "MOV 1000,0", "LDC 999,0", "ADD 1000,999", "MOV 0,1000", "MOV 1000,0", "LDC 999,1",
          "EQ 1000,999", "JF 1000,1", "STOP"},
         {1, 1}},
        {"for to",
         "var i, s: Integer; begin for i := 1 to 3 do s := s + i end.",
         {"JMP 0", "LDC 1000,0", "MOV 0,1000", "LDC 1000,1", "MOV 999,0", "LE 999,1000", "JF 999,2",
          "MOV 1000,1", "MOV 999,0", "ADD 1000,999", "MOV 1,1000", "INC 0", "JMP 1", "STOP"},
         {1, 3, 13}},
        {"for downto",
         "var i: Integer; begin for i := 3 downto 1 do begin end end.",
         {"JMP 0", "LDC 1000,0", "MOV 0,1000", "LDC 1000,1", "MOV 999,0", "GE 999,1000", "JF 999,2", "DEC 0",
          "JMP 1", "STOP"},
         {1, 3, 9}},
        {"goto and label", "label L1; begin goto L1; L1: end.", {"JMP 0", "JMP 1", "STOP"}, {1, 2}},
        {"procedure with var parameter",
         "var g: Integer;\nprocedure P(a: Integer; var b: Integer);\nbegin b := a end;\nbegin P(5, g) end.",
         {"JMP 0", "MOV 1000,1", "MOV 2,1000", "RET", "LDC 999,0", "MOV 1,999", "MOV 2,0", "CALL 1",
          "MOV 0,2", "STOP"},
         {4, 1}},
        {"function value is copied after the call",
         "var z: Integer; function F(x: Integer): Integer; begin Result := x end;\nbegin z := 1 + F(2) end.",
         {"JMP 0", "MOV 1000,1", "MOV 2,1000", "RET", "LDC 999,0", "LDC 998,1", "MOV 1,998", "CALL 1",
          "MOV 998,2", "ADD 999,998", "MOV 0,999", "STOP"},
         {4, 1}},
        {"nested routine precedes its parent",
         "procedure A; procedure B; begin end; begin B end; begin A end.",
         {"JMP 0", "RET", "CALL 2", "RET", "CALL 1", "STOP"},
         {4, 2, 1}},
        {"forward routine",
         "procedure P; forward; procedure Q; begin P end; procedure P; begin end; begin Q end.",
         {"JMP 0", "CALL 1", "RET", "RET", "CALL 2", "STOP"},
         {4, 3, 1}},
        {"array constructor",
         "var a: Integer; begin a := [1, 2] end.",
         {"JMP 0", "LDC 999,0", "LDC 998,1", "ARRNEW 1000,2", "LDC 997,2", "ARRPUT 0,997", "CAR 1000",
          "ARRPUT 1,999", "CAR 1000", "ARRPUT 2,998", "CAR 1000", "MOV 0,1000", "STOP"},
         {1}},
        {"strings, characters, hex, reals, booleans, nil",
         "var s: Integer; begin s := 'it''s'#13#10; s := $0FF; s := 0xff; s := 3.25; s := True; s := Nil "
         "end.",
         {"JMP 0", "LDC 1000,0", "MOV 0,1000", "LDC 1000,1", "MOV 0,1000", "LDC 1000,2", "MOV 0,1000",
          "LDC 1000,3", "MOV 0,1000", "LDC 1000,4", "MOV 0,1000", "LDC 1000,5", "MOV 0,1000", "STOP"},
         {1}},
        {"native function with one argument",
         "var x: Integer; begin x := TESTCOMP_F1(x) + 1 end.",
         {"JMP 0", "MOV 1000,0", "CALLN 1000," + N("TESTCOMP_F1"), "ARG 1000,0,0", "LDC 999,0",
          "ADD 1000,999", "MOV 0,1000", "STOP"},
         {1}},
        {"native function result discarded",
         "begin TESTCOMP_F1(2) end.",
         {"JMP 0", "LDC 1000,0", "CALLN 1000," + N("TESTCOMP_F1"), "ARG 1000,0,0", "STOP"},
         {1}},
        {"native with four arguments and a var argument",
         "var v: Integer; begin TESTCOMP_P4(1, v, 3, 4) end.",
         {"JMP 0", "LDC 1000,0", "LDC 999,1", "LDC 998,2", "CALLN 1000," + N("TESTCOMP_P4"), "ARG 1000,0,999",
          "ARG 998,0,0", "STOP"},
         {1}},
        {"array argument without brackets",
         "begin TESTCOMP_ARR('a', 5) end.",
         {"JMP 0", "LDC 999,0", "LDC 998,1", "ARRNEW 1000,2", "LDC 997,2", "ARRPUT 0,997", "CAR 1000",
          "ARRPUT 1,999", "CAR 1000", "ARRPUT 2,998", "CAR 1000", "CALLN 1000," + N("TESTCOMP_ARR"),
          "ARG 1000,0,0", "STOP"},
         {1}},
        {"array argument with brackets",
         "begin TESTCOMP_ARR(['a', 5]) end.",
         {"JMP 0", "LDC 999,0", "LDC 998,1", "ARRNEW 1000,2", "LDC 997,2", "ARRPUT 0,997", "CAR 1000",
          "ARRPUT 1,999", "CAR 1000", "ARRPUT 2,998", "CAR 1000", "CALLN 1000," + N("TESTCOMP_ARR"),
          "ARG 1000,0,0", "STOP"},
         {1}},
        {"native without arguments",
         "var x: Integer; begin x := TESTCOMP_NOARG; TESTCOMP_PROC end.",
         {"JMP 0", "CALLN 1000," + N("TESTCOMP_NOARG"), "MOV 0,1000", "CALLN 1000," + N("TESTCOMP_PROC"),
          "STOP"},
         {1}},
        {"undotted property setter",
         "begin TESTCOMP_GLOBAL := 4 end.",
         {"JMP 0", "LDC 1000,0", "CALLN 1000," + N("TESTCOMP_GLOBAL_SET"), "ARG 1000,0,0", "STOP"},
         {1}},
        {"register binding climbs to the parent class",
         "var o: TESTCOMP_TMy; x: Integer; begin x := o.Size; o.Size := 5; o.Items[2] := 9; x := o.Items[1] "
         "end.",
         {"JMP 0", "SELFR 0", "CALLN 1000," + N("TESTCOMP_TBASE.SIZE"), "MOV 1,1000", "LDC 1000,0", "SELFR 0",
          "CALLN 1000," + N("TESTCOMP_TBASE.SIZE_SET"), "ARG 1000,0,0", "LDC 1000,1", "LDC 999,2", "SELFR 0",
          "CALLN 1000," + N("TESTCOMP_TMY.ITEMS_VET"), "ARG 1000,999,0", "LDC 1000,3", "SELFR 0",
          "CALLN 1000," + N("TESTCOMP_TMY.ITEMS"), "ARG 1000,0,0", "MOV 1,1000", "STOP"},
         {1}},
        {"dynamic variables",
         "begin Result := Result + TESTCOMP_V; TESTCOMP_V := 1 end.",
         {"JMP 0", "DYNGET 0,0", "CAR 1000", "DYNGET 7," + Provider(), "CAR 999", "ADD 1000,999",
          "DYNSET 0,0", "CAR 1000", "LDC 1000,0", "DYNSET 7," + Provider(), "CAR 1000", "STOP"},
         {1}},
        {"reading Result in a function reads the provider, assigning writes the register",
         "function F: Integer; begin Result := Result end; begin end.",
         {"JMP 0", "DYNGET 0,0", "CAR 1000", "MOV 0,1000", "RET", "STOP"},
         {5, 1}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TProgramImage image;
        ASSERT_NO_THROW(image = Compile(c.Source)) << ErrorOf(c.Source);
        EXPECT_EQ(Listing(image), c.Code);
        EXPECT_EQ(image.Labels, c.Labels);
        EXPECT_NO_THROW(ValidateImage(image, Rt()));
    }
}

TEST(Compiler, SmallProgramImageBytes) {
    const std::vector<std::uint8_t> expected = {
        1,    0, 0, 0, 1,    7, 0, 0, 0,           // one constant: integer 7
        1,    0, 0, 0, 1,    0, 0, 0,              // one label at 1
        4,    0, 0, 0,                             // JMP 0; LDC 1000,0; MOV 0,1000; STOP
        0,    0, 0, 0, 0,    0, 0, 0, 19, 0, 0, 0, //
        0xE8, 3, 0, 0, 0,    0, 0, 0, 23, 0, 0, 0, //
        0,    0, 0, 0, 0xE8, 3, 0, 0, 48, 0, 0, 0, //
        0,    0, 0, 0, 0,    0, 0, 0, 26, 0, 0, 0,
    };
    EXPECT_EQ(WriteImage(Compile("var x: Integer; begin x := 7 end.")), expected);
}

TEST(Compiler, ConstantPool) {
    const TProgramImage image = Compile(
        "var s: Integer; begin s := 'it''s'#13#10; s := $0FF; s := 0xff; s := 3.25; s := True; s := Nil;\n"
        "s := #65#66; s := $0FFFFFFFF; s := 0x1G; s := 0x; s := 2147483647; s := 2147483648; s := 'a'; s := "
        "'a' end.");
    ASSERT_EQ(image.Constants.size(), 14u);
    const auto& k = image.Constants;
    EXPECT_EQ(k[0].StringRef(), "its\r\n");
    EXPECT_EQ(k[1].Kind(), TValueKind::Integer);
    EXPECT_EQ(k[1].IntField(), 255);
    EXPECT_EQ(k[2].IntField(), 255);
    EXPECT_EQ(k[3].Kind(), TValueKind::Real);
    EXPECT_EQ(k[3].AsReal(), 3.25);
    EXPECT_EQ(k[4].Kind(), TValueKind::Boolean);
    EXPECT_TRUE(k[4].AsBool());
    EXPECT_EQ(k[5].Kind(), TValueKind::Integer);
    EXPECT_EQ(k[5].IntField(), 0);
    EXPECT_EQ(k[6].StringRef(), "AB");
    EXPECT_EQ(k[7].IntField(), -1);
    EXPECT_EQ(k[8].IntField(), 0); // invalid hex digits
    EXPECT_EQ(k[9].IntField(), 0); // no digits
    EXPECT_EQ(k[10].IntField(), 2147483647);
    EXPECT_EQ(k[11].Kind(), TValueKind::Real);
    EXPECT_EQ(k[11].AsReal(), 2147483648.0);
    EXPECT_EQ(k[12].StringRef(), "a"); // identical literals are not merged
    EXPECT_EQ(k[13].StringRef(), "a");
}

TEST(Compiler, NamedConstantsAndHostObjects) {
    const THostObjects objects = {{"OBJ1", {"TESTCOMP_TMY", 77}}, {"EDIT1", {"TESTCOMP_TBASE", 78}}};
    const TProgramImage image =
        Compile("var x: Integer; Edit1: TEdit; begin x := mbMiddle; x := Obj1; Obj1.Foo(3); "
                "x := Edit1.Name end.",
                &objects);
    EXPECT_EQ(Listing(image),
              (TLines{"JMP 0", "LDC 1000,0", "MOV 0,1000", "LDC 1000,1", "MOV 0,1000", "LDC 1000,2",
                      "SELFC 77", "CALLN 1000," + N("TESTCOMP_TBASE.FOO"), "ARG 1000,0,0", "SELFC 78",
                      "CALLN 1000," + N("TESTCOMP_TBASE.NAME"), "MOV 0,1000", "STOP"}));
    ASSERT_EQ(image.Constants.size(), 3u);
    EXPECT_EQ(image.Constants[0].IntField(), 2);
    EXPECT_EQ(image.Constants[1].IntField(), 77);
    EXPECT_EQ(image.Constants[2].IntField(), 3);
}

TEST(Compiler, CompilingTwiceGivesTheSameImage) {
    Rt();
    THalCompiler compiler("var x: Integer; procedure P; begin x := 2 end; begin P end.");
    const TProgramImage first = compiler.Compile();
    const TProgramImage second = compiler.Compile();
    EXPECT_EQ(second.Code, first.Code);
    EXPECT_EQ(second.Labels, first.Labels);
    EXPECT_EQ(second.Constants.size(), first.Constants.size());
}

TEST(Compiler, IdentifierTableAndParentClass) {
    Rt();
    THalCompiler compiler("type TForm1 = class(TForm)\n Edit1: TEdit;\n Count: Integer;\n"
                          " procedure Button1Click(Sender: TObject; var Key: Char);\nend;\n"
                          "procedure TForm1.Button1Click(Sender: TObject; var Key: Char);\nvar n: Integer;\n"
                          "begin Count := Count + 1; n := 2 end;\nbegin end.");
    compiler.Compile();
    const TIdentList& ids = compiler.Identifiers();
    EXPECT_EQ(compiler.ParentClassName(), "TFORM");
    ASSERT_TRUE(ids.count("TFORM1.BUTTON1CLICK"));
    const TIdentListItem& click = ids.at("TFORM1.BUTTON1CLICK");
    EXPECT_EQ(click.Routine, 1);
    EXPECT_EQ(click.ParamCount, 2);
    EXPECT_EQ(click.ParamNames, (std::vector<std::string>{"SENDER", "KEY"}));
    EXPECT_EQ(click.ByRef[0], 0);
    EXPECT_EQ(click.ByRef[1], 1);
    const std::map<std::string, std::pair<int, std::string>> data = {
        {"TFORM1.EDIT1", {0, "TEDIT"}},
        {"TFORM1.COUNT", {1, "INTEGER"}},
        {"TFORM1.BUTTON1CLICK.SENDER", {2, "TOBJECT"}},
        {"TFORM1.BUTTON1CLICK.KEY", {3, "CHAR"}},
        {"TFORM1.BUTTON1CLICK.RESULT", {4, ""}},
        {"TFORM1.BUTTON1CLICK.N", {5, "INTEGER"}},
    };
    for (const auto& [name, expected] : data) {
        ASSERT_TRUE(ids.count(name)) << name;
        EXPECT_EQ(ids.at(name).Number, expected.first) << name;
        EXPECT_EQ(ids.at(name).TypeName, expected.second) << name;
        EXPECT_EQ(ids.at(name).Routine, 0) << name;
    }
}

TEST(Compiler, TemporariesNeverMeetDeclaredRegisters) {
    // F is declared last: its registers come after the globals the main block
    // uses, and the main block's temporaries lie below F's.
    const char* source = "var g, z: Integer;\n"
                         "procedure P; var t: Integer; begin t := 7 * 3 end;\n"
                         "function F(x: Integer): Integer; begin Result := 2 * x end;\n"
                         "begin g := 42; P; z := 1 + F(2) end.";
    const TProgramImage image = Compile(source);
    TBinProg program(image);
    program.Run();
    EXPECT_EQ(program.Register(0).AsInt(), 42);
    EXPECT_EQ(program.Register(1).AsInt(), 5);
}

TEST(Compiler, ProgramsRun) {
    struct TCase {
        const char* Source;
        int Register;
        std::int32_t Expected;
    };
    const std::vector<TCase> cases = {
        {"var i, s: Integer; begin for i := 1 to 3 do s := s + i end.", 1, 6},
        {"var i, s: Integer; begin for i := 1 to 3 do s := s + i end.", 0, 4},
        {"var i: Integer; begin for i := 3 downto 1 do begin end end.", 0, 0},
        {"var i: Integer; begin repeat i := i + 2 until i > 5 end.", 0, 6},
        {"var a, b: Integer; procedure Swap(var x, y: Integer); var t: Integer;\n"
         "begin t := x; x := y; y := t end;\nbegin a := 1; b := 2; Swap(a, b) end.",
         0, 2},
        {"var x: Integer; begin x := TESTCOMP_F1(3) + TESTCOMP_F1(4) end.", 0, 70},
        {"var v: Integer; begin TESTCOMP_P4(41, v, 0, 0) end.", 0, 42},
        {"var x: Integer; label L; begin x := 1; goto L; x := 2; L: x := x + 10 end.", 0, 11},
        {"var x: Integer; function Fact(n: Integer): Integer; begin if n <= 1 then Result := 1 else "
         "Result := Fact(n - 1) * 1 end; begin x := Fact(5) end.",
         0, 1},
        {"var x: Integer; begin if 1 = 1.0 then x := 1 else x := 2 end.", 0, 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Source);
        TProgramImage image;
        ASSERT_NO_THROW(image = Compile(c.Source)) << ErrorOf(c.Source);
        TBinProg program(image);
        program.Run();
        EXPECT_EQ(program.Register(c.Register).AsInt(), c.Expected);
    }
}

TEST(Compiler, SyntaxErrors) {
    const THostObjects objects = {{"OBJ1", {"TESTCOMP_TMY", 77}}};
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"program ; begin end.", Syntax(1, "Program name expected")},
        {"program P begin end.", Syntax(1, "Operator delimeter expected")},
        {"var x: Integer begin end.", Syntax(1, "Operator delimeter expected")},
        {"var x Integer; begin end.", Syntax(1, "Error in variable declaration block")},
        {"var 1: Integer; begin end.", Syntax(1, "Variable name expected")},
        {"var x, x: Integer; begin end.", Syntax(1, "Variable <X> already defined")},
        {"var x: Integer;\nprocedure P;\nvar x: Integer;\nbegin end;\nbegin end.",
         Syntax(3, "Variable <X> already defined")},
        {"const x = 1; begin end.", Syntax(1, "Error in declaration block")},
        {"label 1; begin end.", Syntax(1, "Label name expected")},
        {"label a, a; begin end.", Syntax(1, "Label <A> already defined")},
        {"label a b; begin end.", Syntax(1, "Comma or delimeter expected")},
        {"begin goto 5 end.", Syntax(1, "Label name expected")},
        {"begin goto nowhere end.", Syntax(1, "Label <NOWHERE> not defined")},
        {"begin here: end.", Syntax(1, "Label <HERE> not defined")},
        {"label L; procedure P; begin goto L end; begin L: end.", Syntax(1, "Label <L> not defined")},
        {"label L; begin goto L end.", "Link Error"},
        {"label L; begin L: end.", "Link Error"},
        {"procedure P; forward; begin P end.", "Forward declaration of <P> not satisfied"},
        {"procedure P; forward; begin end.", "(compiled)"},
        {"procedure 1; begin end; begin end.", Syntax(1, "Identifier expected")},
        {"procedure P(1); begin end; begin end.", Syntax(1, "Method parameters declaration error")},
        {"procedure P(a; b: Integer); begin end; begin end.", Syntax(1, "Method declaration error")},
        {"procedure P(a: Integer, b: Integer); begin end; begin end.", Syntax(1, "Method declaration error")},
        {"procedure P begin end; begin end.", Syntax(1, "Operator delimeter expected")},
        {"procedure P; begin end begin end.", Syntax(1, "Operator delimeter expected")},
        {"procedure P; begin end; procedure P; begin end; begin end.",
         Syntax(1, "Method <P> already defined")},
        {"type T = class property X: Integer; end; begin end.", Syntax(1, "Properties not implemented")},
        {"type T = class(1) end; begin end.", Syntax(1, "Parent name expected")},
        {"type T = class(TObject; end; begin end.", Syntax(1, ") Expected")},
        {"type T class end; begin end.", Syntax(1, "T declaration  error")},
        {"type T = integer; begin end.", Syntax(1, "Only class declarations allowed")},
        {"type T = class 5 end; begin end.", Syntax(1, "Error in class declaration of T")},
        {"type T = class; begin end.", "(compiled)"},
        {"unit U; interface implementation uses A, B; begin end.", "(compiled)"},
        {"procedure P; virtual; stdcall; begin end; begin P end.", "(compiled)"},
        {"procedure P; virtual; stdcall; abstract; begin end; begin P end.",
         Syntax(1, "Error in declaration block")},
        {"type TForm1 = class(TForm) private x: Integer; public procedure Go; end;\n"
         "procedure TForm1.Go; begin x := 1 end; begin end.",
         "(compiled)"},
        {"type TForm1 = class procedure Go; end; begin TForm1.Go end.",
         "Forward declaration of <TFORM1.GO> not satisfied"},
        {"function F(const a: Integer; var b: Integer): Integer; begin end; begin end.", "(compiled)"},
        {"type T = record x: Integer; end; begin end.", "(compiled)"},
        {"x := 1; end.", Syntax(1, "Error in declaration block")},
        {"var x: Integer; x := 1; end.",
         Syntax(1, "Variable <X> already defined")}, // a Var section runs to the next keyword
        {"procedure P; x := 1;", Syntax(1, "Error in declaration block")},
        {"begin x := 1 end.", Syntax(1, "Variable <X> not defined")},
        {"begin TESTCOMP_NOARG := 1 end.", Syntax(1, "Variable <TESTCOMP_NOARG> not defined")},
        {"var o: TESTCOMP_TMy; begin o.Name := 'a' end.",
         Syntax(1, "Variable <TESTCOMP_TMY.NAME> not defined")},
        {"begin Foo end.", Syntax(1, "Unknown identifier: FOO")},
        {"var x: Integer; begin x := Foo end.", Syntax(1, "Unknown identifier: FOO")},
        {"var x: Integer; begin x := Foo(1) end.", Syntax(1, "Unknown identifier: FOO")},
        {"var x: Integer; begin x := ) end.", Syntax(1, "Unknown identifier: 0")},
        {"var x: Integer; begin x := end end.", Syntax(1, "Unknown identifier: END")},
        {"begin ; end.", Syntax(1, "Unknown identifier: 0")},
        {"begin 5 end.", Syntax(1, "Unknown identifier: 5")},
        {"var x: Integer; begin x := 1 x := 2 end.", Syntax(1, "Operator delimeter expected")},
        {"var x: Integer; begin x := 1 = 2 = 3 end.", Syntax(1, "Operator delimeter expected")},
        {"var x: Integer; begin x := TESTCOMP_PROC end.", Syntax(1, "Invalid procedure usage")},
        {"procedure P; begin end; var x: Integer; begin x := P end.", Syntax(1, "Invalid procedure usage")},
        {"var x: Integer; begin x := TESTCOMP_F1 end.", Syntax(1, "( expected")},
        {"var x: Integer; begin x := TESTCOMP_F1(1 end.", Syntax(1, ") expected")},
        {"var x: Integer; begin x := (1 end.", Syntax(1, ") expected")},
        {"var x: Integer; begin TESTCOMP_P4(1 x) end.", Syntax(1, "Comma expected")},
        {"begin TESTCOMP_P4(1, 2, 3, 4) end.", Syntax(1, "Variable name expected")},
        {"begin TESTCOMP_P4(1, y, 3, 4) end.", Syntax(1, "Variable <Y> not defined")},
        {"begin TESTCOMP_ARR2(1, 2) end.", Syntax(1, "[ expected but 2 found")},
        {"begin TESTCOMP_ARR2(1, [2 3]) end.", Syntax(1, "] expected but 3 found")},
        {"var x: Integer; begin x := [1, 2 end.", Syntax(1, "] expected but END found")},
        {"begin TESTCOMP_ODD(1) end.", Syntax(1, "Unsupported parameter type")},
        {"var o: TESTCOMP_TMy; begin o.Items[1] = 2 end.", Syntax(1, "Colon expected")},
        {"var o: TESTCOMP_TMy; begin o.Items[1] : 2 end.", Syntax(1, "= expected")},
        {"var o: TESTCOMP_TMy; begin o.Items[1 := 2 end.", Syntax(1, ") expected")},
        {"begin Obj1.5 end.", Syntax(1, "Identifier expected")},
        {"procedure P(a: Integer); begin end; begin P end.", Syntax(1, "( expected")},
        {"procedure P(a, b: Integer); begin end; begin P(1 2) end.", Syntax(1, "Comma expected")},
        {"procedure P(a: Integer); begin end; begin P(1 end.", Syntax(1, ") expected")},
        {"procedure P(var a: Integer); begin end; begin P(1) end.", Syntax(1, "Variable name expected")},
        {"var x: Integer; begin x := $ end.", Syntax(1, "Hex constant declaration error")},
        {"var x: Integer; begin x := $FF end.", Syntax(1, "Hex constant declaration error")},
        {"var x: Integer; begin x := 1. end.", Syntax(1, "Real constant declaration error")},
        {"var x: Integer; begin x := 1.5E3 end.", Syntax(1, "Bad identifier <5E3>")},
        {"var x: Integer; begin x := # end.", Syntax(1, "String constant declaration error")},
        {"var x: Integer; begin x := 'a'#'b' end.", Syntax(1, "String constant declaration error")},
        {"begin for 1 := 1 to 2 do end.", Syntax(1, "Variable name expected")},
        {"begin for i := 1 to 2 do end.", Syntax(1, "Variable <I> not defined")},
        {"var i: Integer; begin for i = 1 to 2 do end.", Syntax(1, "Colon expected")},
        {"var i: Integer; begin for i : 1 to 2 do end.", Syntax(1, "= expected")},
        {"var i: Integer; begin for i := 1 to 2 i := 1 end.", Syntax(1, "DO expected")},
        {"var i: Integer; begin for i := 1 upto 2 do i := 1 end.", Syntax(1, "TO or DOWNTO expected")},
        {"var i: Integer; begin while i < 2 i := 1 end.", Syntax(1, "DO expected")},
        {"var i: Integer; begin if i < 2 i := 1 end.", Syntax(1, "THEN expected")},
        {"var i: Integer; begin repeat i := 1 end.", Syntax(1, "Unknown identifier: END")},
        {"var i: Integer; begin repeat i := 1;", Syntax(1, "UNTIL Expected")},
        {"var i: Integer; begin repeat i := 1", Syntax(1, "Operator delimeter expected")},
        {"var i: Integer; begin repeat if i = 1 then i := 2 until i = 1 end.", Syntax(1, "ELSE expected")},
        {"var i: Integer; begin repeat i := 2 until i = 1 end.", "(compiled)"},
        {"program P;", Syntax(1, "Error in declaration block")},
        {"var i: Integer; begin i := 1;", Syntax(1, "END expected")},
        {"procedure P; i := 1", Syntax(1, "Error in declaration block")},
        {"procedure P; var i: Integer; i := 1; begin end; begin end.",
         Syntax(1, "Variable <I> already defined")},
        {"procedure P; var i: Integer; x begin end; begin end.",
         Syntax(1, "Error in variable declaration block")},
        {"procedure P; begin end; begin P() end.", Syntax(1, "Operator delimeter expected")},
        {"var x: Integer;\n\nbegin\n  x := 1;\n  y := 2\nend.", Syntax(5, "Variable <Y> not defined")},
        {"begin\n{ comment\n\n", Syntax(4, "Unexpected EOF in comment block")},
        {"var s: Integer; begin s := '" + std::string(256, 'a') + "' end.",
         Syntax(1, "String constant too long")},
        {"var s: Integer; begin s := '" + std::string(200, 'a') + "' + '" + std::string(100, 'a') + "' end.",
         "(compiled)"},
        {"var s: Integer; begin s := '" + std::string(200, 'a') + "''" + std::string(100, 'a') + "' end.",
         Syntax(1, "String constant too long")},
    };
    for (const auto& [source, message] : cases)
        EXPECT_EQ(ErrorOf(source, &objects), message) << source;
}

TEST(Compiler, LimitsGiveErrorsNotCrashes) {
    std::string manyVars = "var ";
    for (int i = 0; i < 1001; ++i)
        manyVars += "v" + std::to_string(i) + (i < 1000 ? ", " : ": Integer;");
    EXPECT_EQ(ErrorOf(manyVars + " begin v1 := 1 end."), Syntax(1, "Too many variables"));

    std::string fewVars = "var ";
    for (int i = 0; i < 999; ++i)
        fewVars += "v" + std::to_string(i) + (i < 998 ? ", " : ": Integer;");
    EXPECT_EQ(ErrorOf(fewVars + " begin v1 := 1 end."), "(compiled)");
    EXPECT_EQ(ErrorOf(fewVars + " begin v1 := 1 + 2 end."), "(compiled)");
    EXPECT_EQ(ErrorOf(fewVars + " begin v1 := 1 + (2 + 3) end."), Syntax(1, "Too many variables"));
    // Temporaries of an earlier routine are never handed out to later declarations.
    auto routineFirst = [](int count) {
        std::string source = "var a: Integer; procedure P; begin a := 1 + (2 + 3) end; var ";
        for (int i = 0; i < count; ++i)
            source += "w" + std::to_string(i) + (i + 1 < count ? ", " : ": Integer;");
        return source + " begin end.";
    };
    EXPECT_EQ(ErrorOf(routineFirst(996)), "(compiled)");
    EXPECT_EQ(ErrorOf(routineFirst(997)), Syntax(1, "Too many variables"));

    std::string params = "procedure P(";
    for (int i = 0; i < 101; ++i)
        params += "p" + std::to_string(i) + (i < 100 ? ", " : ": Integer");
    EXPECT_EQ(ErrorOf(params + "); begin end; begin end."), Syntax(1, "Too many parameters"));

    const std::string deepExpression =
        "var x: Integer; begin x := " + std::string(300, '(') + "1" + std::string(300, ')') + " end.";
    EXPECT_EQ(ErrorOf(deepExpression), Syntax(1, "Expression too complex"));
    const std::string deepNegation = "var x: Integer; begin x := " + std::string(5000, '+') + "not 1 end.";
    EXPECT_EQ(ErrorOf(deepNegation), Syntax(1, "Expression too complex"));
    const std::string fine =
        "var x: Integer; begin x := " + std::string(50, '(') + "1" + std::string(50, ')') + " end.";
    EXPECT_EQ(ErrorOf(fine), "(compiled)");

    std::string deepStatements = "var x: Integer; begin ";
    for (int i = 0; i < 300; ++i)
        deepStatements += "if x = 1 then ";
    deepStatements += "x := 1 end.";
    EXPECT_EQ(ErrorOf(deepStatements), Syntax(1, "Statement nesting too deep"));
    std::string deepBlocks = "begin ";
    for (int i = 0; i < 5000; ++i)
        deepBlocks += "begin ";
    EXPECT_EQ(ErrorOf(deepBlocks), Syntax(1, "Statement nesting too deep"));

    std::string deepRoutines;
    for (int i = 0; i < 300; ++i)
        deepRoutines += "procedure P" + std::to_string(i) + "; ";
    EXPECT_EQ(ErrorOf(deepRoutines), Syntax(1, "Routine nesting too deep"));
}

TEST(Compiler, DamagedSourcesFailCleanly) {
    // Every cut and every one-character change of a program either compiles to
    // a valid image or raises ECompilerError.
    const std::string source =
        "type TForm1 = class(TForm) x: Integer; procedure Go(var a: Integer); end;\n"
        "var i, s: Integer; o: TESTCOMP_TMy; label L;\n"
        "procedure TForm1.Go(var a: Integer); begin a := a + 1 end;\n"
        "function F(n: Integer): Integer; begin Result := n * 2 end;\n"
        "begin for i := 1 to 3 do s := s + F(i); TForm1.Go(s); o.Items[1] := [1, 'a'#65];\n"
        "  if s > 2 then goto L else s := $0F; L: repeat s := s - 1 until s < 0; TESTCOMP_ARR(s, 2.5)\n"
        "end.";
    ASSERT_NO_THROW(ValidateImage(Compile(source), Rt())) << ErrorOf(source);
    const std::string replacements = "();:=.,[]'#$0aZ {}*/-";
    std::size_t compiled = 0;
    auto attempt = [&](const std::string& text) {
        try {
            ValidateImage(Compile(text), Rt());
            ++compiled;
        } catch (const ECompilerError&) {
        }
    };
    for (std::size_t cut = 0; cut <= source.size(); ++cut)
        attempt(source.substr(0, cut));
    for (std::size_t at = 0; at < source.size(); ++at) {
        for (const char c : replacements) {
            std::string changed = source;
            changed[at] = c;
            attempt(changed);
        }
    }
    EXPECT_GT(compiled, 0u);
}
