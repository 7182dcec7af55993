#pragma once
// The two kinds of error a macro can raise. Compile errors and the engine's
// own load and opcode errors are ECompilerError; everything a running
// program raises (conversions, arithmetic, native routines) is EScriptError.
// Texts are single-byte (Windows-1252) strings, as the scripts see them.

#include <stdexcept>
#include <string>

class EScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ECompilerError : public EScriptError {
public:
    using EScriptError::EScriptError;
};

// The conversion error of the value rules ("Could not convert variant …").
class EVariantError : public EScriptError {
public:
    using EScriptError::EScriptError;
};
