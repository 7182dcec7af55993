#pragma once
// The tokenizer of the macro language. Words are upper-cased; keywords and
// the named constants of the runtime are recognised here.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum TTokenKind : int {
    tkEnd = 0,
    tkIdentifier = 256,
    tkString = 257,
    tkNumber = 258,
    tkNamedConst = 261,
    tkHexConst = 262,
};

enum TKeyword : int {
    kwProgram = 1000,
    kwLabel,
    kwGoto,
    kwVar,
    kwBegin,
    kwEnd,
    kwAnd,
    kwOr,
    kwXor,
    kwNot,
    kwShl = 1010,
    kwShr,
    kwDiv,
    kwMod,
    kwTrue,
    kwFalse,
    kwIf,
    kwThen,
    kwElse,
    kwWhile,
    kwRepeat = 1020,
    kwUntil,
    kwFor,
    kwTo,
    kwDownTo,
    kwDo,
    kwNil = 1027,
    kwInitialization = 1031,
    kwFinalization,
    kwClass,
    kwType,
    kwConstructor,
    kwDestructor,
    kwUses,
    kwUnit,
    kwInterface,
    kwImplementation,
    kwProcedure = 1041,
    kwPrivate,
    kwPublic,
    kwProtected,
    kwPublished,
    kwFunction,
    kwConst,
    kwProperty,
    kwVirtual,
    kwOverride,
    kwDynamic = 1051,
    kwRecord,
    kwForward,
    kwIndex,
    kwRead,
    kwWrite,
    kwStored,
    kwDefault,
    kwAbstract,
    kwStdcall = 1069,
};

struct TToken {
    int Kind = tkEnd;
    std::string Text;            // the word, string or digits
    std::int32_t ConstIndex = 0; // the named constant's index for tkNamedConst
    // The token's value as messages show it.
    std::string ValueText() const;
    bool Is(int kind) const { return Kind == kind; }
};

// Raises ECompilerError "Syntax error in  (LINE): \r\nMESSAGE.".
[[noreturn]] void RaiseSyntaxError(int line, const std::string& message);

class TLexer {
public:
    explicit TLexer(std::string_view source) : FSource(source) {}

    struct TState {
        std::size_t Pos = 0;
        bool AfterDollar = false;
    };

    // Reads the next token.
    TToken Next();
    // The next token, leaving the read position where it was.
    TToken Peek();

    std::string_view Source() const { return FSource; }
    TState State() const { return {FPos, FAfterDollar}; }
    void Restore(TState state) {
        FPos = state.Pos;
        FAfterDollar = state.AfterDollar;
    }

    // 1 plus the line feeds before the read position.
    int Line() const;
    [[noreturn]] void Fail(const std::string& message) const { RaiseSyntaxError(Line(), message); }

private:
    unsigned char Read();
    void Back() { --FPos; }
    void SkipLineComment();
    void SkipBlockComment(unsigned char first, unsigned char last);
    TToken ReadString(unsigned char quote);
    TToken ReadWord(unsigned char first);

    std::string_view FSource;
    std::size_t FPos = 0;
    bool FAfterDollar = false;
};
