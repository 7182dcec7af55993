// Tokenizer: literals, comments, words, keywords and its error texts.

#include "script/Lexer.h"
#include "script/Compiler.h"
#include "script/Runtime.h"
#include "script/ScriptErrors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TTok {
    int Kind;
    std::string Text;
    bool operator==(const TTok&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TTok& t) {
    return out << "{" << t.Kind << ", \"" << t.Text << "\"}";
}

std::vector<TTok> Tokens(const std::string& source) {
    TLexer lexer(source);
    std::vector<TTok> result;
    for (;;) {
        const TToken token = lexer.Next();
        if (token.Kind == tkEnd) return result;
        result.push_back(
            {token.Kind, token.Kind == tkNamedConst ? std::to_string(token.ConstIndex) : token.Text});
        if (result.size() > 100) return result;
    }
}

std::string LexError(const std::string& source) {
    try {
        Tokens(source);
    } catch (const ECompilerError& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(Lexer, TokenTable) {
    struct TCase {
        std::string Source;
        std::vector<TTok> Expected;
    };
    const std::vector<TCase> cases = {
        {"", {}},
        {"  \t\r\n ", {}},
        {"'it''s'", {{tkString, "it"}, {tkString, "s"}}},
        {"\"it's\"", {{tkString, "it's"}}},
        {"'say \"hi\"'", {{tkString, "say \"hi\""}}},
        {"''", {{tkString, ""}}},
        {"#65#66", {{'#', ""}, {tkNumber, "65"}, {'#', ""}, {tkNumber, "66"}}},
        {"$0FF", {{'$', ""}, {tkNumber, "0FF"}}},
        {"$ 0ff", {{'$', ""}, {tkNumber, "0FF"}}},
        {"$FF", {{'$', ""}, {tkIdentifier, "FF"}}},
        {"0xff", {{tkHexConst, "FF"}}},
        {"0XZZ", {{tkHexConst, "ZZ"}}},
        {"3.14", {{tkNumber, "3"}, {'.', ""}, {tkNumber, "14"}}},
        {"abc_1 Xy", {{tkIdentifier, "ABC_1"}, {tkIdentifier, "XY"}}},
        {"a--b\nc", {{tkIdentifier, "A"}, {tkIdentifier, "C"}}},
        {"a - -b", {{tkIdentifier, "A"}, {'-', ""}, {'-', ""}, {tkIdentifier, "B"}}},
        {"a//x y\nb", {{tkIdentifier, "A"}, {tkIdentifier, "B"}}},
        {"a / b", {{tkIdentifier, "A"}, {'/', ""}, {tkIdentifier, "B"}}},
        {"a{ x }b", {{tkIdentifier, "A"}, {tkIdentifier, "B"}}},
        {"a(* x ) *)b", {{tkIdentifier, "A"}, {tkIdentifier, "B"}}},
        {"a(**)b", {{tkIdentifier, "A"}, {tkIdentifier, "B"}}},
        {"a/* x * / */b", {{tkIdentifier, "A"}, {tkIdentifier, "B"}}},
        {"f(x)", {{tkIdentifier, "F"}, {'(', ""}, {tkIdentifier, "X"}, {')', ""}}},
        {"x:=1;", {{tkIdentifier, "X"}, {':', ""}, {'=', ""}, {tkNumber, "1"}, {';', ""}}},
        {"<>=>", {{'<', ""}, {'>', ""}, {'=', ""}, {'>', ""}}},
        {"@^|~%&", {{'@', ""}, {'^', ""}, {'|', ""}, {'~', ""}, {'%', ""}, {'&', ""}}},
        {"a[1,2]", {{tkIdentifier, "A"}, {'[', ""}, {tkNumber, "1"}, {',', ""}, {tkNumber, "2"}, {']', ""}}},
        {"x'a'", {{tkIdentifier, "X"}, {tkString, "a"}}},
        {"\xe9t\xe9", {{tkIdentifier, "\xc9T\xc9"}}},
        {"begin End wHiLe", {{kwBegin, "BEGIN"}, {kwEnd, "END"}, {kwWhile, "WHILE"}}},
        {"mbRight ssDouble",
         {{tkNamedConst, std::to_string(*TScriptRuntime::Instance().FindConst("MBRIGHT"))},
          {tkNamedConst, std::to_string(*TScriptRuntime::Instance().FindConst("SSDOUBLE"))}}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Tokens(c.Source), c.Expected) << c.Source;
}

TEST(Lexer, Errors) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"{ open", "Syntax error in  (1): \r\nUnexpected EOF in comment block."},
        {"(* open *", "Syntax error in  (1): \r\nUnexpected EOF in comment block."},
        {"x /* open\n\n", "Syntax error in  (3): \r\nUnexpected EOF in comment block."},
        {"'open", "Syntax error in  (1): \r\nUnexpected EOF in string constant declaration."},
        {"\"open'", "Syntax error in  (1): \r\nUnexpected EOF in string constant declaration."},
        {"1.5E3", "Syntax error in  (1): \r\nBad identifier <5E3>."},
        {"12ab", "Syntax error in  (1): \r\nBad identifier <12AB>."},
        {"$0FG", "Syntax error in  (1): \r\nBad identifier <0FG>."},
        {"a\n\nb!c", "Syntax error in  (3): \r\nBad identifier name <B!C>."},
        {"}", "Syntax error in  (1): \r\nBad identifier <}>."},
    };
    for (const auto& [source, message] : cases)
        EXPECT_EQ(LexError(source), message) << source;
}

