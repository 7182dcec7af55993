#pragma once
// The compiler's working state, shared by the declaration, statement and
// expression parts (CompilerDecls.cpp, CompilerStatements.cpp,
// CompilerExpressions.cpp).

#include "script/Compiler.h"
#include "script/Lexer.h"
#include "script/Opcodes.h"
#include "script/Runtime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TLabelItem {
    bool Used = false;
    bool Defined = false;
    std::int32_t Address = 0;
};

// A name as written in the source after member binding: CLASS.MEMBER when
// its first part named an object.
struct TMemberName {
    enum TBinding { bnNone, bnConst, bnRegister };
    std::string Name;
    bool Dotted = false;
    TBinding Binding = bnNone;
    std::int32_t Bound = 0; // the object id or the register
};

using TIdentEntry = TIdentList::value_type;

struct THalCompiler::TImpl {
    TImpl(std::string_view source, const void* host, const THostObjects* objects);

    // Limits of nesting in the source.
    static constexpr int kMaxDepth = 200;

    TLexer Lexer;
    const void* Host;
    const THostObjects* Objects;
    TScriptRuntime& Runtime;

    std::string Prefix; // scope: enclosing routine names, each followed by a point
    std::int32_t NextRegister = 0;
    // Temporaries come from the top of the register file downwards; each
    // block gets registers below every temporary handed out before it.
    std::int32_t TempNext = kRegisterCount - 1;
    std::int32_t TempFloor = kRegisterCount;
    std::map<std::string, std::int32_t, std::less<>> UserLabels; // scope-qualified
    TIdentList Identifiers;
    std::vector<TScriptValue> Constants;
    std::vector<TLabelItem> Labels;
    std::vector<TInstruction> Code;
    std::string ParentClassName;
    int ExpressionDepth = 0;
    int StatementDepth = 0;
    int RoutineDepth = 0;
    bool Used = false; // Compile ran on this state

    // Restores the temporaries when a statement or an operand is finished.
    struct TTempMark {
        explicit TTempMark(TImpl& compiler) : C(compiler), Saved(compiler.TempNext) {}
        ~TTempMark() { C.TempNext = Saved; }
        TTempMark(const TTempMark&) = delete;
        TTempMark& operator=(const TTempMark&) = delete;
        TImpl& C;
        std::int32_t Saved;
    };
    // Counts one level of nesting; too many raise the given message.
    struct TDepthGuard {
        TDepthGuard(TImpl& compiler, int& counter, const char* message) : Counter(counter) {
            if (++Counter > kMaxDepth) {
                --Counter;
                compiler.Fail(message);
            }
        }
        ~TDepthGuard() { --Counter; }
        TDepthGuard(const TDepthGuard&) = delete;
        TDepthGuard& operator=(const TDepthGuard&) = delete;
        int& Counter;
    };

    // --- tokens and errors ---
    TToken Next() { return Lexer.Next(); }
    TToken Peek() { return Lexer.Peek(); }
    bool PeekIs(int kind) { return Peek().Kind == kind; }
    [[noreturn]] void Fail(const std::string& message) const { Lexer.Fail(message); }

    // --- output ---
    void Emit(std::int32_t op, std::int32_t a = 0, std::int32_t b = 0) { Code.push_back({a, b, op}); }
    std::int32_t NewLabel();
    void DefineLabel(std::int32_t label);
    std::int32_t AddConstant(TScriptValue value);
    std::int32_t LoadConstant(TScriptValue value); // LDC into a new temporary
    std::int32_t NewTemp();
    void StartTempRegion() { TempNext = TempFloor - 1; }
    std::int32_t DeclareRegister(const std::string& key, const std::string& typeName);

    // --- names ---
    const TIdentEntry* Resolve(std::string_view name) const;
    const TIdentEntry* ResolveData(std::string_view name) const;
    const TIdentEntry* ResolveRoutine(std::string_view name) const;
    const THostObject* HostObject(std::string_view name) const;
    std::optional<std::size_t> FindNativeInClasses(std::string name) const;
    TMemberName ReadName(const TToken& first);

    // --- declarations (CompilerDecls.cpp) ---
    void ProgramUnit();
    void Declarations();
    void LabelSection();
    void VarGroup();
    void TypeSection();
    void ClassDeclaration();
    void RoutineDeclaration(bool headerOnly);
    void RoutineParameters(const std::string& key, bool declare, TIdentListItem& routine);
    void CheckLinks();

    // --- statements (CompilerStatements.cpp) ---
    void Block();
    void StatementSequence(bool repeatBody);
    bool Statement(); // true for a label definition
    void AssignmentStatement(const TMemberName& target);
    void CallStatement(const TMemberName& name);
    std::int32_t EmitCondition(); // JF to a new label, which it returns
    void IfStatement();
    void WhileStatement();
    void RepeatStatement();
    void ForStatement();
    void GotoStatement();
    void LabelDefinition(const std::string& name);

    // --- expressions (CompilerExpressions.cpp) ---
    std::int32_t Expression();
    std::int32_t SimpleExpression();
    std::int32_t Term();
    std::int32_t Factor();
    std::int32_t StringFactor(const TToken& first);
    std::int32_t NumberFactor(const TToken& first);
    std::int32_t IdentifierFactor(const TToken& first);
    std::int32_t ArrayConstructor(bool bracketed);
    std::int32_t NativeCall(std::size_t index, const TMemberName& name, bool statement);
    std::int32_t ScriptCall(const TIdentEntry& routine, bool wantValue);
    void EmitBinding(const TMemberName& name);
    void EmitNativeCall(std::int32_t result, std::size_t index, const std::vector<std::int32_t>& args);
    std::int32_t VariableArgument();
};
