#pragma once
// The single-pass compiler of the macro language: source text in, program
// image out (ProgramImage.h). Names are looked up in the runtime's tables
// (Runtime.h) and in the host objects the runner hands over.

#include "script/ProgramImage.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// One declared variable, parameter, result, field, procedure or function.
struct TIdentListItem {
    std::int32_t Number = 0;  // the register for data, the label for a routine
    std::string TypeName;     // the token written after the colon
    std::int32_t Routine = 0; // 1 for procedures and functions
    std::int32_t ParamCount = 0;
    std::array<std::uint8_t, 100> ByRef{}; // 1 for var parameters
    std::int32_t Spare = 0;
    std::vector<std::string> ParamNames; // upper-cased, in declaration order
};
// Upper-cased, scope-qualified name (PROC1.X, TFORM1.BUTTON1CLICK) → item.
using TIdentList = std::map<std::string, TIdentListItem, std::less<>>;

// A host object visible by name (tobjcollect): its upper-cased class name
// and its object id.
struct THostObject {
    std::string ClassName;
    std::int32_t Object = 0;
};
using THostObjects = std::map<std::string, THostObject, std::less<>>; // upper-cased name → object

class THalCompiler {
public:
    // `source`: the program text (Windows-1252 bytes). `host`: the component
    // whose scoped dynamic variables are visible (may be null). `objects`:
    // the host objects (may be null).
    explicit THalCompiler(std::string_view source, const void* host = nullptr,
                          const THostObjects* objects = nullptr);
    ~THalCompiler();
    THalCompiler(const THalCompiler&) = delete;
    THalCompiler& operator=(const THalCompiler&) = delete;

    // Compiles the whole program. Raises ECompilerError with the text
    // "Syntax error in  (LINE): \r\nMESSAGE." on the first error.
    TProgramImage Compile();

    // After Compile: the identifier table and the parent class name of the
    // last class declaration.
    const TIdentList& Identifiers() const;
    const std::string& ParentClassName() const;

private:
    struct TImpl;
    TImpl* FImpl;
};

// The keyword kind (1000 … 1069) of an upper-cased word, or 0.
int KeywordKind(std::string_view upperWord);