TEST(Lexer, PeekLeavesPositionAndHexState) {
    TLexer lexer("$ 0AB x");
    EXPECT_EQ(lexer.Peek().Kind, '$');
    EXPECT_EQ(lexer.Next().Kind, '$');
    EXPECT_EQ(lexer.Peek().Text, "0AB");
    const TToken number = lexer.Next();
    EXPECT_EQ(number.Kind, tkNumber);
    EXPECT_EQ(number.Text, "0AB");
    EXPECT_EQ(lexer.Next().Text, "X");
    EXPECT_EQ(lexer.Next().Kind, tkEnd);
    EXPECT_EQ(lexer.Next().Kind, tkEnd);
}

TEST(Lexer, KeywordTable) {
    const std::vector<std::pair<const char*, int>> keywords = {
        {"PROGRAM", 1000},
        {"LABEL", 1001},
        {"GOTO", 1002},
        {"VAR", 1003},
        {"BEGIN", 1004},
        {"END", 1005},
        {"AND", 1006},
        {"OR", 1007},
        {"XOR", 1008},
        {"NOT", 1009},
        {"SHL", 1010},
        {"SHR", 1011},
        {"DIV", 1012},
        {"MOD", 1013},
        {"TRUE", 1014},
        {"FALSE", 1015},
        {"IF", 1016},
        {"THEN", 1017},
        {"ELSE", 1018},
        {"WHILE", 1019},
        {"REPEAT", 1020},
        {"UNTIL", 1021},
        {"FOR", 1022},
        {"TO", 1023},
        {"DOWNTO", 1024},
        {"DO", 1025},
        {"NIL", 1027},
        {"INITIALIZATION", 1031},
        {"FINALIZATION", 1032},
        {"CLASS", 1033},
        {"TYPE", 1034},
        {"CONSTRUCTOR", 1035},
        {"DESTRUCTOR", 1036},
        {"USES", 1037},
        {"UNIT", 1038},
        {"INTERFACE", 1039},
        {"IMPLEMENTATION", 1040},
        {"PROCEDURE", 1041},
        {"PRIVATE", 1042},
        {"PUBLIC", 1043},
        {"PROTECTED", 1044},
        {"PUBLISHED", 1045},
        {"FUNCTION", 1046},
        {"CONST", 1047},
        {"PROPERTY", 1048},
        {"VIRTUAL", 1049},
        {"OVERRIDE", 1050},
        {"DYNAMIC", 1051},
        {"RECORD", 1052},
        {"FORWARD", 1053},
        {"INDEX", 1054},
        {"READ", 1055},
        {"WRITE", 1056},
        {"STORED", 1057},
        {"DEFAULT", 1058},
        {"ABSTRACT", 1059},
        {"STDCALL", 1069},
    };
    for (const auto& [word, kind] : keywords) {
        EXPECT_EQ(KeywordKind(word), kind) << word;
        std::string mixed = word;
        for (std::size_t i = 1; i < mixed.size(); i += 2)
            mixed[i] = static_cast<char>(mixed[i] - 'A' + 'a');
        TLexer lexer(mixed);
        EXPECT_EQ(lexer.Next().Kind, kind) << mixed;
    }
    EXPECT_EQ(KeywordKind("STRING"), 0);
    EXPECT_EQ(KeywordKind("begin"), 0); // the table holds upper-cased words
}
