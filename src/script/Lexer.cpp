// Tokenizer of the macro language.

#include "script/Lexer.h"

#include "script/Compiler.h"
#include "script/Runtime.h"
#include "script/ScriptErrors.h"

#include <algorithm>
#include <map>

namespace {

bool IsSingleCharToken(unsigned char c) {
    switch (c) {
    case '#':
    case '$':
    case '%':
    case '&':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case '-':
    case '.':
    case '/':
    case ':':
    case ';':
    case '<':
    case '=':
    case '>':
    case '@':
    case '[':
    case ']':
    case '^':
    case '|':
    case '~':
        return true;
    default:
        return false;
    }
}

bool IsWordTerminator(unsigned char c) {
    if (c <= 32) return true;
    switch (c) {
    case '"':
    case '\'':
    case '{':
    case '}':
        return true;
    default:
        return IsSingleCharToken(c);
    }
}

bool IsIdentStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || c == '_' || (c >= 192 && c <= 223);
}
bool IsIdentChar(unsigned char c) {
    return IsIdentStart(c) || (c >= '0' && c <= '9');
}
bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(unsigned char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'F');
}

const std::map<std::string, int, std::less<>>& KeywordTable() {
    static const std::map<std::string, int, std::less<>> table = [] {
        const std::pair<const char*, int> words[] = {
            {"PROGRAM", kwProgram},
            {"LABEL", kwLabel},
            {"GOTO", kwGoto},
            {"VAR", kwVar},
            {"BEGIN", kwBegin},
            {"END", kwEnd},
            {"AND", kwAnd},
            {"OR", kwOr},
            {"XOR", kwXor},
            {"NOT", kwNot},
            {"SHL", kwShl},
            {"SHR", kwShr},
            {"DIV", kwDiv},
            {"MOD", kwMod},
            {"TRUE", kwTrue},
            {"FALSE", kwFalse},
            {"IF", kwIf},
            {"THEN", kwThen},
            {"ELSE", kwElse},
            {"WHILE", kwWhile},
            {"REPEAT", kwRepeat},
            {"UNTIL", kwUntil},
            {"FOR", kwFor},
            {"TO", kwTo},
            {"DOWNTO", kwDownTo},
            {"DO", kwDo},
            {"NIL", kwNil},
            {"INITIALIZATION", kwInitialization},
            {"FINALIZATION", kwFinalization},
            {"CLASS", kwClass},
            {"TYPE", kwType},
            {"CONSTRUCTOR", kwConstructor},
            {"DESTRUCTOR", kwDestructor},
            {"USES", kwUses},
            {"UNIT", kwUnit},
            {"INTERFACE", kwInterface},
            {"IMPLEMENTATION", kwImplementation},
            {"PROCEDURE", kwProcedure},
            {"PRIVATE", kwPrivate},
            {"PUBLIC", kwPublic},
            {"PROTECTED", kwProtected},
            {"PUBLISHED", kwPublished},
            {"FUNCTION", kwFunction},
            {"CONST", kwConst},
            {"PROPERTY", kwProperty},
            {"VIRTUAL", kwVirtual},
            {"OVERRIDE", kwOverride},
            {"DYNAMIC", kwDynamic},
            {"RECORD", kwRecord},
            {"FORWARD", kwForward},
            {"INDEX", kwIndex},
            {"READ", kwRead},
            {"WRITE", kwWrite},
            {"STORED", kwStored},
            {"DEFAULT", kwDefault},
            {"ABSTRACT", kwAbstract},
            {"STDCALL", kwStdcall},
        };
        std::map<std::string, int, std::less<>> result;
        for (const auto& [word, kind] : words)
            result.emplace(word, kind);
        return result;
    }();
    return table;
}

} // namespace

int KeywordKind(std::string_view upperWord) {
    const auto& table = KeywordTable();
    const auto it = table.find(upperWord);
    return it == table.end() ? 0 : it->second;
}

std::string TToken::ValueText() const {
    switch (Kind) {
    case tkIdentifier:
    case tkString:
    case tkNumber:
    case tkHexConst:
        return Text;
    case tkNamedConst:
        return std::to_string(ConstIndex);
    default:
        return Kind >= 1000 ? Text : "0";
    }
}

void RaiseSyntaxError(int line, const std::string& message) {
    throw ECompilerError("Syntax error in  (" + std::to_string(line) + "): \r\n" + message + ".");
}

int TLexer::Line() const {
    const std::size_t end = std::min(FPos, FSource.size());
    return 1 + static_cast<int>(
                   std::count(FSource.begin(), FSource.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

unsigned char TLexer::Read() {
    const std::size_t at = FPos++;
    return at < FSource.size() ? static_cast<unsigned char>(FSource[at]) : 0;
}

void TLexer::SkipLineComment() {
    for (;;) {
        const unsigned char c = Read();
        if (c < 32) return;
    }
}

void TLexer::SkipBlockComment(unsigned char first, unsigned char last) {
    // `first` == 0: a one-character closer (`}`) in `last`.
    unsigned char previous = 0;
    for (;;) {
        const unsigned char c = Read();
        if (c == 0) Fail("Unexpected EOF in comment block");
        if (first == 0 ? c == last : (previous == first && c == last)) return;
        previous = c;
    }
}

TToken TLexer::ReadString(unsigned char quote) {
    TToken token;
    token.Kind = tkString;
    for (;;) {
        const unsigned char c = Read();
        if (c == 0) Fail("Unexpected EOF in string constant declaration");
        if (c == quote) return token;
        token.Text.push_back(static_cast<char>(c));
    }
}

TToken TLexer::ReadWord(unsigned char first) {
    std::string raw(1, static_cast<char>(first));
    for (;;) {
        const unsigned char c = Read();
        if (IsWordTerminator(c)) {
            Back();
            break;
        }
        raw.push_back(static_cast<char>(c));
    }
    TToken token;
    token.Text = TScriptRuntime::UpperName(raw);
    const std::string& word = token.Text;
    const auto front = static_cast<unsigned char>(word[0]);
    if (IsIdentStart(front)) {
        if (!std::all_of(word.begin(), word.end(),
                         [](char c) { return IsIdentChar(static_cast<unsigned char>(c)); }))
            Fail("Bad identifier name <" + word + ">");
        if (const int keyword = KeywordKind(word)) {
            token.Kind = keyword;
        } else if (const auto index = TScriptRuntime::Instance().FindConst(word)) {
            token.Kind = tkNamedConst;
            token.ConstIndex = static_cast<std::int32_t>(*index);
        } else {
            token.Kind = tkIdentifier;
        }
        return token;
    }
    if (word.size() >= 2 && word[1] == 'X') {
        token.Kind = tkHexConst;
        token.Text = word.substr(2);
        return token;
    }
    const bool hex = FAfterDollar;
    if (!std::all_of(word.begin(), word.end(), [hex](char c) {
            const auto u = static_cast<unsigned char>(c);
            return hex ? IsHexDigit(u) : IsDigit(u);
        }))
        Fail("Bad identifier <" + word + ">");
    token.Kind = tkNumber;
    return token;
}

TToken TLexer::Next() {
    TToken token;
    for (;;) {
        unsigned char c = Read();
        while (c >= 1 && c <= 32)
            c = Read();
        if (c == 0) {
            Back();
            break;
        }
        if (c == '/' || c == '-') {
            const unsigned char d = Read();
            if (d == c) {
                SkipLineComment();
                continue;
            }
            if (c == '/' && d == '*') {
                SkipBlockComment('*', '/');
                continue;
            }
            Back();
        } else if (c == '(') {
            if (Read() == '*') {
                SkipBlockComment('*', ')');
                continue;
            }
            Back();
        } else if (c == '{') {
            SkipBlockComment(0, '}');
            continue;
        }
        if (IsSingleCharToken(c)) {
            token.Kind = c;
        } else if (c == '\'' || c == '"') {
            token = ReadString(c);
        } else {
            token = ReadWord(c);
        }
        break;
    }
    FAfterDollar = token.Kind == '$';
    return token;
}

TToken TLexer::Peek() {
    const TState saved = State();
    TToken token = Next();
    Restore(saved);
    return token;
}
